#include "pg_sistema.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KORVANE_IO_DIRECTA 1
#endif

int TSistemaES::Abre(const char* ruta, int flags) { return ::open(ruta, flags); }
int TSistemaES::Cierra(int fd) { return ::close(fd); }
int TSistemaES::Ioctl(int fd, unsigned long peticion, void* arg) { return ::ioctl(fd, peticion, arg); }
int TSistemaES::LeeTermios(int fd, termios* t) { return ::tcgetattr(fd, t); }
int TSistemaES::PonTermios(int fd, const termios* t) { return ::tcsetattr(fd, TCSANOW, t); }

#ifdef KORVANE_IO_DIRECTA
int TSistemaES::Ioperm(unsigned long desde, unsigned long n, int activa) {
  return ::ioperm(desde, n, activa);
}
uint8_t TSistemaES::Inb(uint16_t puerto) { return ::inb(puerto); }
void TSistemaES::Outb(uint8_t valor, uint16_t puerto) { ::outb(valor, puerto); }
#else
int TSistemaES::Ioperm(unsigned long, unsigned long, int) {
  errno = ENOSYS;
  return -1;
}
uint8_t TSistemaES::Inb(uint16_t) { return 0xFF; }
void TSistemaES::Outb(uint8_t, uint16_t) {}
#endif

namespace {
TSistemaES sistemaReal;
TSistemaES* sistemaActual = &sistemaReal;
}  // namespace

TSistemaES& SistemaES() { return *sistemaActual; }

TSistemaES* PonSistemaES(TSistemaES* sistema) {
  TSistemaES* anterior = sistemaActual == &sistemaReal ? nullptr : sistemaActual;
  sistemaActual = sistema ? sistema : &sistemaReal;
  return anterior;
}
