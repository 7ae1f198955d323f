// Tessaly's exit status, from the program itself run as a script runs it,
// over the preloaded simulation: 0 when everything asked for succeeded, 1
// after a failure (here a Program refused because the socket holds another
// part than the selected one), 2 when the window's close cut -p -x short.
// SIGTERM during Program is in close_test.
#include <xcb/xcb.h>

#include <QStandardPaths>
#include <QtTest>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "process_bench.h"

namespace {

// Settings that keep the runs free of boxes that would wait for a user:
// the completion message is a beep; no blank check before Program (so the
// first programming mode is the device ID read of the Program).
constexpr const char* QuietSettings =
    "[Options]\nSkipBlankCheck=1\nDisableCompletion=1\nAutoPortDetect=1\n\n[Device]\nDevice=PIC16F84A\n";

// "vorra-sim: at exit: data 0x1F, port closed, N code words set, ...,
// 0 violations" -> N: the words the part holds, once the program left the
// lines at rest, closed the port and broke no timing rule; -1 otherwise.
int WordsSetAtRest(const QString& exitLine) {
  if (!exitLine.startsWith("vorra-sim: at exit: data 0x1F, port closed, ") || !exitLine.endsWith(", 0 violations"))
    return -1;
  const qsizetype at = exitLine.indexOf(" code words set");
  if (at < 0) return -1;
  const qsizetype from = exitLine.lastIndexOf(' ', at - 1) + 1;
  return exitLine.mid(from, at - from).toInt();
}

// What the window manager sends when the user clicks the close button.
bool CloseAsWindowManager(const QByteArray& display, uint32_t window) {
  xcb_connection_t* c = xcb_connect(display.constData(), nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return false;
  }
  auto atom = [c](const char* n) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(n)), n), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    std::free(r);
    return a;
  };
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = window;
  e.type = atom("WM_PROTOCOLS");
  e.data.data32[0] = atom("WM_DELETE_WINDOW");
  e.data.data32[1] = XCB_CURRENT_TIME;
  // Checked, so the server has the request before the connection ends.
  xcb_generic_error_t* error = xcb_request_check(
      c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e)));
  const bool sent = error == nullptr;
  std::free(error);
  xcb_disconnect(c);
  return sent;
}

}  // namespace

class TestExitStatus : public QObject {
  Q_OBJECT

private slots:
  // -p -x that programs: the program ends by itself with 0.
  void programThatSucceedsExitsZero() {
    TProcessBench b;
    std::ofstream(b.SettingsFile().toStdString()) << QuietSettings;
    std::ofstream(b.Path("small.hex").toStdString()) << TProcessBench::HexImage(64, [](int i) { return 0x3000 + i; });
    auto p = b.Start(TESSALY_EXECUTABLE, {"-dPIC16F84A", "-p", "-x", b.Path("small.hex")}, false, "PIC16F84A");
    QCOMPARE(b.Ended(*p), 0);
    QByteArray seen = p->readAllStandardError();
    const std::optional<QString> exit = b.WaitForLine(*p, seen, "vorra-sim: at exit:");
    QVERIFY2(exit, seen.constData());
    qInfo("%s", qPrintable(*exit));  // what the simulation says was written
    QVERIFY2(WordsSetAtRest(*exit) == 64, qPrintable(*exit));
  }

  // An image of the 16F877 (8192 words) with -dPIC16F877 -p -x on a
  // 16F84A: the device ID read finds a 16F84A, the Program stops before a
  // word is written and the program stays open with its box; the user
  // closes it (SIGTERM does what the close does) and the status is 1.
  void programOnAnotherPartExitsOne() {
    TProcessBench b;
    std::ofstream(b.SettingsFile().toStdString()) << QuietSettings;
    std::ofstream(b.Path("big877.hex").toStdString())
        << TProcessBench::HexImage(8192, [](int i) { return 0x2800 + (i & 0x7FF); });
    auto p = b.Start(TESSALY_EXECUTABLE, {"-dPIC16F877", "-p", "-x", b.Path("big877.hex")}, true, "PIC16F84A");
    QByteArray seen;
    // The part waits in the programming mode of the device ID read; the
    // close is taken only once the read has been answered.
    QVERIFY2(b.WaitForLine(*p, seen, "vorra-sim: PIC16F84A in programming mode"), seen.constData());
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
    p->write("g");
    QCOMPARE(b.Ended(*p), 1);
    seen += p->readAllStandardError();
    // Nothing after the ID read entered programming mode again.
    QVERIFY2(!seen.contains("in programming mode"), seen.constData());
    const std::optional<QString> exit = b.WaitForLine(*p, seen, "vorra-sim: at exit:");
    QVERIFY2(exit, seen.constData());
    qInfo("%s", qPrintable(*exit));  // what the simulation says was written
    QVERIFY2(WordsSetAtRest(*exit) == 0, qPrintable(*exit));
  }

  // The main window's close button while -p -x programs (the window
  // manager's close request, which only a real X server carries).
  void windowCloseDuringProgramExitsTwo() {
    const QString xvfbPath = QStandardPaths::findExecutable("Xvfb");
    const QString xdotoolPath = QStandardPaths::findExecutable("xdotool");
    if (xvfbPath.isEmpty() || xdotoolPath.isEmpty()) QSKIP("Xvfb or xdotool is not installed (scripts/deps.sh)");
    QProcess xvfb;
    // Xvfb writes its display number once it takes connections.
    xvfb.start(xvfbPath, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QByteArray number;
    if (xvfb.waitForStarted(120'000)) {
      QDeadlineTimer safety(120'000);
      while (!number.contains('\n') && xvfb.state() == QProcess::Running && !safety.hasExpired()) {
        xvfb.waitForReadyRead(static_cast<int>(safety.remainingTime()));
        number += xvfb.readAllStandardOutput();
      }
    }
    number = number.trimmed();
    if (number.isEmpty()) {
      xvfb.kill();
      xvfb.waitForFinished(120'000);
      QSKIP("Xvfb started no display");
    }
    const QByteArray display = ":" + number;

    TProcessBench b;
    std::ofstream(b.SettingsFile().toStdString()) << QuietSettings;
    // Every word of the part: long enough for the close to arrive at one of
    // the message pumps of the code loop.
    std::ofstream(b.Path("full.hex").toStdString())
        << TProcessBench::HexImage(1024, [](int i) { return 0x3400 + (i & 0xFF); });
    auto p = b.Start(TESSALY_EXECUTABLE, {"-dPIC16F84A", "-p", "-x", b.Path("full.hex")}, true, "PIC16F84A",
                     QString::fromLatin1(display));
    QString failure;
    QByteArray seen;
    if (!b.WaitForLine(*p, seen, "vorra-sim: PIC16F84A in programming mode")) {
      failure = "the program did not start programming: " + QString::fromUtf8(seen);
    } else {
      QProcess xdotool;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("DISPLAY", QString::fromLatin1(display));
      xdotool.setProcessEnvironment(env);
      // By the file in its caption: the progress window's caption also begins
      // with "Tessaly - ".
      xdotool.start(xdotoolPath, {"search", "--name", "full\\.hex$"});
      xdotool.waitForFinished(120'000);
      const QList<QByteArray> windows = xdotool.readAllStandardOutput().trimmed().split('\n');
      if (windows.size() != 1 || windows[0].isEmpty())
        failure = "main window not found: " + QString::number(windows.size());
      else if (!CloseAsWindowManager(display, windows[0].toUInt()))
        failure = "the close request could not be sent";
      p->write("g");
    }
    int status = -1;
    std::optional<QString> exit;
    if (failure.isEmpty()) {
      status = b.Ended(*p);
      seen += p->readAllStandardError();
      exit = b.WaitForLine(*p, seen, "vorra-sim: at exit:");
    }
    if (p->state() != QProcess::NotRunning) {
      p->kill();
      p->waitForFinished(120'000);
    }
    xvfb.terminate();
    xvfb.waitForFinished(120'000);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(status, 2);
    QVERIFY2(exit, seen.constData());
    qInfo("%s", qPrintable(*exit));  // what the simulation says was written
    const int words = WordsSetAtRest(*exit);
    QVERIFY2(words >= 0 && words < 1024, qPrintable(*exit));  // cut short
  }
};

QTEST_GUILESS_MAIN(TestExitStatus)
#include "exit_status_test.moc"
