// The catalogue against the published device tables, written here group by
// group as the tables give them, independently of the catalogue's rows.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "pg_catalogo.h"
#include "pg_pic.h"

namespace {

struct Mapa {
  std::string Nombre;
  uint8_t Familia = 0, Editor = 255, Tiempo = 0, Zocalo = 1, ModUSB = 0;
  uint32_t ProgFin = 0, ProgTam = 0;
  uint16_t ProgMask = 0;
  int32_t CfgIni = 0, CfgFin = 0;
  uint32_t CfgNum = 0;
  uint16_t CfgMask = 0;
  int32_t IdIni = 0, IdFin = 0;
  uint16_t IdNum = 0, IdMask = 0;
  int32_t EeIni = 0, EeFin = 0;
  uint16_t EeTam = 0, EeMask = 0;
  bool Exec = false;
};

bool En(int i, std::initializer_list<int> lista) {
  for (int v : lista) if (v == i) return true;
  return false;
}
bool Entre(int i, int a, int b) { return i >= a && i <= b; }

const char* const NombresPics[122] = {
    "10F200", "10F202", "10F204", "10F206", "12F629", "12F635", "12F675", "12F683",
    "16F627", "16F627a", "16F628", "16F628a", "16F630", "16F636", "16F639", "16F648a",
    "16F676", "16F684", "16F688", "16F73", "16F74", "16F76", "16F77", "16F716",
    "16F737", "16F747", "16F767", "16F777", "16F83", "16F84", "16F84a", "16F87",
    "16F88", "16F818", "16F819", "16F870", "16F871", "16F872", "16F873", "16F873a",
    "16F874", "16F874a", "16F876", "16F876a", "16F877", "16F877a",
    "18F242", "18F248", "18F252", "18F258", "18F442", "18F448", "18F452", "18F458",
    "18F1220", "18F1320", "18F2220", "18F2320", "18F4220", "18F4320",
    "18F2331", "18F2431", "18F4331", "18F4431",
    "18F6520", "18F6620", "18F6720", "18F8520", "18F8620", "18F8720",
    "18F2410", "18F2420", "18F2455", "18F2480", "18F2510", "18F2515", "18F2520", "18F2525",
    "18F2550", "18F2580", "18F2585", "18F2610", "18F2620", "18F2680",
    "18F4410", "18F4420", "18F4455", "18F4480", "18F4510", "18F4515", "18F4520", "18F4525",
    "18F4550", "18F4580", "18F4585", "18F4610", "18F4620", "18F4680",
    "30F2010", "30F2011", "30F2012", "30F3010", "30F3011", "30F3012", "30F3013", "30F3014",
    "30F4011", "30F4012", "30F4013", "30F5011", "30F5013", "30F5015",
    "30F6010", "30F6011", "30F6011a", "30F6012", "30F6012a", "30F6013", "30F6013a",
    "30F6014", "30F6014a", "30F6015"};

const char* const NombresPicsC[38] = {
    "16C61", "16C62", "16C62a/b", "16C63", "16C63a", "16C64", "16C64a", "16C65", "16C65a/b",
    "16C66", "16C67", "16C620/a", "16C621/a", "16C622/a", "16CE623", "16CE624", "16CE625",
    "16C71", "16C72", "16C72a", "16C73", "16C73a/b", "16C74", "16C74a/b", "16C76", "16C77",
    "16C710", "16C711", "16C712", "16C716", "16C745", "16C765", "16C773", "16C774",
    "16C923", "16C924", "16C925", "16C926"};

uint8_t TiempoFlash(int i) {
  if (Entre(i, 0, 3)) return 2;
  if (Entre(i, 46, 97)) return 1;
  if (Entre(i, 4, 7) || i == 9 || Entre(i, 11, 18)) return 3;
  if (Entre(i, 19, 27) || En(i, {33, 34, 39, 41, 43, 45})) return 1;
  if (En(i, {28, 29})) return 8;
  if (En(i, {31, 32})) return 2;
  return 4;
}

struct Fila14 {
  std::initializer_list<int> Indices;
  uint8_t Editor;
  uint32_t ProgFin;
  int32_t CfgFin;
  uint32_t CfgNum;
  uint16_t CfgMask;
  int32_t EeFin;
  uint16_t EeTam;
};
const Fila14 Tabla14[] = {
    {{4, 6, 12, 16}, 4, 1023, 0x2007, 1, 0x31FF, 0x217F, 128},
    {{5}, 6, 1023, 0x2009, 3, 0x3FFF, 0x217F, 128},
    {{7, 17}, 6, 2047, 0x2008, 2, 0x3FFF, 0x21FF, 256},
    {{13, 14}, 6, 2047, 0x2009, 3, 0x3FFF, 0x21FF, 256},
    {{18}, 6, 4095, 0x2008, 2, 0x3FFF, 0x21FF, 256},
    {{8}, 0, 1023, 0x2007, 1, 0x3DFF, 0x217F, 128},
    {{10}, 0, 2047, 0x2007, 1, 0x3DFF, 0x217F, 128},
    {{9}, 0, 1023, 0x2007, 1, 0x21FF, 0x217F, 128},
    {{11}, 0, 2047, 0x2007, 1, 0x21FF, 0x217F, 128},
    {{15}, 0, 4095, 0x2007, 1, 0x21FF, 0x21FF, 256},
    {{28}, 0, 511, 0x2007, 1, 0x001F, 0x213F, 64},
    {{29, 30}, 0, 1023, 0x2007, 1, 0x001F, 0x213F, 64},
    {{33}, 0, 1023, 0x2007, 1, 0x3FFF, 0x217F, 128},
    {{34}, 0, 2047, 0x2007, 1, 0x3FFF, 0x21FF, 256},
    {{19, 20}, 5, 4095, 0x2007, 1, 0x005F, 0, 0},
    {{21, 22}, 5, 8191, 0x2007, 1, 0x005F, 0, 0},
    {{23}, 5, 2047, 0x2007, 1, 0x20CF, 0, 0},
    {{24, 25}, 5, 4095, 0x2008, 2, 0x3FFF, 0, 0},
    {{26, 27}, 5, 8191, 0x2008, 2, 0x3FFF, 0, 0},
    {{31, 32}, 5, 4095, 0x2008, 2, 0x3FFF, 0x21FF, 256},
    {{35, 36, 37}, 1, 2047, 0x2007, 1, 0x3BFF, 0x213F, 64},
    {{38, 40}, 1, 4095, 0x2007, 1, 0x3BFF, 0x217F, 128},
    {{39, 41}, 1, 4095, 0x2007, 1, 0x2FCF, 0x217F, 128},
    {{42, 44}, 1, 8191, 0x2007, 1, 0x3BFF, 0x21FF, 256},
    {{43, 45}, 1, 8191, 0x2007, 1, 0x2FCF, 0x21FF, 256},
};

struct Fila18 {
  std::initializer_list<int> Indices;
  uint8_t Editor;
  uint32_t ProgFin, ProgTam;
  uint16_t Ee;
};
const Fila18 Tabla18[] = {
    {{46, 47, 50, 51}, 2, 0x3FFF, 8192, 256},
    {{48, 49, 52, 53}, 2, 0x7FFF, 16384, 256},
    {{54, 56, 58}, 3, 0x0FFF, 2048, 256},
    {{55, 57, 59}, 3, 0x1FFF, 4096, 256},
    {{60, 62}, 10, 0x1FFF, 4096, 256},
    {{61, 63}, 10, 0x3FFF, 8192, 256},
    {{64, 67}, 3, 0x7FFF, 16384, 1024},
    {{65, 68}, 3, 0xFFFF, 32768, 1024},
    {{66, 69}, 3, 0x1FFFF, 65536, 1024},
    {{70, 84}, 9, 0x3FFF, 8192, 0},
    {{71, 73, 85, 87}, 9, 0x3FFF, 8192, 256},
    {{72, 86}, 9, 0x5FFF, 12288, 256},
    {{74, 88}, 9, 0x7FFF, 16384, 0},
    {{76, 78, 79, 90, 92, 93}, 9, 0x7FFF, 16384, 256},
    {{75, 89}, 9, 0xBFFF, 24576, 0},
    {{77, 80, 91, 94}, 9, 0xBFFF, 24576, 1024},
    {{81, 95}, 9, 0xFFFF, 32768, 0},
    {{82, 83, 96, 97}, 9, 0xFFFF, 32768, 1024},
};

struct Fila30 {
  int Desde, Hasta;
  std::initializer_list<int> Indices;  // when not a range
  uint32_t ProgTam;
  int32_t EeIni;
  uint16_t EeTam;
};
const Fila30 Tabla30[] = {
    {98, 98, {}, 8192, 0x7FFC00, 1024},
    {99, 100, {}, 8192, 0x7FFC00, 0},
    {101, 105, {}, 16384, 0x7FFC00, 1024},
    {106, 108, {}, 32768, 0x7FFC00, 1024},
    {109, 111, {}, 45056, 0x7FFC00, 1024},
    // The 6011 and 6013 hold 44K instructions (132 KB), not 40K.
    {0, -1, {113, 114, 117, 118}, 90112, 0x7FF800, 2048},
    {0, -1, {112, 115, 116, 119, 120, 121}, 98304, 0x7FF000, 4096},
};

// Expected record of a ListPics entry, or an empty name when no group of
// the tables holds the index (which the test reports).
Mapa EsperadoPics(int i) {
  Mapa m;
  m.Nombre = NombresPics[i];
  m.Tiempo = TiempoFlash(i);
  m.Zocalo = Entre(i, 0, 18) || i == 23 || Entre(i, 28, 34) || En(i, {54, 55}) ? 0 : 1;
  if (i <= 3) {
    m.Familia = 10; m.Editor = 11;
    m.ProgFin = (i == 0 || i == 2) ? 255 : 511; m.ProgTam = m.ProgFin + 1; m.ProgMask = 0x0FFF;
    m.CfgIni = m.CfgFin = 0x0FFF; m.CfgNum = 1; m.CfgMask = 0x0FFF;
    m.IdIni = (i == 0 || i == 2) ? 0x100 : 0x200; m.IdFin = m.IdIni + 3;
    m.IdNum = 4; m.IdMask = 0x0FFF; m.EeMask = 0xFFFF;
    return m;
  }
  if (i <= 45) {
    m.Familia = 16; m.ProgMask = 0x3FFF; m.CfgIni = 0x2007;
    m.IdIni = 0x2000; m.IdFin = 0x2003; m.IdNum = 4; m.IdMask = 0x000F; m.EeMask = 0x00FF;
    int hallados = 0;
    for (const Fila14& f : Tabla14) {
      if (!En(i, f.Indices)) continue;
      ++hallados;
      m.Editor = f.Editor; m.ProgFin = f.ProgFin; m.CfgFin = f.CfgFin; m.CfgNum = f.CfgNum;
      m.CfgMask = f.CfgMask; m.EeFin = f.EeFin; m.EeTam = f.EeTam;
      m.EeIni = f.EeTam ? 0x2100 : 0;
    }
    if (hallados != 1) m.Nombre.clear();
    m.ProgTam = m.ProgFin + 1;
    return m;
  }
  if (i <= 97) {
    m.Familia = 18; m.ProgMask = 0xFFFF; m.CfgIni = 0x300000; m.CfgFin = 0x30000D;
    m.CfgNum = 7; m.CfgMask = 0xFFFF; m.IdIni = 0x200000; m.IdFin = 0x200007;
    m.IdNum = 4; m.IdMask = 0xFFFF; m.EeMask = 0x00FF; m.ModUSB = i >= 70 ? 1 : 0;
    int hallados = 0;
    for (const Fila18& f : Tabla18) {
      if (!En(i, f.Indices)) continue;
      ++hallados;
      m.Editor = f.Editor; m.ProgFin = f.ProgFin; m.ProgTam = f.ProgTam;
      if (f.Ee == 256) { m.EeIni = 0x780000; m.EeFin = 0x7800FF; m.EeTam = 256; }
      if (f.Ee == 1024) { m.EeIni = 0x780000; m.EeFin = 0x7803FF; m.EeTam = 1024; }
    }
    if (hallados != 1) m.Nombre.clear();
    return m;
  }
  m.Familia = 30; m.Editor = 8; m.Tiempo = 4; m.ProgMask = 0xFFFF;
  m.CfgIni = 0xF80000; m.CfgFin = 0xF8010E; m.CfgNum = 24; m.CfgMask = 0xFFFF;
  m.IdMask = 0xFFFF; m.EeFin = 0x7FFFFF; m.EeMask = 0xFFFF; m.Exec = true;
  int hallados = 0;
  for (const Fila30& f : Tabla30) {
    if (!(Entre(i, f.Desde, f.Hasta) || En(i, f.Indices))) continue;
    ++hallados;
    m.ProgTam = f.ProgTam; m.EeIni = f.EeIni; m.EeTam = f.EeTam;
  }
  if (hallados != 1) m.Nombre.clear();
  m.ProgFin = 2 * m.ProgTam - 2;
  return m;
}

Mapa EsperadoPicsC(int i) {
  Mapa m;
  m.Nombre = NombresPicsC[i];
  m.Familia = 16; m.Editor = 7; m.Tiempo = 4;
  m.Zocalo = i == 0 || Entre(i, 11, 17) || Entre(i, 26, 29) ? 0 : 1;
  if (En(i, {11, 14, 26})) m.ProgFin = 511;
  else if (En(i, {0, 12, 15, 17, 27, 28})) m.ProgFin = 1023;
  else if (En(i, {1, 2, 5, 6, 13, 16, 18, 19, 29})) m.ProgFin = 2047;
  else if (En(i, {9, 10, 24, 25, 30, 31, 37})) m.ProgFin = 8191;
  else m.ProgFin = 4095;
  m.ProgTam = m.ProgFin + 1; m.ProgMask = 0x3FFF;
  m.CfgIni = m.CfgFin = 0x2007; m.CfgNum = 1;
  if (En(i, {0, 17})) m.CfgMask = 0x001F;
  else if (En(i, {1, 5, 7, 20, 22})) m.CfgMask = 0x003F;
  else if (En(i, {26, 27})) m.CfgMask = 0x3FFF;
  else if (En(i, {30, 31, 34, 35})) m.CfgMask = 0x3F3F;
  else if (En(i, {36, 37})) m.CfgMask = 0x007F;
  else m.CfgMask = 0x3F7F;
  m.IdIni = 0x2000; m.IdFin = 0x2003; m.IdNum = 4; m.IdMask = 0x000F;
  return m;
}

Mapa EsperadoEeprom(int i) {
  const char* nombres[10] = {"24C01", "24C02", "24C04", "24C08", "24C16",
                             "24C32", "24C64", "24C128", "24C256", "24C512"};
  const uint32_t fin[10] = {127, 255, 511, 1023, 2047, 4095, 8191, 0x3FFF, 0x7FFF, 0xFFFF};
  Mapa m;
  m.Nombre = nombres[i]; m.Familia = 24; m.Tiempo = 4; m.Zocalo = 1;
  m.ProgFin = fin[i]; m.ProgTam = fin[i] + 1; m.ProgMask = 0xFF;
  m.IdFin = 1; m.IdNum = 2; m.EeFin = 1; m.EeTam = 2;
  return m;
}

// The editor the main window loads the buffers into, by its own table.
uint8_t EditorDeCarga(int i) {
  if (Entre(i, 0, 3)) return 11;
  if (En(i, {4, 6, 12, 16})) return 4;
  if (En(i, {5, 7, 13, 14, 17, 18})) return 6;
  if (Entre(i, 19, 27) || En(i, {31, 32})) return 5;
  if (Entre(i, 35, 45)) return 1;
  if (Entre(i, 46, 53)) return 2;
  if (Entre(i, 54, 59) || Entre(i, 64, 69)) return 3;
  if (Entre(i, 60, 63)) return 10;
  if (Entre(i, 70, 97)) return 9;
  if (Entre(i, 98, 121)) return 8;
  if (i >= 122) return 255;
  return 0;
}

// Puts a recognisable value in every field, so that a field the device
// change forgets to set shows up.
void EnsuciaRegistro() {
  PicActual = TPic{};
  PicActual.Nombre = "x";
  PicActual.ExecTam = 77; PicActual.ExecIni = 77; PicActual.ExecFin = 77;
  PicActual.EeMask = 0x1234; PicActual.IdIni = 0x55; PicActual.CfgMask = 0x4321;
}

class Catalogo_ : public ::testing::Test {
protected:
  void SetUp() override {
    ClaseDispositivo = 0; IndiceListPics = IndiceListPicsC = IndiceListEeprom = 0;
    EstadoEditorConf = 255; GrupoModUSB = 0;
  }
  void TearDown() override { PonGanchoDispositivo(nullptr); }

  void Selecciona(uint8_t clase, uint8_t indice) {
    ClaseDispositivo = clase;
    (clase == 1 ? IndiceListPicsC : clase == 2 ? IndiceListEeprom : IndiceListPics) = indice;
  }

  void Compara(const Mapa& m, uint8_t clase, int i) {
    SCOPED_TRACE("class " + std::to_string(clase) + " index " + std::to_string(i));
    ASSERT_FALSE(m.Nombre.empty()) << "no group of the tables holds this index";
    EnsuciaRegistro();
    Selecciona(clase, static_cast<uint8_t>(i));
    ASSERT_EQ(PonDispositivo(), 0);
    const TPic& p = PicActual;
    EXPECT_EQ(p.Nombre, m.Nombre);
    EXPECT_EQ(p.Familia, m.Familia);
    EXPECT_EQ(p.TiempoPgm, m.Tiempo);
    EXPECT_EQ(EstadoEditorConf, m.Editor);
    EXPECT_EQ(GrupoModUSB, m.ModUSB);
    EXPECT_EQ(DaZocalo(static_cast<uint16_t>(i)), m.Zocalo);
    EXPECT_EQ(p.ProgIni, 0);
    EXPECT_EQ(p.ProgFin, m.ProgFin);
    EXPECT_EQ(p.ProgTam, m.ProgTam);
    EXPECT_EQ(p.ProgMask, m.ProgMask);
    EXPECT_EQ(p.CfgIni, m.CfgIni);
    EXPECT_EQ(p.CfgFin, m.CfgFin);
    EXPECT_EQ(p.CfgNum, m.CfgNum);
    EXPECT_EQ(p.CfgMask, m.CfgMask);
    EXPECT_EQ(p.IdIni, m.IdIni);
    EXPECT_EQ(p.IdFin, m.IdFin);
    EXPECT_EQ(p.IdNum, m.IdNum);
    EXPECT_EQ(p.IdMask, m.IdMask);
    EXPECT_EQ(p.EeIni, m.EeIni);
    EXPECT_EQ(p.EeFin, m.EeFin);
    EXPECT_EQ(p.EeTam, m.EeTam);
    EXPECT_EQ(p.EeMask, m.EeMask);
    if (m.Exec) {
      EXPECT_EQ(p.ExecTam, 1472);
      EXPECT_EQ(p.ExecIni, 0x800000);
      EXPECT_EQ(p.ExecFin, 0x8005BE);
    } else {
      EXPECT_EQ(p.ExecTam, 77);  // left as it was
    }
    // The areas fit the fixed buffers.
    EXPECT_LE(p.ProgTam, TamProg);
    EXPECT_LE(p.EeTam, TamDatos);
    EXPECT_LE(p.CfgNum, TamConfig);
    EXPECT_LE(p.IdNum, TamId);
    // The lists show the name behind one blank (the four PIC18 entries
    // with two part numbers show both).
    const TEntradaCatalogo* e = EntradaCatalogo(clase, i);
    ASSERT_NE(e, nullptr);
    if (clase == 0 && En(i, {46, 48, 50, 52}))
      EXPECT_EQ(std::string(e->Texto).rfind(" " + m.Nombre + "-", 0), 0u) << e->Texto;
    else
      EXPECT_EQ(std::string(e->Texto), " " + m.Nombre);
    EXPECT_EQ(e->Memoria[0], ' ');
  }
};

TEST_F(Catalogo_, EveryFlashEntryMatchesThePublishedTables) {
  ASSERT_EQ(ListaCatalogo(0).size(), 122u);
  for (int i = 0; i < 122; ++i) {
    Compara(EsperadoPics(i), 0, i);
    EXPECT_EQ(EditorDeDispositivo(0, i), EditorDeCarga(i)) << i;
  }
}

TEST_F(Catalogo_, EveryEpromEntryMatchesThePublishedTables) {
  ASSERT_EQ(ListaCatalogo(1).size(), 38u);
  for (int i = 0; i < 38; ++i) Compara(EsperadoPicsC(i), 1, i);
}

TEST_F(Catalogo_, EveryEepromEntryMatchesThePublishedTables) {
  ASSERT_EQ(ListaCatalogo(2).size(), 10u);
  for (int i = 0; i < 10; ++i) Compara(EsperadoEeprom(i), 2, i);
}

// The hint of a device list: program size ("K." for whole kilo, else words
// or bytes) and the data EEPROM in cells, as the lists describe them.
std::string Tamano(uint32_t n, const char* unidad) {
  return n % 1024 == 0 ? std::to_string(n / 1024) + "K." : std::to_string(n) + unidad;
}

TEST_F(Catalogo_, MemoryDescriptionsAgreeWithTheMemoryMap) {
  for (int i = 0; i < 122; ++i) {
    const Mapa m = EsperadoPics(i);
    const uint32_t prog = m.Familia == 18 ? m.ProgTam * 2
                          : m.Familia == 30 ? m.ProgTam / 2 * 3
                                            : m.ProgTam;
    std::string texto = " " + Tamano(prog, " w.") + " Flash";
    if (m.EeTam && m.Familia != 10) texto += " - " + std::to_string(m.EeTam) + " Eeprom";
    EXPECT_EQ(ListaCatalogo(0)[i].Memoria, texto) << i;
  }
  for (int i = 0; i < 38; ++i)
    EXPECT_EQ(ListaCatalogo(1)[i].Memoria,
              " " + Tamano(EsperadoPicsC(i).ProgTam, " w.") + " Eprom") << i;
  for (int i = 0; i < 10; ++i) {
    const uint32_t n = EsperadoEeprom(i).ProgTam;
    EXPECT_EQ(ListaCatalogo(2)[i].Memoria,
              n < 1024 ? " " + std::to_string(n) + " b." : " " + std::to_string(n / 1024) + " Kb.")
        << i;
  }
}

TEST_F(Catalogo_, FamilyComboItems) {
  EXPECT_STREQ(ClasesCatalogo[0].Texto, "PIC F");
  EXPECT_STREQ(ClasesCatalogo[1].Texto, "PIC C");
  EXPECT_STREQ(ClasesCatalogo[2].Texto, "I2C");
  EXPECT_STREQ(ClasesCatalogo[0].Memoria, "Microchip");
  EXPECT_STREQ(ClasesCatalogo[1].Memoria, "Microchip");
  EXPECT_STREQ(ClasesCatalogo[2].Memoria, "Eeprom serial");
}

TEST_F(Catalogo_, StartUpClassCountsAsFlash) {
  Selecciona(255, 0);
  IndiceListPics = 44;
  ASSERT_EQ(PonDispositivo(), 0);
  EXPECT_EQ(PicActual.Nombre, "16F877");
  EXPECT_EQ(DaZocalo(0), 0);
}

TEST_F(Catalogo_, EpromDelayFollowsTheFlashListSelection) {
  // The delay table is read by the flash list's index whatever the class.
  Selecciona(1, 0);
  IndiceListPics = 28;
  ASSERT_EQ(PonDispositivo(), 0);
  EXPECT_EQ(PicActual.TiempoPgm, 8);
  IndiceListPics = 100;
  ASSERT_EQ(PonDispositivo(), 0);
  EXPECT_EQ(PicActual.TiempoPgm, 4);
}

TEST(Nombres, FamilyFromTheFirstTwoDigits) {
  const std::pair<const char*, int> casos[] = {
      {"10F200", 10}, {"12F675", 16}, {"16C61", 16}, {"18F452", 18},
      {"30F6010", 30}, {"24C512", 24}, {"", 0}, {"X1", 0}};
  for (auto [nombre, familia] : casos) {
    PicActual.Nombre = nombre;
    EXPECT_EQ(DaFamilia(), familia) << nombre;
  }
}

TEST(Nombres, CommandLineLookup) {
  EXPECT_EQ(BuscaPic("pic30f6011a"), 114);
  EXPECT_EQ(BuscaPic("PIC30F6011A"), 114);
  EXPECT_EQ(BuscaPic("PIC16F84A"), 30);
  EXPECT_EQ(BuscaPic("PIC18F4550"), 92);
  EXPECT_EQ(BuscaPic("PIC18F242"), 46);
  EXPECT_EQ(BuscaPic("PIC18F452"), 52);
  EXPECT_EQ(BuscaPic("16F84A"), 255);           // the prefix is part of the name
  EXPECT_EQ(BuscaPic("PIC18F242-2439"), 255);   // the list's second number is not
  EXPECT_EQ(BuscaPic("PIC16F84A "), 255);       // compared as a whole
  EXPECT_EQ(BuscaPic(" PIC16F84A"), 255);
  EXPECT_EQ(BuscaPic("PIC16F8"), 255);
  EXPECT_EQ(BuscaPic("PIC16C61"), 255);         // EPROM parts are not in this list
  EXPECT_EQ(BuscaPic(""), 255);
  for (int i = 0; i < 122; ++i) {
    const std::string n = NombresPics[i];
    EXPECT_EQ(BuscaPic("PIC" + n), i) << n;
    std::string bajo = "pic" + n;
    for (char& c : bajo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(BuscaPic(bajo), i) << bajo;
  }
}

TEST(Nombres, ComboIndexToListIndex) {
  EXPECT_EQ(IndiceDeItem(-1), 255);
  EXPECT_EQ(IndiceDeItem(0), 0);
  EXPECT_EQ(IndiceDeItem(121), 121);
  EXPECT_EQ(IndiceDeItem(300), 255);
}

}  // namespace
