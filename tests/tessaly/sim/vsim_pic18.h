// The 18-bit core (PIC18) on its serial programming interface: 4-bit
// commands with 16-bit operands, a core that executes the instructions a
// programmer sends (MOVLW, MOVWF, CLRF, BSF, BCF, MOVF, INCF, NOP), the
// table pointer and latch, write holding registers, the held fourth clock
// that times programming, row, bulk and data-EEPROM erases, configuration
// bytes and a data-EEPROM write that stays busy for a while.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "vsim_vorra.h"

struct TPic18Spec {
  const char* Name = "";
  int CodeWords = 16384;
  int DataBytes = 256;
  bool Eprom = false;          // PIC18C: cells 1 -> 0, pulses timed by the held clock
  int PulsesNeeded = 1;
  int64_t P9Ns = 1'000'000;    // held fourth clock that programs
  int64_t P10Ns = 5'000;       // clock low after it (high-voltage discharge)
  int64_t P11Ns = 10'000'000;  // bulk erase
  int64_t RowEraseNs = 2'000'000;
  int64_t EeWriteNs = 4'000'000;
  int WriteBufferBytes = 8;
  bool NeedsUnlock = true;     // EECON2 0x55, 0xAA before WR
  bool NeedsSinglePanel = true;  // code writes only after 0 went to 0x3C0006
  // DEVID2:DEVID1 at 0x3FFFFF:0x3FFFFE, the part's DEV bits with its
  // revision in bits 4:0; read-only. -1: the part has none (reads 0).
  int DeviceId = -1;
  uint8_t ConfigImplemented[14] = {};
  uint8_t ConfigErased[14] = {};
};

class TPic18Sim : public TSerialPic {
public:
  explicit TPic18Sim(const TPic18Spec& spec);

  uint16_t CodeWord(int index) const;
  void SetCodeWord(int index, uint16_t v);
  uint16_t IdWord(int index) const;
  void SetIdWord(int index, uint16_t v);
  uint8_t ConfigByte(int i) const { return Config[static_cast<size_t>(i)]; }
  // Any byte as a table read finds it.
  uint8_t Byte(uint32_t address) const { return ReadByte(address); }
  uint16_t ConfigWord(int i) const;
  uint8_t DataByte(int i) const { return Ee[static_cast<size_t>(i)]; }
  void SetDataByte(int i, uint8_t v) { Ee[static_cast<size_t>(i)] = v; }

  std::map<uint32_t, int> Pulses;  // EPROM pulses per byte address
  int BulkErases = 0, RowErases = 0, EeWrites = 0, BlockWrites = 0;

  const TPic18Spec Spec;

protected:
  int CommandBits() const override { return 4; }
  int64_t MinFrameGapNs() const override { return 0; }
  // PIC18 serial data setup and hold around the latching edge (P2A, P3).
  int64_t DataSetupNs() const override { return 15; }
  int64_t DataHoldNs() const override { return 15; }
  void OnEnter() override;
  void OnCommand(int command) override;
  void OnData(int command, uint32_t value) override;
  void OnFourthClock(int64_t holdNs) override;

private:
  uint8_t ReadByte(uint32_t a) const;
  void TableWrite(int command, uint16_t word);
  void Execute(uint16_t instruction);
  uint8_t ReadReg(int f) const;
  void WriteReg(int f, uint8_t v);
  void SetBit(int f, int bit, bool set);
  void ShiftOut(uint8_t v);
  uint8_t* WritableByte(uint32_t a);
  uint8_t Eecon1() const;

  std::vector<uint8_t> Code, Ee;
  uint8_t Id[8];
  uint8_t Config[14];

  uint8_t W = 0, Tablat = 0, Eecon1Bits = 0, Eedata = 0, Eeadr = 0, Eeadrh = 0;
  uint32_t Tblptr = 0;
  int Unlock = 0;  // 1: 0x55 went to EECON2; 2: then 0xAA
  int64_t EeBusyUntil = 0;
  bool SinglePanel = false;
  std::vector<uint8_t> Holding;
  // Programming armed by a table write, done by the next held fourth clock.
  enum class TArm { None, Block, ConfigByte, EpromWord } Armed = TArm::None;
  uint32_t ArmedAddress = 0;
  uint16_t ArmedWord = 0;
  std::map<uint32_t, std::pair<uint16_t, int>> Progress;
  int EraseStage = 0;  // 1: erase code in 0x3C0004; 2: and the NOP after it
  uint8_t EraseCode = 0;
  bool RowErasePending = false;
  uint32_t RowAddress = 0;
};
