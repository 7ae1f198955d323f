#include "TransLED.h"

#include <QPainter>

// The pictures live in this library's resource file, which a static
// library must register itself.
static void RegistraRecursos() {
  static const bool hecho = [] {
    Q_INIT_RESOURCE(componentes);
    return true;
  }();
  (void)hecho;
}

TTransLED::TTransLED(QWidget* parent) : QWidget(parent) {
  RegistraRecursos();
  setAttribute(Qt::WA_TranslucentBackground);
  resize(17, 17);
  SetColor(QColor(0, 255, 0));
}

void TTransLED::SetColor(const QColor& c) {
  if (c == color_ && !imagen_.isNull()) return;
  color_ = c;
  const QImage led = QImage(":/componentes/LED_GREEN").convertToFormat(QImage::Format_ARGB32);
  const QImage mascara = QImage(":/componentes/LED_MASK").convertToFormat(QImage::Format_RGB32);
  imagen_ = led;
  const QRgb lima = qRgb(0, 255, 0);
  for (int y = 0; y < led.height(); ++y)
    for (int x = 0; x < led.width(); ++x) {
      // Black in the mask is the LED; around it the background shows.
      if ((mascara.pixel(x, y) & 0xFFFFFF) != 0) imagen_.setPixel(x, y, qRgba(0, 0, 0, 0));
      else if (led.pixel(x, y) == lima) imagen_.setPixel(x, y, c.rgb());
    }
  update();
}

QRect TTransLED::RectanguloImagen() const {
  return QRect((width() - imagen_.width()) / 2, (height() - imagen_.height()) / 2, imagen_.width(), imagen_.height());
}

void TTransLED::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(RectanguloImagen().topLeft(), imagen_);
}
