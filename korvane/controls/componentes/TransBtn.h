// The latching page button over the memory pages. A click emits clicked()
// first and then latches the button (Down true); only the program releases
// it. A window keeps one button of its set down: in its clicked() handler
// it releases the others (SetDown(false)) and switches the page.
//
// The caption keeps its first 8 characters. Glyph holds NumGlyphs pictures
// side by side (up, disabled, down); a grey picture is shown while the mouse
// is away (AutoGray) and an embossed one when disabled; a down button is
// filled with a checked pattern.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <vector>

enum class TKlFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };
enum class TKlTextAlign {
  ttaTopLeft,
  ttaTop,
  ttaTopRight,
  ttaRight,
  ttaBottomRight,
  ttaBottom,
  ttaBottomLeft,
  ttaLeft,
  ttaCenter
};

class TTransparentButton : public QWidget {
  Q_OBJECT
public:
  explicit TTransparentButton(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& c);
  bool Down() const { return down_; }
  void SetDown(bool d);
  bool Pressed() const { return pressed_; }
  bool MouseInside() const { return inside_; }

  bool AutoGray() const { return autoGray_; }
  void SetAutoGray(bool v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  QColor Color() const { return color_; }
  void SetColor(const QColor& c);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TKlFrameStyle FrameStyle() const { return frameStyle_; }
  void SetFrameStyle(TKlFrameStyle v);
  const QPixmap& Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& g);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  int Offset() const { return offset_; }
  void SetOffset(int v) { offset_ = v; }
  bool ShowPressed() const { return showPressed_; }
  void SetShowPressed(bool v) { showPressed_ = v; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  TKlTextAlign TextAlign() const { return textAlign_; }
  void SetTextAlign(TKlTextAlign v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);

  // The click the mouse and the accelerator make: clicked(), then latch.
  void Click();

  // The picture drawn now (index into the glyph list: the NumGlyphs
  // slices, then the grey and the disabled picture), -1 for none.
  int IndiceImagen() const;
  const std::vector<QImage>& Imagenes() const { return imagenes_; }
  // Where the caption is drawn.
  QRect RectanguloTexto() const;
  QRect RectanguloImagen() const;

  QSize sizeHint() const override { return QSize(40, 40); }

signals:
  void clicked();
  void MouseEnter();
  void MouseExit();

protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool event(QEvent* e) override;

private:
  void RehaceImagenes();
  void Cambia() { update(); }

  QString caption_;
  bool down_ = false;
  bool pressed_ = false;
  bool inside_ = false;
  bool pulsadoRaton_ = false;
  bool autoGray_ = true;
  int borderWidth_ = 1;
  QColor color_;
  bool flat_ = true;
  TKlFrameStyle frameStyle_ = TKlFrameStyle::fsExplorer;
  QPixmap glyph_;
  int numGlyphs_ = 1;
  int offset_ = 1;
  bool showPressed_ = true;
  int spacing_ = 2;
  TKlTextAlign textAlign_ = TKlTextAlign::ttaCenter;
  bool transparent_ = true;
  bool wordWrap_ = false;
  int atajo_ = 0;
  std::vector<QImage> imagenes_;
};
