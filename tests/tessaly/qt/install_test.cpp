// Tessaly installed as a user installs it: `cmake --install` puts the
// program folder, the command bin/tessaly, the desktop entry and the icon
// in place, and the installed command starts and finds its device database.
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <csignal>
#include <fstream>

#include "process_bench.h"

class TestInstall : public QObject {
  Q_OBJECT
private slots:
  void installedCommandStarts() {
    TProcessBench b;
    const QString prefix = b.Path("usr");
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(CMAKE_COMMAND, {"--install", PROJECT_BINARY_DIR, "--component", "tessaly", "--prefix", prefix});
    QVERIFY(install.waitForFinished(120'000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QFileInfo command(prefix + "/bin/tessaly");
    QVERIFY(command.isSymLink());
    QCOMPARE(command.canonicalFilePath(), QFileInfo(prefix + "/tessaly/tessaly").canonicalFilePath());
    QVERIFY(command.isExecutable());
    for (const char* f : {"/tessaly/vorra.ini", "/tessaly/tessaly.svg", "/share/icons/hicolor/scalable/apps/tessaly.svg"})
      QVERIFY2(QFileInfo(prefix + f).isFile(), f);
    QFile entry(prefix + "/share/applications/tessaly.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY2(text.contains("\nExec=" + prefix + "/tessaly/tessaly %f\n"), qPrintable(text));
    QVERIFY(text.contains("\nIcon=tessaly\n"));
    QVERIFY(text.contains("\nType=Application\n"));

    // The command, as the desktop entry or a shell starts it: its program
    // folder is the installed one, whose device database it reads.
    std::ofstream(b.SettingsFile().toStdString()) << "[Options]\nAutoPortDetect=1\n";
    auto p = b.Start(command.filePath(), {"-dPIC16F877"});
    QByteArray seen;
    QVERIFY2(b.WaitForLine(*p, seen, "vorra-sim: /dev/parport0 claimed"), seen.constData());
    QCOMPARE(::kill(static_cast<pid_t>(p->processId()), SIGTERM), 0);
    QCOMPARE(b.Ended(*p), 0);
    QFile saved(b.SettingsFile());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("\nDevice=PIC16F877\n"));
  }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "install_test.moc"
