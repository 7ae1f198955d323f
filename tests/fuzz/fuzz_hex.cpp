// Fuzzes the HEX readers with any text, for a device of every family
// chosen by the first input byte. A file that loads must also survive
// being written and read back: the writer puts nothing where the reader
// would refuse it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pg_catalogo.h"
#include "pg_hex.h"
#include "pg_hex24.h"
#include "pg_pic.h"

namespace {

struct TDispositivo {
  uint8_t clase, indice;
};
// 10F200, 16F84, 16F877a, 12F683, 18F452, 18F2410 (no EEPROM), 18F8720
// (128 KB), 30F2011 (no EEPROM), 30F6014, 16C64, 24C01, 24C512.
constexpr TDispositivo Dispositivos[] = {{0, 0},  {0, 29}, {0, 45}, {0, 7},  {0, 52}, {0, 70},
                                         {0, 69}, {0, 99}, {0, 119}, {1, 5}, {2, 0},  {2, 9}};

void Selecciona(uint8_t n) {
  const TDispositivo& d = Dispositivos[n % std::size(Dispositivos)];
  ClaseDispositivo = d.clase;
  (d.clase == 1 ? IndiceListPicsC : d.clase == 2 ? IndiceListEeprom : IndiceListPics) = d.indice;
  if (PonDispositivo() != 0) std::abort();
}

}  // namespace

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
