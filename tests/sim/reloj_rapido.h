// Real time with the engine's waits shortened, for links whose other end
// runs on a thread of its own (the waits for a reply must let it run)
// without the full time-outs of a silent board: a wait of at least
// `desdeNs` sleeps for 1/`divisor` of what it asks, a shorter one costs
// nothing. Every wait asked for is recorded.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "hw/pg_time.h"

class TRelojRapido final : public TReloj {
public:
  explicit TRelojRapido(uint64_t divisor = 50, uint64_t desdeNs = 0) : divisor_(divisor), desde_(desdeNs) {}
  uint64_t AhoraNs() override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
  }
  void EsperaNs(uint64_t ns) override {
    Esperas.push_back(ns);
    if (ns >= desde_) std::this_thread::sleep_for(std::chrono::nanoseconds(ns / divisor_));
  }
  std::vector<uint64_t> Esperas;

private:
  uint64_t divisor_, desde_;
};
