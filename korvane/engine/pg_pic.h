// The selected device's record, the catalogue and the two memory images.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TPic {
  std::string Nombre;
  uint8_t Familia = 0;     // 10, 16, 18, 24 (serial EEPROM) or 30
  uint8_t TiempoPgm = 0;   // programming delay in ms
  int32_t ProgIni = 0;
  uint32_t ProgFin = 0;
  uint32_t ProgTam = 0;
  uint16_t ProgMask = 0;   // bits of a program cell; also the blank value
  int32_t CfgIni = 0, CfgFin = 0;
  uint32_t CfgNum = 0;
  uint16_t CfgMask = 0;
  int32_t IdIni = 0, IdFin = 0;
  uint16_t IdNum = 0;
  uint16_t IdMask = 0;
  int32_t EeIni = 0, EeFin = 0;
  uint16_t EeTam = 0;
  uint16_t EeMask = 0;
  uint16_t ExecTam = 0;
  int32_t ExecIni = 0, ExecFin = 0;
};

constexpr std::size_t TamProg = 100001;
constexpr std::size_t TamDatos = 8192;
constexpr std::size_t TamConfig = 33;
constexpr std::size_t TamId = 8;
constexpr std::size_t TamExec = 1473;

// One memory image; every cell is a 16-bit word. A dsPIC instruction takes
// two cells: the low 16 bits, then the upper 8 bits in the next cell.
struct TBuffers {
  std::array<uint16_t, TamProg> Prog{};
  std::array<uint16_t, TamDatos> Datos{};
  std::array<uint16_t, TamConfig> Config{};
  std::array<uint16_t, TamId> Id{};
  std::array<uint16_t, TamExec> Exec{};
};

extern TPic PicActual;
extern TBuffers BufDispositivo;  // what a read fills and programming writes
extern TBuffers BufArchivo;      // what files load and save, and verify expects
