// A simulated 24Cxx EEPROM in the socket of the simulated firmware
// programmer: the board's "A" and "B" commands run on the bus of a
// TEeprom24Sim, driven by the board's own I2C master, as the board's
// microcontroller does it:
//
//   "A" (read; byte 4 = two address bytes): the first packet sends the
//       control byte 0xA0 as the acknowledge probe (Reconoce); the host's
//       second packet, the block read, sets address 0 and reads last
//       address + 1 bytes sequentially through a repeated START (Bloque);
//   "B" (write; byte 4 = page size, byte 5 = write time in ms, byte 6 = one
//       address byte): the bytes are gathered page by page; each full page
//       (and the last, short one) is written, the write time waited, the
//       page read back and compared. A byte that reads back different is
//       a verify failure at that byte's address; a page the part does not
//       acknowledge (written or read back) fails unacknowledged at the
//       page's first address.
//   "4", "5", "C" (the PIC ID reads) are clocked into the part on the same
//       lines (firmware/sonda_id_fw.h), after the bus master's last step.
#pragma once

#include <vector>

#include "chips/eeprom24_maestro.h"
#include "chips/eeprom24_sim.h"
#include "firmware/chip_fw.h"
#include "firmware/sonda_id_fw.h"

class TChipEeprom24Fw final : public TChipMemoriasFw {
public:
  explicit TChipEeprom24Fw(int indice);

  TEeprom24Sim Eeprom;

  uint16_t IdDispositivo(char letra, bool z2) override;
  bool Reconoce() override;
  TBloqueFw Bloque(const TOrdenFw& orden) override;
  std::optional<TFalloEscrituraFw> Escribe(const TOrdenFw& orden, uint32_t indice,
                                           uint16_t palabra) override;

private:
  std::optional<TFalloEscrituraFw> EscribePagina(const TOrdenFw& orden, uint32_t inicio, uint32_t n);

  TMaestroI2CSim bus_;
  TMemoriaPlanaFw leido_{0, 0xFF, false};  // the block of the last "A"
  TMemoriaPlanaFw escrito_{0, 0xFF, false};  // the bytes of the running "B"
  TSondaIdFw sonda_{Eeprom};
};
