#include "ToolForm.h"

#include <QApplication>
#include <QBoxLayout>
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

void KeepTitleRoom(QBoxLayout* layout, const QString& title) {
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics m(bold);
  // An icon and up to five buttons, each about a line high with its padding.
  const int room = m.horizontalAdvance(title) + 8 * m.height();
  layout->addItem(new QSpacerItem(room, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
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
