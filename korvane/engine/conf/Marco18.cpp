#include "Marco18.h"

#include "pg_catalogo.h"

namespace {

constexpr TPalabras18 Bits242 = {0x2700, 0x0F0F, 0x0100, 0x0085, 0xC00F, 0xE00F, 0x400F};
constexpr TPalabras18 Bits1220 = {0xCF00, 0x1F0F, 0x8300, 0x0085, 0xC00F, 0xE00F, 0x400F};
constexpr TPalabras18 Bits6520 = {0x2700, 0x0F0F, 0x0383, 0x0085, 0xC0FF, 0xE0FF, 0x40FF};
constexpr TPalabras18 Bits2331 = {0xCF00, 0x3F0F, 0x9D3C, 0x0085, 0xC00F, 0xE00F, 0x400F};
constexpr TPalabras18 BitsOtros = {0xCF00, 0x1F1F, 0x8700, 0x00C5, 0xC00F, 0xE00F, 0x400F};
constexpr TPalabras18 BitsUsb = {0xCF3F, 0x1F3F, 0x8700, 0x00E5, 0xC00F, 0xE00F, 0x400F};
constexpr TPalabras18 BitsCanGrande = {0xCF00, 0x1F1F, 0x8600, 0x00F5, 0xC00F, 0xE00F, 0x400F};
// The CAN parts' boot-block size is bit 4 of word 4 (1K or 2K words); bit 5
// is not implemented there.
constexpr TPalabras18 BitsCan = {0xCF00, 0x1F1F, 0x8700, 0x00D5, 0xC00F, 0xE00F, 0x400F};
constexpr TPalabras18 Todos = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};

bool Es(uint8_t indice, std::initializer_list<uint8_t> lista) {
  for (uint8_t i : lista)
    if (i == indice) return true;
  return false;
}

// Code-protection, write and table-read blocks 2 and 3 absent.
void SinBloques23(TPalabras18& m) {
  for (int w = 4; w <= 6; ++w) m[w] &= static_cast<uint16_t>(~0x000C);
}

}  // namespace

TGrupo18 Grupo18(uint8_t i) {
  if (i >= 46 && i <= 53) return TGrupo18::F242;
  if (i >= 54 && i <= 59) return TGrupo18::F1220;
  if (i >= 60 && i <= 63) return TGrupo18::F2331;
  if (i >= 64 && i <= 69) return TGrupo18::F6520;
  if (i < 70 || i > 97) return TGrupo18::Ninguno;
  if (Es(i, {72, 78, 86, 92})) return TGrupo18::Usb;
  if (Es(i, {73, 79, 87, 93})) return TGrupo18::Can;
  if (Es(i, {80, 83, 94, 97})) return TGrupo18::CanGrande;
  return TGrupo18::Otros;
}

const TPalabras18& ImplementedBits(TGrupo18 grupo) {
  switch (grupo) {
    case TGrupo18::F242: return Bits242;
    case TGrupo18::F1220: return Bits1220;
    case TGrupo18::F6520: return Bits6520;
    case TGrupo18::F2331: return Bits2331;
    case TGrupo18::Usb: return BitsUsb;
    case TGrupo18::Can: return BitsCan;
    case TGrupo18::CanGrande: return BitsCanGrande;
    case TGrupo18::Otros: return BitsOtros;
    case TGrupo18::Ninguno: break;
  }
  return Todos;
}

TPalabras18 DeviceMask(uint8_t i) {
  TPalabras18 m = Todos;
  switch (Grupo18(i)) {
    case TGrupo18::F242:
      if (Es(i, {47, 49, 51, 53})) m[2] &= static_cast<uint16_t>(~0x0100);  // CAN parts: no CCP2MX
      if (Es(i, {46, 47, 50, 51})) SinBloques23(m);                        // 16K parts
      break;
    case TGrupo18::F1220:
      if (Es(i, {54, 55})) {
        m[2] &= static_cast<uint16_t>(~0x0300);  // no CCP2MX, no PBADEN
        SinBloques23(m);
      }
      break;
    case TGrupo18::F6520:
      if (!Es(i, {67, 68})) m[2] &= static_cast<uint16_t>(~0x0200);  // T1OSCMX
      break;
    default:
      break;
  }
  return m;
}

std::vector<uint16_t> MascaraCarga18(int i) {
  const uint8_t indice = i < 0 || i > 255 ? 255 : static_cast<uint8_t>(i);
  const TPalabras18 dispositivo = DeviceMask(indice);
  const TPalabras18& bits = ImplementedBits(Grupo18(indice));
  std::vector<uint16_t> m(dispositivo.size());
  for (std::size_t w = 0; w < m.size(); ++w) m[w] = dispositivo[w] & bits[w];
  return m;
}

TTablaConf Tabla18(uint8_t tipo, const std::string& nombre) {
  TTablaConf t;
  t.tipo = tipo;
  t.nombre = nombre;
  t.base.assign(7, 0xFFFF);
  t.ancho = 0xFFFF;
  t.conId = false;
  t.mascara = MascaraCarga18;
  return t;
}

std::vector<TControlConf> Protecciones18(int bloques, const std::string& sufijo, uint8_t columna) {
  std::vector<TControlConf> c;
  auto caja = [&](const std::string& nombre, uint8_t palabra, int bit, uint8_t col) {
    c.push_back(Casilla0(nombre + sufijo, palabra, bit).Texto(nombre).Col(col));
  };
  for (int b = 0; b < bloques; ++b) caja("CP" + std::to_string(b), 4, b, columna);
  caja("CPB", 4, 14, columna);
  caja("CPD", 4, 15, columna);
  for (int b = 0; b < bloques; ++b) caja("WRT" + std::to_string(b), 5, b, columna + 1);
  caja("WRTC", 5, 13, columna + 1);
  caja("WRTB", 5, 14, columna + 1);
  caja("WRTD", 5, 15, columna + 1);
  for (int b = 0; b < bloques; ++b) caja("EBTR" + std::to_string(b), 6, b, columna + 2);
  caja("EBTRB", 6, 14, columna + 2);
  return c;
}

void OcultaBloques18(std::vector<TControlConf>& c, int desde, int hasta, TDispositivos d) {
  for (TControlConf& x : c)
    for (int b = desde; b <= hasta; ++b)
      if (x.palabra >= 4 && x.mascara == (1u << b)) x.ocultoEn |= d;
}
