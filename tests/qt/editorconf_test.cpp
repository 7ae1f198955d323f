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

#include "KvCommon.h"
#include "KvPanel.h"
#include "conf/Conf16F6xx.h"
#include "conf/EditorConf.h"
#include "conf/EditorTabla.h"
#include "flash/pg_flash.h"
#include "pg_catalogo.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

template <typename T>
T* Hijo(QWidget* w, const char* nombre) {
  T* h = w->findChild<T*>(QString::fromLatin1(nombre));
  if (!h) qWarning("no control %s", nombre);
  return h;
}

QString Etiqueta(QWidget* w, const char* nombre) { return Hijo<QLabel>(w, nombre)->text(); }

// The visible button of that name (hidden groups may hold namesakes).
QAbstractButton* Boton(QWidget* w, const QString& nombre) {
  for (QAbstractButton* b : w->findChildren<QAbstractButton*>(nombre))
    if (b->isVisible()) return b;
  return nullptr;
}

void Selecciona(uint8_t clase, uint8_t indice) {
  ClaseDispositivo = clase;
  if (clase == ClaseEprom) IndiceListPicsC = indice;
  else IndiceListPics = indice;
  PonDispositivo();
}

// Selects a device and loads blank words and IDs into the editor.
void CargaEn(TFEditorConf& e, uint8_t clase, uint8_t indice) {
  Selecciona(clase, indice);
  const std::array<uint16_t, 4> id{};
  const std::array<uint16_t, 3> config{0x3FFF, 0x3FFF, 0x3FFF};
  e.LoadFromBuffer(id, config);
}

// A picture for review, in the build folder beside the test program.
void Guarda(QWidget& w, const char* archivo) {
  QCoreApplication::sendPostedEvents();
  if (w.layout()) w.layout()->activate();
  w.adjustSize();
  const QString carpeta = QCoreApplication::applicationDirPath() + QStringLiteral("/capturas/");
  QDir().mkpath(carpeta);
  QVERIFY(w.grab().save(carpeta + QString::fromLatin1(archivo)));
}

}  // namespace

class TestEditorConf : public QObject {
  Q_OBJECT

private slots:
  void init() { Selecciona(ClaseFlash, 29); }

  // Every kind: a click changes the hex label and no buffer; a save writes
  // what the label shows.
  void clickPerKind_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<int>("clase");
    QTest::addColumn<int>("dispositivo");
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QString>("etiqueta");
    QTest::addColumn<int>("palabra");
    QTest::addColumn<QString>("antes");
    QTest::addColumn<QString>("despues");
    QTest::newRow("10F206") << int(EdFC_10Fxxx) << 0 << 3 << "WDT" << "HexFuses" << 0 << "0FEB" << "0FEF";
    QTest::newRow("12F675") << int(EdFC_1xF6OSCAL) << 0 << 6 << "B2" << "HexFuses" << 0 << "3FFF" << "2FFF";
    QTest::newRow("12F635 w0") << int(EdFC_16F6xx) << 0 << 5 << "WURE" << "HexFuses" << 0 << "3FFF" << "2FFF";
    QTest::newRow("12F635 w2") << int(EdFC_16F6xx) << 0 << 5 << "LVD0" << "HexFuses2" << 2 << "3FFF" << "3FFE";
    QTest::newRow("16F84") << int(EdFC_16F8x) << 0 << 29 << "WDT" << "HexFuses" << 0 << "3FFB" << "3FFF";
    QTest::newRow("16F767") << int(EdFC_16F7x) << 0 << 26 << "vbor3" << "HexFuses1" << 0 << "3FFF" << "3EFF";
    QTest::newRow("16F88 w1") << int(EdFC_16F7x) << 0 << 32 << "IESO8" << "HexFuses4" << 1 << "3FFF" << "3FFD";
    QTest::newRow("16F870") << int(EdFC_16F87x) << 0 << 35 << "CP3" << "HexFuses" << 0 << "3FFF" << "0FCF";
    QTest::newRow("16F877a") << int(EdFC_16F87x) << 0 << 45 << "WRT2" << "HexFusesA" << 0 << "3FFF" << "3BFF";
    QTest::newRow("16C76") << int(EdFC_16Cxxx) << 1 << 24 << "CP2" << "HexFuses" << 0 << "3FFF" << "15DF";
    QTest::newRow("16C773") << int(EdFC_16Cxxx) << 1 << 32 << "vbor4" << "HexFuses" << 0 << "3FFF" << "33FF";
  }
  void clickPerKind() {
    QFETCH(int, tipo);
    QFETCH(int, clase);
    QFETCH(int, dispositivo);
    QFETCH(QString, boton);
    QFETCH(QString, etiqueta);
    QFETCH(int, palabra);
    QFETCH(QString, antes);
    QFETCH(QString, despues);
    Selecciona(uint8_t(clase), uint8_t(dispositivo));
    QCOMPARE(int(EstadoEditorConf), tipo);
    auto e = CreaEditorConf(uint8_t(tipo));
    QVERIFY(e);
    QCOMPARE(int(e->Tipo()), tipo);
    e->show();
    std::array<uint16_t, 4> id{0x3FF1, 0x3FF2, 0x3FF3, 0x3FF4};
    std::array<uint16_t, 3> config{};
    config.fill(uint16_t(antes.toUInt(nullptr, 16)));
    const auto original = config;
    e->LoadFromBuffer(id, config);
    QCOMPARE(Hijo<QLabel>(e.get(), etiqueta.toLatin1().constData())->text(), antes);
    QAbstractButton* b = Boton(e.get(), boton);
    QVERIFY(b);
    b->click();
    QCOMPARE(Hijo<QLabel>(e.get(), etiqueta.toLatin1().constData())->text(), despues);
    QCOMPARE(config, original);
    e->SaveToBuffer(id, config);
    QCOMPARE(Hex4(config[size_t(palabra)]), despues.toStdString());
    QCOMPARE(id[0], uint16_t(PicActual.Familia == 10 ? 0x0FF1 : 0x3FF1));
    Guarda(*e, (QStringLiteral("FC_") + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".png").toLatin1().constData());
  }

  // Every kind frames its groups with the library's group box in the 3-D
  // light colour: the caption is whole and cuts the outline, which runs on
  // at the frame line's height on both sides of it.
  void gruposEnmarcados_data() {
    QTest::addColumn<int>("clase");
    QTest::addColumn<int>("dispositivo");
    QTest::addColumn<QStringList>("cajas");  // "name|caption" of the shown framed groups
    QTest::newRow("10F200") << 0 << 0 << QStringList({"G10F|10F20x", "GroupID| ID ", "GroupBackup| Backup OSCCAL "});
    QTest::newRow("12F675") << 0 << 6 << QStringList({"G1xF6|12F629/675, 16F630/676", "GroupID| ID "});
    QTest::newRow("16F84") << 0 << 29 << QStringList({"G16Fx|16F8x", "GroupID| ID "});
    QTest::newRow("16F877") << 0 << 44 << QStringList({"G16F87x|16F87x", "GroupID| ID "});
    QTest::newRow("16C76") << 1 << 24 << QStringList({"G16C|16C", "GroupID| ID "});
    QTest::newRow("18F242") << 0 << 46 << QStringList({"Group_18Fxxx| on/off "});
    QTest::newRow("18F2410") << 0 << 70 << QStringList({"Group_18F2x20| on/off "});
    QTest::newRow("30F2010") << 0 << 98 << QStringList({"GroupDs| on/off "});
  }
  void gruposEnmarcados() {
    QFETCH(int, clase);
    QFETCH(int, dispositivo);
    QFETCH(QStringList, cajas);
    Selecciona(uint8_t(clase), uint8_t(dispositivo));
    auto e = CreaEditorConf(EstadoEditorConf);
    QVERIFY(e);
    e->resize(700, 500);
    e->show();
    QVERIFY(QTest::qWaitForWindowExposed(e.get()));
    CargaEn(*e, uint8_t(clase), uint8_t(dispositivo));
    QCoreApplication::sendPostedEvents();
    QVERIFY(e->findChildren<QGroupBox*>().isEmpty());
    for (TKvGroupBox* g : e->findChildren<TKvGroupBox*>())
      if (g->isVisible()) QVERIFY2(g->width() >= g->minimumSizeHint().width(), qPrintable(g->objectName()));
    for (const QString& c : cajas) {
      TKvGroupBox* g = Hijo<TKvGroupBox>(e.get(), c.section('|', 0, 0).toLatin1().constData());
      QVERIFY(g);
      QVERIFY(g->isVisible());
      QCOMPARE(g->Caption(), c.section('|', 1));
      QCOMPARE(g->Color(), cl3DLight());
      const QImage img = g->grab().toImage();
      const QRect t = g->RectanguloCaption();
      const int y = g->TopMarco();
      const QColor linea = ShadeBy(clBtnShadow(), 30);
      QVERIFY2(t.right() < g->width() - 8, qPrintable(c));
      QCOMPARE(img.pixel(t.left() - 3, y), linea.rgb());
      QCOMPARE(img.pixel(t.right() + 3, y), linea.rgb());
      QCOMPARE(img.pixel(t.left() - 3, y + 3), cl3DLight().rgb());
      QCOMPARE(img.pixel(t.right() + 3, y - 2), cl3DLight().rgb());
      // Behind the caption: no outline, only the caption's fill and ink.
      int enLinea = 0;
      for (int x = t.left(); x <= t.right(); ++x) enLinea += img.pixel(x, y) == linea.rgb();
      QCOMPARE(enLinea, 0);
    }
  }

  // The 16F87x editor enables CP1 and CP2 again before its captions: a
  // 16F870 disables them, a 16F873 after it uses them.
  void partialProtectionComesBack() {
    auto e = CreaEditorConf(EdFC_16F87x);
    e->show();
    CargaEn(*e, ClaseFlash, 35);
    QVERIFY(!Boton(e.get(), "CP1")->isEnabled());
    QCOMPARE(Boton(e.get(), "CP2")->text(), QStringLiteral(" - "));
    QVERIFY(Boton(e.get(), "CP3")->isEnabled());
    CargaEn(*e, ClaseFlash, 38);
    QVERIFY(Boton(e.get(), "CP1")->isEnabled());
    QVERIFY(Boton(e.get(), "CP2")->isEnabled());
    QCOMPARE(Boton(e.get(), "CP1")->text(), QStringLiteral("0F00h-0FFFh"));
  }

  // 16C620 offers two choices; the 16C62 after it offers four again.
  void eprom16CChoices() {
    auto e = CreaEditorConf(EdFC_16Cxxx);
    e->show();
    CargaEn(*e, ClaseEprom, 11);
    QVERIFY(!Boton(e.get(), "CP1"));
    QVERIFY(!Boton(e.get(), "CP2"));
    QVERIFY(Boton(e.get(), "CP3"));
    CargaEn(*e, ClaseEprom, 1);
    for (const char* n : {"CP0", "CP1", "CP2", "CP3"}) QVERIFY2(Boton(e.get(), QString::fromLatin1(n)), n);
    CargaEn(*e, ClaseEprom, 37);
    QCOMPARE(Boton(e.get(), "CP1")->text(), QStringLiteral("CP Low  0000h-0FFFh"));
    Guarda(*e, "FC_16Cxxx_16C926.png");
  }

  // A new 10F editor (a kind change creates one) knows no backup word; a
  // 10F to 10F switch keeps the editor and the word it shows, and the end
  // of an operation shows what the operation found.
  void backupWordOf10F() {
    Selecciona(ClaseFlash, 3);
    auto e = CreaEditorConf(EstadoEditorConf);
    e->show();
    QCOMPARE(Etiqueta(e.get(), "Backup"), QStringLiteral("????"));
    QCOMPARE(Etiqueta(e.get(), "Label4"), QStringLiteral("0x0200..0203"));
    QCOMPARE(Etiqueta(e.get(), "Label3"), QStringLiteral("0x0FFF"));
    QCOMPARE(Etiqueta(e.get(), "Label1"), QStringLiteral("0x0204"));
    OscCalBackup = 0x0C1A;  // what a read found
    QCOMPARE(Etiqueta(e.get(), "Backup"), QStringLiteral("????"));
    e->OperacionTerminada();
    QCOMPARE(Etiqueta(e.get(), "Backup"), QStringLiteral("0C1A"));
    Selecciona(ClaseFlash, 0);
    e->CambiaDispositivo();
    QCOMPARE(Etiqueta(e.get(), "Backup"), QStringLiteral("0C1A"));
    QCOMPARE(Etiqueta(e.get(), "Label4"), QStringLiteral("0x0100..0103"));
    e = CreaEditorConf(EdFC_16F8x);
    e = CreaEditorConf(EdFC_10Fxxx);
    QCOMPARE(OscCalBackup, uint16_t(0xFFFF));
    QCOMPARE(Etiqueta(e.get(), "Backup"), QStringLiteral("????"));
    QVERIFY(!CreaEditorConf(EdNinguno));
  }

  // The 16F6xx box is the engine's Act_Cal flag; its texts come from the
  // language file's block.
  void calibrationBox() {
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
    Selecciona(ClaseFlash, 17);
    auto e = CreaEditorConf(EdFC_16F6xx);
    auto* f = dynamic_cast<TFC_16F6xx*>(e.get());
    QVERIFY(f);
    e->show();
    QCOMPARE(Hijo<QLabel>(e.get(), "StaticText1")->text(), QStringLiteral("Calibration words"));
    auto* caja = Hijo<QCheckBox>(e.get(), "Act_Cal");
    QCOMPARE(caja->text(), QStringLiteral("Update calibration"));
    // Another language: the next show takes its texts.
    e->hide();
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/Español.ini");
    e->show();
    QCOMPARE(caja->text(), QStringLiteral("Actualizar calibración"));
    QVERIFY(!Act_Cal);
    caja->click();
    QVERIFY(Act_Cal);
    QVERIFY(f->ActualizaCalibracion());
    caja->click();
    QVERIFY(!Act_Cal);
    CargaEn(*e, ClaseFlash, 17);
    caja->click();
    QVERIFY(Act_Cal);
    QVERIFY(!Hijo<QLabel>(e.get(), "HexFuses2")->isVisible());
    QVERIFY(!Hijo<QCheckBox>(e.get(), "POR2")->isVisible());
    Guarda(*e, "FC_16F6xx_16F684.png");
    e.reset();
    QVERIFY(!Act_Cal);
  }

  // Another device of the same kind reads the words shown under its own
  // rules; the ID box keeps its value.
  void deviceChangeWithinKind() {
    auto e = CreaEditorConf(EdFC_16F8x);
    e->show();
    const std::array<uint16_t, 4> id{0x3FF1, 0x3FF2, 0x3FF3, 0x3FF4};
    const std::array<uint16_t, 3> config{0x3FF1, 0x3FFF, 0x3FFF};
    e->LoadFromBuffer(id, config);
    Selecciona(ClaseFlash, 10);
    e->CambiaDispositivo();
    QVERIFY(Hijo<TKvGroupBox>(e.get(), "G16F62x")->isVisible());
    QVERIFY(Hijo<QRadioButton>(e.get(), "INTRC_C")->isChecked());
    QVERIFY(Hijo<QRadioButton>(e.get(), "CP0")->isChecked());
    QCOMPARE(Etiqueta(e.get(), "HexFuses6"), QStringLiteral("3FF1"));
    QCOMPARE(Hijo<QLineEdit>(e.get(), "ID")->text(), QStringLiteral("1234"));
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
    QVERIFY(Hijo<TKvGroupBox>(e.get(), "G16Fx")->isVisible());
    QVERIFY(!Hijo<TKvGroupBox>(e.get(), "G16F62x")->isVisible());

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
    QVERIFY(Hijo<TKvGroupBox>(e.get(), "G16F62x")->isVisible());
    QVERIFY(!Hijo<TKvGroupBox>(e.get(), "G16Fx")->isVisible());
    QCOMPARE(Hijo<QRadioButton>(e.get(), "CP1")->text(), QStringLiteral("0400h-07FFh"));
    QVERIFY(Hijo<QRadioButton>(e.get(), "CP3")->isVisible());
    QVERIFY(!Hijo<TKvGroupBox>(e.get(), "CPa")->isVisible());
    Guarda(*e, "FC_16F8x_16F628.png");
    IndiceListPics = 11;  // 16F628a: one protection bit
    e->LoadFromBuffer(id, config);
    QVERIFY(!Hijo<TKvGroupBox>(e.get(), "CP62")->isVisible());
    QVERIFY(Hijo<QRadioButton>(e.get(), "CP0a")->isChecked());
    QCOMPARE(Hijo<QRadioButton>(e.get(), "ERIO")->text(), QStringLiteral("RC IO"));
    IndiceListPics = 33;  // 16F818: WRT3 hidden
    e->LoadFromBuffer(id, config);
    QVERIFY(Hijo<TKvGroupBox>(e.get(), "G16F818")->isVisible());
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
