// The chip in the simulated firmware programmer's socket.
//
// The board (placa_fw.h) decodes the wire: command packets, block reads
// and writes with their checksums, dsPIC frames, reply codes. What the chip
// holds and how it takes a write is this interface's business, so that the
// family simulators can stand behind the board:
//
//  - fill or plug memories into TChipMemoriasFw (the default chip): five
//    pluggable areas, each a TMemoriaFw (TMemoriaPlanaFw is a ready one
//    with flash semantics); the board's commands run on them through the
//    address map below;
//  - or derive from TChipFw (or TChipMemoriasFw) and override the
//    operations whose mapping the family knows better (PIC18 byte
//    addresses, erase replies, calibration words...).
//
// Address map of TChipMemoriasFw (what the board's firmware does with a
// command's arguments; word k of the block is at the cell given):
//   '1' read / '6' write 14-bit: load-config flag (byte 7 of '1', flag 8 of
//       '6') -> Config, cell (byte 4) + k, where Config is the configuration
//       space counted from the ID start (0x2000 -> cell 0); else read
//       command 5 -> Datos, other -> Programa, cell k. count + 1 words.
//   '2' PIC18 EEPROM read -> Datos, cell k; count + 1 words.
//   '3' PIC18 read / '7' PIC18 write: 24-bit address a (bytes 4-6 of '3';
//       byte 4 = bits 16-23 of '7'): a >= 0x300000 Config, a >= 0x200000 Id,
//       else Programa, cell (a - area base) + k; count + 1 words ('7':
//       count x 4 + 1 words).
//   'A' read / 'B' write I2C -> Programa, cell k; last address + 1 words.
//   'L' read / 'M' write 12-bit: mode ('L' byte 7, 'M' byte 4) 0 ->
//       Programa, other -> Id, cell k; count + 1 words.
//   'E' dsPIC program/executive read: a >= 0x800000 Ejecutivo (a - 0x800000),
//       else Programa (a); (count + 1) x 8 cells (two cells an instruction).
//   'F' dsPIC EEPROM read -> Datos, cell (a & 0xFFF); (count + 1) x 8 cells.
//   'G' dsPIC configuration read -> Config from cell 0, 28 cells.
//   'I'/'J'/'K' frames: kind 0 Programa (cell = address), 3 Ejecutivo
//       (address - 0x800000), 1 Datos (address & 0xFFF), 4 Config (cell
//       4 x register). An instruction is two cells: low 16 bits, upper byte.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One command packet as the board received it.
struct TOrdenFw {
  std::array<uint8_t, 8> b{};
  char Letra() const { return static_cast<char>(b[1]); }
  uint16_t Cuenta() const { return static_cast<uint16_t>(b[2] | b[3] << 8); }
  // Bytes 4-6 as a 24-bit address, high byte first.
  uint32_t Direccion24() const { return uint32_t{b[4]} << 16 | uint32_t{b[5]} << 8 | b[6]; }
};

// One memory area of the chip, in 16-bit cells.
class TMemoriaFw {
public:
  virtual ~TMemoriaFw() = default;
  virtual std::size_t Tam() const = 0;
  virtual uint16_t Lee(uint32_t celda) const = 0;
  // Programs a cell; Lee shows what the chip holds afterwards.
  virtual void Programa(uint32_t celda, uint16_t valor) = 0;
  virtual void Borra() = 0;
};

// A plain area: flash bits go from 1 to 0 only, until an erase (so a
// missing erase shows); with flash = false every write takes. Cells
// outside the area read as the blank value and ignore writes.
class TMemoriaPlanaFw final : public TMemoriaFw {
public:
  TMemoriaPlanaFw(std::size_t tam, uint16_t blanco, bool flash = true)
      : Celdas(tam, blanco), blanco_(blanco), flash_(flash) {}
  std::size_t Tam() const override { return Celdas.size(); }
  uint16_t Lee(uint32_t celda) const override {
    return celda < Celdas.size() ? Celdas[celda] : blanco_;
  }
  void Programa(uint32_t celda, uint16_t valor) override {
    if (celda >= Celdas.size()) return;
    Celdas[celda] = flash_ ? static_cast<uint16_t>(Celdas[celda] & valor) : valor;
  }
  void Borra() override { std::fill(Celdas.begin(), Celdas.end(), blanco_); }
  std::vector<uint16_t> Celdas;

private:
  uint16_t blanco_;
  bool flash_;
};

enum class TAreaFw : uint8_t { Programa, Datos, Config, Id, Ejecutivo };

// The result of programming one word or instruction that did not take.
// The board answers it as a verify error (reply 1: the word, expected and
// read), or, when the part stopped acknowledging, as a programmer error
// at an address (reply 200: Indice, e.g. an I2C page's first byte).
struct TFalloEscrituraFw {
  uint32_t Indice = 0;     // word of the block, or instruction of the row
  uint32_t Esperado = 0;
  uint32_t Leido = 0;
  bool SinReconocer = false;
};

// A block the board is about to read or write.
struct TBloqueFw {
  TMemoriaFw* Memoria = nullptr;  // null: nothing in that area
  uint32_t Celda = 0;              // first cell
  uint32_t Palabras = 0;           // words on the wire
};

class TChipFw {
public:
  virtual ~TChipFw() = default;
  // Device ID for '4', '5' and 'C' (z2: the command's second-socket flag).
  // A part model answers what its family's chip gives for the read the
  // board clocks for that letter (firmware/sonda_id_fw.h); the plain
  // memories below answer one fixed value to all three.
  virtual uint16_t IdDispositivo(char letra, bool z2) = 0;
  // The area, first cell and word count of a read or write command.
  virtual TBloqueFw Bloque(const TOrdenFw& orden) = 0;
  // Programs word `indice` of the block (only indices below its Palabras
  // reach here) and says whether it took. A chip that writes in pages may
  // take the word in and answer for the whole page when its last word
  // arrives (Indice then names the word that failed).
  virtual std::optional<TFalloEscrituraFw> Escribe(const TOrdenFw& orden, uint32_t indice,
                                                   uint16_t palabra);
  // Programs one dsPIC row of 24-bit instructions at a frame address.
  virtual std::optional<TFalloEscrituraFw> EscribeFila24(uint8_t tipoArea, uint32_t direccion,
                                                         const std::vector<uint32_t>& instrucciones);
  // Bulk erase '8': erases and returns the bytes the board replies.
  virtual std::vector<uint8_t> Borra(const TOrdenFw& orden);
  // dsPIC bulk erase 'H': erases and returns the 14 configuration bytes.
  virtual std::array<uint8_t, 14> BorraDsPic(const TOrdenFw& orden);
  // Whether an I2C EEPROM acknowledges (the first 'A' of a read; the
  // second one reads the block through Bloque).
  virtual bool Reconoce() { return true; }
};

class TChipMemoriasFw : public TChipFw {
public:
  TChipMemoriasFw();
  // The pluggable areas, indexed by TAreaFw (null = absent). By default
  // each points to the matching plain area below.
  std::array<TMemoriaFw*, 5> Areas{};
  TMemoriaFw*& Area(TAreaFw a) { return Areas[static_cast<std::size_t>(a)]; }

  // Ready-made areas: 0x3FFF-blank program and configuration space,
  // 0x00FF-blank data, 0x3FFF ID cells, 0xFFFF-blank executive.
  TMemoriaPlanaFw Programa{0x10000, 0x3FFF};
  TMemoriaPlanaFw Datos{0x1000, 0x00FF, false};
  TMemoriaPlanaFw Config{64, 0x3FFF};
  TMemoriaPlanaFw Id{16, 0x3FFF};
  TMemoriaPlanaFw Ejecutivo{0x1000, 0xFFFF};
  uint16_t Id14 = 0x0F60;  // what '4', '5' and 'C' answer
  bool Ack = true;

  uint16_t IdDispositivo(char letra, bool z2) override;
  TBloqueFw Bloque(const TOrdenFw& orden) override;
  std::optional<TFalloEscrituraFw> EscribeFila24(uint8_t tipoArea, uint32_t direccion,
                                                 const std::vector<uint32_t>& instrucciones) override;
  // Erases every area; '8' then answers nothing, 'H' the erased
  // configuration's low bytes (two a register).
  std::vector<uint8_t> Borra(const TOrdenFw& orden) override;
  std::array<uint8_t, 14> BorraDsPic(const TOrdenFw& orden) override;
  bool Reconoce() override { return Ack; }
};

// The reply a board gives at once, in one piece, to the commands that need
// no block: the version ('0', "Ok" and four characters), the device IDs
// with their XOR ('4', '5', 'C'), the bulk erases ('8', and 'H' with its
// XOR) and the pin test ('Y'). Nothing for any other letter.
std::optional<std::vector<uint8_t>> RespuestaInmediataFw(TChipFw& chip, const TOrdenFw& orden,
                                                         const std::string& version);
