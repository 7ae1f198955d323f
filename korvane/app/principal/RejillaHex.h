// The main window's view of one hex grid editor of the control library.
#pragma once

#include "EditorMemoria.h"
#include "HexEditor.h"

class TRejillaHex final : public TEditorMemoria {
public:
  explicit TRejillaHex(THexEditor* rejilla);

  THexEditor* Rejilla() { return r_; }
  QWidget* Widget() override { return r_; }
  void PonEeprom(bool eepromInt, bool eeI2C) override;
  bool EepromInt() const override { return r_->EepromInt(); }
  bool DSPIC() const override { return r_->DSPIC(); }
  void LoadFromWordBuffer(const uint16_t* palabras, uint32_t cuenta, bool dspic, int32_t base,
                          uint32_t mascara) override;
  void SaveToWordBuffer(uint16_t* palabras, uint32_t cuenta, bool dspic) override;
  uint32_t WordCount() const override { return r_->WordCount(); }
  uint8_t Mask() const override { return r_->image().Mask(); }
  bool DataNotBlank() const override { return r_->DataNotBlank(); }
  int64_t GetDataSize() const override { return r_->GetDataSize(); }
  int64_t GetSelStart() const override { return r_->GetSelStart(); }
  int64_t GetSelEnd() const override { return r_->GetSelEnd(); }
  int64_t GetSelCount() const override { return r_->GetSelCount(); }
  void SetSelStart(int64_t posicion) override { r_->SetSelStart(static_cast<int32_t>(posicion)); }
  void SetSelEnd(int64_t posicion) override { r_->SetSelEnd(static_cast<int32_t>(posicion)); }
  void FillRange(uint32_t primera, uint32_t ultima, uint32_t valor) override;
  int64_t Find(const std::vector<uint8_t>& datos, int64_t ultima, int64_t primera) override;
  std::vector<uint8_t> BufferFromFile(int64_t posicion, int64_t cuenta) const override;
  void ReplaceSelection(const std::vector<uint8_t>& datos) override { r_->ReplaceSelection(datos); }
  int32_t GetMarker(uint8_t indice) const override { return r_->image().GetMarker(indice); }
  void ToggleMarker(uint8_t indice) override { r_->ToggleMarker(indice); }
  void GotoMarker(uint8_t indice) override { r_->GotoMarker(indice); }
  void ClearMarkers() override { r_->ClearMarkers(); }

private:
  THexEditor* r_;
};
