// Every text the engine shows the user comes from the language files: no
// sentence of the engine's code is a literal, every key the program reads
// is one the shipped files hold (their manifest), and the reasons of the
// firmware programmer's link read in each shipped language.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "ManifiestoIdioma.h"
#include "fw/pg_serie.h"
#include "hw/pg_puertos.h"
#include "pg_idioma.h"

namespace fs = std::filesystem;

namespace {

struct TLiteral {
  std::string archivo;
  int linea;
  std::string texto;
};

// A source file with its comments blanked out (string and character
// literals kept as they are), and its string literals.
struct TFuente {
  std::string codigo;
  std::vector<TLiteral> literales;
};

TFuente Lee(const fs::path& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  const std::string s{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  TFuente r;
  r.codigo.reserve(s.size());
  int linea = 1;
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
      while (i < s.size() && s[i] != '\n') r.codigo += ' ', ++i;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      const std::size_t fin = std::min(s.find("*/", i + 2), s.size() - 2) + 2;
      for (; i < fin; ++i) {
        r.codigo += s[i] == '\n' ? '\n' : ' ';
        linea += s[i] == '\n';
      }
    } else if (c == '"' || c == '\'') {
      std::string texto;
      r.codigo += s[i++];
      while (i < s.size() && s[i] != c) {
        if (s[i] == '\\' && i + 1 < s.size()) texto += s[i], r.codigo += s[i++];
        texto += s[i];
        r.codigo += s[i++];
      }
      if (i < s.size()) r.codigo += s[i++];
      if (c == '"') r.literales.push_back({ruta.string(), linea, texto});
    } else {
      linea += c == '\n';
      r.codigo += c;
      ++i;
    }
  }
  return r;
}

std::vector<fs::path> Fuentes(const fs::path& carpeta) {
  std::vector<fs::path> v;
  for (const auto& e : fs::recursive_directory_iterator(carpeta))
    if (e.is_regular_file() && (e.path().extension() == ".cpp" || e.path().extension() == ".h")) v.push_back(e.path());
  std::sort(v.begin(), v.end());
  return v;
}

const fs::path Motor = fs::path(KORVANE_SOURCE_DIR) / "korvane/engine";

// Literals of the engine that are words for the user by design, not
// sentences: data the chips and the system define.
bool TextoFijo(const fs::path& archivo, const std::string& texto) {
  const std::string relativo = fs::relative(archivo, Motor).string();
  // The configuration tables name the chips' options as their data sheets
  // do, and the catalogue lists parts and memory sizes.
  if (relativo.starts_with("conf/") || relativo == "pg_catalogo.cpp") return true;
  // A field name of /proc/cpuinfo.
  return texto == "cpu MHz";
}

TEST(TextosMotor, NoSentenceOfTheEngineIsALiteral) {
  // Two words of letters in a row: a sentence, or a piece of one.
  const std::regex frase("[A-Za-z]{2,}[ ,;:'()]+[A-Za-z]{2,}");
  std::vector<std::string> literales;
  for (const fs::path& ruta : Fuentes(Motor))
    for (const TLiteral& l : Lee(ruta).literales)
      if (std::regex_search(l.texto, frase) && !TextoFijo(ruta, l.texto))
        literales.push_back(fs::relative(ruta, Motor).string() + ":" + std::to_string(l.linea) + ": \"" + l.texto + "\"");
  EXPECT_TRUE(literales.empty()) << [&] {
    std::string t = "text for the user written in the code instead of the language files:\n";
    for (const auto& l : literales) t += "  " + l + "\n";
    return t;
  }();
}

// The (section, key) pairs a source file reads through the language store
// or through the helpers that name one section each.
std::set<std::pair<std::string, std::string>> ClavesLeidas(const std::string& codigo) {
  std::set<std::pair<std::string, std::string>> claves;
  const std::regex literal("\"([^\"]*)\"");
  const std::regex numero("\\b([0-9]+)\\b");
  auto cada = [&](const std::regex& llamada, auto&& toma) {
    for (std::sregex_iterator it(codigo.begin(), codigo.end(), llamada), fin; it != fin; ++it) toma(*it);
  };
  // TextoIdioma("section", key expression): every literal of the expression.
  cada(std::regex("TextoIdioma\\(\\s*\"([^\"]+)\"\\s*,([^;{]*?)\\)\\s*[;+,)]"), [&](const std::smatch& m) {
    const std::string expr = m[2].str();
    for (std::sregex_iterator it(expr.begin(), expr.end(), literal), fin; it != fin; ++it)
      if ((*it)[1].str() != "*") claves.insert({m[1].str(), (*it)[1].str()});  // "*" ends a built key
  });
  struct TAyuda {
    const char* nombre;
    const char* seccion;
    bool numerica;  // an int key: "<n>*"
  };
  const TAyuda ayudas[] = {
      {"TextoError", "pg_err*", false}, {"Err", "pg_err*", false},         {"TextoZocalo", "pg_zocalo*", false},
      {"LineaAviso", "pg_avisos*", false}, {"TextoPuerto", "pg_port*", true}, {"TextoEnlace", "pg_enlace*", true},
  };
  for (const TAyuda& a : ayudas) {
    cada(std::regex(std::string("\\b") + a.nombre + "\\(([^;{]*?)\\)"), [&](const std::smatch& m) {
      const std::string expr = m[1].str();
      const std::regex& patron = a.numerica ? numero : literal;
      for (std::sregex_iterator it(expr.begin(), expr.end(), patron), fin; it != fin; ++it)
        claves.insert({a.seccion, (*it)[1].str() + (a.numerica ? "*" : "")});
    });
  }
  return claves;
}

TEST(TextosMotor, EveryKeyTheProgramReadsIsInTheManifest) {
  std::set<std::pair<std::string, std::string>> manifiesto;
  std::set<std::string> secciones, todasLasClaves;
  for (const auto& c : ManifiestoIdioma()) {
    manifiesto.insert({c.seccion, c.clave});
    secciones.insert(c.seccion);
    todasLasClaves.insert(c.clave);
  }
  std::size_t vistas = 0;
  for (const char* carpeta : {"korvane/engine", "korvane/app"}) {
    for (const fs::path& ruta : Fuentes(fs::path(KORVANE_SOURCE_DIR) / carpeta)) {
      SCOPED_TRACE(ruta.string());
      const TFuente f = Lee(ruta);
      for (const auto& [seccion, clave] : ClavesLeidas(f.codigo)) {
        ++vistas;
        EXPECT_TRUE(manifiesto.count({seccion, clave})) << "not in the language files: " << seccion << " " << clave;
      }
      // A key handed around as a value ("38*" of a table) is still one of them.
      for (const TLiteral& l : f.literales) {
        const bool pareceClave = l.texto.size() > 1 && l.texto.size() < 12 && l.texto.back() == '*' &&
                                 l.texto.find_first_of(" /.") == std::string::npos;
        if (!pareceClave) continue;
        EXPECT_TRUE(secciones.count(l.texto) || todasLasClaves.count(l.texto))
            << "line " << l.linea << ": \"" << l.texto << "\" is no section or key of the language files";
      }
    }
  }
  // The scan saw the program's reads (a pattern that matched nothing would pass).
  EXPECT_GT(vistas, 60u);
}

class TextosEnlace : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override { UsaArchivoIdioma(std::string(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/") + GetParam()); }
};

// Each reason of a serial port that did not open: the port's name, the
// language file's text and the system's own reason, nothing else.
TEST_P(TextosEnlace, SerialReasonsComeFromTheLanguageFile) {
  const std::pair<TFalloSerie, int> casos[] = {
      {TFalloSerie::NoExiste, 0}, {TFalloSerie::Permiso, 1}, {TFalloSerie::Ocupado, 2},
      {TFalloSerie::NoEsSerie, 4}, {TFalloSerie::Configura, 5}, {TFalloSerie::Ajusta, 6},
      {TFalloSerie::Purga, 7},     {TFalloSerie::Otro, 8},
  };
  std::set<std::string> vistos;
  for (const auto& [fallo, clave] : casos) {
    SCOPED_TRACE(clave);
    const std::string texto = TextoIdioma("pg_enlace*", std::to_string(clave) + "*");
    ASSERT_FALSE(texto.empty());
    EXPECT_TRUE(vistos.insert(texto).second) << "two reasons read alike";
    // A node that does not exist is held by no process.
    EXPECT_EQ(TextoFalloSerie("/dev/korvane-x", fallo, EIO),
              "/dev/korvane-x: " + texto + " (" + std::strerror(EIO) + ")");
    EXPECT_EQ(TextoFalloSerie("/dev/korvane-x", fallo, 0), "/dev/korvane-x: " + texto);
  }
  EXPECT_EQ(TextoFalloSerie("/dev/korvane-x", TFalloSerie::Ninguno, 0), "");
}

// What the port layer and the link say, key by key, is there and differs
// from the other language's.
TEST(TextosEnlaceIdiomas, EachLanguageHasItsOwnWording) {
  const std::string carpeta = KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/";
  for (const char* seccion : {"pg_enlace*", "pg_port*"}) {
    for (const auto& c : ManifiestoIdioma()) {
      if (c.seccion != seccion) continue;
      SCOPED_TRACE(c.seccion + " " + c.clave);
      UsaArchivoIdioma(carpeta + "English.ini");
      const std::string ingles = TextoIdioma(c.seccion, c.clave);
      UsaArchivoIdioma(carpeta + "Español.ini");
      const std::string espanol = TextoIdioma(c.seccion, c.clave);
      EXPECT_FALSE(ingles.empty());
      EXPECT_FALSE(espanol.empty());
      EXPECT_NE(ingles, espanol);
    }
  }
  // The port layer's texts are the file's, with nothing of its own.
  UsaArchivoIdioma(carpeta + "Español.ini");
  EXPECT_EQ(TextoPuerto(12), TextoIdioma("pg_port*", "12*"));
}

INSTANTIATE_TEST_SUITE_P(Idiomas, TextosEnlace, ::testing::Values("English.ini", "Español.ini"),
                         [](const auto& info) { return std::string(info.index == 0 ? "English" : "Spanish"); });

}  // namespace
