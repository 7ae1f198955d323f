#include "vsim_pic18.h"

#include <cstdio>

namespace {
std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%04X", v);
  return b;
}
}  // namespace

TPic18Sim::TPic18Sim(const TPic18Spec& spec) : Spec(spec) {
  Code.assign(static_cast<size_t>(2 * spec.CodeWords), 0xFF);
  Ee.assign(static_cast<size_t>(spec.DataBytes > 0 ? spec.DataBytes : 1), 0xFF);
  for (uint8_t& b : Id) b = 0xFF;
  for (int i = 0; i < 14; ++i) Config[i] = spec.ConfigErased[i];
  Holding.assign(static_cast<size_t>(spec.WriteBufferBytes), 0xFF);
}

uint16_t TPic18Sim::CodeWord(int i) const {
  return static_cast<uint16_t>(Code[static_cast<size_t>(2 * i)] | (Code[static_cast<size_t>(2 * i + 1)] << 8));
}

void TPic18Sim::SetCodeWord(int i, uint16_t v) {
  Code[static_cast<size_t>(2 * i)] = v & 0xFF;
  Code[static_cast<size_t>(2 * i + 1)] = static_cast<uint8_t>(v >> 8);
}

uint16_t TPic18Sim::IdWord(int i) const { return static_cast<uint16_t>(Id[2 * i] | (Id[2 * i + 1] << 8)); }

void TPic18Sim::SetIdWord(int i, uint16_t v) {
  Id[2 * i] = v & 0xFF;
  Id[2 * i + 1] = static_cast<uint8_t>(v >> 8);
}

uint16_t TPic18Sim::ConfigWord(int i) const {
  return static_cast<uint16_t>(Config[2 * i] | (Config[2 * i + 1] << 8));
}

void TPic18Sim::OnEnter() {
  W = Tablat = Eecon1Bits = Eedata = Eeadr = Eeadrh = 0;
  Tblptr = 0;
  Unlock = 0;
  SinglePanel = false;
  Holding.assign(Holding.size(), 0xFF);
  Armed = TArm::None;
  EraseStage = 0;
  RowErasePending = false;
  if (EeBusyUntil > Now) Violation("programming mode entered during a data EEPROM write");
}

uint8_t TPic18Sim::ReadByte(uint32_t a) const {
  if (a < Code.size()) return Code[a];
  if (a >= 0x200000 && a < 0x200008) return Id[a - 0x200000];
  if (a >= 0x300000 && a < 0x30000E) return Config[a - 0x300000];
  if (Spec.DeviceId >= 0 && (a == 0x3FFFFE || a == 0x3FFFFF))
    return static_cast<uint8_t>(a == 0x3FFFFE ? Spec.DeviceId & 0xFF : Spec.DeviceId >> 8);
  return 0;
}

uint8_t* TPic18Sim::WritableByte(uint32_t a) {
  if (a < Code.size()) return &Code[a];
  if (a >= 0x200000 && a < 0x200008) return &Id[a - 0x200000];
  if (a >= 0x300000 && a < 0x30000E) return &Config[a - 0x300000];
  return nullptr;
}

void TPic18Sim::ShiftOut(uint8_t v) {
  std::vector<std::optional<bool>> bits(8, std::nullopt);  // eight clocks with the line free
  for (int b = 0; b < 8; ++b) bits.push_back(((v >> b) & 1) != 0);
  ExpectOut(std::move(bits));
}

void TPic18Sim::OnFourthClock(int64_t hold) {
  if (Armed == TArm::None) return;
  if (hold < Spec.P9Ns) {
    if (Armed != TArm::EpromWord)
      Violation("programming started without the fourth clock held for P9 (held " + std::to_string(hold / 1000) +
                " us)");
    Armed = TArm::None;
    return;
  }
  HoldOff(Spec.P10Ns, "a programming pulse (P10)");
  const uint32_t a = ArmedAddress;
  switch (Armed) {
    case TArm::Block: {
      ++BlockWrites;
      for (size_t i = 0; i < Holding.size(); ++i)
        if (uint8_t* p = WritableByte(a + static_cast<uint32_t>(i))) *p &= Holding[i];
      Holding.assign(Holding.size(), 0xFF);
      break;
    }
    case TArm::ConfigByte: {
      const size_t i = a - 0x300000;
      Config[i] = static_cast<uint8_t>((a & 1 ? ArmedWord >> 8 : ArmedWord) & Spec.ConfigImplemented[i]);
      break;
    }
    case TArm::EpromWord: {
      ++Pulses[a];
      auto& p = Progress[a];
      if (p.first != ArmedWord || p.second == 0) p = {ArmedWord, 0};
      if (++p.second >= Spec.PulsesNeeded) {
        uint8_t* lo = WritableByte(a);
        uint8_t* hi = WritableByte(a + 1);
        const bool config = a >= 0x300000;
        if (lo) *lo &= static_cast<uint8_t>(ArmedWord & (config ? Spec.ConfigImplemented[a - 0x300000] : 0xFF));
        if (hi) *hi &= static_cast<uint8_t>((ArmedWord >> 8) & (config ? Spec.ConfigImplemented[a + 1 - 0x300000] : 0xFF));
      }
      // The latch stays armed: the next held clock gives another pulse.
      return;
    }
    default: break;
  }
  Armed = TArm::None;
}

void TPic18Sim::OnCommand(int c) {
  if (EraseStage == 2 && c == 0) {
    // The erase starts at the fourth clock of the second NOP.
    EraseStage = 0;
    ++BulkErases;
    const uint8_t code = EraseCode;
    StartBusy(Spec.P11Ns, "the bulk erase", [this, code] {
      Ee.assign(Ee.size(), 0xFF);
      if (code == 0x80) {
        Code.assign(Code.size(), 0xFF);
        for (uint8_t& b : Id) b = 0xFF;
        for (int i = 0; i < 14; ++i) Config[i] = Spec.ConfigErased[i];
      }
    });
    return ExpectIn(16);
  }
  if (EraseStage && c != 0) {
    Violation("bulk erase abandoned by command " + std::to_string(c));
    EraseStage = 0;
  }
  switch (c) {
    case 0:
    case 12:
    case 13:
    case 15: return ExpectIn(16);
    case 2: return ShiftOut(Tablat);
    case 8:
    case 9:
    case 10:
    case 11: {
      if (c == 11) ++Tblptr;
      Tablat = ReadByte(Tblptr & 0x3FFFFF);
      if (c == 9) ++Tblptr;
      if (c == 10) --Tblptr;
      Tblptr &= 0x3FFFFF;
      return ShiftOut(Tablat);
    }
    default: Violation(std::string(Spec.Name) + " does not know command " + std::to_string(c));
  }
}

void TPic18Sim::OnData(int c, uint32_t value) {
  if (c == 0) return Execute(static_cast<uint16_t>(value));
  TableWrite(c, static_cast<uint16_t>(value));
}

void TPic18Sim::TableWrite(int c, uint16_t word) {
  const uint32_t a = Tblptr & 0x3FFFFF;
  if (a >= 0x3C0000) {
    // Erase control (0x3C0004) and panel configuration (0x3C0006).
    if (c != 12) Violation("table write with command " + std::to_string(c) + " to " + Hex(a));
    if (a == 0x3C0004) {
      if (Spec.Eprom) return Violation("EPROM part has no erase register");
      EraseCode = static_cast<uint8_t>(word & 0xFF);
      if (EraseCode != 0x80 && EraseCode != 0x81) Violation("unknown erase code " + Hex(EraseCode));
      EraseStage = 1;
    } else if (a == 0x3C0006) {
      SinglePanel = (word & 0xFF) == 0;
    } else {
      Violation("table write to " + Hex(a));
    }
    return;
  }
  if (Spec.Eprom) {
    if (c != 12) return Violation("EPROM part programs with TBLWT* only, not command " + std::to_string(c));
    if (a & 1) return Violation("EPROM word write at odd address " + Hex(a));
    if (!WritableByte(a)) return Violation("EPROM write outside memory at " + Hex(a));
    Armed = TArm::EpromWord;
    ArmedAddress = a;
    ArmedWord = word;
    return;
  }
  const bool eepgd = Eecon1Bits & 0x80, cfgs = Eecon1Bits & 0x40;
  if (a >= 0x300000) {
    if (!(eepgd && cfgs)) Violation("configuration write without EEPGD and CFGS set");
    if (a >= 0x30000E) return Violation("configuration write outside 0x300000-0x30000D");
    if (c != 15) return Violation("configuration byte written with command " + std::to_string(c));
    Armed = TArm::ConfigByte;
    ArmedAddress = a;
    ArmedWord = word;
    return;
  }
  if (!eepgd || cfgs) Violation("program memory table write with EEPGD clear or CFGS set at " + Hex(a));
  if (Spec.NeedsSinglePanel && !SinglePanel) Violation("code write before single-panel mode was set");
  if (a & 1) Violation("word table write at odd address " + Hex(a));
  if (!WritableByte(a)) Violation("table write outside memory at " + Hex(a));
  const size_t off = a & static_cast<uint32_t>(Spec.WriteBufferBytes - 1);
  if (c == 12) Violation("TBLWT* without post-increment into the write buffer");
  Holding[off] = word & 0xFF;
  Holding[off + 1] = static_cast<uint8_t>(word >> 8);
  if (c == 13) {
    Tblptr = (Tblptr + 2) & 0x3FFFFF;
  } else if (c == 15) {
    Armed = TArm::Block;
    ArmedAddress = a & ~static_cast<uint32_t>(Spec.WriteBufferBytes - 1);
  }
}

uint8_t TPic18Sim::Eecon1() const {
  return static_cast<uint8_t>(Eecon1Bits | (Now < EeBusyUntil ? 0x02 : 0));
}

uint8_t TPic18Sim::ReadReg(int f) const {
  switch (f) {
    case 0xF5: return Tablat;
    case 0xF6: return Tblptr & 0xFF;
    case 0xF7: return (Tblptr >> 8) & 0xFF;
    case 0xF8: return (Tblptr >> 16) & 0x3F;
    case 0xA6: return Eecon1();
    case 0xA7: return 0;
    case 0xA8: return Eedata;
    case 0xA9: return Eeadr;
    case 0xAA:
      if (Spec.DataBytes > 256) return Eeadrh;
      break;
  }
  const_cast<TPic18Sim*>(this)->Violation("read of unknown register " + Hex(static_cast<uint32_t>(f)));
  return 0;
}

void TPic18Sim::WriteReg(int f, uint8_t v) {
  switch (f) {
    case 0xF5: Tablat = v; return;
    case 0xF6: Tblptr = (Tblptr & ~0xFFu) | v; return;
    case 0xF7: Tblptr = (Tblptr & ~0xFF00u) | (static_cast<uint32_t>(v) << 8); return;
    case 0xF8: Tblptr = (Tblptr & 0xFFFF) | (static_cast<uint32_t>(v & 0x3F) << 16); return;
    case 0xA7:
      if (v == 0x55) Unlock = 1;
      else if (v == 0xAA && Unlock == 1) Unlock = 2;
      else Unlock = 0;
      return;
    case 0xA8: Eedata = v; return;
    case 0xA9: Eeadr = v; return;
    case 0xAA:
      if (Spec.DataBytes > 256) {
        Eeadrh = v;
        return;
      }
      break;
  }
  Violation("write of unknown register " + Hex(static_cast<uint32_t>(f)));
}

void TPic18Sim::SetBit(int f, int bit, bool set) {
  if (f != 0xA6) {
    const uint8_t v = ReadReg(f);
    return WriteReg(f, static_cast<uint8_t>(set ? v | (1 << bit) : v & ~(1 << bit)));
  }
  const bool eepgd = Eecon1Bits & 0x80, cfgs = Eecon1Bits & 0x40;
  if (bit == 0 && set) {  // RD
    if (eepgd || cfgs) return Violation("EECON1 RD with EEPGD or CFGS set");
    if (Now < EeBusyUntil) Violation("data EEPROM read during a write");
    const int addr = Eeadr | (Eeadrh << 8);
    if (addr >= Spec.DataBytes) return Violation("data EEPROM read outside memory");
    Eedata = Ee[static_cast<size_t>(addr)];
    return;
  }
  if (bit == 1 && set) {  // WR
    const bool unlocked = !Spec.NeedsUnlock || Unlock == 2;
    Unlock = 0;
    if (!(Eecon1Bits & 0x04)) return Violation("EECON1 WR without WREN");
    if (!unlocked) return Violation("EECON1 WR without the EECON2 unlock sequence");
    if (Now < EeBusyUntil) return Violation("EECON1 WR during a data EEPROM write");
    if (Eecon1Bits & 0x10) {  // FREE
      if (!eepgd || cfgs) return Violation("row erase without EEPGD");
      RowErasePending = true;
      RowAddress = Tblptr & ~63u;
      return;
    }
    if (eepgd || cfgs) return Violation("self-timed program memory write is not a programming-mode operation");
    const int addr = Eeadr | (Eeadrh << 8);
    if (addr >= Spec.DataBytes) return Violation("data EEPROM write outside memory");
    Ee[static_cast<size_t>(addr)] = Eedata;
    ++EeWrites;
    EeBusyUntil = Now + Spec.EeWriteNs;
    return;
  }
  if (bit == 0 || bit == 1) return Violation("EECON1 RD or WR cleared by the programmer");
  Eecon1Bits = static_cast<uint8_t>(set ? Eecon1Bits | (1 << bit) : Eecon1Bits & ~(1 << bit));
}

void TPic18Sim::Execute(uint16_t v) {
  const int f = v & 0xFF;
  const bool keepsUnlock = (v & 0xFF00) == 0x0E00 || v == 0x6EA7 || v == 0x82A6;
  if (!keepsUnlock) Unlock = 0;
  if (EraseStage == 1) {
    if (v == 0x0000) {
      EraseStage = 2;
      return;
    }
    Violation("bulk erase abandoned by instruction " + Hex(v));
    EraseStage = 0;
  }
  if (RowErasePending) {
    RowErasePending = false;
    if (v != 0x0000) {
      Violation("row erase not followed by a NOP");
    } else {
      ++RowErases;
      const uint32_t a = RowAddress;
      Eecon1Bits &= static_cast<uint8_t>(~0x10);
      StartBusy(Spec.RowEraseNs, "a row erase", [this, a] {
        for (uint32_t i = 0; i < 64; ++i)
          if (uint8_t* p = WritableByte(a + i)) *p = 0xFF;
      });
    }
    return;
  }
  if (v == 0x0000) return;
  switch (v & 0xFF00) {
    case 0x0E00: W = static_cast<uint8_t>(f); return;
    case 0x6E00:
      if (f < 0x80) break;
      return WriteReg(f, W);
    case 0x6A00:
      if (f < 0x80) break;
      return WriteReg(f, 0);
    case 0x5000:
      if (f < 0x80) break;
      W = ReadReg(f);
      return;
    case 0x2A00:
      if (f < 0x80) break;
      return WriteReg(f, static_cast<uint8_t>(ReadReg(f) + 1));
    default:
      if ((v & 0xE100) == 0x8000 && f >= 0x80) return SetBit(f, (v >> 9) & 7, (v & 0x1000) == 0);
      break;
  }
  Violation(std::string(Spec.Name) + " does not know instruction " + Hex(v));
}
