// The PIC18 benchmark floor against one example worked out by hand.
#include <gtest/gtest.h>

#include "../../bench/suelo_pic18.h"

namespace {

// An 18F4550-like part (newer family: two erase registers, no EEPROM
// unlock, a NOP before each TABLAT shift): one code panel, one
// configuration word, one EEPROM byte; verify reads 4 code words, the
// configuration word and the byte. Half bit 1 us (a clock 2 us), P9 1 ms,
// P10 100 us, P11 5 ms, EEPROM write 4 ms, one entry of 2 us.
TEST(SueloPic18, AHandWorkedExample) {
  TParteSuelo18 p;
  p.PanelesCodigo = 1;
  p.PalabrasConfig = 1;
  p.BytesEe = 1;
  p.PalabrasCodigoLeidas = 4;
  p.PalabrasConfigLeidas = 1;
  p.BytesEeLeidos = 1;
  p.Nuevo = true;
  p.MedioBitNs = 1'000;
  p.P9Ns = 1'000'000;
  p.P10Ns = 100'000;
  p.P11Ns = 5'000'000;
  p.EscrituraEeNs = 4'000'000;
  p.EntradaNs = 2'000;
  p.Entradas = 1;
  p.BufferEscritura = 32;
  const auto tramos = SueloPic18(p);
  const uint64_t us = 1'000;
  const uint64_t esperado[] = {
      640 * us,   // erase: 2 x (4 + 3 instructions) + 2 NOPs = 320 clocks
      5000 * us,  // P11
      480 * us,   // code setup: 3 + 6 + 1 + 2 instructions = 240 clocks
      1000 * us,  // the panel: 120 + 60 + 40 + 120 + 4 x 40 = 500 clocks
      800 * us,   // EEPROM: 2 + (4 + 2 + 1 + 1 + 1 + 2 + 1 + (1 + 1 + 2 + 1)) + 1 = 20 instructions = 400 clocks
      4000 * us,  // the byte's write time
      1120 * us,  // configuration: 40 + 3 x 120 + (2 x 40 + 2 x 20 + 40) = 560 clocks
      3000 * us,  // P9 for the panel and the word's two bytes
      300 * us,   // P10 for the same three
      3 * us,     // a half bit for each of them
      1560 * us,  // verify: 3 x 120 + 5 x 40 + 40 + (80 + 20 + 20 + 40 + 20) = 780 clocks
      184 * us,   // read bits: (4 + 1 + 4 + 1) x 16 + (2 + 1) x 8 = 184
      2 * us,     // the entry
  };
  ASSERT_EQ(tramos.size(), std::size(esperado));
  for (std::size_t i = 0; i < tramos.size(); ++i) EXPECT_EQ(tramos[i].Ns, esperado[i]) << tramos[i].Que;
  EXPECT_EQ(SumaSuelo(tramos), 18089 * us);
  // The part's own minimum: 3 writes (a 32-byte row holds the panel, and
  // the two configuration bytes) of P9 + P10, P11, the EEPROM write, and 12
  // words of 20 clocks (4 written + 1 + 1, 4 + 1 + 1 read).
  EXPECT_EQ(MinimoPic18(p), 3 * 1100 * us + 5000 * us + 4000 * us + 12 * 20 * 2 * us);
}

}  // namespace
