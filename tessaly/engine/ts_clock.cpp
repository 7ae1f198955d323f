#include "ts_clock.h"

#include <cerrno>
#include <chrono>
#include <ctime>

namespace {
TMonotonicClock RealClock;
TTessalyClock* CurrentClock = &RealClock;
}  // namespace

int64_t TMonotonicClock::NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TMonotonicClock::WaitUs(int64_t us) {
  if (us <= 0) return;
  const int64_t deadline = NowNs() + us * 1000;
  // Sleep until about 200 us before the deadline (the scheduler's wake-up
  // slack), then spin to it.
  constexpr int64_t SpinNs = 200'000;
  int64_t left = deadline - NowNs();
  if (left > SpinNs) {
    const int64_t wake = deadline - SpinNs;
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(wake / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(wake % 1'000'000'000);
    // steady_clock is CLOCK_MONOTONIC on Linux.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
  }
  while (NowNs() < deadline) {
  }
}

TTessalyClock& Clock() { return *CurrentClock; }

void SetClock(TTessalyClock* clock) { CurrentClock = clock ? clock : &RealClock; }
