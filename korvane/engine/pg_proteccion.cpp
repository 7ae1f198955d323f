#include "pg_proteccion.h"

#include <cstdint>

#include "conf/TablasConf.h"
#include "dspic/pg_dspic.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

// CONFIG5L holds one code-protection bit per block of program memory above
// the boot block, and an unimplemented bit reads 0: only the bits of the
// blocks the part has may count. Block sizes by family, from the parts'
// memory maps.
uint16_t BitsBloques18(uint8_t indice, uint32_t bytes) {
  uint32_t bloque;
  if (indice == 54 || indice == 55)
    bloque = bytes / 2;  // 18F1220, 18F1320: two blocks
  else if (indice >= 56 && indice <= 59)
    bloque = 0x800;  // 18F2220, 18F2320, 18F4220, 18F4320: 2 KB blocks (two on the 4 KB parts)
  else if (indice >= 60 && indice <= 63)
    bloque = 0x1000;  // 18F2331 family: 4 KB blocks
  else
    bloque = bytes > 0x8000 ? 0x4000 : 0x2000;  // 16 KB blocks above 32 KB, 8 KB up to it
  uint32_t bloques = bloque ? bytes / bloque : 0;
  if (bloques > 8) bloques = 8;
  return static_cast<uint16_t>((1u << bloques) - 1u);
}

constexpr uint16_t BitCpb = 0x4000;  // CONFIG5H bit 6: boot block
constexpr uint16_t BitCpd = 0x8000;  // CONFIG5H bit 7: data EEPROM

// The 12-bit, 14-bit and EPROM parts place their protection bits part by
// part; where they are is what the part's configuration editor knows, so
// its table is read here rather than repeated: a control captioned "CP"
// guards program memory, one captioned "CPD" the data EEPROM. The part is
// protected as far as its editor would show protection for these words: a
// ticked box, or a choice that is neither the field's first ("Off") nor
// captioned "Off" on this part; a pattern no choice matches protects too.
TZonasProtegidas SegunEditor(const std::array<uint16_t, TamConfig>& cfg) {
  TZonasProtegidas z;
  const bool eprom = ClaseDispositivo == ClaseEprom;
  const int indice = eprom ? IndiceListPicsC : IndiceListPics;
  const TTablaConf* t = TablaConf(EditorDeDispositivo(eprom ? ClaseEprom : ClaseFlash, indice));
  if (!t) return z;
  const TEstadoConf e = CargaConf(*t, indice, {}, cfg);
  const TVistaConf v = VistaConf(*t, indice, &e);
  for (int n = 0; n < NumControles(*t); ++n) {
    if (!Aplica(*t, n, indice) || !Cuenta(*t, n, e)) continue;
    const TVistaControl& c = v.controles[static_cast<size_t>(n)];
    if (c.texto != "CP" && c.texto != "CPD") continue;
    const int o = e.valores[static_cast<size_t>(n)];
    const bool protege = o < 0 || (o > 0 && c.opciones[static_cast<size_t>(o)].texto != "Off");
    (c.texto == "CP" ? z.Programa : z.Datos) |= protege;
  }
  return z;
}

// The zones' captions after the language text `clave`, as a log line.
std::string LineaAviso(const char* clave, const std::vector<std::string>& areas) {
  std::string linea = " " + TextoIdioma("pg_avisos*", clave);
  for (std::size_t i = 0; i < areas.size(); ++i) linea += (i ? ", " : " ") + areas[i];
  return linea;
}

}  // namespace

TZonasProtegidas ZonasProtegidas() {
  const TPic& p = PicActual;
  const auto& cfg = BufDispositivo.Config;
  TZonasProtegidas z;
  if (ClaseDispositivo == ClaseI2C) return z;
  if (ClaseDispositivo == ClaseEprom || p.Familia == 10 || p.Familia == 16) {
    z = SegunEditor(cfg);
  } else if (p.Familia == 18) {
    // Word 4 is CONFIG5H:CONFIG5L.
    const uint16_t codigo = BitsBloques18(IndiceListPics, 2 * p.ProgTam) | BitCpb;
    z.Programa = (cfg[4] & codigo) != codigo;
    z.Datos = !(cfg[4] & BitCpd);
  } else if (p.Familia == 30) {
    // FGS (register 5, cell 20): the general segment reads 0 while bits 2:1
    // are not both 1 (GCP alone on the parts without GSS); bits the part
    // lacks count as 1.
    const uint16_t fgs = cfg[4 * 5] | static_cast<uint16_t>(~BitsConfig(DaMaskAB())[5]);
    z.Programa = (fgs & 0x0006) != 0x0006;
  }
  if (p.EeTam == 0) z.Datos = false;
  return z;
}

std::vector<std::string> AreasProtegidas() {
  const TZonasProtegidas z = ZonasProtegidas();
  std::vector<std::string> areas;
  const bool dsPic = PicActual.Familia == 30 && ClaseDispositivo != ClaseEprom;
  if (z.Programa) areas.push_back(TextosZona[dsPic ? 4 : 0]);
  if (z.Datos) areas.push_back(TextosZona[3]);
  return areas;
}

bool AvisaProteccion() {
  const std::vector<std::string> areas = AreasProtegidas();
  if (areas.empty()) return false;
  const std::string aviso = LineaAviso("4*", areas);
  InterfazOperacion().Log(aviso);
  InterfazOperacion().Mensaje(aviso.substr(1));
  return true;
}

TZonasProtegidas AnotaProteccionEscrita() {
  const std::vector<std::string> areas = AreasProtegidas();
  if (!areas.empty())
    InterfazOperacion().Log(LineaAviso("5*", areas));
  return ZonasProtegidas();
}
