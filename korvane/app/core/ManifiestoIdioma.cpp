// Section "pg_err*" keys added for the Linux port (not used elsewhere):
//   "52*"  a file cannot be opened for reading; the file name and the
//          system's reason follow the text.
//   "53*"  a file cannot be created or written; name and reason follow;
//          the old file was kept.
//   "54*"  the part cannot be erased electrically (EPROM).
//   "55*"  a serial EEPROM has no erase command (erase asked for one).
//   "56*"  no OSCCAL value could be read from the part nor was one kept
//          (a code-protected 14-bit part reads it as 0); " OSCCAL" follows.
//   "57*"  a hardware profile file in which no key is recognised: the
//          defaults are used; the file's path follows.
// Keys "40*" to "51*" already carry other messages (serial-port set-up,
// hardware check, EPROM on the firmware programmer, BIN size question,
// dsPIC executive question, calibration questions). Still unused numbers
// of "pg_err*": 5, 19, 20, 21, 24, 27 and 58 on.
#include "ManifiestoIdioma.h"

#include <string>

namespace {

std::vector<TClaveIdioma> Construye() {
  auto numero = [](int n) { return std::to_string(n) + "*"; };

  std::vector<TClaveIdioma> m = {
      // Main window and operation window.
      {"Main*", "***", 2},
      {"Main*", "Qt*", 0},
      {"Menus*", "MainMenu*", 6},
      {"Menus*", "M0*", 7},
      {"Menus*", "M1*", 2},
      {"Menus*", "M2*", 6},
      {"Menus*", "H2*", 4},
      {"Menus*", "M3*", 2},
      {"Menus*", "M5*", 2},
      {"Menus*", "B0*", 4},
      {"Menus*", "H0*", 8},
      {"Menus*", "MM*", 3},
      {"Acciones*", "***", 4},
      // Dialogs.
      {"pg_ConfigSoft*", "***", 8},
      {"pg_llenar*", "***", 7},
      {"pg_buscar*", "***", 4},
      {"pg_about*", "***1", 9},
      {"pg_about*", "***2", 0},
      {"pg_about*", "***3", 0},
      {"pg_params*", "****", 2},
      {"pg_params*", "Tex*", kBloqueLibre},
      {"pg_GuardarComo*", "***", 3},
      // Configuration editor of the 16F6xx, also read by identification.
      {"Conf_fc16F6xx*", "***", 2},
      {"Conf_fc16F6xx*", "**1", 0},
      // Hardware profile editor.
      {"pg_ConfigHardw*", "***", 8},
      {"pg_ConfigHardw*", "**b", 6},
      {"pg_ConfigHardw*", "**f", 9},
      {"pg_ConfigHardw*", "**g", 0},
      {"pg_ConfigHardw*", "**e", 0},
      {"pg_ConfigHardw*", "**n", 0},
      {"pg_ConfigHardw*", "**s", 0},
      {"pg_ConfigHardw*", "**d", 0},
      // Messages.
      {"pg_err*", "msg1*", 0},
      {"pg_err*", "msg3*", 0},
      {"pg_err*", "Err1*", 0},
  };
  // "Entorno*": TextosEntorno "0*".."25*", TextosZona "100*".."110*".
  for (int k = 0; k <= 25; ++k) m.push_back({"Entorno*", numero(k), 0});
  for (int k = 100; k <= 110; ++k) m.push_back({"Entorno*", numero(k), 0});
  // "pg_err*" messages by number.
  for (int k : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 22, 23, 25, 26, 28, 29, 30})
    m.push_back({"pg_err*", numero(k), 0});
  for (int k = 31; k <= 57; ++k) m.push_back({"pg_err*", numero(k), 0});
  // "pg_port*": why a port could not be used and how to fix it (Linux).
  for (int k = 0; k <= 12; ++k) m.push_back({"pg_port*", numero(k), 0});
  // "pg_enlace*": the firmware programmer's link. "0*".."8*" why its serial
  // port did not open (after the port's name; "3*" precedes the programs
  // that hold it), "9*".."12*" why its USB board did not open ("9*" is
  // followed by the udev rules file), "13*" no board attached, "14*" not
  // the profile's instance (each followed by the USB identifier).
  for (int k = 0; k <= 14; ++k) m.push_back({"pg_enlace*", numero(k), 0});
  // "Lote*": why a command-line batch stopped.
  for (int k = 0; k <= 1; ++k) m.push_back({"Lote*", numero(k), 0});
  // "pg_avisos*": warnings of the engine that stop nothing: "0*".."2*" the
  // log line of a PIC18 HEX file whose data EEPROM fits both layouts (the
  // text, then the layout taken), "3*" a USB-serial adapter named by a
  // pin-level profile (follows the port's name), "4*" a read of a
  // code-protected part (followed by the protected areas), "5*" the verify
  // after programming an image that protects the part (the same).
  for (int k = 0; k <= 5; ++k) m.push_back({"pg_avisos*", numero(k), 0});
  // "pg_zocalo*": the identification named another part than the selected
  // one: "0*".."3*" the question before a program or an erase (the names
  // follow "1*" and "2*"), "4*" the stop, "5*" a read or verify that goes
  // on (each followed by both names).
  for (int k = 0; k <= 5; ++k) m.push_back({"pg_zocalo*", numero(k), 0});
  return m;
}

}  // namespace

const std::vector<TClaveIdioma>& ManifiestoIdioma() {
  static const std::vector<TClaveIdioma> manifiesto = Construye();
  return manifiesto;
}
