#include "vsim_midrange.h"

TMidrangeSim::TMidrangeSim(const TMidrangeSpec& spec) : Spec(spec) {
  RequireVppFirst = spec.RequireVppFirst;
  Mem.assign(0x10000, Spec.Parity ? 0xFFFF : Blank());
  Data.assign(static_cast<size_t>(spec.DataBytes > 0 ? spec.DataBytes : 1), 0xFF);
  // Through SetWord, so a parity part's blank configuration word is a whole
  // frame (all ones) like the rest of its memory.
  if (Spec.Core == 14)
    SetWord(0x2007, static_cast<uint16_t>((0x3FFF & ~Spec.ConfigFactoryMask) |
                                          (Spec.ConfigFactory & Spec.ConfigFactoryMask)));
  if (Spec.OscCalAddr >= 0) SetWord(Spec.OscCalAddr, Spec.OscCalValue);
  if (DeviceIdCell(0x2006)) SetWord(0x2006, static_cast<uint16_t>(Spec.DeviceId));
}

bool TMidrangeSim::DeviceIdCell(int address) const {
  return Spec.Core == 14 && Spec.DeviceId >= 0 && Physical(address) == 0x2006;
}

uint16_t TMidrangeSim::Blank() const { return static_cast<uint16_t>(WordMask()); }

int TMidrangeSim::ConfigAddress() const { return Spec.Core == 12 ? 0xFFF : Spec.Core == 14 ? 0x2007 : 0xFE00; }

int TMidrangeSim::IdAddress(int i) const { return Spec.Core == 12 ? Spec.CodeWords + i : 0x2000 + i; }

int TMidrangeSim::Physical(int a) const {
  if (Spec.Core == 14) return a < 0x2000 ? a % Spec.CodeWords : a;
  if (Spec.Core == 12) return a & 0xFFF;
  return a & 0xFFFF;
}

bool TMidrangeSim::CodeProtected(int a) const {
  return Spec.CodeProtectBit != 0 && Spec.Core == 14 && a < 0x2000 && (Mem[0x2007] & Spec.CodeProtectBit) == 0;
}

uint16_t TMidrangeSim::Word(int address) const {
  const uint16_t m = Mem[static_cast<size_t>(Physical(address))];
  return Spec.Parity ? static_cast<uint16_t>((m >> 2) & 0x3FFF) : m;
}

void TMidrangeSim::SetWord(int address, uint16_t value) {
  uint32_t v = value & static_cast<uint32_t>(WordMask());
  if (Spec.Parity) {
    uint32_t p0 = 0, p1 = 1;
    for (int b = 0; b < 14; ++b) (b % 2 ? p1 : p0) ^= (v >> b) & 1;
    v = (v << 2) | (p1 << 1) | p0;
  }
  Mem[static_cast<size_t>(Physical(address))] = static_cast<uint16_t>(v);
}

uint16_t TMidrangeSim::ConfigWord() const {
  if (Spec.Core == 17) {
    uint16_t w = 0;
    for (int k = 0; k < 16; ++k) w |= static_cast<uint16_t>((Mem[0xFE00 + static_cast<size_t>(k)] & 1) << k);
    return w;
  }
  return static_cast<uint16_t>(Word(ConfigAddress()) & (Spec.Core == 14 ? Spec.ConfigImplemented : 0xFFF));
}

bool TMidrangeSim::ParityOk(uint32_t frame16) const {
  // Bit 0 is the even parity over the even data bits, bit 1 the odd parity
  // over the odd ones (erased cells, all ones, are consistent).
  const uint32_t d = (frame16 >> 2) & 0x3FFF;
  uint32_t even = 0, odd = 0;
  for (int b = 0; b < 14; ++b) (b % 2 ? odd : even) ^= (d >> b) & 1;
  return (frame16 & 1) == even && ((frame16 >> 1) & 1) == (odd ^ 1);
}

void TMidrangeSim::OnEnter() {
  Pc = Spec.Core == 12 ? 0xFFF : 0;
  Latch = Spec.Parity ? 0xFFFF : Blank();
  DataLatch = 0xFF;
  LatchIsData = false;
  PulseAddress = -1;
  EraseSetup = 0;
}

void TMidrangeSim::Increment() {
  if (Spec.Core == 14)
    Pc = Pc < 0x2000 ? (Pc + 1) & 0x1FFF : 0x2000 | ((Pc + 1) & 0x1FFF);
  else if (Spec.Core == 12)
    Pc = (Pc + 1) & 0xFFF;
  else
    Pc = (Pc + 1) & 0xFFFF;
}

uint16_t TMidrangeSim::ReadAt(int a) const {
  if (CodeProtected(a)) return 0;
  if (Spec.Core == 17 && a >= 0xFE00 && a <= 0xFE0F) {
    const uint16_t w = ConfigWord();
    return static_cast<uint16_t>(0xFF00 | (a < 0xFE08 ? (w & 0xFF) : (w >> 8)));
  }
  uint16_t m = Mem[static_cast<size_t>(Physical(a))];
  if (Spec.Core == 14 && a == 0x2007 && !Spec.Parity) m &= Spec.ConfigImplemented;
  return m;
}

void TMidrangeSim::OutWord(uint16_t v) {
  std::vector<std::optional<bool>> bits;
  if (Spec.Core == 17) {
    for (int b = 0; b < 16; ++b) bits.push_back(((v >> b) & 1) != 0);
  } else {
    const int width = Spec.Parity ? 16 : 14;
    const uint16_t shown = Spec.Core == 12 ? (v & 0xFFF) : v;
    bits.push_back(std::nullopt);  // start bit: line released
    for (int b = 0; b < width; ++b) bits.push_back(((shown >> b) & 1) != 0);
    bits.push_back(std::nullopt);  // stop bit
  }
  ExpectOut(std::move(bits));
}

void TMidrangeSim::ProgramCell(int address, uint16_t value, bool erasesFirst) {
  if (DeadCells.count(Physical(address)) != 0 || CodeProtected(address) || DeviceIdCell(address)) return;
  uint16_t& cell = Mem[static_cast<size_t>(Physical(address))];
  cell = erasesFirst ? value : static_cast<uint16_t>(cell & value);
}

void TMidrangeSim::ProgramPulse(int address, uint16_t value) {
  ++Pulses[address];
  if (Spec.Parity && !ParityOk(value)) Violation("parity bits do not match the word being programmed");
  auto& p = Progress[address];
  if (p.first != value) p = {value, 0};
  if (++p.second >= Spec.PulsesNeeded) ProgramCell(address, value, false);
}

void TMidrangeSim::OnCommand(int c) {
  const bool c14 = Spec.Core == 14, c17 = Spec.Core == 17;
  const bool external = Spec.Eprom || Spec.Flash == 2;
  if (Spec.Flash == 1 && c != 1 && c != 7 && c != 8 && EraseSetup != 0 && EraseSetup != 3) EraseSetup = 0;
  switch (c) {
    case 0:
      if (c14) return ExpectIn(FrameBits());
      if (c17) return;  // starts the programming sequence
      break;
    case 2: return ExpectIn(FrameBits());
    case 3:
      if (c14 && Spec.DataBytes > 0) return ExpectIn(16);
      break;
    case 4: return OutWord(ReadAt(Pc));
    case 5:
      if (c14 && Spec.DataBytes > 0) {
        std::vector<std::optional<bool>> bits{std::nullopt};
        const uint8_t v = Data[static_cast<size_t>(Pc % Spec.DataBytes)];
        for (int b = 0; b < 14; ++b) bits.push_back(b < 8 ? ((v >> b) & 1) != 0 : false);
        bits.push_back(std::nullopt);
        return ExpectOut(std::move(bits));
      }
      break;
    case 6: return Increment();
    case 8:
      if (external) {
        PulseAddress = Pc;
        PulseStart = Now;
        return;
      }
      if (Spec.Flash == 1 && EraseSetup == 2) {
        EraseSetup = 3;
        const int pc = Pc;
        const bool data = LatchIsData;
        ++ChipErases;
        return StartBusy(Spec.EraseNs, "the chip erase", [this, pc, data] {
          if (pc >= 0x2000 || !data)
            for (int a = 0; a < Spec.CodeWords; ++a) Mem[static_cast<size_t>(a)] = Blank();
          if (pc >= 0x2000 || data) Data.assign(Data.size(), 0xFF);
          if (pc >= 0x2000)
            for (int a = 0x2000; a <= 0x2007; ++a)
              if (!DeviceIdCell(a)) Mem[static_cast<size_t>(a)] = 0x3FFF;
        });
      }
      if (Spec.Flash == 1 || Spec.Flash == 5) {
        const int pc = Pc;
        if (LatchIsData) {
          const uint8_t v = DataLatch;
          return StartBusy(Spec.DataProgNs, "a data EEPROM write",
                           [this, pc, v] { Data[static_cast<size_t>(pc % Spec.DataBytes)] = v; });
        }
        const uint16_t v = static_cast<uint16_t>(Latch);
        return StartBusy(Spec.ProgNs, "a program memory write",
                         [this, pc, v] { ProgramCell(pc, v, Spec.Flash == 1); });
      }
      break;
    case 14:
      if (external) {
        if (PulseAddress < 0) {
          Violation("End Programming without Begin Programming");
        } else if (Now - PulseStart < Spec.MinPulseNs) {
          Violation("programming pulse of " + std::to_string((Now - PulseStart) / 1000) + " us is too short");
        } else if (LatchIsData) {
          Violation("End Programming after Load Data for data memory");
        } else if (Spec.Eprom) {
          ProgramPulse(PulseAddress, static_cast<uint16_t>(Latch));
        } else {
          ++Pulses[PulseAddress];
          ProgramCell(PulseAddress, static_cast<uint16_t>(Latch), false);
        }
        PulseAddress = -1;
        return;
      }
      break;
    case 9:
      if (Spec.Core == 12 && Spec.Flash == 2) {
        // From the configuration word, where programming mode starts: the
        // program memory with its calibration word, and the configuration
        // word; from the ID region also the IDs and the backup calibration
        // word after them.
        const bool ids = Pc >= Spec.CodeWords && Pc < ConfigAddress();
        if (!ids && Pc != ConfigAddress()) Violation("bulk erase with the address in program memory");
        ++ChipErases;
        return StartBusy(Spec.EraseNs, "the bulk erase of program memory", [this, ids] {
          for (int a = 0; a < Spec.CodeWords; ++a) Mem[static_cast<size_t>(a)] = Blank();
          Mem[static_cast<size_t>(ConfigAddress())] = Blank();
          if (ids)
            for (int a = Spec.CodeWords; a <= Spec.CodeWords + 4; ++a) Mem[static_cast<size_t>(a)] = Blank();
        });
      }
      if (Spec.Flash == 2 || Spec.Flash == 5) {
        const bool config = Pc >= 0x2000;
        ++ChipErases;
        return StartBusy(Spec.EraseNs, "the bulk erase of program memory", [this, config] {
          for (int a = 0; a < Spec.CodeWords; ++a) Mem[static_cast<size_t>(a)] = Blank();
          if (Spec.Flash == 2 || config) Mem[0x2007] = 0x3FFF;
          if (Spec.Flash == 5 && config)
            for (int a = 0x2000; a <= 0x2003; ++a) Mem[static_cast<size_t>(a)] = 0x3FFF;
        });
      }
      break;
    case 11:
      if (Spec.Flash == 5) return StartBusy(Spec.EraseNs, "the bulk erase of data memory", [this] {
        Data.assign(Data.size(), 0xFF);
      });
      break;
    case 1:
      if (Spec.Flash == 1) {
        EraseSetup = EraseSetup == 3 ? 4 : 1;
        return;
      }
      break;
    case 7:
      if (Spec.Flash == 1) {
        EraseSetup = EraseSetup == 1 ? 2 : 0;
        return;
      }
      break;
    case 10:
      if (c17) return ExpectIn(16);
      break;
    default: break;
  }
  Violation(std::string(Spec.Name) + " does not know command " + std::to_string(c));
}

void TMidrangeSim::OnData(int c, uint32_t value) {
  switch (c) {
    case 0:
      Pc = 0x2000;
      Latch = Spec.Parity ? (value >> 1) & 0xFFFF : (value >> 1) & 0x3FFF;
      LatchIsData = false;
      return;
    case 2:
      if (Spec.Core == 17)
        Latch = value & 0xFFFF;
      else
        Latch = Spec.Parity ? (value >> 1) & 0xFFFF : (value >> 1) & static_cast<uint32_t>(WordMask());
      LatchIsData = false;
      return;
    case 3:
      DataLatch = static_cast<uint8_t>((value >> 1) & 0xFF);
      LatchIsData = true;
      return;
    case 10: Pc = static_cast<int>(value & 0xFFFF); return;
    default: return;
  }
}
