// The ID nibble codec and the 16F62x/16F8x/16F818 editor's table.
#include <gtest/gtest.h>

#include "casos_conf.h"
#include "conf/TablasConf.h"
#include "pg_catalogo.h"

TEST(IdConf, NibblesBothWays) {
  uint16_t id[4] = {};
  BufferToID(id, 0x1234);
  EXPECT_EQ(id[0], 0x3FF1);
  EXPECT_EQ(id[1], 0x3FF2);
  EXPECT_EQ(id[2], 0x3FF3);
  EXPECT_EQ(id[3], 0x3FF4);
  const uint16_t palabras[4] = {0x0005, 0xFFFA, 0x1230, 0x3FFF};
  EXPECT_EQ(IDtoBuffer(palabras), 0x5A0F);
  // The 12-bit parts' words keep within their width.
  BufferToID(id, 0xA5C3, 0x0FFF);
  EXPECT_EQ(id[0], 0x0FFA);
  EXPECT_EQ(id[3], 0x0FF3);
  // A save writes them with the editor's width.
  uint16_t config[1] = {};
  GuardaConf(Tabla10Fxxx(), 3, TEstadoConf{0x1234, {}}, id, config);
  EXPECT_EQ(id[0], 0x0FF1);
  EXPECT_EQ(id[3], 0x0FF4);
  GuardaConf(Tabla16F87x(), 44, TEstadoConf{0x1234, {}}, id, config);
  EXPECT_EQ(id[0], 0x3FF1);
}

// Every device of the catalogue's 10F/12F/16F and 16C kinds falls in a
// group of its kind's table.
TEST(IdConf, EveryDeviceHasItsGroup) {
  for (uint8_t tipo : {EdFC_10Fxxx, EdFC_1xF6OSCAL, EdFC_16F6xx, EdFC_16F8x, EdFC_16F7x, EdFC_16F87x, EdFC_16Cxxx}) {
    const TTablaConf* t = TablaConf(tipo);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->tipo, tipo);
    const auto dispositivos = DispositivosDe(t->claseLista, tipo);
    EXPECT_FALSE(dispositivos.empty());
    for (int d : dispositivos) EXPECT_GE(GrupoDe(*t, d), 0) << int(tipo) << " device " << d;
  }
}

TEST(Conf16F8x, WordsToControlsAndBack) {
  const TCasoCarga casos[] = {
      {29, {0x3FF1}, {"XT", "PWRT"}, {0x3FF1}},
      {28, {0x000F}, {"RC", "WDT", "CP"}, {0x000F}},
      // CP is ticked only when all ten bits are 0.
      {29, {0x3FEF}, {"RC", "WDT"}, {0x3FFF}},
      // Bits 13:12 decide; both pairs are written equal.
      {10, {0x2FFF}, {"ERCLK", "WDTEN", "MCLRE", "BOREN", "LVP", "CP1"}, {0x2BFF}},
      {8, {0x0000}, {"LP6", "PWRTEN", "CPD", "CP3"}, {0x0200}},  // bit 9 is no field: 1
      // A parts: bit 13 alone, whatever lies above bit 13.
      {9, {0x7FFF}, {"ERCLK", "WDTEN", "MCLRE", "BOREN", "LVP", "CP0a"}, {0x3FFF}},
      {15, {0x5FFF}, {"ERCLK", "WDTEN", "MCLRE", "BOREN", "LVP", "CP1a"}, {0x1FFF}},
      {11, {0x1FF0}, {"INTRC_IO", "PWRTEN", "MCLRE", "BOREN", "LVP", "CP1a"}, {0x1FF0}},
      // The 16F818's hidden WRT3 carries a 00 in bits 10:9 through.
      {33, {0x39FF}, {"EXTRC_CLKO", "WDTEN8", "MCLRE8", "BOREN8", "LVP8", "CCPMX", "WRT3"}, {0x39FF}},
      {34, {0x0000}, {"LP8", "PWRTEN8", "CPD8", "DEBUG", "CP8", "WRT3"}, {0x0000}},
      {34, {0x3BFF}, {"EXTRC_CLKO", "WDTEN8", "MCLRE8", "BOREN8", "LVP8", "CCPMX", "WRT2"}, {0x3BFF}},
  };
  const TTablaConf& t = Tabla16F8x();
  for (const TCasoCarga& c : casos) CompruebaCarga(t, c);
}

TEST(Conf16F8x, ControlsToWords) {
  const TCasoGuarda casos[] = {
      {29, {"CP", "RC", "WDT"}, {0x000F}},
      {30, {}, {0x3FFB}},
      {10, {"CP2"}, {0x1400}, {0x3C00}},
      {11, {"CP1a", "WDTEN", "MCLRE", "BOREN", "LVP"}, {0x1FFF}},
      {8, {"CP3", "INTRC_IO", "PWRTEN"}, {0x0310}},
      {34, {"WRT2", "HS8", "DEBUG"}, {0x230A}},
  };
  for (const TCasoGuarda& c : casos) CompruebaGuarda(Tabla16F8x(), c);
}

TEST(Conf16F8x, DeviceCaptionsAndVisibility) {
  const TCasoVista casos[] = {
      {8, "CP1", true, true, "Off"},          {8, "CP2", true, true, "0200h-03FFh"},
      {8, "CP3", true, true, "0000h-03FFh"},  {10, "CP1", true, true, "0400h-07FFh"},
      {10, "CP2", true, true, "0200h-07FFh"}, {10, "CP3", true, true, "0000h-07FFh"},
      {9, "CP1a", true, true, "0000h-03FFh"}, {11, "CP1a", true, true, "0000h-07FFh"},
      {15, "CP1a", true, true, "0000h-0FFFh"}, {15, "CP2", false, false, nullptr},
      {8, "ERIO", true, true, "ER IO"},       {10, "ERCLK", true, true, "ER CLKOUT"},
      {15, "ERIO", true, true, "RC IO"},      {9, "ERCLK", true, true, "RC CLKOUT"},
      {8, "CP0", true, true, "Off"},          {34, "WRT3", true, true, "0000h-05FFh"},
      {33, "WRT3", false, false, nullptr},    {29, "CP", true, true, "CP"},
      {29, "WDTEN", false, false, nullptr},
  };
  const TTablaConf& t = Tabla16F8x();
  for (const TCasoVista& c : casos) CompruebaVista(t, c);
  // One group per device: the 62x parts, the 818/819, and the rest.
  EXPECT_EQ(GrupoDe(t, 15), 0);
  EXPECT_EQ(GrupoDe(t, 34), 1);
  EXPECT_EQ(GrupoDe(t, 29), 2);
}

TEST(Conf16F8x, SweepOfEveryDevice) { Barrido(Tabla16F8x(), {"CP", "CP62"}); }
