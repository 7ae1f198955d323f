// Intel HEX image files of the PIC and dsPIC families, and the HEX text
// routines the serial-EEPROM image files share with them.
//
// A HEX byte address is twice the device word address of a 16-bit cell;
// every cell takes two bytes in the file, low byte first (PIC18 and the
// serial EEPROMs address bytes directly).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- Loading and saving ----------------------------------------------------

// A PIC18 file's data EEPROM comes in two layouts: one byte per location
// from 0xF00000 (what compilers write, and what GuardaHex writes), or one
// location per two bytes, the data then 00 (what older saves of this
// program wrote; such files are still about). The reader tells them apart
// by the bytes: bytes past the device's locations, records of odd length
// or at odd addresses, or a non-zero second byte fit one layout only. A
// file that fits both and gives a different image in each (a compiler's
// table of 16-bit values below 256: 05 00 07 00) is ambiguous: it takes
// the layout the caller names, by default this program's own two-byte
// layout, and the load reports it (InformeCargaHex, and one log line
// naming the layout taken). A window asks the user and loads again with
// the answer; batch mode takes the default and says so.
enum class TDisposicionEeprom18 : uint8_t {
  DosBytes,  // one location per two bytes, data then 00
  UnByte,    // one byte per location
};

// What the last CargaHex or CargaHexTexto found beyond success or failure.
struct TInformeCargaHex {
  bool HayEeprom18 = false;     // the file held PIC18 data EEPROM bytes
  bool EepromAmbigua = false;   // ... that fit both layouts, with different images
  TDisposicionEeprom18 Disposicion = TDisposicionEeprom18::DosBytes;  // the layout taken
};
extern TInformeCargaHex InformeCargaHex;

// Loads a HEX file into BufArchivo with the address map of
// PicActual.Familia. 0 when the whole file was loaded; otherwise the error
// already reported, and BufArchivo is left blank (nothing of the file).
// `siAmbigua` is the layout an ambiguous PIC18 data EEPROM takes.
uint8_t CargaHex(const std::string& archivo,
                 TDisposicionEeprom18 siAmbigua = TDisposicionEeprom18::DosBytes);
// The same from the file's text already in memory.
uint8_t CargaHexTexto(std::string_view texto,
                      TDisposicionEeprom18 siAmbigua = TDisposicionEeprom18::DosBytes);

// Writes BufArchivo area by area (blank cells skipped). The old file is
// replaced only when the whole new one is on disk. 0 when saved.
uint8_t GuardaHex(const std::string& archivo);
// The text GuardaHex writes, left in ArchivoHex.Salida.
void GeneraHex();

// Whether the executive area holds data worth saving (the executive
// editor's DataNotBlank). The main window installs its editor's answer;
// without one, the executive cells of BufArchivo are looked at.
using TEjecutivoConDatos = std::function<bool()>;
TEjecutivoConDatos PonEjecutivoConDatos(TEjecutivoConDatos consulta);
bool EjecutivoConDatos();

// ---- Lines and records -----------------------------------------------------

// A record may carry as many bytes as its one-byte count says; tools with a
// record-length option write up to 255.
constexpr uint8_t MaxDatosLineaHex = 255;

enum TTipoRegistroHex : uint8_t {
  RegDatos = 0,
  RegFin = 1,
  RegSegmento = 2,        // extended segment address (bits 4-19)
  RegInicioSegmento = 3,  // start address: no data, ignored
  RegLineal = 4,          // extended linear address (bits 16-31)
  RegInicioLineal = 5,    // start address: no data, ignored
};

// One parsed line.
struct TLineaHex {
  uint8_t Valida = 0;     // 1 when the line was accepted
  uint8_t Extendida = 0;  // record type 4
  uint8_t Fin = 0;        // record type 1
  uint8_t Longitud = 0;   // data byte count
  int32_t Direccion = 0;  // the 16-bit load offset
  std::array<uint8_t, MaxDatosLineaHex> Datos{};
  uint8_t Tipo = 0;       // record type
};

// Parses one line (blanks around it and letter case do not matter). 0 when
// accepted; else error 6 (malformed) or 19 (checksum), already reported
// with ContextoError.LineaHex as the line number.
uint8_t AnalizaLineaHex(std::string_view texto, TLineaHex& linea);

// Receives every data record of a file in order, with its full byte
// address; returns 0 or the error it reported.
using TColocaRegistro = std::function<uint8_t(const TLineaHex& linea, uint64_t direccion)>;
// Walks a HEX text line by line (CR, LF or CR LF; blank lines skipped),
// keeping ContextoError.LineaHex at the 1-based number of the line in hand.
// Address records set the upper address; start-address records are
// ignored; lines after the end record are not read. 0 at the end record;
// else the error reported (a text without an end record is error 4).
uint8_t RecorreHex(std::string_view texto, const TColocaRegistro& coloca);

// sum + low byte + high byte, 16 bits (callers use the low 8).
uint16_t SumaCheck(uint16_t suma, uint16_t palabra);
// low <= value <= high.
inline bool EnRango(int64_t valor, int64_t bajo, int64_t alto) {
  return bajo <= valor && valor <= alto;
}

// ---- The shared text file --------------------------------------------------

// The text the character routines read from and write to. Readers point
// Entrada at the text in hand; writers collect Salida, which their opener
// puts on disk in one piece.
struct TArchivoHex {
  std::string_view Entrada;
  std::size_t Posicion = 0;
  std::string Salida;
};
extern TArchivoHex ArchivoHex;

// Character input; each leaves what it read in ContextoError.Caracter and
// returns 0, or the error it reported: end of text 4, bad digit 3, no ':' 6.
uint8_t LeeCaracterHex();  // the next character that is neither CR nor LF
uint8_t LeeDigitoHex();    // one hex digit, either case
uint8_t LeeByteHex();      // two digits, high nibble first
uint8_t LeeWordHex();      // two bytes, low byte first
uint8_t LeeInicioLinea();  // the ':' that starts a record

// Character output to ArchivoHex.Salida (upper-case hex).
void EscribeCaracter(char caracter);
void EscribeDigitoHex(uint8_t valor);   // the low nibble
void EscribeByteHex(uint8_t valor);     // high nibble, then low nibble
void EscribeWordHex(uint16_t valor);    // low byte, then high byte

// One record: ':', count, 16-bit address (high byte first), type, data,
// checksum, CR LF. Counts it in ContextoError.LineaHex.
void EscribeRegistroHex(uint8_t tipo, uint16_t direccion, std::span<const uint8_t> datos);
// An extended linear address record for the upper 16 address bits.
void EscribeExtendidaHex(uint16_t superior);
// The end record ":00000001FF", without a line end.
void EscribeFinHex();

// Writes `cuenta` cells from device word address `primera`: blank cells are
// skipped, and at a non-blank cell a record of up to 8 cells (blank or not)
// is written. With `extendida` an extended address record precedes the first
// record of each 64-KB segment past the first. Blank alternation A: 0xFFFF
// at even word addresses, 0x00FF at odd ones; B: 0xFFFF and 0x0000 (never
// both); the first cell always uses `blanco`. Returns 0.
uint8_t EscribeZonaHex(std::span<const uint16_t> celdas, uint32_t primera, uint32_t cuenta,
                       bool extendida, bool alternaB, bool alternaA, uint16_t blanco);
// Writes the low bytes of `cuenta` cells, one byte per address from
// `inicio`: cells whose low byte is `blanco` are skipped, at any other a
// record of up to 16 bytes is written. Returns 0.
uint8_t EscribeBytesHex(std::span<const uint16_t> celdas, uint32_t inicio, uint32_t cuenta,
                        uint8_t blanco);

// The records EscribeBytesHex writes: the first cell and the byte count of
// each.
struct TTramoHex {
  uint32_t Celda;
  uint32_t Cuenta;
};
std::vector<TTramoHex> TramosBytesHex(std::span<const uint16_t> celdas, uint32_t inicio, uint32_t cuenta,
                                      uint8_t blanco);
// Writes those records (at most 16 bytes each) from address `inicio`.
void EscribeTramosBytesHex(std::span<const uint16_t> celdas, uint32_t inicio, std::span<const TTramoHex> tramos);

// ---- Whole files -----------------------------------------------------------

// Reads a whole file. 0, or error ErrArchivoLectura already reported with
// the file name and the system's reason.
uint8_t LeeArchivoEntero(const std::string& archivo, std::string& contenido);
// Writes a whole file through a temporary file beside it, which replaces
// the old file only once everything is written. 0, or ErrArchivoEscritura
// already reported; the old file is then untouched.
uint8_t GuardaArchivoEntero(const std::string& archivo, std::string_view contenido);
