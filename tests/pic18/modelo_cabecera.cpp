#include "banco_pic18.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "cabecera_gputils.h"

namespace {

std::string LeeTexto(const std::filesystem::path& ruta) {
  std::ifstream f(ruta);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// "END=0x1FFF" of the linker script's CODEPAGE (or DATABANK) named `nombre`.
uint32_t FinDe(const std::string& lkr, const std::string& nombre) {
  std::smatch m;
  if (!std::regex_search(lkr, m, std::regex("NAME=" + nombre + "\\s+START=0x[0-9A-Fa-f]+\\s+END=0x([0-9A-Fa-f]+)")))
    return 0;
  return static_cast<uint32_t>(std::stoul(m[1].str(), nullptr, 16));
}

// The first address of the range in the comment of a word's symbol
// ("Block 1 (000800-000FFFh) code-protected").
uint32_t InicioEnComentario(const TCabeceraGputils& c, const char* palabra, const std::string& simbolo,
                            bool fin = false) {
  if (const TPalabraGputils* p = c.Palabra(palabra))
    for (const TAjusteGputils& a : p->ajustes)
      for (const TSimboloGputils& s : a.simbolos) {
        std::smatch m;
        if (s.nombre == simbolo && std::regex_search(s.comentario, m, std::regex("([0-9A-Fa-f]+)-([0-9A-Fa-f]+)")))
          return static_cast<uint32_t>(std::stoul(m[fin ? 2 : 1].str(), nullptr, 16));
      }
  return 0;
}

}  // namespace

TModeloPic18 ModeloDeCabecera(const std::string& parte) {
  // The parts of the 18F452's programming specification class (bulk erase
  // through 3C0004h, an 8-byte write buffer, the EEPROM unlock, its
  // timings) take its scheme; the memories come from the part's published
  // header and linker script.
  TModeloPic18 m = Modelo18F452();
  m.Nombre = parte;
  m.IdDispositivo = 0;  // not identified: the tests select the part
  std::string minusculas = parte;
  for (char& ch : minusculas) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  const std::string lkr = LeeTexto(std::filesystem::path(GPUTILS_HEADER_DIR) / ".." / "lkr" / (minusculas + "_g.lkr"));
  m.BytesProg = FinDe(lkr, "page") + 1;
  m.BytesEe = static_cast<uint16_t>(FinDe(lkr, "eedata") - 0xF00000 + 1);
  const auto c = LeeCabeceraGputils(RutaCabeceraGputils(GPUTILS_HEADER_DIR, parte));
  if (!c) return m;
  static const char* const palabras[14] = {"CONFIG1L", "CONFIG1H", "CONFIG2L", "CONFIG2H", "CONFIG3L",
                                           "CONFIG3H", "CONFIG4L", "CONFIG4H", "CONFIG5L", "CONFIG5H",
                                           "CONFIG6L", "CONFIG6H", "CONFIG7L", "CONFIG7H"};
  for (std::size_t i = 0; i < 14; ++i) {
    uint8_t mascara = 0;
    if (const TPalabraGputils* p = c->Palabra(palabras[i]))
      for (const TAjusteGputils& a : p->ajustes) mascara |= static_cast<uint8_t>(a.mascara);
    m.MascaraConfig[i] = mascara;
  }
  m.BytesBoot = InicioEnComentario(*c, "CONFIG5H", "_CPB_ON_5H", true) + 1;
  m.BytesBloque = InicioEnComentario(*c, "CONFIG5L", "_CP1_ON_5L");
  return m;
}
