#include "Codificacion.h"

#include <array>
#include <cstdint>

namespace {

// Code points of bytes 0x80..0x9F; the other bytes are their own code point.
constexpr std::array<uint16_t, 32> kAltos = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AgregaUtf8(std::string& s, uint32_t cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at i; returns its length, 0 when malformed.
size_t DecodificaUtf8(std::string_view b, size_t i, uint32_t& cp) {
  const auto c = static_cast<unsigned char>(b[i]);
  size_t n;
  uint32_t minimo;
  if (c < 0x80) { cp = c; return 1; }
  if ((c & 0xE0) == 0xC0) { n = 2; cp = c & 0x1F; minimo = 0x80; }
  else if ((c & 0xF0) == 0xE0) { n = 3; cp = c & 0x0F; minimo = 0x800; }
  else if ((c & 0xF8) == 0xF0) { n = 4; cp = c & 0x07; minimo = 0x10000; }
  else return 0;
  if (i + n > b.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    const auto d = static_cast<unsigned char>(b[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

bool EsUtf8Valido(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    uint32_t cp;
    const size_t n = DecodificaUtf8(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Cp1252AUtf8(std::string_view bytes) {
  std::string s;
  s.reserve(bytes.size() + bytes.size() / 4);
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    AgregaUtf8(s, (c >= 0x80 && c < 0xA0) ? kAltos[c - 0x80] : c);
  }
  return s;
}

std::optional<std::string> Utf8ACp1252(std::string_view texto) {
  std::string s;
  s.reserve(texto.size());
  for (size_t i = 0; i < texto.size();) {
    uint32_t cp;
    const size_t n = DecodificaUtf8(texto, i, cp);
    if (n == 0) return std::nullopt;
    i += n;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      s += static_cast<char>(cp);
      continue;
    }
    bool hallado = false;
    for (size_t k = 0; k < kAltos.size(); ++k) {
      if (kAltos[k] == cp) {
        s += static_cast<char>(0x80 + k);
        hallado = true;
        break;
      }
    }
    if (!hallado) return std::nullopt;
  }
  return s;
}

std::optional<std::string> Utf16LeAUtf8(std::string_view bytes) {
  if (bytes.size() % 2) return std::nullopt;
  const auto unidad = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  std::string s;
  s.reserve(bytes.size() / 2);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    uint32_t cp = unidad(i);
    if (cp >= 0xDC00 && cp <= 0xDFFF) return std::nullopt;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 4 > bytes.size()) return std::nullopt;
      const uint32_t baja = unidad(i + 2);
      if (baja < 0xDC00 || baja > 0xDFFF) return std::nullopt;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (baja - 0xDC00);
      i += 2;
    }
    AgregaUtf8(s, cp);
  }
  return s;
}

std::optional<std::string> Utf8AUtf16Le(std::string_view texto) {
  std::string s;
  s.reserve(2 * texto.size());
  const auto agrega = [&](uint32_t u) {
    s += static_cast<char>(u & 0xFF);
    s += static_cast<char>(u >> 8);
  };
  for (size_t i = 0; i < texto.size();) {
    uint32_t cp;
    const size_t n = DecodificaUtf8(texto, i, cp);
    if (n == 0) return std::nullopt;
    i += n;
    if (cp < 0x10000) {
      agrega(cp);
    } else {
      agrega(0xD800 + ((cp - 0x10000) >> 10));
      agrega(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return s;
}
