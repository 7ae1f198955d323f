#include "pic18/pg_pic18_comun.h"

#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_idioma.h"
#include "pg_pic.h"

void Nucleo18(uint16_t instruccion) {
  EnviaComando4(0);
  EnviaDato16(instruccion);
}

void Literal18(uint8_t byte, uint16_t instruccion) {
  Nucleo18(static_cast<uint16_t>(0x0E00 | byte));
  Nucleo18(instruccion);
}

void DireccionEe18(uint32_t direccion) {
  Literal18(static_cast<uint8_t>(direccion), MovwfEeadr);
  Literal18(static_cast<uint8_t>(direccion >> 8), MovwfEeadrh);
}

void WaTablat18() {
  Nucleo18(MovwfTablat);
  if (GrupoModUSB) Nucleo18(Nop18);
}

uint8_t LeeEe18() {
  Nucleo18(BsfRd);
  Nucleo18(MovfEedataW);
  WaTablat18();
  EnviaComando4(DesplazaTablat18);
  return static_cast<uint8_t>(LeeTablat() >> 8);
}

void LogZona18(uint8_t accion, const std::string& zona, uint32_t cuenta, uint8_t clase) {
  InterfazOperacion().Log(LineaZona(TextosEntorno[accion], zona, cuenta, TextosEntorno[clase]));
}

void Orden18(uint8_t letra, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7) {
  ResetProgramador();
  SumaXor = 0;
  const uint8_t orden[8] = {'>', letra, b2, b3, b4, b5, b6, b7};
  for (int i = 0; i < 8; ++i) TPaquete[i] = orden[i];
}
