// The header reader on a small text of each layout gputils uses, and on one
// installed header.
#include <gtest/gtest.h>

#include "cabecera_gputils.h"
#include "referencia_dspic.h"

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

// The dsPIC30F settings list: fields found from the cleared bits, settings
// that clear nothing placed by their names or by a pair given, and what
// the list cannot say reported.
TEST(ReferenciaDsPic, FieldsOfEachRegister) {
  const char* const texto = R"(# comment
30F9999 FOSC 0xF80000 CSW_ON_FSCM_OFF 0x7FFF
30F9999 FOSC 0xF80000 CSW_FSCM_ON     0x3FFF   # trailing comment
30F9999 FOSC 0xF80000 LP              0xFCFF
30F9999 FOSC 0xF80000 FRC             0xFDFF
30F9999 FOSC 0xF80000 PRI             0xFFFF
30F9999 FOSC 0xF80000 CSW_FSCM_OFF    0xFFFF
30F9999 FBORPOR 0xF80004 BORV45       0xFFCF
30F9999 FBORPOR 0xF80004 BORV20       0xFFFF
30F9999 FBORPOR 0xF80004 SMALL_RAM    0xEFFF
30F9999 FBORPOR 0xF80004 NO_RAM       0xFFFF
30F9999 FGS 0xF8000A GSS_HIGH 0xFFFB
30F9999 FGS 0xF8000A GSS_ON   0xFFFD
30F9999 FGS 0xF8000A LONELY   0xFFFF
30f1111 FICD 0xF8000C BAD
)";
  const TReferenciaDsPic r = AnalizaReferenciaDsPic(texto, {{"PRI", "LP"}, {"GSS_HIGH", "GSS_ON"}});
  EXPECT_EQ(r.errores, (std::vector<std::string>{"line 15: not part, register, address, name and value",
                                                 "30F9999 FGS LONELY: in no field"}));
  ASSERT_EQ(r.partes.count("30F9999"), 1u);
  const TCabeceraGputils& c = r.partes.at("30F9999");
  ASSERT_EQ(c.palabras.size(), 3u);
  const TPalabraGputils& fosc = c.palabras[0];
  EXPECT_EQ(fosc.direccion, 0xF80000);
  ASSERT_EQ(fosc.ajustes.size(), 2u);
  EXPECT_EQ(Nombres(fosc.ajustes[0]), (std::vector<std::string>{"CSW_ON_FSCM_OFF", "CSW_FSCM_ON", "CSW_FSCM_OFF"}));
  EXPECT_EQ(fosc.ajustes[0].mascara, 0xC000u);
  EXPECT_EQ(Nombres(fosc.ajustes[1]), (std::vector<std::string>{"LP", "FRC", "PRI"}));
  EXPECT_EQ(fosc.ajustes[1].mascara, 0x0300u);
  const TPalabraGputils* bor = c.Palabra("FBORPOR");
  ASSERT_NE(bor, nullptr);
  ASSERT_EQ(bor->ajustes.size(), 2u);
  EXPECT_EQ(Nombres(bor->ajustes[0]), (std::vector<std::string>{"BORV45", "BORV20"}));
  EXPECT_EQ(Nombres(bor->ajustes[1]), (std::vector<std::string>{"SMALL_RAM", "NO_RAM"}));
  const TPalabraGputils* fgs = c.Palabra("FGS");
  ASSERT_NE(fgs, nullptr);
  ASSERT_EQ(fgs->ajustes.size(), 2u);
  EXPECT_EQ(Nombres(fgs->ajustes[0]), (std::vector<std::string>{"GSS_HIGH", "GSS_ON"}));
  EXPECT_EQ(fgs->ajustes[0].mascara, 0x0006u);
}
