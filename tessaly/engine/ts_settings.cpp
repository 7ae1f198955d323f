#include "ts_settings.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ts_devdb.h"

namespace {

constexpr std::size_t MaxSettingsSize = 1 << 20;  // a settings file is a few hundred bytes

std::string Line(const char* key, int32_t v) { return std::string(key) + std::to_string(v) + "\n"; }

std::string Placement(const char* section, const TWindowPlacement& p, bool size, bool ascii) {
  std::string t = std::string(section) + "\n";
  if (size) t += Line("Height=", p.Height);
  t += Line("Left=", p.Left);
  t += Line("Top=", p.Top);
  if (size) t += Line("Width=", p.Width);
  if (ascii) t += Line("Ascii=", p.Ascii);
  return t;
}

std::string TrimBoth(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool Header(const std::string& line, const char* name) {
  return strcasecmp(TrimBoth(line).c_str(), name) == 0;
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::min(std::max(v, lo), hi); }

enum TSection { None, Main, Config, Code, Data, ID, SN, Count, Options, Device, Files };

const char* const Headers[] = {"", "[Main]", "[Config]", "[Code]", "[Data]", "[ID]",
                               "[SerialNumber]", "[Count]", "[Options]", "[Device]", "[Files]"};

// A key line of a window's section: only the keys that section has (the
// views have a size and an Ascii button, the main window no Visible).
void PlacementKey(const std::string& l, TWindowPlacement& p, bool view = false, bool visible = true) {
  if (KeyMatches("Left=", l)) p.Left = ParseValue(l);
  else if (KeyMatches("Top=", l)) p.Top = ParseValue(l);
  else if (view && KeyMatches("Height=", l)) p.Height = ParseValue(l);
  else if (view && KeyMatches("Width=", l)) p.Width = ParseValue(l);
  else if (view && KeyMatches("Ascii=", l)) p.Ascii = ParseValue(l) != 0;
  else if (visible && KeyMatches("Visible=", l)) p.Visible = ParseValue(l) != 0;
}

struct TOptionKey {
  const char* Key;
  bool TProgramOptions::*Field;
};
const TOptionKey OptionKeys[] = {
    {"ProgramCode=", &TProgramOptions::ProgramCode},
    {"ProgramConfiguration=", &TProgramOptions::ProgramConfiguration},
    {"ProgramData=", &TProgramOptions::ProgramData},
    {"ProgramID=", &TProgramOptions::ProgramID},
    {"ProgramOscillatorCalibration=", &TProgramOptions::ProgramOscillatorCalibration},
    {"ProgramSerialNumber=", &TProgramOptions::ProgramSerialNumber},
    {"UpdateConfiguration=", &TProgramOptions::UpdateConfiguration},
    {"RereadFile=", &TProgramOptions::RereadFile},
    {"EraseBeforeProgramming=", &TProgramOptions::EraseBeforeProgramming},
    {"VerifyAfterProgramming=", &TProgramOptions::VerifyAfterProgramming},
    {"DisableCompletion=", &TProgramOptions::DisableCompletion},
    {"SkipBlankCheck=", &TProgramOptions::SkipBlankCheck},
};

}  // namespace

std::string SettingsText(const TSettingsFile& s) {
  std::string t;
  t += Placement("[Main]", s.Main, false, false) + "\n";
  t += Placement("[Config]", s.Config, false, false) + Line("Visible=", s.Config.Visible) + "\n";
  t += Placement("[Code]", s.Code, true, true) + Line("Visible=", s.Code.Visible) + "\n";
  t += Placement("[Data]", s.Data, true, true) + Line("Visible=", s.Data.Visible) + "\n";
  t += Placement("[ID]", s.ID, true, true) + Line("Visible=", s.ID.Visible) + "\n";
  t += Placement("[SerialNumber]", s.SerialNumber, false, false);
  t += Line("SerialNumber=", s.SN.SerialNumber);
  t += Line("IncrementBy=", s.SN.IncrementBy);
  t += Line("StartingLocation=", s.SN.StartingLocation);
  t += Line("NumberLocations=", s.SN.NumberLocations);
  t += Line("PrefixByte=", s.SN.PrefixByte);
  t += Line("MSBFirst=", s.SN.MSBFirst);
  t += Line("WriteSNToEE=", s.SN.Target == TSerialNumberParameters::EE);
  t += Line("WriteSNToID=", s.SN.Target == TSerialNumberParameters::ID);
  t += Line("Visible=", s.SerialNumber.Visible) + "\n";
  t += Placement("[Count]", s.Count, false, false) + Line("Visible=", s.Count.Visible) + "\n";
  t += "[Options]\n";
  for (const TOptionKey& k : OptionKeys) t += Line(k.Key, s.Options.*k.Field);
  t += Line("VorraPort=", s.VorraPort);
  t += Line("AutoPortDetect=", s.AutoPortDetect);
  t += Line("StayOnTop=", s.StayOnTop);
  t += Line("InvertPortValue=", 0) + "\n";
  t += "[Device]\nDevice=" + s.Device + "\n";
  for (int i = 0; i < std::clamp(s.ConfigCount, 0, 8); ++i) {
    char w[32];
    std::snprintf(w, sizeof w, "Config%01d=0x%04lX\n", i, static_cast<unsigned long>(s.ConfigWords[i]));
    t += w;
  }
  t += "\n[Files]\n";
  for (std::size_t i = 0; i < s.Files.size() && i < 4; ++i) t += s.Files[i] + "\n";
  t += "\n";
  return t;
}

void ReadSettingsText(const std::string& text, TSettingsFile& s) {
  std::istringstream in(text);
  std::string line;
  TSection section = None;
  int files = 0;
  bool filesNew = false;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    // A section starts wherever its header stands, whatever came before.
    if (!line.empty() && line[0] == '[') {
      section = None;
      for (int h = Main; h <= Files; ++h)
        if (Header(line, Headers[h])) section = static_cast<TSection>(h);
      if (section == Files) {
        files = 0;
        filesNew = true;
      }
      continue;
    }
    switch (section) {
      case None: break;
      case Main: PlacementKey(line, s.Main, false, false); break;
      case Config: PlacementKey(line, s.Config); break;
      case Code: PlacementKey(line, s.Code, true); break;
      case Data: PlacementKey(line, s.Data, true); break;
      case ID: PlacementKey(line, s.ID, true); break;
      case Count: PlacementKey(line, s.Count); break;
      case SN:
        if (KeyMatches("SerialNumber=", line)) s.SN.SerialNumber = ParseValue(line);
        else if (KeyMatches("IncrementBy=", line)) s.SN.IncrementBy = ParseValue(line);
        else if (KeyMatches("StartingLocation=", line)) s.SN.StartingLocation = Clamp(ParseValue(line), 0, 8191);
        else if (KeyMatches("NumberLocations=", line)) s.SN.NumberLocations = Clamp(ParseValue(line), 1, 4);
        else if (KeyMatches("PrefixByte=", line)) s.SN.PrefixByte = Clamp(ParseValue(line), 0, 63);
        else if (KeyMatches("MSBFirst=", line)) s.SN.MSBFirst = ParseValue(line) != 0;
        else if (KeyMatches("WriteSNToEE=", line)) {
          if (ParseValue(line)) s.SN.Target = TSerialNumberParameters::EE;
        } else if (KeyMatches("WriteSNToID=", line)) {
          if (ParseValue(line)) s.SN.Target = TSerialNumberParameters::ID;
        } else {
          PlacementKey(line, s.SerialNumber);
        }
        break;
      case Options: {
        bool done = false;
        for (const TOptionKey& k : OptionKeys)
          if (!done && KeyMatches(k.Key, line)) {
            s.Options.*k.Field = ParseValue(line) != 0;
            done = true;
          }
        if (done) break;
        if (KeyMatches("VorraPort=", line)) s.VorraPort = Clamp(ParseValue(line), 0, 3);
        else if (KeyMatches("AutoPortDetect=", line)) s.AutoPortDetect = ParseValue(line) != 0;
        else if (KeyMatches("StayOnTop=", line)) s.StayOnTop = ParseValue(line) != 0;
        break;
      }
      case Device:
        // The whole name: a device name may hold blanks.
        if (KeyMatches("Device=", line)) {
          s.Device = TrimBoth(line.substr(7));
        } else if (KeyMatches("Config=", line)) {
          s.ConfigWords[0] = static_cast<uint32_t>(ParseValue(line));
          s.ConfigRead[0] = true;
        } else {
          for (int i = 0; i < 8; ++i) {
            const std::string key = "Config" + std::to_string(i) + "=";
            if (KeyMatches(key.c_str(), line)) {
              s.ConfigWords[i] = static_cast<uint32_t>(ParseValue(line));
              s.ConfigRead[i] = true;
              break;
            }
          }
        }
        break;
      case Files:
        if (TrimBoth(line).empty() || files >= 4) {
          section = None;
          break;
        }
        if (filesNew) {
          s.Files.clear();
          filesNew = false;
        }
        s.Files.push_back(TrimBoth(line));
        ++files;
        break;
    }
  }
}

bool LoadSettingsFile(const std::string& path, TSettingsFile& s) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    // Whatever lies past a settings file's size is no setting.
    if (text.size() > MaxSettingsSize) return false;
  }
  ReadSettingsText(text, s);
  return true;
}

bool SaveSettingsFile(const std::string& path, const TSettingsFile& s, std::string& error) {
  // Written beside and renamed over, so a full disk never leaves half a file.
  const std::string temp = path + ".new";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  const std::string text = SettingsText(s);
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int e = errno;
  if (std::fclose(f) != 0 || !ok) {
    error = std::strerror(ok ? errno : e);
    std::remove(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
