// 14-bit flash parts end to end on the pin-level programmer: erase, program
// an image, verify, read back; and the error paths of every part.
#include <gtest/gtest.h>

#include "banco_flash.h"
#include "flash/pg_flash.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_pic.h"

namespace {

struct TCaso14 {
  const char* Nombre;
  uint8_t Indice;     // ListPics
  uint16_t Config0, Config1;
};

// Configuration words that leave code protection off.
const TCaso14 Casos[] = {
    {"16F84A", 30, 0x3FFB, 0x3FFF},  {"16F628A", 11, 0x3F3B, 0x3FFF},
    {"12F629", 4, 0x21F4, 0x3FFF},   {"12F675", 6, 0x21C4, 0x3FFF},
    {"12F683", 7, 0x3FF4, 0x3FFF},   {"16F74", 20, 0x3FFB, 0x3FFF},
    {"16F88", 32, 0x3F3B, 0x3FFC},   {"16F877A", 45, 0x3F3A, 0x3FFF},
    {"16F877", 44, 0x3F3A, 0x3FFF},  {"12F635", 5, 0x3FF4, 0x3FFF},
};

using TParam = std::tuple<TCaso14, TEnlacePrueba>;

class Flash14 : public ::testing::TestWithParam<TParam> {
protected:
  void SetUp() override {
    caso = std::get<0>(GetParam());
    chip = std::make_unique<TPic14Sim>(*Datos14(caso.Nombre));
    SeleccionaPic(0, caso.Indice);
    ASSERT_EQ(PicActual.Familia, 16);
    banco = std::make_unique<TBancoFlash>(std::get<1>(GetParam()), chip.get());
    Act_Cal = false;
    ImagenPrueba(caso.Indice, {caso.Config0, caso.Config1});
  }
  void TearDown() override {
    for (const auto& v : chip->Violaciones) ADD_FAILURE() << caso.Nombre << ": " << v;
  }
  // What the chip must hold for a program image cell.
  uint16_t EsperadoProg(uint32_t a) const {
    if (chip->Datos().OscCal3FF && a == 0x3FF) return chip->OscCalFabrica;
    return BufArchivo.Prog[a];
  }

  TCaso14 caso;
  std::unique_ptr<TPic14Sim> chip;
  std::unique_ptr<TBancoFlash> banco;
  TVentanaFlash ventana;
};

TEST_P(Flash14, ProgramVerifyAndReadBackEqualTheImage) {
  // Start from a used chip, so a missing erase shows.
  for (uint32_t a = 0; a < chip->Prog.size(); ++a)
    if (!(chip->Datos().OscCal3FF && a == 0x3FF)) chip->Prog[a] = 0x0000;
  for (auto& b : chip->Ee) b = 0x00;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
    ASSERT_EQ(chip->Prog[a], EsperadoProg(a)) << std::hex << "address " << a;
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(chip->Config[i] & 0xF, i + 1);
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) ASSERT_EQ(chip->Ee[i], BufArchivo.Datos[i]) << i;
  EXPECT_EQ(chip->Config[7] & PicActual.CfgMask, caso.Config0 & PicActual.CfgMask);
  EXPECT_FALSE(chip->Protegido());

  ASSERT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
  ASSERT_EQ(banco->Ejecuta(1, LeerPic), 0u);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
    ASSERT_EQ(BufDispositivo.Prog[a], EsperadoProg(a)) << std::hex << "address " << a;
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) ASSERT_EQ(BufDispositivo.Datos[i], BufArchivo.Datos[i]);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(BufDispositivo.Id[i] & 0xF, i + 1);
  EXPECT_EQ(BufDispositivo.Config[0] & PicActual.CfgMask, caso.Config0 & PicActual.CfgMask);
  // A plain verify against the file passes too.
  ASSERT_EQ(banco->Ejecuta(2, VerificaPic), 0u);
}

TEST_P(Flash14, VerifyMismatchReportsAddressExpectedAndRead) {
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  const uint32_t a = 0x123;
  BufArchivo.Prog[a] = static_cast<uint16_t>(chip->Prog[a] ^ 0x0101);
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, a);
  EXPECT_EQ(ContextoError.Esperado, BufArchivo.Prog[a]);
  EXPECT_EQ(ContextoError.Leido, chip->Prog[a]);
}

TEST_P(Flash14, WordThatDoesNotTakeIsError11) {
  const uint16_t a = 0x40;
  BufDispositivo.Prog[a] = 0x1551;
  chip->Pegados.push_back({a, 0x0004, 0x0004});  // bit 2 stuck at 1
  EXPECT_EQ(banco->Ejecuta(0, ProgramaPic), uint32_t{ErrEscritura});
  EXPECT_EQ(ContextoError.Direccion, a);
  EXPECT_EQ(ContextoError.Esperado, 0x1551);
  EXPECT_EQ(ContextoError.Leido, 0x1555);
  EXPECT_FALSE(chip->EnProgramacion());
}

TEST_P(Flash14, CancelIsError22AndLeavesProgrammingMode) {
  ventana.CancelaTras = 50;
  uint32_t r = 0;
  chip->SinChip = false;
  // The hardware check pumps nothing on a pin-level link; the 50th pump
  // falls inside the program area.
  TipoAccion = 0;
  r = banco->Ejecuta(0, [&] {
    const bool f = ProgramaPic();
    EXPECT_FALSE(chip->EnProgramacion());
    return f;
  });
  EXPECT_EQ(r, uint32_t{ErrCancelado});
  ventana.CancelaTras = 0;
  ventana.Bombeos = 0;
  ventana.CancelaTras = 30;
  r = banco->Ejecuta(1, [&] {
    const bool f = LeerPic();
    EXPECT_FALSE(chip->EnProgramacion());
    return f;
  });
  EXPECT_EQ(r, uint32_t{ErrCancelado});
}

TEST_P(Flash14, EraseClearsEverythingButTheDeviceId) {
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  ASSERT_EQ(banco->Ejecuta(3, BorraPic), 0u);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
    ASSERT_EQ(chip->Prog[a], chip->Datos().OscCal3FF && a == 0x3FF ? chip->OscCalFabrica : 0x3FFF)
        << std::hex << a;
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) ASSERT_EQ(chip->Ee[i], 0xFF);
  EXPECT_EQ(chip->Config[7] & 0x0FFF, 0x0FFF);
  EXPECT_EQ(chip->Config[6], chip->Datos().Id);
}

TEST_P(Flash14, CodeProtectedChipIsErasedAndProgrammed) {
  // Every protection bit set (the band-gap bits kept).
  chip->Config[7] = chip->Datos().BandGap ? chip->Config[7] & 0x3000 : 0;
  for (uint32_t a = 0; a < chip->Prog.size(); ++a)
    if (!(chip->Datos().OscCal3FF && a == 0x3FF)) chip->Prog[a] = 0x0000;
  ASSERT_TRUE(chip->Protegido());
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  EXPECT_FALSE(chip->Protegido());
  ASSERT_EQ(banco->Ejecuta(0, VerificaPic), 0u);
}

TEST_P(Flash14, BlankImageClocksOnlyIncrements) {
  LimpiaBuffers(BufDispositivo);
  if (chip->Datos().BandGap) BufDispositivo.Config[0] = 0x0FFF | chip->BandGapFabrica;
  BufArchivo = BufDispositivo;
  ASSERT_EQ(banco->Ejecuta(0, ProgramaPic), 0u);
  uint32_t escrituras = 0;
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
    if (!(chip->Datos().OscCal3FF && a == 0x3FF)) escrituras += chip->Escrituras[a];
  EXPECT_EQ(escrituras, 0u);
}

TEST_P(Flash14, NoChipFailsTheFirstWord) {
  chip->SinChip = true;
  EXPECT_EQ(banco->Ejecuta(1, LeerPic), 0u);  // reads the idle line: all ones
  EXPECT_EQ(BufDispositivo.Prog[0], 0x3FFF);
  BufArchivo.Prog[0] = 0x0000;
  EXPECT_EQ(banco->Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  chip->Violaciones.clear();
}

std::string NombreCaso(const ::testing::TestParamInfo<TParam>& i) {
  return std::string("P") + std::get<0>(i.param).Nombre + "_" + NombreEnlace(std::get<1>(i.param));
}

void PrintTo(const TCaso14& c, std::ostream* os) { *os << c.Nombre; }

INSTANTIATE_TEST_SUITE_P(Partes, Flash14,
                         ::testing::Combine(::testing::ValuesIn(Casos),
                                            ::testing::Values(TEnlacePrueba::Lpt, TEnlacePrueba::Com)),
                         NombreCaso);

}  // namespace
