// Program and verify a whole 24C512 on the simulated LPT programmer, in
// virtual time, and compare with the floor of the bus: the write wait of
// every page plus one clock period (two half-bit waits) for every bit,
// acknowledge, START and STOP the transfers need.
#include <chrono>
#include <cstdio>
#include <memory>

#include "chips/eeprom24_sim.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "i2c/pg_i2c.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "sim_banco.h"

namespace {

constexpr uint8_t Indice = 9;  // 24C512

struct TTiempos {
  double ProgramaUs = 0, VerificaUs = 0;  // virtual time, waits and port accesses
  double RealS = 0;
  bool Ok = false;
};

// One program + verify; every port access costs costeNs of virtual time.
TTiempos Corre(uint64_t costeNs) {
  PonPerfilLptSim();
  USB_COM = false;
  auto banco = std::make_unique<TBancoSim>();
  banco->Puerto.Registra = false;
  banco->Adaptador.Registra = false;
  TEeprom24Sim chip(Indice);
  banco->Adaptador.Conecta(&chip);
  ClaseDispositivo = 2;
  IndiceListEeprom = Indice;
  PonDispositivo();
  TipoAccion = 0;
  PinesReposo();
  VddOn();
  CompruebaHardware();

  const uint32_t tam = PicActual.ProgTam;
  uint32_t x = 12345;
  for (uint32_t i = 0; i < tam; ++i) {
    x = x * 1103515245u + 12345u;
    BufDispositivo.Prog[i] = BufArchivo.Prog[i] = static_cast<uint8_t>(x >> 16);
  }

  banco->Puerto.CosteAccesoNs = costeNs;
  auto& reloj = banco->Reloj;
  const auto r0 = std::chrono::steady_clock::now();
  const uint64_t t0 = reloj.AhoraNs();
  const uint8_t rp = ProgramaI2C();
  const uint64_t t1 = reloj.AhoraNs();
  const uint8_t rv = VerificaI2C();
  const uint64_t t2 = reloj.AhoraNs();
  const auto r1 = std::chrono::steady_clock::now();

  TTiempos t;
  t.Ok = rp == 0 && rv == 0 && chip.Violaciones.empty() && chip.Memoria().size() == tam;
  for (uint32_t i = 0; t.Ok && i < tam; ++i) t.Ok = chip.Memoria()[i] == BufArchivo.Prog[i];
  t.ProgramaUs = (t1 - t0) / 1000.0;
  t.VerificaUs = (t2 - t1) / 1000.0;
  t.RealS = std::chrono::duration<double>(r1 - r0).count();
  return t;
}

void Linea(const char* que, double us, double pisoUs) {
  std::printf("  %-8s virtual %9.3f s, floor %9.3f s, ratio %.3f\n", que, us / 1e6, pisoUs / 1e6, us / pisoUs);
}

}  // namespace

int main() {
  const TTiempos t = Corre(0);
  // The same run with 1 us a port access (an ISA parallel port); the
  // difference counts the accesses.
  const TTiempos lento = Corre(1000);
  if (!t.Ok || !lento.Ok) {
    std::printf("failed: the part does not hold the image, or the operations failed\n");
    return 1;
  }
  const uint32_t tam = PicActual.ProgTam;
  const uint32_t pagina = PaginaDeEeprom(Indice);
  const uint32_t paginas = tam / pagina;
  const double medio = MedioBitUs;

  // Bus floor: a clock period is two half-bit waits; a byte takes 9 clocks,
  // a START or a STOP about one; every page waits its 10 ms write time.
  const uint32_t bytesPagina = (3 + pagina) + (3 + 1 + pagina);     // write, then read-back
  const double relojPaginaUs = (bytesPagina * 9.0 + 5) * 2 * medio;  // 3 STARTs, 2 STOPs
  const double busPrograma = paginas * (10000.0 + relojPaginaUs);
  const double busVerifica = ((3 + 1 + tam) * 9.0 + 3) * 2 * medio;

  // Step floor: the page waits plus one half-bit wait after every pin step
  // (every port access of the bus primitives), the pace the primitives are
  // built to; the ratio shows any wait the engine adds of its own.
  const double accesos = (lento.ProgramaUs + lento.VerificaUs) - (t.ProgramaUs + t.VerificaUs);
  const double pasos = paginas * 10000.0 + accesos * medio;

  std::printf("24C512, program + verify on the simulated LPT programmer (half bit %.0f us, %u pages of %u bytes)\n",
              medio, paginas, pagina);
  std::printf("against the bus floor (page write times plus one clock period a bit):\n");
  Linea("program", t.ProgramaUs, busPrograma);
  Linea("verify", t.VerificaUs, busVerifica);
  Linea("total", t.ProgramaUs + t.VerificaUs, busPrograma + busVerifica);
  std::printf("against the step floor (page write times plus one half bit a pin step, %.0f steps):\n",
              accesos);
  Linea("total", t.ProgramaUs + t.VerificaUs, pasos);
  std::printf("with 1 us a port access (an ISA parallel port):\n");
  Linea("total", lento.ProgramaUs + lento.VerificaUs, busPrograma + busVerifica);
  std::printf("real time of one simulated run: %.3f s\n", t.RealS);
  return 0;
}
