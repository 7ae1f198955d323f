// The simulated targets check the host's data level around the falling
// clock edge that latches it: stable long enough before (setup) and after
// (hold). Each check is shown catching a driver that breaks it, writing the
// Vorra programmer's data register directly on its own virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vsim_catalog.h"
#include "vsim_clock.h"
#include "vsim_midrange.h"
#include "vsim_pic18.h"
#include "vsim_port.h"
#include "vsim_vorra.h"

namespace {

enum class TDriver { Right, NoSetup, NoHold };

// Drives the programmer's data register: bit 0 data, bit 1 clock, 0x10 the
// target powered in programming mode. Bits go out least significant first:
// clock up with the new data, clock down 500 ns later, 500 ns more. The
// wrong drivers put the data in the same write as the falling edge (no
// setup), or change it 10 ns after that edge (no hold).
class TPortDriver {
public:
  TPortDriver(TSerialPic& chip, TDriver d) : Programmer(&chip), Driver(d) {
    Port.AccessCostNs = 0;  // only the driver's own times
    Port.Slots[0].Device = &Programmer;
    std::string why;
    EXPECT_TRUE(Port.Claim(0, why)) << why;
    Write(0x1F, 1'000);
    Write(0x0C, 1'000'000);   // unpowered, reset held
    Write(0x08, 1'000'000);   // supply on, reset held
    Write(0x10, 100'000);     // programming voltage on, clock and data low
  }
  void Frame(uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i) Bit((value >> i) & 1);
    Clock.Advance(20'000);  // the gap between frames
  }
  void Leave() { Write(0x1F, 1'000); }

private:
  void Bit(int b) {
    if (Driver == TDriver::NoSetup) {
      Write(0x12 | Level, 500);         // clock up, the old level still out
      Write(0x10 | b, 500);             // the new level with the falling edge
    } else {
      Write(0x12 | b, 500);
      Write(0x10 | b, Driver == TDriver::NoHold ? 10 : 500);
      if (Driver == TDriver::NoHold) Write(0x10 | (b ^ 1), 490);  // changed right after
    }
    Level = static_cast<uint8_t>(b);
  }
  void Write(uint8_t v, int64_t thenNs) {
    Port.Write(RegData, v);
    Clock.Advance(thenNs);
  }
  TVirtualClock Clock;
  TSimPort Port{&Clock};
  TVorraProgrammer Programmer;
  TDriver Driver;
  uint8_t Level = 0;
};

struct TTimingCase {
  TDriver Driver;
  std::string Rule;  // what every violation names; "" for none
};

// "" when the violations are what the case expects, else what is wrong.
std::string Mismatch(const std::vector<std::string>& violations, const std::string& rule) {
  if (rule.empty()) return violations.empty() ? "" : "unexpected: " + violations.front();
  if (violations.empty()) return "no violation of " + rule;
  for (const std::string& v : violations)
    if (v.find(rule) == std::string::npos) return "another rule: " + v;
  return "";
}

TEST(SimLineTiming, MidrangeTargetNamesMissingSetupAndHold) {
  const TTimingCase cases[] = {{TDriver::Right, ""},
                               {TDriver::NoSetup, "before the clock edge that latches it (setup 100 ns)"},
                               {TDriver::NoHold, "after the clock edge that latched it (hold 100 ns)"}};
  for (const TTimingCase& c : cases) {
    SCOPED_TRACE(c.Rule);
    TMidrangeSim chip(MidrangeSpecOf("PIC16F84A"));
    TPortDriver d(chip, c.Driver);
    ASSERT_TRUE(chip.InProgramMode);
    d.Frame(2, 6);  // Load Data for program memory
    d.Frame(0x1234 * 2, 16);
    d.Frame(6, 6);  // Increment Address
    d.Leave();
    EXPECT_EQ(Mismatch(chip.Violations, c.Rule), "");
  }
}

TEST(SimLineTiming, Pic18TargetNamesMissingSetupAndHold) {
  const TTimingCase cases[] = {{TDriver::Right, ""},
                               {TDriver::NoSetup, "before the clock edge that latches it (setup 15 ns)"},
                               {TDriver::NoHold, "after the clock edge that latched it (hold 15 ns)"}};
  for (const TTimingCase& c : cases) {
    SCOPED_TRACE(c.Rule);
    TPic18Sim chip(Pic18SpecOf("PIC18F452"));
    TPortDriver d(chip, c.Driver);
    ASSERT_TRUE(chip.InProgramMode);
    for (uint32_t literal : {0x55u, 0xAAu}) {
      d.Frame(0, 4);  // core instruction: MOVLW
      d.Frame(0x0E00 | literal, 16);
    }
    d.Leave();
    EXPECT_EQ(Mismatch(chip.Violations, c.Rule), "");
  }
}

}  // namespace
