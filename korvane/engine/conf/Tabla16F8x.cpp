// The 16F627/628/648A, 16F83/84 and 16F818/819 editor.
#include "TablasConf.h"

#include "pg_catalogo.h"

namespace {

TTablaConf Crea() {
  const TDispositivos a = Disp({9, 11, 15});  // 16F627a, 16F628a, 16F648a
  const TDispositivos d62x = Disp({8, 10});   // 16F627, 16F628
  TTablaConf t;
  t.tipo = EdFC_16F8x;
  t.nombre = "FC_16F8x";
  t.base = {0x3FFF};
  t.grupoPorDefecto = 2;

  TGrupoConf g62x{"G16F62x", "16F62x", Disp({8, 9, 10, 11, 15}), {}, {{"HexFuses6", "0x2007:", 0}}};
  g62x.controles = {
      Radios("OSC6", "FOSC", 0, 0x13,
             Opciones({"LP6", "XT6", "HS6", "EXTCLK", "INTRC_IO", "INTRC_C", "ERIO", "ERCLK"}, Osc410(),
                      {"LP", "XT", "HS", "EXTCLK", "INTRC IO", "INTRC CLKOUT", "ER IO", "ER CLKOUT"}))
          .OpcionesTextoEn(a, 6, {"RC IO", "RC CLKOUT"}),
      Casilla1("WDTEN", 0, 2).Col(1),
      Casilla0("PWRTEN", 0, 3).Col(1),
      Casilla1("MCLRE", 0, 5).Col(1),
      Casilla1("BOREN", 0, 6).Col(1),
      Casilla1("LVP", 0, 7).Col(1),
      Casilla0("CPD", 0, 8).Col(1),
      // Both pairs 13:12 and 11:10 take the value; bits 13:12 are read.
      Espejo("CP62", "CP", 0, 0x3C00, 0x3000,
             {{"CP0", 0x3C00, "Off"}, {"CP1", 0x2800}, {"CP2", 0x1400}, {"CP3", 0x0000}})
          .En(d62x)
          .Col(2)
          .OpcionesTextoEn(Disp({8}), 1, {"Off", "0200h-03FFh", "0000h-03FFh"})
          .OpcionesTextoEn(Disp({10}), 1, {"0400h-07FFh", "0200h-07FFh", "0000h-07FFh"}),
      // One protection bit, 13, on the A parts.
      Radios("CPa", "CP", 0, 0x2000, {{"CP0a", 0x2000, "Off"}, {"CP1a", 0x0000}})
          .En(a)
          .Col(2)
          .OpcionTextoEn(1, Disp({9}), "0000h-03FFh")
          .OpcionTextoEn(1, Disp({11}), "0000h-07FFh")
          .OpcionTextoEn(1, Disp({15}), "0000h-0FFFh"),
  };

  TGrupoConf g818{"G16F818", "16F818/819", Disp({33, 34}), {}, {{"HexFuses8", "0x2007:", 0}}};
  g818.controles = {
      Radios("OSC8", "FOSC", 0, 0x13,
             Opciones({"LP8", "XT8", "HS8", "EXTCLK8", "INTRC_IO8", "INTRC_C8", "EXTRC_IO", "EXTRC_CLKO"}, Osc410(),
                      {"LP", "XT", "HS", "EXTCLK", "INTRC IO", "INTRC CLKOUT", "EXTRC IO", "EXTRC CLKOUT"})),
      Casilla1("WDTEN8", 0, 2).Texto("WDTEN").Col(1),
      Casilla0("PWRTEN8", 0, 3).Texto("PWRTEN").Col(1),
      Casilla1("MCLRE8", 0, 5).Texto("MCLRE").Col(1),
      Casilla1("BOREN8", 0, 6).Texto("BOREN").Col(1),
      Casilla1("LVP8", 0, 7).Texto("LVP").Col(1),
      Casilla0("CPD8", 0, 8).Texto("CPD").Col(1),
      Casilla0("DEBUG", 0, 11).Col(1),
      Casilla1("CCPMX", 0, 12).Col(1),
      Casilla0("CP8", 0, 13).Texto("CP").Col(1),
      // WRT3 is hidden on the 16F818 but still loaded and written, so a
      // 00 in bits 10:9 survives a load and save.
      Radios("WRT", "WRT", 0, 0x0600,
             {{"WRT0", 0x0600, "Off"}, {"WRT1", 0x0400, "0000h-01FFh"}, {"WRT2", 0x0200, "0000h-03FFh"},
              {"WRT3", 0x0000, "0000h-05FFh"}})
          .Col(2)
          .OpcionOcultaEn(3, Disp({33})),
  };

  TGrupoConf gx{"G16Fx", "16F8x", Disp({}), {}, {{"HexFuses", "0x2007:", 0}}};
  gx.controles = {
      Radios("OSC", "FOSC", 0, 0x0003, {{"LP", 0}, {"XT", 1}, {"HS", 2}, {"RC", 3}}),
      Casilla1("WDT", 0, 2).Col(1),
      Casilla0("PWRT", 0, 3).Col(1),
      // Ten bits 13:4, all cleared when ticked; ticked only when all are 0.
      CasillaBits("CP", 0, 0x3FF0, 0x0000, 0x3FF0, 0x3FF0, 0x0000).Col(1),
  };

  t.grupos = {g62x, g818, gx};
  return t;
}

}  // namespace

const TTablaConf& Tabla16F8x() {
  static const TTablaConf t = Crea();
  return t;
}
