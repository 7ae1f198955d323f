// Closing Tessaly while an operation runs: the window manager's close
// request reaches the disabled main window, and SIGTERM and SIGINT reach the
// program itself. Each cancels the operation, which ends with the
// programmer's lines at rest and the port closed; the settings are saved and
// the program quits, releasing its lock so that the next start succeeds.
#include <QCloseEvent>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <csignal>
#include <fstream>
#include <optional>
#include <sys/stat.h>

#include "DeviceForm.h"
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

  // ---- The program as a process over the simulated programmer -------------

  QTemporaryDir scratch;

  std::unique_ptr<QProcess> Start(const QStringList& args, bool hold) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", scratch.filePath("cfg"));
    env.insert("XDG_RUNTIME_DIR", scratch.filePath("run"));
    env.insert("LD_PRELOAD", VORRA_PRELOAD);
    env.insert("VORRA_SIM_CHIP", "PIC16F84A");
    if (hold) env.insert("VORRA_SIM_HOLD", "1");
    else env.remove("VORRA_SIM_HOLD");
    p->setProcessEnvironment(env);
    p->setReadChannel(QProcess::StandardError);
    p->start(TESSALY_EXECUTABLE, args);
    return p;
  }

  // The process's standard error up to the first line that begins with
  // `prefix` (that line included); nothing when the process ended first.
  // Two minutes are only a safety net: the line comes within a second.
  static std::optional<QString> WaitForLine(QProcess& p, QByteArray& seen, const QByteArray& prefix) {
    QDeadlineTimer safety(120'000);
    for (;;) {
      for (qsizetype from = 0, n; (n = seen.indexOf('\n', from)) >= 0; from = n + 1) {
        const QByteArray line = seen.mid(from, n - from);
        if (line.startsWith(prefix)) {
          seen.remove(0, n + 1);
          return QString::fromUtf8(line);
        }
      }
      if (p.state() == QProcess::NotRunning || safety.hasExpired()) return std::nullopt;
      p.waitForReadyRead(static_cast<int>(safety.remainingTime()));
      seen += p.readAllStandardError();
    }
  }

  static bool Ended(QProcess& p) { return p.waitForFinished(120'000); }

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
  }

  // SIGTERM or SIGINT while the program runs Program from its command line.
  void signalDuringAnOperation_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
  }
  void signalDuringAnOperation() {
    QFETCH(int, signal);
    QVERIFY(scratch.isValid());
    QDir(scratch.path()).mkpath("cfg/tessaly");
    QDir(scratch.path()).mkpath("run");
    chmod(scratch.filePath("run").toLocal8Bit().constData(), 0700);
    const QString settings = scratch.filePath("cfg/tessaly/vorracfg.ini");
    std::ofstream(settings.toStdString()) << "[Options]\nSkipBlankCheck=1\n\n[Device]\nDevice=PIC16F84A\n";
    // 64 words of code.
    std::string hex;
    for (int r = 0; r < 16; ++r) {
      char line[64];
      const int a = r * 8;
      int sum = 8 + (a >> 8) + (a & 0xFF);
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
    const QString image = scratch.filePath("image.hex");
    std::ofstream(image.toStdString()) << hex << ":00000001FF\n";

    auto p = Start({"-p", image}, true);
    QByteArray seen;
    QVERIFY2(WaitForLine(*p, seen, "vorra-sim: PIC16F84A in programming mode"), seen.constData());
    // The part waits in programming mode until it hears from the test.
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), signal), 0);
    p->write("g");
    QVERIFY(Ended(*p));
    seen += p->readAllStandardError();
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
    const std::optional<QString> exit = WaitForLine(*p, seen, "vorra-sim: at exit:");
    QVERIFY2(exit, seen.constData());
    QVERIFY2(exit->startsWith("vorra-sim: at exit: data 0x1F, port closed, "), qPrintable(*exit));
    QVERIFY2(!exit->contains(" 64 code words"), qPrintable(*exit));  // the operation did not run to its end
    QVERIFY2(exit->endsWith(", 0 violations"), qPrintable(*exit));
    QVERIFY(!seen.contains("vorra-sim: violation"));
    // Saved: the file now holds every section.
    QFile f(settings);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("[Main]"));
    QVERIFY(!QFileInfo::exists(scratch.filePath("run/tessaly.lock")));

    // The next start gets past the lock to its programmer check.
    auto again = Start({}, false);
    QByteArray seen2;
    QVERIFY2(WaitForLine(*again, seen2, "vorra-sim: /dev/parport0 claimed"), seen2.constData());
    QCOMPARE(::kill(static_cast<pid_t>(again->processId()), SIGTERM), 0);
    QVERIFY(Ended(*again));
    QCOMPARE(again->exitStatus(), QProcess::NormalExit);
    QCOMPARE(again->exitCode(), 0);
    seen2 += again->readAllStandardError();
    QVERIFY2(seen2.contains("vorra-sim: at exit: data 0x1F, port closed"), seen2.constData());
    QFile::remove(settings);
  }
};

QTEST_MAIN(TestClose)
#include "close_test.moc"
