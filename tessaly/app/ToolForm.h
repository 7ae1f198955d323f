// Base of Tessaly's tool windows beside the main window (configuration,
// code, data, ID, count, serial number): a tool-window frame, and a signal
// when the window is shown or closed, which the main window connects to the
// window's View menu item (checked while shown).
#pragma once

#include <QSpinBox>
#include <QWidget>

class TToolForm : public QWidget {
  Q_OBJECT
public:
  explicit TToolForm(QWidget* parent = nullptr);

signals:
  // FormShow (true) and FormClose (false).
  void shownChanged(bool shown);

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
};

// Room for a window's title in the frame a window manager puts around it,
// which draws the title in bold beside an icon and a few buttons and cuts
// what does not fit: `layout`, which sizes the window, gets an empty item as
// wide as that.
class QBoxLayout;
void KeepTitleRoom(QBoxLayout* layout, const QString& title);

// Mirrors checked states into a set of auto-exclusive radio buttons: the
// one that should be on is checked first, since the checked button of such
// a set refuses setChecked(false); a set with none on is cleared too.
class QRadioButton;
void MirrorRadios(const QList<QRadioButton*>& buttons, const QList<bool>& checked);

// A spin edit for counters and serial numbers: plain digits, wide enough
// for the widest number of its range.
class TSpinEdit : public QSpinBox {
  Q_OBJECT
public:
  TSpinEdit(QWidget* parent, const char* name, int low, int high);

protected:
  // Without group separators, which Qt would keep for the most negative value.
  QString textFromValue(int value) const override { return QString::number(value); }
};
