#include "Config.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ConfigMenu.h"
#include "ts_config.h"
#include "ts_images.h"
#include "ts_options.h"

namespace {

struct TControl {
  const char* Name;
  const char* Caption;
};

const TControl OscControls[] = {
    {"LP_OSC", "LP"},
    {"XT_OSC", "XT"},
    {"HS_OSC", "HS"},
    {"RC_OSC", "RC"},
    {"INTRC_OSC", "INTRC (IN)"},
    {"EXTRC_OSC", "EXTRC (ER)"},
    {"INTRC_OSC_CLKOUT", "INTRC Clockout"},
    {"EXTRC_OSC_CLKOUT", "EXTRC (ER) Clockout"},
    {"EC_OSC", "EC"},
    {"EC_OSC_CLKOUT", "EC Clockout"},
    {"E4_OSC_CLKOUT", "E4 Clockout"},
    {"H4_OSC", "H4"},
};
const TControl EnableControls[] = {
    {"WDT_ON", "Watchdog Timer"},      {"PWRTE_ON", "Power-up Timer"},      {"BODEN_ON", "Brown-out Reset"},
    {"MCLRE_ON", "Master Clear Reset"}, {"MPEEN_ON", "Memory Parity Error"}, {"LVP_ON", "Low Voltage Program"},
    {"DEBUG_ON", "In-Circuit Debugger"}, {"WRT_ON", "Flash Program Write"},
};
const TControl CPControls[] = {{"CP_OFF", "Off"}, {"CP_50", "1/2"}, {"CP_75", "3/4 (256)"}, {"CP_ALL", "All"}};
const TControl CPCheckControls[] = {{"CPD_ON", "Data EE Memory"}, {"CPC_ON", "Calibration Space"}};
const TControl VBORControls[] = {{"VBOR_25", "2.5 (2.0)"}, {"VBOR_27", "2.7"}, {"VBOR_42", "4.2"}, {"VBOR_45", "4.5"}};

TOptionItem& ItemOf(const QObject* control) { return *FindOptionItem(control->objectName().toStdString()); }

}  // namespace

TConfigForm::TConfigForm(QWidget* parent) : TToolForm(parent) {
  setObjectName("ConfigForm");
  setWindowTitle("Tessaly - Configuration");

  auto radios = [this](QGroupBox* box, QGridLayout* grid, const TControl* controls, size_t n, int columns,
                       QList<QRadioButton*>& list, void (TConfigForm::*click)()) {
    for (size_t i = 0; i < n; ++i) {
      auto* b = new QRadioButton(controls[i].Caption, box);
      b->setObjectName(controls[i].Name);
      grid->addWidget(b, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
      connect(b, &QRadioButton::clicked, this, click);
      list.append(b);
    }
  };
  auto checks = [this](QWidget* box, QGridLayout* grid, int firstRow, const TControl* controls, size_t n,
                       int columns) {
    for (size_t i = 0; i < n; ++i) {
      auto* c = new QCheckBox(controls[i].Caption, box);
      c->setObjectName(controls[i].Name);
      grid->addWidget(c, firstRow + static_cast<int>(i) / columns, static_cast<int>(i) % columns);
      connect(c, &QCheckBox::clicked, this, [this, c] { CheckBoxClick(c); });
      checkBoxes_.append(c);
    }
  };

  OscBox = new QGroupBox("Oscillator", this);
  OscBox->setObjectName("OscBox");
  auto* oscGrid = new QGridLayout(OscBox);
  radios(OscBox, oscGrid, OscControls, std::size(OscControls), 2, oscillators_, &TConfigForm::OSCClick);

  EnableBox = new QGroupBox("Enable", this);
  EnableBox->setObjectName("EnableBox");
  auto* enableGrid = new QGridLayout(EnableBox);
  checks(EnableBox, enableGrid, 0, EnableControls, std::size(EnableControls), 2);

  CPBox = new QGroupBox("Code Protection", this);
  CPBox->setObjectName("CPBox");
  auto* cpGrid = new QGridLayout(CPBox);
  radios(CPBox, cpGrid, CPControls, std::size(CPControls), 4, protections_, &TConfigForm::CPClick);
  checks(CPBox, cpGrid, 1, CPCheckControls, std::size(CPCheckControls), 2);

  VBORBox = new QGroupBox("Brown-out Voltage", this);
  VBORBox->setObjectName("VBORBox");
  auto* vborGrid = new QGridLayout(VBORBox);
  radios(VBORBox, vborGrid, VBORControls, std::size(VBORControls), 4, voltages_, &TConfigForm::VBORClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(OscBox);
  layout->addWidget(EnableBox);
  layout->addWidget(CPBox);
  layout->addWidget(VBORBox);
  // The longest caption: an empty word 0 shows in eight digits.
  KeepTitleRoom(layout, "Tessaly - Configuration 0xFFFFFFFF");
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // The words are built only once the window is refreshed: creating it
  // leaves the images alone.
  MirrorControls();
}

void TConfigForm::ShowOptions() {
  MirrorControls();
  UpdateCaption();
}

void TConfigForm::MirrorControls() {
  for (const QList<QRadioButton*>* set : {&oscillators_, &protections_, &voltages_}) {
    QList<bool> checked;
    for (QRadioButton* b : *set) {
      b->setEnabled(ItemOf(b).Enabled);
      checked.append(ItemOf(b).Checked);
    }
    MirrorRadios(*set, checked);
  }
  for (QCheckBox* c : checkBoxes_) {
    c->setEnabled(ItemOf(c).Enabled);
    c->setChecked(ItemOf(c).Checked);
  }
}

void TConfigForm::UpdateCaption() {
  BuildConfigurationWords();
  setWindowTitle(QString::asprintf("Tessaly - Configuration 0x%04lX", static_cast<unsigned long>(ConfigWords[0])));
  cpState_ = QString::fromStdString(CodeProtectText());
  emit cpStateChanged(cpState_);
}

void TConfigForm::CopyRadios(const QList<QRadioButton*>& buttons) {
  for (QRadioButton* b : buttons) ItemOf(b).Checked = b->isChecked();
  UpdateCaption();
  emit optionsChanged();
}

void TConfigForm::OSCClick() { CopyRadios(oscillators_); }
void TConfigForm::CPClick() { CopyRadios(protections_); }
void TConfigForm::VBORClick() { CopyRadios(voltages_); }

void TConfigForm::CheckBoxClick(QCheckBox* box) {
  ItemOf(box).Checked = box->isChecked();
  UpdateCaption();
  emit optionsChanged();
}

void TConfigForm::changeEvent(QEvent* event) {
  TToolForm::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  // FormActivate: the focus goes to the oscillator group, on its checked button.
  for (QRadioButton* b : oscillators_)
    if (b->isChecked() && b->isEnabled()) {
      b->setFocus();
      return;
    }
  OscBox->setFocus();
}

void ConnectConfiguration(TConfigurationMenu* menu, TConfigForm* form) {
  InstallConfigurationModel();
  QPointer<TConfigurationMenu> m(menu);
  QPointer<TConfigForm> f(form);
  SetConfigurationListener([m, f] {
    if (m) m->Refresh();
    if (f) f->ShowOptions();
  });
  QObject::connect(menu, &TConfigurationMenu::optionsChanged, form, &TConfigForm::ShowOptions);
  QObject::connect(form, &TConfigForm::optionsChanged, menu, &TConfigurationMenu::Refresh);
}
