// Error reporting: code -> message keys -> message box and log line.
#include <gtest/gtest.h>

#include "grabador.h"
#include "pg_err.h"
#include "pg_idioma.h"

namespace {

// Each key shows as <key>, so the layout around the texts is visible.
class Errores : public ::testing::Test {
protected:
  TGrabador grabador;
  void SetUp() override {
    PonBuscaTextoError([](const std::string& clave) { return "<" + clave + ">"; });
    ContextoError = TContextoError{};
    ArchivoActual = "a.hex";
  }
  void TearDown() override {
    PonBuscaTextoError(nullptr);
    ArchivoActual.clear();
  }
};

const std::string CR = SaltoMensaje;

TEST_F(Errores, MessageLayoutOfEveryCode) {
  struct Caso {
    uint32_t codigo;
    std::string mensaje;
  };
  const Caso casos[] = {
      {17, "<11*> <22*>"},
      {24, "<11*> <28*>"},
      {27, "<11*> <30*>"},
      {2, "<11*>  <6*>"},
      {3, "<11*> a.hex   <7*> 12   <8*>"},
      {4, "<11*> a.hex   <7*> 12   <9*>"},
      {6, "<11*> a.hex   <7*> 12   <10*>"},
      {9, "<11*> a.hex   <7*> 12   0x002007" + CR + "<12*>"},
      {19, "<11*> a.hex   <7*> 12  <25*>"},
      {11, "<11*> <13*>002007" + CR + "          <15*>3FF1   <17*>3FFF"},
      {16, "<11*> <14*>002007" + CR + "          <16*>3FF1   <17*>3FFF"},
      {25, "<11*> <29*>2007"},
      {28, "<11*> <23*>" + CR + " "},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.codigo);
    grabador.Mensajes.clear();
    grabador.Lineas.clear();
    grabador.Bombeos = 0;
    ContextoError.Direccion = 0x2007;
    ContextoError.Esperado = 0x3FF1;
    ContextoError.Leido = 0x3FFF;
    ContextoError.LineaHex = 12;
    EXPECT_EQ(MuestraError(ContextoError, c.codigo), c.codigo);
    EXPECT_EQ(ContextoError.Codigo, c.codigo);
    ASSERT_EQ(grabador.Mensajes.size(), 1u);
    EXPECT_EQ(grabador.Mensajes[0], c.mensaje);
    EXPECT_EQ(grabador.Lineas, std::vector<std::string>{" <18*>"});
    EXPECT_EQ(grabador.Bombeos, 1);
  }
}

TEST_F(Errores, CancelShowsItsTextWithoutPrefixAndLogsNothing) {
  EXPECT_EQ(MuestraError(ContextoError, ErrCancelado), 22u);
  EXPECT_EQ(grabador.Mensajes, std::vector<std::string>{" <26*>"});
  EXPECT_TRUE(grabador.Lineas.empty());
  EXPECT_EQ(grabador.Bombeos, 1);
}

TEST_F(Errores, CodeWithoutMessageStillLogsAndReturnsIt) {
  EXPECT_EQ(MuestraError(ContextoError, 5), 5u);
  EXPECT_TRUE(grabador.Mensajes.empty());
  EXPECT_EQ(grabador.Lineas, std::vector<std::string>{" <18*>"});
  EXPECT_EQ(ContextoError.Codigo, 5u);
}

TEST_F(Errores, WideValuesAreNotCut) {
  // Addresses wider than the field keep every digit.
  ContextoError.Direccion = 0x1234567;
  MuestraError(ContextoError, ErrEscritura);
  EXPECT_EQ(grabador.Mensajes.at(0).substr(0, 18), "<11*> <13*>1234567");
  ContextoError.Direccion = 0x5;
  MuestraError(ContextoError, ErrProgramador);
  EXPECT_EQ(grabador.Mensajes.at(1), "<11*> <29*>0005");
}

TEST_F(Errores, HexMessagesTakeTheLineOfTheContextPassed) {
  TContextoError propio;
  propio.LineaHex = 7;
  MuestraError(propio, ErrHexChecksum);
  EXPECT_EQ(grabador.Mensajes.at(0), "<11*> a.hex   <7*> 7  <25*>");
  EXPECT_EQ(propio.Codigo, 19u);
}

TEST_F(Errores, DsPicFormWith24BitValues) {
  ContextoError.Direccion = 0x99;
  MuestraError24(ErrEscritura, 0x012345, 0xABCDEF, 0x00FFFF);
  MuestraError24(ErrVerificacion, 0x800000, 0x000001, 0x000002);
  ASSERT_EQ(grabador.Mensajes.size(), 2u);
  EXPECT_EQ(grabador.Mensajes[0],
            "<11*> <13*>00012345" + CR + "           <15*>ABCDEF   <17*>00FFFF");
  EXPECT_EQ(grabador.Mensajes[1],
            "<11*> <14*>00800000" + CR + "           <16*>000001   <17*>000002");
  EXPECT_EQ(grabador.Lineas, (std::vector<std::string>{" <18*>", " <18*>"}));
  EXPECT_EQ(grabador.Bombeos, 2);
  // The shared context is not touched.
  EXPECT_EQ(ContextoError.Direccion, 0x99u);
  EXPECT_EQ(ContextoError.Codigo, 0u);
}

TEST_F(Errores, DsPicFormShowsNothingForOtherCodes) {
  MuestraError24(ErrIndice, 1, 2, 3);
  EXPECT_TRUE(grabador.Mensajes.empty());
}

TEST(ErroresSinTextos, TextsComeFromTheLanguageSection) {
  // Without an installed lookup every key is read from section "pg_err*";
  // a missing key leaves its part empty and the rest of the message stands.
  TGrabador grabador;
  ContextoError = TContextoError{};
  MuestraError(ContextoError, ErrCancelado);
  MuestraError(ContextoError, ErrIndice);
  ASSERT_EQ(grabador.Mensajes.size(), 2u);
  EXPECT_EQ(grabador.Mensajes[0], " " + TextoIdioma("pg_err*", "26*"));
  EXPECT_EQ(grabador.Mensajes[1],
            TextoIdioma("pg_err*", "11*") + " " + TextoIdioma("pg_err*", "22*"));
  EXPECT_EQ(grabador.Lineas, std::vector<std::string>{" " + TextoIdioma("pg_err*", "18*")});
}

}  // namespace
