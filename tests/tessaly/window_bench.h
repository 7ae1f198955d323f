// Tessaly's main window over the simulated Vorra programmer, for the window
// tests: a program folder with the shipped vorra.ini, the device's simulated
// part on LPT1, boxes and file dialogs answered by the test, and a hook at
// every message pump of an operation.
#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

struct TShownBox {
  std::string Text, Caption;
  TBoxIcon Icon;
  bool Question;
};

class TScriptedDialogs : public TMainDialogs {
public:
  void MessageBox(QWidget*, const std::string& text, const std::string& caption, TBoxIcon icon) override {
    Boxes.push_back({text, caption, icon, false});
  }
  bool AskOkCancel(QWidget*, const std::string& text, const std::string& caption, TBoxIcon icon) override {
    Boxes.push_back({text, caption, icon, true});
    if (OnAsk) OnAsk();
    if (Answers.empty()) return false;
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  QString OpenFileName(QWidget*, const QString&) override { return Name; }
  QString SaveFileName(QWidget*, const QString&) override { return Name; }
  void About(QWidget*) override {}
  bool OpenDocument(const QString&) override { return true; }

  bool Has(const std::string& text) const {
    for (const TShownBox& b : Boxes)
      if (b.Text.find(text) != std::string::npos) return true;
    return false;
  }
  std::string Texts() const {
    std::string s;
    for (const TShownBox& b : Boxes) s += "[" + b.Caption + "] " + b.Text + "\n";
    return s;
  }

  std::vector<TShownBox> Boxes;
  std::deque<bool> Answers;
  QString Name;
  std::function<void()> OnAsk;  // while a question is shown
};

class TBenchWindow final : public TMainForm {
public:
  using TMainForm::TMainForm;
  void ProcessMessages() override {
    ++Pumps;
    if (OnPump) OnPump(Pumps);
    TMainForm::ProcessMessages();
  }
  int Pumps = 0;
  std::function<void(int)> OnPump;
};

class TWindowBench {
public:
  TWindowBench() {
    qputenv("XDG_CONFIG_HOME", Dir.filePath("cfg").toUtf8());
    SetClock(&Clock);
    SetPortBackend(&Port);
    PortLayer = TPortLayerState{};
    DeviceBox = TDeviceList{};
    ProgramOptions = TProgramOptions{};
    ProgramCounters = TProgramCounters{};
    SerialNumberParameters = TSerialNumberParameters{};
    FileState = TFileState{};
    CancelRequested = false;
    AppSettings = TAppSettings{};
    AppSettings.ProgramDirectory = Dir.path().toStdString() + "/";
    Port.KeepLog = false;
    std::filesystem::copy_file(TESSALY_SOURCE_DIR "/data/vorra.ini", Path("vorra.ini").toStdString());
  }
  ~TWindowBench() {
    W.reset();
    SetPortBackend(nullptr);
    SetClock(nullptr);
  }

  QString Path(const char* name) const { return Dir.filePath(name); }

  // The device's part on LPT1 and the window after its first activation.
  // The dialogs are the test's unless `dialogs` is given.
  void Start(const std::string& device, std::unique_ptr<TMainDialogs> dialogs = nullptr) {
    Chip = MakeSimChip(device);
    QVERIFY(Chip.Pic());
    Programmer.Socket = Chip.Pic();
    Port.Slots[0].Device = &Programmer;
    W = std::make_unique<TBenchWindow>();
    if (!dialogs) {
      auto scripted = std::make_unique<TScriptedDialogs>();
      D = scripted.get();
      dialogs = std::move(scripted);
    }
    W->SetDialogs(std::move(dialogs));
    W->show();
    W->FormActivate();
  }

  // A HEX file of the current device: `words` code words from 0 and the
  // device's last word, written by the program itself.
  QString HexFile(int words) {
    ClearBuffers();
    const TDeviceParameters& p = DeviceParameters;
    const uint32_t blank = p.CoreType == 18 ? 0xFFFF : 0x3FFF;
    for (int i = 0; i < words; ++i) CodeImage[i] = (static_cast<uint32_t>(i) * 2654435761u >> 9) & blank;
    CodeImage[p.CodeSize - 1] = 0x1234 & blank;
    const QString f = Path("image.hex");
    WriteHexFile(f.toStdString());
    NewFile();
    return f;
  }

  QTemporaryDir Dir;
  TVirtualClock Clock;
  TSimPort Port{&Clock};
  TVorraProgrammer Programmer;
  TSimChip Chip;
  std::unique_ptr<TBenchWindow> W;
  TScriptedDialogs* D = nullptr;
};
