// The Vorra programmer on a simulated parallel port, and the serial target
// in its socket.
//
// How the programmer reads the data register. The Part fixes only the byte
// values; this wiring is the one reading that fits all of them:
//   bit 0  serial data to the target, open drain: wired-AND with the
//          target's output, read back on status bit 6
//   bit 1  serial clock
//   bit 2  0 = target supply (Vdd) on
//   bit 3  0 = programming voltage (Vpp) on the reset pin
//   bit 4  0 = reset pin clamped to ground
// So 0x1F is all off; 0x0C holds an unpowered target in reset; 0x08 powers
// it with reset held (Vdd first), 0x14 raises Vpp with the supply still off
// (Vpp first) and 0x10 has both on with the clamp released; 0x0A/0x0B power
// a target held in reset, so the data line simply loops back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vsim_port.h"

struct TVorraLines {
  bool Vdd = false;
  bool Vpp = false;
  bool Clamp = false;
  bool Clock = false;
  bool Data = true;  // the host's side of the data line
};

TVorraLines LinesOf(uint8_t data);

class TVorraTarget {
public:
  virtual ~TVorraTarget() = default;
  virtual void Lines(int64_t tNs, const TVorraLines& lines) = 0;
  // The level the target drives, or nothing while it does not drive.
  virtual std::optional<bool> Drive() const = 0;
};

class TVorraProgrammer final : public TLptDevice {
public:
  explicit TVorraProgrammer(TVorraTarget* socket = nullptr) : Socket(socket) {}
  void DataWritten(int64_t tNs, uint8_t data) override;
  uint8_t Status(int64_t tNs, uint8_t data) const override;
  TVorraTarget* Socket;
};

// A PIC on the serial programming interface: programming-mode entry and
// exit from the supply and reset lines, bits latched on the falling clock
// edge and driven from the rising one, command and data frames, and the
// waits its programming specification requires, checked in virtual time.
// Anything it does not accept goes to Violations; tests expect none.
class TSerialPic : public TVorraTarget {
public:
  void Lines(int64_t tNs, const TVorraLines& lines) override;
  std::optional<bool> Drive() const override { return Driving; }

  std::vector<std::string> Violations;
  bool InProgramMode = false;
  int Entries = 0;
  bool RequireVppFirst = false;  // parts whose reset pin may be an input
  bool LastEntryVppFirst = false;

protected:
  virtual int CommandBits() const = 0;
  virtual int64_t MinFrameGapNs() const { return 1000; }
  // The host's data level must be stable this long before the falling
  // edge that latches it and this long after it.
  virtual int64_t DataSetupNs() const { return 100; }
  virtual int64_t DataHoldNs() const { return 100; }
  virtual void OnEnter() = 0;
  virtual void OnLeave() {}
  // A command arrived (after its last falling edge); call ExpectIn or
  // ExpectOut for its data frame, or nothing.
  virtual void OnCommand(int command) = 0;
  virtual void OnData(int command, uint32_t value) = 0;
  // The fourth clock of a command was held high for holdNs (PIC18).
  virtual void OnFourthClock(int64_t holdNs) { (void)holdNs; }

  void ExpectIn(int bits);
  // Bits the target drives on the coming rising edges; nothing = released.
  void ExpectOut(std::vector<std::optional<bool>> bits);
  void Violation(const std::string& what);
  // An internally timed operation: no clock edge may come before it ends.
  void StartBusy(int64_t durationNs, const std::string& what, std::function<void()> commit);
  // Keeps the next rising edge off for a while (PIC18 discharge time P10).
  void HoldOff(int64_t ns, const std::string& what);
  int64_t Now = 0;  // time of the event being handled

private:
  void Rising();
  void Falling(bool data);
  void Leave();
  void SettleBusy(bool edge);
  void DataChanged();

  TVorraLines Prev;
  int64_t EntryNs = 0;
  int64_t VppRoseNs = -1, VddRoseNs = -1;
  bool ClampedWhilePowered = false;

  enum class TPhase { Command, In, Out } Phase = TPhase::Command;
  int BitsWanted = 0, BitsDone = 0;
  uint32_t Shift = 0;
  int CurrentCommand = 0;
  std::vector<std::optional<bool>> OutBits;
  std::optional<bool> Driving;
  int64_t FrameEndNs = -1;
  int64_t FourthRiseNs = 0;
  bool FirstEdgeSeen = false;
  int64_t DataChangedNs = 0;  // last change of the host's data level
  int64_t LatchNs = 0;        // last falling edge that took a host bit
  bool Latched = false;

  bool Busy = false;
  int64_t BusyUntil = 0;
  std::string BusyWhat;
  std::function<void()> BusyCommit;
  int64_t HoldOffUntil = 0;
  std::string HoldOffWhat;
};
