#include "KvPanel.h"

#include <QChildEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShortcutEvent>
#include <QWindow>

#include "KvStatus.h"

// --- Panel ---------------------------------------------------------------------------

TKvCustomPanel::TKvCustomPanel(QWidget* parent) : QWidget(parent) { AjustaMargenes(); }

QMargins TKvCustomPanel::MargenesBordes() const {
  const int ancho = AnchoBorde(b_.BorderOuter, b_.BevelWidth) + b_.BorderWidth + AnchoBorde(b_.BorderInner, b_.BevelWidth);
  const TSides s = b_.BorderSides;
  return QMargins(s & sdLeft ? ancho : 0, s & sdTop ? ancho : 0, s & sdRight ? ancho : 0, s & sdBottom ? ancho : 0);
}

void TKvCustomPanel::AjustaMargenes() {
  setContentsMargins(MargenesBordes());
  update();
}

void TKvCustomPanel::SetBorderOuter(TFrameStyleEx e) {
  if (e != b_.BorderOuter) b_.BorderOuter = e, AjustaMargenes(), EstiloBordeCambiado();
}
void TKvCustomPanel::SetBorderInner(TFrameStyleEx e) {
  if (e != b_.BorderInner) b_.BorderInner = e, AjustaMargenes(), EstiloBordeCambiado();
}
void TKvCustomPanel::SetBorderWidth(int w) { if (w != b_.BorderWidth) b_.BorderWidth = std::max(0, w), AjustaMargenes(); }
void TKvCustomPanel::SetBorderSides(TSides s) {
  if ((s & sdAll) != b_.BorderSides) b_.BorderSides = s & sdAll, AjustaMargenes(), EstiloBordeCambiado();
}
void TKvCustomPanel::SetBevelWidth(int n) { if (n != b_.BevelWidth) b_.BevelWidth = std::max(1, n), AjustaMargenes(); }
void TKvCustomPanel::SetBorderColor(const QColor& c) { b_.BorderColor = c, update(); }
void TKvCustomPanel::SetBorderHighlight(const QColor& c) { b_.BorderHighlight = c, update(); }
void TKvCustomPanel::SetBorderShadow(const QColor& c) { b_.BorderShadow = c, update(); }
void TKvCustomPanel::SetFlatColor(const QColor& c) { b_.FlatColor = c, update(); }
void TKvCustomPanel::SetFlatColorAdjustment(int n) { b_.FlatColorAdjustment = n, update(); }
void TKvCustomPanel::SetAlignment(Qt::Alignment a) { alignment_ = a, update(); }
void TKvCustomPanel::SetAlignmentVertical(TAlignmentVertical a) { alignmentVertical_ = a, update(); }
void TKvCustomPanel::SetCaption(const QString& c) {
  caption_ = c;
  setAttribute(Qt::WA_StaticContents, !fullRepaint_ && caption_.isEmpty());
  update();
}

void TKvCustomPanel::SetFullRepaint(bool v) {
  fullRepaint_ = v;
  setAttribute(Qt::WA_StaticContents, !fullRepaint_ && caption_.isEmpty());
}

void TKvCustomPanel::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!testAttribute(Qt::WA_StaticContents)) return update();
  // The borders move with the right and bottom edges: their strips, at the
  // old place and the new, are drawn again.
  const QMargins m = MargenesBordes();
  const QSize antes = e->oldSize().isValid() ? e->oldSize() : size();
  for (const QSize& t : {antes, size()}) {
    update(QRect(t.width() - m.right(), 0, m.right(), t.height()));
    update(QRect(0, t.height() - m.bottom(), t.width(), m.bottom()));
  }
}

void TKvCustomPanel::SetTransparent(bool t) {
  if (t == b_.Transparent) return;
  b_.Transparent = t;
  setAttribute(Qt::WA_OpaquePaintEvent, !t);
  update();
}

void TKvCustomPanel::SetShowGrid(bool v) { if (v != showGrid_) showGrid_ = v, update(); }
QColor TKvCustomPanel::GridColor() const { return gridColor_.isValid() ? gridColor_ : clBtnShadow(); }
void TKvCustomPanel::SetGridColor(const QColor& c) { if (c != gridColor_) gridColor_ = c, update(); }
void TKvCustomPanel::SetGridStyle(TGridStyle g) { if (g != gridStyle_) gridStyle_ = g, update(); }
void TKvCustomPanel::SetGridXSize(int n) { if (std::max(1, n) != gridXSize_) gridXSize_ = std::max(1, n), update(); }
void TKvCustomPanel::SetGridYSize(int n) { if (std::max(1, n) != gridYSize_) gridYSize_ = std::max(1, n), update(); }

QColor TKvCustomPanel::Color() const { return color_.isValid() ? color_ : palette().color(QPalette::Window); }
void TKvCustomPanel::SetColor(const QColor& c) {
  color_ = c;
  if (c.isValid()) {
    QPalette p = palette();
    p.setColor(QPalette::Window, c);
    setPalette(p);
  }
  update();
}

QRect TKvCustomPanel::PintaPanel(QPainter& p) {
  TBordesPanel b = b_;
  b.Color = Color();
  b.ParentColor = parentWidget() ? parentWidget()->palette().color(QPalette::Window) : Color();
  QRect r = PaintPanelBorders(p, rect(), b);
  if (!b_.Transparent) p.fillRect(r, Color());
  if (showGrid_) PintaRejilla(p, r);
  return r;
}

void TKvCustomPanel::enterEvent(QEnterEvent* e) {
  QWidget::enterEvent(e);
  emit MouseEnter();
}

void TKvCustomPanel::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  emit MouseLeave();
}

QRect TKvCustomPanel::RectanguloInterior() const { return rect().marginsRemoved(MargenesBordes()); }

// Grid points at (left + i * GridXSize - 1, top + j * GridYSize - 1), i, j >= 1.
// The dotted lines set every second pixel counted from the first grid
// point, so that the points themselves are set.
void TKvCustomPanel::PintaRejilla(QPainter& p, const QRect& r) const {
  const QColor c = GridColor();
  const int x0 = r.left() + gridXSize_ - 1, y0 = r.top() + gridYSize_ - 1;
  switch (gridStyle_) {
    case gsDots:
      for (int x = x0; x <= r.right(); x += gridXSize_)
        for (int y = y0; y <= r.bottom(); y += gridYSize_) p.fillRect(QRect(x, y, 1, 1), c);
      break;
    case gsDottedLines:
      for (int x = x0; x <= r.right(); x += gridXSize_)
        for (int y = r.top() + (y0 - r.top()) % 2; y <= r.bottom(); y += 2) p.fillRect(QRect(x, y, 1, 1), c);
      for (int y = y0; y <= r.bottom(); y += gridYSize_)
        for (int x = r.left() + (x0 - r.left()) % 2; x <= r.right(); x += 2) p.fillRect(QRect(x, y, 1, 1), c);
      break;
    case gsSolidLines:
      for (int x = x0; x <= r.right(); x += gridXSize_) p.fillRect(QRect(x, r.top(), 1, r.height()), c);
      for (int y = y0; y <= r.bottom(); y += gridYSize_) p.fillRect(QRect(r.left(), y, r.width(), 1), c);
      break;
  }
}

void TKvCustomPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = PintaPanel(p);
  if (!caption_.isEmpty()) PintaCaption(p, r);
  emit Paint(p);
}

void TKvCustomPanel::PintaCaption(QPainter& p, QRect r) {
  r.adjust(1, 0, 0, 0);
  const QFontMetrics fm(font());
  const QRect medida = fm.boundingRect(r, int(alignment_ | Qt::TextWordWrap | Qt::TextExpandTabs), caption_);
  int top = r.top();
  if (alignmentVertical_ == avCenter) top = (r.top() + r.bottom() + 1 - medida.height()) / 2;
  else if (alignmentVertical_ == avBottom) top = r.bottom() + 1 - medida.height() - 1;
  const QRect t(r.left(), top, r.width(), medida.height());
  EscribeCaption(p, t, int(alignment_ | Qt::TextWordWrap | Qt::TextExpandTabs));
}

// Disabled, the caption is embossed: highlight one pixel right and down,
// then shadow.
void TKvCustomPanel::EscribeCaption(QPainter& p, const QRect& t, int banderas) {
  if (!isEnabled()) {
    p.setPen(clBtnHighlight());
    p.drawText(t.translated(1, 1), banderas, caption_);
    p.setPen(clBtnShadow());
  } else {
    p.setPen(palette().color(QPalette::WindowText));
  }
  p.drawText(t, banderas, caption_);
}

// --- Group box --------------------------------------------------------------------------

TKvGroupBox::TKvGroupBox(QWidget* parent) : TKvCustomPanel(parent) {
  b_.BorderOuter = fsNone;
  b_.BorderInner = fsNone;
  alignment_ = Qt::AlignLeft;
  alignmentVertical_ = avTop;
  resize(width(), 105);
  AjustaMargenes();
}

void TKvGroupBox::SetGroupStyle(TKvGroupBoxStyle g) {
  if (g == groupStyle_) return;
  groupStyle_ = g;
  if (g == gsCustom || g == gsTopLine) SetThemeAware(false);
  AjustaMargenes();
}

void TKvGroupBox::SetCaption(const QString& c) {
  TKvCustomPanel::SetCaption(c);
  if (atajo_) releaseShortcut(atajo_);
  atajo_ = 0;
  const QKeySequence m = QKeySequence::mnemonic(c);
  if (!m.isEmpty()) atajo_ = grabShortcut(m);
  AjustaMargenes();
  updateGeometry();
}

int TKvGroupBox::TopMarco() const { return QFontMetrics(font()).height() / 2 - 1; }

QRect TKvGroupBox::RectanguloCaption() const {
  if (groupStyle_ == gsCustom || caption_.isEmpty()) return QRect();
  const QFontMetrics fm(font());
  const int ancho = fm.horizontalAdvance(QString(caption_).replace("&&", "\x01").remove('&').replace('\x01', '&'));
  int x = groupStyle_ == gsTopLine ? 0 : 8;
  if (layoutDirection() == Qt::RightToLeft) x = width() - 8 - ancho;
  return QRect(x, 0, ancho, fm.height());
}

QSize TKvGroupBox::sizeHint() const { return ConCaption(TKvCustomPanel::sizeHint()); }
QSize TKvGroupBox::minimumSizeHint() const { return ConCaption(TKvCustomPanel::minimumSizeHint()); }

QSize TKvGroupBox::ConCaption(QSize s) const {
  const QRect c = RectanguloCaption();
  if (c.isEmpty()) return s;
  const int ancho = groupStyle_ == gsTopLine ? c.width() : c.width() + 2 * 8;
  return QSize(std::max(s.width(), ancho), std::max(s.height(), contentsMargins().top() + contentsMargins().bottom()));
}

void TKvGroupBox::AjustaMargenes() {
  if (groupStyle_ == gsCustom) {
    TKvCustomPanel::AjustaMargenes();
    const QMargins m = contentsMargins();
    const int h = QFontMetrics(font()).height();
    setContentsMargins(m.left() + 2, m.top() + h + 2, m.right() + 2, m.bottom() + 2);
    return;
  }
  const int h = QFontMetrics(font()).height();
  const int a = h / 2 - 1;
  const int top = a < b_.BorderWidth ? a : h - b_.BorderWidth;
  const int dentro = groupStyle_ == gsStandard ? 2 : 1;
  setContentsMargins(b_.BorderWidth + dentro, b_.BorderWidth + top + dentro, b_.BorderWidth + dentro,
                     b_.BorderWidth + dentro);
  update();
}

void TKvGroupBox::paintEvent(QPaintEvent* e) {
  if (groupStyle_ == gsCustom) return TKvCustomPanel::paintEvent(e);
  QPainter p(this);
  const QRect caption = RectanguloCaption();
  if (!b_.Transparent) p.fillRect(rect(), Color());
  QRect marco = rect();
  marco.setTop(TopMarco());
  const QColor plano = ShadeBy(b_.FlatColor.isValid() ? b_.FlatColor : clBtnShadow(), b_.FlatColorAdjustment);
  const TFrameStyleEx estilo = b_.BorderOuter == fsNone ? fsGroove : b_.BorderOuter;
  const TSides lados = groupStyle_ == gsTopLine ? TSides(sdTop) : sdAll;
  if (groupStyle_ == gsFlat) {
    PaintRoundedFlatSides(p, marco, plano, sdAll);
  } else if (estilo == fsFlat || estilo == fsFlatBold) {
    const int anillos = estilo == fsFlatBold ? 2 : 1;
    if (groupStyle_ == gsTopLine)
      for (int i = 0; i < anillos; ++i) p.fillRect(QRect(marco.left() + 2, marco.top() + i, marco.width() - 4, 1), plano);
    else StrokeBevel(p, marco, plano, plano, sdAll, anillos);
  } else {
    PaintFrameStyle(p, marco, estilo, lados);
  }
  if (!caption.isEmpty()) {
    if (!b_.Transparent) p.fillRect(caption, Color());
    EscribeCaption(p, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic);
  }
  emit Paint(p);
}

bool TKvGroupBox::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == atajo_) {
    for (QWidget* w : findChildren<QWidget*>()) {
      if (w->isVisibleTo(this) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
        w->setFocus(Qt::ShortcutFocusReason);
        break;
      }
    }
    return true;
  }
  return TKvCustomPanel::event(e);
}

// --- Status bar ---------------------------------------------------------------------------

TKvStatusBar::TKvStatusBar(QWidget* parent) : TKvCustomPanel(parent) {
  b_.BorderOuter = fsNone;
  b_.BorderInner = fsNone;
  setMouseTracking(true);
  setFixedHeight(19);
  AjustaMargenes();
  IniciaRedimension = [this](Qt::Edges bordes) {
    if (QWindow* v = window()->windowHandle()) v->startSystemResize(bordes);
  };
}

QSize TKvStatusBar::sizeHint() const { return QSize(200, 19); }

void TKvStatusBar::SetShowSizeGrip(bool v) {
  showSizeGrip_ = v;
  Coloca();
  update();
}

void TKvStatusBar::SetSimpleStatus(bool v) {
  simpleStatus_ = v;
  for (TKvCustomStatusPane* p : findChildren<TKvCustomStatusPane*>(Qt::FindDirectChildrenOnly)) p->setVisible(!v);
  update();
}

void TKvStatusBar::SetSimpleCaption(const QString& c) {
  simpleCaption_ = c;
  update();
}

void TKvStatusBar::SetSimpleFrameStyle(TFrameStyle e) {
  simpleFrameStyle_ = e;
  update();
}

bool TKvStatusBar::GripVisible() const {
  if (!showSizeGrip_) return false;
  const QWidget* w = window();
  if (!w || w == this) return false;
  const bool redimensionable = w->minimumSize() != w->maximumSize() &&
                               !(w->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
  return redimensionable && !(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
}

QRect TKvStatusBar::AreaGrip() const { return QRect(width() - 13, 0, 13, height()); }

bool TKvStatusBar::EnGrip(const QPoint& p) const { return GripVisible() && p.x() >= width() - 13 && p.x() < width(); }

void TKvStatusBar::PulsaGrip() {
  if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
  if (IniciaRedimension) IniciaRedimension(Qt::RightEdge | Qt::BottomEdge);
}

void TKvStatusBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && EnGrip(e->position().toPoint())) return PulsaGrip();
  TKvCustomPanel::mousePressEvent(e);
}

void TKvStatusBar::mouseMoveEvent(QMouseEvent* e) {
  if (EnGrip(e->position().toPoint())) setCursor(Qt::SizeFDiagCursor);
  else unsetCursor();
  TKvCustomPanel::mouseMoveEvent(e);
}

void TKvStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PintaPanel(p);
  if (simpleStatus_) {
    const QRect r(0, 2, width(), height() - 2);
    p.fillRect(r, Color());
    if (simpleFrameStyle_ == fsFlat) {
      PaintFlatOutline(p, r, ShadeBy(b_.FlatColor.isValid() ? b_.FlatColor : clBtnShadow(), b_.FlatColorAdjustment));
    } else {
      PaintFrameStyleAll(p, r, simpleFrameStyle_);
    }
    const QRect t = r.adjusted(1, 1, -1, -1);
    const QFontMetrics fm(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(t.left() + 2, t.top() + (t.height() - fm.height()) / 2 + fm.ascent(), simpleCaption_);
  }
  emit Paint(p);
  if (GripVisible()) PintaGrip(p, QPoint(0, 0));
}

void TKvStatusBar::Loaded() {
  if (!autoStyle_) return;
  b_.BorderOuter = fsNone;
  b_.BorderInner = fsNone;
  b_.BorderSides = sdAll;
  b_.BorderWidth = 0;
  setFixedHeight(19);
  AjustaMargenes();
}

bool TKvStatusBar::event(QEvent* e) {
  if (e->type() == QEvent::Polish) Loaded();
  return TKvCustomPanel::event(e);
}

QRect TKvStatusBar::RectanguloCliente() const {
  QRect r = contentsRect();
  if (simpleStatus_) {
    r.setTop(2);
  } else {
    r.setTop(1);
    r.adjust(-1, 0, 1, 0);
  }
  r.setBottom(r.bottom() + 1);
  return r;
}

void TKvStatusBar::PintaGrip(QPainter& p, const QPoint& origen) const {
  const int R = width() + 1, B = height();
  const QColor luz = clBtnHighlight(), sombra = clBtnShadow();
  const QPoint puntos[] = {{R - 5, B - 12}, {R - 5, B - 8}, {R - 5, B - 4}, {R - 9, B - 8}, {R - 9, B - 4}, {R - 13, B - 4}};
  for (const QPoint& q0 : puntos) {
    const QPoint q = q0 - origen;
    p.fillRect(QRect(q.x() - 1, q.y() - 1, 2, 2), sombra);
    p.fillRect(QRect(q.x(), q.y(), 2, 2), luz);
  }
}

void TKvStatusBar::Coloca() {
  const QRect area = RectanguloCliente();
  int izq = area.left(), der = area.right() + 1;
  TKvCustomStatusPane* cliente = nullptr;
  for (TKvCustomStatusPane* p : findChildren<TKvCustomStatusPane*>(Qt::FindDirectChildrenOnly)) {
    if (p->isHidden() && !simpleStatus_) continue;
    const int ancho = p->AutoSize() ? p->AnchoPreferido() : p->width();
    switch (p->Align()) {
      case alLeft:
        p->setGeometry(izq, area.top(), ancho, area.height());
        izq += ancho;
        break;
      case alRight:
        der -= ancho;
        p->setGeometry(der, area.top(), ancho, area.height());
        break;
      case alClient: cliente = p; break;
      case alNone: break;
    }
  }
  if (cliente) cliente->setGeometry(izq, area.top(), std::max(0, der - izq), area.height());
}

void TKvStatusBar::resizeEvent(QResizeEvent* e) {
  TKvCustomPanel::resizeEvent(e);
  const int antes = e->oldSize().width(), cambio = width() - antes;
  if (autoScalePanes_ && antes > 0 && cambio != 0)
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      w->resize(w->width() + qRound(double(cambio) * w->width() / antes), w->height());
  Coloca();
}

void TKvStatusBar::childEvent(QChildEvent* e) {
  TKvCustomPanel::childEvent(e);
  if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildRemoved) Coloca();
}

void TKvStatusBar::showEvent(QShowEvent* e) {
  TKvCustomPanel::showEvent(e);
  if (vigilada_ != window()) {
    if (vigilada_) vigilada_->removeEventFilter(this);
    vigilada_ = window();
    if (vigilada_ != this) vigilada_->installEventFilter(this);
  }
  Coloca();
}

bool TKvStatusBar::eventFilter(QObject* o, QEvent* e) {
  if (o == vigilada_ && e->type() == QEvent::WindowStateChange) update();
  return TKvCustomPanel::eventFilter(o, e);
}
