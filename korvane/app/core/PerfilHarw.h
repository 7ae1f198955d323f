// What the hardware profile editor computes, without its window: the bit
// names of each register, the line addresses a link kind implies, the pin
// byte of the firmware programmer's pin test, the read-back of the lines
// into the editor's LEDs and the check of a typed profile name.
//
// Everything works on the program-wide pin configuration and link variables
// (hw/pg_perfil.h), as the editor edits them live.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The registers a line can sit in, each with its bit names.
enum class TRegistroPerfil : uint8_t { LptDatos, LptControl, LptEstado, ComModem, ComLinea, ComEstado };
// Item k is bit k; "-" marks a bit that carries no line.
const std::array<const char*, 8>& NombresBits(TRegistroPerfil registro);

// The output lines, in the editor's order, and the data-in line.
enum TLineaPerfil : uint8_t { lpData, lpClock, lpVpp, lpVpp2, lpVdd, lpMclr, lpDataIn, NumLineasPerfil };

// Address and mask variables of a line.
uint16_t& DireccionLinea(TLineaPerfil linea);
uint8_t& MascaraLinea(TLineaPerfil linea);
bool& InversionLinea(TLineaPerfil linea);

// LPT register of an output line: choice 0 the data register (AddrB), 1 the
// control register (AddrB + 2); and back from the line's address.
uint16_t DaAddr_MAS(int eleccion);
int EleccionDeLinea(TLineaPerfil linea);
// The register a line's bit list names on the current link.
TRegistroPerfil RegistroDeLinea(TLineaPerfil linea);
// The register offset text of a line ("+0", "+2", "+4", ...).
std::string TextoDesplazamiento(TLineaPerfil linea);

// The line addresses of a pin-level link on AddrB: on a COM port the modem
// control, line control and modem status registers; on LPT each output line
// by its choice, data in on the status register. Masks, inversions and end
// levels stay as they are.
void PonDireccionesEnlace(const std::array<int, 6>& eleccionesLpt);

// The test boxes of the editor (ticked = logical 1; MCLR ticked = reset).
struct TPruebas {
  bool Data = false, Clock = false, Vpp = false, Vpp2 = false, Vdd = false, Mclr = false;
};
// The pin byte of the firmware pin test "Y": from 0x3F, a set bit means
// data high, clock high, Vdd off, Vpp off, second Vpp off, MCLR in reset.
uint8_t BytePinesFw(const TPruebas& p);

// An LED of the editor.
enum class TLed : uint8_t { Neutro, Encendido, Apagado, Panel };
using TLeds = std::array<TLed, NumLineasPerfil>;
// One line read back through the port: (byte AND mask) / mask, inverted
// when asked; a zero mask reads nothing and gives 0.
uint8_t LeePort(uint16_t direccion, uint8_t mascara, bool invertir);
// The LEDs from the lines of a pin-level link: an output line is lit when
// its register bit reads 0 on LPT (the port inverts) and 1 on COM; data in
// when its line reads 1. A line the adapter does not use takes the panel's
// colour.
TLeds LedsPines();
// The LEDs from the firmware programmer's answer to the pin test.
TLeds LedsFirmware(uint8_t estadoPines);

// A typed profile name (Save As), with any extension removed. False with the
// reason when it is empty or holds a path separator or a control character:
// it must name a file in the profile folder and nothing else.
bool NombrePerfilValido(const std::string& escrito, std::string& nombre, std::string& motivo);
