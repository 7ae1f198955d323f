// The parsed command line of the program (filled by the batch mode).
#pragma once

#include <cstdint>
#include <string>

struct TComand {
  uint8_t Accion = 6;  // 0 program, 2 verify, 5 start-up, 6 nothing to do
  uint8_t Correcto = 0;
  std::string Archivo;
  std::string Dispositivo;
  uint8_t AutoDetecta = 0;
  uint8_t Salir = 0;
  uint8_t ForzarHex = 0;
};

extern TComand Comand;
