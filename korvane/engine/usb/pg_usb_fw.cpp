#include "usb/pg_usb_fw.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

#include "fw/pg_cola_principal.h"
#include "fw/pg_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "usb/pg_hilo_usb.h"

namespace {

std::unique_ptr<TEnlaceUsb> enlace;
std::string motivoFallo;

// Waits of the reply after the closing packet: 255 x 50 ms.
constexpr int VecesEsperaFinal = 255;
constexpr uint16_t PasoEsperaFinalMs = 50;
// The file that gives the logged-in user access to the boards.
constexpr const char* ReglaUdev = "60-korvane.rules";

std::string Minusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Falla(uint32_t codigo) {
  MuestraError(ContextoError, codigo);
  return true;
}

// Section "pg_enlace*" keys "9*".."12*", then the system's reason.
std::string TextoFallo(TFalloUsb fallo, const std::string& detalle) {
  if (fallo == TFalloUsb::Permiso) return TextoEnlace(9) + " " + ReglaUdev;
  const int clave = fallo == TFalloUsb::Ocupado ? 10 : fallo == TFalloUsb::Desaparecido ? 11 : 12;
  return TextoEnlace(clave) + (detalle.empty() ? "" : " (" + detalle + ")");
}

// A transfer cancelled by the user: the board is told to stop, the link
// closed, error 22 reported.
bool CancelaUsb(std::size_t bytesAviso) {
  EscribeUSB(bytesAviso);
  TerminaThreadUSB();
  CierraPuerto(true);
  return Falla(ErrCancelado);
}

// Waits for the reply thread's hand-over after the closing packet.
bool EsperaRespuestaFinalUsb() {
  for (int i = 0; i < VecesEsperaFinal && !ThreadUSB->Respuesta(); ++i) {
    EsperaMs(PasoEsperaFinalMs);
    ProcesaMensajesFw();
  }
  return ThreadUSB->Respuesta() != 0;
}

// The reply record in BufferRx of a block write. Returns true when the
// transfer failed (error shown); any other record is consumed and the read
// re-armed, so that the reply looked at next is a newer one.
template <typename TVerifica>
bool AtiendeRegistroUsb(TVerifica&& verifica, uint32_t direccionProgramador) {
  switch (BufferRx[0]) {
    case RespErrorVerificacion:
      verifica();
      return true;
    case RespErrorProgramador:
      ContextoError.Direccion = direccionProgramador;
      return Falla(ErrProgramador);
    default:
      ThreadUSB->Rearma();
      return false;
  }
}

// Before the closing packet: every record the board has sent so far is
// dealt with (an error ends the transfer, progress is consumed) until a
// read finds the pipe empty, so that the reply taken after the closing
// packet is the board's answer to it and never an older progress record.
constexpr unsigned LimiteDrenaMs = 1000;
template <typename TAtiende>
bool DrenaRegistros(TAtiende&& atiende) {
  for (int i = 0; i < VecesEsperaFinal; ++i) {
    if (atiende()) return true;
    if (ThreadUSB->Drena(LimiteDrenaMs)) return false;
  }
  return false;
}

// After each packet or row of a block write: the gauge, the message pump,
// the cancel button, and the records that came in meanwhile (looked at
// after every packet, as the board may report an error at any time).
// True when the transfer is over (failed).
template <typename TAtiende>
bool TrasPaqueteUsb(uint32_t avance, TAtiende&& atiende) {
  AvanzaProgresoFw(avance);
  ProcesaMensajesFw();
  if (Cancelado) {
    TPaquete[ByteFinUsb] = 1;
    return CancelaUsb(TamPaqueteUsb);
  }
  return atiende();
}

// The end of a block write: the records still on their way, the closing
// packet (the last packet once more, byte 254 = 1), the board's reply to
// it. Codes 1 and 200 fail; anything else is success. True when failed.
// A board that lags may still have progress records ahead of its reply
// when the closing packet goes out: the first record after it is not the
// reply while others follow it, so those are dealt with as well (an error
// among them fails, and none is left for the next command to take).
template <typename TAtiende>
bool CierraBloqueUsb(TAtiende&& atiende) {
  if (DrenaRegistros(atiende)) return true;
  TPaquete[ByteFinUsb] = 1;
  if (!EscribeUSB(TamPaqueteUsb)) return Falla(ErrSinRespuesta);
  if (!EsperaRespuestaFinalUsb()) return Falla(ErrSinRespuesta);
  return DrenaRegistros(atiende);
}

bool TerminaEscrituraUsb(bool fallido) {
  TerminaThreadUSB();
  return fallido;
}

void PonOffset(uint32_t v) {
  TPaquete[ByteOffsetUsb] = static_cast<uint8_t>(v);
  TPaquete[ByteOffsetUsb + 1] = static_cast<uint8_t>(v >> 8);
  TPaquete[ByteOffsetUsb + 2] = static_cast<uint8_t>(v >> 16);
}

class TVarianteUsb final : public TVarianteUsbFw {
public:
  bool EnviaPaquete(std::size_t n) override { return EscribeUSB(n); }
  bool LeeRespuesta(std::size_t n) override { return LeeUSB(n); }
  bool LeeBloque(uint16_t* buffer, uint32_t first, uint32_t last) override {
    return LeeBloqueUSB(buffer, first, last);
  }
  bool ProgramaBloque(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blank,
                      bool sinEspera) override {
    return ProgramaBloqueUSB(buffer, first, last, blank, sinEspera);
  }
  bool ProgramaBloque24(const uint16_t* buffer, uint32_t direccion, uint32_t filas,
                        uint8_t tipoArea) override {
    return ProgramaBloque24USB(buffer, direccion, filas, tipoArea);
  }
};

TVarianteUsb variante;

}  // namespace

// --- Discovery ------------------------------------------------------------------

std::string TextoInstanciaUsb(const TInfoUsb& info) {
  char t[32];
  std::snprintf(t, sizeof t, "USB\\VID_%04X&PID_%04X\\", info.Vid, info.Pid);
  return t + info.Ubicacion;
}

std::size_t CuentaStr(const std::string& texto, const std::string& sub) {
  if (texto.empty() || sub.empty()) return 0;
  std::size_t n = 0;
  for (std::size_t p = texto.find(sub); p != std::string::npos; p = texto.find(sub, p + sub.size())) ++n;
  return n;
}

bool MismoVidPid(const std::string& instancia, const std::string& vidPid) {
  return CuentaStr(Minusculas(instancia), Minusculas(vidPid)) == 1;
}

uint8_t DaPathUSB(std::size_t indice, const std::string& vidPid, std::string& ruta) {
  const std::vector<TInfoUsb> lista = BusUsb().Lista();
  if (indice >= lista.size()) return 3;
  const std::string instancia = TextoInstanciaUsb(lista[indice]);
  if (!vidPid.empty() && !MismoVidPid(instancia, vidPid)) return 4;
  ruta = instancia;
  return 1;
}

std::vector<TInfoUsb> BoardsUsb() {
  std::vector<TInfoUsb> r;
  for (const TInfoUsb& i : BusUsb().Lista())
    if (MismoVidPid(TextoInstanciaUsb(i), VidPid)) r.push_back(i);
  return r;
}

// --- The link ---------------------------------------------------------------------

bool AbreUsb(int instancia) {
  CierraUsb();
  const std::vector<TInfoUsb> boards = BoardsUsb();
  if (instancia < 0 || static_cast<std::size_t>(instancia) >= boards.size()) {
    motivoFallo = boards.empty() ? TextoEnlace(13) + " " + VidPid
                                 : TextoEnlace(14) + " " + VidPid + ": " + std::to_string(boards.size());
    return false;
  }
  TFalloUsb fallo = TFalloUsb::Otro;
  std::string detalle;
  enlace = BusUsb().Abre(boards[static_cast<std::size_t>(instancia)], fallo, detalle);
  motivoFallo = enlace ? std::string() : TextoFallo(fallo, detalle);
  return enlace != nullptr;
}

void CierraUsb() {
  TerminaThreadUSB();
  enlace.reset();
}

bool UsbAbierto() { return enlace != nullptr; }

std::string MotivoFalloUsb() { return motivoFallo; }

std::vector<std::string> ListaUsb() {
  std::vector<std::string> r;
  const std::size_t n = BoardsUsb().size();
  for (std::size_t i = 0; i < n; ++i) r.push_back("Ind.#" + std::to_string(i));
  return r;
}

void InstalaUsbFirmware() {
  AbreUsbFirmware = AbreUsb;
  CierraUsbFirmware = CierraUsb;
  ListaUsbFirmware = ListaUsb;
  MotivoFalloUsbFirmware = MotivoFalloUsb;
  PonVarianteUsbFw(&variante);
}

// --- Transfers ----------------------------------------------------------------------

bool LeeUSB(std::size_t n) {
  n = std::min(n, TamPaqueteFw);
  const int r = enlace ? enlace->Lee(BufferRx, n, EsperaLecturaUsbMs) : -1;
  if (r >= 0 && static_cast<std::size_t>(r) == n) return true;
  MuestraError(ContextoError, ErrSinRespuesta);
  return false;
}

bool EscribeUSB(std::size_t n) {
  n = std::min(n, TamPaqueteFw);
  return enlace && enlace->Escribe(TPaquete, n, EsperaEscrituraUsbMs) == static_cast<int>(n);
}

namespace {
// The single byte 255 tells the board to stop sending the rest of a block.
void ParaLecturaUsb() {
  TPaquete[0] = 255;
  EscribeUSB(1);
}
}  // namespace

bool LeeBloqueUSB(uint16_t* buffer, uint32_t first, uint32_t last) {
  if (!EscribeUSB(8)) return Falla(ErrSinRespuesta);
  const uint32_t paso = PicActual.Familia == 30 ? PalabrasPaqueteUsbDsPic : PalabrasPaqueteUsb;
  const uint32_t total = last - first + 1;
  for (uint32_t recibidos = 0; last - first >= recibidos; recibidos += paso) {
    if (!LeeUSB(TamPaqueteUsb)) return true;
    // The board's count is trusted only as far as the packet and the block
    // go. A packet with fewer words than its place needs would leave cells
    // unread, and the buffer's old contents would pass for the chip's: the
    // board is stopped and the read fails.
    const uint32_t palabras = std::min(paso, total - recibidos);
    if (BufferRx[ByteFinUsb] < palabras) {
      ParaLecturaUsb();
      return Falla(ErrSinRespuesta);
    }
    AvanzaProgresoFw(palabras);
    for (uint32_t i = 0; i < palabras; ++i)
      buffer[recibidos + i] = static_cast<uint16_t>(BufferRx[2 * i] | BufferRx[2 * i + 1] << 8);
    ProcesaMensajesFw();
    if (Cancelado) {
      TPaquete[0] = 255;
      return CancelaUsb(1);
    }
  }
  return false;
}

bool ProgramaBloqueUSB(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blank,
                       bool sinEspera) {
  if (!enlace) return Falla(ErrSinRespuesta);
  CreaThreadUSB(*enlace);
  const bool i2c = ClaseDispositivo == 2;
  const uint32_t bloque = last - first + 1;
  const uint32_t total = bloque + (sinEspera ? 2 : 0);

  auto verifica = [&] {
    const uint32_t dir = uint32_t{BufferRx[2]} << 8 | BufferRx[1];
    ContextoError.Direccion = i2c ? dir : dir + first + BufferRx[3];
    ContextoError.Esperado = static_cast<uint16_t>(BufferRx[5] << 8 | BufferRx[4]);
    ContextoError.Leido = static_cast<uint16_t>(BufferRx[7] << 8 | BufferRx[6]);
    MuestraError(ContextoError, ErrEscritura);
  };
  auto atiende = [&] {
    AtiendeColaPrincipal();
    return ThreadUSB->Respuesta() &&
           AtiendeRegistroUsb(verifica, (uint32_t{BufferRx[2]} << 8 | BufferRx[1]) + BufferRx[3]);
  };

  for (uint32_t offset = 0; offset < total; offset += PalabrasPaqueteUsb) {
    const uint32_t palabras = std::min(PalabrasPaqueteUsb, total - offset);
    bool enBlanco = true;
    for (uint32_t k = 0; k < palabras; ++k) {
      // The words past the block are sent blank: nothing beyond it is read.
      const uint32_t i = offset + k;
      const uint16_t palabra = i < bloque ? buffer[i] : blank;
      TPaquete[2 * k] = static_cast<uint8_t>(palabra);
      TPaquete[2 * k + 1] = static_cast<uint8_t>(palabra >> 8);
      if (palabra != blank) enBlanco = false;
    }
    if (!enBlanco || i2c) {
      TPaquete[ByteCuentaUsb] = static_cast<uint8_t>(palabras);
      PonOffset(offset);
      TPaquete[ByteFinUsb] = 0;
      if (!EscribeUSB(TamPaqueteUsb)) return TerminaEscrituraUsb(Falla(ErrSinRespuesta));
    }
    if (TrasPaqueteUsb(palabras, atiende)) return TerminaEscrituraUsb(true);
  }

  return TerminaEscrituraUsb(CierraBloqueUsb(atiende));
}

namespace {

uint32_t Instrucciones24(uint8_t tipoArea) {
  switch (tipoArea) {
    case Area24Datos: return 16;
    case Area24Config: return 7;
    default: return 32;
  }
}

uint32_t Bytes24(const uint8_t* b) { return b[0] | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16; }

}  // namespace

bool ProgramaBloque24USB(const uint16_t* buffer, uint32_t direccion, uint32_t filas, uint8_t tipoArea) {
  if (!EscribeUSB(8)) return Falla(ErrSinRespuesta);
  if (!enlace) return Falla(ErrSinRespuesta);
  CreaThreadUSB(*enlace);
  const uint32_t instrucciones = Instrucciones24(tipoArea);
  const bool programa = tipoArea == Area24Programa || tipoArea == Area24Ejecutivo;
  const uint32_t celdasFila = programa ? 64 : 32;

  auto verifica = [] {
    MuestraError24(ErrEscritura, Bytes24(BufferRx + 1) + BufferRx[4], Bytes24(BufferRx + 5),
                   Bytes24(BufferRx + 8));
  };
  auto atiende = [&] {
    AtiendeColaPrincipal();
    return ThreadUSB->Respuesta() && AtiendeRegistroUsb(verifica, Bytes24(BufferRx + 1));
  };

  for (uint32_t fila = 0; fila <= filas; ++fila) {
    const uint16_t* celdas = buffer + fila * celdasFila;
    bool enBlanco = tipoArea != Area24Config;
    for (uint32_t i = 0; i < instrucciones && enBlanco; ++i)
      enBlanco = celdas[2 * i] == 0xFFFF && (!programa || celdas[2 * i + 1] == 0x00FF);
    if (!enBlanco) {
      std::memset(TPaquete, 0, TamPaqueteUsb);
      for (uint32_t i = 0; i < instrucciones; ++i) {
        const uint32_t valor = tipoArea == Area24Config
                                   ? celdas[4 * i]
                                   : celdas[2 * i] | uint32_t{static_cast<uint8_t>(celdas[2 * i + 1])} << 16;
        TPaquete[3 * i] = static_cast<uint8_t>(valor);
        TPaquete[3 * i + 1] = static_cast<uint8_t>(valor >> 8);
        TPaquete[3 * i + 2] = static_cast<uint8_t>(valor >> 16);
      }
      PonOffset(direccion + fila * celdasFila);
      TPaquete[ByteFinUsb] = 0;
      if (!EscribeUSB(TamPaqueteUsb)) return TerminaEscrituraUsb(Falla(ErrSinRespuesta));
    }
    if (TrasPaqueteUsb(programa ? 64 : 32, atiende)) return TerminaEscrituraUsb(true);
  }

  return TerminaEscrituraUsb(CierraBloqueUsb(atiende));
}
