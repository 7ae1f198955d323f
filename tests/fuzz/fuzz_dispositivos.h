// The devices the image fuzz targets load files for, one of every family
// and size class; the first input byte chooses one.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <iterator>

#include "pg_catalogo.h"
#include "pg_pic.h"

struct TDispositivo {
  uint8_t clase, indice;
};
// 10F200, 16F84, 16F877a, 12F683, 18F452, 18F2410 (no EEPROM), 18F8720
// (128 KB), 30F2011 (no EEPROM), 30F6014, 16C64, 24C01, 24C512.
inline constexpr TDispositivo Dispositivos[] = {{0, 0},  {0, 29}, {0, 45}, {0, 7},  {0, 52}, {0, 70},
                                         {0, 69}, {0, 99}, {0, 119}, {1, 5}, {2, 0},  {2, 9}};

inline void Selecciona(uint8_t n) {
  const TDispositivo& d = Dispositivos[n % std::size(Dispositivos)];
  ClaseDispositivo = d.clase;
  (d.clase == 1 ? IndiceListPicsC : d.clase == 2 ? IndiceListEeprom : IndiceListPics) = d.indice;
  if (PonDispositivo() != 0) std::abort();
}

