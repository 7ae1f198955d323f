// Korvane's start-up: the application, then the main window (which creates
// the operation window), then the message loop.
#include <QApplication>

#include "principal/Korvane.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  QApplication::setWindowIcon(QIcon(QCoreApplication::applicationDirPath() + "/korvane.svg"));
  TFormKorvane ventana;
  ventana.show();
  return QApplication::exec();
}
