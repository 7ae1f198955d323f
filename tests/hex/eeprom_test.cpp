// Serial-EEPROM image files: raw dumps and Intel HEX.
#include "hex_comun.h"
#include "pg_hex24.h"
#include "pg_idioma.h"

namespace hexprueba {
namespace {

// Answers the question of an oversized raw file and keeps its text.
class Respondedor : public TGrabador {
public:
  TRespuesta Respuesta = TRespuesta::Si;
  std::vector<std::string> Preguntas;
  TRespuesta Pregunta(const std::string& texto, bool) override {
    Preguntas.push_back(texto);
    return Respuesta;
  }
};

class Eeprom : public HexTest {
protected:
  Respondedor respondedor;  // installed after the fixture's recorder: it is the one in use
  void SetUp() override {
    HexTest::SetUp();
    TextosEntorno[21] = "bytes";
  }
  void TearDown() override {
    TextosEntorno[21].clear();
    HexTest::TearDown();
  }
  static std::string Bytes(std::size_t n, uint8_t desde = 0) {
    std::string s(n, '\0');
    for (std::size_t k = 0; k < n; ++k) s[k] = static_cast<char>(desde + k * 7);
    return s;
  }
  void EsperaImagen(const std::string& bytes, std::size_t cargados) {
    for (std::size_t k = 0; k < PicActual.ProgTam; ++k) {
      const uint16_t esperado = k < cargados ? static_cast<unsigned char>(bytes[k]) : 0xFF;
      ASSERT_EQ(BufArchivo.Prog[k], esperado) << "cell " << k;
    }
    EXPECT_EQ(BufArchivo.Prog[PicActual.ProgTam], 0xFF) << "nothing past the device";
  }
};

TEST_F(Eeprom, FormatByExtension) {
  EXPECT_TRUE(EsArchivoBin("a.bin"));
  EXPECT_TRUE(EsArchivoBin("/x/My Dump.BiN"));
  EXPECT_FALSE(EsArchivoBin("a.hex"));
  EXPECT_FALSE(EsArchivoBin("a.bin.hex"));
  EXPECT_FALSE(EsArchivoBin("/x.bin/dump"));
  EXPECT_FALSE(EsArchivoBin("bin"));
}

TEST_F(Eeprom, RawFileSizes) {
  Selecciona("24C02");
  struct Caso {
    const char* que;
    std::size_t tam;
    std::size_t cargados;
    bool pregunta;
  };
  const Caso casos[] = {
      {"empty", 0, 0, false},
      {"shorter than the device", 100, 100, false},
      {"exactly the device", 256, 256, false},
      {"one byte more, as older saves", 257, 256, false},
      {"larger, accepted", 300, 256, true},
  };
  for (const auto& c : casos) {
    respondedor.Preguntas.clear();
    const std::string bytes = Bytes(c.tam, 3);
    ASSERT_EQ(CargaBinI2C(bytes), 0) << c.que;
    EXPECT_EQ(respondedor.Preguntas.size(), c.pregunta ? 1u : 0u) << c.que;
    EsperaImagen(bytes, c.cargados);
  }
  EXPECT_EQ(respondedor.Preguntas[0], "<44*> 300 bytes .\n<45*>\n         <46*>");
}

TEST_F(Eeprom, LargerRawFileDeclinedLoadsNothing) {
  Selecciona("24C01");
  respondedor.Respuesta = TRespuesta::No;
  EXPECT_EQ(CargaBinI2C(Bytes(1000)), ErrCancelado);
  EsperaImagen("", 0);
}

TEST_F(Eeprom, RawSaveIsExactlyTheDevice) {
  for (const char* d : {"24C01", "24C512"}) {
    Selecciona(d);
    const std::string bytes = Bytes(PicActual.ProgTam, 1);
    ASSERT_EQ(CargaBinI2C(bytes), 0);
    const std::string archivo = Ruta("dump.BIN");
    ASSERT_EQ(GuardaArchivoI2C(archivo), 0);
    EXPECT_EQ(LeeTodo(archivo), bytes) << d;
    LimpiaBufferB();
    ASSERT_EQ(CargaArchivoI2C(archivo), 0);
    EsperaImagen(bytes, bytes.size());
  }
}

TEST_F(Eeprom, HexRoundTripAndBlankImage) {
  Selecciona("24C512");
  LimpiaBufferB();
  const std::string archivo = Ruta("image.hex");
  ASSERT_EQ(GuardaArchivoI2C(archivo), 0);
  EXPECT_EQ(LeeTodo(archivo), ":00000001FF");

  std::string bytes = Bytes(PicActual.ProgTam, 5);
  for (std::size_t k = 100; k < 1000; ++k) bytes[k] = '\xFF';  // a blank run
  ASSERT_EQ(CargaBinI2C(bytes), 0);
  BufArchivo.Prog[0xFFFF] = 0x42;
  bytes[0xFFFF] = 0x42;
  ASSERT_EQ(GuardaArchivoI2C(archivo), 0);
  const std::string texto = LeeTodo(archivo);
  EXPECT_EQ(texto.find(":02000004"), std::string::npos) << "a 24C512 needs no upper address";
  ASSERT_EQ(CargaArchivoI2C(archivo), 0);
  EsperaImagen(bytes, bytes.size());
}

TEST_F(Eeprom, HexRecords) {
  Selecciona("24C02");
  struct Caso {
    const char* que;
    std::vector<std::string> lineas;
    uint32_t codigo;
    std::vector<std::pair<std::size_t, uint16_t>> celdas;
  };
  const Caso casos[] = {
      {"odd count at an odd address", {Registro(RegDatos, 0x11, {1, 2, 3})}, 0, {{0x10, 0xFF}, {0x11, 1}, {0x13, 3}}},
      {"starting at the last cell, running past it",
       {Registro(RegDatos, 0xFF, std::vector<uint8_t>(16, 9))}, 0, {{0xFF, 9}, {0x100, 0xFF}}},
      {"upper address 0", {Extendida(0), Registro(RegDatos, 0, {4})}, 0, {{0, 4}}},
      {"start address ignored", {Registro(RegInicioLineal, 0, {0, 0, 0, 1})}, 0, {{0, 0xFF}, {1, 0xFF}}},
      {"past the device", {Registro(RegDatos, 0x100, {1})}, ErrHexDireccion, {}},
      {"upper address other than 0", {Extendida(1), Registro(RegDatos, 0, {1})}, ErrHexDireccion, {}},
      {"bad checksum", {":0100000001FF"}, ErrHexChecksum, {}},
      {"short line", {":0200000001FD"}, ErrHexLinea, {}},
  };
  for (const auto& c : casos) {
    std::string texto;
    for (const auto& l : c.lineas) texto += l + "\n";
    EXPECT_EQ(CargaHexI2C(texto + ":00000001FF"), c.codigo) << c.que;
    for (const auto& [celda, valor] : c.celdas) EXPECT_EQ(BufArchivo.Prog[celda], valor) << c.que << " " << celda;
    if (c.codigo) EsperaImagen("", 0);
  }
  EXPECT_EQ(CargaHexI2C(Registro(RegDatos, 0, {1}) + "\n"), ErrHexFin) << "no end record";
  EsperaImagen("", 0);
}

TEST_F(Eeprom, WriterNeverReadsPastTheCount) {
  std::array<uint16_t, 40> celdas;
  celdas.fill(0x11);
  const std::string esperado = Registro(RegDatos, 0, std::vector<uint8_t>(16, 0x11)) + "\r\n" +
                               Registro(RegDatos, 16, std::vector<uint8_t>(5, 0x11)) + "\r\n";
  ArchivoHex.Salida.clear();
  EscribeHexI2C(std::span(celdas).first(21), 0, 21, 0xFF);
  EXPECT_EQ(ArchivoHex.Salida, esperado);
  ArchivoHex.Salida.clear();
}

TEST_F(Eeprom, UnreadableFile) {
  Selecciona("24C02");
  EXPECT_EQ(CargaArchivoI2C(Ruta("none.bin")), ErrArchivoLectura);
  EsperaImagen("", 0);
}

}  // namespace
}  // namespace hexprueba
