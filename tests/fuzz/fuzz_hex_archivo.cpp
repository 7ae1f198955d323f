// Fuzzes the image files through the path a user's file takes: the bytes
// are written to a file, loaded into the image of a device of every family
// (the first byte chooses it; the second whether a serial EEPROM file is
// binary or HEX), saved to a second file and loaded again. A file that
// loads must come back as the same image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_comun.h"
#include "fuzz_dispositivos.h"
#include "pg_hex.h"
#include "pg_hex24.h"
#include "pg_pic.h"

namespace {

bool MismaImagen(const TBuffers& a, const TBuffers& b) {
  return a.Prog == b.Prog && a.Datos == b.Datos && a.Config == b.Config && a.Id == b.Id && a.Exec == b.Exec;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, std::size_t tam) {
  if (tam < 2) return 0;
  Selecciona(datos[0]);
  const std::string_view bytes(reinterpret_cast<const char*>(datos + 2), tam - 2);
  static TBuffers cargada;
  if (ClaseDispositivo == 2) {
    const std::string ext = datos[1] & 1 ? ".bin" : ".hex";
    const std::string entrada = CarpetaFuzz() + "entrada" + ext, salida = CarpetaFuzz() + "salida" + ext;
    EscribeArchivoFuzz(entrada, bytes);
    if (CargaArchivoI2C(entrada) != 0) return 0;
    cargada = BufArchivo;
    if (GuardaArchivoI2C(salida) != 0) std::abort();
    if (CargaArchivoI2C(salida) != 0) std::abort();
    for (uint32_t k = 0; k < PicActual.ProgTam; ++k)
      if (BufArchivo.Prog[k] != cargada.Prog[k]) std::abort();
    return 0;
  }
  const std::string entrada = CarpetaFuzz() + "entrada.hex", salida = CarpetaFuzz() + "salida.hex";
  EscribeArchivoFuzz(entrada, bytes);
  if (CargaHex(entrada) != 0) return 0;
  cargada = BufArchivo;
  if (GuardaHex(salida) != 0) std::abort();
  if (CargaHex(salida) != 0) std::abort();
  if (!MismaImagen(BufArchivo, cargada)) std::abort();
  return 0;
}
