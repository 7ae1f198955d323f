// The machine's port backends against injected system calls: which ioctls
// a register write becomes, and what the user is told when a step fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <map>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "comun.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "hw/pg_sistema.h"
#include "sim_banco.h"

namespace {

struct TLlamada {
  std::string que;
  unsigned long peticion = 0;
  int valor = -1;  // the argument's value (byte or int), -1 when none
  bool operator==(const TLlamada&) const = default;
};

std::ostream& operator<<(std::ostream& o, const TLlamada& l) {
  return o << l.que << " 0x" << std::hex << l.peticion << " " << std::dec << l.valor;
}

// Records every call; fails the ones a test names.
class TSistemaFalso : public TSistemaES {
public:
  TSistemaFalso() { anterior_ = PonSistemaES(this); }
  ~TSistemaFalso() override { PonSistemaES(anterior_); }

  int Abre(const char* ruta, int flags) override {
    Rutas.push_back(ruta);
    Flags = flags;
    const auto it = FallosNodo.find(ruta);
    const int fallo = it != FallosNodo.end() ? it->second : FalloAbre;
    if (fallo) {
      errno = fallo;
      return -1;
    }
    return 42;
  }
  int Cierra(int fd) override {
    Llamadas.push_back({"close", 0, fd});
    return 0;
  }
  int Ioctl(int, unsigned long peticion, void* arg) override {
    int valor = -1;
    if (arg) {
      if (peticion == PPWDATA || peticion == PPWCONTROL)
        valor = *static_cast<unsigned char*>(arg);
      else if (peticion != TIOCMGET && peticion != PPRSTATUS && peticion != PPRDATA &&
               peticion != PPRCONTROL)
        valor = *static_cast<int*>(arg);
    }
    Llamadas.push_back({"ioctl", peticion, valor});
    if (auto it = Fallos.find(peticion); it != Fallos.end()) {
      errno = it->second;
      return -1;
    }
    if (peticion == TIOCMGET) *static_cast<int*>(arg) = Modem;
    if (peticion == PPRSTATUS) *static_cast<unsigned char*>(arg) = Estado;
    return 0;
  }
  int LeeTermios(int, termios* t) override {
    *t = {};
    t->c_cflag = CS8 | CREAD | HUPCL;
    return 0;
  }
  int PonTermios(int, const termios* t) override {
    CflagPuesto = t->c_cflag;
    return 0;
  }
  int Ioperm(unsigned long desde, unsigned long n, int activa) override {
    Llamadas.push_back({"ioperm", desde, static_cast<int>(n * 10 + activa)});
    return 0;
  }
  uint8_t Inb(uint16_t puerto) override {
    Llamadas.push_back({"inb", puerto, -1});
    return 0x5A;
  }
  void Outb(uint8_t valor, uint16_t puerto) override { Llamadas.push_back({"outb", puerto, valor}); }

  std::vector<std::string> Rutas;
  int Flags = 0;
  std::vector<TLlamada> Llamadas;
  std::map<unsigned long, int> Fallos;
  int FalloAbre = 0;
  std::map<std::string, int> FallosNodo;
  int Modem = 0;
  uint8_t Estado = 0;
  tcflag_t CflagPuesto = 0;

  std::vector<TLlamada> Toma() {
    std::vector<TLlamada> l;
    l.swap(Llamadas);
    return l;
  }

private:
  TSistemaES* anterior_ = nullptr;
};

class Backends : public ::testing::Test {
protected:
  void SetUp() override {
    LiberaPuertosES();
    UltimoErrorPuerto();
    PonPinesPorDefecto(0x378);
  }
  void TearDown() override {
    CierraPuerto(false);
    NodoPuerto.clear();
  }
  bool Abre(uint16_t base) { return AbrePuerto(base, false, "", "", false, true); }
  TSistemaFalso sistema;
  TVentanaPrueba ventana;
};

TEST_F(Backends, ParallelPortIsClaimedExclusivelyAndReleased) {
  ASSERT_TRUE(Abre(0x378));
  EXPECT_EQ(sistema.Rutas, std::vector<std::string>{"/dev/parport0"});
  EXPECT_EQ(sistema.Toma(), (std::vector<TLlamada>{
                                {"ioctl", PPEXCL, -1}, {"ioctl", PPCLAIM, -1}, {"ioctl", PPDATADIR, 0}}));
  EXPECT_TRUE(EscribePuertoES(0x378, 0xA5));
  EXPECT_TRUE(EscribePuertoES(0x37A, 0xFF));
  sistema.Estado = 0x78;
  EXPECT_EQ(LeePuertoES(0x379), 0x78);
  EXPECT_FALSE(EscribePuertoES(0x379, 0x00)) << "the status register is read-only";
  EXPECT_EQ(sistema.Toma(), (std::vector<TLlamada>{{"ioctl", PPWDATA, 0xA5},
                                                  {"ioctl", PPWCONTROL, 0x0F},
                                                  {"ioctl", PPRSTATUS, -1}}));
  CierraPuerto(false);
  EXPECT_EQ(sistema.Toma(), (std::vector<TLlamada>{{"ioctl", PPRELEASE, -1}, {"close", 0, 42}}));
}

TEST_F(Backends, EachLptAddressGoesToItsOwnNode) {
  struct {
    uint16_t base;
    const char* nodo;
  } casos[] = {{0x378, "/dev/parport0"}, {0x278, "/dev/parport1"}, {0x3BC, "/dev/parport2"},
               {0x3F8, "/dev/ttyS0"},    {0x2F8, "/dev/ttyS1"},    {0x3E8, "/dev/ttyS2"},
               {0x2E8, "/dev/ttyS3"}};
  for (const auto& c : casos) {
    sistema.Rutas.clear();
    EXPECT_TRUE(EscribePuertoES(c.base + (c.base == 0x378 || c.base == 0x278 || c.base == 0x3BC ? 0 : 4), 0));
    EXPECT_EQ(sistema.Rutas, std::vector<std::string>{c.nodo});
  }
}

TEST_F(Backends, LptOpenFailuresSayHowToFixThem) {
  struct {
    int errorAbre;
    unsigned long falla;
    int errorIoctl;
    const char* debeDecir;
  } casos[] = {
      {ENOENT, 0, 0, "modprobe parport_pc ppdev"},
      {EACCES, 0, 0, "group lp"},
      {0, PPCLAIM, EBUSY, "PPCLAIM"},
      {0, PPCLAIM, EBUSY, "in use"},
      {0, PPEXCL, EIO, "PPEXCL"},
  };
  for (const auto& c : casos) {
    LiberaPuertosES();
    sistema.FalloAbre = c.errorAbre;
    sistema.Fallos.clear();
    if (c.falla) sistema.Fallos[c.falla] = c.errorIoctl;
    ventana.Mensajes.clear();
    EXPECT_FALSE(Abre(0x378));
    ASSERT_EQ(ventana.Mensajes.size(), 1u);
    EXPECT_NE(ventana.Mensajes[0].find("/dev/parport0"), std::string::npos) << ventana.Mensajes[0];
    EXPECT_NE(ventana.Mensajes[0].find(c.debeDecir), std::string::npos) << ventana.Mensajes[0];
    EXPECT_FALSE(PuertoAbierto());
    // Writes after a failed claim fail too; nothing pretends to work.
    EXPECT_FALSE(EscribePuertoES(0x378, 1));
  }
}

TEST_F(Backends, SerialLinesBecomeModemAndBreakIoctls) {
  ASSERT_TRUE(Abre(0x3F8));
  EXPECT_EQ(sistema.Rutas, std::vector<std::string>{"/dev/ttyS0"});
  EXPECT_TRUE(sistema.Flags & O_NOCTTY);
  EXPECT_EQ(sistema.CflagPuesto & HUPCL, 0u) << "lines keep their levels after close";
  EXPECT_EQ(sistema.Toma(), (std::vector<TLlamada>{{"ioctl", TIOCEXCL, -1}}));

  struct {
    uint16_t direccion;
    uint8_t valor;
    std::vector<TLlamada> llamadas;
  } pasos[] = {
      // First write: the state of the lines is unknown, so both are sent.
      {0x3FC, 0x01, {{"ioctl", TIOCMBIS, TIOCM_DTR}, {"ioctl", TIOCMBIC, TIOCM_RTS}}},
      {0x3FC, 0x03, {{"ioctl", TIOCMBIS, TIOCM_RTS}}},
      {0x3FC, 0x43, {}},  // bit 6 of modem control is no line
      {0x3FC, 0x00, {{"ioctl", TIOCMBIC, TIOCM_DTR | TIOCM_RTS}}},
      {0x3FB, 0x40, {{"ioctl", TIOCSBRK, -1}}},
      {0x3FB, 0x43, {}},
      {0x3FB, 0x03, {{"ioctl", TIOCCBRK, -1}}},
  };
  for (const auto& p : pasos) {
    EXPECT_TRUE(EscribePuertoES(p.direccion, p.valor));
    EXPECT_EQ(sistema.Toma(), p.llamadas) << std::hex << p.direccion << " " << int(p.valor);
  }
  sistema.Modem = TIOCM_CTS | TIOCM_CD | TIOCM_DTR;
  EXPECT_EQ(LeePuertoES(0x3FE), 0x90);
  sistema.Modem = TIOCM_DSR | TIOCM_RI;
  EXPECT_EQ(LeePuertoES(0x3FE), 0x60);
}

TEST_F(Backends, FailedModemIoctlIsAFailureNamingTheCall) {
  ASSERT_TRUE(Abre(0x3F8));
  sistema.Fallos[TIOCMBIS] = EIO;
  EXPECT_FALSE(EscribePuertoES(0x3FC, 0x01));
  EXPECT_NE(UltimoErrorPuerto().find("TIOCMBIS"), std::string::npos);
  sistema.Fallos[TIOCMGET] = EIO;
  EXPECT_EQ(LeePuertoES(0x3FE), LecturaFallida);
  EXPECT_NE(UltimoErrorPuerto().find("TIOCMGET"), std::string::npos);
}

TEST_F(Backends, SerialOpenFailuresSayHowToFixThem) {
  sistema.FalloAbre = EACCES;
  EXPECT_FALSE(Abre(0x2F8));
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("/dev/ttyS1"), std::string::npos);
  EXPECT_NE(ventana.Mensajes[0].find("dialout"), std::string::npos);
}

TEST_F(Backends, ProfileMayNameItsOwnNode) {
  PonPinesPorDefecto(0x3F8);
  NodoPuerto = "/dev/ttyUSB0";
  ASSERT_TRUE(Abre(0x3F8));
  EXPECT_EQ(sistema.Rutas, std::vector<std::string>{"/dev/ttyUSB0"});
}

TEST_F(Backends, AddressesOutsideTheTableTouchNothing) {
  for (uint16_t d : {0x000, 0x300, 0x37B, 0x3F7, 0x400, 0xFFFF}) {
    EXPECT_FALSE(EscribePuertoES(d, 1));
    EXPECT_EQ(LeePuertoES(d), LecturaFallida);
  }
  EXPECT_TRUE(sistema.Rutas.empty());
  EXPECT_TRUE(sistema.Llamadas.empty());
  EXPECT_FALSE(Abre(0x300));
  EXPECT_TRUE(sistema.Rutas.empty());
}

TEST_F(Backends, DirectAccessUsesIopermOnTheTablePortOnly) {
  setenv("KORVANE_PUERTO_DIRECTO", "1", 1);
  EXPECT_TRUE(EscribePuertoES(0x37A, 0x0B));
  EXPECT_EQ(LeePuertoES(0x379), 0x5A);
  LiberaPuertosES();
  unsetenv("KORVANE_PUERTO_DIRECTO");
  EXPECT_EQ(sistema.Toma(), (std::vector<TLlamada>{{"ioperm", 0x378, 31},
                                                  {"outb", 0x37A, 0x0B},
                                                  {"inb", 0x379, -1},
                                                  {"ioperm", 0x378, 30}}));
  EXPECT_TRUE(sistema.Rutas.empty());
}

TEST_F(Backends, PinLevelListShowsPresentAndBusyPorts) {
  sistema.FallosNodo = {{"/dev/ttyS0", ENOENT}, {"/dev/ttyS1", EBUSY}, {"/dev/ttyS2", 0}};
  std::vector<std::string> lista{"old"};
  ListaPuertos(lista, false, false);
  EXPECT_EQ(lista, (std::vector<std::string>{"COM2", "COM3"}));
  // A node without a UART behind it opens but has no modem lines.
  sistema.FallosNodo = {{"/dev/ttyS0", 0}, {"/dev/ttyS1", ENOENT}, {"/dev/ttyS2", ENOENT}};
  sistema.Fallos[TIOCMGET] = EIO;
  ListaPuertos(lista, false, false);
  EXPECT_TRUE(lista.empty());
}

// --- A real pseudo-terminal ----------------------------------------------------

TEST(Pty, PinLevelSerialOpenOnARealTerminal) {
  int maestro = -1, esclavo = -1;
  char nombre[128] = {};
  ASSERT_EQ(openpty(&maestro, &esclavo, nombre, nullptr, nullptr), 0);
  // Start from HUPCL set, as a fresh port usually is.
  termios t{};
  tcgetattr(esclavo, &t);
  t.c_cflag |= HUPCL;
  tcsetattr(esclavo, TCSANOW, &t);

  TVentanaPrueba ventana;
  LiberaPuertosES();
  PonPerfilComSim();
  NodoPuerto = nombre;
  ASSERT_TRUE(AbrePuerto(0x3F8, false, "", "", false, true)) << (ventana.Mensajes.empty() ? "" : ventana.Mensajes[0]);
  tcgetattr(esclavo, &t);
  EXPECT_EQ(t.c_cflag & HUPCL, 0u);
  if (geteuid() != 0) {
    // Exclusive: a second open is refused (root is exempt from TIOCEXCL).
    const int otro = open(nombre, O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_LT(otro, 0);
    if (otro >= 0) close(otro);
  }
  // A terminal without modem lines: the write is a failure, never a success.
  EXPECT_FALSE(EscribePuertoES(0x3FC, 0x01));
  EXPECT_NE(UltimoErrorPuerto().find("TIOCMBIS"), std::string::npos);
  // The break line works on a pty.
  EXPECT_TRUE(EscribePuertoES(0x3FB, 0x40));
  EXPECT_TRUE(EscribePuertoES(0x3FB, 0x00));
  // And the hardware check refuses such a port before any operation.
  PinesReposo();
  ventana.Mensajes.clear();
  EXPECT_FALSE(CompruebaHardware());
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("TIOCMB"), std::string::npos) << ventana.Mensajes[0];
  EXPECT_NE(ventana.Mensajes[0].find(nombre), std::string::npos);
  CierraPuerto(false);
  NodoPuerto.clear();
  close(esclavo);
  close(maestro);
}

}  // namespace
