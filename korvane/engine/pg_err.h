// Error context and numbered error messages shared by every engine unit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct TContextoError {
  uint32_t Direccion = 0;  // address of the failing cell
  uint16_t Esperado = 0;   // value expected (written, or from the file image)
  uint16_t Leido = 0;      // value read back
  uint32_t Codigo = 0;     // last code passed to MuestraError
  uint16_t LineaHex = 0;   // line counter of the HEX reader and writer
  uint16_t Caracter = 0;   // current character, byte or word of the HEX text I/O
};

extern TContextoError ContextoError;

// Error codes raised by the program, with the keys of section "pg_err*"
// their messages read. Every message but the cancel's starts with "11*";
// every report but the cancel's logs "18*".
enum TCodigoError : uint32_t {
  ErrHardware = 2,         // programmer hardware not answering as expected: "6*"
  ErrHexDigito = 3,        // invalid hex digit in a HEX file: "7*", "8*"
  ErrHexFin = 4,           // unexpected end of a HEX file: "7*", "9*"
  ErrHexLinea = 6,         // malformed HEX line: "7*", "10*"
  ErrHexDireccion = 9,     // HEX address outside every memory area: "7*", "12*"
  ErrEscritura = 11,       // write check failed: "13*", "15*", "17*"
  ErrVerificacion = 16,    // verify failed: "14*", "16*", "17*"
  ErrIndice = 17,          // device list index outside the catalogue: "22*"
  ErrHexChecksum = 19,     // HEX record checksum wrong: "7*", "25*"
  ErrCancelado = 22,       // cancelled by the user: "26*"
  ErrBorrado = 24,         // erase check failed: "28*"
  ErrProgramador = 25,     // programmer reported an error: "29*"
  ErrChecksumEnlace = 27,  // firmware-link checksum wrong: "30*"
  ErrSinRespuesta = 28,    // firmware programmer not answering: "23*"
  // File-system failures: the file routines show the message themselves
  // (key, file name and the system's reason); MuestraError only logs them.
  ErrArchivoLectura = 52,    // a file cannot be opened or read: "52*"
  ErrArchivoEscritura = 53,  // a file cannot be created or written: "53*"
};

// Name of the file being read or written, for the HEX messages.
extern std::string ArchivoActual;

// Line break inside a message box text (the carriage return of the
// original message layouts).
inline constexpr const char* SaltoMensaje = "\n";

// Reports an error: message box, log line, message pump. Returns the code.
uint32_t MuestraError(TContextoError& contexto, uint32_t codigo);
// The dsPIC form of codes 11 and 16, with 24-bit addresses and data.
void MuestraError24(uint8_t codigo, uint32_t direccion, uint32_t esperado, uint32_t leido);

// Text of a key of section "pg_err*" as the messages use it.
std::string TextoError(const std::string& clave);

// Where the message texts come from: TextoIdioma("pg_err*", key) unless a
// lookup is installed here (tests). An empty function restores the default.
// Returns the lookup in use before.
using TBuscaTextoError = std::function<std::string(const std::string& clave)>;
TBuscaTextoError PonBuscaTextoError(TBuscaTextoError busca);
