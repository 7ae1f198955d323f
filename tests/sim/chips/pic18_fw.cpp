#include "chips/pic18_fw.h"

namespace {

constexpr uint32_t InicioId = 0x200000;
constexpr uint32_t InicioConfig = 0x300000;

}  // namespace

TPic18Fw::TPic18Fw(TMemoriaPic18& memoria)
    : Memoria(memoria),
      prog_(memoria, TArea::TTipo::Prog),
      id_(memoria, TArea::TTipo::Id),
      config_(memoria, TArea::TTipo::Config),
      ee_(memoria, TArea::TTipo::Ee),
      icsp_(memoria),
      sonda_(icsp_) {}

uint32_t TPic18Fw::TArea::Base() const {
  switch (tipo_) {
    case TTipo::Id: return InicioId;
    case TTipo::Config: return InicioConfig;
    default: return 0;
  }
}

std::size_t TPic18Fw::TArea::Tam() const {
  switch (tipo_) {
    case TTipo::Prog: return m_.Prog.size() / 2;
    case TTipo::Id: return m_.Id.size() / 2;
    case TTipo::Config: return m_.Config.size() / 2;
    case TTipo::Ee: return m_.Ee.size();
  }
  return 0;
}

uint16_t TPic18Fw::TArea::Lee(uint32_t celda) const {
  if (tipo_ == TTipo::Ee) return celda < m_.Ee.size() ? m_.LeeEe(celda) : 0xFF;
  const uint32_t d = Base() + 2 * celda;
  return static_cast<uint16_t>(m_.LeeTabla(d) | m_.LeeTabla(d + 1) << 8);
}

void TPic18Fw::TArea::Programa(uint32_t celda, uint16_t valor) {
  if (celda >= Tam()) return;
  if (tipo_ == TTipo::Ee) {
    m_.EscribeEe(celda, static_cast<uint8_t>(valor));
    return;
  }
  const uint32_t d = Base() + 2 * celda;
  for (uint32_t b = 0; b < 2; ++b) {
    const auto v = static_cast<uint8_t>(valor >> (8 * b));
    if (tipo_ == TTipo::Config) m_.EscribeConfig(d + b, v);
    else if (v != 0xFF) m_.ProgramaFlash(d + b, v);
  }
}

uint16_t TPic18Fw::IdDispositivo(char letra, bool z2) { return sonda_.Lee(letra, z2); }

TBloqueFw TPic18Fw::Bloque(const TOrdenFw& o) {
  if (Ordenes.empty() || Ordenes.back().b != o.b) Ordenes.push_back(o);
  const uint32_t n = uint32_t{o.Cuenta()} + 1;
  switch (o.Letra()) {
    case '3': {
      const uint32_t a = o.Direccion24();
      if (a >= InicioConfig) return {&config_, (a - InicioConfig) / 2, n};
      if (a >= InicioId) return {&id_, (a - InicioId) / 2, n};
      return {&prog_, a / 2, n};
    }
    case '2':
      return {&ee_, 0, n};
    case '7':
      switch (o.b[5]) {
        case 0: return {&prog_, 0, n * 4};
        case 1: return {&id_, 0, n * 4};
        case 2: return {&ee_, 0, n};
        case 3: return {&config_, 0, o.Cuenta()};
        default: return {};
      }
    default:
      return {};
  }
}

std::vector<uint8_t> TPic18Fw::Borra(const TOrdenFw& o) {
  Ordenes.push_back(o);
  const uint8_t tipo = o.b[2];
  bool hecho = false;
  if (tipo == 127) hecho = Memoria.Borra(0x0080);
  if (tipo == 126) hecho = Memoria.Borra(0x0F87);
  return {0, 0, static_cast<uint8_t>(hecho ? tipo : 0)};
}
