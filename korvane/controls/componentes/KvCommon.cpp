#include "KvCommon.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

QColor Rol(QPalette::ColorRole r) { return QApplication::palette().color(QPalette::Active, r); }

void Punto(QPainter& p, int x, int y, const QColor& c) {
  if (c.isValid()) p.fillRect(QRect(x, y, 1, 1), c);
}
void LineaH(QPainter& p, int x0, int x1, int y, const QColor& c) {  // x1 exclusive
  if (c.isValid() && x1 > x0) p.fillRect(QRect(x0, y, x1 - x0, 1), c);
}
void LineaV(QPainter& p, int x, int y0, int y1, const QColor& c) {  // y1 exclusive
  if (c.isValid() && y1 > y0) p.fillRect(QRect(x, y0, 1, y1 - y0), c);
}

// (left, top, right, bottom), right and bottom exclusive.
struct Ltrb {
  int l, t, r, b;
};
Ltrb A(const QRect& q) { return {q.x(), q.y(), q.x() + q.width(), q.y() + q.height()}; }
QRect Q(const Ltrb& k) { return QRect(k.l, k.t, k.r - k.l, k.b - k.t); }

QRect Reduce(QRect r, TSides lados, int n) {
  Ltrb k = A(r);
  if (lados & sdLeft) k.l += n;
  if (lados & sdTop) k.t += n;
  if (lados & sdRight) k.r -= n;
  if (lados & sdBottom) k.b -= n;
  return Q(k);
}

QRect Etched(QPainter& p, QRect r, const QColor& a, const QColor& b, TSides s) {
  const Ltrb k = A(r);
  const bool L = s & sdLeft, T = s & sdTop, R = s & sdRight, B = s & sdBottom;
  if (R) Punto(p, k.r - 1, k.t, b);
  if (T && !R) Punto(p, k.r - 1, k.t, a);
  if (B) Punto(p, k.l, k.b - 1, b);
  if (L && !B) Punto(p, k.l, k.b - 1, a);
  if (T && !L) Punto(p, k.l, k.t + 1, b);
  if (L && !T) Punto(p, k.l + 1, k.t, b);
  if (B && !R) Punto(p, k.r - 1, k.b - 2, a);
  if (R && !B) Punto(p, k.r - 2, k.b - 1, a);
  StrokeSides(p, Q({k.l + 1, k.t + 1, k.r, k.b}), b, b, s);
  StrokeSides(p, Q({k.l, k.t, k.r - 1, k.b - 1}), a, a, s);
  return Reduce(r, s, 2);
}

QRect DosAnillos(QPainter& p, QRect r, TSides s, const QColor& a1, const QColor& b1, const QColor& a2,
                 const QColor& b2) {
  r = StrokeSides(p, r, a1, b1, s);
  return StrokeSides(p, r, a2, b2, s);
}

// The frame-style table in terms of four tint functions, so the system
// colours and the tinted ones share the one drawing.
struct Tintes {
  QColor flat, grooveA, grooveB;
  QColor lowered[4], raised[4], down[4], up[4];
  QColor statusA, statusB, bold;
};

QRect PintaEstilo(QPainter& p, QRect r, TFrameStyle e, TSides s, const Tintes& t) {
  switch (e) {
    case fsNone:
    case fsFlatRounded: return r;
    case fsFlat: return StrokeSides(p, r, t.flat, t.flat, s);
    case fsGroove: return Etched(p, r, t.grooveA, t.grooveB, s);
    case fsBump: return Etched(p, r, t.grooveB, t.grooveA, s);
    case fsLowered: return DosAnillos(p, r, s, t.lowered[0], t.lowered[1], t.lowered[2], t.lowered[3]);
    case fsRaised: return DosAnillos(p, r, s, t.raised[0], t.raised[1], t.raised[2], t.raised[3]);
    case fsButtonDown: return DosAnillos(p, r, s, t.down[0], t.down[1], t.down[2], t.down[3]);
    case fsButtonUp: return DosAnillos(p, r, s, t.up[0], t.up[1], t.up[2], t.up[3]);
    case fsStatus: return StrokeSides(p, r, t.statusA, t.statusB, s);
    case fsPopup: return StrokeSides(p, r, t.statusB, t.statusA, s);
    case fsFlatBold: return StrokeBevel(p, r, t.bold, t.bold, s, 2);
  }
  return r;
}

QColor O(const QColor& c, const QColor& def) { return c.isValid() ? c : def; }

QRect BordeUno(QPainter& p, QRect r, TFrameStyleEx e, const TBordesPanel& b, bool interior) {
  const QColor plano = ShadeBy(O(b.FlatColor, clBtnShadow()), b.FlatColorAdjustment);
  const QColor luz = O(b.BorderHighlight, clBtnHighlight());
  const QColor sombra = O(b.BorderShadow, clBtnShadow());
  const QColor borde = O(b.BorderColor, clBtnFace());
  const QColor color = O(b.Color, clBtnFace());
  switch (e) {
    case fsFlat: return StrokeSides(p, r, plano, plano, b.BorderSides);
    case fsFlatBold: return StrokeBevel(p, r, plano, plano, b.BorderSides, 2);
    case fsFlatRounded: {
      QRect dentro = r;
      if (!interior) {
        const bool anillo = b.BorderWidth > 0 || b.BorderInner != fsNone;
        if (!b.Transparent) {
          dentro = StrokeSides(p, r, O(b.ParentColor, clBtnFace()), O(b.ParentColor, clBtnFace()), b.BorderSides);
          if (anillo) StrokeSides(p, dentro, borde, borde, b.BorderSides);
          else StrokeSides(p, dentro, color, color, b.BorderSides);
        } else if (anillo) {
          StrokeSides(p, Reduce(r, b.BorderSides, 1), borde, borde, b.BorderSides);
        }
      } else {
        QRect d = StrokeSides(p, r, borde, borde, b.BorderSides);
        if (!b.Transparent) StrokeSides(p, d, color, color, b.BorderSides);
      }
      return PaintRoundedFlatSides(p, r, plano, b.BorderSides);
    }
    case fsStatus: return StrokeBevel(p, r, sombra, luz, b.BorderSides, b.BevelWidth);
    case fsPopup: return StrokeBevel(p, r, luz, sombra, b.BorderSides, b.BevelWidth);
    default: return PaintFrameStyle(p, r, e, b.BorderSides);
  }
}

}  // namespace

QColor clBtnFace() { return Rol(QPalette::Button); }
QColor clBtnShadow() { return Rol(QPalette::Mid); }
QColor clBtnHighlight() { return Rol(QPalette::Light); }
QColor cl3DDkShadow() { return Rol(QPalette::Shadow); }
QColor cl3DLight() { return Rol(QPalette::Midlight); }
QColor clBtnText() { return Rol(QPalette::ButtonText); }
QColor clWindow() { return Rol(QPalette::Base); }
QColor clHighlight() { return Rol(QPalette::Highlight); }
QColor clHighlightText() { return Rol(QPalette::HighlightedText); }
QColor clInfoBk() { return Rol(QPalette::ToolTipBase); }

QRect StrokeSides(QPainter& p, QRect r, const QColor& c1, const QColor& c2, TSides s) {
  const Ltrb k = A(r);
  if (s & sdLeft) LineaV(p, k.l, k.t, k.b, c1);
  if (s & sdTop) LineaH(p, k.l, k.r, k.t, c1);
  if (s & sdRight) LineaV(p, k.r - 1, k.t, k.b, c2);
  if (s & sdBottom) LineaH(p, k.l, k.r, k.b - 1, c2);
  return Reduce(r, s, 1);
}

QRect StrokeBevel(QPainter& p, QRect r, const QColor& c1, const QColor& c2, TSides s, int veces) {
  for (int i = 0; i < veces; ++i) r = StrokeSides(p, r, c1, c2, s);
  return r;
}

QRect PaintFrameStyle(QPainter& p, QRect r, TFrameStyle e, TSides s) {
  const QColor sh = clBtnShadow(), hi = clBtnHighlight(), dk = cl3DDkShadow(), li = cl3DLight(),
               tx = clBtnText();
  Tintes t;
  t.flat = dk;
  t.grooveA = sh;
  t.grooveB = hi;
  t.lowered[0] = sh, t.lowered[1] = hi, t.lowered[2] = dk, t.lowered[3] = li;
  t.raised[0] = li, t.raised[1] = dk, t.raised[2] = hi, t.raised[3] = sh;
  t.down[0] = tx, t.down[1] = tx, t.down[2] = sh, t.down[3] = sh;
  t.up[0] = hi, t.up[1] = dk, t.up[2] = li, t.up[3] = sh;
  t.statusA = sh;
  t.statusB = hi;
  t.bold = sh;
  return PintaEstilo(p, r, e, s, t);
}

QRect PaintFrameStyleAll(QPainter& p, QRect r, TFrameStyle e) { return PaintFrameStyle(p, r, e, sdAll); }

QRect PaintTintedFrameStyle(QPainter& p, QRect r, const QColor& c, TSides s, TFrameStyle e) {
  const QColor d50 = ShadeDown(c, 50), d100 = ShadeDown(c, 100), u50 = ShadeUp(c, 50), u100 = ShadeUp(c, 100),
               u40 = ShadeUp(c, 40);
  Tintes t;
  t.flat = d50;
  t.grooveA = d50;
  t.grooveB = u100;
  t.lowered[0] = d50, t.lowered[1] = u100, t.lowered[2] = d100, t.lowered[3] = u50;
  t.raised[0] = u50, t.raised[1] = d100, t.raised[2] = u100, t.raised[3] = d50;
  t.down[0] = d100, t.down[1] = d100, t.down[2] = d50, t.down[3] = d50;
  t.up[0] = u100, t.up[1] = d100, t.up[2] = u40, t.up[3] = d50;
  t.statusA = d50;
  t.statusB = u100;
  t.bold = d50;
  return PintaEstilo(p, r, e, s, t);
}

QRect PaintFlatOutline(QPainter& p, QRect r, const QColor& c) {
  const Ltrb k = A(r);
  LineaH(p, k.l + 1, k.r - 1, k.t, c);
  LineaH(p, k.l + 1, k.r - 1, k.b - 1, c);
  LineaV(p, k.l, k.t + 1, k.b - 1, c);
  LineaV(p, k.r - 1, k.t + 1, k.b - 1, c);
  return Reduce(r, sdAll, 1);
}

QRect PaintRoundedFlatSides(QPainter& p, QRect r, const QColor& c, TSides s) {
  const Ltrb k = A(r);
  const bool L = s & sdLeft, T = s & sdTop, R = s & sdRight, B = s & sdBottom;
  const int y0 = T ? k.t + 2 : k.t, y1 = B ? k.b - 2 : k.b;
  const int x0 = L ? k.l + 2 : k.l, x1 = R ? k.r - 2 : k.r;
  if (L) LineaV(p, k.l, y0, y1, c);
  if (T) LineaH(p, x0, x1, k.t, c);
  if (R) LineaV(p, k.r - 1, y0, y1, c);
  if (B) LineaH(p, x0, x1, k.b - 1, c);
  if (L && T) Punto(p, k.l + 1, k.t + 1, c);
  if (T && R) Punto(p, k.r - 2, k.t + 1, c);
  if (R && B) Punto(p, k.r - 2, k.b - 2, c);
  if (B && L) Punto(p, k.l + 1, k.b - 2, c);
  return Reduce(r, s, 2);
}

QRect PaintPanelBorders(QPainter& p, QRect r, const TBordesPanel& b) {
  r = BordeUno(p, r, b.BorderOuter, b, false);
  if (b.BorderWidth > 0) {
    const QColor borde = O(b.BorderColor, clBtnFace());
    r = StrokeBevel(p, r, borde, borde, b.BorderSides, b.BorderWidth);
  }
  return BordeUno(p, r, b.BorderInner, b, true);
}

int AnchoBorde(TFrameStyleEx e, int bevelWidth) {
  switch (e) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    default: return 2;
  }
}

void PaintControlFrame(QPainter& p, int ancho, int alto, bool conservaFondo, TSides lados, const QColor& marco,
                       const QColor& control, TFrameStyle estilo) {
  const QRect r(0, 0, ancho, alto);
  if (!conservaFondo) DosAnillos(p, r, sdAll, control, control, control, control);
  switch (estilo) {
    case fsFlat: StrokeSides(p, r, marco, marco, lados); break;
    case fsFlatBold: StrokeBevel(p, r, marco, marco, lados, 2); break;
    default:
      if (control == clWindow()) PaintFrameStyle(p, r, estilo, lados);
      else PaintTintedFrameStyle(p, r, control, lados, estilo);
  }
}

TAngledFont CreateAngledFont(const QFont& f, int grados) {
  TAngledFont a;
  a.Font = QFont(f.family());
  if (f.pixelSize() > 0) a.Font.setPixelSize(f.pixelSize());
  else a.Font.setPointSizeF(f.pointSizeF());
  a.Font.setWeight(f.bold() ? QFont::Bold : QFont::Normal);
  a.Font.setItalic(f.italic());
  a.Font.setUnderline(f.underline());
  a.Font.setStrikeOut(f.strikeOut());
  a.Font.setFixedPitch(f.fixedPitch());
  a.Escapement = grados * 10;
  return a;
}

void DrawAngledText(QPainter& p, const QPoint& origen, const TAngledFont& f, const QString& texto) {
  p.save();
  p.setFont(f.Font);
  p.translate(origen);
  // Counter-clockwise on the screen, whose y axis points down.
  p.rotate(-f.Escapement / 10.0);
  p.drawText(QPoint(0, 0), texto);
  p.restore();
}

QImage ConTransparente(const QImage& src) {
  if (src.isNull()) return src.convertToFormat(QImage::Format_ARGB32);
  return ConTransparente(src, src.convertToFormat(QImage::Format_ARGB32).pixel(0, src.height() - 1));
}

QImage ConTransparente(const QImage& src, QRgb transparente) {
  QImage i = src.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < i.height(); ++y)
    for (int x = 0; x < i.width(); ++x)
      if (i.pixel(x, y) == transparente) i.setPixel(x, y, qRgba(0, 0, 0, 0));
  return i;
}

// White or top-left-coloured pixels are background, every other pixel
// ink; the ink is drawn in the highlight colour one pixel right and down,
// then in the shadow colour, on the button face.
QImage Relieve(const QImage& src) {
  const QImage s = src.convertToFormat(QImage::Format_RGB32);
  QImage out(s.size(), QImage::Format_ARGB32);
  out.fill(clBtnFace());
  if (s.isNull()) return out;
  const QRgb fondo = s.pixel(0, 0);
  auto tinta = [&](int x, int y) {
    const QRgb p = s.pixel(x, y) | 0xFF000000u;
    return p != (fondo | 0xFF000000u) && p != 0xFFFFFFFFu;
  };
  const QRgb luz = clBtnHighlight().rgb(), sombra = clBtnShadow().rgb();
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (tinta(x, y) && x + 1 < s.width() && y + 1 < s.height()) out.setPixel(x + 1, y + 1, luz);
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (tinta(x, y)) out.setPixel(x, y, sombra);
  return out;
}

// --- Colour shading -------------------------------------------------------------

THsl240 ColorToHsl240(const QColor& c) {
  const double r = c.red() / 255.0, g = c.green() / 255.0, b = c.blue() / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const double l = (mx + mn) / 2;
  double h = 0, s = 0;
  if (mx != mn) {
    const double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (mx == r) h = (g - b) / d;
    else if (mx == g) h = 2 + (b - r) / d;
    else h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
    if (h >= 1) h -= 1;
  }
  return {static_cast<int>(std::lround(h * 240)), static_cast<int>(std::lround(s * 240)),
          static_cast<int>(std::lround(l * 240))};
}

QColor Hsl240ToColor(int H, int S, int L) {
  const double l = L / 240.0, s = S / 240.0;
  const double m2 = l >= 0.5 ? l + s - l * s : l * (1 + s);
  const double m1 = 2 * l - m2;
  if (m2 <= 0) return QColor(0, 0, 0);
  const double h6 = (H / 239.0) * 6;
  int sextante = static_cast<int>(std::floor(h6));
  const double f = h6 - sextante;
  // Hues 239 and 240 land on sextant 6, which is sextant 0 again.
  sextante %= 6;
  if (sextante < 0) sextante += 6;
  const double v = m2 * ((m2 - m1) / m2) * f;
  const double sube = m1 + v, baja = m2 - v;
  double c[3];
  switch (sextante) {
    case 0: c[0] = m2, c[1] = sube, c[2] = m1; break;
    case 1: c[0] = baja, c[1] = m2, c[2] = m1; break;
    case 2: c[0] = m1, c[1] = m2, c[2] = sube; break;
    case 3: c[0] = m1, c[1] = baja, c[2] = m2; break;
    case 4: c[0] = sube, c[1] = m1, c[2] = m2; break;
    default: c[0] = m2, c[1] = m1, c[2] = baja; break;
  }
  int k[3];
  for (int i = 0; i < 3; ++i) k[i] = static_cast<int>(std::lround(std::clamp(c[i], 0.0, 1.0) * 255));
  return QColor(k[0], k[1], k[2]);
}

QColor ShadeDown(const QColor& c, int n) {
  const THsl240 h = ColorToHsl240(c);
  return Hsl240ToColor(h.H, h.S, std::max(0, h.L - n));
}

QColor ShadeUp(const QColor& c, int n) {
  const THsl240 h = ColorToHsl240(c);
  return Hsl240ToColor(h.H, h.S, std::min(255, h.L + n));
}

QColor ShadeBy(const QColor& c, int n) {
  if (n > 0) return ShadeUp(c, n);
  if (n < 0) return ShadeDown(c, -n);
  return c;
}

// --- The blink clock -------------------------------------------------------------

namespace {
TKvBlinkingControlsList* gLista = nullptr;
}

TKvBlinkingControlsList::TKvBlinkingControlsList() : timer_(new QTimer(this)) {
  timer_->setInterval(on_);
  connect(timer_, &QTimer::timeout, this, &TKvBlinkingControlsList::Tick);
  timer_->start();
}

TKvBlinkingControlsList* TKvBlinkingControlsList::Instance() {
  if (!gLista) gLista = new TKvBlinkingControlsList;
  return gLista;
}

TKvBlinkingControlsList* TKvBlinkingControlsList::Existing() { return gLista; }

void TKvBlinkingControlsList::Add(TClienteParpadeo* c) {
  auto& v = Instance()->controles_;
  if (std::find(v.begin(), v.end(), c) == v.end()) v.push_back(c);
}

void TKvBlinkingControlsList::Remove(TClienteParpadeo* c) {
  if (!gLista) return;
  auto& v = gLista->controles_;
  v.erase(std::remove(v.begin(), v.end(), c), v.end());
  if (v.empty()) {
    delete gLista;
    gLista = nullptr;
  }
}

void TKvBlinkingControlsList::SetIntervaloOn(int ms) {
  on_ = std::max(1, ms);
  timer_->setInterval(IntervaloActual());
}

void TKvBlinkingControlsList::SetIntervaloOff(int ms) {
  off_ = std::max(1, ms);
  timer_->setInterval(IntervaloActual());
}

int TKvBlinkingControlsList::IntervaloActual() const { return estado_ ? on_ : off_; }

void TKvBlinkingControlsList::Tick() {
  estado_ = estado_ ? 0 : 1;
  timer_->setInterval(IntervaloActual());
  const auto copia = controles_;  // a control may leave while it is told
  for (TClienteParpadeo* c : copia)
    if (std::find(controles_.begin(), controles_.end(), c) != controles_.end() && c->BlinkQuery()) c->Blink(estado_);
}
