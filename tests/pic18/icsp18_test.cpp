// The PIC18 engine on the pin-level link against the simulated parts.

#include <algorithm>

#include "banco_pic18.h"
#include "pg_proteccion.h"

namespace {

constexpr TCaso18 Casos[] = {
    {"F452_LPT", Indice18F452, false},
    {"F452_COM", Indice18F452, true},
    {"F4550_LPT", Indice18F4550, false},
    {"F4550_COM", Indice18F4550, true},
    {"F4620_LPT", Indice18F4620, false},
};

class Icsp18 : public ::testing::TestWithParam<TCaso18> {};

TEST_P(Icsp18, ProgramsVerifiesAndReadsBack) {
  // Through the flash family's entry points, as the operation runner calls them.
  Banco18 b(GetParam().Indice, GetParam().Com);
  // Whatever an earlier user left in the part, the erase clears.
  for (uint32_t i = 0; i < 64; ++i) b.chip->Memoria.PonPalabraProg(i * 97, 0x0000);
  b.chip->Memoria.Ee[5] = 0x00;
  ImagenPrueba18(b.chip->Memoria.Modelo());
  const TBuffers imagen = BufDispositivo;

  ASSERT_FALSE(ProgramaPic()) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  b.SinFaltas();
  EsperaMemoriaIgual(b.chip->Memoria, imagen);

  // Verify against the image, then read back.
  BufArchivo = imagen;
  LimpiaBuffers(BufDispositivo);
  ASSERT_FALSE(VerificaPic()) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  b.SinFaltas();
  EsperaLeidoIgual(imagen);
  LimpiaBuffers(BufDispositivo);
  ASSERT_FALSE(LeerPic());
  EsperaLeidoIgual(imagen);
  EXPECT_FALSE(b.chip->EnProgramacion);
  EXPECT_TRUE(b.ventana.Mensajes.empty());
}

TEST_P(Icsp18, AProtectedPartReadsZeroAndProgramsOnlyAfterTheErase) {
  Banco18 b(GetParam().Indice, GetParam().Com);
  TMemoriaPic18& m = b.chip->Memoria;
  // An earlier user's program with every code block, the boot block and the
  // data EEPROM protected.
  for (uint32_t i = 0; i < PicActual.ProgTam; i += 61) m.PonPalabraProg(i, 0x1234);
  std::fill(m.Ee.begin(), m.Ee.end(), 0x5A);
  m.Config[8] = 0x00;
  m.Config[9] = 0x00;
  m.Id[0] = 0x42;

  // A read shows what the chip gives: zeros, with the IDs and the
  // configuration readable, and says the part is protected.
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  ASSERT_FALSE(LeerPic());
  const std::string aviso =
      TextoIdioma("pg_avisos*", "4*") + " " + TextosZona[0] + ", " + TextosZona[3];
  EXPECT_EQ(b.ventana.Mensajes, std::vector<std::string>{aviso});
  EXPECT_EQ(b.ventana.Lineas.back(), " " + aviso);
  const TBuffers& leido = BufDispositivo;
  EXPECT_TRUE(std::all_of(leido.Prog.begin(), leido.Prog.begin() + PicActual.ProgTam, [](uint16_t w) { return w == 0; }));
  EXPECT_TRUE(std::all_of(leido.Datos.begin(), leido.Datos.begin() + PicActual.EeTam, [](uint16_t w) { return w == 0; }));
  EXPECT_EQ(leido.Config[4], 0x0000);
  EXPECT_EQ(leido.Id[0] & 0xFF, 0x42);

  // Without an erase the protected cells keep what they hold.
  const uint32_t enBloque0 = m.Modelo().BytesBoot + 0x102;
  for (const uint32_t d : {uint32_t{0x102}, enBloque0}) {
    ASSERT_EQ(m.Prog[d], 0xFF);
    EXPECT_TRUE(m.ProgramaFlash(d, 0x00));
    EXPECT_EQ(m.Prog[d], 0xFF) << "a write to a protected block took at " << d;
  }
  m.EscribeConfig(0x300008, 0x0F);
  EXPECT_EQ(m.Config[8], 0x00) << "a configuration write released the protection";

  // Programming erases first, so the whole image takes.
  ImagenPrueba18(m.Modelo());
  const TBuffers imagen = BufDispositivo;
  ASSERT_FALSE(ProgramaPic()) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  b.SinFaltas();
  EsperaMemoriaIgual(m, imagen);
  BufArchivo = imagen;
  LimpiaBuffers(BufDispositivo);
  EXPECT_FALSE(VerificaPic()) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
}

// Each protection bit names its own area; the bits the part lacks read 0
// and are no protection.
TEST_P(Icsp18, TheReadNamesTheProtectedAreas) {
  struct TProteccion {
    uint8_t Config5L, Config5H;
    bool Programa, Eeprom;
  };
  constexpr TProteccion Casos[] = {
      {0x0F, 0xC0, false, false},  // nothing protected
      {0x0D, 0xC0, true, false},   // code block 1
      {0x07, 0xC0, true, false},   // code block 3, the last one
      {0x0F, 0x80, true, false},   // boot block
      {0x0F, 0x40, false, true},   // data EEPROM
      {0x0E, 0x40, true, true},
  };
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  for (const TProteccion& c : Casos) {
    Banco18 b(GetParam().Indice, GetParam().Com);
    b.chip->Memoria.Config[8] = c.Config5L;
    b.chip->Memoria.Config[9] = c.Config5H;
    ASSERT_FALSE(LeerPic());
    std::vector<std::string> areas;
    if (c.Programa) areas.push_back(TextosZona[0]);
    if (c.Eeprom) areas.push_back(TextosZona[3]);
    EXPECT_EQ(AreasProtegidas(), areas) << std::hex << int{c.Config5L} << " " << int{c.Config5H};
    EXPECT_EQ(b.ventana.Mensajes.size(), areas.empty() ? 0u : 1u);
  }
}

TEST_P(Icsp18, EraseUsesTheVariantOfTheGroup) {
  Banco18 b(GetParam().Indice, GetParam().Com);
  b.chip->Memoria.PonPalabraProg(0x3000, 0x1234);
  b.chip->Memoria.Id[0] = 0x00;
  b.chip->Memoria.Config[1] = 0x00;
  b.chip->Memoria.Ee[255] = 0x00;
  TipoAccion = 3;
  ASSERT_FALSE(BorraPic());
  // The erase completes while the part stays in programming mode; the
  // runner's next step leaves it.
  EntraProgramacion();
  b.SinFaltas();
  const bool nuevo = GetParam().Indice != Indice18F452;
  EXPECT_EQ(GrupoModUSB, nuevo ? 1 : 0);
  EXPECT_EQ(b.chip->Borrados, std::vector<uint16_t>{static_cast<uint16_t>(nuevo ? 0x0F87 : 0x0080)});
  EXPECT_EQ(b.chip->Memoria.PalabraProg(0x3000), 0xFFFF);
  EXPECT_EQ(b.chip->Memoria.Id[0], 0xFF);
  EXPECT_EQ(b.chip->Memoria.Config[1], b.chip->Memoria.Modelo().MascaraConfig[1]);
  EXPECT_EQ(b.chip->Memoria.Ee[255], 0xFF);
}

TEST_P(Icsp18, BlankPanelsAreSkippedAndAPanelWithOneWordIsWrittenWhole) {
  Banco18 b(GetParam().Indice, GetParam().Com);
  BufDispositivo.Prog[4 * 3 + 2] = 0x1234;  // panel 3, word 2
  BufDispositivo.Prog[4 * 9] = 0x0000;      // panel 9, word 0
  ASSERT_FALSE(ProgramaZona18(BufDispositivo.Prog.data(), 0, 15, "P", Programa18Codigo, 0xFFFF));
  b.SinFaltas();
  const uint32_t fila = b.chip->Memoria.Modelo().BufferEscritura;
  EXPECT_EQ(b.chip->Filas, (std::vector<uint32_t>{24 & ~(fila - 1), 72 & ~(fila - 1)}));
  // Written panels are read back whole, blank ones not at all.
  for (uint32_t d = 0; d < 128; ++d) {
    const bool escrito = (d >= 24 && d < 32) || (d >= 72 && d < 80);
    EXPECT_EQ(b.chip->LecturasProg[d], escrito ? 1 : 0) << "byte " << d;
  }
  EXPECT_EQ(b.chip->Memoria.PalabraProg(14), 0x1234);
  EXPECT_EQ(b.chip->Memoria.PalabraProg(36), 0x0000);
  EXPECT_EQ(b.chip->Memoria.PalabraProg(37), 0xFFFF);
}

TEST_P(Icsp18, DataEepromBlankBytesAreSkipped) {
  Banco18 b(GetParam().Indice, GetParam().Com);
  const uint32_t ini = PicActual.EeIni;
  BufDispositivo.Datos[0] = 0x12;
  BufDispositivo.Datos[2] = 0x00;
  BufDispositivo.Datos[3] = 0x1FF;  // beyond the byte: only the low 8 bits count
  ASSERT_FALSE(ProgramaZona18(BufDispositivo.Datos.data(), ini, ini + 7, "E", Programa18Eeprom, 0x00FF));
  b.SinFaltas();
  EXPECT_EQ(b.chip->EscriturasEe, (std::vector<uint16_t>{0, 2}));
  EXPECT_EQ(b.chip->Memoria.Ee[0], 0x12);
  EXPECT_EQ(b.chip->Memoria.Ee[2], 0x00);
}

TEST_P(Icsp18, ConfigurationIsWrittenCellsZeroToFourThenSixThenFive) {
  Banco18 b(GetParam().Indice, GetParam().Com);
  ImagenPrueba18(b.chip->Memoria.Modelo());
  ASSERT_FALSE(ProgramaZona18(BufDispositivo.Config.data(), PicActual.CfgIni, PicActual.CfgNum, "C",
                              Programa18Config, 0xFFFF));
  b.SinFaltas();
  std::vector<uint32_t> orden;
  for (uint32_t c : {0, 1, 2, 3, 4, 6, 5}) {
    orden.push_back(0x300000 + 2 * c);
    orden.push_back(0x300000 + 2 * c + 1);
  }
  EXPECT_EQ(b.chip->BytesConfig, orden);
  for (uint32_t c = 0; c < 7; ++c) EXPECT_EQ(b.chip->Memoria.PalabraConfig(c), BufDispositivo.Config[c]);
  EXPECT_EQ(ProgresoFw.Posicion, PicActual.CfgNum);
}

INSTANTIATE_TEST_SUITE_P(Partes, Icsp18, ::testing::ValuesIn(Casos),
                         [](const auto& info) { return std::string(info.param.Nombre); });

// --- Errors --------------------------------------------------------------------

TEST(Icsp18Errores, AWordThatDoesNotTakeIsErrorElevenAtItsAddress) {
  Banco18 b(Indice18F452, false);
  // Not erased: a bit already at 0 stays there.
  b.chip->Memoria.PonPalabraProg(4 * 5 + 1, 0xFEFF);
  for (uint32_t i = 0; i < 24; ++i) BufDispositivo.Prog[i] = 0x0100;
  EXPECT_TRUE(ProgramaZona18(BufDispositivo.Prog.data(), 0, 5, "P", Programa18Codigo, 0xFFFF));
  EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 0x2Au);  // panel 5, word 1: byte address 42
  EXPECT_EQ(ContextoError.Esperado, 0x0100);
  EXPECT_EQ(ContextoError.Leido, 0x0000);
  EXPECT_FALSE(b.chip->EnProgramacion);
  EXPECT_EQ(b.ventana.Mensajes.size(), 1u);
  // Nothing after the failing panel was written.
  EXPECT_EQ(b.chip->Filas.size(), 6u);
}

TEST(Icsp18Errores, ConfigurationErrorsNameTheCellThatFailed) {
  // A bit the part does not implement reads 0: writing it fails the check.
  // Cells 6 and 5 are written out of order; the address must follow.
  for (uint32_t malo : {6u, 5u, 0u}) {
    Banco18 b(Indice18F452, false);
    ImagenPrueba18(b.chip->Memoria.Modelo());
    BufDispositivo.Config[malo] |= 0x0010;  // bit 4 of the even byte: not implemented there
    EXPECT_TRUE(ProgramaZona18(BufDispositivo.Config.data(), 0x300000, 7, "C", Programa18Config, 0xFFFF));
    EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
    EXPECT_EQ(ContextoError.Direccion, 0x300000 + 2 * malo) << "cell " << malo;
    EXPECT_EQ(ContextoError.Esperado, BufDispositivo.Config[malo]);
    EXPECT_EQ(ContextoError.Leido, BufDispositivo.Config[malo] & ~0x0010);
    EXPECT_FALSE(b.chip->EnProgramacion);
  }
}

TEST(Icsp18Errores, AnEepromByteThatDoesNotTakeIsErrorElevenAtItsAddress) {
  Banco18 b(Indice18F4550, false);
  // Too short a write time for this part: the read-back shows the old byte.
  TModeloPic18 lento = Modelo18F4550();
  lento.EscrituraEeNs = 20'000'000;
  b.chip = std::make_unique<TPic18Sim>(lento);
  b.banco->Adaptador.Conecta(b.chip.get());
  BufDispositivo.Datos[0] = 0x42;
  EXPECT_TRUE(ProgramaZona18(BufDispositivo.Datos.data(), 0x780000, 0x780003, "E", Programa18Eeprom, 0xFF));
  EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 0x780000u);
  EXPECT_EQ(ContextoError.Esperado, 0x42);
  EXPECT_EQ(ContextoError.Leido, 0xFF);
}

TEST(Icsp18Errores, CancelStopsReadAndProgrammingWithErrorTwentyTwo) {
  for (bool programa : {false, true}) {
    Banco18 b(Indice18F4550, true);
    b.ventana.AlBombear = [](uint32_t n) {
      if (n == 10) Cancelado = true;
    };
    ImagenPrueba18(b.chip->Memoria.Modelo());
    const bool fallo = programa ? ProgramaPic() : LeerPic();
    EXPECT_TRUE(fallo);
    EXPECT_EQ(ContextoError.Codigo, ErrCancelado);
    EXPECT_FALSE(b.chip->EnProgramacion);
    // It stops at the first poll after the cancel: ten words, or ten
    // panels; the run's closing 10 follows.
    EXPECT_EQ(ProgresoFw.Posicion, (programa ? 40u : 10u) + 10u);
    EXPECT_EQ(b.chip->Borrados.size(), programa ? 1u : 0u);
    b.SinFaltas();
  }
}

// --- What the log and the gauge show --------------------------------------------

TEST(Icsp18Registro, LogLinesNameActionAreaCountAndKind) {
  Banco18 b(Indice18F452, false);
  TextosEntorno[15] = "Programando";
  TextosEntorno[16] = "Leyendo";
  TextosEntorno[21] = "bytes";
  TextosEntorno[22] = "palabras";
  TextosZona = {"Programa", "ID", "Config", "Eeprom"};
  ImagenPrueba18(b.chip->Memoria.Modelo());
  ASSERT_FALSE(ProgramaAreas18());
  ASSERT_FALSE(LeeAreas18());
  EXPECT_EQ(b.ventana.Lineas, (std::vector<std::string>{
                                  " Programando Programa 16384 palabras",
                                  " Programando ID     4 palabras",
                                  " Programando Eeprom   256 bytes",
                                  " Programando Config     7 palabras",
                                  " Leyendo Programa 16384 palabras",
                                  " Leyendo ID     4 palabras",
                                  " Leyendo Config     7 palabras",
                                  " Leyendo Eeprom   256 bytes",
                              }));
  TextosEntorno = {};
  TextosZona = {};
}

TEST(Icsp18Registro, PartsWithoutDataEepromSkipIt) {
  Banco18 b(Indice18F4550, false);
  IndiceListPics = 74;  // 18F2510: no data EEPROM
  PonDispositivo();
  ASSERT_EQ(PicActual.EeTam, 0);
  ImagenPrueba18(b.chip->Memoria.Modelo());
  BufDispositivo.Datos[0] = 0x12;  // not the part's: never written
  ASSERT_FALSE(ProgramaAreas18());
  ASSERT_FALSE(LeeAreas18());
  EXPECT_EQ(b.ventana.Lineas.size(), 6u);
  EXPECT_TRUE(b.chip->EscriturasEe.empty());
}

// The 18F2220 group's code blocks are 2 KB, after a 512-byte boot block:
// two on the 4 KB parts, four on the 8 KB ones. A part read unprotected
// names no protection (its missing CONFIG5L bits read 0), and an image
// that protects the last block programs and verifies right after.
TEST(Icsp18Bloques, TheLastCodeBlockOfThe2220GroupIsProtectedAsTheImageSays) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  for (const uint8_t indice : {Indice18F2220, Indice18F2320, Indice18F4220, Indice18F4320}) {
    SCOPED_TRACE(DaNombreDispositivo(0, indice));
    {
      Banco18 b(indice, false);
      ASSERT_EQ(b.chip->Memoria.Modelo().BytesProg, 2 * PicActual.ProgTam);
      ASSERT_FALSE(LeerPic());
      EXPECT_TRUE(AreasProtegidas().empty());
      EXPECT_TRUE(b.ventana.Mensajes.empty());
    }
    Banco18 b(indice, false);
    const TModeloPic18& modelo = b.chip->Memoria.Modelo();
    ImagenPrueba18(modelo);
    uint8_t ultimo = 0x80;  // the code-protection bit of the last block
    while (ultimo && !(modelo.MascaraConfig[8] & ultimo)) ultimo >>= 1;
    ASSERT_NE(ultimo, 0);
    BufDispositivo.Config[4] = static_cast<uint16_t>(BufDispositivo.Config[4] & ~ultimo);
    const TBuffers imagen = BufDispositivo;
    TipoAccion = 0;
    ASSERT_FALSE(ProgramaPic()) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
    b.SinFaltas();
    ASSERT_TRUE(b.chip->Memoria.Protegido(modelo.BytesProg - 1));
    ASSERT_FALSE(b.chip->Memoria.Protegido(modelo.BytesProg - 0x800 - 1));
    BufArchivo = imagen;
    LimpiaBuffers(BufDispositivo);
    EXPECT_FALSE(VerificaPic()) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
    EXPECT_EQ(AreasProtegidas(), std::vector<std::string>{TextosZona[0]});
  }
}

}  // namespace
