#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_images.h"
#include "ts_serial.h"
#include "ts_ui.h"

namespace {

const TDeviceParameters& D() { return DeviceParameters; }

void Wait() { DelayMicroseconds(D().EraseTime); }

bool Step(int position) {
  Ui().ProgressPosition(position);
  Ui().ProcessMessages();
  return !CancelRequested;
}

bool Fail(const std::string& text) {
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

// Erase algorithm 5: the bulk erases take the calibration word and the
// configuration bits outside ConfigMask[0]; read both first, put them back.
bool EraseKeepingCalibration() {
  const TDeviceParameters& d = D();
  const bool haveCal = d.OscCalAddr >= 0 && d.OscCalAddr < d.CodeSize;
  uint32_t osc = 0;
  if (haveCal) {
    for (int i = 0; i < d.OscCalAddr; ++i) {
      SendCommand(6);
      if (!Step(i * 25 / d.OscCalAddr)) return false;
    }
    osc = ReadWord();
  }
  const uint32_t cfg = ReadConfiguration();
  SendCommand(9);
  Wait();
  SendCommand(11);
  Wait();
  ExitProgramMode();
  Ui().ProgressPosition(50);
  if (!EnterProgramMode()) {
    Ui().ProgressClose();
    return false;
  }
  // The part is blank now and its calibration lives only in osc and cfg:
  // no messages are pumped until both are back, so the cancel button (which
  // leaves programming mode) cannot cut the write-back short, and a word
  // the part refuses is named with its value so it can be put back by hand.
  bool oscOk = true;
  if (haveCal) {
    const int64_t total = d.CodeSize + d.DataSize;
    for (int j = 0; j < d.OscCalAddr; ++j) {
      SendCommand(6);
      Ui().ProgressPosition(static_cast<int>(j * 25 / total + 50));
    }
    oscOk = ProgramWord(osc);
  }
  const uint32_t restored = (cfg | static_cast<uint32_t>(d.ConfigMask[0])) & BlankWord();
  ProgramConfigWord(restored);
  const bool cfgOk = ReadWord() == restored;
  if (!oscOk)
    return Fail(Format("OSCCAL programming error.\nThe calibration word read before the erase was %04X.", osc));
  if (!cfgOk)
    return Fail(Format("Configuration programming error.\nThe configuration word read before the erase was %04X.", cfg));
  return true;
}

}  // namespace

bool EraseDevice(bool messages) {
  CancelRequested = false;
  const TDeviceParameters& d = D();
  if (d.EraseType == 0) {
    WarningBox("Cannot electrically erase this device.");
    return false;
  }
  Ui().ProgressShow("Tessaly - Erasing...");
  Ui().ProgressPosition(0);
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
      SendCommand(9);
      Wait();
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
  if (messages && !ProgramOptions.DisableCompletion) InformationBox("Erase Complete.");
  return true;
}
