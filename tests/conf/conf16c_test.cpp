// The EPROM parts' editor (indexes of the EPROM list).
#include <gtest/gtest.h>

#include "casos_conf.h"
#include "conf/TablasConf.h"

TEST(Conf16C, WordsToControlsAndBack) {
  const TCasoCarga casos[] = {
      {0, {0x3FEF}, {"RC", "WDT", "PWRT", "CP"}, {0x3FEF}},
      // 16C621/16CE624: a 1 in bit 5 is off; CP1 is 01 both ways.
      {12, {0x3FEF}, {"RC", "WDT", "BOREN", "CP0"}, {0x3FFF}},
      {12, {0x3FDF}, {"RC", "WDT", "BOREN", "CP1"}, {0x15DF}},
      {15, {0x15DF}, {"RC", "WDT", "BOREN", "CP1"}, {0x15DF}},
      {15, {0x3FCF}, {"RC", "WDT", "BOREN", "CP3"}, {0x00CF}},
      // 16C620/16CE623: anything but 00 in bits 5:4 is off.
      {11, {0x3FEF}, {"RC", "WDT", "BOREN", "CP0"}, {0x3FFF}},
      {14, {0x3FCF}, {"RC", "WDT", "BOREN", "CP3"}, {0x00CF}},
      {36, {0x3FDF}, {"RC", "WDT", "BOREN", "CP2"}, {0x3FDF}},
      {30, {0x3FFF}, {"RC", "WDT", "CP0"}, {0x3FFF}},
      {26, {0x0000}, {"LP", "PWRT", "CP"}, {0x0000}},
      {32, {0x0000}, {"LP", "PWRT", "CP3", "vbor4"}, {0x0080}},
  };
  for (const TCasoCarga& c : casos) CompruebaCarga(Tabla16Cxxx(), c);
}

TEST(Conf16C, ControlsToWords) {
  const TCasoGuarda casos[] = {
      {22, {"PWRT"}, {0x0008}, {0x0008}},
      {23, {"PWRT"}, {0x0000}, {0x0008}},
      {24, {"CP2"}, {0x1510}, {0x3F30}},
      {32, {"CP1", "vbor4"}, {0x2220}, {0x3F30}},
      {26, {"RC", "WDT", "BOREN", "CP"}, {0x004F}},
      {1, {"CP1"}, {0x3F20}, {0x3F30}},  // pair 5:4 alone
  };
  for (const TCasoGuarda& c : casos) CompruebaGuarda(Tabla16Cxxx(), c);
}

TEST(Conf16C, DeviceCaptionsAndVisibility) {
  const TCasoVista casos[] = {
      {37, "CP1", true, true, "CP Low  0000h-0FFFh"}, {37, "CP2", true, true, "CP last 0000h-1EFFh"},
      {36, "CP1", true, true, "CP Low  0000h-07FFh"}, {24, "CP1", true, true, "CP Upper 1/2"},
      {24, "CP3", true, true, "All"},                 {30, "LP", true, true, "HS"},
      {31, "RC", true, true, "EC/4K-PLL"},            {29, "RC", true, true, "RC"},
      {11, "CP1", false, false, nullptr},             {11, "CP3", true, true, "All"},
      {12, "CP2", false, false, nullptr},             {1, "CP2", true, true, "CP Upper 3/4"},
      {32, "vbor1", false, false, nullptr},           {32, "Vbor1", true, true, "2,5"},
      {24, "Vbor1", false, false, nullptr},           {0, "BOREN", false, false, nullptr},
      {34, "BOREN", false, false, nullptr},           {29, "BOREN", true, true, nullptr},
      {0, "PanelCP", false, false, nullptr},
  };
  for (const TCasoVista& c : casos) CompruebaVista(Tabla16Cxxx(), c);
}

TEST(Conf16C, SweepOfEveryDevice) { Barrido(Tabla16Cxxx(), {"PanelCP", "CP"}); }
