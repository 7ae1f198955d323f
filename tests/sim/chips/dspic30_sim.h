// A simulated dsPIC30F on the ICSP lines, after the dsPIC30F flash
// programming specification.
//
// Programming mode: entered when MCLR/Vpp reaches the programming voltage
// with Vdd on (or Vdd rises with Vpp applied) while PGC and PGD are low;
// left, with the CPU, the latches and the decoder reset, when Vpp or Vdd
// falls. Host bits are latched on the falling PGC edge, least significant
// first.
//
// 4-bit control codes:
//   0000 SIX: 24 instruction bits follow; the instruction executes while
//        the next control code shifts in (on its fourth clock), so the last
//        instruction before a pause runs only when clocking resumes;
//   0001 REGOUT: 8 idle clocks, then VISI on the next 16, driven from each
//        rising edge and released at the rising edge after the last bit;
//   others are reserved: noted in Desconocidos, 24 bits swallowed.
//
// The instructions executed are those a programmer sends: NOP; MOV #lit16,Wd;
// MOV Ws,f (W registers, TBLPAG, NVMCON, NVMKEY, VISI); CLR Wd; BSET/BCLR of
// NVMCON.WR; TBLRDL/TBLRDH/TBLWTL/TBLWTH in word and byte forms with the
// register-indirect modes [W], [W++], [W--], [++W], [--W] (the W registers
// are memory-mapped at data addresses 0-0x1F; byte forms step by 1); GOTO
// with its second word. Table instructions and GOTO take two cycles: the
// SIX after them must be a NOP. Anything else is noted in Desconocidos.
//
// Non-volatile operations: table writes fill the write latches (a row of 32
// instructions, a row of 16 EEPROM words, or one configuration word); the
// operation in NVMCON (0x4001 program row, 0x4005 EEPROM row, 0x4008
// configuration word, 0x407F bulk erase) starts when WR is set by BSET
// right after 0x55 then 0xAA were written to NVMKEY, and is carried out when
// WR is cleared, if it was set at least the operation's time (virtual
// time). A write without the key sequence, an operation cut short, a write
// to NVMCON or the latches while WR is set, or leaving programming mode
// with WR set changes nothing and is noted in Violaciones. The write latches
// return to all ones after each operation.
//
// The configuration write (0x4008) also accepts an address in the executive
// area, where it programs the low word of that instruction (a write of
// 0xFFFF changes nothing).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chips/dspic30_memoria.h"
#include "sim_chip.h"
#include "sim_tiempos_dato.h"

class TDsPic30Sim : public TChipSim {
  // The part's own memories; none when it works on memories held elsewhere.
  std::unique_ptr<TMemoriaDsPic30> propia_;

public:
  explicit TDsPic30Sim(const TModeloDsPic30& modelo);
  // The same part on memories another view of it holds (the firmware
  // programmer's socket runs its commands on them).
  explicit TDsPic30Sim(TMemoriaDsPic30& memoria);

  void Lineas(uint64_t tNs, const TLineasSim& lineas) override;
  std::optional<bool> Dato() const override { return salida_; }
  bool GuardaEstado(const std::string& ruta) const override { return Memoria.Guarda(ruta); }
  bool CargaEstado(const std::string& ruta) override { return Memoria.Carga(ruta); }

  TMemoriaDsPic30& Memoria;

  bool AceptaVppPrimero = true;
  // Minimum time with WR set, per operation.
  uint64_t TiempoFilaNs = 2'000'000;
  uint64_t TiempoEeNs = 2'000'000;
  uint64_t TiempoConfigNs = 2'000'000;
  uint64_t TiempoBorradoNs = 2'000'000;

  bool EnProgramacion = false;
  uint32_t Entradas = 0;
  std::vector<std::string> Violaciones;
  // The host's data bit stable 15 ns before and after the falling clock
  // edge that latches it (P3, P4); the REGOUT clocks latch nothing.
  TTiemposDato TiemposDato{15, 15};
  std::vector<std::string> Desconocidos;

  // Every operation carried out: NVMCON and the address of the last table write.
  struct TOperacion {
    uint16_t Nvmcon;
    uint32_t Direccion;
  };
  std::vector<TOperacion> Operaciones;
  uint64_t Ejecutadas = 0;  // instructions executed
  uint64_t Ciclos = 0;      // clock cycles seen in programming mode

  // CPU state, readable by the tests.
  std::array<uint16_t, 16> W{};
  uint8_t Tblpag = 0;
  uint16_t Nvmcon = 0;
  uint16_t Visi = 0;
  uint32_t Pc = 0;

private:
  enum class TFase : uint8_t { Codigo, Six, Regout, Ignora };

  void Entra();
  void Sale();
  void Bajada(uint64_t t, bool dato);
  void Subida();
  void Ejecuta(uint64_t t, uint32_t w);
  void Tabla(uint32_t w, bool escritura);
  void EscribeSfr(uint64_t t, uint16_t f, uint16_t v);
  void BitSfr(uint64_t t, uint32_t w, bool pon);
  void FinOperacion(uint64_t t);
  void Carga(uint32_t direccion, bool alto, bool byte, uint16_t v);
  uint16_t LeeDato(uint16_t direccion, bool byte);
  void EscribeDato(uint16_t direccion, bool byte, uint16_t v);
  bool Direccion(uint8_t modo, uint8_t reg, bool byte, uint16_t& ea, int& post);
  void LimpiaLatches();
  void Viola(const std::string& texto);
  void Desconocido(const std::string& texto);

  TLineasSim previo_{};
  bool alta_ = false;
  std::optional<bool> salida_;

  TFase fase_ = TFase::Codigo;
  uint32_t bits_ = 0;
  uint32_t n_ = 0;
  std::optional<uint32_t> pendiente_;
  uint16_t visiSalida_ = 0;
  bool dosCiclos_ = false;
  bool segundaPalabra_ = false;
  bool pcAviso_ = false;

  // Write latches.
  std::array<uint32_t, 32> latchFila_{};
  std::array<uint16_t, 16> latchEe_{};
  uint32_t ultimaEscritura_ = 0;
  uint16_t valorUltimo_ = 0xFFFF;
  bool hayEscritura_ = false;

  uint64_t clave55_ = 0, claveAA_ = 0;
  bool ocupado_ = false;
  uint64_t inicioOp_ = 0;
};
