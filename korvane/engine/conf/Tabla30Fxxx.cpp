// The dsPIC30F editor: seven registers, register r in cell 4r of the
// configuration area with 0 in cell 4r + 1. The implemented bits are the
// engine's table (the same one its erase check reads), set A or B by part.
#include "TablasConf.h"

#include "dspic/pg_dspic.h"
#include "pg_catalogo.h"

namespace {

constexpr uint8_t Celda(int registro) { return static_cast<uint8_t>(4 * registro); }

// The oscillator modes of the parts with a two-bit source, item = the
// four mode bits. The first parts leave three codes reserved that the
// 30F4011 group uses for the fast RC with PLL. The external clock runs the
// PLL with OSC2 as an I/O pin (ECIO).
std::vector<std::string> ModosPrimario(bool frcPll) {
  const std::string r = "Reserved";
  return {"XTL: 200 kHz - 4 MHz crystal",
          frcPll ? "FRC w/ PLL 4x" : r,
          "HS: 10 - 25 MHz crystal",
          frcPll ? "FRC w/ PLL 16x" : r,
          "XT: 4 - 10 MHz crystal",
          "XT w/ PLL 4x",
          "XT w/ PLL 8x",
          "XT w/ PLL 16x",
          "ERCIO: external RC, OSC2 is I/O",
          "ERC: external RC, OSC2 is CLKO",
          frcPll ? "FRC w/ PLL 8x" : r,
          "EC: external clock, OSC2 is CLKO",
          "ECIO: external clock, OSC2 is I/O",
          "ECIO w/ PLL 4x",
          "ECIO w/ PLL 8x",
          "ECIO w/ PLL 16x"};
}

// The parts with a three-bit source split the same modes over two
// sources, item = the five mode bits: source 111 is the PLL, fed by the
// clock the mode names (the fast RC among them); source 011 is the
// primary oscillator without the PLL, in these modes.
constexpr size_t ModosSinPllBits[] = {0, 2, 4, 8, 9, 11, 12};

std::vector<std::string> ModosPll() {
  std::vector<std::string> m = ModosPrimario(true);
  for (const size_t sinPll : ModosSinPllBits) m[sinPll] = "Reserved";
  const std::string r = "Reserved";
  const std::vector<std::string> altos = {r, "HS/2 w/ PLL 4x", "HS/2 w/ PLL 8x", "HS/2 w/ PLL 16x",
                                          r, "HS/3 w/ PLL 4x", "HS/3 w/ PLL 8x", "HS/3 w/ PLL 16x"};
  m.insert(m.end(), altos.begin(), altos.end());
  m.resize(32, r);
  return m;
}

std::vector<std::string> ModosSinPll() {
  const std::vector<std::string> todos = ModosPrimario(false);
  std::vector<std::string> m(32, "Reserved");
  for (const size_t sinPll : ModosSinPllBits) m[sinPll] = todos[sinPll];
  return m;
}

// Code protection on both bits 2 and 1; any protection loaded shows ticked,
// so a save never drops it.
TControlConf CasillaGcpDosBits() {
  TControlConf c = CasillaBits("GCP", Celda(5), 0x0006, 0x0000, 0x0006, 0x0006, 0x0000);
  c.opciones[0].mascaraCarga = 0x0006;
  c.opciones[0].carga = 0x0006;
  return c;
}

TTablaConf Crea() {
  const TDispositivos grupo1 = Disp({98, 112, 113, 115, 117, 119});
  const TDispositivos grupo2 = Disp({106, 107, 109, 110});
  const TDispositivos grupo3 = DispRango(98, 121) & ~grupo1 & ~grupo2;
  // Parts whose device headers were checked (30F3013, 4011, 4012, 4013,
  // 5011, 6012A, 6014A): the differences below are theirs; the other parts
  // keep what they had.
  const TDispositivos sinPwmMotor = Disp({104, 108, 109, 116, 120});  // no motor-control PWM
  const TDispositivos borReservado = Disp({106, 107, 108, 116, 120});  // brown-out code 11 is reserved
  const TDispositivos gcpDosBits = Disp({104, 108});  // code protection on clears bits 2 and 1
  TTablaConf t;
  t.tipo = EdFC_30Fxxx;
  t.nombre = "FC_30Fxxx";
  // Cells 0-26: every register starts at its implemented bits, the cell
  // after it at 0; the mask below does both.
  t.base.assign(27, 0xFFFF);
  t.ancho = 0xFFFF;
  t.conId = false;
  // Boot and secure segment protection (registers 3 and 4) and bit 2 of
  // the general segment have no controls: they keep what was loaded.
  t.conservaLibres = true;
  t.mascara = [](int d) {
    const auto& bits = BitsConfig(DaMaskAB(d < 0 || d > 255 ? uint8_t{255} : static_cast<uint8_t>(d)));
    std::vector<uint16_t> m(27, 0xFFFF);
    for (size_t r = 0; r < bits.size(); ++r) {
      m[4 * r] = bits[r];
      m[4 * r + 1] = 0;
    }
    return m;
  };

  TGrupoConf g{"GroupDs", " on/off ", DispRango(98, 121), {}, {}};
  const char* direcciones[] = {"0xF80000 :", "0xF80002 :", "0xF80004 :", "0xF80006 :",
                               "0xF80008 :", "0xF8000A :", "0xF8000C :"};
  for (int r = 0; r < 7; ++r) g.etiquetas.push_back({"co" + std::to_string(r + 1), direcciones[r], Celda(r)});
  const std::string fuente = "-Osc.Source on POR-";
  g.controles = {
      // Two-bit source; the alternate oscillator is shown but not offered.
      Radios("FuenteOsc", fuente, Celda(0), 0x0300,
             {{"FOSC1", 0x300, "Primary"},
              {"FOSC3", 0x100, "Internal Fast RC"},
              {"FOSC2", 0x200, "Internal Low-Power RC"},
              {"FOSC4", 0x000, "LowPower 32 KHz Timer1"},
              {"FOSCA", 0x300, "Alternate Oscillator"}})
          .En(grupo1 | grupo2)
          .OpcionDeshabilitadaEn(4, DispTodos()),
      // Three-bit source: 4 to 6 match no button and save as 7.
      Radios("FuenteOscA", fuente, Celda(0), 0x0700,
             {{"FOSC1", 0x700, "Primary"},
              {"FOSC3", 0x100, "Internal Fast RC"},
              {"FOSC2", 0x200, "Internal Low-Power RC"},
              {"FOSC4", 0x000, "LowPower 32 KHz Timer1"},
              {"FOSCA", 0x300, "Alternate Oscillator"}})
          .En(grupo3),
      Lista("FPR_1", "- Primary Oscillator -", Celda(0), 0x000F, ItemsLista("FPR_1", ModosPrimario(false), 0)).En(grupo1),
      Lista("FPR_2", "- Primary Oscillator -", Celda(0), 0x000F, ItemsLista("FPR_2", ModosPrimario(true), 0)).En(grupo2),
      Lista("FPR_3", "- Primary Oscillator -", Celda(0), 0x001F, ItemsLista("FPR_3", ModosPll(), 0))
          .En(grupo3)
          .Si("FuenteOscA", {4}, true),
      Lista("FPR_A", "- Alternate Oscillator -", Celda(0), 0x001F, ItemsLista("FPR_A", ModosSinPll(), 0))
          .En(grupo3)
          .Si("FuenteOscA", {4}),
      TControlConf{.clase = TClaseControl::Radios,
                   .nombre = "FCKSM",
                   .texto = "-Clock Switching-",
                   .palabra = Celda(0),
                   .mascara = 0xC000,
                   .opciones = {OpcionRango("FCKSM1", "Off , fail safe clock Off", 0xC000, 0x8000, 0x8000),
                                OpcionRango("FCKSM2", "On , fail safe clock Off", 0x4000, 0xC000, 0x4000),
                                OpcionRango("FCKSM3", "On  , fail safe clock On", 0x0000, 0xC000, 0x0000)}}
          .Col(1),
      Casilla1("FWDTEN", Celda(1), 15).Col(2),
      Lista("WDTA", "-Prescaler A-", Celda(1), 0x0030, ItemsLista("WDTA", {"1:1", "1:8", "1:64", "1:512"}, 4)).Col(2),
      Lista("WDTB", "-Prescaler B-", Celda(1), 0x000F,
            ItemsLista("WDTB", {"1:1", "1:2", "1:3", "1:4", "1:5", "1:6", "1:7", "1:8", "1:9", "1:10", "1:11", "1:12", "1:13",
                   "1:14", "1:15", "1:16"},
                  0))
          .Col(2),
      Casilla1("MCLREN", Celda(2), 15).Col(3),
      // Hidden where the part has no motor-control PWM; the bits are still
      // loaded and written, so whatever a file holds there stays.
      Casilla1("PWMPIN", Celda(2), 10).Col(3).OcultoEn(sinPwmMotor),
      Casilla1("HPOL", Celda(2), 9).Col(3).OcultoEn(sinPwmMotor),
      Casilla1("LPOL", Celda(2), 8).Col(3).OcultoEn(sinPwmMotor),
      Casilla1("BOREN", Celda(2), 7).Col(3),
      Lista("PWRT", "-Power-up Timer-", Celda(2), 0x0003, ItemsLista("PWRT", {"Disabled", "4ms", "16ms", "64ms"}, 0)).Col(1),
      Lista("Brown", "-Brown-out Voltage-", Celda(2), 0x0030, ItemsLista("Brown", {"4.5 V", "4.2 V", "2.7 V", "2.0 V"}, 4))
          .Col(1)
          .OpcionTextoEn(3, borReservado, "Reserved"),
      // Standard protection clears bit 1. Bit 2 (high security where the
      // part has it) has no control and keeps what was loaded.
      Casilla0("GCP", Celda(5), 1).Col(3).En(DispTodos() & ~gcpDosBits),
      CasillaGcpDosBits().Col(3).En(gcpDosBits),
      Casilla0("GWRP", Celda(5), 0).Col(3),
      Casilla1("BKBUG", Celda(6), 15).Col(3),
      Casilla1("COE", Celda(6), 14).Col(3),
      Lista("ICD", "-Debug Pins-", Celda(6), 0x0003,
            ItemsLista("ICD", {"EMUC3 & EMUD3", "EMUC2 & EMUD2", "EMUC1 & EMUD1", "EMUC & EMUD"}, 0))
          .Col(1),
  };
  t.grupos = {g};

  // A mode list of the primary oscillator is only offered while the
  // primary oscillator is the source.
  const int n1 = BuscaControl(t, "FuenteOsc"), n3 = BuscaControl(t, "FuenteOscA");
  const int l1 = BuscaControl(t, "FPR_1"), l2 = BuscaControl(t, "FPR_2"), l3 = BuscaControl(t, "FPR_3");
  t.ajustaVista = [=](int, const TEstadoConf& e, TVistaConf& v) {
    const bool primario12 = e.valores[static_cast<size_t>(n1)] == 0;
    v.controles[static_cast<size_t>(l1)].habilitado = primario12;
    v.controles[static_cast<size_t>(l2)].habilitado = primario12;
    v.controles[static_cast<size_t>(l3)].habilitado = e.valores[static_cast<size_t>(n3)] == 0;
  };
  return t;
}

}  // namespace

const TTablaConf& Tabla30Fxxx() {
  static const TTablaConf t = Crea();
  return t;
}
