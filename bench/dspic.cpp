// Programming and verifying a whole 30F4013 on the simulated LPT programmer
// in virtual time, and the wall-clock cost of reading a whole 30F6014.
//
// The floor is what the part itself demands: one shortest clock (90 ns) per
// cycle the chip saw, plus the minimum time of every non-volatile operation
// it carried out. The ratio shows what the engine spends beyond that
// (programming-mode entries, the extra half bit of each read bit).
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

uint64_t MinimoOperaciones(const TDsPic30Sim& chip) {
  uint64_t ns = 0;
  for (const auto& op : chip.Operaciones) {
    switch (op.Nvmcon & 0x7F) {
      case 0x01: ns += chip.TiempoFilaNs; break;
      case 0x05: ns += chip.TiempoEeNs; break;
      case 0x08: ns += chip.TiempoConfigNs; break;
      default: ns += chip.TiempoBorradoNs; break;
    }
  }
  return ns;
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
  const double virtual_ = (banco.Reloj.AhoraNs() - v0) / 1e9;
  const double suelo = (chip.Ciclos * 90.0 + static_cast<double>(MinimoOperaciones(chip))) / 1e9;
  if (rv != 0 || !chip.Violaciones.empty() || !chip.Desconocidos.empty()) {
    std::fprintf(stderr, "30F4013 program + verify failed: %u\n", rv);
    return 1;
  }
  std::printf("30F4013 program + verify (LPT): virtual %.3f s, floor %.3f s, ratio %.3f\n", virtual_, suelo,
              virtual_ / suelo);
  std::printf("  %llu instructions, %llu clock cycles, %zu NVM operations, %u programming-mode entries;"
              " host wall %.2f s, cpu %.2f s = %.0f ns per instruction\n",
              static_cast<unsigned long long>(chip.Ejecutadas), static_cast<unsigned long long>(chip.Ciclos),
              chip.Operaciones.size(), chip.Entradas, pared, cpu, 1e9 * cpu / static_cast<double>(chip.Ejecutadas));
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
