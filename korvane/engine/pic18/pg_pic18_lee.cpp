// Reading the PIC18 areas.
#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "pic18/pg_pic18.h"
#include "pic18/pg_pic18_comun.h"

namespace {

bool LeeMemoriaIcsp(uint16_t* buffer, uint32_t first, uint32_t cuenta) {
  PonTblptr(first);
  for (uint32_t i = 0; i <= cuenta; ++i) {
    SumaProgreso(1);
    buffer[i] = LeeTabla2();
    if (CanceladoEnZona()) return true;
  }
  return false;
}

bool LeeEepromIcsp(uint16_t* buffer, uint32_t first, uint32_t last) {
  Nucleo18(BcfEepgd);
  Nucleo18(BcfCfgs);
  for (uint32_t a = first; a <= last; ++a) {
    SumaProgreso(1);
    DireccionEe18(a);
    buffer[a - first] = LeeEe18();
    if (CanceladoEnZona()) return true;
  }
  return false;
}

}  // namespace

bool LeeZona18(uint16_t* buffer, uint32_t first, uint32_t last, const std::string& zona,
               uint8_t tipo, uint16_t mascara) {
  (void)mascara;
  EntraProgramacion();
  const uint32_t cuenta = last - first;
  LogZona18(16, zona, cuenta + 1, tipo == Zona18Eeprom ? 21 : 22);
  LimpiaPanel();
  const auto bajo = static_cast<uint8_t>(cuenta);
  const auto alto = static_cast<uint8_t>(cuenta >> 8);
  const uint8_t z2 = Zocalo2 ? 1 : 0;
  bool fallo = false;
  if (tipo == Zona18Memoria) {
    if (USB_COM) {
      Orden18('3', bajo, alto, static_cast<uint8_t>(first >> 16), static_cast<uint8_t>(first >> 8),
              static_cast<uint8_t>(first), z2);
      fallo = LeeBloque(buffer, first, last);
    } else {
      fallo = LeeMemoriaIcsp(buffer, first, cuenta);
    }
  } else if (tipo == Zona18Eeprom) {
    if (USB_COM) {
      Orden18('2', bajo, alto, GrupoModUSB ? 1 : 0, 0, 0, z2);
      fallo = LeeBloque(buffer, first, last);
    } else {
      fallo = LeeEepromIcsp(buffer, first, last);
    }
  }
  if (fallo) return true;
  SaleProgramacion();
  return false;
}

bool LeeAreas18() {
  const TPic& p = PicActual;
  bool fallo = LeeZona18(BufDispositivo.Prog.data(), p.ProgIni, p.ProgIni + p.ProgTam - 1, TextosZona[0],
                         Zona18Memoria, p.ProgMask);
  if (!fallo)
    fallo = LeeZona18(BufDispositivo.Id.data(), p.IdIni, p.IdIni + p.IdNum - 1, TextosZona[1],
                      Zona18Memoria, p.IdMask);
  if (!fallo)
    fallo = LeeZona18(BufDispositivo.Config.data(), p.CfgIni, p.CfgIni + p.CfgNum - 1, TextosZona[2],
                      Zona18Memoria, p.CfgMask);
  if (!fallo && p.EeTam != 0)
    fallo = LeeZona18(BufDispositivo.Datos.data(), p.EeIni, p.EeFin, TextosZona[3], Zona18Eeprom,
                      p.EeMask);
  return fallo;
}
