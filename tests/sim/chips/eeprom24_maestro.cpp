#include "chips/eeprom24_maestro.h"

TMaestroI2CSim::TMaestroI2CSim(TChipSim& chip, uint64_t pasoNs) : chip_(chip), paso_(pasoNs) {}

void TMaestroI2CSim::Pon(bool scl, bool sda) {
  l_.Clock = scl;
  l_.DatoHost = sda;
  t_ += paso_;
  chip_.Lineas(t_, l_);
}

bool TMaestroI2CSim::LeeSda() const {
  const auto d = chip_.Dato();
  return l_.DatoHost && (!d || *d);
}

void TMaestroI2CSim::Enciende() {
  l_.Vdd = true;
  l_.Clock = true;
  l_.DatoHost = true;
  t_ += paso_;
  chip_.Lineas(t_, l_);
}

void TMaestroI2CSim::Apaga() {
  l_ = TLineasSim{};
  t_ += paso_;
  chip_.Lineas(t_, l_);
}

void TMaestroI2CSim::Start() {
  Pon(false, l_.DatoHost);
  Pon(false, true);
  Pon(true, true);
  Pon(true, false);
  Pon(false, false);
}

void TMaestroI2CSim::Stop() {
  Pon(false, l_.DatoHost);
  Pon(false, false);
  Pon(true, false);
  Pon(true, true);
}

bool TMaestroI2CSim::Envia(uint8_t b) {
  for (int i = 7; i >= 0; --i) {
    Pon(false, (b >> i) & 1);
    Pon(true, (b >> i) & 1);
  }
  Pon(false, true);
  Pon(true, true);
  const bool ack = !LeeSda();
  Pon(false, true);
  return ack;
}

uint8_t TMaestroI2CSim::Lee(bool ack) {
  uint8_t b = 0;
  for (int i = 0; i < 8; ++i) {
    Pon(false, true);
    Pon(true, true);
    b = static_cast<uint8_t>((b << 1) | (LeeSda() ? 1 : 0));
  }
  Pon(false, !ack);
  Pon(true, !ack);
  Pon(false, !ack);
  return b;
}

void TMaestroI2CSim::Espera(uint64_t ns) {
  t_ += ns;
  chip_.Lineas(t_, l_);
}

namespace {
uint8_t Control(uint32_t direccion, bool dosBytes) {
  return static_cast<uint8_t>(dosBytes ? 0xA0 : 0xA0 | ((direccion >> 8) & 7) << 1);
}
}  // namespace

bool TMaestroI2CSim::Direcciona(uint32_t direccion, bool dosBytes) {
  Start();
  if (!Envia(Control(direccion, dosBytes))) return false;
  if (dosBytes && !Envia(static_cast<uint8_t>(direccion >> 8))) return false;
  return Envia(static_cast<uint8_t>(direccion));
}

bool TMaestroI2CSim::EmpiezaLectura(uint32_t direccion, bool dosBytes) {
  Start();
  return Envia(Control(direccion, dosBytes) | 1);
}
