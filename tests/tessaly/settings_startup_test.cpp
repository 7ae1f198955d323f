// The settings file vorracfg.ini, the command line and the port check.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ts_app.h"
#include "ts_settings.h"
#include "ts_startup.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

TSettingsFile Everything() {
  TSettingsFile s;
  s.Main = {5, 6, 0, 0, false, false};
  s.Config = {7, 8, 0, 0, true, false};
  s.Code = {9, 10, 300, 200, true, true};
  s.Data = {11, 12, 301, 201, false, true};
  s.ID = {13, 14, 302, 202, true, false};
  s.SerialNumber = {15, 16, 0, 0, true, false};
  s.Count = {17, 18, 0, 0, true, false};
  s.SN.SerialNumber = -123456;
  s.SN.IncrementBy = 3;
  s.SN.StartingLocation = 8191;
  s.SN.NumberLocations = 4;
  s.SN.PrefixByte = 63;
  s.SN.MSBFirst = true;
  s.SN.Target = TSerialNumberParameters::ID;
  s.Options.ProgramCode = false;
  s.Options.ProgramID = true;
  s.Options.SkipBlankCheck = true;
  s.Options.UpdateConfiguration = false;
  s.VorraPort = 2;
  s.AutoPortDetect = false;
  s.StayOnTop = true;
  s.Device = "PIC18F452 rev B";
  s.ConfigCount = 7;
  for (int i = 0; i < 7; ++i) s.ConfigWords[i] = 0x1000u + static_cast<uint32_t>(i);
  s.ConfigWords[3] = EmptyEntry;
  s.Files = {"/a/one.hex", "/b/two three.hex", "c.hex", "/d.hex"};
  return s;
}

void ExpectSame(const TSettingsFile& a, const TSettingsFile& b) {
  const auto same = [](const TWindowPlacement& x, const TWindowPlacement& y) {
    return x.Left == y.Left && x.Top == y.Top && x.Width == y.Width && x.Height == y.Height &&
           x.Visible == y.Visible && x.Ascii == y.Ascii;
  };
  EXPECT_TRUE(same(a.Main, b.Main));
  EXPECT_TRUE(same(a.Config, b.Config));
  EXPECT_TRUE(same(a.Code, b.Code));
  EXPECT_TRUE(same(a.Data, b.Data));
  EXPECT_TRUE(same(a.ID, b.ID));
  EXPECT_TRUE(same(a.SerialNumber, b.SerialNumber));
  EXPECT_TRUE(same(a.Count, b.Count));
  EXPECT_EQ(a.SN.SerialNumber, b.SN.SerialNumber);
  EXPECT_EQ(a.SN.IncrementBy, b.SN.IncrementBy);
  EXPECT_EQ(a.SN.StartingLocation, b.SN.StartingLocation);
  EXPECT_EQ(a.SN.NumberLocations, b.SN.NumberLocations);
  EXPECT_EQ(a.SN.PrefixByte, b.SN.PrefixByte);
  EXPECT_EQ(a.SN.MSBFirst, b.SN.MSBFirst);
  EXPECT_EQ(a.SN.Target, b.SN.Target);
  EXPECT_EQ(a.Options.ProgramCode, b.Options.ProgramCode);
  EXPECT_EQ(a.Options.ProgramID, b.Options.ProgramID);
  EXPECT_EQ(a.Options.SkipBlankCheck, b.Options.SkipBlankCheck);
  EXPECT_EQ(a.Options.UpdateConfiguration, b.Options.UpdateConfiguration);
  EXPECT_EQ(a.VorraPort, b.VorraPort);
  EXPECT_EQ(a.AutoPortDetect, b.AutoPortDetect);
  EXPECT_EQ(a.StayOnTop, b.StayOnTop);
  EXPECT_EQ(a.Device, b.Device);
  for (int i = 0; i < a.ConfigCount; ++i) EXPECT_EQ(a.ConfigWords[i], b.ConfigWords[i]) << i;
  EXPECT_EQ(a.Files, b.Files);
}

TEST(Settings, EveryValueRoundTrips) {
  const TSettingsFile s = Everything();
  const std::string text = SettingsText(s);
  TSettingsFile r;
  ReadSettingsText(text, r);
  ExpectSame(s, r);
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(r.ConfigRead[i]);
  EXPECT_FALSE(r.ConfigRead[7]);
  // An empty word is written as all ones; sections end with an empty line.
  EXPECT_THAT(text, HasSubstr("Config3=0xFFFFFFFF\n"));
  EXPECT_THAT(text, HasSubstr("Config0=0x1000\n"));
  EXPECT_THAT(text, HasSubstr("\n\n[Files]\n/a/one.hex\n/b/two three.hex\nc.hex\n/d.hex\n\n"));
  EXPECT_EQ(text.rfind("[Main]\nLeft=5\nTop=6\n\n[Config]\n", 0), 0u);
  EXPECT_THAT(text, HasSubstr("[Code]\nHeight=200\nLeft=9\nTop=10\nWidth=300\nAscii=1\nVisible=1\n\n"));
  EXPECT_THAT(text, HasSubstr("WriteSNToEE=0\nWriteSNToID=1\nVisible=1\n\n[Count]"));
  EXPECT_THAT(text, HasSubstr("StayOnTop=1\nInvertPortValue=0\n\n[Device]\nDevice=PIC18F452 rev B\n"));
}

TEST(Settings, BoundsOfTheSerialNumberControls) {
  TSettingsFile s;
  ReadSettingsText("[SerialNumber]\nStartingLocation=9000\nNumberLocations=0\nPrefixByte=99\n", s);
  EXPECT_EQ(s.SN.StartingLocation, 8191);
  EXPECT_EQ(s.SN.NumberLocations, 1);
  EXPECT_EQ(s.SN.PrefixByte, 63);
  ReadSettingsText("[serialnumber]\r\nStartingLocation=-5\r\nNumberLocations=9\r\nPrefixByte=0x10\r\n", s);
  EXPECT_EQ(s.SN.StartingLocation, 0);
  EXPECT_EQ(s.SN.NumberLocations, 4);
  EXPECT_EQ(s.SN.PrefixByte, 16);
}

TEST(Settings, SectionsAnyOrderAndKeysLeftAlone) {
  TSettingsFile s;
  s.Code.Width = 77;
  ReadSettingsText(
      "[Files]\nx.hex\n\n[Code]\nLeft=3\n[Config]\nVisible=1\nLeft=4\n[Main]\nTop=2\n"
      "[Device]\nConfig=0x2FF4\nDevice= PIC16F84A \n[Nothing]\nLeft=99\n",
      s);
  EXPECT_EQ(s.Code.Left, 3);
  EXPECT_EQ(s.Code.Width, 77);  // not in the file: kept
  EXPECT_TRUE(s.Config.Visible);
  EXPECT_EQ(s.Config.Left, 4);
  EXPECT_EQ(s.Main.Top, 2);
  EXPECT_EQ(s.Main.Left, 0);
  EXPECT_EQ(s.ConfigWords[0], 0x2FF4u);
  EXPECT_EQ(s.Device, "PIC16F84A");
  EXPECT_THAT(s.Files, ElementsAre("x.hex"));
}

TEST(Settings, FilesStopAtAnEmptyLineOrTheFourth) {
  TSettingsFile s;
  ReadSettingsText("[Files]\na\nb\n\nc\n", s);
  EXPECT_THAT(s.Files, ElementsAre("a", "b"));
  ReadSettingsText("[Files]\n1\n2\n3\n4\n5\n", s);
  EXPECT_THAT(s.Files, ElementsAre("1", "2", "3", "4"));
}

TEST(Settings, FileReadAndWritten) {
  const auto dir = std::filesystem::temp_directory_path() / ("ts-settings-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "vorracfg.ini").string();
  TSettingsFile r;
  EXPECT_FALSE(LoadSettingsFile(path, r));
  std::string error;
  ASSERT_TRUE(SaveSettingsFile(path, Everything(), error)) << error;
  ASSERT_TRUE(LoadSettingsFile(path, r));
  ExpectSame(Everything(), r);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  // A folder that does not exist: reported with the system's reason.
  EXPECT_FALSE(SaveSettingsFile((dir / "no" / "vorracfg.ini").string(), r, error));
  EXPECT_FALSE(error.empty());
  std::filesystem::remove_all(dir);
}

// ---- Command line -----------------------------------------------------------

struct CasoLinea {
  std::vector<std::string> args;
  std::vector<std::string> devices;
  bool program, exit;
  std::string file;
};

class Linea : public ::testing::TestWithParam<CasoLinea> {};

TEST_P(Linea, Table) {
  const CasoLinea& c = GetParam();
  const auto existe = [](const std::string& f) { return f == "/x.hex"; };
  const TCommandLine r = ParseCommandLine(c.args, existe);
  EXPECT_EQ(r.Devices, c.devices);
  EXPECT_EQ(r.ProgramOnStart, c.program);
  EXPECT_EQ(r.ExitAfterProgramming, c.exit);
  EXPECT_EQ(r.File, c.file);
}

// A case shows as its command line.
void PrintTo(const CasoLinea& c, std::ostream* os) {
  *os << "tessaly";
  for (const std::string& a : c.args) *os << ' ' << a;
}

INSTANTIATE_TEST_SUITE_P(
    Tessaly, Linea,
    ::testing::Values(CasoLinea{{"/P", "a.hex"}, {}, true, false, "a.hex"},
                      CasoLinea{{"-p", "-X", "a"}, {}, true, true, "a"},
                      // -p with a name selects as -d does and does not program.
                      CasoLinea{{"-P16F84"}, {"16F84"}, false, false, ""},
                      CasoLinea{{"-dPIC16F628A", "-DPIC12F675"}, {"PIC16F628A", "PIC12F675"}, false, false, ""},
                      CasoLinea{{"-q", "/z", "-"}, {}, false, false, ""},
                      CasoLinea{{"a.hex", "b.hex"}, {}, false, false, "b.hex"},
                      // Linux paths are file names, not switches.
                      CasoLinea{{"/proj/x.hex"}, {}, false, false, "/proj/x.hex"},
                      CasoLinea{{"/x.hex", "-x"}, {}, false, true, "/x.hex"},
                      CasoLinea{{"/pPIC16F84A"}, {"PIC16F84A"}, false, false, ""}));

// ---- Port check ---------------------------------------------------------------

class Puerto : public ::testing::Test {
protected:
  void SetUp() override { AppSettings.ProgrammerPort = 0; }
  void TearDown() override { AppSettings.ProgrammerPort = 0; }
  TPortServices Servicios() {
    TPortServices s;
    s.AutoDetect = [this] {
      ++detecciones;
      return encontrado;
    };
    s.OpenSelected = [this](int p) {
      abiertos.push_back(p);
      return abre;
    };
    s.ErrorBox = [this](const std::string& t) { errores.push_back(t); };
    return s;
  }
  int detecciones = 0, encontrado = 0;
  bool abre = true;
  std::vector<int> abiertos;
  std::vector<std::string> errores;
};

TEST_F(Puerto, AutoFoundOnceUntilSwitchedOffAndOn) {
  TPortMenu m;
  ApplyPortSetting(m);
  encontrado = 2;
  EXPECT_TRUE(CheckProgrammerPort(m, Servicios()));
  EXPECT_TRUE(CheckProgrammerPort(m, Servicios()));
  EXPECT_EQ(detecciones, 1);
  EXPECT_EQ(m.Ticked, 2);
  EXPECT_TRUE(abiertos.empty());
  VorraAutoClick(m);  // off: the port stays, the LPT items can be chosen
  EXPECT_FALSE(m.Auto);
  EXPECT_TRUE(m.LptEnabled);
  EXPECT_EQ(AppSettings.ProgrammerPort, 2);
  VorraAutoClick(m);  // on again: the next command detects
  EXPECT_EQ(AppSettings.ProgrammerPort, 0);
  EXPECT_TRUE(CheckProgrammerPort(m, Servicios()));
  EXPECT_EQ(detecciones, 2);
}

TEST_F(Puerto, AutoNotFound) {
  TPortMenu m;
  EXPECT_FALSE(CheckProgrammerPort(m, Servicios()));
  EXPECT_EQ(m.Ticked, 0);
  EXPECT_TRUE(errores.empty());  // the detection has reported
}

TEST_F(Puerto, ManualPorts) {
  TPortMenu m;
  m.Auto = false;
  ApplyPortSetting(m);
  EXPECT_FALSE(CheckProgrammerPort(m, Servicios()));
  EXPECT_THAT(errores, ElementsAre("No VORRA Port selected."));
  VorraLptClick(m, 3);
  abre = false;
  EXPECT_FALSE(CheckProgrammerPort(m, Servicios()));
  EXPECT_THAT(errores, ElementsAre("No VORRA Port selected.", "Invalid VORRA Port selected."));
  abre = true;
  EXPECT_TRUE(CheckProgrammerPort(m, Servicios()));
  EXPECT_THAT(abiertos, ElementsAre(3, 3));
  EXPECT_EQ(m.Ticked, 3);
  EXPECT_EQ(detecciones, 0);
}

}  // namespace
