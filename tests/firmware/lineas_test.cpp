// The serial transport's modem-line handling, which a pseudo-terminal
// cannot show: the system calls pass through to a real pty, except the
// modem-line ioctls, which act on simulated DTR, RTS and DSR lines.
#include <fcntl.h>
#include <pty.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "fw/pg_enlace_fw.h"
#include "fw/pg_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_sistema.h"
#include "pg_entorno.h"
#include "pg_idioma.h"
#include "sim_reloj.h"

namespace {

struct TLlamada {
  unsigned long Peticion;
  int Bits;
  uint64_t Ns;  // virtual time of the call
};

// A serial port with modem lines, on top of a real pty.
class TSistemaConLineas final : public TSistemaES {
public:
  int Abre(const char* ruta, int flags) override {
    if (FalloAbre) {
      errno = FalloAbre;
      return -1;
    }
    return TSistemaES::Abre(ruta, flags);
  }
  int Ioctl(int fd, unsigned long p, void* arg) override {
    std::lock_guard<std::mutex> l(m);
    const int bits = arg && (p == TIOCMBIS || p == TIOCMBIC) ? *static_cast<int*>(arg) : 0;
    Llamadas.push_back({p, bits, Reloj().AhoraNs()});
    if (p == TIOCEXCL && FalloExclusivo) {
      errno = FalloExclusivo;
      return -1;
    }
    if (p == TIOCMBIS) {
      Lineas |= bits;
      return 0;
    }
    if (p == TIOCMBIC) {
      Lineas &= ~bits;
      return 0;
    }
    if (p == TIOCOUTQ) {
      *static_cast<int*>(arg) = ColaSalida;
      return 0;
    }
    if (p == TIOCMGET) {
      *static_cast<int*>(arg) = Lineas | (Dsr ? TIOCM_DSR : 0);
      return 0;
    }
    return TSistemaES::Ioctl(fd, p, arg);
  }
  int LeeTermios(int fd, termios* t) override {
    if (FalloTermios) {
      errno = EIO;
      return -1;
    }
    return TSistemaES::LeeTermios(fd, t);
  }
  std::vector<TLlamada> Toma() {
    std::lock_guard<std::mutex> l(m);
    return Llamadas;
  }
  std::mutex m;
  std::vector<TLlamada> Llamadas;
  int Lineas = TIOCM_DTR | TIOCM_RTS;  // as Linux leaves them on open
  std::atomic<bool> Dsr{false};
  std::atomic<int> ColaSalida{0};  // bytes the UART has not sent yet
  int FalloAbre = 0, FalloExclusivo = 0;
  bool FalloTermios = false;
};

class Lineas : public ::testing::Test {
protected:
  void SetUp() override {
    char n[128];
    ASSERT_EQ(openpty(&maestro, &esclavo, n, nullptr, nullptr), 0);
    nombre = n;
    PonSistemaES(&sistema);
    antes = TiemposSerie;
    TiemposSerie = {50, 2, 100, 5, 40};
  }
  void TearDown() override {
    puerto.Cierra();
    CierraSerieFw();
    PonSistemaES(nullptr);
    PonInterfazOperacion(nullptr);
    TiemposSerie = antes;
    close(maestro);
    close(esclavo);
  }
  int maestro = -1, esclavo = -1;
  std::string nombre;
  TSistemaConLineas sistema;
  TPuertoSerie puerto;
  TTiemposSerie antes;
};

TEST_F(Lineas, OpenLowersDtrAndRtsBeforeAnythingElse) {
  ASSERT_TRUE(puerto.Abre(nombre)) << puerto.Mensaje();
  EXPECT_TRUE(puerto.TieneLineas());
  const auto ll = sistema.Toma();
  ASSERT_GE(ll.size(), 2u);
  EXPECT_EQ(ll[0].Peticion, static_cast<unsigned long>(TIOCMBIC));
  EXPECT_EQ(ll[0].Bits, TIOCM_DTR | TIOCM_RTS);
  EXPECT_EQ(ll[1].Peticion, static_cast<unsigned long>(TIOCEXCL));
  EXPECT_EQ(sistema.Lineas & (TIOCM_DTR | TIOCM_RTS), 0);
  puerto.Cierra();
  EXPECT_EQ(sistema.Toma().back().Peticion, static_cast<unsigned long>(TIOCNXCL));
}

TEST_F(Lineas, ResetPulsesRtsForFiveMilliseconds) {
  TRelojVirtual reloj;
  ASSERT_TRUE(AbreSerieFw(nombre, true));
  USB_ = false;
  const std::size_t desde = sistema.Toma().size();
  const uint64_t t0 = reloj.AhoraNs();
  ResetProgramador();
  const auto ll = sistema.Toma();
  ASSERT_EQ(ll.size(), desde + 2);
  EXPECT_EQ(ll[desde].Peticion, static_cast<unsigned long>(TIOCMBIS));
  EXPECT_EQ(ll[desde].Bits, TIOCM_RTS);
  EXPECT_EQ(ll[desde].Ns, t0);
  EXPECT_EQ(ll[desde + 1].Peticion, static_cast<unsigned long>(TIOCMBIC));
  EXPECT_EQ(ll[desde + 1].Bits, TIOCM_RTS);
  EXPECT_EQ(ll[desde + 1].Ns, t0 + 5000000u);
  EXPECT_EQ(reloj.AhoraNs(), t0 + 10000000u);  // 5 ms more before the purge
  EXPECT_EQ(sistema.Lineas & TIOCM_RTS, 0);
}

TEST_F(Lineas, WritesWaitForDsrOnceTheBoardHasAssertedIt) {
  ASSERT_TRUE(puerto.Abre(nombre));
  const uint8_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  // A board that has never asserted DSR is written unpaced.
  EXPECT_EQ(puerto.Escribe(b, 8), 8u);
  sistema.Dsr = true;
  EXPECT_EQ(puerto.Escribe(b, 8), 8u);
  // DSR dropped: nothing goes out until the write time-out (40 + 8 x 5 ms).
  sistema.Dsr = false;
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(puerto.Escribe(b, 8), 0u);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(80));
  // DSR back within the time-out (longer than the test's own limit, so
  // a busy machine cannot make the thread miss it): the bytes go out then.
  TiemposSerie.EscrituraFijoMs = 3'600'000;
  std::thread tira([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    sistema.Dsr = true;
  });
  t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(puerto.Escribe(b, 8), 8u);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(25));
  tira.join();
  // The pty hands bytes over asynchronously: gather them as they come.
  uint8_t visto[64];
  std::size_t n = 0;
  while (n < 24) {
    pollfd p{maestro, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, -1), 1);
    const ssize_t r = read(maestro, visto + n, sizeof visto - n);
    ASSERT_GT(r, 0);
    n += static_cast<std::size_t>(r);
  }
  EXPECT_EQ(n, 24u);
}

TEST_F(Lineas, AWriteEndsWhenItsBytesHaveLeftThePort) {
  ASSERT_TRUE(puerto.Abre(nombre));
  const uint8_t b[8] = {};
  // The line does not move: at the write time-out 3 bytes are still queued.
  sistema.ColaSalida = 3;
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(puerto.Escribe(b, 8), 5u);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(80));
  // The queue drains after 20 ms: the write waits for it (its time-out now
  // beyond the test's own limit), then succeeds.
  TiemposSerie.EscrituraFijoMs = 3'600'000;
  std::thread vacia([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sistema.ColaSalida = 0;
  });
  t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(puerto.Escribe(b, 8), 8u);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(15));
  vacia.join();
}

struct TCasoApertura {
  int FalloAbre, FalloExclusivo;
  TFalloSerie Fallo;
  const char* Clave;  // of section "pg_enlace*"
  const char* Texto;  // a word of its English text
};

TEST_F(Lineas, OpenFailuresNameTheDeviceAndTheFix) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  const TCasoApertura casos[] = {
      {EACCES, 0, TFalloSerie::Permiso, "1*", "dialout"},
      {EBUSY, 0, TFalloSerie::Ocupado, "2*", "busy"},
      {0, EBUSY, TFalloSerie::Ocupado, "2*", "busy"},
      {ENOENT, 0, TFalloSerie::NoExiste, "0*", "plugged in"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.Texto);
    sistema.FalloAbre = c.FalloAbre;
    sistema.FalloExclusivo = c.FalloExclusivo;
    EXPECT_FALSE(puerto.Abre(nombre));
    EXPECT_FALSE(puerto.Abierto());
    EXPECT_EQ(puerto.Fallo(), c.Fallo);
    EXPECT_EQ(puerto.Mensaje().rfind(nombre + ": " + TextoIdioma("pg_enlace*", c.Clave), 0), 0u) << puerto.Mensaje();
    EXPECT_NE(puerto.Mensaje().find(c.Texto), std::string::npos) << puerto.Mensaje();
  }
}

TEST_F(Lineas, ASetupStepThatFailsIsShownEvenWithoutErrorMessages) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  ASSERT_FALSE(TextoIdioma("pg_enlace*", "5*").empty());
  struct : TInterfazOperacion {
    std::vector<std::string> m;
    void Mensaje(const std::string& t) override { m.push_back(t); }
  } ventana;
  PonInterfazOperacion(&ventana);
  sistema.FalloTermios = true;
  EXPECT_FALSE(AbreSerieFw(nombre, false));
  ASSERT_EQ(ventana.m.size(), 1u);
  EXPECT_EQ(ventana.m[0].rfind(nombre, 0), 0u);
  EXPECT_NE(ventana.m[0].find(TextoIdioma("pg_enlace*", "5*")), std::string::npos);
  EXPECT_FALSE(PuertoFw().Abierto());
}

}  // namespace
