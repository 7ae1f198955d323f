// Where Korvane's files live on Linux.
//
// Data files sit beside the program (Korvane.ini, Hardware/, LANGUAGES/).
// When the program folder cannot be written (an installed copy), the files
// the program writes go to the user's configuration folder instead, and
// reads look there first, so the user's copy wins over the shipped one.
#pragma once

#include <string>

// The program folder, with a trailing "/": the executable's folder unless a
// test has set another with PonCarpetaPrograma.
std::string CarpetaPrograma();
// Sets the program folder (a trailing "/" is added); "" restores the default.
void PonCarpetaPrograma(const std::string& carpeta);

// "$XDG_CONFIG_HOME/korvane/", or "~/.config/korvane/" when it is unset.
std::string CarpetaConfiguracion();

// The file that holds the values that would live in the Windows registry.
std::string ArchivoRegistro();

// For a name relative to the program folder: the file to read and the file
// to write (they differ only when the program folder is not writable).
std::string RutaLectura(const std::string& relativo);
std::string RutaEscritura(const std::string& relativo);

// True when a file at this path could be created or replaced by rename.
bool EsEscribible(const std::string& ruta);

// Tests running as root (who may write anywhere) declare the program folder
// read-only with true; false restores the real permission check.
void PonCarpetaProgramaSoloLectura(bool soloLectura);
