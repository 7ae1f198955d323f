// The serial-number window: its controls edit SerialNumberParameters
// (ts_images.h), which the Program operation reads and advances.
//
// How the main window uses it: it creates it at start (hidden), shows and
// hides it from View > Serial Number (shownChanged), and calls
// ShowParameters() after the settings file or a Program changed the
// parameters. The controls keep their own bounds (a settings value of 9000
// for StartingLocation becomes 8191, in the window and in the parameters).
#pragma once

#include "ToolForm.h"

class QRadioButton;
class QSpinBox;

class TSNForm : public TToolForm {
  Q_OBJECT
public:
  explicit TSNForm(QWidget* parent = nullptr);

  QSpinBox* SerialNumber;
  QSpinBox* IncrementBy;
  QSpinBox* StartingLocation;
  QSpinBox* NumberLocations;
  QSpinBox* PrefixByte;
  QRadioButton* LSBFirst;
  QRadioButton* MSBFirst;
  QRadioButton* WriteSNToCode;
  QRadioButton* WriteSNToEE;
  QRadioButton* WriteSNToID;

public slots:
  // The controls show SerialNumberParameters; values outside a control's
  // bounds are held at them, and the parameters take the held values.
  void ShowParameters();
  void WriteSNToCodeClick();
  void WriteSNToEEClick();
  void WriteSNToIDClick();

private:
  void TakeControls();  // controls -> SerialNumberParameters
  void EnableForTarget();
};
