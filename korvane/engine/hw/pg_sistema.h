// The system calls the machine's port backends make, behind one small
// interface so that the tests can check exactly which ioctls a register
// write becomes. Every call returns like its system counterpart (-1 and
// errno on failure).
#pragma once

#include <cstdint>

struct termios;

class TSistemaES {
public:
  virtual ~TSistemaES() = default;
  virtual int Abre(const char* ruta, int flags);
  virtual int Cierra(int fd);
  // ioctl with a pointer argument (nullptr for requests that take none).
  virtual int Ioctl(int fd, unsigned long peticion, void* arg);
  virtual int LeeTermios(int fd, termios* t);
  virtual int PonTermios(int fd, const termios* t);
  // Raw port access (x86, root only); -1 with ENOSYS elsewhere.
  virtual int Ioperm(unsigned long desde, unsigned long n, int activa);
  virtual uint8_t Inb(uint16_t puerto);
  virtual void Outb(uint8_t valor, uint16_t puerto);
};

// The system calls in use; never null.
TSistemaES& SistemaES();
// Installs a replacement (nullptr restores the real calls). Returns the previous one.
TSistemaES* PonSistemaES(TSistemaES* sistema);
