// Status panes: the framed text cells of a TKvStatusBar. A window creates
// them as children of its bar, sets Align (alLeft, alRight or alClient),
// a width (or AutoSize) and writes SetCaption. TKvFieldStatus adds a
// coloured label in front of the text (FieldLabel). With AutoHint a pane
// shows the status tips of the window's widgets. Blinking alternates the
// text between BlinkColor and the font colour on the shared blink clock.
#pragma once

#include <QWidget>

#include "KvCommon.h"

enum TAlign { alNone, alLeft, alRight, alClient };

class TKvCustomStatusPane : public QWidget, public TClienteParpadeo {
  Q_OBJECT
public:
  explicit TKvCustomStatusPane(QWidget* parent = nullptr);
  ~TKvCustomStatusPane() override;

  QString Caption() const { return caption_; }
  virtual void SetCaption(const QString& c);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment a);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  int DefaultWidth() const { return defaultWidth_; }
  void SetDefaultWidth(int w);
  int CaptionOffset() const { return captionOffset_; }
  void SetCaptionOffset(int v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TFrameStyle e);
  void SetFlatColor(const QColor& c);
  void SetFlatColorAdjustment(int n);
  // Invalid while ParentFillColor: follows Color.
  QColor FillColor() const;
  void SetFillColor(const QColor& c);
  bool ParentFillColor() const { return !fillColor_.isValid(); }
  void SetParentFillColor(bool v);
  QColor Color() const;
  void SetColor(const QColor& c);

  bool Blinking() const { return blinking_; }
  void SetBlinking(bool v);
  QColor BlinkColor() const { return blinkColor_; }
  void SetBlinkColor(const QColor& c);
  // Shared by every pane: the blink clock's on and off phases.
  static int BlinkIntervalOn();
  static void SetBlinkIntervalOn(int ms);
  static int BlinkIntervalOff();
  static void SetBlinkIntervalOff(int ms);
  QColor ColorTexto() const { return colorTexto_; }

  bool AutoHint() const { return autoHint_; }
  void SetAutoHint(bool v);

  // Width under AutoSize for the current caption.
  virtual int AnchoPreferido() const;
  // Where the caption is drawn.
  virtual QRect RectanguloTexto() const;
  // Paint calls so far (a repaint test sees whether a write repainted).
  int Pintadas() const { return pintadas_; }

  bool BlinkQuery() const override { return blinking_; }
  void Blink(int estado) override;

  QSize sizeHint() const override;

signals:
  void MouseEnter();
  void MouseLeave();

protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  // The text rectangle of the frame alone.
  QRect RectanguloInterior() const;
  int YTexto(const QRect& r) const;
  void PintaTexto(QPainter& p, const QString& t, const QRect& r, Qt::Alignment al, const QColor& color, bool relleno);
  void Redimensiona();
  // The grip of the bar reaches over this pane at point p (pane coordinates).
  bool SobreGrip(const QPoint& p) const;

  QString caption_;
  TAlign align_ = alLeft;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  bool autoSize_ = false;
  int defaultWidth_ = 40;
  int captionOffset_ = 2;
  int borderWidth_ = 1;
  TFrameStyle frameStyle_ = fsFlat;
  QColor flatColor_;
  int flatColorAdjustment_ = 30;
  QColor fillColor_;
  QColor color_;
  bool blinking_ = false;
  QColor blinkColor_;
  QColor colorTexto_;
  bool autoHint_ = false;
  QWidget* vigilada_ = nullptr;
  int pintadas_ = 0;
};

class TKvStatusPane : public TKvCustomStatusPane {
  Q_OBJECT
public:
  explicit TKvStatusPane(QWidget* parent = nullptr) : TKvCustomStatusPane(parent) {}
};

class TKvCustomFieldStatus : public TKvCustomStatusPane {
  Q_OBJECT
public:
  explicit TKvCustomFieldStatus(QWidget* parent = nullptr);
  QString FieldLabel() const { return fieldLabel_; }
  void SetFieldLabel(const QString& l);
  QColor FieldLabelColor() const { return fieldLabelColor_; }
  void SetFieldLabelColor(const QColor& c);
  int AnchoPreferido() const override;
  QRect RectanguloTexto() const override;

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  int AnchoEtiqueta() const;
  QString fieldLabel_;
  QColor fieldLabelColor_;
};

class TKvFieldStatus : public TKvCustomFieldStatus {
  Q_OBJECT
public:
  explicit TKvFieldStatus(QWidget* parent = nullptr) : TKvCustomFieldStatus(parent) {}
};
