// The configuration window: a second view of part of the Configuration
// menu's options as radio buttons and check boxes. Each control's object
// name is the model item it mirrors ("HS_OSC", "WDT_ON"); the window holds
// no state of its own.
//
// How the main window uses it: it creates the window at start (hidden),
// calls ConnectConfiguration() with its TConfigurationMenu, shows and hides
// it from View > Configuration (shownChanged ticks that item), and connects
// cpStateChanged to its CPState panel. ShowOptions() runs after every
// ShowConfiguration() of the engine and after every menu click.
#pragma once

#include <QList>
#include <QString>

#include "ToolForm.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;
class TConfigurationMenu;

class TConfigForm : public TToolForm {
  Q_OBJECT
public:
  explicit TConfigForm(QWidget* parent = nullptr);

  // The CPState panel's text as last computed ("CP On" or "").
  QString CPStateText() const { return cpState_; }

public slots:
  // Each control takes the enabled and checked state of its model item;
  // then UpdateCaption.
  void ShowOptions();
  // Builds the configuration words; the caption shows word 0; the main
  // window's CPState panel is told.
  void UpdateCaption();

signals:
  // The user changed an option here; the Configuration menu shows it.
  void optionsChanged();
  void cpStateChanged(const QString& text);

protected:
  void changeEvent(QEvent* event) override;  // FormActivate

private:
  void MirrorControls();
  void OSCClick();
  void CPClick();
  void VBORClick();
  void CheckBoxClick(QCheckBox* box);
  void CopyRadios(const QList<QRadioButton*>& buttons);

  QGroupBox* OscBox;
  QGroupBox* EnableBox;
  QGroupBox* CPBox;
  QGroupBox* VBORBox;
  QList<QRadioButton*> oscillators_, protections_, voltages_;
  QList<QCheckBox*> checkBoxes_;
  QString cpState_;
};

// Keeps the model, the Configuration menu and the configuration window in
// step: installs the configuration model in the engine, makes every
// ShowConfiguration() refresh both views, and makes a click in either view
// refresh the other.
void ConnectConfiguration(TConfigurationMenu* menu, TConfigForm* form);
