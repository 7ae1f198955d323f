// Factory calibration values of the 12F629 group (OSCCAL at 0x3FF and the
// band-gap bits) and the 12F683 calibration word across erase, programming
// and verify.
#include <gtest/gtest.h>

#include "banco_flash.h"
#include "flash/pg_flash.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_pic.h"

namespace {

class Calibracion629 : public ::testing::TestWithParam<TEnlacePrueba> {
protected:
  void SetUp() override {
    chip = std::make_unique<TPic14Sim>(*Datos14("12F629"));
    chip->OscCalFabrica = 0x3456;
    chip->BandGapFabrica = 0x1000;
    chip->PonFabrica();
    SeleccionaPic(0, 4);
    banco = std::make_unique<TBancoFlash>(GetParam(), chip.get());
    Act_Cal = false;
    ImagenPrueba(629, {0x11F4});
  }
  void TearDown() override {
    for (const auto& v : chip->Violaciones) ADD_FAILURE() << v;
  }
  uint16_t Bg() const { return chip->Config[7] & 0x3000; }

  std::unique_ptr<TPic14Sim> chip;
  std::unique_ptr<TBancoFlash> banco;
  TVentanaFlash ventana;
};

TEST_P(Calibracion629, UserEraseRestoresOscCalAndBandGap) {
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_EQ(chip->Prog[0x3FF], 0x3456);
  EXPECT_EQ(Bg(), 0x1000);
  EXPECT_EQ(chip->Config[7] & 0x0FFF, 0x0FFF);
  for (uint32_t a = 0; a < 0x3FF; ++a) ASSERT_EQ(chip->Prog[a], 0x3FFF);
  EXPECT_TRUE(ventana.Mensajes.empty());
}

TEST_P(Calibracion629, EraseForProgrammingLeavesTheValuesToTheQuestions) {
  ASSERT_EQ(banco->Ejecuta(0, BorraPic), 0u);
  EXPECT_EQ(OscCal, 0x3456);
  EXPECT_EQ(BandGap, 0x1000);
  EXPECT_EQ(chip->Prog[0x3FF], 0x3FFF);
}

TEST_P(Calibracion629, BlankImageCellTakesTheFactoryValueAndVerifies) {
  // Image band-gap bits 11 as most compilers leave them: the question is asked.
  BufDispositivo.Config[0] = BufArchivo.Config[0] = 0x31F4;
  ventana.Respuesta = TRespuesta::No;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  ASSERT_EQ(ventana.Preguntas.size(), 1u);  // band gap only: a blank OSCCAL cell asks nothing
  EXPECT_EQ(chip->Prog[0x3FF], 0x3456);
  EXPECT_EQ(Bg(), 0x1000);
  EXPECT_EQ(chip->Config[7] & 0x01FF, 0x01F4);
  // The verify right after programming expects what was programmed.
  EXPECT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
  // A later plain verify against the file still stops at the band-gap bits.
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, 0x2007u);
}

TEST_P(Calibracion629, QuestionAnswers) {
  struct {
    TRespuesta r;
    uint16_t osc, bg;
  } tabla[] = {{TRespuesta::No, 0x3456, 0x1000}, {TRespuesta::Cancelar, 0x3456, 0x1000},
               {TRespuesta::Si, 0x3401, 0x3000}};
  for (const auto& t : tabla) {
    chip->PonFabrica();
    LimpiaBuffers(BufDispositivo);
    BufDispositivo.Prog[0x3FF] = 0x3401;
    BufDispositivo.Config[0] = 0x31F4;
    BufArchivo = BufDispositivo;
    ventana.Respuesta = t.r;
    ventana.Preguntas.clear();
    ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
    ASSERT_EQ(ventana.Preguntas.size(), 2u);
    EXPECT_NE(ventana.Preguntas[0].find("3456"), std::string::npos);
    EXPECT_NE(ventana.Preguntas[0].find("3401"), std::string::npos);
    EXPECT_EQ(chip->Prog[0x3FF], t.osc);
    EXPECT_EQ(Bg(), t.bg);
    EXPECT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
  }
}

TEST_P(Calibracion629, ValuesSurviveAFailedProgrammingRun) {
  BufDispositivo.Prog[0x10] = 0x0000;
  chip->Pegados.push_back({0x10, 0x0001, 0x0001});
  EXPECT_EQ(banco->Ejecuta(0, ProgramaPic), uint32_t{ErrEscritura});
  // The run stopped early, but the values are kept for the next erase.
  EXPECT_EQ(OscCal, 0x3456);
  EXPECT_EQ(BandGap, 0x1000);
  chip->Pegados.clear();
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  // The failed run's erase took them off the chip; the next erase finds
  // blank cells and writes back the values it kept.
  EXPECT_EQ(chip->Prog[0x3FF], 0x3456);
  EXPECT_EQ(Bg(), 0x1000);
}
TEST_P(Calibracion629, BandGapSurvivesARunStoppedAfterTheOscCalCell) {
  // Cancelled in the data EEPROM area: OSCCAL (the last program word) is
  // back on the chip, the configuration word with the band-gap bits is not.
  ventana.CancelaTras = 1024 + 4 + 20;
  EXPECT_EQ(banco->Ejecuta(0, ProgramaPic), uint32_t{ErrCancelado});
  ASSERT_EQ(chip->Prog[0x3FF], 0x3456);
  ASSERT_EQ(Bg(), 0x3000);
  ventana.CancelaTras = 0;
  // The next erase must not take the erased bits for the factory value.
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_EQ(chip->Prog[0x3FF], 0x3456);
  EXPECT_EQ(Bg(), 0x1000);
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(Bg(), 0x1000);
}

TEST_P(Calibracion629, BandGapGoesBackWhenOscCalDoesNotTake) {
  // From the OSCCAL write-back (the second " OSCCAL" line) on, bit 0 of
  // 0x3FF reads 1.
  int lineas = 0;
  ventana.AlLog = [&](const std::string& l) {
    if (l.size() >= 7 && l.compare(l.size() - 7, 7, " OSCCAL") == 0 && ++lineas == 2)
      chip->Pegados.push_back({0x3FF, 0x0001, 0x0001});
  };
  EXPECT_NE(banco->Ejecuta(3, BorraPic), 0u);
  ASSERT_EQ(lineas, 2);
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("OSCCAL"), std::string::npos);
  EXPECT_EQ(Bg(), 0x1000);
}

TEST_P(Calibracion629, CodeProtectedPartGetsItsOscCalBack) {
  // A protected part reads every program word as 0, its OSCCAL cell too:
  // the value kept from the erase of the programming run goes back, never
  // the 0 read.
  BufDispositivo.Config[0] = BufArchivo.Config[0] = 0x1174;  // CP (bit 7) on
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  ASSERT_TRUE(chip->Protegido());
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_EQ(chip->Prog[0x3FF], 0x3456);
  EXPECT_EQ(Bg(), 0x1000);
  BufDispositivo.Config[0] = BufArchivo.Config[0] = 0x11F4;
  chip->Config[7] &= 0xFF7F;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(chip->Prog[0x3FF], 0x3456);
  EXPECT_TRUE(ventana.Mensajes.empty());
}

TEST_P(Calibracion629, UnreadableOscCalIsNotWrittenAsAValue) {
  // A protected 12F675 never seen before: its OSCCAL cannot be read, so
  // nothing is known to write back. The cell is left blank, the user is
  // told, and the erase does not end as a plain success.
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);  // what is kept is the 12F629's
  TPic14Sim otro(*Datos14("12F675"));
  otro.OscCalFabrica = 0x3490;
  otro.PonFabrica();
  otro.Config[7] &= 0xFF7F;
  ASSERT_TRUE(otro.Protegido());
  banco.reset();  // one bench at a time
  SeleccionaPic(0, 6);
  auto b = std::make_unique<TBancoFlash>(GetParam(), &otro);
  EXPECT_NE(b->Ejecuta(3, BorraPic), 0u);
  EXPECT_EQ(otro.Prog[0x3FF], 0x3FFF);
  EXPECT_EQ(otro.Config[7] & 0x3000, 0x2000);  // the band-gap bits are readable
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("OSCCAL"), std::string::npos);
  // Programming puts the image's own value there once the user says so.
  otro.Config[7] &= 0xFF7F;
  ventana.Mensajes.clear();
  ventana.Respuesta = TRespuesta::Si;
  BufDispositivo.Prog[0x3FF] = BufArchivo.Prog[0x3FF] = 0x3490;
  EXPECT_EQ(b->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(otro.Prog[0x3FF], 0x3490);
  EXPECT_EQ(ventana.Mensajes.size(), 1u);
  for (const auto& v : otro.Violaciones) ADD_FAILURE() << v;
}


INSTANTIATE_TEST_SUITE_P(Enlaces, Calibracion629,
                         ::testing::Values(TEnlacePrueba::Lpt, TEnlacePrueba::Com),
                         [](const auto& i) { return std::string(NombreEnlace(i.param)); });

// Parts with calibration words after the configuration word: the 12F683
// (one, at 0x2008) and the 12F635 (two, at 0x2008-0x2009).
struct TCasoCal {
  const char* Nombre;
  uint8_t Indice;
  uint8_t Palabras;
};
using TParamCal = std::tuple<TCasoCal, TEnlacePrueba>;

class CalibracionPalabras : public ::testing::TestWithParam<TParamCal> {
protected:
  void SetUp() override {
    caso = std::get<0>(GetParam());
    chip = std::make_unique<TPic14Sim>(*Datos14(caso.Nombre));
    chip->CalFabrica = {0x2A5C, 0x1B6D};
    chip->CalFabrica.resize(caso.Palabras);
    chip->PonFabrica();
    SeleccionaPic(0, caso.Indice);
    ASSERT_EQ(PicActual.CfgNum, 1u + caso.Palabras);
    banco = std::make_unique<TBancoFlash>(std::get<1>(GetParam()), chip.get());
    ImagenPrueba(683, {0x3FF4, 0x3FFF, 0x3FFF});
  }
  void TearDown() override {
    Act_Cal = false;
    for (const auto& v : chip->Violaciones) ADD_FAILURE() << v;
  }
  bool CalDeFabrica() const {
    for (uint8_t i = 0; i < caso.Palabras; ++i)
      if (chip->Config[8 + i] != chip->CalFabrica[i]) return false;
    return true;
  }
  TCasoCal caso;
  std::unique_ptr<TPic14Sim> chip;
  std::unique_ptr<TBancoFlash> banco;
  TVentanaFlash ventana;
};

TEST_P(CalibracionPalabras, KeptWithActCalClear) {
  Act_Cal = false;
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_TRUE(CalDeFabrica());
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_TRUE(CalDeFabrica());
  EXPECT_EQ(chip->Config[7], 0x3FF4);
  // The configuration word is verified, the calibration words are not.
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), 0u);
  chip->Config[7] = 0x3FF0;
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, 0x2007u);
}

TEST_P(CalibracionPalabras, ErasedAndWrittenWithActCalSet) {
  Act_Cal = true;
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  for (uint8_t i = 0; i < caso.Palabras; ++i) EXPECT_EQ(chip->Config[8 + i], 0x3FFF);
  for (uint8_t i = 0; i < caso.Palabras; ++i) BufDispositivo.Config[1 + i] = BufArchivo.Config[1 + i] = 0x1111;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  for (uint8_t i = 0; i < caso.Palabras; ++i) EXPECT_EQ(chip->Config[8 + i], 0x1111);
  EXPECT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
}

const TCasoCal CasosCal[] = {{"12F683", 7, 1}, {"12F635", 5, 2}};

void PrintTo(const TCasoCal& c, std::ostream* os) { *os << c.Nombre; }

INSTANTIATE_TEST_SUITE_P(Partes, CalibracionPalabras,
                         ::testing::Combine(::testing::ValuesIn(CasosCal),
                                            ::testing::Values(TEnlacePrueba::Lpt, TEnlacePrueba::Com)),
                         [](const auto& i) {
                           return std::string("P") + std::get<0>(i.param).Nombre + "_" +
                                  NombreEnlace(std::get<1>(i.param));
                         });

}  // namespace
