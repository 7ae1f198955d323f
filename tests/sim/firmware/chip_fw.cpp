#include "firmware/chip_fw.h"

std::optional<TFalloEscrituraFw> TChipFw::Escribe(const TOrdenFw& orden, uint32_t indice,
                                                  uint16_t palabra) {
  const TBloqueFw bloque = Bloque(orden);
  if (!bloque.Memoria) return TFalloEscrituraFw{indice, palabra, 0xFFFF};
  bloque.Memoria->Programa(bloque.Celda + indice, palabra);
  const uint16_t leido = bloque.Memoria->Lee(bloque.Celda + indice);
  if (leido != palabra) return TFalloEscrituraFw{indice, palabra, leido};
  return std::nullopt;
}

std::optional<TFalloEscrituraFw> TChipFw::EscribeFila24(uint8_t, uint32_t,
                                                        const std::vector<uint32_t>&) {
  return std::nullopt;
}

std::vector<uint8_t> TChipFw::Borra(const TOrdenFw&) { return {}; }

std::array<uint8_t, 14> TChipFw::BorraDsPic(const TOrdenFw&) { return {}; }

TChipMemoriasFw::TChipMemoriasFw() {
  Area(TAreaFw::Programa) = &Programa;
  Area(TAreaFw::Datos) = &Datos;
  Area(TAreaFw::Config) = &Config;
  Area(TAreaFw::Id) = &Id;
  Area(TAreaFw::Ejecutivo) = &Ejecutivo;
}

uint16_t TChipMemoriasFw::IdDispositivo(char, bool) { return Id14; }

TBloqueFw TChipMemoriasFw::Bloque(const TOrdenFw& o) {
  const uint32_t n = uint32_t{o.Cuenta()} + 1;
  const uint32_t a = o.Direccion24();
  auto en = [&](TAreaFw area, uint32_t celda, uint32_t palabras) {
    return TBloqueFw{Area(area), celda, palabras};
  };
  auto pic18 = [&](uint32_t dir, uint32_t palabras) {
    if (dir >= 0x300000) return en(TAreaFw::Config, dir - 0x300000, palabras);
    if (dir >= 0x200000) return en(TAreaFw::Id, dir - 0x200000, palabras);
    return en(TAreaFw::Programa, dir, palabras);
  };
  switch (o.Letra()) {
    case '1':
      if (o.b[7]) return en(TAreaFw::Config, o.b[4], n);
      return en(o.b[6] == 5 ? TAreaFw::Datos : TAreaFw::Programa, 0, n);
    case '6':
      if (o.b[5] & 0x08) return en(TAreaFw::Config, o.b[4], n);
      return en(o.b[6] == 5 ? TAreaFw::Datos : TAreaFw::Programa, 0, n);
    case '2': return en(TAreaFw::Datos, 0, n);
    case '3': return pic18(a, n);
    case '7': return pic18(uint32_t{o.b[4]} << 16, uint32_t{o.Cuenta()} * 4 + 1);
    case 'A': case 'B': return en(TAreaFw::Programa, 0, n);
    case 'L': return en(o.b[7] ? TAreaFw::Id : TAreaFw::Programa, 0, n);
    case 'M': return en(o.b[4] ? TAreaFw::Id : TAreaFw::Programa, 0, n);
    case 'E':
      if (a >= 0x800000) return en(TAreaFw::Ejecutivo, a - 0x800000, n * 8);
      return en(TAreaFw::Programa, a, n * 8);
    case 'F': return en(TAreaFw::Datos, a & 0xFFF, n * 8);
    case 'G': return en(TAreaFw::Config, 0, 28);
    default: return {};
  }
}

std::optional<TFalloEscrituraFw> TChipMemoriasFw::EscribeFila24(
    uint8_t tipoArea, uint32_t direccion, const std::vector<uint32_t>& instrucciones) {
  TMemoriaFw* m = nullptr;
  uint32_t celda = 0;
  uint32_t paso = 2;
  switch (tipoArea) {
    case 0: m = Area(TAreaFw::Programa); celda = direccion; break;
    case 3: m = Area(TAreaFw::Ejecutivo); celda = direccion - 0x800000; break;
    case 1: m = Area(TAreaFw::Datos); celda = direccion & 0xFFF; break;
    case 4: m = Area(TAreaFw::Config); celda = 0; paso = 4; break;
    default: return TFalloEscrituraFw{0, 0, 0};
  }
  if (!m) return TFalloEscrituraFw{0, instrucciones.empty() ? 0 : instrucciones[0], 0};
  for (uint32_t i = 0; i < instrucciones.size(); ++i) {
    const uint32_t c = celda + i * paso;
    const uint32_t v = instrucciones[i];
    m->Programa(c, static_cast<uint16_t>(v));
    uint32_t leido = m->Lee(c);
    if (tipoArea == 0 || tipoArea == 3) {
      m->Programa(c + 1, static_cast<uint16_t>(v >> 16));
      leido |= uint32_t{m->Lee(c + 1)} << 16;
    }
    const uint32_t esperado = (tipoArea == 0 || tipoArea == 3) ? v : (v & 0xFFFF);
    if (leido != esperado) return TFalloEscrituraFw{i, esperado, leido};
  }
  return std::nullopt;
}

std::vector<uint8_t> TChipMemoriasFw::Borra(const TOrdenFw&) {
  for (TMemoriaFw* m : Areas)
    if (m) m->Borra();
  return {};
}

std::array<uint8_t, 14> TChipMemoriasFw::BorraDsPic(const TOrdenFw& orden) {
  Borra(orden);
  std::array<uint8_t, 14> r{};
  for (uint32_t i = 0; i < 7; ++i) {
    const uint16_t v = Area(TAreaFw::Config) ? Area(TAreaFw::Config)->Lee(4 * i) : 0;
    r[2 * i] = static_cast<uint8_t>(v);
    r[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
  return r;
}

std::optional<std::vector<uint8_t>> RespuestaInmediataFw(TChipFw& chip, const TOrdenFw& orden,
                                                         const std::string& version) {
  const char l = orden.Letra();
  if (l == '0') {
    std::vector<uint8_t> r{'O', 'k'};
    for (std::size_t i = 0; i < 4; ++i) r.push_back(i < version.size() ? version[i] : ' ');
    return r;
  }
  if (l == '4' || l == '5' || l == 'C') {
    const uint16_t id = chip.IdDispositivo(l, orden.b[5] != 0);
    const uint8_t lo = static_cast<uint8_t>(id), hi = static_cast<uint8_t>(id >> 8);
    return std::vector<uint8_t>{lo, hi, static_cast<uint8_t>(lo ^ hi)};
  }
  if (l == '8') return chip.Borra(orden);
  if (l == 'H') {
    const auto c = chip.BorraDsPic(orden);
    std::vector<uint8_t> r(c.begin(), c.end());
    uint8_t x = 0;
    for (uint8_t v : c) x ^= v;
    r.push_back(x);
    return r;
  }
  if (l == 'Y') return std::vector<uint8_t>{0, orden.b[2]};
  return std::nullopt;
}
