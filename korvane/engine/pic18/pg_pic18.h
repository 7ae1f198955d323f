// The PIC18 flash family: read, program, configuration and bulk erase of
// every area, over the pin-level ICSP link or the firmware programmer
// (USB_COM).
//
// Buffers hold 16-bit cells: a program, ID or configuration word with the
// byte of the even address in its low half, or one data EEPROM byte.
// Every routine returns "failed": the error has then been reported through
// MuestraError (pg_err.h), and programming mode has been left.
#pragma once

#include <cstdint>
#include <string>

// Area kinds of LeeZona18.
constexpr uint8_t Zona18Memoria = 0;   // program, ID or configuration words
constexpr uint8_t Zona18Eeprom = 3;    // data EEPROM bytes
// Area kinds of ProgramaZona18.
constexpr uint8_t Programa18Codigo = 0;
constexpr uint8_t Programa18Id = 1;
constexpr uint8_t Programa18Eeprom = 2;
constexpr uint8_t Programa18Config = 3;

// Reads words first..last (kind 0, a word count from the table address
// `first`) or data EEPROM bytes first..last (kind 3) into buffer[0..].
bool LeeZona18(uint16_t* buffer, uint32_t first, uint32_t last, const std::string& zona,
               uint8_t tipo, uint16_t mascara);

// Programs one area from buffer[0..]:
//  kind 0 (program) and 1 (ID): write panels first..last of 4 words; a panel
//    whose four words all equal `mascara` (the blank value) is skipped;
//    each written panel is read back;
//  kind 2: data EEPROM bytes first..last; a byte equal to the blank value
//    is skipped; each written byte is read back;
//  kind 3: the configuration words at `first`; `last` carries their count.
// A word or byte that does not take is error 11 at its address.
bool ProgramaZona18(const uint16_t* buffer, uint32_t first, uint32_t last, const std::string& zona,
                    uint8_t tipo, uint16_t mascara);

// One configuration word, with the table pointer at its even address
// (the low byte) and `contador` holding that address; advances it by 2.
bool ProgramaConfig18(uint16_t celda, uint32_t& contador);

// All 16 bits equal: not failed. Otherwise error 11 with the address in
// `contador`. Either way the counter advances by 2.
bool ComparaPalabra18(uint16_t leido, uint16_t esperado, uint32_t& contador);

// The pin-level bulk erase of the selected PIC18 (BorraPic runs the
// firmware programmer's erase command itself): the erase register writes
// and the two NOPs, then 15 ms. Programming mode is left by the caller's
// next step.
bool BorraPic18();

// Every area of the selected PIC18 in turn, as a read and a programming
// run take them: program, ID, configuration, then data EEPROM when the
// part has one (read); program, ID, data EEPROM, then configuration last
// (programming). The caller has set the gauge and RetardoPgm.
bool LeeAreas18();
bool ProgramaAreas18();
