// Fuzzes the HEX readers with any text, for a device of every family
// chosen by the first input byte. A file that loads must also survive
// being written and read back: the writer puts nothing where the reader
// would refuse it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_dispositivos.h"
#include "pg_hex.h"
#include "pg_hex24.h"
#include "pg_pic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, std::size_t tam) {
  if (tam == 0) return 0;
  Selecciona(datos[0]);
  const std::string_view texto(reinterpret_cast<const char*>(datos + 1), tam - 1);
  if (ClaseDispositivo == 2) {
    CargaBinI2C(texto);
    if (CargaHexI2C(texto) != 0) return 0;
    static TBuffers antes;
    antes = BufArchivo;
    ArchivoHex.Salida.clear();
    EscribeHexI2C(BufArchivo.Prog, 0, PicActual.ProgTam, PicActual.ProgMask);
    EscribeFinHex();
    const std::string escrito = ArchivoHex.Salida;
    if (CargaHexI2C(escrito) != 0) std::abort();
    for (uint32_t k = 0; k < PicActual.ProgTam; ++k)
      if (BufArchivo.Prog[k] != antes.Prog[k]) std::abort();
    return 0;
  }
  if (CargaHexTexto(texto) != 0) return 0;
  GeneraHex();
  const std::string escrito = ArchivoHex.Salida;
  if (CargaHexTexto(escrito) != 0) std::abort();
  return 0;
}
