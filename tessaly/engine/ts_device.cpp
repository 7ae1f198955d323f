#include "ts_device.h"

#include <string>

#include "ts_app.h"
#include "ts_devdb.h"
#include "ts_images.h"
#include "ts_kept.h"
#include "ts_lpt.h"
#include "ts_options.h"
#include "ts_serial.h"
#include "ts_ui.h"

bool CancelRequested = false;
bool OperationAborted = false;

namespace {

bool PortLossShown = false;

const TDeviceParameters& D() { return DeviceParameters; }
bool Core18() { return D().CoreType == 18; }

enum class TKind { Program, Verify, Read, Blank };

void ShowDialog(const char* doing) {
  Ui().ProgressShow(Format("%s - %s", "Tessaly", doing));
  Ui().ProgressPosition(0);
}

void CloseDialog() { Ui().ProgressClose(); }

void Finish() {
  ExitProgramMode();
  CloseDialog();
}

// Programming mode left, dialog closed, then the error box; a port that
// stopped answering is the cause to name, not the word that failed.
bool Fail(const std::string& text) {
  Finish();
  if (PortLost()) return false;
  ErrorBox(text);
  return false;
}

bool StartOperation(TKind kind) {
  BeginOperation();
  if (!EnterProgramMode()) {
    OperationAborted = true;
    return false;
  }
  switch (D().CoreType) {
    case 12: SendCommand(6); break;  // from the configuration word to address 0
    case 17: SendCommand(0); break;
    case 18:
      if (kind == TKind::Read || kind == TKind::Blank) SetTablePointer(0);
      if (kind == TKind::Program && D().EraseType != 0) {
        SetTablePointer(0x3C0006);  // single-panel writes
        SendCommandData(12, 0);
        CoreInstruction(0x8EA6);  // BSF EECON1, EEPGD
        CoreInstruction(0x9CA6);  // BCF EECON1, CFGS
      }
      break;
    default: break;
  }
  return true;
}

// Progress, then the message pump, then the cancel flag: true to go on.
bool Step(int64_t done, int64_t total) {
  if (total > 0) Ui().ProgressPosition(static_cast<int>(done * 100 / total + 1));
  if (PortLost()) return false;
  Ui().ProcessMessages();
  if (CancelRequested) OperationAborted = true;
  return !CancelRequested;
}

bool StepNoProgress() { return Step(0, 0); }

void NextAddress() {
  if (!Core18()) SendCommand(6);
}

// Where the PIC18 table pointer stands, in words of the area, so a word
// that does not follow the last one gets the pointer loaded first.
class TTablePointer {
public:
  explicit TTablePointer(uint32_t base) : Base(base) {}
  void Before(int index) {
    if (!Core18() || index == Expected) return;
    SetTablePointer(Base + 2 * static_cast<uint32_t>(index));
    Expected = index;
  }
  void After(int index, bool advanced) {
    if (Core18()) Expected = advanced ? index + 1 : index;
  }
  void Lost() { Expected = -1; }

private:
  uint32_t Base;
  int Expected = -1;  // unknown at the start of every area
};

// A word programmed with ProgramWord leaves the PIC18 pointer where it
// began unless overprogramming read the word once more.
bool ProgramWordAdvances() { return D().ProgMult != 0; }

bool Taken(int i) {
  if (CodeImage[i] == EmptyEntry) return false;
  if (i != D().OscCalAddr) return ProgramOptions.ProgramCode;
  return ProgramOptions.ProgramOscillatorCalibration;
}

uint32_t Masked(uint32_t entry) { return entry & BlankWord(); }

int32_t CodeAndData() { return D().CodeSize + D().DataSize; }

bool PlaceSerialNumber() {
  const TSerialNumberParameters& s = SerialNumberParameters;
  const int n = s.NumberLocations < 1 ? 1 : s.NumberLocations > 4 ? 4 : s.NumberLocations;
  const int start = s.StartingLocation;
  const int last = start + n - 1;
  switch (s.Target) {
    case TSerialNumberParameters::Code:
      if (start < 0 || last >= D().CodeSize) {
        ErrorBox(Format("Serial number locations %04X-%04X are outside the code memory (%d words).", start, last,
                        D().CodeSize));
        return false;
      }
      break;
    case TSerialNumberParameters::EE:
      if (start < 0 || last >= D().DataSize) {
        ErrorBox(Format("Serial number locations %04X-%04X are outside the data EEPROM (%d bytes).", start, last,
                        D().DataSize));
        return false;
      }
      break;
    case TSerialNumberParameters::ID:
      if (n > D().IDSize) {
        ErrorBox(Format("The serial number needs %d ID locations; this device has %d.", n, D().IDSize));
        return false;
      }
      break;
  }
  const uint32_t number = static_cast<uint32_t>(s.SerialNumber);
  const uint32_t prefix = static_cast<uint32_t>(s.PrefixByte & 0x3F) << 8;
  for (int k = 0; k < n; ++k) {
    const int shift = 8 * (s.MSBFirst ? n - 1 - k : k);
    const uint32_t byte = (number >> shift) & 0xFF;
    switch (s.Target) {
      case TSerialNumberParameters::Code: CodeImage[start + k] = prefix | byte; break;
      case TSerialNumberParameters::EE: DataImage[start + k] = byte; break;
      case TSerialNumberParameters::ID: IDImage[k] = prefix | byte; break;
    }
  }
  return true;
}

bool Continue(const std::string& text) { return Ui().AskOkCancel(text, CaptionError, TBoxIcon::Question); }

// A verify difference: the lost port when that is the cause, else the
// question; true when verifying stops here.
bool StopsVerify(const std::string& question) {
  if (PortLost()) return true;
  if (Continue(question)) return false;
  Finish();
  return true;
}

// ReadConfiguration of the 12-bit core enters programming mode again; when
// the port cannot be claimed then, that has been said and the operation ends.
bool Reclaimed(uint32_t config) {
  if (config != EmptyEntry) return true;
  OperationAborted = true;
  CloseDialog();
  return false;
}

// A calibration value kept from an erase whose write-back failed: when the
// part's calibration word reads blank, the user is asked whether it is to
// be written (it may come from another chip of this type). Leaves the part
// at the start of programming again; false when that failed or the port
// was lost (said already).
bool OfferKeptCalibration(TKeptCalibration& kept, bool& restore) {
  restore = false;
  const TDeviceParameters& d = D();
  if (!HasCalibrationWord() || Taken(d.OscCalAddr)) return true;
  const std::vector<TKeptCalibration> records = KeptCalibrations(AppSettings.LastDeviceName);
  if (records.empty()) return true;
  for (int i = 0; i < d.OscCalAddr; ++i) SendCommand(6);
  const uint32_t word = ReadWord();
  ExitProgramMode();  // the part waits unpowered for the answer
  if (PortLost()) return false;
  if (word == BlankWord()) {
    kept = records.back();
    std::string text = Format("The calibration word at %04X reads blank.\nThe value %04X", d.OscCalAddr, kept.Osc);
    if (kept.HasCfg) text += Format(" (configuration word %04X)", kept.Cfg);
    text += Format(" was kept when an erase of a %s could not write it back. It belongs to this part only if this "
                   "is the chip of that erase.\nWrite it into this part?",
                   AppSettings.LastDeviceName.c_str());
    restore = Ui().AskOkCancel(text, CaptionInfo, TBoxIcon::Question);
  }
  return StartOperation(TKind::Program);
}

// The configuration bits outside ConfigMask[0] put back from a kept record,
// the chip's own bits inside the mask left as they are.
bool RestoreCalibrationBits(uint32_t cfg) {
  const uint32_t mask = static_cast<uint32_t>(D().ConfigMask[0]);
  const uint32_t chip = ReadConfiguration();
  if (chip == EmptyEntry) return false;
  const uint32_t w = ((chip & mask) | (cfg & ~mask)) & BlankWord();
  if (w == chip) return true;
  return ProgramConfigWord(w) && ((ReadWord() ^ w) & ~mask & BlankWord()) == 0;
}

}  // namespace

void BeginOperation() {
  OperationAborted = false;
  PortLossShown = false;
  ClearPortFailure();
}

bool PortLost(const std::string& more) {
  if (!PortFailed()) return false;
  OperationAborted = true;
  if (PortLossShown) return true;
  PortLossShown = true;
  const std::string why = PortLayer.AccessFailure;
  Finish();
  ErrorBox(Format("VORRA Port LPT%d stopped answering.\n", PortLayer.LptIndex + 1) + why + more);
  return true;
}

uint32_t ReadDeviceId() {
  switch (D().CoreType) {
    case 14:
      LoadConfiguration();  // 0x2000, the first ID location
      for (int i = 0; i < 6; ++i) SendCommand(6);
      return ReadWord();
    case 18: SetTablePointer(0x3FFFFE); return ReadWord();
    default: return 0;
  }
}

bool CheckPartInSocket(const char* undone) {
  const TDeviceParameters& d = D();
  const uint32_t mask = DeviceIdMask(d);
  if (d.DeviceID < 0 || mask == 0) return true;
  if (!EnterProgramMode()) {
    OperationAborted = true;
    CloseDialog();
    return false;
  }
  const uint32_t id = ReadDeviceId();
  ExitProgramMode();
  if (PortLost()) return false;
  if (((id ^ static_cast<uint32_t>(d.DeviceID)) & mask) == 0) return true;
  for (const TKnownDevice& k : KnownDevices()) {
    const TDeviceParameters& p = k.Parameters;
    if (p.CoreType != d.CoreType) continue;
    if (((id ^ static_cast<uint32_t>(p.DeviceID)) & DeviceIdMask(p)) != 0) continue;
    CloseDialog();
    ErrorBox(Format("The device in the socket is a %s, not the selected %s.\nNothing was %s.", k.Name.c_str(),
                    AppSettings.LastDeviceName.c_str(), undone));
    return false;
  }
  return true;
}

void CancelOperation(bool tellUser) {
  ExitProgramMode();
  if (tellUser) Ui().MessageBox("Operation cancelled.", CaptionInfo, TBoxIcon::Warning);
  CancelRequested = true;
  CloseDialog();
}

void CancelBtnClick() { CancelOperation(true); }

bool ProgramDevice() {
  CancelRequested = false;
  ShowDialog("Programming...");
  if (ProgramOptions.ProgramSerialNumber && !PlaceSerialNumber()) {
    CloseDialog();
    return false;
  }
  BeginOperation();
  if (!CheckPartInSocket("written")) return false;
  TKeptCalibration kept;
  bool restore = false;
  if (!StartOperation(TKind::Program) || !OfferKeptCalibration(kept, restore)) {
    CloseDialog();
    return false;
  }
  const TDeviceParameters& d = D();

  TTablePointer code(0);
  for (int b = 0; b < d.CodeSize; b += d.BlockSize) {
    bool ok = true;
    const bool calibration = restore && b == d.OscCalAddr;
    if (d.BlockSize != 1 && ProgramOptions.ProgramCode) {
      ok = WriteCodeBlock(b);
      code.Lost();
    } else if (calibration || Taken(b)) {
      code.Before(b);
      ok = ProgramWord(calibration ? kept.Osc : CodeImage[b]);
      code.After(b, ProgramWordAdvances());
    }
    if (!ok) return Fail(Format("Code programming error at %04X.", b));
    NextAddress();
    if (!Step(b, CodeAndData())) return false;
  }

  if (d.DataSize != 0 && ProgramOptions.ProgramData) {
    if (Core18()) {
      CoreInstruction(0x9EA6);  // BCF EECON1, EEPGD
      CoreInstruction(0x9CA6);  // BCF EECON1, CFGS
    }
    for (int i = 0; i < d.DataSize; ++i) {
      if (DataImage[i] != EmptyEntry) {
        if (Core18()) SetDataAddress(i);
        if (!ProgramDataByte(static_cast<uint8_t>(DataImage[i] & 0xFF)))
          return Fail(Format("Data programming error at %04X.", i));
      }
      NextAddress();
      if (!Step(static_cast<int64_t>(i) + d.CodeSize, CodeAndData())) return false;
    }
  }

  if (ProgramOptions.ProgramID) {
    if (d.CoreType == 14) LoadConfiguration();
    if (Core18() && d.EraseType != 0) {
      CoreInstruction(0x8EA6);
      CoreInstruction(0x9CA6);
    }
    TTablePointer id(0x200000);
    for (int c = 0; c < d.IDSize; c += d.BlockSize) {
      bool ok = true;
      if (d.BlockSize == 1) {
        if (IDImage[c] != EmptyEntry) {
          id.Before(c);
          ok = ProgramWord(IDImage[c]);
          id.After(c, ProgramWordAdvances());
        }
      } else {
        ok = WriteIDBlock(c);
      }
      if (!ok) return Fail(Format("ID programming error at %04X.", c));
      NextAddress();
      if (!StepNoProgress()) return false;
    }
  }

  if (ProgramOptions.ProgramConfiguration && !WriteConfiguration())
    return Fail("Configuration programming error.");
  if (restore && kept.HasCfg && !RestoreCalibrationBits(kept.Cfg))
    return Fail(Format("Configuration programming error.\nThe configuration word read before the erase was %04X.",
                       kept.Cfg));
  Finish();
  if (PortLost()) return false;
  if (restore) ForgetCalibration(AppSettings.LastDeviceName, kept);
  if (ProgramOptions.ProgramSerialNumber)
    SerialNumberParameters.SerialNumber = static_cast<int32_t>(
        static_cast<uint32_t>(SerialNumberParameters.SerialNumber) +
        static_cast<uint32_t>(SerialNumberParameters.IncrementBy));
  return true;
}

bool VerifyDevice() {
  CancelRequested = false;
  ShowDialog("Verifying...");
  if (!StartOperation(TKind::Verify)) {
    CloseDialog();
    return false;
  }
  const TDeviceParameters& d = D();

  TTablePointer code(0);
  for (int i = 0; i < d.CodeSize; ++i) {
    if (Taken(i)) {
      code.Before(i);
      const uint32_t read = ReadWord();
      code.After(i, true);
      if (read != Masked(CodeImage[i]) &&
          StopsVerify(Format("Code verify error at %04X.\n%04X should be %04X.\nContinue verifying?", i, read,
                             Masked(CodeImage[i]))))
        return false;
    }
    NextAddress();
    if (!Step(i, CodeAndData())) return false;
  }

  if (d.DataSize != 0 && ProgramOptions.ProgramData) {
    if (Core18()) {
      CoreInstruction(0x9EA6);
      CoreInstruction(0x9CA6);
    }
    for (int i = 0; i < d.DataSize; ++i) {
      if (DataImage[i] != EmptyEntry) {
        if (Core18()) SetDataAddress(i);
        const uint32_t read = ReadDataByte();
        const uint32_t want = DataImage[i] & 0xFF;
        if (read != want &&
            StopsVerify(Format("Data verify error at %04X.\n%04X should be %04X.\nContinue verifying?", i, read,
                               want)))
          return false;
      }
      NextAddress();
      if (!Step(static_cast<int64_t>(i) + d.CodeSize, CodeAndData())) return false;
    }
  }

  if (ProgramOptions.ProgramID) {
    if (d.CoreType == 14) LoadConfiguration();
    TTablePointer id(0x200000);
    for (int c = 0; c < d.IDSize; ++c) {
      if (IDImage[c] != EmptyEntry) {
        id.Before(c);
        const uint32_t read = ReadWord();
        id.After(c, true);
        if (read != Masked(IDImage[c]) &&
            StopsVerify(Format("ID verify error at %04X.\n%04X should be %04X.\nContinue verifying?", c, read,
                               Masked(IDImage[c]))))
          return false;
      }
      NextAddress();
      if (!StepNoProgress()) return false;
    }
  }

  if (ProgramOptions.ProgramConfiguration) {
    BuildConfiguration();
    if (Core18()) {
      SetTablePointer(0x300000);
      for (int i = 0; i < d.ConfigSize; ++i) {
        const uint32_t read = ReadWord();
        const uint32_t mask = static_cast<uint32_t>(d.ConfigMask[i]);
        if (ConfigWords[i] == EmptyEntry || ((read ^ ConfigWords[i]) & mask) == 0) continue;
        if (StopsVerify(Format("Configuration%01d verify error.\n%04X should be %04X.\nContinue verifying?", i + 1,
                               read, ConfigWords[i] & 0xFFFF)))
          return false;
      }
    } else if (ConfigWords[0] != EmptyEntry) {
      const uint32_t read = ReadConfiguration();
      if (!Reclaimed(read)) return false;
      const uint32_t mask = static_cast<uint32_t>(d.ConfigMask[0]);
      if (((read ^ ConfigWords[0]) & mask) != 0)
        return Fail(Format("Configuration verify error.\n%04X should be %04X.", read, ConfigWords[0] & 0xFFFF));
    }
  }
  Finish();
  if (PortLost()) return false;
  return true;
}

bool ReadDevice() {
  CancelRequested = false;
  ShowDialog("Reading...");
  if (!StartOperation(TKind::Read)) {
    CloseDialog();
    return false;
  }
  const TDeviceParameters& d = D();
  for (int i = 0; i < d.CodeSize; ++i) {
    CodeImage[i] = ReadWord();
    NextAddress();
    if (!Step(i, CodeAndData())) return false;
  }
  if (d.DataSize != 0) {
    if (Core18()) {
      CoreInstruction(0x9EA6);
      CoreInstruction(0x9CA6);
    }
    for (int j = 0; j < d.DataSize; ++j) {
      if (Core18()) SetDataAddress(j);
      DataImage[j] = ReadDataByte();
      NextAddress();
      if (!Step(static_cast<int64_t>(j) + d.CodeSize, CodeAndData())) return false;
    }
  }
  if (d.CoreType == 14) LoadConfiguration();
  if (Core18()) SetTablePointer(0x200000);
  for (int j = 0; j < d.IDSize; ++j) {
    IDImage[j] = ReadWord();
    NextAddress();
    if (!StepNoProgress()) return false;
  }
  if (ProgramOptions.UpdateConfiguration) {
    const uint32_t config = ReadConfiguration();
    if (!Reclaimed(config)) return false;
    if (!Core18()) ConfigWords[0] = config;
  }
  Finish();
  if (PortLost()) return false;
  return true;
}

bool BlankCheck(bool messages) {
  CancelRequested = false;
  ShowDialog("Blank Checking...");
  if (!StartOperation(TKind::Blank)) {
    CloseDialog();
    return false;
  }
  const TDeviceParameters& d = D();
  TTablePointer code(0);
  code.After(-1, true);  // the start of the operation loaded 0
  for (int i = 0; i < d.CodeSize; ++i) {
    if (i != d.OscCalAddr) {
      code.Before(i);
      const uint32_t value = ReadWord();
      code.After(i, true);
      if (value != BlankWord()) {
        if (PortLost()) return false;
        Finish();
        if (messages) WarningBox(Format("Device not blank at %04X = %04X.", i, value));
        return false;
      }
    }
    NextAddress();
    if (!Step(i, d.CodeSize)) return false;
  }
  Finish();
  if (PortLost()) return false;
  if (messages) InformationBox("This device is blank.");
  return true;
}
