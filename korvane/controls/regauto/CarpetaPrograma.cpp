#include "CarpetaPrograma.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <unistd.h>

#include "Cadenas.h"

namespace fs = std::filesystem;

namespace {

std::mutex mCarpeta;
std::string carpetaFijada;
bool soloLecturaForzada = false;

std::string ConBarra(std::string s) {
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

std::string CarpetaEjecutable() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return ConBarra(fs::current_path(ec).string());
  return ConBarra(exe.parent_path().string());
}

}  // namespace

std::string CarpetaPrograma() {
  std::lock_guard<std::mutex> l(mCarpeta);
  if (!carpetaFijada.empty()) return carpetaFijada;
  static const std::string deEjecutable = CarpetaEjecutable();
  return deEjecutable;
}

void PonCarpetaPrograma(const std::string& carpeta) {
  std::lock_guard<std::mutex> l(mCarpeta);
  carpetaFijada = carpeta.empty() ? std::string() : ConBarra(carpeta);
}

std::string CarpetaConfiguracion() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') return ConBarra(x) + "korvane/";
  const std::string casa = ProfileFolder();
  return ConBarra(casa.empty() ? std::string("/tmp") : casa) + ".config/korvane/";
}

std::string ArchivoRegistro() { return CarpetaConfiguracion() + "registry.ini"; }

bool EsEscribible(const std::string& ruta) {
  std::error_code ec;
  fs::path p(ruta);
  if (fs::exists(p, ec) && access(p.c_str(), W_OK) != 0) return false;
  // Replacing by rename needs the folder; a missing folder needs its nearest parent.
  fs::path carpeta = p.parent_path();
  while (!carpeta.empty() && !fs::exists(carpeta, ec)) carpeta = carpeta.parent_path();
  if (carpeta.empty()) carpeta = ".";
  return access(carpeta.c_str(), W_OK) == 0;
}

void PonCarpetaProgramaSoloLectura(bool soloLectura) {
  std::lock_guard<std::mutex> l(mCarpeta);
  soloLecturaForzada = soloLectura;
}

namespace {

bool JuntoEscribible(const std::string& junto) {
  {
    std::lock_guard<std::mutex> l(mCarpeta);
    if (soloLecturaForzada) return false;
  }
  return EsEscribible(junto);
}

}  // namespace

std::string RutaEscritura(const std::string& relativo) {
  const std::string junto = CarpetaPrograma() + relativo;
  return JuntoEscribible(junto) ? junto : CarpetaConfiguracion() + relativo;
}

std::string RutaLectura(const std::string& relativo) {
  const std::string junto = CarpetaPrograma() + relativo;
  if (JuntoEscribible(junto)) return junto;
  const std::string propia = CarpetaConfiguracion() + relativo;
  std::error_code ec;
  return fs::exists(propia, ec) ? propia : junto;
}
