// What the main window's tests share: a private program folder (with the
// shipped language files) and configuration folder, and modal parts that
// answer from the test instead of a user.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

#include "CarpetaPrograma.h"
#include "ArrowBtn.h"
#include "ColCombo.h"
#include "HexEdit.h"
#include "KvStatus.h"
#include "TransBtn.h"
#include "principal/Korvane.h"

namespace fs = std::filesystem;

// A program folder with LANGUAGES/ (and, when asked, Hardware/) copied from
// the build's program folder, and an empty configuration folder.
struct TCarpetaPrueba {
  fs::path raiz, programa, config;
  explicit TCarpetaPrueba(bool conPerfiles = false) {
    std::string plantilla = (fs::temp_directory_path() / "korvane-XXXXXX").string();
    if (!mkdtemp(plantilla.data())) std::abort();
    raiz = plantilla;
    programa = raiz / "prog";
    config = raiz / "cfg";
    fs::create_directories(programa);
    fs::copy(fs::path(KORVANE_PROGRAM_DIR) / "LANGUAGES", programa / "LANGUAGES", fs::copy_options::recursive);
    if (conPerfiles)
      fs::copy(fs::path(KORVANE_PROGRAM_DIR) / "Hardware", programa / "Hardware", fs::copy_options::recursive);
    PonCarpetaPrograma(programa.string());
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  }
  ~TCarpetaPrueba() {
    PonCarpetaPrograma("");
    std::error_code ec;
    fs::remove_all(raiz, ec);
  }
  static std::string Lee(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  static void Escribe(const fs::path& p, const std::string& texto) {
    fs::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f << texto;
  }
};

// Modal parts answered by the test.
class TDialogosPrueba final : public TDialogosKorvane {
public:
  std::vector<QString> Mensajes;
  std::deque<QString> Archivos;  // answers of the file dialogs ("" cancels)
  QString CarpetaPedida;
  // Small dialogs: sets the fields and returns the result (default: Cancel).
  std::function<int(QDialog&)> AlModal;
  // The operation window: unset, the real one runs.
  std::function<int()> AlOperar;
  int Operaciones = 0;
  bool Respuesta = true;
  std::vector<QString> Preguntas;

  void Mensaje(QWidget*, const QString& texto) override { Mensajes.push_back(texto); }
  // Answers of the choice boxes (none left: the first choice).
  std::deque<int> Elecciones;
  std::vector<QStringList> OpcionesVistas;
  int Elige(QWidget*, const QString&, const QStringList& opciones) override {
    OpcionesVistas.push_back(opciones);
    if (Elecciones.empty()) return 0;
    const int e = Elecciones.front();
    Elecciones.pop_front();
    return e;
  }
  bool Pregunta(QWidget*, const QString& texto) override {
    Preguntas.push_back(texto);
    return Respuesta;
  }
  QString AbreArchivo(QWidget*, const QString& carpeta, const QString&) override { return Siguiente(carpeta); }
  // File types chosen in the save dialog (none left: none reported).
  std::deque<QString> Tipos;
  QString GuardaArchivo(QWidget*, const QString& carpeta, const QString&, QString* elegido) override {
    if (elegido && !Tipos.empty()) {
      *elegido = Tipos.front();
      Tipos.pop_front();
    }
    return Siguiente(carpeta);
  }
  int Modal(QDialog& d) override { return AlModal ? AlModal(d) : int(QDialog::Rejected); }
  int Operacion() override {
    ++Operaciones;
    return AlOperar ? AlOperar() : TDialogosKorvane::Operacion();
  }

private:
  QString Siguiente(const QString& carpeta) {
    CarpetaPedida = carpeta;
    if (Archivos.empty()) return {};
    QString f = Archivos.front();
    Archivos.pop_front();
    return f;
  }
};
