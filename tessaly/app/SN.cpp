#include "SN.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "ts_images.h"

namespace {
QRadioButton* Radio(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QRadioButton(caption, parent);
  b->setObjectName(name);
  return b;
}
}  // namespace

TSNForm::TSNForm(QWidget* parent) : TToolForm(parent) {
  setObjectName("SNForm");
  setWindowTitle("Tessaly - Serial Number");
  constexpr int low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
  SerialNumber = new TSpinEdit(this, "SerialNumber", low, high);
  IncrementBy = new TSpinEdit(this, "IncrementBy", low, high);
  StartingLocation = new TSpinEdit(this, "StartingLocation", 0, 8191);
  NumberLocations = new TSpinEdit(this, "NumberLocations", 1, 4);
  PrefixByte = new TSpinEdit(this, "PrefixByte", 0, 63);

  auto* grid = new QGridLayout;
  const std::pair<const char*, QSpinBox*> rows[] = {{"Serial Number", SerialNumber},
                                                    {"Increment By", IncrementBy},
                                                    {"Starting Code\nLocation", StartingLocation},
                                                    {"Number of\nLocations", NumberLocations},
                                                    {"Prefix Byte", PrefixByte}};
  int r = 0;
  for (const auto& [label, box] : rows) {
    grid->addWidget(new QLabel(label, this), r, 0);
    grid->addWidget(box, r++, 1);
    connect(box, &QSpinBox::valueChanged, this, &TSNForm::TakeControls);
  }

  auto* order = new QGroupBox(this);
  LSBFirst = Radio(order, "LSBFirst", "LSB First");
  MSBFirst = Radio(order, "MSBFirst", "MSB First");
  auto* orderRow = new QHBoxLayout(order);
  orderRow->addWidget(LSBFirst);
  orderRow->addWidget(MSBFirst);

  auto* target = new QGroupBox("Write Serial Number To", this);
  WriteSNToCode = Radio(target, "WriteSNToCode", "Code");
  WriteSNToEE = Radio(target, "WriteSNToEE", "EE");
  WriteSNToID = Radio(target, "WriteSNToID", "ID");
  auto* targetRow = new QHBoxLayout(target);
  targetRow->addWidget(WriteSNToCode);
  targetRow->addWidget(WriteSNToEE);
  targetRow->addWidget(WriteSNToID);
  for (QRadioButton* b : {LSBFirst, MSBFirst}) connect(b, &QRadioButton::clicked, this, &TSNForm::TakeControls);
  connect(WriteSNToCode, &QRadioButton::clicked, this, &TSNForm::WriteSNToCodeClick);
  connect(WriteSNToEE, &QRadioButton::clicked, this, &TSNForm::WriteSNToEEClick);
  connect(WriteSNToID, &QRadioButton::clicked, this, &TSNForm::WriteSNToIDClick);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(order);
  layout->addWidget(target);
  KeepTitleRoom(layout, windowTitle());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowParameters();
}

void TSNForm::ShowParameters() {
  const TSerialNumberParameters& p = SerialNumberParameters;
  {
    const QSignalBlocker b1(SerialNumber), b2(IncrementBy), b3(StartingLocation), b4(NumberLocations),
        b5(PrefixByte);
    SerialNumber->setValue(p.SerialNumber);
    IncrementBy->setValue(p.IncrementBy);
    StartingLocation->setValue(p.StartingLocation);
    NumberLocations->setValue(p.NumberLocations);
    PrefixByte->setValue(p.PrefixByte);
  }
  (p.MSBFirst ? MSBFirst : LSBFirst)->setChecked(true);
  (p.Target == TSerialNumberParameters::EE   ? WriteSNToEE
   : p.Target == TSerialNumberParameters::ID ? WriteSNToID
                                             : WriteSNToCode)
      ->setChecked(true);
  TakeControls();
  EnableForTarget();
}

void TSNForm::TakeControls() {
  TSerialNumberParameters& p = SerialNumberParameters;
  p.SerialNumber = SerialNumber->value();
  p.IncrementBy = IncrementBy->value();
  p.StartingLocation = StartingLocation->value();
  p.NumberLocations = NumberLocations->value();
  p.PrefixByte = PrefixByte->value();
  p.MSBFirst = MSBFirst->isChecked();
  p.Target = WriteSNToEE->isChecked()   ? TSerialNumberParameters::EE
             : WriteSNToID->isChecked() ? TSerialNumberParameters::ID
                                        : TSerialNumberParameters::Code;
}

void TSNForm::EnableForTarget() {
  StartingLocation->setEnabled(!WriteSNToID->isChecked());
  PrefixByte->setEnabled(!WriteSNToEE->isChecked());
}

void TSNForm::WriteSNToCodeClick() {
  TakeControls();
  EnableForTarget();
}
void TSNForm::WriteSNToEEClick() { WriteSNToCodeClick(); }
void TSNForm::WriteSNToIDClick() { WriteSNToCodeClick(); }
