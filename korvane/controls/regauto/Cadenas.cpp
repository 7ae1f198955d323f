#include "Cadenas.h"

#include <charconv>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "TextoIni.h"

std::string ReplaceAll(std::string texto, std::string_view viejo, std::string_view nuevo) {
  if (viejo.empty()) return texto;
  size_t k = texto.find(viejo);
  while (k != std::string::npos) {
    texto.replace(k, viejo.size(), nuevo);
    k = texto.find(viejo, k + nuevo.size());
  }
  return texto;
}

std::string JoinNonEmpty(const std::string& primero, const std::string& segundo, const std::string& separador) {
  if (primero.empty()) return segundo;
  if (segundo.empty()) return primero;
  return primero + separador + segundo;
}

std::string ProfileFolder() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::optional<int32_t> TextoAEntero(std::string_view texto) {
  std::string_view t = Recorta(texto);
  bool negativo = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negativo = t.front() == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.starts_with('$')) {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty()) return std::nullopt;
  uint64_t v = 0;
  const auto [fin, ec] = std::from_chars(t.data(), t.data() + t.size(), v, base);
  if (ec != std::errc() || fin != t.data() + t.size()) return std::nullopt;
  if (negativo) {
    if (v > 0x80000000ull) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(v));
  }
  // Hexadecimal texts may spell the whole 32-bit pattern ($FFFFFFFF = -1).
  if (base == 16 && v <= UINT32_MAX) return static_cast<int32_t>(static_cast<uint32_t>(v));
  if (v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::optional<double> TextoAReal(std::string_view texto) {
  std::string t(Recorta(texto));
  for (char& c : t)
    if (c == ',') c = '.';
  if (t.empty()) return std::nullopt;
  double v = 0;
  const auto [fin, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || fin != t.data() + t.size()) return std::nullopt;
  return v;
}

std::string RealATexto(double valor) {
  char buf[64];
  const auto [fin, ec] = std::to_chars(buf, buf + sizeof buf, valor);
  return ec == std::errc() ? std::string(buf, fin) : std::string("0");
}
