#include "DeviceForm.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ts_device.h"

TDeviceForm::TDeviceForm(QWidget* parent) : QDialog(parent) {
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setRange(0, 100);
  ProgressBar->setMinimumWidth(ProgressBar->fontMetrics().horizontalAdvance(QString(40, 'x')));
  CancelBtn = new QPushButton("Cancel", this);
  layout->addWidget(ProgressBar);
  layout->addWidget(CancelBtn, 0, Qt::AlignHCenter);
  connect(CancelBtn, &QPushButton::clicked, this, &TDeviceForm::CancelBtnClick);
}

void TDeviceForm::EnableOthers(bool enable) {
  if (!enable) {
    othersDisabled_.clear();
    for (QWidget* w : others_)
      if (w && w->isEnabled()) {
        w->setEnabled(false);
        othersDisabled_.append(w);
      }
    return;
  }
  for (const QPointer<QWidget>& w : othersDisabled_)
    if (w) w->setEnabled(true);
  othersDisabled_.clear();
}

void TDeviceForm::Start(const QString& caption) {
  setWindowTitle(caption);
  ProgressBar->setValue(0);
  if (!isVisible()) {
    EnableOthers(false);
    show();
  }
  repaint();
}

void TDeviceForm::Position(int position) { ProgressBar->setValue(position); }

void TDeviceForm::Finish() {
  if (isVisible()) hide();
  EnableOthers(true);
}

void TDeviceForm::CancelBtnClick() { ::CancelBtnClick(); }

void TDeviceForm::closeEvent(QCloseEvent* event) {
  // Closing the frame while an operation runs is Cancel.
  if (isVisible()) {
    event->ignore();
    CancelBtnClick();
    return;
  }
  QDialog::closeEvent(event);
}

void TDeviceForm::reject() { CancelBtnClick(); }
