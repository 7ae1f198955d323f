#include "TransBtn.h"

#include <QEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include "KvCommon.h"

namespace {

QImage Gris(const QImage& src) {
  QImage i = src.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < i.height(); ++y)
    for (int x = 0; x < i.width(); ++x) {
      const QRgb p = i.pixel(x, y);
      const int g = (11 * qRed(p) + 59 * qGreen(p) + 30 * qBlue(p)) / 100;
      i.setPixel(x, y, qRgba(g, g, g, qAlpha(p)));
    }
  return i;
}

QImage Patron() {
  QImage p(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) p.setPixel(x, y, (x % 2) == (y % 2) ? qRgb(255, 255, 255) : clBtnFace().rgb());
  return p;
}

}  // namespace

TTransparentButton::TTransparentButton(QWidget* parent) : QWidget(parent), color_(clWindow()) {
  resize(40, 40);
  setAttribute(Qt::WA_Hover);
  setMouseTracking(true);
}

void TTransparentButton::SetCaption(const QString& c) {
  caption_ = c.left(8);
  if (atajo_) releaseShortcut(atajo_);
  atajo_ = 0;
  const QKeySequence m = QKeySequence::mnemonic(caption_);
  if (!m.isEmpty()) atajo_ = grabShortcut(m);
  update();
}

void TTransparentButton::SetDown(bool d) {
  if (d == down_) return;
  down_ = d;
  pressed_ = d;
  repaint();
}

void TTransparentButton::SetAutoGray(bool v) { if (v != autoGray_) autoGray_ = v, Cambia(); }
void TTransparentButton::SetBorderWidth(int v) { if (v != borderWidth_) borderWidth_ = v, Cambia(); }
void TTransparentButton::SetColor(const QColor& c) { color_ = c, Cambia(); }
void TTransparentButton::SetFlat(bool v) { if (v != flat_) flat_ = v, Cambia(); }
void TTransparentButton::SetFrameStyle(TKlFrameStyle v) { if (v != frameStyle_) frameStyle_ = v, Cambia(); }
void TTransparentButton::SetSpacing(int v) { if (v != spacing_) spacing_ = v, Cambia(); }
void TTransparentButton::SetTextAlign(TKlTextAlign v) { if (v != textAlign_) textAlign_ = v, Cambia(); }
void TTransparentButton::SetTransparent(bool v) { if (v != transparent_) transparent_ = v, Cambia(); }
void TTransparentButton::SetWordWrap(bool v) { if (v != wordWrap_) wordWrap_ = v, Cambia(); }

void TTransparentButton::SetNumGlyphs(int n) {
  n = std::clamp(n, 1, 4);
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  RehaceImagenes();
}

void TTransparentButton::SetGlyph(const QPixmap& g) {
  glyph_ = g;
  if (g.height() > 0 && g.width() % g.height() == 0) {
    const int n = g.width() / g.height();
    numGlyphs_ = n > 4 ? 1 : n;
  }
  RehaceImagenes();
}

void TTransparentButton::RehaceImagenes() {
  update();
  if (glyph_.isNull()) return;
  imagenes_.clear();
  const QImage tira = glyph_.toImage();
  const int ancho = tira.width() / numGlyphs_;
  for (int i = 0; i < numGlyphs_; ++i) imagenes_.push_back(ConTransparente(tira.copy(i * ancho, 0, ancho, tira.height())));
  const QImage primera = tira.copy(0, 0, ancho, tira.height());
  imagenes_.push_back(Gris(imagenes_.front()));
  imagenes_.push_back(Relieve(primera));
}

int TTransparentButton::IndiceImagen() const {
  if (glyph_.isNull() || imagenes_.empty()) return -1;
  const bool habilitado = isEnabled();
  int i = 0;
  if (numGlyphs_ == 2) i = habilitado ? 0 : 1;
  else if (numGlyphs_ >= 3) i = !habilitado ? 1 : (pressed_ || down_) ? 2 : 0;
  const int n = static_cast<int>(imagenes_.size());
  if ((flat_ || frameStyle_ == TKlFrameStyle::fsExplorer) && autoGray_ && !inside_ && !down_) i = n - 2;
  if (!habilitado && numGlyphs_ == 1) i = n - 1;
  return i;
}

QRect TTransparentButton::RectanguloImagen() const {
  const int ancho = !imagenes_.empty() ? imagenes_.front().width() : glyph_.width();
  const int alto = !imagenes_.empty() ? imagenes_.front().height() : glyph_.height();
  int top = 0;
  switch (textAlign_) {
    case TKlTextAlign::ttaBottomRight:
    case TKlTextAlign::ttaBottom:
    case TKlTextAlign::ttaBottomLeft: top = spacing_; break;
    case TKlTextAlign::ttaTopLeft:
    case TKlTextAlign::ttaTop:
    case TKlTextAlign::ttaTopRight: top = height() - alto - spacing_; break;
    default: top = (height() - alto) / 2;
  }
  return QRect(7, top, ancho, alto);
}

QRect TTransparentButton::RectanguloTexto() const {
  const QFontMetrics fm(font());
  const QRect medida = wordWrap_ ? fm.boundingRect(QRect(0, 0, width(), height()), Qt::TextWordWrap | Qt::TextShowMnemonic, caption_)
                                 : QRect(0, 0, fm.horizontalAdvance(QString(caption_).remove('&')), fm.height());
  // The caption is centred in the room right of the picture (the whole
  // button without one), and never starts over the picture.
  const int izquierda = glyph_.isNull() ? 0 : RectanguloImagen().right() + 3;
  const int derecha = width() - borderWidth_ - 1;
  const int x = std::max(izquierda, izquierda + (derecha - izquierda - medida.width()) / 2);
  QRect r(x, height() / 2 - medida.height() / 2, medida.width(), medida.height());
  if (pressed_ && showPressed_) r.translate(offset_, offset_);
  return r;
}

void TTransparentButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  if (!transparent_) p.fillRect(r, color_);
  const bool mostrado = !flat_ || inside_;
  const bool pulsado = pressed_ && showPressed_;
  const QColor negro(0, 0, 0), hi = clBtnHighlight(), sh = clBtnShadow(), cara = clBtnFace(), dk = cl3DDkShadow();
  auto marco = [&](const QColor& a, const QColor& b) { r = StrokeBevel(p, r, a, b, sdAll, borderWidth_); };
  switch (frameStyle_) {
    case TKlFrameStyle::fsRegular:
      if (pulsado) marco(negro, hi), marco(sh, cara);
      else if (mostrado) marco(hi, negro), marco(QColor(223, 223, 223), sh);
      break;
    case TKlFrameStyle::fsIndent:
      if (pulsado) marco(negro, hi), marco(sh, cara);
      else if (mostrado) marco(sh, hi), marco(hi, sh);
      break;
    case TKlFrameStyle::fsExplorer:
      if (pressed_ && (inside_ || down_)) showPressed_ ? marco(sh, hi) : marco(hi, sh);
      else if (inside_) marco(hi, sh);
      break;
    case TKlFrameStyle::fsNone: break;
    case TKlFrameStyle::fsLight:
      if (pulsado) marco(sh, hi);
      else if (mostrado) marco(hi, sh);
      break;
    case TKlFrameStyle::fsDark:
      if (pulsado) marco(dk, cara);
      else if (mostrado) marco(cara, dk);
      break;
    case TKlFrameStyle::fsMono:
      if (pulsado) marco(dk, hi);
      else if (mostrado) marco(hi, dk);
      break;
  }
  if (down_) {
    const int b = borderWidth_ + 1;
    p.fillRect(rect().adjusted(b, b, -b, -b), QBrush(Patron()));
  }
  const int i = IndiceImagen();
  if (i >= 0) {
    QRect ri = RectanguloImagen();
    if (pulsado || down_) ri.translate(offset_, offset_);
    p.drawImage(ri.topLeft(), imagenes_[static_cast<size_t>(i)]);
  }
  if (!caption_.isEmpty()) {
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(RectanguloTexto(), Qt::AlignCenter | Qt::TextShowMnemonic | (wordWrap_ ? Qt::TextWordWrap : 0),
               caption_);
  }
}

void TTransparentButton::Click() {
  emit clicked();
  if (!down_) SetDown(true);
}

void TTransparentButton::mousePressEvent(QMouseEvent* e) {
  if (!isEnabled()) return;
  if (rect().contains(e->position().toPoint())) {
    pressed_ = true;
    pulsadoRaton_ = e->button() == Qt::LeftButton;
    repaint();
  }
}

void TTransparentButton::mouseReleaseEvent(QMouseEvent* e) {
  if (!isEnabled()) return;
  const bool click = pulsadoRaton_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  pulsadoRaton_ = false;
  if (!down_) {
    pressed_ = false;
    repaint();
  }
  if (click) Click();
}

void TTransparentButton::enterEvent(QEnterEvent*) {
  if (!isEnabled()) return;
  inside_ = true;
  emit MouseEnter();
  if (flat_) update();
}

void TTransparentButton::leaveEvent(QEvent*) {
  if (!isEnabled()) return;
  inside_ = false;
  emit MouseExit();
  if (flat_) update();
}

void TTransparentButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange && !isEnabled()) {
    pressed_ = down_;
    inside_ = false;
    update();
  }
  QWidget::changeEvent(e);
}

bool TTransparentButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == atajo_) {
    if (isEnabled()) Click();
    return true;
  }
  return QWidget::event(e);
}
