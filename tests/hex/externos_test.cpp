// Files no one here wrote: programs assembled by gpasm, files rewritten by
// srec_cat, and our own files read back by srec_cat. srec_cat is the
// independent reader that says which byte a file puts at which address.
#include <memory>
#include <random>

#include "hex_comun.h"
#include "pg_hex24.h"

namespace hexprueba {
namespace {

class Externos : public HexTest {
protected:
  void SetUp() override {
    HexTest::SetUp();
    for (const char* p : {"gpasm", "srec_cat"})
      if (!Hay(p)) FAIL() << p << " is missing: scripts/deps.sh installs gputils and srecord";
  }

  int Ejecuta(const std::string& orden) {
    const std::string completa = "cd '" + carpeta.string() + "' && " + orden + " 2>salida.txt";
    const int r = std::system(completa.c_str());
    if (r != 0) ADD_FAILURE() << orden << "\n" << LeeTodo(carpeta / "salida.txt");
    return r;
  }

  std::string Ensambla(const std::string& nombre, const std::string& fuente) {
    EscribeTodo(carpeta / (nombre + ".asm"), fuente);
    Ejecuta("gpasm -w 2 " + nombre + ".asm -o " + nombre + ".hex");
    return Ruta(nombre + ".hex");
  }

  // The bytes srec_cat reads at file addresses ini .. ini+tam-1; -1 where
  // the file has none (a byte that the two hole fillings disagree on).
  std::vector<int> Volcado(const std::string& archivo, uint64_t ini, uint64_t tam) {
    std::string binarios[2];
    for (int k = 0; k < 2; ++k) {
      const std::string rango = std::to_string(ini) + " " + std::to_string(ini + tam);
      const std::string salida = "volcado" + std::to_string(k) + ".bin";
      Ejecuta("srec_cat '" + archivo + "' -Intel -crop " + rango + " -fill " + (k ? "0xFF " : "0x00 ") + rango +
              " -offset -" + std::to_string(ini) + " -o " + salida + " -Binary");
      binarios[k] = LeeTodo(carpeta / salida);
    }
    std::vector<int> v(tam, -1);
    if (binarios[0].size() != tam || binarios[1].size() != tam) {
      ADD_FAILURE() << "srec_cat gave " << binarios[0].size() << " bytes for " << tam;
      return v;
    }
    for (std::size_t k = 0; k < tam; ++k)
      if (binarios[0][k] == binarios[1][k]) v[k] = static_cast<unsigned char>(binarios[0][k]);
    return v;
  }

  // Compares cells with what srec_cat reads at their addresses: each cell is
  // `porCelda` file bytes (1: low byte only; 2: low, high), `paso` apart.
  // Where the file has nothing, the cell must hold its blank value.
  using TBlanco = std::function<uint16_t(std::size_t celda)>;
  template <std::size_t N>
  void ComparaArea(const char* area, const std::string& archivo, const std::array<uint16_t, N>& celdas,
                   std::size_t n, uint64_t ini, unsigned porCelda, unsigned paso, const TBlanco& blanco) {
    const auto v = Volcado(archivo, ini, static_cast<uint64_t>(n) * paso);
    int fallos = 0;
    for (std::size_t k = 0; k < n && fallos < 5; ++k) {
      for (unsigned b = 0; b < porCelda; ++b) {
        const int enArchivo = v[k * paso + b];
        const int esperado = enArchivo >= 0 ? enArchivo : (blanco(k) >> (8 * b)) & 0xFF;
        const int celda = (celdas[k] >> (8 * b)) & 0xFF;
        if (celda != esperado) {
          ADD_FAILURE() << area << "[" << k << "] byte " << b << ": here " << std::hex << celda << ", srec_cat "
                        << enArchivo;
          ++fallos;
        }
      }
    }
  }

  // Every area of the selected PIC against what srec_cat reads in a file.
  // Cells the file lacks hold the loader's blank (after a load) or the
  // writer's blank of their area (before a save).
  void ComparaTodo(const std::string& archivo, bool guardado = false) {
    const TPic& p = PicActual;
    const TBuffers& b = BufArchivo;
    auto fijo = [&](uint16_t v) { return TBlanco([&p, v, guardado](std::size_t) { return guardado ? v : p.ProgMask; }); };
    auto alterna = [&](uint16_t impar) {
      return TBlanco([&p, impar, guardado](std::size_t k) -> uint16_t {
        return guardado ? ((k & 1) ? impar : 0xFFFF) : p.ProgMask;
      });
    };
    switch (p.Familia) {
      case 16:
        ComparaArea("Prog", archivo, b.Prog, p.ProgTam, 0, 2, 2, fijo(p.ProgMask));
        ComparaArea("Id", archivo, b.Id, p.IdNum, 2ull * p.IdIni, 2, 2, fijo(p.IdMask));
        ComparaArea("Config", archivo, b.Config, p.CfgNum, 2ull * p.CfgIni, 2, 2, fijo(p.CfgMask));
        ComparaArea("Datos", archivo, b.Datos, p.EeTam, 2ull * p.EeIni, 2, 2, fijo(p.EeMask));
        break;
      case 18:
        ComparaArea("Prog", archivo, b.Prog, p.ProgTam, 0, 2, 2, fijo(p.ProgMask));
        ComparaArea("Id", archivo, b.Id, p.IdNum, p.IdIni, 2, 2, fijo(p.IdMask));
        ComparaArea("Config", archivo, b.Config, p.CfgNum, p.CfgIni, 2, 2, fijo(p.CfgMask));
        ComparaArea("Datos", archivo, b.Datos, p.EeTam, 2ull * p.EeIni, 1, 1, fijo(p.EeMask));
        break;
      case 30: {
        ComparaArea("Prog", archivo, b.Prog, p.ProgTam, 0, 2, 2, alterna(0x00FF));
        ComparaArea("Datos", archivo, b.Datos, p.EeTam, 2ull * p.EeIni, 2, 2, alterna(0x0000));
        ComparaArea("Exec", archivo, b.Exec, p.ExecTam, 2ull * p.ExecIni, 2, 2, alterna(0x00FF));
        // A configuration register: four file bytes, its first two cells.
        std::array<uint16_t, 14> registros{};
        for (std::size_t k = 0; k < 14; ++k) registros[k] = b.Config[4 * (k / 2) + k % 2];
        ComparaArea("Config", archivo, registros, 14, 2ull * p.CfgIni, 2, 2, fijo(0xFFFF));
        break;
      }
      default:
        FAIL() << "no comparison for family " << int(p.Familia);
    }
  }

  // Seeded contents inside each area's bits, with blank runs.
  void LlenaAzar(uint32_t semilla) {
    const TPic& p = PicActual;
    std::mt19937 azar(semilla);
    LimpiaBuffers(BufArchivo);
    auto v = [&](uint16_t mascara, uint16_t blanco) {
      return azar() % 3 == 0 ? blanco : static_cast<uint16_t>(azar() & mascara);
    };
    const bool ds = p.Familia == 30;
    for (uint32_t k = 0; k < p.ProgTam; ++k) BufArchivo.Prog[k] = ds && (k & 1) ? v(0xFF, 0xFF) : v(p.ProgMask, p.ProgMask);
    for (uint32_t k = 0; k < p.IdNum; ++k) BufArchivo.Id[k] = v(p.IdMask, p.IdMask);
    for (uint32_t k = 0; k < p.EeTam; ++k) BufArchivo.Datos[k] = ds && (k & 1) ? 0 : v(p.EeMask, p.EeMask);
    for (uint32_t k = 0; k < (ds ? 28u : p.CfgNum); ++k)
      BufArchivo.Config[k] = ds ? (k % 4 == 0 ? v(0xFFFF, 0xFFFF) : k % 4 == 1 ? 0 : 0xFFFF) : v(p.CfgMask, p.CfgMask);
    for (uint32_t k = 0; ds && k < p.ExecTam; ++k) BufArchivo.Exec[k] = (k & 1) ? v(0xFF, 0xFF) : v(0xFFFF, 0xFFFF);
  }
};

TEST_F(Externos, Gpasm16F84A) {
  Selecciona("16F84a");
  const std::string archivo = Ensambla("p84", R"(
	processor 16f84a
	__config 0x3FF1
	__idlocs 0xABCD
	org 0
	goto start
	org 4
start:	movlw 0x55
	movwf 0x0C
	org 0x3FF
	retlw 0x34
	org 0x2100
	de 1, 2, "Hi"
	end
)");
  ASSERT_EQ(CargaHex(archivo), 0) << LeeTodo(archivo);
  EXPECT_EQ(BufArchivo.Prog[0], 0x2804);  // goto 4
  EXPECT_EQ(BufArchivo.Prog[1], 0x3FFF);
  EXPECT_EQ(BufArchivo.Prog[4], 0x3055);  // movlw 0x55
  EXPECT_EQ(BufArchivo.Prog[5], 0x008C);  // movwf 0x0C
  EXPECT_EQ(BufArchivo.Prog[0x3FF], 0x3434);
  EXPECT_EQ(BufArchivo.Config[0], 0x3FF1);
  EXPECT_EQ((std::vector<uint16_t>(BufArchivo.Id.begin(), BufArchivo.Id.begin() + 4)),
            (std::vector<uint16_t>{0xA, 0xB, 0xC, 0xD}));
  EXPECT_EQ((std::vector<uint16_t>(BufArchivo.Datos.begin(), BufArchivo.Datos.begin() + 4)),
            (std::vector<uint16_t>{1, 2, 'H', 'i'}));
  EXPECT_EQ(BufArchivo.Datos[4], 0x3FFF);
  ComparaTodo(archivo);
}

TEST_F(Externos, Gpasm16F877A) {
  Selecciona("16F877a");
  const std::string archivo = Ensambla("p877", R"(
	processor 16f877a
	__config 0x3F72
	__idlocs 0x0102
	org 0
	nop
	org 0x1FFF
	goto 0
	org 0x2100
	de 0xA5, 0x5A
	end
)");
  ASSERT_EQ(CargaHex(archivo), 0) << LeeTodo(archivo);
  EXPECT_EQ(BufArchivo.Prog[0], 0x0000);
  EXPECT_EQ(BufArchivo.Prog[0x1FFF], 0x2800);
  EXPECT_EQ(BufArchivo.Config[0], 0x3F72);
  EXPECT_EQ(BufArchivo.Id[3], 0x2);
  EXPECT_EQ(BufArchivo.Datos[0], 0xA5);
  EXPECT_EQ(BufArchivo.Datos[1], 0x5A);
  ComparaTodo(archivo);
}

TEST_F(Externos, Gpasm18F452) {
  Selecciona("18F452");
  const std::string archivo = Ensambla("p452", R"(
	list p=18f452
	config OSC=HS, WDT=OFF, LVP=OFF, CP0=ON
	__idlocs 0x200000, 0x1
	__idlocs 0x200007, 0xF
	org 0
	goto main
	org 0x20
main:	movlw 0x55
	org 0x7FFE
	nop
	org 0xF00000
	de 0x11, 0x22, 0x33
	org 0xF000FF
	de 0x44
	end
)");
  ASSERT_EQ(CargaHex(archivo), 0) << LeeTodo(archivo);
  EXPECT_EQ(BufArchivo.Prog[0], 0xEF10);  // goto 0x20
  EXPECT_EQ(BufArchivo.Prog[1], 0xF000);
  EXPECT_EQ(BufArchivo.Prog[0x10], 0x0E55);
  EXPECT_EQ(BufArchivo.Prog[0x3FFF], 0x0000);
  EXPECT_EQ(BufArchivo.Id[0], 0xFF01);
  EXPECT_EQ(BufArchivo.Id[3], 0x0FFF);
  EXPECT_EQ(BufArchivo.Config[0] >> 8, 0x22) << "CONFIG1H: HS oscillator";
  EXPECT_EQ(BufArchivo.Config[0] & 0xFF, 0xFF) << "CONFIG1L is not in the file";
  EXPECT_EQ(BufArchivo.Config[4] & 0x01, 0) << "CONFIG5L: block 0 protected";
  EXPECT_EQ((std::vector<uint16_t>(BufArchivo.Datos.begin(), BufArchivo.Datos.begin() + 4)),
            (std::vector<uint16_t>{0x11, 0x22, 0x33, 0xFFFF}));
  EXPECT_EQ(BufArchivo.Datos[255], 0x44);
  ComparaTodo(archivo);
}

TEST_F(Externos, OurFilesReadBackBySrecCat) {
  for (const char* d : {"16F877a", "18F452", "18F8720", "30F6014"}) {
    SCOPED_TRACE(d);
    Selecciona(d);
    LlenaAzar(11);
    const std::string archivo = Ruta(std::string(d) + ".hex");
    ASSERT_EQ(GuardaHex(archivo), 0);
    ComparaTodo(archivo, true);
  }
}

TEST_F(Externos, FilesSrecCatWritesLoadToTheSameImage) {
  auto original = std::make_unique<TBuffers>();
  for (const char* d : {"16F877a", "18F8720", "30F6014"}) {
    SCOPED_TRACE(d);
    Selecciona(d);
    LlenaAzar(23);
    ASSERT_EQ(GuardaHex(Ruta("nuestro.hex")), 0);
    ASSERT_EQ(CargaHex(Ruta("nuestro.hex")), 0);
    *original = BufArchivo;
    // srec_cat's own line length, address records, LF line ends and a
    // start-address record.
    Ejecuta("srec_cat nuestro.hex -Intel -o suyo.hex -Intel -execution-start-address=0x100");
    ASSERT_NE(LeeTodo(carpeta / "suyo.hex").find(":04000005"), std::string::npos);
    ASSERT_EQ(CargaHex(Ruta("suyo.hex")), 0);
    EXPECT_TRUE(BufArchivo.Prog == original->Prog);
    EXPECT_TRUE(BufArchivo.Datos == original->Datos);
    EXPECT_TRUE(BufArchivo.Config == original->Config);
    EXPECT_TRUE(BufArchivo.Id == original->Id);
    EXPECT_TRUE(BufArchivo.Exec == original->Exec);
  }
}

TEST_F(Externos, SerialEepromImagesBothWays) {
  Selecciona("24C512");
  std::string bytes(65536, '\0');
  std::mt19937 azar(5);
  for (auto& c : bytes) c = static_cast<char>(azar());
  EscribeTodo(carpeta / "dump.bin", bytes);
  Ejecuta("srec_cat dump.bin -Binary -o dump.hex -Intel");
  ASSERT_EQ(CargaArchivoI2C(Ruta("dump.hex")), 0);
  for (std::size_t k = 0; k < bytes.size(); ++k)
    ASSERT_EQ(BufArchivo.Prog[k], static_cast<unsigned char>(bytes[k])) << k;
  ASSERT_EQ(GuardaArchivoI2C(Ruta("ours.hex")), 0);
  Ejecuta("srec_cat ours.hex -Intel -fill 0xFF 0 0x10000 -o back.bin -Binary");
  std::string esperado = bytes;  // 0xFF cells are blank and not written
  EXPECT_EQ(LeeTodo(carpeta / "back.bin"), esperado);
}

}  // namespace
}  // namespace hexprueba
