// The simulated parts on their own, driven command by command: what each
// erase reaches, the delays they enforce, and what they refuse.
#include <gtest/gtest.h>

#include "banco_flash.h"
#include "hw/pg_icsp.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"

namespace {

class Simulados : public ::testing::Test {
protected:
  void Conecta(TChipSim* chip) {
    banco.reset();  // one bench at a time: each installs its clock and port
    banco = std::make_unique<TBancoFlash>(TEnlacePrueba::Lpt, chip);
    PinesReposo();
    VddOn();
    MedioBitUs = 1;
  }
  static void Carga(uint8_t cmd, uint16_t dato) {
    EnviaComando6(cmd);
    EnviaDato14(dato);
  }
  static uint16_t Lee(uint8_t cmd = 4) {
    EnviaComando6(cmd);
    return LeeDato14();
  }
  std::unique_ptr<TBancoFlash> banco;
};

TEST_F(Simulados, DeviceIdAndCounterWrapInConfigurationSpace) {
  TPic14Sim chip(*Datos14("12F629"));
  Conecta(&chip);
  EntraProgramacion();
  Carga(0, 0x3FFF);
  for (int i = 0; i < 6; ++i) EnviaComando6(6);
  EXPECT_EQ(Lee(), chip.Datos().Id);
  // 0x2000 + 0x2007 increments come back to 0x2007.
  EntraProgramacion();
  Carga(0, 0x3FFF);
  for (int i = 0; i < 0x2007; ++i) EnviaComando6(6);
  EXPECT_EQ(Lee() & 0x3000, chip.BandGapFabrica);
  SaleProgramacion();
  EXPECT_TRUE(chip.Violaciones.empty());
}

TEST_F(Simulados, EraseReachDependsOnTheCounter) {
  TPic14Sim chip(*Datos14("12F629"));
  chip.Config[0] = 0x0001;
  Conecta(&chip);
  EntraProgramacion();
  Carga(2, 0x3FFF);
  EnviaComando6(9);  // counter in program space: program memory only
  EsperaMs(6);
  SaleProgramacion();
  EXPECT_EQ(chip.Prog[0x3FF], 0x3FFF);
  EXPECT_EQ(chip.Config[7] & 0x3000, chip.BandGapFabrica);
  EXPECT_EQ(chip.Config[0], 0x0001);
  EntraProgramacion();
  Carga(0, 0x3FFF);
  EnviaComando6(9);  // after Load Configuration: configuration word and IDs too
  EsperaMs(6);
  SaleProgramacion();
  EXPECT_EQ(chip.Config[7], 0x3FFF);
  EXPECT_EQ(chip.Config[0], 0x3FFF);
  EXPECT_EQ(chip.Config[6], chip.Datos().Id);
  EXPECT_TRUE(chip.Violaciones.empty());
}

TEST_F(Simulados, Pic16F84ABulkEraseWaitsForCommand8) {
  TPic14Sim chip(*Datos14("16F84A"));
  chip.Prog[0] = 0x0000;
  Conecta(&chip);
  EntraProgramacion();
  Carga(2, 0x3FFF);
  EnviaComando6(9);
  EsperaMs(10);
  EXPECT_EQ(Lee(), 0u);  // not erased yet
  EnviaComando6(8);
  EsperaMs(10);
  EXPECT_EQ(Lee(), 0x3FFF);
  SaleProgramacion();
  EXPECT_TRUE(chip.Violaciones.empty());
}

TEST_F(Simulados, ViolationsAreLogged) {
  struct {
    const char* caso;
    std::function<void()> pasos;
  } tabla[] = {
      {"command during a self-timed write", [] { Carga(2, 0x0000); EnviaComando6(8); EsperaMs(1); EnviaComando6(4); }},
      {"end command too early", [] { Carga(2, 0x0000); EnviaComando6(24); EsperaMs(1); EnviaComando6(10); }},
      {"begin without end", [] { Carga(2, 0x0000); EnviaComando6(24); EsperaMs(3); EnviaComando6(6); }},
      {"left during an erase", [] { EnviaComando6(9); EsperaMs(2); SaleProgramacion(); }},
      {"unknown command", [] { EnviaComando6(31); }},
  };
  for (const auto& t : tabla) {
    TPic14Sim chip(*Datos14("12F629"));
    Conecta(&chip);
    EntraProgramacion();
    t.pasos();
    SaleProgramacion();
    EXPECT_EQ(chip.Violaciones.size(), 1u) << t.caso;
    EXPECT_EQ(chip.Prog[0], 0x3FFF) << t.caso;  // the write did not happen
  }
}

TEST_F(Simulados, EpromHasNoEraseAndCountsPulses) {
  TPicCSim chip(*DatosC("16C622A"));
  Conecta(&chip);
  EntraProgramacion();
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(Lee(), 0x3FFF) << k;
    Carga(2, 0x1234);
    EnviaComando6(8);
    EsperaMs(2);
    EnviaComando6(14);
  }
  EXPECT_EQ(Lee(), 0x1234);
  EnviaComando6(9);
  SaleProgramacion();
  EXPECT_EQ(chip.PulsosEn(0), 3u);
  ASSERT_EQ(chip.Violaciones.size(), 1u);
  EXPECT_NE(chip.Violaciones[0].find("unknown command 9"), std::string::npos);
}

// Code protection reaches the words each setting of the parts' include
// files names (_CP_UPPER_256, _CP_HALF, _CP_50, _CP_75, _CP_ALL ...): the
// last word before it still reads, the first one in it reads 0.
TEST_F(Simulados, CodeProtectionCoversWhatEachSettingNames) {
  struct TCaso {
    const char* Parte;
    uint16_t Config;
    uint16_t Inicio;  // first protected word; the part's size for none
  };
  const TCaso casos[] = {
      {"16F877", 0x3FFF, 0x2000}, {"16F877", 0x2FEF, 0x1F00}, {"16F877", 0x1FDF, 0x1000},
      {"16F877", 0x0FCF, 0x0000}, {"16F877A", 0x1FFF, 0x0000}, {"16F628A", 0x1FFF, 0x0000},
      {"16C622A", 0x2AEF, 0x0400}, {"16C622A", 0x15DF, 0x0200}, {"16C622A", 0x00CF, 0x0000},
      {"16C74B", 0x2AEF, 0x0800}, {"16C74B", 0x15DF, 0x0400}, {"16C74B", 0x3FFF, 0x1000},
  };
  auto leeEn = [](uint32_t direccion) {
    EntraProgramacion();
    for (uint32_t a = 0; a < direccion; ++a) EnviaComando6(6);
    const uint16_t v = Lee();
    SaleProgramacion();
    return v;
  };
  for (const TCaso& c : casos) {
    std::unique_ptr<TChipSim> chip;
    uint32_t palabras;
    if (auto d = Datos14(c.Parte)) {
      auto pic = std::make_unique<TPic14Sim>(*d);
      pic->Prog.assign(pic->Prog.size(), 0x1234);
      pic->Config[7] = c.Config;
      palabras = d->Palabras;
      chip = std::move(pic);
    } else {
      auto pic = std::make_unique<TPicCSim>(*DatosC(c.Parte));
      pic->Prog.assign(pic->Prog.size(), 0x1234);
      pic->Config[7] = c.Config;
      palabras = pic->Datos().Palabras;
      chip = std::move(pic);
    }
    Conecta(chip.get());
    if (c.Inicio > 0) {
      EXPECT_EQ(leeEn(c.Inicio - 1u), 0x1234) << c.Parte << " " << std::hex << c.Config;
    }
    if (c.Inicio < palabras) {
      EXPECT_EQ(leeEn(c.Inicio), 0u) << c.Parte << " " << std::hex << c.Config;
    }
  }
}

TEST_F(Simulados, BaselineCounterStartsAtTheConfigurationWord) {
  TPic10FSim chip(*Datos10F("10F200"));
  chip.Mem[0x1FF] = 0x0FEB;
  Conecta(&chip);
  EntraProgramacion();
  EXPECT_EQ(Lee(), 0x0FEB);
  EnviaComando6(6);
  EXPECT_EQ(Lee(), 0x0FFF);  // address 0
  for (int i = 0; i < 0xFF; ++i) EnviaComando6(6);
  EXPECT_EQ(Lee(), chip.OscCalFabrica);
  for (int i = 0; i < 5; ++i) EnviaComando6(6);
  EXPECT_EQ(Lee(), chip.OscCalFabrica);  // the backup at 0x104
  SaleProgramacion();
  EXPECT_TRUE(chip.Violaciones.empty());
}

}  // namespace
