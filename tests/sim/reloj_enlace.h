// The clock of the tests whose firmware board runs on a thread of its own
// (a pseudo-terminal or a simulated USB bus).
//
// The engine's time-outs keep their full length in real time: a wait of at
// least `umbralNs` (the steps of the loops that wait for the board's reply)
// lasts what it asks, and ends early only once the board's reply has been
// handed over to the main thread, so a late board on a busy machine is
// still answered within the engine's own limit and a silent one times out
// exactly as on a real port. Shorter waits only pace a real board, which the
// simulated one does not need (the line itself holds the host back): they
// cost no real time, and the clock moves on by what they asked so that a
// loop that watches AhoraNs still ends. Before every wait, the simulated
// boards answer what has reached them (TPlacaFw::EsperaQuieta). Every wait
// asked for is recorded.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "firmware/placa_fw.h"
#include "fw/pg_cola_principal.h"
#include "fw/pg_hilo_com.h"
#include "hw/pg_time.h"
#include "usb/pg_hilo_usb.h"

class TRelojEnlace final : public TReloj {
public:
  explicit TRelojEnlace(uint64_t umbralNs = 50'000'000) : umbral_(umbralNs) {}
  uint64_t AhoraNs() override { return RealNs() + saltado_; }
  void EsperaNs(uint64_t ns) override {
    Esperas.push_back(ns);
    TPlacaFw::TodasQuietas();
    if (ns < umbral_) {
      saltado_ += ns;
      return;
    }
    const uint64_t fin = RealNs() + ns;
    while (!RespuestaEntregada()) {
      const uint64_t ahora = RealNs();
      if (ahora >= fin) return;
      std::this_thread::sleep_for(std::chrono::nanoseconds(std::min<uint64_t>(fin - ahora, 500'000)));
    }
  }
  std::vector<uint64_t> Esperas;

private:
  static uint64_t RealNs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
  }
  // Runs what the reply watchers handed to the main thread (the engine does
  // the same right after the wait) and tells whether a reply is waiting.
  static bool RespuestaEntregada() {
    AtiendeColaPrincipal();
    return (ThreadCOM && ThreadCOM->Respuesta()) || (ThreadUSB && ThreadUSB->Respuesta());
  }

  uint64_t umbral_;
  uint64_t saltado_ = 0;
};
