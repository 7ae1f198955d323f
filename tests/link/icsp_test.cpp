// Word primitives and programming-mode entry, decoded bit by bit by the
// minimal simulated chips.
#include <gtest/gtest.h>

#include <cstdio>

#include "chips/minimo.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "sim_banco.h"

namespace {

constexpr uint64_t ms = 1'000'000;

// Idle, powered and in programming mode, as the operation runner leaves it.
void Prepara(uint8_t medioBit = 1) {
  PinesReposo();
  VddOn();
  MedioBitUs = medioBit;
  Zocalo2 = false;
  VppAntesVdd = false;
  EntraProgramacion();
}

TEST(Icsp, Dato14FramesFourteenBitsBetweenZeroStartAndStopBits) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  Prepara();
  ASSERT_TRUE(chip.EnProgramacion);
  EnviaComando6(0x02);
  EnviaDato14(0x3FFF);
  EnviaComando6(0x02);
  EnviaDato14(0x1234);
  ASSERT_EQ(chip.TramasCargadas.size(), 2u);
  EXPECT_EQ(chip.TramasCargadas[0], 0x7FFE);  // 0, fourteen 1s, 0: sixteen clocks
  EXPECT_EQ(chip.Cargados[1], 0x1234);
  EXPECT_EQ(chip.Comandos, (std::vector<uint8_t>{0x02, 0x02}));
  EXPECT_TRUE(chip.Desconocidos.empty());
}

TEST(Icsp, Dato14ReadsWhatTheChipDrives) {
  for (bool com : {false, true}) {
    com ? PonPerfilComSim() : PonPerfilLptSim();
    TBancoSim b;
    TChipMinimo14 chip;
    chip.Programa[0] = 0x2ABC;
    chip.Programa[1] = 0x0001;
    chip.Programa[2] = 0x3FFF;
    b.Adaptador.Conecta(&chip);
    Prepara(com ? 4 : 1);
    for (uint16_t esperado : {0x2ABC, 0x0001, 0x3FFF}) {
      EnviaComando6(0x04);
      EXPECT_EQ(LeeDato14(), esperado) << (com ? "COM" : "LPT");
      EnviaComando6(0x06);
    }
    EXPECT_EQ(chip.Pc, 3u);
  }
}

TEST(Icsp, ProgrammingThroughTheChipAndItsTimeCheck) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  Prepara();
  EnviaComando6(0x02);
  EnviaDato14(0x0155);
  EnviaComando6(0x08);
  EsperaMs(2);
  EnviaComando6(0x06);
  EnviaComando6(0x02);
  EnviaDato14(0x0AAA);
  EnviaComando6(0x08);
  EnviaComando6(0x06);  // too early
  EXPECT_EQ(chip.Programa[0], 0x0155);
  EXPECT_EQ(chip.Programa[1], 0x0AAA);
  EXPECT_EQ(chip.Violaciones.size(), 1u);
}

TEST(Icsp, TableReadGivesTheLowAddressAsLowByte) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo18 chip;
  chip.Memoria[0x000100] = 0x34;
  chip.Memoria[0x000101] = 0x12;
  chip.Memoria[0x300000] = 0xCD;
  chip.Memoria[0x300001] = 0xAB;
  b.Adaptador.Conecta(&chip);
  Prepara();
  PonTblptr(0x000100);
  EXPECT_EQ(chip.Tblptr, 0x000100u);
  EXPECT_EQ(LeeTabla2(), 0x1234);
  EXPECT_EQ(chip.Tblptr, 0x000102u);
  PonTblptr(0x300000);
  EXPECT_EQ(LeeTabla2(), 0xABCD);
  EXPECT_TRUE(chip.Desconocidos.empty());
}

TEST(Icsp, TablePointerLoadIsThreeMovlwMovwfPairs) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo18 chip;
  b.Adaptador.Conecta(&chip);
  Prepara();
  PonTblptr(0x3A5C7E);
  const std::vector<std::pair<uint8_t, uint16_t>> esperado = {
      {0, 0x0E3A}, {0, 0x6EF8}, {0, 0x0E5C}, {0, 0x6EF7}, {0, 0x0E7E}, {0, 0x6EF6}};
  ASSERT_EQ(chip.Tramas.size(), esperado.size());
  for (size_t i = 0; i < esperado.size(); ++i) {
    EXPECT_EQ(chip.Tramas[i].comando, esperado[i].first);
    EXPECT_EQ(chip.Tramas[i].operando, esperado[i].second);
  }
  EXPECT_EQ(chip.Tblptr, 0x3A5C7Eu & 0x3FFFFF);
}

TEST(Icsp, ProgrammingNopHoldsTheFourthClock) {
  struct {
    uint16_t retardo;
    bool escrito;
  } casos[] = {{0, false}, {1, true}, {5, true}};
  for (const auto& c : casos) {
    PonPerfilLptSim();
    TBancoSim b;
    TChipMinimo18 chip;
    b.Adaptador.Conecta(&chip);
    Prepara();
    RetardoPgm = c.retardo;
    PonTblptr(0x000040);
    ProgramaNop(0xBEEF);
    ASSERT_EQ(chip.ClockAltoNops.size(), 1u) << "the fourth clock";
    EXPECT_GE(chip.ClockAltoNops[0], c.retardo * ms + 1000);
    ASSERT_EQ(chip.OperandosNop.size(), 1u) << "the 16 operand bits";
    EXPECT_EQ(chip.OperandosNop[0], 0);
    EXPECT_EQ(chip.Lee(0x40) == 0xEF && chip.Lee(0x41) == 0xBE, c.escrito) << c.retardo;
    EXPECT_EQ(chip.Violaciones.empty(), c.escrito);
    // Clock low at the end, as every primitive leaves it.
    EXPECT_FALSE(b.Adaptador.Lineas().Clock);
  }
  RetardoPgm = 0;
}

TEST(Icsp, EveryBitCostsTwoHalfBitWaits) {
  PonPerfilComSim();
  TBancoSim b;
  Prepara(4);
  const uint64_t t0 = b.Reloj.AhoraNs();
  EnviaDato16(0xFFFF);
  // Two half bits a bit, then 40 ns before the next command (P5A).
  EXPECT_EQ(b.Reloj.AhoraNs() - t0, 16u * 2 * 4000 + 40);
  // Port accesses may cost time too: three writes per bit.
  b.Puerto.CosteAccesoNs = 1000;
  const uint64_t t1 = b.Reloj.AhoraNs();
  EnviaDato16(0xFFFF);
  EXPECT_EQ(b.Reloj.AhoraNs() - t1, 16u * (2 * 4000 + 3 * 1000) + 40);
}

TEST(Icsp, ChipStateSurvivesAFile) {
  TChipMinimo14 a;
  a.Programa[5] = 0x1234;
  a.Config[0x2007] = 0x3F71;
  const std::string ruta = ::testing::TempDir() + "minimo14.txt";
  ASSERT_TRUE(a.GuardaEstado(ruta));
  TChipMinimo14 b;
  ASSERT_TRUE(b.CargaEstado(ruta));
  EXPECT_EQ(b.Programa, a.Programa);
  EXPECT_EQ(b.Lee(0x2007), 0x3F71);
  std::remove(ruta.c_str());
}

// --- Programming-mode entry --------------------------------------------------

// Time of the first change after `desde` where the predicate becomes true.
template <typename F>
uint64_t Cuando(const TAdaptadorSim& a, uint64_t desde, F f) {
  for (const auto& c : a.Cambios)
    if (c.tNs >= desde && f(c.lineas)) return c.tNs;
  return UINT64_MAX;
}

TEST(Entrada, NormalOnLpt) {
  PonPerfilLptSim(false, true);
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  PinesReposo();
  VddOn();
  const uint64_t t0 = b.Reloj.AhoraNs();
  VppAntesVdd = false;
  Zocalo2 = false;
  EntraProgramacion();
  EXPECT_TRUE(chip.EnProgramacion);
  EXPECT_EQ(chip.Entradas, 1u);
  const uint64_t reset = Cuando(b.Adaptador, t0, [](const TLineasSim& l) { return !l.Mclr; });
  const uint64_t vpp = Cuando(b.Adaptador, t0, [](const TLineasSim& l) { return l.Vpp; });
  EXPECT_EQ(reset - t0, 5 * ms);
  EXPECT_EQ(vpp - t0, 10 * ms);
  EXPECT_EQ(b.Reloj.AhoraNs() - vpp, 5 * ms) << "settling before the first command";
  SaleProgramacion();
  EXPECT_FALSE(chip.EnProgramacion);
  EXPECT_TRUE(b.Adaptador.Lineas().Vdd) << "leaving does not touch Vdd";
}

TEST(Entrada, VppBeforeVdd) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  PinesReposo();
  VddOn();
  const uint64_t t0 = b.Reloj.AhoraNs();
  VppAntesVdd = true;
  EntraProgramacion();
  VppAntesVdd = false;
  const uint64_t apagado = Cuando(b.Adaptador, t0, [](const TLineasSim& l) { return !l.Vdd; });
  const uint64_t vpp = Cuando(b.Adaptador, t0, [](const TLineasSim& l) { return l.Vpp; });
  const uint64_t vdd = Cuando(b.Adaptador, vpp, [](const TLineasSim& l) { return l.Vdd; });
  EXPECT_LT(apagado, vpp);
  EXPECT_EQ(vdd - vpp, 10 * ms);
  // VddOn's own millisecond, then five more before the first command.
  EXPECT_EQ(b.Reloj.AhoraNs() - vdd, 6 * ms);
  EXPECT_TRUE(chip.EnProgramacion) << "entered as Vdd rose with Vpp applied";

  // A part that only takes Vpp on a powered part stays out with this order.
  TChipMinimo14 vddPrimero;
  vddPrimero.Entrada = TChipMinimo14::TEntrada::VddPrimero;
  b.Adaptador.Conecta(&vddPrimero);
  SaleProgramacion();
  VppAntesVdd = true;
  EntraProgramacion();
  VppAntesVdd = false;
  EXPECT_FALSE(vddPrimero.EnProgramacion);
  SaleProgramacion();
  EntraProgramacion();
  EXPECT_TRUE(vddPrimero.EnProgramacion);
}

TEST(Entrada, ComLinkWaitsForTheSlowLines) {
  PonPerfilComSim();
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  PinesReposo();
  VddOn();
  const uint64_t t0 = b.Reloj.AhoraNs();
  EntraProgramacion();
  EXPECT_EQ(b.Reloj.AhoraNs() - t0, 215 * ms);
  const uint64_t clock = Cuando(b.Adaptador, t0, [](const TLineasSim& l) { return l.Clock; });
  EXPECT_EQ(clock - t0, 5 * ms);
  const uint64_t vpp = Cuando(b.Adaptador, t0, [](const TLineasSim& l) { return l.Vpp; });
  EXPECT_EQ(vpp - t0, 110 * ms);
  EXPECT_TRUE(chip.EnProgramacion);
}

TEST(Entrada, SecondSocketUsesTheSecondVppLine) {
  struct {
    bool zocalo2;
  } casos[] = {{true}, {false}};
  for (const auto& c : casos) {
    PonPerfilLptSim(true, false);
    TBancoSim b;
    TChipMinimo14 pequeno, grande;
    b.Adaptador.Conecta(&pequeno, &grande);
    PinesReposo();
    VddOn();
    Zocalo2 = c.zocalo2;
    EntraProgramacion();
    EXPECT_EQ(grande.EnProgramacion, c.zocalo2);
    EXPECT_EQ(pequeno.EnProgramacion, !c.zocalo2);
    const TLineasSim l = b.Adaptador.Lineas();
    EXPECT_EQ(l.Vpp2, c.zocalo2);
    EXPECT_EQ(l.Vpp, !c.zocalo2);
    SaleProgramacion();
    EXPECT_FALSE(grande.EnProgramacion || pequeno.EnProgramacion);
  }
  Zocalo2 = false;
}

}  // namespace
