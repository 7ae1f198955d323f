// Korvane's start-up: the application, then the main window (which creates
// the operation window), the batch run of the command line as the window's
// start handler, then the message loop. The exit status is the batch's, or
// 2 when a close request cut a run or a waiting box short.
#include <QApplication>

#include "lote/LoteKorvane.h"
#include "perfiles/EditorPerfiles.h"
#include "principal/Korvane.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  QApplication::setWindowIcon(QIcon(QCoreApplication::applicationDirPath() + "/korvane.svg"));
  // The arguments after the program's name, Qt's own options (-platform,
  // -style, ...) already taken by the application.
  std::vector<std::string> argumentos;
  const QStringList todos = QCoreApplication::arguments();
  for (qsizetype i = 1; i < todos.size(); ++i) argumentos.push_back(todos[i].toStdString());

  TFormKorvane ventana;
  InstalaEditorPerfiles(ventana);
  TLoteKorvane lote(ventana, std::move(argumentos));
  ventana.PonDialogos(std::make_unique<TDialogosLote>(std::make_unique<TDialogosKorvane>(), lote, true));
  TSenalesCierre senales;
  QObject::connect(&senales, &TSenalesCierre::Recibida, &lote, &TLoteKorvane::CierraComoUsuario);
  senales.VigilaVentana(ventana);
  ventana.show();
  const int r = QApplication::exec();
  return r != 0 ? r : lote.CodigoSalida();
}
