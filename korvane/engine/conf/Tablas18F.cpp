// The PIC18 editors of the older parts: the 18F242 family, the 18F1220 and
// 18F6520 groups (one editor, a control group each) and the motor-control
// 18F2331 group.
#include "Marco18.h"
#include "TablasConf.h"

#include "pg_catalogo.h"

namespace {

std::vector<TOpcionSimple> Potencias(const std::vector<std::string>& nombres, int bit) {
  std::vector<TOpcionSimple> o;
  for (size_t i = 0; i < nombres.size(); ++i) {
    const int k = static_cast<int>(nombres.size() - 1 - i);
    o.push_back({nombres[i], static_cast<uint16_t>(k << bit), "1:" + std::to_string(1 << k)});
  }
  return o;
}

// Brown-out voltage radios of word 2, bits 3-2. What 11 means differs by
// part: 2.0 V on most, 2.5 V on some (the 18F242 family's CAN parts),
// reserved on others (the 18F2331 group).
TControlConf Vbor() {
  return Radios("vbor", "- vbor -", 1, 0x000C,
                {{"Vbor1", 0xC, "2,0"}, {"VBor2", 0x8, "2,7"}, {"vbor3", 0x4, "4,2"}, {"vbor4", 0x0, "4,5"}})
      .Col(1);
}

// The twelve oscillator buttons of the 18F1220 and 18F2331 groups (word 1,
// bits 11-8). Values 12-15 and 10-11 share a button each, which saves the
// highest of its values.
TControlConf Osc12() {
  TControlConf c = Radios("osc", "- osc -", 0, 0x0F00,
                          {{"os3", 0x900, "Int.RC CLKO RA6- RA7"},
                           {"os4", 0x800, "Int.RC on RA6- RA7"},
                           {"os5", 0x700, " Ext.RC on RA6"},
                           {"os6", 0x600, " HS  PLL 4 x FOSC1"},
                           {"os7", 0x500, "EC  port on RA6"},
                           {"os8", 0x400, "EC  CLKO on RA6"},
                           {"os9", 0x300, "Ext.RC CLKO RA6"},
                           {"os10", 0x200, "HS"},
                           {"os11", 0x100, "XT"},
                           {"os12", 0x000, "LP"}});
  c.opciones.insert(c.opciones.begin(), {OpcionRango("os1", "Ext.RC CLKO RA6", 0x0F00, 0x0C00, 0x0C00),
                                         OpcionRango("os2", "Ext.RC CLKO RA6", 0x0B00, 0x0E00, 0x0A00)});
  return c;
}

// Word 1 bits 14-15, word 2 and word 4 as the 18F1220 and 18F2331 groups
// share them (the postscaler as four boxes), with the group's brown-out
// voltage radios.
std::vector<TControlConf> Comunes1220(const TControlConf& vbor) {
  return {
      Osc12(),
      Casilla1("FCMEM", 0, 14).Col(1),
      Casilla1("IESO", 0, 15).Col(1),
      Casilla0("PWRTEN", 1, 0).Col(1),
      Casilla1("BOREN", 1, 1).Col(1),
      vbor,
      Casilla1("WDTEN", 1, 8).Col(2),
      Casilla1("WDPS0", 1, 9).Col(2),
      Casilla1("WDPS1", 1, 10).Col(2),
      Casilla1("WDPS2", 1, 11).Col(2),
      Casilla1("WDPS3", 1, 12).Col(2),
  };
}

std::vector<TControlConf> Palabra4(const std::string& sufijo, const std::string& depuracion) {
  return {Casilla1("STVREN" + sufijo, 3, 0).Texto("STVREN").Col(2), Casilla1("LVP" + sufijo, 3, 2).Texto("LVP").Col(2),
          Casilla0(depuracion + sufijo, 3, 7).Texto(depuracion).Col(2)};
}

void Anade(std::vector<TControlConf>& a, const std::vector<TControlConf>& b) { a.insert(a.end(), b.begin(), b.end()); }

TTablaConf Crea242() {
  TTablaConf t = Tabla18(EdFC_18Fxxx, "FC_18Fxxx");
  TGrupoConf g{"Group_18Fxxx", " on/off ", DispRango(46, 53), {}, {}};
  g.controles = {
      Radios("osc", "- osc -", 0, 0x0700,
             {{"os1", 0x700, "RC w/OSC2- RA6"},
              {"os2", 0x600, "HS w/ PLL on"},
              {"os3", 0x500, "EC w/OSC2-RA6"},
              // 100 is the external clock with OSC2 as the FOSC/4 output.
              {"os4", 0x400, "EC w/ OSC2 / 4 "},
              {"os5", 0x300, "RC"},
              {"os6", 0x200, "HS"},
              {"os7", 0x100, "XT"},
              {"os8", 0x000, "LP"}}),
      Casilla0("OSCSEN", 0, 13).Col(1),
      Casilla0("PWRTEN", 1, 0).Col(1),
      Casilla1("BOREN", 1, 1).Col(1),
      Vbor().OpcionTextoEn(0, Disp({47, 49, 51, 53}), "2,5"),
      Casilla1("WDTEN", 1, 8).Col(2),
      Radios("watchdog", "-watchdog-", 1, 0x0E00, Potencias({"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8"}, 9))
          .Col(2),
      // The CAN parts have no CCP2MX: hidden, and their mask clears it.
      Casilla1("CCP2MX", 2, 8).OcultoEn(Disp({47, 49, 51, 53})).Col(1),
  };
  Anade(g.controles, Palabra4("", "BKBUG"));
  std::vector<TControlConf> p = Protecciones18(4, "", 3);
  OcultaBloques18(p, 2, 3, Disp({46, 47, 50, 51}));  // 16K parts
  Anade(g.controles, p);
  t.grupos = {g};
  return t;
}

TTablaConf Crea1220() {
  TTablaConf t = Tabla18(EdFC_18Fxx20, "FC_18Fxx20");
  const TDispositivos d1x20 = Disp({54, 55});  // 18F1220, 18F1320
  TGrupoConf a{"Group_18F2x20", " on/off ", DispRango(54, 59), Comunes1220(Vbor()), {}};
  Anade(a.controles, {Casilla1("CCP2MX", 2, 8).OcultoEn(d1x20).Col(1), Casilla1("PBADEN", 2, 9).OcultoEn(d1x20).Col(1),
                      Casilla1("MCLRE", 2, 15).Col(1)});
  Anade(a.controles, Palabra4("", "DEBUG"));
  std::vector<TControlConf> p = Protecciones18(4, "", 3);
  OcultaBloques18(p, 2, 3, d1x20);
  Anade(a.controles, p);

  const TDispositivos sin80 = Disp({64, 65, 66});  // the 64-pin parts: no external bus
  TGrupoConf b{"Group_18Fxx20", " on/off ", DispRango(64, 69), {}, {}};
  std::vector<std::string> wdtps;
  for (int k = 0; k < 8; ++k) wdtps.push_back("1:" + std::to_string(1 << k));
  b.controles = {
      Radios("Osc_", "- osc -", 0, 0x0700,
             {{"Os0_", 0x700, "RC  OSC2 as RA6"},
              {"Os1_", 0x600, "HS PLL enabled"},
              {"Os2_", 0x500, "EC  OSC2 as RA6"},
              {"Os3_", 0x400, "EC OSC2/ 4 clock output"},
              {"Os4_", 0x300, "RC"},
              {"OS5_", 0x200, "HS"},
              {"Os6_", 0x100, "XT"},
              {"Os7_", 0x000, "LP"}}),
      Casilla0("OSCEN_", 0, 13).Texto("OSCEN").Col(1),
      Casilla0("PWRTEN_", 1, 0).Texto("PWRTEN").Col(1),
      Casilla1("BOREN_", 1, 1).Texto("BOREN").Col(1),
      Lista("vbor_", "-vbor-", 1, 0x000C, ItemsLista("vbor_", {" 4,5", " 4,2", " 2,7", " 2,5"}, 2))
          .Col(1),
      Casilla1("WDTEN_", 1, 8).Texto("WDTEN").Col(2),
      Lista("WDTPS_", "-watchdog-", 1, 0x0E00, ItemsLista("WDTPS_", wdtps, 9)).Col(2),
      // Value 11 is the microcontroller mode.
      Lista("PM_", "-Processor Mode-", 2, 0x0003,
            ItemsLista("PM_", {"Extended ", "with Boot Block", "Microprocessor", "Microcontroller"}, 0))
          .OcultoEn(sin80)
          .Col(2),
      // Active low: ticked turns the wait states on.
      Casilla0("WAIT_", 2, 7).Texto("WAIT").OcultoEn(sin80).Col(1),
      Casilla1("CCP2MX_", 2, 8).Texto("CCP2MX").Col(1),
      // Only the 18F8520 and 18F8620 have T1OSCMX; the others' mask clears it.
      Casilla1("T1OSCMX_", 2, 9).Texto("T1OSCMX").OcultoEn(DispTodos() & ~Disp({67, 68})).Col(1),
  };
  Anade(b.controles, Palabra4("_", "DEBUG"));
  p = Protecciones18(8, "_", 3);
  // Blocks 4-7 shown on the 128K parts only, still loaded and written on the others.
  OcultaBloques18(p, 4, 7, Disp({64, 65, 67, 68}));
  Anade(b.controles, p);
  t.grupos = {a, b};
  return t;
}

TTablaConf Crea2331() {
  TTablaConf t = Tabla18(EdFC_18Fxx31, "FC_18Fxx31");
  TGrupoConf g{"Group_18F2x20", " on/off ", DispRango(60, 63), Comunes1220(Vbor().OpcionTextoEn(0, DispTodos(), "Reserved")), {}};
  Anade(g.controles, {
                         // WINEN is active low: ticked enables the watchdog window.
                         Casilla0("VINEM", 1, 13).Col(2),
                         Casilla1("PWMPIN", 2, 2).Col(1),
                         Casilla1("LPOL", 2, 3).Col(1),
                         Casilla1("HPOL", 2, 4).Col(1),
                         Casilla1("GPTREN", 2, 5).Col(1),
                         Casilla1("FLTAMX", 2, 8).Col(1),
                         Casilla1("SPSMX", 2, 10).Col(1),
                         Casilla1("PWM4MX", 2, 11).Col(1),
                         Casilla1("EXCLKMX", 2, 12).Col(1),
                         Casilla1("MCLRE", 2, 15).Col(1),
                     });
  Anade(g.controles, Palabra4("", "DEBUG"));
  std::vector<TControlConf> p = Protecciones18(4, "", 3);
  // The 8K parts: hidden, but loaded and written (no mask bit is cleared).
  OcultaBloques18(p, 2, 3, Disp({60, 62}));
  Anade(g.controles, p);
  t.grupos = {g};
  return t;
}

}  // namespace

const TTablaConf& Tabla18Fxxx() {
  static const TTablaConf t = Crea242();
  return t;
}

const TTablaConf& Tabla18Fxx20() {
  static const TTablaConf t = Crea1220();
  return t;
}

const TTablaConf& Tabla18Fxx31() {
  static const TTablaConf t = Crea2331();
  return t;
}
