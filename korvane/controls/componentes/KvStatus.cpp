#include "KvStatus.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusTipEvent>

#include "KvPanel.h"
#include "KvThemeSrv.h"

namespace {

int AnchoMarco(TFrameStyle e) {
  switch (e) {
    case fsNone: return 0;
    case fsFlat:
    case fsStatus:
    case fsPopup: return 1;
    default: return 2;
  }
}

TKvStatusBar* Barra(const QWidget* w) { return qobject_cast<TKvStatusBar*>(w->parentWidget()); }

}  // namespace

TKvCustomStatusPane::TKvCustomStatusPane(QWidget* parent) : QWidget(parent) {
  resize(100, 20);
  setMouseTracking(true);
  colorTexto_ = palette().color(QPalette::WindowText);
  TKvBlinkingControlsList::Add(this);
  connect(&SharedThemeServices(), &TThemeServices::ThemeSwitch, this, qOverload<>(&QWidget::update));
}

TKvCustomStatusPane::~TKvCustomStatusPane() { TKvBlinkingControlsList::Remove(this); }

QSize TKvCustomStatusPane::sizeHint() const { return QSize(autoSize_ ? AnchoPreferido() : width(), 20); }

void TKvCustomStatusPane::SetCaption(const QString& c) {
  if (c == caption_) return;
  caption_ = c;
  update();
  if (autoSize_) Redimensiona();
}

void TKvCustomStatusPane::SetAlign(TAlign a) {
  align_ = a;
  if (TKvStatusBar* b = Barra(this)) b->Coloca();
}

void TKvCustomStatusPane::SetAlignment(Qt::Alignment a) { if (a != alignment_) alignment_ = a, update(); }
void TKvCustomStatusPane::SetAutoSize(bool v) { autoSize_ = v, Redimensiona(); }
void TKvCustomStatusPane::SetDefaultWidth(int w) { defaultWidth_ = w, Redimensiona(); }
void TKvCustomStatusPane::SetCaptionOffset(int v) { captionOffset_ = v, update(), Redimensiona(); }
void TKvCustomStatusPane::SetBorderWidth(int v) { if (v != borderWidth_) borderWidth_ = std::max(0, v), update(); }
void TKvCustomStatusPane::SetFrameStyle(TFrameStyle e) { if (e != frameStyle_) frameStyle_ = e, update(); }
void TKvCustomStatusPane::SetFlatColor(const QColor& c) { flatColor_ = c, update(); }
void TKvCustomStatusPane::SetFlatColorAdjustment(int n) { if (n != flatColorAdjustment_) flatColorAdjustment_ = n, update(); }
void TKvCustomStatusPane::SetFillColor(const QColor& c) { fillColor_ = c, update(); }
void TKvCustomStatusPane::SetParentFillColor(bool v) {
  if (v) fillColor_ = QColor();
  else if (!fillColor_.isValid()) fillColor_ = Color();
  update();
}
QColor TKvCustomStatusPane::FillColor() const { return fillColor_.isValid() ? fillColor_ : Color(); }
QColor TKvCustomStatusPane::Color() const { return color_.isValid() ? color_ : palette().color(QPalette::Window); }
void TKvCustomStatusPane::SetColor(const QColor& c) { color_ = c, update(); }

void TKvCustomStatusPane::Redimensiona() {
  if (!autoSize_) return;
  resize(AnchoPreferido(), height());
  if (TKvStatusBar* b = Barra(this)) b->Coloca();
}

// --- Blinking ----------------------------------------------------------------------

void TKvCustomStatusPane::SetBlinking(bool v) {
  if (v == blinking_) return;
  blinking_ = v;
  if (!v) colorTexto_ = palette().color(QPalette::WindowText);
  update();
}

void TKvCustomStatusPane::SetBlinkColor(const QColor& c) { blinkColor_ = c, update(); }

void TKvCustomStatusPane::Blink(int estado) {
  if (!blinking_) return;
  colorTexto_ = estado ? (blinkColor_.isValid() ? blinkColor_ : clHighlight()) : palette().color(QPalette::WindowText);
  update();
}

int TKvCustomStatusPane::BlinkIntervalOn() { return TKvBlinkingControlsList::Instance()->IntervaloOn(); }
void TKvCustomStatusPane::SetBlinkIntervalOn(int ms) { TKvBlinkingControlsList::Instance()->SetIntervaloOn(ms); }
int TKvCustomStatusPane::BlinkIntervalOff() { return TKvBlinkingControlsList::Instance()->IntervaloOff(); }
void TKvCustomStatusPane::SetBlinkIntervalOff(int ms) { TKvBlinkingControlsList::Instance()->SetIntervaloOff(ms); }

void TKvCustomStatusPane::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange) {
    if (!blinking_) colorTexto_ = palette().color(QPalette::WindowText);
    if (e->type() == QEvent::FontChange) Redimensiona();
  }
  QWidget::changeEvent(e);
}

// --- Hints -------------------------------------------------------------------------------

void TKvCustomStatusPane::SetAutoHint(bool v) {
  autoHint_ = v;
  if (v && isVisible() && !vigilada_) showEvent(nullptr);
}

void TKvCustomStatusPane::showEvent(QShowEvent*) {
  if (!autoHint_ || vigilada_ == window()) return;
  if (vigilada_) vigilada_->removeEventFilter(this);
  vigilada_ = window();
  vigilada_->installEventFilter(this);
}

bool TKvCustomStatusPane::eventFilter(QObject* o, QEvent* e) {
  if (autoHint_ && o == vigilada_ && e->type() == QEvent::StatusTip) {
    SetCaption(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QWidget::eventFilter(o, e);
}

// --- Mouse ---------------------------------------------------------------------------------

void TKvCustomStatusPane::enterEvent(QEnterEvent*) { emit MouseEnter(); }
void TKvCustomStatusPane::leaveEvent(QEvent*) { emit MouseLeave(); }

bool TKvCustomStatusPane::SobreGrip(const QPoint& p) const {
  TKvStatusBar* b = Barra(this);
  if (!b || !b->GripVisible()) return false;
  if (geometry().right() < b->RectanguloCliente().right()) return false;
  return mapTo(b, p).x() >= b->width() - 12;
}

void TKvCustomStatusPane::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && SobreGrip(e->position().toPoint())) {
    Barra(this)->PulsaGrip();
    return;
  }
  // Kept here: the bar's own 13-pixel grip area does not reach over a pane.
  e->accept();
}

void TKvCustomStatusPane::mouseMoveEvent(QMouseEvent* e) {
  if (SobreGrip(e->position().toPoint())) setCursor(Qt::SizeFDiagCursor);
  else unsetCursor();
  QWidget::mouseMoveEvent(e);
}

// --- Geometry and painting --------------------------------------------------------------------

int TKvCustomStatusPane::AnchoPreferido() const {
  if (caption_.isEmpty()) return defaultWidth_;
  const QFontMetrics fm(font());
  return fm.horizontalAdvance(caption_) + 2 * borderWidth_ + captionOffset_ + 6;
}

QRect TKvCustomStatusPane::RectanguloInterior() const {
  const int n = borderWidth_ + AnchoMarco(frameStyle_);
  return rect().adjusted(n, n, -n, -n);
}

QRect TKvCustomStatusPane::RectanguloTexto() const { return RectanguloInterior(); }

int TKvCustomStatusPane::YTexto(const QRect& r) const { return r.top() + (r.height() - QFontMetrics(font()).height()) / 2; }

void TKvCustomStatusPane::PintaTexto(QPainter& p, const QString& t, const QRect& r, Qt::Alignment al, const QColor& color,
                                     bool relleno) {
  const QFontMetrics fm(font());
  const int ancho = fm.horizontalAdvance(t);
  int x = r.left() + captionOffset_ + 1;
  if (al & Qt::AlignRight) x = r.right() + 1 - captionOffset_ - 1 - ancho;
  else if (al & Qt::AlignHCenter) x = r.left() + r.width() / 2 - ancho / 2;
  const int base = YTexto(r) + fm.ascent();
  p.save();
  p.setClipRect(r);
  if (relleno) p.fillRect(r, FillColor());
  p.setFont(font());
  if (!isEnabled()) {
    p.setPen(clBtnHighlight());
    p.drawText(x + 1, base + 1, t);
    p.setPen(clBtnShadow());
  } else {
    p.setPen(color);
  }
  p.drawText(x, base, t);
  p.restore();
}

void TKvCustomStatusPane::paintEvent(QPaintEvent*) {
  ++pintadas_;
  QPainter p(this);
  TThemeServices& tema = SharedThemeServices();
  const bool temado = Barra(this) && tema.ThemedDrawingEnabled();
  if (temado) {
    tema.DrawThemedElement(p, TThemeServices::StatusElementDetails(2), rect(), this);
  } else {
    p.fillRect(rect(), Color());
    const QRect r = rect().adjusted(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    if (frameStyle_ == fsFlat) {
      PaintFlatOutline(p, r, ShadeBy(flatColor_.isValid() ? flatColor_ : clBtnShadow(), flatColorAdjustment_));
    } else {
      PaintFrameStyleAll(p, r, frameStyle_);
    }
  }
  PintaTexto(p, caption_, RectanguloTexto(), alignment_, colorTexto_, !temado);
  TKvStatusBar* b = Barra(this);
  if (b && b->GripVisible() && geometry().right() + 1 >= b->contentsRect().right() + 1) b->PintaGrip(p, pos());
}

// --- Field pane ---------------------------------------------------------------------------------

TKvCustomFieldStatus::TKvCustomFieldStatus(QWidget* parent) : TKvCustomStatusPane(parent) {}

void TKvCustomFieldStatus::SetFieldLabel(const QString& l) {
  if (l == fieldLabel_) return;
  fieldLabel_ = l;
  update();
  Redimensiona();
}

void TKvCustomFieldStatus::SetFieldLabelColor(const QColor& c) { fieldLabelColor_ = c, update(); }

int TKvCustomFieldStatus::AnchoEtiqueta() const {
  return fieldLabel_.isEmpty() ? 0 : QFontMetrics(font()).horizontalAdvance(fieldLabel_) + 2 * captionOffset_;
}

int TKvCustomFieldStatus::AnchoPreferido() const {
  if (caption_.isEmpty()) return defaultWidth_;
  return TKvCustomStatusPane::AnchoPreferido() + AnchoEtiqueta();
}

QRect TKvCustomFieldStatus::RectanguloTexto() const { return RectanguloInterior().adjusted(AnchoEtiqueta(), 0, 0, 0); }

void TKvCustomFieldStatus::paintEvent(QPaintEvent* e) {
  TKvCustomStatusPane::paintEvent(e);
  if (fieldLabel_.isEmpty()) return;
  QPainter p(this);
  const QRect i = RectanguloInterior();
  const QRect r(i.left(), i.top(), QFontMetrics(font()).horizontalAdvance(fieldLabel_) + captionOffset_ + 2, i.height());
  const bool temado = Barra(this) && SharedThemeServices().ThemedDrawingEnabled();
  PintaTexto(p, fieldLabel_, r, Qt::AlignLeft, fieldLabelColor_.isValid() ? fieldLabelColor_ : clHighlight(), !temado);
}
