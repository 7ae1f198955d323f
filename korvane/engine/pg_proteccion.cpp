#include "pg_proteccion.h"

#include <cstdint>

#include "dspic/pg_dspic.h"
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
    bloque = bytes / 4;  // 18F2220, 18F2320, 18F4220, 18F4320: four blocks
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

// An area caption, in English when no language file gave one.
std::string Zona(std::size_t k, const char* ingles) { return TextosZona[k].empty() ? ingles : TextosZona[k]; }

}  // namespace

std::vector<std::string> AreasProtegidas() {
  const TPic& p = PicActual;
  const auto& cfg = BufDispositivo.Config;
  std::vector<std::string> areas;
  if (ClaseDispositivo == 1) {
    // 16C EPROM: bits 5:4 (bit 4 alone on the smallest parts) are 11 when
    // nothing is protected; any other pair protects some of program memory.
    const uint16_t cp = p.CfgMask & 0x0030;
    if ((cfg[0] & cp) != cp) areas.push_back(Zona(0, "Program memory"));
    return areas;
  }
  if (ClaseDispositivo == 2) return areas;
  if (p.Familia == 18) {
    // Word 4 is CONFIG5H:CONFIG5L.
    const uint16_t codigo = BitsBloques18(IndiceListPics, 2 * p.ProgTam) | BitCpb;
    if ((cfg[4] & codigo) != codigo) areas.push_back(Zona(0, "Program memory"));
    if (p.EeTam != 0 && !(cfg[4] & BitCpd)) areas.push_back(Zona(3, "Data EEPROM"));
  } else if (p.Familia == 30) {
    // FGS (register 5, cell 20): the general segment reads 0 while bits 2:1
    // are not both 1 (GCP alone on the parts without GSS); bits the part
    // lacks count as 1.
    const uint16_t fgs = cfg[4 * 5] | static_cast<uint16_t>(~BitsConfig(DaMaskAB())[5]);
    if ((fgs & 0x0006) != 0x0006) areas.push_back(Zona(4, "Program memory"));
  }
  return areas;
}

bool AvisaProteccion() {
  const std::vector<std::string> areas = AreasProtegidas();
  if (areas.empty()) return false;
  std::string texto = TextoIdioma("pg_avisos*", "4*");
  if (texto.empty()) texto = "The device is code-protected: its protected areas read as 0, whatever they hold. Protected:";
  std::string aviso = " " + texto;
  for (std::size_t i = 0; i < areas.size(); ++i) aviso += (i ? ", " : " ") + areas[i];
  InterfazOperacion().Log(aviso);
  InterfazOperacion().Mensaje(aviso.substr(1));
  return true;
}
