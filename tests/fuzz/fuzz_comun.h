// What the fuzz targets share: a scratch folder of their own and files
// written into it from the fuzzer's bytes.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

// A folder of this process's own, made on first use, ending in '/'.
inline const std::string& CarpetaFuzz() {
  static const std::string carpeta = [] {
    char plantilla[] = "/tmp/korvane-fuzz-XXXXXX";
    if (!mkdtemp(plantilla)) std::abort();
    return std::string(plantilla) + "/";
  }();
  return carpeta;
}

inline void EscribeArchivoFuzz(const std::string& ruta, std::string_view bytes) {
  std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) std::abort();
}
