// The serial EEPROM operations on a pin-level programmer: the host is the
// bus master.
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "i2c/pg_i2c.h"
#include "i2c/pg_i2c_comun.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

// Wait after the STOP that starts a page's write cycle (the parts need at
// most 5 ms).
constexpr uint16_t EscrituraMs = 10;

uint8_t Falla(uint32_t codigo) { return static_cast<uint8_t>(MuestraError(ContextoError, codigo)); }

// START, write control byte and the address; false at the first byte the
// part does not acknowledge.
bool Direcciona(uint32_t direccion, bool dosBytes) {
  StartI2C();
  if (dosBytes) {
    EnviaByteI2C(0xA0);
    if (!AckI2C) return false;
    EnviaByteI2C(static_cast<uint8_t>(direccion >> 8));
  } else {
    EnviaByteI2C(ControlI2C8(direccion));
  }
  if (!AckI2C) return false;
  EnviaByteI2C(static_cast<uint8_t>(direccion));
  return AckI2C != 0;
}

// Read control byte; on a part with one address byte it carries the same
// block bits as the write, or the part would read another block.
uint8_t ControlLectura(uint32_t direccion, bool dosBytes) {
  return static_cast<uint8_t>((dosBytes ? 0xA0 : ControlI2C8(direccion)) | 1);
}

bool EscribePagina(uint32_t inicio, bool dosBytes) {
  const auto& celdas = BufDispositivo.Prog;
  const uint32_t fin = inicio + PaginaI2C;  // one past the page
  if (fin > TamProg) return false;
  if (!Direcciona(inicio, dosBytes)) return false;
  for (uint32_t i = inicio; i < fin; ++i) {
    EnviaByteI2C(static_cast<uint8_t>(celdas[i]));
    if (!AckI2C) return false;
  }
  StopI2C();
  EsperaMs(EscrituraMs);

  if (!Direcciona(inicio, dosBytes)) return false;
  StartI2C();
  EnviaByteI2C(ControlLectura(inicio, dosBytes));
  if (!AckI2C) return false;
  // The whole page is read, the last byte with NACK, so that the part lets
  // go of SDA and the STOP reaches it even when a byte differs.
  bool difiere = false;
  for (uint32_t i = inicio; i < fin; ++i) {
    const uint8_t leido = i + 1 < fin ? LeeByteAckI2C() : LeeByteNackI2C();
    const uint8_t esperado = static_cast<uint8_t>(celdas[i]);
    if (!difiere && leido != esperado) {
      difiere = true;
      ContextoError.Direccion = i;
      ContextoError.Esperado = esperado;
      ContextoError.Leido = leido;
    }
  }
  StopI2C();
  if (difiere) {
    ErrorI2C = 1;
    Falla(ErrEscritura);
    return false;
  }
  return true;
}

}  // namespace

bool EscribePaginaI2C8(uint32_t inicio) { return EscribePagina(inicio, false); }
bool EscribePaginaI2C16(uint32_t inicio) { return EscribePagina(inicio, true); }

uint8_t LeeI2CPines(bool dosBytes) {
  auto& celdas = BufDispositivo.Prog;
  const uint32_t fin = PicActual.ProgFin;
  // Random read from address 0: the address is written, then a repeated
  // START turns the transfer around.
  bool listo = Direcciona(0, dosBytes);
  if (listo) {
    StartI2C();
    EnviaByteI2C(0xA1);
    listo = AckI2C != 0;
  }
  if (!listo) {
    ContextoError.Direccion = 0;
    const uint8_t r = Falla(ErrProgramador);
    StopI2C();
    StopI2C();
    return r;
  }
  InterfazOperacion().Log(" " + TextosEntorno[24]);
  for (uint32_t i = 0; i < fin && i < TamProg; ++i) {
    celdas[i] = LeeByteAckI2C();
    AvanzaProgresoI2C();
    ProcesaMensajes();
    if (Cancelado) {
      // The part is sending the next byte: take it with NACK so that it
      // releases SDA, then STOP.
      LeeByteNackI2C();
      StopI2C();
      StopI2C();
      return Falla(ErrCancelado);
    }
  }
  if (fin < TamProg) celdas[fin] = LeeByteNackI2C();
  StopI2C();
  ReposoI2C();
  return 0;
}

uint8_t ProgramaI2CPines(bool dosBytes) {
  const uint32_t fin = PicActual.ProgFin;
  uint32_t progreso = 0;
  for (uint32_t inicio = 0; inicio < fin; inicio += PaginaI2C) {
    PonProgresoI2C(progreso, 100);
    const bool ok = dosBytes ? EscribePaginaI2C16(inicio) : EscribePaginaI2C8(inicio);
    if (!ok) {
      if (ErrorI2C) {
        SaleProgramacion();
        return ErrEscritura;
      }
      ContextoError.Direccion = inicio;
      const uint8_t r = Falla(ErrProgramador);
      StopI2C();
      StopI2C();
      EntraProgramacion();
      SaleProgramacion();
      return r;
    }
    ProcesaMensajes();
    if (Cancelado) {
      const uint8_t r = Falla(ErrCancelado);
      EntraProgramacion();
      SaleProgramacion();
      return r;
    }
    progreso = inicio * 100 / fin + 1;
  }
  return 0;
}
