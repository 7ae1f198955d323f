// Pieces shared by the dsPIC routines (not for other units).
#pragma once

#include <cstdint>
#include <string>

// Starts a firmware command: programmer reset, checksum cleared, the 8
// bytes in TPaquete (bytes 2-7 as given).
void OrdenDs(char letra, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7);
// Z2 of the firmware commands.
uint8_t Z2Ds();
// MuestraError24, with the code kept as the last error.
void Error24Ds(uint8_t codigo, uint32_t direccion, uint32_t esperado, uint32_t leido);
// The result of an entry point: 0, or the code of the error reported.
uint8_t ResultadoDs(bool fallo);
// Area caption and kind text of an area kind.
const std::string& ZonaDs(uint8_t tipo);
const std::string& ClaseDs(uint8_t tipo);
// A 24-bit instruction from two cells.
inline uint32_t Instruccion24(const uint16_t* c) { return c[0] | uint32_t{c[1] & 0xFFu} << 16; }
