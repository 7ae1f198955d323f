// The settings file vorracfg.ini: window placement, view choices, the
// serial-number parameters, the Options items, the programmer port, the
// current device with its configuration words and the recent files.
//
// The main window gathers what it shows into a TSettingsFile before
// SaveSettings and applies it after LoadSettings; both work on text here,
// and on the file through the path the main window chooses (the user's
// configuration folder, else the program folder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ts_images.h"

struct TWindowPlacement {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool Visible = false;
  bool Ascii = false;  // the views' Ascii button
};

struct TSettingsFile {
  TWindowPlacement Main, Config, Code, Data, ID, SerialNumber, Count;
  TSerialNumberParameters SN;
  TProgramOptions Options;
  int32_t VorraPort = 0;        // 0-3
  bool AutoPortDetect = true;
  bool StayOnTop = false;
  std::string Device;           // empty: the file named none
  uint32_t ConfigWords[8] = {EmptyEntry, EmptyEntry, EmptyEntry, EmptyEntry,
                        EmptyEntry, EmptyEntry, EmptyEntry, EmptyEntry};
  bool ConfigRead[8] = {};      // which words the file set
  int ConfigCount = 1;          // words written (the device's ConfigSize)
  std::vector<std::string> Files;  // at most four recent files
};

// The text of a settings file, sections in the written order, each followed
// by an empty line.
std::string SettingsText(const TSettingsFile& s);
// Applies a settings text to s: every section wherever it stands, keys
// matched case-insensitively at the start of a line; a key not in the text
// leaves its value as it was. The serial-number values are held within the
// controls' bounds.
void ReadSettingsText(const std::string& text, TSettingsFile& s);

// The file: false when it cannot be read (LoadSettings) or written
// (SaveSettings, with the system's reason in `error`).
bool LoadSettingsFile(const std::string& path, TSettingsFile& s);
bool SaveSettingsFile(const std::string& path, const TSettingsFile& s, std::string& error);
