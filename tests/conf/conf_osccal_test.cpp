// The editors of the factory-calibrated parts: 10F20x, 12F629/675 and
// 16F630/676, and the 16F6xx group with its calibration words.
#include <gtest/gtest.h>

#include "casos_conf.h"
#include "conf/TablasConf.h"

TEST(Conf10F, WordsToControlsAndBack) {
  const TCasoCarga casos[] = {
      {3, {0x0FEB}, {}, {0x0FEB}},
      {0, {0x0FFF}, {"WDT", "MCLRE"}, {0x0FFF}},
      {1, {0x0000}, {"CP"}, {0x0FE3}},
      {2, {0xFFF7}, {"WDT", "CP", "MCLRE"}, {0x0FF7}},
  };
  for (const TCasoCarga& c : casos) CompruebaCarga(Tabla10Fxxx(), c);
  Barrido(Tabla10Fxxx(), {});
}

TEST(Conf10F, AddressAndBackupTexts) {
  const TTextos10F t = Textos10F(0x200, 0x203, 0xFFF, 0x0C1A);
  EXPECT_EQ(t.ids, "0x0200..0203");
  EXPECT_EQ(t.config, "0x0FFF");
  EXPECT_EQ(t.backup, "0x0204");
  EXPECT_EQ(t.valor, "0C1A");
  EXPECT_EQ(Textos10F(0x100, 0x103, 0xFFF, 0xFFFF).valor, "????");
}

TEST(Conf1xF6OSCAL, WordsAndControls) {
  const TCasoCarga cargas[] = {
      {4, {0x3FFF}, {"RCCLK", "WDTEN", "MCLRE", "BOREN", "B3"}, {0x3FFF}},
      {12, {0x0000}, {"LP", "PWRTEN", "CP", "CPD", "B0"}, {0x0E00}},
      {16, {0x1F14}, {"INTRC_IO", "CP", "B1"}, {0x1F14}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla1xF6OSCAL(), c);
  CompruebaGuarda(Tabla1xF6OSCAL(), {6, {"B2", "INTRC_IO", "CP"}, {0x2F14}});
  Barrido(Tabla1xF6OSCAL(), {});
}

TEST(Conf16F6xx, ThreeWords) {
  const TCasoCarga cargas[] = {
      {13, {0x3FFF, 0x3FFF, 0x3FFF},
       {"RCCLK", "WDTEN", "MCLRE", "BODEN0", "BODEN1", "IESO", "FCMEM", "BOD0", "BOD1", "BOD2", "POR0", "POR1",
        "POR2", "FCAL0", "FCAL1", "FCAL2", "FCAL3", "FCAL4", "FCAL5", "FCAL6", "LVD0", "LVD1", "LVD2", "WUR0",
        "WUR1", "WUR2"},
       {0x3FFF, 0x3FFF, 0x3FFF}},
      // The 12F683/16F684/688 have no WURE, POR2 nor word 2: left at 1.
      {7, {0x0000, 0x0000, 0x0000}, {"LP", "PWRTEN", "CP", "CPD"}, {0x3000, 0x2020, 0x3FFF}},
      {14, {0x2FFF, 0x1FDF, 0x3FE7}, {"RCCLK", "WDTEN", "MCLRE", "BODEN0", "BODEN1", "IESO", "FCMEM", "WURE",
        "BOD0", "BOD1", "BOD2", "POR0", "POR1", "FCAL0", "FCAL1", "FCAL2", "FCAL3", "FCAL4", "FCAL5", "FCAL6",
        "LVD0", "LVD1", "LVD2", "WUR2"}, {0x2FFF, 0x3FDF, 0x3FE7}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla16F6xx(), c);
  const TCasoGuarda guardas[] = {
      {17, {}, {0x30D7, 0x2020, 0x3FFF}},
      {5, {"WURE"}, {0x20D7, 0x2000, 0x3FC0}},
      {5, {"WURE"}, {0x0000, 0, 0}, {0x1000, 0, 0}},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla16F6xx(), c);
  const TCasoVista vistas[] = {
      {5, "WURE", true, true, nullptr},  {7, "WURE", false, false, nullptr}, {13, "POR2", true, true, nullptr},
      {17, "POR2", false, false, nullptr}, {18, "LVD0", false, false, nullptr}, {14, "WUR2", true, true, nullptr},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla16F6xx(), c);
  Barrido(Tabla16F6xx(), {});
}
