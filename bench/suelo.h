// The floor of a benchmark run: every wait and clock the programming
// sequence cannot do without on real hardware, item by item, and the ratio
// of the run's virtual time to their sum.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <vector>

struct TTramoSuelo {
  const char* Que;
  uint64_t Ns;
};

template <class TTramos>
uint64_t SumaSuelo(const TTramos& tramos) {
  uint64_t ns = 0;
  for (const auto& t : tramos) ns += t.Ns;
  return ns;
}

// Prints the virtual time, the floor with what it is made of, and their
// ratio against the target; returns the floor.
template <class TTramos>
uint64_t ImprimeSuelo(uint64_t virtualNs, const TTramos& tramos) {
  const uint64_t suelo = SumaSuelo(tramos);
  std::printf("  virtual time   %11.3f ms\n", virtualNs / 1e6);
  std::printf("  floor          %11.3f ms, made of\n", suelo / 1e6);
  for (const auto& t : tramos) std::printf("    %11.3f ms  %s\n", t.Ns / 1e6, t.Que);
  std::printf("  ratio          %11.4f  (target < 1.05)\n", static_cast<double>(virtualNs) / suelo);
  return suelo;
}
inline uint64_t ImprimeSuelo(uint64_t virtualNs, std::initializer_list<TTramoSuelo> tramos) {
  return ImprimeSuelo<std::initializer_list<TTramoSuelo>>(virtualNs, tramos);
}

// Prints what the run spent above the floor, the known excesses (each
// naming the source that needs it; those of no time left out) and what
// they leave unexplained.
inline void ImprimeExcesos(uint64_t virtualNs, uint64_t suelo, std::initializer_list<TTramoSuelo> excesos) {
  uint64_t conocidos = 0;
  std::printf("  above the floor %.3f ms, of which known:\n", (virtualNs > suelo ? virtualNs - suelo : 0) / 1e6);
  for (const auto& e : excesos) {
    if (e.Ns == 0) continue;
    conocidos += e.Ns;
    std::printf("    %11.3f ms  %s\n", e.Ns / 1e6, e.Que);
  }
  std::printf("  unexplained    %11.3f ms\n",
              (static_cast<double>(virtualNs) - static_cast<double>(suelo) - static_cast<double>(conocidos)) / 1e6);
}
