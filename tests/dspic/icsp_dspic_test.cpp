// The dsPIC engine on the pin-level link against the simulated parts.
#include <algorithm>
#include <set>

#include "banco_dspic.h"

namespace {

struct TCasoDs {
  const char* Nombre;
  uint8_t Indice;
  bool Com;
};
void PrintTo(const TCasoDs& c, std::ostream* os) { *os << c.Nombre; }

constexpr TCasoDs Casos[] = {
    {"F2010_LPT", Indice30F2010, false},
    {"F2010_COM", Indice30F2010, true},
    {"F6013_LPT", Indice30F6013, false},
    {"F6014_LPT", Indice30F6014, false},
    {"F2011_LPT", Indice30F2011, false},
};

class IcspDs : public ::testing::TestWithParam<TCasoDs> {};

// Rows of the image that hold anything.
std::set<uint32_t> FilasNoVacias(uint32_t celdas) {
  std::set<uint32_t> filas;
  for (uint32_t i = 0; i < celdas; i += 2)
    if (BufDispositivo.Prog[i] != 0xFFFF || BufDispositivo.Prog[i + 1] != 0x00FF) filas.insert(i & ~0x3Fu);
  return filas;
}

TEST_P(IcspDs, ProgramsVerifiesAndReadsBack) {
  BancoDs b(GetParam().Indice, GetParam().Com);
  // What an earlier user left in the part goes with the erase.
  b.chip->Memoria.Prog[0x30] = 0x000000;
  if (!b.chip->Memoria.Ee.empty()) b.chip->Memoria.Ee[3] = 0x0000;
  b.chip->Memoria.Config[5] = 0x0000;
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  const TBuffers imagen = BufDispositivo;
  const std::set<uint32_t> filas = FilasNoVacias(PicActual.ProgTam);

  ASSERT_EQ(ProgramaDsPic(), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  b.SinFaltas();
  EsperaChipIgual(b.chip->Memoria, imagen);
  // Only rows holding data were written: one bulk erase, and no row
  // program for a blank row.
  std::set<uint32_t> escritas;
  uint32_t borrados = 0, filasEe = 0;
  for (const auto& op : b.chip->Operaciones) {
    if (op.Nvmcon == 0x4001) escritas.insert(op.Direccion & ~0x3Fu);
    if (op.Nvmcon == 0x407F) ++borrados;
    if (op.Nvmcon == 0x4005) ++filasEe;
  }
  EXPECT_EQ(escritas, filas);
  EXPECT_EQ(borrados, 1u);
  uint32_t filasEeLlenas = 0;
  for (uint32_t f = 0; f < PicActual.EeTam / 32; ++f) filasEeLlenas += f % 3 != 1;
  EXPECT_EQ(filasEe, filasEeLlenas);
  EXPECT_EQ(b.Ventana().Color, TColorProgreso::Lima);
  EXPECT_TRUE(b.Ventana().Preguntas.empty());

  // The verify after programming reads everything back and compares.
  BufArchivo = imagen;
  TipoAccion = 0;
  ASSERT_EQ(VerificaDsPic(false), 0);
  b.SinFaltas();
  EXPECT_TRUE(std::equal(imagen.Prog.begin(), imagen.Prog.begin() + PicActual.ProgTam,
                         BufDispositivo.Prog.begin()));
  EXPECT_TRUE(std::equal(imagen.Datos.begin(), imagen.Datos.begin() + PicActual.EeTam,
                         BufDispositivo.Datos.begin()));
  for (uint32_t r = 0; r < 7; ++r) {
    EXPECT_EQ(BufDispositivo.Config[4 * r], imagen.Config[4 * r]);
    EXPECT_EQ(BufDispositivo.Config[4 * r + 1], 0);
  }
  EXPECT_FALSE(b.chip->EnProgramacion);
  EXPECT_TRUE(b.Ventana().Mensajes.empty());
  EXPECT_EQ(b.Ventana().Lineas.back(), " " + TextosZona[7] + TextosZona[10]);
}

TEST_P(IcspDs, AProtectedPartReadsZeroAndProgramsOnlyAfterTheErase) {
  BancoDs b(GetParam().Indice, GetParam().Com);
  auto& m = b.chip->Memoria;
  // An earlier user's program with the general segment code-protected.
  for (uint32_t i = 0; i < m.Prog.size(); i += 97) m.Prog[i] = 0x123456;
  m.Config[5] = 0x0000;

  // A read shows what the chip gives: zeros, the configuration readable,
  // and says the part is protected.
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  ASSERT_EQ(LeeDsPic(true), 0);
  b.SinFaltas();
  EXPECT_EQ(b.Ventana().Mensajes, std::vector<std::string>{TextoIdioma("pg_avisos*", "4*") + " " + TextosZona[4]});
  EXPECT_TRUE(std::all_of(BufDispositivo.Prog.begin(), BufDispositivo.Prog.begin() + PicActual.ProgTam,
                          [](uint16_t w) { return w == 0; }));
  EXPECT_EQ(BufDispositivo.Config[4 * 5], 0x0000);

  // Without the bulk erase the protected segment keeps what it holds, and a
  // configuration write does not lift the protection.
  EXPECT_TRUE(m.ProgramaInstruccion(2, 0x000000));
  EXPECT_EQ(m.Prog[1], 0xFFFFFFu);
  m.EscribeConfig(InicioConfigDs + 2 * 5, 0xFFFF);
  EXPECT_EQ(m.Config[5], 0x0000);

  // Programming erases first, so the whole image takes and verifies.
  ImagenPruebaDs(m.Modelo());
  const TBuffers imagen = BufDispositivo;
  ASSERT_EQ(ProgramaDsPic(), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  b.SinFaltas();
  EsperaChipIgual(m, imagen);
  BufArchivo = imagen;
  TipoAccion = 0;
  EXPECT_EQ(VerificaDsPic(false), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
}

TEST_P(IcspDs, ReadFillsEveryAreaAndTheGauge) {
  BancoDs b(GetParam().Indice, GetParam().Com);
  auto& m = b.chip->Memoria;
  m.Prog[0] = 0x123456;
  m.Prog[m.Prog.size() - 1] = 0xABCDEF;
  if (m.Prog.size() > 0x8000) {
    m.Prog[0x7FFF] = 0x111111;
    m.Prog[0x8000] = 0x222222;  // address 0x10000: the next table page
  }
  if (!m.Ee.empty()) {
    m.Ee[0] = 0x1234;
    m.Ee[m.Ee.size() - 1] = 0xBEEF;
  }
  m.Exec[0] = 0x00AB12;
  m.Exec[m.Exec.size() - 1] = 0x0000BB;
  m.Config[0] = 0x0003;

  ASSERT_EQ(LeeDsPic(true), 0);
  b.SinFaltas();
  const auto& p = BufDispositivo.Prog;
  EXPECT_EQ(InstruccionDe(BufDispositivo, 0), 0x123456u);
  EXPECT_EQ(InstruccionDe(BufDispositivo, PicActual.ProgTam - 2), 0xABCDEFu);
  EXPECT_EQ(p[3], 0x00FF);  // a blank instruction's upper byte
  if (m.Prog.size() > 0x8000) {
    EXPECT_EQ(InstruccionDe(BufDispositivo, 0xFFFE), 0x111111u);
    EXPECT_EQ(InstruccionDe(BufDispositivo, 0x10000), 0x222222u);
  }
  if (!m.Ee.empty()) {
    EXPECT_EQ(BufDispositivo.Datos[0], 0x1234);
    EXPECT_EQ(BufDispositivo.Datos[1], 0);
    EXPECT_EQ(BufDispositivo.Datos[PicActual.EeTam - 2], 0xBEEF);
  } else {
    EXPECT_EQ(BufDispositivo.Datos[0], 0xFFFF);  // an area of no cells is skipped
  }
  EXPECT_EQ(BufDispositivo.Exec[0], 0xAB12);
  EXPECT_EQ(BufDispositivo.Exec[1], 0x0000);
  EXPECT_EQ(BufDispositivo.Exec[PicActual.ExecTam - 2], 0x00BB);
  EXPECT_EQ(BufDispositivo.Config[0], 0x0003);
  for (uint32_t r = 1; r < 7; ++r) EXPECT_EQ(BufDispositivo.Config[4 * r], m.Modelo().Implementados[r]);
  EXPECT_EQ(b.Ventana().Maximo, PicActual.ProgTam + 7 + PicActual.EeTam + PicActual.ExecTam);
  // One line an area: action, caption, the count in six places, its unit.
  char cuenta[16];
  std::snprintf(cuenta, sizeof cuenta, "%6u", PicActual.ProgTam / 2);
  ASSERT_FALSE(b.Ventana().Lineas.empty());
  EXPECT_EQ(b.Ventana().Lineas[0], " " + TextosEntorno[16] + " " + TextosZona[4] + cuenta + " " + TextosZona[8]);
  EXPECT_EQ(b.Ventana().Lineas.back(), " " + TextosEntorno[16] + " " + TextosZona[7] + "     7 " + TextosZona[9]);
  EXPECT_EQ(b.Ventana().Color, TColorProgreso::Lima);
  EXPECT_FALSE(b.chip->EnProgramacion);
}

TEST_P(IcspDs, IdentifiesThePart) {
  BancoDs b(GetParam().Indice, GetParam().Com);
  TModel m;
  LeeIdDsPic(m);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Indice, GetParam().Indice);
  EXPECT_EQ(m.Nombre, b.chip->Memoria.Modelo().Nombre);
  b.SinFaltas();
}

TEST_P(IcspDs, EraseLeavesTheImplementedBits) {
  BancoDs b(GetParam().Indice, GetParam().Com);
  auto& m = b.chip->Memoria;
  std::fill(m.Prog.begin(), m.Prog.end(), 0);
  std::fill(m.Ee.begin(), m.Ee.end(), 0);
  for (uint32_t r = 0; r < 7; ++r) m.Config[r] = r == 5 ? 0 : 0x0101;
  m.Exec[5] = 0x001234;
  ASSERT_EQ(BorraDsPic(0), 0);
  b.SinFaltas();
  EXPECT_TRUE(std::all_of(m.Prog.begin(), m.Prog.end(), [](uint32_t v) { return v == 0xFFFFFF; }));
  EXPECT_TRUE(std::all_of(m.Ee.begin(), m.Ee.end(), [](uint16_t v) { return v == 0xFFFF; }));
  EXPECT_EQ(m.Config, m.Modelo().Implementados);
  EXPECT_EQ(m.Exec[5], 0x001234u);  // the bulk erase keeps the executive
  EXPECT_EQ(b.Ventana().Lineas.back(), " " + TextosEntorno[23]);
  EXPECT_EQ(b.Ventana().Posicion, 100u);
  EXPECT_FALSE(b.chip->EnProgramacion);
}

INSTANTIATE_TEST_SUITE_P(Partes, IcspDs, ::testing::ValuesIn(Casos),
                         [](const auto& i) { return std::string(i.param.Nombre); });

}  // namespace
