#include "RejillaHex.h"

#include <limits>
#include <span>

TRejillaHex::TRejillaHex(THexEditor* rejilla) : r_(rejilla) {
  QObject::connect(r_, &THexEditor::stateChanged, r_, [this] {
    if (AlCambiarEstado) AlCambiarEstado();
  });
}

void TRejillaHex::PonEeprom(bool eepromInt, bool eeI2C) {
  r_->SetEepromInt(eepromInt);
  r_->SetEeI2C(eeI2C);
  r_->image().SetBytesPerColumn(eepromInt ? 1 : 2);
  r_->SetBytesPerLine(eepromInt ? 8 : 16);
}

void TRejillaHex::LoadFromWordBuffer(const uint16_t* palabras, uint32_t cuenta, bool dspic, int32_t base,
                                     uint32_t mascara) {
  r_->LoadFromWordBuffer(std::span<const uint16_t>(palabras, cuenta), cuenta, dspic, base, mascara);
  SiguienteBusqueda = 0;
}

void TRejillaHex::SaveToWordBuffer(uint16_t* palabras, uint32_t cuenta, bool dspic) {
  r_->SaveToWordBuffer(std::span<uint16_t>(palabras, cuenta), cuenta, dspic);
}

void TRejillaHex::FillRange(uint32_t primera, uint32_t ultima, uint32_t valor) {
  constexpr uint32_t tope = std::numeric_limits<int32_t>::max();
  r_->FillRange(static_cast<int32_t>(std::min(primera, tope)), static_cast<int32_t>(std::min(ultima, tope)), valor);
}

int64_t TRejillaHex::Find(const std::vector<uint8_t>& datos, int64_t ultima, int64_t primera) {
  return r_->Find(datos, false, static_cast<int32_t>(ultima), static_cast<int32_t>(primera));
}

std::vector<uint8_t> TRejillaHex::BufferFromFile(int64_t posicion, int64_t cuenta) const {
  return r_->BufferFromFile(static_cast<int32_t>(posicion), static_cast<int32_t>(cuenta));
}
