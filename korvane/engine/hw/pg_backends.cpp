#include "pg_backends.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <termios.h>

#include "pg_sistema.h"

namespace {

// Last failure of a register access, collected by the port I/O layer.
std::string errorAcceso;

void AnotaFallo(const std::string& nodo, bool paralelo, const char* paso) {
  errorAcceso = MensajeFalloNodo(nodo, paralelo, errno, paso);
}

// Parallel port: data register (+0), status (+1, read only), control (+2).
class TPuertoPpdev final : public TPuertoES {
public:
  TPuertoPpdev(int fd, uint16_t base, std::string nodo) : fd_(fd), base_(base), nodo_(std::move(nodo)) {}
  ~TPuertoPpdev() override {
    SistemaES().Ioctl(fd_, PPRELEASE, nullptr);
    SistemaES().Cierra(fd_);
  }
  bool Lee(uint16_t direccion, uint8_t& valor) override {
    unsigned char v = 0;
    unsigned long peticion;
    const char* paso;
    switch (direccion - base_) {
      case 0: peticion = PPRDATA; paso = "PPRDATA"; break;
      case 1: peticion = PPRSTATUS; paso = "PPRSTATUS"; break;
      case 2: peticion = PPRCONTROL; paso = "PPRCONTROL"; break;
      default: return false;
    }
    if (SistemaES().Ioctl(fd_, peticion, &v) < 0) {
      AnotaFallo(nodo_, true, paso);
      return false;
    }
    valor = v;
    return true;
  }
  bool Escribe(uint16_t direccion, uint8_t valor) override {
    unsigned char v = valor;
    unsigned long peticion;
    const char* paso;
    switch (direccion - base_) {
      case 0: peticion = PPWDATA; paso = "PPWDATA"; break;
      case 2:
        // Only the four output lines of the control register reach the
        // connector; the interrupt-enable and direction bits are not lines.
        v &= PARPORT_CONTROL_STROBE | PARPORT_CONTROL_AUTOFD | PARPORT_CONTROL_INIT |
             PARPORT_CONTROL_SELECT;
        peticion = PPWCONTROL;
        paso = "PPWCONTROL";
        break;
      default: return false;
    }
    if (SistemaES().Ioctl(fd_, peticion, &v) < 0) {
      AnotaFallo(nodo_, true, paso);
      return false;
    }
    return true;
  }

private:
  int fd_;
  uint16_t base_;
  std::string nodo_;
};

// Serial port lines: line control (+3, bit 6 = break = TXD), modem control
// (+4, bit 0 DTR, bit 1 RTS), modem status (+6, bits 4-7 CTS DSR RI DCD).
// Only the lines that change are sent, since each ioctl on a USB-serial
// adapter is a USB transfer.
class TPuertoTty final : public TPuertoES {
public:
  TPuertoTty(int fd, uint16_t base, std::string nodo) : fd_(fd), base_(base), nodo_(std::move(nodo)) {}
  ~TPuertoTty() override { SistemaES().Cierra(fd_); }
  bool Lee(uint16_t direccion, uint8_t& valor) override {
    switch (direccion - base_) {
      case 3: valor = lcr_; return true;
      case 4: valor = mcr_; return true;
      case 6: {
        int m = 0;
        if (SistemaES().Ioctl(fd_, TIOCMGET, &m) < 0) {
          AnotaFallo(nodo_, false, "TIOCMGET");
          return false;
        }
        valor = static_cast<uint8_t>((m & TIOCM_CTS ? 0x10 : 0) | (m & TIOCM_DSR ? 0x20 : 0) |
                                     (m & TIOCM_RI ? 0x40 : 0) | (m & TIOCM_CD ? 0x80 : 0));
        return true;
      }
      default: return false;
    }
  }
  bool Escribe(uint16_t direccion, uint8_t valor) override {
    switch (direccion - base_) {
      case 3: {
        const bool brk = valor & 0x40;
        if (!lcrConocido_ || brk != ((lcr_ & 0x40) != 0)) {
          if (SistemaES().Ioctl(fd_, brk ? TIOCSBRK : TIOCCBRK, nullptr) < 0) {
            AnotaFallo(nodo_, false, brk ? "TIOCSBRK" : "TIOCCBRK");
            return false;
          }
        }
        lcr_ = valor;
        lcrConocido_ = true;
        return true;
      }
      case 4: {
        int poner = 0, quitar = 0;
        for (auto [bit, linea] : {std::pair{0x01, TIOCM_DTR}, std::pair{0x02, TIOCM_RTS}}) {
          const bool quiere = valor & bit;
          if (mcrConocido_ && quiere == ((mcr_ & bit) != 0)) continue;
          (quiere ? poner : quitar) |= linea;
        }
        if (poner && SistemaES().Ioctl(fd_, TIOCMBIS, &poner) < 0) {
          AnotaFallo(nodo_, false, "TIOCMBIS");
          return false;
        }
        if (quitar && SistemaES().Ioctl(fd_, TIOCMBIC, &quitar) < 0) {
          AnotaFallo(nodo_, false, "TIOCMBIC");
          return false;
        }
        mcr_ = valor;
        mcrConocido_ = true;
        return true;
      }
      default: return false;
    }
  }

private:
  int fd_;
  uint16_t base_;
  std::string nodo_;
  uint8_t lcr_ = 0, mcr_ = 0;
  bool lcrConocido_ = false, mcrConocido_ = false;
};

class TPuertoDirecto final : public TPuertoES {
public:
  TPuertoDirecto(uint16_t base, uint16_t ancho) : base_(base), ancho_(ancho) {}
  ~TPuertoDirecto() override { SistemaES().Ioperm(base_, ancho_, 0); }
  bool Lee(uint16_t direccion, uint8_t& valor) override {
    if (direccion < base_ || direccion >= base_ + ancho_) return false;
    valor = SistemaES().Inb(direccion);
    return true;
  }
  bool Escribe(uint16_t direccion, uint8_t valor) override {
    if (direccion < base_ || direccion >= base_ + ancho_) return false;
    SistemaES().Outb(valor, direccion);
    return true;
  }

private:
  uint16_t base_, ancho_;
};

}  // namespace

std::string TomaErrorAcceso() {
  std::string e;
  e.swap(errorAcceso);
  return e;
}

std::unique_ptr<TPuertoES> AbrePpdev(uint16_t base, const std::string& nodo, std::string& error) {
  TSistemaES& s = SistemaES();
  const int fd = s.Abre(nodo.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    error = MensajeFalloNodo(nodo, true, errno, nullptr);
    return nullptr;
  }
  // Exclusive, so no printer driver writes the data lines between ours.
  if (s.Ioctl(fd, PPEXCL, nullptr) < 0) {
    error = MensajeFalloNodo(nodo, true, errno, "PPEXCL");
    s.Cierra(fd);
    return nullptr;
  }
  if (s.Ioctl(fd, PPCLAIM, nullptr) < 0) {
    error = MensajeFalloNodo(nodo, true, errno, "PPCLAIM");
    s.Cierra(fd);
    return nullptr;
  }
  // Data lines driven by the port. Forward is also the power-on direction,
  // so a port that cannot switch direction still works.
  int adelante = 0;
  s.Ioctl(fd, PPDATADIR, &adelante);
  return std::make_unique<TPuertoPpdev>(fd, base, nodo);
}

std::unique_ptr<TPuertoES> AbreTtyLineas(uint16_t base, const std::string& nodo, std::string& error) {
  TSistemaES& s = SistemaES();
  const int fd = s.Abre(nodo.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = MensajeFalloNodo(nodo, false, errno, nullptr);
    return nullptr;
  }
  if (s.Ioctl(fd, TIOCEXCL, nullptr) < 0) {
    error = MensajeFalloNodo(nodo, false, errno, "TIOCEXCL");
    s.Cierra(fd);
    return nullptr;
  }
  // Without HUPCL the lines keep the end levels of the operation after close.
  termios t{};
  if (s.LeeTermios(fd, &t) < 0) {
    error = MensajeFalloNodo(nodo, false, errno, "tcgetattr");
    s.Cierra(fd);
    return nullptr;
  }
  t.c_cflag &= ~HUPCL;
  t.c_cflag |= CLOCAL;
  if (s.PonTermios(fd, &t) < 0) {
    error = MensajeFalloNodo(nodo, false, errno, "tcsetattr");
    s.Cierra(fd);
    return nullptr;
  }
  return std::make_unique<TPuertoTty>(fd, base, nodo);
}

std::unique_ptr<TPuertoES> AbreDirecto(uint16_t base, uint16_t ancho, std::string& error) {
  if (SistemaES().Ioperm(base, ancho, 1) < 0) {
    char nombre[16];
    snprintf(nombre, sizeof nombre, "0x%03X", base);
    error = MensajeFalloNodo(nombre, DaIndicePuerto(base) >= 4, errno, "ioperm");
    return nullptr;
  }
  return std::make_unique<TPuertoDirecto>(base, ancho);
}
