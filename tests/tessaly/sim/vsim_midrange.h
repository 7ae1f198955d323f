// The 12-bit, 14-bit and 17-bit cores on their serial programming
// interface: a program counter that the commands move, program memory,
// configuration locations and data EEPROM, as EPROM (cells go from 1 to 0
// only, after a number of pulses) or flash (with the part's own erases).
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "vsim_vorra.h"

struct TMidrangeSpec {
  const char* Name = "";
  int Core = 14;              // 12, 14 or 17
  int CodeWords = 1024;       // implemented program memory
  int DataBytes = 0;
  bool Eprom = false;
  int PulsesNeeded = 1;       // EPROM: pulses until a word takes its value
  int64_t MinPulseNs = 100'000;  // EPROM and externally timed flash: Begin to End
  bool Parity = false;        // 18-bit frames with two parity bits
  // Flash: 1 = erase+program internally timed, chip erase with 1,7,8,1,7;
  // 2 = externally timed programming (Begin .. End), bulk erase 9;
  // 5 = internally timed programming, bulk erases 9 and 11 that also
  //     take the calibration word and bits.
  int Flash = 0;
  int64_t ProgNs = 0;         // internally timed program memory write
  int64_t DataProgNs = 0;     // internally timed data EEPROM write
  int64_t EraseNs = 0;        // bulk or chip erase
  uint16_t ConfigImplemented = 0x3FFF;  // configuration bits that exist (others read 0)
  uint16_t ConfigFactory = 0;           // set on the part, outside the user bits (band gap)
  uint16_t ConfigFactoryMask = 0;
  // Configuration bit that protects program memory while it is 0 (0: the
  // part has none): protected program memory reads as 0s and takes no
  // writes; IDs and the configuration word still read and write.
  uint16_t CodeProtectBit = 0;
  int OscCalAddr = -1;
  uint16_t OscCalValue = 0;
  bool RequireVppFirst = false;
  // 14-bit core: the device ID word at 0x2006, the part's DEV bits with its
  // revision in the bits below; set at the factory, never written or erased.
  // -1: the part has none and the location is an ordinary blank cell.
  int DeviceId = -1;
};

class TMidrangeSim : public TSerialPic {
public:
  explicit TMidrangeSim(const TMidrangeSpec& spec);

  // Memories, addressed as the programming interface does: code 0 up,
  // core 14 configuration space 0x2000-0x2007, core 12 IDs after the code and
  // its configuration word at 0xFFF, core 17 configuration cells 0xFE00-0xFE0F.
  uint16_t Word(int address) const;
  void SetWord(int address, uint16_t value);
  uint8_t DataByte(int i) const { return Data[static_cast<size_t>(i)]; }
  void SetDataByte(int i, uint8_t v) { Data[static_cast<size_t>(i)] = v; }
  uint16_t ConfigWord() const;
  int ConfigAddress() const;
  int IdAddress(int i) const;
  uint16_t Blank() const;

  // Pulses each address received (EPROM and externally timed flash).
  std::map<int, int> Pulses;
  int ChipErases = 0;
  // Cells that no longer take a write (worn out or damaged): programming
  // leaves them as they are, an erase still clears them. Addresses as Word()
  // takes them, e.g. 0x2007 for the 14-bit configuration word.
  std::set<int> DeadCells;

  const TMidrangeSpec Spec;

protected:
  int CommandBits() const override { return Spec.Core == 17 ? 8 : 6; }
  int64_t MinFrameGapNs() const override { return Spec.Core == 17 ? 20'000 : 1000; }
  void OnEnter() override;
  void OnCommand(int command) override;
  void OnData(int command, uint32_t value) override;

private:
  int FrameBits() const { return Spec.Core == 17 ? 16 : (Spec.Parity ? 18 : 16); }
  int WordMask() const { return Spec.Core == 12 ? 0xFFF : Spec.Core == 14 ? 0x3FFF : 0xFFFF; }
  int Physical(int address) const;
  bool DeviceIdCell(int address) const;
  bool CodeProtected(int address) const;
  void Increment();
  void ProgramPulse(int address, uint16_t value);
  void ProgramCell(int address, uint16_t value, bool erasesFirst);
  void OutWord(uint16_t value);
  uint16_t ReadAt(int address) const;
  bool ParityOk(uint32_t frame16) const;

  std::vector<uint16_t> Mem;  // 0x10000 cells (parity parts: 16-bit frames)
  std::vector<uint8_t> Data;
  int Pc = 0;
  uint32_t Latch = 0xFFFF;     // Load Data (program memory)
  uint8_t DataLatch = 0xFF;    // Load Data (data memory)
  bool LatchIsData = false;
  int PulseAddress = -1;       // Begin Programming seen, End awaited
  int64_t PulseStart = 0;
  std::map<int, std::pair<uint32_t, int>> Progress;  // EPROM: value and pulses toward it
  int EraseSetup = 0;          // flash 1: commands 1 then 7 seen
};
