// The dsPIC tables and the device-ID read.
#include <array>

#include "dspic/pg_dspic.h"
#include "dspic/pg_dspic_comun.h"
#include "dspic/pg_dspic_icsp.h"
#include "fw/pg_fw.h"
#include "ident/pg_id_fw.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

bool IncluyeExec = false;

namespace {

struct TIdDsPic {
  uint16_t Id;
  uint8_t Indice;
  const char* Nombre;
};

constexpr std::array<TIdDsPic, 24> TablaIds = {{
    {0x040, 98, "30F2010"},  {0x0C0, 99, "30F2011"},   {0x0C2, 100, "30F2012"},
    {0x1C0, 101, "30F3010"}, {0x1C1, 102, "30F3011"},  {0x0C1, 103, "30F3012"},
    {0x0C3, 104, "30F3013"}, {0x160, 105, "30F3014"},  {0x101, 106, "30F4011"},
    {0x100, 107, "30F4012"}, {0x141, 108, "30F4013"},  {0x080, 109, "30F5011"},
    {0x081, 110, "30F5013"}, {0x200, 111, "30F5015"},  {0x188, 112, "30F6010"},
    {0x192, 113, "30F6011"}, {0x2C0, 114, "30F6011a"}, {0x193, 115, "30F6012"},
    {0x2C1, 116, "30F6012a"}, {0x197, 117, "30F6013"}, {0x2C2, 118, "30F6013a"},
    {0x198, 119, "30F6014"}, {0x2C3, 120, "30F6014a"}, {0x280, 121, "30F6015"},
}};

// Reads DEVID at 0xFF0000 through the table and VISI.
uint16_t LeeIdIcsp() {
  SaleProgramacion();
  EntraProgramacion();
  SaltaReset();
  PonTblpag(6, 0xFF0000);
  PonTblpag(6, 0xFF0000);
  EnviaNOP();
  LeeTabla4Instr();
  EnviaSIX(0x883C20);
  EnviaNOP();
  const uint16_t id = LeeREGOUT();
  EnviaNOP();
  return id;
}

}  // namespace

bool DaMaskAB(uint8_t indice) {
  switch (indice) {
    case 98: case 106: case 107: case 109: case 110: case 112: case 113: case 115: case 117: case 119:
      return true;
    default:
      return false;
  }
}

bool DaMaskAB() { return DaMaskAB(IndiceListPics); }

const std::array<uint16_t, 7>& BitsConfig(bool juegoA) { return juegoA ? BitsConfigA : BitsConfigB; }

bool BuscaIdDsPic(uint16_t id, uint8_t& indice, std::string& nombre) {
  for (const auto& e : TablaIds) {
    if (e.Id == id) {
      indice = e.Indice;
      nombre = e.Nombre;
      return true;
    }
  }
  return false;
}

void OrdenDs(char letra, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7) {
  SumaXor = 0;
  ResetProgramador();
  const uint8_t orden[8] = {'>', static_cast<uint8_t>(letra), b2, b3, b4, b5, b6, b7};
  for (int i = 0; i < 8; ++i) TPaquete[i] = orden[i];
}

uint8_t Z2Ds() { return Zocalo2 ? 1 : 0; }

void Error24Ds(uint8_t codigo, uint32_t direccion, uint32_t esperado, uint32_t leido) {
  ContextoError.Direccion = direccion;
  MuestraError24(codigo, direccion, esperado, leido);
  ContextoError.Codigo = codigo;
}

uint8_t ResultadoDs(bool fallo) {
  if (!fallo) return 0;
  return static_cast<uint8_t>(ContextoError.Codigo ? ContextoError.Codigo : uint32_t{ErrEscritura});
}

const std::string& ZonaDs(uint8_t tipo) {
  switch (tipo) {
    case ZonaDsDatos: return TextosZona[5];
    case ZonaDsEjecutivo: return TextosZona[6];
    case ZonaDsConfig: return TextosZona[7];
    default: return TextosZona[4];
  }
}

const std::string& ClaseDs(uint8_t tipo) {
  return tipo == ZonaDsPrograma || tipo == ZonaDsEjecutivo ? TextosZona[8] : TextosZona[9];
}

void LeeIdDsPic(TModel& model) {
  uint16_t id = 0xFFFF;
  bool corrupta = false;
  if (USB_COM) {
    corrupta = !LeeIdFirmware('C', id);
  } else {
    id = LeeIdIcsp();
  }
  model.Responde = id != 0xFFFF ? 1 : 0;
  model.Nombre.clear();
  model.Indice = 255;
  model.Encontrado = !corrupta && model.Responde && BuscaIdDsPic(id, model.Indice, model.Nombre);
  if (!model.Encontrado) {
    model.Indice = 255;
    model.Nombre.clear();
  }
}
