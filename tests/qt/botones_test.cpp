// The latching page button and the arrow button.
#include <QMenu>
#include <QPainter>
#include <QtTest>

#include "ArrowBtn.h"
#include "TransBtn.h"

namespace {

QPixmap Tira(int ancho, int alto) {
  QImage i(ancho, alto, QImage::Format_RGB32);
  i.fill(Qt::white);
  QPainter p(&i);
  for (int x = 0; x < ancho; x += alto) p.fillRect(x + 2, 2, alto - 4, alto - 4, QColor(200, 0, 0));
  return QPixmap::fromImage(i);
}

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
  QCOMPARE(b.iconSize(), QSize(16, 16));
  // The strip's lower-left colour is transparent in the icon.
  const QImage i = b.icon().pixmap(16, 16).toImage();
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

QTEST_MAIN(BotonesTest)
#include "botones_test.moc"
