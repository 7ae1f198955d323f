// The editors of the parts whose oscillator is calibrated at the factory:
// the 10F20x (12-bit), the 12F629/675 and 16F630/676 (band-gap bits) and
// the 12F635/683 and 16F636/639/684/688 (calibration words after the
// configuration word).
#include "TablasConf.h"
#include "pg_catalogo.h"

namespace {

const std::vector<std::string>& NombresOsc() {
  static const std::vector<std::string> n = {"LP", "XT", "HS", "ECGP4", "INTRC_IO", "INTRC_C", "RCGP4", "RCCLK"};
  return n;
}
const std::vector<std::string>& TextosOsc() {
  static const std::vector<std::string> t = {"LP",       "XT",           "HS",      "EC",
                                             "INTRC IO", "INTRC CLKOUT", "RC IO",   "RC CLKOUT"};
  return t;
}

TTablaConf Crea10F() {
  TTablaConf t;
  t.tipo = EdFC_10Fxxx;
  t.nombre = "FC_10Fxxx";
  t.base = {0x0FFF};
  t.ancho = 0x0FFF;
  TGrupoConf g{"G10F", "10F20x", DispRango(0, 3), {}, {{"HexFuses", "", 0}}};
  g.controles = {Casilla1("WDT", 0, 2), Casilla0("CP", 0, 3), Casilla1("MCLRE", 0, 4)};
  t.grupos = {g};
  return t;
}

TTablaConf Crea1xF6() {
  TTablaConf t;
  t.tipo = EdFC_1xF6OSCAL;
  t.nombre = "FC_1xF6OSCAL";
  t.base = {0x3FFF};
  TGrupoConf g{"G1xF6", "12F629/675, 16F630/676", Disp({4, 6, 12, 16}), {}, {{"HexFuses", "0x2007:", 0}}};
  g.controles = {
      Radios("OSC", "FOSC", 0, 0x0007, Opciones(NombresOsc(), Osc210(), TextosOsc())),
      Casilla1("WDTEN", 0, 3).Col(1),
      Casilla0("PWRTEN", 0, 4).Col(1),
      Casilla1("MCLRE", 0, 5).Col(1),
      Casilla1("BOREN", 0, 6).Col(1),
      Casilla0("CP", 0, 7).Col(1),
      Casilla0("CPD", 0, 8).Col(1),
      Radios("BG", "BG", 0, 0x3000,
             Opciones({"B0", "B1", "B2", "B3"}, {0x0000, 0x1000, 0x2000, 0x3000},
                      {"Lowest   0x00", "Mid low  0x01", "Mid high 0x02", "Highest  0x03"}))
          .Col(2),
  };
  t.grupos = {g};
  return t;
}

TTablaConf Crea16F6xx() {
  const TDispositivos tres = Disp({5, 13, 14});  // 12F635, 16F636, 16F639: word 2 too
  TTablaConf t;
  t.tipo = EdFC_16F6xx;
  t.nombre = "FC_16F6xx";
  t.base = {0x3FFF, 0x3FFF, 0x3FFF};
  TGrupoConf g{"G16F6xx",
               "12F635/683, 16F636/639/684/688",
               Disp({5, 7, 13, 14, 17, 18}),
               {},
               {{"HexFuses", "0x2007:", 0}, {"HexFuses1", "0x2008:", 1}, {"HexFuses2", "0x2009:", 2, tres}}};
  g.controles = {
      Radios("OSC", "FOSC", 0, 0x0007, Opciones(NombresOsc(), Osc210(), TextosOsc())),
      Casilla1("WDTEN", 0, 3).Col(1),
      Casilla0("PWRTEN", 0, 4).Col(1),
      Casilla1("MCLRE", 0, 5).Col(1),
      Casilla0("CP", 0, 6).Col(1),
      Casilla0("CPD", 0, 7).Col(1),
      Casilla1("BODEN0", 0, 8).Col(1),
      Casilla1("BODEN1", 0, 9).Col(1),
      Casilla1("IESO", 0, 10).Col(1),
      Casilla1("FCMEM", 0, 11).Col(1),
      Casilla0("WURE", 0, 12).Col(1).En(tres),
  };
  const char* palabra1[] = {"BOD0", "BOD1", "BOD2", "POR0", "POR1", "POR2", "FCAL0", "FCAL1",
                            "FCAL2", "FCAL3", "FCAL4", "FCAL5", "FCAL6"};
  for (int b = 0; b < 13; ++b) {
    TControlConf c = Casilla1(palabra1[b], 1, b).Col(2);
    g.controles.push_back(b == 5 ? c.En(tres) : c);
  }
  const char* palabra2[] = {"LVD0", "LVD1", "LVD2", "WUR0", "WUR1", "WUR2"};
  for (int b = 0; b < 6; ++b) g.controles.push_back(Casilla1(palabra2[b], 2, b).Col(3).En(tres));
  t.grupos = {g};
  return t;
}

std::string Hex0x(int32_t v) { return "0x" + Hex4(static_cast<uint16_t>(v)); }

}  // namespace

const TTablaConf& Tabla10Fxxx() {
  static const TTablaConf t = Crea10F();
  return t;
}

const TTablaConf& Tabla1xF6OSCAL() {
  static const TTablaConf t = Crea1xF6();
  return t;
}

const TTablaConf& Tabla16F6xx() {
  static const TTablaConf t = Crea16F6xx();
  return t;
}

TTextos10F Textos10F(int32_t idIni, int32_t idFin, int32_t cfgIni, uint16_t oscCalBackup) {
  return {Hex0x(idIni) + ".." + Hex4(static_cast<uint16_t>(idFin)), Hex0x(cfgIni), Hex0x(idFin + 1),
          oscCalBackup == 0xFFFF ? std::string("????") : Hex4(oscCalBackup)};
}
