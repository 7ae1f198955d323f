// Virtual time for the tests: a wait advances the clock by exactly what was
// asked and costs no real time. Installs itself while it lives.
#pragma once

#include <cstdint>

#include "hw/pg_time.h"

class TRelojVirtual final : public TReloj {
public:
  TRelojVirtual() { anterior_ = PonReloj(this); }
  ~TRelojVirtual() override { PonReloj(anterior_); }
  TRelojVirtual(const TRelojVirtual&) = delete;
  TRelojVirtual& operator=(const TRelojVirtual&) = delete;

  uint64_t AhoraNs() override { return t_; }
  void EsperaNs(uint64_t ns) override {
    Avanza(ns);
    esperado_ = Suma(esperado_, ns);
  }
  // Time that passes without a wait (a port access, say).
  void Avanza(uint64_t ns) { t_ = Suma(t_, ns); }
  // Total asked for through waits.
  uint64_t EsperadoNs() const { return esperado_; }

private:
  static uint64_t Suma(uint64_t a, uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }
  uint64_t t_ = 0;
  uint64_t esperado_ = 0;
  TReloj* anterior_ = nullptr;
};
