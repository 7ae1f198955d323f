// Full program + verify of an 18F4550 (32 KB flash, 256 bytes of data
// EEPROM) on the simulated LPT programmer, in virtual time.
//
// Figures: the virtual time of the run; the floor, which is what the part
// itself demands (its programming, erase and EEPROM write times, each
// once) plus every clock pulse the run needs at two half-bit delays; their
// ratio (target under 1.05); the same ratio with the third half-bit wait
// of every read clock counted in the floor, as the read primitive takes
// it; and the host CPU time per word.
#include <chrono>
#include <cstdio>
#include <ctime>

#include "chips/pic18_sim.h"
#include "flash/pg_flash.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_pic.h"
#include "sim_banco.h"

int main() {
  PonPerfilLptSim();
  TBancoSim banco;
  banco.Puerto.Registra = false;
  banco.Adaptador.Registra = false;
  const TModeloPic18 modelo = Modelo18F4550();
  TPic18Sim chip(modelo);
  banco.Adaptador.Conecta(&chip);
  ClaseDispositivo = 0;
  IndiceListPics = 92;  // 18F4550
  PonDispositivo();
  TipoAccion = 0;
  PinesReposo();
  VddOn();
  CompruebaHardware();

  // Every word and byte programmed.
  LimpiaBuffers(BufDispositivo);
  uint32_t semilla = 12345;
  auto azar = [&] {
    semilla = semilla * 1103515245u + 12345u;
    return static_cast<uint16_t>(semilla >> 16);
  };
  for (uint32_t i = 0; i < PicActual.ProgTam; ++i) BufDispositivo.Prog[i] = static_cast<uint16_t>(azar() & 0x7FFF);
  for (uint32_t i = 0; i < 4; ++i) BufDispositivo.Id[i] = azar();
  for (uint32_t c = 0; c < 7; ++c)
    BufDispositivo.Config[c] =
        static_cast<uint16_t>(modelo.MascaraConfig[2 * c] | modelo.MascaraConfig[2 * c + 1] << 8);
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) BufDispositivo.Datos[i] = static_cast<uint16_t>(azar() % 255);
  BufArchivo = BufDispositivo;

  const uint64_t t0 = banco.Reloj.AhoraNs();
  const std::clock_t cpu0 = std::clock();
  const bool falloProg = ProgramaPic();
  const bool falloVer = falloProg || VerificaPic();
  const std::clock_t cpu1 = std::clock();
  const uint64_t virtualNs = banco.Reloj.AhoraNs() - t0;

  const uint64_t exigido = chip.Filas.size() * modelo.P9Ns + chip.BytesConfig.size() * modelo.P9Ns +
                           chip.Borrados.size() * modelo.P11Ns +
                           chip.EscriturasEe.size() * modelo.EscrituraEeNs;
  const uint64_t reloj = chip.Ciclos * 2 * uint64_t{MedioBitUs} * 1000;
  const uint64_t suelo = exigido + reloj;
  // The read primitive waits a third half bit before it samples.
  const uint64_t lecturas = chip.CiclosLectura * uint64_t{MedioBitUs} * 1000;
  const uint32_t palabras = PicActual.ProgTam + PicActual.IdNum + PicActual.CfgNum + PicActual.EeTam;
  const double cpuS = static_cast<double>(cpu1 - cpu0) / CLOCKS_PER_SEC;

  std::printf("18F4550 program + verify on LPT (half bit %u us)%s\n", MedioBitUs,
              falloProg || falloVer ? "  FAILED" : "");
  std::printf("  violations %zu, unknown %zu, rows %zu, EEPROM writes %zu, clock pulses %llu\n",
              chip.Violaciones.size(), chip.Desconocidos.size(), chip.Filas.size(), chip.EscriturasEe.size(),
              static_cast<unsigned long long>(chip.Ciclos));
  std::printf("  virtual time   %10.3f ms\n", virtualNs / 1e6);
  std::printf("  floor          %10.3f ms  (part's own times %.3f ms + clocking %.3f ms)\n", suelo / 1e6,
              exigido / 1e6, reloj / 1e6);
  std::printf("  ratio          %10.4f  (target < 1.05)\n", static_cast<double>(virtualNs) / suelo);
  std::printf("  ratio to the floor with the read bits' third half bit (%.3f ms): %.4f\n", lecturas / 1e6,
              static_cast<double>(virtualNs) / (suelo + lecturas));
  std::printf("  host CPU       %10.3f ms, %.3f us per word (%u words)\n", cpuS * 1e3, cpuS * 1e6 / palabras,
              palabras);
  return falloProg || falloVer ? 1 : 0;
}
