// The line parser and the walk over a file's lines.
#include "hex_comun.h"

namespace hexprueba {
namespace {

class Linea : public HexTest {};

TEST_F(Linea, AcceptedLines) {
  struct Caso {
    const char* texto;
    uint8_t tipo, longitud;
    int32_t direccion;
    std::vector<uint8_t> datos;
  };
  const Caso casos[] = {
      {":00000001FF", RegFin, 0, 0, {}},
      {":02400E00323F3F", RegDatos, 2, 0x400E, {0x32, 0x3F}},
      {":02400e00323f3f", RegDatos, 2, 0x400E, {0x32, 0x3F}},      // lower case
      {"  \t:02400E00323F3F \t", RegDatos, 2, 0x400E, {0x32, 0x3F}},  // blanks around
      {":020000040030CA", RegLineal, 2, 0, {0x00, 0x30}},
      {":020000021200EA", RegSegmento, 2, 0, {0x12, 0x00}},
      {":0400000300003800C1", RegInicioSegmento, 4, 0, {0x00, 0x00, 0x38, 0x00}},
      {":04000005000000CD2A", RegInicioLineal, 4, 0, {0x00, 0x00, 0x00, 0xCD}},
      {":0000000000", RegDatos, 0, 0, {}},
  };
  for (const auto& c : casos) {
    TLineaHex l;
    ASSERT_EQ(AnalizaLineaHex(c.texto, l), 0) << c.texto;
    EXPECT_EQ(l.Valida, 1);
    EXPECT_EQ(l.Tipo, c.tipo) << c.texto;
    EXPECT_EQ(l.Fin, c.tipo == RegFin);
    EXPECT_EQ(l.Extendida, c.tipo == RegLineal);
    EXPECT_EQ(l.Longitud, c.longitud);
    EXPECT_EQ(l.Direccion, c.direccion);
    EXPECT_EQ(std::vector<uint8_t>(l.Datos.begin(), l.Datos.begin() + l.Longitud), c.datos) << c.texto;
  }
  EXPECT_TRUE(grabador.Mensajes.empty());
}

// A record carries as many bytes as its count says, up to 255 (tools with
// a record-length option write such lines).
TEST_F(Linea, EveryRecordLengthUpTo255) {
  TLineaHex l;
  for (unsigned n : {1u, 16u, 32u, 33u, 64u, 255u}) {
    std::vector<uint8_t> datos(n);
    for (unsigned k = 0; k < n; ++k) datos[k] = static_cast<uint8_t>(k * 7 + 1);
    const std::string linea = Registro(RegDatos, 0x1230, datos);
    ASSERT_EQ(AnalizaLineaHex(linea, l), 0) << n;
    EXPECT_EQ(l.Longitud, n);
    EXPECT_EQ(std::vector<uint8_t>(l.Datos.begin(), l.Datos.begin() + n), datos) << n;
    // One byte short of its count is still malformed.
    EXPECT_EQ(AnalizaLineaHex(linea.substr(0, linea.size() - 4) + linea.substr(linea.size() - 2), l), ErrHexLinea) << n;
  }
}

TEST_F(Linea, RejectedLines) {
  TLineaHex l;
  struct Caso {
    std::string texto;
    uint32_t codigo;
  };
  const Caso casos[] = {
      {":00000001", ErrHexLinea},               // shorter than any record
      {"00000001FF", ErrHexLinea},              // no ':'
      {"::0000001FF", ErrHexLinea},             // ':' inside the line
      {":0000:001FF", ErrHexLinea},
      {":02400E00323G3F", ErrHexLinea},         // not a hex digit
      {":02400E00323F", ErrHexLinea},           // shorter than its count says
      {":04400E00323F3F", ErrHexLinea},
      {":02400E00323F3F00", ErrHexLinea},       // longer than its count says
      {":02400E00323F3E", ErrHexChecksum},
      {":00000001FE", ErrHexChecksum},
      {":0100000400FB", ErrHexLinea},           // address record with one byte
      {":03000004000000F9", ErrHexLinea},
      {":0100000200FD", ErrHexLinea},
      {":00000006FA", ErrHexLinea},             // unknown record type
  };
  for (const auto& c : casos) {
    grabador.Mensajes.clear();
    EXPECT_EQ(AnalizaLineaHex(c.texto, l), c.codigo) << c.texto;
    EXPECT_EQ(l.Valida, 0) << c.texto;
    EXPECT_EQ(grabador.Mensajes.size(), 1u) << c.texto;
  }
}

// Every data record the walk hands over, with its full address.
struct Visto {
  uint64_t direccion;
  uint8_t longitud;
  bool operator==(const Visto&) const = default;
};

uint8_t Recorre(const std::string& texto, std::vector<Visto>& vistos) {
  return RecorreHex(texto, [&](const TLineaHex& l, uint64_t d) {
    vistos.push_back({d, l.Longitud});
    return uint8_t{0};
  });
}

TEST_F(Linea, WalkFollowsAddressRecordsAndLineEnds) {
  const std::string d = Registro(RegDatos, 0x0010, {1, 2});
  for (const char* fin : {"\n", "\r\n", "\r"}) {
    const std::string texto = d + fin + fin + "   " + fin + Extendida(0x0030) + fin +
                              Registro(RegInicioLineal, 0, {0, 0, 1, 0}) + fin + d + fin +
                              Registro(RegSegmento, 0, {0x10, 0x00}) + fin + d + fin +
                              Registro(RegDatos, 0x20, {}) + fin + ":00000001FF" + fin +
                              "garbage after the end" + fin;
    std::vector<Visto> vistos;
    ASSERT_EQ(Recorre(texto, vistos), 0);
    const std::vector<Visto> esperado = {{0x10, 2}, {0x300010, 2}, {0x10010, 2}};
    EXPECT_EQ(vistos, esperado);
    EXPECT_EQ(ContextoError.LineaHex, 10) << "the end record is line 10";
  }
}

TEST_F(Linea, ErrorNamesTheLineNumberOfTheFaultyLine) {
  const std::string d = Registro(RegDatos, 0, {1, 2});
  struct Caso {
    std::string texto;
    uint32_t codigo;
    uint16_t linea;
  };
  const Caso casos[] = {
      {":02000000010FFD\n", ErrHexChecksum, 1},
      {d + "\r\n" + d + "\r\n\r\n" + ":020000000G0FFD\r\n:00000001FF", ErrHexLinea, 4},
      {d + "\n" + d + "\n", ErrHexFin, 3},  // the end record was due on line 3
      {"", ErrHexFin, 1},
  };
  for (const auto& c : casos) {
    grabador.Mensajes.clear();
    std::vector<Visto> vistos;
    EXPECT_EQ(Recorre(c.texto, vistos), c.codigo) << c.texto;
    EXPECT_EQ(ContextoError.LineaHex, c.linea) << c.texto;
    ASSERT_EQ(grabador.Mensajes.size(), 1u);
    EXPECT_NE(grabador.Mensajes[0].find("<7*> " + std::to_string(c.linea)), std::string::npos)
        << grabador.Mensajes[0];
  }
}

TEST_F(Linea, LinesOfAnyLength) {
  // Blanks beyond any fixed line buffer around a valid record.
  const std::string texto = std::string(1000, ' ') + Registro(RegDatos, 0, {7}) + std::string(1000, ' ') +
                            "\n:00000001FF";
  std::vector<Visto> vistos;
  ASSERT_EQ(Recorre(texto, vistos), 0);
  EXPECT_EQ(vistos.size(), 1u);
}

TEST_F(Linea, RecordWriterFormat) {
  ArchivoHex.Salida.clear();
  ContextoError.LineaHex = 0;
  EscribeRegistroHex(RegDatos, 0x400E, std::vector<uint8_t>{0x32, 0x3F});
  EscribeExtendidaHex(0x0001);
  EscribeFinHex();
  EXPECT_EQ(ArchivoHex.Salida, ":02400E00323F3F\r\n:020000040001F9\r\n:00000001FF");
  EXPECT_EQ(ContextoError.LineaHex, 2);
  ArchivoHex.Salida.clear();
}

}  // namespace
}  // namespace hexprueba
