// The count window: program attempts and successes (ProgramCounters,
// ts_images.h) in two spin edits the user may also set, and RESET.
//
// How the main window uses it: it creates it at start (hidden), shows and
// hides it from View > Count (shownChanged), and calls ShowCounters() after
// the engine changed the counters (Program, Read, New, a file read, a
// device change; ResetCounters() in the engine).
#pragma once

#include "ToolForm.h"

class QSpinBox;
class QPushButton;

class TCountForm : public TToolForm {
  Q_OBJECT
public:
  explicit TCountForm(QWidget* parent = nullptr);

  QSpinBox* CSpinEditProgramAttempts;
  QSpinBox* CSpinEditProgramSuccess;
  QPushButton* ResetButton;

public slots:
  void ShowCounters();  // the spin edits show ProgramCounters
  void ResetButtonClick();
};
