#include "tessaly_fixture.h"

#include <unistd.h>

#include <filesystem>

#include "ts_kept.h"

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
  // Tests that run a table call SetUp again for each row.
  UiRec.Boxes.clear();
  UiRec.Answers.clear();
  UiRec.Captions.clear();
  UiRec.Positions.clear();
  UiRec.DialogOpen = false;
  UiRec.Pumps = UiRec.Beeps = 0;
  UiRec.OnPump = nullptr;
  for (TSimPort::TSlot& s : Port.Slots) s = TSimPort::TSlot{};
  Port.Log.clear();
  Port.KeepLog = true;
  Port.AccessesWhileUnclaimed = 0;
  Port.FailAt = -1;
  Port.FailReadsOnly = false;
  Port.FailedAccesses = 0;
  Programmer.Socket = nullptr;
  ResetTessalyGlobals();
  // Calibration kept by an erase goes to a file of this test only.
  SetKeptCalibrationPath((std::filesystem::temp_directory_path() /
                          ("tessaly-kept-" + std::to_string(::getpid()) + ".txt"))
                             .string());
  std::filesystem::remove(KeptCalibrationPath());
  SetClock(&Clock);
  SetUi(&UiRec);
  SetPortBackend(&Port);
}

void TTessalyTest::TearDown() {
  std::filesystem::remove(KeptCalibrationPath());
  SetKeptCalibrationPath("");
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
