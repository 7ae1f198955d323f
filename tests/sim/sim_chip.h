// What a simulated target sees and drives: line levels in virtual time.
//
// The simulated adapter (sim_adaptador.h) turns the port registers into
// these levels through the loaded hardware profile; a chip decides for
// itself what they mean.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Levels at the target, true = high / applied. A line the adapter does not
// switch takes its fixed level: Vdd always on without a Vdd line, MCLR
// released without an MCLR line, no second Vpp without a second socket.
struct TLineasSim {
  bool Clock = false;
  bool DatoHost = false;  // the host's data-out line
  bool Vpp = false;       // programming voltage of this chip's socket
  bool Vpp2 = false;      // second Vpp line (second socket)
  bool Vdd = false;
  bool Mclr = false;      // true = released (the target runs), false = held in reset
};

class TChipSim {
public:
  virtual ~TChipSim() = default;
  // The host's lines are now `lineas`, at virtual time tNs. Called after
  // every register write, whether a line changed or not. A chip on the
  // second socket sees the second Vpp line as its Vpp.
  virtual void Lineas(uint64_t tNs, const TLineasSim& lineas) = 0;
  // The level the chip drives on the data line, or nothing while it does not drive.
  virtual std::optional<bool> Dato() const = 0;
  // Saves / loads the chip's memories, so whole-program tests can check what
  // was programmed. False when the chip keeps none or the file failed.
  virtual bool GuardaEstado(const std::string& ruta) const { (void)ruta; return false; }
  virtual bool CargaEstado(const std::string& ruta) { (void)ruta; return false; }
};
