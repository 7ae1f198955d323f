// Timing requirements of the parts' programming specifications that the
// minimal chips hold the link to: data set up before the latching edge, the
// hold after the programming voltage rises, and the high-voltage discharge
// after a PIC18 programming write.
#include <gtest/gtest.h>

#include <cerrno>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include "chips/minimo.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_backends.h"
#include "hw/pg_sistema.h"
#include "hw/pg_time.h"
#include "sim_banco.h"

namespace {

void Entra(uint8_t medioBit) {
  PinesReposo();
  VddOn();
  MedioBitUs = medioBit;
  Zocalo2 = false;
  VppAntesVdd = false;
  EntraProgramacion();
}

// A bit whose data changes together with the falling clock edge.
void BitSinPreparacion(bool bit) {
  ClockAlto();
  EsperaUs(2);
  bit ? DatoAlto() : DatoBajo();
  ClockBajo();
}

TEST(Revision, DataMustBeSetBeforeTheFallingEdge) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo14 chip14;
  b.Adaptador.Conecta(&chip14);
  Entra(1);
  EnviaComando6(0x06);
  EXPECT_TRUE(chip14.Violaciones.empty()) << "a bit sent with its half-bit waits";
  for (int i = 0; i < 6; ++i) BitSinPreparacion((0x06 >> i) & 1);
  EXPECT_FALSE(chip14.Violaciones.empty()) << "data changed at the latching edge";

  PonPerfilLptSim();
  TBancoSim b18;
  TChipMinimo18 chip18;
  b18.Adaptador.Conecta(&chip18);
  Entra(1);
  PonTblptr(0x000010);
  EXPECT_TRUE(chip18.Violaciones.empty());
  for (int i = 0; i < 4; ++i) BitSinPreparacion(i % 2 == 0);
  EXPECT_FALSE(chip18.Violaciones.empty());
}

TEST(Revision, FirstClockWaitsForTheProgrammingVoltage) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  PinesReposo();
  VddOn();
  MedioBitUs = 1;
  ClockBajo();
  DatoBajo();
  EsperaMs(5);
  VppOn();  // and clocking at once
  EnviaComando6(0x06);
  ASSERT_TRUE(chip.EnProgramacion);
  EXPECT_FALSE(chip.Violaciones.empty()) << "no hold after the programming voltage rose";

  SaleProgramacion();
  chip.Violaciones.clear();
  EntraProgramacion();
  EnviaComando6(0x06);
  EXPECT_TRUE(chip.Violaciones.empty());
}

TEST(Revision, ProgrammingNopLetsTheHighVoltageDischarge) {
  for (bool com : {false, true}) {
    com ? PonPerfilComSim() : PonPerfilLptSim();
    TBancoSim b;
    TChipMinimo18 chip;
    b.Adaptador.Conecta(&chip);
    Entra(com ? 4 : 1);
    RetardoPgm = 1;
    PonTblptr(0x000020);
    ProgramaNop(0x1234);
    EXPECT_TRUE(chip.Violaciones.empty()) << (com ? "COM" : "LPT") << ": "
                                          << (chip.Violaciones.empty() ? "" : chip.Violaciones[0]);
    EXPECT_EQ(chip.Lee(0x20), 0x34);
    EXPECT_EQ(chip.Lee(0x21), 0x12);
    ASSERT_EQ(chip.OperandosNop.size(), 1u);
    EXPECT_EQ(chip.OperandosNop[0], 0);
  }
  RetardoPgm = 0;
}

TEST(Revision, ChipNoticesAnOperandClockedDuringTheDischarge) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo18 chip;
  b.Adaptador.Conecta(&chip);
  Entra(1);
  EnviaComando4(15);
  EnviaDato16(0xBEEF);
  DatoBajo();
  for (int i = 0; i < 3; ++i) {
    ClockAlto();
    EsperaUs(1);
    ClockBajo();
    EsperaUs(1);
  }
  ClockAlto();
  EsperaMs(2);
  ClockBajo();
  EsperaUs(1);  // far shorter than the discharge time
  EnviaDato16(0);
  ASSERT_EQ(chip.OperandosNop.size(), 1u);
  EXPECT_EQ(chip.Violaciones.size(), 1u);
}

}  // namespace

namespace {

TEST(Revision, CommandStartedBeforeTheProgrammingTimeEndedIsNoticed) {
  PonPerfilLptSim();
  TBancoSim b;
  TChipMinimo14 chip;
  b.Adaptador.Conecta(&chip);
  Entra(1);
  EnviaComando6(0x02);
  EnviaDato14(0x0155);
  EnviaComando6(0x08);
  // The programming time less a few microseconds: the command's own clocks
  // would make up for them, but its first clock already falls inside it.
  EsperaNs(chip.TiempoProgNs - 5'000);
  EnviaComando6(0x06);
  EXPECT_EQ(chip.Violaciones.size(), 1u);
}

}  // namespace

namespace {

// A parallel port node that opens and takes PPEXCL, but refuses the claim
// the way the kernel does when another driver is registered on the port.
class TClaimRehusado : public TSistemaES {
public:
  TClaimRehusado() { anterior_ = PonSistemaES(this); }
  ~TClaimRehusado() override { PonSistemaES(anterior_); }
  int Abre(const char*, int) override { return 42; }
  int Cierra(int) override { return 0; }
  int Ioctl(int, unsigned long peticion, void*) override {
    if (peticion != PPCLAIM) return 0;
    errno = ENXIO;
    return -1;
  }

private:
  TSistemaES* anterior_ = nullptr;
};

TEST(Revision, RefusedExclusiveClaimNamesTheDriverThatHoldsThePort) {
  TClaimRehusado sistema;
  std::string error;
  EXPECT_EQ(AbrePpdev(0x378, "/dev/parport0", error), nullptr);
  EXPECT_NE(error.find("/dev/parport0"), std::string::npos) << error;
  EXPECT_NE(error.find("rmmod lp"), std::string::npos) << error;
  EXPECT_EQ(error.find("modprobe"), std::string::npos) << "the node opened: the port exists. " << error;
}

}  // namespace
