// The texts of the current language file, as the engine reads them.
#pragma once

#include <array>
#include <string>

// Text of a key of the current language file ("" when missing).
std::string TextoIdioma(const std::string& seccion, const std::string& clave);

// Section "Entorno*": keys "0*".."25*" and "100*".."110*".
extern std::array<std::string, 26> TextosEntorno;
extern std::array<std::string, 11> TextosZona;
