// Edge cases of the area routines, as tables.
#include <gtest/gtest.h>

#include <set>

#include "banco_flash.h"
#include "flash/pg_flash.h"
#include "hw/pg_port.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

// VerificaZona on hand-made areas: which differences pass.
TEST(Bordes, VerifyExceptions) {
  struct {
    const char* caso;
    uint8_t clase, indice;
    bool actCal, config;
    uint32_t first, cuenta;
    uint32_t celdaDistinta;  // index of the differing cell
    uint16_t archivo, dispositivo;
    bool falla;
  } tabla[] = {
      {"12F629 blank OSCCAL cell in the file", 0, 4, false, false, 0, 1024, 0x3FF, 0x3FFF, 0x3480, false},
      {"12F629 OSCCAL cell with a value", 0, 4, false, false, 0, 1024, 0x3FF, 0x3401, 0x3480, true},
      {"16F628A has no OSCCAL cell", 0, 11, false, false, 0, 2048, 0x3FF, 0x3FFF, 0x3480, true},
      {"EPROM part, whatever the flash index", 1, 13, false, false, 0, 2048, 0x3FF, 0x3FFF, 0x3480, true},
      {"12F683 calibration word, Act_Cal clear", 0, 7, false, true, 0x2007, 2, 1, 0x3FFF, 0x1234, false},
      {"12F683 calibration word, Act_Cal set", 0, 7, true, true, 0x2007, 2, 1, 0x3FFF, 0x1234, true},
      {"12F683 configuration word, Act_Cal clear", 0, 7, false, true, 0x2007, 2, 0, 0x3FF4, 0x3FF0, true},
      {"12F635 calibration words", 0, 5, false, true, 0x2007, 3, 2, 0x3FFF, 0x0000, false},
      {"12F635 configuration word", 0, 5, false, true, 0x2007, 3, 0, 0x3FFF, 0x0000, true},
  };
  TVentanaFlash ventana;
  for (const auto& t : tabla) {
    SeleccionaPic(t.clase, t.indice);
    Act_Cal = t.actCal;
    TipoAccion = 2;
    std::vector<uint16_t> archivo(t.cuenta, 0x3FFF), dispositivo(t.cuenta, 0x3FFF);
    archivo[t.celdaDistinta] = t.archivo;
    dispositivo[t.celdaDistinta] = t.dispositivo;
    ContextoError.Codigo = 0;
    EXPECT_EQ(VerificaZona(archivo.data(), dispositivo.data(), t.first, t.config, 0x3FFF, t.cuenta),
              t.falla)
        << t.caso;
    if (t.falla) {
      EXPECT_EQ(ContextoError.Codigo, uint32_t{ErrVerificacion}) << t.caso;
      EXPECT_EQ(ContextoError.Direccion, t.first + t.celdaDistinta) << t.caso;
      EXPECT_EQ(ContextoError.Esperado, t.archivo) << t.caso;
      EXPECT_EQ(ContextoError.Leido, t.dispositivo) << t.caso;
    }
  }
  Act_Cal = false;
  ClaseDispositivo = 0;
}

TEST(Bordes, AbsentAreasAreNotTouched) {
  TVentanaFlash ventana;
  TPic14Sim chip(*Datos14("16F84A"));
  SeleccionaPic(0, 30);
  TBancoFlash banco(TEnlacePrueba::Lpt, &chip);
  uint16_t celda = 0x1234;
  EXPECT_EQ(banco.Ejecuta(1, [&] { return LeeZona14(&celda, 0, 0, "", "", false, 4, 0x3FFF); }), 0u);
  EXPECT_EQ(celda, 0x1234);
  EXPECT_EQ(banco.Ejecuta(0, [&] {
              return ProgramaZona14(&celda, 0, 0, 0x3FFF, 2, 4, false, TZona::Programa, "", "");
            }),
            0u);
  EXPECT_EQ(chip.Prog[0], 0x3FFF);
  EXPECT_TRUE(ventana.Lineas.empty());
  EXPECT_EQ(chip.Entradas, 2u);  // only the runner's own entry of each run
  EXPECT_EQ(VerificaZona(&celda, &celda, 0, false, 0x3FFF, 0), false);
}

// Without a language file every caption is empty: the EPROM program area
// must still get 20 pulses of 2 ms, not the configuration's 2 of 20 ms.
TEST(Bordes, EpromAreaKindDoesNotDependOnCaptions) {
  LimpiaTextosEntorno();
  TVentanaFlash ventana;
  TPicCSim chip(*DatosC("16C622A"));
  chip.PulsosCelda[0x10] = 5;
  SeleccionaPic(1, 13);
  TBancoFlash banco(TEnlacePrueba::Lpt, &chip);
  ImagenPrueba(1, {0x3F71});
  BufDispositivo.Prog[0x10] = 0x0123;
  ASSERT_EQ(banco.Ejecuta(0, ProgramaPicC), 0u);
  EXPECT_EQ(chip.PulsosEn(0x10), 5u);
  for (const auto& p : chip.Pulsos)
    EXPECT_EQ(p.DuracionNs / 1000000, p.Direccion == 0x2007 ? 20u : 2u) << p.Direccion;
  EXPECT_TRUE(chip.Violaciones.empty());
}

// The begin and end commands each area's writes reach the part with, as
// the part decoded them. The end-23 group begins with 8 only in an area
// whose last address is 0x2007 (the 16F877A's single configuration word;
// the 16F88's two words take 24 like its program area).
TEST(Bordes, BeginAndEndCommandsOfEveryArea) {
  enum { Prog, Id, Datos, Config, Areas };
  const char* const nombres[Areas] = {"program", "ID", "data EEPROM", "configuration"};
  struct {
    const char* parte;
    uint8_t indice;
    uint16_t config0, config1;
    uint8_t inicio[Areas];  // 0: the part has no such area
    uint8_t fin;            // 0: no end command, the read follows
  } tabla[] = {
      {"16F877A", 45, 0x3F3A, 0x3FFF, {24, 24, 24, 8}, 23},
      {"16F88", 32, 0x3F3B, 0x3FFC, {24, 24, 24, 24}, 23},
      {"16F74", 20, 0x3FFB, 0x3FFF, {8, 8, 0, 8}, 14},
      {"16F628A", 11, 0x3F3B, 0x3FFF, {8, 8, 8, 8}, 0},
  };
  TVentanaFlash ventana;
  for (const auto& t : tabla) {
    TPic14Sim chip(*Datos14(t.parte));
    SeleccionaPic(0, t.indice);
    TBancoFlash banco(TEnlacePrueba::Lpt, &chip);
    ImagenPrueba(t.indice, {t.config0, t.config1});
    chip.RegistraComandos = true;
    ASSERT_EQ(banco.Ejecuta(0, ProgramaPic), 0u) << t.parte;
    std::set<uint8_t> inicios[Areas], finales[Areas];
    const auto& r = chip.Recibidos;
    for (std::size_t k = 0; k + 1 < r.size(); ++k) {
      if (r[k].Comando != 8 && r[k].Comando != 24) continue;
      const int area = r[k].Datos ? Datos : r[k].Pc < 0x2000 ? Prog : r[k].Pc < 0x2004 ? Id : Config;
      inicios[area].insert(r[k].Comando);
      finales[area].insert(r[k + 1].Comando);
    }
    for (int a = 0; a < Areas; ++a) {
      const std::set<uint8_t> inicio = t.inicio[a] ? std::set<uint8_t>{t.inicio[a]} : std::set<uint8_t>{};
      const uint8_t fin = t.fin ? t.fin : (a == Datos ? 5 : 4);
      EXPECT_EQ(inicios[a], inicio) << t.parte << " " << nombres[a];
      EXPECT_EQ(finales[a], t.inicio[a] ? std::set<uint8_t>{fin} : std::set<uint8_t>{})
          << t.parte << " " << nombres[a];
    }
    EXPECT_TRUE(chip.Violaciones.empty()) << t.parte;
  }
}

// Entry with Vpp before Vdd, and a part in the second socket.
TEST(Bordes, EntryOrderAndSecondSocket) {
  TVentanaFlash ventana;
  struct {
    TEntradaSim entrada;
    bool vppAntesVdd, zocalo2;
    uint32_t resultado;
  } tabla[] = {
      {TEntradaSim::VppPrimero, true, false, 0},
      {TEntradaSim::VppPrimero, false, false, ErrEscritura},  // never enters programming mode
      {TEntradaSim::VddPrimero, false, true, 0},
  };
  for (const auto& t : tabla) {
    TPic14Sim chip(*Datos14("16F628A"));
    chip.Entrada = t.entrada;
    SeleccionaPic(0, 11);
    PonPerfilLptSim(true);
    TBancoSim banco;
    banco.Puerto.Registra = banco.Adaptador.Registra = false;
    if (t.zocalo2) banco.Adaptador.Conecta(nullptr, &chip);
    else banco.Adaptador.Conecta(&chip);
    ImagenPrueba(3, {0x3F3B});
    Zocalo2 = t.zocalo2;
    VppAntesVdd = t.vppAntesVdd;
    TipoAccion = 0;
    ContextoError.Codigo = 0;
    PinesReposo();
    VddOn();
    MedioBitUs = 1;  // as the hardware check before every operation leaves it
    const bool fallo = ProgramaPic() || VerificaPic();
    EXPECT_EQ(fallo ? ContextoError.Codigo : 0u, t.resultado);
    if (!fallo) {
      EXPECT_EQ(chip.Prog[1], BufArchivo.Prog[1]);
    }
    EXPECT_TRUE(chip.Violaciones.empty()) << chip.Violaciones.front();
    Zocalo2 = VppAntesVdd = false;
  }
}

// The simulated parts hold the host to their delays: a programming wait
// shorter than the part's leaves the word unwritten and is logged.
TEST(Bordes, ShortProgrammingWaitIsCaught) {
  TVentanaFlash ventana;
  auto d = *Datos14("16F628A");
  d.T8Ns = 4'000'000;  // the part needs 4 ms, the engine waits 3 ms
  TPic14Sim chip(d);
  SeleccionaPic(0, 11);
  TBancoFlash banco(TEnlacePrueba::Lpt, &chip);
  ImagenPrueba(4, {0x3F3B});
  EXPECT_EQ(banco.Ejecuta(0, ProgramaPic), uint32_t{ErrEscritura});
  ASSERT_FALSE(chip.Violaciones.empty());
  EXPECT_NE(chip.Violaciones[0].find("programming"), std::string::npos);
}

}  // namespace

namespace {

// What the operation window shows during a programming run.
TEST(Bordes, LogLinesAndPanes) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  TVentanaFlash ventana;
  TPic14Sim chip(*Datos14("16F84A"));
  SeleccionaPic(0, 30);
  TBancoFlash banco(TEnlacePrueba::Lpt, &chip);
  ImagenPrueba(8, {0x3FFB});
  ASSERT_EQ(banco.Ejecuta(0, [] { return ProgramaPic() || VerificaPic(); }), 0u);
  const std::vector<std::string> esperadas = {
      " " + TextosEntorno[23],
      " [ " + TextosEntorno[14] + " ]",
      " " + TextosEntorno[15] + " " + TextosZona[0] + "  1024 " + TextosEntorno[22],
      " " + TextosEntorno[15] + " " + TextosZona[1] + "     4 " + TextosEntorno[22],
      " " + TextosEntorno[15] + " " + TextosZona[3] + "    64 " + TextosEntorno[21],
      " " + TextosEntorno[15] + " " + TextosZona[2] + "     1 " + TextosEntorno[22],
      " [ " + TextosEntorno[17] + " ]",
      " " + TextosEntorno[16] + " " + TextosZona[0] + "  1024 " + TextosEntorno[22],
  };
  ASSERT_GE(ventana.Lineas.size(), esperadas.size());
  for (std::size_t i = 0; i < esperadas.size(); ++i) EXPECT_EQ(ventana.Lineas[i], esperadas[i]);
  EXPECT_EQ(ventana.Lineas.back(), " " + TextosZona[3] + " " + TextosEntorno[19]);
  EXPECT_FALSE(TextosEntorno[15].empty());
  bool pgm4 = false;
  for (const auto& p : ventana.Paneles) pgm4 = pgm4 || p == "Pgm - 4 ms";
  EXPECT_TRUE(pgm4);
}

// Classes and families without an erase on the link say so and do not
// report a finished erase.
TEST(Bordes, NoEraseOnTheLink) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  struct {
    uint8_t clase, indice;
  } tabla[] = {{1, 13}, {2, 3}};
  for (const auto& t : tabla) {
    TVentanaFlash ventana;
    TPic14Sim chip(*Datos14("16F84A"));
    SeleccionaPic(t.clase, t.indice);
    TBancoFlash banco(TEnlacePrueba::Lpt, &chip);
    EXPECT_EQ(banco.Ejecuta(3, BorraPic), 0u);
    EXPECT_TRUE(ventana.HayLinea(" " + TextoIdioma("pg_err*", "54*")));
    EXPECT_FALSE(ventana.HayLinea(" " + TextosEntorno[23]));
  }
  ClaseDispositivo = 0;
}

}  // namespace
