// Frame drawing, colour shading, panels, group boxes, the status bar and
// its panes.
#include <QApplication>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QtTest>
#include <functional>

#include "KvCommon.h"
#include "KvPanel.h"
#include "KvStatus.h"
#include "KvThemeSrv.h"

namespace {

const QColor cA(255, 0, 0), cB(0, 0, 255), cK(0, 255, 0), fondo(0, 0, 0), gris(100, 120, 140);

// Fixed system colours, so the maps below name them by letter.
void PaletaFija() {
  QPalette p = QApplication::palette();
  p.setColor(QPalette::Mid, QColor(128, 128, 128));       // S  button shadow
  p.setColor(QPalette::Light, QColor(255, 255, 255));     // H  button highlight
  p.setColor(QPalette::Shadow, QColor(64, 64, 64));       // D  3-D dark shadow
  p.setColor(QPalette::Midlight, QColor(224, 224, 224));  // L  3-D light
  p.setColor(QPalette::Button, QColor(192, 192, 192));
  p.setColor(QPalette::Window, QColor(192, 192, 192));
  QApplication::setPalette(p);
}

QString Mapa(const QImage& img) {
  QString s;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c == fondo) s += '.';
      else if (c == cA) s += 'A';
      else if (c == cB) s += 'B';
      else if (c == cK) s += 'K';
      else if (c == gris) s += 'g';
      else if (c == ShadeDown(gris, 50)) s += 'd';
      else if (c == ShadeUp(gris, 100)) s += 'u';
      else if (c == clBtnShadow()) s += 'S';
      else if (c == clBtnHighlight()) s += 'H';
      else if (c == cl3DDkShadow()) s += 'D';
      else if (c == cl3DLight()) s += 'L';
      else s += '?';
    }
    s += '\n';
  }
  return s;
}

QString Dibuja(int ancho, int alto, const std::function<QRect(QPainter&, QRect)>& f, QRect* dentro = nullptr) {
  QImage img(ancho, alto, QImage::Format_RGB32);
  img.fill(fondo);
  QPainter p(&img);
  const QRect r = f(p, QRect(0, 0, ancho, alto));
  if (dentro) *dentro = r;
  p.end();
  return Mapa(img);
}

struct Contador : TClienteParpadeo {
  bool BlinkQuery() const override { return true; }
  void Blink(int e) override { estados << e; }
  QList<int> estados;
};

}  // namespace

class MarcosTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { PaletaFija(); }
  void rutinasDeMarco_data();
  void rutinasDeMarco();
  void sinColorSoloEncoge();
  void sombreado_data();
  void sombreado();
  void margenesDelPanel();
  void grupo();
  void gripDeLaBarra();
  void panelesAutoSize();
  void panelSinMarco();
  void mismoTextoUnaVez();
  void parpadeo();
  void textoDeHint();
  void deshabilitadoEnRelieve();
  void temaDelEstilo();
};

void MarcosTest::rutinasDeMarco_data() {
  QTest::addColumn<int>("ancho");
  QTest::addColumn<int>("alto");
  QTest::addColumn<int>("rutina");
  QTest::addColumn<QString>("mapa");
  QTest::addColumn<QRect>("dentro");
  QTest::newRow("StrokeSides") << 5 << 4 << 0
                               << "AAAAB\n"
                                  "A...B\n"
                                  "A...B\n"
                                  "BBBBB\n"
                               << QRect(1, 1, 3, 2);
  QTest::newRow("groove, top only") << 6 << 3 << 1
                                    << "SSSSSS\n"
                                       "HHHHHH\n"
                                       "......\n"
                                    << QRect(0, 2, 6, 1);
  QTest::newRow("groove") << 5 << 5 << 2
                          << "SSSSH\n"
                             "SHHSH\n"
                             "SH.SH\n"
                             "SSSSH\n"
                             "HHHHH\n"
                          << QRect(2, 2, 1, 1);
  QTest::newRow("rounded flat") << 5 << 5 << 3
                                << "..K..\n"
                                   ".K.K.\n"
                                   "K...K\n"
                                   ".K.K.\n"
                                   "..K..\n"
                                << QRect(2, 2, 1, 1);
  QTest::newRow("rounded flat, left and top") << 4 << 4 << 4
                                              << "..KK\n"
                                                 ".K..\n"
                                                 "K...\n"
                                                 "K...\n"
                                              << QRect(2, 2, 2, 2);
  QTest::newRow("lowered") << 4 << 4 << 5
                           << "SSSH\n"
                              "SDLH\n"
                              "SLLH\n"
                              "HHHH\n"
                           << QRect(2, 2, 0, 0);
  QTest::newRow("tinted status") << 4 << 4 << 7
                                 << "dddu\n"
                                    "d..u\n"
                                    "d..u\n"
                                    "uuuu\n"
                                 << QRect(1, 1, 2, 2);
  QTest::newRow("control frame, flat, erased first") << 5 << 5 << 8
                                                     << "AAAAA\n"
                                                        "AgggA\n"
                                                        "Ag.gA\n"
                                                        "AgggA\n"
                                                        "AAAAA\n"
                                                     << QRect();
  QTest::newRow("panel: status bevel 2, band 1") << 7 << 7 << 9
                                                << "AAAAAAB\n"
                                                   "AAAAABB\n"
                                                   "AAKKKBB\n"
                                                   "AAK.KBB\n"
                                                   "AAKKKBB\n"
                                                   "ABBBBBB\n"
                                                   "BBBBBBB\n"
                                                << QRect(3, 3, 1, 1);
  QTest::newRow("flat bold") << 5 << 5 << 6
                             << "SSSSS\n"
                                "SSSSS\n"
                                "SS.SS\n"
                                "SSSSS\n"
                                "SSSSS\n"
                             << QRect(2, 2, 1, 1);
}

void MarcosTest::rutinasDeMarco() {
  QFETCH(int, ancho);
  QFETCH(int, alto);
  QFETCH(int, rutina);
  QFETCH(QString, mapa);
  QFETCH(QRect, dentro);
  const std::function<QRect(QPainter&, QRect)> rutinas[] = {
      [](QPainter& p, QRect r) { return StrokeSides(p, r, cA, cB, sdAll); },
      [](QPainter& p, QRect r) { return PaintFrameStyle(p, r, fsGroove, sdTop); },
      [](QPainter& p, QRect r) { return PaintFrameStyleAll(p, r, fsGroove); },
      [](QPainter& p, QRect r) { return PaintRoundedFlatSides(p, r, cK, sdAll); },
      [](QPainter& p, QRect r) { return PaintRoundedFlatSides(p, r, cK, sdLeft | sdTop); },
      [](QPainter& p, QRect r) { return PaintFrameStyleAll(p, r, fsLowered); },
      [](QPainter& p, QRect r) { return PaintFrameStyleAll(p, r, fsFlatBold); },
      [](QPainter& p, QRect r) { return PaintTintedFrameStyle(p, r, gris, sdAll, fsStatus); },
      [](QPainter& p, QRect r) {
        PaintControlFrame(p, r.width(), r.height(), false, sdAll, cA, gris, fsFlat);
        return QRect();
      },
      [](QPainter& p, QRect r) {
        TBordesPanel b;
        b.BorderOuter = fsStatus;
        b.BevelWidth = 2;
        b.BorderShadow = cA;
        b.BorderHighlight = cB;
        b.BorderWidth = 1;
        b.BorderColor = cK;
        return PaintPanelBorders(p, r, b);
      },
  };
  QRect r;
  QCOMPARE(Dibuja(ancho, alto, rutinas[rutina], &r), mapa);
  QCOMPARE(r, dentro);
}

void MarcosTest::sinColorSoloEncoge() {
  QRect r;
  const QString m = Dibuja(4, 3, [](QPainter& p, QRect q) { return StrokeSides(p, q, ClNinguno(), ClNinguno(), sdAll); }, &r);
  QCOMPARE(m, QString("....\n....\n....\n"));
  QCOMPARE(r, QRect(1, 1, 2, 1));
}

void MarcosTest::sombreado_data() {
  QTest::addColumn<int>("h");
  QTest::addColumn<int>("s");
  QTest::addColumn<int>("l");
  QTest::addColumn<QColor>("color");
  QTest::addColumn<bool>("ida");  // ColorToHsl240 gives (h, s, l) back
  QTest::newRow("red") << 0 << 240 << 120 << QColor(255, 0, 0) << true;
  QTest::newRow("blue") << 160 << 240 << 120 << QColor(4, 0, 255) << false;
  QTest::newRow("black") << 0 << 0 << 0 << QColor(0, 0, 0) << true;
  QTest::newRow("white") << 0 << 0 << 240 << QColor(255, 255, 255) << true;
  QTest::newRow("hue 239, sextant 6 is 0") << 239 << 240 << 120 << QColor(255, 0, 0) << false;
  QTest::newRow("hue 240") << 240 << 240 << 120 << QColor(255, 6, 0) << false;
  QTest::newRow("grey") << 0 << 0 << 120 << QColor(128, 128, 128) << false;
}

void MarcosTest::sombreado() {
  QFETCH(int, h);
  QFETCH(int, s);
  QFETCH(int, l);
  QFETCH(QColor, color);
  QFETCH(bool, ida);
  QCOMPARE(Hsl240ToColor(h, s, l), color);
  if (ida) {
    const THsl240 k = ColorToHsl240(color);
    QCOMPARE(QList<int>({k.H, k.S, k.L}), QList<int>({h, s, l}));
  }
  QCOMPARE(ShadeUp(QColor(255, 255, 255), 100), QColor(255, 255, 255));
  QCOMPARE(ShadeDown(QColor(0, 0, 0), 50), QColor(0, 0, 0));
  QCOMPARE(ShadeBy(cA, 0), cA);
  QVERIFY(ShadeBy(QColor(128, 128, 128), 30).lightness() > 128);
  QVERIFY(ShadeBy(QColor(128, 128, 128), -30).lightness() < 128);
}

void MarcosTest::margenesDelPanel() {
  TKvPanel p;
  p.SetBorderOuter(fsLowered);
  p.SetBorderInner(fsBump);
  p.SetBorderWidth(0);
  auto* l = new QVBoxLayout(&p);
  l->setContentsMargins(0, 0, 0, 0);
  auto* hijo = new QWidget(&p);
  l->addWidget(hijo);
  p.resize(100, 60);
  p.show();
  QVERIFY(QTest::qWaitForWindowExposed(&p));
  QCOMPARE(hijo->geometry(), QRect(4, 4, 92, 52));
  p.SetBorderSides(sdLeft | sdTop);
  p.SetBorderWidth(3);
  QTRY_COMPARE(hijo->geometry(), QRect(7, 7, 93, 53));
}

void MarcosTest::grupo() {
  QWidget v;
  auto* g = new TKvGroupBox(&v);
  g->SetCaption(" on/&off ");
  g->SetColor(cl3DLight());
  g->resize(150, 80);
  auto* otra = new QLineEdit(&v);
  otra->move(0, 100);
  auto* dentro = new QLineEdit(g);
  dentro->move(10, 30);
  v.show();
  QVERIFY(QTest::qWaitForWindowActive(&v));
  const int top = QFontMetrics(g->font()).height() / 2 - 1;
  QCOMPARE(g->TopMarco(), top);
  const QImage img = g->grab().toImage();
  const QColor linea = ShadeBy(clBtnShadow(), 30);
  QCOMPARE(img.pixelColor(4, top), linea);                    // the outline
  QCOMPARE(g->RectanguloCaption().left(), 8);
  QCOMPARE(img.pixelColor(9, top), cl3DLight());              // cut behind the caption
  QCOMPARE(img.pixelColor(g->width() / 2 + 40, top), linea);  // after the caption
  QVERIFY(g->contentsMargins().top() > top);
  otra->setFocus();
  QTest::keyClick(&v, Qt::Key_O, Qt::AltModifier);
  QVERIFY(dentro->hasFocus());
}

void MarcosTest::gripDeLaBarra() {
  QWidget v;
  v.resize(300, 100);
  auto* barra = new TKvStatusBar(&v);
  barra->setGeometry(0, 81, 300, 19);
  auto* izq = new TKvStatusPane(barra);
  izq->resize(60, 19);
  auto* resto = new TKvStatusPane(barra);
  resto->SetAlign(alClient);
  int pedidas = 0;
  barra->IniciaRedimension = [&](Qt::Edges e) {
    QCOMPARE(e, Qt::RightEdge | Qt::BottomEdge);
    ++pedidas;
  };
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  QCOMPARE(izq->geometry().left(), 0);
  QCOMPARE(resto->geometry().left(), 60);
  QCOMPARE(resto->geometry().right(), 299);
  QVERIFY(barra->GripVisible());
  // On the pane under the grip, 12 pixels from the right edge and no further.
  QTest::mouseClick(resto, Qt::LeftButton, {}, resto->mapFrom(barra, QPoint(300 - 12, 10)));
  QCOMPARE(pedidas, 1);
  QTest::mouseClick(resto, Qt::LeftButton, {}, resto->mapFrom(barra, QPoint(300 - 13, 10)));
  QCOMPARE(pedidas, 1);
  QTest::mouseClick(barra, Qt::LeftButton, {}, QPoint(299, 10));
  QCOMPARE(pedidas, 2);
  // The dots show in the corner.
  QImage img = barra->grab().toImage();
  QCOMPARE(img.pixelColor(300 + 1 - 5, 19 - 4), clBtnHighlight());
  // Not on a fixed-size window, nor on a maximised one.
  v.setFixedSize(300, 100);
  QVERIFY(!barra->GripVisible());
  QTest::mouseClick(resto, Qt::LeftButton, {}, resto->mapFrom(barra, QPoint(298, 10)));
  QCOMPARE(pedidas, 2);
  img = barra->grab().toImage();
  QCOMPARE(img.pixelColor(300 + 1 - 5, 19 - 4), resto->FillColor());
  v.setMinimumSize(0, 0);
  v.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  QVERIFY(barra->GripVisible());
  v.setWindowState(Qt::WindowMaximized);
  QVERIFY(!barra->GripVisible());
  barra->SetSimpleStatus(true);
  QVERIFY(resto->isHidden());
  barra->SetSimpleStatus(false);
  QVERIFY(!resto->isHidden());
}

void MarcosTest::panelesAutoSize() {
  TKvStatusPane p;
  p.SetAutoSize(true);
  QCOMPARE(p.width(), 40);
  p.SetCaption("Pgm - 10 ms");
  const QFontMetrics fm(p.font());
  QCOMPARE(p.width(), fm.horizontalAdvance("Pgm - 10 ms") + 2 * 1 + 2 + 6);
  TKvFieldStatus f;
  f.SetAutoSize(true);
  f.SetFieldLabel("Archivo:");
  QCOMPARE(f.width(), 40);
  f.SetCaption("a.hex");
  QCOMPARE(f.width(), fm.horizontalAdvance("a.hex") + 10 + fm.horizontalAdvance("Archivo:") + 4);
  QCOMPARE(f.RectanguloTexto().left(), 1 + 1 + fm.horizontalAdvance("Archivo:") + 4);
}

void MarcosTest::panelSinMarco() {
  TKvStatusPane p;
  p.resize(80, 20);
  p.SetFrameStyle(fsNone);
  p.SetBorderWidth(3);
  QCOMPARE(p.RectanguloTexto().left() + p.CaptionOffset() + 1, 3 + 2 + 1);
  QImage img = p.grab().toImage();
  QCOMPARE(img.pixelColor(3, 0), p.Color());  // no frame
  p.SetFrameStyle(fsFlat);
  img = p.grab().toImage();
  QCOMPARE(img.pixelColor(10, 3), ShadeBy(clBtnShadow(), 30));
  QCOMPARE(img.pixelColor(3, 3), p.Color());  // the corner is left out
}

void MarcosTest::mismoTextoUnaVez() {
  TKvStatusPane p;
  p.show();
  QVERIFY(QTest::qWaitForWindowExposed(&p));
  p.SetCaption("uno");
  QTRY_VERIFY(p.Pintadas() > 0);
  QCoreApplication::processEvents();
  const int antes = p.Pintadas();
  p.SetCaption("uno");
  QCoreApplication::processEvents();
  QCOMPARE(p.Pintadas(), antes);
}

void MarcosTest::parpadeo() {
  TKvStatusPane a, b;
  a.SetBlinking(true);
  a.SetBlinkColor(cA);
  TKvCustomStatusPane::SetBlinkIntervalOn(300);
  TKvCustomStatusPane::SetBlinkIntervalOff(700);
  QCOMPARE(b.BlinkIntervalOn(), 300);
  TKvBlinkingControlsList* reloj = TKvBlinkingControlsList::Existing();
  QVERIFY(reloj);
  const int estado = reloj->Estado();
  reloj->Tick();
  QCOMPARE(reloj->IntervaloActual(), estado ? 700 : 300);
  reloj->Tick();
  QCOMPARE(reloj->IntervaloActual(), estado ? 300 : 700);
  QCOMPARE(a.ColorTexto(), estado ? cA : a.palette().color(QPalette::WindowText));
  QCOMPARE(b.ColorTexto(), b.palette().color(QPalette::WindowText));  // not blinking
  a.SetBlinking(false);
  QCOMPARE(a.ColorTexto(), a.palette().color(QPalette::WindowText));
  Contador c;
  TKvBlinkingControlsList::Add(&c);
  reloj->Tick();
  QCOMPARE(c.estados.size(), 1);
  TKvBlinkingControlsList::Remove(&c);
}

void MarcosTest::textoDeHint() {
  QWidget v;
  auto* barra = new TKvStatusBar(&v);
  auto* p = new TKvFieldStatus(barra);
  p->SetAlign(alClient);
  p->SetAutoHint(true);
  auto* boton = new QWidget(&v);
  boton->setStatusTip("Programa el dispositivo");
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  QStatusTipEvent e(boton->statusTip());
  QApplication::sendEvent(boton, &e);  // unhandled, it travels up to the window
  QCOMPARE(p->Caption(), QString("Programa el dispositivo"));
}

void MarcosTest::deshabilitadoEnRelieve() {
  TKvStatusPane p;
  p.resize(120, 20);
  p.SetFrameStyle(fsNone);
  p.SetCaption("MMMM");
  p.setEnabled(false);
  const QImage img = p.grab().toImage();
  // The text in the highlight colour one pixel right and down, then in the
  // shadow colour: pixels lighter and darker than the fill.
  const int fondo = p.Color().lightness();
  int luz = 0, sombra = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const int l = img.pixelColor(x, y).lightness();
      if (l > fondo + 20) ++luz;
      if (l < fondo - 20) ++sombra;
    }
  QVERIFY(luz > 0);
  QVERIFY(sombra > 0);
}

void MarcosTest::temaDelEstilo() {
  TThemeServices& t = SharedThemeServices();
  QVERIFY(!t.ThemedDrawingEnabled());
  QWidget v;
  v.resize(200, 20);
  auto* barra = new TKvStatusBar(&v);
  barra->resize(200, 19);
  auto* p = new TKvStatusPane(barra);
  p->resize(100, 19);
  const QImage propio = p->grab().toImage();
  QCOMPARE(propio.pixelColor(5, 1).rgb(), ShadeBy(clBtnShadow(), 30).rgb());
  QSignalSpy cambio(&t, &TThemeServices::ThemeSwitch);
  t.SetThemedDrawing(true);
  QCOMPARE(cambio.count(), 1);
  // A palette change refreshes the themed components.
  QPalette otra = QApplication::palette();
  otra.setColor(QPalette::Window, QColor(190, 190, 190));
  QApplication::setPalette(otra);
  QTRY_VERIFY(cambio.count() >= 2);
  t.SetThemedDrawing(false);
  PaletaFija();
  QCOMPARE(p->grab().toImage().pixelColor(5, 1).rgb(), ShadeBy(clBtnShadow(), 30).rgb());
  QCOMPARE(TThemeServices::StatusElementDetails(2).Part, 1);
  QCOMPARE(TThemeServices::StatusElementDetails(4).Part, 3);
}

QTEST_MAIN(MarcosTest)
#include "marcos_test.moc"
