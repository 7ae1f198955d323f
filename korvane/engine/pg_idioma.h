// The texts of the current language file, as the engine and every window
// read them.
//
// `Idioma` is the settings component of the language texts: in ini-file
// mode it reads the current language file by section and key; it is put in
// registry mode only to read and write the language choice (app/core,
// Idiomas.h). Nothing is cached: every text is read from the file when asked.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "RegAuto.h"

extern TRegAuto Idioma;

// Text of a key of the current language file ("" when missing).
std::string TextoIdioma(const std::string& seccion, const std::string& clave);

// Reads the block `clave` of `seccion` into `lista` and returns true when it
// has exactly `cuenta` items. Otherwise returns false and leaves `lista`
// empty, so the caller keeps the texts its controls have.
bool LeeBloqueIdioma(const std::string& seccion, const std::string& clave, size_t cuenta,
                     std::vector<std::string>& lista);

// Section "Entorno*": keys "0*".."25*" and "100*".."110*".
extern std::array<std::string, 26> TextosEntorno;
extern std::array<std::string, 11> TextosZona;

// Fills TextosEntorno and TextosZona from the current language file: item k
// of TextosEntorno takes key k; TextosZona slot k takes key 100 + k, except
// that slots 6 and 7 take "107*" and "106*", and slot 10 is " " + "110*".
void LeeTextosEntorno();
// Empties both (the program's end).
void LimpiaTextosEntorno();

// Points `Idioma` at a language file (a path, or a name relative to the
// program folder) in ini-file mode and reads the general texts; for tools
// and tests that run without the main window.
void UsaArchivoIdioma(const std::string& archivo);
