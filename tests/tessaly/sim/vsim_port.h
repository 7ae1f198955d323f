// Simulated parallel ports LPT1-3 and what hangs on them: nothing, a
// loop-back plug (data bit 0 to status bit 6, straight or inverted), or the
// Vorra programmer with a target in its socket.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ts_port.h"
#include "vsim_clock.h"

// Whatever is plugged into one port: it sees every data-register write and
// sets the status lines.
class TLptDevice {
public:
  virtual ~TLptDevice() = default;
  virtual void DataWritten(int64_t tNs, uint8_t data) { (void)tNs, (void)data; }
  // Status register bits 3-7 as the port would show them now.
  virtual uint8_t Status(int64_t tNs, uint8_t data) const = 0;
};

// Status bits other than bit 6 float to this pattern, so reads must mask.
inline constexpr uint8_t FloatingStatus = 0x87;

class TNothingPlugged final : public TLptDevice {
public:
  uint8_t Status(int64_t, uint8_t) const override { return FloatingStatus | 0x40; }
};

class TLoopbackPlug final : public TLptDevice {
public:
  explicit TLoopbackPlug(bool inverted) : Inverted(inverted) {}
  uint8_t Status(int64_t, uint8_t data) const override {
    const bool bit = ((data & 1) != 0) != Inverted;
    return static_cast<uint8_t>((FloatingStatus & ~0x40) | (bit ? 0x40 : 0));
  }
  bool Inverted;
};

struct TPortWrite {
  int64_t TimeNs;
  int Port;    // LPT index 0-2
  int Offset;  // register offset
  uint8_t Value;
};

class TSimPort final : public TPortBackend {
public:
  explicit TSimPort(TVirtualClock* clock = nullptr) : ClockRef(clock) {}

  struct TSlot {
    TLptDevice* Device = nullptr;  // null: nothing plugged
    bool Exists = true;            // false: no such port on the machine
    std::string Refusal;           // non-empty: claiming fails with this text
    uint8_t Data = 0, Control = 0, Ecr = 0;
  };
  TSlot Slots[3];

  bool Claim(int lptIndex, std::string& why) override;
  void Release() override;
  uint8_t Read(int offset) override;
  bool Write(int offset, uint8_t value) override;

  int Claimed = -1;                  // the claimed LPT index, -1 none
  int Claims = 0;                    // successful claims so far
  // Virtual time one register access takes: about a microsecond through
  // ppdev or a direct port access, and the only time between two writes
  // that the engine does not wait for itself.
  int64_t AccessCostNs = 1000;
  int64_t Accesses = 0;
  bool KeepLog = true;
  std::vector<TPortWrite> Log;       // every write, in order
  int AccessesWhileUnclaimed = 0;    // reads or writes without a claim

  // A port that stops answering part-way (a USB parallel adapter pulled
  // out): from access number FailAt on (counted as Accesses), reads give 0
  // and writes are lost and fail, and the port says FailReason. With
  // FailReadsOnly the writes still reach the programmer. -1: never fails.
  int64_t FailAt = -1;
  bool FailReadsOnly = false;
  std::string FailReason = "/dev/parport0 stopped answering: plug the adapter back in.";
  int64_t FailedAccesses = 0;

  // The data-register values written, in order (optionally from index `from`).
  std::vector<uint8_t> DataWrites(size_t from = 0) const;

private:
  void Tick();
  bool Failing(bool write);
  TVirtualClock* ClockRef;
  TNothingPlugged Nothing;
};
