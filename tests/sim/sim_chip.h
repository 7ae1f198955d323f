// What a simulated target sees and drives: line levels in virtual time.
//
// The simulated adapter turns the port registers into these levels through
// the loaded hardware profile; a chip decides for itself what they mean.
#pragma once

#include <cstdint>
#include <optional>

struct TLineasSim {
  bool Clock = false;
  bool DatoHost = false;  // the host's data-out line
  bool Vpp = false;
  bool Vpp2 = false;      // second Vpp line (second socket)
  bool Vdd = false;
  bool Mclr = false;
};

class TChipSim {
public:
  virtual ~TChipSim() = default;
  // The host's lines are now `lineas`, at virtual time tNs.
  virtual void Lineas(uint64_t tNs, const TLineasSim& lineas) = 0;
  // The level the chip drives on the data line, or nothing while it does not drive.
  virtual std::optional<bool> Dato() const = 0;
};
