// Tessaly's main window end to end over the simulated Vorra programmer: the
// start-up, the settings file, Open, Program with verify, Read into a new
// image, Save As and its overwrite question, New, and Cancel in the
// progress window.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <vector>

#include "Config.h"
#include "DeviceForm.h"
#include "SN.h"
#include "Main.h"
#include "ts_app.h"
#include "ts_clock.h"
#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_hexfile.h"
#include "ts_images.h"
#include "ts_lpt.h"
#include "vsim_catalog.h"
#include "vsim_clock.h"
#include "vsim_port.h"
#include "vsim_vorra.h"

namespace fs = std::filesystem;

namespace {

// Boxes and file dialogs answered by the test.
class TDialogosPrueba final : public TMainDialogs {
public:
  void MessageBox(QWidget*, const std::string& text, const std::string& caption, TBoxIcon) override {
    Boxes.push_back("[" + caption + "] " + text);
  }
  bool AskOkCancel(QWidget*, const std::string& text, const std::string& caption, TBoxIcon) override {
    Boxes.push_back("[" + caption + "] ? " + text);
    if (Answers.empty()) return false;
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  QString OpenFileName(QWidget*, const QString&) override { return Name; }
  QString SaveFileName(QWidget*, const QString&) override { return Name; }
  void About(QWidget*) override { Boxes.push_back("about"); }
  bool OpenDocument(const QString& path) override {
    Documents << path;
    return DocumentsOpen;
  }

  std::vector<std::string> Boxes;
  std::deque<bool> Answers;
  QString Name;
  QStringList Documents;
  bool DocumentsOpen = true;
  bool Has(const std::string& text) const {
    for (const auto& b : Boxes)
      if (b.find(text) != std::string::npos) return true;
    return false;
  }
};

// The window, with Cancel pressed at a chosen message pump of an operation.
class TVentana final : public TMainForm {
public:
  using TMainForm::TMainForm;
  void ProcessMessages() override {
    ++Pumps;
    if (CancelAt && Pumps == CancelAt) DeviceForm->CancelBtn->click();
    TMainForm::ProcessMessages();
  }
  int Pumps = 0, CancelAt = 0;
};

struct TImagenes {
  std::vector<uint32_t> Code, Data, Id, Config;
  static TImagenes Ahora() {
    return {{CodeImage, CodeImage + 65536}, {DataImage, DataImage + 1024}, {IDImage, IDImage + 8},
            {ConfigWords, ConfigWords + 8}};
  }
  bool operator==(const TImagenes&) const = default;
};

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  TVirtualClock clock;
  TSimPort port{&clock};
  TVorraProgrammer programmer;
  TSimChip chip;
  std::unique_ptr<TVentana> w;
  TDialogosPrueba* d = nullptr;

  QString Ruta(const char* nombre) const { return dir.filePath(nombre); }

  // A program folder with the shipped database, the programmer on LPT1 with
  // the device's simulated chip, and the window after its first activation.
  void Arranca(const std::string& device, QStringList args = {}) {
    fs::copy_file(TESSALY_SOURCE_DIR "/data/vorra.ini", dir.filePath("vorra.ini").toStdString(),
                  fs::copy_options::overwrite_existing);
    AppSettings = TAppSettings{};
    AppSettings.ProgramDirectory = dir.path().toStdString() + "/";
    chip = MakeSimChip(device);
    QVERIFY(chip.Pic());
    programmer.Socket = chip.Pic();
    port.Slots[0].Device = &programmer;
    w = std::make_unique<TVentana>(args);
    auto dialogs = std::make_unique<TDialogosPrueba>();
    d = dialogs.get();
    w->SetDialogs(std::move(dialogs));
    w->show();
    w->FormActivate();
    const int i = w->DeviceBox->findText(QString::fromStdString(device));
    QVERIFY(i >= 0);
    w->DeviceBox->setCurrentIndex(i);
    emit w->DeviceBox->activated(i);
    QCOMPARE(DeviceBox.Text, device);
  }

  // A HEX file of the device, written by the program itself from a pattern.
  QString Archivo(uint32_t semilla) {
    ClearBuffers();
    const TDeviceParameters& p = DeviceParameters;
    const uint32_t blanco = p.CoreType == 18 ? 0xFFFF : 0x3FFF;
    for (int i = 0; i < 300; ++i) CodeImage[i] = ((static_cast<uint32_t>(i) * 2654435761u + semilla) >> 9) & blanco;
    CodeImage[p.CodeSize - 1] = 0x1234 & blanco;
    for (int i = 0; i < 8 && i < p.DataSize; ++i) DataImage[i] = (static_cast<uint32_t>(i) * 37 + semilla) & 0xFF;
    for (int i = 0; i < p.IDSize; ++i) IDImage[i] = static_cast<uint32_t>(i + 1);
    const QString f = Ruta(("in" + std::to_string(semilla) + ".hex").c_str());
    [&] { QVERIFY(WriteHexFile(f.toStdString())); }();
    NewFile();
    return f;
  }

private slots:
  void init() {
    qputenv("XDG_CONFIG_HOME", dir.filePath("cfg").toUtf8());
    SetClock(&clock);
    SetPortBackend(&port);
    PortLayer = TPortLayerState{};
    DeviceBox = TDeviceList{};
    ProgramOptions = TProgramOptions{};
    ProgramCounters = TProgramCounters{};
    CancelRequested = false;
  }
  void cleanup() {
    w.reset();
    SetPortBackend(nullptr);
    SetClock(nullptr);
    fs::remove(dir.filePath("vorracfg.ini").toStdString());
    fs::remove_all(dir.filePath("cfg").toStdString());
  }

  // Start-up with no settings file: one box, the start values, the
  // programmer found on LPT1.
  void arranqueSinAjustes() {
    Arranca("PIC16F84A");
    QCOMPARE(std::count_if(d->Boxes.begin(), d->Boxes.end(),
                           [](const std::string& b) { return b.find("VORRACFG.INI") != std::string::npos; }),
             1L);
    QVERIFY(w->Vorra_Auto->isChecked());
    QCOMPARE(AppSettings.ProgrammerPort, 1);
    QVERIFY(w->Vorra_LPT1->isChecked());
    QVERIFY(w->OptionsItems[0]->isChecked());   // Program/Verify Code
    QVERIFY(!w->OptionsItems[9]->isChecked());  // Verify After Programming
    // Pictures for a reviewer (scripts/capturas.sh sets the folder).
    if (qEnvironmentVariableIsSet("KORVANE_CAPTURAS")) {
      const QString carpeta = qEnvironmentVariable("KORVANE_CAPTURAS");
      w->grab().save(carpeta + "/tessaly_main.png");
      w->ConfigForm->show();
      w->ConfigForm->grab().save(carpeta + "/tessaly_config.png");
      w->SNForm->show();
      w->SNForm->grab().save(carpeta + "/tessaly_serial.png");
    }
  }

  void programaLeeYGuarda_data() {
    QTest::addColumn<QString>("device");
    QTest::newRow("14-bit flash") << "PIC16F84A";
    QTest::newRow("core 18") << "PIC18F452";
  }
  void programaLeeYGuarda() {
    QFETCH(QString, device);
    Arranca(device.toStdString());
    const QString entrada = Archivo(7);
    d->Name = entrada;
    w->FileOpenItem->trigger();
    QVERIFY(w->windowTitle().contains("in7.hex"));
    const TImagenes abierto = TImagenes::Ahora();
    QCOMPARE(abierto.Code[0], ((0u * 2654435761u + 7) >> 9) & (device == "PIC18F452" ? 0xFFFFu : 0x3FFFu));

    w->OptionsItems[3]->trigger();  // Program/Verify ID
    w->OptionsItems[9]->trigger();  // Verify After Programming
    QVERIFY(ProgramOptions.VerifyAfterProgramming);
    d->Boxes.clear();
    w->RunProgramItem->trigger();
    QVERIFY2(d->Has("Program/Verify complete."), d->Boxes.empty() ? "no box" : d->Boxes.back().c_str());
    QVERIFY(chip.Pic()->Violations.empty());
    QCOMPARE(ProgramCounters.ProgramSuccess, 1);

    w->FileNewItem->trigger();
    QCOMPARE(w->windowTitle(), QString("Tessaly"));
    w->RunReadItem->trigger();
    const QString salida = Ruta(("out-" + device.toStdString() + ".hex").c_str());
    d->Name = salida;
    w->FileSaveAsItem->trigger();
    QVERIFY2(w->windowTitle().contains("out-"), d->Boxes.empty() ? "no box" : d->Boxes.back().c_str());
    const TImagenes leido = TImagenes::Ahora();
    for (int i = 0; i < 300; ++i) QCOMPARE(leido.Code[i], abierto.Code[i]);
    QCOMPARE(leido.Data[0], abierto.Data[0]);
    for (int i = 0; i < DeviceParameters.IDSize; ++i) QCOMPARE(leido.Id[i], abierto.Id[i]);

    // The saved file reads back to the images read from the chip.
    NewFile();
    QVERIFY(ReadHexFile(salida.toStdString()));
    const TImagenes releido = TImagenes::Ahora();
    QCOMPARE(releido.Code, leido.Code);
    QCOMPARE(releido.Data, leido.Data);
    for (int i = 0; i < DeviceParameters.IDSize; ++i) QCOMPARE(releido.Id[i], leido.Id[i]);
    QCOMPARE(releido.Config, leido.Config);
  }

  // Declining the overwrite question leaves no current file name.
  void guardarComoSinSobrescribir() {
    Arranca("PIC16F84A");
    const QString f = Archivo(3);
    const auto antes = fs::file_size(f.toStdString());
    d->Name = f;
    d->Answers = {false};
    w->FileSaveAsItem->trigger();
    QVERIFY(d->Has("File already exists. Overwrite?"));
    QVERIFY(FileState.FileName.empty());
    QCOMPARE(fs::file_size(f.toStdString()), antes);
    // So the next Save asks for a name.
    d->Name.clear();
    w->FileSaveItem->trigger();
    QVERIFY(FileState.FileName.empty());
  }

  // Cancel in the progress window stops the operation; the lines rest.
  void cancelarEnElProgreso() {
    Arranca("PIC16F84A");
    d->Name = Archivo(5);
    w->FileOpenItem->trigger();
    w->Pumps = 0;
    w->CancelAt = 40;
    w->RunProgramItem->trigger();
    QVERIFY2(d->Has("Operation cancelled."), QByteArray::number(w->Pumps));
    QVERIFY(!d->Has("complete."));
    QVERIFY(!w->DeviceForm->isVisible());
    QVERIFY(w->isEnabled());
    const TVorraLines lineas = LinesOf(port.Slots[0].Data);
    QVERIFY(!lineas.Vdd);
    QVERIFY(!lineas.Vpp);
    QCOMPARE(ProgramCounters.ProgramSuccess, 0);
    // Cancelled by the user: not everything asked for succeeded.
    QCOMPARE(w->ExitStatus(), 1);
  }

  // The exit status after the command line's device, file and Program: 0
  // only when each of them succeeded.
  void estadoDeSalida_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("inSocket");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("box");  // a box the run shows
    QTest::newRow("all succeeded") << "PIC16F84A" << "PIC16F84A" << true << 0 << "Programming complete.";
    QTest::newRow("a device vorra.ini lacks") << "PIC16F8" << "PIC16F84A" << true << 1
                                              << "Device not found in VORRA.INI.";
    QTest::newRow("a file that does not open") << "PIC16F84A" << "PIC16F84A" << false << 1 << "Unable to open file.";
    QTest::newRow("another part in the socket")
        << "PIC16F877" << "PIC16F84A" << true << 1
        << "The device in the socket is a PIC16F84A, not the selected PIC16F877.\nNothing was written.";
  }
  void estadoDeSalida() {
    QFETCH(QString, device);
    QFETCH(QString, inSocket);
    QFETCH(bool, withFile);
    QFETCH(int, status);
    QFETCH(QString, box);
    const QString f = [&] {
      Arranca("PIC16F84A");
      const QString a = Archivo(3);
      w.reset();
      return a;
    }();
    // A path the program takes for a file (a second '/') that is not there.
    const QString file = withFile ? f : Ruta("no/such.hex");
    Arranca(inSocket.toStdString(), {"-d" + device, file, "-p"});
    QCOMPARE(w->ExitStatus(), status);
    std::string shown;
    for (const std::string& b : d->Boxes) shown += b + "\n";
    QVERIFY2(d->Has(box.toStdString()), shown.c_str());
  }

  // The settings written at close are read at the next start.
  void ajustesDeUnArranqueAlSiguiente() {
    Arranca("PIC18F452");
    SerialNumberParameters.SerialNumber = 4242;
    w->OptionsItems[11]->trigger();  // Skip Blank Check
    w->Vorra_Auto->trigger();        // off: LPT1 stays
    QVERIFY(!w->Vorra_Auto->isChecked());
    w->close();
    const QString guardado = w->SettingsPath();
    QVERIFY(QFileInfo::exists(guardado));
    w.reset();
    SerialNumberParameters = TSerialNumberParameters{};
    ProgramOptions = TProgramOptions{};
    Arranca("PIC18F452");
    QVERIFY(!d->Has("VORRACFG.INI"));
    QCOMPARE(w->SettingsReadFrom(), guardado);
    QCOMPARE(SerialNumberParameters.SerialNumber, 4242);
    QVERIFY(ProgramOptions.SkipBlankCheck);
    QVERIFY(!w->Vorra_Auto->isChecked());
    QVERIFY(w->Vorra_LPT1->isEnabled());
  }

  // The command line: a device and a file, and Program at start with exit.
  void lineaDeOrdenes() {
    const QString f = [&] {
      Arranca("PIC16F84A");
      const QString a = Archivo(9);
      w.reset();
      return a;
    }();
    Arranca("PIC16F84A", {"-dPIC16F84A", f, "-p", "-x"});
    QVERIFY(w->windowTitle().contains("in9.hex"));
    QVERIFY(d->Has("Programming complete."));
    QCOMPARE(chip.Mid->Word(0), static_cast<uint16_t>(((0u * 2654435761u + 9) >> 9) & 0x3FFF));
    QTRY_VERIFY(!w->isVisible());  // File > Exit after the command returned
    QCOMPARE(w->ExitStatus(), 0);
  }

  // Neither the device database nor the settings file: the boxes say so
  // and the window runs with its start values.
  void arranqueSinArchivos() {
    AppSettings = TAppSettings{};
    AppSettings.ProgramDirectory = dir.filePath("vacia").toStdString() + "/";
    w = std::make_unique<TVentana>();
    auto dialogs = std::make_unique<TDialogosPrueba>();
    d = dialogs.get();
    w->SetDialogs(std::move(dialogs));
    w->show();
    w->FormActivate();
    QVERIFY(d->Has("Unable to open VORRA.INI."));
    QVERIFY(d->Has("Unable to open VORRACFG.INI."));
    QCOMPARE(w->DeviceBox->count(), 0);
    QVERIFY(w->Vorra_Auto->isChecked());
    QVERIFY(w->OptionsItems[0]->isChecked());
    QVERIFY(w->isEnabled());
  }

  // Program at start with Auto and no programmer on any port: one
  // detection, one box, and no program run.
  void programaAlArrancarSinProgramador() {
    port.Slots[0].Device = nullptr;
    const QString f = [&] {
      Arranca("PIC16F84A");
      const QString a = Archivo(4);
      w.reset();
      return a;
    }();
    port.Slots[0].Device = nullptr;
    AppSettings = TAppSettings{};
    AppSettings.ProgramDirectory = dir.path().toStdString() + "/";
    w = std::make_unique<TVentana>(QStringList{f, "-p"});
    auto dialogs = std::make_unique<TDialogosPrueba>();
    d = dialogs.get();
    w->SetDialogs(std::move(dialogs));
    w->show();
    w->FormActivate();
    const auto detecciones = std::count_if(d->Boxes.begin(), d->Boxes.end(), [](const std::string& b) {
      return b.find("Tessaly Error") != std::string::npos;
    });
    QCOMPARE(detecciones, 1L);
    QVERIFY(!d->Has("complete."));
    QVERIFY(w->Vorra_None->isChecked());
    QCOMPARE(w->ExitStatus(), 1);
  }

  // Settings that cannot be written anywhere are reported once.
  void ajustesQueNoSePuedenEscribir() {
    Arranca("PIC16F84A");
    AppSettings.ProgramDirectory = "/dev/null/tessaly/";
    qputenv("XDG_CONFIG_HOME", "/dev/null");
    d->Boxes.clear();
    w->close();
    QCOMPARE(d->Boxes.size(), std::size_t{1});
    QVERIFY(d->Has("vorracfg.ini"));
    w->close();
    QCOMPARE(d->Boxes.size(), std::size_t{1});
  }

  void ayudaYAcercaDe() {
    Arranca("PIC16F84A");
    d->Boxes.clear();
    w->HelpHelpItem->trigger();
    w->HelpReadmeItem->trigger();
    QCOMPARE(d->Documents, (QStringList{dir.filePath("vorra.htm"), dir.filePath("readme.txt")}));
    QVERIFY(d->Boxes.empty());
    w->HelpAboutItem->trigger();
    QVERIFY(d->Has("about"));
  }

  // Nothing to show the help with (no xdg-open, or the file gone): the box
  // says which file could not be opened and where it is.
  void helpThatCannotBeOpened() {
    Arranca("PIC16F84A");
    d->DocumentsOpen = false;
    d->Boxes.clear();
    w->HelpHelpItem->trigger();
    w->HelpReadmeItem->trigger();
    QCOMPARE(d->Boxes, (std::vector<std::string>{
                           "[Tessaly Error] Unable to open the help file.\n" + dir.filePath("vorra.htm").toStdString(),
                           "[Tessaly Error] Unable to open the readme file.\n" +
                               dir.filePath("readme.txt").toStdString()}));
  }

  // A document that is not there is a failure the window reports (the
  // desktop's opener is tried on X, in the window manager test).
  void aMissingDocumentIsNotOpened() { QVERIFY(!TMainDialogs().OpenDocument(dir.filePath("missing.htm"))); }
};

QTEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
