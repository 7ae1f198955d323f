// The serial transport on a real pseudo-terminal: line settings, time-outs,
// purge, a vanished far end and the messages for a device that cannot be used.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "fw/pg_enlace_fw.h"
#include "fw/pg_serie.h"
#include "pg_entorno.h"
#include "pg_idioma.h"

namespace {

struct Pty {
  int maestro = -1, esclavo = -1;
  std::string nombre;
  Pty() {
    char n[128];
    EXPECT_EQ(openpty(&maestro, &esclavo, n, nullptr, nullptr), 0);
    nombre = n;
  }
  ~Pty() {
    if (maestro >= 0) close(maestro);
    if (esclavo >= 0) close(esclavo);
  }
};

struct TiemposCortos {
  TTiemposSerie antes = TiemposSerie;
  TiemposCortos() { TiemposSerie = {50, 2, 100, 2, 50}; }
  ~TiemposCortos() { TiemposSerie = antes; }
};

long Ms(std::chrono::steady_clock::time_point desde) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - desde).count());
}

struct Mensajes : TInterfazOperacion {
  std::string ultimo;
  void Mensaje(const std::string& t) override { ultimo = t; }
};

TEST(Serie, OpensRawAt115200WithoutFlowControlOrHangupOnClose) {
  Pty pty;
  TPuertoSerie p;
  ASSERT_TRUE(p.Abre(pty.nombre)) << p.Mensaje();
  termios t{};
  ASSERT_EQ(tcgetattr(p.Fd(), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), speed_t{B115200});
  EXPECT_EQ(cfgetispeed(&t), speed_t{B115200});
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t{CS8});
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_FALSE(p.TieneLineas());  // a pty has no modem lines
  EXPECT_FALSE(p.PonRts(true));
}

TEST(Serie, BytesCrossBothWaysUntranslated) {
  Pty pty;
  TPuertoSerie p;
  ASSERT_TRUE(p.Abre(pty.nombre));
  const uint8_t salida[] = {0x3E, 0x0A, 0x0D, 0x00, 0xFF, 0x11, 0x13, 0x03};
  EXPECT_EQ(p.Escribe(salida, sizeof salida), sizeof salida);
  uint8_t visto[8] = {};
  ASSERT_EQ(read(pty.maestro, visto, sizeof visto), 8);
  EXPECT_EQ(std::memcmp(visto, salida, 8), 0);
  ASSERT_EQ(write(pty.maestro, salida, sizeof salida), 8);
  uint8_t leido[8] = {};
  EXPECT_EQ(p.Lee(leido, 8), 8u);
  EXPECT_EQ(std::memcmp(leido, salida, 8), 0);
}

TEST(Serie, ShortReadEndsAtTheTotalTimeOut) {
  TiemposCortos cortos;
  Pty pty;
  TPuertoSerie p;
  ASSERT_TRUE(p.Abre(pty.nombre));
  ASSERT_EQ(write(pty.maestro, "ab", 2), 2);
  uint8_t b[4];
  // The interval time-out (50 ms) ends it, long before the total (beyond
  // the test's own time limit, so a read that waited for it fails).
  TiemposSerie.LecturaFijoMs = 3'600'000;
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(p.Lee(b, 4), 2u);
  EXPECT_GE(Ms(t0), 45);
  TiemposSerie.LecturaFijoMs = 100;
  const auto t1 = std::chrono::steady_clock::now();
  EXPECT_EQ(p.Lee(b, 4), 0u);
  EXPECT_GE(Ms(t1), 108);
}

TEST(Serie, PurgeDropsPendingInputAndReachesTheFarEndAsAFlush) {
  Pty pty;
  int uno = 1;
  ASSERT_EQ(ioctl(pty.maestro, TIOCPKT, &uno), 0);
  TPuertoSerie p;
  ASSERT_TRUE(p.Abre(pty.nombre));
  uint8_t basura[64];
  while (true) {  // the open's own purge
    pollfd pf{pty.maestro, POLLIN, 0};
    if (poll(&pf, 1, 0) <= 0) break;
    ASSERT_GT(read(pty.maestro, basura, sizeof basura), 0);
  }
  ASSERT_EQ(write(pty.maestro, "xyz", 3), 3);
  ASSERT_TRUE(p.HayDatos(100));
  ASSERT_TRUE(p.Purga());
  EXPECT_FALSE(p.HayDatos(0));
  uint8_t estado[4] = {};
  ASSERT_EQ(read(pty.maestro, estado, sizeof estado), 1);
  EXPECT_EQ(estado[0] & (TIOCPKT_FLUSHREAD | TIOCPKT_FLUSHWRITE), TIOCPKT_FLUSHREAD | TIOCPKT_FLUSHWRITE);
}

TEST(Serie, AVanishedFarEndEndsAReadAtOnce) {
  Pty pty;
  TPuertoSerie p;
  ASSERT_TRUE(p.Abre(pty.nombre));
  close(pty.esclavo);
  pty.esclavo = -1;
  close(pty.maestro);
  pty.maestro = -1;
  uint8_t b[8];
  // At once: a read that waited for its time-out would outlast the test's
  // own time limit.
  const TTiemposSerie antes = TiemposSerie;
  TiemposSerie.LecturaFijoMs = 3'600'000;
  EXPECT_EQ(p.Lee(b, 8), 0u);
  TiemposSerie = antes;
}

TEST(Serie, ClosingReleasesTheClaimSoTheDeviceOpensAgain) {
  Pty pty;
  TPuertoSerie p;
  ASSERT_TRUE(p.Abre(pty.nombre));
  p.Cierra();
  EXPECT_FALSE(p.Abierto());
  ASSERT_TRUE(p.Abre(pty.nombre)) << p.Mensaje();
}

const std::string Idiomas = KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/";

TEST(Serie, MissingDeviceNamesTheDeviceAndTheFix) {
  UsaArchivoIdioma(Idiomas + "English.ini");
  TPuertoSerie p;
  EXPECT_FALSE(p.Abre("ttyKORVANE_NONE9"));
  EXPECT_EQ(p.Fallo(), TFalloSerie::NoExiste);
  EXPECT_EQ(p.Mensaje(), "/dev/ttyKORVANE_NONE9: " + TextoIdioma("pg_enlace*", "0*") + " (" +
                             std::strerror(ENOENT) + ")");
  EXPECT_NE(p.Mensaje().find("plugged"), std::string::npos);
  EXPECT_FALSE(p.Abierto());
}

TEST(Serie, AFileThatIsNoTerminalIsRefused) {
  TPuertoSerie p;
  EXPECT_FALSE(p.Abre("/dev/null"));
  EXPECT_EQ(p.Fallo(), TFalloSerie::NoEsSerie);
  EXPECT_FALSE(p.Abierto());
}

TEST(Serie, FixTextsForPermissionAndBusy) {
  UsaArchivoIdioma(Idiomas + "English.ini");
  EXPECT_NE(TextoFalloSerie("/dev/ttyUSB0", TFalloSerie::Permiso, EACCES).find("dialout"),
            std::string::npos);
  const std::string ocupado = TextoFalloSerie("/dev/ttyUSB0", TFalloSerie::Ocupado, EBUSY);
  EXPECT_EQ(ocupado.rfind("/dev/ttyUSB0: " + TextoIdioma("pg_enlace*", "2*"), 0), 0u) << ocupado;
}

// The program that holds the port is named after the language's words.
TEST(Serie, BusyTextNamesTheProgramThatHoldsThePort) {
  UsaArchivoIdioma(Idiomas + "Español.ini");
  Pty pty;
  int tubo[2];
  ASSERT_EQ(pipe(tubo), 0);
  const pid_t hijo = fork();
  if (hijo == 0) {
    // The child opens the terminal, says so, and holds it until killed.
    const int fd = open(pty.nombre.c_str(), O_RDWR | O_NOCTTY);
    const char listo = fd >= 0 ? 1 : 0;
    (void)!write(tubo[1], &listo, 1);
    for (;;) pause();
  }
  ASSERT_GT(hijo, 0);
  close(tubo[1]);
  char listo = 0;
  ASSERT_EQ(read(tubo[0], &listo, 1), 1);
  close(tubo[0]);
  const std::string quien = ProcesosConDispositivo(pty.nombre);
  const std::string texto = TextoFalloSerie(pty.nombre, TFalloSerie::Ocupado, EBUSY);
  kill(hijo, SIGKILL);
  waitpid(hijo, nullptr, 0);
  ASSERT_EQ(listo, 1);
  EXPECT_NE(quien.find("(pid " + std::to_string(hijo) + ")"), std::string::npos) << quien;
  EXPECT_EQ(texto, pty.nombre + ": " + TextoIdioma("pg_enlace*", "2*") + " (" + std::strerror(EBUSY) + ") " +
                       TextoIdioma("pg_enlace*", "3*") + " " + quien);
}

TEST(Serie, BusyTextNamesTheHolder) {
  Pty pty;  // this process holds the slave; another process would be named
  EXPECT_EQ(ProcesosConDispositivo(pty.nombre), "");  // we skip ourselves
}

// In the user's language throughout: the box of a port that does not open
// holds the language file's texts, the port's name and the system's reason.
TEST(EnlaceFw, MissingDeviceIsShownOnlyWhenAskedInTheUsersLanguage) {
  UsaArchivoIdioma(Idiomas + "Español.ini");
  Mensajes m;
  PonInterfazOperacion(&m);
  EXPECT_FALSE(AbreSerieFw("/dev/ttyKORVANE_NONE9", false));
  EXPECT_EQ(m.ultimo, "");
  EXPECT_FALSE(AbreSerieFw("/dev/ttyKORVANE_NONE9", true));
  EXPECT_EQ(m.ultimo, " " + TextoIdioma("pg_err*", "37*") + " /dev/ttyKORVANE_NONE9\n/dev/ttyKORVANE_NONE9: " +
                          TextoIdioma("pg_enlace*", "0*") + " (" + std::strerror(ENOENT) + ")");
  EXPECT_NE(m.ultimo.find("conectado"), std::string::npos);
  EXPECT_FALSE(PuertoFw().Abierto());
  PonInterfazOperacion(nullptr);
}

}  // namespace
