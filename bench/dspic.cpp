// Programming and verifying a whole 30F4013 on the simulated LPT programmer
// in virtual time, and the wall-clock cost of reading a whole 30F6014.
//
// The floor comes from the image and the programming sequence alone
// (suelo_dspic.h), never from what the simulated part or the engine
// counted: an engine that clocks or waits more shows above it. Where the
// engine is above it, the excesses it is known to carry are named with the
// source lines that need them (fuentes_exceso.h), looked up in the source
// tree as the bench runs. Also printed: the ratio to the part's own
// minimum (its operation times and one clock a bit).
#include <sys/resource.h>

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
#include "suelo_dspic.h"

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

  constexpr uint64_t us = 1'000, ms = 1'000'000;
  // The image: rows that are not blank, and every area read back by verify.
  // Timing: the shortest clock high (90 ns), the data's hold (P4, 15 ns),
  // the part's output settling with the clock low (90 ns), the pause after
  // a SIX's control code (90 ns), the programming time of every operation
  // (P12, 2 ms). The notes give no entry time for this family: the 5 us
  // hold of the mid-range parts stands in for it.
  auto filasNoBlancas = [](const uint16_t* c, uint32_t celdas, uint32_t celdasFila, bool programa) {
    uint32_t r = 0;
    for (uint32_t f = 0; f < celdas; f += celdasFila) {
      bool blanco = true;
      for (uint32_t i = f; i < f + celdasFila && i < celdas; i += 2)
        blanco = blanco && c[i] == 0xFFFF && (!programa || c[i + 1] == 0x00FF);
      r += blanco ? 0 : 1;
    }
    return r;
  };
  TParteSueloDs p;
  p.FilasCodigo = filasNoBlancas(BufDispositivo.Prog.data(), PicActual.ProgTam, 64, true);
  p.FilasEe = filasNoBlancas(BufDispositivo.Datos.data(), PicActual.EeTam, 32, false);
  p.InstruccionesLeidas = PicActual.ProgTam / 2;
  p.PalabrasEeLeidas = PicActual.EeTam / 2;
  p.RelojNs = 90;
  p.RetencionNs = 15;
  p.LecturaNs = 90;
  p.PausaSixNs = 90;
  p.NvmNs = 2 * ms;
  p.EntradaNs = 5 * us;
  p.FilaNs = chip.TiempoFilaNs;
  p.FilaEeNs = chip.TiempoEeNs;
  p.ConfigNs = chip.TiempoConfigNs;
  p.BorradoNs = chip.TiempoBorradoNs;

  std::printf("30F4013 erase + program + verify on LPT\n");
  const uint64_t suelo = ImprimeSuelo(virtualNs, SueloDsPic(p));
  // What the engine is known to add to the sequence, worked out the same way.
  const uint64_t six = 28 * (p.RelojNs + p.RetencionNs) + p.PausaSixNs;
  const bool nombrados = ImprimeExcesos(KORVANE_SOURCE_DIR, virtualNs, suelo, {
      {"entries: 3 x 5 ms settling instead of the entry time", 7 * (15 * ms - p.EntradaNs),
       {Fuente::EntradaPrevia, Fuente::EntradaReinicio, Fuente::EntradaVpp}},
      {"erase: programming mode left and entered again before the erase", 15 * ms, {Fuente::DsBorradoEntrada}},
      {"EEPROM rows: a second reset jump after the short one", p.FilasEe * 4 * six, {Fuente::DsFilaDatosReset}},
  });
  const uint64_t minimo = MinimoDsPic(p);
  std::printf("  ratio to the part's own minimum (%.3f ms: its operation times, a clock a bit): %.4f\n",
              minimo / 1e6, static_cast<double>(virtualNs) / minimo);
  std::printf("  host wall %.2f s, cpu %.2f s = %.0f ns per instruction\n", pared, cpu,
              1e9 * cpu / static_cast<double>(chip.Ejecutadas));
  return nombrados ? 0 : 1;
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
