// A tool button with a narrow drop-down arrow part at its right edge (the
// main window's Open button with its recent-files menu). A click on the
// main part emits clicked(); a press on the arrow part (the rightmost
// ArrowWidth pixels, both edges included) emits no click: it pops up the
// DropDown menu under the button and, once the menu has closed, emits Drop.
// Mouse input queued while the menu was open is discarded.
//
// Flat is QToolButton's autoRaise. Glyph takes a strip of NumGlyphs
// pictures (up, disabled, down) and makes the button's icon from it; an
// icon set directly works too. With a non-zero GroupIndex the buttons of
// one parent latch like radio buttons (Down).
#pragma once

#include <QPixmap>
#include <QToolButton>
#include <functional>

class QMenu;

class TArrowButton : public QToolButton {
  Q_OBJECT
public:
  explicit TArrowButton(QWidget* parent = nullptr);

  int ArrowWidth() const { return arrowWidth_; }
  void SetArrowWidth(int w);
  QMenu* DropDown() const { return dropDown_; }
  void SetDropDown(QMenu* m) { dropDown_ = m; }
  bool Flat() const { return autoRaise(); }
  void SetFlat(bool f) { setAutoRaise(f); }
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
  int Margin() const { return margin_; }
  // -1 centres glyph and caption; below -1 is refused.
  void SetMargin(int m);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);

  // The point lies in the arrow part.
  bool EnFlecha(const QPoint& p) const;
  QRect ParteFlecha() const;
  bool ArrowPressed() const { return arrowPressed_; }

  // Shows the menu at a screen point and returns when it has closed; a test
  // replaces it so no menu blocks.
  std::function<void(QMenu*, const QPoint&)> MuestraMenu;

  QSize sizeHint() const override { return QSize(42, 25); }

signals:
  void Drop();

protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool hitButton(const QPoint& p) const override;

private:
  void AvisaGrupo();
  int arrowWidth_ = 13;
  QMenu* dropDown_ = nullptr;
  bool pressBoth_ = true;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
  bool arrowPressed_ = false;
  bool descarta_ = false;
  void HaceIcono();
  QPixmap glyph_;
  int numGlyphs_ = 1;
  int margin_ = -1;
  int spacing_ = 4;
};
