// The main window with the shipped language files and profiles, offscreen:
// start-up to the window shown, a switch to the largest dsPIC, and opening
// a full 30F6014 HEX file into the editors. Prints the best and the median
// of several runs of each step.
#include <QApplication>
#include <QComboBox>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

#include "CarpetaPrograma.h"
#include "ColCombo.h"
#include "pg_hex.h"
#include "pg_pic.h"
#include "principal/Korvane.h"

namespace {

void Mide(const char* que, int veces, double objetivoMs, const std::function<void()>& paso,
          const std::function<void()>& antes = {}) {
  std::vector<double> ms;
  for (int i = 0; i < veces; ++i) {
    if (antes) antes();
    const auto t0 = std::chrono::steady_clock::now();
    paso();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("  %-40s best %8.3f ms  median %8.3f ms  (target < %g ms)\n", que, ms.front(), ms[ms.size() / 2],
              objetivoMs);
}

// Messages go to the terminal instead of a modal box.
class TDialogosBanco final : public TDialogosKorvane {
public:
  void Mensaje(QWidget*, const QString& t) override { std::printf("  (message: %s)\n", qPrintable(t)); }
};

void Selecciona(TFormKorvane& w, int clase, int indice) {
  w.SelecDev->setCurrentIndex(clase);
  w.SelecDevChange();
  QComboBox* l[] = {w.ListPics, w.ListPicsC, w.ListEeprom};
  l[clase]->setCurrentIndex(indice);
  w.ListPicsChange();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  namespace fs = std::filesystem;
  const fs::path tmp = fs::temp_directory_path() / ("korvane-bench-" + std::to_string(::getpid()));
  fs::create_directories(tmp);
  setenv("XDG_CONFIG_HOME", (tmp / "cfg").c_str(), 1);
  PonCarpetaPrograma(KORVANE_PROGRAM_DIR);
  std::printf("Main window (program folder %s)\n", KORVANE_PROGRAM_DIR);

  std::unique_ptr<TFormKorvane> w;
  Mide("start-up to the window shown", 5, 300, [&] {
    w.reset();
    w = std::make_unique<TFormKorvane>();
    w->PonDialogos(std::make_unique<TDialogosBanco>());
    w->show();
    QCoreApplication::processEvents();
  });

  int mayor = 98;
  for (int i = 98; i < static_cast<int>(NumListPics); ++i)
    if (Catalogo[i].ProgTam > Catalogo[mayor].ProgTam) mayor = i;
  Mide((std::string("device switch to the ") + Catalogo[mayor].Nombre).c_str(), 9, 50,
       [&] { Selecciona(*w, 0, mayor); }, [&] { Selecciona(*w, 0, 30); });

  const int indice6014 = BuscaPic("PIC30F6014");
  Selecciona(*w, 0, indice6014);
  std::mt19937 azar(1);
  LimpiaBuffers(BufArchivo);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
    BufArchivo.Prog[a] = static_cast<uint16_t>(a % 2 ? azar() & 0xFF : azar() & 0xFFFF);
  for (uint32_t a = 0; a < PicActual.EeTam; ++a) BufArchivo.Datos[a] = static_cast<uint16_t>(azar());
  const std::string archivo = (tmp / "30f6014.hex").string();
  if (GuardaHex(archivo) != 0) return 1;
  std::printf("  (file of %ju bytes)\n", static_cast<uintmax_t>(fs::file_size(archivo)));
  Mide("opening a full 30F6014 HEX file", 9, 100, [&] {
    if (!w->CargaArchivo(archivo)) std::exit(1);
  });
  w.reset();
  fs::remove_all(tmp);
  return 0;
}
