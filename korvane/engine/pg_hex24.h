// Image files of the 24Cxx serial EEPROMs: raw .BIN dumps and Intel HEX.
// The image is BufArchivo.Prog, one EEPROM byte in the low byte of each
// cell, cells ProgIni..ProgFin.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// ".BIN" in any letter case: a raw image; anything else: Intel HEX.
bool EsArchivoBin(const std::string& archivo);

// Loads an image into BufArchivo (blanked first). 0 when loaded; otherwise
// the error already reported (ErrCancelado when the user declined an
// oversized raw file), and BufArchivo is left blank.
uint8_t CargaArchivoI2C(const std::string& archivo);
// The same from a file's contents already in memory.
uint8_t CargaBinI2C(std::string_view contenido);
uint8_t CargaHexI2C(std::string_view texto);

// Saves BufArchivo's image: a raw file of exactly the device's size, or
// HEX. The old file is replaced only when the new one is complete.
uint8_t GuardaArchivoI2C(const std::string& archivo);

// The data records of `cuenta` cells from address `inicio` (blank cells
// skipped, records of up to 16 bytes) to the shared HEX text.
uint8_t EscribeHexI2C(std::span<const uint16_t> celdas, uint32_t inicio, uint32_t cuenta, uint16_t blanco);
