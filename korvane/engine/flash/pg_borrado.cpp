// Bulk erase of the 12-bit and 14-bit flash devices, with the factory
// calibration values (OSCCAL, backup OSCCAL, band-gap bits) saved before
// and, for the user's erase, written back after.
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

uint16_t OscCal = 0;
uint16_t OscCalBackup = 0;
uint16_t BandGap = 0;
bool Act_Cal = false;

namespace {

std::string E(const char* clave) { return TextoIdioma("pg_err*", clave); }
void Log(const std::string& linea) { InterfazOperacion().Log(linea); }

// Erase type byte of the firmware programmer's "8" command.
uint8_t TipoBorrado() {
  const uint8_t i = IndicePic();
  if (PicActual.Familia == 10) return 5;
  if (PicActual.Familia == 18) return GrupoModUSB ? 126 : 127;
  if (GrupoOscCalBandGap()) return 1;
  if (EnLista(i, {5, 7, 13, 14, 17, 18, 9, 11, 15})) return 2;
  if (i >= 19 && i <= 27) return 4;
  if (EnLista(i, {31, 32, 33, 34, 39, 41, 43, 45})) return 3;
  return 0;
}

// The calibration values of the last erase that found them on the chip.
// An erase whose programming run then failed leaves the chip without
// them; the next erase of the same device takes the kept values instead of
// the blank cells, so they are not lost.
struct TCalGuardada {
  bool Valida = false;
  uint8_t Indice = 0;
  uint16_t OscCal = 0, OscCalBackup = 0, BandGap = 0;
} CalGuardada;

constexpr uint16_t BandGapBorrado = 0x3000;

// A factory OSCCAL word is the instruction that hands the value over:
// MOVLW k on the 12-bit parts, RETLW k on the 14-bit ones. Anything else
// is no value: the erased word, or the zeros a code-protected 14-bit part
// reads from every program word, OSCCAL included.
bool EsOscCal(uint16_t v) {
  return PicActual.Familia == 10 ? (v & 0x0F00) == 0x0C00 : (v & 0x3F00) == 0x3400;
}

// Settles OscCal, OscCalBackup and BandGap as read from the chip with what
// is kept. False when no OSCCAL value is known: OscCal is then the blank
// word, so that nothing but blank is written in its place.
bool GuardaOUsaCalibracion(uint16_t blanco) {
  const uint8_t i = IndicePic();
  const bool guardada = CalGuardada.Valida && CalGuardada.Indice == i;
  // The backup copy is there for exactly this.
  if (!EsOscCal(OscCal) && PicActual.Familia == 10 && EsOscCal(OscCalBackup)) OscCal = OscCalBackup;
  if (EsOscCal(OscCal)) {
    // The kept OSCCAL on the chip again: the same chip. Erased band-gap
    // bits are then those of a run stopped after the OSCCAL word and
    // before the configuration word, not the factory's.
    if (guardada && CalGuardada.OscCal == OscCal && BandGap == BandGapBorrado)
      BandGap = CalGuardada.BandGap;
    CalGuardada = {true, i, OscCal, OscCalBackup, BandGap};
    return true;
  }
  if (guardada) {
    OscCal = CalGuardada.OscCal;
    if (BandGap == BandGapBorrado) BandGap = CalGuardada.BandGap;
    if (!EsOscCal(OscCalBackup)) OscCalBackup = CalGuardada.OscCalBackup;
    return true;
  }
  OscCal = blanco;
  return false;
}

// No OSCCAL value to write back: the user must put in the one noted for
// the chip.
void AvisaOscCalIlegible() {
  InterfazOperacion().Mensaje(" " + TextoIdioma("pg_err*", "56*") + " OSCCAL");
}

bool ExitoBorrado() {
  Log(" " + TextosEntorno[23]);
  PonProgreso(100);
  return false;
}

bool NoBorrable() {
  Log(" " + E("54*"));
  return false;
}

// --- firmware programmer ---------------------------------------------------------

bool LeeValor(const char* nombre, uint16_t& destino) {
  Log(" " + E("msg1*") + " " + nombre);
  if (!LeeRespuesta(3)) return false;
  destino = static_cast<uint16_t>(BufferRx[0] | BufferRx[1] << 8);
  return true;
}

bool LeeEstado(const char* nombre) {
  Log(" " + E("msg3*") + " " + nombre);
  if (!LeeRespuesta(1)) return false;
  if (BufferRx[0] == 1) return true;
  InterfazOperacion().Mensaje(" " + E("Err1*") + " " + nombre);
  return false;
}

bool BorraPicFw() {
  const uint8_t tipo = TipoBorrado();
  const uint8_t i = IndicePic();
  ResetProgramador();
  SumaXor = 0;
  TPaquete[0] = '>';
  TPaquete[1] = '8';
  TPaquete[2] = tipo;
  TPaquete[3] = (CeldasCalConfig() && Act_Cal) ? 1 : 0;
  TPaquete[4] = EnLista(i, {5, 13, 14}) ? 9 : 8;
  TPaquete[5] = static_cast<uint8_t>(PicActual.ProgFin >> 8);
  TPaquete[6] = static_cast<uint8_t>(TipoAccion & 0xFF);
  TPaquete[7] = Zocalo2 ? 1 : 0;
  if (!EnviaPaquete(8)) return true;

  bool bien = true;
  bool conocido = true;
  if (tipo == 5) {
    bien = LeeValor("OSCCAL", OscCal) && LeeValor("Backup_OSCCAL", OscCalBackup);
    if (bien && !(conocido = GuardaOUsaCalibracion(0x0FFF))) AvisaOscCalIlegible();
    bien = bien && (TipoAccion != 3 || LeeEstado("OSCCAL")) && LeeEstado("Backup_OSCCAL");
  } else if (tipo == 1) {
    bien = LeeValor("OSCCAL", OscCal) && LeeValor("Bandgap", BandGap);
    BandGap &= 0x3000;
    if (bien && !(conocido = GuardaOUsaCalibracion(0x3FFF))) AvisaOscCalIlegible();
    bien = bien && (TipoAccion != 3 || (LeeEstado("OSCCAL") && LeeEstado("Bandgap")));
  }
  if (!bien) {
    LeeRespuesta(3);
    return true;
  }
  if (!LeeRespuesta(3)) return true;
  if (BufferRx[2] != tipo) {
    MuestraError(ContextoError, ErrBorrado);
    return true;
  }
  // The board wrote back what it read; without a known value that is no
  // calibration, and the user's erase has not done its job.
  if (!conocido && TipoAccion == 3) return true;
  return ExitoBorrado();
}

// --- pin level --------------------------------------------------------------------

// Programs one calibration word at the counter and reads it back.
uint16_t EscribeYLee(uint16_t valor, uint16_t espera, bool fin14) {
  EnviaComando6(2);
  EnviaDato14(valor);
  EnviaComando6(8);
  EsperaMs(espera);
  if (fin14) EnviaComando6(14);
  EnviaComando6(4);
  return LeeDato14();
}

// A calibration value that did not read back: the message, and failed.
bool NoRestaurado(const std::string& texto) {
  InterfazOperacion().Mensaje(texto);
  return true;
}

bool Borra10F() {
  const TPic& p = PicActual;
  Log(" " + E("msg1*") + " OSCCAL");
  EntraProgramacion();
  Incrementa(p.ProgFin + 1);
  EnviaComando6(4);
  OscCal = LeeDato14();
  Log(" " + E("msg1*") + " Backup_OSCCAL");
  Incrementa(p.IdFin - p.ProgFin + 1);
  EnviaComando6(4);
  OscCalBackup = LeeDato14();
  const bool conocido = GuardaOUsaCalibracion(0x0FFF);
  if (!conocido) AvisaOscCalIlegible();

  SaleProgramacion();
  EntraProgramacion();
  Incrementa(p.IdIni + 1);
  EnviaComando6(9);
  EsperaMs(10);

  // Each value goes back even when another one did not take: the backup
  // copy is what saves a lost OSCCAL word.
  bool fallo = false;
  if (TipoAccion == 3 && conocido) {
    Log(" " + E("msg3*") + " OSCCAL");
    SaleProgramacion();
    EntraProgramacion();
    Incrementa(p.ProgFin + 1);
    if (EscribeYLee(OscCal, p.TiempoPgm, true) != OscCal)
      fallo = NoRestaurado(" " + E("Err1*") + " OSCCAL");
  }
  if (EsOscCal(OscCalBackup)) {
    Log(" " + E("msg3*") + " Backup_OSCCAL");
    SaleProgramacion();
    EntraProgramacion();
    Incrementa(p.IdFin + 2);
    if (EscribeYLee(OscCalBackup, p.TiempoPgm, true) != OscCalBackup)
      fallo = NoRestaurado(" " + E("Err1*") + " Backup_OSCCAL");
  }
  SaleProgramacion();
  if (fallo || (TipoAccion == 3 && !conocido)) return true;
  return ExitoBorrado();
}

bool BorraOscCalBandGap() {
  Log(" " + E("msg1*") + " OSCCAL");
  EntraProgramacion();
  EnviaComando6(2);
  EnviaDato14(0x0004);
  Incrementa(1023);
  EnviaComando6(4);
  OscCal = LeeDato14();
  Log(" " + E("msg1*") + " Bandgap");
  EntraProgramacion();
  EnviaComando6(0);
  EnviaDato14(0x0004);
  Incrementa(8199);
  EnviaComando6(4);
  BandGap = LeeDato14() & 0x3000;
  const bool conocido = GuardaOUsaCalibracion(0x3FFF);
  if (!conocido) AvisaOscCalIlegible();

  BorraTodo14();

  if (TipoAccion == 3) {
    // The band-gap bits go back even when OSCCAL did not take.
    bool fallo = !conocido;
    if (conocido) {
      Log(" " + E("msg3*") + " OSCCAL");
      EntraProgramacion();
      Incrementa(1023);
      if (EscribeYLee(OscCal, 3, false) != OscCal) fallo = NoRestaurado(E("Err1*") + " OSCCAL");
    }
    Log(" " + E("msg3*") + " Bandgap");
    EntraProgramacion();
    EnviaComando6(0);
    EnviaDato14(0x3FFF);
    Incrementa(8199);
    if ((EscribeYLee(BandGap ^ 0xCFFF, 3, false) & 0x3000) != BandGap)
      fallo = NoRestaurado(E("Err1*") + " Bandgap");
    SaleProgramacion();
    if (fallo) return true;
  }
  Log("");
  return ExitoBorrado();
}

bool Borra14() {
  const uint8_t i = IndicePic();
  if (GrupoOscCalBandGap()) return BorraOscCalBandGap();
  if (CeldasCalConfig()) {
    BorraTodo14();
    if (Act_Cal) {
      EntraProgramacion();
      EnviaComando6(0);
      EnviaDato14(0x3FFF);
      Incrementa(EnLista(i, {5, 13, 14}) ? 9 : 8);
      EnviaComando6(9);
      EsperaMs(10);
      SaleProgramacion();
    }
  } else if (EnLista(i, {9, 11, 15})) {
    BorraTodo14();
  } else if (i >= 19 && i <= 27) {
    EntraProgramacion();
    EnviaComando6(0);
    EnviaDato14(0x2000);
    EnviaComando6(9);
    EsperaMs(30);
    SaleProgramacion();
  } else if (EnLista(i, {31, 32, 33, 34, 39, 41, 43, 45})) {
    EntraProgramacion();
    EnviaComando6(0);
    EnviaDato14(0x3FFF);
    EnviaComando6(31);
    EsperaMs(20);  // the whole chip's erase time
    EnviaComando6(23);
    SaleProgramacion();
  } else {
    // Code-protect sequence: protect, then the setup pair erases everything
    // with the counter on the configuration word.
    for (int pasada = 1; pasada <= 3; ++pasada) {
      EntraProgramacion();
      EnviaComando6(0);
      EnviaDato14(0x3FFF);
      Incrementa(7);
      if (pasada == 1) {
        EnviaComando6(2);
        EnviaDato14(0x0000);
        EnviaComando6(8);
        EsperaMs(20);
      } else {
        EnviaComando6(1);
        EnviaComando6(7);
        EnviaComando6(8);
        EsperaMs(pasada == 2 ? 10 : 20);
        EnviaComando6(1);
        EnviaComando6(7);
      }
      SaleProgramacion();
    }
  }
  return ExitoBorrado();
}

}  // namespace

void BorraTodo14() {
  EntraProgramacion();
  EnviaComando6(2);
  EnviaDato14(0x2000);
  EnviaComando6(9);
  EsperaMs(10);
  EntraProgramacion();
  EnviaComando6(3);
  EnviaDato14(0x3FFF);
  EnviaComando6(11);
  EsperaMs(10);
  EntraProgramacion();
  EnviaComando6(0);
  EnviaDato14(0x3FFF);
  EnviaComando6(9);
  EsperaMs(10);
  SaleProgramacion();
}

bool BorraPic() {
  // EPROM parts have no electrical erase.
  if (ClaseDispositivo == 1) return NoBorrable();
  PonMaximoProgreso(100);
  InterfazOperacion().ColorProgreso(TColorProgreso::Rojo);
  const uint8_t familia = PicActual.Familia;
  if (ClaseDispositivo == 2 || (familia != 10 && familia != 16 && familia != 18)) return NoBorrable();
  if (familia == 18 && !RamasPic18.Borra && !USB_COM) return NoBorrable();
  if (USB_COM) return BorraPicFw();
  if (familia == 10) return Borra10F();
  if (familia == 16) return Borra14();
  if (RamasPic18.Borra()) return true;
  return ExitoBorrado();
}
