#include "tessaly_fixture.h"

#include "ts_app.h"
#include "ts_clock.h"

namespace {
const std::vector<TOptionItem> InitialItems(OptionItems, OptionItems + OptionItemCount);
const std::vector<TOptionGroup> InitialGroups(OptionGroups, OptionGroups + OptionGroupCount);
}  // namespace

void ResetTessalyGlobals() {
  DeviceParameters = TDeviceParameters{};
  DeviceBox = TDeviceList{};
  AppSettings = TAppSettings{};
  MainMenu = TMainMenuState{};
  std::copy(InitialItems.begin(), InitialItems.end(), OptionItems);
  std::copy(InitialGroups.begin(), InitialGroups.end(), OptionGroups);
  PortLayer = TPortLayerState{};
}

std::string ShippedDatabaseDir() { return std::string(TESSALY_SOURCE_DIR) + "/data/"; }

void TTessalyTest::SetUp() {
  SetPortBackend(nullptr);
  ResetTessalyGlobals();
  SetClock(&Clock);
  SetUi(&UiRec);
  SetPortBackend(&Port);
}

void TTessalyTest::TearDown() {
  SetPortBackend(nullptr);
  SetClock(nullptr);
  SetUi(nullptr);
  ResetTessalyGlobals();
}

void TTessalyTest::LoadShippedDevice(const std::string& name) {
  AppSettings.ProgramDirectory = ShippedDatabaseDir();
  DeviceBox.Text = name;
  ASSERT_TRUE(LoadDevice()) << UiRec.Texts();
  ASSERT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
}

void TTessalyTest::PlugProgrammer(TVorraTarget* target, int port) {
  Programmer.Socket = target;
  Port.Slots[port - 1].Device = &Programmer;
  ASSERT_TRUE(SelectProgrammerPort(port));
}
