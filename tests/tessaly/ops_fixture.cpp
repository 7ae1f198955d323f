#include "ops_fixture.h"

void TOperationTest::SetUp() {
  TTessalyTest::SetUp();
  ClearBuffers();
  ClearConfiguration();
  ProgramOptions = TProgramOptions{};
  ProgramOptions.ProgramID = true;
  SerialNumberParameters = TSerialNumberParameters{};
  CancelRequested = false;
  Port.KeepLog = false;
}

void TOperationTest::TearDown() {
  ClearBuffers();
  ClearConfiguration();
  ProgramOptions = TProgramOptions{};
  SerialNumberParameters = TSerialNumberParameters{};
  TTessalyTest::TearDown();
}

void TOperationTest::Use(const std::string& device, int pulses) {
  LoadShippedDevice(device);
  Chip = MakeSimChip(device, pulses);
  ASSERT_NE(Chip.Pic(), nullptr) << device;
  PlugProgrammer(Chip.Pic());
}

std::string TOperationTest::ViolationText() const {
  std::string s;
  for (const std::string& v : Violations()) s += v + "\n";
  return s;
}

void TOperationTest::FillImage(uint32_t seed) {
  const TDeviceParameters& d = DeviceParameters;
  uint32_t x = seed * 2654435761u + 1;
  auto next = [&x] {
    x = x * 1664525u + 1013904223u;
    return x >> 8;
  };
  ClearBuffers();
  SetWords.clear();
  auto set = [&](int i) {
    if (i < 0 || i >= d.CodeSize || i == d.OscCalAddr || CodeImage[i] != EmptyEntry) return;
    CodeImage[i] = next() & BlankWord();
    SetWords.push_back(i);
  };
  for (int i = 0; i < 40; ++i) set(i);
  for (int i = 101; i < 103; ++i) set(i);  // part of a block
  for (int i = 256; i < 288; ++i) set(i);
  set(d.CodeSize / 2 + 3);
  set(d.CodeSize - 1);
  for (int i = 0; i < d.DataSize; ++i)
    if (i < 16 || i == d.DataSize - 1) DataImage[i] = next() & 0xFF;
  for (int i = 0; i < d.IDSize; ++i) IDImage[i] = next() & (d.CoreType == 18 ? 0xFFFF : 0x000F);
  for (int i = 0; i < d.ConfigSize; ++i) {
    const uint32_t mask = static_cast<uint32_t>(d.ConfigMask[i]);
    ConfigWords[i] = (static_cast<uint32_t>(d.BaseConfig[i]) & ~mask) | (next() & mask);
  }
  // Code protection stays off, so what was programmed can be verified and read.
  const TOptionItem* cpOff = FindOptionItem("CP_OFF");
  if (d.CoreType != 18 && cpOff && cpOff->Enabled) {
    const uint32_t cp = static_cast<uint32_t>(OptionGroups[GroupCP].Mask);
    ConfigWords[0] = (ConfigWords[0] & ~cp) | (static_cast<uint32_t>(cpOff->Value) & cp);
  }
}

uint32_t TOperationTest::ChipCode(int i) const {
  return Chip.Mid ? Chip.Mid->Word(i) : Chip.P18->CodeWord(i);
}

uint32_t TOperationTest::ChipData(int i) const {
  return Chip.Mid ? Chip.Mid->DataByte(i) : Chip.P18->DataByte(i);
}

uint32_t TOperationTest::ChipId(int i) const {
  return Chip.Mid ? Chip.Mid->Word(Chip.Mid->IdAddress(i)) : Chip.P18->IdWord(i);
}

uint32_t TOperationTest::ChipConfig(int i) const {
  return Chip.Mid ? Chip.Mid->ConfigWord() : Chip.P18->ConfigWord(i);
}

void TOperationTest::ExpectChipHoldsImage() {
  const TDeviceParameters& d = DeviceParameters;
  int wrong = 0;
  for (int i = 0; i < d.CodeSize && wrong < 5; ++i)
    if (CodeImage[i] != EmptyEntry && ChipCode(i) != (CodeImage[i] & BlankWord())) {
      ADD_FAILURE() << "code " << std::hex << i << ": chip " << ChipCode(i) << ", image " << CodeImage[i];
      ++wrong;
    }
  for (int i = 0; i < d.DataSize; ++i) {
    if (DataImage[i] != EmptyEntry) {
      EXPECT_EQ(ChipData(i), DataImage[i]) << "data " << i;
    }
  }
  for (int i = 0; i < d.IDSize; ++i) {
    if (IDImage[i] != EmptyEntry) {
      EXPECT_EQ(ChipId(i), IDImage[i] & BlankWord()) << "ID " << i;
    }
  }
  for (int i = 0; i < d.ConfigSize; ++i) {
    const uint32_t mask = static_cast<uint32_t>(d.ConfigMask[i]);
    EXPECT_EQ(ChipConfig(i) & mask, ConfigWords[i] & mask) << "configuration " << i;
  }
}
