// Every shipped language file holds every text the program reads, with
// blocks of the right size, and nothing it does not read.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "BloquesIdioma.h"
#include "Codificacion.h"
#include "ManifiestoIdioma.h"
#include "RegAuto.h"
#include "TextoIni.h"

namespace fs = std::filesystem;

namespace {

std::string LeeBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> ArchivosEnviados() {
  std::vector<fs::path> v;
  for (const auto& e : fs::directory_iterator(fs::path(KORVANE_SOURCE_DIR) / "korvane/app/LANGUAGES"))
    if (e.path().extension() == ".ini") v.push_back(e.path());
  std::sort(v.begin(), v.end());
  return v;
}

// Section and key of every key line, as a person reads the file.
std::set<std::pair<std::string, std::string>> ClavesDelArchivo(const std::string& bytes) {
  std::set<std::pair<std::string, std::string>> claves;
  std::string seccion;
  size_t inicio = 0;
  while (inicio < bytes.size()) {
    size_t fin = bytes.find('\n', inicio);
    if (fin == std::string::npos) fin = bytes.size();
    std::string_view linea = Recorta(std::string_view(bytes).substr(inicio, fin - inicio));
    if (!linea.empty() && linea.back() == '\r') linea = Recorta(linea.substr(0, linea.size() - 1));
    inicio = fin + 1;
    if (linea.empty() || linea.front() == ';') continue;
    if (linea.front() == '[') {
      seccion = std::string(linea.substr(1, linea.find(']') - 1));
      continue;
    }
    const size_t igual = linea.find('=');
    if (igual != std::string_view::npos) claves.insert({seccion, std::string(Recorta(linea.substr(0, igual)))});
  }
  return claves;
}

TEST(ArchivosIdioma, TheTwoLanguagesAreShipped) {
  std::set<std::string> nombres;
  for (const auto& p : ArchivosEnviados()) nombres.insert(p.filename().string());
  EXPECT_TRUE(nombres.count("Español.ini"));
  EXPECT_TRUE(nombres.count("English.ini"));
  // The build puts them beside the program.
  for (const auto& n : nombres) EXPECT_TRUE(fs::exists(fs::path(KORVANE_PROGRAM_DIR) / "LANGUAGES" / n)) << n;
}

TEST(ArchivosIdioma, EveryFileMatchesTheManifest) {
  std::set<std::pair<std::string, std::string>> enManifiesto;
  for (const auto& c : ManifiestoIdioma()) {
    EXPECT_TRUE(enManifiesto.insert({c.seccion, c.clave}).second) << "twice: " << c.seccion << " " << c.clave;
  }
  for (const auto& archivo : ArchivosEnviados()) {
    SCOPED_TRACE(archivo.filename().string());
    const std::string bytes = LeeBytes(archivo);
    EXPECT_TRUE(EsUtf8Valido(bytes));
    const TTextoIni texto = TTextoIni::DesdeBytes(bytes);
    for (const auto& c : ManifiestoIdioma()) {
      SCOPED_TRACE(c.seccion + " " + c.clave);
      const auto valor = texto.Lee(c.seccion, c.clave);
      if (!valor) {
        ADD_FAILURE() << "missing";
        continue;
      }
      EXPECT_FALSE(valor->empty());
      if (c.items == 0) {
        EXPECT_EQ(valor->find('|'), std::string::npos) << "a single text holds a \"|\"";
        continue;
      }
      EXPECT_EQ(valor->back(), '|') << "a block ends with \"|\"";
      const auto items = TextoALista(*valor);
      if (c.items > 0) EXPECT_EQ(items.size(), static_cast<size_t>(c.items));
      else EXPECT_FALSE(items.empty());
    }
    for (const auto& clave : ClavesDelArchivo(bytes))
      EXPECT_TRUE(enManifiesto.count(clave)) << "not read by the program: " << clave.first << " " << clave.second;
  }
}

TEST(ArchivosIdioma, AppliedBlocksAreInTheManifest) {
  std::map<std::pair<std::string, std::string>, int> cuenta;
  for (const auto& c : ManifiestoIdioma()) cuenta[{c.seccion, c.clave}] = c.items;
  auto comprueba = [&](const TBloqueIdioma& b) {
    const int esperado = cuenta[std::make_pair(std::string(b.seccion), std::string(b.clave))];
    EXPECT_EQ(esperado, static_cast<int>(b.items)) << b.seccion << " " << b.clave;
    for (const auto& a : b.aplicaciones) EXPECT_LT(a.item, b.items) << a.control;
  };
  for (const auto& b : BloquesMenus()) comprueba(b);
  comprueba(BloqueAcciones());
}

}  // namespace
