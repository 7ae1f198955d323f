#include "cabecera_gputils.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

std::string Recorta(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  const auto b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

std::string Minusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

uint32_t Difieren(const std::vector<TSimboloGputils>& s) {
  uint32_t o = 0, y = ~0u;
  for (const TSimboloGputils& x : s) {
    o |= x.valor;
    y &= x.valor;
  }
  return s.empty() ? 0 : o & ~y;
}

// "_CP_ALL" → "CP"; "_SOSCSEL_LOW_1L" → "SOSCSEL"; "_BODEN" → "BODEN".
std::string Tronco(const std::string& nombre) {
  const std::string n = nombre.substr(nombre.find_first_not_of('_'));
  return n.substr(0, n.find('_'));
}

// "_RC_OSC" → "OSC"; "_BODEN" → "".
std::string Cola(const std::string& nombre) {
  const std::string n = nombre.substr(nombre.find_first_not_of('_'));
  const auto u = n.rfind('_');
  return u == std::string::npos ? std::string() : n.substr(u + 1);
}

}  // namespace

std::vector<std::string> TAjusteGputils::Alias(const TSimboloGputils& s) const {
  std::vector<std::string> a;
  for (const TSimboloGputils& x : simbolos)
    if (x.valor == s.valor) a.push_back(x.nombre);
  return a;
}

const TPalabraGputils* TCabeceraGputils::Palabra(const std::string& nombre) const {
  for (const TPalabraGputils& p : palabras)
    if (p.nombre == nombre) return &p;
  return nullptr;
}

std::filesystem::path RutaCabeceraGputils(const std::filesystem::path& carpeta, const std::string& parte) {
  return carpeta / ("p" + Minusculas(parte) + ".inc");
}

std::vector<TAjusteGputils> Ajustes(const std::vector<TSimboloGputils>& corrida) {
  if (corrida.empty()) return {};
  uint32_t base = 0;
  for (const TSimboloGputils& s : corrida) base |= s.valor;
  auto borra = [base](const TSimboloGputils& s) { return base & ~s.valor; };

  // Groups by name, then joined while their cleared bits overlap.
  struct TGrupo {
    std::vector<size_t> miembros;
    uint32_t bits = 0;
  };
  std::vector<TGrupo> grupos;
  std::map<std::string, size_t> porTronco;
  for (size_t i = 0; i < corrida.size(); ++i) {
    const std::string t = Tronco(corrida[i].nombre);
    auto it = porTronco.find(t);
    if (it == porTronco.end()) {
      it = porTronco.emplace(t, grupos.size()).first;
      grupos.push_back({});
    }
    grupos[it->second].miembros.push_back(i);
    grupos[it->second].bits |= borra(corrida[i]);
  }
  for (bool unido = true; unido;) {
    unido = false;
    for (size_t a = 0; a < grupos.size() && !unido; ++a)
      for (size_t b = a + 1; b < grupos.size() && !unido; ++b)
        if (grupos[a].bits & grupos[b].bits) {
          grupos[a].miembros.insert(grupos[a].miembros.end(), grupos[b].miembros.begin(), grupos[b].miembros.end());
          grupos[a].bits |= grupos[b].bits;
          grupos.erase(grupos.begin() + static_cast<std::ptrdiff_t>(b));
          unido = true;
        }
  }
  const auto conBits = std::count_if(grupos.begin(), grupos.end(), [](const TGrupo& g) { return g.bits != 0; });
  if (conBits <= 1) {
    TAjusteGputils a;
    a.simbolos = corrida;
    a.mascara = Difieren(corrida);
    return {a};
  }
  // A mixed run: an option that clears nothing joins the group whose
  // names end as its own.
  for (size_t g = 0; g < grupos.size();) {
    if (grupos[g].bits != 0) {
      ++g;
      continue;
    }
    bool movido = false;
    for (size_t m : grupos[g].miembros) {
      const std::string cola = Cola(corrida[m].nombre);
      for (size_t h = 0; h < grupos.size() && !cola.empty(); ++h) {
        if (grupos[h].bits == 0) continue;
        const bool igual = std::any_of(grupos[h].miembros.begin(), grupos[h].miembros.end(),
                                       [&](size_t k) { return Cola(corrida[k].nombre) == cola; });
        if (igual) {
          grupos[h].miembros.insert(grupos[h].miembros.end(), grupos[g].miembros.begin(), grupos[g].miembros.end());
          movido = true;
          break;
        }
      }
      if (movido) break;
    }
    if (movido) grupos.erase(grupos.begin() + static_cast<std::ptrdiff_t>(g));
    else ++g;
  }
  std::vector<TAjusteGputils> r;
  for (TGrupo& g : grupos) {
    std::sort(g.miembros.begin(), g.miembros.end());
    TAjusteGputils a;
    for (size_t m : g.miembros) a.simbolos.push_back(corrida[m]);
    // The bits of this field alone: the run's other fields are at their
    // defaults in every value of a mixed run, so the values differ in the
    // field's bits only, once the defaults (which clear nothing) join.
    a.mascara = g.bits;
    r.push_back(std::move(a));
  }
  return r;
}

TCabeceraGputils AnalizaCabeceraGputils(const std::string& texto) {
  static const std::regex equ(R"(^\s*([A-Za-z_]\w*)\s+EQU\s+H'([0-9A-Fa-f]+)'\s*(;(.*))?$)");
  static const std::regex opciones(R"(^;-+\s*(\S+)\s+Options\b)");
  TCabeceraGputils c;
  std::map<std::string, int64_t> direcciones;
  TPalabraGputils* actual = nullptr;
  std::vector<TSimboloGputils> corrida;
  auto cierra = [&]() {
    if (actual && !corrida.empty())
      for (TAjusteGputils& a : Ajustes(corrida)) actual->ajustes.push_back(std::move(a));
    corrida.clear();
  };
  std::istringstream in(texto);
  std::string linea;
  std::smatch m;
  while (std::getline(in, linea)) {
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    if (std::regex_search(linea, m, opciones)) {
      cierra();
      c.palabras.push_back({m[1].str(), -1, {}});
      actual = &c.palabras.back();
      continue;
    }
    if (linea.rfind(";-----", 0) == 0) {  // any other section ends the options
      cierra();
      actual = nullptr;
      continue;
    }
    if (Recorta(linea).empty()) {
      cierra();
      continue;
    }
    if (!std::regex_match(linea, m, equ)) continue;
    const std::string nombre = m[1].str();
    const uint32_t valor = static_cast<uint32_t>(std::stoul(m[2].str(), nullptr, 16));
    if (actual) corrida.push_back({nombre, valor, Recorta(m[4].str())});
    else if (nombre.size() > 1 && nombre[0] == '_') direcciones.emplace(nombre.substr(1), valor);
  }
  cierra();
  for (TPalabraGputils& p : c.palabras) {
    const auto it = direcciones.find(p.nombre);
    if (it != direcciones.end()) p.direccion = it->second;
  }
  return c;
}

std::optional<TCabeceraGputils> LeeCabeceraGputils(const std::filesystem::path& ruta, std::string* error) {
  std::ifstream f(ruta, std::ios::binary);
  if (!f) {
    if (error) *error = "cannot read " + ruta.string();
    return std::nullopt;
  }
  std::ostringstream s;
  s << f.rdbuf();
  return AnalizaCabeceraGputils(s.str());
}
