#include "Idiomas.h"

#include <algorithm>
#include <filesystem>

#include "BloquesIdioma.h"
#include "CarpetaPrograma.h"
#include "Codificacion.h"
#include "pg_idioma.h"

namespace fs = std::filesystem;

std::string IdiomaActual;
std::string EtiquetaHardware;
std::string EtiquetaNinguno;

namespace {

// Lower case of ASCII letters and of the Latin-1 capitals U+00C0..U+00DE
// (but U+00D7, the multiplication sign), which UTF-8 spells C3 80..C3 9E.
std::string Minusculas(const std::string& s) {
  std::string r = s;
  for (size_t i = 0; i < r.size(); ++i) {
    const auto c = static_cast<unsigned char>(r[i]);
    if (c >= 'A' && c <= 'Z') {
      r[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < r.size()) {
      const auto d = static_cast<unsigned char>(r[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) r[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
  return r;
}

// A file name as text: UTF-8, or Windows-1252 for names that are not UTF-8.
std::string NombreLegible(const std::string& bytes) {
  return EsUtf8Valido(bytes) ? bytes : Cp1252AUtf8(bytes);
}

}  // namespace

bool MismoNombre(const std::string& a, const std::string& b) { return Minusculas(a) == Minusculas(b); }

std::string CarpetaIdiomas() { return CarpetaPrograma() + "LANGUAGES/"; }

std::vector<TArchivoIdioma> ListaIdiomas() {
  std::vector<TArchivoIdioma> lista;
  std::error_code ec;
  const fs::path carpeta = CarpetaIdiomas();
  std::vector<std::string> todos;
  for (fs::directory_iterator it(carpeta, ec), fin; !ec && it != fin; it.increment(ec)) todos.push_back(it->path().filename().string());
  for (const auto& archivo : todos) {
    if (archivo.size() <= 4 || !MismoNombre(archivo.substr(archivo.size() - 4), ".ini")) continue;
    if (!fs::is_regular_file(carpeta / archivo, ec)) continue;
    const std::string base = archivo.substr(0, archivo.size() - 4);
    TArchivoIdioma idioma{NombreLegible(base), archivo, ""};
    for (const auto& otro : todos)
      if (otro.size() == archivo.size() && MismoNombre(otro, base + ".bmp")) idioma.icono = (carpeta / otro).string();
    lista.push_back(std::move(idioma));
  }
  std::sort(lista.begin(), lista.end(), [](const TArchivoIdioma& a, const TArchivoIdioma& b) {
    const std::string ma = Minusculas(a.nombre), mb = Minusculas(b.nombre);
    return ma != mb ? ma < mb : a.nombre < b.nombre;
  });
  return lista;
}

std::string ArchivoDeIdioma(const std::string& nombre) {
  const auto lista = ListaIdiomas();
  // An exact match wins over one that differs only in letter case.
  for (const auto& i : lista)
    if (i.nombre == nombre) return i.archivo;
  for (const auto& i : lista)
    if (MismoNombre(i.nombre, nombre)) return i.archivo;
  return {};
}

void PonRutaRegistro() {
  const std::string organizacion =
      Idioma.ReadString("Software\\Microsoft\\Windows NT\\CurrentVersion", "RegisteredOrganization", "");
  Idioma.RegPath = "Software\\" + organizacion + "\\";
}

bool CargaIdiomas(TDestinoIdioma& destino) {
  Idioma.Storage = raRegistry;
  PonRutaRegistro();
  IdiomaActual = Idioma.ReadString("Korvane", "Idioma", kIdiomaPorDefecto);
  Idioma.Storage = raIniFile;
  Idioma.RegPath = CarpetaIdiomas();

  bool hallado = true;
  if (ArchivoDeIdioma(IdiomaActual).empty()) {
    IdiomaActual = kIdiomaPorDefecto;
    if (ArchivoDeIdioma(IdiomaActual).empty()) {
      hallado = false;
      destino.Mensaje("No se encontró el Archivo del idioma");
      EtiquetaHardware = "Har.>";
      EtiquetaNinguno = "Ninguno";
      destino.RefrescaEstado();
    }
  }
  for (const auto& i : ListaIdiomas()) destino.AgregaIdioma(i.nombre, i.icono, MismoNombre(i.nombre, IdiomaActual));
  AplicaIdioma(destino);
  return hallado;
}

void AplicaIdioma(TDestinoIdioma& destino) {
  std::vector<std::string> lista;
  const std::string archivo = ArchivoDeIdioma(IdiomaActual);
  Idioma.IniFile = "LANGUAGES/" + (archivo.empty() ? IdiomaActual + ".ini" : archivo);

  if (LeeBloqueIdioma("Main*", "***", 2, lista)) {
    EtiquetaHardware = lista[0];
    EtiquetaNinguno = lista[1];
    destino.RefrescaEstado();
  }
  for (const auto& bloque : BloquesMenus()) AplicaBloque(bloque, destino, lista);
  LeeTextosEntorno();
  AplicaBloque(BloqueAcciones(), destino, lista);
}

bool GuardaIdioma(std::string& motivo) {
  const TStorageMedia antes = Idioma.Storage;
  Idioma.Storage = raRegistry;
  PonRutaRegistro();
  const bool ok = Idioma.WriteString("Korvane", "Idioma", IdiomaActual);
  motivo = ok ? std::string() : Idioma.UltimoError();
  Idioma.Storage = antes;
  return ok;
}
