// The 10F20x editor: the table's three boxes plus the addresses of the ID
// words, the configuration word and the backup calibration word, and the
// backup word the last read or erase found.
#pragma once

#include "EditorTabla.h"

class QLabel;

class TFC_10Fxxx : public TFEditorTabla {
  Q_OBJECT
public:
  // A new 10F editor knows no backup word: OscCalBackup becomes 0xFFFF.
  explicit TFC_10Fxxx(QWidget* padre = nullptr);
  void OperacionTerminada() override;

protected:
  void AlRefrescar() override;

private:
  QLabel* ids_ = nullptr;
  QLabel* config_ = nullptr;
  QLabel* direccionBackup_ = nullptr;
  QLabel* backup_ = nullptr;
};
