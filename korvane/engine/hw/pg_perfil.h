// Hardware profiles: which port bit carries which programming line, and
// which programmer link is in use.
//
// The pin configuration and the link variables are program-wide: the pin
// driver, the link opener and the firmware link read them; the profile
// loader and the profile editor write them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// --- Pin configuration (TPines) ---------------------------------------------
extern bool Usa_Vdd;   // the adapter switches the target's Vdd
extern bool Usa_Vpp2;  // a second Vpp line (second socket)
extern bool Usa_Mclr;  // an MCLR line separate from Vpp
extern uint16_t AddrB;    // base address of the port; also encodes the link kind
extern uint16_t AddrD;    // data out
extern uint16_t AddrC;    // clock
extern uint16_t AddrM;    // MCLR
extern uint16_t AddrS;    // data in
extern uint16_t AddrV;    // Vpp
extern uint16_t AddrV2;   // second Vpp
extern uint16_t AddrVdd;  // Vdd
extern uint8_t Bit_Data, Bit_Clock, Bit_Vpp, Bit_Vpp2, Bit_Read, Bit_Mclr, Bit_Vdd;
extern bool Inv_Data, Inv_Clock, Inv_Vpp, Inv_Vpp2, Inv_Read, Inv_Mclr, Inv_Vdd;
// Levels left on the lines after an operation (MCLR set = target held in reset).
extern bool DEF_BIT_DATA, DEF_BIT_CLOCK, DEF_BIT_VPP, DEF_BIT_VPP2, DEF_BIT_MCLR, DEF_BIT_VDD;

// --- Link variables ------------------------------------------------------------
extern bool USB_COM;               // firmware programmer (packet protocol)
extern bool USB_;                  // ... on native USB (with USB_COM)
extern std::string ADDR_USB_COM;   // serial port of the firmware programmer ("COM1", "/dev/ttyACM0")
extern std::string ADDR_USB_;      // USB instance, "Ind.#" + digit
extern std::string VidPid;         // "vid_04d8&pid_52" + the profile's two "pid" characters
extern std::string PerfilHardware; // name of the loaded profile, empty when none
extern std::string DirAplicacion;  // program folder, with a trailing '/' (set at start-up)
// Device node of the pin-level port of this profile, when it is not the usual
// one (/dev/parportN for LPTn+1, /dev/ttySN for COMn+1): a USB-serial adapter
// such as /dev/ttyUSB0, or a PCI parallel card. Empty = the usual node.
extern std::string NodoPuerto;

enum class TTipoEnlace : uint8_t { teLPT, teCOM, teUSB232, teUSB };

// The link kind follows from AddrB and the two flags. An AddrB outside the
// port table counts as a COM link, as its port index is 0.
TTipoEnlace TipoEnlace();

// The pin configuration and link variables of a profile file without keys:
// an adapter on the port at addrB with every line in its base register
// (data bit 0, clock 1, Vpp 2, Vdd 3, second Vpp 4, MCLR 5), data in on
// status bit 7 (BUSY), every line inverted, Vdd switched, no second Vpp,
// no MCLR line, end levels 0.
void PonPinesPorDefecto(uint16_t addrB = 0x378);

// --- Profile files -------------------------------------------------------------
// Profiles are the ini files "Hardware/<name>.prf" of the program folder,
// read and written through the settings store (so an installed, read-only
// program folder gets the user's copies in the configuration folder, and
// those win). A name is trimmed of blanks and of a ".prf" extension; one
// that would leave the folder ('/', '\\', "..") or is empty is no name.

// "Hardware/<name>.prf", relative to the program folder; "" for no name.
std::string RutaPerfil(const std::string& nombre);
// Reads a profile into the pin configuration and the link variables; every
// missing key takes its default. Returns false when the file does not exist
// (the defaults are then in place all the same).
bool LeePerfilHardware(const std::string& nombre);
// The path of the profile's file when it exists but holds no key of a
// profile (another kind of file, random bytes): read, it gives only the
// defaults. Empty otherwise.
std::string PerfilSinAjustes(const std::string& nombre);
// Writes the pin configuration and the link variables (a firmware link
// always switches Vdd and MCLR). Nothing without a name. False when the
// file could not be written.
bool GuardaPerfilHardware(const std::string& nombre);
// Names of the profiles, sorted.
std::vector<std::string> ListaPerfilesHardware();
// Removes a profile file; false when it could not be removed.
bool BorraPerfilHardware(const std::string& nombre);

// The settings helpers the profile format depends on.
inline bool inttoBool(int v) { return v != 0; }
inline int booltoInt(bool b) { return b ? 1 : 0; }
