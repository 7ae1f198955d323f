// One simulated chip for every device of the shipped vorra.ini, with the
// values of its own data sheet and programming specification (not read from
// vorra.ini, so the two can disagree).
#pragma once

#include <memory>
#include <string>

#include "vsim_midrange.h"
#include "vsim_pic18.h"

struct TSimChip {
  std::unique_ptr<TMidrangeSim> Mid;
  std::unique_ptr<TPic18Sim> P18;
  TSerialPic* Pic() const { return Mid ? static_cast<TSerialPic*>(Mid.get()) : P18.get(); }
};

// Null members when the device is unknown. EPROM parts need `pulses`
// pulses per word.
TSimChip MakeSimChip(const std::string& device, int pulses = 3);
TMidrangeSpec MidrangeSpecOf(const std::string& device, int pulses = 3);
TPic18Spec Pic18SpecOf(const std::string& device, int pulses = 3);
