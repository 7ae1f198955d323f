// The header reader on a small text of each layout gputils uses, and on one
// installed header.
#include <gtest/gtest.h>

#include "cabecera_gputils.h"

namespace {

// Lines as the headers write them: word addresses first, then the options,
// a blank line after each setting; the second word's options come without
// blank lines, as in the oldest headers.
const char* const Texto = R"(
;   CONFIG1           2007h
_CONFIG1         EQU  H'2007'
_CONFIG2         EQU  H'2008'

;----- CONFIG1 Options --------------------------------------------------
_FOSC_LP             EQU  H'3FEC'    ; LP oscillator
_LP_OSC              EQU  H'3FEC'    ; LP oscillator
_FOSC_XT             EQU  H'3FED'    ; XT oscillator
_FOSC_EXTRCCLK       EQU  H'3FFF'    ; RC oscillator

_WRT_1024            EQU  H'3BFF'    ; 0000h to 03FFh write-protected
_WRT_512             EQU  H'3DFF'    ; 0000h to 01FFh write-protected
_WRT_OFF             EQU  H'3FFF'    ; Write protection off

;----- CONFIG2 Options --------------------------------------------------
_CP_ALL              EQU  H'3F8F'
_CP_50               EQU  H'3FAF'
_CP_OFF              EQU  H'3FBF'
_PWRTE_ON            EQU  H'3FBF'
_RC_OSC              EQU  H'3FBF'
_PWRTE_OFF           EQU  H'3FB7'
_LP_OSC              EQU  H'3FBC'
_HS_OSC              EQU  H'3FBE'

;----- IDLOC Equates --------------------------------------------------
_IDLOC0          EQU  H'2000'
)";

std::vector<std::string> Nombres(const TAjusteGputils& a) {
  std::vector<std::string> n;
  for (const TSimboloGputils& s : a.simbolos) n.push_back(s.nombre);
  return n;
}

}  // namespace

TEST(CabeceraGputils, WordsSettingsAndMixedRuns) {
  const TCabeceraGputils c = AnalizaCabeceraGputils(Texto);
  ASSERT_EQ(c.palabras.size(), 2u);
  const TPalabraGputils& p1 = c.palabras[0];
  EXPECT_EQ(p1.nombre, "CONFIG1");
  EXPECT_EQ(p1.direccion, 0x2007);
  ASSERT_EQ(p1.ajustes.size(), 2u);
  EXPECT_EQ(p1.ajustes[0].mascara, 0x13u);
  EXPECT_EQ(p1.ajustes[0].simbolos[0].comentario, "LP oscillator");
  EXPECT_EQ(p1.ajustes[0].Alias(p1.ajustes[0].simbolos[0]), (std::vector<std::string>{"_FOSC_LP", "_LP_OSC"}));
  // Two values whose cleared bits do not overlap are still one field.
  EXPECT_EQ(p1.ajustes[1].mascara, 0x600u);

  const TPalabraGputils* p2 = c.Palabra("CONFIG2");
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(p2->direccion, 0x2008);
  ASSERT_EQ(p2->ajustes.size(), 3u);
  EXPECT_EQ(Nombres(p2->ajustes[0]), (std::vector<std::string>{"_CP_ALL", "_CP_50", "_CP_OFF"}));
  EXPECT_EQ(p2->ajustes[0].mascara, 0x30u);
  EXPECT_EQ(Nombres(p2->ajustes[1]), (std::vector<std::string>{"_PWRTE_ON", "_PWRTE_OFF"}));
  EXPECT_EQ(p2->ajustes[1].mascara, 0x08u);
  EXPECT_EQ(Nombres(p2->ajustes[2]), (std::vector<std::string>{"_RC_OSC", "_LP_OSC", "_HS_OSC"}));
  EXPECT_EQ(p2->ajustes[2].mascara, 0x03u);
  EXPECT_EQ(c.Palabra("IDLOC"), nullptr);
}

TEST(CabeceraGputils, InstalledHeader) {
  std::string error;
  const auto c = LeeCabeceraGputils(RutaCabeceraGputils(GPUTILS_HEADER_DIR, "18F2480"), &error);
  ASSERT_TRUE(c) << error;
  const TPalabraGputils* p = c->Palabra("CONFIG4L");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->direccion, 0x300006);
  bool visto = false;
  for (const TAjusteGputils& a : p->ajustes)
    for (const TSimboloGputils& s : a.simbolos)
      if (s.nombre == "_BBSIZ_1024_4L") {
        visto = true;
        EXPECT_EQ(s.valor, 0xEFu);
        EXPECT_EQ(a.mascara, 0x10u);
      }
  EXPECT_TRUE(visto);
  EXPECT_FALSE(LeeCabeceraGputils(RutaCabeceraGputils(GPUTILS_HEADER_DIR, "no-such-part")));
}
