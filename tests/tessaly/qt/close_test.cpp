// Closing Tessaly while an operation runs: the window manager's close
// request reaches the disabled main window, and SIGTERM and SIGINT reach the
// program itself. Each cancels the operation, which ends with the
// programmer's lines at rest and the port closed; the settings are saved and
// the program quits with status 2, releasing its lock so that the next start
// succeeds.
#include <QCloseEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <csignal>
#include <fstream>

#include "DeviceForm.h"
#include "process_bench.h"
#include "window_bench.h"

namespace {

// What the window manager sends when the user closes the window.
void WindowManagerClose(QWidget* w) {
  QCloseEvent e;
  QCoreApplication::sendEvent(w->windowHandle(), &e);
}

}  // namespace

class TestClose : public QObject {
  Q_OBJECT

private slots:
  // The window manager's close while Program runs, at a message pump of the
  // code loop or while a verify question is shown.
  void windowManagerCloseDuringAnOperation_data() {
    QTest::addColumn<bool>("inQuestion");
    QTest::newRow("during Program") << false;
    QTest::newRow("during a verify question") << true;
  }
  void windowManagerCloseDuringAnOperation() {
    QFETCH(bool, inQuestion);
    TWindowBench b;
    b.Start("PIC16F84A");
    b.D->Name = b.HexFile(200);
    b.W->FileOpenItem->trigger();
    const QString settings = b.W->SettingsPath();
    QFile::remove(settings);
    b.D->Boxes.clear();
    QAction* command = b.W->RunProgramItem;
    if (inQuestion) {
      // The part differs from the file from word 0 on: Verify asks at once.
      command = b.W->RunVerifyItem;
      b.D->Answers = {true, true, true};
      b.D->OnAsk = [&] {
        b.D->OnAsk = nullptr;
        WindowManagerClose(b.W.get());
      };
    } else {
      ProgramOptions.SkipBlankCheck = true;
      b.W->OnPump = [&](int pump) {
        if (pump != 40) return;
        QVERIFY(!b.W->isEnabled());
        WindowManagerClose(b.W.get());
      };
    }
    // The command runs from the program's own event loop, which ends when
    // the program quits; the timer only keeps a failing test from hanging.
    QTimer::singleShot(0, command, &QAction::trigger);
    bool stillRunning = false;
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [&] {
      stillRunning = true;
      b.W->DeviceForm->hide();
      QCoreApplication::quit();
    });
    safety.start(120'000);
    QCoreApplication::exec();
    QVERIFY2(!stillRunning, "the program did not quit");
    if (!inQuestion) {
      QVERIFY(b.W->Pumps < 200);  // cancelled: the code loop did not go on
      QCOMPARE(b.Chip.Mid->Word(40), uint16_t(0x3FFF));
    }
    // Nobody is asked anything once the program is closing.
    QVERIFY2(b.D->Boxes.size() == (inQuestion ? 1u : 0u), b.D->Texts().c_str());
    QVERIFY(!b.W->DeviceForm->isVisible());
    QVERIFY(!b.W->isVisible());
    QCOMPARE(b.Port.Slots[0].Data, uint8_t(0x1F));  // all lines off
    QCOMPARE(b.Port.Claimed, -1);
    QVERIFY(!PortLayer.DriverOpen);
    QVERIFY(QFileInfo::exists(settings));
    QCOMPARE(ProgramCounters.ProgramSuccess, 0);
    // The operation was cut short by the close.
    QCOMPARE(b.W->ExitStatus(), 2);
  }

  // SIGTERM or SIGINT while the program runs Program from its command line.
  void signalDuringAnOperation_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
  }
  void signalDuringAnOperation() {
    QFETCH(int, signal);
    TProcessBench b;
    std::ofstream(b.SettingsFile().toStdString()) << "[Options]\nSkipBlankCheck=1\n\n[Device]\nDevice=PIC16F84A\n";
    // 64 words of code.
    std::string hex;
    for (int r = 0; r < 16; ++r) {
      const int a = r * 8;
      int sum = 8 + (a >> 8) + (a & 0xFF);
      char line[64];
      std::string data;
      for (int k = 0; k < 4; ++k) {
        char w[8];
        std::snprintf(w, sizeof w, "%02X%02X", 0x30 + r, 0x05 + k);
        sum += 0x30 + r + 0x05 + k;
        data += w;
      }
      std::snprintf(line, sizeof line, ":08%04X00%s%02X\n", a, data.c_str(), (-sum) & 0xFF);
      hex += line;
    }
    std::ofstream(b.Path("image.hex").toStdString()) << hex << ":00000001FF\n";

    auto p = b.Start(TESSALY_EXECUTABLE, {"-p", b.Path("image.hex")}, true);
    QByteArray seen;
    QVERIFY2(b.WaitForLine(*p, seen, "vorra-sim: PIC16F84A in programming mode"), seen.constData());
    // The part waits in programming mode until it hears from the test.
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), signal), 0);
    p->write("g");
    // The Program was cut short by the signal.
    QCOMPARE(b.Ended(*p), 2);
    seen += p->readAllStandardError();
    const std::optional<QString> exit = b.WaitForLine(*p, seen, "vorra-sim: at exit:");
    QVERIFY2(exit, seen.constData());
    QVERIFY2(exit->startsWith("vorra-sim: at exit: data 0x1F, port closed, "), qPrintable(*exit));
    QVERIFY2(!exit->contains(" 64 code words"), qPrintable(*exit));  // the operation did not run to its end
    QVERIFY2(exit->endsWith(", 0 violations"), qPrintable(*exit));
    // Saved: the file now holds every section.
    QFile f(b.SettingsFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("[Main]"));
    QVERIFY(!QFileInfo::exists(b.LockFile()));

    // The next start gets past the lock to its programmer check.
    auto again = b.Start(TESSALY_EXECUTABLE, {});
    QByteArray seen2;
    QVERIFY2(b.WaitForLine(*again, seen2, "vorra-sim: /dev/parport0 claimed"), seen2.constData());
    QCOMPARE(::kill(static_cast<pid_t>(again->processId()), SIGTERM), 0);
    QCOMPARE(b.Ended(*again), 0);
    seen2 += again->readAllStandardError();
    QVERIFY2(seen2.contains("vorra-sim: at exit: data 0x1F, port closed"), seen2.constData());
  }
};

QTEST_MAIN(TestClose)
#include "close_test.moc"
