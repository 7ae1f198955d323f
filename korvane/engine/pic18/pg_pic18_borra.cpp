// Bulk erase of a PIC18.
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "pic18/pg_pic18.h"
#include "pic18/pg_pic18_comun.h"

namespace {

constexpr uint8_t TipoBorradoNuevo = 126;  // erase type of the firmware for ListPics 70-97
constexpr uint8_t TipoBorrado = 127;
constexpr uint16_t EsperaBorradoMs = 15;

void EscribeRegistro(uint8_t bajo, uint16_t valor) {
  Literal18(bajo, MovwfTblptrL);
  EnviaComando4(TablaEscribe18);
  EnviaDato16(valor);
}

}  // namespace

bool BorraPic18() {
  if (USB_COM) {
    const uint8_t tipo = GrupoModUSB ? TipoBorradoNuevo : TipoBorrado;
    Orden18('8', tipo, 0, 8, static_cast<uint8_t>(PicActual.ProgFin >> 8),
            static_cast<uint8_t>(TipoAccion), Zocalo2 ? 1 : 0);
    EnviaPaquete(8);
    // The final reply: 3 bytes, the third the erase type.
    if (!LeeRespuesta(3)) return true;
    if (BufferRx[2] != tipo) {
      MuestraError(ContextoError, ErrBorrado);
      return true;
    }
    return false;
  }
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
