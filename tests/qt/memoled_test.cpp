// The framed memo, the LED and the link labels.
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

#include "KlLabel.h"
#include "KvEdit.h"
#include "TransLED.h"

class Receptor : public QObject {
  Q_OBJECT
public:
  QList<QUrl> urls;
public slots:
  void abre(const QUrl& u) { urls << u; }
};

class MemoLedTest : public QObject {
  Q_OBJECT
private slots:
  void ruedaNoAmplia();
  void coloresPorEstado();
  void marcoDelLog();
  void lineaYColumna();
  void tabConEnter();
  void ledTransparenteYRecoloreado();
  void enlaceAbreSoloWebYCorreo();
  void colorDeHintRestaurado();
};

void MemoLedTest::ruedaNoAmplia() {
  TKvMemo m;
  m.setReadOnly(true);
  m.setLineWrapMode(QPlainTextEdit::NoWrap);
  for (int i = 0; i < 200; ++i) m.appendPlainText(QString("line %1").arg(i));
  m.resize(200, 100);
  m.show();
  QVERIFY(QTest::qWaitForWindowExposed(&m));
  m.verticalScrollBar()->setValue(50);
  const QFont antes = m.font();
  QSignalSpy abajo(&m, &TKvMemo::MouseWheelDown);
  auto rueda = [&](int angulo, Qt::KeyboardModifiers mods) {
    const QPointF c = m.viewport()->rect().center();
    QWheelEvent e(c, m.viewport()->mapToGlobal(c), QPoint(), QPoint(0, angulo), Qt::NoButton, mods, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(m.viewport(), &e);
  };
  rueda(-120, Qt::NoModifier);
  QCOMPARE(m.verticalScrollBar()->value(), 51);
  QCOMPARE(abajo.count(), 1);
  rueda(120, Qt::ControlModifier);
  QCOMPARE(m.verticalScrollBar()->value(), 51 - QApplication::wheelScrollLines());
  QCOMPARE(m.font(), antes);
  rueda(-60, Qt::NoModifier);  // half a notch: nothing yet
  QCOMPARE(m.verticalScrollBar()->value(), 51 - QApplication::wheelScrollLines());
  rueda(-60, Qt::NoModifier);
  QCOMPARE(m.verticalScrollBar()->value(), 52 - QApplication::wheelScrollLines());
}

void MemoLedTest::coloresPorEstado() {
  QWidget v;
  auto* m = new TKvMemo(&v);
  auto* otra = new QLineEdit(&v);
  otra->move(0, 120);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  otra->setFocus();
  const QColor amarillo(255, 255, 0), verde(0, 255, 0), gris(100, 100, 100);
  QCOMPARE(m->FocusColor(), m->Color());
  m->SetColor(amarillo);  // FocusColor moves along while equal
  QCOMPARE(m->FocusColor(), amarillo);
  m->SetFocusColor(verde);
  m->SetColor(gris);
  QCOMPARE(m->FocusColor(), verde);
  QCOMPARE(m->palette().color(QPalette::Base), gris);
  m->setFocus();
  QCOMPARE(m->palette().color(QPalette::Base), verde);
  otra->setFocus();
  QCOMPARE(m->palette().color(QPalette::Base), gris);
  m->setEnabled(false);
  QCOMPARE(m->palette().color(QPalette::Base), m->DisabledColor());
}

void MemoLedTest::marcoDelLog() {
  QWidget v;
  auto* m = new TKvMemo(&v);
  auto* otra = new QLineEdit(&v);
  otra->move(0, 120);
  m->resize(100, 100);
  QVERIFY(!m->FrameVisible());
  m->SetFrameHotTrack(true);
  QVERIFY(m->FrameVisible());
  QCOMPARE(m->FrameSides(), sdAll);
  m->SetFrameStyle(fsGroove);
  m->SetFrameHotStyle(fsGroove);
  m->SetFrameColor(QColor(0, 0, 0));
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  otra->setFocus();
  const QImage frio = m->grab().toImage();
  m->setFocus();
  QVERIFY(m->Caliente());
  const QImage caliente = m->grab().toImage();
  // A groove in the system colours either way: the frame colours are not used.
  for (QPoint p : {QPoint(0, 50), QPoint(1, 50), QPoint(50, 0), QPoint(99, 50), QPoint(50, 98)})
    QCOMPARE(caliente.pixelColor(p), frio.pixelColor(p));
  QCOMPARE(frio.pixelColor(0, 50).rgb(), clBtnShadow().rgb());
  QCOMPARE(frio.pixelColor(1, 50).rgb(), clBtnHighlight().rgb());
  QCOMPARE(m->contentsRect(), QRect(2, 2, 96, 96));
}

void MemoLedTest::lineaYColumna() {
  TKvMemo m;
  m.setPlainText("abc\ndefgh\ni");
  QSignalSpy lc(&m, &TKvMemo::LineColChange);
  QSignalSpy pp(&m, &TKvMemo::ClipboardChange);
  m.SetLine(2);
  QCOMPARE(m.Line(), 2);
  QCOMPARE(m.Col(), 1);
  QCOMPARE(m.SetCol(4), 4);
  QCOMPARE(m.Col(), 4);
  QCOMPARE(m.SetCol(7), 6);  // past the line's end + 1: refused
  QCOMPARE(m.Col(), 4);
  QVERIFY(lc.count() >= 2);
  QCOMPARE(lc.last().at(0).toInt(), 2);
  QCOMPARE(lc.last().at(1).toInt(), 4);
  QVERIFY(pp.count() >= 1);
  m.selectAll();
  QCOMPARE(pp.last().at(0).toBool(), true);
}

void MemoLedTest::tabConEnter() {
  QWidget v;
  auto* m = new TKvMemo(&v);
  auto* otra = new QLineEdit(&v);
  otra->move(0, 120);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  m->setFocus();
  m->SetTabOnEnter(true);
  QTest::keyClick(m, Qt::Key_Return);
  QVERIFY(otra->hasFocus());
  QCOMPARE(m->toPlainText(), QString());
}

void MemoLedTest::ledTransparenteYRecoloreado() {
  QWidget fondo;
  fondo.setAutoFillBackground(true);
  QPalette p = fondo.palette();
  p.setColor(QPalette::Window, QColor(0, 0, 255));
  fondo.setPalette(p);
  fondo.resize(40, 40);
  auto* led = new TTransLED(&fondo);
  led->setGeometry(5, 5, 21, 21);
  const QImage verde = led->Imagen();
  QImage img = fondo.grab().toImage();
  const QRect r = led->RectanguloImagen().translated(led->pos());
  QCOMPARE(r.size(), QSize(17, 17));
  QCOMPARE(img.pixelColor(r.topLeft()), QColor(0, 0, 255));  // the background shows through
  QCOMPARE(img.pixelColor(r.center()), QColor(0, 255, 0));
  led->SetColor(QColor(255, 0, 0));
  img = fondo.grab().toImage();
  QCOMPARE(img.pixelColor(r.center()), QColor(255, 0, 0));
  QCOMPARE(img.pixelColor(r.topLeft()), QColor(0, 0, 255));
  // Only the pure green pixels changed.
  int cambiados = 0;
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 17; ++x) {
      const QRgb antes = verde.pixel(x, y), ahora = led->Imagen().pixel(x, y);
      if (antes == qRgb(0, 255, 0)) {
        QCOMPARE(ahora, qRgb(255, 0, 0));
        ++cambiados;
      } else {
        QCOMPARE(ahora, antes);
      }
    }
  QVERIFY(cambiados > 50);
  led->SetColor(QColor(0, 255, 0));
  QCOMPARE(led->Imagen(), verde);
}

void MemoLedTest::enlaceAbreSoloWebYCorreo() {
  Receptor r;
  for (const char* esquema : {"http", "https", "mailto", "ftp", "file"})
    QDesktopServices::setUrlHandler(esquema, &r, "abre");
  QWidget v;
  auto* l = new THotLink(&v);
  l->setText("web");
  l->resize(80, 20);
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  QSignalSpy click(l, &THotLink::clicked);
  struct Caso {
    const char* url;
    bool abre;
  } casos[] = {{"https://example.org/korvane", true}, {"http://example.org", true}, {"mailto:a@example.org", true},
               {"ftp://example.org", false},           {"file:///etc/passwd", false}, {"http://", false}};
  for (const Caso& c : casos) {
    r.urls.clear();
    l->SetUrl(c.url);
    QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(r.urls.size(), c.abre ? 1 : 0);
    if (c.abre) QCOMPARE(r.urls.front(), QUrl(c.url));
  }
  QCOMPARE(click.count(), 6);
  for (const char* esquema : {"http", "https", "mailto", "ftp", "file"}) QDesktopServices::unsetUrlHandler(esquema);
}

void MemoLedTest::colorDeHintRestaurado() {
  const QColor original = QToolTip::palette().color(QPalette::ToolTipBase);
  QWidget v;
  auto* l = new THotLink(&v);
  l->SetHintColor(QColor(1, 2, 3));
  l->setText("web");
  const QFont fuente = l->font();
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  auto entra = [&] {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), l->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(l, &e);
  };
  auto sale = [&] {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(l, &e);
  };
  for (int i = 0; i < 2; ++i) {
    entra();
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(1, 2, 3));
    QVERIFY(l->font().underline());
    sale();
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), original);
    QCOMPARE(l->font(), fuente);
  }
  entra();
  l->hide();
  QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), original);
  l->show();
  entra();
  delete l;
  QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), original);
}

QTEST_MAIN(MemoLedTest)
#include "memoled_test.moc"
