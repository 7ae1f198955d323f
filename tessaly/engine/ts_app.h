// Program-wide settings of Tessaly that the engine reads. The main window
// fills and saves them.
#pragma once

#include <string>

struct TAppSettings {
  std::string ProgramDirectory;  // the program's folder, ending in '/'
  int ProgrammerPort = 0;        // 0 = none or detect at the next command; 1-3 = LPT1-3
  bool StayOnTop = false;
  bool ProgramOnStart = false;
  bool ExitAfterProgramming = false;
  std::string LastDeviceName;    // the device loaded last
};
extern TAppSettings AppSettings;
