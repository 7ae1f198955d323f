// The hardware check and the loop-back test on simulated adapters.
#include <gtest/gtest.h>

#include "chips/minimo.h"
#include "comun.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "sim_banco.h"

namespace {

class Prueba : public ::testing::Test {
protected:
  void SetUp() override {
    TextosEntorno[10] = "Checking hardware";
    TextosEntorno[11] = "Hardware Ok";
    ContextoError = {};
    ResultadoAccion = 0;
    TipoAccion = 8;
    ClaseDispositivo = 0;
  }
  void TearDown() override {
    USB_COM = false;
    IdentificaFirmware = nullptr;
    VersionFirmware = nullptr;
    TipoAccion = 0;
  }
  TVentanaPrueba ventana;
};

TEST_F(Prueba, LoopBackPassesOnLptAndCom) {
  for (bool com : {false, true}) {
    com ? PonPerfilComSim() : PonPerfilLptSim();
    TBancoSim b;
    TChipMinimo14 chip;  // an idle chip does not drive the data line
    b.Adaptador.Conecta(&chip);
    ventana.Lineas.clear();
    PinesReposo();
    ASSERT_TRUE(CompruebaHardware()) << (com ? "COM" : "LPT");
    EXPECT_EQ(MedioBitUs, com ? 4 : 1);
    EXPECT_EQ(ventana.Lineas, std::vector<std::string>{" Hardware Ok"});
    EXPECT_EQ(ContextoError.Codigo, 0u);
    // Sixteen data-out changes at most, one read each, and the lines at rest.
    EXPECT_EQ(b.Puerto.Lecturas, 16u);
    EXPECT_FALSE(b.Adaptador.Lineas().DatoHost);
  }
}

TEST_F(Prueba, StatusBitsWithoutALineDoNotDisturbTheLoopBack) {
  for (uint8_t libres : {0x00, 0xFF, 0x55}) {
    PonPerfilLptSim();
    TBancoSim b;
    b.Puerto.PonRegistro(AddrS, libres);
    PinesReposo();
    EXPECT_FALSE(TestLazo()) << int(libres);
  }
}

TEST_F(Prueba, BrokenAdapterFailsWithError2) {
  for (auto falla : {TFallaAdaptador::DatoPegadoAlto, TFallaAdaptador::DatoPegadoBajo}) {
    PonPerfilLptSim();
    TBancoSim b;
    b.Adaptador.Falla = falla;
    ventana.Lineas.clear();
    ResultadoAccion = 0;
    PinesReposo();
    EXPECT_TRUE(TestLazo());
    EXPECT_EQ(ContextoError.Codigo, uint32_t{ErrHardware});
    ContextoError = {};
    ventana.Lineas.clear();
    EXPECT_FALSE(CompruebaHardware());
    EXPECT_EQ(ContextoError.Codigo, uint32_t{ErrHardware});
    EXPECT_EQ(ResultadoAccion, 255);
    ASSERT_FALSE(ventana.Lineas.empty());
    EXPECT_EQ(ventana.Lineas.front(), " Checking hardware");
  }
}

TEST_F(Prueba, ChipHoldingTheDataLineLowFailsTheLoopBack) {
  // A target that drives the data line low always (wired-AND) is what a
  // short on the data line looks like.
  struct TChipPegado : TChipSim {
    void Lineas(uint64_t, const TLineasSim&) override {}
    std::optional<bool> Dato() const override { return false; }
  } chip;
  PonPerfilLptSim();
  TBancoSim b;
  b.Adaptador.Conecta(&chip);
  PinesReposo();
  EXPECT_TRUE(TestLazo());
}

TEST_F(Prueba, PinLevelLinkChecksNothingForOtherActions) {
  PonPerfilLptSim();
  TBancoSim b;
  b.Adaptador.Falla = TFallaAdaptador::DatoPegadoAlto;
  PinesReposo();
  const size_t escrituras = b.Puerto.Escrituras.size();
  TipoAccion = 1;
  EXPECT_TRUE(CompruebaHardware());
  EXPECT_TRUE(ventana.Lineas.empty());
  EXPECT_EQ(b.Puerto.Escrituras.size(), escrituras);
}

TEST_F(Prueba, BadProfileStopsEveryOperation) {
  PonPerfilLptSim();
  Bit_Read = 0;
  TBancoSim b;
  TipoAccion = 1;
  EXPECT_FALSE(CompruebaHardware());
  EXPECT_EQ(ResultadoAccion, 255);
  EXPECT_EQ(ventana.Mensajes.size(), 1u);
}

TEST_F(Prueba, PortThatRefusesTheIdleLevelsStopsEveryOperation) {
  PonPerfilLptSim();
  TBancoSim b;
  b.Puerto.Falla = true;
  PinesReposo();
  TipoAccion = 1;
  EXPECT_FALSE(CompruebaHardware());
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("LPT1"), std::string::npos);
  EXPECT_EQ(ResultadoAccion, 255);
  // The failure was taken; a working port passes again.
  b.Puerto.Falla = false;
  PinesReposo();
  EXPECT_TRUE(CompruebaHardware());
}

TEST_F(Prueba, SerialEepromOnComPowersFromTheLinesFirst) {
  PonPerfilComSim();
  ClaseDispositivo = 2;
  TBancoSim b;
  PinesReposo();
  const uint64_t t0 = b.Reloj.AhoraNs();
  EXPECT_FALSE(TestLazo());
  EXPECT_GE(b.Reloj.AhoraNs() - t0, 100'000'000u);
  ClaseDispositivo = 0;
}

TEST_F(Prueba, UnavailablePortIsReportedWithItsNode) {
  // No simulated port: the machine's ports, on a node that does not exist.
  PonPerfilLptSim();
  NodoPuerto = "/nonexistent/parport7";
  TRelojVirtual reloj;
  TipoAccion = 1;
  EXPECT_FALSE(CompruebaHardware());
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("/nonexistent/parport7"), std::string::npos);
  EXPECT_NE(ventana.Mensajes[0].find("modprobe"), std::string::npos);
  EXPECT_EQ(ResultadoAccion, 255);
  NodoPuerto.clear();
}

// A pin-level profile on a USB-serial adapter reads the data line through
// status packets that come late: the check says so once per port, and the
// operation goes on.
TEST_F(Prueba, UsbSerialAdapterIsWarnedAboutOnce) {
  struct {
    const char* nodo;
    bool com;
    std::size_t avisos;
  } casos[] = {
      {"/dev/ttyUSB7", true, 1}, {"/dev/ttyACM7", true, 1}, {"/dev/ttyS7", true, 0},
      {"/dev/ttyUSB7", false, 0},  // a parallel profile's node is no serial port
  };
  for (const auto& c : casos) {
    c.com ? PonPerfilComSim() : PonPerfilLptSim();
    NodoPuerto = c.nodo;
    ventana.Mensajes.clear();
    ventana.Lineas.clear();
    EXPECT_TRUE(PerfilPinesValido()) << c.nodo;
    EXPECT_TRUE(PerfilPinesValido()) << c.nodo;
    ASSERT_EQ(ventana.Mensajes.size(), c.avisos) << c.nodo;
    EXPECT_EQ(ventana.Lineas.size(), c.avisos) << c.nodo;
    if (c.avisos) {
      EXPECT_NE(ventana.Mensajes[0].find(c.nodo), std::string::npos) << ventana.Mensajes[0];
      EXPECT_NE(ventana.Mensajes[0].find("USB-serial"), std::string::npos) << ventana.Mensajes[0];
    }
  }
  NodoPuerto.clear();
}

TEST_F(Prueba, FirmwareProgrammerAnswers) {
  struct {
    const char* respuesta;
    uint8_t codigoLectura;
    bool pasa;
    uint32_t error;
  } casos[] = {
      {"Ok1.23", 0, true, 0},
      {"No1.23", 0, false, ErrHardware},
      {"", ErrSinRespuesta, false, 0},
  };
  for (const auto& c : casos) {
    PonPerfilLptSim();
    USB_COM = true;
    ContextoError = {};
    ventana.Lineas.clear();
    IdentificaFirmware = [&c](std::array<uint8_t, 6>& r) {
      for (size_t i = 0; i < 6 && c.respuesta[i]; ++i) r[i] = static_cast<uint8_t>(c.respuesta[i]);
      return c.codigoLectura;
    };
    VersionFirmware = [] { return std::string(" v - 1.23"); };
    EXPECT_EQ(CompruebaHardware(), c.pasa) << c.respuesta;
    EXPECT_EQ(ContextoError.Codigo, c.error);
    if (c.pasa) {
      EXPECT_EQ(ventana.Lineas.back(), " Hardware Ok v - 1.23");
    } else {
      EXPECT_EQ(ResultadoAccion, 255);
    }
  }
}

TEST_F(Prueba, FirmwareLinkMissingFailsCleanly) {
  PonPerfilLptSim();
  USB_COM = true;
  EXPECT_FALSE(CompruebaHardware());
  EXPECT_EQ(ResultadoAccion, 255);
}

}  // namespace
