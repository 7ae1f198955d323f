// The EPROM parts' editor: one group whose protection controls differ from
// part to part (indexes of the EPROM list).
#include "TablasConf.h"
#include "pg_catalogo.h"

namespace {

TDispositivos Menos(TDispositivos d, std::initializer_list<int> fuera) { return d & ~Disp(fuera); }

TTablaConf Crea() {
  // The protection layouts, by device.
  const TDispositivos cpBit4 = Disp({0, 17});                 // 16C61, 16C71
  const TDispositivos par54 = Disp({1, 5, 7, 20, 22, 36, 37});  // pair 5:4 alone
  const TDispositivos c71x = Disp({26, 27});                  // 16C710/711
  const TDispositivos c77x = Disp({32, 33});                  // 16C773/774
  const TDispositivos dos = Disp({11, 14});                   // 16C620, 16CE623: off or all
  const TDispositivos tres = Disp({12, 15});                  // 16C621, 16CE624: off, half or all
  const TDispositivos cuatroPares =
      Menos(DispRango(0, 37), {0, 17, 1, 5, 7, 20, 22, 36, 37, 26, 27, 32, 33, 11, 14, 12, 15});
  const TDispositivos sinBoren = Disp({0, 17, 1, 5, 7, 20, 22, 30, 31, 34, 35});
  const TDispositivos pwrtAlto = Disp({0, 1, 5, 7, 17, 20, 22});  // PWRT ticked = 1
  const TDispositivos pll = Disp({30, 31});                        // 16C745, 16C765
  const std::vector<std::string> nombresCP = {"CP0", "CP1", "CP2", "CP3"};
  const std::vector<std::string> textosCP = {"Off", "CP Upper 1/2", "CP Upper 3/4", "All"};

  TTablaConf t;
  t.tipo = EdFC_16Cxxx;
  t.claseLista = ClaseEprom;
  t.nombre = "FC_16Cxxx";
  t.base = {0x3FFF};
  TGrupoConf g{"G16C", "16C", DispRango(0, 37), {}, {{"HexFuses", "0x2007:", 0}}};

  TControlConf cp3 = Radios("PanelCP", "CP", 0, 0x3F30,
                            {{"CP0", 0x3F30, "Off"}, {"CP3", 0x0000, "All"}});
  cp3.opciones[0].mascaraCarga = 0;  // any pattern of bits 5:4 but 00
  cp3.opciones[0].carga = 0;
  cp3.opciones[1].mascaraCarga = 0x0030;
  cp3.opciones[1].carga = 0x0000;

  // CP1 writes 01 into all four pairs and loads from 01 in bits 5:4, so a
  // word loaded and saved keeps its protection; a 1 in bit 5 is off.
  TControlConf cp4 = Radios("PanelCP", "CP", 0, 0x3F30,
                            {{"CP0", 0x3F30, "Off"}, {"CP1", 0x1510, "CP Upper 1/2"}, {"CP3", 0x0000, "All"}});
  cp4.opciones[0].mascaraCarga = 0x0020;
  cp4.opciones[0].carga = 0x0020;
  cp4.opciones[1].mascaraCarga = 0x0030;
  cp4.opciones[1].carga = 0x0010;
  cp4.opciones[2].mascaraCarga = 0x0030;
  cp4.opciones[2].carga = 0x0000;

  g.controles = {
      Radios("OSC", "FOSC", 0, 0x0003, Opciones({"LP", "XT", "HS", "RC"}, {0, 1, 2, 3}))
          .OpcionesTextoEn(pll, 0, {"HS", "EC/CLKOUT", "HS/4K-PLL", "EC/4K-PLL"}),
      Casilla1("WDT", 0, 2).Col(1),
      Casilla0("PWRT", 0, 3).Col(1).En(~pwrtAlto),
      Casilla1("PWRT", 0, 3).Col(1).En(pwrtAlto),
      Casilla1("BOREN", 0, 6).Col(1).En(~sinBoren),
      Casilla0("CP", 0, 4).Col(1).En(cpBit4),
      // Ticked clears bits 13-7 and 5:4; ticked when bits 5:4 are both 0.
      CasillaBits("CP", 0, 0x3FB0, 0x0000, 0x3FB0, 0x0030, 0x0000).Col(1).En(c71x),
      Radios("PanelCP", "CP", 0, 0x0030, Opciones(nombresCP, {0x0030, 0x0020, 0x0010, 0x0000}, textosCP))
          .Col(2)
          .En(par54)
          .OpcionesTextoEn(Disp({36}), 1, {"CP Low  0000h-07FFh", "CP last 0000h-0EFFh"})
          .OpcionesTextoEn(Disp({37}), 1, {"CP Low  0000h-0FFFh", "CP last 0000h-1EFFh"}),
      Espejo("PanelCP", "CP", 0, 0x3330, 0x0030, Opciones(nombresCP, {0x3330, 0x2220, 0x1110, 0x0000}, textosCP))
          .Col(2)
          .En(c77x),
      // On the 1K part the halves name addresses that do not exist: 10
      // protects nothing and 01 the upper half.
      Espejo("PanelCP", "CP", 0, 0x3F30, 0x0030, Opciones(nombresCP, {0x3F30, 0x2A20, 0x1510, 0x0000}, textosCP))
          .Col(2)
          .En(cuatroPares)
          .OpcionesTextoEn(Disp({28}), 1, {"Off", "0200h-03FFh", "0000h-03FFh"}),
      cp3.Col(2).En(dos),
      cp4.Col(2).En(tres),
      Radios("PanelVbor", "BORV", 0, 0x0C00,
             Opciones({"Vbor1", "VBor2", "vbor3", "vbor4"}, {0x0C00, 0x0800, 0x0400, 0x0000}, {"2,5", "2,7", "4,2", "4,5"}))
          .Col(3)
          .En(c77x),
  };
  t.grupos = {g};
  return t;
}

}  // namespace

const TTablaConf& Tabla16Cxxx() {
  static const TTablaConf t = Crea();
  return t;
}
