// A simulated chip of the shipped database on the programmer, with helpers
// to fill the images and compare them with the chip's memories.
#pragma once

#include "tessaly_fixture.h"
#include "ts_device.h"
#include "ts_images.h"
#include "vsim_catalog.h"

class TOperationTest : public TTessalyTest {
protected:
  void SetUp() override;
  void TearDown() override;
  // Loads the device, puts its simulated chip in the socket and selects LPT1.
  void Use(const std::string& device, int pulses = 3);
  // A sparse image: runs, single words, partly filled blocks, the last word;
  // data, ID and configuration words (configuration inside the masks).
  void FillImage(uint32_t seed);
  // The chip holds what the images ask for (set entries only).
  void ExpectChipHoldsImage();
  // The chip's memories as the programming interface addresses them.
  uint32_t ChipCode(int i) const;
  uint32_t ChipData(int i) const;
  uint32_t ChipId(int i) const;
  uint32_t ChipConfig(int i) const;
  std::vector<std::string> Violations() const { return Chip.Pic()->Violations; }
  std::string ViolationText() const;

  TSimChip Chip;
  std::vector<int> SetWords;  // code words FillImage set
};
