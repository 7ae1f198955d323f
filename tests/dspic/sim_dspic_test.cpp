// The simulated dsPIC30F notices what a real part would refuse, so that the
// engine tests can fail: unknown instructions and control codes, a table
// instruction without its NOP, a write without the key sequence or cut
// short, leaving programming mode in mid-write.
#include "banco_dspic.h"
#include "conductor_linea.h"
#include "dspic/pg_dspic_icsp.h"

namespace {

class SimDs : public ::testing::Test {
protected:
  SimDs() : b(Indice30F2010, false) {
    RetardoPgm = 2;  // what the dsPIC routines set
    EntraProgramacion();
    SaltaReset();
  }
  // Row 0 with instruction 0 = valor, through the latches and NVMCON.
  void CargaFila(uint32_t valor) {
    EnviaSIX(0x24001A);
    EnviaSIX(0x883B0A);
    PonTblpag(7, 0);
    uint16_t c[8] = {static_cast<uint16_t>(valor), static_cast<uint16_t>(valor >> 16), 0xFFFF, 0xFF,
                     0xFFFF, 0xFF, 0xFFFF, 0xFF};
    CargaW0W5(c);
    EscribeTabla4Instr();
  }
  BancoDs b;
};

TEST_F(SimDs, ProgramsARowWithTheWholeSequence) {
  CargaFila(0x123456);
  EnviaClavesNvm();
  IniciaEscrituraNvm();
  SaltaResetCorto();
  b.SinFaltas();
  EXPECT_EQ(b.chip->Memoria.Prog[0], 0x123456u);
  EXPECT_EQ(b.chip->Memoria.Prog[1], 0xFFFFFFu);
}

TEST_F(SimDs, WriteWithoutTheKeysChangesNothing) {
  CargaFila(0x000000);
  IniciaEscrituraNvm();
  EnviaNOP();
  EXPECT_EQ(b.chip->Memoria.Prog[0], 0xFFFFFFu);
  ASSERT_FALSE(b.chip->Violaciones.empty());
}

TEST_F(SimDs, WriteCutShortChangesNothing) {
  CargaFila(0x000000);
  EnviaClavesNvm();
  const uint16_t retardo = RetardoPgm;
  RetardoPgm = 1;
  IniciaEscrituraNvm();
  RetardoPgm = retardo;
  EXPECT_EQ(b.chip->Memoria.Prog[0], 0xFFFFFFu);
  ASSERT_FALSE(b.chip->Violaciones.empty());
}

TEST_F(SimDs, LeavingInMidWriteLosesIt) {
  CargaFila(0x000000);
  EnviaClavesNvm();
  EnviaSIX(0xA8E761);
  EnviaNOP();
  SaleProgramacion();
  EXPECT_EQ(b.chip->Memoria.Prog[0], 0xFFFFFFu);
  ASSERT_FALSE(b.chip->Violaciones.empty());
}

TEST_F(SimDs, TableReadWithoutItsNopIsNoticed) {
  PonTblpag(6, 0);
  EnviaSIX(0xEB0380);
  EnviaSIX(0xBA1B96);
  EnviaSIX(0x200001);  // straight on, no NOP
  EnviaNOP();
  ASSERT_FALSE(b.chip->Violaciones.empty());
}

TEST_F(SimDs, UnknownInstructionAndControlCodeAreNoted) {
  EnviaSIX(0x780000);  // MOV W0, W0: not among the programming instructions
  EnviaNOP();
  EXPECT_EQ(b.chip->Desconocidos.size(), 1u);
  EnviaComando4Ds(5);
  EnviaDato24Ds(0);
  EnviaNOP();
  EXPECT_EQ(b.chip->Desconocidos.size(), 2u);
}

TEST_F(SimDs, RegoutShowsVisiAfterEightIdleClocks) {
  EnviaSIX(0x2ABCD0);  // MOV #0xABCD, W0
  EnviaSIX(0x883C20);  // MOV W0, VISI
  EnviaNOP();
  EXPECT_EQ(LeeREGOUT(), 0xABCD);
  EnviaNOP();
  b.SinFaltas();
}

}  // namespace

// The host's data bit around the falling edge that latches it (setup and
// hold, 15 ns each), caught with the wrong drivers that break each.
TEST(SimDsLinea, DataSetupAndHoldAroundTheLatchingEdge) {
  for (const auto& c : CasosSetupHold(15, 15)) {
    SCOPED_TRACE(c.Regla);
    TDsPic30Sim chip(Modelo30F2010());
    TLinea linea(chip, c.Conductor, 1'000);
    linea.Trama(0, 4);          // SIX
    linea.Trama(0x000000, 24);  // NOP
    linea.Trama(0, 4);
    linea.Trama(0x2AAAA0, 24);  // MOV #0xAAAA, W0
    ASSERT_TRUE(chip.EnProgramacion);
    EXPECT_EQ(FaltaRegla(chip.Violaciones, c.Regla), "");
  }
}
