// 14-bit EPROM parts: pulse-and-compare programming on the pin-level
// programmer, no erase, and the firmware programmer refused.
#include <gtest/gtest.h>

#include "banco_flash.h"
#include "flash/pg_flash.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

constexpr uint64_t ms = 1'000'000;

struct TCasoC {
  const char* Nombre;
  uint8_t Indice;  // ListPicsC
};
const TCasoC Casos[] = {{"16C622A", 13}, {"16C74B", 23}};
using TParam = std::tuple<TCasoC, TEnlacePrueba>;

class Eprom : public ::testing::TestWithParam<TParam> {
protected:
  void SetUp() override {
    caso = std::get<0>(GetParam());
    chip = std::make_unique<TPicCSim>(*DatosC(caso.Nombre));
    SeleccionaPic(1, caso.Indice);
    ASSERT_EQ(PicActual.ProgTam, chip->Datos().Palabras);
    banco = std::make_unique<TBancoFlash>(std::get<1>(GetParam()), chip.get());
    ImagenPrueba(caso.Indice + 7, {0x3F71});
  }
  void TearDown() override {
    for (const auto& v : chip->Violaciones) ADD_FAILURE() << caso.Nombre << ": " << v;
  }
  TCasoC caso;
  std::unique_ptr<TPicCSim> chip;
  std::unique_ptr<TBancoFlash> banco;
  TVentanaFlash ventana;
};

TEST_P(Eprom, ProgramVerifyAndReadBack) {
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPicC), 0u);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) ASSERT_EQ(chip->Prog[a], BufArchivo.Prog[a]) << a;
  EXPECT_EQ(chip->Config[7], 0x3F71);
  EXPECT_EQ(RetardoPgm, 20);
  ASSERT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
  ASSERT_EQ(banco->Ejecuta(1, LeerPic), 0u);
  EXPECT_TRUE(ventana.Mensajes.empty()) << "an unprotected part was reported protected";
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) ASSERT_EQ(BufDispositivo.Prog[a], BufArchivo.Prog[a]);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(BufDispositivo.Id[i] & 0xF, i + 1);
}

TEST_P(Eprom, PulsesOnlyWhereNeeded) {
  chip->Prog[0x11] = BufDispositivo.Prog[0x11] = 0x1234;  // already right
  BufArchivo = BufDispositivo;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPicC), 0u);
  EXPECT_EQ(chip->PulsosEn(0x11), 0u);
  uint32_t a = 0;
  while (BufArchivo.Prog[a] != 0x3FFF) ++a;
  EXPECT_EQ(chip->PulsosEn(static_cast<uint16_t>(a)), 0u) << "blank word";
  for (uint32_t b = 0; b < 8; ++b) {
    if (BufArchivo.Prog[b] != 0x3FFF && b != 0x11) {
      EXPECT_EQ(chip->PulsosEn(static_cast<uint16_t>(b)), 3u);
    }
  }
  for (const auto& p : chip->Pulsos)
    EXPECT_EQ(p.DuracionNs / ms, p.Direccion == 0x2007 ? 20u : 2u) << p.Direccion;
}

TEST_P(Eprom, PulseLimitsPerArea) {
  // needed pulses -> result: the word taking on its last allowed pulse passes.
  struct {
    uint16_t dir;
    uint8_t pulsos;
    uint32_t resultado;
  } tabla[] = {
      {0x2007, 2, 0},            // configuration: 2 pulses of 20 ms are enough
      {0x2007, 3, ErrEscritura}, // ... a third is never given
      {0x0005, 20, 0},           // program word: up to 20 pulses
      {0x0005, 21, ErrEscritura},
  };
  for (const auto& t : tabla) {
    auto c = std::make_unique<TPicCSim>(*DatosC(caso.Nombre));
    c->PulsosCelda[t.dir] = t.pulsos;
    banco->Banco->Adaptador.Conecta(c.get());
    BufDispositivo.Prog[5] = BufArchivo.Prog[5] = 0x0555;
    EXPECT_EQ(banco->Ejecuta(0, ProgramaPicC), t.resultado) << t.dir << " " << int(t.pulsos);
    const uint8_t permitidos = t.dir == 0x2007 ? 2 : 20;
    EXPECT_EQ(c->PulsosEn(t.dir), std::min<uint32_t>(t.pulsos, permitidos));
    if (t.resultado) {
      EXPECT_EQ(ContextoError.Direccion, t.dir);
      EXPECT_EQ(ContextoError.Esperado, t.dir == 0x2007 ? (0x3F71 & PicActual.CfgMask) : 0x0555);
      EXPECT_EQ(ContextoError.Leido, t.dir == 0x2007 ? (0x3FFF & PicActual.CfgMask) : 0x3FFF);
      EXPECT_FALSE(c->EnProgramacion());
    }
    for (const auto& v : c->Violaciones) ADD_FAILURE() << v;
    banco->Banco->Adaptador.Conecta(chip.get());
  }
}

TEST_P(Eprom, CancelIsError22) {
  ventana.CancelaTras = 25;
  EXPECT_EQ(banco->Ejecuta(0, [&] {
              const bool f = ProgramaPicC();
              EXPECT_FALSE(chip->EnProgramacion());
              return f;
            }),
            uint32_t{ErrCancelado});
}

TEST_P(Eprom, VerifyMismatch) {
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPicC), 0u);
  BufArchivo.Prog[0x77] ^= 0x2000;
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, 0x77u);
  EXPECT_EQ(ContextoError.Leido, chip->Prog[0x77]);
}

TEST_P(Eprom, AProtectedPartReadsZeroAndCannotBeProgrammedAgain) {
  // An earlier user's program, code-protected.
  chip->Prog[0x10] = 0x1234;
  chip->Config[7] = 0x3F41;
  chip->Config[0] = 0x0005;
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  ASSERT_EQ(banco->Ejecuta(1, LeerPic), 0u);
  EXPECT_EQ(ventana.Mensajes, std::vector<std::string>{TextoIdioma("pg_avisos*", "4*") + " " + TextosZona[0]});
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) ASSERT_EQ(BufDispositivo.Prog[a], 0u) << a;
  EXPECT_EQ(BufDispositivo.Config[0], 0x3F41);
  EXPECT_EQ(BufDispositivo.Id[0] & 0xF, 0x5);

  // Nothing takes in program memory, and programming says so.
  const std::vector<uint16_t> antes = chip->Prog;
  ImagenPrueba(caso.Indice + 7, {0x3F71});
  EXPECT_EQ(banco->Ejecuta(0, ProgramaPicC), uint32_t{ErrEscritura});
  EXPECT_EQ(ContextoError.Leido, 0u) << "at " << ContextoError.Direccion;
  EXPECT_EQ(chip->Prog, antes);
  EXPECT_TRUE(chip->Protegido());
}

TEST_P(Eprom, EraseSaysThePartIsNotErasable) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_TRUE(ventana.HayLinea(" " + TextoIdioma("pg_err*", "54*")));
  EXPECT_FALSE(ventana.HayLinea(" " + TextosEntorno[23]));
  EXPECT_TRUE(chip->Pulsos.empty());
  EXPECT_EQ(chip->Entradas, 1u);  // only the runner's closing entry
}

std::string NombreCaso(const ::testing::TestParamInfo<TParam>& i) {
  return std::string("P") + std::get<0>(i.param).Nombre + "_" + NombreEnlace(std::get<1>(i.param));
}

void PrintTo(const TCasoC& c, std::ostream* os) { *os << c.Nombre; }

INSTANTIATE_TEST_SUITE_P(Partes, Eprom,
                         ::testing::Combine(::testing::ValuesIn(Casos),
                                            ::testing::Values(TEnlacePrueba::Lpt, TEnlacePrueba::Com)),
                         NombreCaso);

TEST(EpromFirmware, FirmwareProgrammerIsRefused) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  TVentanaFlash ventana;
  SeleccionaPic(1, 13);
  USB_COM = true;
  const bool fallo = ProgramaPicC();
  USB_COM = false;
  EXPECT_TRUE(fallo);
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_EQ(ventana.Mensajes[0], " " + TextoIdioma("pg_err*", "43*"));
  EXPECT_FALSE(TextoIdioma("pg_err*", "43*").empty());
}

}  // namespace
