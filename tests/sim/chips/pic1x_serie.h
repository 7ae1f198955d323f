// Serial programming interface shared by the simulated 12-bit and 14-bit
// PICs: entry into and exit from programming mode, 6-bit commands and
// 16-clock data frames decoded from the line levels, and the timing rules
// of a write or erase in progress.
//
// The decoder knows nothing of memories: each part model says which
// commands exist, what a loaded word does and what a read returns, and it
// asks for writes and erases as operations that take effect only when the
// host has let their time pass.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim_chip.h"
#include "sim_tiempos_dato.h"

// How a part enters programming mode.
enum class TEntradaSim : uint8_t {
  Ambas,      // Vpp rising while powered, or power rising with Vpp applied
  VddPrimero, // only Vpp rising while powered
  VppPrimero, // only power rising while Vpp is applied
};

// What a command does with the 16 clocks after it.
enum class TFaseSim : uint8_t { SinDatos, Carga, Lectura, Desconocido };

class TPic1xSerieSim : public TChipSim {
public:
  TPic1xSerieSim();

  void Lineas(uint64_t tNs, const TLineasSim& lineas) override;
  std::optional<bool> Dato() const override;

  // --- faults and entry (the adapter hands a second-socket part the second
  // Vpp line as its Vpp, and a Vdd that is not switched as always on) ---
  bool SinChip = false;          // empty socket: nothing answers
  TEntradaSim Entrada = TEntradaSim::Ambas;

  // The line timing of the data sheets' serial programming: the host's data
  // bit must be stable TsetNs before the falling clock edge that latches it
  // and TholdNs after it (Tset1, Thld1: 100 ns), and a command and the data
  // or command after it are TdlyNs apart, from the last falling edge of one
  // to the first rising edge of the next (Tdly1, Tdly2: 1 us).
  TTiemposDato TiemposDato{100, 100};
  uint64_t TdlyNs = 1'000;

  // Every rule the host broke (a command during a write, a wait too short,
  // a command the part does not know). Tests expect it empty.
  std::vector<std::string> Violaciones;
  // Times programming mode was entered.
  uint32_t Entradas = 0;
  bool EnProgramacion() const { return enProg_; }

protected:
  // Called on entry into programming mode (reset counter and latches).
  virtual void Reinicia() = 0;
  // A command arrived; returns what the next 16 clocks carry.
  virtual TFaseSim Comando(uint8_t comando, uint64_t tNs) = 0;
  // The 14 data bits of a load command.
  virtual void Carga(uint8_t comando, uint16_t dato) = 0;
  // The word a read command returns.
  virtual uint16_t Lectura(uint8_t comando) = 0;

  // A self-timed operation: it takes effect once `ns` have passed without
  // the host clocking anything or leaving programming mode.
  void Temporizada(uint64_t tNs, uint64_t ns, std::string que, std::function<void()> efecto);
  // An externally timed operation: started now, it takes effect when
  // TerminaExterna is called at least `ns` later.
  void IniciaExterna(uint64_t tNs, uint64_t ns, std::string que, std::function<void()> efecto);
  // The end command of an externally timed operation; without one running
  // it does nothing. Returns true when one was running.
  bool TerminaExterna(uint64_t tNs);
  bool ExternaEnCurso() const { return externa_.has_value(); }
  void Viola(uint64_t tNs, const std::string& texto);

private:
  struct TOperacion {
    uint64_t inicio = 0, fin = 0;
    std::string que;
    std::function<void()> efecto;
  };
  void Sale(uint64_t tNs);
  void Flanco(uint64_t tNs, bool subida, bool dato);
  void CompruebaOcupado(uint64_t tNs, const char* motivo);

  TLineasSim previas_{};
  bool enProg_ = false;
  uint64_t finTrama_ = 0;        // the last falling edge of a command or data frame
  bool hayTrama_ = false;
  // decoder
  enum class TEstado : uint8_t { Comando, Carga, Lectura } estado_ = TEstado::Comando;
  uint8_t bits_ = 0;
  uint32_t registro_ = 0;
  uint8_t comando_ = 0;
  uint16_t salida_ = 0;
  std::optional<bool> dato_;
  std::optional<TOperacion> pendiente_;  // self-timed, running
  std::optional<TOperacion> externa_;    // externally timed, running
};

// Text of a virtual time, for violation messages.
std::string TextoTiempo(uint64_t tNs);
