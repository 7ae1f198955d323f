// The device database vorra.ini: the device list and one device's
// parameters and configuration options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TDeviceParameters {
  int32_t CoreType = 14;     // 12, 14, 17 or 18
  int32_t CodeSize = 0;      // words, at most 65536
  int32_t BlockSize = 1;     // words per block write; 1 = word by word
  int32_t DataSize = 0;      // data EEPROM bytes, at most 1024
  int32_t IDSize = 4;        // ID words, at most 8
  int32_t ConfigSize = 1;    // configuration words, at most 8
  int32_t EraseType = 0;     // key "EEPROM=": 0 not erasable, 1-5 algorithm
  int32_t OscCalAddr = -1;   // calibration word address, -1 = none
  int32_t ProgCount = 0;     // programming tries per word
  int32_t ProgMult = 0;      // overprogramming multiplier
  int32_t ProgTime = 0;      // microseconds
  int32_t EraseTime = 20000; // microseconds
  int32_t DeviceID = -1;     // the part's device ID word, -1 = the part has none
  int32_t DeviceIDMask = 0;  // the ID bits that name the part; 0 = by core (DeviceIdMask)
  int32_t BaseConfig[8] = {0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF};
  int32_t ConfigMask[8] = {0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF};
};
extern TDeviceParameters DeviceParameters;

// The main window's device list, as data.
struct TDeviceList {
  std::vector<std::string> Items;
  std::string Text;  // the selected (or typed) device name
};
extern TDeviceList DeviceBox;

inline constexpr int32_t MaxCodeSize = 65536;

bool LoadDeviceList();
bool LoadDevice();
void ParseDeviceKey(const std::string& line);
bool KeyMatches(const char* key, const std::string& line);
int32_t ParseValue(const std::string& line);

// The device name a section header line names ("[PIC16F84A]" ->
// "PIC16F84A"), trailing blanks ignored; false when the line is no header.
bool SectionName(const std::string& line, std::string& name);
// The bits of a device ID word that name the part, the revision bits left
// out: DeviceIDMask when the section gives one, else 0x3FE0 on the 14-bit
// core and 0xFFE0 on the 18-bit core; 0 for a core that has no device ID.
uint32_t DeviceIdMask(const TDeviceParameters& d);

// A device of vorra.ini that has a device ID.
struct TKnownDevice {
  std::string Name;
  TDeviceParameters Parameters;  // CoreType, DeviceID and DeviceIDMask only
};
// Every device of vorra.ini with a device ID, in the file's order; empty
// when the file cannot be read (nothing is said then).
std::vector<TKnownDevice> KnownDevices();

// Path of vorra.ini in the program folder.
std::string DeviceDatabasePath();
