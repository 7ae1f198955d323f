// The host's data line around the clock edge that latches it, as the
// programming specifications time it: stable SetupNs before that edge and
// HoldNs after it. The family simulators tell it when the line changes and
// when an edge latches a bit of the host's; a violation comes back as text.
#pragma once

#include <cstdint>
#include <string>

class TTiemposDato {
public:
  TTiemposDato(uint64_t setupNs, uint64_t holdNs) : SetupNs(setupNs), HoldNs(holdNs) {}
  uint64_t SetupNs, HoldNs;

  // The host's data line changed at t; a change inside the hold time of
  // the last latching edge is a violation ("" when none).
  std::string Cambia(uint64_t t) {
    std::string v;
    if (hayLatch_ && t - latch_ < HoldNs)
      v = "data changed " + std::to_string(t - latch_) + " ns after the clock edge that latched it (hold " +
          std::to_string(HoldNs) + " ns)";
    cambio_ = t;
    return v;
  }
  // An edge latched a bit of the host's at t (a level written together with
  // the edge had no setup time at all).
  std::string Latch(uint64_t t) {
    std::string v;
    if (t - cambio_ < SetupNs)
      v = "data changed " + std::to_string(t - cambio_) + " ns before the clock edge that latches it (setup " +
          std::to_string(SetupNs) + " ns)";
    latch_ = t;
    hayLatch_ = true;
    return v;
  }
  // Programming mode left: nothing latched any more.
  void Olvida() { hayLatch_ = false; }

private:
  uint64_t cambio_ = 0, latch_ = 0;
  bool hayLatch_ = false;
};
