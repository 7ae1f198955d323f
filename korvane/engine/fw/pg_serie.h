// Serial transport of the firmware programmer: a tty opened raw at
// 115200 8N1, with bounded reads and writes.
//
// The board sits on a USB-CDC port (/dev/ttyACM*), a USB-serial bridge
// (/dev/ttyUSB*) or a motherboard port (/dev/ttyS*). The link is opened
// exclusively (TIOCEXCL, O_NOCTTY), without driver flow control and with
// HUPCL cleared; DTR and RTS are lowered right after the open because RTS
// is the board's reset line and Linux raises both on open.
//
// Time-outs follow the board's expectations: a read of n bytes gives up
// after LecturaFijoMs + n x LecturaPorByteMs, or when no byte arrived for
// IntervaloMs after the first one; a write of n bytes after
// EscrituraFijoMs + n x EscrituraPorByteMs. All of them are real-time
// deadlines measured with poll(), since the bytes cross a real line.
//
// Output flow control on DSR is done here, not by the driver: bytes go out
// only while the board asserts DSR. A port without modem lines (a
// pseudo-terminal), or a board that has never asserted DSR since the open
// (a CDC board that sends no serial-state notifications), is written
// without pacing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct TTiemposSerie {
  uint32_t IntervaloMs = 500;        // longest silence between two bytes of one read
  uint32_t LecturaPorByteMs = 100;
  uint32_t LecturaFijoMs = 1000;
  uint32_t EscrituraPorByteMs = 20;
  uint32_t EscrituraFijoMs = 1;
};

// The time-outs every link uses (tests shorten them).
extern TTiemposSerie TiemposSerie;

// Why an open or a setup step failed.
enum class TFalloSerie : uint8_t {
  Ninguno,
  NoExiste,     // no such device node (board unplugged, wrong name)
  Permiso,      // the user may not open it (group dialout)
  Ocupado,      // another program holds it
  NoEsSerie,    // the node is not a terminal
  Configura,    // reading the line settings failed
  Ajusta,       // applying the line settings failed
  Purga,        // discarding the buffers failed
  Otro,
};

class TPuertoSerie {
public:
  TPuertoSerie() = default;
  TPuertoSerie(const TPuertoSerie&) = delete;
  TPuertoSerie& operator=(const TPuertoSerie&) = delete;
  ~TPuertoSerie() { Cierra(); }

  // Opens and sets up `dispositivo` ("/dev/ttyACM0"; a bare "ttyACM0" gets
  // /dev/ prefixed). On failure the port is closed again, Fallo() says why
  // and Mensaje() is a sentence for the user naming the device and the fix.
  bool Abre(const std::string& dispositivo);
  // Releases the exclusive claim and closes; harmless when closed.
  void Cierra();
  bool Abierto() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  const std::string& Dispositivo() const { return dispositivo_; }

  // Discards everything received and not yet sent (both directions).
  bool Purga();
  // Drives the RTS or DTR line. False where the port has no modem lines.
  bool PonRts(bool activo);
  bool PonDtr(bool activo);
  // True when the port reports modem lines (a real serial port).
  bool TieneLineas() const { return lineas_; }

  // Writes n bytes within the write time-out and waits for them to leave
  // the port (as a driver with a 16-byte output queue would); returns how
  // many went out.
  std::size_t Escribe(const uint8_t* datos, std::size_t n);
  // Reads n bytes within the read time-outs; returns how many arrived.
  // Stops at once when the device goes away (unplugged, far end closed).
  std::size_t Lee(uint8_t* destino, std::size_t n);
  // True when at least one byte can be read (or the line is gone) within
  // esperaMs (0 = just look).
  bool HayDatos(int esperaMs);

  TFalloSerie Fallo() const { return fallo_; }
  int Errno() const { return errno_; }
  const std::string& Mensaje() const { return mensaje_; }

private:
  bool FallaAbre(TFalloSerie fallo, int err);
  bool EsperaDsr(uint64_t limiteNs);
  std::size_t Pendientes(uint64_t limiteNs);

  int fd_ = -1;
  std::string dispositivo_;
  bool lineas_ = false;
  bool dsrVisto_ = false;
  TFalloSerie fallo_ = TFalloSerie::Ninguno;
  int errno_ = 0;
  std::string mensaje_;
};

// The user-facing sentence for a failed open: device, cause and fix, in
// the user's language, with the system's reason.
std::string TextoFalloSerie(const std::string& dispositivo, TFalloSerie fallo, int err);
// Text of key `clave` of section "pg_enlace*" (the firmware programmer's
// serial and USB links).
std::string TextoEnlace(int clave);
// Names of the processes that hold `dispositivo` open, where /proc tells.
std::string ProcesosConDispositivo(const std::string& dispositivo);
