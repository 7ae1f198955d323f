#include "vsim_vorra.h"

#include <cstdio>

TVorraLines LinesOf(uint8_t d) {
  TVorraLines l;
  l.Data = (d & 0x01) != 0;
  l.Clock = (d & 0x02) != 0;
  l.Vdd = (d & 0x04) == 0;
  l.Vpp = (d & 0x08) == 0;
  l.Clamp = (d & 0x10) == 0;
  return l;
}

void TVorraProgrammer::DataWritten(int64_t tNs, uint8_t data) {
  if (Socket) Socket->Lines(tNs, LinesOf(data));
}

uint8_t TVorraProgrammer::Status(int64_t, uint8_t data) const {
  bool line = (data & 0x01) != 0;
  if (Socket) {
    const std::optional<bool> d = Socket->Drive();
    if (d) line = line && *d;
  }
  return static_cast<uint8_t>((FloatingStatus & ~0x40) | (line ? 0x40 : 0));
}

void TSerialPic::Violation(const std::string& what) {
  char at[32];
  std::snprintf(at, sizeof at, " (at %.3f ms)", static_cast<double>(Now) / 1e6);
  Violations.push_back(what + at);
}

void TSerialPic::ExpectIn(int bits) {
  Phase = TPhase::In;
  BitsWanted = bits;
  BitsDone = 0;
  Shift = 0;
}

void TSerialPic::ExpectOut(std::vector<std::optional<bool>> bits) {
  Phase = TPhase::Out;
  OutBits = std::move(bits);
  BitsWanted = static_cast<int>(OutBits.size());
  BitsDone = 0;
}

void TSerialPic::StartBusy(int64_t durationNs, const std::string& what, std::function<void()> commit) {
  SettleBusy(false);
  Busy = true;
  BusyUntil = Now + durationNs;
  BusyWhat = what;
  BusyCommit = std::move(commit);
}

void TSerialPic::HoldOff(int64_t ns, const std::string& what) {
  HoldOffUntil = Now + ns;
  HoldOffWhat = what;
}

void TSerialPic::SettleBusy(bool edge) {
  if (!Busy) return;
  if (Now >= BusyUntil) {
    Busy = false;
    if (BusyCommit) BusyCommit();
    BusyCommit = nullptr;
  } else if (edge) {
    Busy = false;
    BusyCommit = nullptr;
    Violation("clock edge " + std::to_string((BusyUntil - Now) / 1000) + " us before the end of " + BusyWhat);
  }
}

void TSerialPic::Leave() {
  if (Busy && Now < BusyUntil) Violation("programming mode left during " + BusyWhat);
  SettleBusy(false);
  Busy = false;
  InProgramMode = false;
  Driving.reset();
  Phase = TPhase::Command;
  BitsDone = 0;
  Shift = 0;
  OnLeave();
}

void TSerialPic::Lines(int64_t tNs, const TVorraLines& l) {
  Now = tNs;
  if (l.Vdd && !Prev.Vdd) VddRoseNs = tNs;
  if (l.Vpp && !Prev.Vpp) VppRoseNs = tNs;
  if (!l.Vdd) ClampedWhilePowered = false;
  if (l.Vdd && l.Clamp && !l.Vpp) ClampedWhilePowered = true;

  if (InProgramMode && (!l.Vdd || !l.Vpp)) Leave();
  // Before the edges: a level written in the same port write as the clock
  // edge has had no setup time at all.
  if (l.Data != Prev.Data) DataChanged();

  if (!InProgramMode && l.Vdd && l.Vpp && (!Prev.Vdd || !Prev.Vpp)) {
    if (l.Clock || l.Data) {
      Violation("programming voltage applied with clock or data high");
    } else {
      const bool vppFirst = !Prev.Vdd && Prev.Vpp;
      if (!vppFirst && !ClampedWhilePowered) Violation("supply and programming voltage rose without reset held");
      if (RequireVppFirst && !vppFirst) Violation("entered with the supply before the programming voltage");
      LastEntryVppFirst = vppFirst;
      InProgramMode = true;
      ++Entries;
      EntryNs = tNs;
      FirstEdgeSeen = false;
      Latched = false;
      FrameEndNs = -1;
      HoldOffUntil = 0;
      Phase = TPhase::Command;
      BitsDone = 0;
      Shift = 0;
      OnEnter();
    }
  }

  if (InProgramMode) {
    if (l.Clock && !Prev.Clock) Rising();
    if (!l.Clock && Prev.Clock) Falling(l.Data);
  } else if (Busy) {
    SettleBusy(false);
  }
  Prev = l;
}

void TSerialPic::Rising() {
  SettleBusy(true);
  if (!FirstEdgeSeen) {
    FirstEdgeSeen = true;
    if (Now - EntryNs < 5000) Violation("first clock less than 5 us after entering programming mode");
  }
  if (HoldOffUntil && Now < HoldOffUntil) Violation("clock edge too soon after " + HoldOffWhat);
  HoldOffUntil = 0;
  if (BitsDone == 0 && FrameEndNs >= 0 && Now - FrameEndNs < MinFrameGapNs())
    Violation("frame started " + std::to_string(Now - FrameEndNs) + " ns after the last one");
  if (Phase == TPhase::Out) Driving = OutBits[static_cast<size_t>(BitsDone)];
  if (Phase == TPhase::Command && BitsDone == 3) FourthRiseNs = Now;
}

void TSerialPic::DataChanged() {
  if (InProgramMode && Latched && Now - LatchNs < DataHoldNs())
    Violation("data changed " + std::to_string(Now - LatchNs) + " ns after the clock edge that latched it (hold " +
              std::to_string(DataHoldNs()) + " ns)");
  DataChangedNs = Now;
}

void TSerialPic::Falling(bool data) {
  SettleBusy(true);
  if (Phase != TPhase::Out) {
    if (Now - DataChangedNs < DataSetupNs())
      Violation("data changed " + std::to_string(Now - DataChangedNs) +
                " ns before the clock edge that latches it (setup " + std::to_string(DataSetupNs()) + " ns)");
    LatchNs = Now;
    Latched = true;
  }
  if (Phase == TPhase::Out) {
    if (++BitsDone == BitsWanted) {
      Driving.reset();
      Phase = TPhase::Command;
      BitsDone = 0;
      Shift = 0;
      FrameEndNs = Now;
    }
    return;
  }
  if (data) Shift |= 1u << BitsDone;
  ++BitsDone;
  if (Phase == TPhase::Command) {
    if (BitsDone == 4 && CommandBits() == 4) OnFourthClock(Now - FourthRiseNs);
    if (BitsDone == CommandBits()) {
      CurrentCommand = static_cast<int>(Shift);
      BitsDone = 0;
      Shift = 0;
      FrameEndNs = Now;
      OnCommand(CurrentCommand);
    }
  } else if (BitsDone == BitsWanted) {
    const uint32_t value = Shift;
    Phase = TPhase::Command;
    BitsDone = 0;
    Shift = 0;
    FrameEndNs = Now;
    OnData(CurrentCommand, value);
  }
}
