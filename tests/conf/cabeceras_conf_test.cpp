// Every configuration editor kind held against the published bit
// definitions: gputils' processor header of each part (p<part>.inc) for the
// 12/14-bit and PIC18 parts, and for the dsPIC30F parts, which gputils does
// not cover, the settings of the chip maker's device headers of seven parts
// (dspic/dspic30f-config.txt, one setting a line). For each option of a
// header, from the erased words:
//   - save: the control state the option names (cabeceras_conf.txt) is set
//     through the codec and saved; the option's field must hold its value;
//   - load: a word with the option's value is loaded; the codec must show
//     that state;
//   - caption: the button or list item that stands for the option must not
//     contradict the header's comment on it (RC where it says EC, another
//     voltage, a protected range where it says off).
// The data file maps options to control states once per editor kind and
// lists, with a reason, every option the editor cannot hold; anything else
// that disagrees fails here. The dsPIC editor keeps the bits it has no
// control for, so there each option must also come back from a load and a
// save, no option may show as "Reserved", and every choice the editor
// offers for a part must be one of the part's settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "cabecera_gputils.h"
#include "casos_conf.h"
#include "referencia_dspic.h"
#include "conf/TablasConf.h"
#include "pg_catalogo.h"

namespace {

namespace fs = std::filesystem;

const fs::path Datos = fs::path(KORVANE_SOURCE_DIR) / "tests/conf/cabeceras_conf.txt";
const fs::path ReferenciaDsPic = fs::path(KORVANE_SOURCE_DIR) / "tests/conf/dspic/dspic30f-config.txt";

std::string Mayusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// --- The data file --------------------------------------------------------

enum class TRegla : uint8_t {
  Estado,      // the option is this control state
  SinControl,  // "!": the editor has no control for the setting's bits
};

struct TLinea {
  int numero = 0;
  std::string simbolo;
  TRegla regla = TRegla::Estado;
  std::vector<std::string> estados;  // "XT6", "WDTEN=1", "FOSC#3"
  bool sinGuardar = false;           // "~save": the save writes another encoding
  bool sentido = false;              // "~meaning": ticked for the bit's other sense
  bool sinTexto = false;             // "~caption": the caption is kept although it differs
  bool conservada = false;           // "~kept": no state writes it; a load and a save keep it
  std::string razon;
  int usos = 0;
  int excepcionesUsadas = 0;  // times a "~" waiver was needed
};

struct TSeccion {
  std::string editor;            // "FC_16F8x"
  std::set<std::string> partes;  // upper case; empty: every part of the kind
  std::vector<TLinea> lineas;
};

std::vector<TSeccion> LeeDatos() {
  std::vector<TSeccion> s;
  std::ifstream f(Datos);
  EXPECT_TRUE(f) << "cannot read " << Datos;
  std::string linea;
  for (int n = 1; std::getline(f, linea); ++n) {
    const auto almohadilla = linea.find('#');
    // "#" starts a comment except inside a list item name ("FOSC#3").
    if (almohadilla != std::string::npos && (almohadilla == 0 || std::isspace(static_cast<unsigned char>(linea[almohadilla - 1]))))
      linea.erase(almohadilla);
    std::istringstream in(linea);
    std::string w;
    if (!(in >> w)) continue;
    if (w.front() == '[') {
      std::string cab = linea.substr(linea.find('[') + 1);
      cab = cab.substr(0, cab.find(']'));
      std::replace(cab.begin(), cab.end(), ':', ' ');
      std::istringstream c(cab);
      TSeccion sec;
      c >> sec.editor;
      for (std::string p; c >> p;) sec.partes.insert(Mayusculas(p));
      s.push_back(sec);
      continue;
    }
    if (s.empty()) {
      ADD_FAILURE() << Datos << ":" << n << ": option line before any section";
      continue;
    }
    TLinea l;
    l.numero = n;
    l.simbolo = w;
    for (std::string t; in >> t;) {
      if (t == "!" || t == "~save" || t == "~meaning" || t == "~caption" || t == "~kept") {
        if (t == "!") l.regla = TRegla::SinControl;
        if (t == "~kept") l.conservada = true;
        if (t == "~save") l.sinGuardar = true;
        if (t == "~meaning") l.sentido = true;
        if (t == "~caption") l.sinTexto = true;
        std::getline(in, l.razon);
        l.razon = l.razon.substr(std::min(l.razon.size(), l.razon.find_first_not_of(" :")));
        break;
      }
      l.estados.push_back(t);
    }
    if ((l.regla == TRegla::SinControl || l.sinGuardar || l.sentido || l.sinTexto || l.conservada) && l.razon.empty())
      ADD_FAILURE() << Datos << ":" << n << ": an exception without its reason";
    if (l.regla == TRegla::Estado && l.estados.empty())
      ADD_FAILURE() << Datos << ":" << n << ": " << l.simbolo << " names no control state";
    s.back().lineas.push_back(l);
  }
  return s;
}

// --- Parts, headers and words -------------------------------------------

// The headers of a catalogue entry: "16C62a/b" stands for the 16C62A and
// the 16C62B, "16C620/a" for the 16C620 and the 16C620A.
std::vector<std::string> PartesDe(const std::string& nombre) {
  std::vector<std::string> r;
  std::istringstream in(nombre);
  std::string primera, otra;
  std::getline(in, primera, '/');
  r.push_back(primera);
  while (std::getline(in, otra, '/')) {
    std::string p = primera;
    if (std::isalpha(static_cast<unsigned char>(p.back()))) p.pop_back();
    r.push_back(p + otra);
  }
  return r;
}

// Where a header word lives in the editor's words: word index and bit shift.
struct TSitio {
  int palabra = -1;
  int desplazamiento = 0;
};

TSitio SitioDe(int64_t direccion) {
  if (direccion >= 0xF80000) return {static_cast<int>(4 * ((direccion - 0xF80000) / 2)), 0};  // dsPIC register cells
  if (direccion >= 0x300000)  // PIC18 bytes: CONFIGnL and CONFIGnH make word n
    return {static_cast<int>((direccion - 0x300000) / 2), static_cast<int>(8 * (direccion & 1))};
  if (direccion == 0x0FFF) return {0, 0};                                     // 12-bit
  if (direccion >= 0x2007) return {static_cast<int>(direccion - 0x2007), 0};  // 14-bit
  return {};
}

// --- Control states ------------------------------------------------------

struct TAjusteEstado {
  int control = -1;
  int valor = -1;
  bool contexto = false;  // "(STATE)": set for the save, not looked at after the load
};

// "XT6", "FOSC#3" (an option) or "WDTEN=1" (a check box).
std::optional<TAjusteEstado> Resuelve(const TTablaConf& t, int d, std::string estado) {
  const bool contexto = estado.size() > 2 && estado.front() == '(' && estado.back() == ')';
  if (contexto) estado = estado.substr(1, estado.size() - 2);
  const auto igual = estado.find('=');
  if (igual != std::string::npos) {
    const std::string nombre = estado.substr(0, igual);
    for (int n = 0; n < NumControles(t); ++n)
      if (ControlN(t, n).nombre == nombre && ControlN(t, n).clase == TClaseControl::Casilla && Aplica(t, n, d))
        return TAjusteEstado{n, estado.substr(igual + 1) == "1" ? 1 : 0, contexto};
    return std::nullopt;
  }
  const auto [n, o] = BuscaOpcion(t, estado, d);
  if (n < 0) return std::nullopt;
  return TAjusteEstado{n, o, contexto};
}

std::string NombreEstado(const TTablaConf& t, int n, int v) {
  const TControlConf& c = ControlN(t, n);
  if (c.clase == TClaseControl::Casilla) return c.nombre + "=" + std::to_string(v);
  if (v < 0 || v >= static_cast<int>(c.opciones.size())) return c.nombre + " with nothing chosen";
  return c.opciones[static_cast<size_t>(v)].nombre;
}

std::string Hex(uint32_t v) {
  std::ostringstream s;
  s << "0x" << std::uppercase << std::hex << v;
  return s.str();
}

// --- Captions against the header's comments -----------------------------

bool Palabra(const std::string& texto, const std::string& palabra) {
  const std::regex r("(^|[^A-Za-z])" + palabra + "([^A-Za-z]|$)");
  return std::regex_search(texto, r);
}

std::string Minusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// What a caption says that the comment on the option contradicts (empty:
// nothing). Only plain facts are compared: the kind of clock, a voltage,
// an address range, and protection off.
std::string Contradice(const std::string& rotulo, const std::string& comentario) {
  const bool rcR = Palabra(rotulo, "RC"), ecR = Palabra(rotulo, "EC");
  const bool rcC = Palabra(comentario, "RC"), ecC = Palabra(comentario, "EC");
  if (rcR && !ecR && ecC && !rcC) return "names RC where the header says EC";
  if (ecR && !rcR && rcC && !ecC) return "names EC where the header says RC";
  static const std::regex voltios(R"((\d)[.,](\d))");
  static const std::regex voltiosC(R"((\d)\.(\d)\d* ?V)");
  std::smatch a, b;
  const std::string c = Minusculas(comentario), r = Minusculas(rotulo);
  if (c.find("reserved") != std::string::npos && std::regex_search(rotulo, a, voltios))
    return "gives a voltage to a reserved setting";
  if (std::regex_search(rotulo, a, voltios) && std::regex_search(comentario, b, voltiosC) &&
      (a[1] != b[1] || a[2] != b[2]))
    return "gives another voltage";
  static const std::regex rango(R"(([0-9A-Fa-f]{4})h ?(-|to) ?([0-9A-Fa-f]{4})h)");
  if (std::regex_search(rotulo, a, rango) && std::regex_search(comentario, b, rango) &&
      (Minusculas(a[1]) != Minusculas(b[1]) || Minusculas(a[3]) != Minusculas(b[3])))
    return "gives another address range";
  if (c.find("protection off") != std::string::npos && r.find("off") == std::string::npos)
    return "does not say that the setting protects nothing";
  return {};
}

// --- The comparison -----------------------------------------------------

struct TCuenta {
  int partes = 0;
  int opciones = 0;
  int explicadas = 0;
  int desacuerdos = 0;
};

class TComparacion {
public:
  explicit TComparacion(std::vector<TSeccion> datos) : datos_(std::move(datos)) {}

  void Editor(const TTablaConf& t, const fs::path& carpeta) {
    const auto lista = ListaCatalogo(t.claseLista);
    for (int d : DispositivosDe(t.claseLista, t.tipo)) {
      const std::string nombre = lista[static_cast<size_t>(d)].Nombre;
      for (const std::string& parte : PartesDe(nombre)) {
        const fs::path ruta = RutaCabeceraGputils(carpeta, parte);
        if (!fs::exists(ruta)) {
          Desacuerdo(t, nombre, parte, "no header " + ruta.string());
          continue;
        }
        std::string error;
        const auto cab = LeeCabeceraGputils(ruta, &error);
        if (!cab) {
          Desacuerdo(t, nombre, parte, error);
          continue;
        }
        ++cuenta_[t.nombre].partes;
        Parte(t, d, nombre, parte, *cab);
      }
    }
  }

  // The parts of a settings list (each part's name in the catalogue), held
  // more strictly: see the top of the file.
  void Referencia(const TTablaConf& t, const TReferenciaDsPic& ref) {
    for (const std::string& e : ref.errores) ADD_FAILURE() << ReferenciaDsPic << ": " << e;
    const auto lista = ListaCatalogo(t.claseLista);
    estricto_ = true;
    for (const auto& [parte, cab] : ref.partes) {
      bool hallada = false;
      for (int d : DispositivosDe(t.claseLista, t.tipo)) {
        const std::string nombre = lista[static_cast<size_t>(d)].Nombre;
        if (Mayusculas(nombre) != parte) continue;
        hallada = true;
        ++cuenta_[t.nombre].partes;
        Parte(t, d, nombre, parte, cab);
        Ofrecidas(t, d, nombre, parte);
      }
      if (!hallada) ADD_FAILURE() << parte << " of " << ReferenciaDsPic << " is no part of " << t.nombre;
    }
    estricto_ = false;
  }

  // Lines no part needed, and waivers no option needed, are stale.
  void Restos() const {
    for (const TSeccion& s : datos_)
      for (const TLinea& l : s.lineas) {
        if (l.usos == 0) ADD_FAILURE() << Datos << ":" << l.numero << ": " << l.simbolo << " is no option of any part";
        else if ((l.sinGuardar || l.sinTexto || l.conservada) && l.excepcionesUsadas == 0)
          ADD_FAILURE() << Datos << ":" << l.numero << ": " << l.simbolo << " needs no waiver: the editor agrees";
      }
  }

  void Informe() const {
    TCuenta total;
    for (const auto& [editor, c] : cuenta_) {
      std::cout << editor << ": " << c.partes << " parts, " << c.opciones << " options, " << c.explicadas
                << " explained, " << c.desacuerdos << " disagreements\n";
      total.partes += c.partes;
      total.opciones += c.opciones;
      total.explicadas += c.explicadas;
      total.desacuerdos += c.desacuerdos;
    }
    std::cout << "all: " << total.partes << " parts, " << total.opciones << " options, " << total.explicadas
              << " explained, " << total.desacuerdos << " disagreements\n";
    for (const TSeccion& s : datos_)
      for (const TLinea& l : s.lineas)
        if (l.regla == TRegla::SinControl || l.sentido || l.conservada || l.excepcionesUsadas > 0)
          std::cout << "  explained " << s.editor << " " << l.simbolo << " (" << l.usos << "x): " << l.razon << "\n";
  }

private:
  // Every choice a part's radio buttons and lists offer (shown, enabled,
  // not "Reserved") stands for one of the part's settings.
  void Ofrecidas(const TTablaConf& t, int d, const std::string& nombre, const std::string& parte) {
    const TVistaConf vista = VistaConf(t, d);
    for (int n = 0; n < NumControles(t); ++n) {
      const TControlConf& c = ControlN(t, n);
      const TVistaControl& vc = vista.controles[static_cast<size_t>(n)];
      if (c.clase == TClaseControl::Casilla || !Aplica(t, n, d) || !vc.visible || !vc.habilitado) continue;
      for (size_t o = 0; o < c.opciones.size(); ++o) {
        const TVistaOpcion& vo = vc.opciones[o];
        if (!vo.visible || !vo.habilitado || vo.texto == "Reserved") continue;
        if (!usados_.count({d, n, static_cast<int>(o)}))
          Desacuerdo(t, nombre, parte, "offers " + NombreEstado(t, n, static_cast<int>(o)) + " \"" + vo.texto +
                                           "\", which is none of the part's settings");
      }
    }
  }

  void Desacuerdo(const TTablaConf& t, const std::string& nombre, const std::string& parte, const std::string& que) {
    ++cuenta_[t.nombre].desacuerdos;
    ADD_FAILURE() << t.nombre << " " << nombre << " (" << parte << "): " << que;
  }

  // The line mapping one of `alias` on this part: a section that names the
  // part first, then one for every part of the kind.
  TLinea* Linea(const TTablaConf& t, const std::string& nombre, const std::vector<std::string>& alias) {
    for (int general = 0; general < 2; ++general)
      for (TSeccion& s : datos_) {
        if (s.editor != t.nombre) continue;
        if (general ? !s.partes.empty() : !s.partes.count(Mayusculas(nombre))) continue;
        for (const std::string& a : alias)
          for (TLinea& l : s.lineas)
            if (l.simbolo == a) return &l;
      }
    return nullptr;
  }

  void Parte(const TTablaConf& t, int d, const std::string& nombre, const std::string& parte,
             const TCabeceraGputils& cab) {
    for (const TPalabraGputils& p : cab.palabras) {
      const TSitio sitio = SitioDe(p.direccion);
      if (sitio.palabra < 0 || sitio.palabra >= static_cast<int>(t.base.size())) {
        Desacuerdo(t, nombre, parte, p.nombre + " at " + Hex(static_cast<uint32_t>(p.direccion)) + " is no word of the editor");
        continue;
      }
      for (const TAjusteGputils& a : p.ajustes) {
        if (a.mascara == 0) continue;  // a setting that writes no bit
        std::set<uint32_t> vistos;
        for (const TSimboloGputils& s : a.simbolos) {
          if (!vistos.insert(s.valor & a.mascara).second) continue;
          ++cuenta_[t.nombre].opciones;
          Opcion(t, d, nombre, parte, sitio, a, s);
        }
      }
    }
  }

  void Opcion(const TTablaConf& t, int d, const std::string& nombre, const std::string& parte, TSitio sitio,
              const TAjusteGputils& a, const TSimboloGputils& s) {
    // Aliases of the value, then (for "!") any symbol of the setting.
    TLinea* l = Linea(t, nombre, a.Alias(s));
    if (!l) {
      std::vector<std::string> todos;
      for (const TSimboloGputils& x : a.simbolos) todos.push_back(x.nombre);
      TLinea* otra = Linea(t, nombre, todos);
      if (otra && otra->regla == TRegla::SinControl) l = otra;
    }
    const std::string que = s.nombre + " (" + Hex(s.valor) + ", " + s.comentario + ")";
    if (!l) {
      Desacuerdo(t, nombre, parte, que + ": not in " + Datos.filename().string());
      return;
    }
    ++l->usos;
    const auto palabra = static_cast<size_t>(sitio.palabra);
    const auto campo = static_cast<uint16_t>(a.mascara << sitio.desplazamiento);
    const auto valor = static_cast<uint16_t>((s.valor & a.mascara) << sitio.desplazamiento);
    if (l->regla == TRegla::SinControl) {
      // No applicable control may write these bits.
      for (int n = 0; n < NumControles(t); ++n)
        if (Aplica(t, n, d) && ControlN(t, n).palabra == palabra && (ControlN(t, n).mascara & campo))
          Desacuerdo(t, nombre, parte, que + ": listed without a control, but " + ControlN(t, n).nombre + " writes its bits");
      if (estricto_) Vuelta(t, d, nombre, parte, palabra, campo, valor, que);
      ++cuenta_[t.nombre].explicadas;
      return;
    }
    std::vector<TAjusteEstado> estados;
    for (const std::string& e : l->estados) {
      const auto r = Resuelve(t, d, e);
      if (!r) {
        Desacuerdo(t, nombre, parte, que + ": " + e + " is no control state of this part (line " + std::to_string(l->numero) + ")");
        return;
      }
      estados.push_back(*r);
    }
    const std::vector<uint16_t> borrado = t.base;
    bool explicada = false;

    // Save: from the erased words, the option's state.
    TEstadoConf e = CargaConf(t, d, {}, borrado);
    for (const TAjusteEstado& x : estados) e.valores[static_cast<size_t>(x.control)] = x.valor;
    std::vector<uint16_t> sale(t.base.size());
    uint16_t id[4] = {};
    GuardaConf(t, d, e, id, sale);
    if ((sale[palabra] & campo) != valor) {
      if (l->sinGuardar || l->conservada) {
        explicada = true;
      } else {
        Desacuerdo(t, nombre, parte,
                   que + ": " + Junta(l->estados) + " saves " + Hex((sale[palabra] & campo) >> sitio.desplazamiento) +
                       " under " + Hex(a.mascara));
      }
    }

    // Load: the option's value in the erased words.
    std::vector<uint16_t> entra = borrado;
    entra[palabra] = static_cast<uint16_t>((entra[palabra] & ~campo) | valor);
    const TEstadoConf c = CargaConf(t, d, {}, entra);
    for (const TAjusteEstado& x : estados) {
      if (x.contexto) continue;
      const int v = c.valores[static_cast<size_t>(x.control)];
      if (v != x.valor)
        Desacuerdo(t, nombre, parte,
                   que + ": loads as " + NombreEstado(t, x.control, v) + ", not " + NombreEstado(t, x.control, x.valor));
    }
    // Load and save: the bits come back (the settings lists, whose editor
    // keeps what it has no control for).
    if (estricto_ && !l->sinGuardar) Vuelta(t, d, nombre, parte, palabra, campo, valor, que);
    // Caption: the button or list item of the option (check boxes carry the
    // bit's name only).
    const TVistaConf vista = VistaConf(t, d, &c);
    for (const TAjusteEstado& x : estados) {
      if (x.contexto || ControlN(t, x.control).clase == TClaseControl::Casilla) continue;
      usados_.insert({d, x.control, x.valor});
      const std::string rotulo = vista.controles[static_cast<size_t>(x.control)].opciones[static_cast<size_t>(x.valor)].texto;
      std::string falta = Contradice(rotulo, s.comentario);
      if (falta.empty() && estricto_ && rotulo == "Reserved") falta = "calls a setting of the part reserved";
      if (falta.empty()) continue;
      if (l->sinTexto) explicada = true;
      else Desacuerdo(t, nombre, parte, que + ": the caption \"" + rotulo + "\" " + falta);
    }
    // A box kept for the bit's other sense is an explained disagreement
    // whose bits are checked as mapped.
    if (explicada || l->sentido) {
      ++l->excepcionesUsadas;
      ++cuenta_[t.nombre].explicadas;
    }
  }

  // The option's value loaded into the erased words and saved again.
  void Vuelta(const TTablaConf& t, int d, const std::string& nombre, const std::string& parte, size_t palabra,
              uint16_t campo, uint16_t valor, const std::string& que) {
    std::vector<uint16_t> entra = t.base;
    entra[palabra] = static_cast<uint16_t>((entra[palabra] & ~campo) | valor);
    std::vector<uint16_t> sale(t.base.size());
    uint16_t id[4] = {};
    GuardaConf(t, d, CargaConf(t, d, {}, entra), id, sale);
    if ((sale[palabra] & campo) != valor)
      Desacuerdo(t, nombre, parte, que + ": a load and a save give " + Hex(sale[palabra] & campo));
  }

  static std::string Junta(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& x : v) s += (s.empty() ? "" : " ") + x;
    return s;
  }

  std::vector<TSeccion> datos_;
  std::map<std::string, TCuenta> cuenta_;
  bool estricto_ = false;
  std::set<std::tuple<int, int, int>> usados_;  // device, control, option a setting maps to
};

}  // namespace

TEST(ConfCabeceras, EveryEditorAgreesWithThePublishedBits) {
  TComparacion comparacion(LeeDatos());
  for (const TTablaConf* t : {&Tabla10Fxxx(), &Tabla1xF6OSCAL(), &Tabla16F6xx(), &Tabla16F8x(), &Tabla16F7x(),
                              &Tabla16F87x(), &Tabla16Cxxx(), &Tabla18Fxxx(), &Tabla18Fxx20(), &Tabla18Fxx31(),
                              &Tabla18FModUSB()})
    comparacion.Editor(*t, GPUTILS_HEADER_DIR);
  // Settings whose names tell no field: the field they are in.
  const std::vector<TMismoCampo> mismos = {
      {"GSS_HIGH", "GSS_ON"},        // bits 2-1 are one field: off, standard, high security
      {"CODE_PROT_OFF", "GSS_ON"},   // a header that names the field's off value only so
      {"PRI", "LP"},                 // the primary oscillator is source 11
      {"NONE", "BORV_45"},           // brown-out voltage code 11
  };
  comparacion.Referencia(Tabla30Fxxx(), LeeReferenciaDsPic(ReferenciaDsPic, mismos));
  comparacion.Restos();
  comparacion.Informe();
}
