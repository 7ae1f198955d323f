// Full erase + program + verify of a 16F84A and a 16F877A image on the
// simulated LPT programmer, in virtual time.
//
// The floor comes from the image and the programming sequence alone
// (suelo_flash14.h), never from what the simulated part or the engine
// counted: an engine that clocks or waits more shows above it. Where the
// engine is above it, the excesses it is known to carry are named with the
// source lines that need them (fuentes_exceso.h), looked up in the source
// tree as the bench runs. Also printed: the ratio to the part's own
// minimum (its data sheet's times and its full set of code latches), and
// the host CPU time per word.
#include <sys/resource.h>

#include <cstdio>
#include <random>
#include <vector>

#include "chips/pic1x_partes.h"
#include "flash/pg_flash.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "sim_banco.h"
#include "suelo.h"
#include "suelo_flash14.h"

namespace {

double CpuSegundos() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

uint32_t NoBlancas(const uint16_t* celdas, uint32_t n, uint16_t blanco) {
  uint32_t r = 0;
  for (uint32_t i = 0; i < n; ++i) r += celdas[i] != blanco ? 1 : 0;
  return r;
}

constexpr uint64_t us = 1000, ms = 1000 * us;

// The data sheet's figures of a part: the erase and write times, the
// erase it takes and whether its writes are ended by a command.
struct THoja {
  bool BorradoSetup, ConFin;
  uint64_t BorradoNs, CodigoNs, IdNs, EeNs, ConfigNs;
  uint32_t Latches;
};

int Mide(const char* nombre, uint8_t indice, const THoja& hoja) {
  TPic14Sim chip(*Datos14(nombre));
  for (auto& w : chip.Prog) w = 0;  // a used chip
  ClaseDispositivo = 0;
  IndiceListPics = indice;
  PonDispositivo();
  PonPerfilLptSim();
  TBancoSim banco;
  banco.Puerto.Registra = false;
  banco.Adaptador.Registra = false;
  banco.Adaptador.Conecta(&chip);

  std::mt19937 r(indice);
  LimpiaBuffers(BufDispositivo);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) BufDispositivo.Prog[a] = r() & 0x3FFF;
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) BufDispositivo.Datos[i] = r() & 0xFF;
  for (uint32_t i = 0; i < 4; ++i) BufDispositivo.Id[i] = static_cast<uint16_t>(i);
  BufDispositivo.Config[0] = 0x3FFB;
  BufArchivo = BufDispositivo;

  TipoAccion = 0;
  PinesReposo();
  VddOn();
  CompruebaHardware();
  const double cpu0 = CpuSegundos();
  const uint64_t t0 = banco.Reloj.AhoraNs();
  const bool fallo = ProgramaPic() || VerificaPic();
  const uint64_t virtualNs = banco.Reloj.AhoraNs() - t0;
  const double cpu = CpuSegundos() - cpu0;
  VddOff();

  const TPic& pic = PicActual;
  const TBuffers& b = BufDispositivo;
  TParteSuelo14 p;
  p.EscritasCodigo = NoBlancas(b.Prog.data(), pic.ProgTam, pic.ProgMask);
  p.EscritasId = NoBlancas(b.Id.data(), pic.IdNum, pic.IdMask);
  p.EscritasEe = NoBlancas(b.Datos.data(), pic.EeTam, pic.EeMask);
  p.EscritasConfig = NoBlancas(b.Config.data(), pic.CfgNum, pic.CfgMask);
  p.CeldasCodigo = pic.ProgTam;
  p.CeldasId = pic.IdNum;
  p.CeldasEe = pic.EeTam;
  p.CeldasConfig = pic.CfgNum;
  p.SaltoConfig = static_cast<uint32_t>(pic.CfgIni - pic.IdIni);
  p.BorradoSetup = hoja.BorradoSetup;
  p.ConFin = hoja.ConFin;
  p.MedioBitNs = uint64_t{MedioBitUs} * us;
  p.EntradaNs = 5 * us;  // hold after Vpp rises, before the first clock
  p.BorradoNs = hoja.BorradoNs;
  p.EscrituraCodigoNs = hoja.CodigoNs;
  p.EscrituraIdNs = hoja.IdNs;
  p.EscrituraEeNs = hoja.EeNs;
  p.EscrituraConfigNs = hoja.ConfigNs;
  p.Latches = hoja.Latches;

  const uint32_t palabras = pic.ProgTam + pic.CfgNum + pic.IdNum + pic.EeTam;
  std::printf("%s erase + program + verify on LPT (half bit %u us)%s\n", nombre, MedioBitUs,
              fallo ? "  FAILED" : "");
  std::printf("  violations %zu\n", chip.Violaciones.size());
  const uint64_t suelo = ImprimeSuelo(virtualNs, SueloFlash14(p));

  // What the engine is known to add to the sequence, worked out the same way.
  const uint64_t areas = 4;
  const uint64_t pasadasBorrado = hoja.BorradoSetup ? 3 : 1;
  const uint64_t entrada = (VppAntesVdd ? 25 : 15) * ms;  // three 5 ms waits, two more with Vpp first
  auto sobre = [](uint64_t espera, uint64_t hoja) { return espera > hoja ? espera - hoja : 0; };
  const uint64_t pgm = uint64_t{pic.TiempoPgm} * ms;
  const uint64_t clock = 2 * p.MedioBitNs, comando = 6 * clock + p.SeparacionNs, dato = 16 * clock + p.SeparacionNs;
  // The setup-pair erase runs as the third of three passes: the first
  // (Load Configuration, 7 increments, a zero loaded and begun, 20 ms)
  // protects, the second (the same as the third with 10 ms) sets up; the
  // chip erase waits 20 ms and ends with command 23.
  const uint64_t pasadasPrevias = 2 * (comando + dato + 7 * comando) + (comando + dato + comando) + 5 * comando;
  std::vector<TExceso> excesos = {
      {"entries: 5 ms settling waits instead of the 5 us hold",
       (pasadasBorrado + 2 * areas) * entrada - (1 + 2 * areas) * p.EntradaNs,
       {Fuente::EntradaPrevia, Fuente::EntradaReinicio, Fuente::EntradaVpp}},
  };
  if (hoja.BorradoSetup)
    excesos.push_back({"erase: a protecting pass and a second setup pass (their commands, 20 + 10 ms), and 20 ms "
                       "instead of the erase time in the pass that erases",
                       pasadasPrevias + 30 * ms + sobre(20 * ms, hoja.BorradoNs),
                       {Fuente::Borrado14Pasadas, Fuente::Borrado14Protege, Fuente::Borrado14EsperaPasada}});
  else
    excesos.push_back({"erase: 20 ms instead of the chip erase time, and an End Programming command after it",
                       sobre(20 * ms, hoja.BorradoNs) + comando, {Fuente::Borrado31Espera, Fuente::Borrado31Fin}});
  excesos.push_back({"code writes: the part's programming delay instead of its write time",
                     p.EscritasCodigo * sobre(pgm, hoja.CodigoNs), {Fuente::Programa14Retardo, Fuente::Programa14Espera}});
  excesos.push_back({"ID and data EEPROM writes: 10 ms, set for Load Configuration and kept for the data area",
                     p.EscritasId * sobre(10 * ms, hoja.IdNs) + p.EscritasEe * sobre(10 * ms, hoja.EeNs),
                     {Fuente::Programa14CargaConfig, Fuente::Programa14Espera}});
  excesos.push_back({"configuration write: 10 ms instead of its write time", p.EscritasConfig * sobre(10 * ms, hoja.ConfigNs),
                     {Fuente::Programa14CargaConfig}});
  const bool nombrados = ImprimeExcesos(KORVANE_SOURCE_DIR, virtualNs, suelo, excesos);
  const uint64_t minimo = MinimoFlash14(p);
  std::printf("  ratio to the part's own minimum (%.3f ms, %u code latches): %.4f\n", minimo / 1e6, hoja.Latches,
              static_cast<double>(virtualNs) / minimo);
  std::printf("  host CPU       %10.3f ms, %.3f us per word (%u words)\n", cpu * 1e3, cpu * 1e6 / palabras,
              palabras);
  return fallo || !chip.Violaciones.empty() || !nombrados ? 1 : 0;
}

}  // namespace

int main() {
  // 16F84A: every write erases and programs the word, internally timed,
  // 4 ms; the setup-pair erase 10 ms; one latch.
  const THoja f84a{true, false, 10 * ms, 4 * ms, 4 * ms, 4 * ms, 4 * ms, 1};
  // 16F877A: program-only writes externally timed, 1 ms, each ended by 23;
  // the configuration word an internally timed erase and write, 8 ms; the
  // chip erase 8 ms; 8 code latches.
  const THoja f877a{false, true, 8 * ms, 1 * ms, 1 * ms, 1 * ms, 8 * ms, 8};
  return Mide("16F84A", 30, f84a) | Mide("16F877A", 45, f877a);
}
