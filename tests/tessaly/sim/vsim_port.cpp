#include "vsim_port.h"

bool TSimPort::Claim(int lptIndex, std::string& why) {
  if (lptIndex < 0 || lptIndex > 2 || !Slots[lptIndex].Exists) {
    why = "There is no /dev/parport" + std::to_string(lptIndex) +
          ": load the kernel modules parport_pc and ppdev (sudo modprobe parport_pc ppdev).";
    return false;
  }
  if (!Slots[lptIndex].Refusal.empty()) {
    why = Slots[lptIndex].Refusal;
    return false;
  }
  Claimed = lptIndex;
  ++Claims;
  ClearFault();
  return true;
}

void TSimPort::Release() { Claimed = -1; }

void TSimPort::Tick() {
  ++Accesses;
  if (ClockRef) ClockRef->Advance(AccessCostNs);
}

bool TSimPort::Failing(bool write) {
  if (FailAt < 0 || Accesses <= FailAt || (write && FailReadsOnly)) return false;
  NoteFault(FailReason);
  ++FailedAccesses;
  return true;
}

uint8_t TSimPort::Read(int offset) {
  if (Claimed < 0) {
    ++AccessesWhileUnclaimed;
    return 0;
  }
  Tick();
  if (Failing(false)) return 0;
  TSlot& s = Slots[Claimed];
  const int64_t t = ClockRef ? ClockRef->Now : 0;
  switch (offset) {
    case RegData: return s.Data;
    case RegStatus: return (s.Device ? s.Device : &Nothing)->Status(t, s.Data) & 0xF8;
    case RegControl: return s.Control;
    case RegEcr: return s.Ecr;
    default: return 0xFF;
  }
}

bool TSimPort::Write(int offset, uint8_t value) {
  if (Claimed < 0) {
    ++AccessesWhileUnclaimed;
    return false;
  }
  Tick();
  if (Failing(true)) return false;
  TSlot& s = Slots[Claimed];
  const int64_t t = ClockRef ? ClockRef->Now : 0;
  if (KeepLog) Log.push_back({t, Claimed, offset, value});
  switch (offset) {
    case RegData:
      s.Data = value;
      if (s.Device) s.Device->DataWritten(t, value);
      return true;
    case RegControl: s.Control = value; return true;
    case RegEcr: s.Ecr = value; return true;
    default: return false;
  }
}

std::vector<uint8_t> TSimPort::DataWrites(size_t from) const {
  std::vector<uint8_t> out;
  for (size_t i = from; i < Log.size(); ++i)
    if (Log[i].Offset == RegData) out.push_back(Log[i].Value);
  return out;
}
