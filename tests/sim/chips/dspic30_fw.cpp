#include "chips/dspic30_fw.h"

// The cells of one area as the board sends them.
class TDsPic30Fw::TVista final : public TMemoriaFw {
public:
  enum class TTipo : uint8_t { Programa, Ejecutivo, Datos, Config };
  TVista(TMemoriaDsPic30& m, TTipo tipo) : m_(m), tipo_(tipo) {}
  uint32_t Base = 0;  // device address of cell 0 (EEPROM)
  std::size_t Tam() const override {
    switch (tipo_) {
      case TTipo::Programa: return 2 * m_.Prog.size();
      case TTipo::Ejecutivo: return 2 * m_.Exec.size();
      case TTipo::Datos: return 2 * m_.Ee.size();
      default: return 28;
    }
  }
  uint16_t Lee(uint32_t c) const override {
    switch (tipo_) {
      case TTipo::Programa:
        return (c & 1) ? m_.LeeAlto(c & ~1u) : m_.LeeBajo(c);
      case TTipo::Ejecutivo:
        return (c & 1) ? m_.LeeAlto(InicioEjecutivoDs + (c & ~1u)) : m_.LeeBajo(InicioEjecutivoDs + c);
      case TTipo::Datos:
        return (c & 1) ? 0 : m_.LeeBajo(Base + c);
      default:
        return (c % 4 == 0 && c < 28) ? m_.Config[c / 4] : 0;
    }
  }
  void Programa(uint32_t, uint16_t) override {}
  void Borra() override {}

private:
  TMemoriaDsPic30& m_;
  TTipo tipo_;
};

TDsPic30Fw::TDsPic30Fw(const TModeloDsPic30& modelo)
    : Memoria(modelo),
      programa_(std::make_unique<TVista>(Memoria, TVista::TTipo::Programa)),
      ejecutivo_(std::make_unique<TVista>(Memoria, TVista::TTipo::Ejecutivo)),
      datos_(std::make_unique<TVista>(Memoria, TVista::TTipo::Datos)),
      config_(std::make_unique<TVista>(Memoria, TVista::TTipo::Config)),
      icsp_(Memoria),
      sonda_(icsp_) {}

TDsPic30Fw::~TDsPic30Fw() = default;

uint16_t TDsPic30Fw::IdDispositivo(char letra, bool z2) {
  sonda_.EnZocalo2 = EnZocalo2;
  return sonda_.Lee(letra, z2);
}

TBloqueFw TDsPic30Fw::Bloque(const TOrdenFw& o) {
  const uint32_t n = uint32_t{o.Cuenta()} + 1;
  const uint32_t a = o.Direccion24();
  const bool aqui = (o.b[7] != 0) == EnZocalo2;
  switch (o.Letra()) {
    case 'E':
      if (a >= InicioEjecutivoDs) return {aqui ? ejecutivo_.get() : nullptr, a - InicioEjecutivoDs, n * 8};
      return {aqui ? programa_.get() : nullptr, a, n * 8};
    case 'F':
      datos_->Base = a;
      return {aqui ? datos_.get() : nullptr, 0, n * 8};
    case 'G':
      return {aqui ? config_.get() : nullptr, 0, 28};
    default:
      return {};
  }
}

std::optional<TFalloEscrituraFw> TDsPic30Fw::EscribeFila24(uint8_t tipo, uint32_t dir,
                                                          const std::vector<uint32_t>& ins) {
  ++FilasEscritas;
  for (uint32_t i = 0; i < ins.size(); ++i) {
    uint32_t esperado = ins[i], leido = 0;
    if (tipo == 0 || tipo == 3) {
      const uint32_t d = dir + 2 * i;
      esperado &= 0xFFFFFF;
      if (!Memoria.ProgramaInstruccion(d, esperado)) return TFalloEscrituraFw{i, esperado, 0};
      leido = Memoria.LeeBajo(d) | uint32_t{Memoria.LeeAlto(d)} << 16;
    } else if (tipo == 1) {
      const uint32_t d = dir + 2 * i;
      esperado &= 0xFFFF;
      if (!Memoria.ProgramaPalabraEe(d, static_cast<uint16_t>(esperado))) return TFalloEscrituraFw{i, esperado, 0};
      leido = Memoria.LeeBajo(d);
    } else {
      const uint32_t d = InicioConfigDs + 2 * i;
      esperado &= 0xFFFF;
      Memoria.EscribeConfig(d, static_cast<uint16_t>(esperado));
      leido = Memoria.LeeBajo(d);
    }
    if (leido != esperado) return TFalloEscrituraFw{i, esperado, leido};
  }
  return std::nullopt;
}

std::array<uint8_t, 14> TDsPic30Fw::BorraDsPic(const TOrdenFw& o) {
  std::array<uint8_t, 14> r{};
  r.fill(0xFF);
  if ((o.b[7] != 0) != EnZocalo2) return r;
  Memoria.BorradoTotal();
  if (o.b[2] == 1) std::fill(Memoria.Exec.begin(), Memoria.Exec.end(), 0xFFFFFF);
  if (o.b[2] == 0)
    for (uint32_t k = 0; k < 7; ++k) Memoria.EscribeConfig(InicioConfigDs + 2 * k, 0xFFFF);
  for (uint32_t k = 0; k < 7; ++k) {
    r[2 * k] = static_cast<uint8_t>(Memoria.Config[k]);
    r[2 * k + 1] = static_cast<uint8_t>(Memoria.Config[k] >> 8);
  }
  return r;
}
