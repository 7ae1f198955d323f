// The latching page button and the arrow button.
#include <QMenu>
#include <QPainter>
#include <QtTest>

#include "ArrowBtn.h"
#include "KvCommon.h"
#include "TransBtn.h"

namespace {

QPixmap Tira(int ancho, int alto) {
  QImage i(ancho, alto, QImage::Format_RGB32);
  i.fill(Qt::white);
  QPainter p(&i);
  for (int x = 0; x < ancho; x += alto) p.fillRect(x + 2, 2, alto - 4, alto - 4, QColor(200, 0, 0));
  return QPixmap::fromImage(i);
}

// A strip of square pictures on white, each with a centre square of its
// own colour.
QPixmap TiraColores(const QList<QColor>& colores, int lado = 16) {
  QImage i(lado * int(colores.size()), lado, QImage::Format_RGB32);
  i.fill(Qt::white);
  QPainter p(&i);
  for (int k = 0; k < colores.size(); ++k) p.fillRect(k * lado + 2, 2, lado - 4, lado - 4, colores[k]);
  return QPixmap::fromImage(i);
}

// The smallest rectangle holding every pixel of `img` inside `zona` for
// which `es` holds; empty when none does.
template <class F>
QRect Caja(const QImage& img, const QRect& zona, F es) {
  QRect r;
  for (int y = zona.top(); y <= zona.bottom(); ++y)
    for (int x = zona.left(); x <= zona.right(); ++x)
      if (es(img.pixelColor(x, y))) r |= QRect(x, y, 1, 1);
  return r;
}

// The pointer leaves the widget (the offscreen pointer may start over a
// window at the screen's corner).
void SinRaton(QWidget* w) {
  QEvent sale(QEvent::Leave);
  QCoreApplication::sendEvent(w, &sale);
}

bool Tinta(const QColor& c) { return c.lightness() < 100; }

}  // namespace

class BotonesTest : public QObject {
  Q_OBJECT
private slots:
  void botonDePaginaSeEnclava();
  void rotuloYImagenes_data();
  void rotuloYImagenes();
  void imagenSegunEstado();
  void flechaBordes();
  void flechaPropiedades();
  void flechaNoEsClick();
  void menuRealNoSeTragaElClick_data();
  void menuRealNoSeTragaElClick();
  void clickSoltadoFuera();
  void flechaDisposicion_data();
  void flechaDisposicion();
  void flechaFillFont();
  void flechaImagenPorEstado();
  void flechaPatronExclusivo();
  void flechaDobleClick_data();
  void flechaDobleClick();
  void flechaAcelerador();
  void flechaDibujo();
};

void BotonesTest::botonDePaginaSeEnclava() {
  QWidget v;
  auto* a = new TTransparentButton(&v);
  auto* b = new TTransparentButton(&v);
  a->resize(90, 24);
  b->setGeometry(100, 0, 90, 24);
  a->SetCaption("&Codigo");
  a->SetDown(true);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  QStringList visto;
  // The window's handler: release the others; at that moment the clicked
  // button has not latched yet.
  for (TTransparentButton* x : {a, b})
    connect(x, &TTransparentButton::clicked, [&, x] {
      visto << QString("%1 down=%2").arg(x == a ? "a" : "b").arg(x->Down());
      for (TTransparentButton* o : {a, b})
        if (o != x) o->SetDown(false);
    });
  QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
  QCOMPARE(visto, QStringList({"b down=0"}));
  QVERIFY(b->Down());
  QVERIFY(!a->Down());
  // A click on a button that is down fires again and leaves it down.
  QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
  QCOMPARE(visto.size(), 2);
  QVERIFY(b->Down());
  // The caption's accelerator clicks it.
  QTest::keyClick(&v, Qt::Key_C, Qt::AltModifier);
  QCOMPARE(visto.last(), QString("a down=0"));
  QVERIFY(a->Down());
  QVERIFY(!b->Down());
}

void BotonesTest::rotuloYImagenes_data() {
  QTest::addColumn<int>("ancho");
  QTest::addColumn<int>("alto");
  QTest::addColumn<int>("imagenes");
  QTest::newRow("32x16") << 32 << 16 << 2;
  QTest::newRow("80x16, five squares") << 80 << 16 << 1;
  QTest::newRow("48x16") << 48 << 16 << 3;
  QTest::newRow("20x16, no multiple") << 20 << 16 << 1;
}

void BotonesTest::rotuloYImagenes() {
  QFETCH(int, ancho);
  QFETCH(int, alto);
  QFETCH(int, imagenes);
  TTransparentButton b;
  b.SetGlyph(Tira(ancho, alto));
  QCOMPARE(b.NumGlyphs(), imagenes);
  QCOMPARE(int(b.Imagenes().size()), imagenes + 2);
  b.SetCaption("Cod.ICSP1");
  QCOMPARE(b.Caption(), QString("Cod.ICSP"));
  b.SetNumGlyphs(7);
  QCOMPARE(b.NumGlyphs(), 4);
}

void BotonesTest::imagenSegunEstado() {
  TTransparentButton b;
  b.resize(90, 24);
  b.SetGlyph(Tira(16, 16));
  const int gris = int(b.Imagenes().size()) - 2, relieve = gris + 1;
  QCOMPARE(b.IndiceImagen(), gris);  // flat, mouse away
  // The grey picture weighs red by 11, green by 59, blue by 30.
  const QColor g = b.Imagenes()[size_t(gris)].pixelColor(8, 8);
  QCOMPARE(g.red(), 200 * 11 / 100);
  b.SetDown(true);
  QCOMPARE(b.IndiceImagen(), 0);
  b.SetDown(false);
  b.setEnabled(false);
  QCOMPARE(b.IndiceImagen(), relieve);
  b.SetGlyph(Tira(32, 16));
  QCOMPARE(b.IndiceImagen(), int(b.Imagenes().size()) - 2);  // two pictures: grey while away
  // The caption stays right of the picture and inside the button.
  b.SetCaption("Datos");
  const QRect t = b.RectanguloTexto();
  QVERIFY(t.left() > b.RectanguloImagen().right());
  QVERIFY(t.right() < b.width());
  // A down button shows the checked pattern around its content.
  b.setEnabled(true);
  b.SetDown(true);
  const QImage img = b.grab().toImage();
  QVERIFY(img.pixelColor(3, 3) != img.pixelColor(4, 3));
}

void BotonesTest::flechaBordes() {
  TArrowButton b;
  b.resize(41, 22);
  struct Caso {
    int x;
    bool flecha;
  } casos[] = {{41 - 13, true}, {41 - 14, false}, {41, true}, {40, true}, {0, false}};
  for (const Caso& c : casos) QCOMPARE(b.EnFlecha(QPoint(c.x, 10)), c.flecha);
}

void BotonesTest::flechaPropiedades() {
  TArrowButton b;
  b.SetNumGlyphs(7);
  QCOMPARE(b.NumGlyphs(), 4);
  b.SetMargin(3);
  b.SetMargin(-2);
  QCOMPARE(b.Margin(), 3);
  b.SetNumGlyphs(2);
  b.SetGlyph(Tira(32, 16));
  QCOMPARE(b.Imagen(bsUp).size(), QSize(16, 16));
  // The strip's lower-left colour is transparent in the picture.
  const QImage i = b.Imagen(bsUp);
  QCOMPARE(qAlpha(i.pixel(0, 15)), 0);
  QCOMPARE(i.pixelColor(8, 8), QColor(200, 0, 0));
  // A button without a group never goes down.
  b.SetDown(true);
  QVERIFY(!b.Down());
  // In a group, one down at a time; a down one is released only by another.
  QWidget v;
  auto* x = new TArrowButton(&v);
  auto* y = new TArrowButton(&v);
  x->SetGroupIndex(1);
  y->SetGroupIndex(1);
  x->SetDown(true);
  y->SetDown(true);
  QVERIFY(y->Down());
  QVERIFY(!x->Down());
  y->SetDown(false);
  QVERIFY(y->Down());
}

void BotonesTest::flechaNoEsClick() {
  QWidget v;
  auto* b = new TArrowButton(&v);
  b->resize(41, 22);
  QMenu menu;
  menu.addAction("uno");
  b->SetDropDown(&menu);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  QSignalSpy click(b, &TArrowButton::clicked);
  QSignalSpy drop(b, &TArrowButton::Drop);
  QStringList orden;
  connect(b, &TArrowButton::Drop, [&] { orden << "drop"; });
  b->MuestraMenu = [&](QMenu* m, const QPoint& p) {
    orden << "menu";
    QCOMPARE(m, &menu);
    QCOMPARE(p, b->mapToGlobal(QPoint(0, b->height())));
    QVERIFY(b->ArrowPressed());
    // A click the user made while the menu was open, still queued.
    const QPointF c(5, 5);
    QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, c, b->mapToGlobal(c), Qt::LeftButton,
                                                   Qt::LeftButton, {}));
    QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonRelease, c, b->mapToGlobal(c), Qt::LeftButton,
                                                   {}, {}));
  };
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() - 3, 10));
  QCoreApplication::processEvents();
  QCOMPARE(orden, QStringList({"menu", "drop"}));
  QCOMPARE(click.count(), 0);
  QVERIFY(!b->ArrowPressed());
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 10));
  QCOMPARE(click.count(), 1);
  QCOMPARE(drop.count(), 1);
}

// The real menu, driven through the window system as a user's mouse is:
// the release of the press that opened it goes to the open menu, which
// then closes; the next click on the main part is a click.
void BotonesTest::menuRealNoSeTragaElClick_data() {
  QTest::addColumn<bool>("conItem");
  QTest::newRow("an item chosen") << true;
  QTest::newRow("empty list closed with Escape") << false;
}

void BotonesTest::menuRealNoSeTragaElClick() {
  QFETCH(bool, conItem);
  QWidget v;
  v.resize(200, 100);
  auto* b = new TArrowButton(&v);
  b->setGeometry(10, 10, 41, 22);
  QMenu menu;
  if (conItem) menu.addAction("uno");
  b->SetDropDown(&menu);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  QWindow* ventana = v.windowHandle();
  QSignalSpy click(b, &TArrowButton::clicked);
  QSignalSpy elegido(&menu, &QMenu::triggered);
  QSignalSpy drop(b, &TArrowButton::Drop);
  const QPoint flecha = b->mapTo(&v, QPoint(b->width() - 3, 10));
  bool abierto = false;
  connect(&menu, &QMenu::aboutToShow, &menu, [&] {
    QMetaObject::invokeMethod(
        &menu,
        [&] {
          abierto = menu.isVisible();
          QTest::mouseRelease(ventana, Qt::LeftButton, {}, flecha);
          if (conItem) {
            QTest::mouseClick(menu.windowHandle(), Qt::LeftButton, {}, menu.actionGeometry(menu.actions()[0]).center());
          } else {
            QTest::keyClick(&menu, Qt::Key_Escape);
          }
        },
        Qt::QueuedConnection);
  });
  QTest::mousePress(ventana, Qt::LeftButton, {}, flecha);
  QVERIFY(abierto);
  QVERIFY(!menu.isVisible());
  QCOMPARE(drop.count(), 1);
  QCOMPARE(elegido.count(), conItem ? 1 : 0);
  QCOMPARE(click.count(), 0);
  QTest::mouseClick(ventana, Qt::LeftButton, {}, b->mapTo(&v, QPoint(5, 10)));
  QCOMPARE(click.count(), 1);
  QVERIFY(!b->isDown());
}

void BotonesTest::clickSoltadoFuera() {
  QWidget v;
  v.resize(200, 100);
  auto* b = new TArrowButton(&v);
  b->resize(41, 22);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  QSignalSpy click(b, &TArrowButton::clicked);
  QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 10));
  QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(100, 60));
  QCOMPARE(click.count(), 0);
  // Released over its own arrow part: no click either.
  QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 10));
  QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(b->width() - 3, 10));
  QCOMPARE(click.count(), 0);
}

// Glyph and caption placed by Layout, Margin and Spacing, read back from
// the pixels: the glyph's red square and the caption's ink.
void BotonesTest::flechaDisposicion_data() {
  QTest::addColumn<int>("layout");
  QTest::addColumn<int>("margin");
  QTest::addColumn<int>("spacing");
  QTest::addColumn<QString>("caption");
  const char* nombres[] = {"left", "right", "top", "bottom"};
  for (int l = blGlyphLeft; l <= blGlyphBottom; ++l) {
    QTest::addRow("%s, centred", nombres[l]) << l << -1 << 4 << "Abc";
    QTest::addRow("%s, centred, spacing 9", nombres[l]) << l << -1 << 9 << "Abc";
    QTest::addRow("%s, margin 3 spacing 6", nombres[l]) << l << 3 << 6 << "Abc";
    QTest::addRow("%s, margin 0 spacing 0", nombres[l]) << l << 0 << 0 << "Abc";
    QTest::addRow("%s, thirds", nombres[l]) << l << -1 << -1 << "Abc";
    QTest::addRow("%s, margin 5, caption centred in the rest", nombres[l]) << l << 5 << -1 << "Abc";
    QTest::addRow("%s, no caption, centred", nombres[l]) << l << -1 << 7 << "";
    QTest::addRow("%s, no caption, margin 4", nombres[l]) << l << 4 << 7 << "";
  }
}

void BotonesTest::flechaDisposicion() {
  QFETCH(int, layout);
  QFETCH(int, margin);
  QFETCH(int, spacing);
  QFETCH(QString, caption);
  TArrowButton b;
  b.resize(120, 70);
  b.SetFlat(true);
  b.SetGlyph(TiraColores({QColor(200, 0, 0)}));
  b.SetCaption(caption);
  b.SetLayout(TButtonLayout(layout));
  b.SetMargin(margin);
  b.SetSpacing(spacing);
  const QRect c = b.Cliente();
  QCOMPARE(c, QRect(1, 1, b.width() - b.ArrowWidth() - 2, b.height() - 2));
  const QRect g = b.RectanguloImagen(), t = b.RectanguloTexto();
  QCOMPARE(g.size(), QSize(16, 16));

  // What the pixels show is what the button reports.
  const QImage img = b.grab().toImage();
  const QRect cuerpo(0, 0, b.width() - b.ArrowWidth(), b.height());
  QCOMPARE(Caja(img, cuerpo, [](const QColor& x) { return x == QColor(200, 0, 0); }), g.adjusted(2, 2, -2, -2));
  const QRect tinta = Caja(img, cuerpo.adjusted(1, 1, -1, -1), Tinta);
  if (caption.isEmpty()) {
    QVERIFY(tinta.isEmpty());
  } else {
    const QSize medida = QFontMetrics(b.font()).size(Qt::TextSingleLine, caption);
    QCOMPARE(t.size(), medida);
    QVERIFY2(t.contains(tinta) && !tinta.isEmpty(), "the caption's ink lies in its rectangle");
  }

  // Along the layout's direction: the free room before the first piece,
  // between the two and after the last.
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  auto ini = [&](const QRect& r) { return horizontal ? r.left() : r.top(); };
  auto fin = [&](const QRect& r) { return horizontal ? r.right() + 1 : r.bottom() + 1; };
  const bool glifoPrimero = layout == blGlyphLeft || layout == blGlyphTop;
  QRect primero = g, ultimo = g;
  if (!caption.isEmpty()) (glifoPrimero ? ultimo : primero) = t;
  const int antes = ini(primero) - ini(c), despues = fin(c) - fin(ultimo);
  const int entre = caption.isEmpty() ? 0 : ini(ultimo) - fin(primero);
  const int margenGlifo = glifoPrimero ? antes : despues;
  if (margin >= 0) QCOMPARE(margenGlifo, margin);
  if (caption.isEmpty()) {
    if (margin == -1) QVERIFY(std::abs(antes - despues) <= 1);
  } else if (margin == -1 && spacing == -1) {
    QVERIFY2(std::abs(antes - entre) <= 2 && std::abs(despues - entre) <= 2, "the free room in three");
  } else if (margin == -1) {
    QCOMPARE(entre, spacing);
    QVERIFY(std::abs(antes - despues) <= 1);
  } else if (spacing == -1) {
    // The caption in the middle of the room the glyph leaves.
    const int otroLado = glifoPrimero ? despues : antes;
    QVERIFY(std::abs(entre - otroLado) <= 1);
  } else {
    QCOMPARE(entre, spacing);
  }
  // Across it, both centred.
  auto centrado = [&](const QRect& r) {
    return horizontal ? std::abs((r.top() - c.top()) - (c.bottom() - r.bottom())) <= 1
                      : std::abs((r.left() - c.left()) - (c.right() - r.right())) <= 1;
  };
  QVERIFY(centrado(g));
  if (!caption.isEmpty()) QVERIFY(centrado(t));
}

// The caption takes FillFont while the mouse is over a flat button.
void BotonesTest::flechaFillFont() {
  QWidget v;
  auto* b = new TArrowButton(&v);
  b->resize(160, 40);
  b->SetFlat(true);
  b->SetCaption("Abrir");
  QCOMPARE(b->FillFont(), b->font());
  QFont grande = b->font();
  grande.setPointSize(b->font().pointSize() * 2);
  grande.setBold(true);
  b->SetFillFont(grande);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  SinRaton(b);
  const QRect cuerpo(0, 0, b->width() - b->ArrowWidth(), b->height());
  auto anchoTinta = [&] { return Caja(b->grab().toImage(), cuerpo.adjusted(1, 1, -1, -1), Tinta).width(); };
  const int fuera = anchoTinta();
  QCOMPARE(b->RectanguloTexto().width(), QFontMetrics(b->font()).horizontalAdvance("Abrir"));
  QEnterEvent entra(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
  QCoreApplication::sendEvent(b, &entra);
  QVERIFY(b->MouseInside());
  QCOMPARE(b->RectanguloTexto().width(), QFontMetrics(grande).horizontalAdvance("Abrir"));
  QVERIFY(anchoTinta() > fuera);
  QEvent sale(QEvent::Leave);
  QCoreApplication::sendEvent(b, &sale);
  QVERIFY(!b->MouseInside());
  QCOMPARE(anchoTinta(), fuera);
  // A button with a frame never takes the hover font.
  b->SetFlat(false);
  QCoreApplication::sendEvent(b, &entra);
  QVERIFY(!b->MouseInside());
  QCOMPARE(b->RectanguloTexto().width(), QFontMetrics(b->font()).horizontalAdvance("Abrir"));
}

// Each state shows its own picture of the strip, and the ones a strip
// lacks come from the up picture.
void BotonesTest::flechaImagenPorEstado() {
  const QColor rojo(200, 0, 0), verde(0, 160, 0), azul(0, 0, 190), amarillo(220, 200, 0);
  QWidget v;
  auto* b = new TArrowButton(&v);
  b->resize(80, 40);
  b->SetFlat(true);
  b->SetGroupIndex(1);
  b->SetAllowAllUp(true);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  SinRaton(b);
  auto centro = [&] { return b->grab().toImage().pixelColor(b->RectanguloImagen().center()); };
  struct Caso {
    int imagenes;
    QColor arriba, pulsado, exclusivo;
  } casos[] = {{4, rojo, azul, amarillo}, {3, rojo, azul, rojo}, {2, rojo, rojo, rojo}, {1, rojo, rojo, rojo}};
  const QList<QColor> todos{rojo, verde, azul, amarillo};
  for (const Caso& k : casos) {
    b->SetNumGlyphs(k.imagenes);
    b->SetGlyph(TiraColores(todos.mid(0, k.imagenes)));
    QCOMPARE(b->Estado(), bsUp);
    QCOMPARE(centro(), k.arriba);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b->Estado(), bsDown);
    QCOMPARE(centro(), k.pulsado);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(b->Down());
    QCOMPARE(b->Estado(), bsExclusive);
    QCOMPARE(centro(), k.exclusivo);
    b->SetDown(false);
  }
  // The content of a pressed button moves by a pixel.
  const QRect arriba = b->RectanguloImagen();
  b->SetDown(true);
  QCOMPARE(b->RectanguloImagen(), arriba.translated(1, 1));
  b->SetDown(false);

  // Disabled: a strip's own second picture in the system colours; a single
  // picture embossed, its ink in the shadow colour.
  b->setEnabled(false);
  QCOMPARE(b->Estado(), bsDisabled);
  QImage tira(32, 16, QImage::Format_RGB32);
  tira.fill(QColor(0, 128, 128));  // the transparent colour
  tira.setPixelColor(16 + 5, 5, Qt::white);
  tira.setPixelColor(16 + 6, 5, QColor(128, 128, 128));
  tira.setPixelColor(16 + 7, 5, verde);
  b->SetNumGlyphs(2);
  b->SetGlyph(QPixmap::fromImage(tira));
  const QImage d = b->Imagen(bsDisabled);
  QCOMPARE(d.pixel(5, 5), clBtnHighlight().rgb());
  QCOMPARE(d.pixel(6, 5), clBtnShadow().rgb());
  QCOMPARE(d.pixel(7, 5), verde.rgb());
  QCOMPARE(d.pixel(0, 15), clBtnFace().rgb());
  // A change of system colours remakes the picture in the new ones.
  const QPalette antes = QApplication::palette();
  QPalette otra = antes;
  otra.setColor(QPalette::Light, QColor(250, 240, 10));
  QApplication::setPalette(otra);
  QTRY_COMPARE(b->Imagen(bsDisabled).pixel(5, 5), qRgb(250, 240, 10));
  QApplication::setPalette(antes);
  QTRY_COMPARE(b->Imagen(bsDisabled).pixel(5, 5), clBtnHighlight().rgb());
  b->SetNumGlyphs(1);
  b->SetGlyph(TiraColores({rojo}));
  QCOMPARE(centro().rgb(), clBtnShadow().rgb());
  // The caption twice: highlight one pixel right and down, then shadow
  // (unsmoothed, so that every pixel has one of the two colours).
  QFont f = b->font();
  f.setStyleStrategy(QFont::NoAntialias);
  b->setFont(f);
  b->SetCaption("Abc");
  const QImage img = b->grab().toImage();
  const QRect t = b->RectanguloTexto();
  const QRect sombra =
      Caja(img, t.adjusted(-1, -1, 2, 2), [](const QColor& x) { return x.rgb() == clBtnShadow().rgb(); });
  const QRect luz =
      Caja(img, t.adjusted(-1, -1, 2, 2), [](const QColor& x) { return x.rgb() == clBtnHighlight().rgb(); });
  QVERIFY(!sombra.isEmpty());
  QCOMPARE(luz.bottomRight(), sombra.bottomRight() + QPoint(1, 1));
}

// A latched button is filled with the shared checked pattern: the face
// colour with highlight pixels where row and column are both even or both
// odd.
void BotonesTest::flechaPatronExclusivo() {
  QCOMPARE(TArrowButton::Patron(), nullptr);
  {
    QWidget v;
    auto* a = new TArrowButton(&v);
    auto* b = new TArrowButton(&v);
    for (TArrowButton* x : {a, b}) {
      x->resize(80, 40);
      x->SetFlat(true);
      x->SetGroupIndex(1);
      x->SetGlyph(Tira(16, 16));
    }
    b->move(0, 50);
    v.show();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    SinRaton(a);
    SinRaton(b);
    auto patronEn = [](TArrowButton* x) {
      const QImage img = x->grab().toImage();
      const QRect c = x->Cliente();
      // A corner of the client area, away from the centred glyph.
      for (int y = c.top(); y < c.top() + 6; ++y)
        for (int x0 = c.left(); x0 < c.left() + 6; ++x0) {
          const QColor esperado = (x0 % 2) == (y % 2) ? clBtnHighlight() : clBtnFace();
          if (img.pixel(x0, y) != esperado.rgb()) return false;
        }
      return true;
    };
    QVERIFY(!patronEn(a));
    QCOMPARE(TArrowButton::Patron(), nullptr);  // made at the first need
    a->SetDown(true);
    QVERIFY(patronEn(a));
    const QImage* compartido = TArrowButton::Patron();
    QVERIFY(compartido);
    QCOMPARE(compartido->size(), QSize(8, 8));
    b->SetDown(true);
    QVERIFY(!a->Down());
    QVERIFY(!patronEn(a));
    QVERIFY(patronEn(b));
    QCOMPARE(TArrowButton::Patron(), compartido);
    // Not under the mouse of a flat button.
    QEnterEvent entra(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(b, &entra);
    QVERIFY(!patronEn(b));
    // A framed button shows it too.
    QEvent sale(QEvent::Leave);
    QCoreApplication::sendEvent(b, &sale);
    b->SetFlat(false);
    QVERIFY(patronEn(b));
    delete a;
    QVERIFY(TArrowButton::Patron());
  }
  QCOMPARE(TArrowButton::Patron(), nullptr);  // freed with the last button
}

void BotonesTest::flechaDobleClick_data() {
  QTest::addColumn<int>("grupo");
  QTest::addColumn<bool>("abajo");
  QTest::addColumn<bool>("todosArriba");
  QTest::addColumn<int>("dobles");
  QTest::newRow("down") << 1 << true << false << 1;
  QTest::newRow("up in a group: the first click latches it") << 1 << false << false << 1;
  QTest::newRow("down, AllowAllUp: the first click releases it") << 1 << true << true << 0;
  QTest::newRow("no group: never down") << 0 << false << false << 0;
}

void BotonesTest::flechaDobleClick() {
  QFETCH(int, grupo);
  QFETCH(bool, abajo);
  QFETCH(bool, todosArriba);
  QFETCH(int, dobles);
  QWidget v;
  auto* b = new TArrowButton(&v);
  b->resize(60, 25);
  b->SetGroupIndex(grupo);
  b->SetDown(abajo);
  b->SetAllowAllUp(todosArriba);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  QSignalSpy doble(b, &TArrowButton::DblClick);
  // What the window system sends: a click, then the double click and its
  // release.
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 10));
  QCOMPARE(doble.count(), 0);
  QTest::mouseDClick(b, Qt::LeftButton, {}, QPoint(5, 10));
  QCOMPARE(doble.count(), dobles);
}

void BotonesTest::flechaAcelerador() {
  QWidget v;
  auto* b = new TArrowButton(&v);
  b->resize(80, 25);
  b->SetCaption("&Xyz");
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  QSignalSpy click(b, &TArrowButton::clicked);
  QTest::keyClick(&v, Qt::Key_X, Qt::AltModifier);
  QTRY_COMPARE(click.count(), 1);
  b->setEnabled(false);
  QTest::keyClick(&v, Qt::Key_X, Qt::AltModifier);
  QCoreApplication::processEvents();
  QCOMPARE(click.count(), 1);
}

// The arrow: a triangle pointing down, each row two pixels narrower than
// the one above; it moves by a pixel right and down while its part looks
// pressed (with PressBoth, also while the main part is down), and a pixel
// left on a framed button.
void BotonesTest::flechaDibujo() {
  QCOMPARE(TArrowButton().size(), QSize(42, 25));
  TArrowButton b;
  b.resize(41, 22);
  b.SetFlat(true);
  b.SetGroupIndex(1);
  auto caja = [&](const QColor& tinta) {
    return Caja(b.grab().toImage(), b.ParteFlecha(), [&](const QColor& x) { return x.rgb() == tinta.rgb(); });
  };
  const QColor negro(0, 0, 0);
  const QRect arriba = caja(negro);
  QVERIFY(!arriba.isEmpty());
  const QImage img = b.grab().toImage();
  for (int y = arriba.top(); y <= arriba.bottom(); ++y) {
    const QRect fila = Caja(img, QRect(arriba.left(), y, arriba.width(), 1),
                            [&](const QColor& x) { return x.rgb() == negro.rgb(); });
    QCOMPARE(fila.width(), arriba.width() - 2 * (y - arriba.top()));
  }
  QCOMPARE(caja(negro).bottom() - arriba.top() + 1, (arriba.width() + 1) / 2);
  b.SetDown(true);
  QCOMPARE(caja(negro), arriba.translated(1, 1));
  b.SetPressBoth(false);
  QCOMPARE(caja(negro), arriba);
  b.SetFlat(false);
  QCOMPARE(caja(negro), arriba.translated(-1, 0));
  b.SetFlat(true);
  b.setEnabled(false);
  QCOMPARE(caja(clBtnShadow()), arriba);
}

QTEST_MAIN(BotonesTest)
#include "botones_test.moc"
