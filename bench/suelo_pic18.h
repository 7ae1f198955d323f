// The floor of a PIC18 program + verify on a pin-level programmer, worked
// out from the image and the programming sequence alone: the clocks every
// command and operand of the sequence takes, the read bits, and the
// data sheet's waits. It never sees what the simulated part or the engine
// counted, so an engine that clocks or waits more than the sequence needs
// shows above it.
//
// The sequence (every core instruction and table write is a 4-bit command
// and a 16-bit operand, 20 clocks; a table pointer is three MOVLW/MOVWF
// pairs, 120 clocks; a table read of a byte is 4 clocks of command, 8 of
// idle and 8 read bits):
//   - bulk erase: entry, the erase register(s) at 0x3C0004 (0x3C0005 too on
//     the newer parts) through the table pointer, two NOPs, P11;
//   - code and ID: entry, EEPGD/CFGS/WRERR, single-panel mode at 0x3C0006,
//     EEPGD/CFGS; per 8-byte panel: the table pointer, three TBLWT*+2, the
//     start-programming write and its NOP (P9 with the fourth clock held,
//     P10 with the clock low, the first operand clock starting high), then
//     the panel read back (table pointer, four two-byte reads);
//   - data EEPROM: entry, EEPGD/CFGS; per byte: address (4 instructions),
//     MOVLW/MOVWF EEDATA, WREN, (older parts: the 55h/AAh unlock, 4
//     instructions), WR, MOVF EECON1 / MOVWF TABLAT (newer parts: and a
//     NOP), the write time, the TABLAT shift, then the byte read back (RD,
//     MOVF EEDATA, MOVWF TABLAT (+ NOP), shift); WREN cleared at the end;
//   - configuration: entry, EEPGD/CFGS (older parts: GOTO 0x100000), the
//     table pointer three times; per word: two start-programming writes
//     and their NOPs with INCF/DECF TBLPTRL between and after, a two-byte
//     read back;
//   - verify: every area read whole, each after its entry: code, ID and
//     configuration through the table pointer and two-byte reads, the data
//     EEPROM byte by byte (address, RD, MOVF EEDATA, MOVWF TABLAT (+ NOP),
//     shift).
// A clock costs two half bits; a read bit a third (it is sampled half a
// bit after the falling edge).
#pragma once

#include <cstdint>
#include <vector>

#include "suelo.h"

struct TParteSuelo18 {
  // What the image programs (non-blank) and what verify reads.
  uint32_t PanelesCodigo = 0;  // 8-byte panels of code
  uint32_t PanelesId = 0;
  uint32_t PalabrasConfig = 0;  // configuration words written (two bytes each)
  uint32_t BytesEe = 0;         // data EEPROM bytes written
  uint32_t PalabrasCodigoLeidas = 0, PalabrasIdLeidas = 0, PalabrasConfigLeidas = 0, BytesEeLeidos = 0;
  bool Nuevo = false;           // 18F2455/4550 family (DS39622) instead of 18F452 (DS39576)
  // Timing.
  uint64_t MedioBitNs = 0;
  uint64_t P9Ns = 0, P10Ns = 0, P11Ns = 0, EscrituraEeNs = 0;
  uint64_t EntradaNs = 0;       // an entry into programming mode
  uint32_t Entradas = 0;        // entries the run makes (one an area and pass)
  // The part's own write buffer (bytes) for the bare minimum.
  uint32_t BufferEscritura = 8;
};

// The floor as the sequence must run it, item by item.
inline std::vector<TTramoSuelo> SueloPic18(const TParteSuelo18& p) {
  const uint64_t clock = 2 * p.MedioBitNs, lectura = p.MedioBitNs;
  constexpr uint64_t Instr = 20, Tblptr = 120, Nop = 40;  // Nop: the programming NOP's 4 + 16 + 20 clocks
  constexpr uint64_t LeeDos = 40, BitsLeeDos = 16;          // two table-read bytes: clocks, read bits
  const uint64_t paneles = uint64_t{p.PanelesCodigo} + p.PanelesId;
  const uint64_t escrituras = paneles + 2 * uint64_t{p.PalabrasConfig};
  const uint64_t tablat = p.Nuevo ? 2 : 1;  // MOVWF TABLAT, and the newer parts' NOP
  // Clocks.
  const uint64_t borrado = (p.Nuevo ? 2 * (4 * Instr + 3 * Instr) : 4 * Instr + 3 * Instr) + 2 * Instr;
  const uint64_t zonasPanel = (p.PanelesCodigo ? 1 : 0) + (p.PanelesId ? 1 : 0);
  const uint64_t preparaPaneles = zonasPanel * (3 * Instr + Tblptr + Instr + 2 * Instr);
  const uint64_t porPanel = Tblptr + 3 * Instr + Nop + Tblptr + 4 * LeeDos;
  const uint64_t porByteEe = 4 * Instr + 2 * Instr + Instr + (p.Nuevo ? 0 : 4 * Instr) + Instr + Instr +
                             tablat * Instr + Instr + (Instr + Instr + tablat * Instr + Instr);
  const uint64_t ee = p.BytesEe ? 2 * Instr + p.BytesEe * porByteEe + Instr : 0;
  const uint64_t config = p.PalabrasConfig
                              ? 2 * Instr + (p.Nuevo ? 0 : 2 * Instr) + 3 * Tblptr +
                                    p.PalabrasConfig * (2 * Nop + 2 * Instr + LeeDos)
                              : 0;
  const uint64_t verifica = 3 * Tblptr +
                            (uint64_t{p.PalabrasCodigoLeidas} + p.PalabrasIdLeidas + p.PalabrasConfigLeidas) * LeeDos +
                            (p.BytesEeLeidos ? 2 * Instr : 0) +
                            p.BytesEeLeidos * (4 * Instr + Instr + Instr + tablat * Instr + Instr);
  // Read bits.
  const uint64_t bitsLeidos =
      (paneles * 4 + p.PalabrasConfig + p.PalabrasCodigoLeidas + p.PalabrasIdLeidas + p.PalabrasConfigLeidas) *
          BitsLeeDos +
      (uint64_t{p.BytesEe} * 2 + p.BytesEeLeidos) * 8;
  return {
      {"bulk erase: registers and two NOPs", borrado * clock},
      {"bulk erase: P11", p.P11Ns},
      {"code and ID: setup of each area", preparaPaneles * clock},
      {"code and ID panels: pointer, table writes, programming NOP, read back", paneles * porPanel * clock},
      {"data EEPROM: setup, every byte written and read back", ee * clock},
      {"data EEPROM: write time of every byte", p.BytesEe * p.EscrituraEeNs},
      {"configuration: setup, two programming NOPs and a read back a word", config * clock},
      {"every programming write: P9 with the fourth clock held", escrituras * p.P9Ns},
      {"every programming write: P10 with the clock low", escrituras * p.P10Ns},
      {"every programming write: the first operand clock starting high", escrituras * p.MedioBitNs},
      {"verify: every area read", verifica * clock},
      {"third half bit of every read bit", bitsLeidos * lectura},
      {"entries into programming mode", p.Entradas * p.EntradaNs},
  };
}

// The part's own minimum: its data sheet's times with its full write
// buffer (rows instead of 8-byte panels), the bulk erase and the EEPROM
// writes, and two half bits for every clock that carries a byte written
// or read (16 for two bytes, 20 with the command).
inline uint64_t MinimoPic18(const TParteSuelo18& p) {
  const uint64_t bytesCodigo = uint64_t{p.PanelesCodigo} * 8, bytesId = uint64_t{p.PanelesId} * 8;
  const uint64_t filas = (bytesCodigo + p.BufferEscritura - 1) / p.BufferEscritura +
                         (bytesId + p.BufferEscritura - 1) / p.BufferEscritura + 2 * uint64_t{p.PalabrasConfig};
  const uint64_t palabras = (bytesCodigo + bytesId) / 2 + p.PalabrasConfig + p.BytesEe + p.PalabrasCodigoLeidas +
                            p.PalabrasIdLeidas + p.PalabrasConfigLeidas + p.BytesEeLeidos;
  return filas * (p.P9Ns + p.P10Ns) + p.P11Ns + p.BytesEe * p.EscrituraEeNs + palabras * 20 * 2 * p.MedioBitNs;
}
