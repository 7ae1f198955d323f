// The memories of a simulated dsPIC30F part, shared by the ICSP model
// (dspic30_sim.h) and the firmware programmer's socket (dspic30_fw.h).
//
// Addressed as the table instructions see them (TBLPAG:offset, two
// addresses per 24-bit instruction or 16-bit word):
//   0x000000..         program flash, 24-bit instructions
//   0x7FF000-0x7FFFFF  data EEPROM (the top EeBytes of the page), words
//   0x800000-0x8005BF  the programming executive area, 24-bit instructions
//   0xF80000-0xF8000C  the seven configuration registers FOSC, FWDT,
//                      FBORPOR, FBS, FSS, FGS, FICD: unimplemented bits
//                      read 0
//   0xFF0000 / 0xFF0002  DEVID / DEVREV (read only)
// Everything else reads 0. Flash and EEPROM bits go from 1 to 0 only until
// an erase (a write ANDs); a configuration register takes the whole value
// written, masked by its implemented bits.
//
// The bulk erase (NVMCON 0x407F) erases program flash, the data EEPROM and
// the code-protection registers FBS, FSS and FGS; the other registers, the
// device ID and the executive area keep their contents.
//
// Code protection of the general segment (program flash), in FGS: the
// segment is read-protected while bits 2:1 (GSS, GCP on the smaller parts)
// are not both 1, and write-protected while bit 0 (GWRP) is 0. A
// read-protected segment reads 0 and ignores writes, a write-protected one
// ignores writes; FGS bits once programmed to 0 come back only with the
// bulk erase.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TModeloDsPic30 {
  std::string Nombre;
  uint16_t Id = 0;                 // DEVID
  uint16_t Revision = 0x1003;      // DEVREV
  uint32_t Instrucciones = 0;      // program flash
  uint32_t EeBytes = 0;            // data EEPROM, ending at 0x7FFFFF
  std::array<uint16_t, 7> Implementados{};  // also the erased values
};

// A 30F2010 (4 K instructions, 1 KB EEPROM), a 30F4013 (16 K instructions,
// 1 KB EEPROM) and a 30F6014 (48 K instructions, 4 KB EEPROM: its program
// memory runs past the first table page).
TModeloDsPic30 Modelo30F2010();
TModeloDsPic30 Modelo30F4013();
TModeloDsPic30 Modelo30F6013();
TModeloDsPic30 Modelo30F6014();

constexpr uint32_t InicioEjecutivoDs = 0x800000;
constexpr uint32_t InstruccionesEjecutivoDs = 0x5C0 / 2;
constexpr uint32_t InicioConfigDs = 0xF80000;
constexpr uint32_t DirDevId = 0xFF0000;

enum class TRegionDs : uint8_t { Programa, Datos, Ejecutivo, Config, DevId, Nada };

class TMemoriaDsPic30 {
public:
  explicit TMemoriaDsPic30(const TModeloDsPic30& modelo);
  const TModeloDsPic30& Modelo() const { return modelo_; }

  TRegionDs Region(uint32_t direccion) const;
  uint32_t InicioEe() const { return 0x800000 - modelo_.EeBytes; }

  // What TBLRDL (the low word) and TBLRDH (bits 16-23) read at an even address.
  uint16_t LeeBajo(uint32_t direccion) const;
  uint8_t LeeAlto(uint32_t direccion) const;

  // Programs one instruction (program flash or executive area) or one EEPROM
  // word: AND with what is there. False outside those regions.
  bool ProgramaInstruccion(uint32_t direccion, uint32_t valor);
  bool ProgramaPalabraEe(uint32_t direccion, uint16_t valor);
  // Writes a configuration register (0xF80000 + 2r); false outside.
  bool EscribeConfig(uint32_t direccion, uint16_t valor);
  void BorradoTotal();
  // The general segment's protection, from FGS.
  bool CodigoProtegido() const;
  bool EscrituraProtegida() const;

  std::vector<uint32_t> Prog;   // 0xFFFFFF blank
  std::vector<uint16_t> Ee;     // 0xFFFF blank
  std::vector<uint32_t> Exec;   // 0xFFFFFF blank
  std::array<uint16_t, 7> Config{};
  // A fault: these bits of the instruction at this address always read 0.
  uint32_t DirPegada = 0xFFFFFFFF;
  uint32_t BitsPegados = 0;

  // Saves / loads every cell as "address value" lines.
  bool Guarda(const std::string& ruta) const;
  bool Carga(const std::string& ruta);

private:
  uint32_t Pegados(uint32_t direccion) const;
  TModeloDsPic30 modelo_;
};
