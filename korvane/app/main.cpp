// Korvane's start-up. The main window with its device commands is not built
// yet; until it is, the program shows the device catalogue it can describe.
#include <QApplication>
#include <QHeaderView>
#include <QString>
#include <QTableWidget>

#include "pg_catalogo.h"

namespace {

QString Hex(uint32_t valor, int digitos) {
  return QStringLiteral("%1").arg(valor, digitos, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));

  QTableWidget tabla;
  tabla.setWindowTitle(QStringLiteral("Korvane - device catalogue (the main window is not built yet)"));
  const QStringList columnas{"Family", "Device", "Memory", "Program end", "Program cells",
                             "Configuration", "ID", "Data EEPROM"};
  tabla.setColumnCount(columnas.size());
  tabla.setHorizontalHeaderLabels(columnas);
  tabla.setEditTriggers(QAbstractItemView::NoEditTriggers);

  for (uint8_t clase = 0; clase < ClasesCatalogo.size(); ++clase) {
    for (const TEntradaCatalogo& e : ListaCatalogo(clase)) {
      const int fila = tabla.rowCount();
      tabla.insertRow(fila);
      const QStringList celdas{
          QString::fromUtf8(ClasesCatalogo[clase].Texto),
          QString::fromUtf8(e.Nombre),
          QString::fromUtf8(e.Memoria).trimmed(),
          Hex(e.ProgFin, 5),
          QString::number(e.ProgTam),
          e.CfgNum ? Hex(uint32_t(e.CfgIni), 6) + "-" + Hex(uint32_t(e.CfgFin), 6) : QString(),
          e.IdNum ? Hex(uint32_t(e.IdIni), 6) + "-" + Hex(uint32_t(e.IdFin), 6) : QString(),
          e.EeTam ? Hex(uint32_t(e.EeIni), 6) + " (" + QString::number(e.EeTam) + ")" : QString()};
      for (int c = 0; c < celdas.size(); ++c) tabla.setItem(fila, c, new QTableWidgetItem(celdas[c]));
    }
  }
  tabla.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tabla.resize(900, 600);
  tabla.show();
  return QApplication::exec();
}
