// Actual length of the engine's waits on this machine, and the cost of one
// line change on the simulated port (to separate link cost from engine cost
// in the family benchmarks).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "chips/minimo.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "sim_banco.h"

namespace {

using Reloj = std::chrono::steady_clock;

void MideEspera(uint32_t us, int veces) {
  std::vector<double> real(veces);
  int cortas = 0;
  for (int i = 0; i < veces; ++i) {
    const auto t0 = Reloj::now();
    if (us >= 1000)
      EsperaMs(static_cast<uint16_t>(us / 1000));
    else
      EsperaUs(static_cast<uint16_t>(us));
    const double ns = std::chrono::duration<double, std::nano>(Reloj::now() - t0).count();
    real[i] = ns / 1000.0;
    if (ns < us * 1000.0) ++cortas;
  }
  std::sort(real.begin(), real.end());
  const double p99 = real[std::min<size_t>(real.size() - 1, real.size() * 99 / 100)];
  std::printf("wait %5u us x%-6d min %9.3f  median %9.3f  p99 %9.3f us  p99 overshoot %7.3f us  short %d\n",
              us, veces, real.front(), real[real.size() / 2], p99, p99 - us, cortas);
}

void MideLinea() {
  PonPerfilLptSim();
  TBancoSim banco;
  banco.Puerto.Registra = false;
  banco.Adaptador.Registra = false;
  TChipMinimo14 chip;
  banco.Adaptador.Conecta(&chip);
  PinesReposo();
  constexpr int veces = 1'000'000;
  const auto t0 = Reloj::now();
  for (int i = 0; i < veces / 2; ++i) {
    ClockAlto();
    ClockBajo();
  }
  const double ns = std::chrono::duration<double, std::nano>(Reloj::now() - t0).count();
  std::printf("simulated line change (port write + adapter + chip): %.1f ns each\n", ns / veces);
}

}  // namespace

int main() {
  std::printf("processor clock: %u MHz\n", CalibrateCpuClock());
  MideEspera(1, 20000);
  MideEspera(4, 20000);
  MideEspera(10, 10000);
  MideEspera(100, 2000);
  MideEspera(1000, 300);
  MideEspera(5000, 100);
  MideLinea();
  return 0;
}
