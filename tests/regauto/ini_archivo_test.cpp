// The ini-file store against files written by hand and by other tools.
#include <filesystem>

#include "RegAuto.h"
#include "carpeta_temporal.h"

namespace {

class IniArchivo : public CarpetaTemporal {
protected:
  void SetUp() override {
    CarpetaTemporal::SetUp();
    ini.Storage = raIniFile;
    ini.IniFile = "Korvane.ini";
  }
  TRegAuto ini;
};

// UTF-16LE bytes with their byte-order mark, as Windows saves "Unicode".
std::string Utf16(const std::u16string& s) {
  std::string b = "\xFF\xFE";
  for (char16_t c : s) {
    b += static_cast<char>(c & 0xFF);
    b += static_cast<char>(c >> 8);
  }
  return b;
}

// A file as a person edits it: CRLF endings, comments, odd spacing, a
// repeated key, a repeated section, a last line without an ending.
const std::string kAMano =
    "; Korvane settings\r\n"
    "suelto=antes de toda sección\r\n"
    "[Parametros]\r\n"
    "  Puerto  =  0x378  \r\n"
    "Nombre=\"  con blancos  \"\r\n"
    "Comillas='simple'\r\n"
    "Vacio=\r\n"
    "sin igual\r\n"
    "Puerto=segundo\r\n"
    ";Comentada=1\r\n"
    "\r\n"
    "[ Recientes ]\r\n"
    "1=C:\\a,b;c\\x.hex\r\n"
    "\r\n"
    "[parametros]\r\n"
    "Extra=de la sección repetida\r\n"
    "Puerto=tercero";

TEST_F(IniArchivo, ReadRulesOfAHandEditedFile) {
  Escribe(programa / "Korvane.ini", kAMano);
  struct Caso { const char* sec; const char* clave; const char* esperado; };
  const Caso casos[] = {
      {"Parametros", "Puerto", "0x378"},           // blanks trimmed, first duplicate wins
      {"PARAMETROS", "puerto", "0x378"},           // case-insensitive section and key
      {"Parametros", "Nombre", "  con blancos  "}, // quotes stripped, inner blanks kept
      {"Parametros", "Comillas", "simple"},
      {"Parametros", "Vacio", ""},                 // an empty value is a value
      {"Parametros", "sin igual", "<def>"},        // a line without "=" is no key
      {"Parametros", ";Comentada", "<def>"},       // comments are not keys
      {"Parametros", "Extra", "de la sección repetida"},  // repeated section searched too
      {"Recientes", "1", "C:\\a,b;c\\x.hex"},      // header with blanks; value verbatim
      {"", "suelto", "<def>"},                     // before every section: unreachable
      {"Nada", "Puerto", "<def>"},
  };
  for (const auto& c : casos)
    EXPECT_EQ(ini.ReadString(c.sec, c.clave, "<def>"), c.esperado) << c.sec << "/" << c.clave;
  EXPECT_EQ(ini.ReadInteger("Parametros", "Puerto", -1), 0x378);
}

TEST_F(IniArchivo, WriteChangesOnlyItsOwnLine) {
  Escribe(programa / "Korvane.ini", kAMano);
  ASSERT_TRUE(ini.WriteString("parametros", "PUERTO", "0x278")) << ini.UltimoError();
  std::string esperado = kAMano;
  esperado.replace(esperado.find("  Puerto  =  0x378  "), 20, "PUERTO=0x278");
  EXPECT_EQ(Lee(programa / "Korvane.ini"), esperado);

  // A new key goes after the section's last line, before its blank line.
  ASSERT_TRUE(ini.WriteString("Recientes", "2", "b.hex"));
  esperado.insert(esperado.find("\r\n\r\n[parametros]") + 2, "2=b.hex\r\n");
  EXPECT_EQ(Lee(programa / "Korvane.ini"), esperado);

  // A new section at the end: the last line gets its ending, CRLF kept.
  ASSERT_TRUE(ini.WriteInteger("Nueva", "k", 5));
  esperado += "\r\n\r\n[Nueva]\r\nk=5\r\n";
  EXPECT_EQ(Lee(programa / "Korvane.ini"), esperado);
}

TEST_F(IniArchivo, UnchangedValueLeavesTheFileUntouched) {
  Escribe(programa / "Korvane.ini", kAMano);
  const auto antes = std::filesystem::last_write_time(programa / "Korvane.ini");
  ASSERT_TRUE(ini.WriteString("Parametros", "Puerto", "0x378"));
  EXPECT_EQ(Lee(programa / "Korvane.ini"), kAMano);
  EXPECT_EQ(std::filesystem::last_write_time(programa / "Korvane.ini"), antes);
}

TEST_F(IniArchivo, LfFileStaysLf) {
  Escribe(programa / "Korvane.ini", "[A]\nx=1\n");
  ASSERT_TRUE(ini.WriteString("A", "y", "2"));
  ASSERT_TRUE(ini.WriteString("B", "z", "3"));
  EXPECT_EQ(Lee(programa / "Korvane.ini"), "[A]\nx=1\ny=2\n\n[B]\nz=3\n");
}

TEST_F(IniArchivo, NewFileIsCreatedWithCrLf) {
  ASSERT_TRUE(ini.WriteString("Parametros", "Familia", "0"));
  EXPECT_EQ(Lee(programa / "Korvane.ini"), "[Parametros]\r\nFamilia=0\r\n");
}

TEST_F(IniArchivo, ValuesComeBackExactly) {
  const std::string valores[] = {
      "", "a,b;c", "C:\\dir\\file.hex", "\"entre comillas\"", "'simple'", "  blancos  ",
      "\"", "a \"b\" c", "x=y=z", "[no es sección]", ";no es comentario", "Español ñ €",
      std::string(20000, 'x'),  // no length limit
  };
  int n = 0;
  for (const auto& v : valores) {
    const std::string clave = "k" + std::to_string(n++);
    ASSERT_TRUE(ini.WriteString("S", clave, v)) << ini.UltimoError();
    EXPECT_EQ(ini.ReadString("S", clave, "<def>"), v);
  }
  // And again after the whole file has been re-read with every value in it.
  n = 0;
  for (const auto& v : valores) EXPECT_EQ(ini.ReadString("S", "k" + std::to_string(n++), "<def>"), v);
}

TEST_F(IniArchivo, ByteOrderMarkIsKeptAndIgnored) {
  Escribe(programa / "Korvane.ini", "\xEF\xBB\xBF[A]\r\nx=1\r\n");
  EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
  ASSERT_TRUE(ini.WriteString("A", "x", "2"));
  EXPECT_EQ(Lee(programa / "Korvane.ini"), "\xEF\xBB\xBF[A]\r\nx=2\r\n");
}

TEST_F(IniArchivo, Windows1252FileIsReadAndWrittenInItsEncoding) {
  // "Español" and "€" in Windows-1252 bytes.
  const std::string bytes = "[Korvane]\r\nIdioma=Espa\xF1ol\r\nPrecio=5\x80\r\n";
  Escribe(programa / "Korvane.ini", bytes);
  EXPECT_EQ(ini.ReadString("Korvane", "Idioma", ""), "Español");
  EXPECT_EQ(ini.ReadString("Korvane", "Precio", ""), "5€");
  ASSERT_TRUE(ini.WriteString("Korvane", "Otro", "año"));
  EXPECT_EQ(Lee(programa / "Korvane.ini"), bytes + "Otro=a\xF1o\r\n");
  // A character the encoding lacks is refused, not mangled.
  EXPECT_FALSE(ini.WriteString("Korvane", "Otro", "Ω"));
  EXPECT_FALSE(ini.UltimoError().empty());
  EXPECT_EQ(Lee(programa / "Korvane.ini"), bytes + "Otro=a\xF1o\r\n");
}

// Windows reads and writes an ini file saved as "Unicode" (UTF-16LE with
// its byte-order mark) in that encoding, as Notepad leaves a file a user
// edited; a write must not append single-byte lines to it.
TEST_F(IniArchivo, Utf16FileIsReadAndWrittenInItsEncoding) {
  const std::u16string texto = u"[Hardware]\r\nAddrB=632\r\nNombre=Espa\u00F1ol \U0001F50C\r\n";
  Escribe(programa / "Korvane.ini", Utf16(texto));
  EXPECT_EQ(ini.ReadInteger("Hardware", "AddrB", 0), 632);
  EXPECT_EQ(ini.ReadString("Hardware", "Nombre", ""), "Español \xF0\x9F\x94\x8C");
  ASSERT_TRUE(ini.WriteInteger("Hardware", "AddrB", 888));
  ASSERT_TRUE(ini.WriteString("Hardware", "Otro", "año"));
  EXPECT_EQ(Lee(programa / "Korvane.ini"),
            Utf16(u"[Hardware]\r\nAddrB=888\r\nNombre=Espa\u00F1ol \U0001F50C\r\nOtro=a\u00F1o\r\n"));

  // Half a character (an odd byte count) is not a file to rewrite.
  const std::string roto = Utf16(u"[A]\r\nx=1\r\n") + "\x41";
  Escribe(programa / "Korvane.ini", roto);
  EXPECT_FALSE(ini.WriteString("A", "x", "2"));
  EXPECT_FALSE(ini.UltimoError().empty());
  EXPECT_EQ(Lee(programa / "Korvane.ini"), roto);
}

// A value that is not UTF-8 (a Latin-1 file name from an old tool) is taken
// as Windows-1252 and stored in the file's own encoding: a UTF-8 file stays
// UTF-8 and every accented value in it reads back as written.
TEST_F(IniArchivo, Latin1ValueIsConvertedToTheFilesEncoding) {
  struct Caso {
    const char* que;
    std::string antes, despues;
  };
  const Caso casos[] = {
      {"UTF-8", "[Korvane]\r\nIdioma=Español\r\n", "[Korvane]\r\nIdioma=Español\r\nUltimo=/música/año.hex\r\n"},
      {"Windows-1252", "[Korvane]\r\nIdioma=Espa\xF1ol\r\n",
       "[Korvane]\r\nIdioma=Espa\xF1ol\r\nUltimo=/m\xFAsica/a\xF1o.hex\r\n"},
      {"UTF-16", Utf16(u"[Korvane]\r\nIdioma=Espa\u00F1ol\r\n"),
       Utf16(u"[Korvane]\r\nIdioma=Espa\u00F1ol\r\nUltimo=/m\u00FAsica/a\u00F1o.hex\r\n")},
  };
  for (const auto& c : casos) {
    Escribe(programa / "Korvane.ini", c.antes);
    ASSERT_TRUE(ini.WriteString("Korvane", "Ultimo", "/m\xFAsica/a\xF1o.hex")) << c.que << ini.UltimoError();
    EXPECT_EQ(Lee(programa / "Korvane.ini"), c.despues) << c.que;
    EXPECT_EQ(ini.ReadString("Korvane", "Idioma", ""), "Español") << c.que;
    EXPECT_EQ(ini.ReadString("Korvane", "Ultimo", ""), "/música/año.hex") << c.que;
    // The same value written again is no change.
    ASSERT_TRUE(ini.WriteString("Korvane", "Ultimo", "/m\xFAsica/a\xF1o.hex")) << c.que;
    EXPECT_EQ(Lee(programa / "Korvane.ini"), c.despues) << c.que;
  }
}

// A path that names a huge or endless file is refused with a reason
// instead of read into memory without bound; the file is never rewritten.
TEST_F(IniArchivo, FilePastTheSizeCapIsRefused) {
  const auto grande = programa / "Grande.ini";
  Escribe(grande, "[A]\r\nx=1\r\n");
  std::filesystem::resize_file(grande, 64u * 1024 * 1024 + 1);
  for (const std::string& archivo : {grande.string(), std::string("/dev/zero")}) {
    ini.IniFile = archivo;
    EXPECT_EQ(ini.ReadString("A", "x", "<def>"), "<def>") << archivo;
    EXPECT_NE(ini.UltimoError().find("64 MB"), std::string::npos) << ini.UltimoError();
    EXPECT_FALSE(ini.WriteString("A", "x", "2")) << archivo;
    EXPECT_NE(ini.UltimoError().find("64 MB"), std::string::npos) << ini.UltimoError();
  }
  EXPECT_EQ(std::filesystem::file_size(grande), 64u * 1024 * 1024 + 1);
  // Exactly at the cap is still a file.
  std::filesystem::resize_file(grande, 64u * 1024 * 1024);
  ini.IniFile = grande.string();
  EXPECT_EQ(ini.ReadString("A", "x", "<def>"), "1");
}

// A line ends at CR, LF or CR LF wherever it stands, the last line too.
TEST_F(IniArchivo, LoneCrEndsALine) {
  struct Caso {
    const char* que;
    std::string antes, despues;
  };
  const Caso casos[] = {
      {"last line", "[A]\r\nx=1\r", "[A]\r\nx=1\ry=2\r\n"},  // each line keeps its ending
      {"CR only", "[A]\rx=1\r\r[B]\rz=3", "[A]\rx=1\ry=2\r\r[B]\rz=3"},
  };
  for (const auto& c : casos) {
    Escribe(programa / "Korvane.ini", c.antes);
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1") << c.que;
    ASSERT_TRUE(ini.WriteString("A", "y", "2")) << c.que;
    EXPECT_EQ(Lee(programa / "Korvane.ini"), c.despues) << c.que;
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1") << c.que;
  }
  EXPECT_EQ(ini.ReadString("B", "z", ""), "3");
}

TEST_F(IniArchivo, LineBreakInAValueIsRefused) {
  EXPECT_FALSE(ini.WriteString("A", "x", "uno\ndos"));
  EXPECT_FALSE(std::filesystem::exists(programa / "Korvane.ini"));
}

TEST_F(IniArchivo, FailedWriteIsReportedAndKeepsTheOldFile) {
  // Root may write anywhere, so make the path itself impossible: the folder
  // of the file is a plain file.
  Escribe(programa / "Hardware", "not a folder");
  ini.IniFile = "Hardware\\Perfil.prf";
  EXPECT_FALSE(ini.WriteString("Hardware", "Puerto", "1"));
  EXPECT_NE(ini.UltimoError().find("Perfil.prf"), std::string::npos) << ini.UltimoError();
  EXPECT_EQ(Lee(programa / "Hardware"), "not a folder");

  // A file that cannot be read is not overwritten blindly.
  std::filesystem::create_directories(programa / "Korvane.ini" / "x");
  ini.IniFile = "Korvane.ini";
  EXPECT_FALSE(ini.WriteString("A", "b", "c"));
  EXPECT_TRUE(std::filesystem::is_directory(programa / "Korvane.ini" / "x"));
  EXPECT_EQ(ini.ReadString("A", "b", "<def>"), "<def>");
}

TEST_F(IniArchivo, NoTemporaryFileIsLeftBehind) {
  ASSERT_TRUE(ini.WriteString("A", "x", "1"));
  ASSERT_TRUE(ini.WriteString("A", "x", "2"));
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(programa)) ++n;
  EXPECT_EQ(n, 1);
}

TEST_F(IniArchivo, ReadOnlyProgramFolderWritesToTheUsersCopy) {
  Escribe(programa / "Korvane.ini", "[Parametros]\r\nFamilia=1\r\nPerfil=x.prf\r\n");
  PonCarpetaProgramaSoloLectura(true);
  EXPECT_EQ(ini.ReadString("Parametros", "Familia", ""), "1");  // shipped file read
  ASSERT_TRUE(ini.WriteString("Parametros", "Familia", "2")) << ini.UltimoError();
  // The user's copy starts from the shipped file; the shipped file is untouched.
  EXPECT_EQ(Lee(config / "korvane" / "Korvane.ini"), "[Parametros]\r\nFamilia=2\r\nPerfil=x.prf\r\n");
  EXPECT_EQ(Lee(programa / "Korvane.ini"), "[Parametros]\r\nFamilia=1\r\nPerfil=x.prf\r\n");
  EXPECT_EQ(ini.ReadString("Parametros", "Familia", ""), "2");
  ASSERT_TRUE(ini.WriteString("Parametros", "Perfil", "y.prf"));
  EXPECT_EQ(Lee(config / "korvane" / "Korvane.ini"), "[Parametros]\r\nFamilia=2\r\nPerfil=y.prf\r\n");
  // Sub-folders follow the same rule.
  ini.IniFile = "Hardware\\Nuevo.prf";
  ASSERT_TRUE(ini.WriteInteger("Hardware", "Puerto", 888));
  EXPECT_TRUE(std::filesystem::exists(config / "korvane" / "Hardware" / "Nuevo.prf"));
}

}  // namespace

namespace {

TEST_F(IniArchivo, ReplacedFileKeepsItsPermissionsAndLinks) {
  Escribe(raiz / "real.ini", "[A]\nx=1\n");
  std::filesystem::permissions(raiz / "real.ini", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink(raiz / "real.ini", programa / "Korvane.ini");
  ASSERT_TRUE(ini.WriteString("A", "x", "2")) << ini.UltimoError();
  EXPECT_TRUE(std::filesystem::is_symlink(programa / "Korvane.ini"));
  EXPECT_EQ(Lee(raiz / "real.ini"), "[A]\nx=2\n");
  EXPECT_EQ(std::filesystem::status(raiz / "real.ini").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
