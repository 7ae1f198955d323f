#include "referencia_dspic.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <numeric>
#include <set>
#include <sstream>

namespace {

std::string Mayusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string SinCifras(std::string s) {
  while (!s.empty() && std::isdigit(static_cast<unsigned char>(s.back()))) s.pop_back();
  return s;
}

std::string PrimeraPalabra(const std::string& n) { return SinCifras(n.substr(0, n.find('_'))); }

std::string UltimaPalabra(const std::string& n) {
  const auto u = n.rfind('_');
  return u == std::string::npos ? std::string() : SinCifras(n.substr(u + 1));
}

struct TRegistro {
  std::string nombre;
  int64_t direccion = -1;
  std::vector<TSimboloGputils> simbolos;
};

class TUnion {
public:
  explicit TUnion(size_t n) : padre_(n) { std::iota(padre_.begin(), padre_.end(), size_t{0}); }
  size_t Raiz(size_t i) { return padre_[i] == i ? i : padre_[i] = Raiz(padre_[i]); }
  void Une(size_t a, size_t b) { padre_[Raiz(a)] = Raiz(b); }

private:
  std::vector<size_t> padre_;
};

std::vector<TAjusteGputils> Campos(const std::string& parte, const TRegistro& r, const std::vector<TMismoCampo>& mismos,
                                   std::vector<std::string>& errores) {
  const auto& s = r.simbolos;
  const size_t n = s.size();
  auto borra = [&](size_t i) { return ~s[i].valor & 0xFFFFu; };
  TUnion u(n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (borra(i) & borra(j)) u.Une(i, j);
  auto indice = [&](const std::string& nombre) {
    for (size_t i = 0; i < n; ++i)
      if (s[i].nombre == nombre) return i;
    return n;
  };
  for (const TMismoCampo& m : mismos) {
    const size_t a = indice(m.simbolo), b = indice(m.otro);
    if (a < n && b < n) u.Une(a, b);
  }
  auto bitsDe = [&](size_t raiz) {
    uint32_t b = 0;
    for (size_t j = 0; j < n; ++j)
      if (u.Raiz(j) == raiz) b |= borra(j);
    return b;
  };
  // The settings that clear nothing, by their names.
  for (size_t i = 0; i < n; ++i) {
    if (borra(i) != 0 || bitsDe(u.Raiz(i)) != 0) continue;
    for (auto palabra : {PrimeraPalabra, UltimaPalabra}) {
      const std::string p = palabra(s[i].nombre);
      std::set<size_t> raices;
      for (size_t j = 0; j < n && !p.empty(); ++j)
        if (borra(j) != 0 && palabra(s[j].nombre) == p) raices.insert(u.Raiz(j));
      if (raices.size() > 1) errores.push_back(parte + " " + r.nombre + " " + s[i].nombre + ": in several fields");
      if (raices.size() == 1) {
        u.Une(i, *raices.begin());
        break;
      }
    }
    if (bitsDe(u.Raiz(i)) == 0) errores.push_back(parte + " " + r.nombre + " " + s[i].nombre + ": in no field");
  }
  std::vector<TAjusteGputils> campos;
  std::vector<size_t> raices;
  for (size_t i = 0; i < n; ++i) {
    const size_t raiz = u.Raiz(i);
    auto it = std::find(raices.begin(), raices.end(), raiz);
    if (it == raices.end()) {
      raices.push_back(raiz);
      campos.emplace_back();
      it = raices.end() - 1;
    }
    campos[static_cast<size_t>(it - raices.begin())].simbolos.push_back(s[i]);
  }
  for (TAjusteGputils& c : campos) {
    uint32_t o = 0, y = 0xFFFF;
    for (const TSimboloGputils& x : c.simbolos) {
      o |= x.valor;
      y &= x.valor;
    }
    c.mascara = o & ~y;
  }
  return campos;
}

}  // namespace

TReferenciaDsPic AnalizaReferenciaDsPic(const std::string& texto, const std::vector<TMismoCampo>& mismos) {
  TReferenciaDsPic ref;
  std::map<std::string, std::vector<TRegistro>> partes;
  std::istringstream in(texto);
  std::string linea;
  for (int numero = 1; std::getline(in, linea); ++numero) {
    linea = linea.substr(0, linea.find('#'));
    std::istringstream l(linea);
    std::string parte, registro, direccion, nombre, valor, resto;
    if (!(l >> parte)) continue;
    if (!(l >> registro >> direccion >> nombre >> valor) || (l >> resto)) {
      ref.errores.push_back("line " + std::to_string(numero) + ": not part, register, address, name and value");
      continue;
    }
    TSimboloGputils s{nombre, 0, ""};
    int64_t dir = 0;
    try {
      s.valor = static_cast<uint32_t>(std::stoul(valor, nullptr, 16));
      dir = static_cast<int64_t>(std::stoll(direccion, nullptr, 16));
    } catch (const std::exception&) {
      ref.errores.push_back("line " + std::to_string(numero) + ": a number that is none");
      continue;
    }
    auto& regs = partes[Mayusculas(parte)];
    auto it = std::find_if(regs.begin(), regs.end(), [&](const TRegistro& r) { return r.nombre == registro; });
    if (it == regs.end()) {
      regs.push_back({registro, dir, {}});
      it = regs.end() - 1;
    } else if (it->direccion != dir) {
      ref.errores.push_back("line " + std::to_string(numero) + ": " + registro + " at another address");
    }
    it->simbolos.push_back(s);
  }
  for (const auto& [parte, regs] : partes) {
    TCabeceraGputils& c = ref.partes[parte];
    for (const TRegistro& r : regs) c.palabras.push_back({r.nombre, r.direccion, Campos(parte, r, mismos, ref.errores)});
  }
  return ref;
}

TReferenciaDsPic LeeReferenciaDsPic(const std::filesystem::path& ruta, const std::vector<TMismoCampo>& mismos) {
  std::ifstream f(ruta, std::ios::binary);
  if (!f) {
    TReferenciaDsPic r;
    r.errores.push_back("cannot read " + ruta.string());
    return r;
  }
  std::ostringstream s;
  s << f.rdbuf();
  return AnalizaReferenciaDsPic(s.str(), mismos);
}
