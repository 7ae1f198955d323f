// A named simulated part in the firmware programmer's socket, owning its
// model: what a by-hand run (the standalone board program) or an
// end-to-end test puts behind a TPlacaFw.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "firmware/chip_fw.h"

class TZocaloFw {
public:
  virtual ~TZocaloFw() = default;
  // A part by its catalogue name without the "PIC" prefix ("16F628A",
  // "18F4550", "30F4013", "24C256"); nullptr for a name no model plays.
  static std::unique_ptr<TZocaloFw> Crea(const std::string& nombre);
  // The names Crea knows.
  static std::vector<std::string> Nombres();

  virtual TChipFw& Chip() = 0;
  // Program memory as the part holds it: 14-bit and 12-bit words, PIC18
  // 16-bit words (low byte first in the part), dsPIC 24-bit instructions,
  // serial EEPROM bytes. Read it with the board stopped (TPlacaFw::Con).
  virtual uint32_t Celdas() const = 0;
  virtual uint32_t Programa(uint32_t celda) const = 0;
  // The configuration word at 0x2007 of a 14-bit part (with its band-gap
  // bits where it has them); nothing for other parts.
  virtual std::optional<uint32_t> PalabraConfig() const { return std::nullopt; }
};
