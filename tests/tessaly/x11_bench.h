// A real X server (Xvfb) with a real window manager (openbox, with its
// default configuration) for what offscreen cannot show: where the window
// manager puts a window and how much room its frame gives the title. Windows
// are found, read and driven with xdotool and xwininfo; every wait is for an
// answer of the server or the window manager, bounded only as a safety net.
#pragma once

#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

class TX11Bench {
public:
  static constexpr int SafetyMs = 60'000;

  // Empty when the server and the window manager run; else why not.
  // `noServer` tells a machine where no X server can start at all.
  QString Start(bool& noServer) {
    noServer = true;
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) return "Xvfb is not installed (scripts/deps.sh)";
    // Xvfb writes its display number once it takes connections; 96 dpi as
    // the window manager's fonts assume.
    Server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"});
    if (!Server.waitForStarted(SafetyMs)) return "Xvfb could not be started";
    const QByteArray number = ReadUntil(Server, "\n").trimmed();
    if (number.isEmpty()) return "Xvfb started no display";
    Display = ":" + QString::fromLatin1(number);
    noServer = false;

    // The configuration the package installs, not the user's own.
    QProcessEnvironment env = Environment();
    env.insert("XDG_CONFIG_HOME", Scratch.filePath("openbox-cfg"));
    Manager.setProcessEnvironment(env);
    // Openbox runs the start-up command once it manages the screen.
    Manager.start(OPENBOX_EXECUTABLE, {"--startup", "echo openbox-ready"});
    if (!Manager.waitForStarted(SafetyMs)) return "openbox could not be started";
    if (!ReadUntil(Manager, "openbox-ready").contains("openbox-ready")) return "openbox did not start";
    return {};
  }

  ~TX11Bench() {
    for (QProcess* p : {&Manager, &Server}) {
      if (p->state() == QProcess::NotRunning) continue;
      p->terminate();
      if (!p->waitForFinished(SafetyMs)) p->kill();
      p->waitForFinished(SafetyMs);
    }
  }

  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", Display);
    return env;
  }

  // A tool's standard output (xdotool or xwininfo); nothing when it failed.
  std::optional<QByteArray> Run(const QString& tool, const QStringList& args) const {
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(tool == "xdotool" ? XDOTOOL_EXECUTABLE : XWININFO_EXECUTABLE, args);
    if (!p.waitForFinished(SafetyMs)) {
      p.kill();
      p.waitForFinished(SafetyMs);
      return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    return p.readAllStandardOutput();
  }

  // The first shown window whose title matches `title` (a regular
  // expression), once there is one; "" when none came.
  QString WaitForWindow(const QString& title) const {
    const auto out = Run("xdotool", {"search", "--sync", "--onlyvisible", "--name", title});
    return out ? QString::fromLatin1(out->split('\n').value(0)).trimmed() : QString();
  }

  // A window's own area on the screen (without the frame).
  QRect Area(const QString& window) const {
    const auto out = Run("xwininfo", {"-id", window});
    if (!out) return {};
    auto value = [&](const char* key) {
      const QRegularExpression re(QString(key) + R"(:\s*(-?\d+))");
      return re.match(QString::fromLatin1(*out)).captured(1).toInt();
    };
    return {value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")};
  }

  // The window manager's frame around a window ("" without one).
  QString Frame(const QString& window) const {
    const auto out = Run("xwininfo", {"-children", "-id", window});
    if (!out) return {};
    return QRegularExpression(R"(Parent window id: (0x[0-9a-f]+))").match(QString::fromLatin1(*out)).captured(1);
  }

  // The width openbox gives a window's title: it draws the title in a
  // window of its own in the title bar, the widest of the bar's parts short
  // of the bar itself (the others are the icon, the buttons and the edges).
  int TitleWidth(const QString& window) const {
    const QString frame = Frame(window);
    const QRect frameArea = Area(frame);
    const auto out = Run("xwininfo", {"-tree", "-id", frame});
    if (!out || frameArea.isEmpty()) return -1;
    const QRegularExpression part(R"(\)\s+(\d+)x(\d+)\+)");
    int widest = -1;
    for (const QByteArray& line : out->split('\n')) {
      const auto m = part.match(QString::fromLatin1(line));
      if (!m.hasMatch()) continue;
      const int w = m.captured(1).toInt(), h = m.captured(2).toInt();
      // The title bar's parts are lower than the bar and narrower than the frame.
      if (h >= 8 && h <= 24 && w < frameArea.width() - 20) widest = std::max(widest, w);
    }
    return widest;
  }

  QString Display;

private:
  static QByteArray ReadUntil(QProcess& p, const QByteArray& pattern) {
    QByteArray out;
    while (!out.contains(pattern)) {
      if (!p.waitForReadyRead(SafetyMs)) break;
      out += p.readAllStandardOutput();
    }
    return out;
  }

  QTemporaryDir Scratch;
  QProcess Server, Manager;
};
