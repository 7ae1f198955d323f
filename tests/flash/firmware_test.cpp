// The flash routines on the firmware programmer: the simulated board on a
// pseudo-terminal with the simulated parts' memories in its socket.
#include <gtest/gtest.h>

#include "banco_flash.h"
#include "chips/pic1x_fw.h"
#include "chips/pic1x_partes.h"
#include "firmware/fw_banco.h"
#include "flash/pg_flash.h"
#include "pg_catalogo.h"
#include "pg_err.h"
#include "pg_idioma.h"

namespace {

struct TCasoFw {
  const char* Nombre;
  uint8_t Indice;
  uint16_t Config0, Config1;
  // The part's own word that protects everything it can: its include
  // file's _CP_ON (or _CP_ALL) ANDed with _CPD_ON where it has one.
  uint16_t Protege;
  bool ConCpd;
};
const TCasoFw Casos[] = {
    {"10F200", 0, 0x0FEB, 0, 0x0FF7, false},
    {"16F84A", 30, 0x3FFB, 0x3FFF, 0x000F, false},
    {"16F628A", 11, 0x3F3B, 0x3FFF, 0x1FFF & 0x3EFF, true},
    {"12F629", 4, 0x21F4, 0x3FFF, 0x3F7F & 0x3EFF, true},
    {"12F683", 7, 0x3FF4, 0x3FFF, 0x3FBF & 0x3F7F, true},
    {"16F877A", 45, 0x3F3A, 0x3FFF, 0x1FFF & 0x3EFF, true},
    {"12F675", 6, 0x21C4, 0x3FFF, 0x3F7F & 0x3EFF, true},
    {"16F74", 20, 0x3FFB, 0x3FFF, 0x3FEF, false},
    {"16F88", 32, 0x3F3B, 0x3FFC, 0x1FFF & 0x3EFF, true},
    {"16F877", 44, 0x3F3A, 0x3FFF, 0x0FCF & 0x3EFF, true},
    {"12F635", 5, 0x3FF4, 0x3FFF, 0x3FBF & 0x3F7F, true},
    {"10F206", 3, 0x0FEB, 0, 0x0FF7, false},
};

class FlashFw : public ::testing::TestWithParam<TCasoFw> {
protected:
  void SetUp() override {
    caso = GetParam();
    tiempos_ = TiemposSerie;
    TiemposSerie = {};  // the engine's own time-outs
    PonReloj(&reloj);
    Cancelado = false;
    Act_Cal = false;
    if (auto d = Datos14(caso.Nombre)) {
      pic14 = std::make_unique<TPic14Sim>(*d);
      chip = std::make_unique<TChipFwPic14>(*pic14);
    } else {
      pic10 = std::make_unique<TPic10FSim>(*Datos10F(caso.Nombre));
      chip = std::make_unique<TChipFwPic10F>(*pic10);
    }
    SeleccionaPic(0, caso.Indice);
    placa = std::make_unique<TPlacaFw>(*chip);
    USB_COM = true;
    USB_ = false;
    Zocalo2 = false;
    ADDR_USB_COM = placa->Dispositivo();
    ASSERT_TRUE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
    ImagenPrueba(caso.Indice + 50, {caso.Config0, caso.Config1});
  }
  void TearDown() override {
    CierraPuerto(false);
    for (const auto& e : placa->Errores()) ADD_FAILURE() << e;
    placa.reset();
    USB_COM = false;
    ADDR_USB_COM.clear();
    PonReloj(nullptr);
    TiemposSerie = tiempos_;
    Cancelado = false;
    Act_Cal = false;
  }
  uint32_t Ejecuta(uint32_t accion, const std::function<bool()>& algoritmo) {
    TipoAccion = accion;
    ContextoError.Codigo = 0;
    Cancelado = false;
    const bool fallo = algoritmo();
    Cancelado = false;
    if (!fallo) return 0;
    return ContextoError.Codigo ? ContextoError.Codigo : 255;
  }
  uint16_t ChipProg(uint32_t a) {
    return placa->Con([&] { return pic14 ? pic14->Prog[a] : pic10->Mem[a]; });
  }
  uint16_t OscFabrica() const { return pic14 ? pic14->OscCalFabrica : pic10->OscCalFabrica; }
  bool ConOscCal() const { return pic10 || pic14->Datos().OscCal3FF; }
  uint32_t DirOsc() const { return pic10 ? PicActual.ProgFin : 0x3FF; }

  TCasoFw caso;
  TRelojEnlace reloj;
  TVentanaFlash ventana;
  std::unique_ptr<TPic14Sim> pic14;
  std::unique_ptr<TPic10FSim> pic10;
  std::unique_ptr<TChipMemoriasFw> chip;
  std::unique_ptr<TPlacaFw> placa;

private:
  TTiemposSerie tiempos_;
};

TEST_P(FlashFw, ProgramVerifyAndReadBack) {
  ASSERT_EQ(Ejecuta(0, ProgramaPic), 0u);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) {
    const uint16_t esperado = ConOscCal() && a == DirOsc() ? OscFabrica() : BufArchivo.Prog[a];
    ASSERT_EQ(ChipProg(a), esperado) << std::hex << a;
  }
  ASSERT_EQ(Ejecuta(0, VerificaPic), 0u);
  ASSERT_EQ(Ejecuta(1, LeerPic), 0u);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a) {
    if (!(ConOscCal() && a == DirOsc())) {
      ASSERT_EQ(BufDispositivo.Prog[a], BufArchivo.Prog[a]) << a;
    }
  }
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) ASSERT_EQ(BufDispositivo.Datos[i], BufArchivo.Datos[i]);
  EXPECT_EQ(BufDispositivo.Config[0] & PicActual.CfgMask, caso.Config0 & PicActual.CfgMask);
  if (pic10) {
    EXPECT_EQ(OscCalBackup, OscFabrica());
  }
}

TEST_P(FlashFw, CalibrationSurvivesUserErase) {
  ASSERT_EQ(Ejecuta(3, BorraPic), 0u);
  if (ConOscCal()) {
    EXPECT_EQ(ChipProg(DirOsc()), OscFabrica());
  }
  if (pic10) {
    EXPECT_EQ(placa->Con([&] { return pic10->Mem[pic10->DirBackup()]; }), OscFabrica());
  }
  if (pic14 && pic14->Datos().BandGap) {
    EXPECT_EQ(placa->Con([&] { return pic14->Config[7] & 0x3000; }), pic14->BandGapFabrica);
    EXPECT_EQ(BandGap, pic14->BandGapFabrica);  // only bits 12-13 of the reply
  }
  if (pic14 && pic14->Datos().CalNum) {
    EXPECT_EQ(placa->Con([&] { return pic14->Config[8]; }), pic14->CalFabrica[0]);
  }
  EXPECT_TRUE(ventana.Mensajes.empty());
}

// Parts with an OSCCAL word, and the 12F683 with its calibration word.
class FlashFwOscCal : public FlashFw {};
class FlashFwCal683 : public FlashFw {};

// The 10F20x parts.
class FlashFw10F : public FlashFw {};

// Programmed from an image whose last program word is blank (as an
// assembler leaves it), the part keeps its factory OSCCAL word there; a
// verify in a run of its own passes, and still compares the word before it.
TEST_P(FlashFw10F, VerifyInARunOfItsOwnPassesTheKeptOscCalWord) {
  ASSERT_EQ(BufArchivo.Prog[DirOsc()], 0x0FFF);
  ASSERT_EQ(Ejecuta(0, ProgramaPic), 0u);
  ASSERT_EQ(ChipProg(DirOsc()), OscFabrica());
  EXPECT_EQ(Ejecuta(2, VerificaPic), 0u);
  BufArchivo.Prog[DirOsc() - 1] ^= 0x0001;
  EXPECT_EQ(Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, DirOsc() - 1);
}

TEST_P(FlashFwOscCal, AnswerNoProgramsTheChipsOwnOscCal) {
  const uint16_t otro = pic10 ? 0x0C55 : 0x3455;
  BufDispositivo.Prog[DirOsc()] = BufArchivo.Prog[DirOsc()] = otro;
  ventana.Respuesta = TRespuesta::No;
  ASSERT_EQ(Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(ventana.Preguntas.size(), 1u);
  EXPECT_EQ(ChipProg(DirOsc()), OscFabrica());
  EXPECT_EQ(Ejecuta(0, VerificaPic), 0u);
}

// A cancel while the program area is written leaves the chip erased with
// its calibration cells blank (the run that was to write them back never
// got there): error 22, the link works again, and the next run puts the
// factory values back, not the blanks it now reads off the chip. The image
// carries blank band-gap bits and the user keeps the device's value.
TEST_P(FlashFwOscCal, CancelWhileProgrammingLosesNoCalibration) {
  if (pic14) BufDispositivo.Config[0] |= 0x3000;
  ventana.Respuesta = TRespuesta::No;
  ventana.CancelaTras = 20;
  EXPECT_EQ(Ejecuta(0, ProgramaPic), uint32_t{ErrCancelado});
  ventana.CancelaTras = 0;
  ASSERT_EQ(ChipProg(DirOsc()), pic10 ? 0x0FFF : 0x3FFF) << "the cancel came after the OSCCAL word";

  ImagenPrueba(caso.Indice + 50, {caso.Config0, caso.Config1});
  if (pic14) BufDispositivo.Config[0] |= 0x3000;
  BufArchivo = BufDispositivo;
  ASSERT_EQ(Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(ChipProg(DirOsc()), OscFabrica());
  if (pic10) {
    EXPECT_EQ(placa->Con([&] { return pic10->Mem[pic10->DirBackup()]; }), OscFabrica());
  } else {
    EXPECT_EQ(placa->Con([&] { return pic14->Config[7] & 0x3000; }), pic14->BandGapFabrica);
  }
  EXPECT_EQ(Ejecuta(0, VerificaPic), 0u);
}

TEST_P(FlashFwCal683, ActCalDecidesTheCalibrationWord) {
  Act_Cal = false;
  ASSERT_EQ(Ejecuta(0, ProgramaPic), 0u);
  EXPECT_EQ(Ejecuta(0, VerificaPic), 0u);
  for (uint8_t i = 0; i < pic14->Datos().CalNum; ++i)
    EXPECT_EQ(placa->Con([&] { return pic14->Config[8 + i]; }), pic14->CalFabrica[i]);
  Act_Cal = true;
  ASSERT_EQ(Ejecuta(3, BorraPic), 0u);
  for (uint8_t i = 0; i < pic14->Datos().CalNum; ++i)
    EXPECT_EQ(placa->Con([&] { return pic14->Config[8 + i]; }), 0x3FFF);
}

TEST_P(FlashFw, ErrorsReachTheUser) {
  ASSERT_EQ(Ejecuta(0, ProgramaPic), 0u);
  BufArchivo.Prog[0x21] ^= 0x0008;
  EXPECT_EQ(Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, 0x21u);
  EXPECT_EQ(ContextoError.Esperado, BufArchivo.Prog[0x21]);
  EXPECT_EQ(ContextoError.Leido, ChipProg(0x21));

  // A word that does not take: the board answers 1 with its address.
  BufDispositivo.Prog[0x45] = 0x0000;
  placa->Con([&] {
    if (pic14) {
      pic14->Pegados.push_back({0x45, 0x0002, 0x0002});
    } else {
      pic10->DirPegado = 0x45;
      pic10->MascaraPegado = pic10->ValorPegado = 0x0002;
    }
  });
  EXPECT_EQ(Ejecuta(0, ProgramaPic), uint32_t{ErrEscritura});
  EXPECT_EQ(ContextoError.Direccion, 0x45u);
  EXPECT_EQ(ContextoError.Esperado, 0x0000);
  EXPECT_EQ(ContextoError.Leido, 0x0002);
}

// An image whose configuration protects the part, programmed with the
// verify after programming: the run succeeds and says the protected areas
// were checked as they were written; a wrong ID word, which the part still
// shows, fails it; a verify on its own says first that the part is
// protected, and fails.
TEST_P(FlashFw, AnImageThatProtectsThePartPassesTheVerifyAfterProgramming) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  ImagenPrueba(caso.Indice + 50, {static_cast<uint16_t>(caso.Config0 & caso.Protege), caso.Config1});
  const TBuffers imagen = BufDispositivo;
  std::string areas = " " + TextosZona[0];
  if (caso.ConCpd) areas += ", " + TextosZona[3];
  const std::string escrita = " " + TextoIdioma("pg_avisos*", "5*") + areas;
  auto programaYVerifica = [] { return ProgramaPic() || VerificaPic(); };

  BufArchivo.Id[1] ^= 0x0005;
  EXPECT_EQ(Ejecuta(0, programaYVerifica), uint32_t{ErrVerificacion});
  EXPECT_EQ(ContextoError.Direccion, PicActual.IdIni + 1u);
  EXPECT_TRUE(ventana.HayLinea(escrita));

  BufDispositivo = BufArchivo = imagen;
  ventana.Mensajes.clear();
  ventana.Lineas.clear();
  ASSERT_EQ(Ejecuta(0, programaYVerifica), 0u) << ContextoError.Codigo << " at " << std::hex << ContextoError.Direccion;
  EXPECT_TRUE(ventana.HayLinea(escrita));
  EXPECT_TRUE(ventana.Mensajes.empty());

  const std::string aviso = TextoIdioma("pg_avisos*", "4*") + areas;
  EXPECT_EQ(Ejecuta(2, VerificaPic), uint32_t{ErrVerificacion});
  ASSERT_EQ(ventana.Mensajes.size(), 2u);
  EXPECT_EQ(ventana.Mensajes[0], aviso);

  // A read says it too, and gives what the part gives: 0 where protected.
  ventana.Mensajes.clear();
  ASSERT_EQ(Ejecuta(1, LeerPic), 0u);
  EXPECT_EQ(ventana.Mensajes, std::vector<std::string>{aviso});
  EXPECT_EQ(BufDispositivo.Prog[0x50], 0u);
  for (uint32_t i = 0; i < PicActual.EeTam; ++i)
    ASSERT_EQ(BufDispositivo.Datos[i], caso.ConCpd ? 0u : imagen.Datos[i]) << i;
}

TEST_P(FlashFw, CancelIsError22) {
  ventana.CancelaTras = 20;
  EXPECT_EQ(Ejecuta(1, LeerPic), uint32_t{ErrCancelado});
  ventana.CancelaTras = 0;
  // The link works again afterwards.
  ImagenPrueba(caso.Indice + 50, {caso.Config0, caso.Config1});
  EXPECT_EQ(Ejecuta(0, ProgramaPic), 0u);
}

void PrintTo(const TCasoFw& c, std::ostream* os) { *os << c.Nombre; }
auto NombreCaso = [](const auto& i) { return std::string("P") + i.param.Nombre; };
INSTANTIATE_TEST_SUITE_P(Partes, FlashFw, ::testing::ValuesIn(Casos), NombreCaso);
INSTANTIATE_TEST_SUITE_P(Partes, FlashFw10F, ::testing::Values(Casos[0], Casos[11]), NombreCaso);
INSTANTIATE_TEST_SUITE_P(Partes, FlashFwOscCal, ::testing::Values(Casos[0], Casos[3]), NombreCaso);
INSTANTIATE_TEST_SUITE_P(Partes, FlashFwCal683, ::testing::Values(Casos[4], Casos[10]), NombreCaso);

}  // namespace
