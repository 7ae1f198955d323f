// Frame drawing, colour shading and the shared blink clock of the framed
// components (panels, group boxes, status bars, status panes, the framed
// memo). A window never calls these directly: it places a TKvPanel,
// TKvStatusBar, TKvStatusPane or TKvMemo and sets their frame properties.
//
// Rectangles are drawn pixel by pixel (no antialiasing, pen width 1), right
// and bottom exclusive, and every routine returns the rectangle left inside
// what it drew. An invalid QColor (ClNinguno) skips its lines but the
// rectangle still shrinks.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QRect>
#include <vector>

class QPainter;
class QTimer;

enum TFrameStyleEx {
  fsNone,
  fsFlat,
  fsGroove,
  fsBump,
  fsLowered,
  fsButtonDown,
  fsRaised,
  fsButtonUp,
  fsStatus,
  fsPopup,
  fsFlatBold,
  fsFlatRounded
};
// The styles a status pane, the memo and the simple status bar accept.
using TFrameStyle = TFrameStyleEx;

enum TSide : unsigned { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8 };
using TSides = unsigned;
constexpr TSides sdAll = sdLeft | sdTop | sdRight | sdBottom;

// The "no colour" value: the side is skipped.
inline QColor ClNinguno() { return QColor(); }

// The system colours the frames are drawn in, from the application palette.
QColor clBtnFace();
QColor clBtnShadow();
QColor clBtnHighlight();
QColor cl3DDkShadow();
QColor cl3DLight();
QColor clBtnText();
QColor clWindow();
QColor clHighlight();
QColor clHighlightText();
QColor clInfoBk();

// One-pixel lines: left and top in c1, right and bottom in c2.
QRect StrokeSides(QPainter& p, QRect r, const QColor& c1, const QColor& c2, TSides lados);
// StrokeSides `veces` times, each ring inside the last.
QRect StrokeBevel(QPainter& p, QRect r, const QColor& c1, const QColor& c2, TSides lados, int veces);
QRect PaintFrameStyle(QPainter& p, QRect r, TFrameStyle estilo, TSides lados);
QRect PaintFrameStyleAll(QPainter& p, QRect r, TFrameStyle estilo);
// The style in lighter and darker tints of one base colour.
QRect PaintTintedFrameStyle(QPainter& p, QRect r, const QColor& base, TSides lados, TFrameStyle estilo);
// A one-pixel outline without its four corner pixels.
QRect PaintFlatOutline(QPainter& p, QRect r, const QColor& c);
// A flat outline with cut corners.
QRect PaintRoundedFlatSides(QPainter& p, QRect r, const QColor& c, TSides lados);

// Everything PaintPanelBorders needs of a panel.
struct TBordesPanel {
  TFrameStyleEx BorderOuter = fsRaised;
  TFrameStyleEx BorderInner = fsNone;
  int BorderWidth = 0;
  TSides BorderSides = sdAll;
  QColor BorderColor;      // invalid: clBtnFace
  QColor BorderHighlight;  // invalid: clBtnHighlight
  QColor BorderShadow;     // invalid: clBtnShadow
  int BevelWidth = 1;
  QColor FlatColor;  // invalid: clBtnShadow
  int FlatColorAdjustment = 30;
  bool Transparent = false;
  QColor Color;        // the panel's own colour
  QColor ParentColor;  // the colour around the panel
};
QRect PaintPanelBorders(QPainter& p, QRect r, const TBordesPanel& b);
// Width that one border style takes from each side.
int AnchoBorde(TFrameStyleEx estilo, int bevelWidth);

// The frame of a framed edit control over (0, 0, ancho, alto).
void PaintControlFrame(QPainter& p, int ancho, int alto, bool conservaFondo, TSides lados,
                       const QColor& marco, const QColor& control, TFrameStyle estilo);

// A font for text turned by an angle: the copy of a font's height, weight
// (bold or normal), italic, underline, strike-out, pitch and family, with
// the angle in tenths of a degree, counter-clockwise. Text takes the angle
// only when drawn with DrawAngledText.
struct TAngledFont {
  QFont Font;
  int Escapement = 0;
};
TAngledFont CreateAngledFont(const QFont& f, int grados);
// Draws `texto` with the start of its baseline at `origen`, turned by the
// font's escapement.
void DrawAngledText(QPainter& p, const QPoint& origen, const TAngledFont& f, const QString& texto);

// A picture whose pixels of its transparent colour (the lower-left pixel)
// are made transparent.
class QImage;
QImage ConTransparente(const QImage& src);
// The same with the transparent colour given.
QImage ConTransparente(const QImage& src, QRgb transparente);
// The disabled look of a picture: white or top-left-coloured pixels are
// background, every other pixel ink; the ink is drawn in the highlight
// colour one pixel right and down, then in the shadow colour, on the
// button face.
QImage Relieve(const QImage& src);

// Hue, saturation and lightness on a 0-240 scale.
struct THsl240 {
  int H = 0, S = 0, L = 0;
};
THsl240 ColorToHsl240(const QColor& c);
QColor Hsl240ToColor(int h, int s, int l);
QColor ShadeDown(const QColor& c, int n);
QColor ShadeUp(const QColor& c, int n);
QColor ShadeBy(const QColor& c, int n);

// A control that blinks with the shared clock.
class TClienteParpadeo {
public:
  virtual ~TClienteParpadeo() = default;
  virtual bool BlinkQuery() const = 0;
  virtual void Blink(int estado) = 0;
};

// The process-wide blink clock: one timer for every blinking control. The
// on phase lasts IntervaloOn, the off phase IntervaloOff.
class TKvBlinkingControlsList : public QObject {
  Q_OBJECT
public:
  // The list, created on first use; Remove frees it once it is empty.
  static TKvBlinkingControlsList* Instance();
  static TKvBlinkingControlsList* Existing();
  static void Add(TClienteParpadeo* c);
  static void Remove(TClienteParpadeo* c);
  int Count() const { return static_cast<int>(controles_.size()); }
  int Estado() const { return estado_; }

  int IntervaloOn() const { return on_; }
  int IntervaloOff() const { return off_; }
  void SetIntervaloOn(int ms);
  void SetIntervaloOff(int ms);
  int IntervaloActual() const;

  // One flip of the state, as the timer does it.
  void Tick();

private:
  TKvBlinkingControlsList();
  std::vector<TClienteParpadeo*> controles_;
  QTimer* timer_;
  int estado_ = 1;
  int on_ = 500;
  int off_ = 500;
};
