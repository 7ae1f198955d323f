#include "ts_serial.h"

#include "ts_clock.h"
#include "ts_devdb.h"
#include "ts_lpt.h"
#include "ts_options.h"
#include "ts_ui.h"

int32_t LoopsPer100ms = 0;

namespace {
bool IsCore17() { return DeviceParameters.CoreType == 17; }
bool MclreOption() {
  const TOptionItem* item = FindOptionItem("MCLRE_ON");
  return item && item->Enabled;
}
}  // namespace

void WriteData(uint8_t value) { lpt_WritePort(RegData, value); }

uint8_t ReadStatus() { return lpt_ReadPort(RegStatus) & 0xFF; }

bool LockPort() {
  if (!lpt_Lock()) return false;
  ResetPortLines();
  return true;
}

bool UnlockPort() { return lpt_Unlock(); }

void SendBit(int bit) {
  const uint8_t b = bit ? 1 : 0;
  WriteData(0x12 | b);
  if (IsCore17()) DelayMicroseconds(1);
  WriteData(0x10 | b);
}

int ReceiveBit() {
  WriteData(0x13);  // clock high, data line released high for the target
  ReadStatus();     // the first reading only lets the line settle
  const uint8_t status = ReadStatus();
  WriteData(0x11);
  return (status & 0x40) ? 1 : 0;
}

void SendBits(int count, uint32_t value) {
  for (int i = 0; i < count; ++i) {
    SendBit(static_cast<int>(value & 1));
    value >>= 1;
  }
  DelayMicroseconds(IsCore17() ? 20 : 1);
}

uint16_t ReceiveBits(int count) {
  if (IsCore17()) DelayMicroseconds(10);
  uint16_t result = 0;
  for (int i = 0; i < count; ++i) result = static_cast<uint16_t>((result >> 1) + (ReceiveBit() ? 0x8000 : 0));
  DelayMicroseconds(IsCore17() ? 20 : 1);
  return result;
}

int CommandWidth() {
  switch (DeviceParameters.CoreType) {
    case 12:
    case 14: return 6;
    case 17: return 8;
    case 18: return 4;
    default: return 0;
  }
}

void SendCommand(int command) {
  const int width = CommandWidth();
  if (width) SendBits(width, static_cast<uint32_t>(command));
}

void SendCommandData(int command, uint32_t operand) {
  SendCommand(command);
  SendBits(16, operand);
}

void SendCommandHold(int command) {
  SendBit(command & 1);
  SendBit((command >> 1) & 1);
  SendBit((command >> 2) & 1);
  const uint8_t b3 = (command >> 3) & 1;
  WriteData(0x12 | b3);  // the fourth clock stays high for the programming time
  DelayMicroseconds(DeviceParameters.ProgTime);
  WriteData(0x10 | b3);
  DelayMicroseconds(5);
}

bool EnterProgramMode() {
  if (!LockPort()) {
    if (!PortLayer.PortSelected)
      ErrorBox("No VORRA Port selected.");
    else
      ErrorBox(Format("Unable to access VORRA Port LPT%d.\n", PortLayer.LptIndex + 1) + PortLayer.LastClaimFailure);
    return false;
  }
  WriteData(0x0C);
  CalibrateDelay();
  if (MclreOption()) {
    // Programming voltage before the supply, so a part whose reset pin may
    // be switched off never starts running its program.
    WriteData(0x14);
    DelayMicroseconds(5);
    WriteData(0x10);
    DelayMicroseconds(20000);
  } else {
    WriteData(0x08);
    DelayMicroseconds(20000);
    WriteData(0x10);
    DelayMicroseconds(20);
  }
  return true;
}

void ExitProgramMode() {
  WriteData(0x1F);
  UnlockPort();
}

void DelayMicroseconds(int32_t us) {
  // Deadlines on the monotonic clock: never shorter than asked, and never
  // empty, whatever the caller or the device data say.
  Clock().WaitUs(us < 1 ? 1 : us);
}

void CalibrateDelay() {
  // Waits on the monotonic clock need no measured loop. The measurement
  // span stays: for 100 ms the target is unpowered with its reset pin held
  // low, so it starts from a true power-on reset even right after leaving
  // programming mode.
  DelayMicroseconds(100000);
  LoopsPer100ms = 100000;
}

void SetTablePointer(uint32_t address) {
  const uint32_t a = address & 0xFFFFFF;
  if (a >= 0x10000) {
    SendCommandData(0, 0x0E00 | ((a >> 16) & 0xFF));  // MOVLW upper
    SendCommandData(0, 0x6EF8);                       // MOVWF TBLPTRU
  } else {
    SendCommandData(0, 0x6AF8);  // CLRF TBLPTRU
  }
  const uint32_t h = (a >> 8) & 0xFF;
  if (h) {
    SendCommandData(0, 0x0E00 | h);
    SendCommandData(0, 0x6EF7);  // MOVWF TBLPTRH
  } else {
    SendCommandData(0, 0x6AF7);  // CLRF TBLPTRH
  }
  const uint32_t l = a & 0xFF;
  if (l) {
    SendCommandData(0, 0x0E00 | l);
    SendCommandData(0, 0x6EF6);  // MOVWF TBLPTRL
  } else {
    SendCommandData(0, 0x6AF6);  // CLRF TBLPTRL
  }
}

uint32_t AddParity(uint32_t w) {
  uint32_t p0 = 0, p1 = 1;
  for (int bit = 0; bit < 14; bit += 2) p0 ^= (w >> bit) & 1;
  for (int bit = 1; bit < 14; bit += 2) p1 ^= (w >> bit) & 1;
  return (w << 2) | (p1 << 1) | p0;
}
