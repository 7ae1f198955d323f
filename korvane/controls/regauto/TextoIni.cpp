#include "TextoIni.h"

#include "Codificacion.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16 = "\xFF\xFE";

char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EsBlanco(char c) { return c == ' ' || c == '\t'; }

// The value as it must be written so that a read gives it back unchanged.
std::string Protege(std::string_view v) {
  const bool blancos = !v.empty() && (EsBlanco(v.front()) || EsBlanco(v.back()));
  const bool comillas = v.size() >= 2 && v.front() == v.back() &&
                        (v.front() == '"' || v.front() == '\'');
  if (blancos || comillas) return "\"" + std::string(v) + "\"";
  return std::string(v);
}

}  // namespace

bool IgualesSinMayusculas(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Minuscula(a[i]) != Minuscula(b[i])) return false;
  return true;
}

std::string_view Recorta(std::string_view s) {
  while (!s.empty() && EsBlanco(s.front())) s.remove_prefix(1);
  while (!s.empty() && EsBlanco(s.back())) s.remove_suffix(1);
  return s;
}

TTextoIni TTextoIni::DesdeBytes(std::string_view bytes) {
  if (bytes.starts_with(kBomUtf16)) {
    const auto texto = Utf16LeAUtf8(bytes.substr(kBomUtf16.size()));
    TTextoIni t = texto ? DesdeBytes(*texto) : TTextoIni();
    t.utf16_ = texto.has_value();
    t.ilegible_ = !texto;
    return t;
  }
  TTextoIni t;
  t.cp1252_ = !EsUtf8Valido(bytes);
  bool primerFin = true;
  size_t inicio = 0;
  while (inicio < bytes.size()) {
    // A line ends at CR LF, LF or a lone CR, wherever it stands.
    const size_t fin = bytes.find_first_of("\r\n", inicio);
    TLinea l;
    if (fin == std::string_view::npos) {
      l.texto = std::string(bytes.substr(inicio));
      inicio = bytes.size();
    } else {
      l.texto = std::string(bytes.substr(inicio, fin - inicio));
      l.fin = bytes[fin] == '\n' ? "\n" : bytes.substr(fin, 2) == "\r\n" ? "\r\n" : "\r";
      inicio = fin + l.fin.size();
      if (primerFin) {
        t.finNuevo_ = l.fin;  // new lines follow the file's own style
        primerFin = false;
      }
    }
    t.lineas_.push_back(std::move(l));
  }
  if (!t.lineas_.empty() && t.lineas_[0].texto.starts_with(kBom)) t.bom_ = true;
  return t;
}

TTextoIni TTextoIni::DesdeLineas(const std::vector<std::string>& lineas) {
  TTextoIni t;
  t.finNuevo_ = "\n";
  for (const auto& l : lineas) t.lineas_.push_back({l, "\n"});
  return t;
}

std::string TTextoIni::ABytes() const {
  std::string s;
  for (const auto& l : lineas_) {
    s += l.texto;
    s += l.fin;
  }
  // Every line is well-formed UTF-8 here: decoded from the file, or checked
  // by Escribe.
  if (utf16_) return std::string(kBomUtf16) + Utf8AUtf16Le(s).value_or(std::string());
  return s;
}

std::vector<std::string> TTextoIni::ALineas() const {
  std::vector<std::string> v;
  v.reserve(lineas_.size());
  for (const auto& l : lineas_) v.push_back(l.texto);
  return v;
}

std::string TTextoIni::Decodifica(const std::string& bytes) const {
  return cp1252_ ? Cp1252AUtf8(bytes) : bytes;
}

TTextoIni::TAnalisis TTextoIni::Analiza(size_t indice) const {
  std::string_view bruto = lineas_[indice].texto;
  if (indice == 0 && bom_) bruto.remove_prefix(kBom.size());
  const std::string texto = Decodifica(std::string(bruto));
  const std::string_view t = Recorta(texto);
  TAnalisis a;
  if (t.empty()) {
    a.tipo = TTipo::Vacia;
  } else if (t.front() == '[') {
    const size_t cierre = t.find(']');
    a.tipo = TTipo::Seccion;
    a.nombre = std::string(Recorta(t.substr(1, cierre == std::string_view::npos ? std::string_view::npos : cierre - 1)));
  } else if (t.front() != ';') {
    const size_t igual = t.find('=');
    if (igual != std::string_view::npos) {
      a.tipo = TTipo::Clave;
      a.nombre = std::string(Recorta(t.substr(0, igual)));
      std::string_view v = Recorta(t.substr(igual + 1));
      if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\'')) {
        v.remove_prefix(1);
        v.remove_suffix(1);
      }
      a.valor = std::string(v);
    }
  }
  return a;
}

std::optional<std::string> TTextoIni::Lee(std::string_view seccion, std::string_view clave) const {
  const std::string_view sec = Recorta(seccion);
  const std::string_view cla = Recorta(clave);
  bool dentro = false;
  for (size_t i = 0; i < lineas_.size(); ++i) {
    TAnalisis a = Analiza(i);
    if (a.tipo == TTipo::Seccion) {
      dentro = IgualesSinMayusculas(a.nombre, sec);
    } else if (dentro && a.tipo == TTipo::Clave && IgualesSinMayusculas(a.nombre, cla)) {
      return std::move(a.valor);
    }
  }
  return std::nullopt;
}

void TTextoIni::Inserta(size_t posicion, std::string texto) {
  // The line before the new one may be the file's last, without an ending.
  if (posicion > 0 && lineas_[posicion - 1].fin.empty()) lineas_[posicion - 1].fin = finNuevo_;
  lineas_.insert(lineas_.begin() + static_cast<std::ptrdiff_t>(posicion),
                 TLinea{std::move(texto), finNuevo_});
}

std::string TTextoIni::ComoUtf8(std::string_view texto) {
  return EsUtf8Valido(texto) ? std::string(texto) : Cp1252AUtf8(texto);
}

bool TTextoIni::Escribe(std::string_view seccionDada, std::string_view claveDada, std::string_view valorDado,
                        bool& cambiado, std::string& motivo) {
  cambiado = false;
  // Text that is not UTF-8 (a Latin-1 file name from an old tool) is taken
  // as Windows-1252, the rule the file itself is read by: stored raw, it
  // would turn a UTF-8 file into one read as Windows-1252, garbling every
  // other accented value in it.
  const std::string seccionUtf8 = ComoUtf8(seccionDada);
  const std::string claveUtf8 = ComoUtf8(claveDada);
  const std::string valorUtf8 = ComoUtf8(valorDado);
  const std::string_view sec = Recorta(seccionUtf8);
  const std::string_view cla = Recorta(claveUtf8);
  const std::string_view valor = valorUtf8;
  for (std::string_view parte : {sec, cla, valor}) {
    if (parte.find_first_of("\r\n") != std::string_view::npos) {
      motivo = "a line break cannot be stored in an ini value";
      return false;
    }
  }
  if (ilegible_) {
    motivo = "the file is UTF-16 text with a broken character; it is left as it is";
    return false;
  }
  std::string linea = std::string(cla) + "=" + Protege(valor);
  std::string cabecera = "[" + std::string(sec) + "]";
  if (cp1252_) {
    auto l = Utf8ACp1252(linea);
    auto c = Utf8ACp1252(cabecera);
    if (!l || !c) {
      motivo = "the text has characters that this Windows-1252 file cannot hold";
      return false;
    }
    linea = std::move(*l);
    cabecera = std::move(*c);
  }

  // First matching key of any matching section; else the end of the first
  // matching section (after its last non-blank line).
  bool dentro = false;
  std::optional<size_t> finPrimera;
  for (size_t i = 0; i < lineas_.size(); ++i) {
    const TAnalisis a = Analiza(i);
    if (a.tipo == TTipo::Seccion) {
      dentro = IgualesSinMayusculas(a.nombre, sec);
      if (dentro && !finPrimera) finPrimera = i + 1;
      continue;
    }
    if (!dentro) continue;
    if (a.tipo == TTipo::Clave && IgualesSinMayusculas(a.nombre, cla)) {
      if (a.valor == valor) return true;  // already so: the file stays untouched
      lineas_[i].texto = std::move(linea);
      cambiado = true;
      return true;
    }
  }
  if (finPrimera) {
    // Walk the first matching section again to find where its text ends.
    size_t pos = *finPrimera;
    for (size_t i = *finPrimera; i < lineas_.size(); ++i) {
      const TAnalisis a = Analiza(i);
      if (a.tipo == TTipo::Seccion) break;
      if (a.tipo != TTipo::Vacia) pos = i + 1;
    }
    Inserta(pos, std::move(linea));
    cambiado = true;
    return true;
  }
  size_t pos = lineas_.size();
  if (pos > 0 && Analiza(pos - 1).tipo != TTipo::Vacia) {
    Inserta(pos, "");
    ++pos;
  }
  Inserta(pos, std::move(cabecera));
  Inserta(pos + 1, std::move(linea));
  cambiado = true;
  return true;
}
