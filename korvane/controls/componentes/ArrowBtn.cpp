#include "ArrowBtn.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <memory>

#include "KvCommon.h"

namespace {

// The checked pattern and the count of live buttons that may draw it.
std::unique_ptr<QImage> patron;
int botonesVivos = 0;

const QImage& PatronCompartido() {
  if (!patron) {
    patron = std::make_unique<QImage>(8, 8, QImage::Format_RGB32);
    const QRgb cara = clBtnFace().rgb(), luz = clBtnHighlight().rgb();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) patron->setPixel(x, y, (x % 2) == (y % 2) ? luz : cara);
  }
  return *patron;
}

// A strip's own disabled picture in the system colours: white becomes the
// highlight, mid grey the shadow and the transparent colour the face.
QImage DeshabilitadaPropia(const QImage& src, QRgb transparente) {
  QImage i = src.convertToFormat(QImage::Format_ARGB32);
  const QRgb luz = clBtnHighlight().rgb(), sombra = clBtnShadow().rgb(), cara = clBtnFace().rgb();
  for (int y = 0; y < i.height(); ++y)
    for (int x = 0; x < i.width(); ++x) {
      const QRgb p = i.pixel(x, y);
      if (p == transparente) i.setPixel(x, y, cara);
      else if (p == qRgb(255, 255, 255)) i.setPixel(x, y, luz);
      else if (p == qRgb(128, 128, 128)) i.setPixel(x, y, sombra);
    }
  return i;
}

// One-pixel edge of a flat button: sunken when pressed, raised otherwise.
void Borde(QPainter& p, const QRect& r, bool hundido) {
  if (hundido) StrokeSides(p, r, clBtnShadow(), clBtnHighlight(), sdAll);
  else StrokeSides(p, r, clBtnHighlight(), clBtnShadow(), sdAll);
}

}  // namespace

TDisposicionGlifo DisponeGlifo(const QRect& cliente, QSize glifo, QSize texto, TButtonLayout layout, int margin,
                               int spacing) {
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  const int espacio = horizontal ? cliente.width() : cliente.height();
  const int g = horizontal ? glifo.width() : glifo.height();
  const int t = horizontal ? texto.width() : texto.height();
  if (glifo.isEmpty() || texto.isEmpty()) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) margin = spacing = (espacio - g - t) / 3;
    else margin = (espacio - g - spacing - t) / 2;
  } else if (spacing == -1) {
    spacing = (espacio - margin - g - t) / 2;
  }
  // Positions along the layout's direction, from the client's start.
  int pg, pt;
  if (layout == blGlyphLeft || layout == blGlyphTop) {
    pg = margin;
    pt = pg + g + spacing;
  } else {
    pg = espacio - margin - g;
    pt = pg - spacing - t;
  }
  TDisposicionGlifo d;
  if (horizontal) {
    d.glifo = QRect(cliente.left() + pg, cliente.top() + (cliente.height() - glifo.height()) / 2, glifo.width(),
                    glifo.height());
    d.texto = QRect(cliente.left() + pt, cliente.top() + (cliente.height() - texto.height()) / 2, texto.width(),
                    texto.height());
  } else {
    d.glifo = QRect(cliente.left() + (cliente.width() - glifo.width()) / 2, cliente.top() + pg, glifo.width(),
                    glifo.height());
    d.texto = QRect(cliente.left() + (cliente.width() - texto.width()) / 2, cliente.top() + pt, texto.width(),
                    texto.height());
  }
  return d;
}

TArrowButton::TArrowButton(QWidget* parent) : QToolButton(parent) {
  ++botonesVivos;
  resize(42, 25);
  MuestraMenu = [](QMenu* m, const QPoint& p) { m->exec(p); };
}

TArrowButton::~TArrowButton() {
  if (--botonesVivos == 0) patron.reset();
}

const QImage* TArrowButton::Patron() { return patron.get(); }

void TArrowButton::SetArrowWidth(int w) {
  arrowWidth_ = w;
  update();
}

void TArrowButton::SetFlat(bool f) {
  flat_ = f;
  if (!f) inside_ = false;
  update();
}

void TArrowButton::SetFillFont(const QFont& f) {
  fillFont_ = f;
  update();
}

void TArrowButton::SetGlyph(const QPixmap& strip) {
  glyph_ = strip;
  HaceImagenes();
}

void TArrowButton::SetNumGlyphs(int n) {
  numGlyphs_ = std::clamp(n, 1, 4);
  HaceImagenes();
}

void TArrowButton::SetLayout(TButtonLayout l) {
  layout_ = l;
  update();
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

void TArrowButton::SetPressBoth(bool v) {
  pressBoth_ = v;
  update();
}

// One picture per state. The strip's lower-left colour is transparent in
// every picture; a strip without its own disabled picture gets an embossed
// one, and the down and exclusive states fall back to the up picture.
void TArrowButton::HaceImagenes() {
  update();
  imagenes_.fill(QImage());
  if (glyph_.isNull()) return;
  const QImage tira = glyph_.toImage().convertToFormat(QImage::Format_ARGB32);
  const int ancho = tira.width() / numGlyphs_;
  const QRgb transparente = tira.pixel(0, tira.height() - 1);
  auto corte = [&](int i) { return tira.copy(i * ancho, 0, ancho, tira.height()); };
  imagenes_[bsUp] = ConTransparente(corte(0), transparente);
  imagenes_[bsDisabled] = numGlyphs_ >= 2 ? DeshabilitadaPropia(corte(1), transparente) : Relieve(corte(0));
  imagenes_[bsDown] = numGlyphs_ >= 3 ? ConTransparente(corte(2), transparente) : imagenes_[bsUp];
  imagenes_[bsExclusive] = numGlyphs_ >= 4 ? ConTransparente(corte(3), transparente) : imagenes_[bsUp];
  for (QImage& i : imagenes_) i.setDevicePixelRatio(glyph_.devicePixelRatio());
}

bool TArrowButton::EnFlecha(const QPoint& p) const {
  return p.x() >= width() - arrowWidth_ && p.x() <= width() && p.y() >= 0 && p.y() <= height();
}

QRect TArrowButton::ParteFlecha() const { return QRect(width() - arrowWidth_, 0, arrowWidth_, height()); }

bool TArrowButton::hitButton(const QPoint& p) const {
  return p.x() >= 0 && p.x() < width() - arrowWidth_ && p.y() >= 0 && p.y() <= height();
}

TButtonState TArrowButton::Estado() const {
  if (!isEnabled()) return bsDisabled;
  if (down_) return bsExclusive;
  // A press on the arrow part leaves the main part up.
  if (isDown() && !arrowPressed_) return bsDown;
  return bsUp;
}

QRect TArrowButton::Cliente() const {
  const QRect cuerpo(0, 0, width() - arrowWidth_, height());
  if (flat_) return cuerpo.adjusted(1, 1, -1, -1);
  QStyleOptionButton o;
  o.initFrom(this);
  const int marco = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, this);
  return cuerpo.adjusted(marco, marco, -marco, -marco);
}

TDisposicionGlifo TArrowButton::Disposicion() const {
  const TButtonState e = Estado();
  QRect c = Cliente();
  if (e == bsDown || e == bsExclusive) c.translate(1, 1);
  const QImage& img = imagenes_[size_t(e)];
  const QSize glifo = img.isNull() ? QSize() : img.deviceIndependentSize().toSize();
  const QSize texto = text().isEmpty()
                          ? QSize()
                          : QFontMetrics(FuenteActual()).size(Qt::TextSingleLine | Qt::TextShowMnemonic, text());
  return DisponeGlifo(c, glifo, texto, layout_, margin_, spacing_);
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
  const QPoint p = e->position().toPoint();
  // A group button latches or is released before its click is announced.
  if (groupIndex_ && isDown() && hitButton(p) && e->button() == Qt::LeftButton) SetDown(!down_);
  QToolButton::mouseReleaseEvent(e);
  if (flat_ && isEnabled()) inside_ = rect().contains(p);
  update();
}

void TArrowButton::mouseDoubleClickEvent(QMouseEvent* e) {
  if (down_) emit DblClick();
  if (EnFlecha(e->position().toPoint())) return mousePressEvent(e);
  QToolButton::mouseDoubleClickEvent(e);
}

void TArrowButton::enterEvent(QEnterEvent* e) {
  QToolButton::enterEvent(e);
  if (flat_ && isEnabled()) {
    inside_ = true;
    update();
  }
}

void TArrowButton::leaveEvent(QEvent* e) {
  QToolButton::leaveEvent(e);
  if (inside_) {
    inside_ = false;
    update();
  }
}

void TArrowButton::changeEvent(QEvent* e) {
  QToolButton::changeEvent(e);
  switch (e->type()) {
    case QEvent::EnabledChange:
      inside_ = flat_ && isEnabled() && underMouse();
      HaceImagenes();
      break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange: HaceImagenes(); break;
    default: break;
  }
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
  QPainter p(this);
  const TButtonState estado = Estado();
  const bool pulsado = estado == bsDown || estado == bsExclusive;
  const bool raton = inside_ && isEnabled();
  auto marcoBoton = [&](const QRect& r, bool hundido) {
    QStyleOptionButton o;
    o.initFrom(this);
    o.rect = r;
    o.state |= hundido ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &o, &p, this);
  };

  // The main part: its frame, the pattern of a latched button, then the
  // glyph and the caption, moved by a pixel while pressed.
  const QRect cuerpo(0, 0, width() - arrowWidth_, height());
  if (!flat_) {
    p.fillRect(rect(), clBtnFace());
    marcoBoton(cuerpo, pulsado);
  } else if (pulsado || raton) {
    Borde(p, cuerpo, pulsado);
  }
  if (estado == bsExclusive && !(flat_ && raton)) p.fillRect(Cliente(), QBrush(PatronCompartido()));
  const TDisposicionGlifo d = Disposicion();
  const QImage& imagen = imagenes_[size_t(estado)];
  if (!imagen.isNull()) {
    if (!flat_ && estado != bsExclusive) p.fillRect(d.glifo, clBtnFace());
    p.drawImage(d.glifo.topLeft(), imagen);
  }
  if (!text().isEmpty()) {
    p.setFont(FuenteActual());
    const int f = Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (estado == bsDisabled) {
      p.setPen(clBtnHighlight());
      p.drawText(d.texto.translated(1, 1), f, text());
      p.setPen(clBtnShadow());
      p.drawText(d.texto, f, text());
    } else {
      p.setPen(clBtnText());
      p.drawText(d.texto, f | Qt::AlignCenter, text());
    }
  }

  // The arrow part.
  const QRect fl = ParteFlecha();
  const bool hundida = arrowPressed_ || (pressBoth_ && pulsado);
  if (!flat_) marcoBoton(fl, hundida);
  else if (raton) Borde(p, fl, hundida);
  // The arrow: lines narrowing by one pixel at each end, downwards.
  const int w = fl.width() / 2, h = fl.height() / 2;
  int izq = fl.left() + w / 2, der = fl.left() + fl.width() - w / 2;
  int y = fl.top() + fl.height() - (w / 2 + h) + 1;
  int dx = 0, dy = 0;
  if (hundida) dx = dy = 1;
  if (!flat_) dx -= 1;
  const QColor tinta = isEnabled() ? QColor(0, 0, 0) : clBtnShadow();
  while (der + 1 > izq) {
    if (der > izq) p.fillRect(QRect(izq + dx, y + dy, der - izq, 1), tinta);
    ++izq;
    --der;
    ++y;
  }
}
