// Programming of the 14-bit EPROM devices: each word is compared before
// every programming pulse, so a word already right gets none, and once more
// after the last allowed pulse.
#include "flash/pg_flash.h"
#include "flash/pg_flash_comun.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

void PulsoPicC() {
  EnviaComando6(2);
  EnviaDato14(ContextoError.Esperado);
  EnviaComando6(8);
  EsperaMs(RetardoPgm);
  EnviaComando6(14);
}

bool ComparaPicC(uint16_t mascara) {
  EnviaComando6(4);
  ContextoError.Leido = LeeDato14();
  return (ContextoError.Esperado & mascara) == (ContextoError.Leido & mascara);
}

bool ProgramaPicC() {
  if (USB_COM) {
    InterfazOperacion().Mensaje(" " + TextoIdioma("pg_err*", "43*"));
    return true;
  }
  PonProgreso(0);
  InterfazOperacion().ColorProgreso(TColorProgreso::Rojo);
  PonMaximoProgreso(MaximoDispositivo());
  InterfazOperacion().Log(" [ " + TextosEntorno[14] + " ]");
  RetardoPgm = 2;
  const TPic& p = PicActual;
  const TBuffers& b = BufDispositivo;
  const bool fallo =
      ProgramaZonaPicC(b.Prog.data(), p.ProgIni, p.ProgFin, TextosZona[0], false, TZona::Programa,
                       p.ProgMask) ||
      ProgramaZonaPicC(b.Id.data(), p.IdIni, p.IdFin, TextosZona[1], true, TZona::Id, p.IdMask) ||
      ProgramaZonaPicC(b.Config.data(), p.CfgIni, p.CfgFin, TextosZona[2], true, TZona::Config,
                       p.CfgMask);
  SumaProgreso(10);
  if (!fallo) InterfazOperacion().ColorProgreso(TColorProgreso::Lima);
  return fallo;
}

bool ProgramaZonaPicC(const uint16_t* buffer, uint16_t first, uint16_t last,
                      const std::string& zona, bool cargaConfig, TZona area, uint16_t mascara) {
  InterfazOperacion().Log(LineaZona(TextosEntorno[15], zona, last - first + 1u, TextosEntorno[22]));
  if (last == 0) return false;
  EntraProgramacion();
  int intentos = 20;
  if (cargaConfig) {
    if (area == TZona::Config) {
      RetardoPgm = 20;
      intentos = 2;
    }
    EnviaComando6(0);
    EnviaDato14(0x3FFF);
    Incrementa(static_cast<uint16_t>(first - PicActual.IdIni));
  }
  for (uint32_t a = first; a <= last; ++a) {
    SumaProgreso(1);
    const uint16_t celda = buffer[a - first];
    ContextoError.Esperado = celda;
    bool correcto = false;
    for (int k = 0; k < intentos && !(correcto = ComparaPicC(mascara)); ++k) PulsoPicC();
    // The last pulse gets its comparison too.
    if (!correcto) correcto = ComparaPicC(mascara);
    if (!correcto) {
      ContextoError.Direccion = a;
      ContextoError.Esperado = celda & mascara;
      ContextoError.Leido &= mascara;
      return FallaEscritura();
    }
    EnviaComando6(6);
    if (CanceladoEnZona()) return true;
  }
  SaleProgramacion();
  return false;
}
