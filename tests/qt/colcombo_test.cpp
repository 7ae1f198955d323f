// The multi-column combo box: item strings, column texts, signals only on
// user action, typed lookup and the painted columns.
#include <QAbstractItemView>
#include <QPainter>
#include <QtTest>
#include <stdexcept>

#include "ColCombo.h"

namespace {

// (image, name, second name): the device lists' layout, lookup on the name.
struct Lista {
  QWidget ventana;
  Korvane_TColumnComboBox* c;
  explicit Lista(const QStringList& nombres) {
    c = new Korvane_TColumnComboBox(&ventana);
    c->AddColumn(20, ctImage);
    c->AddColumn(80);
    c->AddColumn(80);
    c->SetLookupColumn(1);
    c->SetGridLines(true);
    for (const QString& n : nombres) c->AddItem({n, "x" + n});
    c->resize(200, 24);
    ventana.show();
    c->setFocus();
  }
};

}  // namespace

class ColComboTest : public QObject {
  Q_OBJECT
private slots:
  void cadenasDeItem();
  void textosDeColumna();
  void ordenMueveItemsYCadenas();
  void senales();
  void eleccionConRaton();
  void busqueda_data();
  void busqueda();
  void pintaColumnas();
};

void ColComboTest::cadenasDeItem() {
  Korvane_TColumnComboBox c;
  for (int i = 0; i < 3; ++i) c.AddColumn();
  c.AddItem({"A", "B"});
  c.AddItem({"C"}, 2);
  QCOMPARE(c.itemText(0), QString("-1|A|B|"));
  QCOMPARE(c.itemText(1), QString("2|C||"));
  c.SetItemStrings(1, {"D", "E", "F"});
  QCOMPARE(c.itemText(1), QString("2|D|E|F"));
  c.DeleteItem(0);
  QCOMPARE(c.count(), c.ItemCount());
  QCOMPARE(c.itemText(0), QString("2|D|E|F"));
}

void ColComboTest::textosDeColumna() {
  Korvane_TColumnComboBox c;
  c.AddColumn(20, ctImage);
  c.AddColumn();
  c.AddColumn();
  c.AddItem({"X", "Y"});
  QCOMPARE(c.GetColumnText(0, 1), QString("X"));
  QCOMPARE(c.GetColumnText(0, 2), QString("Y"));
  for (int malo : {-1, 1, 5}) {
    try {
      c.GetColumnText(malo, 1);
      QFAIL("no exception");
    } catch (const std::out_of_range& e) {
      QCOMPARE(QString(e.what()), QString("Item index out of range"));
    }
  }
  c.SetItemIndex(0);
  QCOMPARE(c.GetItemIndex(), 0);
  c.SetItemIndex(-1);
  QCOMPARE(c.GetItemIndex(), -1);
  c.SetItemIndex(7);
  QCOMPARE(c.GetItemIndex(), -1);
}

void ColComboTest::ordenMueveItemsYCadenas() {
  Korvane_TColumnComboBox c;
  c.AddColumn();
  c.AddItem({"b"});
  c.AddItem({"a"});
  c.AddItem({"c"});
  c.SetItemIndex(0);
  c.SetSortColumn(1);
  c.SetSorted(true);
  for (int i = 0; i < 3; ++i) QCOMPARE(c.ComboItem(i).Strings.value(0), c.GetColumnText(i, 0));
  QCOMPARE(c.GetColumnText(0, 0), QString("a"));
  QCOMPARE(c.GetColumnText(c.GetItemIndex(), 0), QString("b"));  // the selection stays on its item
}

void ColComboTest::senales() {
  QStringList orden;
  Lista l({"10F200", "12F675", "16F84"});
  QVERIFY(QTest::qWaitForWindowActive(&l.ventana));
  QSignalSpy cambio(l.c, &Korvane_TColumnComboBox::Change);
  QSignalSpy click(l.c, &Korvane_TColumnComboBox::Click);
  connect(l.c, &Korvane_TColumnComboBox::Click, [&] { orden << "click"; });
  connect(l.c, &Korvane_TColumnComboBox::Change, [&] { orden << "change"; });
  l.c->SetItemIndex(1);
  QCOMPARE(cambio.count(), 0);
  QTest::keyClick(l.c, Qt::Key_Down);
  QCOMPARE(l.c->GetItemIndex(), 2);
  QCOMPARE(orden, QStringList({"click", "change"}));
  QTest::keyClick(l.c, Qt::Key_Down);  // already the last: nothing
  QCOMPARE(cambio.count(), 1);
  QCOMPARE(click.count(), 1);
}

void ColComboTest::eleccionConRaton() {
  QStringList orden;  // outlives the box, which may close its list as it goes
  Lista l({"10F200", "12F675", "16F84"});
  QVERIFY(QTest::qWaitForWindowActive(&l.ventana));
  connect(l.c, &Korvane_TColumnComboBox::CloseUp, [&] { orden << "closeup"; });
  connect(l.c, &Korvane_TColumnComboBox::Click, [&] { orden << "click"; });
  connect(l.c, &Korvane_TColumnComboBox::Change, [&] {
    orden << "change";
    QVERIFY(!l.c->Dropped());  // the device handler runs with the list closed
  });
  auto elige = [&](int fila) {
    l.c->showPopup();
    QAbstractItemView* v = l.c->view();
    QTRY_VERIFY(v->isVisible());
    QCOMPARE(v->width() >= l.c->width(), true);
    const QRect r = v->visualRect(l.c->model()->index(fila, 0));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
    QTRY_VERIFY(!l.c->Dropped());
  };
  elige(2);
  QCOMPARE(l.c->GetItemIndex(), 2);
  QCOMPARE(orden, QStringList({"closeup", "click", "change"}));
  orden.clear();
  elige(2);  // the same item again: the list only closes
  QCOMPARE(orden, QStringList({"closeup"}));
}

void ColComboTest::busqueda_data() {
  QTest::addColumn<int>("desde");
  QTest::addColumn<QList<int>>("teclas");
  QTest::addColumn<QList<int>>("indices");  // after each key
  QTest::addColumn<QString>("texto");       // typed text at the end
  const int K1 = Qt::Key_1, K6 = Qt::Key_6, K2 = Qt::Key_2, KZ = Qt::Key_Z, BS = Qt::Key_Backspace,
            ESC = Qt::Key_Escape, KF = Qt::Key_F;
  // 0 12F675, 1 16C84, 2 16F84, 3 16F628, 4 18F452, 5 16F877, 6 24C02
  QTest::newRow("1,6 from the current") << 3 << QList<int>{K1, K6} << QList<int>{3, 3} << "16";
  QTest::newRow("1,6 from the top") << 0 << QList<int>{K1, K6} << QList<int>{0, 1} << "16";
  QTest::newRow("16F") << 0 << QList<int>{K1, K6, KF} << QList<int>{0, 1, 2} << "16F";
  QTest::newRow("a text found above the current") << 2 << QList<int>{K1, K2} << QList<int>{2, 0} << "12";
  QTest::newRow("a miss restarts from its character") << 2 << QList<int>{K1, K6, K2} << QList<int>{2, 2, 6} << "2";
  QTest::newRow("backspace drops the last") << 0 << QList<int>{K1, K6, BS} << QList<int>{0, 1, 1} << "1";
  QTest::newRow("escape clears") << 0 << QList<int>{K1, ESC, K2} << QList<int>{0, 0, 6} << "2";
  QTest::newRow("nothing matches") << 1 << QList<int>{KZ} << QList<int>{1} << "Z";
}

void ColComboTest::busqueda() {
  QFETCH(int, desde);
  QFETCH(QList<int>, teclas);
  QFETCH(QList<int>, indices);
  QFETCH(QString, texto);
  Lista l({"12F675", "16C84", "16F84", "16F628", "18F452", "16F877", "24C02"});
  QVERIFY(QTest::qWaitForWindowActive(&l.ventana));
  l.c->SetItemIndex(desde);
  QSignalSpy cambio(l.c, &Korvane_TColumnComboBox::Change);
  QSignalSpy click(l.c, &Korvane_TColumnComboBox::Click);
  for (int k = 0; k < teclas.size(); ++k) {
    const int antes = cambio.count();
    QTest::keyClick(l.c, Qt::Key(teclas[k]));
    QCOMPARE(l.c->GetItemIndex(), indices[k]);
    const bool esCaracter = teclas[k] != Qt::Key_Backspace && teclas[k] != Qt::Key_Escape;
    const bool acierta = esCaracter && teclas[k] != Qt::Key_Z;
    QCOMPARE(cambio.count() - antes, acierta ? 1 : 0);
  }
  QCOMPARE(click.count(), 0);
  QCOMPARE(l.c->LookupText().toUpper(), texto);
}

void ColComboTest::pintaColumnas() {
  Korvane_TColumnComboBox c;
  c.AddColumn(30);
  c.AddColumn(40);
  c.Column(0).Color = QColor(255, 255, 0);
  c.SetGridLines(true);
  c.AddItem({"", ""});
  QImage img(100, 20, QImage::Format_RGB32);
  img.fill(Qt::black);
  {
    QPainter p(&img);
    c.DrawItem(p, 0, QRect(0, 0, 100, 20), false, false);
  }
  const QColor gris(128, 128, 128);
  QCOMPARE(img.pixelColor(10, 5), QColor(255, 255, 0));              // first column's colour
  QCOMPARE(img.pixelColor(30, 5), gris);                             // the boundary line
  QCOMPARE(img.pixelColor(50, 19), gris);                            // the line under the item
  QCOMPARE(img.pixelColor(30, 0), QColor(c.palette().color(QPalette::Base)));  // boundary starts 1 down
  QCOMPARE(img.pixelColor(80, 5), c.palette().color(QPalette::Base));
  img.fill(Qt::black);
  {
    QPainter p(&img);
    c.DrawItem(p, 0, QRect(0, 0, 100, 20), true, true);
  }
  QCOMPARE(img.pixelColor(10, 5), c.palette().color(QPalette::Highlight));
  QCOMPARE(img.pixelColor(50, 19), c.palette().color(QPalette::Highlight));  // no bottom line in the edit part
}

QTEST_MAIN(ColComboTest)
#include "colcombo_test.moc"
