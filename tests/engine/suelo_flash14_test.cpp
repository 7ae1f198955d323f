// The 14-bit flash benchmark floor against one example worked out by hand.
#include <gtest/gtest.h>

#include "../../bench/suelo_flash14.h"

namespace {

// A 16F877A-like part (chip erase, writes ended by a command): two code
// cells of which one is written, no ID cells, one data EEPROM byte and the
// configuration word written, 7 increments up to it. Half bit 1 us (a
// clock 2 us), 1 us after every frame: a command 6 x 2 + 1 = 13 us, a data
// frame 16 x 2 + 1 = 33 us, a read frame 16 x 3 + 1 = 49 us. Erase 8 ms,
// code and data writes 1 ms, configuration 8 ms, an entry 5 us, 8 latches.
TEST(SueloFlash14, AHandWorkedExample) {
  TParteSuelo14 p;
  p.EscritasCodigo = 1;
  p.EscritasEe = 1;
  p.EscritasConfig = 1;
  p.CeldasCodigo = 2;
  p.CeldasEe = 1;
  p.CeldasConfig = 1;
  p.SaltoConfig = 7;
  p.ConFin = true;
  p.MedioBitNs = 1'000;
  p.SeparacionNs = 1'000;
  p.EntradaNs = 5'000;
  p.BorradoNs = 8'000'000;
  p.EscrituraCodigoNs = 1'000'000;
  p.EscrituraEeNs = 1'000'000;
  p.EscrituraConfigNs = 8'000'000;
  p.Latches = 8;
  const uint64_t us = 1'000;
  const uint64_t esperado[] = {
      59 * us,     // erase: Load Configuration 13 + 33, command 31 13
      8000 * us,   // erase time
      137 * us,    // before the configuration word: 13 + 33 + 7 x 13
      402 * us,    // 3 written cells x (13 + 33 + 13 + 13 + 13 + 49)
      52 * us,     // 4 increments x 13
      10000 * us,  // writes: 1 + 1 + 8 ms
      137 * us,    // verify: the same Load Configuration and increments
      300 * us,    // verify: 4 cells x (13 + 49 + 13)
      35 * us,     // entries: the erase and 3 areas twice, 7 x 5 us
  };
  const auto tramos = SueloFlash14(p);
  ASSERT_EQ(tramos.size(), std::size(esperado));
  for (std::size_t i = 0; i < tramos.size(); ++i) EXPECT_EQ(tramos[i].Ns, esperado[i]) << tramos[i].Que;
  EXPECT_EQ(SumaSuelo(tramos), 19122 * us);
  // The setup-pair erase: Load Configuration, 7 increments and 1, 7, 8, 1, 7.
  p.BorradoSetup = true;
  EXPECT_EQ(SueloFlash14(p)[0].Ns, (46 + 12 * 13) * us);
  // The part's own minimum: one latch row of code (1 ms), the byte (1 ms),
  // the configuration word (8 ms), the erase (8 ms), and 7 words (3
  // written, 4 read) of 22 clocks.
  EXPECT_EQ(MinimoFlash14(p), 18000 * us + 7 * 22 * 2 * us);
}

}  // namespace
