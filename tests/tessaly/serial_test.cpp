// The serial command set and bit timing: exact data-register sequences in
// virtual time, the entry into programming mode, the delays, and targets
// that decode the clocked bits themselves.
#include <chrono>

#include "tessaly_fixture.h"
#include "ts_clock.h"
#include "ts_serial.h"
#include "vsim_midrange.h"
#include "vsim_catalog.h"
#include "vsim_pic18.h"

namespace {

// A target that only drives a fixed bit sequence, one bit per rising edge.
class TBitSource final : public TVorraTarget {
public:
  explicit TBitSource(std::vector<bool> bits) : Bits(std::move(bits)) {}
  void Lines(int64_t, const TVorraLines& l) override {
    if (l.Clock && !Clock) Out = Next < Bits.size() ? std::optional<bool>(Bits[Next++]) : std::nullopt;
    Clock = l.Clock;
  }
  std::optional<bool> Drive() const override { return Out; }
  std::vector<bool> Bits;
  size_t Next = 0;
  bool Clock = false;
  std::optional<bool> Out;
};

class SerialTest : public TTessalyTest {
protected:
  // The sequences below time the engine's own waits exactly, so here a
  // port access takes no time.
  void Claim(int core) {
    Port.AccessCostNs = 0;
    DeviceParameters.CoreType = core;
    ASSERT_TRUE(SelectProgrammerPort(1));
    ASSERT_TRUE(lpt_Lock());
    Port.Log.clear();
  }
  // The data bits the port presented at each falling clock edge.
  std::vector<int> FallingBits() const {
    std::vector<int> bits;
    bool clock = false;
    for (const TPortWrite& w : Port.Log) {
      if (w.Offset != RegData) continue;
      const bool c = w.Value & 2;
      if (clock && !c) bits.push_back(w.Value & 1);
      clock = c;
    }
    return bits;
  }
  static uint32_t Take(const std::vector<int>& bits, size_t& pos, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<uint32_t>(bits.at(pos++)) << i;
    return v;
  }
};

TEST_F(SerialTest, SendBitsPutsTheLeastSignificantBitFirst) {
  Claim(14);
  const int64_t t0 = Clock.Now;
  SendBits(16, 0x7FFE);
  std::vector<uint8_t> expected;
  for (int i = 0; i < 16; ++i) {
    const uint8_t b = (i == 0 || i == 15) ? 0 : 1;
    expected.push_back(0x12 | b);
    expected.push_back(0x10 | b);
  }
  EXPECT_EQ(Port.DataWrites(), expected);
  EXPECT_EQ(Clock.Now - t0, 1000) << "one microsecond after the bits";
}

TEST_F(SerialTest, Core17HoldsTheClockHighAndWaitsLonger) {
  Claim(17);
  const int64_t t0 = Clock.Now;
  SendBits(2, 0x2);
  ASSERT_EQ(Port.DataWrites(), (std::vector<uint8_t>{0x12, 0x10, 0x13, 0x11}));
  EXPECT_EQ(Port.Log[1].TimeNs - Port.Log[0].TimeNs, 1000);
  EXPECT_EQ(Port.Log[3].TimeNs - Port.Log[2].TimeNs, 1000);
  EXPECT_EQ(Clock.Now - Port.Log[3].TimeNs, 20000);
  EXPECT_EQ(Clock.Now - t0, 22000);
  Port.Log.clear();
  const int64_t t1 = Clock.Now;
  ReceiveBits(1);
  EXPECT_EQ(Port.Log.at(0).TimeNs - t1, 10000) << "10 us before receiving";
  EXPECT_EQ(Clock.Now - Port.Log.back().TimeNs, 20000);
}

TEST_F(SerialTest, ReceiveBitsReadsAfterTheRisingEdgeAndKeepsTheLast16) {
  std::vector<bool> frame;
  // 18 bits: two that fall off, then 0x5A3C least significant first.
  frame.push_back(true);
  frame.push_back(false);
  for (int i = 0; i < 16; ++i) frame.push_back((0x5A3C >> i) & 1);
  TBitSource source(frame);
  PlugProgrammer(&source);
  Claim(14);
  const int64_t accesses = Port.Accesses;
  EXPECT_EQ(ReceiveBits(18), 0x5A3C);
  std::vector<uint8_t> expected;
  for (int i = 0; i < 18; ++i) {
    expected.push_back(0x13);
    expected.push_back(0x11);
  }
  EXPECT_EQ(Port.DataWrites(), expected);
  EXPECT_EQ(Port.Accesses - accesses, 18 * 4) << "each bit: clock up, two status reads, clock down";

  TBitSource sixteen(std::vector<bool>{true, false, false, false, false, false, false, false,
                                       false, false, false, false, false, false, false, true});
  Programmer.Socket = &sixteen;
  EXPECT_EQ(ReceiveBits(16), 0x8001) << "the first bit received is bit 0";
}

TEST_F(SerialTest, CommandWidthsPerCore) {
  const std::pair<int, int> widths[] = {{12, 6}, {14, 6}, {17, 8}, {18, 4}, {16, 0}, {0, 0}};
  for (auto [core, width] : widths) {
    SCOPED_TRACE(core);
    Claim(core);
    const int64_t t0 = Clock.Now;
    SendCommand(0x25);
    const std::vector<int> bits = FallingBits();
    ASSERT_EQ(static_cast<int>(bits.size()), width);
    size_t pos = 0;
    if (width) {
      EXPECT_EQ(Take(bits, pos, width), 0x25u & ((1u << width) - 1));
    } else {
      EXPECT_EQ(Clock.Now, t0) << "an unknown core sends nothing and waits nothing";
    }
    lpt_Unlock();
  }
}

TEST_F(SerialTest, SetTablePointerSendsTheCoreInstructions) {
  struct TCase {
    uint32_t Address;
    std::vector<uint32_t> Instructions;
  };
  const TCase cases[] = {
      {0x300000, {0x0E30, 0x6EF8, 0x6AF7, 0x6AF6}},
      {0x000000, {0x6AF8, 0x6AF7, 0x6AF6}},
      {0x200006, {0x0E20, 0x6EF8, 0x6AF7, 0x0E06, 0x6EF6}},
      {0x3C0004, {0x0E3C, 0x6EF8, 0x6AF7, 0x0E04, 0x6EF6}},
      {0x00FF40, {0x6AF8, 0x0EFF, 0x6EF7, 0x0E40, 0x6EF6}},
  };
  for (const TCase& c : cases) {
    Claim(18);
    SetTablePointer(c.Address);
    const std::vector<int> bits = FallingBits();
    ASSERT_EQ(bits.size(), c.Instructions.size() * 20) << std::hex << c.Address;
    size_t pos = 0;
    for (uint32_t instruction : c.Instructions) {
      EXPECT_EQ(Take(bits, pos, 4), 0u) << "command 0: core instruction";
      EXPECT_EQ(Take(bits, pos, 16), instruction) << std::hex << c.Address;
    }
    lpt_Unlock();
  }
}

TEST_F(SerialTest, SendCommandHoldKeepsTheFourthClockHigh) {
  Claim(18);
  DeviceParameters.ProgTime = 1000;
  SendCommandHold(9);
  ASSERT_EQ(Port.DataWrites(), (std::vector<uint8_t>{0x13, 0x11, 0x12, 0x10, 0x12, 0x10, 0x13, 0x11}));
  EXPECT_EQ(Port.Log[7].TimeNs - Port.Log[6].TimeNs, 1'000'000);
  EXPECT_EQ(Clock.Now - Port.Log[7].TimeNs, 5000);
}

TEST_F(SerialTest, AddParity) {
  EXPECT_EQ(AddParity(0), 2u);
  EXPECT_EQ(AddParity(0x3FFF), 0xFFFDu);
  EXPECT_EQ(AddParity(0x0001), 0x0007u);
  EXPECT_EQ(AddParity(0x0002), 0x0008u);
}

struct TEntryCase {
  bool Mclre;
  std::vector<uint8_t> Writes;  // after the line reset's 0x1F
  std::vector<int64_t> Gaps;    // ns between them, and after the last
};

TEST_F(SerialTest, EnterProgramModeBothBranches) {
  const TEntryCase cases[] = {
      {true, {0x0C, 0x14, 0x10}, {100'000'000, 5'000, 20'000'000}},
      {false, {0x0C, 0x08, 0x10}, {100'000'000, 20'000'000, 20'000}},
  };
  for (const TEntryCase& c : cases) {
    SCOPED_TRACE(c.Mclre);
    SetUp();
    Port.AccessCostNs = 0;
    FindOptionItem("MCLRE_ON")->Enabled = c.Mclre;
    DeviceParameters.CoreType = 14;
    ASSERT_TRUE(SelectProgrammerPort(1));
    Port.Log.clear();
    ASSERT_TRUE(EnterProgramMode());
    EXPECT_EQ(Port.Claimed, 0);
    std::vector<TPortWrite> data;
    for (const TPortWrite& w : Port.Log)
      if (w.Offset == RegData) data.push_back(w);
    ASSERT_EQ(data.size(), 4u);
    EXPECT_EQ(data[0].Value, 0x1F) << "the port layer's line reset";
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(data[i + 1].Value, c.Writes[i]);
      const int64_t next = i + 2 < data.size() ? data[i + 2].TimeNs : Clock.Now;
      EXPECT_EQ(next - data[i + 1].TimeNs, c.Gaps[i]) << i;
    }
    ExitProgramMode();
    EXPECT_EQ(Port.Slots[0].Data, 0x1F);
    EXPECT_EQ(Port.Claimed, -1);
    TearDown();
  }
}

TEST_F(SerialTest, EnterProgramModeFailsCleanlyWithoutAPort) {
  EXPECT_FALSE(EnterProgramMode());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "No VORRA Port selected.");
  ASSERT_TRUE(SelectProgrammerPort(2));
  Port.Slots[1].Refusal = "Permission denied on /dev/parport1: add your user to the group lp.";
  UiRec.Boxes.clear();
  Port.Log.clear();
  EXPECT_FALSE(EnterProgramMode());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text,
            "Unable to access VORRA Port LPT2.\nPermission denied on /dev/parport1: add your user to the group lp.");
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
  EXPECT_TRUE(Port.Log.empty());
}

TEST_F(SerialTest, DelaysAreNeverEmpty) {
  for (int32_t us : {-5, 0, 1, 999, 1000, 1049, 20000}) {
    const int64_t t0 = Clock.Now;
    DelayMicroseconds(us);
    EXPECT_EQ(Clock.Now - t0, 1000LL * (us < 1 ? 1 : us)) << us;
  }
  // Long waits do not overflow.
  const int64_t t0 = Clock.Now;
  DelayMicroseconds(2'000'000'000);
  EXPECT_EQ(Clock.Now - t0, 2'000'000'000LL * 1000);
}

TEST(MonotonicDelayTest, TwoMillisecondsInRealTime) {
  SetClock(nullptr);
  for (int i = 0; i < 3; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    DelayMicroseconds(2000);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(us, 2000);
  }
  const auto t0 = std::chrono::steady_clock::now();
  DelayMicroseconds(1);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::microseconds(1));
}

// Targets that decode the bits themselves accept what the layer sends.
TEST_F(SerialTest, MidrangeTargetTakesAWordAndGivesItBack) {
  TMidrangeSim chip(MidrangeSpecOf("PIC16F84A"));
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 14;
  ASSERT_TRUE(EnterProgramMode());
  EXPECT_TRUE(chip.InProgramMode);
  EXPECT_FALSE(chip.LastEntryVppFirst);
  SendCommand(6);
  SendCommand(2);
  SendBits(16, 0x1234 * 2);
  SendCommand(8);
  DelayMicroseconds(10000);
  SendCommand(4);
  EXPECT_EQ((ReceiveBits(16) >> 1) & 0x3FFF, 0x1234);
  ExitProgramMode();
  EXPECT_FALSE(chip.InProgramMode);
  EXPECT_EQ(chip.Word(1), 0x1234);
  EXPECT_TRUE(chip.Violations.empty()) << chip.Violations.front();
}

TEST_F(SerialTest, ParityTargetTakesEighteenBitFrames) {
  TMidrangeSim chip(MidrangeSpecOf("PIC16C642", 2));
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 14;
  ASSERT_TRUE(EnterProgramMode());
  SendCommand(2);
  SendBits(18, AddParity(0x0ABC) * 2);
  for (int i = 0; i < 2; ++i) {
    SendCommand(8);
    DelayMicroseconds(100);
    SendCommand(14);
  }
  SendCommand(4);
  EXPECT_EQ((ReceiveBits(18) >> 1) & 0x3FFF, 0x0ABC);
  ExitProgramMode();
  EXPECT_EQ(chip.Word(0), 0x0ABC);
  EXPECT_EQ(chip.Pulses[0], 2);
  EXPECT_TRUE(chip.Violations.empty()) << chip.Violations.front();
}

TEST_F(SerialTest, TargetsCatchShortWaitsAndUnknownCommands) {
  TMidrangeSim chip(MidrangeSpecOf("PIC16F84A"));
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 14;
  ASSERT_TRUE(EnterProgramMode());
  SendCommand(2);
  SendBits(16, 0x0AAA * 2);
  SendCommand(8);
  DelayMicroseconds(1000);  // far too short
  SendCommand(0x3F);
  ExitProgramMode();
  ASSERT_EQ(chip.Violations.size(), 2u);
  EXPECT_NE(chip.Violations[0].find("before the end of a program memory write"), std::string::npos);
  EXPECT_NE(chip.Violations[1].find("does not know command 63"), std::string::npos);
  EXPECT_EQ(chip.Word(0), 0x3FFF) << "an interrupted write leaves the cell";
}

TEST_F(SerialTest, Pic18TargetReadsTablesWithEightPaddingClocks) {
  TPic18Spec spec;
  spec.Name = "18F452";
  spec.CodeWords = 16384;
  spec.ConfigErased[1] = 0x27;
  spec.ConfigImplemented[1] = 0x27;
  TPic18Sim chip(spec);
  chip.SetCodeWord(0x123, 0xBEEF);
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 18;
  ASSERT_TRUE(EnterProgramMode());
  SetTablePointer(2 * 0x123);
  SendCommand(9);
  const uint16_t lo = ReceiveBits(16);
  SendCommand(9);
  const uint16_t hi = ReceiveBits(16);
  EXPECT_EQ(lo, 0xEFFF) << "eight clocks with the line free, then the byte";
  EXPECT_EQ(hi, 0xBEFF);
  SetTablePointer(0x300001);
  SendCommand(8);
  EXPECT_EQ(ReceiveBits(16) >> 8, 0x27);
  ExitProgramMode();
  EXPECT_TRUE(chip.Violations.empty()) << chip.Violations.front();
}

TEST_F(SerialTest, Pic18EpromNeedsTheHeldClock) {
  TPic18Spec spec;
  spec.Name = "18C452";
  spec.Eprom = true;
  spec.P9Ns = 100'000;
  spec.PulsesNeeded = 1;
  spec.DataBytes = 0;
  TPic18Sim chip(spec);
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 18;
  DeviceParameters.ProgTime = 100;
  ASSERT_TRUE(EnterProgramMode());
  SetTablePointer(0x10);
  SendCommand(12);
  SendBits(16, 0x1234);
  SendCommand(9);  // not held: no pulse
  ReceiveBits(16);
  SetTablePointer(0x20);
  SendCommand(12);
  SendBits(16, 0x5678);
  SendCommandHold(9);
  ReceiveBits(16);
  ExitProgramMode();
  EXPECT_EQ(chip.CodeWord(8), 0xFFFF);
  EXPECT_EQ(chip.CodeWord(16), 0x5678);
  EXPECT_TRUE(chip.Violations.empty()) << chip.Violations.front();
}

}  // namespace

namespace {

TEST_F(SerialTest, Pic18TargetRejectsInstructionsItDoesNotKnow) {
  TPic18Sim chip(Pic18SpecOf("PIC18F452"));
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 18;
  ASSERT_TRUE(EnterProgramMode());
  SendCommandData(0, 0x6EA5);  // MOVWF to a register the programmer never uses
  SendCommandData(0, 0x1234);
  SendCommand(14);
  ExitProgramMode();
  ASSERT_EQ(chip.Violations.size(), 3u);
  EXPECT_NE(chip.Violations[0].find("unknown register"), std::string::npos);
  EXPECT_NE(chip.Violations[1].find("does not know instruction 0x1234"), std::string::npos);
  EXPECT_NE(chip.Violations[2].find("does not know command 14"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(SerialTest, PartsThatNeedVppFirstNoticeTheOtherEntry) {
  TMidrangeSim chip(MidrangeSpecOf("PIC12F675"));
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 14;
  FindOptionItem("MCLRE_ON")->Enabled = false;  // a database without the MCLRE option
  ASSERT_TRUE(EnterProgramMode());
  ExitProgramMode();
  ASSERT_EQ(chip.Violations.size(), 1u);
  EXPECT_NE(chip.Violations[0].find("supply before the programming voltage"), std::string::npos);
  chip.Violations.clear();
  FindOptionItem("MCLRE_ON")->Enabled = true;
  ASSERT_TRUE(EnterProgramMode());
  EXPECT_TRUE(chip.LastEntryVppFirst);
  ExitProgramMode();
  EXPECT_TRUE(chip.Violations.empty()) << chip.Violations.front();
}

TEST_F(SerialTest, Pic18FlashWriteNeedsTheFullHold) {
  TPic18Sim chip(Pic18SpecOf("PIC18F452"));
  PlugProgrammer(&chip);
  DeviceParameters.CoreType = 18;
  DeviceParameters.ProgTime = 500;  // shorter than the part's P9 of 1 ms
  ASSERT_TRUE(EnterProgramMode());
  SetTablePointer(0x3C0006);
  SendCommandData(12, 0);
  SendCommandData(0, 0x8EA6);
  SendCommandData(0, 0x9CA6);
  SetTablePointer(0);
  for (int k = 0; k < 3; ++k) SendCommandData(13, 0x1111);
  SendCommandData(15, 0x2222);
  SendCommandHold(0);
  SendBits(16, 0);
  ExitProgramMode();
  ASSERT_EQ(chip.Violations.size(), 1u);
  EXPECT_NE(chip.Violations[0].find("without the fourth clock held for P9"), std::string::npos);
  EXPECT_EQ(chip.CodeWord(0), 0xFFFF);
  EXPECT_EQ(chip.CodeWord(3), 0xFFFF);
}

}  // namespace
