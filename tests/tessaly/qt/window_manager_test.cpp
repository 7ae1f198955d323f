// Tessaly under a real window manager (openbox on Xvfb), started and closed
// as a user does: the windows come back where the settings file puts them,
// start after start, every window's frame has room for its whole title, and
// the help page opens only through a desktop opener.
// Skips, saying why, only where no X server can be started.
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMap>
#include <QRegularExpression>
#include <QScreen>
#include <QtTest>
#include <fstream>

#include "Main.h"
#include "process_bench.h"
#include "x11_bench.h"

namespace {

// The windows and where the settings file puts them; the views have a size too.
struct TPlace {
  const char* Section;
  const char* Title;  // a regular expression for xdotool
  int Left, Top, Width, Height;
};
const TPlace Places[] = {
    {"Main", "^Tessaly$", 100, 100, 0, 0},
    {"Config", "^Tessaly - Configuration", 700, 60, 0, 0},
    {"Code", "^Tessaly - Code$", 60, 300, 420, 300},
    {"Data", "^Tessaly - Data$", 500, 640, 380, 200},
    {"ID", "^Tessaly - ID$", 60, 700, 380, 160},
    {"SerialNumber", "^Tessaly - Serial Number$", 960, 420, 0, 0},
    {"Count", "^Tessaly - Count$", 960, 820, 0, 0},
};

std::string SettingsText() {
  std::string s;
  for (const TPlace& p : Places) {
    s += std::string("[") + p.Section + "]\n";
    if (p.Width > 0) s += "Height=" + std::to_string(p.Height) + "\n";
    s += "Left=" + std::to_string(p.Left) + "\nTop=" + std::to_string(p.Top) + "\n";
    if (p.Width > 0) s += "Width=" + std::to_string(p.Width) + "\n";
    if (std::string(p.Section) != "Main") s += "Visible=1\n";
    s += "\n";
  }
  return s + "[Options]\nAutoPortDetect=1\n\n[Device]\nDevice=PIC16F84A\n\n";
}

// Section -> key -> value, for the keys of a window's place.
QMap<QString, QMap<QString, int>> SavedPlaces(const QString& file) {
  QMap<QString, QMap<QString, int>> places;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return places;
  QString section;
  const QRegularExpression key(R"(^(Left|Top|Width|Height)=(-?\d+)$)");
  for (const QByteArray& raw : f.readAll().split('\n')) {
    const QString line = QString::fromLatin1(raw).trimmed();
    if (line.startsWith('[')) section = line.mid(1, line.size() - 2);
    else if (const auto m = key.match(line); m.hasMatch()) places[section][m.captured(1)] = m.captured(2).toInt();
  }
  return places;
}

// The font openbox draws active titles in, from the configuration it reads.
QFont OpenboxTitleFont() {
  QFont font("Sans");
  font.setPointSizeF(8);
  font.setBold(true);
  QFile rc("/etc/xdg/openbox/rc.xml");
  if (!rc.open(QIODevice::ReadOnly)) return font;
  const QString text = QString::fromUtf8(rc.readAll());
  const auto block = QRegularExpression(R"re(<font place="ActiveWindow">(.*?)</font>)re",
                                        QRegularExpression::DotMatchesEverythingOption)
                         .match(text)
                         .captured(1);
  auto value = [&](const char* tag) {
    return QRegularExpression(QString("<%1>\\s*([^<]*?)\\s*</%1>").arg(tag)).match(block).captured(1);
  };
  if (!value("name").isEmpty()) font.setFamily(value("name"));
  if (value("size").toDouble() > 0) font.setPointSizeF(value("size").toDouble());
  font.setBold(value("weight").compare("normal", Qt::CaseInsensitive) != 0);
  return font;
}

}  // namespace

class TestWindowManager : public QObject {
  Q_OBJECT

  // Starts tessaly on the bench's display with the settings above and
  // waits until every window is shown; the windows' ids in Places' order.
  QStringList StartShown(TProcessBench& b, std::unique_ptr<QProcess>& p) {
    p = b.Start(TESSALY_EXECUTABLE, {});
    QStringList ids;
    for (const TPlace& w : Places) {
      const QString id = X.WaitForWindow(w.Title);
      if (id.isEmpty()) return {};
      ids << id;
    }
    return ids;
  }

  // File > Exit from the keyboard, as the user closes the program.
  bool Close(QProcess& p, const QString& main) {
    if (!X.Run("xdotool", {"windowactivate", "--sync", main}) ||
        !X.Run("xdotool", {"key", "--clearmodifiers", "ctrl+q"}))
      return false;
    return TProcessBench::Ended(p) == 0;
  }

  TX11Bench X;

private slots:
  void initTestCase() {
    bool noServer = false;
    const QString why = X.Start(noServer);
    if (noServer) QSKIP(qPrintable(why));
    QVERIFY2(why.isEmpty(), qPrintable(why));
  }

  // Three starts and closes without touching a window: each start shows
  // every window where the file says, and the file keeps its places.
  void windowsStayWhereTheyWere() {
    TProcessBench b;
    b.Display = X.Display;
    std::ofstream(b.SettingsFile().toStdString()) << SettingsText();
    const auto written = SavedPlaces(b.SettingsFile());
    QCOMPARE(written.size(), int(std::size(Places)));
    for (int start = 1; start <= 3; ++start) {
      std::unique_ptr<QProcess> p;
      const QStringList ids = StartShown(b, p);
      QVERIFY2(ids.size() == int(std::size(Places)), qPrintable(QString("start %1").arg(start)));
      for (size_t i = 0; i < std::size(Places); ++i) {
        const TPlace& w = Places[i];
        const QRect area = X.Area(ids[int(i)]);
        QVERIFY2(area.topLeft() == QPoint(w.Left, w.Top),
                 qPrintable(QString("start %1: %2 at %3,%4").arg(start).arg(w.Section).arg(area.x()).arg(area.y())));
        if (w.Width > 0) QCOMPARE(area.size(), QSize(w.Width, w.Height));
      }
      QVERIFY2(Close(*p, ids[0]), qPrintable(QString("start %1 did not end").arg(start)));
      const auto saved = SavedPlaces(b.SettingsFile());
      for (const TPlace& w : Places) {
        const QMap<QString, int> expected = written.value(w.Section);
        QVERIFY2(saved.value(w.Section) == expected,
                 qPrintable(QString("start %1: [%2] Left=%3 Top=%4")
                                .arg(start)
                                .arg(w.Section)
                                .arg(saved.value(w.Section).value("Left"))
                                .arg(saved.value(w.Section).value("Top"))));
      }
    }
  }

  // Every window's title bar shows the whole title: the room openbox gives
  // it is as wide as the title drawn in openbox's own title font.
  void titlesFitTheirFrames() {
    TProcessBench b;
    b.Display = X.Display;
    std::ofstream(b.SettingsFile().toStdString()) << SettingsText();
    std::unique_ptr<QProcess> p;
    const QStringList ids = StartShown(b, p);
    QCOMPARE(ids.size(), int(std::size(Places)));
    const QFontMetrics title(OpenboxTitleFont());
    QStringList cut;
    for (const QString& id : ids) {
      const auto name = X.Run("xdotool", {"getwindowname", id});
      QVERIFY(name);
      const QString text = QString::fromUtf8(*name).trimmed();
      const int room = X.TitleWidth(id), needed = title.horizontalAdvance(text);
      qInfo("%s: %d pixels for a title of %d", qPrintable(text), room, needed);
      if (room < needed) cut << QString("%1 (%2 pixels for %3)").arg(text).arg(room).arg(needed);
    }
    // The picture, frames and all, for review.
    QProcess grab;
    grab.setProcessEnvironment(X.Environment());
    const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
    QDir().mkpath(dir);
    grab.start(QCoreApplication::applicationFilePath(), {"--grab", dir + "/tessaly_openbox.png"});
    QVERIFY(grab.waitForFinished(TX11Bench::SafetyMs) && grab.exitCode() == 0);
    QVERIFY(Close(*p, ids[0]));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
  }

  // The help page through the desktop's opener (xdg-open): opened where
  // there is one, a failure the window reports where there is none, as on a
  // machine with a bare window manager.
  void helpOpensOnlyWithAnOpener() {
    QTemporaryDir dir;
    const QString page = dir.filePath("vorra.htm"), seen = dir.filePath("opened");
    std::ofstream(page.toStdString()) << "<p>help</p>\n";
    QDir(dir.path()).mkdir("with");
    QDir(dir.path()).mkdir("without");
    const QString opener = dir.filePath("with/xdg-open");
    std::ofstream(opener.toStdString()) << "#!/bin/sh\necho \"$1\" > '" << seen.toStdString() << "'\n";
    QFile::setPermissions(opener, QFile::permissions(opener) | QFileDevice::ExeOwner);
    for (const bool withOpener : {true, false}) {
      QProcess open;
      QProcessEnvironment env = X.Environment();
      env.insert("PATH", dir.filePath(withOpener ? "with" : "without"));
      for (const char* name : {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
        env.remove(name);
      open.setProcessEnvironment(env);
      open.start(QCoreApplication::applicationFilePath(), {"--open", page});
      QVERIFY(open.waitForFinished(TX11Bench::SafetyMs));
      QCOMPARE(open.exitCode(), withOpener ? 0 : 3);
    }
    // The opener was given the page (it runs detached: wait for its file).
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(seen).size() > 0, TX11Bench::SafetyMs);
    QFile f(seen);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY2(f.readAll().trimmed().endsWith(page.toUtf8()), qPrintable(seen));
  }
};

// With --grab FILE: a picture of the whole X screen in FILE. With --open
// FILE: the main window's document opener on FILE; 0 when opened, else 3.
int main(int argc, char** argv) {
  if (argc == 3 && QByteArray(argv[1]) == "--grab") {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
  }
  if (argc == 3 && QByteArray(argv[1]) == "--open") {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return TMainDialogs().OpenDocument(QString::fromLocal8Bit(argv[2])) ? 0 : 3;
  }
  QApplication app(argc, argv);
  TestWindowManager test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_manager_test.moc"
