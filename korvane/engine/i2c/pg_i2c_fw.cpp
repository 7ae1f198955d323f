// The serial EEPROM operations on the firmware programmer: commands "A"
// (read) and "B" (write); the board runs the bus.
#include "fw/pg_fw.h"
#include "hw/pg_port.h"
#include "i2c/pg_i2c.h"
#include "i2c/pg_i2c_comun.h"
#include "pg_err.h"
#include "pg_pic.h"

namespace {

// Write cycle time the board waits after each page, in ms.
constexpr uint8_t EscrituraMsFw = 10;

void Comando(char letra, uint8_t b4, uint8_t b5, uint8_t b6) {
  SumaXor = 0;
  ResetProgramador();
  const uint32_t fin = PicActual.ProgFin;
  TPaquete[0] = '>';
  TPaquete[1] = static_cast<uint8_t>(letra);
  TPaquete[2] = static_cast<uint8_t>(fin);
  TPaquete[3] = static_cast<uint8_t>(fin >> 8);
  TPaquete[4] = b4;
  TPaquete[5] = b5;
  TPaquete[6] = b6;
  TPaquete[7] = Zocalo2 ? 1 : 0;
}

uint8_t CodigoFallo() { return static_cast<uint8_t>(ContextoError.Codigo ? ContextoError.Codigo : ErrSinRespuesta); }

}  // namespace

uint8_t LeeI2CFw(bool dosBytes) {
  Comando('A', dosBytes ? 1 : 0, 0, 0);
  ProgresoFw.Posicion = 0;
  ProgresoFw.Maximo = PicActual.ProgFin;
  // The board first answers whether the part acknowledged; the block read
  // then sends the same command again.
  EnviaPaquete(8);
  if (!LeeRespuesta(1)) return CodigoFallo();
  if (BufferRx[0] == 0) {
    ContextoError.Direccion = 0;
    ResetProgramador();
    return static_cast<uint8_t>(MuestraError(ContextoError, ErrProgramador));
  }
  if (LeeBloque(BufDispositivo.Prog.data(), 0, PicActual.ProgFin)) return CodigoFallo();
  return 0;
}

uint8_t ProgramaI2CFw(bool dosBytes) {
  // The board is paced by the programming delay of this operation, not by
  // whatever an earlier operation left in it.
  RetardoPgm = PicActual.TiempoPgm;
  Comando('B', static_cast<uint8_t>(PaginaI2C), EscrituraMsFw, dosBytes ? 0 : 1);
  EnviaPaquete(8);
  ProgresoFw.Posicion = 0;
  ProgresoFw.Maximo = PicActual.ProgTam;
  if (ProgramaBloque(BufDispositivo.Prog.data(), 0, PicActual.ProgFin, 0xFF, false)) {
    ResetProgramador();
    return CodigoFallo();
  }
  return 0;
}
