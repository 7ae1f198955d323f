// Writing HEX files: the records for each family, round trips over the
// catalogue, and saves that fail.
#include <signal.h>
#include <sys/resource.h>

#include <memory>
#include <random>

#include "hex_comun.h"
#include "pg_hex24.h"

namespace hexprueba {
namespace {

class Guarda : public HexTest {
protected:
  // BufArchivo with every cell at the writer's blank value of its area.
  void BlancoDeEscritura() {
    LimpiaBuffers(BufArchivo);
    BufArchivo.Id.fill(PicActual.IdMask);
    BufArchivo.Config.fill(PicActual.CfgMask);
    BufArchivo.Datos.fill(PicActual.EeMask);
  }
  static std::vector<std::string> Lineas(const std::string& texto) {
    std::vector<std::string> v;
    std::size_t pos = 0;
    while (pos < texto.size()) {
      auto fin = texto.find("\r\n", pos);
      if (fin == std::string::npos) fin = texto.size();
      v.push_back(texto.substr(pos, fin - pos));
      pos = fin + 2;
    }
    return v;
  }
  std::string Genera() {
    GeneraHex();
    std::string t = ArchivoHex.Salida;
    ArchivoHex.Salida.clear();
    return t;
  }
};

TEST_F(Guarda, MidRangeImage) {
  Selecciona("16F84");
  BlancoDeEscritura();
  BufArchivo.Prog[0] = 0x2804;
  BufArchivo.Id[2] = 0x0003;
  BufArchivo.Config[0] = 0x3FF1;
  BufArchivo.Datos[63] = 0x0042;
  const std::vector<std::string> esperado = {
      Registro(RegDatos, 0x0000, {0x04, 0x28, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F,
                                  0xFF, 0x3F, 0xFF, 0x3F}),
      Registro(RegDatos, 0x4004, {0x03, 0x00, 0x0F, 0x00}),  // ID words 2 and 3
      ":02400E00F13F80",
      Registro(RegDatos, 0x427E, {0x42, 0x00}),
      ":00000001FF",
  };
  EXPECT_EQ(Lineas(Genera()), esperado);
  EXPECT_EQ(ContextoError.LineaHex, 4) << "records written";
}

TEST_F(Guarda, Pic18AddressRecords) {
  Selecciona("18F6720");  // 128 KB of program memory
  BlancoDeEscritura();
  BufArchivo.Prog[0x7FFC] = 0x1111;  // byte address 0xFFF8: its record meets 0x10000
  BufArchivo.Prog[0xFFFF] = 0x2222;
  BufArchivo.Datos[1] = 0x0055;
  const std::vector<std::string> esperado = {
      Registro(RegDatos, 0xFFF8, {0x11, 0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
      ":020000040001F9",
      Registro(RegDatos, 0xFFFE, {0x22, 0x22}),
      Extendida(0x0020),
      Extendida(0x0030),
      Extendida(0x00F0),
      Registro(RegDatos, 0x0001, {0x55, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                  0xFF, 0xFF, 0xFF, 0xFF}),
      ":00000001FF",
  };
  EXPECT_EQ(Lineas(Genera()), esperado);
}

// Data EEPROM images whose saved records could pass for the two-byte
// layout of older saves (whole pairs, every second byte 00): 16-bit
// values below 256, as calibration tables keep them.
TEST_F(Guarda, Pic18EepromReadsBackAsSaved) {
  Selecciona("18F452");
  struct Tabla {
    std::size_t donde;               // first location
    std::vector<uint16_t> valores;  // 16-bit values, low byte first
  };
  const std::vector<std::vector<Tabla>> imagenes = {
      {{0, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}}},  // one full record
      {{0xF8, {1, 2, 3, 4}}},                                 // the EEPROM's last record
      {{0, {5, 6, 7, 8, 9, 10, 11, 12}}, {0x20, {0, 0, 0, 13, 0, 0, 0, 0}}},
      {{0, std::vector<uint16_t>(128, 0x2A)}},  // the whole EEPROM
      {{0, {0, 0}}, {0x40, {0, 0, 0, 0}}},      // zeros
  };
  const std::string archivo = Ruta("eeprom.hex");
  for (const auto& imagen : imagenes) {
    BlancoDeEscritura();
    for (const auto& t : imagen)
      for (std::size_t k = 0; k < t.valores.size(); ++k) {
        BufArchivo.Datos[t.donde + 2 * k] = t.valores[k] & 0xFF;
        BufArchivo.Datos[t.donde + 2 * k + 1] = t.valores[k] >> 8;
      }
    const auto guardado = BufArchivo.Datos;
    ASSERT_EQ(GuardaHex(archivo), 0);
    ASSERT_EQ(CargaHex(archivo), 0);
    EXPECT_FALSE(InformeCargaHex.EepromAmbigua) << "image " << &imagen - imagenes.data();
    EXPECT_EQ(InformeCargaHex.Disposicion, TDisposicionEeprom18::UnByte);
    for (std::size_t k = 0; k < PicActual.EeTam; ++k)
      ASSERT_EQ(BufArchivo.Datos[k] & 0xFF, guardado[k] & 0xFF) << "location " << k << " of image "
                                                                 << &imagen - imagenes.data();
  }
}

TEST_F(Guarda, Pic18WithoutEepromStillEndsWithAnAddressRecord) {
  Selecciona("18F2410");
  BlancoDeEscritura();
  const auto lineas = Lineas(Genera());
  ASSERT_GE(lineas.size(), 2u);
  EXPECT_EQ(lineas[lineas.size() - 2], ":020000040000FA");
}

TEST_F(Guarda, DsPicAreas) {
  Selecciona("30F2010");
  BlancoDeEscritura();
  // As the editors leave a blank dsPIC image: upper bytes 0xFF, phantom
  // bytes and words 0.
  for (std::size_t k = 1; k < PicActual.ProgTam; k += 2) BufArchivo.Prog[k] = 0x00FF;
  for (std::size_t k = 1; k < 28; k += 4) BufArchivo.Config[k] = 0x0000;
  BufArchivo.Prog[0] = 0x0240;
  BufArchivo.Prog[1] = 0x0004;
  BufArchivo.Config[4] = 0x803F;  // FWDT
  BufArchivo.Datos.fill(0xFFFF);
  BufArchivo.Datos[2] = 0x1234;
  for (std::size_t k = 1; k < 1024; k += 2) BufArchivo.Datos[k] = 0;
  std::vector<std::string> esperado = {
      Registro(RegDatos, 0x0000, {0x40, 0x02, 0x04, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00,
                                  0xFF, 0xFF, 0xFF, 0x00}),
  };
  for (int k = 0; k < 7; ++k) {
    esperado.push_back(Extendida(0x01F0));
    // The blank value of a register is 0xFFFF: its phantom word is data.
    esperado.push_back(k == 1 ? Registro(RegDatos, 0x0004, {0x3F, 0x80, 0x00, 0x00})
                              : Registro(RegDatos, static_cast<uint16_t>(4 * k + 2), {0x00, 0x00}));
  }
  esperado.push_back(Extendida(0x00FF));
  esperado.push_back(Registro(RegDatos, 0xF804, {0x34, 0x12, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF,
                                                 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}));
  esperado.push_back(":00000001FF");
  EXPECT_EQ(Lineas(Genera()), esperado);

  // The executive goes out only when its editor holds data.
  PonEjecutivoConDatos([] { return true; });
  const auto conEjecutivo = Lineas(Genera());
  EXPECT_NE(std::find(conEjecutivo.begin(), conEjecutivo.end(), Extendida(0x0100)), conEjecutivo.end());
  PonEjecutivoConDatos(nullptr);
  BufArchivo.Exec[7] = 0x0012;  // an upper byte: the image holds data
  const auto conDatos = Lineas(Genera());
  EXPECT_NE(std::find(conDatos.begin(), conDatos.end(), Extendida(0x0100)), conDatos.end());
}

// Fills the meaningful cells of every area with seeded values inside the
// area's mask, with runs of blank cells between them.
void LlenaAzar(uint32_t semilla) {
  const TPic& p = PicActual;
  std::mt19937 azar(semilla);
  LimpiaBuffers(BufArchivo);
  auto valor = [&](uint16_t mascara, uint16_t blanco) -> uint16_t {
    return azar() % 4 == 0 ? blanco : static_cast<uint16_t>(azar() & mascara);
  };
  const bool ds = p.Familia == 30;
  for (uint32_t k = 0; k < p.ProgTam; ++k)
    BufArchivo.Prog[k] = ds && (k & 1) ? valor(0x00FF, 0x00FF) : valor(p.ProgMask, p.ProgMask);
  for (uint32_t k = 0; k < p.IdNum; ++k) BufArchivo.Id[k] = valor(p.IdMask, p.IdMask);
  if (ds) {
    for (uint32_t k = 0; k < 7; ++k) {
      BufArchivo.Config[4 * k] = valor(0xFFFF, 0xFFFF);
      BufArchivo.Config[4 * k + 1] = 0;
    }
    for (uint32_t k = 0; k < p.EeTam; ++k) BufArchivo.Datos[k] = (k & 1) ? 0 : valor(0xFFFF, 0xFFFF);
    for (uint32_t k = 0; k < p.ExecTam; ++k)
      BufArchivo.Exec[k] = (k & 1) ? valor(0x00FF, 0x00FF) : valor(0xFFFF, 0xFFFF);
  } else {
    for (uint32_t k = 0; k < p.CfgNum; ++k) BufArchivo.Config[k] = valor(p.CfgMask, p.CfgMask);
    for (uint32_t k = 0; k < p.EeTam; ++k) BufArchivo.Datos[k] = valor(p.EeMask, p.EeMask);
  }
}

// A cell comes back as it was; a cell at the writer's blank value may come
// back as the loader's blank instead.
template <std::size_t N>
void Compara(const char* area, const std::array<uint16_t, N>& antes, const std::array<uint16_t, N>& despues,
             const std::function<bool(std::size_t, uint16_t)>& esBlanco) {
  int fallos = 0;
  for (std::size_t k = 0; k < N && fallos < 5; ++k) {
    if (antes[k] == despues[k]) continue;
    if (esBlanco(k, antes[k]) && despues[k] == PicActual.ProgMask) continue;
    ADD_FAILURE() << PicActual.Nombre << " " << area << "[" << k << "]: saved " << std::hex << antes[k]
                  << ", loaded " << despues[k];
    ++fallos;
  }
}

TEST_F(Guarda, RoundTripOverEveryFamily) {
  const char* dispositivos[] = {"10F200", "10F206", "12F629", "12F683", "16F84a", "16F628a", "16F88",
                                "16F877a", "16F73", "16C64", "16C926", "18F1220", "18F452", "18F2410",
                                "18F4525", "18F6720", "18F8720", "30F2010", "30F2011", "30F4013", "30F6014"};
  const std::string archivo = Ruta("vuelta.hex");
  auto copia = std::make_unique<TBuffers>();
  for (const char* d : dispositivos) {
    Selecciona(d);
    LlenaAzar(static_cast<uint32_t>(std::hash<std::string>{}(d)));
    *copia = BufArchivo;
    PonEjecutivoConDatos(nullptr);
    ASSERT_EQ(GuardaHex(archivo), 0) << d;
    ASSERT_EQ(CargaHex(archivo), 0) << d;
    const TPic& p = PicActual;
    const bool ds = p.Familia == 30;
    auto alterna = [](std::size_t k, uint16_t v) { return v == ((k & 1) ? 0x00FF : 0xFFFF); };
    Compara("Prog", copia->Prog, BufArchivo.Prog,
            [&](std::size_t k, uint16_t v) { return ds ? alterna(k, v) : v == p.ProgMask; });
    Compara("Id", copia->Id, BufArchivo.Id, [&](std::size_t, uint16_t v) { return v == p.IdMask; });
    Compara("Config", copia->Config, BufArchivo.Config,
            [&](std::size_t, uint16_t v) { return v == (ds ? 0xFFFF : p.CfgMask); });
    Compara("Datos", copia->Datos, BufArchivo.Datos, [&](std::size_t k, uint16_t v) {
      return ds ? v == ((k & 1) ? 0x0000 : 0xFFFF) : (v & 0xFF) == (p.EeMask & 0xFF);
    });
    Compara("Exec", copia->Exec, BufArchivo.Exec, alterna);
  }
}

TEST_F(Guarda, SaveReplacesTheOldFileWhole) {
  Selecciona("16F84a");
  const std::string archivo = Ruta("prog.hex");
  EscribeTodo(archivo, std::string(100000, 'x'));  // much longer than the new file
  BlancoDeEscritura();
  ASSERT_EQ(GuardaHex(archivo), 0);
  EXPECT_EQ(LeeTodo(archivo), ":00000001FF");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta), {}), 1) << "no temporary file left";
}

TEST_F(Guarda, FailedSaveKeepsThePreviousFile) {
  Selecciona("18F6720");
  const std::string archivo = Ruta("prog.hex");
  const std::string anterior = ":020000000428D2\r\n:00000001FF";
  EscribeTodo(archivo, anterior);
  LlenaAzar(7);
  // The disk fills up in the middle of the new file.
  struct rlimit limite, antes;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &antes), 0);
  limite = antes;
  limite.rlim_cur = 4096;
  auto senal = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
  const uint8_t r = GuardaHex(archivo);
  setrlimit(RLIMIT_FSIZE, &antes);
  signal(SIGXFSZ, senal);
  EXPECT_EQ(r, ErrArchivoEscritura);
  EXPECT_EQ(LeeTodo(archivo), anterior);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta), {}), 1) << "no temporary file left";
  ASSERT_EQ(grabador.Mensajes.size(), 1u);
  EXPECT_EQ(grabador.Mensajes[0], "<11*> <53*> " + archivo + "\nFile too large");
  EXPECT_EQ(grabador.Lineas, std::vector<std::string>{" <18*>"});
}

// A file marked read-only is how a user keeps it; the folder being
// writable must not let a save replace it.
TEST_F(Guarda, ReadOnlyFileIsNotReplaced) {
  const std::string archivo = Ruta("entrega.hex");
  const std::string anterior = ":020000000428D2\r\n:00000001FF";
  for (const char* d : {"16F84a", "24C02"}) {
    Selecciona(d);
    EscribeTodo(archivo, anterior);
    std::filesystem::permissions(archivo, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
    grabador.Mensajes.clear();
    BlancoDeEscritura();
    EXPECT_EQ(ClaseDispositivo == 2 ? GuardaArchivoI2C(archivo) : GuardaHex(archivo), ErrArchivoEscritura) << d;
    EXPECT_EQ(LeeTodo(archivo), anterior) << d;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(carpeta), {}), 1) << "no temporary file left";
    ASSERT_EQ(grabador.Mensajes.size(), 1u) << d;
    EXPECT_EQ(grabador.Mensajes[0], "<11*> <53*> " + archivo + "\nPermission denied");
    std::filesystem::remove(archivo);
  }
}

TEST_F(Guarda, SaveIntoAMissingFolderIsReported) {
  Selecciona("16F84a");
  const std::string archivo = Ruta("no such folder/prog.hex");
  EXPECT_EQ(GuardaHex(archivo), ErrArchivoEscritura);
  ASSERT_EQ(grabador.Mensajes.size(), 1u);
  EXPECT_EQ(grabador.Mensajes[0], "<11*> <53*> " + archivo + "\nNo such file or directory");
}

TEST_F(Guarda, SaveKeepsPermissionsAndFollowsLinks) {
  Selecciona("16F84a");
  const std::string real = Ruta("real.hex");
  EscribeTodo(real, "old");
  std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read);
  std::filesystem::create_symlink(real, Ruta("link.hex"));
  BlancoDeEscritura();
  ASSERT_EQ(GuardaHex(Ruta("link.hex")), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(Ruta("link.hex")));
  EXPECT_EQ(LeeTodo(real), ":00000001FF");
  EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}

}  // namespace
}  // namespace hexprueba
