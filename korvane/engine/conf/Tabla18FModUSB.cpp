// The editor of the 18F2410 to 18F4680 parts: multi-bit fields as lists,
// four device groups (USB, CAN, large CAN and the others), each group's
// ImplementedBits as the mask.
#include "Marco18.h"
#include "TablasConf.h"

#include "pg_catalogo.h"

namespace {

// The oscillator choices under which the CPU clock divides the oscillator
// (CPUDIV); under the others it divides the 96 MHz PLL (CPUDIV2).
const std::vector<int> CpuSinPll = {0, 1, 4, 5, 12, 13};

TTablaConf Crea() {
  TTablaConf t = Tabla18(EdFC_18FModUSB, "FC_18FModUSB");
  const TDispositivos todos = DispRango(70, 97);
  const TDispositivos usb = Disp({72, 78, 86, 92});
  const TDispositivos can = Disp({73, 79, 87, 93});
  const TDispositivos canGrande = Disp({80, 83, 94, 97});

  const std::string rcClko = "External RC oscillator, CLKO function on RA6";
  std::vector<std::string> fosc = {"LP oscillator",
                                   "XT oscillator",
                                   "HS oscillator",
                                   rcClko,
                                   "EC oscillator, CLKO function on RA6",
                                   "EC oscillator, port function on RA6",
                                   "HS oscillator, PLL enabled (clock frequency = 4 x FOSC1)",
                                   "External RC oscillator, port function on RA6",
                                   "Internal RC oscillator, port function on RA6, port function on RA7",
                                   "Internal RC oscillator, CLKO function on RA6, port function on RA7"};
  fosc.resize(16, rcClko);
  const std::vector<std::string> foscUsb = {"XT oscillator, XT used by USB",
                                            "XT oscillator, XT used by USB",
                                            "XT oscillator, PLL enabled, XT used by USB",
                                            "XT oscillator, PLL enabled, XT used by USB",
                                            "EC oscillator, port function on RA6, EC used by USB",
                                            "EC oscillator, CLKO function on RA6, EC used by USB",
                                            "EC oscillator, PLL enabled, port function on RA6, EC used by USB",
                                            "EC oscillator, PLL enabled, CLKO function on RA6, EC used by USB",
                                            "Internal oscillator, port function on RA6, EC used by USB",
                                            "Internal oscillator, CLKO function on RA6, EC used by USB",
                                            "Internal oscillator, XT used by USB",
                                            "Internal oscillator, HS used by USB",
                                            "HS oscillator, HS used by USB",
                                            "HS oscillator, HS used by USB",
                                            "HS oscillator, PLL enabled, HS used by USB",
                                            "HS oscillator, PLL enabled, HS used by USB"};
  std::vector<std::string> wdtps;
  for (int k = 0; k < 16; ++k) wdtps.push_back("1:" + std::to_string(1 << k));

  TGrupoConf g{"Group_18F2x20", " on/off ", todos, {}, {}};
  g.controles = {
      Lista("FOSC", "-  Oscillator  -", 0, 0x0F00, ItemsLista("FOSC", fosc, 8)).En(todos & ~usb),
      Lista("FOSC_USB", "-  Oscillator  -", 0, 0x0F00, ItemsLista("FOSC_USB", foscUsb, 8)).En(usb),
      Casilla1("USBPLL", 0, 5).En(usb),
      // Two lists on bits 4-3, one shown by the oscillator choice; they
      // keep one index (see the table's ajustaEstado).
      Lista("CPUDIV", "-CPU System Clock-", 0, 0x0018,
            ItemsLista("CPUDIV", {"No divide", "Divided by 2", "Divided by 3", "Divided by 4"}, 3))
          .En(usb)
          .Si("FOSC_USB", CpuSinPll),
      Lista("CPUDIV2", "-CPU System Clock-", 0, 0x0018,
            ItemsLista("CPUDIV2", {"96 MHz PLL div 2", "96 MHz PLL div 3", "96 MHz PLL div 4", "96 MHz PLL div 6"}, 3))
          .En(usb)
          .Si("FOSC_USB", CpuSinPll, true),
      Lista("PLLDIV", "-Oscillator Selection-", 0, 0x0007,
            ItemsLista("PLLDIV", {"No divide–direct.(4 MHz input)", "Divided by 2 (8 MHz input)", "Divided by 3 (12 MHz input)",
                   "Divided by 4 (16 MHz input)", "Divided by 5 (20 MHz input)", "Divided by 6 (24 MHz input)",
                   "Divided by 10 (40 MHz input)", "Divided by 12 (48 MHz input)"},
                  0))
          .En(usb),
      Casilla1("FCMEM", 0, 14).Col(2),
      Casilla1("IESO", 0, 15).Col(2),
      Casilla0("PWRTEN", 1, 0).Col(2),
      Lista("BOREN", "- Brown-out Reset -", 1, 0x0006,
            ItemsLista("BOREN", {"Disabled in hardware and software", "Enabled and control. by soft.(SBOREN is enabled)",
                   "Enabled in hardw. only and disabled in Sleep mode", "Enabled in hardw. only (SBOREN is disabled)"},
                  1))
          .Col(1),
      Lista("BORV", "- vbor -", 1, 0x0018, ItemsLista("BORV", {"4.5V", "4.2V", "2.7V", "2.0V"}, 3)).Col(1),
      Casilla1("VREGEN", 1, 5).En(usb).Col(2),
      Casilla1("WDTEN", 1, 8).Col(2),
      Lista("WDTPS", "-Watchdog-", 1, 0x1E00, ItemsLista("WDTPS", wdtps, 9)).Col(1),
      // Hidden on the CAN parts but loaded and written like any hidden box;
      // the large CAN parts have no such bit.
      Casilla1("CCP2MX", 2, 8).En(todos & ~canGrande).OcultoEn(can).Col(2),
      Casilla1("PBADEN", 2, 9).Col(2),
      Casilla1("LPT1OSC", 2, 10).Col(2),
      Casilla1("MCLRE", 2, 15).Col(2),
      Casilla1("STVREN", 3, 0).Col(2),
      Casilla1("LVP", 3, 2).Col(2),
      Casilla1("BBSIZ0", 3, 4).En(canGrande).Col(2),
      Casilla1("BBSIZ1", 3, 5).En(canGrande).Col(2),
      // The CAN parts have one boot-block bit, the large CAN parts' bit 4.
      Casilla1("BBSIZ", 3, 4).En(can).Col(2),
      Casilla1("ICPORT", 3, 5).En(usb).Col(2),
      Casilla1("XINST", 3, 6).Col(2),
      Casilla0("DEBUG", 3, 7).Col(2),
  };
  std::vector<TControlConf> p = Protecciones18(4, "_", 3);
  OcultaBloques18(p, 2, 3, Disp({70, 71, 73, 84, 85, 87}));
  OcultaBloques18(p, 3, 3, Disp({72, 75, 77, 80, 86, 89, 91, 94}));
  g.controles.insert(g.controles.end(), p.begin(), p.end());
  t.grupos = {g};

  // The shown CPU clock list decides; the hidden one takes its index, so a
  // change of oscillator shows the same division index in the other list.
  const int nFosc = BuscaControl(t, "FOSC_USB");
  const int nCpu = BuscaControl(t, "CPUDIV");
  const int nCpu2 = BuscaControl(t, "CPUDIV2");
  t.ajustaEstado = [nFosc, nCpu, nCpu2](int dispositivo, TEstadoConf& e) {
    if (dispositivo < 0 || !Disp({72, 78, 86, 92}).test(static_cast<size_t>(dispositivo))) return;
    auto& v = e.valores;
    bool sinPll = false;
    for (int o : CpuSinPll) sinPll = sinPll || v[static_cast<size_t>(nFosc)] == o;
    if (sinPll) v[static_cast<size_t>(nCpu2)] = v[static_cast<size_t>(nCpu)];
    else v[static_cast<size_t>(nCpu)] = v[static_cast<size_t>(nCpu2)];
  };
  return t;
}

}  // namespace

const TTablaConf& Tabla18FModUSB() {
  static const TTablaConf t = Crea();
  return t;
}
