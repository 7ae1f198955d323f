// The legacy port table, the opening and closing of the programmer link and
// the byte-wide port I/O every pin-level line change goes through.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Port table: index 0-3 COM1-COM4, 4-6 LPT1-LPT3.
constexpr int NumPuertos = 7;
// Base address of a table index (any other index gives 0x3F8).
uint16_t DaDireccionPuerto(int indice);
// Table index of a base address (an address outside the table gives 0).
int DaIndicePuerto(uint16_t direccion);
// Table name ("COM1".."LPT3") of a base address; "" outside the table.
std::string NombrePuertoTabla(uint16_t direccion);
// Table index of the port whose registers contain this address
// (COM: base..base+7, LPT: base..base+2), or -1.
int IndiceRegistroPuerto(uint16_t direccion);

// Bit number 0-7 of a single-bit mask, else defecto.
int DaNumeroBit(uint8_t mascara, int defecto);
// 1 << bit for 0-7, else defecto.
uint8_t DaMascaraBit(int bit, uint8_t defecto);

// Name of the programmer link of the loaded profile: "#" + instance digit on
// native USB, ADDR_USB_COM for the firmware programmer on a serial port,
// otherwise the table name of the base address.
std::string DaNombrePuerto(uint16_t direccion);
// The device node of a serial port name: "COMn" is /dev/ttyS(n-1), a name
// starting with '/' is taken as it is, any other name is looked up in /dev.
std::string NodoSerie(const std::string& nombre);
// The device node that carries the legacy port with this table index:
// NodoPuerto of the profile for its own port, else /dev/parportN, /dev/ttySN.
std::string NodoDePuerto(int indice);

// A message text of the port layer (section "pg_port*" of the language
// file).
std::string TextoPuerto(int clave);

// --- Link state ----------------------------------------------------------------
// Descriptors of the programmer link (-1 = closed): hPuerto is the firmware
// programmer's serial port, opened and set up by the firmware link
// (AbreSerieFw); a pin-level port is held by the port I/O layer below and
// the native USB link keeps its own handles behind AbreUsbFirmware.
// PuertoAbiertoFlag is set while any link is open.
extern int hPuerto;
extern int hPuertoOut;
extern bool PuertoAbiertoFlag;

// Opens the programmer link. Pin-level links claim their port (ppdev for
// LPT, the tty for COM) and keep it until CierraPuerto; the firmware link
// opens its serial port through AbreSerieFw, native USB through
// AbreUsbFirmware. With mostrarErrores a failure shows "37*" with the device
// node, the reason and the fix.
bool AbrePuerto(uint16_t addrB, bool usbCom, const std::string& addrUsbCom,
                const std::string& addrUsb, bool usb, bool mostrarErrores);
void CierraPuerto(bool usb);
bool PuertoAbierto();
// The links that can be chosen: pin-level serial ports (COM1-COM3 present or
// busy), firmware serial ports (every tty present or busy, by device node),
// or the native USB instances ("Ind.#n").
void ListaPuertos(std::vector<std::string>& lista, bool firmware, bool usb);

// --- Hooks of the native USB link ------------------------------------------------
// Installed by the USB transport. AbreUsbFirmware opens instance n of the
// profile's VID/PID (false when not found); unset, native USB is unavailable.
extern std::function<bool(int instancia)> AbreUsbFirmware;
extern std::function<void()> CierraUsbFirmware;
extern std::function<std::vector<std::string>()> ListaUsbFirmware;
// Why the last AbreUsbFirmware failed, for the message ("" when unknown).
extern std::function<std::string()> MotivoFalloUsbFirmware;

// --- Port I/O ----------------------------------------------------------------------
// One byte at a legacy I/O address. Only addresses of the table's ports are
// served: any other address is refused before anything is touched.
class TPuertoES {
public:
  virtual ~TPuertoES() = default;
  virtual bool Lee(uint16_t direccion, uint8_t& valor) = 0;
  virtual bool Escribe(uint16_t direccion, uint8_t valor) = 0;
};

// Installs the port I/O for every address (tests: the simulated port);
// nullptr restores the machine's ports. Returns the previous one.
TPuertoES* PonPuertoES(TPuertoES* puerto);

// Value of a read that could not take place (refused address, port
// unavailable): all lines high, as an unconnected TTL input reads.
constexpr uint8_t LecturaFallida = 0xFF;
uint8_t LeePuertoES(uint16_t puerto);
bool EscribePuertoES(uint16_t puerto, uint8_t valor);
// Makes sure the port with this base address can be driven (claims it on
// the machine if needed). False with a message in `error` otherwise.
bool AseguraAccesoPuerto(uint16_t base, std::string& error);
// Releases every machine port the port I/O holds (and forgets its failures).
void LiberaPuertosES();
// Message of the last port failure since the link was opened or the last
// call ("" when none); taking it clears it.
std::string UltimoErrorPuerto();
