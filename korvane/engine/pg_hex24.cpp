#include "pg_hex24.h"

#include <algorithm>
#include <cctype>

#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

// A raw file larger than the device (and than the one extra byte older
// saves carry): ask before loading its beginning.
bool AceptaBinGrande(std::size_t tam) {
  const std::string texto = TextoError("44*") + " " + std::to_string(tam) + " " + TextosEntorno[21] +
                            " ." + SaltoMensaje + TextoError("45*") + SaltoMensaje +
                            std::string(9, ' ') + TextoError("46*");
  return InterfazOperacion().Pregunta(texto, false) == TRespuesta::Si;
}

uint8_t ColocaI2C(const TLineaHex& linea, uint64_t direccion) {
  const TPic& p = PicActual;
  // The record must start inside the device; its tail may run a little
  // past the end (older files end that way) and is dropped there. A 24Cxx
  // has no address above 0xFFFF, so an upper address record other than 0
  // ends in this error too.
  const auto ini = static_cast<int64_t>(direccion);
  if (!EnRango(ini, p.ProgIni, p.ProgFin) ||
      ini + linea.Longitud / 2 - 1 > static_cast<int64_t>(p.ProgFin) + 8) {
    ContextoError.Direccion = static_cast<uint32_t>(direccion);
    return static_cast<uint8_t>(MuestraError(ContextoError, ErrHexDireccion));
  }
  for (uint8_t i = 0; i < linea.Longitud; ++i) {
    const int64_t celda = ini + i;
    if (celda <= static_cast<int64_t>(p.ProgFin) && celda < static_cast<int64_t>(TamProg))
      BufArchivo.Prog[static_cast<std::size_t>(celda)] = linea.Datos[i];
  }
  return 0;
}

// Cells of the device's image (never more than the buffer holds).
std::size_t TamImagen() { return std::min<std::size_t>(PicActual.ProgTam, TamProg); }

}  // namespace

bool EsArchivoBin(const std::string& archivo) {
  const auto barra = archivo.rfind('/');
  const auto punto = archivo.rfind('.');
  if (punto == std::string::npos || (barra != std::string::npos && punto < barra)) return false;
  std::string ext = archivo.substr(punto);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
  return ext == ".BIN";
}

uint8_t CargaBinI2C(std::string_view contenido) {
  LimpiaBufferB();
  const std::size_t tam = TamImagen();
  // Exactly the device's size is a whole image; one byte more is how older
  // saves were written and loads without a question.
  if (contenido.size() > tam + 1 && !AceptaBinGrande(contenido.size())) return ErrCancelado;
  const std::size_t n = std::min(contenido.size(), tam);
  for (std::size_t k = 0; k < n; ++k) BufArchivo.Prog[k] = static_cast<unsigned char>(contenido[k]);
  return 0;
}

uint8_t CargaHexI2C(std::string_view texto) {
  LimpiaBufferB();
  const uint8_t r = RecorreHex(texto, ColocaI2C);
  if (r) LimpiaBuffers(BufArchivo);
  return r;
}

uint8_t CargaArchivoI2C(const std::string& archivo) {
  LimpiaBufferB();
  const std::string anterior = ArchivoActual;
  ArchivoActual = archivo;
  std::string contenido;
  uint8_t r = LeeArchivoEntero(archivo, contenido);
  if (r == 0) r = EsArchivoBin(archivo) ? CargaBinI2C(contenido) : CargaHexI2C(contenido);
  ArchivoActual = anterior;
  return r;
}

uint8_t EscribeHexI2C(std::span<const uint16_t> celdas, uint32_t inicio, uint32_t cuenta, uint16_t blanco) {
  return EscribeBytesHex(celdas, inicio, cuenta, static_cast<uint8_t>(blanco));
}

uint8_t GuardaArchivoI2C(const std::string& archivo) {
  const TPic& p = PicActual;
  const std::size_t tam = TamImagen();
  std::string contenido;
  if (EsArchivoBin(archivo)) {
    contenido.resize(tam);
    for (std::size_t k = 0; k < tam; ++k) contenido[k] = static_cast<char>(BufArchivo.Prog[k]);
  } else {
    ArchivoHex.Salida.clear();
    ContextoError.LineaHex = 0;
    const auto ini = static_cast<std::size_t>(std::max(0, p.ProgIni));
    EscribeHexI2C(std::span(BufArchivo.Prog).subspan(std::min(ini, TamProg)), static_cast<uint32_t>(ini),
                  static_cast<uint32_t>(tam), p.ProgMask);
    EscribeFinHex();
    contenido = std::move(ArchivoHex.Salida);
    ArchivoHex.Salida.clear();
  }
  return GuardaArchivoEntero(archivo, contenido);
}
