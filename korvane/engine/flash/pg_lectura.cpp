// Reading every area of a 12-bit or 14-bit device into BufDispositivo, and
// verifying a device against BufArchivo.
#include <algorithm>

#include "flash/pg_flash.h"
#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "pg_proteccion.h"
#include "pic18/pg_pic18.h"

TRamasPic18 RamasPic18{LeeAreas18, ProgramaAreas18, BorraPic18};
TCalProgramada CalProgramada;

namespace {

// Every area into BufDispositivo; true when it failed.
bool LeeAreas() {
  LimpiaProg(BufDispositivo.Prog, PicActual.ProgMask);
  LimpiaDatos(BufDispositivo.Datos, PicActual.ProgMask);
  LimpiaConfig(BufDispositivo.Config, PicActual.ProgMask);
  LimpiaExec(BufDispositivo.Exec);
  InterfazOperacion().ColorProgreso(TColorProgreso::Lima);
  PonMaximoProgreso(MaximoDispositivo());

  const TPic& p = PicActual;
  TBuffers& b = BufDispositivo;
  bool fallo = false;
  switch (p.Familia) {
    case 10:
      fallo = LeeZona10F(b.Prog.data(), p.ProgIni, p.ProgFin, TextosZona[0], 0, p.ProgMask) ||
              LeeZona10F(b.Id.data(), p.IdIni, p.IdFin, TextosZona[1], 1, p.IdMask) ||
              LeeZona10F(b.Config.data(), p.CfgIni, p.CfgFin, TextosZona[2], 2, p.CfgMask);
      break;
    case 16:
      fallo = LeeZona14(b.Prog.data(), p.ProgIni, p.ProgFin, TextosEntorno[22], TextosZona[0],
                        false, 4, p.ProgMask) ||
              LeeZona14(b.Id.data(), p.IdIni, p.IdFin, TextosEntorno[22], TextosZona[1], true, 4,
                        p.IdMask) ||
              LeeZona14(b.Config.data(), p.CfgIni, p.CfgFin, TextosEntorno[22], TextosZona[2],
                        true, 4, p.CfgMask) ||
              LeeZona14(b.Datos.data(), p.EeIni, p.EeFin, TextosEntorno[21], TextosZona[3], false,
                        5, p.EeMask);
      break;
    case 18:
      if (RamasPic18.Lee) fallo = RamasPic18.Lee();
      break;
    default:
      break;
  }
  SumaProgreso(10);
  return fallo;
}

}  // namespace

bool LeerPic() {
  const bool fallo = LeeAreas();
  if (!fallo) AvisaProteccion();
  return fallo;
}

bool LeeZona14(uint16_t* buffer, uint16_t first, uint16_t last, const std::string& tipo,
               const std::string& zona, bool cargaConfig, uint8_t comandoLectura, uint16_t) {
  if (last == 0) return false;
  InterfazOperacion().Log(LineaZona(TextosEntorno[16], zona, last - first + 1u, tipo));
  LimpiaPanel();
  const uint16_t desde = static_cast<uint16_t>(first - PicActual.IdIni);
  if (USB_COM) {
    ResetProgramador();
    SumaXor = 0;
    TPaquete[0] = '>';
    TPaquete[1] = '1';
    TPaquete[2] = static_cast<uint8_t>((last - first) & 0xFF);
    TPaquete[3] = static_cast<uint8_t>((last - first) >> 8);
    TPaquete[4] = static_cast<uint8_t>(desde & 0xFF);
    TPaquete[5] = Zocalo2 ? 1 : 0;
    TPaquete[6] = comandoLectura;
    TPaquete[7] = cargaConfig ? 1 : 0;
    return LeeBloque(buffer, first, last);
  }
  EntraProgramacion();
  if (cargaConfig) {
    EnviaComando6(0);
    EnviaDato14(0x3FFF);
    Incrementa(desde);
  }
  for (uint32_t a = first; a <= last; ++a) {
    SumaProgreso(1);
    EnviaComando6(comandoLectura);
    buffer[a - first] = LeeDato14();
    EnviaComando6(6);
    if (CanceladoEnZona()) return true;
  }
  SaleProgramacion();
  return false;
}

namespace {

// Verifies one area with its log lines; true when it failed.
bool VerificaArea(const std::string& zona, const uint16_t* archivo, const uint16_t* dispositivo,
                  uint32_t first, bool config, uint16_t mascara, uint32_t cuenta, bool protegida = false) {
  InterfazOperacion().Log(" " + TextosEntorno[17] + " " + zona);
  if (VerificaZona(archivo, dispositivo, first, config, mascara, cuenta, protegida)) return true;
  InterfazOperacion().CambiaUltimaLinea(" " + zona + " " + TextosEntorno[19]);
  return false;
}

}  // namespace

bool VerificaPic() {
  PonMaximoProgreso(MaximoDispositivo());
  const bool trasProgramar = TipoAccion == 0;
  if (trasProgramar)
    InterfazOperacion().Log(" [ " + TextosEntorno[17] + " ]");
  PonProgreso(0);
  if (LeeAreas()) return true;
  // On its own the verify says first that the part is protected and then
  // compares everything, as the user asked; right after programming the
  // protection is the image's own.
  TZonasProtegidas protegidas;
  if (trasProgramar)
    protegidas = AnotaProteccionEscrita();
  else
    AvisaProteccion();
  InterfazOperacion().ColorProgreso(TColorProgreso::Amarillo);
  PonProgreso(0);

  const TPic& p = PicActual;
  const TBuffers& a = BufArchivo;
  const TBuffers& d = BufDispositivo;
  const bool fallo =
      VerificaArea(TextosZona[0], a.Prog.data(), d.Prog.data(), p.ProgIni, false, p.ProgMask,
                   p.ProgTam, protegidas.Programa) ||
      VerificaArea(TextosZona[1], a.Id.data(), d.Id.data(), p.IdIni, false, p.IdMask, p.IdNum) ||
      VerificaArea(TextosZona[2], a.Config.data(), d.Config.data(), p.CfgIni, true, p.CfgMask,
                   p.CfgNum) ||
      (p.EeTam != 0 && VerificaArea(TextosZona[3], a.Datos.data(), d.Datos.data(), p.EeIni,
                                    false, p.EeMask, p.EeTam, protegidas.Datos));
  SumaProgreso(10);
  return fallo;
}

bool VerificaZona(const uint16_t* archivo, const uint16_t* dispositivo, uint32_t first,
                  bool config, uint16_t mascara, uint32_t cuenta, bool protegida) {
  if (cuenta == 0) return false;
  // The calibration words at the end of the configuration area are left
  // out while the user keeps them; the configuration word is always compared.
  if (config && !Act_Cal) cuenta -= std::min<uint32_t>(cuenta - 1, CeldasCalConfig());
  // Right after programming, the calibration cells hold what the run put
  // there (the saved value, or the user's choice), not the image's value.
  const bool trasProgramar = TipoAccion == 0 && CalProgramada.Valida;
  for (uint32_t i = 0; i < cuenta; ++i) {
    SumaProgreso(1);
    const uint32_t dir = first + i;
    uint16_t esperado = archivo[i];
    if (trasProgramar) {
      if (!config && dir == CalProgramada.DirOscCal) esperado = CalProgramada.ValorOscCal;
      if (config && i == 0 && CalProgramada.ConBandGap)
        esperado = static_cast<uint16_t>((esperado & ~0x3000) | CalProgramada.BitsBandGap);
    }
    if ((esperado & mascara) == (dispositivo[i] & mascara)) continue;
    // A protected cell reads 0; every cell that shows something is compared.
    if (protegida && (dispositivo[i] & mascara) == 0) continue;
    // The factory OSCCAL word that programming keeps in the last program
    // word (0x3FF of the 12F629 group, ProgFin of a 10F20x) against a blank
    // image cell: the area ends there, passed.
    if (!config && (archivo[i] & mascara) == mascara && dir == DireccionOscCal()) return false;
    ContextoError.Direccion = dir;
    ContextoError.Esperado = static_cast<uint16_t>(esperado & mascara);
    ContextoError.Leido = static_cast<uint16_t>(dispositivo[i] & mascara);
    MuestraError(ContextoError, ErrVerificacion);
    return true;
  }
  return false;
}
