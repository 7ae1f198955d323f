#include <string>

#include "ts_app.h"
#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_images.h"
#include "ts_kept.h"
#include "ts_serial.h"
#include "ts_ui.h"

namespace {

const TDeviceParameters& D() { return DeviceParameters; }

void Wait() { DelayMicroseconds(D().EraseTime); }

bool Step(int position) {
  Ui().ProgressPosition(position);
  if (PortLost()) return false;
  Ui().ProcessMessages();
  return !CancelRequested;
}

bool Fail(const std::string& text) {
  if (PortLost()) return false;
  ExitProgramMode();
  Ui().ProgressClose();
  ErrorBox(text);
  return false;
}

// Erases the 64-byte row of program memory at byte address a.
void RowErase(uint32_t a) {
  SetTablePointer(a);
  CoreInstruction(0x84A6);  // BSF EECON1, WREN
  CoreInstruction(0x88A6);  // BSF EECON1, FREE
  CoreInstruction(0x0E55);
  CoreInstruction(0x6EA7);
  CoreInstruction(0x0EAA);
  CoreInstruction(0x6EA7);
  CoreInstruction(0x82A6);  // BSF EECON1, WR
  CoreInstruction(0x0000);
  Wait();
}

// The bulk erase of the 18-bit core: the code in 0x3C0004, then a NOP and
// a NOP whose fourth clock starts the erase.
void BulkErase18(uint32_t code) {
  SendCommandData(12, code);
  CoreInstruction(0x0000);
  SendCommand(0);
  Wait();
  SendBits(16, 0);
}

// What an erase takes that belongs to the part and not to the user's
// program: its calibration word and the configuration bits outside
// ConfigMask[0], read before the erase.
struct TKept {
  bool HasOsc = false, HasCfg = false;
  uint32_t Osc = 0, Cfg = 0;
  bool Moved = false;  // the address left where programming mode starts
};

// What an erase is about to take, as kept on disk: nothing when the part
// holds no calibration value.
bool Kept(const TKept& k, TKeptCalibration& kept) {
  if (!k.HasOsc || k.Osc == BlankWord()) return false;
  kept = {k.Osc, k.HasCfg, k.Cfg};
  return true;
}

// Written to disk before the erase, so a write-back cut short (the port
// lost, the program killed) leaves the values for the next Program.
void KeepOnDisk(const TKept& k) {
  TKeptCalibration kept;
  if (Kept(k, kept)) KeepCalibration(AppSettings.LastDeviceName, kept);
}

// The values read before the erase, so a word that did not go back can be
// put back by hand.
std::string KeptText(const TKept& k, bool osc, bool cfg) {
  std::string s;
  if (osc) s += Format("\nThe calibration word read before the erase was %04X.", k.Osc);
  if (cfg) s += Format("\nThe configuration word read before the erase was %04X.", k.Cfg);
  return s;
}

// From where programming mode starts to the calibration word; the 12-bit
// core starts on its configuration word, one increment before address 0.
// Before the erase messages are pumped on the way (false on cancel, when
// nothing is lost yet); after it only the progress moves.
bool ToCalibrationWord(bool beforeErase) {
  const TDeviceParameters& d = D();
  if (d.CoreType == 12) SendCommand(6);
  const int64_t total = d.CodeSize + d.DataSize;
  for (int i = 0; i < d.OscCalAddr; ++i) {
    SendCommand(6);
    if (beforeErase) {
      if (!Step(i * 25 / d.OscCalAddr)) return false;
    } else {
      Ui().ProgressPosition(static_cast<int>(i * 25 / total + 50));
    }
  }
  return true;
}

// A factory calibration word is a literal load: RETLW k on the 14-bit core,
// MOVLW k on the 12-bit one; a blank word holds nothing to lose.
bool CalibrationValue(uint32_t w) {
  if (w == BlankWord()) return true;
  return D().CoreType == 12 ? (w & 0xF00) == 0xC00 : (w & 0x3F00) == 0x3400;
}

// The calibration word, when the device has one, read before the erase;
// false when cancelled on the way or when the word reads as no calibration
// value (a code-protected part reads 0s) and the user keeps the part as it
// is. Erasing anyway leaves the word blank for a value put back by hand.
bool ReadCalibrationWord(TKept& k) {
  k.HasOsc = HasCalibrationWord();
  if (!k.HasOsc) return true;
  k.Moved = true;
  if (!ToCalibrationWord(true)) return false;
  k.Osc = ReadWord();
  // A word read over a port that stopped answering is no value to keep.
  if (PortLost()) return false;
  if (CalibrationValue(k.Osc)) return true;
  ExitProgramMode();  // the part waits for the answer unpowered
  const bool erase = Ui().AskOkCancel(
      Format("The calibration word at %04X reads %04X, which is no calibration value: the part may be code "
             "protected.\nThe erase loses the part's calibration.\nErase anyway?",
             D().OscCalAddr, k.Osc),
      CaptionInfo, TBoxIcon::Question);
  if (!erase || !EnterProgramMode()) {
    Ui().ProgressClose();
    return false;
  }
  k.HasOsc = false;
  k.Moved = false;
  return true;
}

// Programming mode again after the bulk erase, and the kept words written
// back. The part is blank now and what it owned lives only in `k`: no
// messages are pumped until it is back, so the cancel button (which leaves
// programming mode) cannot cut the write-back short, and a word that does
// not go back, because the part refuses it or the port is lost, is named
// with its value.
bool Restore(const TKept& k) {
  ExitProgramMode();
  Ui().ProgressPosition(50);
  if (!EnterProgramMode()) {
    Ui().ProgressClose();
    ErrorBox((k.HasOsc ? "OSCCAL programming error." : "Configuration programming error.") +
             KeptText(k, k.HasOsc, k.HasCfg));
    return false;
  }
  bool oscOk = true;
  if (k.HasOsc) {
    ToCalibrationWord(false);
    oscOk = ProgramWord(k.Osc);
  }
  bool cfgOk = true;
  if (k.HasCfg) {
    const uint32_t restored = (k.Cfg | static_cast<uint32_t>(D().ConfigMask[0])) & BlankWord();
    cfgOk = ProgramConfigWord(restored) && ReadWord() == restored;
  }
  // The port may have stopped answering after the erase: the kept words
  // may not have gone back, so their values go with the reason.
  if (PortLost(KeptText(k, k.HasOsc, k.HasCfg))) return false;
  if (!oscOk) return Fail("OSCCAL programming error." + KeptText(k, true, false));
  if (!cfgOk) return Fail("Configuration programming error." + KeptText(k, false, true));
  TKeptCalibration kept;
  if (Kept(k, kept)) ForgetCalibration(AppSettings.LastDeviceName, kept);
  return true;
}

// Erase algorithm 2: one bulk erase of program memory, which on the 12-bit
// core holds the calibration word: read it first, put it back.
bool BulkEraseKeepingCalibration() {
  TKept k;
  if (!ReadCalibrationWord(k)) return false;
  if (k.Moved) {
    // How far the bulk erase reaches depends on the address; it runs from
    // where programming mode starts, as without a calibration word.
    ExitProgramMode();
    if (!EnterProgramMode()) {
      Ui().ProgressClose();  // nothing erased yet
      return false;
    }
  }
  KeepOnDisk(k);
  SendCommand(9);
  Wait();
  return !k.HasOsc || Restore(k);
}

// Erase algorithm 5: the bulk erases take the calibration word and the
// configuration bits outside ConfigMask[0]; read both first, put them back.
bool EraseKeepingCalibration() {
  TKept k;
  if (!ReadCalibrationWord(k)) return false;
  k.HasCfg = true;
  k.Cfg = ReadConfiguration();
  if (PortLost()) return false;  // nothing erased yet
  KeepOnDisk(k);
  SendCommand(9);
  Wait();
  SendCommand(11);
  Wait();
  return Restore(k);
}

}  // namespace

bool HasCalibrationWord() {
  const TDeviceParameters& d = D();
  return (d.CoreType == 12 || d.CoreType == 14) && d.OscCalAddr >= 0 && d.OscCalAddr < d.CodeSize;
}

bool EraseDevice(bool messages) {
  CancelRequested = false;
  const TDeviceParameters& d = D();
  if (d.EraseType == 0) {
    WarningBox("Cannot electrically erase this device.");
    return false;
  }
  Ui().ProgressShow("Tessaly - Erasing...");
  Ui().ProgressPosition(0);
  BeginOperation();
  if (!CheckPartInSocket("erased")) return false;
  if (!EnterProgramMode()) {
    Ui().ProgressClose();
    return false;
  }
  switch (d.EraseType) {
    case 1:
      LoadConfiguration();
      for (int i = 0; i < 7; ++i) SendCommand(6);
      SendCommand(1);
      SendCommand(7);
      SendCommand(8);
      Wait();
      SendCommand(1);
      SendCommand(7);
      break;
    case 2:
      if (!BulkEraseKeepingCalibration()) return false;
      break;
    case 3:
      SetTablePointer(0x3C0004);
      BulkErase18(0x80);
      break;
    case 4: {
      SetTablePointer(0x3C0006);
      SendCommandData(12, 0);
      CoreInstruction(0x8EA6);  // BSF EECON1, EEPGD
      CoreInstruction(0x9CA6);  // BCF EECON1, CFGS
      const uint32_t bytes = 2 * static_cast<uint32_t>(d.CodeSize);
      for (uint32_t a = 0; a < bytes; a += 64) {
        RowErase(a);
        if (!Step(static_cast<int>(static_cast<uint64_t>(a) * 90 / bytes))) return false;
      }
      RowErase(0x200000);
      if (!Step(90)) return false;
      SetTablePointer(0x300000);
      CoreInstruction(0x8CA6);  // BSF EECON1, CFGS
      for (int i = 0; i < 2 * d.ConfigSize; ++i) {
        SendCommandData(15, 0xFFFF);
        SendCommandHold(0);
        SendBits(16, 0);
        CoreInstruction(0x2AF6);  // INCF TBLPTRL
      }
      if (!Step(95)) return false;
      SetTablePointer(0x3C0004);
      CoreInstruction(0x9EA6);  // BCF EECON1, EEPGD
      CoreInstruction(0x9CA6);  // BCF EECON1, CFGS
      BulkErase18(0x81);
      break;
    }
    case 5:
      if (!EraseKeepingCalibration()) return false;
      break;
    default: break;
  }
  Ui().ProgressPosition(100);
  ExitProgramMode();
  Ui().ProgressClose();
  if (PortLost()) return false;
  if (messages && !ProgramOptions.DisableCompletion) InformationBox("Erase Complete.");
  return true;
}
