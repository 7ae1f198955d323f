// A speed button with a narrow drop-down arrow part at its right edge (the
// main window's Open button with its recent-files menu). A click on the
// main part emits clicked(); a press on the arrow part (the rightmost
// ArrowWidth pixels, both edges included) emits no click: it pops up the
// DropDown menu under the button and, once the menu has closed, emits Drop.
// Mouse input queued while the menu was open is discarded.
//
// The button draws itself: the main part's frame (a one-pixel edge when
// Flat, shown only under the mouse, pressed or latched), then the glyph and
// the caption placed by Layout, Margin and Spacing, then the arrow part.
// Glyph takes a strip of NumGlyphs pictures (up, disabled, down,
// exclusive). With a non-zero GroupIndex the buttons of one parent latch
// like radio buttons (Down); a latched button is in the exclusive state and
// its main part is filled with a checked pattern shared by every arrow
// button.
#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QToolButton>
#include <array>
#include <functional>
#include <optional>

class QMenu;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Where the glyph and the caption go inside the client rectangle: with
// margin -1 both are centred with `spacing` between them (spacing -1 too:
// the free space divided in three); otherwise the glyph stands `margin`
// pixels from the edge the layout names and the caption follows after
// `spacing` (spacing -1: the caption centred in the room left). Across the
// layout's direction both are centred. A missing glyph or caption is an
// empty size, and the spacing is then 0.
struct TDisposicionGlifo {
  QRect glifo;
  QRect texto;
};
TDisposicionGlifo DisponeGlifo(const QRect& cliente, QSize glifo, QSize texto, TButtonLayout layout, int margin,
                               int spacing);

class TArrowButton : public QToolButton {
  Q_OBJECT
public:
  explicit TArrowButton(QWidget* parent = nullptr);
  ~TArrowButton() override;

  int ArrowWidth() const { return arrowWidth_; }
  void SetArrowWidth(int w);
  QMenu* DropDown() const { return dropDown_; }
  void SetDropDown(QMenu* m) { dropDown_ = m; }
  QString Caption() const { return text(); }
  void SetCaption(const QString& c) { setText(c); }
  bool Flat() const { return flat_; }
  void SetFlat(bool f);
  // The caption's font while the mouse is over a flat button; the button's
  // own font until one is set.
  QFont FillFont() const { return fillFont_.value_or(font()); }
  void SetFillFont(const QFont& f);
  bool PressBoth() const { return pressBoth_; }
  void SetPressBoth(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Down() const { return down_; }
  void SetDown(bool d);
  const QPixmap& Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& strip);
  int NumGlyphs() const { return numGlyphs_; }
  // 1 to 4; more is taken as 4.
  void SetNumGlyphs(int n);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Margin() const { return margin_; }
  // -1 centres glyph and caption; below -1 is refused.
  void SetMargin(int m);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);

  // The point lies in the arrow part.
  bool EnFlecha(const QPoint& p) const;
  QRect ParteFlecha() const;
  bool ArrowPressed() const { return arrowPressed_; }
  // The state the main part is drawn in.
  TButtonState Estado() const;
  // A flat, enabled button under the mouse.
  bool MouseInside() const { return inside_; }
  // The picture drawn in a state (transparent where the strip has its
  // transparent colour); a null image without a glyph.
  const QImage& Imagen(TButtonState e) const { return imagenes_[size_t(e)]; }
  // Where the glyph and the caption are drawn now.
  QRect RectanguloImagen() const { return Disposicion().glifo; }
  QRect RectanguloTexto() const { return Disposicion().texto; }
  // The rectangle inside the main part's frame, before the pressed shift.
  QRect Cliente() const;

  // The checked pattern of the exclusive state, shared by every arrow
  // button: made at the first need, freed with the last button.
  static const QImage* Patron();

  // Shows the menu at a screen point and returns when it has closed; a test
  // replaces it so no menu blocks.
  std::function<void(QMenu*, const QPoint&)> MuestraMenu;

  QSize sizeHint() const override { return QSize(42, 25); }

signals:
  void Drop();
  // A double click on a button that is down.
  void DblClick();

protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool hitButton(const QPoint& p) const override;

private:
  void AvisaGrupo();
  void HaceImagenes();
  QFont FuenteActual() const { return inside_ ? FillFont() : font(); }
  TDisposicionGlifo Disposicion() const;

  int arrowWidth_ = 13;
  QMenu* dropDown_ = nullptr;
  bool flat_ = false;
  std::optional<QFont> fillFont_;
  bool pressBoth_ = true;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
  bool arrowPressed_ = false;
  bool inside_ = false;
  bool descarta_ = false;
  QPixmap glyph_;
  int numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  std::array<QImage, 4> imagenes_;
};
