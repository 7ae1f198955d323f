// Tessaly's start: one instance per user, the main window, the event loop;
// SIGTERM and SIGINT close the main window as the user would. The exit
// status says how what was asked for ended (TMainForm::ExitStatus).
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "CloseSignals.h"
#include "InstanciaUnica.h"
#include "Main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tessaly");
  QApplication::setWindowIcon(QIcon(QCoreApplication::applicationDirPath() + "/tessaly.svg"));
  TInstanciaUnica instancia;
  if (!instancia.Toma()) {
    QMessageBox::critical(nullptr, "Tessaly Again", "One instance of Tessaly is already running.");
    return 1;
  }
  QStringList argumentos = QApplication::arguments();
  argumentos.removeFirst();
  TMainForm main(argumentos);
  TCloseSignals closeSignals;
  QObject::connect(&closeSignals, &TCloseSignals::closeRequested, &main, &QWidget::close);
  main.show();
  const int status = QApplication::exec();
  return status != 0 ? status : main.ExitStatus();
}
