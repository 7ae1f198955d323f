#include "ArrowBtn.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include "KvCommon.h"

TArrowButton::TArrowButton(QWidget* parent) : QToolButton(parent) {
  resize(42, 25);
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  MuestraMenu = [](QMenu* m, const QPoint& p) { m->exec(p); };
}

void TArrowButton::SetArrowWidth(int w) {
  arrowWidth_ = w;
  update();
}

void TArrowButton::SetGlyph(const QPixmap& strip) {
  glyph_ = strip;
  HaceIcono();
}

void TArrowButton::SetNumGlyphs(int n) {
  numGlyphs_ = std::clamp(n, 1, 4);
  HaceIcono();
}

void TArrowButton::SetMargin(int m) {
  if (m < -1) return;
  margin_ = m;
  update();
}

void TArrowButton::SetSpacing(int s) {
  spacing_ = s;
  update();
}

// The strip's pictures become the icon's normal, disabled and pressed
// modes; a missing disabled picture is left to the style, which greys the
// normal one.
void TArrowButton::HaceIcono() {
  if (glyph_.isNull()) return;
  const int ancho = glyph_.width() / numGlyphs_;
  auto corte = [&](int i) { return QPixmap::fromImage(ConTransparente(glyph_.copy(i * ancho, 0, ancho, glyph_.height()).toImage())); };
  QIcon icono(corte(0));
  if (numGlyphs_ >= 2) icono.addPixmap(corte(1), QIcon::Disabled);
  if (numGlyphs_ >= 3) icono.addPixmap(corte(2), QIcon::Active, QIcon::On);
  setIcon(icono);
  setIconSize(QSize(ancho, glyph_.height()));
}

void TArrowButton::SetPressBoth(bool v) {
  pressBoth_ = v;
  update();
}

bool TArrowButton::EnFlecha(const QPoint& p) const {
  return p.x() >= width() - arrowWidth_ && p.x() <= width() && p.y() >= 0 && p.y() <= height();
}

QRect TArrowButton::ParteFlecha() const { return QRect(width() - arrowWidth_, 0, arrowWidth_, height()); }

bool TArrowButton::hitButton(const QPoint& p) const {
  return p.x() >= 0 && p.x() < width() - arrowWidth_ && p.y() >= 0 && p.y() <= height();
}

void TArrowButton::mousePressEvent(QMouseEvent* e) {
  if (!isEnabled()) return;
  // A new press: the release of the press that opened the menu, when it did
  // not come here, went to the menu.
  descarta_ = false;
  const QPoint p = e->position().toPoint();
  if (!EnFlecha(p)) {
    QToolButton::mousePressEvent(e);
    return;
  }
  arrowPressed_ = true;
  repaint();
  if (dropDown_ && e->button() == Qt::LeftButton) {
    MuestraMenu(dropDown_, mapToGlobal(QPoint(0, height())));
    // Clicks made while the menu was open were meant for it, not for
    // whatever lies under the pointer now.
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                           QEvent::MouseMove})
      QCoreApplication::removePostedEvents(nullptr, t);
    if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
  }
  emit Drop();
  arrowPressed_ = false;
  // A menu that closed while the button was still held leaves that press's
  // release to come here; it is no click.
  descarta_ = true;
  update();
}

void TArrowButton::mouseReleaseEvent(QMouseEvent* e) {
  if (descarta_) {  // the release of the press that opened the menu
    descarta_ = false;
    return;
  }
  const bool dentro = hitButton(e->position().toPoint());
  QToolButton::mouseReleaseEvent(e);
  if (groupIndex_ && dentro && e->button() == Qt::LeftButton) SetDown(!down_);
}

void TArrowButton::mouseDoubleClickEvent(QMouseEvent* e) {
  if (EnFlecha(e->position().toPoint())) return mousePressEvent(e);
  QToolButton::mouseDoubleClickEvent(e);
}

void TArrowButton::SetDown(bool d) {
  if (!groupIndex_) d = false;
  // A down button of a group is released only by another member, unless
  // AllowAllUp lets a click release it.
  if (d == down_ || (down_ && !allowAllUp_)) return;
  down_ = d;
  if (d) AvisaGrupo();
  update();
}

void TArrowButton::SetGroupIndex(int g) {
  if (g == groupIndex_) return;
  groupIndex_ = g;
  AvisaGrupo();
}

void TArrowButton::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  AvisaGrupo();
}

void TArrowButton::AvisaGrupo() {
  if (!groupIndex_ || !parentWidget()) return;
  for (TArrowButton* b : parentWidget()->findChildren<TArrowButton*>(Qt::FindDirectChildrenOnly)) {
    if (b == this || b->groupIndex_ != groupIndex_) continue;
    b->allowAllUp_ = allowAllUp_;
    if (down_ && b->down_) {
      b->down_ = false;
      b->update();
    }
  }
}

void TArrowButton::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionToolButton o;
  initStyleOption(&o);
  o.features &= ~(QStyleOptionToolButton::Menu | QStyleOptionToolButton::HasMenu);
  o.subControls = QStyle::SC_ToolButton;
  const bool abajo = down_ || isDown();
  o.rect = QRect(0, 0, width() - arrowWidth_, height());
  if (abajo && !arrowPressed_) o.state |= QStyle::State_Sunken | QStyle::State_On;
  if (arrowPressed_ && !down_) o.state &= ~(QStyle::State_Sunken | QStyle::State_On);
  p.drawComplexControl(QStyle::CC_ToolButton, o);

  const QRect f = ParteFlecha();
  const bool hundida = arrowPressed_ || (pressBoth_ && abajo);
  const bool raton = underMouse() && isEnabled();
  if (!autoRaise() || raton || hundida) {
    QStyleOptionToolButton a;
    a.initFrom(this);
    a.rect = f;
    a.state |= QStyle::State_Raised;
    if (hundida) a.state |= QStyle::State_Sunken;
    if (!autoRaise()) a.state |= QStyle::State_AutoRaise;
    style()->drawPrimitive(autoRaise() ? QStyle::PE_PanelButtonTool : QStyle::PE_PanelButtonBevel, &a, &p, this);
  }
  // The arrow: lines narrowing by one pixel at each end, downwards.
  const int w = f.width() / 2, h = f.height() / 2;
  int izq = f.left() + w / 2, der = f.left() + f.width() - w / 2;
  int y = f.top() + f.height() - (w / 2 + h) + 1;
  int dx = 0, dy = 0;
  if (hundida) dx = dy = 1;
  if (!autoRaise()) dx -= 1;
  const QColor tinta = isEnabled() ? QColor(0, 0, 0) : clBtnShadow();
  while (der + 1 > izq) {
    if (der > izq) p.fillRect(QRect(izq + dx, y + dy, der - izq, 1), tinta);
    ++izq;
    --der;
    ++y;
  }
}
