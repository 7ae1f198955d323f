// The floor of a 14-bit flash erase + program + verify on a pin-level
// programmer, worked out from the image and the programming sequence alone:
// the clocks of every command and data frame, the read bits, the 1 us that
// stands after every frame (Tdly1, Tdly2) and the data sheet's waits. It
// never sees what the simulated part or the engine counted, so an engine
// that clocks or waits more than the sequence needs shows above it.
//
// The sequence (a command is 6 clocks, a data frame 16, a read frame 16
// read bits, each frame followed by 1 us):
//   - erase: entry, Load Configuration and its data, then either the
//     setup-pair erase (7 increments to the configuration word, 1, 7, 8,
//     the erase time, 1, 7: it takes code protection with it) or the chip
//     erase (31 and the erase time);
//   - programming, every area (code, ID, data EEPROM, configuration) that
//     has cells: an entry, for ID and configuration Load Configuration and
//     its data, and for the configuration word the increments up to it;
//     every written cell: the load command and its data, the begin command,
//     the write time, the end command (externally timed parts), the read
//     command and the word read back; every cell: an increment;
//   - verify: every area read whole after its entry (ID and configuration
//     after Load Configuration and the increments): every cell a read
//     command, the word read, an increment.
// A clock costs two half bits; a read bit a third (it is sampled half a bit
// after the falling edge).
#pragma once

#include <cstdint>
#include <vector>

#include "suelo.h"

struct TParteSuelo14 {
  // Cells written (not blank) and cells walked, per area.
  uint32_t EscritasCodigo = 0, EscritasId = 0, EscritasEe = 0, EscritasConfig = 0;
  uint32_t CeldasCodigo = 0, CeldasId = 0, CeldasEe = 0, CeldasConfig = 0;
  uint32_t SaltoConfig = 7;     // increments from 0x2000 to the configuration word
  bool BorradoSetup = false;    // the setup-pair erase (1, 7, 8) instead of the chip erase (31)
  bool ConFin = false;          // an End Programming command after every write
  // Timing.
  uint64_t MedioBitNs = 0;
  uint64_t SeparacionNs = 1'000;  // after every frame
  uint64_t EntradaNs = 0;         // an entry into programming mode (hold after Vpp rises)
  uint64_t BorradoNs = 0;
  uint64_t EscrituraCodigoNs = 0, EscrituraIdNs = 0, EscrituraEeNs = 0, EscrituraConfigNs = 0;
  // The part's own write latches (code words programmed at once) for the
  // bare minimum.
  uint32_t Latches = 1;
};

// The floor as the sequence must run it, item by item.
inline std::vector<TTramoSuelo> SueloFlash14(const TParteSuelo14& p) {
  const uint64_t clock = 2 * p.MedioBitNs, lectura = p.MedioBitNs, tdly = p.SeparacionNs;
  const uint64_t comando = 6 * clock + tdly, dato = 16 * clock + tdly, leido = 16 * (clock + lectura) + tdly;
  const uint64_t cargaConfig = comando + dato;
  // Erase.
  const uint64_t borrado = cargaConfig + (p.BorradoSetup ? (7 + 5) * comando : comando);
  // Programming and verify, area by area.
  const uint64_t escritas = uint64_t{p.EscritasCodigo} + p.EscritasId + p.EscritasEe + p.EscritasConfig;
  const uint64_t celdas = uint64_t{p.CeldasCodigo} + p.CeldasId + p.CeldasEe + p.CeldasConfig;
  const uint64_t areas = (p.CeldasCodigo ? 1 : 0) + (p.CeldasId ? 1 : 0) + (p.CeldasEe ? 1 : 0) + (p.CeldasConfig ? 1 : 0);
  const uint64_t preparaArea = (p.CeldasId ? cargaConfig : 0) + (p.CeldasConfig ? cargaConfig + p.SaltoConfig * comando : 0);
  const uint64_t porEscrita = comando + dato + comando + (p.ConFin ? comando : 0) + comando + leido;
  const uint64_t porLeida = comando + leido + comando;
  const uint64_t esperas = p.EscritasCodigo * p.EscrituraCodigoNs + p.EscritasId * p.EscrituraIdNs +
                           p.EscritasEe * p.EscrituraEeNs + p.EscritasConfig * p.EscrituraConfigNs;
  return {
      {"erase: Load Configuration and the erase commands", borrado},
      {"erase: erase time", p.BorradoNs},
      {"programming: Load Configuration and increments before ID and configuration", preparaArea},
      {"programming: every written cell loaded, begun, ended, read back", escritas * porEscrita},
      {"programming: an increment after every cell", celdas * comando},
      {"programming: write time of every written cell", esperas},
      {"verify: Load Configuration and increments before ID and configuration", preparaArea},
      {"verify: every cell read and incremented", celdas * porLeida},
      {"entries into programming mode: the erase, every area programmed and verified",
       (1 + 2 * areas) * p.EntradaNs},
  };
}

// The part's own minimum: its data sheet's write times with its full set of
// code latches, the erase, and two half bits for every clock of a command
// and a word written or read (22 clocks a word).
inline uint64_t MinimoFlash14(const TParteSuelo14& p) {
  const uint64_t filas = (uint64_t{p.EscritasCodigo} + p.Latches - 1) / p.Latches;
  const uint64_t palabras = uint64_t{p.EscritasCodigo} + p.EscritasId + p.EscritasEe + p.EscritasConfig +
                            p.CeldasCodigo + p.CeldasId + p.CeldasEe + p.CeldasConfig;
  return filas * p.EscrituraCodigoNs + p.EscritasId * p.EscrituraIdNs + p.EscritasEe * p.EscrituraEeNs +
         p.EscritasConfig * p.EscrituraConfigNs + p.BorradoNs + palabras * 22 * 2 * p.MedioBitNs;
}
