#include <algorithm>

#include "ts_clock.h"
#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_images.h"
#include "ts_options.h"
#include "ts_serial.h"

namespace {

const TDeviceParameters& D() { return DeviceParameters; }
bool Core18() { return D().CoreType == 18; }

// The longest a PIC18 data EEPROM write may keep WR set before we give up:
// well above any part's write time, so only a missing or broken chip ends here.
constexpr int64_t EepromWriteLimitNs = 100'000'000;

uint16_t ReadTableWord(bool holdFirst) {
  if (holdFirst)
    SendCommandHold(9);
  else
    SendCommand(9);
  const uint16_t a = ReceiveBits(16);
  SendCommand(9);
  const uint16_t b = ReceiveBits(16);
  return static_cast<uint16_t>((a >> 8) + (b & 0xFF00));
}

// One of the block images: the entry at index, empty beyond its end.
uint32_t Entry(const uint32_t* image, int size, int index) {
  return index >= 0 && index < size ? image[index] : EmptyEntry;
}

bool WriteBlock(const uint32_t* image, int size, int start, uint32_t base) {
  const int n = D().BlockSize;
  bool any = false;
  for (int k = 0; k < n; ++k) any = any || Entry(image, size, start + k) != EmptyEntry;
  if (!any) return true;
  const uint32_t address = base + 2 * static_cast<uint32_t>(start);
  SetTablePointer(address);
  for (int k = 0; k < n; ++k) {
    const uint32_t e = Entry(image, size, start + k);
    SendCommandData(k == n - 1 ? 15 : 13, e == EmptyEntry ? 0xFFFF : e & 0xFFFF);
  }
  SendCommandHold(0);
  SendBits(16, 0);
  SetTablePointer(address);
  for (int k = 0; k < n; ++k)
    if (ReadWord() != (Entry(image, size, start + k) & 0xFFFF)) return false;
  return true;
}

}  // namespace

uint32_t BlankWord() { return D().CoreType == 12 ? 0xFFF : D().CoreType == 14 ? 0x3FFF : 0xFFFF; }

bool MemoryParity() {
  const TOptionItem* item = FindOptionItem("MPEEN_ON");
  return item && item->Enabled;
}

void CoreInstruction(uint16_t instruction) { SendCommandData(0, instruction); }

void LoadConfiguration() {
  SendCommand(0);
  if (MemoryParity())
    SendBits(18, 0x1FFFD);
  else
    SendBits(16, 0x7FFE);
}

uint16_t ReadWord() {
  switch (D().CoreType) {
    case 18: return ReadTableWord(false);
    case 17: SendCommand(4); return ReceiveBits(16);
    case 12:
    case 14: SendCommand(4); return static_cast<uint16_t>((ReceiveBits(MemoryParity() ? 18 : 16) >> 1) & 0x3FFF);
    default: return 0;
  }
}

void PulseWord(uint32_t w) {
  SendCommand(2);
  if (D().CoreType == 17)
    SendBits(16, w & 0xFFFF);
  else if (MemoryParity())
    SendBits(18, AddParity(w & 0x3FFF) * 2);
  else
    SendBits(16, (w & 0x3FFF) * 2);
  SendCommand(8);
  DelayMicroseconds(D().ProgTime);
  if (D().EraseType == 0 || D().EraseType == 2) SendCommand(14);
}

bool ProgramWord(uint32_t w) {
  w &= BlankWord();  // a word wider than the core could never verify
  int tries = 0;
  for (int i = 1;; ++i) {
    if (i > D().ProgCount) return false;
    tries = i;
    if (Core18()) {
      SendCommand(12);
      SendBits(16, w);
      SendCommandHold(9);
      const uint16_t c = ReceiveBits(16);
      SendCommand(10);
      const uint16_t b = ReceiveBits(16);
      if (static_cast<uint32_t>((c >> 8) + (b & 0xFF00)) == w) break;
    } else {
      PulseWord(w);
      if (ReadWord() == w) break;
    }
  }
  if (D().ProgMult == 0) return true;
  const int64_t extra = static_cast<int64_t>(tries) * D().ProgMult;
  for (int64_t k = 0; k < extra; ++k) {
    if (Core18()) {
      SendCommandHold(12);
      SendBits(16, w);
    } else {
      PulseWord(w);
    }
  }
  if (Core18()) return ReadTableWord(true) == w;
  return ReadWord() == w;
}

bool ProgramDataByte(uint8_t v) { return LoadDataByte(v) && ReadDataByte() == v; }

bool LoadDataByte(uint8_t v) {
  if (Core18()) {
    CoreInstruction(static_cast<uint16_t>(0x0E00 | v));  // MOVLW v
    CoreInstruction(0x6EA8);                             // MOVWF EEDATA
    CoreInstruction(0x84A6);                             // BSF EECON1, WREN
    CoreInstruction(0x0E55);
    CoreInstruction(0x6EA7);  // 0x55 to EECON2
    CoreInstruction(0x0EAA);
    CoreInstruction(0x6EA7);  // 0xAA to EECON2
    CoreInstruction(0x82A6);  // BSF EECON1, WR
    // Poll WR (bit 1 of EECON1, bit 9 of what comes back), bounded in time:
    // with no chip the line reads all ones and WR would never clear.
    const int64_t deadline = Clock().NowNs() + EepromWriteLimitNs;
    bool done = false;
    do {
      CoreInstruction(0x50A6);  // MOVF EECON1, W
      CoreInstruction(0x6EF5);  // MOVWF TABLAT
      SendCommand(2);
      done = (ReceiveBits(16) & 0x0200) == 0;
    } while (!done && Clock().NowNs() < deadline);
    CoreInstruction(0x94A6);  // BCF EECON1, WREN
    return done;
  }
  SendCommand(3);
  SendBits(16, static_cast<uint32_t>(v) * 2);
  SendCommand(8);
  DelayMicroseconds(D().ProgTime);
  return true;
}

uint8_t ReadDataByte() {
  if (Core18()) {
    CoreInstruction(0x80A6);  // BSF EECON1, RD
    CoreInstruction(0x50A8);  // MOVF EEDATA, W
    CoreInstruction(0x6EF5);  // MOVWF TABLAT
    SendCommand(2);
    return static_cast<uint8_t>(ReceiveBits(16) >> 8);
  }
  SendCommand(5);
  return static_cast<uint8_t>((ReceiveBits(16) >> 1) & 0xFF);
}

void SetDataAddress(int i) {
  CoreInstruction(static_cast<uint16_t>(0x0E00 | (i & 0xFF)));
  CoreInstruction(0x6EA9);  // MOVWF EEADR
  if (D().DataSize > 256) {
    CoreInstruction(static_cast<uint16_t>(0x0E00 | ((i >> 8) & 0xFF)));
    CoreInstruction(0x6EAA);  // MOVWF EEADRH
  }
}

bool ProgramConfigWord(uint32_t w) {
  switch (D().CoreType) {
    case 12:
      // Re-entering programming mode puts the address on the configuration word.
      ExitProgramMode();
      if (!EnterProgramMode()) return false;
      break;
    case 14:
      LoadConfiguration();
      for (int i = 0; i < 7; ++i) SendCommand(6);
      break;
    default: break;
  }
  SendCommand(2);
  if (MemoryParity())
    SendBits(18, AddParity(w & 0x3FFF) * 2);
  else
    SendBits(16, (w * 2) & 0xFFFF);
  switch (D().EraseType) {
    case 0:
      for (int i = 0; i < 100; ++i) {
        SendCommand(8);
        DelayMicroseconds(D().ProgTime);
        SendCommand(14);
      }
      break;
    case 1:
    case 5:
      SendCommand(8);
      DelayMicroseconds(D().ProgTime);
      break;
    case 2:
      SendCommand(8);
      DelayMicroseconds(D().ProgTime);
      SendCommand(14);
      break;
    default: break;
  }
  return true;
}

uint32_t ReadConfiguration() {
  switch (D().CoreType) {
    case 12:
      ExitProgramMode();
      if (!EnterProgramMode()) return EmptyEntry;
      return ReadWord();
    case 14:
      LoadConfiguration();
      for (int i = 0; i < 7; ++i) SendCommand(6);
      return ReadWord();
    case 17: {
      SendCommand(10);
      SendBits(16, 0xFE00);
      const uint32_t a = ReadWord();
      SendCommand(10);
      SendBits(16, 0xFE08);
      const uint32_t b = ReadWord();
      return ((b << 8) & 0xFFFF) | (a & 0xFF);
    }
    case 18:
      SetTablePointer(0x300000);
      for (int i = 0; i < D().ConfigSize; ++i) ConfigWords[i] = ReadWord();
      return ConfigWords[0];
    default: return 0;
  }
}

bool WriteConfiguration() {
  BuildConfiguration();
  const TDeviceParameters& d = D();
  if (d.CoreType == 12 || d.CoreType == 14 || d.CoreType == 17) {
    uint32_t w = ConfigWords[0];
    if (w == EmptyEntry) return true;  // nothing to write
    const uint32_t mask = static_cast<uint32_t>(d.ConfigMask[0]);
    if (d.EraseType == 5) {
      // The bits outside the mask are the part's own calibration: keep the
      // chip's values, whatever the image says.
      const uint32_t chip = ReadConfiguration();
      w = (w & mask) | (chip & ~mask & BlankWord());
    }
    uint32_t read = 0;
    if (d.CoreType == 17) {
      SendCommand(10);
      SendBits(16, 0xFE00);
      for (int bit = 0; bit < 16; ++bit) {
        if (((w >> bit) & 1) == 0 && !ProgramConfigWord(0)) return false;
        SendCommand(6);
      }
      read = ReadConfiguration();
    } else {
      if (!ProgramConfigWord(w)) return false;
      read = ReadWord();
    }
    return (read & mask) == (w & mask);
  }
  if (d.CoreType != 18) return false;
  if (d.EraseType != 0) {
    SetTablePointer(0x3C0006);
    SendCommandData(12, 0);
    CoreInstruction(0x8EA6);  // BSF EECON1, EEPGD
    CoreInstruction(0x8CA6);  // BSF EECON1, CFGS
  }
  SetTablePointer(0x300000);
  bool pointerBehind = false;  // an empty word was skipped
  for (int i = 0; i < d.ConfigSize; ++i) {
    const uint32_t w = ConfigWords[i];
    if (w == EmptyEntry) {
      pointerBehind = true;
      continue;
    }
    if (pointerBehind) SetTablePointer(0x300000 + 2 * static_cast<uint32_t>(i));
    pointerBehind = false;
    uint32_t lo = 0;
    if (d.EraseType != 0) {
      SendCommandData(15, w & 0xFFFF);
      SendCommandHold(0);
      SendBits(16, 0);
      SendCommand(9);
      lo = ReceiveBits(16) >> 8;
      SendCommandData(15, w & 0xFFFF);
      SendCommandHold(0);
      SendBits(16, 0);
    } else {
      const int64_t pulses = static_cast<int64_t>(d.ProgMult + 1) * d.ProgCount;
      for (int64_t k = 0; k < pulses; ++k) {
        SendCommandHold(12);
        SendBits(16, w & 0xFFFF);
      }
      SendCommandHold(9);
      lo = ReceiveBits(16) >> 8;
    }
    SendCommand(9);
    const uint32_t hi = ReceiveBits(16);
    const uint32_t mask = static_cast<uint32_t>(d.ConfigMask[i]);
    if (((lo + (hi & 0xFF00)) & mask) != (w & mask)) return false;
  }
  return true;
}

bool WriteCodeBlock(int start) { return WriteBlock(CodeImage, 65536, start, 0); }

bool WriteIDBlock(int start) { return WriteBlock(IDImage, 8, start, 0x200000); }
