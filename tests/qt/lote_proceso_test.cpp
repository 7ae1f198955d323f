// The program itself run from a script's point of view: the korvane
// executable started as a process (offscreen) in a program folder of its
// own, with a profile for the simulated firmware programmer on a
// pseudo-terminal and the operation window set to close at the end. The
// test waits for the process's own output and exit, never for a time.
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "CarpetaPrograma.h"
#include "placa_perfil.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace fs = std::filesystem;

namespace {

// Intel HEX text of 14-bit words from address 0 (two bytes a word, low first).
std::string HexDe(const std::vector<uint16_t>& palabras, bool sumaErronea = false) {
  std::vector<uint8_t> r = {static_cast<uint8_t>(palabras.size() * 2), 0, 0, 0};
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
  return t + "\n:00000001FF\n";
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

}  // namespace

class TestLoteProceso : public QObject {
  Q_OBJECT

  fs::path raiz, programa, config;
  std::unique_ptr<TPlacaConPerfil> banco;

  // The program as a script starts it.
  std::unique_ptr<QProcess> Arranca(const QStringList& argumentos) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.string()));
    p->setProcessEnvironment(env);
    p->setReadChannel(QProcess::StandardError);
    p->start(QString::fromStdString((programa / "korvane").string()), argumentos);
    return p;
  }

  // The batch's result line (every line it writes begins with "korvane: ");
  // empty when the process ended without one.
  static QString Resultado(QProcess& p) {
    QByteArray resto;
    for (;;) {
      for (qsizetype n; (n = resto.indexOf('\n')) >= 0;) {
        const QByteArray linea = resto.left(n);
        resto.remove(0, n + 1);
        if (linea.startsWith("korvane: ")) return QString::fromUtf8(linea);
      }
      const bool vivo = p.waitForReadyRead(-1);
      resto += p.readAllStandardError();
      if (!vivo && p.state() == QProcess::NotRunning)
        return resto.startsWith("korvane: ") ? QString::fromUtf8(resto.left(resto.indexOf('\n'))) : QString();
    }
  }

  static int Fin(QProcess& p) {
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
    Escribe(programa / "Korvane.ini", "[Parametros]\nPic=" + std::to_string(BuscaPic("PIC16F628A")) +
                                           "\nDev=0\nClosW=1\nTPH=Placa\nVDurante=1\nPMsgs=0\n");
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
      QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
      QCOMPARE(Fin(*p), 1);
    } else {
      QCOMPARE(linea, "korvane: " + pedido + " (" + nombrada + "): ok");
      QCOMPARE(Fin(*p), 0);
    }
    const uint8_t seleccionada = nombrada.isEmpty() ? antes : BuscaPic("PIC" + parte.toStdString());
    QVERIFY(Lee(programa / "Korvane.ini").find("Pic=" + std::to_string(seleccionada) + "\n") != std::string::npos);
    QVERIFY(banco->Placa->Errores().empty());
  }

  // A 12F675 on the board while the 16F628A is selected: the batch asks
  // nobody, writes nothing (the part keeps its OSCCAL word), and its result
  // line names both parts; it fails with status 1.
  void otraParteEnElZocalo() {
    banco = std::make_unique<TPlacaConPerfil>("12F675");
    QVERIFY(banco->Guardado);
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

  // A batch that fails prints why on its result line and stays open
  // showing it; SIGTERM or SIGINT then closes it as the user would (the
  // settings saved) with the batch's status 1.
  void fallaYQuedaAbierto_data() {
    QTest::addColumn<QString>("opcion");
    QTest::addColumn<bool>("sumaErronea");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<bool>("enlaceUsado");
    QTest::addColumn<int>("senal");
    QTest::newRow("bad checksum") << "-P" << true << "25*" << false << int(SIGTERM);
    QTest::newRow("verify differs") << "-V" << false << "14*" << true << int(SIGINT);
  }
  void fallaYQuedaAbierto() {
    QFETCH(QString, opcion);
    QFETCH(bool, sumaErronea);
    QFETCH(QString, clave);
    QFETCH(bool, enlaceUsado);
    QFETCH(int, senal);
    const std::string hex = (raiz / "f.hex").string();
    Escribe(hex, HexDe(kPrograma, sumaErronea));
    auto p = Arranca({opcion, "-S", QString::fromStdString(hex)});
    const QString linea = Resultado(*p);
    QVERIFY2(linea.startsWith("korvane: " + QString(opcion == "-P" ? "program " : "verify ") +
                              QString::fromStdString(hex) + " (16F628a): failed: "),
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
};

QTEST_GUILESS_MAIN(TestLoteProceso)
#include "lote_proceso_test.moc"
