// The entry points of the dsPIC family: read, program, erase and verify.
#include <array>

#include "dspic/pg_dspic.h"
#include "dspic/pg_dspic_comun.h"
#include "dspic/pg_dspic_icsp.h"
#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "pg_proteccion.h"

namespace {

constexpr uint32_t DirConfig = 0xF80000;

uint32_t CuentaConfig() { return PicActual.CfgNum / 4 + 1; }

bool LeeAreas(bool exec) {
  const TPic& p = PicActual;
  TBuffers& b = BufDispositivo;
  return LeeZonaDsPic(b.Prog.data(), 0, p.ProgTam / 2, ZonaDsPrograma, ZonaDs(ZonaDsPrograma)) ||
         LeeZonaDsPic(b.Datos.data(), static_cast<uint32_t>(p.EeIni), p.EeTam, ZonaDsDatos,
                      ZonaDs(ZonaDsDatos)) ||
         (exec && LeeZonaDsPic(b.Exec.data(), static_cast<uint32_t>(p.ExecIni), p.ExecTam / 2u,
                               ZonaDsEjecutivo, ZonaDs(ZonaDsEjecutivo))) ||
         LeeZonaDsPic(b.Config.data(), static_cast<uint32_t>(p.CfgIni), CuentaConfig(), ZonaDsConfig,
                      ZonaDs(ZonaDsConfig));
}

bool ProgramaAreas(bool exec) {
  const TPic& p = PicActual;
  const TBuffers& b = BufDispositivo;
  return ProgramaZonaDsPic(b.Prog.data(), 0, p.ProgTam / 2, ZonaDsPrograma, ZonaDs(ZonaDsPrograma)) ||
         ProgramaZonaDsPic(b.Datos.data(), static_cast<uint32_t>(p.EeIni), p.EeTam, ZonaDsDatos,
                           ZonaDs(ZonaDsDatos)) ||
         (exec && ProgramaZonaDsPic(b.Exec.data(), static_cast<uint32_t>(p.ExecIni), p.ExecTam / 2u,
                                    ZonaDsEjecutivo, ZonaDs(ZonaDsEjecutivo))) ||
         ProgramaZonaDsPic(b.Config.data(), DirConfig, CuentaConfig(), ZonaDsConfig,
                           ZonaDs(ZonaDsConfig));
}

// Every register must read back as its implemented bits.
bool CompruebaBorrado(const std::array<uint16_t, 7>& leidos, bool juegoA) {
  const auto& bits = BitsConfig(juegoA);
  for (uint32_t r = 0; r < 7; ++r) {
    if (leidos[r] != bits[r]) {
      Error24Ds(ErrEscritura, DirConfig + 2 * r, bits[r], leidos[r]);
      MuestraError(ContextoError, ErrBorrado);
      SaleProgramacion();
      return true;
    }
  }
  return false;
}

bool BorraFw(uint8_t variante, bool juegoA) {
  OrdenDs('H', variante, juegoA ? 1 : 0, 0, 0, 0, Z2Ds());
  if (!EnviaPaquete(8)) {
    MuestraError(ContextoError, ErrSinRespuesta);
    return true;
  }
  if (!LeeRespuesta(15)) return true;
  uint8_t x = 0;
  for (int i = 0; i < 14; ++i) x ^= BufferRx[i];
  if (x != BufferRx[14]) {
    MuestraError(ContextoError, ErrChecksumEnlace);
    return true;
  }
  if (variante != 0) return false;
  std::array<uint16_t, 7> leidos{};
  for (int r = 0; r < 7; ++r) leidos[r] = static_cast<uint16_t>(BufferRx[2 * r] | BufferRx[2 * r + 1] << 8);
  return CompruebaBorrado(leidos, juegoA);
}

bool BorraIcsp(uint8_t variante, bool juegoA) {
  std::array<uint16_t, CeldasConfigDs> unos{};
  for (int r = 0; r < 7; ++r) unos[4 * r] = 0xFFFF;
  if (variante == 1) {
    SaleProgramacion();
    EntraProgramacion();
    EscribeConfigDs(unos.data(), 3);
  }
  SaleProgramacion();
  EntraProgramacion();  // the erase starts from a freshly reset part
  SaltaReset();
  EnviaSIX(0x2407FA);  // MOV #0x407F, W10: erase everything
  EnviaSIX(0x883B0A);
  EnviaClavesNvm();
  IniciaEscrituraNvmCorta();
  if (variante != 0) return false;
  EscribeConfigDs(unos.data(), 4);
  std::array<uint16_t, CeldasConfigDs> celdas{};
  LeeConfigDs(celdas.data());
  std::array<uint16_t, 7> leidos{};
  for (int r = 0; r < 7; ++r) leidos[r] = celdas[4 * r];
  return CompruebaBorrado(leidos, juegoA);
}

}  // namespace

namespace {

// Every area into BufDispositivo: 0, or the code of the error reported.
uint8_t LeeTodo(bool incluyeExec) {
  const TPic& p = PicActual;
  ContextoError.Codigo = 0;
  LimpiaProg(BufDispositivo.Prog, p.ProgMask);
  LimpiaDatos(BufDispositivo.Datos, p.EeMask);
  LimpiaConfig(BufDispositivo.Config, p.CfgMask);
  LimpiaExec(BufDispositivo.Exec);
  auto& ui = InterfazOperacion();
  ui.ColorProgreso(TColorProgreso::Lima);
  PonProgreso(0);
  PonMaximoProgreso(p.ProgTam + CuentaConfig() + p.EeTam + (incluyeExec ? p.ExecTam : 0u));
  return ResultadoDs(LeeAreas(incluyeExec));
}

}  // namespace

uint8_t LeeDsPic(bool incluyeExec) {
  const uint8_t r = LeeTodo(incluyeExec);
  if (r == 0) AvisaProteccion();
  return r;
}

uint8_t BorraDsPic(uint8_t variante) {
  ContextoError.Codigo = 0;
  const bool juegoA = DaMaskAB();
  EntraProgramacion();
  RetardoPgm = 2;
  auto& ui = InterfazOperacion();
  PonMaximoProgreso(100);
  ui.ColorProgreso(TColorProgreso::Rojo);
  PonProgreso(0);
  if (variante == 0) ui.Log(" " + TextosEntorno[20]);
  if (USB_COM ? BorraFw(variante, juegoA) : BorraIcsp(variante, juegoA)) return ResultadoDs(true);
  if (variante == 0) {
    ui.CambiaUltimaLinea(" " + TextosEntorno[23]);
    PonProgreso(100);
  }
  SaleProgramacion();
  return 0;
}

uint8_t ProgramaDsPic() {
  const TPic& p = PicActual;
  ContextoError.Codigo = 0;
  RetardoPgm = 2;
  IncluyeExec = EjecutivoConDatos();
  auto& ui = InterfazOperacion();
  uint8_t r;
  if (IncluyeExec) {
    const TRespuesta resp = ui.Pregunta(" " + TextoError("47*") + SaltoMensaje + "   " + TextoError("48*"), true);
    if (resp == TRespuesta::Cancelar) {
      IncluyeExec = false;
      return static_cast<uint8_t>(MuestraError(ContextoError, ErrCancelado));
    }
    r = BorraDsPic(0);
    if (resp == TRespuesta::Si) {
      if (r == 0) r = BorraDsPic(1);
    } else {
      IncluyeExec = false;
    }
  } else {
    r = BorraDsPic(0);
  }
  if (r != 0) return r;
  PonProgreso(0);
  ui.ColorProgreso(TColorProgreso::Rojo);
  ui.Log(" [ " + TextosEntorno[14] + " ]");
  PanelRetardo();
  PonMaximoProgreso(p.ProgTam + p.CfgNum + p.EeTam + (IncluyeExec ? p.ExecTam : 0u));
  ContextoError.Codigo = 0;
  if (ProgramaAreas(IncluyeExec)) return ResultadoDs(true);
  ui.ColorProgreso(TColorProgreso::Lima);
  return 0;
}

uint8_t VerificaDsPic(bool incluyeExec) {
  const TPic& p = PicActual;
  auto& ui = InterfazOperacion();
  const bool trasProgramar = TipoAccion == 0;
  bool exec;
  if (trasProgramar) {
    ui.Log(" [ " + TextosEntorno[17] + " ]");
    exec = incluyeExec;
  } else {
    exec = EjecutivoConDatos();
  }
  if (const uint8_t r = LeeTodo(exec)) return r;
  // On its own the verify says first that the part is protected and then
  // compares everything; right after programming the protection is the
  // image's own.
  TZonasProtegidas protegidas;
  if (trasProgramar)
    protegidas = AnotaProteccionEscrita();
  else
    AvisaProteccion();
  ui.ColorProgreso(TColorProgreso::Amarillo);
  PonMaximoProgreso(p.ProgTam + p.EeTam + (exec ? p.ExecTam : 0u));
  PonProgreso(0);
  const TBuffers& d = BufDispositivo;
  const TBuffers& a = BufArchivo;
  const bool fallo =
      VerificaZonaDsPic(d.Prog.data(), a.Prog.data(), 0, ZonaDsPrograma, ZonaDs(ZonaDsPrograma), p.ProgTam,
                        protegidas.Programa) ||
      VerificaZonaDsPic(d.Datos.data(), a.Datos.data(), static_cast<uint32_t>(p.EeIni), ZonaDsDatos,
                        ZonaDs(ZonaDsDatos), p.EeTam, protegidas.Datos) ||
      (exec && VerificaZonaDsPic(d.Exec.data(), a.Exec.data(), static_cast<uint32_t>(p.ExecIni),
                                 ZonaDsEjecutivo, ZonaDs(ZonaDsEjecutivo), p.ExecTam)) ||
      // All seven registers, whatever CfgNum says (it counts six).
      VerificaZonaDsPic(d.Config.data(), a.Config.data(), DirConfig, ZonaDsConfig, ZonaDs(ZonaDsConfig),
                        CeldasConfigDs);
  return ResultadoDs(fallo);
}
