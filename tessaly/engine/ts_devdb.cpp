#include "ts_devdb.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <utility>

#include "ts_app.h"
#include "ts_options.h"
#include "ts_ui.h"

TDeviceParameters DeviceParameters;
TDeviceList DeviceBox;
TAppSettings AppSettings;

namespace {

// Reads one whole line, without its line break (LF or CR LF).
bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return true;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && std::isblank(static_cast<unsigned char>(s.back()))) s.pop_back();
  return s;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal digits up to the first other character; 32-bit wrap.
int32_t ParseHex(const std::string& s) {
  uint32_t v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) break;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  return static_cast<int32_t>(v);
}

// Signed decimal with an optional sign, up to the first non-digit.
int32_t ParseDecimal(const std::string& s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint32_t v = 0;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
    v = v * 10 + static_cast<uint32_t>(s[i] - '0');
  return static_cast<int32_t>(negative ? 0u - v : v);
}

struct TParamKey {
  const char* Key;
  int32_t TDeviceParameters::*Field;
};

const TParamKey ParamKeys[] = {
    {"CoreType=", &TDeviceParameters::CoreType},     {"CodeSize=", &TDeviceParameters::CodeSize},
    {"BlockSize=", &TDeviceParameters::BlockSize},   {"DataSize=", &TDeviceParameters::DataSize},
    {"IDSize=", &TDeviceParameters::IDSize},         {"ConfigSize=", &TDeviceParameters::ConfigSize},
    {"EEPROM=", &TDeviceParameters::EraseType},      {"OscCalAddr=", &TDeviceParameters::OscCalAddr},
    {"ProgCount=", &TDeviceParameters::ProgCount},   {"ProgMult=", &TDeviceParameters::ProgMult},
    {"ProgTime=", &TDeviceParameters::ProgTime},     {"EraseTime=", &TDeviceParameters::EraseTime},
    {"DeviceID=", &TDeviceParameters::DeviceID},     {"DeviceIDMask=", &TDeviceParameters::DeviceIDMask},
};

// The keys that say how a part answers to the device ID read.
bool ParseIdKey(TDeviceParameters& d, const std::string& line) {
  for (const TParamKey& k : ParamKeys) {
    if (k.Field != &TDeviceParameters::CoreType && k.Field != &TDeviceParameters::DeviceID &&
        k.Field != &TDeviceParameters::DeviceIDMask)
      continue;
    if (!KeyMatches(k.Key, line)) continue;
    d.*k.Field = ParseValue(line);
    return true;
  }
  return false;
}

// Sets an array word for "BaseConfig=", "BaseConfig0=" .. "BaseConfig7=".
bool ParseArrayKey(const char* stem, int32_t (&words)[8], const std::string& line) {
  const std::string bare = std::string(stem) + "=";
  if (KeyMatches(bare.c_str(), line)) {
    words[0] = ParseValue(line);
    return true;
  }
  for (int i = 0; i < 8; ++i) {
    const std::string key = std::string(stem) + std::to_string(i) + "=";
    if (KeyMatches(key.c_str(), line)) {
      words[i] = ParseValue(line);
      return true;
    }
  }
  return false;
}

bool KnownAlgorithm(int32_t core, int32_t erase) {
  switch (core) {
    case 12: return erase == 0 || erase == 2;
    case 14: return erase == 0 || erase == 1 || erase == 2 || erase == 5;
    case 17: return erase == 0;
    case 18: return erase == 0 || erase == 3 || erase == 4;
    default: return false;
  }
}

}  // namespace

uint32_t DeviceIdMask(const TDeviceParameters& d) {
  if (d.DeviceIDMask != 0) return static_cast<uint32_t>(d.DeviceIDMask);
  return d.CoreType == 14 ? 0x3FE0 : d.CoreType == 18 ? 0xFFE0 : 0;
}

std::vector<TKnownDevice> KnownDevices() {
  std::vector<TKnownDevice> known;
  std::ifstream in(DeviceDatabasePath());
  std::string line, name;
  TKnownDevice current;
  bool inDevice = false;
  const auto keep = [&] {
    if (inDevice && current.Parameters.DeviceID >= 0) known.push_back(current);
  };
  while (ReadLine(in, line)) {
    if (SectionName(line, name)) {
      keep();
      inDevice = !EqualNoCase(name, "Default");
      current = TKnownDevice{name, TDeviceParameters{}};
      continue;
    }
    if (inDevice) ParseIdKey(current.Parameters, line);
  }
  keep();
  return known;
}

std::string DeviceDatabasePath() { return AppSettings.ProgramDirectory + "vorra.ini"; }

bool KeyMatches(const char* key, const std::string& line) {
  const size_t n = std::char_traits<char>::length(key);
  return line.size() >= n && strncasecmp(line.c_str(), key, n) == 0;
}

int32_t ParseValue(const std::string& line) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return 0;
  size_t end = eq + 1;
  while (end < line.size() && !std::isblank(static_cast<unsigned char>(line[end]))) ++end;
  const std::string v = line.substr(eq + 1, end - eq - 1);
  if (v.empty()) return 0;
  if (v[0] == '$') return ParseHex(v.substr(1));
  if (v.size() >= 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) return ParseHex(v.substr(2));
  if (v.back() == 'h' || v.back() == 'H') return ParseHex(v);
  return ParseDecimal(v);
}

bool SectionName(const std::string& line, std::string& name) {
  if (line.empty() || line[0] != '[') return false;
  std::string s = TrimRight(line.substr(1));
  if (!s.empty() && s.back() == ']') s.pop_back();
  name = s;
  return true;
}

void ParseDeviceKey(const std::string& line) {
  TDeviceParameters& d = DeviceParameters;
  for (const TParamKey& k : ParamKeys) {
    if (!KeyMatches(k.Key, line)) continue;
    int32_t v = ParseValue(line);
    if (k.Field == &TDeviceParameters::DataSize && v > 1024) v = 1024;
    if (k.Field == &TDeviceParameters::IDSize && v > 8) v = 8;
    if (k.Field == &TDeviceParameters::ConfigSize && v > 8) v = 8;
    d.*k.Field = v;
    if (k.Field == &TDeviceParameters::EraseType && v != 0) MainMenu.EraseEnabled = true;
    if (k.Field == &TDeviceParameters::CodeSize) MainMenu.MemorySizeItem = MemorySizeItemFor(v);
    return;
  }
  if (ParseArrayKey("BaseConfig", d.BaseConfig, line)) return;
  if (ParseArrayKey("ConfigMask", d.ConfigMask, line)) return;
  // Options in group order: the group's mask key, then its items' keys.
  for (int g = 0; g < OptionGroupCount; ++g) {
    TOptionGroup& group = OptionGroups[g];
    TOptionItem* onOff = nullptr;
    for (int i = 0; i < OptionItemCount; ++i)
      if (OptionItems[i].Group == g) onOff = &OptionItems[i];
    if (KeyMatches(group.MaskKey, line)) {
      group.Mask = ParseValue(line);
      if (!group.Radio) onOff->Enabled = true;
      return;
    }
    for (int i = 0; i < OptionItemCount; ++i) {
      TOptionItem& item = OptionItems[i];
      if (item.Group != g) continue;
      if (KeyMatches(item.ValueKey, line)) {
        item.Value = ParseValue(line);
        if (group.Radio) item.Enabled = true;
        return;
      }
      if (item.OffKey && KeyMatches(item.OffKey, line)) {
        item.Off = ParseValue(line);
        return;
      }
    }
  }
}

bool LoadDeviceList() {
  std::ifstream in(DeviceDatabasePath());
  if (!in) {
    ErrorBox("Unable to open VORRA.INI.");
    return false;
  }
  DeviceBox.Items.clear();
  std::string line, name;
  while (ReadLine(in, line)) {
    if (!SectionName(line, name)) continue;
    if (EqualNoCase(name, "Default")) {
      if (ReadLine(in, line) && KeyMatches("Device=", line)) DeviceBox.Text = TrimRight(line.substr(7));
      continue;
    }
    DeviceBox.Items.push_back(name);
  }
  return true;
}

bool LoadDevice() {
  std::ifstream in(DeviceDatabasePath());
  if (!in) {
    ErrorBox("Unable to open VORRA.INI.");
    return false;
  }
  const std::string wanted = TrimRight(DeviceBox.Text);
  std::string line, name;
  bool found = false;
  while (!found && ReadLine(in, line)) found = SectionName(line, name) && EqualNoCase(name, wanted);
  if (!found) {
    ShowConfiguration();
    ErrorBox("Device not found in VORRA.INI.\n" + DeviceBox.Text);
    DeviceBox.Text = AppSettings.LastDeviceName;
    return false;
  }

  // A section with a core or algorithm the engine does not know must not
  // replace the device in force: keep everything to put it back.
  const TDeviceParameters previousParameters = DeviceParameters;
  const std::vector<TOptionGroup> previousGroups(OptionGroups, OptionGroups + OptionGroupCount);
  const std::vector<TOptionItem> previousItems(OptionItems, OptionItems + OptionItemCount);
  const TMainMenuState previousMenu = MainMenu;

  DeviceParameters = TDeviceParameters{};
  MainMenu.EraseEnabled = false;
  for (int i = 0; i < OptionItemCount; ++i) OptionItems[i].Enabled = false;
  while (ReadLine(in, line)) {
    if (!line.empty() && line[0] == '[') break;
    ParseDeviceKey(line);
  }

  TDeviceParameters& d = DeviceParameters;
  std::string bad;
  if (d.CoreType != 12 && d.CoreType != 14 && d.CoreType != 17 && d.CoreType != 18)
    bad = Format("Device %s in VORRA.INI has CoreType=%d; only 12, 14, 17 and 18 are known.", name.c_str(),
                 d.CoreType);
  else if (!KnownAlgorithm(d.CoreType, d.EraseType))
    bad = Format("Device %s in VORRA.INI has EEPROM=%d, which core %d does not have.", name.c_str(), d.EraseType,
                 d.CoreType);
  if (!bad.empty()) {
    DeviceParameters = previousParameters;
    std::copy(previousGroups.begin(), previousGroups.end(), OptionGroups);
    std::copy(previousItems.begin(), previousItems.end(), OptionItems);
    MainMenu = previousMenu;
    ShowConfiguration();
    ErrorBox(bad);
    DeviceBox.Text = AppSettings.LastDeviceName;
    return false;
  }
  if (d.CodeSize > MaxCodeSize || d.CodeSize < 0) {
    const int32_t used = d.CodeSize < 0 ? 0 : MaxCodeSize;
    WarningBox(Format("Device %s in VORRA.INI has CodeSize=%d; %d words are used.", name.c_str(), d.CodeSize, used));
    d.CodeSize = used;
    MainMenu.MemorySizeItem = MemorySizeItemFor(used);
  }
  if (d.BlockSize < 1) {
    WarningBox(Format("Device %s in VORRA.INI has BlockSize=%d; 1 is used.", name.c_str(), d.BlockSize));
    d.BlockSize = 1;
  }
  // Block writes are table writes of the 18-bit core; sent to any other core
  // they are a stream of commands the part decodes as it likes.
  if (d.BlockSize != 1 && d.CoreType != 18) {
    WarningBox(Format("Device %s in VORRA.INI has BlockSize=%d; core %d is written word by word.", name.c_str(),
                      d.BlockSize, d.CoreType));
    d.BlockSize = 1;
  }
  // The 12- and 14-bit cores have four ID locations; the words after them
  // are the device ID, reserved words and, on the 14-bit core, the
  // configuration word, which an ID loop must never program.
  if ((d.CoreType == 12 || d.CoreType == 14) && d.IDSize > 4) {
    WarningBox(Format("Device %s in VORRA.INI has IDSize=%d; core %d has 4 ID locations.", name.c_str(), d.IDSize,
                      d.CoreType));
    d.IDSize = 4;
  }
  // A negative size of the smaller areas means nothing to program; said as
  // a negative CodeSize is, since a typo would otherwise skip an area
  // without a word.
  const std::pair<const char*, int32_t TDeviceParameters::*> smaller[] = {
      {"DataSize", &TDeviceParameters::DataSize},
      {"IDSize", &TDeviceParameters::IDSize},
      {"ConfigSize", &TDeviceParameters::ConfigSize},
  };
  for (const auto& [key, field] : smaller) {
    if (d.*field >= 0) continue;
    WarningBox(Format("Device %s in VORRA.INI has %s=%d; 0 is used.", name.c_str(), key, d.*field));
    d.*field = 0;
  }

  AppSettings.LastDeviceName = DeviceBox.Text;
  ShowConfiguration();
  return true;
}
