// A plain grid editor: offsets, hex bytes and characters, a selection made
// with the mouse or the keyboard, hex digits typed over the bytes. It keeps
// the byte image and the word-array exchange of the main window's editors.
#pragma once

#include <QAbstractScrollArea>
#include <array>

#include "EditorMemoria.h"

class TRejillaSimple : public QAbstractScrollArea, public TEditorMemoria {
  Q_OBJECT
public:
  explicit TRejillaSimple(QWidget* parent = nullptr);

  QWidget* Widget() override { return this; }
  void PonEeprom(bool eepromInt, bool eeI2C) override;
  bool EepromInt() const override { return eepromInt_; }
  bool DSPIC() const override { return dspic_; }
  void LoadFromWordBuffer(const uint16_t* palabras, uint32_t cuenta, bool dspic, int32_t base,
                          uint32_t mascara) override;
  void SaveToWordBuffer(uint16_t* palabras, uint32_t cuenta, bool dspic) override;
  uint32_t WordCount() const override { return wordCount_; }
  uint8_t Mask() const override { return mask_; }
  bool DataNotBlank() const override { return dataNotBlank_; }
  int64_t GetDataSize() const override { return static_cast<int64_t>(imagen_.size()); }
  int64_t GetSelStart() const override;
  int64_t GetSelEnd() const override;
  int64_t GetSelCount() const override;
  void SetSelStart(int64_t posicion) override;
  void SetSelEnd(int64_t posicion) override;
  void FillRange(uint32_t primera, uint32_t ultima, uint32_t valor) override;
  int64_t Find(const std::vector<uint8_t>& datos, int64_t ultima, int64_t primera) override;
  std::vector<uint8_t> BufferFromFile(int64_t posicion, int64_t cuenta) const override;
  void ReplaceSelection(const std::vector<uint8_t>& datos) override;
  int32_t GetMarker(uint8_t indice) const override;
  void ToggleMarker(uint8_t indice) override;
  void GotoMarker(uint8_t indice) override;
  void ClearMarkers() override;

  int BytesPerLine() const { return bytesPorLinea_; }
  int BytesPerColumn() const { return bytesPorColumna_; }
  int64_t Caret() const { return caret_; }

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

private:
  void Distribucion(int porLinea, int porColumna);
  void Recalcula();
  void Cambio();
  int64_t ByteEn(const QPoint& p) const;
  int AnchoCar() const;
  int AltoLinea() const;
  void MuestraByte(int64_t posicion);
  void MueveCaret(int64_t posicion, bool extiende);

  std::vector<uint8_t> imagen_{0};
  bool eepromInt_ = false;
  bool eeI2C_ = false;
  bool dspic_ = false;
  uint8_t mask_ = 0;
  uint8_t pasteMask_ = 0xFF;
  uint32_t wordCount_ = 0;
  int32_t base_ = 0;
  bool dataNotBlank_ = false;
  int bytesPorLinea_ = 16;
  int bytesPorColumna_ = 2;
  int64_t caret_ = 0;
  int64_t ancla_ = -1, inicio_ = -1, fin_ = -1;
  bool medioByte_ = false;
  std::array<int32_t, 10> marcas_;
};
