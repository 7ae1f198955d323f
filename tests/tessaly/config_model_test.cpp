// The configuration model: menu checks -> configuration words and back,
// per core and per code-protection placement; the memory-size items, the
// code-protect indicator and the memory views' text.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tessaly_fixture.h"
#include "ts_app.h"
#include "ts_config.h"
#include "ts_images.h"
#include "ts_views.h"

namespace fs = std::filesystem;

class ConfigModelTest : public TTessalyTest {
protected:
  void SetUp() override {
    TTessalyTest::SetUp();
    ClearBuffers();
    ClearConfiguration();
  }
  void TearDown() override {
    SetConfigurationListener(nullptr);
    SetConfigurationModel(nullptr, nullptr);
    TTessalyTest::TearDown();
  }

  // A device of a database of the test's own.
  void LoadOwnDevice(const std::string& section) {
    const fs::path dir = fs::temp_directory_path() / ("tessaly_cfg_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream((dir / "vorra.ini").string()) << "[Default]\nDevice=TEST\n[TEST]\n" << section;
    AppSettings.ProgramDirectory = dir.string() + "/";
    DeviceBox.Text = "TEST";
    ASSERT_TRUE(LoadDevice()) << UiRec.Texts();
    fs::remove_all(dir);
  }

  static void Tick(std::initializer_list<const char*> names) {
    for (const char* n : names) {
      TOptionItem* item = FindOptionItem(n);
      ASSERT_NE(item, nullptr) << n;
      if (OptionGroups[item->Group].Radio)
        TickOption(*item);
      else
        item->Checked = true;
    }
  }
  static void Untick(std::initializer_list<const char*> names) {
    for (const char* n : names) FindOptionItem(n)->Checked = false;
  }
  static std::vector<std::string> Checked() {
    std::vector<std::string> names;
    for (int i = 0; i < OptionItemCount; ++i)
      if (OptionItems[i].Enabled && OptionItems[i].Checked) names.push_back(OptionItems[i].Name);
    return names;
  }
};

// Build gives the words; scrambling the checks and showing those words
// brings the same checks back.
TEST_F(ConfigModelTest, BuildAndShowRoundTripPerCoreAndProtectionPlacement) {
  struct TCase {
    const char* Device;
    std::vector<const char*> On, Off;
    std::vector<std::pair<int, uint32_t>> Words;
  };
  const TCase cases[] = {
      // 14-bit: HS (10), watchdog on (bit 2), power-up timer on (bit 3 low), all protected.
      {"PIC16F84A", {"HS_OSC", "WDT_ON", "PWRTE_ON", "CP_ALL"}, {}, {{0, 0x0006}}},
      {"PIC16F84A", {"RC_OSC", "CP_OFF"}, {"WDT_ON", "PWRTE_ON"}, {{0, 0x3FFB}}},
      // 18-bit EPROM: protection in word 0.
      {"PIC18C452", {"CP_ALL", "HS_OSC", "WDT_ON", "WDT_16"}, {"OSCSEN_ON"}, {{0, 0x2200}, {1, 0x090D}}},
      {"PIC18C452", {"CP_OFF", "XT_OSC", "OSCSEN_ON"}, {}, {{0, 0x01FF}}},
      // 18-bit flash: protection in word 4, all or nothing; word 0 untouched by it.
      {"PIC18F452", {"CP_ALL", "XT_OSC"}, {"CPB_ON", "CPD_ON"}, {{0, 0x2100}, {4, 0xC000}}},
      {"PIC18F452", {"CP_OFF", "XT_OSC", "CPB_ON"}, {"CPD_ON"}, {{0, 0x2100}, {4, 0x800F}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Device + std::string(" ") + c.On.front());
    SetUp();
    LoadShippedDevice(c.Device);
    for (const char* n : c.On) Tick({n});
    for (const char* n : c.Off) Untick({n});
    BuildConfigurationWords();
    for (const auto& [word, value] : c.Words) EXPECT_EQ(ConfigWords[word], value) << "word " << word;
    const std::vector<uint32_t> built(ConfigWords, ConfigWords + 8);
    const std::vector<std::string> checks = Checked();

    Tick({"LP_OSC", "CP_ALL"});
    for (int i = 0; i < OptionItemCount; ++i)
      if (!OptionGroups[OptionItems[i].Group].Radio) OptionItems[i].Checked = !OptionItems[i].Checked;
    ShowConfigurationWords();
    EXPECT_EQ(Checked(), checks);
    BuildConfigurationWords();
    EXPECT_EQ(std::vector<uint32_t>(ConfigWords, ConfigWords + 8), built);
  }
}

TEST_F(ConfigModelTest, OptionsApplyOverTheirMaskInBuildOrder) {
  LoadOwnDevice(
      "CoreType=14\nBaseConfig=0x3FFF\nOscMask=0x0003\nXTOsc=0x0001\nHSOsc=0x0002\n"
      "CPMask=0x0030\nCPAll=0x0000\nCP50=0x0010\nCPOff=0x0030\n"
      "WDTMask=0x0004\nWDTOn=0x0004\nWDTOff=0x0000\n");
  Tick({"HS_OSC", "CP_OFF", "WDT_ON"});
  BuildConfigurationWords();
  EXPECT_EQ(ConfigWords[0], 0x3FFEu);
  Untick({"WDT_ON"});
  BuildConfigurationWords();
  EXPECT_EQ(ConfigWords[0], 0x3FFAu);  // an Off value of 0 clears exactly the mask
  EXPECT_EQ(ConfigWords[1], EmptyEntry);  // the other words are not touched
}

TEST_F(ConfigModelTest, AWordMatchingNoItemLeavesTheGroupAsItWas) {
  LoadOwnDevice(
      "CoreType=14\nBaseConfig=0x3FFF\nOscMask=0x0003\nXTOsc=0x0001\nHSOsc=0x0002\n"
      "CPMask=0x0030\nCPAll=0x0000\nCP50=0x0010\nCPOff=0x0030\n");
  Tick({"HS_OSC", "CP_50"});
  ConfigWords[0] = 0x3FE0;  // oscillator 00 and protection 10: no item has them
  ShowConfigurationWords();
  EXPECT_TRUE(FindOptionItem("HS_OSC")->Checked);
  EXPECT_TRUE(FindOptionItem("CP_OFF")->Checked);  // protection starts from off
  EXPECT_FALSE(FindOptionItem("CP_50")->Checked);
  EXPECT_EQ(CodeProtectText(), "");

  ConfigWords[0] = 0x3FD1;
  ShowConfigurationWords();
  EXPECT_TRUE(FindOptionItem("XT_OSC")->Checked);
  EXPECT_TRUE(FindOptionItem("CP_50")->Checked);
  EXPECT_EQ(CodeProtectText(), "CP On");
}

TEST_F(ConfigModelTest, DisabledItemsAreNeverAppliedNorShown) {
  LoadOwnDevice("CoreType=14\nBaseConfig=0x3FFF\nOscMask=0x0003\nXTOsc=0x0001\nWDTMask=0x0004\nWDTOn=0x0004\n");
  // Stale masks and values from an earlier device.
  TOptionItem& lp = *FindOptionItem("LP_OSC");
  lp.Value = 0;
  TickOption(lp);
  OptionGroups[GroupMCLRE].Mask = 0x3FFF;
  FindOptionItem("MCLRE_ON")->Off = 0;
  BuildConfigurationWords();
  EXPECT_EQ(ConfigWords[0], 0x3FFBu);  // LP not applied, MCLRE not applied, watchdog off

  ConfigWords[0] = EmptyEntry;
  FindOptionItem("MCLRE_ON")->Checked = true;
  ShowConfigurationWords();
  EXPECT_TRUE(FindOptionItem("WDT_ON")->Checked);  // On equals mask: on in an empty word
  EXPECT_TRUE(FindOptionItem("MCLRE_ON")->Checked);
  EXPECT_TRUE(lp.Checked);
}

TEST_F(ConfigModelTest, OptionWordsFollowTheCoreAndTheEraseAlgorithm) {
  struct TCase {
    const char* Device;
    const char* Item;
    int Word;
  };
  const TCase cases[] = {
      {"PIC16F84A", "WRT_ON", 0},   {"PIC16F84A", "STVREN_ON", -1}, {"PIC18C452", "CP_75", 0},
      {"PIC18F452", "CP_75", -1},   {"PIC18F452", "CP_ALL", 4},     {"PIC18F452", "WDT_128", 1},
      {"PIC18F452", "WDT_256", -1}, {"PIC18F452", "MPB_MODE", 2},   {"PIC18F452", "DEBUG_ON", 3},
      {"PIC18F452", "WRT_ON", 5},
  };
  for (const TCase& c : cases) {
    LoadShippedDevice(c.Device);
    EXPECT_EQ(ConfigWordOf(c.Item), c.Word) << c.Device << " " << c.Item;
  }
}

TEST_F(ConfigModelTest, MemorySizeItemsSetTheCodeSize) {
  LoadShippedDevice("PIC16F84A");
  EXPECT_EQ(MainMenu.MemorySizeItem, "MS_1K");
  ASSERT_TRUE(SelectMemorySize("MS_HALFK"));
  EXPECT_EQ(DeviceParameters.CodeSize, 512);
  EXPECT_EQ(MainMenu.MemorySizeItem, "MS_HALFK");
  ASSERT_TRUE(SelectMemorySize("MS_64K"));
  EXPECT_EQ(DeviceParameters.CodeSize, 65536);
  EXPECT_FALSE(SelectMemorySize("MS_3K"));
  EXPECT_EQ(DeviceParameters.CodeSize, 65536);
}

TEST_F(ConfigModelTest, InstalledModelRunsForTheEngineAndTellsTheListener) {
  int shown = 0;
  InstallConfigurationModel();
  SetConfigurationListener([&] { ++shown; });
  LoadShippedDevice("PIC16F84A");
  EXPECT_EQ(shown, 1);
  TickOption(*FindOptionItem("HS_OSC"));
  BuildConfiguration();
  EXPECT_EQ(ConfigWords[0] & 3, 2u);
}

TEST_F(ConfigModelTest, ViewLinesNeverCrossAMultipleOfEight) {
  struct TCase {
    std::vector<int> Set;
    std::vector<std::string> Starts;
  };
  const TCase cases[] = {
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {"0000- 0000 0001 0002 0003 0004 0005 0006 0007 ", "0008- 0008 0009 000a 000b "}},
      {{6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
       {"0006- 0006 0007 ", "0008- 0008 0009 000a 000b 000c 000d 000e 000f ", "0010- 0010 0011 0012 0013 0014 "}},
      {{}, {}},
      {{65535}, {"ffff- ffff "}},
  };
  for (const TCase& c : cases) {
    ClearBuffers();
    for (int w : c.Set) CodeImage[w] = static_cast<uint32_t>(w);
    EXPECT_EQ(ViewLines(TViewKind::Code, false), c.Starts);
  }
}

TEST_F(ConfigModelTest, AsciiViewsShowUnprintableBytesAsDots) {
  CodeImage[0] = 0x4100;  // 'A' and 0x00
  CodeImage[1] = 0x0742;  // 0x07 and 'B'
  DataImage[8] = 0x07;
  DataImage[9] = 0x7A;
  DataImage[10] = 0xFF;
  IDImage[3] = 0x1234;
  EXPECT_EQ(ViewLines(TViewKind::Code, true), (std::vector<std::string>{"0000- A. .B "}));
  EXPECT_EQ(ViewLines(TViewKind::Data, true), (std::vector<std::string>{"0008- . z . "}));
  EXPECT_EQ(ViewLines(TViewKind::Data, false), (std::vector<std::string>{"0008- 07 7a ff "}));
  EXPECT_EQ(ViewLines(TViewKind::ID, false), (std::vector<std::string>{"0003- 1234 "}));
}
