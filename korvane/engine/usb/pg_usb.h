// The USB bus as the firmware programmer's native link sees it: a list of
// attached devices and, for one opened device, bulk transfers on endpoint 1
// both ways. Everything above (discovery by VID/PID, the packet protocol,
// the reply thread) talks to the bus only through this interface, so that
// the tests can put a simulated board behind it. The machine's backend is
// libusb-1.0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr uint16_t VidMicrochip = 0x04D8;
constexpr uint8_t EndpointSalidaUsb = 0x01;   // bulk OUT, host to board
constexpr uint8_t EndpointEntradaUsb = 0x81;  // bulk IN, board to host

// One attached device as the bus lists it.
struct TInfoUsb {
  uint16_t Vid = 0;
  uint16_t Pid = 0;
  std::string Ubicacion;  // bus and port path ("1-4.2"), stable while plugged
};

// An opened device. Lee and Escribe may run on two threads at once (the
// reply thread reads while the main thread writes).
class TEnlaceUsb {
public:
  virtual ~TEnlaceUsb() = default;
  // Bytes written (all n on success), or -1 when the device failed or went away.
  virtual int Escribe(const uint8_t* datos, std::size_t n, unsigned esperaMs) = 0;
  // Bytes read (a short transfer ends early): 0 after the time-out with
  // nothing received, -1 when the device failed or went away.
  virtual int Lee(uint8_t* datos, std::size_t n, unsigned esperaMs) = 0;
};

// Why a device could not be opened.
enum class TFalloUsb : uint8_t { Ninguno, Permiso, Ocupado, Desaparecido, Otro };

class TBusUsb {
public:
  virtual ~TBusUsb() = default;
  // The devices attached now, in the bus's order.
  virtual std::vector<TInfoUsb> Lista() = 0;
  // Opens a listed device and claims its interface 0; null with the reason
  // (and a text of the system's) on failure.
  virtual std::unique_ptr<TEnlaceUsb> Abre(const TInfoUsb& info, TFalloUsb& fallo, std::string& detalle) = 0;
};

// The bus in use; never null (libusb's unless one is installed).
TBusUsb& BusUsb();
// Installs a bus (tests: the simulated one); nullptr restores the machine's.
// Returns the previous one.
TBusUsb* PonBusUsb(TBusUsb* bus);
