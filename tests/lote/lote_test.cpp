// The command line and the batch run, over a scripted main window.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "Lote.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Args = std::vector<std::string>;

namespace {

class Idioma : public ::testing::Test {
protected:
  void SetUp() override { UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini"); }
};

// ---- The parser ------------------------------------------------------------

struct CasoParametros {
  Args argumentos;
  uint8_t correcto, accion, salir, forzar, auto_;
  std::string archivo, dispositivo;
  TFalloParametros fallo;
  std::string refusado;
};

class Parametros : public Idioma, public ::testing::WithParamInterface<CasoParametros> {};

TEST_P(Parametros, Table) {
  const CasoParametros& c = GetParam();
  const TLecturaParametros r = LeeParametros(c.argumentos);
  EXPECT_EQ(r.Comand.Correcto, c.correcto);
  EXPECT_EQ(r.Comand.Accion, c.accion);
  EXPECT_EQ(r.Comand.Salir, c.salir);
  EXPECT_EQ(r.Comand.ForzarHex, c.forzar);
  EXPECT_EQ(r.Comand.AutoDetecta, c.auto_);
  EXPECT_EQ(r.Comand.Archivo, c.archivo);
  EXPECT_EQ(r.Comand.Dispositivo, c.dispositivo);
  EXPECT_EQ(r.Fallo, c.fallo);
  EXPECT_EQ(r.Argumento, c.refusado);
}

// A case shows as its command line.
void PrintTo(const CasoParametros& c, std::ostream* os) {
  *os << "korvane";
  for (const std::string& a : c.argumentos) *os << ' ' << a;
}

using F = TFalloParametros;
INSTANTIATE_TEST_SUITE_P(
    Lote, Parametros,
    ::testing::Values(
        // A name split by the shell comes back whole, with no trailing blank.
        CasoParametros{{"-P", "-S", "/tmp/a", "b.hex"}, 1, 0, 1, 0, 0, "/tmp/a b.hex", "", F::Ninguno, ""},
        CasoParametros{{"-dpic16f84a"}, 1, 6, 0, 0, 0, "", "PIC16F84A", F::Ninguno, ""},
        CasoParametros{{"-D16F84A", "-v", "x.hex"}, 1, 2, 0, 0, 0, "x.hex", "16F84A", F::Ninguno, ""},
        // Only the first two characters of an option count.
        CasoParametros{{"-Pfoo", "-Abc", "-Ixyz"}, 1, 0, 0, 1, 1, "", "", F::Ninguno, ""},
        CasoParametros{{"only.hex"}, 1, 6, 0, 0, 0, "only.hex", "", F::Ninguno, ""},
        CasoParametros{{}, 1, 6, 0, 0, 0, "", "", F::Ninguno, ""},
        CasoParametros{{"-P", "-X", "a.hex"}, 0, 0, 0, 0, 0, "", "", F::OpcionDesconocida, "-X"},
        CasoParametros{{"a.hex", "x"}, 0, 6, 0, 0, 0, "a.hex", "", F::Incompleta, "x"},
        CasoParametros{{"-"}, 0, 6, 0, 0, 0, "", "", F::Incompleta, "-"}));

TEST_F(Idioma, RefusedArgumentsNameThemselves) {
  EXPECT_EQ(TextoFalloParametros(LeeParametros({"x"})), "Linea de comandos incompleta -> x");
  EXPECT_EQ(TextoFalloParametros(LeeParametros({"-X"})), TextoIdioma("pg_err*", "2*") + " -X");
  EXPECT_FALSE(TextoIdioma("pg_err*", "2*").empty());
  EXPECT_EQ(TextoFalloParametros(LeeParametros({"-P"})), "");
}

TEST(LoteCatalogo, DeviceNamesFromTheCommandLine) {
  EXPECT_NE(BuscaPic(LeeParametros({"-dpic16f84a"}).Comand.Dispositivo), 255);
  EXPECT_EQ(BuscaPic(LeeParametros({"-D16F84A"}).Comand.Dispositivo), 255);
}

// ---- -I --------------------------------------------------------------------

class ForzarHex : public ::testing::Test {
protected:
  void SetUp() override {
    std::string plantilla = (std::filesystem::temp_directory_path() / "lote-XXXXXX").string();
    ASSERT_NE(mkdtemp(plantilla.data()), nullptr);
    dir = plantilla;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void Crea(const std::string& nombre) { std::ofstream(dir / nombre) << ":00000001FF\n"; }
  std::filesystem::path dir;
};

TEST_F(ForzarHex, ExtensionReplacedAndCaseVariantsFound) {
  const std::string d = dir.string() + "/";
  EXPECT_EQ(NombreForzadoHex(d + "prog"), d + "prog.HEX");
  EXPECT_EQ(NombreForzadoHex(d + "prog.txt"), d + "prog.HEX");
  EXPECT_EQ(NombreForzadoHex("  " + d + "prog.txt "), d + "prog.HEX");
  // A dot in a folder's name is no extension.
  std::filesystem::create_directories(dir / "v1.2");
  EXPECT_EQ(NombreForzadoHex(d + "v1.2/prog"), d + "v1.2/prog.HEX");
  // Only a lower-case file exists: that one is taken.
  Crea("prog.hex");
  EXPECT_EQ(NombreForzadoHex(d + "prog.txt"), d + "prog.hex");
  // The exact name wins over a variant.
  Crea("prog.HEX");
  EXPECT_EQ(NombreForzadoHex(d + "prog"), d + "prog.HEX");
}

// ---- The batch run ---------------------------------------------------------

// A main window that does what the script says and records what was asked.
class VentanaGuion final : public TPasosLote {
public:
  void SeleccionaFamiliaFlash() override { pasos.push_back("family"); }
  TDeteccion Detecta() override {
    pasos.push_back(std::string("detect autopic=") + (autoPic ? "1" : "0"));
    if (deteccion.Encontrado) actual = deteccion.Nombre;
    return deteccion;
  }
  bool AutoSeleccion() const override { return autoSel; }
  bool AutoPic() const override { return autoPic; }
  void PonAutoPic(bool v) override { autoPic = v; }
  uint8_t BuscaDispositivo(const std::string& n) override { return BuscaPic(n); }
  void SeleccionaDispositivo(uint8_t i) override {
    pasos.push_back("select " + std::to_string(i));
    actual = DaNombreDispositivo(0, i);
  }
  std::string DispositivoActual() const override { return actual; }
  bool CargaArchivo(const std::string& a) override {
    pasos.push_back("load " + a);
    if (!cargaOk) ultimoFallo = "File not found: " + a;
    return cargaOk;
  }
  uint8_t Programa() override {
    pasos.push_back("program");
    if (resultado) ultimoFallo = "Program error at 0x0010";
    return resultado;
  }
  uint8_t Verifica() override {
    pasos.push_back("verify");
    if (resultado) ultimoFallo = falloVerificacion;
    return resultado;
  }
  std::string TextoUltimoFallo() const override { return ultimoFallo; }
  void Mensaje(const std::string& t) override { mensajes.push_back(t); }

  std::vector<std::string> pasos, mensajes;
  TDeteccion deteccion;
  bool autoSel = false, autoPic = false, cargaOk = true;
  uint8_t resultado = 0;
  std::string actual = "10F200", ultimoFallo;
  std::string falloVerificacion = "Verify error at 0x0010";  // the failed verify's message
};

class Flujo : public Idioma {
protected:
  // Runs a whole batch as the start timer would; returns whether it waited.
  bool Corre(const Args& a) {
    lote = std::make_unique<TLote>(v, a);
    const bool espera = lote->Inicia();
    if (!lote->Terminado()) lote->Continua();
    return espera;
  }
  VentanaGuion v;
  std::unique_ptr<TLote> lote;
};

TEST_F(Flujo, ProgramAndCloseAfterTheWait) {
  EXPECT_TRUE(Corre({"-P", "-S", "-DPIC16F628A", "/tmp/a", "b.hex"}));
  EXPECT_THAT(v.pasos, ElementsAre("family", "select " + std::to_string(BuscaPic("PIC16F628A")),
                                   "load /tmp/a b.hex", "program"));
  EXPECT_EQ(lote->CodigoSalida(), 0);
  EXPECT_TRUE(lote->DebeCerrar());
  EXPECT_EQ(lote->LineaResultado(),
            "korvane: program /tmp/a b.hex (" + DaNombreDispositivo(0, BuscaPic("PIC16F628A")) + "): ok");
}

TEST_F(Flujo, IdentificationThatNamesNoPartStopsTheBatch) {
  v.deteccion = {0, false, 29, "No device found"};
  EXPECT_FALSE(Corre({"-A", "-P", "-S", "a.hex"}));
  EXPECT_THAT(v.pasos, ElementsAre("family", "detect autopic=1"));
  EXPECT_EQ(lote->CodigoSalida(), 1);
  EXPECT_FALSE(lote->DebeCerrar());
  ASSERT_EQ(v.mensajes.size(), 1u);
  EXPECT_EQ(v.mensajes[0], TextoIdioma("Lote*", "1*"));
  EXPECT_THAT(lote->LineaResultado(), HasSubstr("failed: " + TextoIdioma("Lote*", "1*")));
  // The switch to the detected part stays on after a batch identification.
  EXPECT_TRUE(v.autoPic);
}

TEST_F(Flujo, IdentificationOfAnotherPartThanTheNamedOneStops) {
  const uint8_t f628 = BuscaPic("PIC16F628A"), f84 = BuscaPic("PIC16F84A");
  v.deteccion = {0, true, f84, "16F84A"};
  EXPECT_FALSE(Corre({"-A", "-DPIC16F628A", "-P", "a.hex"}));
  EXPECT_THAT(v.pasos, ElementsAre("family", "detect autopic=1"));
  EXPECT_EQ(lote->CodigoSalida(), 1);
  ASSERT_EQ(v.mensajes.size(), 1u);
  EXPECT_THAT(v.mensajes[0], HasSubstr("PIC16F628A / 16F84A"));

  // The stored auto-select option is an identification too.
  v = VentanaGuion{};
  v.autoSel = true;
  v.deteccion = {0, true, f84, "16F84A"};
  Corre({"-DPIC16F628A", "-P", "a.hex"});
  EXPECT_EQ(lote->CodigoSalida(), 1);

  // The part named is the part found: no wait after an identification.
  v = VentanaGuion{};
  v.deteccion = {0, true, f628, "16F628A"};
  EXPECT_FALSE(Corre({"-A", "-DPIC16F628A", "-P", "a.hex"}));
  EXPECT_THAT(v.pasos, ElementsAre("family", "detect autopic=1", "load a.hex", "program"));
  EXPECT_EQ(lote->CodigoSalida(), 0);
}

TEST_F(Flujo, FailedIdentificationLoadsNothing) {
  v.deteccion = {6, false, 29, ""};
  v.ultimoFallo = "The programmer does not answer";
  Corre({"-A", "-V", "a.hex"});
  EXPECT_THAT(v.pasos, ElementsAre("family", "detect autopic=1"));
  EXPECT_EQ(lote->CodigoSalida(), 1);
  EXPECT_THAT(lote->LineaResultado(), HasSubstr("The programmer does not answer"));
}

TEST_F(Flujo, FailedLoadRunsNothingAndKeepsTheWindowOpen) {
  v.cargaOk = false;
  EXPECT_FALSE(Corre({"-P", "-S", "missing.hex"}));
  EXPECT_THAT(v.pasos, ElementsAre("family", "load missing.hex"));
  EXPECT_EQ(lote->Comand().Accion, 6);
  EXPECT_EQ(lote->CodigoSalida(), 1);
  EXPECT_FALSE(lote->DebeCerrar());
  EXPECT_EQ(lote->LineaResultado(), "korvane: program missing.hex (10F200): failed: File not found: missing.hex");
}

TEST_F(Flujo, FailedOperationGivesItsMessage) {
  v.resultado = 11;
  EXPECT_TRUE(Corre({"-V", "-S", "a.hex"}));
  EXPECT_EQ(lote->CodigoSalida(), 1);
  EXPECT_FALSE(lote->DebeCerrar());
  EXPECT_THAT(lote->LineaResultado(), HasSubstr("verify a.hex"));
  EXPECT_THAT(lote->LineaResultado(), HasSubstr("failed: Verify error at 0x0010"));
}

// The verify error's box is two lines, the second indented: on the result
// line they read as one, joined by "; ", the values as the box shows them.
TEST_F(Flujo, AMessageOfSeveralLinesIsOneLineJoinedBySemicolons) {
  struct : TInterfazOperacion {
    std::string caja;
    void Mensaje(const std::string& t) override { caja = t; }
  } ventana;
  TInterfazOperacion* anterior = PonInterfazOperacion(&ventana);
  TContextoError contexto;
  contexto.Direccion = 4;
  contexto.Esperado = 0x3FFF;
  contexto.Leido = 0x0000;
  MuestraError(contexto, ErrVerificacion);
  PonInterfazOperacion(anterior);
  ASSERT_NE(ventana.caja.find('\n'), std::string::npos);
  v.falloVerificacion = ventana.caja;
  v.resultado = ErrVerificacion;
  Corre({"-V", "-S", "a.hex"});
  const std::string p = TextoError("11*") + " ";
  EXPECT_EQ(lote->LineaResultado(), "korvane: verify a.hex (10F200): failed: " + p + TextoError("14*") + "000004; " +
                                        TextoError("16*") + "3FFF   " + TextoError("17*") + "0000");
}

TEST(UnaLinea, LineBreaksBecomeSemicolons) {
  const std::pair<std::string, std::string> casos[] = {
      {"one line", "one line"},
      {"first\n          second", "first; second"},
      {" first  \r\n  second ", "first; second"},
      {" Cancelled by the user.", "Cancelled by the user."},
      {"no answer\n ", "no answer"},  // a break before a last blank line
      {"a\n\n\nb", "a; b"},
      {"", ""},
  };
  for (const auto& [texto, linea] : casos) EXPECT_EQ(UnaLinea(texto), linea) << texto;
}

TEST_F(Flujo, RefusedCommandLinesDoNothing) {
  Corre({"-X", "a.hex"});
  EXPECT_THAT(v.pasos, ElementsAre("family"));
  EXPECT_THAT(v.mensajes, ElementsAre(TextoIdioma("pg_err*", "2*") + " -X"));
  EXPECT_EQ(lote->CodigoSalida(), 1);

  v = VentanaGuion{};
  Corre({"-D16F84A", "-P", "a.hex"});
  EXPECT_THAT(v.pasos, ElementsAre("family"));
  EXPECT_THAT(v.mensajes, ElementsAre(TextoIdioma("pg_err*", "3*") + " 16F84A"));
  EXPECT_EQ(lote->CodigoSalida(), 1);
  // The part the line names is the one asked for, not the one selected.
  EXPECT_EQ(lote->LineaResultado(), "korvane: program a.hex (16F84A): failed: " + TextoIdioma("pg_err*", "3*") + " 16F84A");
}

TEST_F(Flujo, LoadAloneSucceedsAndCloses) {
  Corre({"-S", "a.hex"});
  EXPECT_THAT(v.pasos, ElementsAre("family", "load a.hex"));
  EXPECT_EQ(lote->CodigoSalida(), 0);
  EXPECT_TRUE(lote->DebeCerrar());
}

TEST_F(Flujo, ClosedBeforeTheEnd) {
  lote = std::make_unique<TLote>(v, Args{"-P", "a.hex"});
  ASSERT_TRUE(lote->Inicia());
  lote->Interrumpe();
  EXPECT_EQ(lote->CodigoSalida(), 2);
  EXPECT_THAT(lote->LineaResultado(), HasSubstr("interrupted"));
  lote->Continua();  // the wait's timer may still fire: nothing runs
  EXPECT_THAT(v.pasos, ElementsAre("family", "load a.hex"));
}

TEST_F(Flujo, WithoutArgumentsOnlyTheOptionalIdentification) {
  EXPECT_FALSE(Corre({}));
  EXPECT_TRUE(v.pasos.empty());
  EXPECT_EQ(lote->LineaResultado(), "");

  v.autoSel = true;
  v.autoPic = false;
  Corre({});
  EXPECT_THAT(v.pasos, ElementsAre("family", "detect autopic=1"));
  EXPECT_FALSE(v.autoPic);  // put back as it was
  EXPECT_EQ(lote->CodigoSalida(), 0);
}

}  // namespace
