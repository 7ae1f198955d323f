// The mid-range editors with several groups: 16F7x / 16F7x7 / 16F87/88,
// and 16F87x / 16F87xA.
#include "TablasConf.h"
#include "pg_catalogo.h"

namespace {

TTablaConf Crea16F7x() {
  TTablaConf t;
  t.tipo = EdFC_16F7x;
  t.nombre = "FC_16F7x";
  t.base = {0x3FFF, 0x3FFF};

  TGrupoConf g7x{"G16F7x", "16F7x", DispRango(19, 23), {}, {{"HexFuses", "0x2007:", 0}}};
  g7x.controles = {
      Radios("OSC", "FOSC", 0, 0x0003, Opciones({"LP", "XT", "HS", "RC"}, {0, 1, 2, 3})),
      Casilla1("WDT", 0, 2).Col(1),
      Casilla0("PWRT", 0, 3).Col(1),
      Casilla0("CP", 0, 4).Col(1).En(DispRango(19, 22)),
      // The 16F716 keeps its protection bit at 13 and a brown-out voltage
      // bit the others lack (their bit 7 stays 1).
      Casilla0("CP716", 0, 13).Texto("CP").Col(1).En(Disp({23})),
      Casilla1("BORV", 0, 7).Col(1).En(Disp({23})),
      Casilla1("BODEN", 0, 6).Col(1),
  };

  TGrupoConf g7x7{"G16F7x7",
                  "16F7x7",
                  DispRango(24, 27),
                  {},
                  {{"HexFuses1", "0x2007:", 0}, {"HexFuses2", "0x2008:", 1}}};
  g7x7.controles = {
      Radios("OSC7", "FOSC", 0, 0x0013,
             Opciones({"lp1", "xt1", "hs1", "EXTCLK", "INTRC_IO", "INTRC_CLK", "EXTRC_IO", "EXTRC_CLK"}, Osc410(),
                      {"LP", "XT", "HS", "EXTCLK", "INTRC IO", "INTRC CLKOUT", "EXTRC IO", "EXTRC CLKOUT"})),
      Casilla1("WDTEN", 0, 2).Col(1),
      Casilla0("PWRTEN", 0, 3).Col(1),
      Casilla1("MCLRE", 0, 5).Col(1),
      Casilla1("BOREN", 0, 6).Col(1),
      Casilla1("CCPMX", 0, 12).Col(1),
      Casilla0("CP1", 0, 13).Texto("CP").Col(1),
      Radios("VBOR", "BORV", 0, 0x0180,
             Opciones({"Vbor1", "VBor2", "vbor3", "vbor4"}, {0x0180, 0x0100, 0x0080, 0x0000}, {"2,0", "2,7", "4,2", "4,5"}))
          .Col(2),
      Casilla1("FCMEM", 1, 0).Col(3),
      Casilla1("IESO", 1, 1).Col(3),
      Casilla1("BORSEN", 1, 6).Col(3),
  };

  TGrupoConf g88{"G16F88", "16F87/88", Disp({31, 32}), {}, {{"HexFuses3", "0x2007:", 0}, {"HexFuses4", "0x2008:", 1}}};
  g88.controles = {
      Radios("OSC88", "FOSC", 0, 0x0013,
             Opciones({"LP8", "XT8", "HS8", "EXTCLK8", "INTRC_IO8", "INTRC_CLK8", "EXTRC_IO8", "EXTRC_CLK8"}, Osc410(),
                      {"LP", "XT", "HS", "EXTCLK", "INTRC IO", "INTRC CLKOUT", "EXTRC IO", "EXTRC CLKOUT"})),
      Casilla1("WDTEN8", 0, 2).Texto("WDTEN").Col(1),
      Casilla0("PWRTEN8", 0, 3).Texto("PWRTEN").Col(1),
      Casilla1("MCLRE8", 0, 5).Texto("MCLRE").Col(1),
      Casilla1("BOREN8", 0, 6).Texto("BOREN").Col(1),
      Casilla1("LVP", 0, 7).Col(1),
      Casilla0("CPD", 0, 8).Col(1),
      Casilla0("DEBUG", 0, 11).Col(1),
      Casilla1("CCPMX8", 0, 12).Texto("CCPMX").Col(1),
      Casilla0("CP8", 0, 13).Texto("CP").Col(1),
      Radios("WRT88", "WRT", 0, 0x0600,
             Opciones({"WRT1", "WRT2", "WRT3", "WRT4"}, {0x0600, 0x0400, 0x0200, 0x0000},
                      {"Off", "0000h-00FFh", "0000h-07FFh", "0000h-0FFFh"}))
          .Col(2),
      Casilla1("FCMEM8", 1, 0).Texto("FCMEM").Col(3),
      Casilla1("IESO8", 1, 1).Texto("IESO").Col(3),
  };

  t.grupos = {g7x, g7x7, g88};
  return t;
}

TTablaConf Crea16F87x() {
  const TDispositivos k2 = DispRango(35, 37), k4 = DispRango(38, 41), k8 = DispRango(42, 45);
  TTablaConf t;
  t.tipo = EdFC_16F87x;
  t.nombre = "FC_16F87x";
  t.base = {0x3FFF};

  TGrupoConf g{"G16F87x", "16F87x", Disp({35, 36, 37, 38, 40, 42, 44}), {}, {{"HexFuses", "0x2007:", 0}}};
  g.controles = {
      Radios("OSC", "FOSC", 0, 0x0003, Opciones({"LP", "XT", "HS", "RC"}, {0, 1, 2, 3})),
      Casilla1("WDTE", 0, 2).Col(1),
      Casilla0("PWRTE", 0, 3).Col(1),
      Casilla1("BODEN", 0, 6).Col(1),
      Casilla1("LVP", 0, 7).Col(1),
      Casilla0("CPD", 0, 8).Col(1),
      Casilla1("WRT", 0, 9).Col(1),
      Casilla0("DEBUG", 0, 11).Col(1),
      // Pairs 13:12 and 5:4 take the value; bits 5:4 are read. The 2K
      // parts have no partial protection: CP1 and CP2 are disabled there
      // (and enabled again for the next device, the view being rebuilt).
      Espejo("CPx", "CP", 0, 0x3030, 0x0030,
             Opciones({"CP0", "CP1", "CP2", "CP3"}, {0x3030, 0x2020, 0x1010, 0x0000}, {"Off"}))
          .Col(2)
          .OpcionesTextoEn(k2, 1, {" - ", " - ", "0000h-07FFh"})
          .OpcionDeshabilitadaEn(1, k2)
          .OpcionDeshabilitadaEn(2, k2)
          .OpcionesTextoEn(k4, 1, {"0F00h-0FFFh", "0800h-0FFFh", "0000h-0FFFh"})
          .OpcionesTextoEn(k8, 1, {"1F00h-1FFFh", "1000h-1FFFh", "0000h-1FFFh"}),
  };

  TGrupoConf ga{"G16F87xa", "16F87xA", Disp({39, 41, 43, 45}), {}, {{"HexFusesA", "0x2007:", 0}}};
  ga.controles = {
      Radios("OSCa", "FOSC", 0, 0x0003, Opciones({"LPa", "XTa", "HSa", "RCa"}, {0, 1, 2, 3}, {"LP", "XT", "HS", "RC"})),
      Casilla1("WDTEN", 0, 2).Col(1),
      Casilla0("PWRTEN", 0, 3).Col(1),
      Casilla1("BOREN", 0, 6).Col(1),
      Casilla1("LVPa", 0, 7).Texto("LVP").Col(1),
      Casilla0("CPDa", 0, 8).Texto("CPD").Col(1),
      Casilla0("DEBUGa", 0, 11).Texto("DEBUG").Col(1),
      Casilla0("CP", 0, 13).Col(1),
      Radios("WRTa", "WRT", 0, 0x0600, Opciones({"WRT0", "WRT1", "WRT2", "WRT3"}, {0x0600, 0x0400, 0x0200, 0x0000}, {"Off"}))
          .Col(2)
          .OpcionesTextoEn(k4, 1, {"0000h-00FFh", "0000h-03FFh", "0000h-07FFh"})
          .OpcionesTextoEn(k8, 1, {"0000h-00FFh", "0000h-07FFh", "0000h-0FFFh"}),
  };

  t.grupos = {g, ga};
  return t;
}

}  // namespace

const TTablaConf& Tabla16F7x() {
  static const TTablaConf t = Crea16F7x();
  return t;
}

const TTablaConf& Tabla16F87x() {
  static const TTablaConf t = Crea16F87x();
  return t;
}
