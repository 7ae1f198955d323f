// A full block write and block read of 64 K words to the simulated firmware
// programmer through a pseudo-terminal. A pty has no baud rate, so the time
// measured is the host's (and the board model's) own cost; it is set
// against the time the same bytes take on the 115200-baud line.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "firmware/chip_fw.h"
#include "firmware/placa_fw.h"
#include "fw/pg_enlace_fw.h"
#include "fw/pg_fw.h"
#include "pg_pic.h"

namespace {

constexpr double BytesPorSegundo = 11520.0;  // 115200 baud, 10 bits a byte

double CpuSegundos() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void Informa(const char* que, std::size_t bytes, double segundos, double cpu) {
  const double linea = bytes / BytesPorSegundo;
  std::printf("%-12s %8zu bytes on the wire  line time %7.2f s  host elapsed %6.3f s (%5.2f%% of line time)"
              "  cpu %6.3f s (%5.2f%%)\n",
              que, bytes, linea, segundos, 100.0 * segundos / linea, cpu, 100.0 * cpu / linea);
}

}  // namespace

int main() {
  constexpr uint32_t Palabras = 65536;
  TChipMemoriasFw chip;
  TPlacaFw placa(chip);
  if (!AbreSerieFw(placa.Dispositivo(), true)) {
    std::fprintf(stderr, "cannot open %s\n", placa.Dispositivo().c_str());
    return 1;
  }
  ClaseDispositivo = 0;
  RetardoPgm = 0;
  std::vector<uint16_t> celdas(Palabras);
  for (uint32_t i = 0; i < Palabras; ++i) celdas[i] = static_cast<uint16_t>((i * 7 + 1) & 0x0FFF);

  // Block write: command 'M' (count 0xFFFF = 65536 words), every group sent.
  ResetProgramador();
  SumaXor = 0;
  const uint8_t escribe[8] = {'>', 'M', 0xFF, 0xFF, 0, 0, 0, 0};
  std::copy(escribe, escribe + 8, TPaquete);
  placa.LimpiaRegistro();
  auto t0 = std::chrono::steady_clock::now();
  double c0 = CpuSegundos();
  const bool falloEscritura = !EnviaPaquete(8) || ProgramaBloque(celdas.data(), 0, Palabras - 1, 0x3FFF, true);
  double segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  double cpu = CpuSegundos() - c0;
  std::size_t bytes = placa.Recibido().size() + placa.Enviado().size();
  if (falloEscritura) std::printf("block write FAILED\n");
  Informa("block write", bytes, segundos, cpu);

  // Block read: command '1' (count 0xFFFF) of the same words.
  ResetProgramador();
  SumaXor = 0;
  const uint8_t lee[8] = {'>', '1', 0xFF, 0xFF, 0, 0, 4, 0};
  std::copy(lee, lee + 8, TPaquete);
  std::vector<uint16_t> leido(Palabras);
  placa.LimpiaRegistro();
  t0 = std::chrono::steady_clock::now();
  c0 = CpuSegundos();
  const bool falloLectura = LeeBloque(leido.data(), 0, Palabras - 1);
  segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  cpu = CpuSegundos() - c0;
  bytes = placa.Recibido().size() + placa.Enviado().size();
  if (falloLectura || leido != celdas) std::printf("block read FAILED or differs\n");
  Informa("block read", bytes, segundos, cpu);
  std::printf("(cpu includes the simulated board's thread)\n");
  CierraSerieFw();
  return falloEscritura || falloLectura ? 1 : 0;
}
