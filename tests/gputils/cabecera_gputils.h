// Reads the configuration-bit definitions of a gputils processor header
// (p<part>.inc): the configuration words with their addresses and, for each
// word, its settings (one field each) with the option symbols gputils
// defines for it. Standalone: no project code, only the standard library.
//
// In a header, a word's options follow a line ";----- <WORD> Options ---",
// one "NAME EQU H'value'" line each (the value has every bit of the word
// set but the ones the option clears); a blank line ends a setting. A few
// old headers put every option of a word in one run without blank lines;
// such a run is split by the options' names and bits (see Ajustes below).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct TSimboloGputils {
  std::string nombre;      // "_CP_ON", "_OSC_HS_1H"
  uint32_t valor = 0;      // the EQU value
  std::string comentario;  // the text after ';', trimmed
};

// One setting: the options of one field of a word.
struct TAjusteGputils {
  std::vector<TSimboloGputils> simbolos;  // in header order, aliases included
  uint32_t mascara = 0;                   // the bits its values differ in
  // The symbols that share the value of `s` (s among them).
  std::vector<std::string> Alias(const TSimboloGputils& s) const;
};

struct TPalabraGputils {
  std::string nombre;        // "CONFIG", "CONFIG2", "CONFIG4L"
  int64_t direccion = -1;    // from "_<nombre> EQU", -1 when the header has none
  std::vector<TAjusteGputils> ajustes;
};

struct TCabeceraGputils {
  std::vector<TPalabraGputils> palabras;
  const TPalabraGputils* Palabra(const std::string& nombre) const;
};

// The header of a part, "<carpeta>/p<part in lower case>.inc".
std::filesystem::path RutaCabeceraGputils(const std::filesystem::path& carpeta, const std::string& parte);

// The configuration words of a header; nullopt when the file cannot be
// read. `error` (when given) says why.
std::optional<TCabeceraGputils> LeeCabeceraGputils(const std::filesystem::path& ruta, std::string* error = nullptr);

// Splits the text of a header (for tests of the reader itself).
TCabeceraGputils AnalizaCabeceraGputils(const std::string& texto);

// The settings of one run of option lines. A run whose options belong to
// one field gives one setting. A run that mixes fields (old headers) is cut
// by the names: options whose names begin with the same word ("_CP_ALL",
// "_CP_OFF") go together, groups whose cleared bits overlap
// join ("_LP_OSC", "_XT_OSC"), and an option that clears nothing of its
// own ("_RC_OSC") joins the group whose names end as its own does.
std::vector<TAjusteGputils> Ajustes(const std::vector<TSimboloGputils>& corrida);
