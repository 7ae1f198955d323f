#include "ts_hexfile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "ts_devdb.h"
#include "ts_images.h"
#include "ts_options.h"
#include "ts_run.h"
#include "ts_ui.h"

TFileState FileState;

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes of a record line after its ':' (count, address, type, data,
// checksum); false when the line is no well-formed record.
bool ParseRecord(const std::string& line, std::vector<uint8_t>& bytes) {
  size_t end = line.size();
  while (end > 1 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  bytes.clear();
  if ((end - 1) % 2 != 0) return false;
  for (size_t i = 1; i < end; i += 2) {
    const int hi = HexValue(line[i]), lo = HexValue(line[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return bytes.size() >= 5 && bytes.size() == 5u + bytes[0];
}

bool ChecksumRight(const std::vector<uint8_t>& bytes) {
  uint8_t sum = 0;
  for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
  return sum == 0;
}

// PIC18 data EEPROM: byte addresses 0xF00000 up. This program writes
// location i at 0xF00000 + 2i with a 00 byte after it; compilers write one
// byte per location at 0xF00000 + i.
constexpr uint32_t EepromBase18 = 0xF00000;
constexpr uint32_t EepromEnd18 = EepromBase18 + 2 * 1024;

// True when the EEPROM bytes come in whole pairs, every second byte 00:
// the two-byte layout of this program's own files.
bool TwoByteLayout(const std::map<uint32_t, uint8_t>& eeprom) {
  if (eeprom.empty()) return false;
  for (const auto& [offset, value] : eeprom) {
    const auto partner = eeprom.find(offset ^ 1);
    if (partner == eeprom.end()) return false;
    if ((offset & 1) && value != 0) return false;
  }
  return true;
}

class TPlacer {
public:
  TPlacer() : core_(DeviceParameters.CoreType), update_(ProgramOptions.UpdateConfiguration) {}

  // Puts every byte read where the core keeps it. Each byte lands by its
  // own address: byte A is the low half of word A/2 when A is even, the
  // high half when odd; a half the file does not give takes the blank byte.
  void Place(const std::map<uint32_t, uint8_t>& bytes) {
    std::map<uint32_t, uint8_t> eeprom;
    for (auto it = bytes.begin(); it != bytes.end();) {
      const uint32_t word = it->first >> 1;
      int lo = -1, hi = -1;
      for (; it != bytes.end() && (it->first >> 1) == word; ++it) {
        if (core_ == 18 && it->first >= EepromBase18 && it->first < EepromEnd18)
          eeprom[it->first - EepromBase18] = it->second;
        else
          (it->first & 1 ? hi : lo) = it->second;
      }
      if (lo >= 0 || hi >= 0) PlaceWord(word, lo, hi);
    }
    if (TwoByteLayout(eeprom)) {
      for (const auto& [offset, value] : eeprom)
        if (!(offset & 1)) DataImage[offset / 2] = value;
    } else {
      for (const auto& [offset, value] : eeprom) {
        if (offset < 1024)
          DataImage[offset] = value;
        else
          Outside = true;
      }
    }
  }

  bool Outside = false;  // bytes at an address this core has no place for

private:
  void PlaceWord(uint32_t w, int lo, int hi) {
    const uint32_t blankHigh = core_ == 12 ? 0x0F : core_ == 14 ? 0x3F : 0xFF;
    const uint32_t low = lo >= 0 ? static_cast<uint32_t>(lo) : 0xFF;
    const uint32_t v = (hi >= 0 ? static_cast<uint32_t>(hi) : blankHigh) << 8 | low;
    const uint32_t codeSize = static_cast<uint32_t>(DeviceParameters.CodeSize);
    switch (core_) {
      case 12: {
        const uint32_t idEnd = codeSize + static_cast<uint32_t>(DeviceParameters.IDSize);
        if (w == 0xFFF) {
          if (update_) ConfigWords[0] = v;
          if (codeSize > 0xFFF) CodeImage[w] = v;
        } else if (w >= codeSize && w < idEnd && w - codeSize < 8) {
          IDImage[w - codeSize] = v;
        } else {
          Code(w, v);  // code, or past the device's memory: the size warning tells
        }
        return;
      }
      case 14:
        if (w >= 0x2000 && w <= 0x2007) {
          IDImage[w - 0x2000] = v;
          if (w == 0x2007 && update_) ConfigWords[0] = v;
        } else if (w >= 0x2100 && w <= 0x24FF) {
          DataImage[w - 0x2100] = low;
        } else {
          Code(w, v);
        }
        return;
      case 17:
        if (w == 0xFE00) {
          if (update_) ConfigWords[0] = v;
        } else {
          Code(w, v);
        }
        return;
      case 18:
        if (w < 0x10000)
          CodeImage[w] = v;
        else if (w >= 0x100000 && w <= 0x100007)
          IDImage[w - 0x100000] = v;
        else if (w >= 0x180000 && w <= 0x180007) {
          if (update_) ConfigWords[w - 0x180000] = v;
        } else
          Outside = true;
        return;
      default: Outside = true;
    }
  }

  void Code(uint32_t w, uint32_t v) {
    if (w < 65536)
      CodeImage[w] = v;
    else
      Outside = true;
  }

  int core_;
  bool update_;
};

// The record texts of a file being written.
class THexWriter {
public:
  void Record(uint8_t type, uint32_t address, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                                  static_cast<uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    bytes.push_back(static_cast<uint8_t>(0x100 - sum));
    Text += ':';
    for (uint8_t b : bytes) Text += Format("%02X", b);
    Text += "\r\n";
  }

  void Extended(uint32_t upper) {
    Record(4, 0, {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)});
    upper_ = upper;
  }

  // A data record at a byte address. The 12-, 14- and 17-bit layouts have
  // no upper-address records of their own; a memory size above 32K words
  // gets them wherever the upper address changes, so no word is written
  // over the first 64K bytes.
  void Data(uint32_t byteAddress, const std::vector<uint8_t>& data) {
    if (TrackUpper && byteAddress >> 16 != upper_) Extended(byteAddress >> 16);
    Record(0, byteAddress & 0xFFFF, data);
  }

  // The set entries of entries[0 .. count-1] as data records at file word
  // addresses base + i: a record holds a run of set entries, at most 8, and
  // never goes past a multiple of 8. A word is written low byte first; a
  // data EEPROM entry as its byte and 00. `before` (the upper address)
  // precedes each record when it is not negative.
  void Runs(const uint32_t* entries, int count, uint32_t base, bool dataBytes, int before = -1) {
    for (int i = 0; i < count;) {
      if (entries[i] == EmptyEntry) {
        ++i;
        continue;
      }
      std::vector<uint8_t> data;
      const uint32_t first = base + static_cast<uint32_t>(i);
      do {
        const uint32_t v = entries[i];
        data.push_back(static_cast<uint8_t>(v));
        data.push_back(dataBytes ? 0 : static_cast<uint8_t>(v >> 8));
        ++i;
      } while (i < count && entries[i] != EmptyEntry && (base + static_cast<uint32_t>(i)) % 8 != 0);
      if (before >= 0) Extended(static_cast<uint32_t>(before));
      Data(2 * first, data);
    }
  }

  std::string Text;
  bool TrackUpper = false;

private:
  uint32_t upper_ = 0;
};

std::string HexImageText() {
  const TDeviceParameters& d = DeviceParameters;
  const int core = d.CoreType;
  const int codeSize = std::clamp(d.CodeSize, 0, 65536);
  const int idSize = std::clamp(d.IDSize, 0, 8);
  const int dataSize = std::clamp(d.DataSize, 0, 1024);
  const int configSize = std::clamp(d.ConfigSize, 0, 8);
  THexWriter w;
  w.TrackUpper = core != 18;
  if (core == 17) w.Extended(0);
  if (core == 18) {
    for (int start = 0; start < codeSize; start += 0x8000) {
      w.Extended(static_cast<uint32_t>(start / 0x8000));
      w.Runs(CodeImage + start, std::min(0x8000, codeSize - start), static_cast<uint32_t>(start), false);
    }
  } else {
    w.Runs(CodeImage, codeSize, 0, false);
  }
  if (core == 12) w.Runs(IDImage, idSize, static_cast<uint32_t>(codeSize), false);
  if (core == 14) w.Runs(IDImage, idSize, 0x2000, false);
  if (core == 18) w.Runs(IDImage, idSize, 0, false, 0x0020);
  if (core == 14) w.Runs(DataImage, dataSize, 0x2100, true);
  if (core == 18 && dataSize != 0) {
    w.Extended(0x00F0);
    w.Runs(DataImage, dataSize, 0, true);
  }
  const std::vector<uint8_t> word0 = {static_cast<uint8_t>(ConfigWords[0]), static_cast<uint8_t>(ConfigWords[0] >> 8)};
  if (core == 12) w.Data(0x1FFE, word0);
  if (core == 14) w.Data(0x400E, word0);
  if (core == 17) {
    w.Extended(1);
    w.Data(0x1FC00, word0);
  }
  if (core == 18) {
    w.Extended(0x0030);
    w.Runs(ConfigWords, configSize, 0, false);
  }
  w.Record(1, 0, {});
  return w.Text;
}

// The start of the last `count` characters of a UTF-8 text.
size_t LastCharacters(const std::string& s, size_t count) {
  size_t pos = s.size();
  for (size_t n = 0; n < count && pos > 0; ++n) {
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
  }
  return pos;
}

}  // namespace

bool ReadHexFile(const std::string& name) {
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(name, ec)) in.open(name, std::ios::binary);
  if (!in.is_open()) {
    WarningBox("Unable to open file.\n" + name);
    return false;
  }
  ClearBuffers();
  if (ProgramOptions.UpdateConfiguration) ClearConfiguration();
  ResetCounters();

  std::map<uint32_t, uint8_t> bytes;
  uint32_t base = 0;
  std::string line;
  std::vector<uint8_t> r;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty() || line[0] != ':') continue;
    const bool wellFormed = ParseRecord(line, r);
    if (!wellFormed || !ChecksumRight(r)) {
      if (!Ui().AskOkCancel("File checksum error.\nContinue anyway?", CaptionError, TBoxIcon::Error)) {
        in.close();
        NewFile();
        return false;
      }
      if (!wellFormed) continue;  // nothing in it can be trusted to be where it says
    }
    const uint8_t count = r[0], type = r[3];
    const uint32_t address = static_cast<uint32_t>(r[1]) << 8 | r[2];
    if (type == 0) {
      for (uint32_t k = 0; k < count; ++k) bytes[base + address + k] = r[4 + k];
    } else if ((type == 4 || type == 2) && count == 2) {
      const uint32_t v = static_cast<uint32_t>(r[4]) << 8 | r[5];
      base = type == 4 ? v << 16 : v << 4;
    }
  }
  in.close();

  TPlacer placer;
  placer.Place(bytes);
  RunHost().RefreshViews();
  ShowConfiguration();
  bool beyond = placer.Outside;
  for (int i = std::max(DeviceParameters.CodeSize, 0); i < 65536 && !beyond; ++i) beyond = CodeImage[i] != EmptyEntry;
  if (beyond) WarningBox("File length exceeds selected device's memory size.");
  return true;
}

bool WriteHexFile(const std::string& name) {
  const std::string text = HexImageText();
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  if (!out) {
    ErrorBox("Unable to create file.");
    return false;
  }
  out << text;
  out.close();
  if (!out) {
    ErrorBox("Unable to write file.");
    return false;
  }
  return true;
}

std::string WithDefaultExtension(const std::string& name) {
  const size_t slash = name.rfind('/');
  const size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  return name.find('.', fileStart) == std::string::npos ? name + ".hex" : name;
}

std::string CaptionFor(const std::string& name) {
  const size_t start = LastCharacters(name, 25);
  if (start == 0) return "Tessaly - " + name;
  return "Tessaly - ..." + name.substr(start);
}

bool OpenFile(const std::string& given) {
  const std::string name = WithDefaultExtension(given);
  if (!ReadHexFile(name)) return false;
  TFileState& f = FileState;
  f.FileName = name;
  f.Caption = CaptionFor(name);
  if (f.Recent[0] != name) {
    if (f.Recent[1] == name) {
      f.Recent[1] = f.Recent[0];
    } else if (f.Recent[2] == name) {
      f.Recent[2] = f.Recent[1];
      f.Recent[1] = f.Recent[0];
    } else {
      for (int i = 3; i > 0; --i) {
        if (!f.RecentVisible[i - 1]) continue;
        f.Recent[i] = f.Recent[i - 1];
        f.RecentVisible[i] = true;
      }
    }
  }
  f.Recent[0] = name;
  f.RecentVisible[0] = true;
  f.SeparatorVisible = true;
  return true;
}

bool SaveFileAs(const std::string& given) {
  const std::string name = WithDefaultExtension(given);
  if (std::ifstream(name) &&
      !Ui().AskOkCancel("File already exists. Overwrite?", CaptionInfo, TBoxIcon::Question)) {
    FileState.FileName.clear();
    return false;
  }
  if (!WriteHexFile(name)) return false;
  FileState.FileName = name;
  FileState.Caption = CaptionFor(name);
  return true;
}

void NewFile() {
  FileState.Caption = "Tessaly";
  FileState.FileName.clear();
  ClearBuffers();
  if (ProgramOptions.UpdateConfiguration) ClearConfiguration();
  ResetCounters();
  RunHost().RefreshViews();
  ShowConfiguration();
}
