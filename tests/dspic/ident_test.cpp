// Identification of the chip in the socket over simulated parts of every
// family, on the pin-level link and on the firmware programmer.
#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

#include "banco_dspic_fw.h"
#include "chips/pic18_sim.h"
#include "chips/pic1x_partes.h"
#include "firmware/zocalo_fw.h"
#include "ident/pg_ident.h"

namespace {

constexpr uint8_t Indice16F877A = 45;

// A 14-bit part of the simulated catalogue answering with another ID word.
std::unique_ptr<TChipSim> Pic14(const char* base, uint16_t id, TEntradaSim entrada = TEntradaSim::Ambas) {
  TDatosPic14 d = Datos14(base).value();
  d.Id = id;
  auto chip = std::make_unique<TPic14Sim>(d);
  chip->Entrada = entrada;
  return chip;
}

// A 18F452 answering with another device ID word (DEVID2:DEVID1).
std::unique_ptr<TChipSim> Pic18(uint16_t id) {
  TModeloPic18 m = Modelo18F452();
  m.IdDispositivo = id;
  return std::make_unique<TPic18Sim>(m);
}

struct TCasoId {
  const char* Nombre;
  std::function<std::unique_ptr<TChipSim>()> Chip;
  uint8_t Responde;
  bool Encontrado;
  uint8_t Indice;
  const char* Pieza;
};
void PrintTo(const TCasoId& c, std::ostream* os) { *os << c.Nombre; }

const TCasoId CasosId[] = {
    {"Mask3FE0_16F877", [] { return Pic14("16F877", 0x09A3); }, 1, true, 44, "16F877"},
    {"Mask3FE0_16F84A", [] { return Pic14("16F84A", 0x0563); }, 1, true, 30, "16F84A"},
    {"Mask3FE0_12F675", [] { return Pic14("12F675", 0x0FC4); }, 1, true, 6, "12F675"},
    {"Whole_16F737", [] { return Pic14("16F877", 0x0BA1); }, 1, true, 24, "16F737"},
    {"Whole_16F747", [] { return Pic14("16F877", 0x0BE1); }, 1, true, 25, "16F747"},
    {"Whole_16F767", [] { return Pic14("16F877", 0x0EA1); }, 1, true, 26, "16F767"},
    {"Whole_16F777", [] { return Pic14("16F877", 0x0DE1); }, 1, true, 27, "16F777"},
    {"Whole_16F737Rev2", [] { return Pic14("16F877", 0x0BA2); }, 1, false, 29, nullptr},
    {"Mask3FF0_16F877A", [] { return Pic14("16F877A", 0x0E25); }, 1, true, 45, "16F877a"},
    {"Mask3FF0_16F818", [] { return Pic14("16F88", 0x04C7); }, 1, true, 33, "16F818"},
    {"Unknown14", [] { return Pic14("16F877", 0x3A00); }, 1, false, 29, nullptr},
    {"Pic18F452", [] { return std::make_unique<TPic18Sim>(Modelo18F452()); }, 1, true, 52, "18F452"},
    {"Pic18F4550", [] { return std::make_unique<TPic18Sim>(Modelo18F4550()); }, 1, true, 92, "18F4550"},
    {"Unknown18", [] { return Pic18(0x0A04); }, 1, false, 29, nullptr},
    {"DsPic30F2010", [] { return std::make_unique<TDsPic30Sim>(Modelo30F2010()); }, 1, true, 98, "30F2010"},
    {"DsPic30F6014", [] { return std::make_unique<TDsPic30Sim>(Modelo30F6014()); }, 1, true, 119, "30F6014"},
    {"NoChip", [] { return std::unique_ptr<TChipSim>(); }, 0, false, 29, nullptr},
};

// The link as the runner leaves it before identifying: lines idle, Vdd on,
// hardware checked, a 14-bit part selected.
class BancoId {
public:
  explicit BancoId(bool vpp2 = false, bool com = false) {
    if (com)
      PonPerfilComSim();
    else
      PonPerfilLptSim(vpp2);
    USB_COM = false;
    USB_ = false;
    banco = std::make_unique<TBancoSim>();
    banco->Puerto.Registra = false;
    banco->Adaptador.Registra = false;
    estado = std::make_unique<TEstadoDs>(Indice16F877A);
    PinesReposo();
    VddOn();
    CompruebaHardware();
    IndiceDetectado = 7;
  }
  ~BancoId() { Usa_Vpp2 = false; }
  TVentanaDs& Ventana() { return estado->ventana; }
  std::unique_ptr<TBancoSim> banco;
  std::unique_ptr<TEstadoDs> estado;
};

class Identifica : public ::testing::TestWithParam<TCasoId> {};

TEST_P(Identifica, NamesThePartInTheSocket) {
  BancoId b;
  const auto chip = GetParam().Chip();
  b.banco->Adaptador.Conecta(chip.get());
  TModel m;
  DetectaPic(m);
  EXPECT_EQ(m.Responde, GetParam().Responde);
  EXPECT_EQ(m.Encontrado, GetParam().Encontrado);
  EXPECT_EQ(m.Indice, GetParam().Indice);
  const std::string nombre = GetParam().Pieza ? GetParam().Pieza : TextosEntorno[12];
  EXPECT_EQ(m.Nombre, nombre);
  EXPECT_EQ(IndiceDetectado, GetParam().Encontrado ? GetParam().Indice : 255);
  EXPECT_EQ(b.Ventana().Lineas.back(), " " + TextosEntorno[13] + " -> " + nombre);
  EXPECT_FALSE(VppAntesVdd);
  EXPECT_FALSE(Zocalo2);
  EXPECT_TRUE(b.Ventana().Mensajes.empty());
  if (auto* ds = dynamic_cast<TDsPic30Sim*>(chip.get())) {
    EXPECT_FALSE(ds->EnProgramacion);
    // The 14-bit read, the entry before the dsPIC read and the dsPIC
    // read's own: no PIC18 read follows a dsPIC answer.
    EXPECT_EQ(ds->Entradas, 3u);
  }
}

INSTANTIATE_TEST_SUITE_P(Familias, Identifica, ::testing::ValuesIn(CasosId),
                         [](const auto& i) { return std::string(i.param.Nombre); });

TEST(IdentificaCom, EveryFamilyOnTheSerialPortAdapter) {
  for (const char* nombre : {"Mask3FF0_16F877A", "Pic18F4550", "DsPic30F6014", "NoChip"}) {
    const auto& c = *std::find_if(std::begin(CasosId), std::end(CasosId),
                                  [&](const TCasoId& k) { return std::string(k.Nombre) == nombre; });
    BancoId b(false, true);
    const auto chip = c.Chip();
    b.banco->Adaptador.Conecta(chip.get());
    TModel m;
    DetectaPic(m);
    EXPECT_EQ(m.Encontrado, c.Encontrado) << nombre;
    EXPECT_EQ(m.Indice, c.Indice) << nombre;
    EXPECT_EQ(m.Responde, c.Responde) << nombre;
  }
}

TEST(IdentificaZocalos, PartOnTheFirstLineAnswersInTheSecondPass) {
  BancoId b(true);
  Zocalo2 = true;  // what the selected part's socket said
  TPic18Sim chip(Modelo18F452());
  b.banco->Adaptador.Conecta(&chip);
  TModel m;
  DetectaPic(m);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Nombre, "18F452");
  EXPECT_EQ(m.Responde, 0);  // answered only in the second pass
  EXPECT_TRUE(Zocalo2);      // back to what it was
}

TEST(IdentificaZocalos, PartOnTheSecondLineAnswersInTheFirstPass) {
  BancoId b(true);
  Zocalo2 = false;
  TDsPic30Sim chip(Modelo30F2010());
  b.banco->Adaptador.Conecta(nullptr, &chip);
  TModel m;
  DetectaPic(m);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Indice, 98);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_FALSE(Zocalo2);
}

TEST(IdentificaZocalos, SerialEepromClassWithoutSecondLineIsNotAsked) {
  BancoId b;
  ClaseDispositivo = 2;
  b.banco->Puerto.Registra = true;
  b.banco->Puerto.Escrituras.clear();
  TModel m;
  m.Nombre = "antes";
  m.Responde = 1;
  DetectaPic(m);
  EXPECT_EQ(m.Responde, 0);
  EXPECT_EQ(m.Nombre, "antes");
  EXPECT_TRUE(b.banco->Puerto.Escrituras.empty());
  ClaseDispositivo = 0;
}

TEST(IdentificaVpp, PartThatNeedsVppFirstLeavesVppAntesVddSet) {
  BancoId b;
  const auto chip = Pic14("16F628A", 0x1066, TEntradaSim::VppPrimero);
  b.banco->Adaptador.Conecta(chip.get());
  TModel m;
  DetectaPic(m);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Nombre, "16F628a");
  EXPECT_EQ(m.Indice, 11);
  EXPECT_TRUE(VppAntesVdd);
  const auto& l = b.Ventana().Lineas;
  ASSERT_GE(l.size(), 2u);
  EXPECT_EQ(l[l.size() - 2], " " + TextoIdioma("Conf_fc16F6xx*", "**1"));
  // The next detection starts again the usual way.
  const auto otro = Pic14("16F877", 0x09A3);
  b.banco->Adaptador.Conecta(otro.get());
  DetectaPic(m);
  EXPECT_EQ(m.Indice, 44);
  EXPECT_FALSE(VppAntesVdd);
}

TEST(IdentificaVpp, SilentSocketClearsVppAntesVddAgain) {
  BancoId b;
  TModel m;
  DetectaPic(m);
  EXPECT_FALSE(VppAntesVdd);
  EXPECT_EQ(m.Responde, 0);
}

// Upper case, as the command line compares device names.
std::string Mayusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

TEST(IdentificaTablas, EveryRowNamesItsCatalogueEntry) {
  // Each table name is the catalogue name of its index (the tables spell
  // "16F84A" where the list says "16F84a").
  for (uint16_t id = 0; id < 0x4000; ++id) {
    uint8_t i = 0;
    const char* n = nullptr;
    if (BuscaId14(id, i, n)) {
      EXPECT_EQ(Mayusculas(DaNombreDispositivo(0, i)), Mayusculas(n)) << std::hex << id;
    }
  }
  for (uint32_t id = 0; id < 0x10000; id += 0x20) {
    uint8_t i = 0;
    const char* n = nullptr;
    if (BuscaId18(static_cast<uint16_t>(id), i, n)) {
      EXPECT_EQ(Mayusculas(DaNombreDispositivo(0, i)), Mayusculas(n)) << std::hex << id;
    }
  }
  for (uint16_t id = 0; id < 0x400; ++id) {
    uint8_t i = 0;
    std::string n;
    if (BuscaIdDsPic(id, i, n)) {
      EXPECT_EQ(DaNombreDispositivo(0, i), n) << std::hex << id;
    }
  }
}

// --- On the firmware programmer -------------------------------------------

// A part of some family in the board's socket: it answers its own family's
// ID command (on its socket) and leaves the others all ones.
class TChipIdFw final : public TChipMemoriasFw {
public:
  TChipIdFw(char letra, uint16_t id, bool zocalo2 = false) : letra_(letra), id_(id), zocalo2_(zocalo2) {}
  uint16_t IdDispositivo(char letra, bool z2) override {
    if (letra == letra_ && z2 == zocalo2_) return id_;
    return letra == '4' ? 0x3FFF : 0xFFFF;
  }

private:
  char letra_;
  uint16_t id_;
  bool zocalo2_;
};

struct TCasoIdFw {
  const char* Nombre;
  char Letra;
  uint16_t Id;
  uint8_t Indice;
  const char* Pieza;
};
void PrintTo(const TCasoIdFw& c, std::ostream* os) { *os << c.Nombre; }

class IdentificaFw : public ::testing::TestWithParam<TCasoIdFw> {};

TEST_P(IdentificaFw, NamesThePart) {
  TEnlaceFwPrueba enlace(Indice16F877A);
  TChipIdFw chip(GetParam().Letra, GetParam().Id);
  TPlacaFw placa(chip);
  ASSERT_TRUE(AbreEnlaceFw(placa.Dispositivo()));
  TModel m;
  DetectaPic(m);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Indice, GetParam().Indice);
  EXPECT_EQ(m.Nombre, GetParam().Pieza);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_TRUE(placa.Errores().empty());
  CierraPuerto(false);
}

INSTANTIATE_TEST_SUITE_P(Familias, IdentificaFw,
                         ::testing::Values(TCasoIdFw{"Pic14", '4', 0x0E23, 45, "16F877a"},
                                           TCasoIdFw{"Pic18", '5', 0x1207, 92, "18F4550"},
                                           TCasoIdFw{"DsPic", 'C', 0x0141, 108, "30F4013"}),
                         [](const auto& i) { return std::string(i.param.Nombre); });

// Every part the simulated board can hold, as the board's socket holds it:
// the board clocks each ID read into the part's own pin-level model, so
// only the read of the part's family names it, and the parts without a
// device ID (baseline 10F, serial EEPROMs) name nothing.
TEST(IdentificaFw, EveryPartOfTheBoardByItsOwnIdRead) {
  for (const std::string& nombre : TZocaloFw::Nombres()) {
    SCOPED_TRACE(nombre);
    TEnlaceFwPrueba enlace(Indice16F877A);
    auto zocalo = TZocaloFw::Crea(nombre);
    TPlacaFw placa(zocalo->Chip());
    ASSERT_TRUE(AbreEnlaceFw(placa.Dispositivo()));
    TModel m;
    EXPECT_EQ(DetectaPicCodigo(m), 0);
    const bool sinId = nombre.starts_with("10F") || nombre.starts_with("24C");
    EXPECT_EQ(m.Encontrado, !sinId);
    if (!sinId) {
      EXPECT_EQ(m.Indice, BuscaPic("PIC" + nombre));
    }
    EXPECT_TRUE(placa.Errores().empty());
    CierraPuerto(false);
  }
}

TEST(IdentificaFwFallos, BadXorIsError27AndNamesNothing) {
  TEnlaceFwPrueba enlace(Indice16F877A);
  // 0x09A0 would be a 16F877, but the XOR byte is wrong.
  TRespuestaFija lejos({0xA0, 0x09, 0x00});
  ASSERT_TRUE(AbreEnlaceFw(lejos.Dispositivo()));
  TModel m;
  EXPECT_EQ(DetectaPicCodigo(m), ErrChecksumEnlace);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_FALSE(m.Encontrado);
  EXPECT_EQ(m.Nombre, TextosEntorno[12]);
  EXPECT_EQ(IndiceDetectado, 255);
  EXPECT_EQ(lejos.Ordenes, 1);  // the 14-bit command alone: it answered
  CierraPuerto(false);
}

TEST(IdentificaFwFallos, SecondSocketByTheZ2Byte) {
  TEnlaceFwPrueba enlace(Indice16F877A);
  Usa_Vpp2 = true;
  TChipIdFw chip('C', 0x0040, true);
  TPlacaFw placa(chip);
  ASSERT_TRUE(AbreEnlaceFw(placa.Dispositivo()));
  TModel m;
  DetectaPic(m);
  EXPECT_TRUE(m.Encontrado);
  EXPECT_EQ(m.Indice, 98);
  EXPECT_EQ(m.Responde, 1);
  EXPECT_FALSE(Zocalo2);
  CierraPuerto(false);
}

}  // namespace
