// The text of one ini file as lines, with the profile-file rules that
// Windows applies, so files written by either side stay interchangeable:
// - sections and keys are matched ignoring ASCII case, with blanks around
//   them ignored; a line starting with ";" is a comment;
// - blanks around a value are dropped and one pair of surrounding quotes
//   ('...' or "...") is stripped on read, so a value that needs them is
//   written quoted and reads back exactly;
// - the first of duplicate keys wins, also across repeated sections;
// - an empty value is a value, a line without "=" is no key;
// - a write changes only its own line: every other byte of the file,
//   including each line's own CR LF or LF ending, stays as it was.
// A file that is not valid UTF-8 is taken as Windows-1252: values come back
// as UTF-8 and new lines are written in Windows-1252. Text given to Escribe
// that is not valid UTF-8 is taken as Windows-1252 by the same rule and
// converted, so a UTF-8 file stays UTF-8. A line ends at CR LF, LF or a
// lone CR. A file that starts
// with the UTF-16LE byte-order mark is UTF-16LE text, read and written back
// in that encoding, as the profile functions of Windows do; one that is not
// well-formed UTF-16 reads as empty and is never rewritten.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TTextoIni {
public:
  // From the raw bytes of a file (empty for a missing file).
  static TTextoIni DesdeBytes(std::string_view bytes);
  // From a list of lines held in memory (lines carry no ending).
  static TTextoIni DesdeLineas(const std::vector<std::string>& lineas);

  std::string ABytes() const;
  std::vector<std::string> ALineas() const;

  // The value of a key, or nothing when the section or the key is missing.
  std::optional<std::string> Lee(std::string_view seccion, std::string_view clave) const;

  // Sets a key, adding the section or the key where missing. Returns false
  // with a reason when the value cannot be stored (a line break inside it,
  // or a character a Windows-1252 file cannot hold); the text is then left
  // unchanged. `cambiado` tells whether anything changed.
  bool Escribe(std::string_view seccion, std::string_view clave, std::string_view valor,
               bool& cambiado, std::string& motivo);

private:
  struct TLinea {
    std::string texto;  // the bytes of the line without its ending
    std::string fin;    // "\r\n", "\n", "\r" or "" (last line without ending)
  };
  enum class TTipo { Otra, Vacia, Seccion, Clave };
  struct TAnalisis {
    TTipo tipo = TTipo::Otra;
    std::string nombre;  // section name or key, trimmed
    std::string valor;   // value as read (trimmed, quotes stripped)
  };

  TAnalisis Analiza(size_t indice) const;
  static std::string ComoUtf8(std::string_view texto);
  std::string Decodifica(const std::string& bytes) const;
  void Inserta(size_t posicion, std::string texto);

  std::vector<TLinea> lineas_;
  std::string finNuevo_ = "\r\n";  // ending given to lines we add
  bool cp1252_ = false;
  bool bom_ = false;  // the first line starts with a UTF-8 byte-order mark
  bool utf16_ = false;     // the file is UTF-16LE (lines are held as UTF-8)
  bool ilegible_ = false;  // UTF-16LE that does not decode: never written
};

// ASCII case-insensitive comparison, as the profile functions match names.
bool IgualesSinMayusculas(std::string_view a, std::string_view b);
// Blanks (space, tab) removed at both ends.
std::string_view Recorta(std::string_view s);
