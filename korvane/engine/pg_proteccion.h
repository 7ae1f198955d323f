// Code protection seen from a read. A protected part gives 0 for every
// protected cell, so the image a read leaves looks like a part full of
// zeros; the configuration words read with it are the only sign of it.
#pragma once

#include <string>
#include <vector>

// The memories that the configuration in BufDispositivo protects against
// reading, for the selected 12-bit, 14-bit, 16C EPROM, PIC18 or dsPIC part
// (the serial EEPROMs have none).
struct TZonasProtegidas {
  bool Programa = false;  // program memory (on a dsPIC its general segment)
  bool Datos = false;     // data EEPROM
  bool Alguna() const { return Programa || Datos; }
};
TZonasProtegidas ZonasProtegidas();

// Their captions (TextosZona); empty when nothing is protected.
std::vector<std::string> AreasProtegidas();

// After a read: when the part is protected, says so in a message and in
// the operation log, naming the areas. Returns whether it did.
bool AvisaProteccion();

// The verify right after programming reads the part under the protection
// the run has just written, so its protected cells read 0 though each word
// was read back as it was written. Says so in the log (no message: the
// part is as the user asked), naming the areas, and returns them; the
// verify then compares in them only what the part still shows.
TZonasProtegidas AnotaProteccionEscrita();
