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
  void rejillaDeDiseno_data();
  void rejillaDeDiseno();
  void pintadoAlFinal_data();
  void pintadoAlFinal();
  void estiloAutomatico();
  void panelesEscalados();
  void clienteDeLaBarra();
  void fuenteInclinada();
  void panelHijosYRaton();
  void alineacionDelCaption_data();
  void alineacionDelCaption();
  void repintadoParcial_data();
  void repintadoParcial();
  void panelTransparente();
  void barraSimple();
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
  // The panes lie one pixel past the bar's left and right edges, from y 1
  // to one pixel below the bar.
  QCOMPARE(barra->RectanguloCliente(), QRect(-1, 1, 302, 19));
  QCOMPARE(izq->geometry(), QRect(-1, 1, 60, 19));
  QCOMPARE(resto->geometry().left(), 59);
  QCOMPARE(resto->geometry().right(), 300);
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

void MarcosTest::rejillaDeDiseno_data() {
  QTest::addColumn<int>("estilo");  // -1: ShowGrid off
  // Offsets from the top-left corner inside the borders, with GridXSize 8
  // and GridYSize 6: grid points at x 7, 15, ... and y 5, 11, ...
  QTest::addColumn<QList<QPoint>>("rejilla");
  QTest::addColumn<QList<QPoint>>("fondo");
  const QList<QPoint> puntos = {{7, 5}, {15, 5}, {7, 11}, {31, 17}};
  QTest::newRow("off") << -1 << QList<QPoint>() << puntos;
  QTest::newRow("dots") << int(gsDots) << puntos << QList<QPoint>({{8, 5}, {7, 6}, {7, 0}, {0, 5}, {6, 4}});
  QTest::newRow("dotted lines") << int(gsDottedLines) << (puntos + QList<QPoint>({{7, 1}, {7, 3}, {1, 5}, {3, 5}, {15, 9}}))
                                << QList<QPoint>({{7, 0}, {7, 2}, {0, 5}, {2, 5}, {8, 6}});
  QTest::newRow("solid lines") << int(gsSolidLines) << (puntos + QList<QPoint>({{7, 0}, {7, 2}, {0, 5}, {2, 5}}))
                               << QList<QPoint>({{8, 6}, {6, 4}, {0, 0}});
}

// The grid lies over the background inside the borders and leaves the
// borders alone.
void MarcosTest::rejillaDeDiseno() {
  QFETCH(int, estilo);
  QFETCH(QList<QPoint>, rejilla);
  QFETCH(QList<QPoint>, fondo);
  TKvPanel p;
  p.SetBorderOuter(fsLowered);
  p.SetColor(gris);
  p.resize(44, 30);
  QCOMPARE(p.ShowGrid(), false);
  QCOMPARE(p.GridColor(), clBtnShadow());
  QCOMPARE(p.GridStyle(), gsDots);
  QCOMPARE(QList<int>({p.GridXSize(), p.GridYSize()}), QList<int>({8, 8}));
  p.SetShowGrid(estilo >= 0);
  if (estilo >= 0) p.SetGridStyle(TGridStyle(estilo));
  p.SetGridColor(cK);
  p.SetGridXSize(8);
  p.SetGridYSize(6);
  const QRect r = p.RectanguloInterior();
  QCOMPARE(r, QRect(2, 2, 40, 26));
  const QImage img = p.grab().toImage();
  for (const QPoint& d : rejilla) QVERIFY2(img.pixelColor(r.topLeft() + d) == cK, qPrintable(QString("%1,%2").arg(d.x()).arg(d.y())));
  for (const QPoint& d : fondo) QVERIFY2(img.pixelColor(r.topLeft() + d) == gris, qPrintable(QString("%1,%2").arg(d.x()).arg(d.y())));
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (!r.contains(x, y)) QVERIFY2(img.pixelColor(x, y) != cK, qPrintable(QString("border %1,%2").arg(x).arg(y)));
}

void MarcosTest::pintadoAlFinal_data() {
  QTest::addColumn<int>("clase");
  QTest::newRow("panel") << 0;
  QTest::newRow("group box") << 1;
  QTest::newRow("status bar") << 2;
}

// The Paint signal comes once a paint, after everything the component
// draws itself (borders, background, caption), before the size grip.
void MarcosTest::pintadoAlFinal() {
  QFETCH(int, clase);
  QWidget v;
  v.resize(200, 100);
  TKvCustomPanel* p = nullptr;
  if (clase == 0) p = new TKvPanel(&v);
  if (clase == 1) p = new TKvGroupBox(&v);
  if (clase == 2) p = new TKvStatusBar(&v);
  p->SetCaption(" on/off ");
  p->setGeometry(0, 0, 200, clase == 2 ? 19 : 60);
  int veces = 0;
  connect(p, &TKvCustomPanel::Paint, p, [&](QPainter& c) {
    ++veces;
    c.fillRect(p->rect(), cK);
  });
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  veces = 0;
  const QImage img = p->grab().toImage();
  QCOMPARE(veces, 1);
  QCOMPARE(img.pixelColor(0, 0), cK);  // the border, or the frame's corner
  QCOMPARE(img.pixelColor(p->RectanguloInterior().center()), cK);
  if (auto* g = qobject_cast<TKvGroupBox*>(p)) QCOMPARE(img.pixelColor(g->RectanguloCaption().center()), cK);
  if (auto* b = qobject_cast<TKvStatusBar*>(p)) {
    QVERIFY(b->GripVisible());
    QCOMPARE(img.pixelColor(200 + 1 - 5, 19 - 4), clBtnHighlight());
  }
}

// Once built, a bar with AutoStyle goes back to no borders, height 19; a
// border style set by the window clears AutoStyle and stays.
void MarcosTest::estiloAutomatico() {
  TKvStatusBar a;
  QVERIFY(a.AutoStyle());
  a.SetBorderWidth(3);
  a.setFixedHeight(30);
  a.SetBorderSides(sdAll);  // the same value: AutoStyle stays
  QVERIFY(a.AutoStyle());
  a.show();
  QVERIFY(QTest::qWaitForWindowExposed(&a));
  QCOMPARE(a.height(), 19);
  QCOMPARE(a.BorderWidth(), 0);
  QCOMPARE(a.contentsMargins(), QMargins());
  for (const std::function<void(TKvStatusBar&)>& f : std::initializer_list<std::function<void(TKvStatusBar&)>>{
           [](TKvStatusBar& b) { b.SetBorderOuter(fsRaised); },
           [](TKvStatusBar& b) { b.SetBorderInner(fsRaised); },
           [](TKvStatusBar& b) { b.SetBorderSides(sdTop | sdLeft | sdBottom); },
       }) {
    TKvStatusBar b;
    b.SetBorderWidth(3);
    f(b);
    QVERIFY(!b.AutoStyle());
    b.setFixedHeight(30);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    QCOMPARE(b.height(), 30);
    QCOMPARE(b.BorderWidth(), 3);
    const QList<int> puestos({b.BorderOuter(), b.BorderInner(), int(b.BorderSides())});
    QVERIFY(puestos != QList<int>({fsNone, fsNone, int(sdAll)}));
    b.Loaded();
    QCOMPARE(QList<int>({b.BorderOuter(), b.BorderInner(), int(b.BorderSides())}), puestos);
  }
}

void MarcosTest::panelesEscalados() {
  QWidget v;
  auto* barra = new TKvStatusBar(&v);
  barra->setGeometry(0, 0, 200, 19);
  auto* a = new TKvStatusPane(barra);
  a->resize(50, 19);
  auto* b = new TKvStatusPane(barra);
  b->resize(30, 19);
  auto* resto = new TKvStatusPane(barra);
  resto->SetAlign(alClient);
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  QVERIFY(!barra->AutoScalePanes());
  barra->resize(300, 19);
  QCOMPARE(QList<int>({a->width(), b->width()}), QList<int>({50, 30}));
  barra->resize(200, 19);
  barra->SetAutoScalePanes(true);
  // 31 more: 50 + 7.75 and 30 + 4.65, to the nearest pixel.
  barra->resize(231, 19);
  QCOMPARE(QList<int>({a->width(), b->width()}), QList<int>({58, 35}));
  QCOMPARE(b->geometry().left(), a->geometry().right() + 1);
  QCOMPARE(resto->geometry().right(), 231);
  barra->resize(154, 19);  // a third less
  QCOMPARE(QList<int>({a->width(), b->width()}), QList<int>({39, 23}));
}

// The panes lie in the bar's client rectangle: from y 1, one pixel past
// the left and right edges, one pixel below the bar; from y 2 with
// SimpleStatus. A pane's flat frame is drawn where it lies.
void MarcosTest::clienteDeLaBarra() {
  QWidget v;
  auto* barra = new TKvStatusBar(&v);
  barra->setGeometry(0, 0, 120, 19);
  auto* p = new TKvStatusPane(barra);
  p->SetAlign(alClient);
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  QCOMPARE(barra->RectanguloCliente(), QRect(-1, 1, 122, 19));
  QCOMPARE(p->geometry(), QRect(-1, 1, 122, 19));
  const QImage img = barra->grab().toImage();
  const QColor marco = ShadeBy(clBtnShadow(), 30);
  const int x = 40;
  QCOMPARE(img.pixelColor(x, 1), p->Color());  // the pane's blank margin
  QCOMPARE(img.pixelColor(x, 2), marco);       // its top frame line
  QCOMPARE(img.pixelColor(0, 8), marco);       // its left one, at the bar's edge
  QCOMPARE(img.pixelColor(119, 8), marco);     // and its right one
  barra->SetSimpleStatus(true);
  QCOMPARE(barra->RectanguloCliente(), QRect(-1, 2, 122, 18).adjusted(1, 0, -1, 0));
}

void MarcosTest::fuenteInclinada() {
  QFont f(QStringLiteral("DejaVu Sans Mono"));
  f.setPixelSize(20);
  f.setBold(true);
  f.setItalic(true);
  f.setUnderline(true);
  f.setStrikeOut(true);
  f.setFixedPitch(true);
  f.setLetterSpacing(QFont::AbsoluteSpacing, 3);  // not part of the copy
  const TAngledFont a = CreateAngledFont(f, 90);
  QCOMPARE(a.Escapement, 900);
  QCOMPARE(a.Font.family(), f.family());
  QCOMPARE(a.Font.pixelSize(), 20);
  QCOMPARE(a.Font.weight(), QFont::Bold);
  QVERIFY(a.Font.italic() && a.Font.underline() && a.Font.strikeOut() && a.Font.fixedPitch());
  QCOMPARE(a.Font.letterSpacing(), 0.0);
  QFont n(QStringLiteral("DejaVu Sans"));
  n.setPointSize(9);
  n.setWeight(QFont::Light);
  const TAngledFont b = CreateAngledFont(n, -45);
  QCOMPARE(b.Escapement, -450);
  QCOMPARE(b.Font.weight(), QFont::Normal);
  QCOMPARE(b.Font.pointSize(), 9);
  QVERIFY(!b.Font.italic() && !b.Font.underline() && !b.Font.strikeOut());
  // At 90 degrees the text runs up from its origin.
  QImage img(200, 200, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setPen(Qt::black);
  DrawAngledText(p, QPoint(100, 150), CreateAngledFont(n, 90), QStringLiteral("MMMMMMMM"));
  p.end();
  QRect tinta;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixelColor(x, y) != QColor(Qt::white)) tinta |= QRect(x, y, 1, 1);
  QVERIFY(!tinta.isEmpty());
  QVERIFY(tinta.height() > 2 * tinta.width());
  QVERIFY(tinta.bottom() <= 150 + 1);
  QVERIFY(tinta.right() <= 101);  // the glyphs' tops point left
}

// Disabling a panel disables its children; enabling it again enables those
// that were enabled before, and leaves disabled the one that was not. The
// mouse entering and leaving the panel is announced.
void MarcosTest::panelHijosYRaton() {
  QWidget v;
  v.resize(200, 100);
  auto* p = new TKvPanel(&v);
  p->setGeometry(10, 10, 100, 60);
  auto* a = new QLineEdit(p);
  auto* b = new QLineEdit(p);
  b->move(0, 30);
  b->setEnabled(false);
  QSignalSpy entra(p, &TKvCustomPanel::MouseEnter), sale(p, &TKvCustomPanel::MouseLeave);
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  p->setEnabled(false);
  QVERIFY(!a->isEnabled() && !b->isEnabled());
  p->setEnabled(true);
  QVERIFY(a->isEnabled());
  QVERIFY(!b->isEnabled());
  QTest::mouseMove(&v, QPoint(150, 90));
  QTest::mouseMove(&v, QPoint(105, 15));
  QTRY_COMPARE(entra.count(), 1);
  QCOMPARE(sale.count(), 0);
  QTest::mouseMove(&v, QPoint(150, 90));
  QTRY_COMPARE(sale.count(), 1);
  QVERIFY(p->ThemeAware());
  TKvGroupBox g;
  QVERIFY(g.ThemeAware());
  g.SetGroupStyle(gsStandard);
  QVERIFY(g.ThemeAware());
  g.SetGroupStyle(gsTopLine);
  QVERIFY(!g.ThemeAware());
}

void MarcosTest::alineacionDelCaption_data() {
  QTest::addColumn<int>("horizontal");
  QTest::addColumn<int>("vertical");
  QTest::newRow("left, top") << int(Qt::AlignLeft) << int(avTop);
  QTest::newRow("centre, centre") << int(Qt::AlignHCenter) << int(avCenter);
  QTest::newRow("right, bottom") << int(Qt::AlignRight) << int(avBottom);
}

// The caption's line lies, inside the borders, at the top, centred at
// (top + bottom - text height) div 2, or at bottom - text height - 1; and
// left (one pixel in), centred or right.
void MarcosTest::alineacionDelCaption() {
  QFETCH(int, horizontal);
  QFETCH(int, vertical);
  TKvPanel p;
  p.SetBorderOuter(fsRaised);
  p.SetColor(gris);
  p.resize(160, 70);
  p.SetCaption("MMMM");
  p.SetAlignment(Qt::Alignment(horizontal));
  p.SetAlignmentVertical(TAlignmentVertical(vertical));
  const QRect r = p.RectanguloInterior();
  const QFontMetrics fm(p.font());
  const int alto = fm.height(), ancho = fm.horizontalAdvance("MMMM");
  const QImage img = p.grab().toImage();
  QRect tinta;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.pixelColor(x, y) != gris) tinta |= QRect(x, y, 1, 1);
  QVERIFY(!tinta.isEmpty());
  const int arriba = vertical == avTop      ? r.top()
                     : vertical == avCenter ? (r.top() + r.bottom() + 1 - alto) / 2
                                            : r.bottom() + 1 - alto - 1;
  QVERIFY2(tinta.top() >= arriba && tinta.bottom() < arriba + alto, qPrintable(QString("%1..%2 not in %3+%4").arg(tinta.top()).arg(tinta.bottom()).arg(arriba).arg(alto)));
  const int izquierda = horizontal == Qt::AlignLeft      ? r.left() + 1
                        : horizontal == Qt::AlignHCenter ? r.left() + 1 + (r.width() - 1 - ancho) / 2
                                                         : r.right() + 1 - ancho;
  QVERIFY2(tinta.left() >= izquierda - 1 && tinta.right() <= izquierda + ancho + 1,
           qPrintable(QString("%1..%2 not in %3+%4").arg(tinta.left()).arg(tinta.right()).arg(izquierda).arg(ancho)));
}

void MarcosTest::repintadoParcial_data() {
  QTest::addColumn<bool>("completo");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("centro");  // the resize repaints the middle
  QTest::newRow("FullRepaint") << true << QString() << true;
  QTest::newRow("off") << false << QString() << false;
  QTest::newRow("off, with caption") << false << QString("uno") << true;
}

// Without FullRepaint a panel without caption repaints, on a resize, what
// the resize uncovers and its border strips at the old and the new right
// and bottom edges, not its middle.
void MarcosTest::repintadoParcial() {
  QFETCH(bool, completo);
  QFETCH(QString, caption);
  QFETCH(bool, centro);
  QWidget v;
  v.resize(200, 100);
  auto* p = new TKvPanel(&v);
  p->setGeometry(0, 0, 100, 60);
  p->SetFullRepaint(completo);
  p->SetCaption(caption);
  QRegion pintada;
  struct Filtro : QObject {
    QRegion* r;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) *r += static_cast<QPaintEvent*>(e)->region();
      return false;
    }
  } filtro;
  filtro.r = &pintada;
  p->installEventFilter(&filtro);
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  QTRY_VERIFY(!pintada.isEmpty());
  pintada = QRegion();
  p->resize(140, 70);
  QTRY_VERIFY(!pintada.isEmpty());
  QCoreApplication::processEvents();
  QCOMPARE(pintada.contains(QPoint(50, 30)), centro);
  for (const QPoint& q : {QPoint(139, 30), QPoint(138, 30), QPoint(120, 30), QPoint(98, 30), QPoint(50, 69), QPoint(50, 58)})
    QVERIFY2(pintada.contains(q), qPrintable(QString("%1,%2").arg(q.x()).arg(q.y())));
}

// A transparent panel leaves its background to what lies under it.
void MarcosTest::panelTransparente() {
  QWidget v;
  QPalette pal = v.palette();
  pal.setColor(QPalette::Window, cA);
  v.setPalette(pal);
  v.setAutoFillBackground(true);
  v.resize(100, 60);
  auto* p = new TKvPanel(&v);
  p->setGeometry(10, 10, 60, 40);
  p->SetColor(gris);
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  const QPoint medio = p->geometry().center();
  QCOMPARE(v.grab().toImage().pixelColor(medio), gris);
  p->SetTransparent(true);
  QCOMPARE(v.grab().toImage().pixelColor(medio), cA);
  QVERIFY(!p->testAttribute(Qt::WA_OpaquePaintEvent));
  p->SetTransparent(false);
  QCOMPARE(v.grab().toImage().pixelColor(medio), gris);
}

// SimpleStatus: from y 2, a flat outline without its corner pixels around
// the simple caption.
void MarcosTest::barraSimple() {
  QWidget v;
  v.resize(200, 40);
  auto* barra = new TKvStatusBar(&v);
  barra->setGeometry(0, 0, 200, 19);
  barra->SetColor(gris);
  barra->SetShowSizeGrip(false);
  barra->SetSimpleStatus(true);
  barra->SetSimpleCaption("Listo");
  v.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v));
  const QImage img = barra->grab().toImage();
  const QColor linea = ShadeBy(clBtnShadow(), 30);
  QCOMPARE(img.pixelColor(50, 1), gris);
  QCOMPARE(img.pixelColor(150, 2), linea);
  QCOMPARE(img.pixelColor(150, 18), linea);
  QCOMPARE(img.pixelColor(0, 10), linea);
  QCOMPARE(img.pixelColor(199, 10), linea);
  QCOMPARE(img.pixelColor(0, 2), gris);  // the corner is left out
  QRect tinta;
  for (int y = 3; y < 18; ++y)
    for (int x = 1; x < 199; ++x)
      if (img.pixelColor(x, y) != gris) tinta |= QRect(x, y, 1, 1);
  QVERIFY(!tinta.isEmpty());
  QVERIFY(tinta.left() >= 1 + 2);
  QVERIFY(tinta.right() < 1 + 2 + QFontMetrics(barra->font()).horizontalAdvance("Listo") + 2);
}

QTEST_MAIN(MarcosTest)
#include "marcos_test.moc"
