// The pin driver of the pin-level programmer: each programming line is one
// bit of one port register, set through the loaded profile (TPines,
// pg_perfil.h); the data returned by the target is one bit of a status
// register. Also the idle and end levels, programming-mode entry and exit,
// and the hardware check run before every operation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "pg_pic.h"

// Last values written to the port registers (the registers are written
// whole and never read back): SombraBase for the register at AddrB,
// SombraOtro for every line at another address.
extern uint8_t SombraBase;
extern uint8_t SombraOtro;
// Shadow of each output line, in the order Data, Clock, Vpp, Vpp2, Vdd,
// Mclr; aimed by PinesReposo (before that, at SombraBase).
extern std::array<uint8_t*, 6> SombraPin;
// Half-bit delay of the clocked primitives in microseconds, set by
// CompruebaHardware: 4 on a COM link, else 1.
extern uint8_t MedioBitUs;
// Enter programming mode with Vdd off first and on after Vpp.
extern bool VppAntesVdd;

// State of the running operation that the pin driver reads: Zocalo2 and
// ClaseDispositivo come with the device record (pg_pic.h); the action code
// and the result belong to the operation runner, declared here so that the
// link does not depend on the window.
extern uint32_t TipoAccion;        // 0 program, 1 read, 2 verify, 3 erase, 7 identify, 8 hardware test
extern uint8_t ResultadoAccion;    // result of the last operation

// Colour of the operation window's Vdd indicator (RGB); set by the window.
extern std::function<void(uint32_t rgb)> IndicadorVdd;
constexpr uint32_t ColorVddOn = 0x00FF00;   // lime
constexpr uint32_t ColorVddOff = 0x008000;  // green

void EscribePort(uint16_t direccion, uint8_t sombra);
// The data-in line: 0 or 1 (the bit of Bit_Read at AddrS, inverted with Inv_Read).
uint8_t LeeDato();

// What LeeDato has read since it was last cleared: how many reads, and
// whether the line ever moved. A dead port (an adapter unplugged, a cable
// off) or an empty socket reads the same bit every time.
struct TMuestraDato {
  uint32_t Lecturas = 0;
  uint8_t Primero = 0;
  bool Cambio = false;
};
extern TMuestraDato MuestraDato;

void DatoAlto();
void DatoBajo();
void ClockAlto();
void ClockBajo();
void VppOn();
void VppOff();
void Vpp2On();
void Vpp2Off();
void MclrReposo();  // MCLR released (logical 1)
void MclrActivo();  // target held in reset (logical 0)
void VddOn();
void VddOff();

void PinesReposo();
void PonPines_END();
void EntraProgramacion();
void SaleProgramacion();

// Loop-back test of a pin-level adapter; true when it failed (error 2 reported).
bool TestLazo();
// Hardware check before an operation; true when the hardware may be used.
bool CompruebaHardware();

// The firmware programmer's side of the hardware check, installed by the
// firmware link: ResetProgramador, the identify packet, the 6-byte reply.
// Returns 0 with the reply, or the error code it has already reported.
extern std::function<uint8_t(std::array<uint8_t, 6>& respuesta)> IdentificaFirmware;
// " v - " and the four version characters (DaVersionFirmware).
extern std::function<std::string()> VersionFirmware;

// Checks a pin-level profile before any line is driven: the base address
// is a port of the table, every line used lies in that port's registers
// (an output never on bits 4-7 of the LPT control register, which reach no
// pin), and every mask used is a single bit. False with the reason in
// `error`.
bool ValidaPines(std::string& error);
// ValidaPines with the failure shown and logged ("37*", the port, the
// reason); true when the profile may drive its lines. A serial port that
// is a USB-serial adapter (ttyUSB, ttyACM) is warned about once per port
// and program run: its modem inputs arrive late.
bool PerfilPinesValido();
// Whether a serial device node is a USB-serial adapter (links followed).
bool EsAdaptadorUsbSerie(const std::string& nodo);
