// What the dsPIC engine does when the part, the user or the image says no:
// a bit that does not take, the wrong configuration mask set, differences
// found by a verify, the executive question, cancel and an operation the
// part needs more time for.
#include <algorithm>

#include "banco_dspic.h"

namespace {

uint32_t Operaciones(const TDsPic30Sim& chip, uint16_t nvmcon) {
  return static_cast<uint32_t>(std::count_if(chip.Operaciones.begin(), chip.Operaciones.end(),
                                             [&](const auto& o) { return o.Nvmcon == nvmcon; }));
}

TEST(FallosDs, StuckBitIsError11AtItsAddress) {
  BancoDs b(Indice30F2010, false);
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  // Instruction 0x412 reads its highest one bit as 0 whatever is written.
  const uint32_t esperado = InstruccionDe(BufDispositivo, 0x412);
  uint32_t bit = 1u << 23;
  while (!(esperado & bit)) bit >>= 1;
  b.chip->Memoria.DirPegada = 0x412;
  b.chip->Memoria.BitsPegados = bit;
  EXPECT_EQ(ProgramaDsPic(), ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 0x412u);
  ASSERT_EQ(b.Ventana().Mensajes.size(), 1u);
  char texto[64];
  std::snprintf(texto, sizeof texto, "%06X", esperado);
  EXPECT_NE(b.Ventana().Mensajes[0].find(texto), std::string::npos) << b.Ventana().Mensajes[0];
  std::snprintf(texto, sizeof texto, "%06X", esperado & ~bit);
  EXPECT_NE(b.Ventana().Mensajes[0].find(texto), std::string::npos) << b.Ventana().Mensajes[0];
  EXPECT_NE(b.Ventana().Mensajes[0].find("00000412"), std::string::npos);
  // The rows after the failing one are not written, and the mode is left.
  for (const auto& op : b.chip->Operaciones)
    if (op.Nvmcon == 0x4001) {
      EXPECT_LE(op.Direccion, 0x43Fu);
    }
  EXPECT_FALSE(b.chip->EnProgramacion);
  b.SinFaltas();
}

TEST(FallosDs, EepromRowCutShortIsError11AtItsFirstWord) {
  BancoDs b(Indice30F2010, false);
  LimpiaBuffers(BufDispositivo);
  for (uint32_t i = 0; i < PicActual.ProgTam; i += 2) BufDispositivo.Prog[i + 1] = 0x00FF;
  for (uint32_t r = 0; r < 7; ++r) BufDispositivo.Config[4 * r] = b.chip->Memoria.Modelo().Implementados[r];
  BufDispositivo.Datos[0x44] = 0x1234;
  // The part needs longer than the engine waits: the row stays blank.
  b.chip->TiempoEeNs = 5'000'000;
  EXPECT_EQ(ProgramaDsPic(), ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 0x7FFC00u + 0x44);
  ASSERT_FALSE(b.chip->Violaciones.empty());
  EXPECT_NE(b.chip->Violaciones[0].find("cut short"), std::string::npos);
}

TEST(FallosDs, EraseCheckCatchesTheOtherMaskSet) {
  // A part whose oscillator register implements set B's bits sits where a
  // set A part is selected: the erase check reports register 0.
  BancoDs b(Indice30F2010, false, Modelo30F4013());
  EXPECT_EQ(BorraDsPic(0), ErrBorrado);
  ASSERT_EQ(b.Ventana().Mensajes.size(), 2u);
  EXPECT_NE(b.Ventana().Mensajes[0].find("00F80000"), std::string::npos) << b.Ventana().Mensajes[0];
  EXPECT_NE(b.Ventana().Mensajes[0].find("00C30F"), std::string::npos);
  EXPECT_NE(b.Ventana().Mensajes[0].find("00C71F"), std::string::npos);
  EXPECT_FALSE(b.chip->EnProgramacion);
  b.SinFaltas();
}

TEST(FallosDs, MaskSetsByDevice) {
  for (uint8_t i = 98; i <= 121; ++i) {
    const bool a = i == 98 || i == 106 || i == 107 || i == 109 || i == 110 || i == 112 || i == 113 ||
                   i == 115 || i == 117 || i == 119;
    EXPECT_EQ(DaMaskAB(i), a) << int(i);
  }
  EXPECT_EQ(BitsConfig(true)[0], 0xC30F);
  EXPECT_EQ(BitsConfig(false)[0], 0xC71F);
}

struct TDiferencia {
  const char* Nombre;
  int Area;          // 0 program, 1 EEPROM, 4 configuration
  uint32_t Celda;
  uint32_t Direccion;
};
void PrintTo(const TDiferencia& d, std::ostream* os) { *os << d.Nombre; }

class VerificaDs : public ::testing::TestWithParam<TDiferencia> {};

TEST_P(VerificaDs, DifferenceIsError16AtItsAddress) {
  BancoDs b(Indice30F2010, false);
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  ASSERT_EQ(ProgramaDsPic(), 0);
  BufArchivo = BufDispositivo;
  const TDiferencia& d = GetParam();
  switch (d.Area) {
    case 0: BufArchivo.Prog[d.Celda] ^= 0x0001; break;
    case 1: BufArchivo.Datos[d.Celda] ^= 0x0100; break;
    default: BufArchivo.Config[d.Celda] ^= 0x0001; break;
  }
  TipoAccion = 2;
  b.Ventana().Mensajes.clear();
  EXPECT_EQ(VerificaDsPic(false), ErrVerificacion);
  EXPECT_EQ(ContextoError.Direccion, d.Direccion);
  ASSERT_EQ(b.Ventana().Mensajes.size(), 1u);
  EXPECT_FALSE(b.chip->EnProgramacion);
  b.SinFaltas();
}

INSTANTIATE_TEST_SUITE_P(Areas, VerificaDs,
                         ::testing::Values(TDiferencia{"Program", 0, 0x402, 0x402},
                                           TDiferencia{"UpperByte", 0, 0x403, 0x402},
                                           TDiferencia{"Eeprom", 1, 0x40, 0x7FFC40},
                                           // The seventh register counts too.
                                           TDiferencia{"LastRegister", 4, 24, 0xF8000C},
                                           TDiferencia{"FirstRegister", 4, 0, 0xF80000}),
                         [](const auto& i) { return std::string(i.param.Nombre); });

TEST(FallosDs, CellsWithoutDeviceBitsCannotFailAVerify) {
  BancoDs b(Indice30F2010, false);
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  ASSERT_EQ(ProgramaDsPic(), 0);
  BufArchivo = BufDispositivo;
  // As a HEX file leaves them: blank upper cells 0xFFFF, blank EEPROM
  // second cells 0xFFFF, configuration padding 0xFFFF.
  for (uint32_t i = 1; i < PicActual.ProgTam; i += 2)
    if (BufArchivo.Prog[i] == 0x00FF) BufArchivo.Prog[i] = 0xFFFF;
  for (uint32_t i = 1; i < PicActual.EeTam; i += 2) BufArchivo.Datos[i] = 0xFFFF;
  for (uint32_t r = 0; r < 7; ++r) BufArchivo.Config[4 * r + 2] = BufArchivo.Config[4 * r + 3] = 0xFFFF;
  TipoAccion = 2;
  EXPECT_EQ(VerificaDsPic(false), 0);
}

struct TRespuestaExec {
  const char* Nombre;
  TRespuesta Respuesta;
};
void PrintTo(const TRespuestaExec& r, std::ostream* os) { *os << r.Nombre; }

class PreguntaExec : public ::testing::TestWithParam<TRespuestaExec> {};

TEST_P(PreguntaExec, AnswerDecidesTheExecutiveArea) {
  BancoDs b(Indice30F2010, false);
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  for (uint32_t i = 0; i < PicActual.ExecTam; i += 2) {
    BufDispositivo.Exec[i] = static_cast<uint16_t>(0x8000 + i);
    BufDispositivo.Exec[i + 1] = 0x0012;
  }
  b.estado->ejecutivo = true;
  b.Ventana().Respuesta = GetParam().Respuesta;
  auto& exec = b.chip->Memoria.Exec;
  const auto anterior = exec;
  const uint8_t r = ProgramaDsPic();
  ASSERT_EQ(b.Ventana().Preguntas.size(), 1u);
  EXPECT_TRUE(b.Ventana().ConCancelar);
  EXPECT_EQ(b.Ventana().Preguntas[0], " " + TextoError("47*") + SaltoMensaje + "   " + TextoError("48*"));
  switch (GetParam().Respuesta) {
    case TRespuesta::Cancelar:
      EXPECT_EQ(r, ErrCancelado);
      EXPECT_TRUE(b.chip->Operaciones.empty());  // nothing erased
      EXPECT_FALSE(IncluyeExec);
      break;
    case TRespuesta::No:
      EXPECT_EQ(r, 0);
      EXPECT_FALSE(IncluyeExec);
      EXPECT_EQ(exec, anterior);
      EXPECT_EQ(Operaciones(*b.chip, 0x407F), 1u);
      break;
    case TRespuesta::Si: {
      EXPECT_EQ(r, 0);
      EXPECT_TRUE(IncluyeExec);
      for (uint32_t i = 0; i < exec.size(); ++i)
        ASSERT_EQ(exec[i], 0x120000u + 0x8000 + 2 * i) << i;
      EXPECT_EQ(Operaciones(*b.chip, 0x407F), 2u);
      // The verify after programming takes the executive area in.
      BufArchivo = BufDispositivo;
      TipoAccion = 0;
      EXPECT_EQ(VerificaDsPic(IncluyeExec), 0);
      BufArchivo.Exec[PicActual.ExecTam - 2] ^= 1;
      EXPECT_EQ(VerificaDsPic(IncluyeExec), ErrVerificacion);
      EXPECT_EQ(ContextoError.Direccion, 0x8005BEu);
      break;
    }
  }
  b.SinFaltas();
}

INSTANTIATE_TEST_SUITE_P(Respuestas, PreguntaExec,
                         ::testing::Values(TRespuestaExec{"Yes", TRespuesta::Si},
                                           TRespuestaExec{"No", TRespuesta::No},
                                           TRespuestaExec{"Cancel", TRespuesta::Cancelar}),
                         [](const auto& i) { return std::string(i.param.Nombre); });

struct TCancelacion {
  const char* Nombre;
  int Operacion;  // 0 read, 1 program, 2 verify
};
void PrintTo(const TCancelacion& c, std::ostream* os) { *os << c.Nombre; }

class CancelaDs : public ::testing::TestWithParam<TCancelacion> {};

TEST_P(CancelaDs, CancelIsError22AndLeavesProgrammingMode) {
  BancoDs b(Indice30F2010, false);
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  BufArchivo = BufDispositivo;
  b.Ventana().AlBombear = [](uint32_t n) { if (n == 20) Cancelado = true; };
  uint8_t r = 0;
  switch (GetParam().Operacion) {
    case 0: r = LeeDsPic(false); break;
    case 1: r = ProgramaDsPic(); break;
    default: TipoAccion = 2; r = VerificaDsPic(false); break;
  }
  EXPECT_EQ(r, ErrCancelado);
  EXPECT_FALSE(b.chip->EnProgramacion);
  // A cancel is said once, and logs no error line.
  ASSERT_EQ(b.Ventana().Mensajes.size(), 1u);
  EXPECT_NE(b.Ventana().Mensajes[0].find(TextoError("26*")), std::string::npos);
  for (const auto& l : b.Ventana().Lineas) EXPECT_EQ(l.find(TextoError("18*")), std::string::npos) << l;
  b.SinFaltas();
}

INSTANTIATE_TEST_SUITE_P(Operaciones, CancelaDs,
                         ::testing::Values(TCancelacion{"Read", 0}, TCancelacion{"Program", 1},
                                           TCancelacion{"Verify", 2}),
                         [](const auto& i) { return std::string(i.param.Nombre); });

// A file without configuration words, or with the unimplemented bits set
// as toolchains write them: the part keeps the implemented bits, and that
// is neither a write check nor a verify failure. Both mask sets.
TEST(FallosDs, ConfigurationBitsThePartDoesNotHoldCannotFail) {
  for (const uint8_t indice : {Indice30F2010, Indice30F4013}) {
    SCOPED_TRACE(DaNombreDispositivo(0, indice));
    BancoDs b(indice, false);
    const TModeloDsPic30& modelo = b.chip->Memoria.Modelo();
    ImagenPruebaDs(modelo);
    ConfigComoArchivoDs(modelo);
    const TBuffers imagen = BufDispositivo;
    ASSERT_EQ(ProgramaDsPic(), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
    for (uint32_t r = 0; r < 7; ++r) EXPECT_EQ(b.chip->Memoria.Config[r], ConfigEsperadaDs(modelo, imagen, r)) << r;
    BufArchivo = imagen;
    TipoAccion = 2;
    EXPECT_EQ(VerificaDsPic(false), 0) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
    // A bit the part holds still counts.
    BufArchivo.Config[8] ^= 0x0080;
    EXPECT_EQ(VerificaDsPic(false), ErrVerificacion);
    EXPECT_EQ(ContextoError.Direccion, 0xF80004u);
    EXPECT_TRUE(b.Ventana().Mensajes.size() == 1u);
    b.SinFaltas();
  }
}

TEST(FallosDs, RowThatNeedsMoreTimeDoesNotTake) {
  BancoDs b(Indice30F2010, false);
  ImagenPruebaDs(b.chip->Memoria.Modelo());
  b.chip->TiempoFilaNs = 3'000'000;
  EXPECT_EQ(ProgramaDsPic(), ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 0u);
  EXPECT_FALSE(b.chip->Violaciones.empty());
}

TEST(FallosDs, UnlistedAndMissingIds) {
  TModeloDsPic30 otro = Modelo30F2010();
  otro.Id = 0x3C0;
  BancoDs b(Indice30F2010, false, otro);
  TModel m;
  LeeIdDsPic(m);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_EQ(m.Indice, 255);
  EXPECT_FALSE(m.Encontrado);
  EXPECT_TRUE(m.Nombre.empty());
  b.banco->Adaptador.Conecta(nullptr);
  LeeIdDsPic(m);
  EXPECT_EQ(m.Responde, 0);
  EXPECT_EQ(m.Indice, 255);
  EXPECT_FALSE(m.Encontrado);
}

}  // namespace
