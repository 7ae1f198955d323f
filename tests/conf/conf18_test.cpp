// The PIC18 editors: the 18F242 family, the 18F1220 and 18F6520 groups,
// the 18F2331 group and the 18F2410-4680 parts.
#include <gtest/gtest.h>

#include "casos_conf.h"
#include "conf/Marco18.h"
#include "conf/TablasConf.h"
#include "pg_catalogo.h"

namespace {

using W = std::vector<uint16_t>;

const W Unos(7, 0xFFFF);
const W Ceros(7, 0x0000);

W Con(W w, size_t i, uint16_t v) {
  w[i] = v;
  return w;
}

TMarcados Une(TMarcados a, const TMarcados& b) {
  a.insert(b.begin(), b.end());
  return a;
}

// Every protection box of `bloques` blocks, names ending in `s`.
TMarcados Protegido(int bloques, const std::string& s = "") {
  TMarcados m = {"CPB" + s, "CPD" + s, "WRTC" + s, "WRTB" + s, "WRTD" + s, "EBTRB" + s};
  for (int b = 0; b < bloques; ++b)
    for (const char* p : {"CP", "WRT", "EBTR"}) m.insert(p + std::to_string(b) + s);
  return m;
}

}  // namespace

TEST(Conf18, LoadMasksTheCallersWords) {
  struct TCaso {
    int dispositivo;
    W entra, queda;
  };
  const TCaso casos[] = {
      // Bits outside the editor's table go, in the caller's buffer too.
      {52, Con(Ceros, 2, 0xFFFF), Con(Ceros, 2, 0x0100)},
      // The 16K parts lack blocks 2 and 3; the CAN parts CCP2MX.
      {46, Unos, {0x2700, 0x0F0F, 0x0100, 0x0085, 0xC003, 0xE003, 0x4003}},
      {53, Unos, {0x2700, 0x0F0F, 0x0000, 0x0085, 0xC00F, 0xE00F, 0x400F}},
      {55, Con(Unos, 2, 0x8300), {0xCF00, 0x1F0F, 0x8000, 0x0085, 0xC003, 0xE003, 0x4003}},
      // Bit 9 (T1OSCMX) only on the 18F8520 and 18F8620.
      {64, Con(Unos, 2, 0x0383), {0x2700, 0x0F0F, 0x0183, 0x0085, 0xC0FF, 0xE0FF, 0x40FF}},
      {67, Unos, {0x2700, 0x0F0F, 0x0383, 0x0085, 0xC0FF, 0xE0FF, 0x40FF}},
      {60, Unos, {0xCF00, 0x3F0F, 0x9D3C, 0x0085, 0xC00F, 0xE00F, 0x400F}},
      {71, Unos, {0xCF00, 0x1F1F, 0x8700, 0x00C5, 0xC00F, 0xE00F, 0x400F}},
      {92, Unos, {0xCF3F, 0x1F3F, 0x8700, 0x00E5, 0xC00F, 0xE00F, 0x400F}},
      // CAN: the boot-block size on bit 4, bit 5 absent.
      {73, Unos, {0xCF00, 0x1F1F, 0x8700, 0x00D5, 0xC00F, 0xE00F, 0x400F}},
      {97, Unos, {0xCF00, 0x1F1F, 0x8600, 0x00F5, 0xC00F, 0xE00F, 0x400F}},
  };
  for (const TCaso& c : casos) {
    SCOPED_TRACE(c.dispositivo);
    const TTablaConf& t = *TablaConf(Catalogo[static_cast<size_t>(c.dispositivo)].Editor);
    W w = c.entra;
    MascaraConf(t, c.dispositivo, w);
    EXPECT_EQ(w, c.queda);
    // What a load shows is what a save writes back.
    W sale(7);
    uint16_t id[4] = {};
    GuardaConf(t, c.dispositivo, CargaConf(t, c.dispositivo, id, c.entra), id, sale);
    EXPECT_EQ(sale, c.queda);
  }
}

TEST(Conf18, Family242) {
  const TCasoCarga cargas[] = {
      {52, {0, 0, 0xFFFF, 0, 0, 0, 0},
       Une(Protegido(4), {"os8", "OSCSEN", "PWRTEN", "vbor4", "w8", "CCP2MX", "BKBUG"}),
       {0, 0, 0x0100, 0, 0, 0, 0}},
      // Hidden on the 16K parts, blocks 2 and 3 load as protected (their
      // bits are masked to 0) and save so.
      {46, Unos, {"os1", "BOREN", "Vbor1", "WDTEN", "w1", "CCP2MX", "STVREN", "LVP", "CP2", "CP3", "WRT2", "WRT3", "EBTR2", "EBTR3"},
       {0x2700, 0x0F0F, 0x0100, 0x0085, 0xC003, 0xE003, 0x4003}},
      {53, {0x0500, 0x0A0A, 0xFFFF, 0x0081, 0x8005, 0x6003, 0x0009},
       {"os3", "OSCSEN", "PWRTEN", "BOREN", "VBor2", "w3", "STVREN", "CP1", "CP3", "CPB", "WRT2", "WRT3", "WRTD", "EBTR1",
        "EBTR2", "EBTRB"},
       {0x0500, 0x0A0A, 0x0000, 0x0081, 0x8005, 0x6003, 0x0009}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla18Fxxx(), c);
  const TCasoGuarda guardas[] = {
      // Nothing ticked, nothing chosen: every field at all ones, every
      // active-high bit cleared.
      {52, {}, {0x2700, 0x0E0D, 0x0000, 0x0080, 0xC00F, 0xE00F, 0x400F}},
      // A hidden CCP2MX ticked on a CAN part still writes 0.
      {53, {"CCP2MX", "os6", "w5"}, {0x2200, 0x060D, 0x0000, 0x0080, 0xC00F, 0xE00F, 0x400F}},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla18Fxxx(), c);
  const TCasoVista vistas[] = {
      {52, "CCP2MX", true, true, nullptr}, {53, "CCP2MX", false, false, nullptr}, {46, "CP2", false, false, nullptr},
      {48, "EBTR3", true, true, nullptr},  {52, "os4", true, true, "EC w/ OSC2 / 4 "}, {52, "w1", true, true, "1:128"},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla18Fxxx(), c);
  Barrido(Tabla18Fxxx(), {});
}

TEST(Conf18, Groups1220And6520) {
  const TCasoCarga cargas[] = {
      // 10 and 11 share os2, which saves 11; 12-15 share os1, which saves 15.
      {56, {0x0A00, 0, 0, 0, 0, 0, 0}, Une(Protegido(4), {"os2", "PWRTEN", "vbor4", "DEBUG"}), {0x0B00, 0, 0, 0, 0, 0, 0}},
      {59, {0x0D00, 0, 0, 0, 0, 0, 0}, Une(Protegido(4), {"os1", "PWRTEN", "vbor4", "DEBUG"}), {0x0F00, 0, 0, 0, 0, 0, 0}},
      {55, Con(Unos, 2, 0x8300),
       {"os1", "FCMEM", "IESO", "BOREN", "Vbor1", "WDTEN", "WDPS0", "WDPS1", "WDPS2", "WDPS3", "MCLRE", "STVREN", "LVP",
        "CP2", "CP3", "WRT2", "WRT3", "EBTR2", "EBTR3"},
       {0xCF00, 0x1F0F, 0x8000, 0x0085, 0xC003, 0xE003, 0x4003}},
      // The 64-pin part hides PM_ and WAIT_ but keeps their bits; WAIT is
      // active low, so a 1 leaves the box unticked.
      {64, Con(Unos, 2, 0x0383),
       {"Os0_", "BOREN_", "vbor_#3", "WDTEN_", "WDTPS_#7", "PM_#3", "CCP2MX_", "STVREN_", "LVP_"},
       {0x2700, 0x0F0F, 0x0183, 0x0085, 0xC0FF, 0xE0FF, 0x40FF}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla18Fxx20(), c);
  TCasoCarga ebtr = {66, Con(Ceros, 6, 0x40EF), {}, Con(Ceros, 6, 0x40EF)};
  ebtr.marcados = Une(Protegido(8, "_"), {"Os7_", "OSCEN_", "PWRTEN_", "vbor_#0", "WDTPS_#0", "PM_#0", "WAIT_", "DEBUG_"});
  for (const char* n : {"EBTR0_", "EBTR1_", "EBTR2_", "EBTR3_", "EBTR5_", "EBTR6_", "EBTR7_", "EBTRB_"}) ebtr.marcados.erase(n);
  CompruebaCarga(Tabla18Fxx20(), ebtr);
  const TCasoGuarda guardas[] = {
      // A list without selection leaves its field at all ones.
      {64, {"Os7_"}, {0, 0x000C, 0, 0, 0, 0, 0}, {0x0700, 0x000C, 0, 0, 0, 0, 0}},
      {57, {"os12", "Vbor1"}, {0x0000, 0x000C, 0, 0, 0, 0, 0}, {0x0F00, 0x000C, 0, 0, 0, 0, 0}},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla18Fxx20(), c);
  const TCasoVista vistas[] = {
      {55, "PBADEN", false, false, nullptr},  {57, "PBADEN", true, true, nullptr},  {54, "CP3", false, false, nullptr},
      {64, "PM_", false, false, nullptr},     {67, "PM_", true, true, nullptr},     {69, "WAIT_", true, true, nullptr},
      {67, "T1OSCMX_", true, true, nullptr},  {69, "T1OSCMX_", false, false, nullptr}, {66, "CP4_", true, true, "CP4"},
      {68, "EBTR7_", false, false, nullptr},  {69, "PM_#3", true, true, "Microcontroller"},
      {58, "os1", true, true, "Ext.RC CLKO RA6"}, {58, "Os0_", false, false, nullptr},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla18Fxx20(), c);
  Barrido(Tabla18Fxx20(), {"osc"});
}

TEST(Conf18, Group2331) {
  const TCasoCarga cargas[] = {
      // WINEN is active low: 0 enables the watchdog window.
      {61, {0x0D00, 0, 0, 0, 0, 0, 0}, Une(Protegido(4), {"os1", "PWRTEN", "vbor4", "VINEM", "DEBUG"}),
       {0x0F00, 0, 0, 0, 0, 0, 0}},
      // Blocks 2 and 3 of the 8K parts are hidden but kept as loaded.
      {60, Con(Unos, 4, 0xC00B),
       {"os1", "FCMEM", "IESO", "BOREN", "Vbor1", "WDTEN", "WDPS0", "WDPS1", "WDPS2", "WDPS3", "PWMPIN", "LPOL",
        "HPOL", "GPTREN", "FLTAMX", "SPSMX", "PWM4MX", "EXCLKMX", "MCLRE", "STVREN", "LVP", "CP2"},
       {0xCF00, 0x3F0F, 0x9D3C, 0x0085, 0xC00B, 0xE00F, 0x400F}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla18Fxx31(), c);
  const TCasoVista vistas[] = {
      {60, "CP2", false, false, nullptr}, {62, "EBTR3", false, false, nullptr}, {61, "CP2", true, true, nullptr},
      {63, "VINEM", true, true, nullptr},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla18Fxx31(), c);
  Barrido(Tabla18Fxx31(), {"osc"});
}

TEST(Conf18, Parts2410To4680) {
  const TMarcados resto = {"FCMEM", "IESO", "BOREN#3", "BORV#3", "WDTEN", "WDTPS#15", "PBADEN", "LPT1OSC", "MCLRE",
                           "STVREN", "LVP", "XINST"};
  TMarcados sinXinst = resto;
  sinXinst.erase("XINST");
  const TCasoCarga cargas[] = {
      {71, Unos, Une(resto, {"FOSC#15", "CCP2MX"}), {0xCF00, 0x1F1F, 0x8700, 0x00C5, 0xC00F, 0xE00F, 0x400F}},
      // USB: both CPU clock lists take bits 4-3.
      {92, {0x0E3B, 0, 0, 0, 0, 0, 0},
       Une(Protegido(4, "_"),
           {"FOSC_USB#14", "USBPLL", "CPUDIV#3", "CPUDIV2#3", "PLLDIV#3", "PWRTEN", "BOREN#0", "BORV#0", "WDTPS#0", "DEBUG"}),
       {0x0E3B, 0, 0, 0, 0, 0, 0}},
      // CAN: the hidden CCP2MX follows bit 8 both ways.
      {73, Unos, Une(resto, {"FOSC#15", "CCP2MX", "BBSIZ"}), {0xCF00, 0x1F1F, 0x8700, 0x00D5, 0xC00F, 0xE00F, 0x400F}},
      {79, Con(Unos, 2, 0x8600), Une(resto, {"FOSC#15", "BBSIZ"}), {0xCF00, 0x1F1F, 0x8600, 0x00D5, 0xC00F, 0xE00F, 0x400F}},
      // A 2K-word boot block (bit 4) survives a load and a save, and so
      // does a 1K one; bit 5 goes (XINST off in both).
      {93, Con(Unos, 3, 0x00B5), Une(sinXinst, {"FOSC#15", "CCP2MX", "BBSIZ"}),
       {0xCF00, 0x1F1F, 0x8700, 0x0095, 0xC00F, 0xE00F, 0x400F}},
      {87, Con(Unos, 3, 0x00A5), Une(sinXinst, {"FOSC#15", "CCP2MX"}), {0xCF00, 0x1F1F, 0x8700, 0x0085, 0xC00F, 0xE00F, 0x400F}},
      // Large CAN: no CCP2MX at all; the boot block size from bits 4 and 5.
      {97, Con(Unos, 3, 0x0010), {"FOSC#15", "FCMEM", "IESO", "BOREN#3", "BORV#3", "WDTEN", "WDTPS#15", "PBADEN", "LPT1OSC",
                                   "MCLRE", "BBSIZ0", "DEBUG"},
       {0xCF00, 0x1F1F, 0x8600, 0x0010, 0xC00F, 0xE00F, 0x400F}},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla18FModUSB(), c);
  const TCasoGuarda guardas[] = {
      {97, {"BBSIZ1", "PBADEN", "LPT1OSC", "MCLRE"}, {0, 0, 0x8600, 0x0020, 0, 0, 0}, {0, 0, 0xFFFF, 0x0030, 0, 0, 0}},
      {80, {"FOSC#2"}, {0x0200, 0, 0, 0, 0, 0, 0}, {0x0F00, 0, 0x0100, 0, 0, 0, 0}},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla18FModUSB(), c);
  const TCasoVista vistas[] = {
      {73, "CCP2MX", false, false, nullptr}, {71, "CCP2MX", true, true, nullptr},  {70, "CP2_", false, false, nullptr},
      {72, "CP2_", true, true, "CP2"},       {72, "CP3_", false, false, nullptr},  {81, "CP3_", true, true, nullptr},
      {92, "FOSC", false, false, nullptr},   {92, "FOSC_USB", true, true, nullptr}, {71, "FOSC_USB", false, false, nullptr},
      // All ones: FOSC_USB 15 divides the PLL.
      {92, "CPUDIV2", true, true, nullptr},  {92, "CPUDIV", false, false, nullptr}, {94, "BBSIZ0", true, true, nullptr},
      {93, "BBSIZ", true, true, nullptr},    {86, "ICPORT", true, true, nullptr},  {92, "PLLDIV#3", true, true, "Divided by 4 (16 MHz input)"},
      {71, "WDTPS#15", true, true, "1:32768"},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(Tabla18FModUSB(), c);
  Barrido(Tabla18FModUSB(), {});
}

TEST(Conf18, CpuClockListsKeepOneIndexAcrossTheOscillatorChoice) {
  const TTablaConf& t = Tabla18FModUSB();
  const int fosc = BuscaControl(t, "FOSC_USB"), cpu = BuscaControl(t, "CPUDIV"), cpu2 = BuscaControl(t, "CPUDIV2");
  TEstadoConf e = CargaConf(t, 92, {}, W{0x0E10, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF});
  ASSERT_EQ(e.valores[static_cast<size_t>(fosc)], 14);
  // The user picks division 1 in the PLL list, then oscillator 12.
  e.valores[static_cast<size_t>(cpu2)] = 1;
  t.ajustaEstado(92, e);
  EXPECT_EQ(PalabrasConf(t, 92, e)[0] & 0x18, 0x08);
  e.valores[static_cast<size_t>(fosc)] = 12;
  t.ajustaEstado(92, e);
  EXPECT_EQ(e.valores[static_cast<size_t>(cpu)], 1);
  const TVistaConf v = VistaConf(t, 92, &e);
  EXPECT_TRUE(v.controles[static_cast<size_t>(cpu)].visible);
  EXPECT_FALSE(v.controles[static_cast<size_t>(cpu2)].visible);
  EXPECT_EQ(PalabrasConf(t, 92, e)[0] & 0x0F18, 0x0C08);
}
