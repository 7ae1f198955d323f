#include "Count.h"

#include <QFormLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "ts_images.h"

namespace {
QSpinBox* CounterBox(QWidget* parent, const char* name, int32_t TProgramCounters::*field) {
  auto* box = new TSpinEdit(parent, name, 0, std::numeric_limits<int32_t>::max());
  QObject::connect(box, &QSpinBox::valueChanged, parent, [field](int v) { ProgramCounters.*field = v; });
  return box;
}
}  // namespace

TCountForm::TCountForm(QWidget* parent) : TToolForm(parent) {
  setObjectName("CountForm");
  setWindowTitle("Tessaly - Count");
  CSpinEditProgramAttempts =
      CounterBox(this, "CSpinEditProgramAttempts", &TProgramCounters::ProgramAttempts);
  CSpinEditProgramSuccess = CounterBox(this, "CSpinEditProgramSuccess", &TProgramCounters::ProgramSuccess);
  ResetButton = new QPushButton("RESET", this);
  ResetButton->setObjectName("ResetButton");
  connect(ResetButton, &QPushButton::clicked, this, &TCountForm::ResetButtonClick);
  auto* form = new QFormLayout;
  form->addRow("Program Attempts", CSpinEditProgramAttempts);
  form->addRow("Program Success", CSpinEditProgramSuccess);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(ResetButton, 0, Qt::AlignHCenter);
  KeepTitleRoom(layout, windowTitle());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowCounters();
}

void TCountForm::ShowCounters() {
  const QSignalBlocker a(CSpinEditProgramAttempts), s(CSpinEditProgramSuccess);
  CSpinEditProgramAttempts->setValue(ProgramCounters.ProgramAttempts);
  CSpinEditProgramSuccess->setValue(ProgramCounters.ProgramSuccess);
}

void TCountForm::ResetButtonClick() {
  ResetCounters();
  ShowCounters();
}
