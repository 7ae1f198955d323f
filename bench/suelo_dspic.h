// The floor of a dsPIC30F erase + program + verify on a pin-level
// programmer, worked out from the image and the programming sequence alone:
// the SIX and REGOUT frames every step of the sequence takes, the bits
// they clock and read, and the programming time of every non-volatile
// operation. It never sees what the simulated part or the engine counted,
// so an engine that clocks or waits more than the sequence needs shows
// above it.
//
// A SIX is 28 written bits (control code and instruction) with a pause
// between the code and the instruction; a REGOUT 12 written bits (code and
// 8 idle clocks) and 16 read bits. A written bit is the clock high and the
// data held past the falling edge; a read bit the clock high and low (the
// part's output settles with the clock low).
//
// The sequence, in SIX (S) and REGOUT (R):
//   - reset jump: two NOPs, GOTO 0x100 and its NOP, 4 S (2 S without the
//     NOPs, between blocks); unlock 4 S; a write: BSET WR, 4 NOPs, the
//     programming time, BCLR WR, 4 NOPs, 10 S (6 S with 2 NOPs, the erase);
//   - erase: entry, reset, NVMCON 0x407F (2 S), unlock, a short write:
//     16 S; then the configuration registers written blank and read back;
//   - configuration written: reset, W7 (1 S), per register: NVMCON (2),
//     TBLPAG (2), the value, CLR W6, TBLWTL and 2 NOPs (5), unlock, write,
//     short reset: 4 + 1 + 7 x 25 = 180 S; read: reset, TBLPAG (3), per
//     register CLR W7, TBLRDL, 3 NOPs, MOV VISI, NOP, R, NOP, short reset:
//     4 + 3 + 7 x 10 = 77 S and 7 R;
//   - a code row (32 instructions): NVMCON (2), per 4 instructions TBLPAG
//     and W7 (3), W0-W5 (6), CLR W6 and a NOP (2), four table-write pairs
//     (SIX, 2 NOPs, SIX, NOP: 20), unlock, write, short reset: 2 + 8 x 31
//     + 4 + 10 + 2 = 266 S; read back: TBLPAG (3), per 4 instructions CLR
//     W7 and four table-read pairs (21), six MOV VISI, NOP, R, NOP (18 S,
//     6 R), GOTO and NOP: 3 + 8 x 39 + 2 = 317 S and 48 R;
//   - an EEPROM row (16 words): NVMCON (2), per 4 words TBLPAG (3), W0-W3
//     (4), CLR W6, four NOP, TBLWTL, NOP and a NOP (14), unlock, write,
//     short reset: 2 + 4 x 21 + 4 + 10 + 2 = 102 S; read back: TBLPAG (3),
//     per 4 words CLR W7, four TBLRDL and 2 NOPs (13), four MOV VISI, NOP,
//     R, NOP (12 S, 4 R), short reset: 3 + 4 x 27 = 111 S and 16 R;
//   - programming: code and EEPROM each an entry and a reset, their rows
//     not blank; the configuration an entry, written and read back;
//   - verify: code after an entry, a reset and TBLPAG (7 S): per 4
//     instructions 21 + 18 + 2 = 41 S and 6 R (TBLPAG again past 0x10000
//     cells); EEPROM after an entry, a reset and TBLPAG: per 4 words 27 S
//     and 4 R; the configuration after an entry, read: 77 S and 7 R.
#pragma once

#include <cstdint>
#include <vector>

#include "suelo.h"

struct TParteSueloDs {
  // What the image programs (rows not blank) and what verify reads.
  uint32_t FilasCodigo = 0;           // 32-instruction rows
  uint32_t FilasEe = 0;               // 16-word rows
  uint32_t InstruccionesLeidas = 0;   // a multiple of 4
  uint32_t PalabrasEeLeidas = 0;      // a multiple of 4
  // Timing.
  uint64_t RelojNs = 0;        // the clock high
  uint64_t RetencionNs = 0;    // a written bit held past the falling edge
  uint64_t LecturaNs = 0;      // the clock low before a read bit is taken
  uint64_t PausaSixNs = 0;     // between a SIX's control code and its instruction
  uint64_t NvmNs = 0;          // the programming time of every operation
  uint64_t EntradaNs = 0;      // an entry into programming mode
  // The part's own minimum times for the bare minimum.
  uint64_t FilaNs = 0, FilaEeNs = 0, ConfigNs = 0, BorradoNs = 0;
};

// The floor as the sequence must run it, item by item.
inline std::vector<TTramoSuelo> SueloDsPic(const TParteSueloDs& p) {
  const uint64_t escrito = p.RelojNs + p.RetencionNs, leido = p.RelojNs + p.LecturaNs;
  const uint64_t six = 28 * escrito + p.PausaSixNs, regout = 12 * escrito + 16 * leido;
  constexpr uint64_t SixConfigEscrita = 180, SixConfigLeida = 77, RConfig = 7;
  const uint64_t grupos = p.InstruccionesLeidas / 4, gruposEe = p.PalabrasEeLeidas / 4;
  const uint64_t tblpagExtra = uint64_t{p.InstruccionesLeidas} * 2 > 0x10000 ? 3 : 0;
  const bool codigo = p.InstruccionesLeidas != 0, ee = p.PalabrasEeLeidas != 0;
  const uint64_t entradas = 1 + 2 * (1 + (codigo ? 1 : 0) + (ee ? 1 : 0));
  return {
      {"erase: reset, NVMCON, unlock, short write", 16 * six},
      {"erase: configuration written blank and read back",
       (SixConfigEscrita + SixConfigLeida) * six + RConfig * regout},
      {"programming: a reset before code and before EEPROM", ((codigo ? 4 : 0) + (ee ? 4 : 0)) * six},
      {"programming: code rows written and read back", p.FilasCodigo * (583 * six + 48 * regout)},
      {"programming: EEPROM rows written and read back", p.FilasEe * (213 * six + 16 * regout)},
      {"programming: configuration written and read back",
       (SixConfigEscrita + SixConfigLeida) * six + RConfig * regout},
      {"programming time: erase, rows and configuration registers twice",
       (1 + uint64_t{p.FilasCodigo} + p.FilasEe + 2 * 7) * p.NvmNs},
      {"verify: code read", codigo ? (7 + tblpagExtra + grupos * 41) * six + grupos * 6 * regout : 0},
      {"verify: EEPROM read", ee ? (7 + gruposEe * 27) * six + gruposEe * 4 * regout : 0},
      {"verify: configuration read", SixConfigLeida * six + RConfig * regout},
      {"entries into programming mode: the erase, every area programmed and verified", entradas * p.EntradaNs},
  };
}

// The part's own minimum: its operation times (the erase, every row, the
// seven registers) and one clock per bit of every instruction word written
// or read (24 bits each).
inline uint64_t MinimoDsPic(const TParteSueloDs& p) {
  const uint64_t palabras = uint64_t{p.FilasCodigo} * 32 + uint64_t{p.FilasEe} * 16 + 7 +
                            p.InstruccionesLeidas + p.PalabrasEeLeidas + 7;
  return p.BorradoNs + p.FilasCodigo * p.FilaNs + p.FilasEe * p.FilaEeNs + 7 * p.ConfigNs +
         palabras * 24 * p.RelojNs;
}
