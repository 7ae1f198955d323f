#include "pg_time.h"

#include <chrono>

namespace {

// The machine's monotonic clock; busy-waits so short waits stay exact.
class TRelojMaquina final : public TReloj {
public:
  uint64_t AhoraNs() override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
  }
  void EsperaNs(uint64_t ns) override {
    const uint64_t inicio = AhoraNs();
    while (AhoraNs() - inicio < ns) {
    }
  }
};

TRelojMaquina relojMaquina;
TReloj* relojActual = &relojMaquina;

}  // namespace

TReloj& Reloj() { return *relojActual; }

TReloj* PonReloj(TReloj* reloj) {
  TReloj* anterior = relojActual == &relojMaquina ? nullptr : relojActual;
  relojActual = reloj ? reloj : &relojMaquina;
  return anterior;
}

void EsperaNs(uint64_t n) { Reloj().EsperaNs(n); }
void EsperaUs64(uint64_t n) { Reloj().EsperaNs(n * 1000u); }
void EsperaUs(uint16_t n) { EsperaUs64(n); }
void EsperaMs(uint16_t n) { EsperaUs64(uint64_t{n} * 1000u); }
void EsperaMs2(uint16_t n) { EsperaUs64(uint64_t{n} * 1000u); }
void PreparaTiempo() {}
