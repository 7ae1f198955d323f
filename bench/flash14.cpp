// Full erase + program + verify of a 16F84A and a 16F877A image on the
// simulated LPT programmer, in virtual time. The floor is what the
// parts' programming data sheets and the programming routines make the host
// wait: every mandated wait (programming, erase, entry into programming
// mode) plus two half-bit delays per clocked bit; the ratio of the virtual
// time to it shows what the engine adds on top. Host CPU time per word is
// the cost of running the engine with the port simulated.
#include <sys/resource.h>

#include <cstdio>
#include <random>

#include "chips/pic1x_partes.h"
#include "flash/pg_flash.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "sim_banco.h"

namespace {

double CpuSegundos() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Virtual time that tells the half-bit waits (a few microseconds) from the
// mandated ones.
class TRelojBanco final : public TReloj {
public:
  uint64_t AhoraNs() override { return t; }
  void EsperaNs(uint64_t ns) override {
    t += ns;
    (ns <= 4000 ? medioBit : mandado) += ns;
  }
  uint64_t t = 0, medioBit = 0, mandado = 0;
};

// Counts the clocked bits on their way to the chip.
class TContador final : public TChipSim {
public:
  explicit TContador(TChipSim& c) : chip(c) {}
  void Lineas(uint64_t tNs, const TLineasSim& l) override {
    if (l.Clock && !reloj) ++bits;
    reloj = l.Clock;
    chip.Lineas(tNs, l);
  }
  std::optional<bool> Dato() const override { return chip.Dato(); }
  TChipSim& chip;
  uint64_t bits = 0;
  bool reloj = false;
};

void Mide(const char* nombre, uint8_t indice) {
  TPic14Sim chip(*Datos14(nombre));
  for (auto& w : chip.Prog) w = 0;  // a used chip
  TContador contador(chip);
  ClaseDispositivo = 0;
  IndiceListPics = indice;
  PonDispositivo();
  PonPerfilLptSim();
  TBancoSim banco;
  banco.Puerto.Registra = false;
  banco.Adaptador.Registra = false;
  TRelojBanco reloj;
  TReloj* anterior = PonReloj(&reloj);
  banco.Adaptador.Conecta(&contador);

  std::mt19937 r(indice);
  LimpiaBuffers(BufDispositivo);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) BufDispositivo.Prog[a] = r() & 0x3FFF;
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) BufDispositivo.Datos[i] = r() & 0xFF;
  for (uint32_t i = 0; i < 4; ++i) BufDispositivo.Id[i] = static_cast<uint16_t>(i);
  BufDispositivo.Config[0] = 0x3FFB;
  BufArchivo = BufDispositivo;

  const double cpu0 = CpuSegundos();
  TipoAccion = 0;
  PinesReposo();
  VddOn();
  CompruebaHardware();
  const bool fallo = ProgramaPic() || VerificaPic();
  EntraProgramacion();
  SaleProgramacion();
  VddOff();
  const double cpu = CpuSegundos() - cpu0;

  const uint32_t palabras = PicActual.ProgTam + PicActual.CfgNum + PicActual.IdNum + PicActual.EeTam;
  const double suelo = static_cast<double>(reloj.mandado) + 2.0 * MedioBitUs * 1000.0 * contador.bits;
  std::printf("%-8s %s  words %6u  clocked bits %9llu  virtual %9.3f s  floor %9.3f s  ratio %.4f"
              "  host cpu %6.3f s (%.2f us/word)  violations %zu\n",
              nombre, fallo ? "FAILED" : "ok    ", palabras, static_cast<unsigned long long>(contador.bits),
              reloj.t / 1e9, suelo / 1e9, reloj.t / suelo, cpu, 1e6 * cpu / palabras,
              chip.Violaciones.size());
  PonReloj(anterior);
}

}  // namespace

int main() {
  Mide("16F84A", 30);
  Mide("16F877A", 45);
  return 0;
}
