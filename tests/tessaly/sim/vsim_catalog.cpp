#include "vsim_catalog.h"

#include <cstring>

TMidrangeSpec MidrangeSpecOf(const std::string& device, int pulses) {
  TMidrangeSpec s;
  s.PulsesNeeded = pulses;
  if (device == "PIC12C508A") {
    s.Name = "PIC12C508A";
    s.Core = 12;
    s.CodeWords = 512;
    s.Eprom = true;
    s.OscCalAddr = 0x1FF;
    s.OscCalValue = 0x0C70;  // MOVLW 0x70, set at the factory
    s.RequireVppFirst = true;
  } else if (device == "PIC16C74B" || device == "PIC16C642") {
    s.Name = device == "PIC16C74B" ? "PIC16C74B" : "PIC16C642";
    s.CodeWords = 4096;
    s.Eprom = true;
    s.Parity = device == "PIC16C642";
  } else if (device == "PIC16F84A") {
    s.Name = "PIC16F84A";
    s.CodeWords = 1024;
    s.DataBytes = 64;
    s.Flash = 1;
    s.ProgNs = 8'000'000;
    s.DataProgNs = 8'000'000;
    s.EraseNs = 10'000'000;
    s.DeviceId = 0x0560 | 0x01;  // DEV of the 16F84A, revision 1
  } else if (device == "PIC16F877") {
    s.Name = "PIC16F877";
    s.CodeWords = 8192;
    s.DataBytes = 256;
    s.Flash = 1;
    s.ProgNs = 4'000'000;
    s.DataProgNs = 4'000'000;
    s.EraseNs = 8'000'000;
    s.ConfigImplemented = 0x3BFF;
    s.DeviceId = 0x09A0 | 0x06;  // DEV of the 16F877, revision 6
  } else if (device == "PIC16F74") {
    s.Name = "PIC16F74";
    s.CodeWords = 4096;
    s.Flash = 2;
    s.MinPulseNs = 1'000'000;
    s.EraseNs = 30'000'000;
    s.DeviceId = 0x0620 | 0x03;  // DEV of the 16F74, revision 3
  } else if (device == "PIC12F675") {
    s.Name = "PIC12F675";
    s.CodeWords = 1024;
    s.DataBytes = 128;
    s.Flash = 5;
    s.ProgNs = 3'000'000;
    s.DataProgNs = 6'000'000;
    s.EraseNs = 6'000'000;
    s.ConfigImplemented = 0x31FF;
    s.ConfigFactory = 0x2000;  // band-gap bits 13:12 = 10
    s.ConfigFactoryMask = 0x3000;
    s.CodeProtectBit = 0x0080;  // CP
    s.OscCalAddr = 0x3FF;
    s.OscCalValue = 0x3480;  // RETLW 0x80
    s.RequireVppFirst = true;
    s.DeviceId = 0x0FC0 | 0x04;  // DEV of the 12F675, revision 4
  } else if (device == "PIC17C756A") {
    s.Name = "PIC17C756A";
    s.Core = 17;
    s.CodeWords = 16384;
    s.Eprom = true;
  } else {
    s.Name = nullptr;
  }
  return s;
}

TPic18Spec Pic18SpecOf(const std::string& device, int pulses) {
  TPic18Spec s;
  s.PulsesNeeded = pulses;
  static const uint8_t fxx2[14] = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  static const uint8_t f242[14] = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
  static const uint8_t cxx2[14] = {0xFF, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x01, 0x00};
  const uint8_t* config = nullptr;
  if (device == "PIC18C452") {
    s.Name = "PIC18C452";
    s.Eprom = true;
    s.DataBytes = 0;
    s.P9Ns = 100'000;
    config = cxx2;
  } else if (device == "PIC18F452" || device == "PIC18F242") {
    s.Name = device == "PIC18F452" ? "PIC18F452" : "PIC18F242";
    s.CodeWords = device == "PIC18F452" ? 16384 : 8192;
    config = device == "PIC18F452" ? fxx2 : f242;
    // DEV of the part, revision 7 and 2.
    s.DeviceId = device == "PIC18F452" ? 0x0420 | 0x07 : 0x0480 | 0x02;
  } else {
    s.Name = nullptr;
    return s;
  }
  std::memcpy(s.ConfigImplemented, config, 14);
  std::memcpy(s.ConfigErased, config, 14);
  return s;
}

TSimChip MakeSimChip(const std::string& device, int pulses) {
  TSimChip chip;
  const TMidrangeSpec m = MidrangeSpecOf(device, pulses);
  if (m.Name) {
    chip.Mid = std::make_unique<TMidrangeSim>(m);
    return chip;
  }
  const TPic18Spec p = Pic18SpecOf(device, pulses);
  if (p.Name) chip.P18 = std::make_unique<TPic18Sim>(p);
  return chip;
}
