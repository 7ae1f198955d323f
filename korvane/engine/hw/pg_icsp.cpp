#include "pg_icsp.h"

#include "pg_port.h"
#include "pg_time.h"

// Weak, so that the family engines' unit may own it.
[[gnu::weak]] uint16_t RetardoPgm = 0;

namespace {

void MedioBit() { EsperaUs(MedioBitUs); }

// After a programming write the part discharges its high voltage with the
// clock low (P10: 5 us on the older PIC18 families, 100 us on the newer);
// a clock edge before that can be lost.
constexpr uint16_t DescargaUs = 100;
// A 12/14-bit command and the data or command after it stand at least 1 us
// apart, from the last falling clock edge to the next rising one (Tdly1,
// Tdly2); the port's own access time is no such guarantee.
constexpr uint16_t SeparacionTramaUs = 1;
// A PIC18 command and its operand, and an operand and the next command, stand
// at least 40 ns apart (P5, P5A), which also holds the last bit of each past
// its latching edge (P4) when the next step moves the data line first.
constexpr uint64_t SeparacionPic18Ns = 40;

void EnviaBits(uint32_t valor, int n) {
  for (int i = 0; i < n; ++i) EnviaBit(static_cast<uint16_t>((valor >> i) & 1));
}

// MOVLW byte, then the instruction that stores W.
void CargaRegistro(uint8_t byte, uint16_t instruccion) {
  EnviaComando4(0);
  EnviaDato16(static_cast<uint16_t>(0x0E00 | byte));
  EnviaComando4(0);
  EnviaDato16(instruccion);
}

}  // namespace

void EnviaBit(uint16_t bit) {
  ClockAlto();
  MedioBit();
  bit ? DatoAlto() : DatoBajo();
  MedioBit();
  ClockBajo();
}

uint8_t LeeBit() {
  DatoBajo();
  MedioBit();
  ClockAlto();
  MedioBit();
  ClockBajo();
  DatoAlto();
  MedioBit();
  return LeeDato();
}

void EnviaComando6(uint8_t comando) {
  EnviaBits(comando, 6);
  EsperaUs(SeparacionTramaUs);
}

void EnviaDato14(uint16_t dato) {
  EnviaBit(0);
  EnviaBits(dato, 14);
  EnviaBit(0);
  EsperaUs(SeparacionTramaUs);
}

uint16_t LeeDato14() {
  LeeBit();
  uint16_t dato = 0;
  for (int i = 0; i < 14; ++i) dato |= static_cast<uint16_t>(LeeBit() << i);
  LeeBit();
  EsperaUs(SeparacionTramaUs);
  return dato;
}

void EnviaComando4(uint8_t comando) {
  EnviaBits(comando, 4);
  EsperaNs(SeparacionPic18Ns);
}
void EnviaDato16(uint16_t dato) {
  EnviaBits(dato, 16);
  EsperaNs(SeparacionPic18Ns);
}

uint16_t LeeTablat() {
  uint16_t v = 0;
  for (int i = 0; i < 16; ++i) v |= static_cast<uint16_t>(LeeBit() << i);
  return v;
}

uint16_t LeeTabla2() {
  EnviaComando4(9);
  const uint16_t primero = LeeTablat();
  EnviaComando4(9);
  const uint16_t segundo = LeeTablat();
  return static_cast<uint16_t>((segundo & 0xFF00) | (primero >> 8));
}

void PonTblptr(uint32_t direccion) {
  CargaRegistro(static_cast<uint8_t>(direccion >> 16), 0x6EF8);
  CargaRegistro(static_cast<uint8_t>(direccion >> 8), 0x6EF7);
  CargaRegistro(static_cast<uint8_t>(direccion), 0x6EF6);
}

void ProgramaNop(uint16_t dato) {
  EnviaComando4(15);
  EnviaDato16(dato);
  DatoBajo();
  for (int i = 0; i < 3; ++i) {
    ClockAlto();
    MedioBit();
    ClockBajo();
    MedioBit();
  }
  ClockAlto();
  MedioBit();
  EsperaMs(RetardoPgm);
  ClockBajo();
  MedioBit();
  EsperaUs(DescargaUs);
  ClockAlto();
  MedioBit();
  EnviaDato16(0);
  ClockBajo();
}
