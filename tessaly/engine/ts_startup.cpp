#include "ts_startup.h"

#include <cctype>

#include "ts_app.h"

TCommandLine ParseCommandLine(const std::vector<std::string>& args,
                              const std::function<bool(const std::string&)>& fileExists) {
  TCommandLine c;
  for (const std::string& a : args) {
    if (a.empty()) continue;
    bool isSwitch = a[0] == '-' || a[0] == '/';
    // "/proj/x.hex" is a path on Linux, not the switch "p" with a name.
    if (a[0] == '/' && (a.find('/', 1) != std::string::npos || (fileExists && fileExists(a))))
      isSwitch = false;
    if (!isSwitch) {
      c.File = a;
      continue;
    }
    if (a.size() < 2) continue;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(a[1])));
    const std::string rest = a.substr(2);
    if (letter == 'd') {
      if (!rest.empty()) c.Devices.push_back(rest);
    } else if (letter == 'p') {
      if (rest.empty()) c.ProgramOnStart = true;
      else c.Devices.push_back(rest);
    } else if (letter == 'x') {
      c.ExitAfterProgramming = true;
    }
  }
  return c;
}

bool CheckProgrammerPort(TPortMenu& menu, const TPortServices& s) {
  int& port = AppSettings.ProgrammerPort;
  if (menu.Auto) {
    if (port == 0 && s.AutoDetect) port = s.AutoDetect();
    if (port >= 1 && port <= 3) {
      menu.Ticked = port;
      return true;
    }
    port = 0;
    menu.Ticked = 0;
    return false;
  }
  if (port >= 1 && port <= 3) {
    menu.Ticked = port;
    if (s.OpenSelected && s.OpenSelected(port)) return true;
    if (s.ErrorBox) s.ErrorBox("Invalid VORRA Port selected.");
    return false;
  }
  menu.Ticked = 0;
  if (s.ErrorBox) s.ErrorBox("No VORRA Port selected.");
  return false;
}

void VorraAutoClick(TPortMenu& menu) {
  if (menu.Auto) {
    menu.Auto = false;
    menu.LptEnabled = true;
  } else {
    menu.Auto = true;
    menu.LptEnabled = false;
    AppSettings.ProgrammerPort = 0;
  }
}

void VorraLptClick(TPortMenu& menu, int port) {
  if (port < 1 || port > 3) return;
  menu.Ticked = port;
  AppSettings.ProgrammerPort = port;
}

void ApplyPortSetting(TPortMenu& menu) {
  if (menu.Auto) {
    AppSettings.ProgrammerPort = 0;
    menu.LptEnabled = false;
  } else {
    menu.LptEnabled = true;
  }
}
