// Hardware profile files: defaults, round trip, hand-edited files, names,
// and the profiles shipped with the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CarpetaPrograma.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"

namespace fs = std::filesystem;

namespace {

// Every pin configuration and link variable, for comparing two states.
std::string Estado() {
  std::ostringstream o;
  o << Usa_Vdd << Usa_Vpp2 << Usa_Mclr << ' ' << AddrB << ' ' << AddrD << ' ' << AddrC << ' ' << AddrM << ' '
    << AddrS << ' ' << AddrV << ' ' << AddrV2 << ' ' << AddrVdd << ' ' << int(Bit_Data) << ' '
    << int(Bit_Clock) << ' ' << int(Bit_Vpp) << ' ' << int(Bit_Vpp2) << ' ' << int(Bit_Read) << ' '
    << int(Bit_Mclr) << ' ' << int(Bit_Vdd) << ' ' << Inv_Data << Inv_Clock << Inv_Vpp << Inv_Vpp2
    << Inv_Read << Inv_Mclr << Inv_Vdd << ' ' << DEF_BIT_DATA << DEF_BIT_CLOCK << DEF_BIT_VPP
    << DEF_BIT_VPP2 << DEF_BIT_MCLR << DEF_BIT_VDD << ' ' << USB_COM << USB_ << ' ' << ADDR_USB_COM
    << ' ' << ADDR_USB_ << ' ' << VidPid << ' ' << NodoPuerto;
  return o.str();
}

class Perfil : public ::testing::Test {
protected:
  void SetUp() override {
    carpeta_ = fs::path(::testing::TempDir()) / ("perfiles_" + std::to_string(::getpid()));
    fs::create_directories(carpeta_ / "Hardware");
    fs::create_directories(carpeta_ / "config");
    PonCarpetaPrograma(carpeta_.string());
    setenv("XDG_CONFIG_HOME", (carpeta_ / "config").c_str(), 1);
  }
  void TearDown() override {
    PonCarpetaPrograma("");
    unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(carpeta_);
    PonPinesPorDefecto();
  }
  void Escribe(const std::string& nombre, const std::string& texto) {
    std::ofstream(carpeta_ / "Hardware" / nombre) << texto;
  }
  std::string Lee(const std::string& nombre) {
    std::ifstream f(carpeta_ / "Hardware" / nombre);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  fs::path carpeta_;
};

TEST_F(Perfil, MissingFileGivesTheDefaults) {
  EXPECT_FALSE(LeePerfilHardware("NoSuchAdapter"));
  EXPECT_EQ(AddrB, 0x378);
  EXPECT_EQ(AddrS, 0x379);
  EXPECT_EQ(AddrVdd, 0x378);
  EXPECT_EQ(Bit_Read, 128);
  EXPECT_TRUE(Inv_Data && Inv_Clock && Inv_Vpp && Inv_Read && Inv_Vdd && Usa_Vdd);
  EXPECT_FALSE(Usa_Vpp2 || Usa_Mclr || USB_COM || DEF_BIT_VDD);
  EXPECT_EQ(ADDR_USB_COM, "COM1");
  EXPECT_EQ(VidPid, "vid_04d8&pid_5200");
}

TEST_F(Perfil, OnlyAddrBMakesAnLpt2Adapter) {
  Escribe("Lpt2.prf", "[Hardware]\r\nAddrB=632\r\n");
  EXPECT_TRUE(LeePerfilHardware("Lpt2"));
  EXPECT_EQ(TipoEnlace(), TTipoEnlace::teLPT);
  for (uint16_t a : {AddrD, AddrC, AddrV, AddrV2, AddrM, AddrVdd}) EXPECT_EQ(a, 0x278);
  EXPECT_EQ(AddrS, 0x279);
  EXPECT_EQ(Bit_Clock, 2);
  EXPECT_TRUE(Inv_Clock);
}

// A file that holds no key of a profile is told apart from a profile that
// leaves keys to their defaults: its path is given, for the message.
TEST_F(Perfil, AFileWithNoKeyOfAProfileIsNamed) {
  std::string azar;
  uint32_t x = 88172645u;
  for (int i = 0; i < 300; ++i) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    azar += static_cast<char>(x);
  }
  const std::pair<std::string, bool> casos[] = {
      {azar, true},
      {"", true},
      {"[Hardware]\nAddr=632\n", true},      // no key of a profile
      {"[Otro]\nAddrB=632\n", true},         // in another section
      {"[Hardware]\nNodo=/dev/x\n", false},  // any one key is enough
      {"[Hardware]\nDEF_BIT_VDD=1\n", false},
  };
  for (const auto& [texto, sinAjustes] : casos) {
    SCOPED_TRACE(texto.substr(0, 24));
    Escribe("Raro.prf", texto);
    EXPECT_TRUE(LeePerfilHardware("Raro"));
    EXPECT_EQ(PerfilSinAjustes("Raro"), sinAjustes ? (carpeta_ / "Hardware" / "Raro.prf").string() : "");
  }
  EXPECT_EQ(PerfilSinAjustes("NoSuchAdapter"), "");
  // Every key the program writes counts.
  PonPinesPorDefecto(0x3F8);
  ASSERT_TRUE(GuardaPerfilHardware("Guardado"));
  EXPECT_EQ(PerfilSinAjustes("Guardado"), "");
}

TEST_F(Perfil, RoundTripKeepsEverything) {
  PonPinesPorDefecto(0x3F8);
  AddrD = AddrC = AddrM = AddrVdd = 0x3FC;
  AddrV = AddrV2 = 0x3FB;
  AddrS = 0x3FE;
  Bit_Data = 1;
  Bit_Clock = 2;
  Bit_Vpp = 64;
  Bit_Read = 32;
  Inv_Data = false;
  Inv_Read = false;
  Usa_Vpp2 = true;
  Usa_Mclr = true;
  DEF_BIT_CLOCK = DEF_BIT_MCLR = DEF_BIT_VDD = true;
  ADDR_USB_COM = "/dev/ttyUSB1";
  ADDR_USB_ = "Ind.#3";
  VidPid = "vid_04d8&pid_527A";
  NodoPuerto = "/dev/ttyUSB0";
  const std::string antes = Estado();
  ASSERT_TRUE(GuardaPerfilHardware("Mine"));
  PonPinesPorDefecto();
  ASSERT_TRUE(LeePerfilHardware("Mine"));
  EXPECT_EQ(Estado(), antes);
  EXPECT_NE(Lee("Mine.prf").find("pid=7A"), std::string::npos);
  EXPECT_NE(Lee("Mine.prf").find("AddrB=1016"), std::string::npos) << "decimal integers";
}

TEST_F(Perfil, HandEditedValues) {
  Escribe("Hand.prf", "[Hardware]\nAddrB=$278\nInv_Clock=2\nUsa_Vdd=0\npid=7A\nBit_Read=abc\n");
  LeePerfilHardware("Hand");
  EXPECT_EQ(AddrB, 0x278);
  EXPECT_TRUE(Inv_Clock) << "any non-zero value is true";
  EXPECT_FALSE(Usa_Vdd);
  EXPECT_EQ(Bit_Read, 128) << "an unreadable value takes its default";
  EXPECT_EQ(VidPid, "vid_04d8&pid_527A");
  ASSERT_TRUE(GuardaPerfilHardware("Hand"));
  const std::string texto = Lee("Hand.prf");
  EXPECT_NE(texto.find("Inv_Clock=1"), std::string::npos);
  EXPECT_NE(texto.find("pid=7A"), std::string::npos);
  EXPECT_EQ(texto.find("Nodo="), std::string::npos) << "no node key unless one is named";
}

TEST_F(Perfil, FirmwareProfilesAlwaysSwitchVddAndMclr) {
  PonPinesPorDefecto();
  USB_COM = true;
  Usa_Vdd = false;
  Usa_Mclr = false;
  ASSERT_TRUE(GuardaPerfilHardware("Fw"));
  const std::string texto = Lee("Fw.prf");
  EXPECT_NE(texto.find("Usa_Vdd=1"), std::string::npos);
  EXPECT_NE(texto.find("Usa_Mclr=1"), std::string::npos);
}

TEST_F(Perfil, NamesStayInTheProfileFolder) {
  struct {
    const char* nombre;
    const char* ruta;
  } casos[] = {
      {"Korvane", "Hardware/Korvane.prf"}, {" Korvane ", "Hardware/Korvane.prf"},
      {"Korvane.prf ", "Hardware/Korvane.prf"}, {".prf ", ""}, {"", ""}, {"../escape", ""},
      {"a/b", ""}, {"a\\b", ""}, {"..", ""},
  };
  for (const auto& c : casos) EXPECT_EQ(RutaPerfil(c.nombre), c.ruta) << c.nombre;
  EXPECT_FALSE(GuardaPerfilHardware(".prf "));
  EXPECT_FALSE(GuardaPerfilHardware("../escape"));
  EXPECT_TRUE(fs::is_empty(carpeta_ / "Hardware"));
  EXPECT_FALSE(fs::exists(carpeta_ / "escape.prf"));
}

TEST_F(Perfil, ListAndDelete) {
  Escribe("b.prf", "[Hardware]\n");
  Escribe("A.prf", "[Hardware]\n");
  Escribe("notes.txt", "");
  PonPinesPorDefecto();
  ASSERT_TRUE(GuardaPerfilHardware("c"));
  EXPECT_EQ(ListaPerfilesHardware(), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_TRUE(BorraPerfilHardware("b"));
  EXPECT_FALSE(BorraPerfilHardware("b"));
  EXPECT_FALSE(BorraPerfilHardware("../Hardware/A"));
  EXPECT_EQ(ListaPerfilesHardware(), (std::vector<std::string>{"A", "c"}));
}

TEST(PerfilesEntregados, LoadAndCheck) {
  const fs::path carpeta = fs::path(KORVANE_SOURCE_DIR) / "korvane/app";
  PonCarpetaPrograma(carpeta.string());
  const auto nombres = ListaPerfilesHardware();
  EXPECT_NE(std::find(nombres.begin(), nombres.end(), "Korvane"), nombres.end());
  bool firmware = false;
  for (const auto& n : nombres) {
    ASSERT_TRUE(LeePerfilHardware(n)) << n;
    // A user who switches any of them to a USB-232 link meets a port name
    // of this system.
    EXPECT_EQ(ADDR_USB_COM, "/dev/ttyACM0") << n;
    if (USB_COM) {
      firmware = firmware || ADDR_USB_COM == "/dev/ttyACM0";
      EXPECT_TRUE(Usa_Vdd && Usa_Mclr) << n;
      continue;
    }
    std::string error;
    EXPECT_TRUE(ValidaPines(error)) << n << ": " << error;
  }
  EXPECT_TRUE(firmware);
  // The default profile is the program's own adapter: the file defaults,
  // but for the serial port name.
  LeePerfilHardware("Korvane");
  const std::string korvane = Estado();
  PonPinesPorDefecto();
  ADDR_USB_COM = "/dev/ttyACM0";
  EXPECT_EQ(Estado(), korvane);
  PonCarpetaPrograma("");
}

}  // namespace
