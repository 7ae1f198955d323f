// TRegAuto over its three stores: typed round trips, lists, paths, the
// registry file and the in-memory ini text.
#include <cmath>
#include <filesystem>

#include "AlmacenIni.h"
#include "RegAuto.h"
#include "carpeta_temporal.h"

namespace {

class RegAutoTest : public CarpetaTemporal {};

// The same round trips on every store.
class TresAlmacenes : public CarpetaTemporal, public ::testing::WithParamInterface<TStorageMedia> {
protected:
  void SetUp() override {
    CarpetaTemporal::SetUp();
    r.Storage = GetParam();
    r.IniFile = "Korvane.ini";
    r.RegPath = "Software\\.\\Korvane";
  }
  TRegAuto r;
};

TEST_P(TresAlmacenes, TypedRoundTrips) {
  EXPECT_EQ(r.ReadString("S", "falta", "def"), "def");
  EXPECT_EQ(r.ReadInteger("S", "falta", 7), 7);
  EXPECT_EQ(r.ReadFloat("S", "falta", 1.5), 1.5);

  ASSERT_TRUE(r.WriteString("S", "texto", " a,b;\"c\"\\ "));
  ASSERT_TRUE(r.WriteInteger("S", "entero", -123456));
  ASSERT_TRUE(r.WriteInteger("S", "minimo", INT32_MIN));
  ASSERT_TRUE(r.WriteFloat("S", "real", 0.1));
  EXPECT_EQ(r.ReadString("s", "TEXTO", ""), " a,b;\"c\"\\ ");
  EXPECT_EQ(r.ReadInteger("S", "entero", 0), -123456);
  EXPECT_EQ(r.ReadInteger("S", "minimo", 0), INT32_MIN);
  EXPECT_EQ(r.ReadFloat("S", "real", 0), 0.1);
  // Integer read of a text that is no number gives the default.
  EXPECT_EQ(r.ReadInteger("S", "texto", 42), 42);
  // A write replaces, it never adds a second key.
  ASSERT_TRUE(r.WriteString("S", "texto", "nuevo"));
  EXPECT_EQ(r.ReadString("S", "texto", ""), "nuevo");
}

TEST_P(TresAlmacenes, ListsUseABarAfterEveryLine) {
  std::vector<std::string> lista = {"x", "y"};
  ASSERT_TRUE(r.WriteStrings("S", "lista", lista));
  EXPECT_EQ(r.ReadString("S", "lista", ""), "x|y|");
  std::vector<std::string> leida = {"viejo"};
  r.ReadStrings("S", "lista", leida);
  EXPECT_EQ(leida, lista);

  std::vector<std::string> sinCambio = {"a", "", "b"};
  r.ReadStrings("S", "falta", sinCambio);
  EXPECT_EQ(sinCambio, (std::vector<std::string>{"a", "", "b"}));

  ASSERT_TRUE(r.WriteStrings("S", "vacia", {}));
  EXPECT_EQ(r.ReadString("S", "vacia", "def"), "");
  // A "|" inside a line reads back as a line break.
  ASSERT_TRUE(r.WriteStrings("S", "barra", {"a|b"}));
  r.ReadStrings("S", "barra", leida);
  EXPECT_EQ(leida, (std::vector<std::string>{"a", "b"}));
}

INSTANTIATE_TEST_SUITE_P(Almacen, TresAlmacenes, ::testing::Values(raRegistry, raIniFile, raIniStrings));

TEST(Listas, TextConversion) {
  EXPECT_EQ(ListaATexto({"x", "y"}), "x|y|");
  EXPECT_EQ(ListaATexto({}), "");
  EXPECT_EQ(ListaATexto({"a\r\nb"}), "a|b|");
  EXPECT_EQ(TextoALista("x|y|"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(TextoALista("x|y"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(TextoALista("||"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(TextoALista("").empty());
}

TEST(Cadenas, ReplaceAllAndJoin) {
  EXPECT_EQ(ReplaceAll("$HOME$HOME", "$HOME", "/h"), "/h/h");
  EXPECT_EQ(ReplaceAll("$HOME/x", "$HOME", "[$HOME]"), "[$HOME]/x");
  EXPECT_EQ(ReplaceAll("", "$HOME", "x"), "");
  EXPECT_EQ(ReplaceAll("$home", "$HOME", "x"), "$home");
  EXPECT_EQ(JoinNonEmpty("", "b", "/"), "b");
  EXPECT_EQ(JoinNonEmpty("a", "", "/"), "a");
  EXPECT_EQ(JoinNonEmpty("a", "b", "/"), "a/b");
}

TEST(Cadenas, IntegerTexts) {
  struct Caso { const char* texto; std::optional<int32_t> valor; };
  const Caso casos[] = {
      {"0", 0}, {"-5", -5}, {"+5", 5}, {" 12 ", 12}, {"$378", 0x378}, {"0x3BC", 0x3BC},
      {"0XFF", 255}, {"$FFFFFFFF", -1}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt}, {"", std::nullopt}, {"12a", std::nullopt},
      {"--5", std::nullopt}, {"0x", std::nullopt}, {"1.5", std::nullopt},
  };
  for (const auto& c : casos) EXPECT_EQ(TextoAEntero(c.texto), c.valor) << c.texto;
}

TEST_F(RegAutoTest, FileNamesResolveAgainstTheProgramFolder) {
  TRegAuto r;
  const std::string p = programa.string() + "/";
  setenv("HOME", "/home/usuario", 1);
  struct Caso { const char* nombre; std::string esperado; };
  const Caso casos[] = {
      {"Korvane.ini", p + "Korvane.ini"},
      {"Hardware\\Mi perfil.prf", p + "Hardware/Mi perfil.prf"},
      {"Hardware\\Korvane.prf ", p + "Hardware/Korvane.prf"},  // trailing blank dropped
      {"a. . ", p + "a"},
      {"dir. /x", p + "dir. /x"},  // only the file name's end
      {"a", p + "a"},
      {"/etc/korvane/x.ini", "/etc/korvane/x.ini"},
      {"$HOME/.Korvane", "/home/usuario/.Korvane"},
  };
  for (const auto& c : casos) {
    r.IniFile = c.nombre;
    EXPECT_EQ(r.ResolveIniFileName(), c.esperado) << c.nombre;
  }
}

TEST_F(RegAutoTest, RegistryLivesInOneFileAndReadsCreateNothing) {
  TRegAuto r;
  r.RegPath = "Software\\\\";
  EXPECT_EQ(r.ReadString("Korvane", "Idioma", "Español"), "Español");
  EXPECT_FALSE(std::filesystem::exists(config / "korvane"));

  ASSERT_TRUE(r.WriteString("Korvane", "Idioma", "English")) << r.UltimoError();
  EXPECT_EQ(Lee(config / "korvane" / "registry.ini"), "[Software\\Korvane]\r\nIdioma=English\r\n");
  // Another path reaching the same key reads the same value.
  r.RegPath = "Software";
  EXPECT_EQ(r.ReadString("\\Korvane\\", "idioma", ""), "English");
  r.RegPath = "Software\\.\\Korvane";
  EXPECT_EQ(r.ReadString("Korvane", "Idioma", "none"), "none");
}

TEST_F(RegAutoTest, RegistryFallsBackToDotConfig) {
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", raiz.c_str(), 1);
  EXPECT_EQ(ArchivoRegistro(), raiz.string() + "/.config/korvane/registry.ini");
}

TEST_F(RegAutoTest, StorageOutsideTheThreeReadsDefaultsAndRefusesWrites) {
  TRegAuto r;
  r.Storage = static_cast<TStorageMedia>(7);
  EXPECT_EQ(r.ReadString("A", "b", "def"), "def");
  EXPECT_EQ(r.ReadInteger("A", "b", 3), 3);
  EXPECT_FALSE(r.WriteString("A", "b", "c"));
  EXPECT_FALSE(std::filesystem::exists(config));
}

TEST_F(RegAutoTest, SectionPrefix) {
  TRegAuto r;
  r.Storage = raIniStrings;
  r.Section = "Form";
  ASSERT_TRUE(r.WriteString("Sub", "k", "1"));
  ASSERT_TRUE(r.WriteString("", "k", "2"));
  EXPECT_EQ(r.IniStrings, (std::vector<std::string>{"[Form/Sub]", "k=1", "", "[Form]", "k=2"}));
}

TEST(IniStrings, KeysMatchWholeAndWritesReplace) {
  std::vector<std::string> lineas = {"[Hardware]", "PortB=1", "", "Port=2"};
  TIniStrings s(lineas);
  EXPECT_EQ(s.ReadString("hardware", "Port", ""), "2");
  EXPECT_EQ(s.ReadString("Hardware", "PortB", ""), "1");
  ASSERT_TRUE(s.WriteString("Hardware", "Port", "3"));
  EXPECT_EQ(lineas, (std::vector<std::string>{"[Hardware]", "PortB=1", "", "Port=3"}));
  EXPECT_EQ(s.ReadString("Hardware", "Port", ""), "3");
}

TEST(IniStrings, MissingSectionIsAppended) {
  std::vector<std::string> lineas = {"[A]", "x=1"};
  TIniStrings s(lineas);
  ASSERT_TRUE(s.WriteString("B", "y", "2"));
  EXPECT_EQ(lineas, (std::vector<std::string>{"[A]", "x=1", "", "[B]", "y=2"}));
  EXPECT_EQ(s.ReadInteger("B", "y", 0), 2);
  EXPECT_EQ(s.ReadFloat("A", "x", 0), 1.0);
}

class Dueno : public TDuenoRegAuto {
public:
  std::string Nombre() const override { return "FormKorvane"; }
  bool EsVentana() const override { return ventana; }
  void LeeColocacion(TRegAuto&) override { pasos += "colocacion-lee "; }
  void GuardaColocacion(TRegAuto&) override { pasos += "colocacion-guarda "; }
  void LeePropiedad(TRegAuto&, const std::string& l) override {
    if (l == "malo") throw std::runtime_error("sin propiedad");
    pasos += "lee:" + l + " ";
  }
  void GuardaPropiedad(TRegAuto&, const std::string& l) override {
    if (l == "malo") throw std::runtime_error("x");
    pasos += "guarda:" + l + " ";
  }
  bool ventana = true;
  std::string pasos;
};

TEST(LoadSave, OrderOfEventsPlacementAndProps) {
  Dueno d;
  TRegAuto r(&d);
  r.SetSaveWindowPlace(true);
  r.Props = {"A.Caption"};
  r.BeforeLoad = [&](TRegAuto&) { d.pasos += "antes "; };
  r.AfterLoad = [&](TRegAuto&) { d.pasos += "despues "; };
  r.AlCrear();
  EXPECT_EQ(d.pasos, "antes colocacion-lee lee:A.Caption despues ");
  d.pasos.clear();
  r.AfterSave = [&](TRegAuto&) { d.pasos += "fin "; };
  r.AlDestruir();
  EXPECT_EQ(d.pasos, "guarda:A.Caption colocacion-guarda fin ");

  d.pasos.clear();
  r.AutoMode = false;
  r.AlCrear();
  EXPECT_EQ(d.pasos, "");
}

TEST(LoadSave, FailuresBecomeEKlRegAutoError) {
  Dueno d;
  TRegAuto r(&d);
  bool despues = false;
  r.AfterLoad = [&](TRegAuto&) { despues = true; };
  r.AfterSave = [&](TRegAuto&) { despues = true; };
  r.Props = {"malo"};
  try {
    r.Load();
    FAIL();
  } catch (const EKlRegAutoError& e) {
    EXPECT_STREQ(e.what(), "Could not load property: sin propiedad");
  }
  try {
    r.Save();
    FAIL();
  } catch (const EKlRegAutoError& e) {
    EXPECT_STREQ(e.what(), "Could not save property malo");
  }
  EXPECT_FALSE(despues);
}

TEST(LoadSave, WindowPlacementOnlyForWindows) {
  Dueno d;
  d.ventana = false;
  TRegAuto r(&d);
  r.SetSaveWindowPlace(true);
  EXPECT_FALSE(r.SaveWindowPlace());
  TRegAuto sinDueno;
  sinDueno.SetSaveWindowPlace(true);
  EXPECT_FALSE(sinDueno.SaveWindowPlace());
}

}  // namespace
