// The tessaly program itself as a process, offscreen or on a given X
// display, over the simulated Vorra programmer preloaded in place of the
// kernel's ppdev driver (see preload/vorra_preload.cpp), with its settings,
// runtime folder and lock in a scratch folder of its own. The tests wait
// for the process's own output, never for a time; two minutes are only a
// safety net.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

class TProcessBench {
public:
  TProcessBench() {
    QDir(Scratch.path()).mkpath("cfg/tessaly");
    QDir(Scratch.path()).mkpath("run");
    chmod(Path("run").toLocal8Bit().constData(), 0700);
  }

  QString Path(const char* name) const { return Scratch.filePath(name); }
  // The settings file the program reads and writes.
  QString SettingsFile() const { return Path("cfg/tessaly/vorracfg.ini"); }
  QString LockFile() const { return Path("run/tessaly.lock"); }

  // `program` with `args`, the simulated `chip` in the socket; with `hold`
  // the part waits in its first programming mode for one byte on the
  // program's standard input. With a `display` the program shows its
  // windows on that X server instead of offscreen.
  std::unique_ptr<QProcess> Start(const QString& program, const QStringList& args, bool hold = false,
                                  const QString& chip = "PIC16F84A", const QString& display = {}) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A display named for this start, else the bench's own `Display`.
    const QString shown = display.isEmpty() ? Display : display;
    if (shown.isEmpty()) {
      env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
      env.insert("QT_QPA_PLATFORM", "xcb");
      env.insert("DISPLAY", shown);
    }
    env.insert("XDG_CONFIG_HOME", Path("cfg"));
    env.insert("XDG_RUNTIME_DIR", Path("run"));
    env.insert("LD_PRELOAD", VORRA_PRELOAD);
    env.insert("VORRA_SIM_CHIP", chip);
    if (hold) env.insert("VORRA_SIM_HOLD", "1");
    else env.remove("VORRA_SIM_HOLD");
    p->setProcessEnvironment(env);
    p->setReadChannel(QProcess::StandardError);
    p->start(program, args);
    return p;
  }

  // The first line of the process's standard error from here on that
  // begins with `prefix`; nothing when the process ended first. What came
  // before it is dropped from `seen`, what came after is kept.
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

  // An Intel HEX file of `words` program words from address 0, word i
  // being value(i), 8 words a line.
  template <typename F>
  static std::string HexImage(int words, F value) {
    std::string hex;
    for (int first = 0; first < words; first += 8) {
      const int n = std::min(8, words - first);
      const int address = 2 * first;
      int sum = 2 * n + (address >> 8) + (address & 0xFF);
      char head[16];
      std::snprintf(head, sizeof head, ":%02X%04X00", 2 * n, address);
      hex += head;
      for (int k = 0; k < n; ++k) {
        const unsigned w = value(first + k) & 0xFFFFu;
        char bytes[8];
        std::snprintf(bytes, sizeof bytes, "%02X%02X", w & 0xFF, w >> 8);
        hex += bytes;
        sum += static_cast<int>((w & 0xFF) + (w >> 8));
      }
      char tail[8];
      std::snprintf(tail, sizeof tail, "%02X\n", (-sum) & 0xFF);
      hex += tail;
    }
    return hex + ":00000001FF\n";
  }

  // The process's exit code after a normal end; -1 when it crashed or did
  // not end.
  static int Ended(QProcess& p) {
    if (!p.waitForFinished(120'000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  QTemporaryDir Scratch;
  // An X display (":N") to show the program on instead of offscreen.
  QString Display;
};
