// Programming and verifying a whole 30F4013 on the simulated LPT programmer
// in virtual time, and the wall-clock cost of reading a whole 30F6014.
//
// The floor is the programming sequence's mandated waits plus its clocking,
// each counted from what the simulated part saw:
//   - one shortest clock (90 ns) per clock cycle, a second 90 ns for every
//     read bit (the part's output settles with the clock low) and 90 ns
//     between the control code and the instruction of every SIX;
//   - every non-volatile operation: the programming time the engine waits
//     (2 ms), at least the part's own minimum;
//   - every entry into programming mode: three 5 ms settling waits on a
//     parallel port (the erase enters twice, every area once).
// The ratio to it (target under 1.05) is what the engine adds of its own;
// the ratio to one clock per cycle plus the part's minimum operation times
// alone shows what the sequence itself costs.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "chips/dspic30_sim.h"
#include "dspic/pg_dspic.h"
#include "hw/pg_icsp.h"
#include "hw/pg_port.h"
#include "pg_hex.h"
#include "pg_pic.h"
#include "sim_banco.h"
#include "suelo.h"

namespace {

double CpuSegundos() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double Ahora() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Prepara(uint8_t indice, TBancoSim& banco, TDsPic30Sim& chip) {
  banco.Puerto.Registra = false;
  banco.Adaptador.Registra = false;
  banco.Adaptador.Conecta(&chip);
  ClaseDispositivo = 0;
  IndiceListPics = indice;
  PonDispositivo();
  PonEjecutivoConDatos([] { return false; });
  PinesReposo();
  VddOn();
  CompruebaHardware();
}

uint64_t TiempoMinimo(const TDsPic30Sim& chip, uint16_t nvmcon) {
  switch (nvmcon & 0x7F) {
    case 0x01: return chip.TiempoFilaNs;
    case 0x05: return chip.TiempoEeNs;
    case 0x08: return chip.TiempoConfigNs;
    default: return chip.TiempoBorradoNs;
  }
}

int ProgramaYVerifica() {
  PonPerfilLptSim();
  TBancoSim banco;
  TDsPic30Sim chip(Modelo30F4013());
  Prepara(108, banco, chip);
  LimpiaBuffers(BufDispositivo);
  uint32_t x = 12345;
  for (uint32_t i = 0; i < PicActual.ProgTam; i += 2) {
    x = x * 1103515245u + 12345u;
    BufDispositivo.Prog[i] = static_cast<uint16_t>(x >> 8);
    BufDispositivo.Prog[i + 1] = static_cast<uint16_t>((x >> 24) & 0xFF);
  }
  for (uint32_t i = 0; i < PicActual.EeTam; i += 2) {
    BufDispositivo.Datos[i] = static_cast<uint16_t>(i * 0x3131);
    BufDispositivo.Datos[i + 1] = 0;
  }
  for (uint32_t r = 0; r < 7; ++r) {
    BufDispositivo.Config[4 * r] = chip.Memoria.Modelo().Implementados[r];
    BufDispositivo.Config[4 * r + 1] = 0;
  }
  BufArchivo = BufDispositivo;

  const uint64_t v0 = banco.Reloj.AhoraNs();
  const uint64_t lecturas0 = banco.Puerto.Lecturas;
  const uint32_t entradas0 = chip.Entradas;
  const double w0 = Ahora(), c0 = CpuSegundos();
  TipoAccion = 0;
  const uint8_t rp = ProgramaDsPic();
  const uint8_t rv = rp ? rp : VerificaDsPic(false);
  const double cpu = CpuSegundos() - c0, pared = Ahora() - w0;
  const uint64_t virtualNs = banco.Reloj.AhoraNs() - v0;
  if (rv != 0 || !chip.Violaciones.empty() || !chip.Desconocidos.empty()) {
    std::fprintf(stderr, "30F4013 program + verify failed: %u\n", rv);
    return 1;
  }

  constexpr uint64_t reloj = 90, ms = 1'000'000;
  constexpr uint64_t programacion = 2 * ms;  // the wait of every NVM operation
  const uint64_t bitsLeidos = banco.Puerto.Lecturas - lecturas0;
  // Every frame is 28 clocks, a 4-bit control code and 24 bits; a REGOUT
  // frame reads 16 of its bits, the rest are SIX frames.
  const uint64_t six = chip.Ciclos / 28 - bitsLeidos / 16;
  const uint64_t entradas = chip.Entradas - entradas0;
  uint64_t operaciones = 0, minimos = 0;
  for (const auto& op : chip.Operaciones) {
    const uint64_t minimo = TiempoMinimo(chip, op.Nvmcon);
    operaciones += std::max(programacion, minimo);
    minimos += minimo;
  }
  std::printf("30F4013 program + verify on LPT\n");
  std::printf("  %llu instructions executed, %llu clock cycles, %llu SIX, %llu read bits, %zu NVM operations,"
              " %llu programming-mode entries\n",
              static_cast<unsigned long long>(chip.Ejecutadas), static_cast<unsigned long long>(chip.Ciclos),
              static_cast<unsigned long long>(six), static_cast<unsigned long long>(bitsLeidos),
              chip.Operaciones.size(), static_cast<unsigned long long>(entradas));
  ImprimeSuelo(virtualNs, {{"clocking, 90 ns a clock cycle", chip.Ciclos * reloj},
                           {"second 90 ns of every read bit", bitsLeidos * reloj},
                           {"90 ns between the control code and the instruction of every SIX", six * reloj},
                           {"NVM operations, programming time", operaciones},
                           {"entries into programming mode, 3 x 5 ms", entradas * 15 * ms}});
  std::printf("  ratio to the part's own minimum times (%.3f ms) + 90 ns a clock cycle: %.4f\n", minimos / 1e6,
              static_cast<double>(virtualNs) / (minimos + chip.Ciclos * reloj));
  std::printf("  host wall %.2f s, cpu %.2f s = %.0f ns per instruction\n", pared, cpu,
              1e9 * cpu / static_cast<double>(chip.Ejecutadas));
  return 0;
}

int Lectura6014() {
  PonPerfilLptSim();
  TBancoSim banco;
  TDsPic30Sim chip(Modelo30F6014());
  Prepara(119, banco, chip);
  const double w0 = Ahora(), c0 = CpuSegundos();
  const uint8_t r = LeeDsPic(false);
  const double cpu = CpuSegundos() - c0, pared = Ahora() - w0;
  if (r != 0) {
    std::fprintf(stderr, "30F6014 read failed: %u\n", r);
    return 1;
  }
  std::printf("30F6014 read (LPT): host wall %.2f s, cpu %.2f s, %llu clock cycles (%.0f ns of host per cycle),"
              " virtual %.3f s\n",
              pared, cpu, static_cast<unsigned long long>(chip.Ciclos), 1e9 * pared / static_cast<double>(chip.Ciclos),
              banco.Reloj.AhoraNs() / 1e9);
  return 0;
}

}  // namespace

int main() { return ProgramaYVerifica() | Lectura6014(); }
