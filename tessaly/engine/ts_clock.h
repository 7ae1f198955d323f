// Every wait of Tessaly goes through this clock, so tests run the programmer
// and its targets in virtual time while the program waits on the monotonic
// clock.
#pragma once

#include <cstdint>

class TTessalyClock {
public:
  virtual ~TTessalyClock() = default;
  // Nanoseconds since an arbitrary start; never goes backwards.
  virtual int64_t NowNs() = 0;
  // Returns no earlier than `us` microseconds after the call.
  virtual void WaitUs(int64_t us) = 0;
};

// Waits on std::chrono::steady_clock: sleeps through long waits and spins
// the last stretch, so a wait never ends early and short ones stay short.
class TMonotonicClock final : public TTessalyClock {
public:
  int64_t NowNs() override;
  void WaitUs(int64_t us) override;
};

// The clock in use; never null (the monotonic clock by default).
TTessalyClock& Clock();
void SetClock(TTessalyClock* clock);
