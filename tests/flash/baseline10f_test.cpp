// 12-bit baseline parts (10F200 family) end to end on the pin-level
// programmer, with their OSCCAL word and its backup.
#include <gtest/gtest.h>

#include "banco_flash.h"
#include "flash/pg_flash.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_pic.h"

namespace {

struct TCaso10F {
  const char* Nombre;
  uint8_t Indice;
};
const TCaso10F Casos[] = {{"10F200", 0}, {"10F202", 1}, {"10F204", 2}, {"10F206", 3}};

using TParam = std::tuple<TCaso10F, TEnlacePrueba>;

class Baseline10F : public ::testing::TestWithParam<TParam> {
protected:
  void SetUp() override {
    caso = std::get<0>(GetParam());
    chip = std::make_unique<TPic10FSim>(*Datos10F(caso.Nombre));
    SeleccionaPic(0, caso.Indice);
    ASSERT_EQ(PicActual.Familia, 10);
    banco = std::make_unique<TBancoFlash>(std::get<1>(GetParam()), chip.get());
    ImagenPrueba(caso.Indice + 100, {0x0FEB});
  }
  void TearDown() override {
    for (const auto& v : chip->Violaciones) ADD_FAILURE() << caso.Nombre << ": " << v;
  }
  uint16_t Osc() const { return chip->Mem[chip->DirOscCal()]; }
  uint16_t Backup() const { return chip->Mem[chip->DirBackup()]; }

  TCaso10F caso;
  std::unique_ptr<TPic10FSim> chip;
  std::unique_ptr<TBancoFlash> banco;
  TVentanaFlash ventana;
};

TEST_P(Baseline10F, ProgramVerifyAndReadBackKeepTheCalibration) {
  for (uint16_t a = 0; a < chip->DirOscCal(); ++a) chip->Mem[a] = 0x0000;  // a used chip
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_TRUE(ventana.Preguntas.empty());
  for (uint32_t a = 0; a < PicActual.ProgFin; ++a)
    ASSERT_EQ(chip->Mem[a], BufArchivo.Prog[a]) << std::hex << a;
  EXPECT_EQ(Osc(), chip->OscCalFabrica);
  EXPECT_EQ(Backup(), chip->OscCalFabrica);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(chip->Mem[PicActual.IdIni + i], i + 1);
  EXPECT_EQ(chip->Mem[chip->Datos().DirConfig], 0x0FEB);

  // The verify right after programming expects the OSCCAL value it wrote,
  // though the image's last word is blank.
  ASSERT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
  ASSERT_EQ(banco->Ejecuta(1, LeerPic), 0u);
  for (uint32_t a = 0; a < PicActual.ProgFin; ++a) ASSERT_EQ(BufDispositivo.Prog[a], BufArchivo.Prog[a]);
  EXPECT_EQ(BufDispositivo.Prog[PicActual.ProgFin], chip->OscCalFabrica);
  EXPECT_EQ(BufDispositivo.Config[0], 0x0FEB);
  EXPECT_EQ(OscCalBackup, chip->OscCalFabrica);  // read with the ID words
}

// A verify in a run of its own after programming an image whose last
// program word is blank, as an assembler leaves it: the part keeps its
// factory OSCCAL word there, and the verify passes. The word before it,
// and an OSCCAL value the image names, are compared as ever.
TEST_P(Baseline10F, VerifyInARunOfItsOwnPassesTheKeptOscCalWord) {
  const uint32_t ultima = PicActual.ProgFin;
  ASSERT_EQ(BufArchivo.Prog[ultima], 0x0FFF);
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  ASSERT_EQ(Osc(), chip->OscCalFabrica);
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), 0u);

  BufArchivo.Prog[ultima - 1] ^= 0x0001;
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, ultima - 1);
  BufArchivo.Prog[ultima - 1] ^= 0x0001;
  BufArchivo.Prog[ultima] = 0x0C55;
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, ultima);
  EXPECT_EQ(ContextoError.Leido, chip->OscCalFabrica);
}

TEST_P(Baseline10F, UserEraseRestoresBothOscCalWords) {
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_EQ(Osc(), chip->OscCalFabrica);
  EXPECT_EQ(Backup(), chip->OscCalFabrica);
  for (uint32_t a = 0; a < PicActual.ProgFin; ++a) ASSERT_EQ(chip->Mem[a], 0x0FFF);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(chip->Mem[PicActual.IdIni + i], 0x0FFF);
  EXPECT_EQ(chip->Mem[chip->Datos().DirConfig], 0x0FFF);
}

TEST_P(Baseline10F, LostOscCalComesBackFromTheBackup) {
  // A programming run that stopped after its erase leaves the last word
  // blank; the backup copy still holds the value.
  chip->Mem[chip->DirOscCal()] = 0x0FFF;
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  EXPECT_EQ(Osc(), chip->OscCalFabrica);
  EXPECT_EQ(Backup(), chip->OscCalFabrica);
}

TEST_P(Baseline10F, BackupGoesBackWhenOscCalDoesNotTake) {
  // The second " OSCCAL" line is the write-back; from then on bit 0 of the
  // OSCCAL cell reads 1.
  int lineas = 0;
  ventana.AlLog = [&](const std::string& l) {
    if (l.size() >= 7 && l.compare(l.size() - 7, 7, " OSCCAL") == 0 && ++lineas == 2) {
      chip->DirPegado = chip->DirOscCal();
      chip->MascaraPegado = 0x0001;
      chip->ValorPegado = 0x0001;
    }
  };
  EXPECT_NE(banco->Ejecuta(3, BorraPic), 0u);
  ASSERT_EQ(lineas, 2);
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("OSCCAL"), std::string::npos);
  EXPECT_EQ(ventana.Mensajes[0].find("Backup"), std::string::npos);
  EXPECT_EQ(Backup(), chip->OscCalFabrica);
}

TEST_P(Baseline10F, EraseBeforeProgrammingRestoresTheBackup) {
  ASSERT_EQ(banco->Ejecuta(0, BorraPic), 0u);
  EXPECT_EQ(Backup(), chip->OscCalFabrica);
  EXPECT_EQ(Osc(), 0x0FFF);  // left to the programming run
  EXPECT_EQ(OscCal, chip->OscCalFabrica);
}

TEST_P(Baseline10F, OscCalQuestion) {
  BufDispositivo.Prog[PicActual.ProgFin] = 0x0C55;
  BufArchivo = BufDispositivo;
  for (TRespuesta r : {TRespuesta::No, TRespuesta::Si}) {
    ventana.Respuesta = r;
    ventana.Preguntas.clear();
    BufDispositivo.Prog[PicActual.ProgFin] = 0x0C55;
    ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
    ASSERT_EQ(ventana.Preguntas.size(), 1u);
    EXPECT_NE(ventana.Preguntas[0].find("0C24"), std::string::npos);
    EXPECT_NE(ventana.Preguntas[0].find("0C55"), std::string::npos);
    EXPECT_EQ(Osc(), r == TRespuesta::No ? chip->OscCalFabrica : 0x0C55);
    EXPECT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
    EXPECT_EQ(Backup(), chip->OscCalFabrica);
    // Put the factory value back for the next round.
    chip->Mem[chip->DirOscCal()] = chip->OscCalFabrica;
  }
}

TEST_P(Baseline10F, ErrorsOfTheProgrammingRun) {
  // A word that does not take.
  BufDispositivo.Prog[0x10] = BufArchivo.Prog[0x10] = 0x0AA0;
  chip->DirPegado = 0x10;
  chip->MascaraPegado = 0x0001;
  chip->ValorPegado = 0x0001;
  EXPECT_EQ(banco->Ejecuta(0, ProgramaPic), uint32_t{ErrEscritura});
  EXPECT_EQ(ContextoError.Direccion, 0x10u);
  EXPECT_EQ(ContextoError.Esperado, 0x0AA0);
  EXPECT_EQ(ContextoError.Leido, 0x0AA1);
  EXPECT_FALSE(chip->EnProgramacion());
  chip->DirPegado = 0xFFFF;
  // Verify mismatch.
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  BufArchivo.Prog[0x20] ^= 0x0010;
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, 0x20u);
  EXPECT_EQ(ContextoError.Esperado, BufArchivo.Prog[0x20]);
  EXPECT_EQ(ContextoError.Leido, chip->Mem[0x20]);
  // Cancel.
  ventana.CancelaTras = 40;
  EXPECT_EQ(banco->Ejecuta(0, [&] {
              const bool f = ProgramaPic();
              EXPECT_FALSE(chip->EnProgramacion());
              return f;
            }),
            uint32_t{ErrCancelado});
  EXPECT_EQ(Backup(), chip->OscCalFabrica);
}

TEST_P(Baseline10F, BlankCellsAndConfigurationAreNotWritten) {
  // Blank 0x0FFF cells (the configuration word included) cost one increment.
  LimpiaBuffers(BufDispositivo);
  BufDispositivo.Prog[5] = 0x0123;
  BufArchivo = BufDispositivo;
  chip->Mem[chip->Datos().DirConfig] = 0x0FFF;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(chip->Mem[5], 0x0123);
  EXPECT_EQ(chip->Mem[chip->Datos().DirConfig], 0x0FFF);
  EXPECT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
}

std::string NombreCaso(const ::testing::TestParamInfo<TParam>& i) {
  return std::string("P") + std::get<0>(i.param).Nombre + "_" + NombreEnlace(std::get<1>(i.param));
}

void PrintTo(const TCaso10F& c, std::ostream* os) { *os << c.Nombre; }

INSTANTIATE_TEST_SUITE_P(Partes, Baseline10F,
                         ::testing::Combine(::testing::ValuesIn(Casos),
                                            ::testing::Values(TEnlacePrueba::Lpt, TEnlacePrueba::Com)),
                         NombreCaso);

}  // namespace
