// The frame of the PIC18 editors: the table's controls, the four ID words
// as raw hex words (ID1 to ID4; any 16-bit value is shown and read back
// unchanged) and the seven configuration words in the labels c1 to c7.
#pragma once

#include <array>

#include "EditorTabla.h"

class QLabel;
class QLineEdit;

class TFC_18F : public TFEditorTabla {
  Q_OBJECT
public:
  TFC_18F(const TTablaConf& tabla, QWidget* padre = nullptr);

  void LoadFromBuffer(std::span<const uint16_t> id, std::span<const uint16_t> config) override;
  void SaveToBuffer(std::span<uint16_t> id, std::span<uint16_t> config) override;
  void CambiaDispositivo() override;

protected:
  void AlRefrescar() override;

private:
  std::array<uint16_t, 4> Ids() const;
  void PonIds(std::span<const uint16_t> id);

  std::array<QLineEdit*, 4> ids_{};
  std::array<QLabel*, 7> palabras_{};
};
