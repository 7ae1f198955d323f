#include "fw/pg_fw.h"

#include <algorithm>
#include <cstring>

#include "fw/pg_cola_principal.h"
#include "fw/pg_enlace_fw.h"
#include "fw/pg_hilo_com.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"

uint8_t TPaquete[TamPaqueteFw];
uint8_t BufferRx[TamPaqueteFw];
uint8_t SumaXor = 0;
uint16_t RetardoPgm = 0;
TProgresoFw ProgresoFw;

namespace {

TVarianteUsbFw* varianteUsb = nullptr;

// The USB variant when the profile asks for native USB, else null. With
// USB_ set and none installed, `sinUsb` is set: the call fails.
TVarianteUsbFw* Usb(bool& sinUsb) {
  sinUsb = USB_ && !varianteUsb;
  return USB_ ? varianteUsb : nullptr;
}

// Waits of the reply after the closing packet: 255 x 50 ms.
constexpr int VecesEsperaFinal = 255;
constexpr uint16_t PasoEsperaFinalMs = 50;
// More skipped groups than this before a sent one give the board extra time.
constexpr uint32_t SaltosLargos = 1024;

bool EsEepromI2C() { return ClaseDispositivo == 2; }

bool Falla(uint32_t codigo) {
  MuestraError(ContextoError, codigo);
  return true;
}

// A failed send inside a transfer ends it at once.
bool EnviaOFalla(std::size_t n) { return !EnviaPaquete(n) && Falla(ErrSinRespuesta); }

// Waits for the reply after the closing packet, pumping messages; a cancel
// ends the wait at once.
bool EsperaRespuestaFinal() {
  for (int i = 0; i < VecesEsperaFinal && !ThreadCOM->Respuesta() && !Cancelado; ++i) {
    EsperaMs(PasoEsperaFinalMs);
    ProcesaMensajesFw();
  }
  return ThreadCOM->Respuesta() != 0;
}

// The wait above that got no reply: cancelled, or the board said nothing.
bool SinRespuestaFinal() { return Cancelado ? CancelaTransferenciaFw() : Falla(ErrSinRespuesta); }

// What a block write does with a reply the board sent. Returns true when
// the transfer failed (error shown); otherwise the watcher is re-armed.
// ladoVerificacion turns the 7 (or 10) bytes of a verify error into the
// error context and reports it.
template <typename TVerifica>
bool AtiendeRespuesta(std::size_t bytesVerificacion, TVerifica&& verifica) {
  if (!LeeRespuesta(1)) return true;
  switch (BufferRx[0]) {
    case RespErrorVerificacion:
      if (!LeeRespuesta(bytesVerificacion)) return true;
      verifica();
      return true;
    case RespErrorProgramador:
      if (!LeeRespuesta(3)) return true;
      ContextoError.Direccion = uint32_t{BufferRx[1]} << 8 | BufferRx[0];
      return Falla(ErrProgramador);
    case RespErrorChecksum:
      LeeRespuesta(1);
      return Falla(ErrChecksumEnlace);
    default:
      ThreadCOM->Rearma();
      return false;
  }
}

// The reply after the closing packet. The board answers each group as it
// takes it, so progress bytes may still stand ahead of its answer to the
// closing packet; while more bytes wait behind a progress byte, it was not
// that answer, and what follows is looked at too (a verify error of the
// last groups would otherwise go out with the final reset). A board that
// keeps sending is read at most VecesEsperaFinal times.
template <typename TVerifica>
bool AtiendeRespuestaFinal(std::size_t bytesVerificacion, TVerifica&& verifica) {
  if (!EsperaRespuestaFinal()) return SinRespuestaFinal();
  for (int i = 0; i < VecesEsperaFinal; ++i) {
    if (AtiendeRespuesta(bytesVerificacion, verifica)) return true;
    if (!PuertoFw().HayDatos(0)) return false;
    if (!EsperaRespuestaFinal()) return SinRespuestaFinal();
  }
  return false;
}

// Ends every serial block write, whatever the outcome.
bool TerminaEscritura(bool fallido) {
  TerminaThreadCOM();
  ResetProgramador();
  return fallido;
}

}  // namespace

TVarianteUsbFw* PonVarianteUsbFw(TVarianteUsbFw* variante) {
  TVarianteUsbFw* anterior = varianteUsb;
  varianteUsb = variante;
  return anterior;
}

void AvanzaProgresoFw(uint32_t n) {
  ProgresoFw.Posicion += n;
  InterfazOperacion().Progreso(ProgresoFw.Posicion, ProgresoFw.Maximo);
}

void PurgaCom() {
  if (!USB_) PuertoFw().Purga();
}

void ResetProgramador() {
  if (USB_) return;
  // A pseudo-terminal has no RTS; the purge still tells the board.
  PuertoFw().PonRts(true);
  EsperaMs(5);
  PuertoFw().PonRts(false);
  EsperaMs(5);
  PurgaCom();
}

bool EnviaPaquete(std::size_t n) {
  n = std::min(n, TamPaqueteFw);
  bool sinUsb;
  if (TVarianteUsbFw* usb = Usb(sinUsb)) return usb->EnviaPaquete(n);
  if (sinUsb) return false;
  return PuertoFw().Escribe(TPaquete, n) == n;
}

bool LeeRespuesta(std::size_t n) {
  n = std::min(n, TamPaqueteFw);
  bool sinUsb;
  if (TVarianteUsbFw* usb = Usb(sinUsb)) return usb->LeeRespuesta(n);
  if (sinUsb) return !Falla(ErrSinRespuesta);
  if (PuertoFw().Lee(BufferRx, n) == n) return true;
  MuestraError(ContextoError, ErrSinRespuesta);
  return false;
}

bool CancelaTransferenciaFw() {
  TerminaThreadCOM();
  const std::string dispositivo = DispositivoFw();
  CierraPuerto(USB_);
  if (USB_COM && (USB_ || !ADDR_USB_COM.empty()))
    AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true);
  else  // a link opened on a device no profile names: the same device again
    AbreSerieFw(dispositivo, true);
  ResetProgramador();
  MuestraError(ContextoError, ErrCancelado);
  return true;
}

bool LeeBloque(uint16_t* buffer, uint32_t first, uint32_t last) {
  bool sinUsb;
  if (TVarianteUsbFw* usb = Usb(sinUsb)) return usb->LeeBloque(buffer, first, last);
  if (sinUsb) return Falla(ErrSinRespuesta);
  if (EnviaOFalla(8)) return true;
  uint8_t suma = 0;
  const uint32_t palabras = last - first + 1;
  for (uint32_t i = 0; i < palabras; ++i) {
    AvanzaProgresoFw(1);
    if (!LeeRespuesta(2)) return true;
    buffer[i] = static_cast<uint16_t>(BufferRx[0] | BufferRx[1] << 8);
    suma ^= BufferRx[0] ^ BufferRx[1];
    ProcesaMensajesFw();
    if (Cancelado) return CancelaTransferenciaFw();
  }
  if (!LeeRespuesta(1)) return true;
  if (BufferRx[0] != suma) return Falla(ErrChecksumEnlace);
  return false;
}

bool ProgramaBloque(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blank,
                    bool sinEspera) {
  bool sinUsb;
  if (TVarianteUsbFw* usb = Usb(sinUsb)) return usb->ProgramaBloque(buffer, first, last, blank, sinEspera);
  if (sinUsb) return Falla(ErrSinRespuesta);
  SumaXor = 0;
  const uint64_t esperaUs = sinEspera ? 0 : uint64_t{RetardoPgm} * 4000u;
  const bool i2c = EsEepromI2C();
  const uint32_t palabras = last - first + 1;
  const uint32_t grupos = (last - first) / 4 + 1;
  CreaThreadCOM();
  uint32_t saltados = 0;

  auto verifica = [&] {
    if (i2c)
      ContextoError.Direccion = uint32_t{BufferRx[1]} << 8 | BufferRx[0];
    else
      ContextoError.Direccion = (uint32_t{BufferRx[1]} << 8 | BufferRx[0]) * 4 + first + BufferRx[2];
    ContextoError.Esperado = static_cast<uint16_t>(BufferRx[4] << 8 | BufferRx[3]);
    ContextoError.Leido = static_cast<uint16_t>(BufferRx[6] << 8 | BufferRx[5]);
    MuestraError(ContextoError, ErrEscritura);
  };

  for (uint32_t grupo = 0; grupo < grupos; ++grupo) {
    bool enBlanco = true;
    for (uint32_t k = 0; k < 4; ++k) {
      const uint32_t i = grupo * 4 + k;
      // Past the end of the block the group is filled with blank: the
      // board programs only the words the command counted.
      const uint16_t palabra = i < palabras ? buffer[i] : blank;
      TPaquete[2 * k] = static_cast<uint8_t>(palabra);
      TPaquete[2 * k + 1] = static_cast<uint8_t>(palabra >> 8);
      if (palabra != blank) enBlanco = false;
    }
    if (!enBlanco || i2c) {
      for (int b = 0; b < 8; ++b) SumaXor ^= TPaquete[b];
      if (EnviaOFalla(8)) return TerminaEscritura(true);
      TPaquete[0] = static_cast<uint8_t>(grupo);
      TPaquete[1] = static_cast<uint8_t>(grupo >> 8);
      TPaquete[2] = static_cast<uint8_t>((grupo * 8) >> 16);
      TPaquete[3] = 0;
      SumaXor ^= TPaquete[0] ^ TPaquete[1] ^ TPaquete[2] ^ TPaquete[3];
      TPaquete[7] = SumaXor;
      if (EnviaOFalla(8)) return TerminaEscritura(true);
      EsperaUs64(esperaUs);
      if (saltados > SaltosLargos) EsperaMs(15);
      saltados = 0;
    } else {
      ++saltados;
    }
    AvanzaProgresoFw(4);
    ProcesaMensajesFw();
    if (Cancelado) return TerminaEscritura(CancelaTransferenciaFw());
    if (ThreadCOM->Respuesta() && AtiendeRespuesta(7, verifica)) return TerminaEscritura(true);
  }

  // Closing pair: the packet as it stands once more, then with byte 3 = 1.
  for (int b = 0; b < 8; ++b) SumaXor ^= TPaquete[b];
  if (EnviaOFalla(8)) return TerminaEscritura(true);
  TPaquete[3] = 1;
  SumaXor ^= TPaquete[0] ^ TPaquete[1] ^ TPaquete[2] ^ TPaquete[3];
  TPaquete[7] = SumaXor;
  if (EnviaOFalla(8)) return TerminaEscritura(true);
  return TerminaEscritura(AtiendeRespuestaFinal(7, verifica));
}

namespace {

struct TGeometria24 {
  uint32_t Instrucciones;  // a frame
  uint32_t Direccion;      // first of the three address bytes
  uint32_t Trozos;         // 8-byte chunks before the last address byte
};

TGeometria24 Geometria24(uint8_t tipoArea) {
  switch (tipoArea) {
    case Area24Datos: return {16, 54, 7};
    case Area24Config: return {7, 30, 4};
    default: return {32, 102, 13};
  }
}

}  // namespace

bool EnviaTrama24(uint8_t tipoArea) {
  const TGeometria24 g = Geometria24(tipoArea);
  const uint32_t ultimo = g.Direccion + 2;
  uint8_t suma = 0;
  for (uint32_t b = 3; b <= ultimo; ++b) suma ^= TPaquete[b];
  TPaquete[1] = suma;
  // Each chunk goes out through the first 8 bytes of the send buffer.
  for (uint32_t k = 0; k < g.Trozos; ++k) {
    std::memmove(TPaquete, TPaquete + 8 * k, 8);
    if (!EnviaPaquete(8)) return false;
  }
  TPaquete[0] = TPaquete[ultimo];
  return EnviaPaquete(1);
}

bool ProgramaBloque24(const uint16_t* buffer, uint32_t direccion, uint32_t filas, uint8_t tipoArea) {
  bool sinUsb;
  if (TVarianteUsbFw* usb = Usb(sinUsb)) return usb->ProgramaBloque24(buffer, direccion, filas, tipoArea);
  if (sinUsb) return Falla(ErrSinRespuesta);
  if (EnviaOFalla(8)) return TerminaEscritura(true);
  CreaThreadCOM();
  const TGeometria24 g = Geometria24(tipoArea);
  const bool programa = tipoArea == Area24Programa || tipoArea == Area24Ejecutivo;
  const uint32_t celdasFila = programa ? 64 : 32;
  uint32_t saltados = 0;

  auto verifica = [] {
    const uint32_t dir = BufferRx[0] | uint32_t{BufferRx[1]} << 8 | uint32_t{BufferRx[2]} << 16;
    const uint32_t esperado = BufferRx[4] | uint32_t{BufferRx[5]} << 8 | uint32_t{BufferRx[6]} << 16;
    const uint32_t leido = BufferRx[7] | uint32_t{BufferRx[8]} << 8 | uint32_t{BufferRx[9]} << 16;
    MuestraError24(ErrEscritura, dir + uint32_t{BufferRx[3]} * 2, esperado, leido);
  };

  for (uint32_t fila = 0; fila <= filas; ++fila) {
    const uint16_t* celdas = buffer + fila * celdasFila;
    bool enBlanco = tipoArea != Area24Config;
    for (uint32_t i = 0; i < g.Instrucciones && enBlanco; ++i) {
      if (programa)
        enBlanco = celdas[2 * i] == 0xFFFF && celdas[2 * i + 1] == 0x00FF;
      else
        enBlanco = celdas[2 * i] == 0xFFFF;
    }
    if (!enBlanco) {
      TPaquete[0] = 0;
      std::memset(TPaquete + 2, 0, 4);
      // The gap between the data and the address bytes of a configuration
      // frame is sent as zero, not as whatever the buffer held.
      std::memset(TPaquete + 6, 0, g.Direccion - 6);
      for (uint32_t i = 0; i < g.Instrucciones; ++i) {
        uint32_t valor;
        if (tipoArea == Area24Config)
          valor = celdas[4 * i];
        else
          valor = celdas[2 * i] | uint32_t{static_cast<uint8_t>(celdas[2 * i + 1])} << 16;
        TPaquete[6 + 3 * i] = static_cast<uint8_t>(valor);
        TPaquete[7 + 3 * i] = static_cast<uint8_t>(valor >> 8);
        TPaquete[8 + 3 * i] = static_cast<uint8_t>(valor >> 16);
      }
      const uint32_t dir = direccion + fila * celdasFila;
      TPaquete[g.Direccion] = static_cast<uint8_t>(dir);
      TPaquete[g.Direccion + 1] = static_cast<uint8_t>(dir >> 8);
      TPaquete[g.Direccion + 2] = static_cast<uint8_t>(dir >> 16);
      if (!EnviaTrama24(tipoArea)) return TerminaEscritura(Falla(ErrSinRespuesta));
      EsperaUs64(uint64_t{RetardoPgm} * 30000u);
      if (saltados > SaltosLargos) EsperaMs(150);
      saltados = 0;
    } else {
      ++saltados;
    }
    AvanzaProgresoFw(programa ? 64 : 32);
    ProcesaMensajesFw();
    if (Cancelado) return TerminaEscritura(CancelaTransferenciaFw());
    if (ThreadCOM->Respuesta() && AtiendeRespuesta(10, verifica)) return TerminaEscritura(true);
  }

  TPaquete[0] = 1;
  if (!EnviaTrama24(tipoArea)) return TerminaEscritura(Falla(ErrSinRespuesta));
  return TerminaEscritura(AtiendeRespuestaFinal(10, verifica));
}

std::string DaVersionFirmware() {
  if (!USB_COM) return {};
  return " v - " + std::string(reinterpret_cast<const char*>(BufferRx + 2), 4);
}

uint8_t IdentificaProgramadorFw(std::array<uint8_t, 6>& respuesta) {
  ResetProgramador();
  SumaXor = 0;
  TPaquete[0] = '>';
  TPaquete[1] = '0';
  if (!EnviaPaquete(8)) return static_cast<uint8_t>(MuestraError(ContextoError, ErrSinRespuesta));
  if (!LeeRespuesta(6)) return ErrSinRespuesta;
  std::copy(BufferRx, BufferRx + 6, respuesta.begin());
  return 0;
}
