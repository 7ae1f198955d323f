// The memories of a simulated PIC18 flash part, shared by the ICSP model
// (pic18_sim.h) and the firmware programmer's socket (pic18_fw.h).
//
// Byte-addressed as the table pointer sees them:
//   0x000000..      program flash (bits go 1 -> 0 only until an erase)
//   0x200000-07     ID locations (flash, same rule)
//   0x300000-0D     configuration bytes CONFIG1L..CONFIG7H: each write
//                   replaces the byte; unimplemented bits read 0
//   0x3FFFFE/F      DEVID1 (DEV2:0 in bits 7:5, REV in 4:0) / DEVID2
//   data EEPROM     its own byte array (EEADRH:EEADR), written whole
// Everything else reads 0.
//
// Code protection (CONFIG5L CP0-CP3 for code blocks 0-3, CONFIG5H CPB for
// the boot block and CPD for the data EEPROM, each protecting when 0): a
// protected block reads 0 and ignores writes, and a protection bit once
// programmed to 0 comes back to 1 only with the erase that clears the
// configuration.
//
// Two bulk-erase schemes, by family:
//   - the 18F242/252/442/452 class: one register at 0x3C0004, 0x80 erases
//     the whole chip, 0x81 the data EEPROM, 0x83 the boot block, 0x88-0x8F
//     code blocks 1-8;
//   - the 18F2455/2550/4455/4550 class (and the other newer parts): two
//     registers 0x3C0005:0x3C0004 whose bits each select what goes: bits
//     8-13 code blocks 0-5, bit 0 the boot block (with the ID locations),
//     bit 1 the configuration, bit 2 the data EEPROM; bit 7 must be set.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TModeloPic18 {
  std::string Nombre;
  uint16_t IdDispositivo = 0;     // DEVID2:DEVID1 with revision bits
  uint32_t BytesProg = 0;
  uint16_t BytesEe = 0;
  uint8_t BufferEscritura = 8;    // bytes of the write holding registers
  uint32_t BytesBoot = 0x200;     // boot block
  uint32_t BytesBloque = 0x2000;  // one code block
  bool Nuevo = false;             // the newer family (two erase registers, no unlock...)
  // Implemented bits of CONFIG1L..CONFIG7H (also their erased value).
  std::array<uint8_t, 14> MascaraConfig{};
  // Programming times of the part.
  uint64_t P9Ns = 1'000'000;        // held clock of a programming write
  uint64_t P10Ns = 0;               // clock low after it (not checked when 0)
  uint64_t P11Ns = 10'000'000;      // bulk erase
  uint64_t EscrituraEeNs = 4'000'000;  // data EEPROM write
};

// The two parts the tests use: a 18F452 (32 KB, 256 B EEPROM, 8-byte write
// buffer, unlock needed for EEPROM writes) and a 18F4550 (32 KB, 256 B
// EEPROM, 32-byte write buffer, no unlock, a NOP before TABLAT shift-outs).
TModeloPic18 Modelo18F452();
TModeloPic18 Modelo18F4550();
// A newer part with 64 KB of flash, 16 KB code blocks and 1024 bytes of
// data EEPROM (EEADRH in use): the 18F4620.
TModeloPic18 Modelo18F4620();

class TMemoriaPic18 {
public:
  explicit TMemoriaPic18(const TModeloPic18& modelo);

  const TModeloPic18& Modelo() const { return modelo_; }

  // What a table read at the address returns.
  uint8_t LeeTabla(uint32_t direccion) const;
  // Programs bytes into flash (program memory or ID locations): AND with
  // what is there. False (nothing written) for an address outside them.
  bool ProgramaFlash(uint32_t direccion, uint8_t valor);
  // Writes one configuration byte (0x300000-0x30000D); false outside.
  bool EscribeConfig(uint32_t direccion, uint8_t valor);
  // Bulk erase with the value of the erase register(s) (0x3C0005:0x3C0004
  // on the newer parts, 0x3C0004 alone on the older). False for a value the
  // part does not know (nothing is erased).
  bool Borra(uint16_t codigo);
  // Code protection of the flash byte at the address / of the data EEPROM.
  bool Protegido(uint32_t direccion) const;
  bool EeProtegida() const;
  // A data EEPROM byte as the part gives it (0 when protected, 0 outside),
  // and a data EEPROM write (ignored when protected or outside).
  uint8_t LeeEe(uint32_t direccion) const;
  void EscribeEe(uint32_t direccion, uint8_t valor);

  std::vector<uint8_t> Prog;      // program flash
  std::array<uint8_t, 8> Id{};
  std::array<uint8_t, 14> Config{};
  std::vector<uint8_t> Ee;

  // 16-bit words as the engine's buffers hold them (low byte at the even
  // address), for the tests.
  uint16_t PalabraProg(uint32_t indice) const;
  void PonPalabraProg(uint32_t indice, uint16_t valor);
  uint16_t PalabraConfig(uint32_t indice) const;
  uint16_t PalabraId(uint32_t indice) const;

  // Saves / loads every cell as "address value" lines.
  bool Guarda(const std::string& ruta) const;
  bool Carga(const std::string& ruta);

private:
  void BorraBloque(uint32_t desde, uint32_t hasta);
  void BorraConfig();
  TModeloPic18 modelo_;
};
