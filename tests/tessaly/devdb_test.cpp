// The device database: values, keys, caps, the device list and loading one
// device, with the faults of the old reader mended.
#include <cstdio>
#include <fstream>
#include <filesystem>

#include "tessaly_fixture.h"
#include "ts_app.h"

namespace {

struct TValueCase {
  const char* Line;
  int32_t Expected;
};

const TValueCase ValueCases[] = {
    {"CodeSize=0x800", 2048},   {"CodeSize=800h", 2048},     {"CodeSize=$800", 2048},
    {"CodeSize=2048", 2048},    {"CodeSize=0X800", 2048},    {"CodeSize=800H", 2048},
    {"ProgTime=100 ; comment", 100}, {"ProgTime=100\tx", 100}, {"OscCalAddr=-1", -1},
    {"X=+17", 17},              {"CodeSize=", 0},            {"CodeSize= 512", 0},
    {"CodeSize", 0},            {"CodeSize=$xyz", 0},        {"CodeSize=0xg1", 0},
    {"CodeSize=12abc", 12},     {"CodeSize=0x1Fz", 0x1F},    {"BaseConfig=0xFFFFFFFF", -1},
    {"A=B=5", 0},               {"X=3FFFh", 0x3FFF},
};

TEST(ParseValueTest, Table) {
  for (const TValueCase& c : ValueCases) EXPECT_EQ(ParseValue(c.Line), c.Expected) << c.Line;
}

TEST(KeyMatchesTest, CaseInsensitiveOverTheKeyWithItsEquals) {
  EXPECT_TRUE(KeyMatches("CodeSize=", "codesize=512"));
  EXPECT_TRUE(KeyMatches("CodeSize=", "CODESIZE=512"));
  EXPECT_FALSE(KeyMatches("CodeSize=", "CodeSize = 512"));
  EXPECT_FALSE(KeyMatches("CodeSize=", "CodeSiz"));
  EXPECT_FALSE(KeyMatches("WDT1=", "WDT16=4"));
  EXPECT_FALSE(KeyMatches("BaseConfig=", "BaseConfig1=4"));
  EXPECT_FALSE(KeyMatches("CodeSize=", " CodeSize=512"));
}

class DeviceDbTest : public TTessalyTest {
protected:
  void SetUp() override {
    TTessalyTest::SetUp();
    Dir = std::filesystem::temp_directory_path() /
          ("tessaly_devdb_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Dir);
    AppSettings.ProgramDirectory = Dir.string() + "/";
  }
  void TearDown() override {
    std::filesystem::remove_all(Dir);
    TTessalyTest::TearDown();
  }
  void Write(const std::string& text) { std::ofstream(Dir / "vorra.ini", std::ios::binary) << text; }
  bool Load(const std::string& name) {
    DeviceBox.Text = name;
    return LoadDevice();
  }
  std::filesystem::path Dir;
};

TEST_F(DeviceDbTest, MissingFileGivesTheBox) {
  EXPECT_FALSE(LoadDeviceList());
  EXPECT_FALSE(LoadDevice());
  ASSERT_EQ(UiRec.Boxes.size(), 2u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Unable to open VORRA.INI.");
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
  EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Error);
}

TEST_F(DeviceDbTest, ListNamesTheSectionsAndPicksTheDefault) {
  Write("[default]\r\ndevice=PIC16F877\r\n[PIC16F84A]\r\nCoreType=14\r\n[PIC16F877]\r\n; x\r\n[PIC18F452]  \r\n");
  ASSERT_TRUE(LoadDeviceList());
  EXPECT_EQ(DeviceBox.Items, (std::vector<std::string>{"PIC16F84A", "PIC16F877", "PIC18F452"}));
  EXPECT_EQ(DeviceBox.Text, "PIC16F877");
  // A header with blanks after its bracket is listed by its name and loads.
  ASSERT_TRUE(Load("PIC18F452")) << UiRec.Texts();
}

TEST_F(DeviceDbTest, DefaultsCapsAndMemorySizeItem) {
  Write("[A]\nCodeSize=0x800\nDataSize=4096\nIDSize=16\nConfigSize=9\n"
        "[B]\nCoreType=18\n[C]\nCoreType=18\nIDSize=16\n");
  ASSERT_TRUE(Load("A"));
  const TDeviceParameters& d = DeviceParameters;
  EXPECT_EQ(d.CodeSize, 2048);
  EXPECT_EQ(d.DataSize, 1024);
  EXPECT_EQ(d.IDSize, 4) << "the 14-bit core has four ID locations";
  EXPECT_EQ(d.ConfigSize, 8);
  EXPECT_EQ(d.CoreType, 14);
  EXPECT_EQ(d.BlockSize, 1);
  EXPECT_EQ(d.EraseTime, 20000);
  EXPECT_EQ(d.OscCalAddr, -1);
  EXPECT_EQ(d.BaseConfig[7], 0x3FFF);
  EXPECT_EQ(MainMenu.MemorySizeItem, "MS_2K");
  EXPECT_FALSE(MainMenu.EraseEnabled);
  EXPECT_EQ(AppSettings.LastDeviceName, "A");
  // Every section starts from the defaults again.
  ASSERT_TRUE(Load("b"));
  EXPECT_EQ(DeviceParameters.CodeSize, 0);
  EXPECT_EQ(DeviceParameters.IDSize, 4);
  EXPECT_EQ(DeviceParameters.CoreType, 18);
  ASSERT_TRUE(Load("C"));
  EXPECT_EQ(DeviceParameters.IDSize, 8) << "no more than the ID image holds";
}

TEST_F(DeviceDbTest, MemorySizeItems) {
  const std::pair<int32_t, const char*> sizes[] = {
      {0, "MS_0K"},       {1, "MS_HALFK"},   {512, "MS_HALFK"}, {513, "MS_1K"},   {1024, "MS_1K"},
      {2048, "MS_2K"},    {4096, "MS_4K"},   {8192, "MS_8K"},   {16384, "MS_16K"}, {32768, "MS_32K"},
      {32769, "MS_64K"},  {65536, "MS_64K"}};
  for (auto [size, item] : sizes) EXPECT_STREQ(MemorySizeItemFor(size), item) << size;
}

TEST_F(DeviceDbTest, EraseKeyEnablesEraseCommand) {
  Write("[E0]\nEEPROM=0\n[E1]\nEEPROM=1\n");
  ASSERT_TRUE(Load("E1"));
  EXPECT_TRUE(MainMenu.EraseEnabled);
  ASSERT_TRUE(Load("E0"));
  EXPECT_FALSE(MainMenu.EraseEnabled);
}

TEST_F(DeviceDbTest, OnlyTheOptionsTheSectionDefinesAreEnabled) {
  Write("[Full]\nOscMask=3\nXTOsc=1\nHSOsc=2\nWDTMask=4\nWDTOn=4\nWDTOff=0\nMCLREMask=0x20\n"
        "[Few]\nOscMask=0x3\nXTOsc=1\n");
  ASSERT_TRUE(Load("Full"));
  EXPECT_TRUE(FindOptionItem("HS_OSC")->Enabled);
  EXPECT_TRUE(FindOptionItem("WDT_ON")->Enabled);
  EXPECT_EQ(FindOptionItem("WDT_ON")->Value, 4);
  EXPECT_TRUE(FindOptionItem("MCLRE_ON")->Enabled);
  ASSERT_TRUE(Load("Few"));
  for (int i = 0; i < OptionItemCount; ++i)
    EXPECT_EQ(OptionItems[i].Enabled, std::string(OptionItems[i].Name) == "XT_OSC") << OptionItems[i].Name;
  EXPECT_EQ(OptionGroups[GroupOsc].Mask, 3);
  // Masks and values of other options stay from the earlier device.
  EXPECT_EQ(FindOptionItem("HS_OSC")->Value, 2);
}

TEST_F(DeviceDbTest, BaseConfigAndConfigMaskWords) {
  Write("[A]\nBaseConfig=0x1111\nBaseConfig3=0x3333\nConfigMask0=0x00FF\nConfigMask7=0x7777\n");
  ASSERT_TRUE(Load("A"));
  EXPECT_EQ(DeviceParameters.BaseConfig[0], 0x1111);
  EXPECT_EQ(DeviceParameters.BaseConfig[3], 0x3333);
  EXPECT_EQ(DeviceParameters.ConfigMask[0], 0x00FF);
  EXPECT_EQ(DeviceParameters.ConfigMask[7], 0x7777);
  EXPECT_EQ(DeviceParameters.ConfigMask[1], 0x3FFF);
}

TEST_F(DeviceDbTest, NotFoundKeepsThePreviousDevice) {
  Write("[A]\nCodeSize=512\n");
  ASSERT_TRUE(Load("A"));
  EXPECT_FALSE(Load("Z"));
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Device not found in VORRA.INI.\nZ");
  EXPECT_EQ(DeviceBox.Text, "A");
  EXPECT_EQ(DeviceParameters.CodeSize, 512);
}

TEST_F(DeviceDbTest, LongLinesAreReadWhole) {
  // The old reader cut lines at 254 characters; a long comment then spilled
  // its tail into the next key.
  Write("[A]\n;" + std::string(400, 'x') + "\nCodeSize=1024\nProgTime=" + std::string(300, '0') + "77\n");
  ASSERT_TRUE(Load("A"));
  EXPECT_EQ(DeviceParameters.CodeSize, 1024);
  EXPECT_EQ(DeviceParameters.ProgTime, 77);
}

TEST_F(DeviceDbTest, OutOfRangeSizesAreClampedWithAWarning) {
  Write("[Big]\nCodeSize=70000\nBlockSize=0\n[Neg]\nCodeSize=-5\nBlockSize=-2\n");
  ASSERT_TRUE(Load("Big"));
  EXPECT_EQ(DeviceParameters.CodeSize, 65536);
  EXPECT_EQ(DeviceParameters.BlockSize, 1);
  EXPECT_EQ(MainMenu.MemorySizeItem, "MS_64K");
  ASSERT_EQ(UiRec.Boxes.size(), 2u);
  EXPECT_NE(UiRec.Boxes[0].Text.find("Big"), std::string::npos);
  EXPECT_NE(UiRec.Boxes[0].Text.find("CodeSize=70000"), std::string::npos);
  EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Warning);
  EXPECT_NE(UiRec.Boxes[1].Text.find("BlockSize=0"), std::string::npos);
  ASSERT_TRUE(Load("Neg"));
  EXPECT_EQ(DeviceParameters.CodeSize, 0);
  EXPECT_EQ(DeviceParameters.BlockSize, 1);
}

// A negative size of a smaller area warns by device and key, as a negative
// CodeSize does; a missing key or an explicit 0 stays silent.
TEST_F(DeviceDbTest, NegativeSmallerAreaSizesWarnByKey) {
  Write("[NegData]\nDataSize=-1\n[NegId]\nIDSize=-4\n[NegConfig]\nConfigSize=-2\n"
        "[Zeros]\nDataSize=0\nIDSize=0\nConfigSize=0\n[Missing]\nCodeSize=512\n");
  const struct {
    const char* device;
    const char* key;
    int32_t TDeviceParameters::*field;
  } casos[] = {{"NegData", "DataSize=-1", &TDeviceParameters::DataSize},
               {"NegId", "IDSize=-4", &TDeviceParameters::IDSize},
               {"NegConfig", "ConfigSize=-2", &TDeviceParameters::ConfigSize}};
  for (const auto& c : casos) {
    UiRec.Boxes.clear();
    ASSERT_TRUE(Load(c.device));
    EXPECT_EQ(DeviceParameters.*c.field, 0) << c.device;
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << c.device << UiRec.Texts();
    EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Warning);
    EXPECT_NE(UiRec.Boxes[0].Text.find(c.device), std::string::npos) << UiRec.Boxes[0].Text;
    EXPECT_NE(UiRec.Boxes[0].Text.find(c.key), std::string::npos) << UiRec.Boxes[0].Text;
  }
  for (const char* silent : {"Zeros", "Missing"}) {
    UiRec.Boxes.clear();
    ASSERT_TRUE(Load(silent));
    EXPECT_TRUE(UiRec.Boxes.empty()) << silent << UiRec.Texts();
  }
}

// An ID loop past the four ID locations of a 12- or 14-bit part would
// program the device ID and, on the 14-bit core, the configuration word.
TEST_F(DeviceDbTest, IdLocationsBeyondTheCoresFourAreCutWithAWarning) {
  Write("[Id14]\nCoreType=14\nIDSize=8\n[Id12]\nCoreType=12\nIDSize=5\n[Id4]\nCoreType=14\nIDSize=4\n");
  for (const char* name : {"Id14", "Id12"}) {
    UiRec.Boxes.clear();
    ASSERT_TRUE(Load(name));
    EXPECT_EQ(DeviceParameters.IDSize, 4) << name;
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << name;
    EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Warning);
    EXPECT_NE(UiRec.Boxes[0].Text.find(name), std::string::npos) << UiRec.Boxes[0].Text;
    EXPECT_NE(UiRec.Boxes[0].Text.find("IDSize="), std::string::npos) << UiRec.Boxes[0].Text;
  }
  UiRec.Boxes.clear();
  ASSERT_TRUE(Load("Id4"));
  EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
}

TEST_F(DeviceDbTest, UnknownCoreOrAlgorithmIsRefusedByName) {
  Write("[Good]\nCoreType=14\nCodeSize=1024\nEEPROM=1\n"
        "[Core16]\nCoreType=16\nCodeSize=2048\n"
        "[Erase9]\nCoreType=14\nEEPROM=9\n"
        "[Erase3On14]\nCoreType=14\nEEPROM=3\n");
  ASSERT_TRUE(Load("Good"));
  for (const char* bad : {"Core16", "Erase9", "Erase3On14"}) {
    UiRec.Boxes.clear();
    EXPECT_FALSE(Load(bad)) << bad;
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << bad;
    EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Error);
    EXPECT_NE(UiRec.Boxes[0].Text.find(bad), std::string::npos) << UiRec.Boxes[0].Text;
    // The device in force stays the good one, whole.
    EXPECT_EQ(DeviceBox.Text, "Good");
    EXPECT_EQ(DeviceParameters.CoreType, 14);
    EXPECT_EQ(DeviceParameters.CodeSize, 1024);
    EXPECT_EQ(DeviceParameters.EraseType, 1);
    EXPECT_TRUE(MainMenu.EraseEnabled);
  }
}

}  // namespace
