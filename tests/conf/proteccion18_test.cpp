// The code protection the engine reads from a PIC18 image, held against the
// published bit definitions: for every PIC18 part of the catalogue, each
// code-protection bit its gputils header defines in CONFIG5L (one per code
// block) and CONFIG5H (boot block, data EEPROM) protects when cleared, and
// a bit the header does not define (an unimplemented bit, which reads 0)
// protects nothing.
#include <gtest/gtest.h>

#include <regex>

#include "cabecera_gputils.h"
#include "pg_catalogo.h"
#include "pg_pic.h"
#include "pg_proteccion.h"

namespace {

// The bits that a word's "_<prefix>n_ON" symbols clear.
uint8_t BitsProteccion(const TCabeceraGputils& c, const char* palabra, const std::regex& simbolo) {
  uint8_t bits = 0;
  if (const TPalabraGputils* p = c.Palabra(palabra))
    for (const TAjusteGputils& a : p->ajustes)
      for (const TSimboloGputils& s : a.simbolos)
        if (std::regex_match(s.nombre, simbolo)) bits |= static_cast<uint8_t>(~s.valor);
  return bits;
}

TZonasProtegidas Zonas(uint8_t config5l, uint8_t config5h) {
  BufDispositivo.Config[4] = static_cast<uint16_t>(config5l | config5h << 8);
  return ZonasProtegidas();
}

TEST(Proteccion18, EveryPartAgainstItsHeader) {
  const std::regex bloque("_CP[0-9]_ON(_5L)?");
  const std::regex boot("_CPB_ON(_5H)?");
  const std::regex datos("_CPD_ON(_5H)?");
  int partes = 0;
  const auto lista = ListaCatalogo(ClaseFlash);
  for (std::size_t i = 0; i < lista.size(); ++i) {
    ClaseDispositivo = ClaseFlash;
    IndiceListPics = static_cast<uint8_t>(i);
    if (PonDispositivo() != 0 || PicActual.Familia != 18) continue;
    const std::string nombre = lista[i].Nombre;
    SCOPED_TRACE(nombre);
    std::string error;
    const auto cabecera = LeeCabeceraGputils(RutaCabeceraGputils(GPUTILS_HEADER_DIR, nombre), &error);
    ASSERT_TRUE(cabecera) << error;
    const uint8_t bloques = BitsProteccion(*cabecera, "CONFIG5L", bloque);
    const uint8_t cpb = BitsProteccion(*cabecera, "CONFIG5H", boot);
    const uint8_t cpd = BitsProteccion(*cabecera, "CONFIG5H", datos);
    ASSERT_NE(bloques, 0);
    ASSERT_NE(cpb, 0);
    ++partes;
    // Every defined bit set, every other bit 0 as the part reads it.
    const uint8_t alto = cpb | cpd;
    EXPECT_FALSE(Zonas(bloques, alto).Alguna()) << "an unimplemented bit counted as protection";
    for (int b = 0; b < 8; ++b) {
      const auto bit = static_cast<uint8_t>(1u << b);
      if (bloques & bit) {
        const TZonasProtegidas z = Zonas(bloques & ~bit, alto);
        EXPECT_TRUE(z.Programa) << "CP" << b << " clear: its block is not seen as protected";
        EXPECT_FALSE(z.Datos);
      }
    }
    EXPECT_TRUE(Zonas(bloques, alto & ~cpb).Programa) << "boot block";
    if (cpd && PicActual.EeTam) {
      const TZonasProtegidas z = Zonas(bloques, alto & ~cpd);
      EXPECT_TRUE(z.Datos);
      EXPECT_FALSE(z.Programa);
    }
  }
  EXPECT_GT(partes, 40);
}

}  // namespace
