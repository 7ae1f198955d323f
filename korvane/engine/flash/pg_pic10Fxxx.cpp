// One memory area of a 12-bit baseline device (10F200-10F206). After entry
// the counter stands at the configuration word; one increment reaches
// program address 0, n + 1 increments address n.
#include "flash/pg_flash.h"
#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

void Posiciona(uint16_t first, uint8_t modo) {
  if (modo == 0) Incrementa(1);
  else if (modo == 1) Incrementa(first + 1u);
}

}  // namespace

bool LeeZona10F(uint16_t* buffer, uint16_t first, uint16_t last, const std::string& zona,
                uint8_t modo, uint16_t) {
  EntraProgramacion();
  InterfazOperacion().Log(LineaZona(TextosEntorno[16], zona, last - first + 1u, TextosEntorno[22]));
  LimpiaPanel();
  if (USB_COM) {
    // The backup OSCCAL word comes with the ID words.
    const uint16_t cuenta = static_cast<uint16_t>(last - first + (modo == 1 ? 1 : 0));
    ResetProgramador();
    SumaXor = 0;
    TPaquete[0] = '>';
    TPaquete[1] = 'L';
    TPaquete[2] = static_cast<uint8_t>(cuenta & 0xFF);
    TPaquete[3] = static_cast<uint8_t>(cuenta >> 8);
    TPaquete[4] = static_cast<uint8_t>(PicActual.IdIni >> 8);
    TPaquete[5] = Zocalo2 ? 1 : 0;
    TPaquete[6] = 0;
    TPaquete[7] = modo;
    if (LeeBloque(buffer, first, modo == 1 ? last + 1u : last)) return true;
    if (modo == 1) OscCalBackup = buffer[4];
    SaleProgramacion();
    return false;
  }
  Posiciona(first, modo);
  for (uint32_t a = first; a <= last; ++a) {
    SumaProgreso(1);
    EnviaComando6(4);
    buffer[a - first] = LeeDato14();
    EnviaComando6(6);
    if (CanceladoEnZona()) return true;
  }
  if (modo == 1) {
    EnviaComando6(4);
    OscCalBackup = LeeDato14();
  }
  SaleProgramacion();
  return false;
}

bool ProgramaZona10F(const uint16_t* buffer, uint16_t first, uint16_t last,
                     const std::string& zona, uint8_t modo, uint16_t blanco) {
  InterfazOperacion().Log(LineaZona(TextosEntorno[15], zona, last - first + 1u, TextosEntorno[22]));
  PanelRetardo();
  if (USB_COM) {
    ResetProgramador();
    SumaXor = 0;
    TPaquete[0] = '>';
    TPaquete[1] = 'M';
    TPaquete[2] = static_cast<uint8_t>((last - first) & 0xFF);
    TPaquete[3] = static_cast<uint8_t>((last - first) >> 8);
    TPaquete[4] = modo;
    TPaquete[5] = Zocalo2 ? 1 : 0;
    TPaquete[6] = static_cast<uint8_t>(first & 0xFF);
    TPaquete[7] = static_cast<uint8_t>(first >> 8);
    if (!EnviaPaquete(8) || ProgramaBloque(buffer, first, last, blanco, false)) {
      ResetProgramador();
      return true;
    }
    return false;
  }
  EntraProgramacion();
  Posiciona(first, modo);
  // Load, begin programming, end programming, read back.
  return EscribeZonaIcsp(buffer, first, last, blanco, 2, 8, 14, 4);
}
