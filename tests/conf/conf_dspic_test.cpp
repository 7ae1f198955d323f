// The dsPIC30F editor: seven registers in cells 4r, 0 in cells 4r + 1.
#include <gtest/gtest.h>

#include "casos_conf.h"
#include "conf/TablasConf.h"
#include "dspic/pg_dspic.h"
#include "pg_catalogo.h"

namespace {

using W = std::vector<uint16_t>;

// The 27 cells a save writes: each register in cell 4r, 0 after it, all
// ones in the two cells between.
W Celdas(const std::array<uint16_t, 7>& r) {
  W c(27, 0xFFFF);
  for (size_t k = 0; k < r.size(); ++k) {
    c[4 * k] = r[k];
    c[4 * k + 1] = 0;
  }
  return c;
}

const std::array<uint16_t, 7> Unos = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
const TMarcados Resto = {"FWDTEN", "WDTA#3", "WDTB#15", "MCLREN", "PWMPIN", "HPOL", "LPOL",
                         "BOREN",  "PWRT#3", "Brown#3", "BKBUG",  "COE",    "ICD#3"};

TMarcados Une(TMarcados a, const TMarcados& b) {
  a.insert(b.begin(), b.end());
  return a;
}

constexpr int F2010 = 98, F3013 = 104, F4011 = 106, F4012 = 107, F4013 = 108, F5011 = 109, F6012A = 116,
              F6014A = 120;

}  // namespace

TEST(ConfDsPic, RegistersToControlsAndBack) {
  const TCasoCarga cargas[] = {
      // Source 3 on a three-bit part is the alternate oscillator: its list
      // writes the mode.
      {F4013, Celdas({0xC303, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}),
       Une(Resto, {"FCKSM1", "FOSCA", "FPR_3#3", "FPR_A#3"}),
       Celdas({0xC303, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0007, 0xC003})},
      // Sources 4-6 match no button and save as the PLL. Boot and secure
      // segment protection (registers 3 and 4) is kept, and the hidden
      // motor-control PWM bits too.
      {F4013, Celdas({0x0515, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000}),
       {"FCKSM3", "FPR_3#21", "FPR_A#21", "WDTA#0", "WDTB#0", "PWRT#0", "Brown#0", "GCP", "GWRP", "ICD#0"},
       Celdas({0x0715, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000})},
      // Two-bit source: 1 is the fast RC; bit 15 set loads FCKSM1 and
      // saves 11.
      {F2010, Celdas({0x8102, 0x8025, 0x0491, 0x0000, 0x0000, 0x0005, 0x8001}),
       {"FCKSM1", "FOSC3", "FPR_1#2", "FWDTEN", "WDTA#2", "WDTB#5", "PWMPIN", "BOREN", "PWRT#1", "Brown#1", "GCP",
        "BKBUG", "ICD#1"},
       Celdas({0xC102, 0x8025, 0x0491, 0x0000, 0x0000, 0x0005, 0x8001})},
      {F4011, Celdas({0x4207, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}), Une(Resto, {"FCKSM2", "FOSC2", "FPR_2#7"}),
       Celdas({0x4207, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0007, 0xC003})},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla30Fxxx(), c);

  const W todo(27, 0xFFFF);
  const TCasoGuarda guardas[] = {
      // The two "64ms" items of old are 01 (4 ms) and 11.
      {F2010, {"PWRT#1"}, Celdas({0, 0, 0x0001, 0, 0, 0, 0}), Celdas({0, 0, 0x0003, 0, 0, 0, 0})},
      {F2010, {"PWRT#3"}, Celdas({0, 0, 0x0003, 0, 0, 0, 0}), Celdas({0, 0, 0x0003, 0, 0, 0, 0})},
      // Lists without selection write all ones; nothing spills into bit 15.
      {F4013, {}, Celdas({0xC71F, 0x003F, 0x0033, 0x310F, 0x330F, 0x0007, 0x0003}), todo},
      {F2010, {"FOSC4", "FCKSM3"}, Celdas({0x000F, 0, 0, 0x310F, 0x330F, 0, 0}), Celdas({0xC30F, 0, 0, 0xFFFF, 0xFFFF, 0, 0})},
      // The alternate oscillator writes its own list; the primary list's
      // choice is kept for when it is shown again.
      {F4013, {"FOSCA", "FPR_3#2", "FPR_A#10"}, Celdas({0xC30A, 0, 0, 0, 0, 0, 0}), Celdas({0xC71F, 0, 0, 0, 0, 0, 0})},
      {F4013, {"FOSC2", "FPR_3#2", "FPR_A#10"}, Celdas({0xC202, 0, 0, 0, 0, 0, 0}), Celdas({0xC71F, 0, 0, 0, 0, 0, 0})},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla30Fxxx(), c);
  // Code protection on the 30F3013 and 30F4013 writes both of its bits.
  Barrido(Tabla30Fxxx(), {"FuenteOscA", "FCKSM", "GCP"});
}

TEST(ConfDsPic, ModeListsAndWhatIsShown) {
  const TTablaConf& t = Tabla30Fxxx();
  const std::pair<const char*, size_t> tamanos[] = {{"FPR_1", 16}, {"FPR_2", 16}, {"FPR_3", 32}, {"FPR_A", 32},
                                                    {"WDTA", 4},   {"WDTB", 16},  {"ICD", 4}};
  for (const auto& [nombre, n] : tamanos) EXPECT_EQ(ControlN(t, BuscaControl(t, nombre)).opciones.size(), n) << nombre;
  const TCasoVista vistas[] = {
      {F2010, "FPR_1", true, true, nullptr},   {F2010, "FPR_2", false, false, nullptr},
      {F4011, "FPR_2", true, true, nullptr},   {F4013, "FPR_3", true, true, "- Primary Oscillator -"},
      {F4013, "FPR_A", false, false, nullptr}, {F2010, "FOSCA", true, false, "Alternate Oscillator"},
      {F4013, "FOSCA", true, true, nullptr},   {F2010, "PWRT#1", true, true, "4ms"},
      {F4013, "ICD#0", true, true, "EMUC3 & EMUD3"}, {F4011, "FPR_2#10", true, true, "FRC w/ PLL 8x"},
      {F2010, "FPR_1#10", true, true, "Reserved"},   {F4013, "FPR_3#19", true, true, "HS/2 w/ PLL 16x"},
      // On the three-bit parts the PLL (source 111, "Primary") lists what
      // feeds it, the fast RC among them; source 011 lists the primary
      // oscillator's modes without it.
      {F4013, "FPR_3#1", true, true, "FRC w/ PLL 4x"},   {F4013, "FPR_3#4", true, true, "Reserved"},
      {F4013, "FPR_3#13", true, true, "ECIO w/ PLL 4x"}, {F4013, "FPR_A#4", false, false, "XT: 4 - 10 MHz crystal"},
      {F4013, "FPR_A#1", false, false, "Reserved"},      {F4011, "FPR_2#15", true, true, "ECIO w/ PLL 16x"},
      // Brown-out code 11 is reserved on the newer parts.
      {F4011, "Brown#3", true, true, "Reserved"}, {F4012, "Brown#3", true, true, "Reserved"},
      {F4013, "Brown#3", true, true, "Reserved"}, {F6012A, "Brown#3", true, true, "Reserved"},
      {F6014A, "Brown#3", true, true, "Reserved"}, {F5011, "Brown#3", true, true, "2.0 V"},
      {F3013, "Brown#3", true, true, "2.0 V"}, {F2010, "Brown#3", true, true, "2.0 V"},
      // The motor-control PWM boxes only where the part has that PWM.
      {F2010, "PWMPIN", true, true, nullptr}, {F4011, "HPOL", true, true, nullptr},
      {F4012, "LPOL", true, true, nullptr}, {F3013, "PWMPIN", false, false, nullptr},
      {F4013, "HPOL", false, false, nullptr}, {F5011, "LPOL", false, false, nullptr},
      {F6012A, "PWMPIN", false, false, nullptr}, {F6014A, "HPOL", false, false, nullptr},
  };
  for (const TCasoVista& c : vistas) CompruebaVista(t, c);

  // The mode list is offered only while the primary oscillator is the
  // source; the alternate oscillator shows its own list and caption.
  struct TCaso {
    int dispositivo;
    uint16_t registro0;
    const char* lista;
    bool habilitada;
    const char* oculta;
  };
  const TCaso casos[] = {
      {F4013, 0xC71F, "FPR_3", true, "FPR_A"},  {F4013, 0xC21F, "FPR_3", false, "FPR_A"},
      {F4013, 0xC304, "FPR_A", true, "FPR_3"},
      {F4013, 0xC51F, "FPR_3", false, "FPR_A"}, {F4013, 0xC31F, "FPR_A", true, "FPR_3"},
      {F2010, 0xC30F, "FPR_1", true, "FPR_2"},  {F2010, 0xC00F, "FPR_1", false, "FPR_2"},
  };
  for (const TCaso& c : casos) {
    SCOPED_TRACE(Hex4(c.registro0));
    const TEstadoConf e = CargaConf(t, c.dispositivo, {}, Celdas({c.registro0, 0, 0, 0, 0, 0, 0}));
    const TVistaConf v = VistaConf(t, c.dispositivo, &e);
    const TVistaControl& lista = v.controles[static_cast<size_t>(BuscaControl(t, c.lista))];
    EXPECT_TRUE(lista.visible);
    EXPECT_EQ(lista.habilitado, c.habilitada);
    EXPECT_FALSE(v.controles[static_cast<size_t>(BuscaControl(t, c.oculta))].visible);
  }
}

TEST(ConfDsPic, LoadMasksTheCallersCellsWithTheEnginesTable) {
  for (int d : DispositivosDe(0, EdFC_30Fxxx)) {
    SCOPED_TRACE(d);
    W celdas(28, 0xFFFF);
    MascaraConf(Tabla30Fxxx(), d, celdas);
    const auto& bits = BitsConfig(DaMaskAB(static_cast<uint8_t>(d)));
    for (size_t r = 0; r < 7; ++r) {
      EXPECT_EQ(celdas[4 * r], bits[r]);
      EXPECT_EQ(celdas[4 * r + 1], 0);
    }
    EXPECT_EQ(celdas[27], 0xFFFF);
  }
}

// What the editor has no control for stays as loaded, within the
// implemented bits; code protection writes what each part calls on.
TEST(ConfDsPic, ProtectionAndBitsWithoutControls) {
  const TCasoCarga cargas[] = {
      // Boot and secure segment settings of a file (FBS CFF1, FSS FCF1).
      {F6014A, Celdas({0xFFFF, 0xFFFF, 0xFFFF, 0xCFF1, 0xFCF1, 0xFFFF, 0xFFFF}), Une(Resto, {"FCKSM1", "FOSC1", "FPR_3#31", "FPR_A#31"}),
       Celdas({0xC71F, 0x803F, 0x87B3, 0x0101, 0x3001, 0x0007, 0xC003})},
      // High security (bit 2) has no box: not ticked, and kept.
      {F6014A, Celdas({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFB, 0xFFFF}), Une(Resto, {"FCKSM1", "FOSC1", "FPR_3#31", "FPR_A#31"}),
       Celdas({0xC71F, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0003, 0xC003})},
      {F5011, Celdas({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFF9, 0xFFFF}), Une(Resto, {"FCKSM1", "FOSC1", "FPR_2#15", "GCP"}),
       Celdas({0xC30F, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0001, 0xC003})},
      // On the 30F4013 either protection bit loads ticked and saves the
      // part's "on", both bits.
      {F4013, Celdas({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFD, 0xFFFF}), Une(Resto, {"FCKSM1", "FOSC1", "FPR_3#31", "FPR_A#31", "GCP"}),
       Celdas({0xC71F, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0001, 0xC003})},
      {F3013, Celdas({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFB, 0xFFFF}), Une(Resto, {"FCKSM1", "FOSC1", "FPR_3#31", "FPR_A#31", "GCP"}),
       Celdas({0xC71F, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0001, 0xC003})},
      // A file built for XT: source 011 with mode XT, under the list of
      // the primary oscillator without the PLL.
      {F4013, Celdas({0xFBE4, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFF9, 0xFFFF}),
       Une(Resto, {"FCKSM1", "FOSCA", "FPR_3#4", "FPR_A#4", "GCP"}),
       Celdas({0xC304, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0001, 0xC003})},
  };
  for (const TCasoCarga& c : cargas) CompruebaCarga(Tabla30Fxxx(), c);

  const W fgs = Celdas({0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0}), fuente = Celdas({0x071F, 0, 0, 0, 0, 0, 0});
  const TCasoGuarda guardas[] = {
      {F4013, {"GCP"}, Celdas({0, 0, 0, 0x310F, 0x330F, 0x0001, 0}), fgs},
      {F3013, {"GCP", "GWRP"}, Celdas({0, 0, 0, 0x310F, 0x330F, 0x0000, 0}), fgs},
      {F6014A, {"GCP"}, Celdas({0, 0, 0, 0x310F, 0x330F, 0x0005, 0}), fgs},
      {F4011, {"GCP"}, Celdas({0, 0, 0, 0x310F, 0x330F, 0x0005, 0}), fgs},
      {F4013, {"FOSCA", "FPR_A#4"}, Celdas({0x0304, 0, 0, 0, 0, 0, 0}), fuente},
      {F4013, {"FOSC1", "FPR_3#5"}, Celdas({0x0705, 0, 0, 0, 0, 0, 0}), fuente},
  };
  for (const TCasoGuarda& c : guardas) CompruebaGuarda(Tabla30Fxxx(), c);
}
