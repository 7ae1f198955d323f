// The dsPIC30F family: identification, read, programming, erase and verify
// of every area, on the pin-level ICSP link (4-bit control codes, 24-bit
// instructions executed by the target, results through VISI) or as single
// commands of the firmware programmer (USB_COM).
//
// Buffers: a program or executive instruction takes two cells (bits 0-15,
// then bits 16-23 in the low byte; 0x00FF when blank); a data EEPROM word
// takes two cells (the word, then 0); the configuration area is seven
// registers of four cells, the value in the first, 0 in the second.
// Addresses count 2 per instruction or word, so start + cell index is the
// device address (the configuration: 0xF80000 + 2 x register).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ident/pg_modelo.h"

// The executive area takes part in the running programming operation (the
// runner clears it before every dispatch and hands it to the verify after
// programming).
extern bool IncluyeExec;

// Implemented bits of the seven configuration registers, in register
// order. A bulk erase leaves exactly these values.
constexpr std::array<uint16_t, 7> BitsConfigA = {0xC30F, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0007, 0xC003};
constexpr std::array<uint16_t, 7> BitsConfigB = {0xC71F, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0007, 0xC003};
// Set A (true) or B (false) for the selected ListPics index.
bool DaMaskAB();
bool DaMaskAB(uint8_t indiceListPics);
const std::array<uint16_t, 7>& BitsConfig(bool juegoA);

// The device-ID table: the ListPics index and name of a DEVID word, or
// false when the word is no dsPIC30F ID.
bool BuscaIdDsPic(uint16_t id, uint8_t& indice, std::string& nombre);

// Reads the device ID into the model: Nombre and Indice from the table
// (Indice 255 when the ID is no dsPIC ID), Responde when the ID is not
// all ones. A failed or corrupt firmware reply answers but names nothing.
void LeeIdDsPic(TModel& model);

// The entry points of the operation runner: 0 done, else the error code
// already reported (programming mode has then been left).
uint8_t LeeDsPic(bool incluyeExec);
uint8_t ProgramaDsPic();
// Variant 0: the normal bulk erase with its check of the configuration
// registers; 1: the executive area too.
uint8_t BorraDsPic(uint8_t variante);
uint8_t VerificaDsPic(bool incluyeExec);

// Area kinds (the firmware frames' kinds).
constexpr uint8_t ZonaDsPrograma = 0;
constexpr uint8_t ZonaDsDatos = 1;
constexpr uint8_t ZonaDsEjecutivo = 3;
constexpr uint8_t ZonaDsConfig = 4;

// Area routines; true when failed. Counts are instructions for the
// program and executive areas, cells for the data EEPROM and registers for
// the configuration. A count of 0 is success with nothing done.
bool LeeZonaDsPic(uint16_t* buffer, uint32_t inicio, uint32_t cuenta, uint8_t tipo,
                  const std::string& zona);
bool ProgramaZonaDsPic(const uint16_t* buffer, uint32_t inicio, uint32_t cuenta, uint8_t tipo,
                       const std::string& zona);
// Compares `celdas` cells of `leido` with `esperado` as pairs; for the
// configuration only the pair that holds each register's value counts.
// `protegida`: the area is under the protection just programmed, and a
// pair the part reads as 0 is taken as protected rather than compared.
bool VerificaZonaDsPic(const uint16_t* leido, const uint16_t* esperado, uint32_t inicio,
                       uint8_t tipo, const std::string& zona, uint32_t celdas, bool protegida = false);

// Seven registers of four cells.
constexpr uint32_t CeldasConfigDs = 28;
