// The 16F7x / 16F7x7 / 16F87/88 editor and the 16F87x / 16F87xA editor.
#include <gtest/gtest.h>

#include "casos_conf.h"
#include "conf/TablasConf.h"

TEST(Conf16F7x, WordsToControlsAndBack) {
  const TCasoCarga casos[] = {
      // The 16F716 reads CP from bit 13 and has BORV; the 16F73 reads bit 4.
      {23, {0x1FFF, 0x3FFF}, {"RC", "WDT", "CP716", "BORV", "BODEN"}, {0x1FFF, 0x3FFF}},
      {19, {0x3FEF, 0x0000}, {"RC", "WDT", "CP", "BODEN"}, {0x3FEF, 0x3FFF}},
      {19, {0x1FFF, 0x0000}, {"RC", "WDT", "BODEN"}, {0x3FFF, 0x3FFF}},
      // No BORV outside the 16F716: bit 7 is written as 1.
      {20, {0x3F7F, 0x3FFF}, {"RC", "WDT", "BODEN"}, {0x3FFF, 0x3FFF}},
      {24, {0x0000, 0x0000}, {"lp1", "PWRTEN", "CP1", "vbor4"}, {0x0E00, 0x3FBC}},
      {27, {0x3FFF, 0x3FFF}, {"EXTRC_CLK", "WDTEN", "MCLRE", "BOREN", "CCPMX", "Vbor1", "FCMEM", "IESO", "BORSEN"},
       {0x3FFF, 0x3FFF}},
      {31, {0x3FFF, 0x3FFF},
       {"EXTRC_CLK8", "WDTEN8", "MCLRE8", "BOREN8", "LVP", "CCPMX8", "WRT1", "FCMEM8", "IESO8"},
       {0x3FFF, 0x3FFF}},
      {32, {0x0000, 0x0000}, {"LP8", "PWRTEN8", "CPD", "DEBUG", "CP8", "WRT4"}, {0x0000, 0x3FFC}},
  };
  for (const TCasoCarga& c : casos) CompruebaCarga(Tabla16F7x(), c);
}

TEST(Conf16F7x, ControlsToWords) {
  const TCasoGuarda casos[] = {
      {32, {"INTRC_IO8"}, {0x0010, 0}, {0x0013, 0}},
      {26, {"vbor3"}, {0x0080, 0}, {0x0180, 0}},
      {23, {"HS", "CP716", "PWRT"}, {0x1F32, 0x3FFF}},
      {21, {"XT", "CP", "WDT", "BODEN"}, {0x3FED, 0x3FFF}},
  };
  for (const TCasoGuarda& c : casos) CompruebaGuarda(Tabla16F7x(), c);
  const TCasoVista vistas[] = {
      {23, "BORV", true, true, nullptr}, {19, "BORV", false, false, nullptr}, {22, "CP", true, true, "CP"},
      {23, "CP716", true, true, "CP"},   {25, "VBor2", true, true, "2,7"},    {32, "WRT1", true, true, nullptr},
      {24, "WRT1", false, false, nullptr},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla16F7x(), c);
  Barrido(Tabla16F7x(), {});
}

TEST(Conf16F87x, WordsAndControls) {
  const TCasoCarga cargas[] = {
      // Pairs 13:12 and 5:4 differ: bits 5:4 decide, both are saved equal.
      {44, {0x0FFF}, {"RC", "WDTE", "BODEN", "LVP", "WRT", "CP0"}, {0x3FFF}},
      {42, {0x3FDF}, {"RC", "WDTE", "BODEN", "LVP", "WRT", "CP2"}, {0x1FDF}},
      {39, {0x0000}, {"LPa", "PWRTEN", "CPDa", "DEBUGa", "CP", "WRT3"}, {0x1030}},
      {45, {0x3FFF}, {"RCa", "WDTEN", "BOREN", "LVPa", "WRT0"}, {0x3FFF}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla16F87x(), c);
  const TCasoGuarda guardas[] = {
      {44, {"CP2"}, {0x1010}, {0x3030}},
      {35, {"CP3", "XT", "PWRTE"}, {0x0D01}},
      // A device outside the editor's list: only the ID words and 0x3FFF.
      {29, {}, {0x3FFF}},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla16F87x(), c);
  const TCasoVista vistas[] = {
      {35, "CP1", true, false, " - "},        {37, "CP2", true, false, " - "},
      {36, "CP3", true, true, "0000h-07FFh"}, {38, "CP1", true, true, "0F00h-0FFFh"},
      {40, "CP2", true, true, "0800h-0FFFh"}, {44, "CP3", true, true, "0000h-1FFFh"},
      {42, "CP1", true, true, "1F00h-1FFFh"}, {39, "WRT2", true, true, "0000h-03FFh"},
      {43, "WRT2", true, true, "0000h-07FFh"}, {45, "WRT3", true, true, "0000h-0FFFh"},
      {41, "CP1", false, false, nullptr},     {29, "WRT", false, false, nullptr},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla16F87x(), c);
  Barrido(Tabla16F87x(), {"CPx"});
}
