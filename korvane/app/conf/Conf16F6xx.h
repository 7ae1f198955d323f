// The 12F635/683 and 16F636/639/684/688 editor: the table's three words
// plus the "update calibration" box, which the flash engines read through
// their Act_Cal flag (kept in step here, so the engine sees no widget).
#pragma once

#include "EditorTabla.h"

class QCheckBox;
class QLabel;

class TFC_16F6xx : public TFEditorTabla {
  Q_OBJECT
public:
  explicit TFC_16F6xx(QWidget* padre = nullptr);
  // Without the box nothing asks for the calibration words.
  ~TFC_16F6xx() override;
  bool ActualizaCalibracion() const;

protected:
  // The block's texts are read at every show, so a language chosen since
  // the editor was made is the one it shows.
  void showEvent(QShowEvent* e) override;

private:
  QLabel* titulo_ = nullptr;
  QCheckBox* actCal_ = nullptr;
};
