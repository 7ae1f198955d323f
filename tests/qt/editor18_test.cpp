// The PIC18 and dsPIC configuration editors as widgets: the buffer set a
// load masks, clicks that change only the labels, the raw ID words, the
// hidden CCP2MX of the CAN parts across device changes, the CPU clock
// lists of the USB parts and the dsPIC's oscillator lists.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QtTest>

#include "KvPanel.h"
#include "conf/CodecConf.h"
#include "conf/EditorConf.h"
#include "pagina_editor.h"
#include "pg_catalogo.h"
#include "pg_pic.h"

namespace {

template <typename T>
T* Hijo(QWidget* w, const QString& nombre) {
  for (T* h : w->findChildren<T*>(nombre))
    if (h->isVisible()) return h;
  return nullptr;
}

QString Texto(QWidget* w, const char* etiqueta) {
  QLabel* l = Hijo<QLabel>(w, QString::fromLatin1(etiqueta));
  return l ? l->text() : QStringLiteral("(hidden)");
}

// The page shows the editor of the device's kind.
void Selecciona(TPaginaPrueba& pagina, uint8_t indice) {
  ClaseDispositivo = ClaseFlash;
  IndiceListPics = indice;
  PonDispositivo();
  pagina.PonTipo(EstadoEditorConf);
}

// A user's choice in a list.
void Elige(QWidget* w, const char* lista, int indice) {
  QComboBox* c = Hijo<QComboBox>(w, QString::fromLatin1(lista));
  QVERIFY2(c, lista);
  c->setCurrentIndex(indice);
  emit c->activated(indice);
}

TBuffers Palabras(std::initializer_list<uint16_t> w) {
  TBuffers b{};
  size_t i = 0;
  for (uint16_t v : w) b.Config[i++] = v;
  return b;
}

// Configuration words all ones, with one cell changed.
TBuffers Unos(size_t celda = 0, uint16_t valor = 0xFFFF) {
  TBuffers b{};
  b.Config.fill(0xFFFF);
  b.Config[celda] = valor;
  return b;
}

void Captura(QWidget& w, const QString& archivo) {
  QCoreApplication::sendPostedEvents();
  if (w.layout()) w.layout()->activate();
  w.adjustSize();
  const QString carpeta = QCoreApplication::applicationDirPath() + QStringLiteral("/capturas/");
  QDir().mkpath(carpeta);
  QVERIFY(w.grab().save(carpeta + archivo));
}

}  // namespace

class TestEditor18 : public QObject {
  Q_OBJECT

private slots:
  // A load clears in the buffer set the bits the part lacks; a click
  // changes the labels and no buffer; the save writes what they show.
  void loadMasksClickShowsSaveWrites() {
    TPaginaPrueba pagina;
    Selecciona(pagina, 46);  // 18F242: no blocks 2 and 3
    TBuffers b = Palabras({0x2700, 0x0F0F, 0xFFFF, 0x0085, 0xC00F, 0xE00F, 0x400F});
    b.Id = {0xFFFF, 0x1234, 0x0000, 0xABCD};
    pagina.Carga(b);
    QCOMPARE(b.Config[2], uint16_t(0x0100));
    QCOMPARE(b.Config[4], uint16_t(0xC003));
    QCOMPARE(Texto(pagina.Editor(), "c3"), QStringLiteral("0100"));
    QCOMPARE(Hijo<QLineEdit>(pagina.Editor(), "ID1")->text(), QStringLiteral("FFFF"));
    const TBuffers antes = b;
    Hijo<QAbstractButton>(pagina.Editor(), "WDTEN")->click();
    Hijo<QAbstractButton>(pagina.Editor(), "os6")->click();
    QCOMPARE(Texto(pagina.Editor(), "c1"), QStringLiteral("2200"));
    QCOMPARE(Texto(pagina.Editor(), "c2"), QStringLiteral("0E0F"));
    QVERIFY(b.Config == antes.Config);
    pagina.Guarda(b);
    QCOMPARE(b.Config[0], uint16_t(0x2200));
    QCOMPARE(b.Config[1], uint16_t(0x0E0F));
    QCOMPARE(b.Config[4], uint16_t(0xC003));
    QVERIFY((b.Id == std::array<uint16_t, 8>{0xFFFF, 0x1234, 0x0000, 0xABCD}));
  }

  // Right after a load the labels show what a save will write.
  void labelsAfterLoad_data() {
    QTest::addColumn<int>("dispositivo");
    QTest::addColumn<int>("celda");
    QTest::addColumn<int>("valor");
    QTest::addColumn<QString>("etiqueta");
    QTest::addColumn<QString>("texto");
    QTest::newRow("18F2220 osc 10") << 56 << 0 << 0x0A00 << "c1" << "0B00";
    QTest::newRow("18F2331 osc 13") << 60 << 0 << 0x0D00 << "c1" << "0F00";
    QTest::newRow("18F2331 word 3") << 60 << 2 << 0xFFFF << "c3" << "9D3C";
    QTest::newRow("18F2420 word 1") << 71 << 0 << 0xFFFF << "c1" << "CF00";
    QTest::newRow("30F4013 source 5") << 108 << 0 << 0xC51F << "co1" << "C71F";
    // Secure segment settings are kept as loaded, within the implemented
    // bits; erased, the register shows those bits.
    QTest::newRow("30F4013 register 4") << 108 << 16 << 0xFCF1 << "co5" << "3001";
    QTest::newRow("30F4013 register 4 erased") << 108 << 16 << 0xFFFF << "co5" << "330F";
  }
  void labelsAfterLoad() {
    QFETCH(int, dispositivo);
    QFETCH(int, celda);
    QFETCH(int, valor);
    QFETCH(QString, etiqueta);
    QFETCH(QString, texto);
    TPaginaPrueba pagina;
    Selecciona(pagina, uint8_t(dispositivo));
    TBuffers b = Unos(size_t(celda), uint16_t(valor));
    pagina.Carga(b);
    QCOMPARE(Texto(pagina.Editor(), etiqueta.toLatin1().constData()), texto);
    pagina.Guarda(b);
    QCOMPARE(QString::fromStdString(Hex4(b.Config[size_t(celda)])), texto);
  }

  // The CAN parts hide CCP2MX but load and write it from bit 8 like any
  // hidden box: nothing of an earlier part's word is carried over.
  void hiddenCcp2mxFollowsTheLoadedWord_data() {
    QTest::addColumn<int>("antes");
    QTest::addColumn<int>("carga");
    QTest::newRow("set, then clear") << 0x8700 << 0x8600;
    QTest::newRow("clear, then set") << 0x8600 << 0x8700;
  }
  void hiddenCcp2mxFollowsTheLoadedWord() {
    QFETCH(int, antes);
    QFETCH(int, carga);
    TPaginaPrueba pagina;
    Selecciona(pagina, 71);  // 18F2420
    TBuffers b = Palabras({0xCF00, 0x1F1F, uint16_t(antes), 0x00C5, 0xC00F, 0xE00F, 0x400F});
    pagina.Carga(b);
    TFEditorConf* editor = pagina.Editor();
    Selecciona(pagina, 73);  // 18F2480, same editor
    QCOMPARE(pagina.Editor(), editor);
    QVERIFY(!Hijo<QAbstractButton>(editor, "CCP2MX"));
    b = Palabras({0xCF00, 0x1F1F, uint16_t(carga), 0x00E5, 0xC00F, 0xE00F, 0x400F});
    pagina.Carga(b);
    b.Config[2] = 0;
    pagina.Guarda(b);
    QCOMPARE(b.Config[2], uint16_t(carga));
  }

  // USB parts: the CPU clock list shown follows the oscillator, with the
  // same division index.
  void cpuClockListsSwap() {
    TPaginaPrueba pagina;
    Selecciona(pagina, 92);  // 18F4550
    TBuffers b = Palabras({0x0E10, 0x1F3F, 0x8700, 0x00E5, 0xC00F, 0xE00F, 0x400F});
    pagina.Carga(b);
    TFEditorConf* e = pagina.Editor();
    QVERIFY(!Hijo<QComboBox>(e, "CPUDIV"));
    QCOMPARE(Hijo<QComboBox>(e, "CPUDIV2")->currentIndex(), 2);
    Elige(e, "CPUDIV2", 1);
    Elige(e, "FOSC_USB", 12);
    QVERIFY(!Hijo<QComboBox>(e, "CPUDIV2"));
    QCOMPARE(Hijo<QComboBox>(e, "CPUDIV")->currentIndex(), 1);
    QCOMPARE(Texto(e, "c1"), QStringLiteral("0C08"));
    Captura(*pagina.Editor(), QStringLiteral("FC_18FModUSB_18F4550.png"));
  }

  // dsPIC: the alternate oscillator shows its own list; a mode list of the
  // primary oscillator is offered only while that is the source.
  void dsPicOscillatorLists() {
    TPaginaPrueba pagina;
    Selecciona(pagina, 108);  // 30F4013
    TBuffers b = Unos();
    pagina.Carga(b);
    QCOMPARE(b.Config[1], uint16_t(0));
    QCOMPARE(b.Config[0], uint16_t(0xC71F));
    TFEditorConf* e = pagina.Editor();
    QVERIFY(Hijo<QComboBox>(e, "FPR_3")->isEnabled());
    QVERIFY(!Hijo<QComboBox>(e, "FPR_A"));
    Hijo<QAbstractButton>(e, "FOSCA")->click();
    QComboBox* alternativo = Hijo<QComboBox>(e, "FPR_A");
    QVERIFY(alternativo);
    QCOMPARE(qobject_cast<TKvGroupBox*>(alternativo->parentWidget())->Caption(), QStringLiteral("- Alternate Oscillator -"));
    QVERIFY(!Hijo<QComboBox>(e, "FPR_3"));
    Elige(e, "FPR_A", 10);
    QCOMPARE(Texto(e, "co1"), QStringLiteral("C30A"));
    Hijo<QAbstractButton>(e, "FOSC2")->click();
    QVERIFY(!Hijo<QComboBox>(e, "FPR_3")->isEnabled());
    QCOMPARE(Texto(e, "co1"), QStringLiteral("C21F"));
    QCOMPARE(b.Config[0], uint16_t(0xC71F));
    Captura(*pagina.Editor(), QStringLiteral("FC_30Fxxx_30F4013.png"));
    Selecciona(pagina, 98);  // 30F2010: two-bit source, no alternate oscillator
    QVERIFY(!Hijo<QAbstractButton>(pagina.Editor(), "FOSCA")->isEnabled());
    QCOMPARE(Hijo<QComboBox>(pagina.Editor(), "FPR_1")->count(), 16);
  }

  void screenshots_data() {
    QTest::addColumn<int>("dispositivo");
    QTest::newRow("FC_18Fxxx_18F452") << 52;
    QTest::newRow("FC_18Fxx20_18F1320") << 55;
    QTest::newRow("FC_18Fxx20_18F8720") << 69;
    QTest::newRow("FC_18Fxx31_18F4431") << 63;
    QTest::newRow("FC_18FModUSB_18F4680") << 97;
  }
  void screenshots() {
    QFETCH(int, dispositivo);
    TPaginaPrueba pagina;
    Selecciona(pagina, uint8_t(dispositivo));
    TBuffers b = Unos();
    pagina.Carga(b);
    Captura(*pagina.Editor(), QString::fromLatin1(QTest::currentDataTag()) + ".png");
  }
};

QTEST_MAIN(TestEditor18)
#include "editor18_test.moc"
