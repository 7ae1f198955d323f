// One Tessaly at a time: a live holder refuses, a dead one's lock is taken.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

#include "InstanciaUnica.h"

class TestInstancia : public QObject {
  Q_OBJECT
private slots:
  void segundaRechazada() {
    QTemporaryDir dir;
    TInstanciaUnica primera(dir.path());
    QVERIFY(primera.Toma());
    TInstanciaUnica segunda(dir.path());
    QVERIFY(!segunda.Toma());
  }
  void cerrojoDeUnProgramaMuerto() {
    QTemporaryDir dir;
    const pid_t hijo = fork();
    if (hijo == 0) _exit(0);
    int estado = 0;
    waitpid(hijo, &estado, 0);
    // The lock file a killed program left behind.
    QFile f(QDir(dir.path()).filePath("tessaly.lock"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(hijo) + "\ntessaly\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();
    TInstanciaUnica nueva(dir.path());
    QVERIFY(nueva.Toma());
  }
  void carpetaSinCerrojoPosible() {
    TInstanciaUnica i("/proc/korvane-no-such-folder");
    QVERIFY(i.Toma());
  }
};

QTEST_MAIN(TestInstancia)
#include "instancia_test.moc"
