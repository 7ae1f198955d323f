// The dsPIC engine on the firmware programmer, against the simulated board
// with a dsPIC30F in its socket.
#include <algorithm>

#include "banco_dspic_fw.h"

namespace {

uint32_t FilasNoVacias() {
  uint32_t n = 0;
  for (uint32_t f = 0; f < PicActual.ProgTam / 64; ++f) {
    bool vacia = true;
    for (uint32_t i = 0; i < 64 && vacia; i += 2)
      vacia = BufDispositivo.Prog[64 * f + i] == 0xFFFF && BufDispositivo.Prog[64 * f + i + 1] == 0x00FF;
    n += !vacia;
  }
  for (uint32_t f = 0; f < PicActual.EeTam / 32; ++f) {
    bool vacia = true;
    for (uint32_t i = 0; i < 32 && vacia; i += 2) vacia = BufDispositivo.Datos[32 * f + i] == 0xFFFF;
    n += !vacia;
  }
  return n + 1;  // the configuration row
}

// A small part, and one past 0x10000 so the board crosses the table page
// (the image has instructions on both sides of it).
class FwDsPartes : public ::testing::TestWithParam<uint8_t> {};

TEST_P(FwDsPartes, ProgramsVerifiesAndReadsBack) {
  BancoDsFw b(GetParam());
  ASSERT_TRUE(b.abierto);
  b.placa->Con([&] {
    b.chip.Memoria.Prog[0x30] = 0;
    b.chip.Memoria.Config[5] = 0;
    return 0;
  });
  ImagenPruebaDs(b.chip.Memoria.Modelo());
  const TBuffers imagen = BufDispositivo;
  const uint32_t filas = FilasNoVacias();

  ASSERT_EQ(ProgramaDsPic(), 0) << ContextoError.Codigo;
  b.placa->Con([&] {
    EsperaChipIgual(b.chip.Memoria, imagen);
    EXPECT_EQ(b.chip.FilasEscritas, filas);
    return 0;
  });

  // The verify after programming: the board's configuration read fills the
  // last two cells of each register with zeros; the image holds 0xFFFF
  // there, as a loaded file leaves them.
  BufArchivo = imagen;
  for (uint32_t r = 0; r < 7; ++r) ASSERT_EQ(BufArchivo.Config[4 * r + 2], 0xFFFF);
  TipoAccion = 0;
  ASSERT_EQ(VerificaDsPic(false), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  EXPECT_TRUE(std::equal(imagen.Prog.begin(), imagen.Prog.begin() + PicActual.ProgTam,
                         BufDispositivo.Prog.begin()));
  EXPECT_TRUE(std::equal(imagen.Datos.begin(), imagen.Datos.begin() + PicActual.EeTam,
                         BufDispositivo.Datos.begin()));
  for (uint32_t r = 0; r < 7; ++r) EXPECT_EQ(BufDispositivo.Config[4 * r], imagen.Config[4 * r]);
  EXPECT_TRUE(b.Ventana().Mensajes.empty());
  EXPECT_TRUE(b.placa->Errores().empty()) << b.placa->Errores().front();

  // A difference in the image is found at its address.
  BufArchivo.Datos[0x20] ^= 0x0001;
  TipoAccion = 2;
  EXPECT_EQ(VerificaDsPic(false), ErrVerificacion);
  EXPECT_EQ(ContextoError.Direccion, PicActual.EeIni + 0x20);
  if (PicActual.ProgTam > 0x10000) {
    BufArchivo = imagen;
    BufArchivo.Prog[0x10000] ^= 0x0100;
    EXPECT_EQ(VerificaDsPic(false), ErrVerificacion);
    EXPECT_EQ(ContextoError.Direccion, 0x10000u);
  }
}

INSTANTIATE_TEST_SUITE_P(Partes, FwDsPartes, ::testing::Values(Indice30F2010, Indice30F6014),
                         [](const auto& i) { return "P" + DaNombreDispositivo(0, i.param); });

// The board compares each configuration register with what it reads back:
// a file without configuration words, or with unimplemented bits set, is
// programmed and verified all the same.
TEST(FwDs, ConfigurationBitsThePartDoesNotHoldCannotFail) {
  BancoDsFw b(Indice30F2010);
  ASSERT_TRUE(b.abierto);
  const TModeloDsPic30 modelo = b.chip.Memoria.Modelo();
  ImagenPruebaDs(modelo);
  ConfigComoArchivoDs(modelo);
  const TBuffers imagen = BufDispositivo;
  ASSERT_EQ(ProgramaDsPic(), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  b.placa->Con([&] {
    for (uint32_t r = 0; r < 7; ++r) EXPECT_EQ(b.chip.Memoria.Config[r], ConfigEsperadaDs(modelo, imagen, r)) << r;
    return 0;
  });
  BufArchivo = imagen;
  TipoAccion = 2;
  EXPECT_EQ(VerificaDsPic(false), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  EXPECT_TRUE(b.Ventana().Mensajes.empty());
}

// Whether the bytes arrived at the board, in this order.
bool Contiene(const std::vector<uint8_t>& r, const std::vector<std::vector<uint8_t>>& ordenes) {
  auto desde = r.begin();
  for (const auto& o : ordenes) {
    desde = std::search(desde, r.end(), o.begin(), o.end());
    if (desde == r.end()) return false;
    desde += static_cast<long>(o.size());
  }
  return true;
}

TEST(FwDs, CommandPacketsOfEveryArea) {
  BancoDsFw b(Indice30F2010);
  ASSERT_TRUE(b.abierto);
  b.estado->ejecutivo = true;
  ImagenPruebaDs(b.chip.Memoria.Modelo());
  BufDispositivo.Exec[0] = 0x1234;
  BufDispositivo.Exec[1] = 0x0000;
  for (uint32_t i = 2; i < PicActual.ExecTam; i += 2) BufDispositivo.Exec[i + 1] = 0x00FF;
  ASSERT_EQ(ProgramaDsPic(), 0);
  EXPECT_TRUE(Contiene(b.placa->Recibido(), {
                                                {'>', 'H', 0, 1, 0, 0, 0, 0},      // erase, set A
                                                {'>', 'H', 1, 1, 0, 0, 0, 0},      // and the executive
                                                {'>', 'I', 127, 0, 0, 0, 0, 0},    // 128 program rows
                                                {'>', 'J', 31, 0, 0, 0, 1, 0},     // 32 EEPROM rows
                                                {'>', 'I', 22, 0, 0, 0, 3, 0},     // 23 executive rows
                                                {'>', 'K', 0, 0, 0, 0, 4, 0},      // the configuration
                                            }));
  b.placa->LimpiaRegistro();
  ASSERT_EQ(LeeDsPic(true), 0);
  EXPECT_TRUE(Contiene(b.placa->Recibido(), {
                                                {'>', 'E', 0xFF, 0x03, 0x00, 0x00, 0x00, 0},  // 1024 groups of 4
                                                {'>', 'F', 127, 0, 0x7F, 0xFC, 0x00, 0},      // 1024 cells
                                                {'>', 'E', 183, 0, 0x80, 0x00, 0x00, 0},      // 736 instructions
                                                {'>', 'G', 0, 0, 0, 0, 0, 0},
                                            }));
  EXPECT_EQ(BufDispositivo.Exec[0], 0x1234);
}

TEST(FwDs, ReadsTheExecutiveArea) {
  BancoDsFw b(Indice30F2010);
  ASSERT_TRUE(b.abierto);
  b.placa->Con([&] {
    b.chip.Memoria.Exec[0] = 0x00BB12;
    b.chip.Memoria.Exec[735] = 0x003456;
    b.chip.Memoria.Prog[4095] = 0x0A0B0C;
    return 0;
  });
  ASSERT_EQ(LeeDsPic(true), 0);
  EXPECT_EQ(BufDispositivo.Exec[0], 0xBB12);
  EXPECT_EQ(BufDispositivo.Exec[1], 0x0000);
  EXPECT_EQ(BufDispositivo.Exec[1470], 0x3456);
  EXPECT_EQ(InstruccionDe(BufDispositivo, 0x1FFE), 0x0A0B0Cu);
  EXPECT_EQ(BufDispositivo.Datos[0], 0xFFFF);
  EXPECT_EQ(BufDispositivo.Datos[1], 0x0000);
}

TEST(FwDs, ExecutiveErasedAndProgrammedWhenTheUserSaysYes) {
  BancoDsFw b(Indice30F2010);
  ASSERT_TRUE(b.abierto);
  b.placa->Con([&] { b.chip.Memoria.Exec[3] = 0; return 0; });
  ImagenPruebaDs(b.chip.Memoria.Modelo());
  for (uint32_t i = 0; i < PicActual.ExecTam; i += 2) {
    BufDispositivo.Exec[i] = static_cast<uint16_t>(0x4000 + i);
    BufDispositivo.Exec[i + 1] = 0x0001;
  }
  b.estado->ejecutivo = true;
  ASSERT_EQ(ProgramaDsPic(), 0);
  b.placa->Con([&] {
    for (uint32_t i = 0; i < 736; ++i) EXPECT_EQ(b.chip.Memoria.Exec[i], 0x010000u + 0x4000 + 2 * i) << i;
    return 0;
  });
}

TEST(FwDs, EraseCheckCatchesTheOtherMaskSet) {
  BancoDsFw b(Indice30F2010, Modelo30F4013());
  ASSERT_TRUE(b.abierto);
  EXPECT_EQ(BorraDsPic(0), ErrBorrado);
  ASSERT_EQ(b.Ventana().Mensajes.size(), 2u);
  EXPECT_NE(b.Ventana().Mensajes[0].find("00F80000"), std::string::npos) << b.Ventana().Mensajes[0];
  // The command named set A.
  const auto r = b.placa->Recibido();
  const uint8_t orden[] = {'>', 'H'};
  const auto h = std::search(r.begin(), r.end(), std::begin(orden), std::end(orden));
  ASSERT_NE(h, r.end());
  ASSERT_GE(r.end() - h, 8);
  EXPECT_EQ(h[2], 0);
  EXPECT_EQ(h[3], 1);
}

TEST(FwDs, IdentifiesThePartOnItsSocket) {
  BancoDsFw b(Indice30F6014);
  ASSERT_TRUE(b.abierto);
  TModel m;
  LeeIdDsPic(m);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Indice, Indice30F6014);
  EXPECT_EQ(m.Nombre, "30F6014");
  Zocalo2 = true;  // the command names the other socket
  LeeIdDsPic(m);
  EXPECT_EQ(m.Responde, 0);
  EXPECT_FALSE(m.Encontrado);
  EXPECT_EQ(m.Indice, 255);
}

struct TRespuestaMala {
  const char* Nombre;
  std::vector<uint8_t> Bytes;
  uint32_t Error;
};
void PrintTo(const TRespuestaMala& r, std::ostream* os) { *os << r.Nombre; }

class IdCorrupto : public ::testing::TestWithParam<TRespuestaMala> {};

// A reply with a wrong XOR, or one too short, still counts as an answer,
// but names no part, even where its bytes happen to be a listed ID.
TEST_P(IdCorrupto, AnswersButNamesNothing) {
  TEnlaceFwPrueba enlace(Indice30F2010);
  TRespuestaFija lejos(GetParam().Bytes);
  ASSERT_TRUE(AbreEnlaceFw(lejos.Dispositivo()));
  BufferRx[0] = 0x40;  // a 30F2010's ID left over from an earlier reply
  BufferRx[1] = 0x00;
  TModel m;
  LeeIdDsPic(m);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_FALSE(m.Encontrado);
  EXPECT_EQ(m.Indice, 255);
  EXPECT_TRUE(m.Nombre.empty());
  EXPECT_EQ(ContextoError.Codigo, GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(Respuestas, IdCorrupto,
                         ::testing::Values(TRespuestaMala{"BadXor", {0x40, 0x00, 0x41}, ErrChecksumEnlace},
                                           TRespuestaMala{"Short", {0x40, 0x00}, ErrSinRespuesta}),
                         [](const auto& i) { return std::string(i.param.Nombre); });

TEST(FwDs, EraseReplyWithBadXorIsError27) {
  TEnlaceFwPrueba enlace(Indice30F2010);
  std::vector<uint8_t> r = {0x0F, 0xC3, 0x3F, 0x80, 0xB3, 0x87, 0x0F, 0x31, 0x0F, 0x33, 0x07, 0x00, 0x03, 0xC0};
  uint8_t x = 0;
  for (uint8_t v : r) x ^= v;
  r.push_back(static_cast<uint8_t>(x ^ 1));
  TRespuestaFija lejos(r);
  ASSERT_TRUE(AbreEnlaceFw(lejos.Dispositivo()));
  EXPECT_EQ(BorraDsPic(0), ErrChecksumEnlace);
}

}  // namespace

namespace {

TEST(FwDs, CancelIsError22) {
  BancoDsFw b(Indice30F2010);
  ASSERT_TRUE(b.abierto);
  b.Ventana().AlBombear = [](uint32_t n) { if (n == 50) Cancelado = true; };
  EXPECT_EQ(LeeDsPic(false), ErrCancelado);
  Cancelado = false;
  // The link is usable again afterwards.
  b.Ventana().AlBombear = nullptr;
  TModel m;
  LeeIdDsPic(m);
  EXPECT_TRUE(m.Encontrado);
}

}  // namespace
