// The simulated firmware programmer as a program of its own, so that a batch
// command (or the whole program) can be run by hand against a simulated
// part:
//
//   korvane-placa-sim 16F628A
//
// prints the pseudo-terminal the board listens on; a hardware profile of
// link kind USB-232 naming that path reaches the part. Ctrl+C (or SIGTERM)
// stops the board and prints the part's program memory cells that are not
// blank, and whether the socket was left powered (a block the host never
// ended) or at rest.
#include <csignal>
#include <cstdio>
#include <string>

#include <pthread.h>

#include "firmware/placa_fw.h"
#include "firmware/zocalo_fw.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <part>\nparts:", argv[0]);
    for (const std::string& n : TZocaloFw::Nombres()) std::fprintf(stderr, " %s", n.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  auto zocalo = TZocaloFw::Crea(argv[1]);
  if (!zocalo) {
    std::fprintf(stderr, "%s: no simulated part is called %s\n", argv[0], argv[1]);
    return 2;
  }
  // Block the stop signals before the board's thread starts, so that only
  // sigwait below takes them.
  sigset_t senales;
  sigemptyset(&senales);
  sigaddset(&senales, SIGINT);
  sigaddset(&senales, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &senales, nullptr);

  TPlacaFw placa(zocalo->Chip());
  std::printf("%s\n", placa.Dispositivo().c_str());
  std::fflush(stdout);

  int senal = 0;
  sigwait(&senales, &senal);

  placa.Con([&] {
    uint32_t escritas = 0;
    for (uint32_t c = 0; c < zocalo->Celdas(); ++c) {
      const uint32_t v = zocalo->Programa(c);
      const bool enBlanco = v == 0x3FFF || v == 0x0FFF || v == 0xFFFF || v == 0xFFFFFF || v == 0xFF;
      if (!enBlanco) {
        if (escritas < 256) std::printf("%06X %06X\n", c, v);
        ++escritas;
      }
    }
    std::printf("%u cells not blank\n", escritas);
    return 0;
  });
  std::printf("socket %s\n", placa.Alimentado() ? "powered: a block write never ended" : "at rest");
  for (const std::string& e : placa.Errores()) std::fprintf(stderr, "protocol: %s\n", e.c_str());
  return 0;
}
