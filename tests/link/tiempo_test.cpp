// Waits and the processor clock figure.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "hw/pg_time.h"
#include "sim_reloj.h"

namespace {

TEST(Tiempo, MachineWaitsNeverEndEarly) {
  using reloj = std::chrono::steady_clock;
  const uint32_t pedidosUs[] = {0, 1, 4, 10, 100, 1000, 3000};
  for (uint32_t us : pedidosUs) {
    for (int i = 0; i < (us >= 1000 ? 3 : 50); ++i) {
      const auto t0 = reloj::now();
      us >= 1000 ? EsperaMs(static_cast<uint16_t>(us / 1000)) : EsperaUs(static_cast<uint16_t>(us));
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(reloj::now() - t0).count();
      ASSERT_GE(ns, int64_t{us} * 1000) << us << " us";
    }
  }
  const auto t0 = reloj::now();
  EsperaNs(2500);
  EXPECT_GE(reloj::now() - t0, std::chrono::nanoseconds(2500));
}

TEST(Tiempo, VirtualClockAdvancesByExactlyTheRequest) {
  TRelojVirtual v;
  for (int i = 0; i < 255; ++i) EsperaMs(50);
  EXPECT_EQ(v.AhoraNs(), uint64_t{255} * 50'000'000u);
  EsperaUs(0);
  EsperaUs(65535);
  EsperaMs2(65535);
  EXPECT_EQ(v.AhoraNs(), uint64_t{255} * 50'000'000u + 65'535'000u + 65'535'000'000u);
  EsperaUs64(UINT64_MAX / 10);  // saturates instead of wrapping to a short wait
  EXPECT_GT(v.AhoraNs(), UINT64_MAX / 10);
}

TEST(Tiempo, CpuinfoFigure) {
  struct {
    const char* texto;
    uint32_t mhz;
  } casos[] = {
      {"processor\t: 0\ncpu MHz\t\t: 2096.038\ncpu MHz\t\t: 3000.000\n", 2096},
      {"cpu MHz\t\t: 799.5\n", 800},
      {"cpu MHz\t\t: 0.000\n", 0},
      {"cpu MHz\t\t: n/a\n", 0},
      {"processor\t: 0\nBogoMIPS\t: 48.00\n", 0},
      {"", 0},
  };
  for (const auto& c : casos) EXPECT_EQ(MHzDeCpuinfo(c.texto), c.mhz) << c.texto;
}

std::string Escribe(const std::string& nombre, const std::string& texto) {
  const std::string ruta = ::testing::TempDir() + nombre;
  std::ofstream(ruta) << texto;
  return ruta;
}

TEST(Tiempo, ZeroMHzCountsAsMissing) {
  const std::string cpuinfo = Escribe("cpuinfo0", "cpu MHz\t\t: 0.000\n");
  const std::string cpufreq = Escribe("cpufreq", "3400000\n");
  ReiniciaRelojCpu(cpuinfo.c_str(), cpufreq.c_str());
  EXPECT_EQ(CalibrateCpuClock(), 3400u);
  ReiniciaRelojCpu();
  std::remove(cpuinfo.c_str());
  std::remove(cpufreq.c_str());
}

TEST(Tiempo, TickConversionIsAbsoluteAndRounded) {
  const std::string cpuinfo = Escribe("cpuinfo1000", "cpu MHz\t\t: 1000.000\n");
  ReiniciaRelojCpu(cpuinfo.c_str(), "/nonexistent");
  EXPECT_EQ(TicksToMicroseconds(0, 5000), 5);
  EXPECT_EQ(TicksToMicroseconds(5000, 0), 5) << "a counter slightly behind is no negative time";
  EXPECT_EQ(TicksToMicroseconds(0, 1499), 1);
  EXPECT_EQ(TicksToMicroseconds(0, 1500), 2);
  EXPECT_EQ(TicksToNanoseconds(100, 107), 7);
  EXPECT_EQ(CalibrateCpuClock(), 1000u);
  ReiniciaRelojCpu();
  std::remove(cpuinfo.c_str());
}

TEST(Tiempo, MachineClockFigureIsPlausible) {
  ReiniciaRelojCpu();
  const uint32_t mhz = CalibrateCpuClock();
  EXPECT_GT(mhz, 0u);
  EXPECT_LT(mhz, 100000u);
}

}  // namespace
