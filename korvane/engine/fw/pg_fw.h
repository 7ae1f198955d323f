// The firmware programmer's packet protocol on its serial link.
//
// The host sends 8-byte commands: byte 0 '>', byte 1 the command letter,
// bytes 2-7 its arguments (table below). Memory comes back as a block read
// (two bytes a word, low byte first, then the XOR of all data bytes) and
// goes out as a block write: groups of 4 words, each a data packet (the 8
// data bytes) and an address packet (group number, running XOR), closed by
// a repeated data packet and a closing packet with byte 3 = 1. While a
// block write runs the board answers with one reply byte at a time: 1
// verify error (7 bytes follow: address, expected, read), 200 programmer
// error (3 bytes: address), 255 checksum error (1 byte), anything else
// progress.
//
// Command letters (count = 16 bits low first in bytes 2-3, Z2 = second
// socket flag, 24-bit addresses high byte first):
//   '0' identify -> "Ok" + 4 version characters
//   '1' read 14-bit area: count; start - ID start; Z2; read cmd 4/5; load-config first
//   '2' read PIC18 EEPROM: count; newer-PIC18 flag; 0; 0; Z2
//   '3' read PIC18 area: count; a23-16; a15-8; a7-0; Z2
//   '4' 14-bit device ID, '5' PIC18 device ID, 'C' dsPIC ID: byte 5 = Z2 -> low, high, low^high
//   '6' program 14-bit area: count; start - ID start; flags; read cmd; RetardoPgm
//       then a second packet (blank low, blank high, count low), then the block write
//   '7' program PIC18 area: count; a23-16; kind; Z2 (^2 newer PIC18); RetardoPgm
//   '8' bulk erase: type, keep-cal; 8/9; ProgFin >> 8; TipoAccion; Z2
//   'A' I2C read: last address; two-byte address; 0; 0; Z2 -> ack byte, block read
//   'B' I2C write: last address; page size; 10; one-byte address; Z2
//   'E'/'F'/'G' dsPIC reads (program/executive, EEPROM, configuration)
//   'H' dsPIC bulk erase -> 14 configuration bytes and their XOR
//   'I'/'J'/'K' dsPIC writes (program/executive, EEPROM, configuration) -> frames
//   'L' read 12-bit area: count; ID start >> 8; Z2; 0; mode
//   'M' program 12-bit area: count; mode; Z2; start low; start high
//   'Y' pin test: pin byte, 0; 0; 0; 0; box state -> 2 bytes
//   'Z' stop
//
// The routines return "failed" (true) after any error, which has then been
// shown through MuestraError, and after a cancel (error 22). Every caller
// clears SumaXor and calls ResetProgramador before building a command.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t TamPaqueteFw = 255;

// The send buffer: commands, data and address packets, dsPIC frames.
extern uint8_t TPaquete[TamPaqueteFw];
// The receive buffer; every read stores from byte 0.
extern uint8_t BufferRx[TamPaqueteFw];
// Running XOR of a block write.
extern uint8_t SumaXor;
// The programming delay of the running operation (ms); set by the families.
extern uint16_t RetardoPgm;

// Reply codes of a block write.
constexpr uint8_t RespErrorVerificacion = 1;
constexpr uint8_t RespErrorProgramador = 200;
constexpr uint8_t RespErrorChecksum = 255;

// Area kinds of the dsPIC frames.
constexpr uint8_t Area24Programa = 0;
constexpr uint8_t Area24Datos = 1;
constexpr uint8_t Area24Ejecutivo = 3;
constexpr uint8_t Area24Config = 4;

// Discards everything received and not yet sent.
void PurgaCom();
// Pulses the board's reset (RTS high 5 ms, then low 5 ms) and purges.
void ResetProgramador();
// Writes the first n bytes of TPaquete; true when all n went out.
bool EnviaPaquete(std::size_t n);
// Reads n bytes into BufferRx; fewer (time-out, link gone): error 28, false.
// n is clamped to the buffer.
bool LeeRespuesta(std::size_t n);

// Sends the command in TPaquete and reads last - first + 1 words into
// buffer[0..], checking the closing XOR (error 27).
bool LeeBloque(uint16_t* buffer, uint32_t first, uint32_t last);
// Writes buffer[0..last - first] after the command the caller has sent.
// Groups whose 4 words all equal `blank` are skipped (not for I2C devices).
// sinEspera drops the per-packet wait of RetardoPgm x 4 ms.
bool ProgramaBloque(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blank,
                    bool sinEspera);
// Sends the dsPIC frame in TPaquete for the area kind (0, 1, 3, 4) as 8-byte
// chunks plus the last address byte, after computing its XOR in byte 1.
bool EnviaTrama24(uint8_t tipoArea);
// Sends the command in TPaquete, then rows + 1 rows from buffer starting at
// the dsPIC address `direccion` (program/executive rows of 32 instructions,
// EEPROM rows of 16 words, one configuration row of 7 registers).
bool ProgramaBloque24(const uint16_t* buffer, uint32_t direccion, uint32_t filas, uint8_t tipoArea);

// " v - " + the 4 version characters of the last "0" reply, on the firmware
// link (USB_COM); "" otherwise.
std::string DaVersionFirmware();

// The firmware side of the hardware check: ResetProgramador, the identify
// packet ">0", the 6-byte reply ("Ok" and 4 version characters when the
// board is there). 0 with the reply in `respuesta` (and BufferRx), else the
// error already reported (28: not sent or no reply). Judging the reply
// ("Ok" or error 2) is the hardware check's business. The link installs
// this and DaVersionFirmware as the hardware check's hooks when it opens.
uint8_t IdentificaProgramadorFw(std::array<uint8_t, 6>& respuesta);

// A cancel in mid-transfer: the link is closed and opened again with the
// profile's values (errors shown), the board reset, error 22 reported.
// Returns true (failed).
bool CancelaTransferenciaFw();

// The native-USB forms of the entry points, installed by the USB link.
// While the profile flag USB_ is set, EnviaPaquete, LeeRespuesta,
// LeeBloque, ProgramaBloque and ProgramaBloque24 hand their call, with the
// same arguments, to the variant installed here and return its result;
// PurgaCom and ResetProgramador do nothing (the board has no reset line on
// USB). Without a variant installed the call fails with error 28.
class TVarianteUsbFw {
public:
  virtual ~TVarianteUsbFw() = default;
  virtual bool EnviaPaquete(std::size_t n) = 0;
  virtual bool LeeRespuesta(std::size_t n) = 0;
  virtual bool LeeBloque(uint16_t* buffer, uint32_t first, uint32_t last) = 0;
  virtual bool ProgramaBloque(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blank,
                              bool sinEspera) = 0;
  virtual bool ProgramaBloque24(const uint16_t* buffer, uint32_t direccion, uint32_t filas,
                                uint8_t tipoArea) = 0;
};
// Installs the USB variant (nullptr: none). Returns the previous one.
TVarianteUsbFw* PonVarianteUsbFw(TVarianteUsbFw* variante);

// Gauge of the operation window while a transfer runs: the caller sets
// the maximum and the position; the transfers advance the position.
struct TProgresoFw {
  uint32_t Posicion = 0;
  uint32_t Maximo = 0;
};
extern TProgresoFw ProgresoFw;
void AvanzaProgresoFw(uint32_t n);
