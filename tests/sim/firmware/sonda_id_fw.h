// The simulated firmware programmer's device-ID commands as its firmware
// runs them on the socket's lines.
//
// The board answers '4', '5' and 'C' by doing what its microcontroller
// does: it powers the socket, takes the part into programming mode (Vdd
// first, then MCLR to the programming voltage with PGC and PGD low) and
// clocks one family's ID read into whatever sits there, on its own ICSP
// pins and in its own virtual time, then powers the socket down again. The
// part behind the lines is one of the pin-level models (pic1x_*, pic18_sim,
// dspic30_sim, eeprom24_sim): it decodes the bits itself, so a part answers
// only the read its family understands. PGD has a pull-up on the board: a
// part that never drives it reads as all ones.
//
//   '4'  14-bit ID at 0x2006: Load Configuration (000000) with 0x3FFF,
//        six Increment Address (000110), Read Data from Program Memory
//        (000100), the 14 data bits of its 16-clock frame;
//   '5'  PIC18 DEVID2:DEVID1 at 0x3FFFFE: MOVLW/MOVWF into TBLPTRU, TBLPTRH
//        and TBLPTRL (core instructions, command 0000), then two TBLRD*+
//        (1001), each byte on the last 8 of its 16 clocks;
//   'C'  dsPIC DEVID at 0xFF0000: two SIX NOPs, GOTO 0x100, TBLPAG := 0xFF,
//        W6 := 0, TBLRDL [W6],W0, MOV W0,VISI and REGOUT (0001): VISI on
//        the last 16 of its 24 clocks.
//
// Bits go out least significant first: PGC rises, PGD takes the bit half a
// bit later, PGC falls half a bit after that (the part latches on the fall);
// frames are 2 us apart.
#pragma once

#include <cstdint>

#include "sim_chip.h"

class TSondaIdFw {
public:
  explicit TSondaIdFw(TChipSim& chip) : chip_(chip) {}

  // The part sits on the second socket's Vpp line: only a command whose Z2
  // byte names that socket reaches it.
  bool EnZocalo2 = false;

  // The ID the board reads for command `letra` ('4', '5' or 'C') with the
  // command's second-socket flag; all ones when nothing answered.
  uint16_t Lee(char letra, bool z2);

  // The board's virtual time; Desde moves it on to a later time another
  // driver of the same lines reached.
  uint64_t AhoraNs() const { return t_; }
  void Desde(uint64_t tNs) {
    if (tNs > t_) t_ = tNs;
  }

private:
  void Pon();
  void Pasa(uint64_t ns);
  void Entra(bool vpp);
  void Sale();
  void Envia(uint32_t valor, int bits);
  uint32_t Recibe(int bits);
  uint16_t Id14();
  uint16_t Id18();
  uint16_t IdDsPic();

  TChipSim& chip_;
  TLineasSim l_{};
  uint64_t t_ = 0;
};
