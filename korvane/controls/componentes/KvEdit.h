// The framed memo: a multi-line text box (the operation window's log) that
// draws its own flat frame, turns it "hot" while focused or under the mouse
// (FrameHotTrack), switches its background by state (Color, FocusColor,
// DisabledColor) and reports the caret's line and column (LineColChange)
// and what the clipboard allows (ClipboardChange). The mouse wheel scrolls
// one line a notch, the desktop's wheel lines with Ctrl, and never zooms.
// With TabOnEnter, Enter moves the focus like Tab.
#pragma once

#include <QPlainTextEdit>

#include "KvCommon.h"

class TKvMemo : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit TKvMemo(QWidget* parent = nullptr);

  QColor Color() const { return normal_; }
  void SetColor(const QColor& c);
  QColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(const QColor& c);
  QColor FocusColor() const { return focusColor_; }
  void SetFocusColor(const QColor& c);
  // The background shown now.
  QColor ColorActual() const;

  QColor FrameColor() const { return frameColor_; }
  void SetFrameColor(const QColor& c);
  QColor FrameHotColor() const { return frameHotColor_; }
  void SetFrameHotColor(const QColor& c);
  TFrameStyle FrameHotStyle() const { return frameHotStyle_; }
  void SetFrameHotStyle(TFrameStyle e);
  bool FrameHotTrack() const { return frameHotTrack_; }
  void SetFrameHotTrack(bool v);
  TSides FrameSides() const { return frameSides_; }
  void SetFrameSides(TSides s);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyle e);
  bool FrameVisible() const { return frameVisible_; }
  void SetFrameVisible(bool v);
  bool TabOnEnter() const { return tabOnEnter_; }
  void SetTabOnEnter(bool v) { tabOnEnter_ = v; }

  // The frame is drawn hot now.
  bool Caliente() const;
  // Caret line and column, from 1.
  int Line() const;
  int Col() const;
  void SetLine(int linea);
  // Moves the caret within its line; a column past the line's end + 1 is
  // refused. Returns the column the caret is at.
  int SetCol(int columna);

signals:
  void LineColChange(int linea, int columna);
  void ClipboardChange(bool puedeCortarCopiar, bool puedePegar);
  void MouseEnter();
  void MouseLeave();
  void MouseWheelUp();
  void MouseWheelDown();

protected:
  bool event(QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

private:
  void ActualizaColores();
  void ActualizaMarco();
  void Notifica();
  void NotificaPortapapeles();

  QColor normal_;
  QColor disabledColor_;
  QColor focusColor_;
  QColor frameColor_;
  QColor frameHotColor_;
  TFrameStyle frameHotStyle_ = fsFlatBold;
  bool frameHotTrack_ = false;
  TSides frameSides_ = sdAll;
  TFrameStyle frameStyle_ = fsFlat;
  bool frameVisible_ = false;
  bool tabOnEnter_ = false;
  bool raton_ = false;
  int resto_ = 0;  // wheel angle short of a notch
};
