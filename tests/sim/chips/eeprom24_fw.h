// A simulated 24Cxx EEPROM in the socket of the simulated firmware
// programmer: the board's "A" and "B" commands run on the bus of a
// TEeprom24Sim, driven by the board's own I2C master, as the board's
// microcontroller does it:
//
//   "A" (read; byte 4 = two address bytes): control byte 0xA0 as the
//       acknowledge probe, then address 0 and a sequential read of last
//       address + 1 bytes through a repeated START;
//   "B" (write; byte 4 = page size, byte 5 = write time in ms, byte 6 = one
//       address byte): the bytes are gathered page by page; each full page
//       (and the last, short one) is written, the write time waited, the
//       page read back and compared.
//
// The host sends "A" twice: the acknowledge probe, then the same packet as
// the block read. The board model answers the first one with the
// acknowledge and the block at once, so the adapter takes the repeat that
// follows an answered read as handled: it reports it unacknowledged (one
// 0 byte, which the host's next reset discards) instead of streaming the
// whole part a second time into a line nobody reads.
//
// The board's interface reports a failed word only as a verify error
// (reply 1); a page the part does not acknowledge comes back as that too,
// with 0xFF as the value read (what a released bus reads).
#pragma once

#include <vector>

#include "chips/eeprom24_maestro.h"
#include "chips/eeprom24_sim.h"
#include "firmware/chip_fw.h"

class TChipEeprom24Fw final : public TChipMemoriasFw {
public:
  explicit TChipEeprom24Fw(int indice);

  TEeprom24Sim Eeprom;

  bool Reconoce() override;
  TBloqueFw Bloque(const TOrdenFw& orden) override;
  std::optional<TFalloEscrituraFw> Escribe(const TOrdenFw& orden, uint32_t indice,
                                           uint16_t palabra) override;
  // An answered "A" whose repeat has not come in yet.
  bool RepeticionPendiente() const { return repeticion_; }

private:
  std::optional<TFalloEscrituraFw> EscribePagina(const TOrdenFw& orden, uint32_t inicio, uint32_t n);

  TMaestroI2CSim bus_;
  bool repeticion_ = false;  // the next "A" is the host's repeat
  TMemoriaPlanaFw leido_{0, 0xFF, false};  // the block of the last "A"
  TMemoriaPlanaFw escrito_{0, 0xFF, false};  // the bytes of the running "B"
};
