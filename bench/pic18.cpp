// Full program + verify of an 18F4550 (32 KB flash, 256 bytes of data
// EEPROM) on the simulated LPT programmer, in virtual time.
//
// The floor is the programming sequence's mandated waits plus its clocking
// at the half-bit delay, each counted from what the simulated part saw:
//   - two half bits for every clock pulse, and a third for every read bit
//     (the read primitive samples half a bit after the falling edge);
//   - every start-programming NOP: the held fourth clock (the part's
//     programming time, at least P9), the clock held low afterwards for the
//     high-voltage discharge (P10, 100 us on this family) and the half bit
//     of its first operand clock, which starts high;
//   - every data EEPROM write: the programming time plus 3 ms;
//   - the bulk erase: 15 ms, at least the part's P11;
//   - every entry into programming mode: three 5 ms settling waits on a
//     parallel port (each memory area enters it on its own).
// The ratio to it (target under 1.05) is what the engine adds of its own.
// Also printed: the ratio to the part's bare minimum times plus two half
// bits a clock pulse, which shows what the sequence itself costs, and the
// host CPU time per word.
#include <algorithm>
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
#include "suelo.h"

int main() {
  PonPerfilLptSim();
  TBancoSim banco;
  banco.Puerto.Registra = false;
  banco.Adaptador.Registra = false;
  TModeloPic18 modelo = Modelo18F4550();
  // Checked, so that a shorter discharge than the part needs shows.
  modelo.P10Ns = 100'000;
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
  const uint64_t lecturas0 = banco.Puerto.Lecturas;
  const uint32_t entradas0 = chip.Entradas;
  const std::clock_t cpu0 = std::clock();
  const bool falloProg = ProgramaPic();
  const bool falloVer = falloProg || VerificaPic();
  const std::clock_t cpu1 = std::clock();
  const uint64_t virtualNs = banco.Reloj.AhoraNs() - t0;

  const uint64_t us = 1000, ms = 1000 * us;
  const uint64_t medioBit = uint64_t{MedioBitUs} * us;
  const uint64_t p9 = std::max(PicActual.TiempoPgm * ms, modelo.P9Ns);
  const uint64_t ee = std::max((PicActual.TiempoPgm + 3u) * ms, modelo.EscrituraEeNs);
  const uint64_t borrado = std::max(15 * ms, modelo.P11Ns);
  const uint64_t nops = chip.Filas.size() + chip.BytesConfig.size();
  const uint64_t bitsLeidos = banco.Puerto.Lecturas - lecturas0;
  const uint64_t entradas = chip.Entradas - entradas0;
  const uint32_t palabras = PicActual.ProgTam + PicActual.IdNum + PicActual.CfgNum + PicActual.EeTam;
  const double cpuS = static_cast<double>(cpu1 - cpu0) / CLOCKS_PER_SEC;

  std::printf("18F4550 program + verify on LPT (half bit %u us)%s\n", MedioBitUs,
              falloProg || falloVer ? "  FAILED" : "");
  std::printf("  violations %zu, unknown %zu, rows %zu, configuration bytes %zu, EEPROM writes %zu, erases %zu,\n"
              "  clock pulses %llu, read bits %llu, programming-mode entries %llu\n",
              chip.Violaciones.size(), chip.Desconocidos.size(), chip.Filas.size(), chip.BytesConfig.size(),
              chip.EscriturasEe.size(), chip.Borrados.size(), static_cast<unsigned long long>(chip.Ciclos),
              static_cast<unsigned long long>(bitsLeidos), static_cast<unsigned long long>(entradas));
  const uint64_t reloj = chip.Ciclos * 2 * medioBit;
  ImprimeSuelo(virtualNs, {{"clocking, two half bits a clock pulse", reloj},
                           {"third half bit of every read bit", bitsLeidos * medioBit},
                           {"start-programming NOPs: held fourth clock (P9)", nops * p9},
                           {"start-programming NOPs: discharge with the clock low (P10)", nops * modelo.P10Ns},
                           {"start-programming NOPs: first operand clock starting high", nops * medioBit},
                           {"data EEPROM writes, programming time + 3 ms", chip.EscriturasEe.size() * ee},
                           {"bulk erase wait", chip.Borrados.size() * borrado},
                           {"entries into programming mode, 3 x 5 ms", entradas * 15 * ms}});
  const uint64_t minimos = nops * modelo.P9Ns + chip.Borrados.size() * modelo.P11Ns +
                           chip.EscriturasEe.size() * modelo.EscrituraEeNs;
  std::printf("  ratio to the part's own minimum times (%.3f ms) + two half bits a clock pulse: %.4f\n",
              minimos / 1e6, static_cast<double>(virtualNs) / (minimos + reloj));
  std::printf("  host CPU       %10.3f ms, %.3f us per word (%u words)\n", cpuS * 1e3, cpuS * 1e6 / palabras,
              palabras);
  return falloProg || falloVer ? 1 : 0;
}
