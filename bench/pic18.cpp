// Full program + verify of an 18F4550 (32 KB flash, 256 bytes of data
// EEPROM) on the simulated LPT programmer, in virtual time.
//
// The floor comes from the image and the programming sequence alone
// (suelo_pic18.h), never from what the simulated part or the engine
// counted: an engine that clocks or waits more shows above it. Where the
// engine is above it, the excesses it is known to carry are named with the
// source lines that need them (fuentes_exceso.h), looked up in the source
// tree as the bench runs. Also printed: the ratio to the part's own
// minimum (its data sheet's times and its 32-byte write buffer, where the
// sequence writes 8-byte panels), and the host CPU time per word.
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
#include "suelo_pic18.h"

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
  const std::clock_t cpu0 = std::clock();
  const bool falloProg = ProgramaPic();
  const bool falloVer = falloProg || VerificaPic();
  const std::clock_t cpu1 = std::clock();
  const uint64_t virtualNs = banco.Reloj.AhoraNs() - t0;

  const uint64_t us = 1000, ms = 1000 * us;
  const uint32_t palabras = PicActual.ProgTam + PicActual.IdNum + PicActual.CfgNum + PicActual.EeTam;
  const double cpuS = static_cast<double>(cpu1 - cpu0) / CLOCKS_PER_SEC;
  // The image: whole 8-byte panels that are not blank, and every area read
  // back by verify. Timing: the data sheet's (DS39622) and the half bit.
  auto panelesNoBlancos = [](const uint16_t* palabras, uint32_t n, uint16_t blanco) {
    uint32_t r = 0;
    for (uint32_t k = 0; k < n; k += 4) {
      bool vacio = true;
      for (uint32_t j = k; j < k + 4 && j < n; ++j) vacio = vacio && palabras[j] == blanco;
      r += vacio ? 0 : 1;
    }
    return r;
  };
  TParteSuelo18 p;
  p.PanelesCodigo = panelesNoBlancos(BufDispositivo.Prog.data(), PicActual.ProgTam, PicActual.ProgMask);
  p.PanelesId = panelesNoBlancos(BufDispositivo.Id.data(), 8, PicActual.IdMask);
  p.PalabrasConfig = PicActual.CfgNum;
  p.BytesEe = PicActual.EeTam;
  p.PalabrasCodigoLeidas = PicActual.ProgTam;
  p.PalabrasIdLeidas = PicActual.IdNum;
  p.PalabrasConfigLeidas = PicActual.CfgNum;
  p.BytesEeLeidos = PicActual.EeTam;
  p.Nuevo = true;
  p.MedioBitNs = uint64_t{MedioBitUs} * us;
  p.P9Ns = 1 * ms;
  p.P10Ns = 100 * us;
  p.P11Ns = 5 * ms;
  p.EscrituraEeNs = 4 * ms;
  p.EntradaNs = 2 * us;  // P12, Vpp up to the first clock
  p.Entradas = 1 + 4 + 4;  // the erase, each area programmed, each area verified
  p.BufferEscritura = 32;

  std::printf("18F4550 program + verify on LPT (half bit %u us)%s\n", MedioBitUs,
              falloProg || falloVer ? "  FAILED" : "");
  std::printf("  violations %zu, unknown %zu\n", chip.Violaciones.size(), chip.Desconocidos.size());
  const uint64_t suelo = ImprimeSuelo(virtualNs, SueloPic18(p));
  // What the engine is known to add to the sequence, worked out the same way.
  const uint64_t escrituras = uint64_t{p.PanelesCodigo} + p.PanelesId + 2 * uint64_t{p.PalabrasConfig};
  const uint64_t bytesLeidos = 2 * (uint64_t{p.PanelesCodigo + p.PanelesId} * 4 + p.PalabrasConfig +
                                    p.PalabrasCodigoLeidas + p.PalabrasIdLeidas + p.PalabrasConfigLeidas) +
                               2 * uint64_t{p.BytesEe} + p.BytesEeLeidos;
  // The 40 ns after every command and operand (P5, P5A) the floor leaves
  // out: an instruction or table write is a command and an operand, a
  // table pointer six instructions, a two-byte table read two commands, the
  // programming NOP a command and two operands, a TABLAT shift a command.
  const uint64_t tablat = p.Nuevo ? 2 : 1, tblptr = 12, leeDos = 2, nop = 3;
  const uint64_t separaciones =
      2 * (p.Nuevo ? 16 : 9) + ((p.PanelesCodigo ? 1 : 0) + (p.PanelesId ? 1 : 0)) * (6 * 2 + tblptr) +
      (uint64_t{p.PanelesCodigo} + p.PanelesId) * (2 * tblptr + 3 * 2 + nop + 4 * leeDos) +
      (p.BytesEe ? 2 * 2 + p.BytesEe * (2 * (9 + (p.Nuevo ? 0 : 4) + tablat) + 1 + 2 * (2 + tablat) + 1) + 2 : 0) +
      (p.PalabrasConfig ? 2 * (p.Nuevo ? 2 : 4) + 3 * tblptr + p.PalabrasConfig * (2 * nop + 2 * 2 + leeDos) : 0) +
      3 * tblptr + (uint64_t{p.PalabrasCodigoLeidas} + p.PalabrasIdLeidas + p.PalabrasConfigLeidas) * leeDos +
      (p.BytesEeLeidos ? 2 * 2 + p.BytesEeLeidos * (2 * (6 + tablat) + 1) : 0);
  const bool nombrados = ImprimeExcesos(KORVANE_SOURCE_DIR, virtualNs, suelo, {
      {"entries: 3 x 5 ms settling instead of P12", p.Entradas * (15 * ms - p.EntradaNs),
       {Fuente::EntradaPrevia, Fuente::EntradaReinicio, Fuente::EntradaVpp}},
      {"bulk erase: 15 ms instead of P11", 15 * ms - p.P11Ns, {Fuente::Borrado18Espera}},
      {"EEPROM writes: programming time + 3 ms instead of the write time",
       p.BytesEe * ((PicActual.TiempoPgm + 3u) * ms > p.EscrituraEeNs ? (PicActual.TiempoPgm + 3u) * ms - p.EscrituraEeNs : 0),
       {Fuente::Eeprom18Espera}},
      {"programming hold: the part's programming time instead of P9",
       escrituras * (PicActual.TiempoPgm * ms > p.P9Ns ? PicActual.TiempoPgm * ms - p.P9Ns : 0), {Fuente::IcspRetencion}},
      {"table reads: the 8 idle clocks of every byte read as data, a half bit each", bytesLeidos * 8 * p.MedioBitNs,
       {Fuente::IcspTablatOcioso}},
      {"not in the floor: 40 ns after every command and operand (P5, P5A)", separaciones * 40,
       {Fuente::IcspSeparacion18}},
  });
  const uint64_t minimo = MinimoPic18(p);
  std::printf("  ratio to the part's own minimum (%.3f ms, 32-byte rows): %.4f\n", minimo / 1e6,
              static_cast<double>(virtualNs) / minimo);
  std::printf("  host CPU       %10.3f ms, %.3f us per word (%u words)\n", cpuS * 1e3, cpuS * 1e6 / palabras,
              palabras);
  return falloProg || falloVer || !nombrados ? 1 : 0;
}
