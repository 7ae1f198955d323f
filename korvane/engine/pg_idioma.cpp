#include "pg_idioma.h"

std::array<std::string, 26> TextosEntorno;
std::array<std::string, 11> TextosZona;

// Placeholder until the language store is wired in.
std::string TextoIdioma(const std::string&, const std::string&) { return {}; }
