// Virtual time for the Tessaly tests: a wait advances the clock by exactly
// what was asked, and a port access may cost a settable amount.
#pragma once

#include <cstdint>

#include "ts_clock.h"

class TVirtualClock final : public TTessalyClock {
public:
  int64_t NowNs() override { return Now; }
  void WaitUs(int64_t us) override {
    if (us <= 0) return;
    Now += us * 1000;
    WaitedNs += us * 1000;
    ++Waits;
  }
  void Advance(int64_t ns) { Now += ns; }

  int64_t Now = 0;
  int64_t WaitedNs = 0;  // total of all waits
  int64_t Waits = 0;     // number of waits
};

// Installs a virtual clock for the lifetime of the object.
class TVirtualClockScope {
public:
  TVirtualClockScope() { SetClock(&Clock); }
  ~TVirtualClockScope() { SetClock(nullptr); }
  TVirtualClock Clock;
};
