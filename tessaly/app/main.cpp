// Tessaly's start: one instance per user, the main window, the event loop.
#include <QApplication>
#include <QMessageBox>

#include "InstanciaUnica.h"
#include "Main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tessaly");
  TInstanciaUnica instancia;
  if (!instancia.Toma()) {
    QMessageBox::critical(nullptr, "Tessaly Again", "One instance of Tessaly is already running.");
    return 1;
  }
  QStringList argumentos = QApplication::arguments();
  argumentos.removeFirst();
  TMainForm main(argumentos);
  main.show();
  return QApplication::exec();
}
