// Bulk erase of a PIC18.
#include "hw/pg_icsp.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_pic.h"
#include "pic18/pg_pic18.h"
#include "pic18/pg_pic18_comun.h"

namespace {

constexpr uint16_t EsperaBorradoMs = 15;

void EscribeRegistro(uint8_t bajo, uint16_t valor) {
  Literal18(bajo, MovwfTblptrL);
  EnviaComando4(TablaEscribe18);
  EnviaDato16(valor);
}

}  // namespace

bool BorraPic18() {
  EntraProgramacion();
  // TBLPTR := 0x3C00xx.
  Literal18(0x3C, MovwfTblptrU);
  Literal18(0x00, MovwfTblptrH);
  if (GrupoModUSB) {
    // The newer parts: the high erase register, then the low one.
    EscribeRegistro(0x05, 0x0F0F);
    Literal18(0x3C, MovwfTblptrU);
    Literal18(0x00, MovwfTblptrH);
    EscribeRegistro(0x04, 0x8787);
  } else {
    EscribeRegistro(0x04, 0x0080);
  }
  // The erase starts in the second NOP, with the data line low.
  Nucleo18(Nop18);
  Nucleo18(Nop18);
  EsperaMs(EsperaBorradoMs);
  return false;
}
