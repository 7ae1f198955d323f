// Korvane.ini and the small conversions of the main window, without a window.
#include <QtTest>

#include "AjustesKorvane.h"
#include "RegAuto.h"
#include "pg_pic.h"
#include "ventana_comun.h"

class TestAjustes : public QObject {
  Q_OBJECT

  static TRegAuto Ini() {
    TRegAuto ini;
    ini.AutoMode = false;
    ini.Storage = raIniFile;
    ini.IniFile = kArchivoAjustes;
    return ini;
  }

private slots:
  void sinArchivoDaLosValoresPorDefecto() {
    TCarpetaPrueba c;
    const TAjustes a = LeeAjustes(Ini());
    QCOMPARE(a.Dev, uint8_t{0});
    QCOMPARE(a.Pic, uint8_t{0});
    QVERIFY(a.VDurante && a.AutoPic);
    QVERIFY(!a.VDespues && !a.PMsgs && !a.AutoSel && !a.Reabrir && !a.ClosW);
    QCOMPARE(a.TPH, std::string("Korvane"));
    QVERIFY(a.Recientes.empty());
  }

  // The 13 keys are written in order, then the recent list, and read back.
  void idaYVueltaEnOrden() {
    TCarpetaPrueba c;
    TAjustes a;
    a.Pic = 121;
    a.PicC = 37;
    a.I2C = 9;
    a.Dev = 2;
    a.ClosW = true;
    a.InitDir = "/home/u/hex/";
    a.TPH = "JDM";
    a.VDurante = false;
    a.VDespues = true;
    a.PMsgs = true;
    a.AutoPic = false;
    a.AutoSel = true;
    a.Reabrir = true;
    a.Recientes = {"/a/uno.hex", "/b/dos tres.hex"};
    TRegAuto ini = Ini();
    QVERIFY(GuardaAjustes(ini, a));
    const std::string texto = TCarpetaPrueba::Lee(c.programa / "Korvane.ini");
    std::size_t pos = 0;
    for (const char* clave : {"Pic=", "PicC=", "I2C=", "Dev=", "ClosW=", "InitDir=", "TPH=", "VDurante=",
                              "VDespues=", "PMsgs=", "AutoPic=", "AutoSel=", "Reabrir=", "[Recientes]", "f="}) {
      const std::size_t p = texto.find(std::string("\n") + clave, pos);
      QVERIFY2(p != std::string::npos, clave);
      pos = p + 1;
    }
    const TAjustes b = LeeAjustes(ini);
    QCOMPARE(b.Pic, a.Pic);
    QCOMPARE(b.PicC, a.PicC);
    QCOMPARE(b.I2C, a.I2C);
    QCOMPARE(b.Dev, a.Dev);
    QCOMPARE(b.ClosW, a.ClosW);
    QCOMPARE(b.InitDir, a.InitDir);
    QCOMPARE(b.TPH, a.TPH);
    QCOMPARE(b.VDurante, a.VDurante);
    QCOMPARE(b.VDespues, a.VDespues);
    QCOMPARE(b.PMsgs, a.PMsgs);
    QCOMPARE(b.AutoPic, a.AutoPic);
    QCOMPARE(b.AutoSel, a.AutoSel);
    QCOMPARE(b.Reabrir, a.Reabrir);
    QVERIFY(b.Recientes == a.Recientes);
  }

  // An edited or stale index falls back to the first item.
  void indicesFueraDeLista_data() {
    QTest::addColumn<QString>("clave");
    QTest::addColumn<int>("valor");
    QTest::newRow("Pic past the list") << "Pic" << 122;
    QTest::newRow("Pic -1") << "Pic" << -1;
    QTest::newRow("PicC past the list") << "PicC" << 38;
    QTest::newRow("I2C past the list") << "I2C" << 10;
    QTest::newRow("Dev 3") << "Dev" << 3;
    QTest::newRow("Dev 255") << "Dev" << 255;
  }
  void indicesFueraDeLista() {
    QFETCH(QString, clave);
    QFETCH(int, valor);
    TCarpetaPrueba c;
    std::string texto = "[Parametros]\n";
    for (const char* k : {"Pic", "PicC", "I2C", "Dev"})
      texto += std::string(k) + "=" + (clave == k ? std::to_string(valor) : std::string("1")) + "\n";
    TCarpetaPrueba::Escribe(c.programa / "Korvane.ini", texto);
    const TAjustes a = LeeAjustes(Ini());
    const uint8_t leido = clave == "Pic" ? a.Pic : clave == "PicC" ? a.PicC : clave == "I2C" ? a.I2C : a.Dev;
    QCOMPARE(leido, uint8_t{0});
  }

  void listaReciente() {
    std::vector<std::string> l;
    for (int i = 0; i < 11; ++i) AgregaReciente(l, "f" + std::to_string(i));
    QCOMPARE(l.size(), std::size_t{10});
    QCOMPARE(l.front(), std::string("f10"));
    QCOMPARE(l.back(), std::string("f1"));  // the oldest went
    AgregaReciente(l, "f9");  // second moves to the top
    QCOMPARE(l[0], std::string("f9"));
    QCOMPARE(l[1], std::string("f10"));
    QCOMPARE(l.size(), std::size_t{10});
    AgregaReciente(l, "F9");  // case-sensitive: a new entry
    QCOMPARE(l[0], std::string("F9"));
    for (const char* malo : {"a|b.hex", "a\nb.hex", "a\rb.hex", ""}) {
      const auto antes = l;
      AgregaReciente(l, malo);
      QVERIFY(l == antes);
    }
  }

  void campoArchivo_data() {
    QTest::addColumn<int>("largo");
    QTest::addColumn<bool>("maximizada");
    QTest::addColumn<int>("mostrado");  // characters of the field, -1: " " + whole name
    QTest::newRow("87 normal") << 87 << false << -1;
    QTest::newRow("88 normal") << 88 << false << 90;
    QTest::newRow("174 maximised") << 174 << true << -1;
    QTest::newRow("175 maximised") << 175 << true << 176;
  }
  void campoArchivo() {
    QFETCH(int, largo);
    QFETCH(bool, maximizada);
    QFETCH(int, mostrado);
    std::string nombre;
    for (int i = 0; i < largo; ++i) nombre += char('a' + i % 26);
    const std::string t = TextoCampoArchivo(nombre, maximizada);
    if (mostrado < 0) {
      QCOMPARE(t, " " + nombre);
    } else {
      QCOMPARE(int(t.size()), mostrado);
      QCOMPARE(t.substr(t.size() - 4), std::string("...."));
      QCOMPARE(t.substr(0, t.size() - 4), (" " + nombre).substr(0, t.size() - 4));
    }
  }

  void hexAEntero() {
    QCOMPARE(HextoInt("3F").value_or(999), 0x3Fu);
    QCOMPARE(HextoInt("3f").value_or(999), 0x3Fu);
    QCOMPARE(HextoInt("0").value_or(999), 0u);
    QCOMPARE(HextoInt("FFFFFFFF").value_or(0), 0xFFFFFFFFu);
    for (const char* malo : {"", "G1", "1 2", "-1", "123456789"}) QVERIFY2(!HextoInt(malo), malo);
  }

  void posIzquierda() {
    QCOMPARE(PosIzquierda("8192", 6), std::string("  8192"));
    QCOMPARE(PosIzquierda("123456", 6), std::string("123456"));
    QCOMPARE(PosIzquierda("1234567", 6), std::string("1234567"));
  }

  void busqueda() {
    QCOMPARE(RecortaBusqueda("3FF"), std::string("3F"));
    QCOMPARE(RecortaBusqueda("3FFF0"), std::string("3FFF"));
    QCOMPARE(RecortaBusqueda(std::string(17, 'A')), std::string(16, 'A'));  // long texts too
    QVERIFY(BytesBusqueda("3fFF00a5") == (std::vector<uint8_t>{0x3F, 0xFF, 0x00, 0xA5}));
    const std::string largo(60, 'A');
    QCOMPARE(MensajeNoEncontrado("no", "x", largo), "no\nx " + std::string(50, 'A') + "...");
    QCOMPARE(MensajeNoEncontrado("no", "x", "3F"), std::string("no\nx 3F"));
  }

  // Inside the memory an address stays as typed; beyond it, it wraps on a
  // power-of-two memory and stops at the last address on any other.
  void direccionLlenar_data() {
    QTest::addColumn<uint>("valor");
    QTest::addColumn<uint>("ultima");
    QTest::addColumn<uint>("esperado");
    QTest::newRow("inside, 18F2455 program") << 0x1000u << 0x2FFFu << 0x1000u;
    QTest::newRow("beyond, non-power-of-two") << 0x3000u << 0x2FFFu << 0x2FFFu;
    QTest::newRow("128-byte grid 0x1FF") << 0x1FFu << 0x7Fu << 0x7Fu;
    QTest::newRow("128-byte grid 0x180") << 0x180u << 0x7Fu << 0x00u;
    QTest::newRow("last address") << 0x7Fu << 0x7Fu << 0x7Fu;
  }
  void direccionLlenar() {
    QFETCH(uint, valor);
    QFETCH(uint, ultima);
    QFETCH(uint, esperado);
    QCOMPARE(AjustaDireccionLlenar(valor, ultima), esperado);
  }

  // The device → editor-kind table at the edges of its ranges.
  void tipoDeEditor_data() {
    QTest::addColumn<int>("clase");
    QTest::addColumn<int>("indice");
    QTest::addColumn<int>("tipo");
    const int casos[][3] = {
        {0, 0, EdFC_10Fxxx}, {0, 3, EdFC_10Fxxx}, {0, 4, EdFC_1xF6OSCAL}, {0, 5, EdFC_16F6xx},
        {0, 8, EdFC_16F8x}, {0, 11, EdFC_16F8x}, {0, 12, EdFC_1xF6OSCAL}, {0, 15, EdFC_16F8x},
        {0, 18, EdFC_16F6xx}, {0, 19, EdFC_16F7x}, {0, 27, EdFC_16F7x}, {0, 28, EdFC_16F8x},
        {0, 34, EdFC_16F8x}, {0, 35, EdFC_16F87x}, {0, 45, EdFC_16F87x}, {0, 46, EdFC_18Fxxx},
        {0, 53, EdFC_18Fxxx}, {0, 54, EdFC_18Fxx20}, {0, 59, EdFC_18Fxx20}, {0, 60, EdFC_18Fxx31},
        {0, 63, EdFC_18Fxx31}, {0, 64, EdFC_18Fxx20}, {0, 69, EdFC_18Fxx20}, {0, 70, EdFC_18FModUSB},
        {0, 97, EdFC_18FModUSB}, {0, 98, EdFC_30Fxxx}, {0, 121, EdFC_30Fxxx}, {0, 122, EdNinguno},
        {1, 0, EdFC_16Cxxx}, {1, 37, EdFC_16Cxxx}, {2, 0, EdNinguno}, {2, 9, EdNinguno}};
    for (const auto& c : casos)
      QTest::newRow(QStringLiteral("class %1 item %2").arg(c[0]).arg(c[1]).toUtf8().constData()) << c[0] << c[1] << c[2];
  }
  void tipoDeEditor() {
    QFETCH(int, clase);
    QFETCH(int, indice);
    QFETCH(int, tipo);
    QCOMPARE(int(EditorDeDispositivo(uint8_t(clase), indice)), tipo);
  }
};

QTEST_MAIN(TestAjustes)
#include "ajustes_test.moc"
