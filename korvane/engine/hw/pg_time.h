// Microsecond and millisecond waits for the clocked protocols.
//
// Every wait of the engine goes through the clock installed here, so that
// the tests can run on virtual time. A wait never ends early.
#pragma once

#include <cstdint>

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
void PreparaTiempo();
