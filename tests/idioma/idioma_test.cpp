// The language mechanism: the choice, the files found, the block rules and
// the fallback.
#include <filesystem>

#include "BloquesIdioma.h"
#include "Cadenas.h"
#include "CarpetaPrograma.h"
#include "Idiomas.h"
#include "destino_grabador.h"
#include "pg_idioma.h"
#include "regauto/carpeta_temporal.h"

namespace {

class IdiomaTest : public CarpetaTemporal {
protected:
  void SetUp() override {
    CarpetaTemporal::SetUp();
    IdiomaActual.clear();
    EtiquetaHardware.clear();
    EtiquetaNinguno.clear();
    LimpiaTextosEntorno();
    Idioma.Storage = raRegistry;
    Idioma.RegPath = "Software\\.\\Korvane";
    Idioma.IniFile = "$HOME/.Korvane";
  }
  void Idioma_(const std::string& archivo, const std::string& texto) {
    Escribe(programa / "LANGUAGES" / archivo, texto);
  }
  TDestinoGrabador destino;
};

// A language file that is complete for the blocks under test.
const std::string kCompleto =
    "[Main*]\n***=Hw: |nada|\n"
    "[Menus*]\n"
    "MainMenu*=F|E|C|S|L|H|\n"
    "M0*=Abrir|Recientes|Guardar|Como|Salir|Actualizar|x|\n"
    "M1*=Llenar|Limpiar|\n"
    "M2*=a|b|c|d|Test|Detectar|\n"
    "H2*=Leer|Programar|Verificar|Borrar|\n"
    "M3*=Hard|Soft|\n"
    "M5*=Params|Acerca|\n"
    "B0*=Cod|Dat|Cfg|Exe|\n"
    "H0*=Co|Pe|Cu|Ll|Ma|Bu|Bs|Todo|\n"
    "MM*=T|G|B|\n"
    "[Acciones*]\n***=Cancelar|Ok|Cerrar|Progreso|\n"
    "[Entorno*]\n0*=Programar\n5*=Detectar\n25*=ultimo\n"
    "100*=Prog\n106*=seis\n107*=siete\n110*=x\n";

TEST_F(IdiomaTest, BlocksReachTheirControls) {
  Idioma_("Español.ini", kCompleto);
  ASSERT_TRUE(CargaIdiomas(destino));
  EXPECT_EQ(IdiomaActual, "Español");
  EXPECT_EQ(EtiquetaHardware, "Hw: ");
  EXPECT_EQ(EtiquetaNinguno, "nada");
  EXPECT_EQ(destino.refrescos, 1);
  auto& c = destino.captions;
  auto& h = destino.hints;
  EXPECT_EQ(c["FormKorvane.Informacion1"], "H");
  EXPECT_EQ(c["FormKorvane.ActualizarArchivo1"], "Actualizar");
  EXPECT_EQ(h["FormKorvane.Reabrir"], " Actualizar ");
  EXPECT_EQ(h["FormKorvane.Guardar"], " Guardar ");
  EXPECT_EQ(c["FormKorvane.Limpiar"], "Limpiar");
  EXPECT_EQ(c["FormKorvane.MDtModel"], "Detectar");
  EXPECT_EQ(h["FormKorvane.TestHardw"], " Test ");
  EXPECT_EQ(h["FormKorvane.BorrarTodo"], " Borrar ");
  EXPECT_EQ(c["FormKorvane.Ay_params"], " Params");
  EXPECT_EQ(c["FormKorvane.Acerca1"], " Acerca  Korvane ");
  EXPECT_EQ(c["FormKorvane.SCE"], "Exe");
  EXPECT_EQ(h["FormKorvane.B_buscars"], "Bs");
  EXPECT_EQ(c["FAcciones.Copiar1"], "Co");
  EXPECT_EQ(c["FormKorvane.Seleccionartodo"], "Todo");
  EXPECT_EQ(c["FormKorvane.BorrarMarcas1"], "B");
  EXPECT_EQ(c["FAcciones.pr"], "Progreso");
  // Items of a block that name no control are not applied anywhere.
  for (const auto& [control, texto] : c) EXPECT_NE(texto, "x") << control;

  EXPECT_EQ(TextosEntorno[0], "Programar");
  EXPECT_EQ(TextosEntorno[5], "Detectar");
  EXPECT_EQ(TextosEntorno[1], "");  // a missing key gives an empty item
  EXPECT_EQ(TextosEntorno[25], "ultimo");
  EXPECT_EQ(TextosZona[0], "Prog");
  EXPECT_EQ(TextosZona[6], "siete");
  EXPECT_EQ(TextosZona[7], "seis");
  EXPECT_EQ(TextosZona[10], " x");
}

TEST_F(IdiomaTest, ABlockOfTheWrongSizeChangesNothing) {
  std::string texto = kCompleto;
  // "M0*" with 6 items, "M5*" missing, "M3*" with a trailing "|" (2 items).
  texto = ReplaceAll(texto, "Actualizar|x|", "Actualizar|");
  texto = ReplaceAll(texto, "M5*=Params|Acerca|\n", "");
  Idioma_("Español.ini", texto);
  CargaIdiomas(destino);
  for (const char* control : {"FormKorvane.MAbrir", "FormKorvane.ArcRecientes", "FormKorvane.Salir",
                              "FormKorvane.ActualizarArchivo1", "FormKorvane.Ay_params", "FormKorvane.Acerca1"})
    EXPECT_EQ(destino.captions.count(control), 0u) << control;
  for (const char* control : {"FormKorvane.Abrir", "FormKorvane.Reabrir", "FormKorvane.Guardar"})
    EXPECT_EQ(destino.hints.count(control), 0u) << control;
  EXPECT_EQ(destino.captions["FormKorvane.MConfSoft"], "Soft");
  EXPECT_EQ(destino.captions["FormKorvane.MLimpiarBuffer"], "Limpiar");
}

TEST_F(IdiomaTest, BlockReadingRules) {
  Idioma_("x.ini", "[S*]\ndos=a|b|\nsinBarra=a|b\nvacio=\nvacios=||\n");
  UsaArchivoIdioma("LANGUAGES/x.ini");
  std::vector<std::string> l = {"queda"};
  EXPECT_TRUE(LeeBloqueIdioma("S*", "dos", 2, l));
  EXPECT_EQ(l, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(LeeBloqueIdioma("S*", "sinBarra", 2, l));
  EXPECT_FALSE(LeeBloqueIdioma("S*", "dos", 3, l));
  EXPECT_TRUE(l.empty());
  EXPECT_FALSE(LeeBloqueIdioma("S*", "falta", 1, l));
  EXPECT_TRUE(LeeBloqueIdioma("S*", "vacio", 0, l));
  EXPECT_TRUE(LeeBloqueIdioma("S*", "vacios", 2, l));
  EXPECT_EQ(l, (std::vector<std::string>{"", ""}));
}

TEST_F(IdiomaTest, ChoiceIsKeptInTheRegistry) {
  Idioma_("Español.ini", kCompleto);
  Idioma_("English.ini", "[Entorno*]\n0*=Program\n");
  ASSERT_TRUE(CargaIdiomas(destino));
  EXPECT_EQ(IdiomaActual, "Español");  // no choice stored yet

  IdiomaActual = "English";
  std::string motivo;
  ASSERT_TRUE(GuardaIdioma(motivo)) << motivo;
  EXPECT_EQ(Lee(config / "korvane" / "registry.ini"), "[Software\\Korvane]\r\nIdioma=English\r\n");

  IdiomaActual.clear();
  Idioma.RegPath = "Software\\.\\Korvane";  // as a new run starts
  TDestinoGrabador otro;
  ASSERT_TRUE(CargaIdiomas(otro));
  EXPECT_EQ(IdiomaActual, "English");
  EXPECT_EQ(TextosEntorno[0], "Program");
  EXPECT_EQ(otro.menu, (std::vector<TDestinoGrabador::TItem>{{"English", "", true}, {"Español", "", false}}));
}

TEST_F(IdiomaTest, FailedSaveOfTheChoiceIsReported) {
  Escribe(config / "korvane", "not a folder");
  IdiomaActual = "English";
  std::string motivo;
  EXPECT_FALSE(GuardaIdioma(motivo));
  EXPECT_NE(motivo.find("registry.ini"), std::string::npos) << motivo;
}

TEST_F(IdiomaTest, MissingChoiceFallsBackToSpanish) {
  Escribe(config / "korvane" / "registry.ini", "[Software\\Korvane]\nIdioma=Klingon\n");
  Idioma_("Español.ini", kCompleto);
  ASSERT_TRUE(CargaIdiomas(destino));
  EXPECT_EQ(IdiomaActual, "Español");
  EXPECT_EQ(TextosEntorno[0], "Programar");
  EXPECT_TRUE(destino.mensajes.empty());
}

TEST_F(IdiomaTest, WithoutAnyFileOneMessageAndTheFixedWords) {
  Idioma_("Deutsch.ini", "[Entorno*]\n0*=Programmieren\n");
  Escribe(config / "korvane" / "registry.ini", "[Software\\Korvane]\nIdioma=Klingon\n");
  EXPECT_FALSE(CargaIdiomas(destino));
  EXPECT_EQ(destino.mensajes, std::vector<std::string>{"No se encontró el Archivo del idioma"});
  EXPECT_EQ(EtiquetaHardware, "Har.>");
  EXPECT_EQ(EtiquetaNinguno, "Ninguno");
  EXPECT_EQ(destino.refrescos, 1);
  EXPECT_TRUE(destino.captions.empty());
  EXPECT_EQ(TextosEntorno[0], "");
  // The files present still make the menu.
  EXPECT_EQ(destino.menu, (std::vector<TDestinoGrabador::TItem>{{"Deutsch", "", false}}));
}

TEST_F(IdiomaTest, DiscoveryIgnoresLetterCase) {
  Idioma_("english.INI", "[Entorno*]\n0*=program\n");
  Idioma_("English.ini", "[Entorno*]\n0*=Program\n");
  Idioma_("Español.Ini", kCompleto);
  Idioma_("Español.bmp", "BM");
  Idioma_("notas.txt", "");
  std::filesystem::create_directories(programa / "LANGUAGES" / "carpeta.ini");
  Escribe(config / "korvane" / "registry.ini", "[Software\\Korvane]\nIdioma=ESPAÑOL\n");
  ASSERT_TRUE(CargaIdiomas(destino));
  const std::string icono = (programa / "LANGUAGES" / "Español.bmp").string();
  EXPECT_EQ(destino.menu, (std::vector<TDestinoGrabador::TItem>{
                              {"English", "", false}, {"english", "", false}, {"Español", icono, true}}));
  EXPECT_EQ(IdiomaActual, "ESPAÑOL");
  EXPECT_EQ(TextosEntorno[0], "Programar");
  // An exact name wins over one that differs only in case.
  EXPECT_EQ(ArchivoDeIdioma("english"), "english.INI");
  EXPECT_EQ(ArchivoDeIdioma("ENGLISH"), "English.ini");
  EXPECT_TRUE(MismoNombre("ÁÉÍÓÚÑ", "áéíóúñ"));
  EXPECT_FALSE(MismoNombre("Español", "Espanol"));
}

TEST_F(IdiomaTest, Windows1252FileIsReadAsSuch) {
  Idioma_("Español.ini", "[Entorno*]\r\n0*=Programaci\xF3n\r\n102*=Configuraci\xF3n\r\n");
  ASSERT_TRUE(CargaIdiomas(destino));
  EXPECT_EQ(TextosEntorno[0], "Programación");
  EXPECT_EQ(TextosZona[2], "Configuración");
}

TEST_F(IdiomaTest, LanguageChangeReplacesTheTexts) {
  Idioma_("Español.ini", kCompleto);
  Idioma_("English.ini", "[Entorno*]\n0*=Program\n");
  ASSERT_TRUE(CargaIdiomas(destino));
  IdiomaActual = "English";
  AplicaIdioma(destino);
  EXPECT_EQ(TextosEntorno[0], "Program");
  EXPECT_EQ(TextosEntorno[5], "");
  EXPECT_EQ(TextosZona[10], " ");
  EXPECT_EQ(TextoIdioma("Menus*", "M1*"), "");
}

}  // namespace
