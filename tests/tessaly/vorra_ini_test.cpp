// The vorra.ini that ships with Tessaly: every device loads, and its values
// fit the images and the engine's cores and algorithms.
#include <fstream>
#include <set>

#include "tessaly_fixture.h"
#include "ts_app.h"

namespace {

class ShippedDatabaseTest : public TTessalyTest {};

TEST_F(ShippedDatabaseTest, EveryDeviceLoadsAndFits) {
  AppSettings.ProgramDirectory = ShippedDatabaseDir();
  ASSERT_TRUE(LoadDeviceList());
  ASSERT_FALSE(DeviceBox.Items.empty());
  const std::string defaultDevice = DeviceBox.Text;
  EXPECT_NE(std::find(DeviceBox.Items.begin(), DeviceBox.Items.end(), defaultDevice), DeviceBox.Items.end())
      << "[Default] names " << defaultDevice;

  std::set<std::pair<int, int>> paths;
  std::set<std::string> names;
  bool parity = false, calibratedEprom12 = false;
  for (const std::string& name : DeviceBox.Items) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(names.insert(name).second) << "listed twice";
    // Masks at 0 first, so an option value whose section lacks the mask key shows.
    for (TOptionGroup& g : OptionGroups) g.Mask = 0;
    UiRec.Boxes.clear();
    DeviceBox.Text = name;
    ASSERT_TRUE(LoadDevice());
    EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
    const TDeviceParameters& d = DeviceParameters;
    paths.insert({d.CoreType, d.EraseType});
    EXPECT_GE(d.CodeSize, 1);
    EXPECT_LE(d.CodeSize, 65536);
    EXPECT_GE(d.DataSize, 0);
    EXPECT_LE(d.DataSize, 1024);
    EXPECT_LE(d.IDSize, 8);
    EXPECT_GE(d.ConfigSize, 1);
    EXPECT_LE(d.ConfigSize, 8);
    if (d.CoreType == 18) {
      EXPECT_GE(d.BlockSize, 1);
      EXPECT_EQ(d.BlockSize == 1, d.EraseType == 0) << "flash parts write blocks, EPROM parts words";
      EXPECT_EQ(d.CodeSize % d.BlockSize, 0);
    } else {
      EXPECT_EQ(d.BlockSize, 1);
    }
    if (d.CoreType != 14 && d.CoreType != 18) {
      EXPECT_EQ(d.DataSize, 0);
    }
    if (d.OscCalAddr != -1) {
      EXPECT_GE(d.OscCalAddr, 0);
      EXPECT_LT(d.OscCalAddr, d.CodeSize);
    }
    if (d.CoreType == 12 && d.EraseType == 0 && d.OscCalAddr >= 0) calibratedEprom12 = true;
    if (d.EraseType == 5) {
      EXPECT_GE(d.OscCalAddr, 0) << "algorithm 5 exists to keep a calibration word";
    }
    EXPECT_GE(d.ProgCount, 1);
    EXPECT_GE(d.ProgMult, 0);
    EXPECT_GE(d.ProgTime, 1);
    if (d.EraseType != 0) {
      EXPECT_GE(d.EraseTime, 1);
    }
    const int32_t wordMask = d.CoreType == 12 ? 0xFFF : d.CoreType == 14 ? 0x3FFF : 0xFFFF;
    for (int i = 0; i < d.ConfigSize; ++i) {
      EXPECT_EQ(d.ConfigMask[i] & ~wordMask, 0) << "ConfigMask" << i;
      EXPECT_EQ(d.BaseConfig[i] & ~wordMask, 0) << "BaseConfig" << i;
    }
    for (int i = 0; i < OptionItemCount; ++i) {
      const TOptionItem& item = OptionItems[i];
      if (!item.Enabled) continue;
      const int32_t mask = OptionGroups[item.Group].Mask;
      EXPECT_NE(mask, 0) << item.Name << ": no mask";
      EXPECT_EQ(item.Value & ~mask, 0) << item.Name;
      if (item.OffKey) {
        EXPECT_EQ(item.Off & ~mask, 0) << item.Name;
      }
      EXPECT_EQ(mask & ~wordMask, 0) << item.Name;
    }
    if (FindOptionItem("MPEEN_ON")->Enabled) parity = true;
  }
  // One device at least for every core and erase-algorithm path of the engine.
  const std::set<std::pair<int, int>> wanted{{12, 0}, {14, 0}, {14, 1}, {14, 2}, {14, 5},
                                             {17, 0}, {18, 0}, {18, 3}, {18, 4}};
  for (const auto& p : wanted) EXPECT_TRUE(paths.count(p)) << "core " << p.first << " algorithm " << p.second;
  EXPECT_TRUE(parity) << "a 14-bit EPROM with memory parity";
  EXPECT_TRUE(calibratedEprom12) << "a 12-bit EPROM with a calibration word";
}

TEST_F(ShippedDatabaseTest, EverySectionNamesItsSourceDocument) {
  std::ifstream in(ShippedDatabaseDir() + "vorra.ini");
  ASSERT_TRUE(in);
  std::string line, section;
  bool named = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      EXPECT_TRUE(named) << section << " names no document";
      section = line;
      named = section == "[Default]";
    } else if (line.rfind(";", 0) == 0 && line.find("Microchip") != std::string::npos) {
      named = true;
    }
  }
  EXPECT_TRUE(named) << section << " names no document";
}

}  // namespace
