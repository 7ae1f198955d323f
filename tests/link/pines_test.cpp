// Line setters, idle and end levels, checked as the levels the simulated
// adapter puts on the target's lines.
#include <gtest/gtest.h>

#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "sim_banco.h"

namespace {

TEST(Pines, LptDefaultProfileDrivesInvertedLinesInOneRegister) {
  PonPerfilLptSim();
  TBancoSim b;
  PinesReposo();
  TLineasSim l = b.Adaptador.Lineas();
  EXPECT_FALSE(l.Vpp);
  EXPECT_FALSE(l.Clock);
  EXPECT_FALSE(l.DatoHost);
  // Inverted lines at rest: their register bits are set.
  EXPECT_EQ(b.Puerto.Registro(0x378) & 0x07, 0x07);

  struct {
    void (*paso)();
    bool TLineasSim::*linea;
    bool nivel;
  } casos[] = {
      {DatoAlto, &TLineasSim::DatoHost, true}, {DatoBajo, &TLineasSim::DatoHost, false},
      {ClockAlto, &TLineasSim::Clock, true},   {ClockBajo, &TLineasSim::Clock, false},
      {VppOn, &TLineasSim::Vpp, true},         {VppOff, &TLineasSim::Vpp, false},
      {VddOn, &TLineasSim::Vdd, true},         {VddOff, &TLineasSim::Vdd, false},
  };
  for (const auto& c : casos) {
    const TLineasSim antes = b.Adaptador.Lineas();
    c.paso();
    TLineasSim despues = b.Adaptador.Lineas();
    EXPECT_EQ(despues.*(c.linea), c.nivel);
    despues.*(c.linea) = antes.*(c.linea);
    EXPECT_TRUE(despues == antes) << "another line moved";
  }
}

TEST(Pines, VppInTheControlRegisterKeepsItsOwnShadow) {
  PonPerfilLptSim();
  AddrV = 0x37A;
  Bit_Vpp = 0x01;  // Strobe
  TBancoSim b;
  PinesReposo();
  DatoAlto();
  ClockAlto();
  const uint8_t datos = b.Puerto.Registro(0x378);
  const size_t escrituras = b.Puerto.Escrituras.size();
  VppOn();
  ASSERT_EQ(b.Puerto.Escrituras.size(), escrituras + 1);
  EXPECT_EQ(b.Puerto.Escrituras.back().direccion, 0x37A);
  EXPECT_EQ(b.Puerto.Registro(0x378), datos);
  const TLineasSim l = b.Adaptador.Lineas();
  EXPECT_TRUE(l.Vpp && l.Clock && l.DatoHost);
  VppOff();
  EXPECT_EQ(b.Puerto.Registro(0x378), datos);
}

TEST(Pines, ComLinesShareOneShadowAcrossBothRegisters) {
  PonPerfilComSim();
  TBancoSim b;
  PinesReposo();
  VppOn();
  // The Vpp write carried the (low) clock and data bits into line control.
  EXPECT_EQ(b.Puerto.Escrituras.back().direccion, 0x3FB);
  EXPECT_EQ(b.Puerto.Escrituras.back().valor, 0x40);
  ClockAlto();
  // ... and the clock write carries the Vpp bit into modem control.
  EXPECT_EQ(b.Puerto.Escrituras.back().direccion, 0x3FC);
  EXPECT_EQ(b.Puerto.Escrituras.back().valor, 0x42);
  DatoAlto();
  VppOff();
  EXPECT_EQ(b.Puerto.Escrituras.back().direccion, 0x3FB);
  EXPECT_EQ(b.Puerto.Escrituras.back().valor, 0x03);
  const TLineasSim l = b.Adaptador.Lineas();
  EXPECT_FALSE(l.Vpp);
  EXPECT_TRUE(l.Clock);
  EXPECT_TRUE(l.DatoHost);
  EXPECT_TRUE(l.Vdd) << "Vdd not switched: always on";
}

TEST(Pines, SettersBeforeTheIdleLevelsDoNotCrash) {
  PonPerfilLptSim();
  TBancoSim b;
  SombraPin.fill(&SombraBase);
  DatoAlto();
  EXPECT_TRUE(b.Adaptador.Lineas().DatoHost);
}

TEST(Pines, DataInTestsItsBitWithInversion) {
  PonPerfilLptSim();
  TBancoSim b;  // no adapter wiring on reads below: the adapter is disconnected
  b.Puerto.Conecta(nullptr);
  struct {
    uint8_t mascara;
    bool invertida;
    uint8_t registro;
    uint8_t esperado;
  } casos[] = {
      {0x80, false, 0x80, 1}, {0x80, false, 0x7F, 0}, {0x80, true, 0x7F, 1},
      {0x80, true, 0xFF, 0},  {0x10, false, 0xEF, 0}, {0x10, false, 0x10, 1},
      {0x03, false, 0x01, 1},  // a bad mask tests bits; it never divides
  };
  for (const auto& c : casos) {
    Bit_Read = c.mascara;
    Inv_Read = c.invertida;
    b.Puerto.PonRegistro(AddrS, c.registro);
    EXPECT_EQ(LeeDato(), c.esperado) << int(c.mascara) << " " << c.invertida << " " << int(c.registro);
  }
}

TEST(Pines, EndLevels) {
  struct {
    bool mclr, defMclr;
    bool mclrEsperado;  // level of the MCLR line after PonPines_END
  } casos[] = {{true, true, false}, {true, false, true}, {false, true, true}};
  for (const auto& c : casos) {
    PonPerfilLptSim(false, c.mclr);
    DEF_BIT_MCLR = c.defMclr;
    DEF_BIT_DATA = true;
    DEF_BIT_VDD = true;
    TBancoSim b;
    PinesReposo();
    const size_t antes = b.Puerto.Escrituras.size();
    PonPines_END();
    const TLineasSim l = b.Adaptador.Lineas();
    EXPECT_EQ(l.Mclr, c.mclrEsperado);
    EXPECT_TRUE(l.DatoHost);
    EXPECT_FALSE(l.Clock);
    EXPECT_TRUE(l.Vdd);
    // Data, clock, Vpp, [MCLR], Vdd: one write each.
    EXPECT_EQ(b.Puerto.Escrituras.size() - antes, c.mclr ? 5u : 4u);
  }
}

TEST(Pines, FirmwareLinkLeavesTheLinesAlone) {
  PonPerfilLptSim();
  USB_COM = true;
  TBancoSim b;
  PinesReposo();
  EntraProgramacion();
  SaleProgramacion();
  PonPines_END();
  VddOn();
  VddOff();
  EXPECT_TRUE(b.Puerto.Escrituras.empty());
  EXPECT_EQ(b.Reloj.AhoraNs(), 0u);
  USB_COM = false;
}

TEST(Pines, AddressesOutsideThePortTableAreNeverWritten) {
  PonPerfilLptSim();
  AddrD = 0x300;
  TBancoSim b;
  PinesReposo();
  for (const auto& e : b.Puerto.Escrituras) EXPECT_NE(e.direccion, 0x300);
  std::string error;
  EXPECT_FALSE(ValidaPines(error));
  EXPECT_FALSE(error.empty());
}

TEST(Pines, ProfileChecks) {
  struct {
    const char* caso;
    void (*cambia)();
    bool valido;
  } casos[] = {
      {"default LPT", [] {}, true},
      {"COM", [] { PonPerfilComSim(); }, true},
      {"zero data-in mask", [] { Bit_Read = 0; }, false},
      {"two-bit data-in mask", [] { Bit_Read = 0xC0; }, false},
      {"two-bit clock mask", [] { Bit_Clock = 0x06; }, false},
      {"unused Vpp2 may be anything", [] { Bit_Vpp2 = 0; }, true},
      {"used Vpp2 needs a bit", [] { Usa_Vpp2 = true; Bit_Vpp2 = 0; }, false},
      {"base outside the table", [] { PonPinesPorDefecto(0x300); }, false},
      {"line on another port", [] { AddrC = 0x278; }, false},
      {"data-in on the control register", [] { AddrS = 0x37A; }, false},
      {"clock on the status register", [] { AddrC = 0x379; }, false},
      {"Vpp on the control register", [] { AddrV = 0x37A; }, true},
      {"clock on control bit 3", [] { AddrC = 0x37A; Bit_Clock = 0x08; }, true},
      {"Vpp on control bit 4, interrupt enable", [] { AddrV = 0x37A; Bit_Vpp = 0x10; }, false},
      {"Vdd on control bit 5, direction", [] { AddrVdd = 0x37A; Bit_Vdd = 0x20; }, false},
      {"unused MCLR on control bit 4", [] { AddrM = 0x37A; Bit_Mclr = 0x10; }, true},
      {"COM line on the data register", [] { PonPerfilComSim(); AddrD = 0x3F8; }, false},
      {"COM data-in on modem control", [] { PonPerfilComSim(); AddrS = 0x3FC; }, false},
      {"COM Vpp on modem control", [] { PonPerfilComSim(); AddrV = 0x3FC; }, true},
  };
  for (const auto& c : casos) {
    PonPerfilLptSim();
    c.cambia();
    std::string error;
    EXPECT_EQ(ValidaPines(error), c.valido) << c.caso;
  }
  // A line ppdev cannot drive is refused as any line outside the port.
  PonPerfilLptSim();
  AddrV = 0x37A;
  Bit_Vpp = 0x10;
  std::string bit4, fuera;
  ValidaPines(bit4);
  PonPerfilLptSim();
  AddrC = 0x379;
  ValidaPines(fuera);
  EXPECT_EQ(bit4, fuera);
}

}  // namespace
