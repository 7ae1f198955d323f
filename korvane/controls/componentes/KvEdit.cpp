#include "KvEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

#include "KvThemeSrv.h"

TKvMemo::TKvMemo(QWidget* parent)
    : QPlainTextEdit(parent),
      normal_(clWindow()),
      disabledColor_(clBtnFace()),
      focusColor_(clWindow()),
      frameColor_(clBtnShadow()),
      frameHotColor_(clBtnShadow()) {
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TKvMemo::Notifica);
  connect(this, &QPlainTextEdit::textChanged, this, &TKvMemo::Notifica);
  connect(this, &QPlainTextEdit::selectionChanged, this, &TKvMemo::NotificaPortapapeles);
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TKvMemo::NotificaPortapapeles);
  connect(&SharedThemeServices(), &TThemeServices::ThemeSwitch, this, [this] { ActualizaMarco(); });
  ActualizaColores();
}

// --- Colours -----------------------------------------------------------------------------

void TKvMemo::SetColor(const QColor& c) {
  if (focusColor_ == normal_) focusColor_ = c;
  normal_ = c;
  ActualizaColores();
}

void TKvMemo::SetDisabledColor(const QColor& c) {
  disabledColor_ = c;
  ActualizaColores();
}

void TKvMemo::SetFocusColor(const QColor& c) {
  focusColor_ = c;
  ActualizaColores();
}

QColor TKvMemo::ColorActual() const {
  if (!isEnabled()) return disabledColor_;
  if (hasFocus()) return focusColor_;
  return normal_;
}

void TKvMemo::ActualizaColores() {
  QPalette p = palette();
  const QColor c = ColorActual();
  for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) p.setColor(g, QPalette::Base, c);
  setPalette(p);
  viewport()->update();
  update();
}

// --- Frame -------------------------------------------------------------------------------

void TKvMemo::SetFrameColor(const QColor& c) { frameColor_ = c, ActualizaMarco(); }
void TKvMemo::SetFrameHotColor(const QColor& c) { frameHotColor_ = c, ActualizaMarco(); }
void TKvMemo::SetFrameHotStyle(TFrameStyle e) { frameHotStyle_ = e, ActualizaMarco(); }
void TKvMemo::SetFrameSides(TSides s) { frameSides_ = s & sdAll, ActualizaMarco(); }
void TKvMemo::SetFrameStyle(TFrameStyle e) { frameStyle_ = e, ActualizaMarco(); }

void TKvMemo::SetFrameVisible(bool v) {
  frameVisible_ = v;
  ActualizaMarco();
}

void TKvMemo::SetFrameHotTrack(bool v) {
  frameHotTrack_ = v;
  if (v) {
    frameVisible_ = true;
    frameSides_ = sdAll;
  }
  ActualizaMarco();
}

bool TKvMemo::Caliente() const { return frameHotTrack_ && (hasFocus() || raton_); }

void TKvMemo::ActualizaMarco() {
  // The frame takes two pixels whatever the style, so turning hot never
  // moves the text.
  const bool propio = frameVisible_ && !SharedThemeServices().ThemedDrawingEnabled();
  if (propio) {
    // A plain box of width 2 keeps the room; event() paints it our way.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(2);
    setMidLineWidth(0);
  } else {
    setFrameStyle(frameVisible_ ? int(QFrame::StyledPanel | QFrame::Sunken) : int(QFrame::NoFrame));
  }
  update();
}

bool TKvMemo::event(QEvent* e) {
  if (e->type() == QEvent::Paint && frameVisible_ && !SharedThemeServices().ThemedDrawingEnabled()) {
    QPainter p(this);
    const bool hot = Caliente();
    PaintControlFrame(p, width(), height(), false, frameSides_, hot ? frameHotColor_ : frameColor_, ColorActual(),
                      hot ? frameHotStyle_ : frameStyle_);
    return true;
  }
  return QPlainTextEdit::event(e);
}

// --- Caret and clipboard -------------------------------------------------------------------------

int TKvMemo::Line() const { return textCursor().blockNumber() + 1; }
int TKvMemo::Col() const { return textCursor().positionInBlock() + 1; }

void TKvMemo::SetLine(int linea) {
  const QTextBlock b = document()->findBlockByNumber(std::max(0, linea - 1));
  if (!b.isValid()) return;
  QTextCursor c(b);
  setTextCursor(c);
  verticalScrollBar()->setValue(b.firstLineNumber());
}

int TKvMemo::SetCol(int columna) {
  QTextCursor c = textCursor();
  const int largo = c.block().length() - 1;
  if (columna < 1 || columna > largo + 1) return largo + 1;
  c.setPosition(c.block().position() + columna - 1);
  setTextCursor(c);
  return columna;
}

void TKvMemo::Notifica() {
  emit LineColChange(Line(), Col());
  NotificaPortapapeles();
}

void TKvMemo::NotificaPortapapeles() {
  const QMimeData* m = QApplication::clipboard()->mimeData();
  emit ClipboardChange(textCursor().hasSelection(), m && m->hasText());
}

// --- Input -------------------------------------------------------------------------------------

void TKvMemo::wheelEvent(QWheelEvent* e) {
  resto_ += e->angleDelta().y();
  const int muescas = resto_ / 120;
  resto_ -= muescas * 120;
  for (int i = 0; i < std::abs(muescas); ++i) {
    if (muescas > 0) emit MouseWheelUp();
    else emit MouseWheelDown();
  }
  const int lineas = (e->modifiers() & Qt::ControlModifier) ? QApplication::wheelScrollLines() : 1;
  verticalScrollBar()->setValue(verticalScrollBar()->value() - muescas * lineas);
  e->accept();  // never the zoom a read-only text box does on Ctrl+wheel
}

void TKvMemo::keyPressEvent(QKeyEvent* e) {
  if (tabOnEnter_ && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
    // QPlainTextEdit refuses to pass the focus on while editable.
    QWidget::focusNextPrevChild(true);
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
  Notifica();
}

void TKvMemo::keyReleaseEvent(QKeyEvent* e) {
  QPlainTextEdit::keyReleaseEvent(e);
  Notifica();
}

void TKvMemo::mousePressEvent(QMouseEvent* e) {
  QPlainTextEdit::mousePressEvent(e);
  Notifica();
}

void TKvMemo::mouseReleaseEvent(QMouseEvent* e) {
  QPlainTextEdit::mouseReleaseEvent(e);
  NotificaPortapapeles();
}

void TKvMemo::focusInEvent(QFocusEvent* e) {
  QPlainTextEdit::focusInEvent(e);
  ActualizaColores();
}

void TKvMemo::focusOutEvent(QFocusEvent* e) {
  QPlainTextEdit::focusOutEvent(e);
  ActualizaColores();
}

void TKvMemo::enterEvent(QEnterEvent* e) {
  QPlainTextEdit::enterEvent(e);
  raton_ = true;
  emit MouseEnter();
  ActualizaColores();
}

void TKvMemo::leaveEvent(QEvent* e) {
  QPlainTextEdit::leaveEvent(e);
  raton_ = false;
  emit MouseLeave();
  ActualizaColores();
}

void TKvMemo::changeEvent(QEvent* e) {
  QPlainTextEdit::changeEvent(e);
  if (e->type() == QEvent::EnabledChange) ActualizaColores();
}
