// The program itself run from a script's point of view: the korvane
// executable started as a process (offscreen) in a program folder of its
// own, with a profile for the simulated firmware programmer on a
// pseudo-terminal and the operation window set to close at the end. The
// test waits for the process's own output and exit, never for a time (a
// bound only stops a test that would otherwise hang).
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>
#include <xcb/xcb.h>

#include "CarpetaPrograma.h"
#include "placa_perfil.h"
#include "hw/pg_perfil.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace fs = std::filesystem;

namespace {

// One Intel HEX data record of 14-bit words from word address `palabra`
// (two bytes a word, low first).
std::string RegistroHex(const std::vector<uint16_t>& palabras, uint16_t palabra, bool sumaErronea = false) {
  const uint16_t byte = static_cast<uint16_t>(palabra * 2);
  std::vector<uint8_t> r = {static_cast<uint8_t>(palabras.size() * 2), static_cast<uint8_t>(byte >> 8),
                            static_cast<uint8_t>(byte), 0};
  for (uint16_t p : palabras) {
    r.push_back(p & 0xFF);
    r.push_back(p >> 8);
  }
  uint8_t suma = 0;
  for (uint8_t b : r) suma += b;
  r.push_back(static_cast<uint8_t>(-suma + (sumaErronea ? 1 : 0)));
  std::string t = ":";
  char dd[3];
  for (uint8_t b : r) {
    std::snprintf(dd, sizeof dd, "%02X", b);
    t += dd;
  }
  return t + "\n";
}

constexpr const char* kFinHex = ":00000001FF\n";

// Intel HEX text of 14-bit words from address 0.
std::string HexDe(const std::vector<uint16_t>& palabras, bool sumaErronea = false) {
  return RegistroHex(palabras, 0, sumaErronea) + kFinHex;
}

void Escribe(const fs::path& p, const std::string& texto) {
  std::ofstream f(p, std::ios::binary);
  f << texto;
}

std::string Lee(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

const std::vector<uint16_t> kPrograma = {0x2804, 0x3FFF, 0x3FFF, 0x3FFF, 0x1683, 0x3000, 0x0086, 0x2805};

// Far more than any run here takes; only a hung program reaches it.
constexpr int kLimiteMs = 60000;

// Reads one channel of a process line by line until a line satisfies
// `busca`; that line, or an empty one when the process ended or the bound
// ran out first. `todo` collects everything read.
template <typename F>
QByteArray LineaQue(QProcess& p, QProcess::ProcessChannel canal, QByteArray& todo, F&& busca) {
  QElapsedTimer t;
  t.start();
  QByteArray resto;
  p.setReadChannel(canal);
  for (;;) {
    for (qsizetype n; (n = resto.indexOf('\n')) >= 0;) {
      const QByteArray linea = resto.left(n);
      resto.remove(0, n + 1);
      if (busca(linea)) return linea;
    }
    if (t.elapsed() > kLimiteMs) return {};
    const bool vivo = p.waitForReadyRead(kLimiteMs - static_cast<int>(t.elapsed()));
    const QByteArray nuevo = canal == QProcess::StandardError ? p.readAllStandardError() : p.readAllStandardOutput();
    todo += nuevo;
    resto += nuevo;
    if (!vivo && p.state() == QProcess::NotRunning) return busca(resto) ? resto : QByteArray();
  }
}

// What a window manager sends when the user clicks a window's close
// button: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
bool CierraComoGestor(const QByteArray& pantalla, uint32_t ventana) {
  xcb_connection_t* c = xcb_connect(pantalla.constData(), nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return false;
  }
  auto atomo = [c](const char* n) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(n)), n), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    std::free(r);
    return a;
  };
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = ventana;
  e.type = atomo("WM_PROTOCOLS");
  e.data.data32[0] = atomo("WM_DELETE_WINDOW");
  e.data.data32[1] = XCB_CURRENT_TIME;
  // Checked: the server has taken the request before the connection ends
  // (a request still unread when the client goes away may be dropped).
  xcb_generic_error_t* error = xcb_request_check(
      c, xcb_send_event_checked(c, 0, ventana, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e)));
  std::free(error);
  xcb_disconnect(c);
  return error == nullptr;
}

}  // namespace

class TestLoteProceso : public QObject {
  Q_OBJECT

  fs::path raiz, programa, config;
  std::unique_ptr<TPlacaConPerfil> banco;

  // The program as a script starts it (on the X server `pantalla`, when
  // one is given).
  std::unique_ptr<QProcess> Arranca(const QStringList& argumentos, const QByteArray& pantalla = {}) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", pantalla.isEmpty() ? "offscreen" : "xcb");
    if (!pantalla.isEmpty()) env.insert("DISPLAY", QString::fromLatin1(pantalla));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.string()));
    p->setProcessEnvironment(env);
    p->start(QString::fromStdString((programa / "korvane").string()), argumentos);
    return p;
  }

  // The batch's result line (every line it writes begins with "korvane: ");
  // empty when the process ended without one.
  static QString Resultado(QProcess& p) {
    QByteArray todo;
    return QString::fromUtf8(
        LineaQue(p, QProcess::StandardError, todo, [](const QByteArray& l) { return l.startsWith("korvane: "); }));
  }

  // The exit status; -1 for a crash or a program that never ends.
  static int Fin(QProcess& p) {
    if (!p.waitForFinished(kLimiteMs)) {
      p.kill();
      p.waitForFinished(kLimiteMs);
      return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  // A program writes its operation log on standard output during a batch:
  // waits for the line that says program memory is being written.
  static bool EsperaEscritura(QProcess& p, QByteArray& log) {
    const QByteArray inicio = QByteArray(" ") + TextoIdioma("Entorno*", "15*").c_str() + " " +
                              TextoIdioma("Entorno*", "100*").c_str();
    return !LineaQue(p, QProcess::StandardOutput, log, [&](const QByteArray& l) { return l.startsWith(inicio); })
                .isEmpty();
  }

  // -P -S of a small image, with the board holding its answer to the
  // program block (as a slow part would), so that the run is surely still
  // going when the close arrives; returns once the process says it writes.
  std::unique_ptr<QProcess> ArrancaEscrituraLarga(QByteArray& log, const QByteArray& pantalla = {}) {
    banco->Placa->Inyecta({TFalloPlacaFw::Tarde, 0, 0, 10 * kLimiteMs, 0});
    const std::string hex = (raiz / "largo.hex").string();
    Escribe(hex, HexDe(kPrograma));
    auto p = Arranca({"-P", "-S", QString::fromStdString(hex)}, pantalla);
    if (!EsperaEscritura(*p, log)) return nullptr;
    return p;
  }

  // After a close that cut the run short: status 2, the batch says it was
  // interrupted, the cancel is in the log (no box took it), the board got
  // the reset that ends its block and left the part unpowered, and the
  // settings were saved on the way out.
  void CompruebaCierreDuranteLaEscritura(QProcess& p, QByteArray& log) {
    const QString linea = Resultado(p);
    QVERIFY2(linea.endsWith("interrupted: the program was closed first"), qPrintable(linea + "\n" + log));
    QCOMPARE(Fin(p), 2);
    log += p.readAllStandardOutput();
    QVERIFY2(log.contains(TextoIdioma("pg_err*", "26*").c_str()), log.constData());
    QVERIFY(!banco->Placa->Alimentado());
    QVERIFY(banco->Placa->Reinicios() > 0);
    QVERIFY(banco->Placa->Errores().empty());
    QVERIFY(Lee(programa / "Korvane.ini").find("TPH=Placa") != std::string::npos);
  }

  // The settings with the 16F628A selected; closW ticks "Close when done".
  void Ajustes(bool closW) {
    Escribe(programa / "Korvane.ini", "[Parametros]\nPic=" + std::to_string(BuscaPic("PIC16F628A")) +
                                           "\nDev=0\nClosW=" + (closW ? "1" : "0") +
                                           "\nTPH=Placa\nVDurante=1\nPMsgs=0\n");
  }

  std::vector<uint32_t> Celdas() {
    return banco->Placa->Con([&] {
      std::vector<uint32_t> v(banco->Zocalo->Celdas());
      for (uint32_t c = 0; c < v.size(); ++c) v[c] = banco->Zocalo->Programa(c);
      return v;
    });
  }

private slots:
  void initTestCase() {
    std::string plantilla = (fs::temp_directory_path() / "korvane-lote-XXXXXX").string();
    QVERIFY(mkdtemp(plantilla.data()));
    raiz = plantilla;
    programa = raiz / "prog";
    config = raiz / "cfg";
    fs::create_directories(programa / "Hardware");
    fs::create_directories(config);
    fs::copy(fs::path(KORVANE_PROGRAM_DIR) / "LANGUAGES", programa / "LANGUAGES", fs::copy_options::recursive);
    // A copy of the program: its folder is the one it reads and writes.
    fs::copy_file(fs::path(KORVANE_PROGRAM_DIR) / "korvane", programa / "korvane");
    PonCarpetaPrograma(programa.string());
    // The texts the program shows by default.
    UsaArchivoIdioma((programa / "LANGUAGES" / "Español.ini").string());
  }

  void cleanupTestCase() {
    PonCarpetaPrograma("");
    std::error_code ec;
    fs::remove_all(raiz, ec);
  }

  // A blank 16F628A on the board; the profile names the board's terminal;
  // the 16F628A is the selected part and the operation window closes at
  // the end of a run.
  void init() {
    banco = std::make_unique<TPlacaConPerfil>("16F628A");
    QVERIFY(banco->Guardado);
    Ajustes(true);
  }

  void cleanup() {
    banco.reset();
  }

  // -P -S: programmed, the result line says so, the program closes by
  // itself with 0 and the part holds the file.
  void programaYCierra() {
    const std::string hex = (raiz / "prog ok.hex").string();
    Escribe(hex, HexDe(kPrograma));
    // A name with a blank arrives split, as a shell passes it unquoted.
    auto p = Arranca({"-P", "-S", QString::fromStdString((raiz / "prog").string()), "ok.hex"});
    QCOMPARE(Resultado(*p), QString::fromStdString("korvane: program " + hex + " (16F628a): ok"));
    QCOMPARE(Fin(*p), 0);
    const std::vector<uint32_t> celdas = Celdas();
    for (uint32_t c = 0; c < celdas.size(); ++c)
      QCOMPARE(celdas[c], c < kPrograma.size() ? uint32_t{kPrograma[c]} : uint32_t{0x3FFF});
    QVERIFY(banco->Placa->Errores().empty());
  }

  // The identification on the board, by -A and by the settings' "identify
  // at start" (a batch of -S alone), for one part of each family with a
  // device ID: the part is named and selected (and saved as the selected
  // part when the program closes). A part without a device ID names
  // nothing: the batch fails and says so.
  void identificaCadaFamilia_data() {
    QTest::addColumn<QString>("parte");
    QTest::addColumn<bool>("alArrancar");
    QTest::addColumn<QString>("nombrada");
    QTest::newRow("16F628A, -A") << "16F628A" << false << "16F628a";
    QTest::newRow("18F4550, -A") << "18F4550" << false << "18F4550";
    QTest::newRow("30F4013, -A") << "30F4013" << false << "30F4013";
    QTest::newRow("18F4550, at start") << "18F4550" << true << "18F4550";
    QTest::newRow("10F200, -A") << "10F200" << false << "";
  }
  void identificaCadaFamilia() {
    QFETCH(QString, parte);
    QFETCH(bool, alArrancar);
    QFETCH(QString, nombrada);
    banco = std::make_unique<TPlacaConPerfil>(parte.toStdString());
    QVERIFY(banco->Guardado);
    const uint8_t antes = BuscaPic("PIC16F628A");
    Escribe(programa / "Korvane.ini", "[Parametros]\nPic=" + std::to_string(antes) +
                                           "\nDev=0\nClosW=1\nTPH=Placa\nPMsgs=0\nAutoSel=" +
                                           (alArrancar ? "1" : "0") + "\n");
    auto p = Arranca(alArrancar ? QStringList{"-S"} : QStringList{"-A", "-S"});
    const QString pedido = alArrancar ? "select" : "identify, select";
    const QString linea = Resultado(*p);
    if (nombrada.isEmpty()) {
      QCOMPARE(linea, "korvane: " + pedido + " (16F628a): failed: " +
                          QString::fromStdString(TextoIdioma("Lote*", "1*")));
      // Unattended (-S, "Close when done", no question): it closes by itself.
      QCOMPARE(Fin(*p), 1);
    } else {
      QCOMPARE(linea, "korvane: " + pedido + " (" + nombrada + "): ok");
      QCOMPARE(Fin(*p), 0);
    }
    const uint8_t seleccionada = nombrada.isEmpty() ? antes : BuscaPic("PIC" + parte.toStdString());
    QVERIFY(Lee(programa / "Korvane.ini").find("Pic=" + std::to_string(seleccionada) + "\n") != std::string::npos);
    QVERIFY(banco->Placa->Errores().empty());
  }

  // A 12F675 on the board while the 16F628A is selected, with "Close when
  // done" not ticked: the batch asks nobody, writes nothing (the part keeps
  // its OSCCAL word), its result line names both parts, and the window
  // stays open showing why; it fails with status 1.
  void otraParteEnElZocalo() {
    banco = std::make_unique<TPlacaConPerfil>("12F675");
    QVERIFY(banco->Guardado);
    Ajustes(false);
    const std::vector<uint32_t> antes = Celdas();
    const std::string hex = (raiz / "otra.hex").string();
    Escribe(hex, HexDe(kPrograma));
    auto p = Arranca({"-P", "-S", QString::fromStdString(hex)});
    const std::string texto = TextoIdioma("pg_zocalo*", "4*") + " 16F628a / 12F675";
    QCOMPARE(Resultado(*p), QString::fromStdString("korvane: program " + hex + " (16F628a): failed: " + texto));
    QCOMPARE(p->state(), QProcess::Running);
    QVERIFY(Celdas() == antes);
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
    QCOMPARE(Fin(*p), 1);
    QVERIFY(banco->Placa->Errores().empty());
  }

  // A batch that fails, with "Close when done" not ticked, prints why on
  // its result line and stays open showing it; SIGTERM or SIGINT then
  // closes it as the user would (the settings saved) with the batch's
  // status 1. An unknown -D name is the part the line names.
  void fallaYQuedaAbierto_data() {
    QTest::addColumn<QString>("opcion");
    QTest::addColumn<QString>("dispositivo");
    QTest::addColumn<bool>("sumaErronea");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<bool>("enlaceUsado");
    QTest::addColumn<int>("senal");
    QTest::newRow("bad checksum") << "-P" << "" << true << "25*" << false << int(SIGTERM);
    QTest::newRow("verify differs") << "-V" << "" << false << "14*" << true << int(SIGINT);
    QTest::newRow("unknown device") << "-P" << "-dpic16f999" << false << "3*" << false << int(SIGTERM);
  }
  void fallaYQuedaAbierto() {
    QFETCH(QString, opcion);
    QFETCH(QString, dispositivo);
    QFETCH(bool, sumaErronea);
    QFETCH(QString, clave);
    QFETCH(bool, enlaceUsado);
    QFETCH(int, senal);
    Ajustes(false);
    const std::string hex = (raiz / "f.hex").string();
    Escribe(hex, HexDe(kPrograma, sumaErronea));
    QStringList args = {opcion, "-S", QString::fromStdString(hex)};
    if (!dispositivo.isEmpty()) args.prepend(dispositivo);
    auto p = Arranca(args);
    const QString linea = Resultado(*p);
    const QString parte = dispositivo.isEmpty() ? "16F628a" : dispositivo.mid(2).toUpper();
    QVERIFY2(linea.startsWith("korvane: " + QString(opcion == "-P" ? "program " : "verify ") +
                              QString::fromStdString(hex) + " (" + parte + "): failed: "),
             qPrintable(linea));
    const QString texto = QString::fromStdString(TextoIdioma("pg_err*", clave.toStdString())).trimmed();
    QVERIFY(!texto.isEmpty());
    QVERIFY2(linea.contains(texto), qPrintable(linea + " / " + texto));
    QCOMPARE(p->state(), QProcess::Running);
    // A file that did not load never reaches the programmer.
    QCOMPARE(!banco->Placa->Recibido().empty(), enlaceUsado);
    const std::vector<uint32_t> celdas = Celdas();
    QVERIFY(std::all_of(celdas.begin(), celdas.end(), [](uint32_t v) { return v == 0x3FFF; }));
    fs::remove(programa / "Korvane.ini");
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), senal), 0);
    QCOMPARE(Fin(*p), 1);
    QVERIFY(Lee(programa / "Korvane.ini").find("TPH=Placa") != std::string::npos);
  }

  // Unattended (-S, "Close when done" ticked, no question before
  // programming): no box waits for anyone. A batch that fails writes its
  // result line and closes by itself with status 1; a 12F675 file whose
  // band-gap bits are 11 (as the usual include file leaves them) and whose
  // OSCCAL cell is blank is programmed without waiting, the band-gap
  // question taking its safe answer, so that the part keeps its factory
  // band-gap bits and OSCCAL word, and the program exits 0. The question's
  // text reaches standard error.
  void desatendido_data() {
    QTest::addColumn<QString>("parte");
    QTest::addColumn<QStringList>("opciones");
    QTest::addColumn<QString>("archivo");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("linea");  // the result line after "korvane: "; %1 the file
    QTest::addColumn<QString>("enErrores");  // a text standard error also holds
    const QString zocalo = QString::fromStdString(TextoIdioma("pg_zocalo*", "4*"));
    QTest::newRow("wrong part") << "12F675" << QStringList{"-P", "-S"} << "p628.hex" << 1
                                << "program %1 (16F628a): failed: " + zocalo + " 16F628a / 12F675" << zocalo;
    QTest::newRow("missing file") << "16F628A" << QStringList{"-P", "-S"} << "no-such.hex" << 1
                                  << "program %1 (16F628a): failed: " << "no-such.hex";
    const QString desconocido = QString::fromStdString(TextoIdioma("pg_err*", "3*"));
    QTest::newRow("unknown -D") << "16F628A" << QStringList{"-DPIC16F999", "-P", "-S"} << "p628.hex" << 1
                                << "program %1 (PIC16F999): failed: " + desconocido + " PIC16F999"
                                << desconocido + " PIC16F999";
    QTest::newRow("12F675, band-gap bits 11")
        << "12F675" << QStringList{"-A", "-P", "-S"} << "p675.hex" << 0 << "identify, program %1 (12F675): ok"
        << QString::fromStdString(TextoIdioma("pg_err*", "51*")).trimmed();
  }
  void desatendido() {
    QFETCH(QString, parte);
    QFETCH(QStringList, opciones);
    QFETCH(QString, archivo);
    QFETCH(int, estado);
    QFETCH(QString, linea);
    QFETCH(QString, enErrores);
    banco = std::make_unique<TPlacaConPerfil>(parte.toStdString());
    QVERIFY(banco->Guardado);
    const std::string hex = (raiz / archivo.toStdString()).string();
    // _INTRC_OSC_NOCLKOUT & _WDT_OFF & _PWRTE_ON & _MCLRE_OFF of the 12F675's
    // include file: bits 13-12, the band-gap bits, stay 11.
    const uint16_t config675 = 0x3FFC & 0x3FF7 & 0x3FEF & 0x3FDF;
    fs::remove(hex);
    if (archivo == "p628.hex") Escribe(hex, HexDe(kPrograma));
    if (archivo == "p675.hex") Escribe(hex, RegistroHex(kPrograma, 0) + RegistroHex({config675}, 0x2007) + kFinHex);
    const std::vector<uint32_t> antes = Celdas();
    const std::optional<uint32_t> configAntes = banco->Placa->Con([&] { return banco->Zocalo->PalabraConfig(); });

    QStringList args = opciones;
    args << QString::fromStdString(hex);
    QElapsedTimer reloj;
    reloj.start();
    auto p = Arranca(args);
    QByteArray errores;
    const QByteArray resultado = LineaQue(*p, QProcess::StandardError, errores,
                                          [](const QByteArray& l) { return l.startsWith("korvane: "); });
    // Nothing kills it: it ends within its own run.
    const int salida = Fin(*p);
    const qint64 ms = reloj.elapsed();
    errores += p->readAllStandardError();
    qInfo().noquote() << "korvane" << args.join(' ') << "| ClosW=1 PMsgs=0 TPH=Placa | exit" << salida << "|"
                      << QString::fromUtf8(resultado) << "|" << ms << "ms";
    QCOMPARE(QString::fromUtf8(resultado).left(("korvane: " + linea.arg(QString::fromStdString(hex))).size()),
             "korvane: " + linea.arg(QString::fromStdString(hex)));
    QCOMPARE(salida, estado);
    // The box's own text, on a line of its own beside the result line.
    bool caja = false;
    for (const QByteArray& l : errores.split('\n'))
      caja = caja || (!l.startsWith("korvane: ") && QString::fromUtf8(l).contains(enErrores));
    QVERIFY2(caja, errores.constData());
    QVERIFY(banco->Placa->Errores().empty());
    QVERIFY(!banco->Placa->Alimentado());
    const std::vector<uint32_t> despues = Celdas();
    if (estado != 0) {
      QVERIFY(despues == antes);
      return;
    }
    // Programmed, with the factory calibration kept.
    for (uint32_t c = 0; c < kPrograma.size(); ++c) QCOMPARE(despues[c], uint32_t{kPrograma[c]});
    QCOMPARE(despues[0x3FF], antes[0x3FF]);
    QVERIFY(antes[0x3FF] != 0x3FFF);
    const std::optional<uint32_t> config = banco->Placa->Con([&] { return banco->Zocalo->PalabraConfig(); });
    QVERIFY(config && configAntes);
    QCOMPARE(*config & 0x3000, *configAntes & 0x3000);
    QVERIFY((*configAntes & 0x3000) != 0x3000);
    QCOMPARE(*config & 0x0FFF, uint32_t{config675} & 0x0FFF);
  }

  // A 10F20x programmed by one run and verified by the next, from a file
  // that leaves the last program word blank (as an assembler does): the
  // part keeps its factory OSCCAL word there, and the verify passes.
  void diezFVerificaEnOtraEjecucion_data() {
    QTest::addColumn<QString>("parte");
    QTest::addColumn<uint32_t>("ultima");  // the last program word: 256 or 512 words
    QTest::newRow("10F200") << "10F200" << uint32_t{0xFF};
    QTest::newRow("10F206") << "10F206" << uint32_t{0x1FF};
  }
  void diezFVerificaEnOtraEjecucion() {
    QFETCH(QString, parte);
    QFETCH(uint32_t, ultima);
    banco = std::make_unique<TPlacaConPerfil>(parte.toStdString());
    QVERIFY(banco->Guardado);
    const uint32_t osccal = banco->Programa(ultima);
    QVERIFY(osccal != 0x0FFF);
    const std::string hex = (raiz / "p10f.hex").string();
    // MOVLW 0x55, MOVWF 0x06, GOTO 0x002.
    Escribe(hex, HexDe({0x0C55, 0x0026, 0x0A02}));
    const QString dispositivo = "-DPIC" + parte;
    for (const QString& accion : {QString("-P"), QString("-V")}) {
      auto p = Arranca({dispositivo, accion, "-S", QString::fromStdString(hex)});
      const QString linea = Resultado(*p);
      QVERIFY2(linea.endsWith("): ok"), qPrintable(accion + ": " + linea));
      QCOMPARE(Fin(*p), 0);
    }
    QCOMPARE(banco->Programa(0), uint32_t{0x0C55});
    QCOMPARE(banco->Programa(ultima), osccal);
    QVERIFY(banco->Placa->Errores().empty());
  }

  // The firmware programmer's port does not open, with the Spanish file
  // (the program's default language): the result line says why in Spanish
  // throughout, the box's two lines joined by "; ", the system's reason in
  // parentheses; the batch fails with status 1.
  void puertoQueNoAbreEnElIdiomaDelUsuario() {
    const std::string nodo = (raiz / "no-tty").string();
    PonPinesPorDefecto(0x3F8);
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = nodo;
    QVERIFY(GuardaPerfilHardware("Placa"));
    USB_COM = false;
    ADDR_USB_COM.clear();
    const std::string hex = (raiz / "p.hex").string();
    Escribe(hex, HexDe(kPrograma));
    auto p = Arranca({"-P", "-S", QString::fromStdString(hex)});
    const std::string motivo = TextoIdioma("pg_err*", "37*") + " " + nodo + "; " + nodo + ": " +
                               TextoIdioma("pg_enlace*", "0*") + " (" + std::strerror(ENOENT) + ")";
    QVERIFY(TextoIdioma("pg_enlace*", "0*").find("conectado") != std::string::npos);
    QCOMPARE(Resultado(*p), QString::fromStdString("korvane: program " + hex + " (16F628a): failed: " + motivo));
    // Left open on its message, or already closed by itself: either way 1.
    if (p->state() == QProcess::Running) QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
    QCOMPARE(Fin(*p), 1);
  }

  // Without "close when done" the operation window waits for Ok after the
  // run: the result line is out before that wait, and a close then cuts
  // nothing short (status 0, the batch succeeded).
  void resultadoAntesDeEsperarOk() {
    Ajustes(false);
    const std::string hex = (raiz / "ok.hex").string();
    Escribe(hex, HexDe(kPrograma));
    auto p = Arranca({"-P", "-S", QString::fromStdString(hex)});
    QCOMPARE(Resultado(*p), QString::fromStdString("korvane: program " + hex + " (16F628a): ok"));
    QCOMPARE(p->state(), QProcess::Running);
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
    QCOMPARE(Fin(*p), 0);
    QCOMPARE(banco->Programa(kPrograma.size() - 1), uint32_t{kPrograma.back()});
  }

  // A stop signal while the part is being written: no box holds the
  // program, the run's clean-up reaches the board, the program exits 2.
  void senalDuranteLaEscritura_data() {
    QTest::addColumn<int>("senal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
  }
  void senalDuranteLaEscritura() {
    QFETCH(int, senal);
    QByteArray log;
    auto p = ArrancaEscrituraLarga(log);
    QVERIFY2(p, log.constData());
    fs::remove(programa / "Korvane.ini");
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), senal), 0);
    CompruebaCierreDuranteLaEscritura(*p, log);
  }

  // The main window's close button clicked while the operation runs (the
  // window manager's close request, which reaches only a real X server).
  void cierreDeLaVentanaDuranteLaEscritura() {
    const QString xvfbRuta = QStandardPaths::findExecutable("Xvfb");
    const QString xdotoolRuta = QStandardPaths::findExecutable("xdotool");
    if (xvfbRuta.isEmpty() || xdotoolRuta.isEmpty()) QSKIP("Xvfb or xdotool is not installed (scripts/deps.sh)");
    QProcess xvfb;
    // Xvfb writes its display number once it takes connections.
    xvfb.start(xvfbRuta, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QByteArray salidaX;
    const QByteArray numero =
        xvfb.waitForStarted(kLimiteMs)
            ? LineaQue(xvfb, QProcess::StandardOutput, salidaX, [](const QByteArray& l) { return !l.isEmpty(); })
                  .trimmed()
            : QByteArray();
    if (numero.isEmpty()) {
      xvfb.kill();
      xvfb.waitForFinished(kLimiteMs);
      QSKIP("Xvfb started no display");
    }
    const QByteArray pantalla = ":" + numero;
    QByteArray log;
    auto p = ArrancaEscrituraLarga(log, pantalla);
    QString fallo;
    if (!p) {
      fallo = "the program did not start writing: " + QString::fromUtf8(log);
    } else {
      QProcess xdotool;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("DISPLAY", QString::fromLatin1(pantalla));
      xdotool.setProcessEnvironment(env);
      xdotool.start(xdotoolRuta, {"search", "--name", "^ Korvane   -"});
      xdotool.waitForFinished(kLimiteMs);
      const QList<QByteArray> ventanas = xdotool.readAllStandardOutput().trimmed().split('\n');
      fs::remove(programa / "Korvane.ini");
      if (ventanas.size() != 1 || ventanas[0].isEmpty())
        fallo = "main window not found: " + QString::number(ventanas.size());
      else if (!CierraComoGestor(pantalla, ventanas[0].toUInt()))
        fallo = "the close request could not be sent";
    }
    if (fallo.isEmpty()) CompruebaCierreDuranteLaEscritura(*p, log);
    if (p && p->state() != QProcess::NotRunning) {
      p->kill();
      p->waitForFinished(kLimiteMs);
    }
    xvfb.terminate();
    xvfb.waitForFinished(kLimiteMs);
    QVERIFY2(fallo.isEmpty(), qPrintable(fallo));
  }

  // Started without arguments on a parallel-port profile whose port does
  // not open: the port's box comes before the window; SIGTERM then closes
  // the program, the settings saved, with status 2.
  void senalConLaCajaDelPuertoAbierta() {
    PonPinesPorDefecto(0x378);
    USB_COM = USB_ = false;
    NodoPuerto = (raiz / "no-parport").string();
    QVERIFY(GuardaPerfilHardware("Paralelo"));
    NodoPuerto.clear();
    Escribe(programa / "Korvane.ini", "[Parametros]\nDev=0\nTPH=Paralelo\n");
    auto p = Arranca({});
    QByteArray salida;
    const std::string aviso = TextoIdioma("pg_err*", "1*");
    QVERIFY(!LineaQue(*p, QProcess::StandardError, salida, [&](const QByteArray& l) {
               return l.startsWith(aviso.c_str());
             }).isEmpty());
    fs::remove(programa / "Korvane.ini");
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
    QCOMPARE(Fin(*p), 2);
    QVERIFY(Lee(programa / "Korvane.ini").find("TPH=Paralelo") != std::string::npos);
  }
};

QTEST_GUILESS_MAIN(TestLoteProceso)
#include "lote_proceso_test.moc"
