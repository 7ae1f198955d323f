// The dsPIC benchmark floor against one example worked out by hand.
#include <gtest/gtest.h>

#include "../../bench/suelo_dspic.h"

namespace {

// One code row and one EEPROM row written; verify reads 32 instructions
// (8 groups of 4) and 16 EEPROM words (4 groups). Clock high 90 ns, hold
// 15 ns: a written bit 105 ns; a read bit 90 + 90 = 180 ns. A SIX is
// 28 x 105 + 90 = 3030 ns, a REGOUT 12 x 105 + 16 x 180 = 4140 ns. Every
// operation 2 ms, an entry 5 us.
TEST(SueloDsPic, AHandWorkedExample) {
  TParteSueloDs p;
  p.FilasCodigo = 1;
  p.FilasEe = 1;
  p.InstruccionesLeidas = 32;
  p.PalabrasEeLeidas = 16;
  p.RelojNs = 90;
  p.RetencionNs = 15;
  p.LecturaNs = 90;
  p.PausaSixNs = 90;
  p.NvmNs = 2'000'000;
  p.EntradaNs = 5'000;
  p.FilaNs = p.FilaEeNs = p.ConfigNs = p.BorradoNs = 2'000'000;
  const uint64_t esperado[] = {
      48'480,      // erase: 16 SIX
      807'690,     // configuration blanked: 180 + 77 SIX, 7 REGOUT
      24'240,      // two resets, 8 SIX
      1'965'210,   // the code row: 266 + 317 SIX, 48 REGOUT
      711'630,     // the EEPROM row: 102 + 111 SIX, 16 REGOUT
      807'690,     // configuration written and read back
      34'000'000,  // 17 operations: the erase, 2 rows, 7 registers twice
      1'213'770,   // verify code: 7 + 8 x 41 SIX, 8 x 6 REGOUT
      414'690,     // verify EEPROM: 7 + 4 x 27 SIX, 4 x 4 REGOUT
      262'290,     // verify configuration: 77 SIX, 7 REGOUT
      35'000,      // 7 entries
  };
  const auto tramos = SueloDsPic(p);
  ASSERT_EQ(tramos.size(), std::size(esperado));
  for (std::size_t i = 0; i < tramos.size(); ++i) EXPECT_EQ(tramos[i].Ns, esperado[i]) << tramos[i].Que;
  EXPECT_EQ(SumaSuelo(tramos), 40'290'690u);
  // The part's own minimum: 10 operations of 2 ms (erase, 2 rows, 7
  // registers) and 110 words of 24 clocks (32 + 16 + 7 written, as many
  // read).
  EXPECT_EQ(MinimoDsPic(p), 20'000'000u + 110u * 24 * 90);
}

}  // namespace
