// 24C01-24C512 serial EEPROMs (device class 2): read, verify and program.
//
// On a pin-level programmer the host drives the I2C bus itself: the
// data-out line is SDA, the clock line SCL, and SDA is read back on the
// data-in line. On the firmware programmer the commands "A" (read) and "B"
// (write) do the bus work. The image lives in the program cells of the
// buffer sets, one EEPROM byte in the low byte of each cell.
#pragma once

#include <cstdint>

// ---- State of the running operation ----
// 1 when the last byte sent was acknowledged.
extern uint8_t AckI2C;
// Set by a page write whose read-back found a difference.
extern uint8_t ErrorI2C;
// Page size of the selected part, in bytes.
extern uint16_t PaginaI2C;

// ---- The selected part (ListEeprom index, IndiceListEeprom) ----
// Page size the engine writes: 8 up to 24C08, 16 for 24C16, 32 for 24C32
// and 24C64, 64 above (never larger than the part's own page buffer).
uint16_t PaginaDeEeprom(uint8_t indice);
// Parts from 24C32 up take two address bytes.
bool DosBytesDireccion(uint8_t indice);
// Write control byte of an address on a part with one address byte:
// address bits 8-10 travel in bits 1-3 (the block selects).
uint8_t ControlI2C8(uint32_t direccion);

// ---- Bus primitives (pin level; every pin step waits MedioBitUs) ----
void ReposoI2C();
void SdaBajo();
void SdaAlto();
void SclBajo();
void SclAlto();
bool LeeSda();
void StartI2C();
void StopI2C();
void EnviaUnoI2C();   // also the NACK of a read
void EnviaCeroI2C();  // also the ACK of a read
uint8_t LeeBitI2C();
// 8 bits, most significant first, then the acknowledge clock; sets AckI2C.
void EnviaByteI2C(uint8_t b);
uint8_t LeeByteAckI2C();
uint8_t LeeByteNackI2C();

// ---- Operations; 0 = done, else the code already reported ----
// Reads cells 0..ProgFin into BufDispositivo.
uint8_t LeeI2C();
// LeeI2C, then compares the part (BufDispositivo) with BufArchivo.
uint8_t VerificaI2C();
// Writes BufDispositivo's program cells page by page.
uint8_t ProgramaI2C();
// One page write and its read-back check at `inicio`, with one or two
// address bytes (pin level). True when it succeeded; false with ErrorI2C
// set after a difference (error 11 reported), else when the part did not
// acknowledge (nothing reported).
bool EscribePaginaI2C8(uint32_t inicio);
bool EscribePaginaI2C16(uint32_t inicio);
