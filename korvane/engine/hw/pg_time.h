// Microsecond and millisecond waits for the clocked protocols, and the
// processor clock the main window shows.
//
// Every wait of the engine goes through the clock installed here, so that
// the tests can run on virtual time. A wait never ends early: the machine's
// clock compares the monotonic time with a full-precision deadline.
#pragma once

#include <cstdint>
#include <string_view>

class TReloj {
public:
  virtual ~TReloj() = default;
  // Monotonic time in nanoseconds.
  virtual uint64_t AhoraNs() = 0;
  // Waits at least ns nanoseconds.
  virtual void EsperaNs(uint64_t ns) = 0;
};

// The clock in use; never null (the machine's steady clock by default).
TReloj& Reloj();
// Installs a clock (nullptr restores the machine's). Returns the previous one.
TReloj* PonReloj(TReloj* reloj);

void EsperaUs64(uint64_t n);
void EsperaNs(uint64_t n);
void EsperaUs(uint16_t n);
void EsperaMs(uint16_t n);
void EsperaMs2(uint16_t n);
// Nothing to prepare on this platform; the operation runner calls it anyway.
void PreparaTiempo();

// --- Processor clock -------------------------------------------------------
// The waits do not depend on it (they run on the monotonic clock); it is the
// figure shown to the user and the scale of ReadTimeStampCounter ticks.

// Length of the measurement window when no system figure is available.
constexpr uint32_t CalibrationMs = 200;

// The processor's time-stamp counter (the monotonic clock in nanoseconds
// where the processor has none).
uint64_t ReadTimeStampCounter();
// Clock speed in MHz, determined once: "cpu MHz" of the first processor in
// /proc/cpuinfo, else cpufreq's maximum, else measured over CalibrationMs.
// A figure of 0 counts as missing.
uint32_t CalibrateCpuClock();
// Counter ticks per microsecond, measured over ms milliseconds.
double MeasureCpuMHz(uint32_t ms);
// |t2 - t1| counter ticks in microseconds / nanoseconds, to the nearest integer.
int64_t TicksToMicroseconds(uint64_t t1, uint64_t t2);
int64_t TicksToNanoseconds(uint64_t t1, uint64_t t2);

// The "cpu MHz" figure of the first processor in a /proc/cpuinfo text,
// rounded; 0 when absent, unreadable or zero.
uint32_t MHzDeCpuinfo(std::string_view texto);
// Forgets the determined clock speed, so the next call determines it again
// from the given sources (tests; empty paths use the system's).
void ReiniciaRelojCpu(const char* rutaCpuinfo = nullptr, const char* rutaCpufreq = nullptr);
