// The rules of the operations: EPROM pulses, calibration words, PIC18
// blocks and table pointer, cancel, verify questions, serial numbers, and
// the faults of the old engine that are mended.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ops_fixture.h"
#include "ts_app.h"
#include "ts_run.h"

namespace {

class OperationRulesTest : public TOperationTest {
protected:
  void OnlyCode() {
    ProgramOptions.ProgramID = false;
    ProgramOptions.ProgramConfiguration = false;
    ProgramOptions.ProgramData = false;
  }
};

struct TPulseCase {
  const char* Device;
  int Word;
  uint32_t PulseKey;  // the simulator's address of that word
};

TEST_F(OperationRulesTest, EpromPulses) {
  const TPulseCase cases[] = {
      {"PIC12C508A", 5, 5}, {"PIC16C74B", 5, 5}, {"PIC16C642", 5, 5}, {"PIC17C756A", 5, 5}, {"PIC18C452", 5, 10}};
  for (const TPulseCase& c : cases) {
    SCOPED_TRACE(c.Device);
    // Enough tries: the word takes after 3 pulses, then 3 x ProgMult more.
    SetUp();
    Use(c.Device, 3);
    OnlyCode();
    CodeImage[c.Word] = 0x0123;
    ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
    EXPECT_EQ(ChipCode(c.Word), 0x0123u);
    const std::map<uint32_t, int>& p18 = Chip.P18 ? Chip.P18->Pulses : std::map<uint32_t, int>{};
    const int pulses = Chip.Mid ? Chip.Mid->Pulses[static_cast<int>(c.PulseKey)] : p18.at(c.PulseKey);
    EXPECT_EQ(pulses, 3 * (1 + DeviceParameters.ProgMult));
    EXPECT_TRUE(Violations().empty()) << ViolationText();
    TearDown();

    // Too few tries: the first word fails with its address, nothing more is pulsed.
    SetUp();
    Use(c.Device, 3);
    OnlyCode();
    DeviceParameters.ProgCount = 2;
    CodeImage[c.Word] = 0x0123;
    CodeImage[c.Word + 1] = 0x0456;
    EXPECT_FALSE(ProgramDevice());
    ASSERT_EQ(UiRec.Boxes.size(), 1u);
    EXPECT_EQ(UiRec.Boxes[0].Text, "Code programming error at 0005.");
    EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
    EXPECT_EQ(ChipCode(c.Word), BlankWord());
    EXPECT_EQ(ChipCode(c.Word + 1), BlankWord());
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_FALSE(UiRec.DialogOpen);
    TearDown();
  }
}

TEST_F(OperationRulesTest, ProgCountZeroFailsAtTheFirstWordTaken) {
  Use("PIC16F84A");
  DeviceParameters.ProgCount = 0;
  CodeImage[0x1A] = 0x1234;
  CodeImage[0x1B] = 0x1234;
  EXPECT_FALSE(ProgramDevice());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Code programming error at 001A.");
}

TEST_F(OperationRulesTest, EpromCalibrationWordIsLeftAlone) {
  Use("PIC12C508A");
  OnlyCode();
  CodeImage[0] = 0x0A5A;
  CodeImage[0x1FF] = 0x0C00;  // an image that would spoil the calibration
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
  EXPECT_EQ(ChipCode(0x1FF), 0x0C70u);
  EXPECT_EQ(Chip.Mid->Pulses.count(0x1FF), 0u);
  ASSERT_TRUE(VerifyDevice()) << UiRec.Texts();
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(OperationRulesTest, OnlyTheCalibrationWordWhenCodeIsOff) {
  Use("PIC12F675");
  OnlyCode();
  ProgramOptions.ProgramCode = false;
  ProgramOptions.ProgramOscillatorCalibration = true;
  CodeImage[0] = 0x0123;
  CodeImage[1] = 0x0456;
  CodeImage[0x3FF] = 0x3400;
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
  EXPECT_EQ(ChipCode(0), 0x3FFFu);
  EXPECT_EQ(ChipCode(1), 0x3FFFu);
  EXPECT_EQ(ChipCode(0x3FF), 0x3400u);
  ASSERT_TRUE(VerifyDevice()) << UiRec.Texts();
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(OperationRulesTest, Algorithm5KeepsCalibrationAcrossEraseAndProgramming) {
  Use("PIC12F675");
  FillImage(7);
  ConfigWords[0] = 0x31F4;  // the image's band-gap bits (11) differ from the part's (10)
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
  EXPECT_EQ(ChipConfig(0) & 0x3000, 0x2000u) << "band-gap bits kept while programming";
  EXPECT_EQ(ChipConfig(0) & 0x01FF, 0x01F4u);
  ASSERT_TRUE(EraseDevice(false)) << UiRec.Texts() << ViolationText();
  EXPECT_EQ(ChipCode(0x3FF), 0x3480u) << "calibration word restored";
  EXPECT_EQ(ChipConfig(0), 0x21FFu) << "band-gap bits restored, user bits erased";
  EXPECT_EQ(ChipCode(0), 0x3FFFu);
  EXPECT_EQ(ChipData(0), 0xFFu);
  EXPECT_TRUE(UiRec.Boxes.empty()) << "silent erase";
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(OperationRulesTest, Algorithm5WithoutCalibrationAddressRestoresNoWord) {
  Use("PIC12F675");
  DeviceParameters.OscCalAddr = -1;
  ASSERT_TRUE(EraseDevice(false)) << UiRec.Texts() << ViolationText();
  EXPECT_EQ(ChipCode(0), 0x3FFFu) << "no calibration word 0 written at address 0";
  EXPECT_EQ(ChipConfig(0) & 0x3000, 0x2000u) << "the configuration's own bits still come back";
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(OperationRulesTest, Algorithm5RestoreRefusedByTheChipEndsWithAnErrorAndTheLinesAtRest) {
  struct TCase {
    int DeadCell;  // the chip no longer takes a write there
    const char* Box;
  };
  // The box names the value read before the erase, so it can be put back.
  const TCase cases[] = {
      {0x3FF, "OSCCAL programming error.\nThe calibration word read before the erase was 3480."},
      {0x2007, "Configuration programming error.\nThe configuration word read before the erase was 21FF."}};
  for (const TCase& c : cases) {
    for (bool messages : {false, true}) {
      SCOPED_TRACE(std::string(c.Box) + (messages ? " with messages" : " silent"));
      SetUp();
      Use("PIC12F675");
      Chip.Mid->DeadCells = {c.DeadCell};
      EXPECT_FALSE(EraseDevice(messages));
      // Even the silent erase before programming says the word is gone.
      ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
      EXPECT_EQ(UiRec.Boxes[0].Text, c.Box);
      EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
      EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Error);
      EXPECT_FALSE(UiRec.DialogOpen);
      EXPECT_FALSE(Chip.Pic()->InProgramMode);
      EXPECT_EQ(Port.Claimed, -1);
      EXPECT_EQ(Port.Slots[0].Data, 0x1F) << "every line at rest, Vpp and Vdd off";
      if (c.DeadCell != 0x3FF) {
        EXPECT_EQ(ChipCode(0x3FF), 0x3480u) << "the calibration word went back first";
      }
      EXPECT_TRUE(Violations().empty()) << ViolationText();
      TearDown();
    }
  }
}

// Wherever the cancel button is pressed during an erase that keeps the
// calibration, the part ends with its calibration word and bits: once the
// bulk erase has run, nothing can cut the write-back short.
TEST_F(OperationRulesTest, Algorithm5CancelAnywhereKeepsTheCalibration) {
  Use("PIC12F675");
  const uint32_t calibracion = ChipCode(0x3FF);
  const uint32_t bandGap = ChipConfig(0) & 0x3000;
  const int antes = UiRec.Pumps;
  ASSERT_TRUE(EraseDevice(false)) << UiRec.Texts();
  const int pumps = UiRec.Pumps - antes;
  ASSERT_GT(pumps, 2);
  for (int k : {1, 2, pumps / 2, pumps - 1, pumps}) {
    SCOPED_TRACE("cancel at pump " + std::to_string(k) + " of " + std::to_string(pumps));
    SetUp();
    Use("PIC12F675");
    const int base = UiRec.Pumps;
    UiRec.OnPump = [&] {
      if (UiRec.Pumps == base + k) CancelBtnClick();
    };
    EraseDevice(false);
    EXPECT_EQ(ChipCode(0x3FF), calibracion);
    EXPECT_EQ(ChipConfig(0) & 0x3000, bandGap);
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_TRUE(Violations().empty()) << ViolationText();
    TearDown();
  }
}

// A 12-bit flash part (12F508 class) under the 12C508A's section: bulk
// erase 9 from the configuration word, externally timed programming
// (TPROG 2 ms, TERA 10 ms), the factory calibration word at 0x1FF and its
// backup after the IDs, which a bulk erase from there does not reach.
void UseTwelveBitFlash(TSimChip& chip) {
  TDeviceParameters& d = DeviceParameters;
  d.EraseType = 2;
  d.ProgCount = 1;
  d.ProgMult = 0;
  d.ProgTime = 2000;
  d.EraseTime = 10000;
  TMidrangeSpec spec = MidrangeSpecOf("PIC12C508A");
  spec.Name = "PIC12F508";
  spec.Eprom = false;
  spec.Flash = 2;
  spec.MinPulseNs = 2'000'000;
  spec.EraseNs = 10'000'000;
  chip.Mid = std::make_unique<TMidrangeSim>(spec);
  chip.Mid->SetWord(chip.Mid->IdAddress(4), spec.OscCalValue);
}

// The socket of a programmer whose port is taken by another program as soon
// as the part has been bulk erased and has left programming mode.
class TPortLostAfterErase final : public TVorraTarget {
public:
  TPortLostAfterErase(TMidrangeSim* chip, TSimPort* port) : Chip(chip), Port(port) {}
  void Lines(int64_t tNs, const TVorraLines& lines) override {
    Chip->Lines(tNs, lines);
    if (Chip->ChipErases > 0 && !Chip->InProgramMode) Port->Slots[0].Refusal = Refusal;
  }
  std::optional<bool> Drive() const override { return Chip->Drive(); }
  static constexpr const char* Refusal = "/dev/parport0 is busy: another program is using the port.";

private:
  TMidrangeSim* Chip;
  TSimPort* Port;
};

TEST_F(OperationRulesTest, TwelveBitFlashEraseKeepsTheCalibrationWord) {
  LoadShippedDevice("PIC12C508A");
  UseTwelveBitFlash(Chip);
  PlugProgrammer(Chip.Pic());
  const uint32_t calibracion = ChipCode(0x1FF);
  FillImage(3);
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText();
  ASSERT_TRUE(EraseDevice(false)) << UiRec.Texts() << ViolationText();
  EXPECT_EQ(ChipCode(0), 0xFFFu);
  EXPECT_EQ(ChipCode(0x1FE), 0xFFFu);
  EXPECT_EQ(ChipConfig(0), 0xFFFu) << "the configuration word is erased";
  EXPECT_EQ(ChipCode(0x1FF), calibracion) << "calibration word restored";
  EXPECT_EQ(Chip.Mid->Word(Chip.Mid->IdAddress(4)), calibracion) << "backup calibration word untouched";
  EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
  // Erase before programming, blank check, program and verify: the part
  // keeps its calibration throughout.
  ProgramOptions.EraseBeforeProgramming = true;
  ProgramOptions.VerifyAfterProgramming = true;
  ASSERT_TRUE(RunProgram()) << UiRec.Texts() << ViolationText();
  ExpectChipHoldsImage();
  EXPECT_EQ(ChipCode(0x1FF), calibracion);
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

// After the bulk erase the calibration lives only in what was read: when it
// cannot go back, because the part refuses the word or the port is taken
// before programming mode is entered again, the last box names the values.
TEST_F(OperationRulesTest, CalibrationThatCannotGoBackIsNamedWithItsValue) {
  struct TCase {
    const char* Device;  // PIC12F675 (algorithm 5) or the 12-bit flash part (algorithm 2)
    bool PortLost;       // else the calibration cell takes no write
    const char* Box;
  };
  const TCase cases[] = {
      {"PIC12F675", true,
       "OSCCAL programming error.\nThe calibration word read before the erase was 3480.\n"
       "The configuration word read before the erase was 21FF."},
      {"PIC12F508", true, "OSCCAL programming error.\nThe calibration word read before the erase was 0C70."},
      {"PIC12F508", false, "OSCCAL programming error.\nThe calibration word read before the erase was 0C70."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Device) + (c.PortLost ? ", port lost" : ", cell refuses the word"));
    SetUp();
    const bool twelve = std::string(c.Device) == "PIC12F508";
    if (twelve) {
      LoadShippedDevice("PIC12C508A");
      UseTwelveBitFlash(Chip);
    } else {
      LoadShippedDevice(c.Device);
      Chip = MakeSimChip(c.Device);
    }
    const int calibrationAddress = DeviceParameters.OscCalAddr;
    TPortLostAfterErase lost(Chip.Mid.get(), &Port);
    PlugProgrammer(c.PortLost ? static_cast<TVorraTarget*>(&lost) : Chip.Pic());
    if (!c.PortLost) Chip.Mid->DeadCells = {calibrationAddress};
    CodeImage[0] = 0x0123;
    ProgramOptions.ProgramID = false;
    ProgramOptions.ProgramConfiguration = false;
    ProgramOptions.ProgramData = false;
    ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
    EXPECT_FALSE(EraseDevice(false));
    EXPECT_EQ(ChipCode(0), BlankWord()) << "the erase ran";
    ASSERT_FALSE(UiRec.Boxes.empty());
    if (c.PortLost) {
      ASSERT_EQ(UiRec.Boxes.size(), 2u) << UiRec.Texts();
      EXPECT_EQ(UiRec.Boxes[0].Text, std::string("Unable to access VORRA Port LPT1.\n") + lost.Refusal);
    } else {
      ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    }
    EXPECT_EQ(UiRec.Boxes.back().Text, c.Box);
    EXPECT_EQ(UiRec.Boxes.back().Icon, TBoxIcon::Error);
    EXPECT_FALSE(UiRec.DialogOpen);
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_EQ(Port.Claimed, -1);
    EXPECT_EQ(Port.Slots[0].Data, 0x1F) << "every line at rest, Vpp and Vdd off";
    EXPECT_TRUE(Violations().empty()) << ViolationText();
    TearDown();
  }
}

// A code-protected 12F675 reads its calibration word as 0000: writing that
// back after the erase would put a NOP where the program expects its RETLW,
// and say nothing. The user is asked first; erasing anyway leaves the word
// blank for the value to be put back by hand.
TEST_F(OperationRulesTest, CalibrationHiddenByCodeProtectionIsNotWrittenBackAsIfRead) {
  struct TCase {
    uint16_t Config;      // the part's configuration word (CP is bit 7, 0 = on)
    uint16_t Calibration; // what the cell holds
    std::deque<bool> Answers;
    bool Erased;
    uint16_t CalibrationAfter;
  };
  const TCase cases[] = {
      {0x217F, 0x3480, {false}, false, 0x3480},  // protected, kept as it is
      {0x217F, 0x3480, {true}, true, 0x3FFF},    // protected, erased anyway
      {0x21FF, 0x3FFF, {}, true, 0x3FFF},        // calibration already gone: nothing to ask
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Format("configuration %04X, calibration %04X, %zu answers", c.Config, c.Calibration,
                        c.Answers.size()));
    SetUp();
    Use("PIC12F675");
    Chip.Mid->SetWord(0x100, 0x2ABC);
    Chip.Mid->SetWord(0x3FF, c.Calibration);
    Chip.Mid->SetWord(0x2007, c.Config);
    UiRec.Answers = c.Answers;
    EXPECT_EQ(EraseDevice(true), c.Erased) << UiRec.Texts();
    if (c.Answers.empty()) {
      EXPECT_EQ(UiRec.Texts(), "[Tessaly] Erase Complete.\n");
    } else {
      ASSERT_FALSE(UiRec.Boxes.empty());
      EXPECT_TRUE(UiRec.Boxes[0].Question);
      EXPECT_EQ(UiRec.Boxes[0].Text,
                "The calibration word at 03FF reads 0000, which is no calibration value: the part may be code "
                "protected.\nThe erase loses the part's calibration.\nErase anyway?");
      EXPECT_EQ(UiRec.Boxes.size(), c.Erased ? 2u : 1u) << UiRec.Texts();
    }
    EXPECT_EQ(Chip.Mid->Word(0x100), c.Erased ? 0x3FFF : 0x2ABC);
    EXPECT_EQ(Chip.Mid->Word(0x3FF), c.CalibrationAfter);
    EXPECT_EQ(ChipConfig(0), c.Erased ? 0x21FFu : c.Config) << "band-gap bits kept, protection off only if erased";
    EXPECT_FALSE(UiRec.DialogOpen);
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_EQ(Port.Slots[0].Data, 0x1F);
    EXPECT_TRUE(Violations().empty()) << ViolationText();
    TearDown();
  }
}

// A section that gives a 14-bit part the block size of its latches (as a
// 16F877A section might) still programs the part word by word: block writes
// are PIC18 table writes, commands a 14-bit part would take as anything.
TEST_F(OperationRulesTest, BlockSizeOnACoreWithoutBlockWritesProgramsWordByWord) {
  std::ifstream shipped(ShippedDatabaseDir() + "vorra.ini");
  std::string line, section;
  bool in = false;
  while (std::getline(shipped, line)) {
    if (!line.empty() && line[0] == '[') in = line.rfind("[PIC16F877]", 0) == 0;
    if (in) section += line + "\n";
  }
  ASSERT_FALSE(section.empty());
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("tessaly_blocks_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "vorra.ini") << section << "BlockSize=8\n";
  AppSettings.ProgramDirectory = dir.string() + "/";
  DeviceBox.Text = "PIC16F877";
  const bool loaded = LoadDevice();
  std::filesystem::remove_all(dir);
  ASSERT_TRUE(loaded) << UiRec.Texts();
  EXPECT_EQ(UiRec.Texts(),
            "[Tessaly Error] Device PIC16F877 in VORRA.INI has BlockSize=8; core 14 is written word by word.\n");
  if (!UiRec.Boxes.empty()) {
    EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Warning);
  }
  UiRec.Boxes.clear();

  Chip = MakeSimChip("PIC16F877");
  PlugProgrammer(Chip.Pic());
  for (int i = 0; i < 256; ++i) Chip.Mid->SetDataByte(i, 0x5A);  // the application's own EEPROM contents
  FillImage(4);
  ProgramOptions.ProgramData = false;
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText().substr(0, 500);
  ProgramOptions.ProgramData = true;
  for (int i = 0; i < 256; ++i) DataImage[i] = 0x5A;
  ExpectChipHoldsImage();
  EXPECT_TRUE(Violations().empty()) << ViolationText().substr(0, 500);
}

TEST_F(OperationRulesTest, Pic18BlocksSkipEmptyOnesAndFillGapsWithBlank) {
  Use("PIC18F452");
  OnlyCode();
  ASSERT_EQ(DeviceParameters.BlockSize, 4);
  CodeImage[0] = 0x1111;
  CodeImage[1] = 0x2222;
  CodeImage[8] = 0x3333;  // alone in its block
  CodeImage[12] = 0x4444;
  CodeImage[13] = 0x5555;
  CodeImage[15] = 0x6666;
  CodeImage[16383] = 0x7777;
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText();
  EXPECT_EQ(Chip.P18->BlockWrites, 4);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(ChipCode(i), CodeImage[i] == EmptyEntry ? 0xFFFFu : CodeImage[i]) << i;
  EXPECT_EQ(ChipCode(16383), 0x7777u);
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(OperationRulesTest, Pic18ConfigurationBytes) {
  Use("PIC18F452");
  OnlyCode();
  ProgramOptions.ProgramConfiguration = true;
  ConfigWords[0] = 0x2200;  // HS oscillator
  ConfigWords[1] = 0x0E0D;
  ConfigWords[2] = EmptyEntry;  // not written
  ConfigWords[3] = 0x0081;
  ConfigWords[4] = 0xC00F;
  ConfigWords[5] = 0xE00F;
  ConfigWords[6] = 0x400F;
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText();
  EXPECT_EQ(Chip.P18->ConfigByte(1), 0x22);
  EXPECT_EQ(Chip.P18->ConfigByte(2), 0x0D);
  EXPECT_EQ(Chip.P18->ConfigByte(3), 0x0E);
  EXPECT_EQ(Chip.P18->ConfigByte(5), 0x01) << "an empty word leaves the chip's bytes";
  EXPECT_EQ(Chip.P18->ConfigByte(6), 0x81);
  ASSERT_TRUE(VerifyDevice()) << UiRec.Texts();
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(OperationRulesTest, Pic18WordsLandOnTheirAddressesWithoutOverprogramming) {
  // Without overprogramming a word write leaves the table pointer where it
  // began; the next word must not be written over it.
  Use("PIC18C452", 1);
  DeviceParameters.ProgMult = 0;
  ProgramOptions.ProgramConfiguration = false;
  for (int i : {0, 1, 2, 10}) CodeImage[i] = 0x1000u + static_cast<uint32_t>(i);
  for (int i = 0; i < 4; ++i) IDImage[i] = 0x00A0u + static_cast<uint32_t>(i);
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText();
  for (int i : {0, 1, 2, 10}) EXPECT_EQ(ChipCode(i), 0x1000u + static_cast<uint32_t>(i)) << i;
  EXPECT_EQ(ChipCode(3), 0xFFFFu);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ChipId(i), 0x00A0u + static_cast<uint32_t>(i)) << i;
  ASSERT_TRUE(VerifyDevice()) << UiRec.Texts();
}

TEST_F(OperationRulesTest, CancelLeavesProgrammingModeAndTouchesNothingMore) {
  Use("PIC16F84A");
  FillImage(3);
  ProgramOptions.ProgramSerialNumber = true;
  SerialNumberParameters.SerialNumber = 41;
  SerialNumberParameters.IncrementBy = 1;
  SerialNumberParameters.StartingLocation = 0x300;
  Port.KeepLog = true;
  size_t logAtCancel = 0;
  UiRec.OnPump = [&] {
    if (UiRec.Pumps == 10) {
      CancelBtnClick();
      logAtCancel = Port.Log.size();
    }
  };
  EXPECT_FALSE(ProgramDevice());
  EXPECT_EQ(Port.Log.size(), logAtCancel) << "no port access after the cancel";
  EXPECT_FALSE(Chip.Pic()->InProgramMode);
  EXPECT_EQ(Port.Claimed, -1);
  EXPECT_FALSE(UiRec.DialogOpen);
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Operation cancelled.");
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly");
  EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Warning);
  EXPECT_EQ(SerialNumberParameters.SerialNumber, 41);
  EXPECT_TRUE(Violations().empty()) << ViolationText();

  // The next operation starts with the flag cleared; a cancelled read says so.
  UiRec.OnPump = [&] {
    if (UiRec.Pumps == 20) CancelBtnClick();
  };
  EXPECT_FALSE(ReadDevice());
  UiRec.OnPump = nullptr;
  EXPECT_TRUE(ReadDevice());
  EXPECT_FALSE(CancelRequested);
}

TEST_F(OperationRulesTest, CancelDuringVerifyAndBlankCheck) {
  struct TCase {
    const char* Name;
    bool (*Op)();
    bool Programmed;  // the chip holds the image first
    int CancelAtPump;  // counted from the start of the operation
  };
  const TCase cases[] = {
      {"verify, code", VerifyDevice, true, 10},
      {"verify, ID", VerifyDevice, true, 1024 + 64 + 2},
      {"blank check with messages", [] { return BlankCheck(true); }, false, 10},
      {"blank check silent", [] { return BlankCheck(false); }, false, 1000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetUp();
    Use("PIC16F84A");
    FillImage(6);
    if (c.Programmed) {
      ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
    }
    Port.KeepLog = true;
    size_t logAtCancel = 0;
    const int base = UiRec.Pumps;
    UiRec.OnPump = [&] {
      if (UiRec.Pumps == base + c.CancelAtPump) {
        CancelBtnClick();
        logAtCancel = Port.Log.size();
      }
    };
    EXPECT_FALSE(c.Op());
    EXPECT_EQ(UiRec.Pumps, base + c.CancelAtPump) << "the loop stops at the flag";
    EXPECT_EQ(Port.Log.size(), logAtCancel) << "no port access after the cancel";
    EXPECT_TRUE(OperationAborted);
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_EQ(Port.Claimed, -1);
    EXPECT_EQ(Port.Slots[0].Data, 0x1F) << "every line at rest";
    EXPECT_FALSE(UiRec.DialogOpen);
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    EXPECT_EQ(UiRec.Boxes[0].Text, "Operation cancelled.");
    EXPECT_TRUE(Violations().empty()) << ViolationText();
    TearDown();
  }
}

TEST_F(OperationRulesTest, EraseClearsTheCancelFlagAndACancelledEraseFails) {
  Use("PIC18F242");
  CancelRequested = true;  // left from an earlier operation
  EXPECT_TRUE(EraseDevice(false)) << UiRec.Texts();
  const int pumps = UiRec.Pumps;
  UiRec.OnPump = [&] {
    if (UiRec.Pumps == pumps + 3) CancelBtnClick();
  };
  EXPECT_FALSE(EraseDevice(true));
  EXPECT_FALSE(Chip.Pic()->InProgramMode);
  EXPECT_EQ(UiRec.Boxes.back().Text, "Operation cancelled.");
}

TEST_F(OperationRulesTest, VerifyDifferencesAskAndEitherAnswerHolds) {
  Use("PIC16F84A");
  FillImage(4);
  ASSERT_TRUE(ProgramDevice());
  Chip.Mid->SetWord(0x10, 0x0BAD);
  Chip.Mid->SetDataByte(3, 0x5A);
  const std::string codeQuestion =
      Format("Code verify error at 0010.\n0BAD should be %04X.\nContinue verifying?", CodeImage[0x10]);
  UiRec.Answers = {true, true};
  EXPECT_TRUE(VerifyDevice());
  ASSERT_EQ(UiRec.Boxes.size(), 2u);
  EXPECT_EQ(UiRec.Boxes[0].Text, codeQuestion);
  EXPECT_TRUE(UiRec.Boxes[0].Question);
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
  EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Question);
  EXPECT_EQ(UiRec.Boxes[1].Text,
            Format("Data verify error at 0003.\n005A should be %04X.\nContinue verifying?", DataImage[3]));
  UiRec.Boxes.clear();
  UiRec.Answers = {false};
  EXPECT_FALSE(VerifyDevice());
  EXPECT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_FALSE(Chip.Pic()->InProgramMode);
  EXPECT_FALSE(UiRec.DialogOpen);
}

TEST_F(OperationRulesTest, IdVerifyDifferenceAsks) {
  // Core 12 keeps its ID words after the code, core 14 in configuration
  // space, the 18-bit core behind the table pointer.
  for (const char* device : {"PIC12C508A", "PIC16F84A", "PIC18F452"}) {
    SCOPED_TRACE(device);
    SetUp();
    Use(device);
    FillImage(8);
    ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
    const uint16_t wrong = static_cast<uint16_t>((IDImage[1] ^ 0x5) & BlankWord());
    if (Chip.Mid)
      Chip.Mid->SetWord(Chip.Mid->IdAddress(1), wrong);
    else
      Chip.P18->SetIdWord(1, wrong);
    const std::string question = Format("ID verify error at 0001.\n%04X should be %04X.\nContinue verifying?", wrong,
                                        IDImage[1] & BlankWord());
    UiRec.Answers = {true};
    EXPECT_TRUE(VerifyDevice());
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    EXPECT_EQ(UiRec.Boxes[0].Text, question);
    EXPECT_TRUE(UiRec.Boxes[0].Question);
    EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
    UiRec.Boxes.clear();
    UiRec.Answers = {false};
    EXPECT_FALSE(VerifyDevice());
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    EXPECT_EQ(UiRec.Boxes[0].Text, question);
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_FALSE(UiRec.DialogOpen);
    TearDown();
  }
}

TEST_F(OperationRulesTest, ConfigurationVerifyDifferences) {
  Use("PIC16F84A");
  OnlyCode();
  ProgramOptions.ProgramConfiguration = true;
  ConfigWords[0] = 0x3FF1;
  ASSERT_TRUE(ProgramDevice());
  ConfigWords[0] = 0x3FF2;
  EXPECT_FALSE(VerifyDevice());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Configuration verify error.\n3FF1 should be 3FF2.");
  EXPECT_FALSE(UiRec.Boxes[0].Question);
  EXPECT_FALSE(Chip.Pic()->InProgramMode);

  SetUp();
  Use("PIC18F452");
  OnlyCode();
  ProgramOptions.ProgramConfiguration = true;
  for (int i = 0; i < 7; ++i) ConfigWords[i] = static_cast<uint32_t>(DeviceParameters.BaseConfig[i]);
  ASSERT_TRUE(ProgramDevice());
  ConfigWords[0] = 0x2200;
  UiRec.Answers = {true};
  EXPECT_TRUE(VerifyDevice());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Configuration1 verify error.\n2700 should be 2200.\nContinue verifying?");
}

struct TSerialCase {
  const char* Name;
  TSerialNumberParameters::TTarget Target;
  bool MsbFirst;
  int Start;
  std::vector<uint32_t> Expected;
};

TEST_F(OperationRulesTest, SerialNumberPlacement) {
  const TSerialCase cases[] = {
      {"code LSB first", TSerialNumberParameters::Code, false, 0x200, {0x3478, 0x3456, 0x3434, 0x3412}},
      {"code MSB first", TSerialNumberParameters::Code, true, 0x200, {0x3412, 0x3434, 0x3456, 0x3478}},
      {"EE LSB first", TSerialNumberParameters::EE, false, 4, {0x78, 0x56, 0x34, 0x12}},
      {"EE MSB first", TSerialNumberParameters::EE, true, 60, {0x12, 0x34, 0x56, 0x78}},
      {"ID LSB first", TSerialNumberParameters::ID, false, 9000, {0x3478, 0x3456, 0x3434, 0x3412}},
      {"ID MSB first", TSerialNumberParameters::ID, true, 9000, {0x3412, 0x3434, 0x3456, 0x3478}},
  };
  for (const TSerialCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetUp();
    Use("PIC16F84A");
    ProgramOptions.ProgramConfiguration = false;
    ProgramOptions.ProgramSerialNumber = true;
    SerialNumberParameters.SerialNumber = 0x12345678;
    SerialNumberParameters.IncrementBy = 5;
    SerialNumberParameters.NumberLocations = 4;
    SerialNumberParameters.StartingLocation = c.Start;
    SerialNumberParameters.MSBFirst = c.MsbFirst;
    SerialNumberParameters.Target = c.Target;
    ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
    for (int k = 0; k < 4; ++k) {
      switch (c.Target) {
        case TSerialNumberParameters::Code:
          EXPECT_EQ(CodeImage[c.Start + k], c.Expected[k]);
          EXPECT_EQ(ChipCode(c.Start + k), c.Expected[k]);
          break;
        case TSerialNumberParameters::EE:
          EXPECT_EQ(DataImage[c.Start + k], c.Expected[k]);
          EXPECT_EQ(ChipData(c.Start + k), c.Expected[k]);
          break;
        case TSerialNumberParameters::ID:
          EXPECT_EQ(IDImage[k], c.Expected[k]);
          EXPECT_EQ(ChipId(k), c.Expected[k] & 0x3FFF);
          break;
      }
    }
    EXPECT_EQ(SerialNumberParameters.SerialNumber, 0x12345678 + 5) << "advanced after success";
    // A failed programming leaves the number where it was.
    DeviceParameters.ProgCount = 0;
    CodeImage[0] = 0x1234;
    EXPECT_FALSE(ProgramDevice());
    EXPECT_EQ(SerialNumberParameters.SerialNumber, 0x12345678 + 5);
    TearDown();
  }
}

TEST_F(OperationRulesTest, SerialNumberOutsideItsTargetIsRefusedBeforeAnythingIsSent) {
  struct TCase {
    const char* Device;
    TSerialNumberParameters::TTarget Target;
    int Start, Count;
    const char* Box;
  };
  const TCase cases[] = {
      {"PIC16F84A", TSerialNumberParameters::Code, 1022, 4,
       "Serial number locations 03FE-0401 are outside the code memory (1024 words)."},
      {"PIC16F84A", TSerialNumberParameters::EE, 62, 3,
       "Serial number locations 003E-0040 are outside the data EEPROM (64 bytes)."},
      {"PIC16F74", TSerialNumberParameters::EE, 0, 1,
       "Serial number locations 0000-0000 are outside the data EEPROM (0 bytes)."},
      {"PIC17C756A", TSerialNumberParameters::ID, 0, 2, "The serial number needs 2 ID locations; this device has 0."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Box);
    SetUp();
    Use(c.Device);
    Port.KeepLog = true;
    Port.Log.clear();
    ProgramOptions.ProgramSerialNumber = true;
    SerialNumberParameters.SerialNumber = 77;
    SerialNumberParameters.IncrementBy = 1;
    SerialNumberParameters.Target = c.Target;
    SerialNumberParameters.StartingLocation = c.Start;
    SerialNumberParameters.NumberLocations = c.Count;
    EXPECT_FALSE(ProgramDevice());
    ASSERT_EQ(UiRec.Boxes.size(), 1u);
    EXPECT_EQ(UiRec.Boxes[0].Text, c.Box);
    EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Error);
    EXPECT_TRUE(Port.Log.empty());
    EXPECT_EQ(SerialNumberParameters.SerialNumber, 77);
    EXPECT_FALSE(UiRec.DialogOpen);
    for (uint32_t e : DataImage) EXPECT_EQ(e, EmptyEntry);
    TearDown();
  }
}

TEST_F(OperationRulesTest, Pic18DataEepromWriteGivesUpWithoutAChip) {
  Use("PIC18F452");
  Programmer.Socket = nullptr;  // empty socket: the data line reads all ones
  OnlyCode();
  ProgramOptions.ProgramData = true;
  DataImage[0] = 0x42;
  const int64_t t0 = Clock.Now;
  EXPECT_FALSE(ProgramDevice());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Data programming error at 0000.");
  EXPECT_LT(Clock.Now - t0, 1'000'000'000) << "bounded wait";
  EXPECT_EQ(Port.Claimed, -1);
}

TEST_F(OperationRulesTest, OperationsEndWithOneBoxWhenThePortCannotBeUsed) {
  Use("PIC16F84A");
  Port.Slots[0].Refusal = "/dev/parport0 is busy: another program is using the port.";
  using TOp = bool (*)();
  const TOp ops[] = {ProgramDevice, VerifyDevice, ReadDevice, [] { return BlankCheck(true); },
                     [] { return EraseDevice(true); }};
  for (TOp op : ops) {
    UiRec.Boxes.clear();
    EXPECT_FALSE(op());
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    EXPECT_EQ(UiRec.Boxes[0].Text,
              "Unable to access VORRA Port LPT1.\n/dev/parport0 is busy: another program is using the port.");
    EXPECT_FALSE(UiRec.DialogOpen);
  }
}

}  // namespace

namespace {

TEST_F(OperationRulesTest, ProgressOncePerCodeWordAndDataByte) {
  Use("PIC16F84A");
  FillImage(5);
  ASSERT_TRUE(ProgramDevice());
  const std::vector<int>& p = UiRec.Positions;
  ASSERT_EQ(p.size(), 1u + 1024 + 64);
  EXPECT_EQ(p.front(), 0);
  for (size_t i = 1; i < p.size(); ++i) EXPECT_LE(p[i - 1], p[i]) << i;
  EXPECT_EQ(p.back(), 100);
  EXPECT_EQ(UiRec.Pumps, 1024 + 64 + 4) << "a pump after every word, byte and ID word";
}

}  // namespace
