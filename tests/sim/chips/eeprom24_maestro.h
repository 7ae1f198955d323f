// A bus master for the simulated 24Cxx parts: what the firmware
// programmer's microcontroller does on its own I2C pins, in its own time.
//
// It drives SCL and SDA of a TChipSim directly (the chip's pull-down wins
// over a high SDA) and keeps a private nanosecond clock that advances with
// every step, so a chip's write cycle elapses as it would next to a board.
#pragma once

#include <cstdint>

#include "sim_chip.h"

class TMaestroI2CSim {
public:
  explicit TMaestroI2CSim(TChipSim& chip, uint64_t pasoNs = 2500);

  // Powers the chip up and leaves the bus idle (both lines high).
  void Enciende();
  void Apaga();
  void Start();
  void Stop();
  // Sends a byte; true when the chip acknowledged it.
  bool Envia(uint8_t b);
  // Reads a byte and answers with ACK (ack) or NACK.
  uint8_t Lee(bool ack);
  // START, write control byte and address (two bytes high first, or one
  // with address bits 8-10 as the control byte's block bits); false at the
  // first byte not acknowledged.
  bool Direcciona(uint32_t direccion, bool dosBytes);
  // Repeated START and the read control byte of `direccion`'s block.
  bool EmpiezaLectura(uint32_t direccion, bool dosBytes);
  // Lets time pass with the bus idle.
  void Espera(uint64_t ns);

  uint64_t AhoraNs() const { return t_; }

private:
  void Pon(bool scl, bool sda);
  bool LeeSda() const;

  TChipSim& chip_;
  uint64_t paso_;
  uint64_t t_ = 0;
  TLineasSim l_{};
};
