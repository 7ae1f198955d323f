// Number edit boxes: every user edit leaves a valid text or is refused.
#include <QApplication>
#include <QClipboard>
#include <QtTest>

#include "HexEdit.h"

Q_DECLARE_METATYPE(TEditBase)

namespace {

struct Caja {
  QWidget ventana;
  THexEdicion* caja;  // no normalising on focus loss, so the table sees the raw text
  THexEdit* otra;
  Caja() {
    caja = new THexEdicion(&ventana);
    otra = new THexEdit(&ventana);
    otra->move(0, 40);
    ventana.show();
    caja->setFocus();
  }
};

}  // namespace

class NumerosTest : public QObject {
  Q_OBJECT
private slots:
  void teclas_data();
  void teclas();
  void pegarYCortar();
  void setValue_data();
  void setValue();
  void salidaDelFoco();
  void seleccionAlEntrar();
};

void NumerosTest::teclas_data() {
  QTest::addColumn<TEditBase>("base");
  QTest::addColumn<bool>("valida");
  QTest::addColumn<uint>("minimo");
  QTest::addColumn<uint>("maximo");
  QTest::addColumn<int>("longitud");
  QTest::addColumn<QString>("texto");
  QTest::addColumn<int>("selInicio");
  QTest::addColumn<int>("selLargo");  // 0: caret at selInicio
  QTest::addColumn<int>("tecla");
  QTest::addColumn<QString>("queda");

  const uint M = 0xFFFFFFFFu;
  QTest::newRow("g refused") << ebHex << false << 0u << M << 4 << "3" << 1 << 0 << int(Qt::Key_G) << "3";
  QTest::newRow("a upper-cased") << ebHex << false << 0u << M << 4 << "3" << 1 << 0 << int(Qt::Key_A)
                                 << "3A";
  QTest::newRow("octal 8") << ebOct << false << 0u << M << 4 << "7" << 1 << 0 << int(Qt::Key_8) << "7";
  QTest::newRow("octal 7") << ebOct << false << 0u << M << 4 << "7" << 1 << 0 << int(Qt::Key_7) << "77";
  QTest::newRow("binary 2") << ebBin << false << 0u << M << 8 << "1" << 1 << 0 << int(Qt::Key_2) << "1";
  QTest::newRow("decimal A") << ebDec << false << 0u << M << 8 << "1" << 1 << 0 << int(Qt::Key_A) << "1";
  QTest::newRow("blank") << ebHex << false << 0u << M << 4 << "1" << 1 << 0 << int(Qt::Key_Space) << "1";
  QTest::newRow("over max") << ebHex << true << 0u << 0x3FFFu << 4 << "400" << 3 << 0 << int(Qt::Key_0)
                            << "400";
  QTest::newRow("at max") << ebHex << true << 0u << 0x3FFFu << 4 << "3FF" << 3 << 0 << int(Qt::Key_F)
                          << "3FFF";
  QTest::newRow("replaces selection") << ebHex << true << 0u << 0x3FFFu << 4 << "3FFF" << 0 << 1 << int(Qt::Key_1)
                                      << "1FFF";
  QTest::newRow("below min by backspace")
      << ebHex << true << 0x10u << 0xFFu << 4 << "10" << 2 << 0 << int(Qt::Key_Backspace) << "10";
  QTest::newRow("backspace at start") << ebHex << false << 0u << M << 4 << "12" << 0 << 0 << int(Qt::Key_Backspace)
                                      << "12";
  QTest::newRow("backspace") << ebHex << false << 0u << M << 4 << "12" << 2 << 0 << int(Qt::Key_Backspace)
                             << "1";
  QTest::newRow("delete selection") << ebHex << false << 0u << M << 4 << "1234" << 1 << 2 << int(Qt::Key_Delete)
                                    << "14";
  QTest::newRow("delete to empty") << ebHex << true << 5u << 9u << 4 << "7" << 0 << 0 << int(Qt::Key_Delete)
                                   << "";
  QTest::newRow("delete makes below min")
      << ebHex << true << 0x20u << 0xFFu << 4 << "21" << 0 << 0 << int(Qt::Key_Delete) << "21";
  QTest::newRow("max length") << ebHex << false << 0u << M << 4 << "1234" << 4 << 0 << int(Qt::Key_5)
                              << "1234";
  QTest::newRow("max length replacing") << ebHex << false << 0u << M << 4 << "1234" << 3 << 1 << int(Qt::Key_5)
                                        << "1235";
}

void NumerosTest::teclas() {
  QFETCH(TEditBase, base);
  QFETCH(bool, valida);
  QFETCH(uint, minimo);
  QFETCH(uint, maximo);
  QFETCH(int, longitud);
  QFETCH(QString, texto);
  QFETCH(int, selInicio);
  QFETCH(int, selLargo);
  QFETCH(int, tecla);
  QFETCH(QString, queda);
  Caja c;
  QVERIFY(QTest::qWaitForWindowActive(&c.ventana));
  c.caja->SetNumBase(base);
  c.caja->SetValidate(valida);
  c.caja->SetMinValue(minimo);
  c.caja->SetMaxValue(maximo);
  c.caja->SetMaxLength(longitud);
  c.caja->setText(texto);
  if (selLargo) c.caja->setSelection(selInicio, selLargo);
  else c.caja->setCursorPosition(selInicio);
  QTest::keyClick(c.caja, Qt::Key(tecla), Qt::NoModifier);
  QCOMPARE(c.caja->text(), queda);
}

void NumerosTest::pegarYCortar() {
  Caja c;
  QVERIFY(QTest::qWaitForWindowActive(&c.ventana));
  THexEdicion* e = c.caja;
  e->SetMaxLength(4);
  e->setText("12");
  e->setCursorPosition(2);
  struct Caso {
    const char* portapapeles;
    const char* queda;
  } casos[] = {{"G", "12"}, {"3f ff", "12"}, {"3f", "123F"}};
  for (const Caso& k : casos) {
    e->setText("12");
    e->setCursorPosition(2);
    QApplication::clipboard()->setText(k.portapapeles);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e->text(), QString(k.queda));
  }
  // Longer than MaxLength by paste: refused like typing.
  e->setText("12");
  e->setCursorPosition(2);
  QApplication::clipboard()->setText("345");
  QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(e->text(), QString("12"));
  // A cut that would leave a value below the minimum is refused.
  e->SetValidate(true);
  e->SetMinValue(0x10);
  e->SetMaxValue(0xFF);
  e->setText("1F");
  e->setSelection(0, 1);
  QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(e->text(), QString("1F"));
  // A dropped text goes through the same rule.
  e->SetValidate(false);
  e->setText("1");
  e->setCursorPosition(1);
  e->insert("zz");  // the call a drop ends in
  QCOMPARE(e->text(), QString("1"));
}

void NumerosTest::setValue_data() {
  QTest::addColumn<int>("longitud");
  QTest::addColumn<TEditBase>("base");
  QTest::addColumn<bool>("valida");
  QTest::addColumn<uint>("valor");
  QTest::addColumn<QString>("texto");
  QTest::newRow("five digits past length 4") << 4 << ebHex << false << 0x12345u << "12345";
  QTest::newRow("four digits") << 4 << ebHex << false << 0x3Fu << "003F";
  QTest::newRow("six digits") << 6 << ebHex << false << 0x3Fu << "00003F";
  QTest::newRow("clamped") << 4 << ebHex << true << 0x5000u << "3FFF";
  QTest::newRow("own radix") << 4 << ebDec << false << 100u << "100";
  QTest::newRow("octal") << 4 << ebOct << false << 8u << "10";
}

void NumerosTest::setValue() {
  QFETCH(int, longitud);
  QFETCH(TEditBase, base);
  QFETCH(bool, valida);
  QFETCH(uint, valor);
  QFETCH(QString, texto);
  THexEdit e;
  QCOMPARE(e.text(), QString("0000"));
  e.SetMaxLength(longitud);
  e.SetMaxValue(0x3FFF);
  e.SetValidate(valida);
  e.SetNumBase(base);
  e.SetValue(valor);
  QCOMPARE(e.text(), texto);
  QCOMPARE(e.GetValue(), valida ? std::min(valor, 0x3FFFu) : valor);
}

void NumerosTest::salidaDelFoco() {
  Caja c;
  QVERIFY(QTest::qWaitForWindowActive(&c.ventana));
  QCOMPARE(c.caja->text(), QString());
  c.caja->SetValue(5);
  QCOMPARE(c.caja->text(), QString());
  QTest::keyClicks(c.caja, "3f");
  c.otra->setFocus();
  QCOMPARE(c.caja->text(), QString("3F"));  // the search box keeps the typed bytes
  c.otra->selectAll();
  QTest::keyClicks(c.otra, "3f");
  c.caja->setFocus();
  QCOMPARE(c.otra->text(), QString("003F"));
}

void NumerosTest::seleccionAlEntrar() {
  Caja c;
  QVERIFY(QTest::qWaitForWindowActive(&c.ventana));
  c.otra->SetValue(0x12);
  c.otra->setFocus(Qt::OtherFocusReason);
  QCOMPARE(c.otra->selectedText(), QString("0012"));
  c.caja->setFocus();
  c.otra->deselect();
  c.otra->setFocus(Qt::MouseFocusReason);
  QVERIFY(c.otra->selectedText().isEmpty());
}

QTEST_MAIN(NumerosTest)
#include "numeros_test.moc"
