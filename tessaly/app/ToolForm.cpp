#include "ToolForm.h"

#include <QHideEvent>
#include <QRadioButton>
#include <QShowEvent>

TToolForm::TToolForm(QWidget* parent) : QWidget(parent, Qt::Tool) {}

void TToolForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) emit shownChanged(true);
}

void TToolForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) emit shownChanged(false);
}

void MirrorRadios(const QList<QRadioButton*>& buttons, const QList<bool>& checked) {
  for (int i = 0; i < buttons.size(); ++i)
    if (checked[i]) buttons[i]->setChecked(true);
  for (int i = 0; i < buttons.size(); ++i) {
    if (checked[i] || !buttons[i]->isChecked()) continue;
    buttons[i]->setAutoExclusive(false);
    buttons[i]->setChecked(false);
    buttons[i]->setAutoExclusive(true);
  }
}

TSpinEdit::TSpinEdit(QWidget* parent, const char* name, int low, int high) : QSpinBox(parent) {
  setObjectName(name);
  setRange(low, high);
  const QString a = QString::number(low), b = QString::number(high);
  setMinimumWidth(fontMetrics().horizontalAdvance((a.size() > b.size() ? a : b) + "00") + 30);
}
