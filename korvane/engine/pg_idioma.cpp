#include "pg_idioma.h"

TRegAuto Idioma = [] {
  TRegAuto r;
  r.RegPath = "Software\\.\\Korvane";
  r.IniFile = "$HOME/.Korvane";
  return r;
}();

std::array<std::string, 26> TextosEntorno;
std::array<std::string, 11> TextosZona;

std::string TextoIdioma(const std::string& seccion, const std::string& clave) {
  return Idioma.ReadString(seccion, clave, "");
}

bool LeeBloqueIdioma(const std::string& seccion, const std::string& clave, size_t cuenta,
                     std::vector<std::string>& lista) {
  // Emptied first: a missing key leaves the list as it is, which would
  // otherwise look like a block.
  lista.clear();
  Idioma.ReadStrings(seccion, clave, lista);
  if (lista.size() == cuenta) return true;
  lista.clear();
  return false;
}

void LeeTextosEntorno() {
  for (size_t k = 0; k < TextosEntorno.size(); ++k)
    TextosEntorno[k] = TextoIdioma("Entorno*", std::to_string(k) + "*");
  for (size_t k = 0; k < TextosZona.size(); ++k) {
    size_t clave = 100 + k;
    if (k == 6) clave = 107;
    if (k == 7) clave = 106;
    TextosZona[k] = TextoIdioma("Entorno*", std::to_string(clave) + "*");
  }
  TextosZona[10] = " " + TextosZona[10];
}

void LimpiaTextosEntorno() {
  TextosEntorno.fill({});
  TextosZona.fill({});
}

void UsaArchivoIdioma(const std::string& archivo) {
  Idioma.Storage = raIniFile;
  Idioma.IniFile = archivo;
  LeeTextosEntorno();
}
