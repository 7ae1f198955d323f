// The language of the program: the choice kept in the "registry", the
// language files found in LANGUAGES/ beside the program, and applying the
// main window's and the operation window's texts from the chosen file.
#pragma once

#include <string>
#include <vector>

#include "DestinoIdioma.h"

// The chosen language: the base name of a file in the languages folder.
extern std::string IdiomaActual;
// The status bar's hardware label and its text for a missing profile.
extern std::string EtiquetaHardware;
extern std::string EtiquetaNinguno;

// The language used when the chosen one has no file.
inline constexpr const char* kIdiomaPorDefecto = "Español";

// The program folder's "LANGUAGES/" folder.
std::string CarpetaIdiomas();

struct TArchivoIdioma {
  std::string nombre;   // base name as shown (UTF-8)
  std::string archivo;  // file name in the languages folder, as on disk
  std::string icono;    // path of "<name>.bmp" beside it, or "" when absent
};

// The language files present (extension ".ini" in any letter case), sorted
// by name ignoring case.
std::vector<TArchivoIdioma> ListaIdiomas();
// The file of a language, matched ignoring letter case; "" when none.
std::string ArchivoDeIdioma(const std::string& nombre);

// Sets the registry path under which the language choice is kept.
void PonRutaRegistro();

// Start-up: reads the choice, falls back to "Español" when the chosen file
// is missing, fills the language menu and applies the texts. Without any
// language file it shows one fixed message, sets the fixed hardware labels
// and returns false.
bool CargaIdiomas(TDestinoIdioma& destino);

// Applies the blocks of the main window and the operation window and fills
// TextosEntorno and TextosZona from the file of IdiomaActual.
void AplicaIdioma(TDestinoIdioma& destino);

// Shut-down: stores IdiomaActual. Returns false (with the reason in
// `motivo`) when it could not be written.
bool GuardaIdioma(std::string& motivo);

// Case-insensitive comparison of names: ASCII and the accented Latin
// letters (À..Þ against à..þ), so "ESPAÑOL" matches "Español".
bool MismoNombre(const std::string& a, const std::string& b);
