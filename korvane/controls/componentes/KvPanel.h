// Framed containers.
//
// TKvPanel: a container with an outer border, a band of BorderWidth and an
// inner border (TFrameStyleEx); the borders are its contents margins, so a
// layout set on the panel places the children inside them.
//
// TKvGroupBox: a group frame with a caption cutting its top line; the
// caption's mnemonic ("&ID") focuses the first child that takes focus.
//
// TKvStatusBar: the bottom bar of a window. Put TKvStatusPane /
// TKvFieldStatus children in it (new TKvStatusPane(bar)) and give each an
// Align: alLeft panes line up from the left in creation order, alRight ones
// from the right, an alClient pane takes the rest. The size grip shows on a
// resizable, not maximised window; a press on it (or in the 12 pixels left
// of the right edge, also over a pane there) starts a system resize.
// SimpleStatus hides the panes and shows SimpleCaption alone.
//
// AutoStyle (on by default): once the window is built (the bar's polish),
// the bar goes back to its own look: no borders on all sides, height 19.
// A window that gives the bar other borders keeps them (setting a border
// style clears AutoStyle); one that sizes the bar itself clears AutoStyle.
// AutoScalePanes: a change of the bar's width changes every pane's width
// in proportion to it.
#pragma once

#include <QWidget>
#include <functional>

#include "KvCommon.h"

enum TAlignmentVertical { avTop, avCenter, avBottom };
// The design grid: a dot at every grid point, or lines through them drawn
// every second pixel or solid.
enum TGridStyle { gsDots, gsDottedLines, gsSolidLines };

class TKvCustomPanel : public QWidget {
  Q_OBJECT
public:
  explicit TKvCustomPanel(QWidget* parent = nullptr);

  TFrameStyleEx BorderOuter() const { return b_.BorderOuter; }
  void SetBorderOuter(TFrameStyleEx e);
  TFrameStyleEx BorderInner() const { return b_.BorderInner; }
  void SetBorderInner(TFrameStyleEx e);
  int BorderWidth() const { return b_.BorderWidth; }
  void SetBorderWidth(int w);
  TSides BorderSides() const { return b_.BorderSides; }
  void SetBorderSides(TSides s);
  void SetBorderColor(const QColor& c);
  void SetBorderHighlight(const QColor& c);
  void SetBorderShadow(const QColor& c);
  void SetBevelWidth(int n);
  void SetFlatColor(const QColor& c);
  void SetFlatColorAdjustment(int n);
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment a);
  TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
  void SetAlignmentVertical(TAlignmentVertical a);
  bool Transparent() const { return b_.Transparent; }
  void SetTransparent(bool t);
  // Invalid: the parent's background (the panel's palette Window colour).
  // A colour set here is the background of the children too, unless they
  // have colours of their own.
  QColor Color() const;
  void SetColor(const QColor& c);
  QString Caption() const { return caption_; }
  virtual void SetCaption(const QString& c);
  const TBordesPanel& Bordes() const { return b_; }

  // The design grid over the background (off by default): GridColor
  // (invalid: clBtnShadow) every GridXSize by GridYSize pixels, counted
  // from the inside of the borders. Sizes below 1 are taken as 1.
  bool ShowGrid() const { return showGrid_; }
  void SetShowGrid(bool v);
  QColor GridColor() const;
  void SetGridColor(const QColor& c);
  TGridStyle GridStyle() const { return gridStyle_; }
  void SetGridStyle(TGridStyle g);
  int GridXSize() const { return gridXSize_; }
  void SetGridXSize(int n);
  int GridYSize() const { return gridYSize_; }
  void SetGridYSize(int n);
  // The rectangle inside the borders (what the background fills).
  QRect RectanguloInterior() const;
  // On (the default), a resize repaints the whole panel. Off, a panel
  // without caption keeps what it drew and repaints only what the resize
  // uncovers and the strips along its new right and bottom borders.
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool v);
  // Kept for the owner; the panel's own painting does not look at it.
  bool ThemeAware() const { return themeAware_; }
  void SetThemeAware(bool v) { themeAware_ = v; }

signals:
  void MouseEnter();
  void MouseLeave();
  // At the end of every paint, with the painter the panel drew with, so
  // that an owner can draw over the panel.
  void Paint(QPainter& canvas);

protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  // Draws borders, background and the grid; returns the rectangle inside
  // the borders.
  QRect PintaPanel(QPainter& p);
  // The caption in the rectangle inside the borders.
  void PintaCaption(QPainter& p, QRect r);
  void EscribeCaption(QPainter& p, const QRect& t, int banderas);
  // What the borders and the BorderWidth band take from each side.
  QMargins MargenesBordes() const;
  virtual void AjustaMargenes();
  // BorderOuter, BorderInner or BorderSides took a new value.
  virtual void EstiloBordeCambiado() {}
  TBordesPanel b_;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  TAlignmentVertical alignmentVertical_ = avCenter;
  QColor color_;
  QString caption_;

private:
  void PintaRejilla(QPainter& p, const QRect& r) const;
  bool showGrid_ = false;
  QColor gridColor_;
  TGridStyle gridStyle_ = gsDots;
  int gridXSize_ = 8;
  int gridYSize_ = 8;
  bool themeAware_ = true;
  bool fullRepaint_ = true;
};

class TKvPanel : public TKvCustomPanel {
  Q_OBJECT
public:
  explicit TKvPanel(QWidget* parent = nullptr) : TKvCustomPanel(parent) {}
};

enum TKvGroupBoxStyle { gsStandard, gsCustom, gsTopLine, gsFlat };

class TKvGroupBox : public TKvCustomPanel {
  Q_OBJECT
public:
  explicit TKvGroupBox(QWidget* parent = nullptr);
  TKvGroupBoxStyle GroupStyle() const { return groupStyle_; }
  // gsCustom and gsTopLine clear ThemeAware.
  void SetGroupStyle(TKvGroupBoxStyle g);
  void SetCaption(const QString& c) override;
  // The caption's rectangle (empty for gsCustom or no caption).
  QRect RectanguloCaption() const;
  // Top of the frame line.
  int TopMarco() const;
  // Wide enough for the caption and as much room after it as before it.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* e) override;
  bool event(QEvent* e) override;
  void AjustaMargenes() override;

private:
  QSize ConCaption(QSize s) const;
  TKvGroupBoxStyle groupStyle_ = gsFlat;
  int atajo_ = 0;
};

class TKvStatusBar : public TKvCustomPanel {
  Q_OBJECT
public:
  explicit TKvStatusBar(QWidget* parent = nullptr);

  bool ShowSizeGrip() const { return showSizeGrip_; }
  void SetShowSizeGrip(bool v);
  bool SimpleStatus() const { return simpleStatus_; }
  void SetSimpleStatus(bool v);
  QString SimpleCaption() const { return simpleCaption_; }
  void SetSimpleCaption(const QString& c);
  TFrameStyle SimpleFrameStyle() const { return simpleFrameStyle_; }
  void SetSimpleFrameStyle(TFrameStyle e);
  bool AutoStyle() const { return autoStyle_; }
  void SetAutoStyle(bool v) { autoStyle_ = v; }
  bool AutoScalePanes() const { return autoScalePanes_; }
  void SetAutoScalePanes(bool v) { autoScalePanes_ = v; }
  // What AutoStyle does once the bar is built; the bar runs it on its
  // polish.
  void Loaded();

  // Where the panes lie: from y 1 (2 with SimpleStatus), one pixel wider
  // than the inside of the borders on the left and right, one pixel lower
  // at the bottom, so that the panes' outer pixels meet the window's edge.
  QRect RectanguloCliente() const;

  // The grip is shown: ShowSizeGrip on a resizable, not maximised window.
  bool GripVisible() const;
  QRect AreaGrip() const;
  // A point (bar coordinates) that a press on it reaches the grip.
  bool EnGrip(const QPoint& p) const;
  // Starts the system resize from the bottom-right corner; a test replaces
  // it to see the request.
  std::function<void(Qt::Edges)> IniciaRedimension;
  void PulsaGrip();
  // Draws the grip's dots; a pane lying under the grip draws them too, with
  // its own position as origin.
  void PintaGrip(QPainter& p, const QPoint& origen) const;

  // Places the panes by their Align.
  void Coloca();

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void childEvent(QChildEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool event(QEvent* e) override;
  void EstiloBordeCambiado() override { autoStyle_ = false; }

private:
  bool showSizeGrip_ = true;
  bool autoStyle_ = true;
  bool autoScalePanes_ = false;
  bool simpleStatus_ = false;
  QString simpleCaption_;
  TFrameStyle simpleFrameStyle_ = fsFlat;
  QWidget* vigilada_ = nullptr;
};
