// The batch over the main window in this process: an identification on the
// simulated firmware board that picks the part (or names another part than
// the command line), and the program closed as a user would while the
// batch waits or while its message is still open.
#include <QAction>
#include <QCheckBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <sstream>

#include "Acciones.h"
#include "ColCombo.h"
#include "dialogos/Dialogos.h"
#include "hw/pg_perfil.h"
#include "placa_perfil.h"
#include "hw/pg_puertos.h"
#include "lote/LoteKorvane.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "ventana_comun.h"

class TestLoteVentana : public QObject {
  Q_OBJECT

  std::unique_ptr<TCarpetaPrueba> carpeta;
  std::unique_ptr<TPlacaConPerfil> banco;
  std::unique_ptr<TFormKorvane> w;
  std::unique_ptr<TLoteKorvane> lote;
  TDialogosPrueba* d = nullptr;
  std::vector<std::string> lineas;

  // The window as the program builds it, with the batch of `argumentos`;
  // sinEspera: the batch's boxes are real ones that do not block; antes
  // runs just before the start handler.
  void Crea(const std::vector<std::string>& argumentos, bool sinEspera = false,
            const std::function<void()>& antes = {}) {
    w = std::make_unique<TFormKorvane>();
    lote = std::make_unique<TLoteKorvane>(*w, argumentos);
    auto prueba = std::make_unique<TDialogosPrueba>();
    d = prueba.get();
    w->PonDialogos(std::make_unique<TDialogosLote>(std::move(prueba), *lote, sinEspera));
    lote->AlResultado = [this](const std::string& l) { lineas.push_back(l); };
    FAcciones->Timer1->setInterval(1);
    w->show();
    FAcciones->closw->setChecked(true);
    if (antes) antes();
    // The start timer's work, at once.
    w->Timer->stop();
    w->TimerTimer();
  }

  // A HEX file of 16F628A program words.
  std::string Hex(const std::string& nombre) {
    const uint8_t antes = IndiceListPics;
    IndiceListPics = BuscaPic("PIC16F628A");
    ClaseDispositivo = ClaseFlash;
    if (PonDispositivo() != 0) qFatal("PonDispositivo");
    LimpiaBuffers(BufArchivo);
    for (uint32_t a = 0; a < 16; ++a) BufArchivo.Prog[a] = static_cast<uint16_t>(0x3000 + a);
    const std::string ruta = (carpeta->raiz / nombre).string();
    if (GuardaHex(ruta) != 0) qFatal("GuardaHex");
    IndiceListPics = antes;
    return ruta;
  }

private slots:
  void init() {
    carpeta = std::make_unique<TCarpetaPrueba>();
    UsaArchivoIdioma((carpeta->programa / "LANGUAGES" / "Español.ini").string());
    lineas.clear();
    banco = std::make_unique<TPlacaConPerfil>("16F628A");
    QVERIFY(banco->Guardado);
    // The 10F200 is selected; the firmware board's profile is the current one.
    TCarpetaPrueba::Escribe(carpeta->programa / "Korvane.ini", "[Parametros]\nPic=0\nDev=0\nTPH=Placa\nPMsgs=0\n");
  }
  void cleanup() {
    lote.reset();
    w.reset();
    PonCierrePedido(false);
    CierraPuerto(true);
    banco.reset();
    USB_COM = USB_ = false;
    ADDR_USB_COM.clear();
    PerfilHardware.clear();
    carpeta.reset();
  }

  // -A identifies the part on the board and selects it, with no wait before
  // the action; with -D of another part the batch stops before loading.
  void identificacion_data() {
    QTest::addColumn<QString>("dispositivo");
    QTest::addColumn<int>("codigo");
    QTest::newRow("part found") << "" << 0;
    QTest::newRow("another part named") << "-DPIC16F84A" << 1;
  }
  void identificacion() {
    QFETCH(QString, dispositivo);
    QFETCH(int, codigo);
    const std::string hex = Hex("a.hex");
    std::vector<std::string> args = {"-A", "-P", hex};
    if (!dispositivo.isEmpty()) args.insert(args.begin(), dispositivo.toStdString());
    Crea(args);
    QVERIFY(!lote->Espera()->isActive());
    QVERIFY(lote->Lote().Terminado());
    QCOMPARE(lote->CodigoSalida(), codigo);
    QCOMPARE(lineas.size(), std::size_t{1});
    QCOMPARE(IndiceListPics, BuscaPic("PIC16F628A"));
    QVERIFY(OpcAutoPic);
    if (codigo == 0) {
      QCOMPARE(lineas[0], "korvane: identify, program " + hex + " (16F628a): ok");
      QCOMPARE(ArchivoActual, hex);
      QCOMPARE(banco->Programa(5), uint32_t{0x3005});
      QVERIFY(d->Mensajes.empty());
    } else {
      QVERIFY(ArchivoActual.empty());  // nothing loaded
      QCOMPARE(d->Mensajes.size(), std::size_t{1});
      QVERIFY(d->Mensajes[0].startsWith(QString::fromStdString(TextoIdioma("Lote*", "0*"))));
      QVERIFY(lineas[0].find("failed: " + TextoIdioma("Lote*", "0*")) != std::string::npos);
      QCOMPARE(banco->Programa(5), uint32_t{0x3FFF});
    }
    QVERIFY(w->isVisible());  // no -S
  }

  // Closed during the wait before the action: the batch ends as
  // interrupted (status 2) and nothing is programmed; the settings are saved.
  void cerradoDuranteLaEspera() {
    const std::string hex = Hex("b.hex");
    Crea({"-dpic16f628a", "-P", "-S", hex});
    QVERIFY(lote->Espera()->isActive());
    QVERIFY(!lote->Lote().Terminado());
    fs::remove(carpeta->programa / "Korvane.ini");
    lote->CierraComoUsuario();
    QVERIFY(!lote->Espera()->isActive());
    QCOMPARE(lote->CodigoSalida(), 2);
    QCOMPARE(lineas, std::vector<std::string>{"korvane: program " + hex +
                                              " (16F628a): interrupted: the program was closed first"});
    QVERIFY(!w->isVisible());
    QVERIFY(fs::exists(carpeta->programa / "Korvane.ini"));
    QVERIFY(banco->Placa->Recibido().empty());
  }

  // Closed while the operation runs (its error box open: without -S the
  // batch is not unattended): the operation is cancelled and cleans up,
  // then the window closes; the batch ends as interrupted, not as failed.
  void cerradoDuranteLaOperacion() {
    const std::string hex = Hex("c.hex");
    banco->Placa->Inyecta({TFalloPlacaFw::Codigo, 200, 1, 0, 0});
    bool enEjecucion = false;
    // -A: no wait, the whole batch runs from the start handler.
    Crea({"-A", "-P", hex}, false, [&] {
      FAcciones->AlMensaje = [&](const std::string&) {
        enEjecucion = FAcciones->EnEjecucion();
        lote->CierraComoUsuario();
      };
    });
    QVERIFY(enEjecucion);
    QVERIFY(!FAcciones->isVisible());
    QCOMPARE(lote->CodigoSalida(), 2);
    QCOMPARE(lineas, std::vector<std::string>{"korvane: identify, program " + hex +
                                              " (16F628a): interrupted: the program was closed first"});
    QTRY_VERIFY(!w->isVisible());
  }

  // Started without arguments, closed while an operation the user started
  // from the window runs (its error box open): the operation is cancelled
  // and cleans up, and the program's status says a close cut a run short.
  void cerradoDuranteUnaOperacionSinArgumentos() {
    TCarpetaPrueba::Escribe(carpeta->programa / "Korvane.ini", "[Parametros]\nPic=" +
                                                                    std::to_string(BuscaPic("PIC16F628A")) +
                                                                    "\nDev=0\nTPH=Placa\nPMsgs=0\n");
    const std::string hex = Hex("d.hex");
    banco->Placa->Inyecta({TFalloPlacaFw::Codigo, 200, 1, 0, 0});
    Crea({});
    QCOMPARE(PicActual.Nombre, std::string("16F628a"));
    QVERIFY(w->CargaArchivo(hex));
    QCOMPARE(lote->CodigoSalida(), 0);
    bool enEjecucion = false;
    FAcciones->AlMensaje = [&](const std::string&) {
      enEjecucion = FAcciones->EnEjecucion();
      lote->CierraComoUsuario();
    };
    w->MProgramarClick();
    QVERIFY(enEjecucion);
    QVERIFY(!FAcciones->isVisible());
    QCOMPARE(lote->CodigoSalida(), 2);
    QVERIFY(lineas.empty());  // no batch, no result line
    QVERIFY(!banco->Placa->Alimentado());
    QTRY_VERIFY(!w->isVisible());
  }

  // A batch that failed, "Close when done" not ticked, leaves its message
  // open beside the window without blocking; closing as a user closes both
  // and keeps the status 1.
  void cerradoConSuMensajeAbierto() {
    Crea({"-P", "-S", (carpeta->raiz / "missing.hex").string()}, true,
         [] { FAcciones->closw->setChecked(false); });
    QCOMPARE(lote->CodigoSalida(), 1);
    QCOMPARE(lineas.size(), std::size_t{1});
    QVERIFY2(lineas[0].find("failed: " + TextoIdioma("pg_err*", "0*")) != std::string::npos, lineas[0].c_str());
    QMessageBox* caja = w->findChild<QMessageBox*>();
    QVERIFY(caja && caja->isVisible() && !caja->isModal());
    QVERIFY(w->isVisible());
    QPointer<QMessageBox> vigilada(caja);
    lote->CierraComoUsuario();
    QVERIFY(!w->isVisible());
    QVERIFY(vigilada.isNull() || !vigilada->isVisible());
    QCOMPARE(lote->CodigoSalida(), 1);
    QCOMPARE(lineas.size(), std::size_t{1});
  }

  // Unattended (-S, "Close when done" ticked, no question before
  // programming), a batch that failed shows no box at all: the message
  // goes to standard error, and the program closes with status 1.
  void desatendidoSinCajas() {
    Crea({"-P", "-S", (carpeta->raiz / "missing.hex").string()}, true);
    QVERIFY(lote->Desatendido());
    QCOMPARE(lote->CodigoSalida(), 1);
    QCOMPARE(lineas.size(), std::size_t{1});
    QVERIFY2(lineas[0].find("failed: " + TextoIdioma("pg_err*", "0*")) != std::string::npos, lineas[0].c_str());
    QVERIFY(d->Mensajes.empty());
    QVERIFY(!w->findChild<QMessageBox*>());
    QTRY_VERIFY(!w->isVisible());
  }

  // The help of the command line, in each language, lists every option and
  // the exit statuses.
  void ayudaDeLaLineaDeOrdenes_data() {
    QTest::addColumn<QString>("idioma");
    QTest::newRow("English") << "English.ini";
    QTest::newRow("Spanish") << "Español.ini";
  }
  void ayudaDeLaLineaDeOrdenes() {
    QFETCH(QString, idioma);
    UsaArchivoIdioma((carpeta->programa / "LANGUAGES" / idioma.toStdString()).string());
    TFAyuda_params ayuda;
    ayuda.FormShow();
    const QStringList lineas = ayuda.Memo1->toPlainText().split('\n');
    for (const char* opcion : {"-A", "-D", "-I", "-P", "-S", "-V"})
      QVERIFY2(std::any_of(lineas.begin(), lineas.end(), [&](const QString& l) { return l.startsWith(opcion); }),
               opcion);
    QVERIFY(std::any_of(lineas.begin(), lineas.end(), [](const QString& l) {
      return l.contains(": 0 ") && l.contains("; 1 ") && l.contains("; 2 ");
    }));
    // What an unattended batch needs, by the captions the user sees:
    // "close when done" ticked, "ask before programming" off.
    auto pieza = [](const char* seccion, std::size_t i) {
      std::vector<std::string> partes;
      std::stringstream ss(TextoIdioma(seccion, "***"));
      for (std::string p; std::getline(ss, p, '|');) partes.push_back(p);
      return i < partes.size() ? QString::fromStdString(partes[i]) : QString();
    };
    const QString texto = ayuda.Memo1->toPlainText();
    for (const QString& ajuste : {pieza("Acciones*", 2), pieza("pg_ConfigSoft*", 2)})
      QVERIFY2(!ajuste.isEmpty() && texto.contains("\"" + ajuste + "\""), qPrintable(ajuste));
    // The profile a batch uses, by the key that keeps it.
    QVERIFY(texto.contains("TPH") && texto.contains("Korvane.ini"));
  }
};

QTEST_MAIN(TestLoteVentana)
#include "lote_ventana_test.moc"
