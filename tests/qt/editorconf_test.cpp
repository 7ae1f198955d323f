// The configuration editors as widgets: built from their tables, loaded
// from words, clicked by the user, saved; only a save writes the caller's
// words.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <array>
#include <memory>

#include "conf/EditorConf.h"
#include "conf/EditorTabla.h"
#include "pg_catalogo.h"
#include "pg_pic.h"

namespace {

template <typename T>
T* Hijo(QWidget* w, const char* nombre) {
  T* h = w->findChild<T*>(QString::fromLatin1(nombre));
  if (!h) qWarning("no control %s", nombre);
  return h;
}

QString Etiqueta(QWidget* w, const char* nombre) { return Hijo<QLabel>(w, nombre)->text(); }

void Guarda(QWidget& w, const char* archivo) {
  QCoreApplication::sendPostedEvents();
  if (w.layout()) w.layout()->activate();
  w.adjustSize();
  QDir().mkpath(QStringLiteral(KORVANE_SOURCE_DIR "/build/capturas"));
  w.grab().save(QStringLiteral(KORVANE_SOURCE_DIR "/build/capturas/") + QString::fromLatin1(archivo));
}

}  // namespace

class TestEditorConf : public QObject {
  Q_OBJECT

private slots:
  void init() {
    ClaseDispositivo = ClaseFlash;
    IndiceListPics = 29;
  }

  void clickChangesLabelsNotBuffers() {
    auto e = CreaEditorConf(EdFC_16F8x);
    QVERIFY(e);
    QCOMPARE(e->Tipo(), uint8_t(EdFC_16F8x));
    e->show();
    std::array<uint16_t, 4> id{0x3FF1, 0x3FF2, 0x3FF3, 0x3FF4};
    std::array<uint16_t, 3> config{0x3FF1, 0x3FFF, 0x3FFF};
    e->LoadFromBuffer(id, config);
    QVERIFY(Hijo<QRadioButton>(e.get(), "XT")->isChecked());
    QVERIFY(Hijo<QCheckBox>(e.get(), "PWRT")->isChecked());
    QVERIFY(!Hijo<QCheckBox>(e.get(), "WDT")->isChecked());
    QCOMPARE(Etiqueta(e.get(), "HexFuses"), QStringLiteral("3FF1"));
    QCOMPARE(Hijo<QLineEdit>(e.get(), "ID")->text(), QStringLiteral("1234"));
    QVERIFY(Hijo<QGroupBox>(e.get(), "G16Fx")->isVisible());
    QVERIFY(!Hijo<QGroupBox>(e.get(), "G16F62x")->isVisible());

    QSignalSpy cambiado(e.get(), &TFEditorConf::Cambiado);
    Hijo<QCheckBox>(e.get(), "WDT")->click();
    Hijo<QRadioButton>(e.get(), "RC")->click();
    QCOMPARE(cambiado.count(), 2);
    QCOMPARE(Etiqueta(e.get(), "HexFuses"), QStringLiteral("3FF7"));
    QCOMPARE(config[0], uint16_t(0x3FF1));  // the caller's words are untouched
    QCOMPARE(id[0], uint16_t(0x3FF1));

    Hijo<QLineEdit>(e.get(), "ID")->setText(QStringLiteral("A5C3"));
    e->SaveToBuffer(id, config);
    QCOMPARE(config[0], uint16_t(0x3FF7));
    QCOMPARE(id[0], uint16_t(0x3FFA));
    QCOMPARE(id[3], uint16_t(0x3FF3));
    Guarda(*e, "FC_16F8x_16F84.png");
  }

  void deviceShowsItsGroupAndCaptions() {
    auto e = CreaEditorConf(EdFC_16F8x);
    e->show();
    const std::array<uint16_t, 4> id{};
    const std::array<uint16_t, 3> config{0x3FFF, 0x3FFF, 0x3FFF};
    IndiceListPics = 10;  // 16F628
    e->LoadFromBuffer(id, config);
    QVERIFY(Hijo<QGroupBox>(e.get(), "G16F62x")->isVisible());
    QVERIFY(!Hijo<QGroupBox>(e.get(), "G16Fx")->isVisible());
    QCOMPARE(Hijo<QRadioButton>(e.get(), "CP1")->text(), QStringLiteral("0400h-07FFh"));
    QVERIFY(Hijo<QRadioButton>(e.get(), "CP3")->isVisible());
    QVERIFY(!Hijo<QGroupBox>(e.get(), "CPa")->isVisible());
    Guarda(*e, "FC_16F8x_16F628.png");
    IndiceListPics = 11;  // 16F628a: one protection bit
    e->LoadFromBuffer(id, config);
    QVERIFY(!Hijo<QGroupBox>(e.get(), "CP62")->isVisible());
    QVERIFY(Hijo<QRadioButton>(e.get(), "CP0a")->isChecked());
    QCOMPARE(Hijo<QRadioButton>(e.get(), "ERIO")->text(), QStringLiteral("RC IO"));
    IndiceListPics = 33;  // 16F818: WRT3 hidden
    e->LoadFromBuffer(id, config);
    QVERIFY(Hijo<QGroupBox>(e.get(), "G16F818")->isVisible());
    QVERIFY(!Hijo<QRadioButton>(e.get(), "WRT3")->isVisible());
    IndiceListPics = 34;
    e->LoadFromBuffer(id, config);
    QVERIFY(Hijo<QRadioButton>(e.get(), "WRT3")->isVisible());
    Guarda(*e, "FC_16F8x_16F819.png");
  }

  // A pattern that matches no button loads as none checked, in an
  // exclusive group too, saves as all ones, and a click still checks one.
  void noButtonChecked() {
    TTablaConf t;
    t.nombre = "prueba";
    t.base = {0x3FFF};
    t.grupos = {{"G", "G", DispTodos(), {Radios("R", "R", 0, 0x3, {{"A", 0}, {"B", 3}})}, {{"Hex", "", 0}}}};
    TFEditorTabla e(t);
    const std::array<uint16_t, 4> id{};
    std::array<uint16_t, 1> config{0x0000};
    e.LoadFromBuffer(id, config);
    QVERIFY(Hijo<QRadioButton>(&e, "A")->isChecked());
    config[0] = 0x0001;
    e.LoadFromBuffer(id, config);
    QVERIFY(!Hijo<QRadioButton>(&e, "A")->isChecked());
    QVERIFY(!Hijo<QRadioButton>(&e, "B")->isChecked());
    QCOMPARE(Etiqueta(&e, "Hex"), QStringLiteral("3FFF"));
    Hijo<QRadioButton>(&e, "A")->click();
    QCOMPARE(Etiqueta(&e, "Hex"), QStringLiteral("3FFC"));
    QVERIFY(!Hijo<QRadioButton>(&e, "B")->isChecked());
    std::array<uint16_t, 4> idSale{};
    e.SaveToBuffer(idSale, config);
    QCOMPARE(config[0], uint16_t(0x3FFC));
  }

  // The table's hooks: a state step after a load and after every click,
  // and a view that follows the state (here: the list is usable only while
  // the box is ticked, and ticking it chooses item 1 when none is chosen).
  void tableHooksRunOnLoadAndClick() {
    TTablaConf t;
    t.nombre = "prueba";
    t.base = {0x3FFF};
    t.grupos = {{"G", "G", DispTodos(),
                 {Casilla1("ON", 0, 4), Lista("MODO", "Mode", 0, 0x3, {{"m0", 0}, {"m1", 1}, {"m2", 2}})},
                 {{"Hex", "", 0}}}};
    t.ajustaEstado = [](int, TEstadoConf& e) {
      if (e.valores[0] == 1 && e.valores[1] < 0) e.valores[1] = 1;
    };
    t.ajustaVista = [](int, const TEstadoConf& e, TVistaConf& v) { v.controles[1].habilitado = e.valores[0] == 1; };
    TFEditorTabla e(t);
    const std::array<uint16_t, 4> id{};
    std::array<uint16_t, 1> config{0x0003};
    e.LoadFromBuffer(id, config);
    auto* lista = Hijo<QComboBox>(&e, "MODO");
    QCOMPARE(lista->currentIndex(), -1);
    QVERIFY(!lista->isEnabled());
    Hijo<QCheckBox>(&e, "ON")->click();
    QVERIFY(lista->isEnabled());
    QCOMPARE(lista->currentIndex(), 1);
    QCOMPARE(Etiqueta(&e, "Hex"), QStringLiteral("3FFD"));
    QCOMPARE(lista->itemText(2), QStringLiteral("m2"));
  }
};

QTEST_MAIN(TestEditorConf)
#include "editorconf_test.moc"
