// Minimal simulated chips for testing the link itself: they decode the
// clocked ICSP bits as the parts' programming specifications describe,
// with only a handful of commands.
//
// Both enter programming mode when the programming voltage rises (MCLR
// released, Vdd on; or Vdd rising with Vpp already applied) while clock and
// data are low, and leave it, resetting their decoder, when Vpp or Vdd
// falls. Host bits are latched on the falling clock edge; the chip presents
// its own bits from a rising edge and holds them until the next one.
// Timing the parts require and these chips check: host data stable at
// least TsetNs before the falling edge that latches it, and at least
// Thld0Ns between the programming voltage rising and the first clock.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim_chip.h"

// Common state: entry detection, clock edges, the logs tests look at.
class TChipMinimoBase : public TChipSim {
public:
  void Lineas(uint64_t tNs, const TLineasSim& lineas) final;
  std::optional<bool> Dato() const override { return salida_; }

  // Which entry the part accepts: either, only Vpp rising on a powered part,
  // or only Vdd rising with Vpp already applied.
  enum class TEntrada : uint8_t { Cualquiera, VddPrimero, VppPrimero };
  TEntrada Entrada = TEntrada::Cualquiera;

  uint64_t TsetNs = 100;
  uint64_t Thld0Ns = 5'000;

  bool EnProgramacion = false;
  uint32_t Entradas = 0;                   // times programming mode was entered
  std::vector<std::string> Violaciones;    // timing requirements not met
  std::vector<std::string> Desconocidos;   // commands or instructions not understood

protected:
  virtual void Reinicia() = 0;
  virtual void Subida(uint64_t tNs, bool dato) = 0;
  virtual void Bajada(uint64_t tNs, bool dato) = 0;
  // Called on a falling edge that latches host data: notes a violation when
  // the data changed less than TsetNs before it.
  void CompruebaPreparacion(uint64_t tNs);
  std::optional<bool> salida_;

private:
  TLineasSim previo_{};
  bool alta_ = false;
  uint64_t cambioDato_ = 0;
  uint64_t entrada_ = 0;
  bool primerFlanco_ = false;
};

// 14-bit mid-range style: 6-bit commands; 16-clock data words (start bit,
// 14 bits, stop bit). Load Configuration (0), Load Data (2), Read Data (4),
// Increment Address (6), Begin Programming (8, internally timed: the next
// command must not start its first clock before TiempoProgNs has passed).
class TChipMinimo14 final : public TChipMinimoBase {
public:
  explicit TChipMinimo14(uint32_t palabras = 256);
  std::vector<uint16_t> Programa;          // program memory from address 0
  std::map<uint32_t, uint16_t> Config;     // 0x2000..0x200F
  uint32_t Pc = 0;
  uint16_t Latch = 0x3FFF;
  uint64_t TiempoProgNs = 2'000'000;
  std::vector<uint8_t> Comandos;           // every command decoded
  std::vector<uint16_t> Cargados;          // every word loaded (14 data bits)
  std::vector<uint16_t> TramasCargadas;    // the same words with start and stop bits (16 bits)

  uint16_t Lee(uint32_t direccion) const;
  bool GuardaEstado(const std::string& ruta) const override;
  bool CargaEstado(const std::string& ruta) override;

private:
  void Reinicia() override;
  void Subida(uint64_t tNs, bool dato) override;
  void Bajada(uint64_t tNs, bool dato) override;
  void Ejecuta(uint64_t tNs);
  enum class TFase { Comando, Carga, Lectura } fase_ = TFase::Comando;
  uint32_t bits_ = 0, n_ = 0;
  uint16_t salidaPalabra_ = 0;
  uint64_t finProg_ = 0;
  uint64_t inicioComando_ = 0;  // first clock of the command being decoded
};

// PIC18 style: 4-bit commands with a 16-bit operand. Core instruction (0:
// MOVLW, MOVWF TBLPTRU/H/L), table read (8: TBLRD*, 9: TBLRD*+: 8 idle
// clocks, then the byte), table write and start programming (15: the
// operand goes to TBLPTR, written when the fourth clock of the next NOP
// is held high at least P9Ns; the clock must then stay low P10Ns, the
// high-voltage discharge, before the NOP's operand).
class TChipMinimo18 final : public TChipMinimoBase {
public:
  std::map<uint32_t, uint8_t> Memoria;     // byte memory; absent = 0xFF
  uint32_t Tblptr = 0;
  uint8_t W = 0;
  uint64_t P9Ns = 1'000'000;
  uint64_t P10Ns = 100'000;
  struct TTrama {
    uint8_t comando;
    uint16_t operando;
  };
  std::vector<TTrama> Tramas;              // every command with its operand
  std::vector<uint64_t> ClockAltoNops;     // high time of each programming NOP's fourth clock
  std::vector<uint16_t> OperandosNop;      // the 16 bits clocked after it

  uint8_t Lee(uint32_t direccion) const;
  bool GuardaEstado(const std::string& ruta) const override;
  bool CargaEstado(const std::string& ruta) override;

private:
  void Reinicia() override;
  void Subida(uint64_t tNs, bool dato) override;
  void Bajada(uint64_t tNs, bool dato) override;
  void Ejecuta();
  enum class TFase { Comando, Operando, Lectura, Nop, NopOperando } fase_ = TFase::Comando;
  uint32_t bits_ = 0, n_ = 0;
  uint8_t comando_ = 0;
  uint8_t byteSalida_ = 0;
  uint32_t dirEscritura_ = 0;
  uint16_t palabraEscritura_ = 0;
  uint64_t subidaNop_ = 0;
  uint64_t bajadaNop_ = 0;
  bool vigilaP10_ = false;
};
