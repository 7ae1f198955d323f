// Start-up logic of Tessaly's main window that needs no window: the command
// line and the programmer-port choice with its check before every command.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TCommandLine {
  std::vector<std::string> Devices;  // -d<name> and -p<name>, in order (the last one stays)
  bool ProgramOnStart = false;       // -p alone
  bool ExitAfterProgramming = false; // -x
  std::string File;                  // the last file name given
};

// Arguments 1 .. argc-1. An argument beginning with '-' or '/' is a switch
// (its letter in any case); other letters are ignored. On Linux an argument
// beginning with '/' that names an existing file, or holds a second '/', is
// a file name.
TCommandLine ParseCommandLine(const std::vector<std::string>& args,
                              const std::function<bool(const std::string&)>& fileExists);

// The Port menu: Auto, and which of None, LPT1-LPT3 is ticked.
struct TPortMenu {
  bool Auto = true;
  int Ticked = -1;          // 0 None, 1-3 LPT1-3, -1 none ticked yet
  bool LptEnabled = false;  // the three LPT items
};

// What the port check needs from the port layer and the user.
struct TPortServices {
  std::function<int()> AutoDetect;            // 1-3, or 0 after reporting
  std::function<bool(int port)> OpenSelected;
  std::function<void(const std::string&)> ErrorBox;
};

// The check every Run command makes first. ProgrammerPort (AppSettings)
// holds the port: with Auto, 0 means detect now, and a port found is used
// without detecting again until Auto is switched off and on.
bool CheckProgrammerPort(TPortMenu& menu, const TPortServices& services);
// The Port menu's items.
void VorraAutoClick(TPortMenu& menu);
void VorraLptClick(TPortMenu& menu, int port);
// After the settings: with Auto the next command detects; without, the LPT
// items can be chosen.
void ApplyPortSetting(TPortMenu& menu);
