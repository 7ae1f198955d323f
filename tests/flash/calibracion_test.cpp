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

INSTANTIATE_TEST_SUITE_P(Partes, CalibracionPalabras,
                         ::testing::Combine(::testing::ValuesIn(CasosCal),
                                            ::testing::Values(TEnlacePrueba::Lpt, TEnlacePrueba::Com)),
                         [](const auto& i) {
                           return std::string("P") + std::get<0>(i.param).Nombre + "_" +
                                  NombreEnlace(std::get<1>(i.param));
                         });

}  // namespace
