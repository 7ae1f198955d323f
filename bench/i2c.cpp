// Program and verify a whole 24C512 on the simulated LPT programmer, in
// virtual time, against the floor of the bus sequences: the 10 ms write
// wait of every page (at least the part's own write time) plus one
// half-bit wait after every pin step the sequences take (START 5 steps,
// STOP 4, a byte sent 8 x 4 + 5 with its acknowledge, a byte read 8 x 6 + 4
// with the acknowledge or NACK sent, the idle levels 2). Also printed: the
// bus alone at one clock period (two half-bit waits) a bit, and the same
// run with 1 us a port access.
#include <algorithm>
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
#include "suelo.h"

namespace {

constexpr uint8_t Indice = 9;  // 24C512

struct TTiempos {
  double ProgramaUs = 0, VerificaUs = 0;  // virtual time, waits and port accesses
  double RealS = 0;
  uint64_t EscrituraNs = 0;  // the part's own write cycle
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
  t.EscrituraNs = chip.TiempoEscrituraNs;
  return t;
}

// Pin steps of the bus primitives, each followed by one half-bit wait.
constexpr uint32_t PasosStart = 5, PasosStop = 4, PasosReposo = 2;
constexpr uint32_t PasosByte = 8 * 4 + 5;     // 8 bits, then the acknowledge read
constexpr uint32_t PasosLectura = 8 * 6 + 4;  // 8 bits in, then ACK or NACK
constexpr uint32_t BytesDireccion = 3;        // control byte and two address bytes

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
  const double escrituraUs = std::max(10000.0, t.EscrituraNs / 1000.0);

  // Each page: START, address, the page, STOP, the write wait; then START,
  // address, repeated START, read control byte, the page read back, STOP.
  const uint64_t pasosPagina = PasosStart + (BytesDireccion + pagina) * PasosByte + PasosStop + PasosStart +
                               (BytesDireccion + 1) * PasosByte + PasosStart + pagina * PasosLectura + PasosStop;
  // The read: START, address, repeated START, read control byte, every
  // byte, STOP, idle levels.
  const uint64_t pasosVerifica = PasosStart + (BytesDireccion + 1) * PasosByte + PasosStart +
                                 uint64_t{tam} * PasosLectura + PasosStop + PasosReposo;
  const double pisoPrograma = paginas * (escrituraUs + pasosPagina * medio);
  const double pisoVerifica = pasosVerifica * medio;
  const double accesos = (lento.ProgramaUs + lento.VerificaUs) - (t.ProgramaUs + t.VerificaUs);

  std::printf("24C512, program + verify on the simulated LPT programmer (half bit %.0f us, %u pages of %u bytes)\n",
              medio, paginas, pagina);
  std::printf("  pin steps: %llu by the bus sequences, %.0f port accesses in the run\n",
              static_cast<unsigned long long>(paginas * pasosPagina + pasosVerifica), accesos);
  ImprimeSuelo(static_cast<uint64_t>((t.ProgramaUs + t.VerificaUs) * 1000),
               {{"page write waits", static_cast<uint64_t>(paginas * escrituraUs * 1000)},
                {"program: one half bit a pin step", static_cast<uint64_t>(paginas * pasosPagina * medio * 1000)},
                {"verify: one half bit a pin step", static_cast<uint64_t>(pisoVerifica * 1000)}});
  Linea("program", t.ProgramaUs, pisoPrograma);
  Linea("verify", t.VerificaUs, pisoVerifica);

  // The bus alone: a clock period is two half-bit waits; a byte takes 9
  // clocks, a START or a STOP about one.
  const uint32_t bytesPagina = (3 + pagina) + (3 + 1 + pagina);     // write, then read-back
  const double relojPaginaUs = (bytesPagina * 9.0 + 5) * 2 * medio;  // 3 STARTs, 2 STOPs
  const double busPrograma = paginas * (escrituraUs + relojPaginaUs);
  const double busVerifica = ((3 + 1 + tam) * 9.0 + 3) * 2 * medio;
  std::printf("against the bus alone (page write waits plus one clock period, two half bits, a bit; the\n"
              "sequences wait after every one of a bit's four to six pin steps):\n");
  Linea("total", t.ProgramaUs + t.VerificaUs, busPrograma + busVerifica);
  std::printf("with 1 us a port access (an ISA parallel port):\n");
  Linea("total", lento.ProgramaUs + lento.VerificaUs, pisoPrograma + pisoVerifica);
  std::printf("real time of one simulated run: %.3f s\n", t.RealS);
  return 0;
}
