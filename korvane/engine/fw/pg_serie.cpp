#include "fw/pg_serie.h"

#include "hw/pg_sistema.h"
#include "pg_idioma.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

TTiemposSerie TiemposSerie;

namespace {

uint64_t AhoraRealNs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now().time_since_epoch()).count());
}

// Milliseconds left until limiteNs, rounded up so poll() never wakes early.
int RestanteMs(uint64_t limiteNs) {
  const uint64_t ahora = AhoraRealNs();
  if (ahora >= limiteNs) return 0;
  const uint64_t ms = (limiteNs - ahora + 999999u) / 1000000u;
  return static_cast<int>(std::min<uint64_t>(ms, 1u << 30));
}

std::string Normaliza(const std::string& dispositivo) {
  if (dispositivo.empty() || dispositivo[0] == '/') return dispositivo;
  return "/dev/" + dispositivo;
}

bool ModemIoctl(int fd, unsigned long orden, int bits) {
  return SistemaES().Ioctl(fd, orden, &bits) == 0;
}

}  // namespace

std::string ProcesosConDispositivo(const std::string& dispositivo) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path objetivo = fs::weakly_canonical(dispositivo, ec);
  std::string nombres;
  for (const auto& proceso : fs::directory_iterator("/proc", ec)) {
    const std::string pid = proceso.path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    if (std::stoi(pid) == getpid()) continue;
    std::error_code ec2;
    for (const auto& fd : fs::directory_iterator(proceso.path() / "fd", ec2)) {
      std::error_code ec3;
      if (fs::read_symlink(fd.path(), ec3) != objetivo || ec3) continue;
      std::ifstream comm(proceso.path() / "comm");
      std::string nombre;
      std::getline(comm, nombre);
      if (!nombres.empty()) nombres += ", ";
      nombres += nombre + " (pid " + pid + ")";
      break;
    }
  }
  return nombres;
}

// Section "pg_enlace*" keys "0*".."8*": why a serial port of the firmware
// programmer did not open, and the fix.
std::string TextoFalloSerie(const std::string& dispositivo, TFalloSerie fallo, int err) {
  int clave = 8;
  switch (fallo) {
    case TFalloSerie::Ninguno: return {};
    case TFalloSerie::NoExiste: clave = 0; break;
    case TFalloSerie::Permiso: clave = 1; break;
    case TFalloSerie::Ocupado: clave = 2; break;
    case TFalloSerie::NoEsSerie: clave = 4; break;
    case TFalloSerie::Configura: clave = 5; break;
    case TFalloSerie::Ajusta: clave = 6; break;
    case TFalloSerie::Purga: clave = 7; break;
    case TFalloSerie::Otro: break;
  }
  // The system's own reason, in the system's words.
  std::string texto = dispositivo + ": " + TextoEnlace(clave) + (err ? std::string(" (") + std::strerror(err) + ")" : "");
  if (fallo == TFalloSerie::Ocupado) {
    const std::string quien = ProcesosConDispositivo(dispositivo);
    if (!quien.empty()) texto += " " + TextoEnlace(3) + " " + quien;
  }
  return texto;
}

std::string TextoEnlace(int clave) { return TextoIdioma("pg_enlace*", std::to_string(clave) + "*"); }

bool TPuertoSerie::FallaAbre(TFalloSerie fallo, int err) {
  fallo_ = fallo;
  errno_ = err;
  mensaje_ = TextoFalloSerie(dispositivo_, fallo, err);
  Cierra();
  return false;
}

bool TPuertoSerie::Abre(const std::string& dispositivo) {
  Cierra();
  dispositivo_ = Normaliza(dispositivo);
  fallo_ = TFalloSerie::Ninguno;
  errno_ = 0;
  mensaje_.clear();

  // Non-blocking so that a port waiting for carrier does not hang the open;
  // every read and write below waits through poll() anyway.
  fd_ = SistemaES().Abre(dispositivo_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    switch (err) {
      case ENOENT: case ENODEV: case ENXIO: return FallaAbre(TFalloSerie::NoExiste, err);
      case EACCES: case EPERM: return FallaAbre(TFalloSerie::Permiso, err);
      case EBUSY: return FallaAbre(TFalloSerie::Ocupado, err);
      default: return FallaAbre(TFalloSerie::Otro, err);
    }
  }
  // Lower both lines first: RTS high holds the board in reset.
  const int ambas = TIOCM_DTR | TIOCM_RTS;
  lineas_ = ModemIoctl(fd_, TIOCMBIC, ambas);
  dsrVisto_ = false;

  if (!isatty(fd_)) return FallaAbre(TFalloSerie::NoEsSerie, ENOTTY);
  if (SistemaES().Ioctl(fd_, TIOCEXCL, nullptr) != 0) return FallaAbre(TFalloSerie::Ocupado, errno);

  termios tio{};
  if (SistemaES().LeeTermios(fd_, &tio) != 0) return FallaAbre(TFalloSerie::Configura, errno);
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  // With VMIN 1 an empty non-blocking read says EAGAIN, so a read of 0
  // bytes means the line is gone (hang-up, adapter unplugged).
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0 ||
      SistemaES().PonTermios(fd_, &tio) != 0)
    return FallaAbre(TFalloSerie::Ajusta, errno);
  // Some drivers raise the lines again when the settings change.
  if (lineas_) ModemIoctl(fd_, TIOCMBIC, ambas);
  if (tcflush(fd_, TCIOFLUSH) != 0) return FallaAbre(TFalloSerie::Purga, errno);
  return true;
}

void TPuertoSerie::Cierra() {
  if (fd_ < 0) return;
  // Without this a pseudo-terminal's far end could never be reopened by us.
  SistemaES().Ioctl(fd_, TIOCNXCL, nullptr);
  SistemaES().Cierra(fd_);
  fd_ = -1;
  lineas_ = false;
  dsrVisto_ = false;
}

bool TPuertoSerie::Purga() { return fd_ >= 0 && tcflush(fd_, TCIOFLUSH) == 0; }

bool TPuertoSerie::PonRts(bool activo) {
  return fd_ >= 0 && lineas_ && ModemIoctl(fd_, activo ? TIOCMBIS : TIOCMBIC, TIOCM_RTS);
}

bool TPuertoSerie::PonDtr(bool activo) {
  return fd_ >= 0 && lineas_ && ModemIoctl(fd_, activo ? TIOCMBIS : TIOCMBIC, TIOCM_DTR);
}

// Waits until the board asserts DSR or limiteNs passes. A port that reports
// no lines, or a board that never asserted DSR, is not paced.
bool TPuertoSerie::EsperaDsr(uint64_t limiteNs) {
  if (!lineas_) return true;
  for (;;) {
    int estado = 0;
    if (SistemaES().Ioctl(fd_, TIOCMGET, &estado) != 0) {
      lineas_ = false;
      return true;
    }
    if (estado & TIOCM_DSR) {
      dsrVisto_ = true;
      return true;
    }
    if (!dsrVisto_) return true;
    if (AhoraRealNs() >= limiteNs) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
}

std::size_t TPuertoSerie::Escribe(const uint8_t* datos, std::size_t n) {
  if (fd_ < 0) return 0;
  const uint64_t limite = AhoraRealNs() +
      (uint64_t{TiemposSerie.EscrituraFijoMs} + uint64_t{TiemposSerie.EscrituraPorByteMs} * n) * 1000000u;
  std::size_t hecho = 0;
  while (hecho < n) {
    if (!EsperaDsr(limite)) break;
    const ssize_t r = ::write(fd_, datos + hecho, n - hecho);
    if (r > 0) {
      hecho += static_cast<std::size_t>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && errno != EAGAIN) break;
    pollfd p{fd_, POLLOUT, 0};
    const int espera = RestanteMs(limite);
    if (espera == 0) break;
    const int e = ::poll(&p, 1, espera);
    if (e < 0 && errno == EINTR) continue;
    if (e <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) break;
  }
  return hecho - std::min(hecho, Pendientes(limite));
}

// Waits until what was written has left the port, or limiteNs passes;
// returns the bytes still queued then. Without this the kernel's buffer
// lets the host run far ahead of the board, and the reset that ends a
// block write would throw away packets the board has not received yet.
std::size_t TPuertoSerie::Pendientes(uint64_t limiteNs) {
  for (;;) {
    int cola = 0;
    if (SistemaES().Ioctl(fd_, TIOCOUTQ, &cola) != 0 || cola <= 0) return 0;
    if (AhoraRealNs() >= limiteNs) return static_cast<std::size_t>(cola);
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
}

std::size_t TPuertoSerie::Lee(uint8_t* destino, std::size_t n) {
  if (fd_ < 0) return 0;
  const uint64_t total = AhoraRealNs() +
      (uint64_t{TiemposSerie.LecturaFijoMs} + uint64_t{TiemposSerie.LecturaPorByteMs} * n) * 1000000u;
  std::size_t hecho = 0;
  while (hecho < n) {
    const ssize_t r = ::read(fd_, destino + hecho, n - hecho);
    if (r > 0) {
      hecho += static_cast<std::size_t>(r);
      continue;
    }
    if (r == 0) break;  // the far end is gone
    if (errno == EINTR) continue;
    if (errno != EAGAIN) break;
    uint64_t limite = total;
    if (hecho > 0)
      limite = std::min(limite, AhoraRealNs() + uint64_t{TiemposSerie.IntervaloMs} * 1000000u);
    const int espera = RestanteMs(limite);
    if (espera == 0) break;
    pollfd p{fd_, POLLIN, 0};
    const int e = ::poll(&p, 1, espera);
    if (e < 0 && errno == EINTR) continue;
    if (e <= 0) break;
    if ((p.revents & (POLLERR | POLLNVAL)) || ((p.revents & POLLHUP) && !(p.revents & POLLIN))) break;
  }
  return hecho;
}

bool TPuertoSerie::HayDatos(int esperaMs) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  int e;
  do e = ::poll(&p, 1, esperaMs); while (e < 0 && errno == EINTR);
  return e > 0;
}
