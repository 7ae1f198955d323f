// Drivers of the serial programming lines for the simulators' own tests,
// the right one and deliberately wrong ones, each breaking one rule of the
// line timing: data written with the latching clock edge (no setup), data
// changed 10 ns after it (no hold), a frame right after the one before it
// (no gap). Bits go out least significant first: clock up, data set half
// a bit later, clock down half a bit after that. They drive the chip's
// lines directly, on their own virtual time; entry is Vpp rising with Vdd
// on, MCLR released, clock and data low.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim_chip.h"

enum class TConductor { Correcto, SinSetup, SinHold, SinSeparacion };

class TLinea {
public:
  // `separacionNs`: what the right driver leaves between two frames.
  TLinea(TChipSim& chip, TConductor c, uint64_t separacionNs = 1'000) : chip_(chip), c_(c), separacion_(separacionNs) {
    l_.Vdd = true;
    l_.Mclr = true;
    Pon(1'000);
    l_.Vpp = true;  // Vpp rising while powered, clock and data low
    Pon(10'000);
  }
  // A frame of n bits, least significant first.
  void Trama(uint32_t valor, int n) {
    for (int i = 0; i < n; ++i) Bit((valor >> i) & 1);
    // The gap before the next frame.
    Pon(c_ == TConductor::SinSeparacion ? 0 : separacion_);
  }

private:
  void Bit(bool b) {
    l_.Clock = true;
    Pon(500);
    if (c_ == TConductor::SinSetup) {
      Pon(500);
      l_.DatoHost = b;  // with the edge, in one port write
    } else {
      l_.DatoHost = b;
      Pon(500);
    }
    l_.Clock = false;
    if (c_ == TConductor::SinHold) {
      Pon(10);
      l_.DatoHost = !l_.DatoHost;  // the next level 10 ns after the edge
      Pon(490);
    } else {
      Pon(500);
    }
  }
  // The lines as they are now, then `ns` pass.
  void Pon(uint64_t ns) {
    chip_.Lineas(t_, l_);
    t_ += ns;
  }
  TChipSim& chip_;
  TConductor c_;
  uint64_t separacion_;
  TLineasSim l_;
  uint64_t t_ = 0;
};

// The right driver and the two that break setup and hold, with the text
// every violation of the wrong one carries ("" for the right one: none).
struct TCasoConductor {
  TConductor Conductor;
  std::string Regla;
};
inline std::vector<TCasoConductor> CasosSetupHold(uint64_t setupNs, uint64_t holdNs) {
  return {{TConductor::Correcto, ""},
          {TConductor::SinSetup, "(setup " + std::to_string(setupNs) + " ns)"},
          {TConductor::SinHold, "(hold " + std::to_string(holdNs) + " ns)"}};
}

// "" when the violations are what the case expects: none for the right
// driver, else at least one and each naming the broken rule; otherwise what
// is wrong.
inline std::string FaltaRegla(const std::vector<std::string>& violaciones, const std::string& regla) {
  if (regla.empty()) return violaciones.empty() ? "" : "unexpected: " + violaciones.front();
  if (violaciones.empty()) return "no violation of " + regla;
  for (const auto& v : violaciones)
    if (v.find(regla) == std::string::npos) return "another rule: " + v;
  return "";
}
