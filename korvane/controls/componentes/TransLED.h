// An LED drawn in any colour over a transparent background (the operation
// window's supply indicator, the profile editor's line LEDs). A window
// places it (17 x 17 pixels, the picture centred in larger sizes) and sets
// its Color; only the picture's lit pixels take the colour.
#pragma once

#include <QImage>
#include <QWidget>

class TTransLED : public QWidget {
  Q_OBJECT
public:
  explicit TTransLED(QWidget* parent = nullptr);
  QColor Color() const { return color_; }
  void SetColor(const QColor& c);
  // The picture in the current colour, transparent around the LED.
  const QImage& Imagen() const { return imagen_; }
  // Where the picture is drawn.
  QRect RectanguloImagen() const;
  QSize sizeHint() const override { return QSize(17, 17); }

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  QColor color_;
  QImage imagen_;
};
