#include "pg_time.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace {

uint64_t MonotonicoNs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now().time_since_epoch()).count());
}

// The machine's monotonic clock. Short waits spin on it; long ones sleep
// until shortly before the deadline and spin the rest, so the scheduler's
// wake-up delay never shortens or (much) lengthens them.
class TRelojMaquina final : public TReloj {
public:
  uint64_t AhoraNs() override { return MonotonicoNs(); }
  void EsperaNs(uint64_t ns) override {
    const uint64_t inicio = AhoraNs();
    const uint64_t fin = ns > UINT64_MAX - inicio ? UINT64_MAX : inicio + ns;
    constexpr uint64_t margenSueno = 1'000'000;  // spin the last millisecond
    if (ns > 2 * margenSueno) {
      const uint64_t despertar = fin - margenSueno;
      timespec ts{};
      ts.tv_sec = static_cast<time_t>(despertar / 1'000'000'000u);
      ts.tv_nsec = static_cast<long>(despertar % 1'000'000'000u);
      // steady_clock is CLOCK_MONOTONIC on Linux; an interrupted sleep just
      // leaves more to spin.
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
    }
    while (AhoraNs() < fin) {
    }
  }
};

TRelojMaquina relojMaquina;
TReloj* relojActual = &relojMaquina;

// Processor clock state.
uint32_t mhz = 0;
bool calibrado = false;
// Counter ticks per microsecond and per nanosecond. Dividing by them (rather
// than multiplying by 1/MHz) keeps exact halves exact for the rounding.
long double ticksPorUs = 0;
long double ticksPorNs = 0;
std::string rutaCpuinfo = "/proc/cpuinfo";
std::string rutaCpufreq = "/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq";

std::string LeeArchivo(const std::string& ruta) {
  std::ifstream f(ruta);
  if (!f) return {};
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

uint64_t Multiplica(uint64_t n, uint64_t factor) {
  return n > UINT64_MAX / factor ? UINT64_MAX : n * factor;
}

int64_t Convierte(uint64_t t1, uint64_t t2, const long double& ticksPorUnidad) {
  if (!calibrado) CalibrateCpuClock();  // sets the scale
  const uint64_t d = t2 >= t1 ? t2 - t1 : t1 - t2;
  return static_cast<int64_t>(std::llroundl(static_cast<long double>(d) / ticksPorUnidad));
}

}  // namespace

TReloj& Reloj() { return *relojActual; }

TReloj* PonReloj(TReloj* reloj) {
  TReloj* anterior = relojActual == &relojMaquina ? nullptr : relojActual;
  relojActual = reloj ? reloj : &relojMaquina;
  return anterior;
}

void EsperaNs(uint64_t n) { Reloj().EsperaNs(n); }
void EsperaUs64(uint64_t n) { Reloj().EsperaNs(Multiplica(n, 1000u)); }
void EsperaUs(uint16_t n) { EsperaUs64(n); }
void EsperaMs(uint16_t n) { EsperaUs64(uint64_t{n} * 1000u); }
void EsperaMs2(uint16_t n) { EsperaUs64(uint64_t{n} * 1000u); }
void PreparaTiempo() {}

uint64_t ReadTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return MonotonicoNs();
#endif
}

uint32_t MHzDeCpuinfo(std::string_view texto) {
  std::istringstream lineas{std::string(texto)};
  std::string linea;
  while (std::getline(lineas, linea)) {
    if (linea.rfind("cpu MHz", 0) != 0) continue;
    const auto dosPuntos = linea.find(':');
    if (dosPuntos == std::string::npos) return 0;
    try {
      const double v = std::stod(linea.substr(dosPuntos + 1));
      return v >= 0.5 && v < 1e6 ? static_cast<uint32_t>(v + 0.5) : 0;
    } catch (...) {
      return 0;
    }
  }
  return 0;
}

double MeasureCpuMHz(uint32_t ms) {
  const uint64_t ns1 = MonotonicoNs();
  const uint64_t t1 = ReadTimeStampCounter();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  const uint64_t t2 = ReadTimeStampCounter();
  const uint64_t ns2 = MonotonicoNs();
  const double us = static_cast<double>(ns2 - ns1) / 1000.0;
  return us > 0 ? static_cast<double>(t2 - t1) / us : 0.0;
}

uint32_t CalibrateCpuClock() {
  if (calibrado) return mhz;
  mhz = MHzDeCpuinfo(LeeArchivo(rutaCpuinfo));
  if (mhz == 0) {
    const std::string khz = LeeArchivo(rutaCpufreq);
    try {
      mhz = khz.empty() ? 0 : static_cast<uint32_t>((std::stoull(khz) + 500) / 1000);
    } catch (...) {
      mhz = 0;
    }
  }
#if defined(__x86_64__) || defined(__i386__)
  if (mhz == 0) mhz = static_cast<uint32_t>(MeasureCpuMHz(CalibrationMs) + 0.5);
#else
  if (mhz == 0) mhz = 1000;  // the counter is the nanosecond clock itself
#endif
  if (mhz == 0) mhz = 1;
  ticksPorUs = mhz;
  ticksPorNs = mhz / 1000.0L;
  calibrado = true;
  return mhz;
}

int64_t TicksToMicroseconds(uint64_t t1, uint64_t t2) { return Convierte(t1, t2, ticksPorUs); }
int64_t TicksToNanoseconds(uint64_t t1, uint64_t t2) { return Convierte(t1, t2, ticksPorNs); }

void ReiniciaRelojCpu(const char* cpuinfo, const char* cpufreq) {
  calibrado = false;
  mhz = 0;
  rutaCpuinfo = cpuinfo && *cpuinfo ? cpuinfo : "/proc/cpuinfo";
  rutaCpufreq = cpufreq && *cpufreq ? cpufreq
                                    : "/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq";
}
