// HEX text: the shared character routines, the line parser, the walk over
// a file's lines and the record writers.
#include <algorithm>

#include "pg_err.h"
#include "pg_hex.h"

TArchivoHex ArchivoHex;

namespace {

uint8_t Falla(uint32_t codigo) { return static_cast<uint8_t>(MuestraError(ContextoError, codigo)); }

int ValorDigito(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Blanks and control characters (a DOS end-of-file mark among them) around
// a line carry nothing.
std::string_view Recorta(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Moves the shared reader onto one line for as long as it is parsed.
class TLectorLinea {
public:
  explicit TLectorLinea(std::string_view linea) : entrada_(ArchivoHex.Entrada), pos_(ArchivoHex.Posicion) {
    ArchivoHex.Entrada = linea;
    ArchivoHex.Posicion = 0;
  }
  ~TLectorLinea() {
    ArchivoHex.Entrada = entrada_;
    ArchivoHex.Posicion = pos_;
  }
  TLectorLinea(const TLectorLinea&) = delete;
  TLectorLinea& operator=(const TLectorLinea&) = delete;

  // The next byte of a line already checked to be all hex digits.
  static uint8_t Byte() {
    LeeByteHex();
    return static_cast<uint8_t>(ContextoError.Caracter);
  }

private:
  std::string_view entrada_;
  std::size_t pos_;
};

}  // namespace

// ---- Character input ---------------------------------------------------------

uint8_t LeeCaracterHex() {
  auto& a = ArchivoHex;
  while (a.Posicion < a.Entrada.size() && (a.Entrada[a.Posicion] == '\r' || a.Entrada[a.Posicion] == '\n'))
    ++a.Posicion;
  if (a.Posicion >= a.Entrada.size()) return Falla(ErrHexFin);
  ContextoError.Caracter = static_cast<unsigned char>(a.Entrada[a.Posicion++]);
  return 0;
}

uint8_t LeeDigitoHex() {
  if (uint8_t e = LeeCaracterHex()) return e;
  const int v = ValorDigito(static_cast<char>(ContextoError.Caracter));
  if (v < 0) return Falla(ErrHexDigito);
  ContextoError.Caracter = static_cast<uint16_t>(v);
  return 0;
}

uint8_t LeeByteHex() {
  if (uint8_t e = LeeDigitoHex()) return e;
  const uint16_t alto = ContextoError.Caracter;
  if (uint8_t e = LeeDigitoHex()) return e;
  ContextoError.Caracter = static_cast<uint16_t>(alto << 4 | ContextoError.Caracter);
  return 0;
}

uint8_t LeeWordHex() {
  if (uint8_t e = LeeByteHex()) return e;
  const uint16_t bajo = ContextoError.Caracter;
  if (uint8_t e = LeeByteHex()) return e;
  ContextoError.Caracter = static_cast<uint16_t>(ContextoError.Caracter << 8 | bajo);
  return 0;
}

uint8_t LeeInicioLinea() {
  if (uint8_t e = LeeCaracterHex()) return e;
  return ContextoError.Caracter == ':' ? 0 : Falla(ErrHexLinea);
}

// ---- Character output -------------------------------------------------------

void EscribeCaracter(char caracter) {
  ContextoError.Caracter = static_cast<unsigned char>(caracter);
  ArchivoHex.Salida.push_back(caracter);
}

void EscribeDigitoHex(uint8_t valor) { EscribeCaracter("0123456789ABCDEF"[valor & 0x0F]); }

void EscribeByteHex(uint8_t valor) {
  EscribeDigitoHex(valor >> 4);
  EscribeDigitoHex(valor);
}

void EscribeWordHex(uint16_t valor) {
  EscribeByteHex(static_cast<uint8_t>(valor));
  EscribeByteHex(static_cast<uint8_t>(valor >> 8));
}

uint16_t SumaCheck(uint16_t suma, uint16_t palabra) {
  return static_cast<uint16_t>(suma + (palabra & 0xFF) + (palabra >> 8));
}

// ---- Lines -------------------------------------------------------------------

uint8_t AnalizaLineaHex(std::string_view texto, TLineaHex& linea) {
  linea = TLineaHex{};
  const std::string_view s = Recorta(texto);
  // ':', count, address, type and checksum take 11 characters; ':' only
  // starts the line and everything after it is hex digits.
  if (s.size() < 11 || s[0] != ':') return Falla(ErrHexLinea);
  if (!std::all_of(s.begin() + 1, s.end(), [](char c) { return ValorDigito(c) >= 0; }))
    return Falla(ErrHexLinea);

  TLectorLinea lector(s);
  LeeInicioLinea();
  linea.Longitud = TLectorLinea::Byte();
  // A line must hold exactly the bytes its count announces: never read past
  // it, never take a longer one for a shorter record.
  if (linea.Longitud > MaxDatosLineaHex || s.size() != 11u + 2u * linea.Longitud)
    return Falla(ErrHexLinea);
  const uint8_t alta = TLectorLinea::Byte();
  const uint8_t baja = TLectorLinea::Byte();
  linea.Tipo = TLectorLinea::Byte();
  uint16_t suma = SumaCheck(0, static_cast<uint16_t>(alta << 8 | baja));
  suma = SumaCheck(suma, static_cast<uint16_t>(linea.Longitud << 8 | linea.Tipo));
  for (uint8_t i = 0; i < linea.Longitud; ++i) {
    linea.Datos[i] = TLectorLinea::Byte();
    suma = SumaCheck(suma, linea.Datos[i]);
  }
  const uint8_t check = TLectorLinea::Byte();
  if (static_cast<uint8_t>(suma + check) != 0) return Falla(ErrHexChecksum);

  switch (linea.Tipo) {
    case RegDatos:
    case RegFin:
    case RegInicioSegmento:
    case RegInicioLineal:
      break;
    case RegSegmento:
    case RegLineal:
      if (linea.Longitud != 2) return Falla(ErrHexLinea);
      break;
    default:
      return Falla(ErrHexLinea);
  }
  linea.Direccion = alta << 8 | baja;
  linea.Fin = linea.Tipo == RegFin;
  linea.Extendida = linea.Tipo == RegLineal;
  linea.Valida = 1;
  return 0;
}

uint8_t RecorreHex(std::string_view texto, const TColocaRegistro& coloca) {
  uint32_t numero = 0;
  uint64_t superior = 0;
  TLineaHex linea;
  std::size_t pos = 0;
  while (pos < texto.size()) {
    std::size_t fin = texto.find_first_of("\r\n", pos);
    if (fin == std::string_view::npos) fin = texto.size();
    const std::string_view crudo = texto.substr(pos, fin - pos);
    pos = fin;
    if (pos < texto.size())
      pos += texto[pos] == '\r' && pos + 1 < texto.size() && texto[pos + 1] == '\n' ? 2 : 1;
    ++numero;
    ContextoError.LineaHex = static_cast<uint16_t>(std::min<uint32_t>(numero, 0xFFFF));
    if (Recorta(crudo).empty()) continue;

    if (uint8_t e = AnalizaLineaHex(crudo, linea)) return e;
    const uint32_t valor = static_cast<uint32_t>(linea.Datos[0] << 8 | linea.Datos[1]);
    switch (linea.Tipo) {
      case RegFin: return 0;
      case RegLineal: superior = static_cast<uint64_t>(valor) << 16; break;
      case RegSegmento: superior = static_cast<uint64_t>(valor) << 4; break;
      case RegDatos:
        if (linea.Longitud > 0) {
          if (uint8_t e = coloca(linea, superior + static_cast<uint32_t>(linea.Direccion))) return e;
        }
        break;
      default: break;  // start addresses say nothing about the image
    }
  }
  // The end record was expected on the line after the last one.
  ContextoError.LineaHex = static_cast<uint16_t>(std::min<uint32_t>(numero + 1, 0xFFFF));
  return Falla(ErrHexFin);
}

// ---- Records -----------------------------------------------------------------

void EscribeRegistroHex(uint8_t tipo, uint16_t direccion, std::span<const uint8_t> datos) {
  const auto cuenta = static_cast<uint8_t>(datos.size());
  EscribeCaracter(':');
  EscribeByteHex(cuenta);
  EscribeByteHex(static_cast<uint8_t>(direccion >> 8));
  EscribeByteHex(static_cast<uint8_t>(direccion));
  EscribeByteHex(tipo);
  uint16_t suma = SumaCheck(0, direccion);
  suma = SumaCheck(suma, static_cast<uint16_t>(cuenta << 8 | tipo));
  for (uint8_t b : datos) {
    EscribeByteHex(b);
    suma = SumaCheck(suma, b);
  }
  EscribeByteHex(static_cast<uint8_t>(-suma));
  EscribeCaracter('\r');
  EscribeCaracter('\n');
  ++ContextoError.LineaHex;
}

void EscribeExtendidaHex(uint16_t superior) {
  const uint8_t datos[2] = {static_cast<uint8_t>(superior >> 8), static_cast<uint8_t>(superior)};
  EscribeRegistroHex(RegLineal, 0, datos);
}

void EscribeFinHex() {
  for (char c : std::string_view(":00000001FF")) EscribeCaracter(c);
}

uint8_t EscribeZonaHex(std::span<const uint16_t> celdas, uint32_t primera, uint32_t cuenta,
                       bool extendida, bool alternaB, bool alternaA, uint16_t blanco) {
  cuenta = static_cast<uint32_t>(std::min<std::size_t>(cuenta, celdas.size()));
  uint32_t segmento = 0;
  uint8_t datos[16];
  uint32_t i = 0;
  while (i < cuenta) {
    const uint32_t palabra = primera + i;
    uint16_t vacio = blanco;
    if (i > 0 && (alternaA || alternaB))
      vacio = (palabra & 1) == 0 ? 0xFFFF : (alternaA ? 0x00FF : 0x0000);
    if (celdas[i] == vacio) {
      ++i;
      continue;
    }
    const uint64_t byte = 2ull * palabra;
    if (extendida && (byte >> 16) != segmento) {
      segmento = static_cast<uint32_t>(byte >> 16);
      EscribeExtendidaHex(static_cast<uint16_t>(segmento));
    }
    // Up to 8 cells, never across a 64-KB boundary of the file's addresses.
    const uint32_t hastaLimite = static_cast<uint32_t>((0x10000 - (byte & 0xFFFF)) / 2);
    const uint32_t n = std::min({8u, cuenta - i, hastaLimite});
    for (uint32_t k = 0; k < n; ++k) {
      datos[2 * k] = static_cast<uint8_t>(celdas[i + k]);
      datos[2 * k + 1] = static_cast<uint8_t>(celdas[i + k] >> 8);
    }
    EscribeRegistroHex(RegDatos, static_cast<uint16_t>(byte), std::span(datos, 2 * n));
    i += n;
  }
  return 0;
}

std::vector<TTramoHex> TramosBytesHex(std::span<const uint16_t> celdas, uint32_t inicio, uint32_t cuenta,
                                      uint8_t blanco) {
  cuenta = static_cast<uint32_t>(std::min<std::size_t>(cuenta, celdas.size()));
  std::vector<TTramoHex> tramos;
  uint32_t i = 0;
  while (i < cuenta) {
    if (static_cast<uint8_t>(celdas[i]) == blanco) {
      ++i;
      continue;
    }
    const uint32_t direccion = inicio + i;
    const uint32_t n = std::min({16u, cuenta - i, 0x10000 - (direccion & 0xFFFF)});
    tramos.push_back({i, n});
    i += n;
  }
  return tramos;
}

void EscribeTramosBytesHex(std::span<const uint16_t> celdas, uint32_t inicio, std::span<const TTramoHex> tramos) {
  uint8_t datos[16];
  for (const TTramoHex& t : tramos) {
    const uint32_t n = std::min<uint32_t>(t.Cuenta, sizeof datos);
    for (uint32_t k = 0; k < n; ++k) datos[k] = static_cast<uint8_t>(celdas[t.Celda + k]);
    EscribeRegistroHex(RegDatos, static_cast<uint16_t>(inicio + t.Celda), std::span(datos, n));
  }
}

uint8_t EscribeBytesHex(std::span<const uint16_t> celdas, uint32_t inicio, uint32_t cuenta,
                        uint8_t blanco) {
  EscribeTramosBytesHex(celdas, inicio, TramosBytesHex(celdas, inicio, cuenta, blanco));
  return 0;
}
