// The open and save dialogs of image files show their columns whole.
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "dialogos/Dialogos.h"

class DialogoArchivoTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase();
  void columnasEnteras_data();
  void columnasEnteras();

private:
  QTemporaryDir config_, carpeta_;
};

void DialogoArchivoTest::initTestCase() {
  // The dialog keeps its header's state in the user's settings: a test
  // must not read or leave one.
  QVERIFY(config_.isValid() && carpeta_.isValid());
  qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
  auto escribe = [&](const QString& nombre, int bytes) {
    QFile f(carpeta_.filePath(nombre));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(bytes, 'x'));
  };
  escribe("imagen.hex", 254);
  escribe("notas.txt", 254);
  escribe("volcado.bin", 2048);
}

void DialogoArchivoTest::columnasEnteras_data() {
  QTest::addColumn<bool>("guardar");
  QTest::newRow("open") << false;
  QTest::newRow("save") << true;
}

void DialogoArchivoTest::columnasEnteras() {
  QFETCH(bool, guardar);
  const auto d = DialogoArchivo(nullptr, carpeta_.path(), "HEX (*.hex);;BIN (*.bin);;* (*)", guardar);
  d->selectNameFilter("* (*)");
  auto* vista = d->findChild<QTreeView*>();
  auto* modelo = d->findChild<QFileSystemModel*>();
  QVERIFY(vista && modelo);
  QSignalSpy leida(modelo, &QFileSystemModel::directoryLoaded);
  d->show();
  QVERIFY(QTest::qWaitForWindowExposed(d.get()));
  QTRY_VERIFY(leida.count() >= 1);
  QTRY_VERIFY(d->isVisible());
  QCoreApplication::processEvents();
  QTRY_COMPARE(modelo->rowCount(modelo->index(carpeta_.path())), 3);
  QVERIFY(vista->isVisible());
  // Every cell of the size, type and date columns fits its column, and
  // every column fits the view.
  const QModelIndex raiz = modelo->index(carpeta_.path());
  const QFontMetrics fm(vista->font());
  int total = 0;
  for (int c = 0; c < vista->header()->count(); ++c) {
    if (vista->isColumnHidden(c)) continue;
    total += vista->columnWidth(c);
    if (c == 0) continue;
    const QString cabecera = modelo->headerData(c, Qt::Horizontal).toString();
    QVERIFY2(vista->columnWidth(c) > vista->header()->fontMetrics().horizontalAdvance(cabecera), qPrintable(cabecera));
    for (int f = 0; f < modelo->rowCount(raiz); ++f) {
      const QString texto = modelo->data(modelo->index(f, c, raiz)).toString();
      QVERIFY2(vista->columnWidth(c) > fm.horizontalAdvance(texto), qPrintable(cabecera + ": " + texto));
    }
  }
  QVERIFY2(total <= vista->viewport()->width(),
           qPrintable(QString("%1 of columns in a view of %2").arg(total).arg(vista->viewport()->width())));
}

QTEST_MAIN(DialogoArchivoTest)
#include "dialogo_archivo_test.moc"
