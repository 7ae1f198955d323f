// Every section and key that the program reads from a language file, with
// its number of items. Each shipped language file must hold all of them
// (tests/idioma checks it), so a missing key or a block of the wrong size
// fails the build's tests instead of leaving a text empty on screen.
//
// To add a text: add its row to ManifiestoIdioma.cpp and the key to every
// file in korvane/app/LANGUAGES/.
#pragma once

#include <string>
#include <vector>

struct TClaveIdioma {
  std::string seccion;
  std::string clave;
  // 0: a single text; N > 0: a block of exactly N items; kBloqueLibre: a
  // block of any number (at least one) of items.
  int items;
};

inline constexpr int kBloqueLibre = -1;

const std::vector<TClaveIdioma>& ManifiestoIdioma();
