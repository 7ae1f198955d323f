// Read, verify and program of the serial EEPROMs: the steps common to both
// kinds of programmer; the bus work is in pg_i2c_pines.cpp (pin level) and
// pg_i2c_fw.cpp (firmware programmer).
#include "i2c/pg_i2c.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "hw/pg_perfil.h"
#include "i2c/pg_i2c_comun.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

uint8_t ErrorI2C = 0;
uint16_t PaginaI2C = 8;

namespace {

// Page sizes the engine writes, by ListEeprom index 0-9 (24C01 .. 24C512).
constexpr std::array<uint16_t, 10> Paginas{8, 8, 8, 8, 16, 32, 32, 64, 64, 64};
constexpr uint8_t PrimeroDosBytes = 5;  // 24C32

uint32_t posicion_ = 0, maximo_ = 0;

}  // namespace

uint16_t PaginaDeEeprom(uint8_t indice) { return indice < Paginas.size() ? Paginas[indice] : 8; }

bool DosBytesDireccion(uint8_t indice) { return indice >= PrimeroDosBytes; }

uint8_t ControlI2C8(uint32_t direccion) {
  return static_cast<uint8_t>(0xA0 | (((direccion >> 8) & 7) << 1));
}

void PonProgresoI2C(uint32_t posicion, uint32_t maximo) {
  posicion_ = posicion;
  maximo_ = maximo;
  InterfazOperacion().Progreso(posicion_, maximo_);
}

void AvanzaProgresoI2C() { PonProgresoI2C(posicion_ + 1, maximo_); }

std::string LineaZonaI2C(std::size_t item, uint32_t cuenta, std::size_t itemClase) {
  char n[16];
  std::snprintf(n, sizeof n, "%6u", static_cast<unsigned>(cuenta));
  // A serial EEPROM is one area: the part's own name says which.
  return " " + TextosEntorno[item] + " " + PicActual.Nombre + n + " " + TextosEntorno[itemClase];
}

uint8_t LeeI2C() {
  auto& ui = InterfazOperacion();
  ui.ColorProgreso(TColorProgreso::Lima);
  // The whole device area goes blank, however large the part: a read that
  // fails half-way must not leave cells of an earlier image behind.
  const std::size_t celdas = std::min<std::size_t>(std::max<std::size_t>(TamDatos, PicActual.ProgTam), TamProg);
  std::fill_n(BufDispositivo.Prog.begin(), celdas, PicActual.ProgMask);
  ui.Log(LineaZonaI2C(16, PicActual.ProgTam, 21));
  PonProgresoI2C(0, PicActual.ProgFin);
  const bool dos = DosBytesDireccion(IndiceListEeprom);
  return USB_COM ? LeeI2CFw(dos) : LeeI2CPines(dos);
}

uint8_t VerificaI2C() {
  auto& ui = InterfazOperacion();
  ui.Log(" [ " + TextosEntorno[17] + " ]");
  if (const uint8_t r = LeeI2C()) return r;
  ui.ColorProgreso(TColorProgreso::Amarillo);
  PonProgresoI2C(0, PicActual.ProgFin);
  const uint16_t mascara = PicActual.ProgMask;
  for (uint32_t i = 0; i <= PicActual.ProgFin && i < TamProg; ++i) {
    const uint16_t leido = BufDispositivo.Prog[i] & mascara;
    const uint16_t esperado = BufArchivo.Prog[i] & mascara;
    if (leido != esperado) {
      ContextoError.Direccion = i;
      ContextoError.Esperado = esperado;
      ContextoError.Leido = leido;
      return static_cast<uint8_t>(MuestraError(ContextoError, ErrVerificacion));
    }
  }
  // Every cell compared: the gauge stands full.
  PonProgresoI2C(PicActual.ProgFin, PicActual.ProgFin);
  ui.CambiaUltimaLinea(" " + TextosEntorno[25]);
  return 0;
}

uint8_t ProgramaI2C() {
  auto& ui = InterfazOperacion();
  PaginaI2C = PaginaDeEeprom(IndiceListEeprom);
  const bool dos = DosBytesDireccion(IndiceListEeprom);
  // The delay pane; the link pane keeps its text.
  ui.Panel(2, "Pgm - 10 ms");
  ui.ColorProgreso(TColorProgreso::Rojo);
  ui.Log(" [ " + TextosEntorno[14] + " ]");
  ui.Log(LineaZonaI2C(15, PicActual.ProgTam, 21));
  ErrorI2C = 0;
  PonProgresoI2C(0, 100);
  if (const uint8_t r = USB_COM ? ProgramaI2CFw(dos) : ProgramaI2CPines(dos)) return r;
  ui.ColorProgreso(TColorProgreso::Lima);
  if (!USB_COM) PonProgresoI2C(100, 100);
  return 0;
}
