// The whole path through the windows against a simulated part: a file is
// opened into the views, options are chosen in the Configuration menu and
// the configuration window, the serial number in its window, and Program
// puts all of it into a simulated PIC16F84A on the Vorra programmer.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "Code.h"
#include "Config.h"
#include "ConfigMenu.h"
#include "Count.h"
#include "SN.h"
#include "ts_app.h"
#include "ts_clock.h"
#include "ts_config.h"
#include "ts_devdb.h"
#include "ts_hexfile.h"
#include "ts_images.h"
#include "ts_lpt.h"
#include "ts_options.h"
#include "ts_run.h"
#include "ts_ui.h"
#include "vsim_catalog.h"
#include "vsim_clock.h"
#include "vsim_port.h"
#include "vsim_vorra.h"

namespace {

class TAnsweringUi : public TTessalyUi {
public:
  void MessageBox(const std::string& text, const std::string&, TBoxIcon) override { Boxes.push_back(text); }
  bool AskOkCancel(const std::string& text, const std::string&, TBoxIcon) override {
    Boxes.push_back(text);
    return true;
  }
  std::vector<std::string> Boxes;
};

class TViewsHost : public TRunHost {
public:
  TCodeForm* Code = nullptr;
  TCountForm* Count = nullptr;
  void RefreshViews() override {
    Code->ShowCode();
    Count->ShowCounters();
  }
};

}  // namespace

class WindowsProgramTest : public QObject {
  Q_OBJECT

private slots:
  void programsWhatTheWindowsShow() {
    TVirtualClock clock;
    SetClock(&clock);
    TSimPort port(&clock);
    port.KeepLog = false;
    SetPortBackend(&port);
    TSimChip chip = MakeSimChip("PIC16F84A");
    QVERIFY(chip.Mid);
    TVorraProgrammer programmer(chip.Pic());
    port.Slots[0].Device = &programmer;
    QVERIFY(SelectProgrammerPort(1));
    TAnsweringUi ui;
    SetUi(&ui);

    QWidget host;
    TConfigurationMenu menu(&host);
    TConfigForm config(&host);
    TCodeForm code(&host);
    TSNForm sn(&host);
    TCountForm count(&host);
    ConnectConfiguration(&menu, &config);
    TViewsHost views;
    views.Code = &code;
    views.Count = &count;
    SetRunHost(&views);
    code.show();
    config.show();
    sn.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sn));

    AppSettings.ProgramDirectory = TESSALY_SOURCE_DIR "/data/";
    DeviceBox.Text = "PIC16F84A";
    QVERIFY(LoadDevice());

    // Code 3055 2800 and the configuration word 3FF1: XT, watchdog off,
    // power-up timer on, no protection.
    QTemporaryDir dir;
    const std::string file = dir.filePath("blink").toStdString();
    std::ofstream(file + ".hex") << ":04000000553000284F\n:02400E00F13F80\n:00000001FF\n";
    QVERIFY(OpenFile(file));
    QCOMPARE(code.RichEdit()->toPlainText(), QString("0000- 3055 2800 "));
    QVERIFY(menu.Action("XT_OSC")->isChecked());
    QVERIFY(config.findChild<QCheckBox*>("PWRTE_ON")->isChecked());
    QVERIFY(!config.findChild<QCheckBox*>("WDT_ON")->isChecked());

    menu.Action("HS_OSC")->trigger();
    config.findChild<QCheckBox*>("WDT_ON")->click();
    QCOMPARE(config.windowTitle(), QString("Tessaly - Configuration 0x3FF6"));

    sn.WriteSNToEE->click();
    sn.StartingLocation->setValue(5);
    sn.NumberLocations->setValue(2);
    sn.SerialNumber->setValue(0x1234);
    sn.IncrementBy->setValue(1);
    ProgramOptions.ProgramSerialNumber = true;

    QVERIFY(RunProgram());
    QCOMPARE(ui.Boxes, std::vector<std::string>{"Programming complete."});
    QCOMPARE(chip.Mid->Word(0), uint16_t(0x3055));
    QCOMPARE(chip.Mid->Word(1), uint16_t(0x2800));
    QCOMPARE(chip.Mid->ConfigWord() & 0x3FFF, 0x3FF6);
    QCOMPARE(chip.Mid->DataByte(5), uint8_t(0x34));
    QCOMPARE(chip.Mid->DataByte(6), uint8_t(0x12));

    sn.ShowParameters();
    count.ShowCounters();
    QCOMPARE(sn.SerialNumber->value(), 0x1235);
    QCOMPARE(count.CSpinEditProgramAttempts->value(), 1);
    QCOMPARE(count.CSpinEditProgramSuccess->value(), 1);

    // Read back into the views and the menu, saved and opened again.
    ui.Boxes.clear();
    menu.Action("XT_OSC")->trigger();
    QVERIFY(RunRead());
    QVERIFY(code.RichEdit()->toPlainText().startsWith("0000- 3055 2800 3fff "));
    QVERIFY(menu.Action("HS_OSC")->isChecked());
    QVERIFY(config.findChild<QRadioButton*>("HS_OSC")->isChecked());
    count.ShowCounters();  // Read resets the counters after the views are refreshed
    QCOMPARE(count.CSpinEditProgramAttempts->value(), 0);
    QVERIFY(SaveFileAs(dir.filePath("read").toStdString()));
    NewFile();
    QVERIFY(code.RichEdit()->toPlainText().isEmpty());
    QVERIFY(OpenFile(dir.filePath("read").toStdString()));
    QCOMPARE(DataImage[5], 0x34u);
    QCOMPARE(CodeImage[1], 0x2800u);
    QCOMPARE(ConfigWords[0] & 3, 2u);
    QCOMPARE(ui.Boxes, std::vector<std::string>{});

    SetRunHost(nullptr);
    SetConfigurationListener(nullptr);
    SetConfigurationModel(nullptr, nullptr);
    SetUi(nullptr);
    SetPortBackend(nullptr);
    SetClock(nullptr);
  }
};

QTEST_MAIN(WindowsProgramTest)
#include "windows_program.moc"
