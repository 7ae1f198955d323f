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

  // `program` with `args`; with `hold` the part waits in its first
  // programming mode for one byte on the program's standard input.
  std::unique_ptr<QProcess> Start(const QString& program, const QStringList& args, bool hold = false) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (Display.isEmpty()) {
      env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
      env.insert("QT_QPA_PLATFORM", "xcb");
      env.insert("DISPLAY", Display);
    }
    env.insert("XDG_CONFIG_HOME", Path("cfg"));
    env.insert("XDG_RUNTIME_DIR", Path("run"));
    env.insert("LD_PRELOAD", VORRA_PRELOAD);
    env.insert("VORRA_SIM_CHIP", "PIC16F84A");
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
