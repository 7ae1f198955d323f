#include "ident/pg_id_fw.h"

#include "fw/pg_fw.h"
#include "pg_err.h"
#include "pg_pic.h"

bool LeeIdFirmware(char letra, uint16_t& id) {
  SumaXor = 0;
  ResetProgramador();
  TPaquete[0] = '>';
  TPaquete[1] = static_cast<uint8_t>(letra);
  TPaquete[5] = Zocalo2 ? 1 : 0;
  bool buena = true;
  if (!EnviaPaquete(8)) {
    MuestraError(ContextoError, ErrSinRespuesta);
    buena = false;
  } else if (!LeeRespuesta(3)) {
    buena = false;
  } else if (BufferRx[2] != (BufferRx[0] ^ BufferRx[1])) {
    MuestraError(ContextoError, ErrChecksumEnlace);
    buena = false;
  }
  if (!buena) BufferRx[0] = 1;
  id = static_cast<uint16_t>(BufferRx[0] | BufferRx[1] << 8);
  return buena;
}
