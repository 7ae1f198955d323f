// Loading HEX files: where every byte lands for each family, and what a
// faulty file leaves behind.
#include <memory>

#include "hex_comun.h"
#include "pg_idioma.h"

namespace hexprueba {
namespace {

class Carga : public HexTest {
protected:
  // BufArchivo as LimpiaBufferB leaves it for the selected device.
  std::unique_ptr<TBuffers> Blanco() {
    auto b = std::make_unique<TBuffers>();
    LimpiaBuffers(*b);
    return b;
  }
  void EsperaBlanco() {
    const auto b = Blanco();
    EXPECT_TRUE(BufArchivo.Prog == b->Prog && BufArchivo.Datos == b->Datos &&
                BufArchivo.Config == b->Config && BufArchivo.Id == b->Id && BufArchivo.Exec == b->Exec)
        << "BufArchivo keeps something of a file that failed to load";
  }
  static std::string Archivo(const std::vector<std::string>& lineas) {
    std::string t;
    for (const auto& l : lineas) t += l + "\r\n";
    return t + ":00000001FF";
  }
};

TEST_F(Carga, EndRecordAloneLoadsNothing) {
  Selecciona("16F84a");
  BufArchivo.Prog[0] = 0x1234;
  ASSERT_EQ(CargaHexTexto(":00000001FF"), 0);
  EsperaBlanco();
}

TEST_F(Carga, MidRangeAreas) {
  Selecciona("16F877a");
  ASSERT_EQ(CargaHexTexto(Archivo({
                ":020000040000FA",
                ":020000000428D2",
                ":02400E00323F3F",                        // configuration word
                ":0A420000010002000300410042002B",       // data EEPROM, one byte a word
                Registro(RegDatos, 0x3FFE, {0x34, 0x12}),  // last program word
            })),
            0);
  EXPECT_EQ(BufArchivo.Prog[0], 0x2804);
  EXPECT_EQ(BufArchivo.Prog[1], 0x3FFF);
  EXPECT_EQ(BufArchivo.Prog[0x1FFF], 0x1234);
  EXPECT_EQ(BufArchivo.Config[0], 0x3F32);
  EXPECT_EQ(BufArchivo.Datos[0], 0x0001);
  EXPECT_EQ(BufArchivo.Datos[3], 0x0041);
  EXPECT_EQ(BufArchivo.Datos[5], 0x3FFF);
}

TEST_F(Carga, RecordAcrossIdAndConfigurationLosesNothing) {
  Selecciona("16F84a");
  // ID words 0x2000-0x2003, reserved 0x2004-0x2006 (the device ID among
  // them), configuration 0x2007, as a chip read writes them in one record.
  ASSERT_EQ(CargaHexTexto(Archivo({Registro(RegDatos, 0x4000, {1, 0, 2, 0, 3, 0, 4, 0, 0xAA, 0x3F, 0xBB,
                                                               0x3F, 0x60, 0x05, 0xF1, 0x3F}),
                                   Registro(RegDatos, 0x4010, {0x12, 0x34})})),  // 0x2008: reserved
            0);
  EXPECT_EQ(BufArchivo.Id[0], 1);
  EXPECT_EQ(BufArchivo.Id[3], 4);
  EXPECT_EQ(BufArchivo.Id[4], 0x3FFF) << "reserved words are not ID words";
  EXPECT_EQ(BufArchivo.Config[0], 0x3FF1);
}

TEST_F(Carga, EachByteByItsOwnAddress) {
  Selecciona("16F84a");
  // Odd address, odd count: the high byte of word 0, then word 1.
  ASSERT_EQ(CargaHexTexto(Archivo({Registro(RegDatos, 0x0001, {0x28, 0x05, 0x30}),
                                   Registro(RegDatos, 0x400F, {0x1F})})),
            0);
  EXPECT_EQ(BufArchivo.Prog[0], 0x28FF);
  EXPECT_EQ(BufArchivo.Prog[1], 0x3005);
  EXPECT_EQ(BufArchivo.Config[0], 0x1FFF);
  // A program record that runs into the configuration space.
  Selecciona("10F200");
  ASSERT_EQ(CargaHexTexto(Archivo({Registro(RegDatos, 0x0200, {5, 0, 6, 0, 7, 0, 8, 0, 9, 0}),
                                   Registro(RegDatos, 0x1FFE, {0xEB, 0x0F})})),
            0);
  EXPECT_EQ(BufArchivo.Id[0], 5);
  EXPECT_EQ(BufArchivo.Id[3], 8);
  EXPECT_EQ(BufArchivo.Id[4], 0x0FFF) << "0x104 (backup calibration) is no ID word";
  EXPECT_EQ(BufArchivo.Config[0], 0x0FEB);
}

TEST_F(Carga, Pic18ConfigurationBytesAsCompilersWriteThem) {
  Selecciona("18F452");
  ASSERT_EQ(CargaHexTexto(Archivo({
                Extendida(0x0020), Registro(RegDatos, 0, {1, 2, 3, 4}),
                Extendida(0x0030), ":03000100220F0EBD", ":02000500018177", ":060008000FC00FE00F40E5",
                Extendida(0x003F), Registro(RegDatos, 0xFFFE, {0x42, 0x04}),  // device ID: dropped
            })),
            0);
  EXPECT_EQ(BufArchivo.Id[0], 0x0201);
  EXPECT_EQ(BufArchivo.Id[1], 0x0403);
  const uint16_t config[7] = {0x22FF, 0x0E0F, 0x01FF, 0xFF81, 0xC00F, 0xE00F, 0x400F};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(BufArchivo.Config[k], config[k]) << "CONFIG" << k + 1;
}

TEST_F(Carga, Pic18DataEepromLayouts) {
  Selecciona("18F452");
  struct Caso {
    const char* que;
    std::vector<std::string> lineas;
    std::vector<uint16_t> datos;  // the first cells of Datos
  };
  std::vector<uint8_t> antiguo;  // older saves: each location as data, 00
  for (int k = 0; k < 256; ++k) antiguo.insert(antiguo.end(), {static_cast<uint8_t>(k + 1), 0});
  std::vector<std::string> lineasAntiguas = {Extendida(0x00F0)};
  for (std::size_t o = 0; o < antiguo.size(); o += 16)
    lineasAntiguas.push_back(Registro(RegDatos, static_cast<uint16_t>(o),
                                      {antiguo.begin() + o, antiguo.begin() + o + 16}));
  std::vector<std::string> lineasBorradas = {Extendida(0x00F0)};  // every cell 0xFFFF, older saves
  for (uint16_t o = 0; o < 512; o += 16) lineasBorradas.push_back(Registro(RegDatos, o, std::vector<uint8_t>(16, 0xFF)));
  lineasBorradas.push_back(Registro(RegDatos, 2, {0x12, 0x00}));
  const Caso casos[] = {
      {"one byte a location", {Extendida(0x00F0), ":0300000011223397"}, {0x11, 0x22, 0x33, 0xFFFF}},
      {"two bytes a location, erased cells", lineasBorradas, {0xFFFF, 0x0012, 0xFFFF}},
      {"zeros, one byte a location, odd record",
       {Extendida(0x00F0), Registro(RegDatos, 0, {0, 0, 0}), Registro(RegDatos, 0xFC, {0, 0, 0, 0})},
       {0, 0, 0, 0xFFFF}},
      {"two bytes a location", lineasAntiguas, {1, 2, 3, 4}},
  };
  for (const auto& c : casos) {
    ASSERT_EQ(CargaHexTexto(Archivo(c.lineas)), 0) << c.que;
    EXPECT_TRUE(InformeCargaHex.HayEeprom18) << c.que;
    EXPECT_FALSE(InformeCargaHex.EepromAmbigua) << c.que;
    for (std::size_t k = 0; k < c.datos.size(); ++k) EXPECT_EQ(BufArchivo.Datos[k], c.datos[k]) << c.que << " " << k;
  }
  ASSERT_EQ(CargaHexTexto(Archivo(lineasAntiguas)), 0);
  EXPECT_EQ(BufArchivo.Datos[255], 256 & 0xFF);
  EXPECT_EQ(BufArchivo.Datos[256], 0xFFFF);
}

// Data EEPROM bytes that fit both layouts and give different images: a
// compiler's table of 16-bit values below 256 (de 0x05,0x00,0x07,0x00), or
// an older save of this program that uses the first half of the EEPROM.
// The caller's layout is taken, by default this program's two-byte one, and
// the load says so.
TEST_F(Carga, Pic18EepromThatFitsBothLayoutsIsReported) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  Selecciona("18F452");
  using D = TDisposicionEeprom18;
  struct Caso {
    const char* que;
    std::vector<uint8_t> bytes;  // from 0xF00000, one record
    std::vector<uint16_t> dos, uno;  // the first cells in each layout
  };
  const Caso casos[] = {
      {"two 16-bit values, or an older save", {5, 0, 7, 0}, {5, 7, 0xFFFF}, {5, 0, 7, 0, 0xFFFF}},
      {"three 16-bit values", {5, 0, 7, 0, 9, 0}, {5, 7, 9, 0xFFFF}, {5, 0, 7, 0, 9, 0, 0xFFFF}},
      {"zeros", {0, 0, 0, 0}, {0, 0, 0xFFFF}, {0, 0, 0, 0, 0xFFFF}},
  };
  for (const auto& c : casos) {
    const std::string texto = Archivo({Extendida(0x00F0), Registro(RegDatos, 0, c.bytes)});
    for (const D d : {D::DosBytes, D::UnByte}) {
      grabador.Lineas.clear();
      ASSERT_EQ(d == D::DosBytes ? CargaHexTexto(texto) : CargaHexTexto(texto, d), 0) << c.que;
      EXPECT_TRUE(InformeCargaHex.EepromAmbigua) << c.que;
      EXPECT_EQ(InformeCargaHex.Disposicion, d) << c.que;
      const auto& esperado = d == D::DosBytes ? c.dos : c.uno;
      for (std::size_t k = 0; k < esperado.size(); ++k)
        EXPECT_EQ(BufArchivo.Datos[k], esperado[k]) << c.que << " cell " << k;
      ASSERT_EQ(grabador.Lineas.size(), 1u) << c.que;
      EXPECT_EQ(grabador.Lineas[0], " " + TextoIdioma("pg_avisos*", "0*") + " " +
                                        TextoIdioma("pg_avisos*", d == D::DosBytes ? "1*" : "2*"));
      EXPECT_NE(grabador.Lineas[0].find(d == D::DosBytes ? "two bytes" : "one byte"), std::string::npos)
          << grabador.Lineas[0];
    }
  }
  // A file without data EEPROM reports nothing.
  ASSERT_EQ(CargaHexTexto(Archivo({Registro(RegDatos, 0, {1, 2})})), 0);
  EXPECT_FALSE(InformeCargaHex.HayEeprom18);
  EXPECT_FALSE(InformeCargaHex.EepromAmbigua);
}

// Records of every length a tool may write, up to 255 bytes, land byte for
// byte.
TEST_F(Carga, LongRecordsLoad) {
  Selecciona("18F452");
  std::vector<std::string> lineas;
  std::vector<std::pair<uint16_t, uint8_t>> esperado;  // file address, byte
  uint16_t direccion = 0;
  for (unsigned n : {1u, 16u, 32u, 33u, 64u, 255u}) {
    std::vector<uint8_t> datos(n);
    for (unsigned k = 0; k < n; ++k) {
      datos[k] = static_cast<uint8_t>(n + k);
      esperado.push_back({static_cast<uint16_t>(direccion + k), datos[k]});
    }
    lineas.push_back(Registro(RegDatos, direccion, datos));
    direccion = static_cast<uint16_t>(direccion + 0x200);
  }
  ASSERT_EQ(CargaHexTexto(Archivo(lineas)), 0);
  for (const auto& [f, b] : esperado)
    ASSERT_EQ((BufArchivo.Prog[f / 2] >> (f & 1 ? 8 : 0)) & 0xFF, b) << "byte " << f;
}

TEST_F(Carga, Pic18EepromTooLongForTheDeviceIsOutOfRange) {
  Selecciona("18F452");
  ASSERT_EQ(CargaHexTexto(Archivo({Extendida(0x00F0), Registro(RegDatos, 0xFF, {1, 2, 3})})),
            ErrHexDireccion);
  EXPECT_EQ(ContextoError.LineaHex, 2);
  EsperaBlanco();
  // A part without data EEPROM has nothing there at all.
  Selecciona("18F2410");
  ASSERT_EQ(CargaHexTexto(Archivo({Extendida(0x00F0), Registro(RegDatos, 0, {1})})), ErrHexDireccion);
}

TEST_F(Carga, Pic18ProgramAbove64K) {
  Selecciona("18F6720");
  ASSERT_EQ(CargaHexTexto(Archivo({Registro(RegDatos, 0xFFFE, {1, 2}), Extendida(1),
                                   Registro(RegDatos, 0xFFFE, {3, 4})})),
            0);
  EXPECT_EQ(BufArchivo.Prog[0x7FFF], 0x0201);
  EXPECT_EQ(BufArchivo.Prog[0xFFFF], 0x0403);
}

TEST_F(Carga, DsPicAreas) {
  Selecciona("30F6014");
  ASSERT_EQ(CargaHexTexto(Archivo({
                Registro(RegDatos, 0x0000, {0x40, 0x02, 0x04, 0x00}),  // goto 0x240, upper byte 04
                Extendida(0x01F0),
                Registro(RegDatos, 0x0000, {0x22, 0xC3, 0x00, 0x00}),  // FOSC
                Registro(RegDatos, 0x0005, {0x80}),                    // FWDT high byte alone
                Registro(RegDatos, 0x0018, {0x03, 0xC0, 0x00, 0x00}),  // FICD, the seventh
                Extendida(0x00FF), Registro(RegDatos, 0xE000, {0x34, 0x12, 0x00, 0x00}),
                Extendida(0x0100), Registro(RegDatos, 0x0B7C, {0x11, 0x22, 0x33, 0x00}),
                Extendida(0x01FE), Registro(RegDatos, 0x0000, {0x80, 0x01}),  // device ID: dropped
            })),
            0);
  EXPECT_EQ(BufArchivo.Prog[0], 0x0240);
  EXPECT_EQ(BufArchivo.Prog[1], 0x0004);
  EXPECT_EQ(BufArchivo.Config[0], 0xC322);
  EXPECT_EQ(BufArchivo.Config[1], 0x0000);
  EXPECT_EQ(BufArchivo.Config[2], 0xFFFF) << "the two spare cells of a register stay";
  EXPECT_EQ(BufArchivo.Config[4], 0x80FF);
  EXPECT_EQ(BufArchivo.Config[24], 0xC003);
  EXPECT_EQ(BufArchivo.Datos[0], 0x1234);
  EXPECT_EQ(BufArchivo.Datos[1], 0x0000);
  EXPECT_EQ(BufArchivo.Exec[1470], 0x2211) << "the last executive instruction";
  EXPECT_EQ(BufArchivo.Exec[1471], 0x0033);
}

TEST_F(Carga, OutsideTheDevice) {
  struct Caso {
    const char* dispositivo;
    std::vector<std::string> lineas;
    uint32_t direccion = 0;  // the file address the error names, when checked
  };
  const Caso casos[] = {
      {"16F84a", {Registro(RegDatos, 0x0800, {1, 2})}},               // past program memory
      {"16F84a", {Registro(RegDatos, 0x07FE, {1, 2, 3, 4})}},         // running past it
      {"16F84a", {Registro(RegDatos, 0x4280, {1, 0})}},               // past the data EEPROM
      {"16F84a", {Extendida(0xFFFF), Registro(RegDatos, 0xFFF0, {1})}},  // huge address
      {"18F452", {Registro(RegDatos, 0x8000, {1, 2})}},
      {"18F452", {Extendida(0x0040), Registro(RegDatos, 0, {1, 2})}},
      {"30F2011", {Extendida(0x00FF), Registro(RegDatos, 0xF800, {1, 2})}},  // no EEPROM
      {"24C02", {Registro(RegDatos, 0, {1, 2})}},                     // not a PIC family
      // A 10F202 file opened for a 10F200: words 0x100-0x103 pass for ID
      // words and 0x104 for the backup calibration word; the next word
      // that holds anything is the program of a larger part.
      {"10F200", {Registro(RegDatos, 0x0200, {1, 0x0C, 2, 0x0C, 3, 0x0C, 4, 0x0C, 5, 0x0C, 6, 0x0C})}, 0x020A},
      {"10F200", {Registro(RegDatos, 0x03FE, {0x0A, 0x0C}), Registro(RegDatos, 0x020C, {0xFF, 0x0F, 0x12})}, 0x020E},
      {"10F200", {Registro(RegDatos, 0x1FFC, {0, 0})}, 0x1FFC},  // below the configuration word
  };
  for (const auto& c : casos) {
    Selecciona(c.dispositivo);
    grabador.Mensajes.clear();
    EXPECT_EQ(CargaHexTexto(Archivo(c.lineas)), ErrHexDireccion) << c.dispositivo << " " << c.lineas.back();
    EXPECT_EQ(grabador.Mensajes.size(), 1u);
    EsperaBlanco();
    if (c.direccion) {
      EXPECT_EQ(ContextoError.Direccion, c.direccion) << c.lineas.back();
      EXPECT_EQ(ContextoError.LineaHex, c.lineas.size()) << c.lineas.back();
    }
  }
}

// What a baseline file may carry past its ID words: the backup calibration
// word, and blank words up to the configuration word.
TEST_F(Carga, BaselineBackupCalibrationAndBlankWordsLoad) {
  Selecciona("10F200");
  ASSERT_EQ(CargaHexTexto(Archivo({Registro(RegDatos, 0x0200, {1, 0, 2, 0, 3, 0, 4, 0, 0x12, 0x0C}),
                                   Registro(RegDatos, 0x020A, {0xFF, 0x0F, 0xFF, 0xFF}),
                                   Registro(RegDatos, 0x1FFE, {0xEB, 0x0F})})),
            0);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(BufArchivo.Id[k], k + 1);
  EXPECT_EQ(BufArchivo.Config[0], 0x0FEB);
}

TEST_F(Carga, BadFilesLeaveNothingHalfLoaded) {
  Selecciona("16F84a");
  const std::string bueno = Registro(RegDatos, 0, {0x04, 0x28, 0xFF, 0x3F, 0x55, 0x30}) + "\r\n" +
                            Registro(RegDatos, 0x400E, {0xF1, 0x3F}) + "\r\n";
  std::string checksum = Registro(RegDatos, 8, {1, 0x2D});
  checksum.back() = checksum.back() == '0' ? '1' : '0';
  std::string noHex = Registro(RegDatos, 8, {1, 0x2D});
  noHex[10] = 'Z';
  const std::string lleno = Registro(RegDatos, 0x10, std::vector<uint8_t>(16, 1));
  struct Caso {
    const char* que;
    std::string texto;
    uint32_t codigo;
    uint16_t linea;
  };
  const Caso casos[] = {
      {"bad checksum", bueno + checksum + "\r\n:00000001FF", ErrHexChecksum, 3},
      {"not hex", bueno + noHex + "\r\n:00000001FF", ErrHexLinea, 3},
      {"short line", bueno + lleno.substr(0, lleno.size() - 6) + lleno.substr(lleno.size() - 2) +
                         "\r\n:00000001FF", ErrHexLinea, 3},
      {"no end record", bueno, ErrHexFin, 3},
      {"cut in the middle of a line", bueno + lleno.substr(0, 20), ErrHexLinea, 3},
      {"huge address", bueno + Extendida(0xFFFF) + "\r\n" + Registro(RegDatos, 0, {1, 0x0F}) +
                           "\r\n:00000001FF", ErrHexDireccion, 4},
      {"empty file", "", ErrHexFin, 1},
  };
  for (const auto& c : casos) {
    grabador.Mensajes.clear();
    EXPECT_EQ(CargaHexTexto(c.texto), c.codigo) << c.que;
    EXPECT_EQ(ContextoError.LineaHex, c.linea) << c.que;
    ASSERT_EQ(grabador.Mensajes.size(), 1u) << c.que;
    EXPECT_EQ(grabador.Mensajes[0].rfind("<11*> prueba.hex   <7*> " + std::to_string(c.linea), 0), 0u)
        << grabador.Mensajes[0];
    EsperaBlanco();
  }
  ASSERT_EQ(CargaHexTexto(bueno + ":00000001FF"), 0);
  EXPECT_EQ(BufArchivo.Prog[2], 0x3055);
  EXPECT_EQ(BufArchivo.Config[0], 0x3FF1);
}

TEST_F(Carga, FromDiskWithBlanksInTheName) {
  Selecciona("16F84a");
  const std::string nombre = Ruta("my program v2.hex");
  EscribeTodo(nombre, ":020000000428D2\n:00000001FF\n");
  ASSERT_EQ(CargaHex(nombre), 0);
  EXPECT_EQ(BufArchivo.Prog[0], 0x2804);
  EXPECT_EQ(ArchivoActual, "prueba.hex") << "the caller's file name is left as it was";
}

TEST_F(Carga, UnreadableFileIsReportedWithNameAndReason) {
  Selecciona("16F84a");
  BufArchivo.Prog[0] = 0;
  EXPECT_EQ(CargaHex(Ruta("missing.hex")), ErrArchivoLectura);
  ASSERT_EQ(grabador.Mensajes.size(), 1u);
  EXPECT_NE(grabador.Mensajes[0].find("<52*> " + Ruta("missing.hex")), std::string::npos);
  EXPECT_NE(grabador.Mensajes[0].find("No such file"), std::string::npos) << grabador.Mensajes[0];
  EXPECT_EQ(grabador.Lineas, std::vector<std::string>{" <18*>"});
  EsperaBlanco();
  grabador.Mensajes.clear();
  EXPECT_EQ(CargaHex(carpeta.string()), ErrArchivoLectura) << "a folder is no file";
  EXPECT_EQ(grabador.Mensajes.size(), 1u);
}

}  // namespace
}  // namespace hexprueba
