// The three read-only memory views: TCodeForm shows CodeImage, TDataForm
// DataImage and TIDForm IDImage, each as lines of up to 8 entries in
// hexadecimal or as characters (ts_views.h), in a monospace font.
//
// How the main window uses them: it creates the three at start (hidden),
// shows and hides them from View > Code, Data and ID (shownChanged ticks
// those items), and calls ShowCode(), ShowData() and ShowID() whenever the
// images change (New, Open, Read; its TRunHost::RefreshViews). A hidden
// view skips the work and refreshes when shown. The settings file reads and
// writes AsciiButton's state through AsciiButton().
#pragma once

#include "ToolForm.h"
#include "ts_views.h"

class QPlainTextEdit;
class QRadioButton;

class TCodeForm : public TToolForm {
  Q_OBJECT
public:
  explicit TCodeForm(QWidget* parent = nullptr) : TCodeForm(TViewKind::Code, "Tessaly - Code", parent) {}

  QRadioButton* HexButton() const { return hexButton_; }
  QRadioButton* AsciiButton() const { return asciiButton_; }
  QPlainTextEdit* RichEdit() const { return richEdit_; }

public slots:
  // Rebuilds the text from the image (when the window is shown).
  void ShowCode();
  void HexButtonClick() { ShowCode(); }
  void AsciiButtonClick() { ShowCode(); }

protected:
  TCodeForm(TViewKind kind, const char* caption, QWidget* parent);
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  TViewKind kind_;
  QPlainTextEdit* richEdit_;
  QRadioButton* hexButton_;
  QRadioButton* asciiButton_;
};

class TDataForm : public TCodeForm {
  Q_OBJECT
public:
  explicit TDataForm(QWidget* parent = nullptr) : TCodeForm(TViewKind::Data, "Tessaly - Data", parent) {}
public slots:
  void ShowData() { ShowCode(); }
};

class TIDForm : public TCodeForm {
  Q_OBJECT
public:
  explicit TIDForm(QWidget* parent = nullptr) : TCodeForm(TViewKind::ID, "Tessaly - ID", parent) {}
public slots:
  void ShowID() { ShowCode(); }
};
