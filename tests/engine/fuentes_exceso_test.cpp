// Every engine line the benchmarks name for their excesses stands where
// its needle says: on exactly one line of its file.
#include <gtest/gtest.h>

#include "../../bench/fuentes_exceso.h"

namespace {

TEST(FuentesExceso, EveryNeedleStandsOnExactlyOneLine) {
  for (const TLineaFuente& f : TodasLasFuentesExceso) {
    const TLineaResuelta r = ResuelveLinea(KORVANE_SOURCE_DIR, f);
    EXPECT_TRUE(r.Leido) << f.Archivo;
    EXPECT_EQ(r.Coincidencias, 1) << f.Archivo << ": " << f.Aguja;
  }
}

// A needle that has gone stale, or that stands on several lines, is told
// apart from a good one, and the line found is given trimmed.
TEST(FuentesExceso, ResolvesTheLineAndTellsStaleOrAmbiguousNeedles) {
  const std::string raiz = KORVANE_SOURCE_DIR;
  const TLineaResuelta bueno = ResuelveLinea(raiz, Fuente::EntradaVpp);
  EXPECT_GT(bueno.Numero, 0);
  EXPECT_EQ(bueno.Texto.rfind(Fuente::EntradaVpp.Aguja, 0), 0u) << bueno.Texto;

  EXPECT_EQ(ResuelveLinea(raiz, {Fuente::EntradaVpp.Archivo, "no engine line holds this"}).Coincidencias, 0);
  EXPECT_GT(ResuelveLinea(raiz, {Fuente::EntradaVpp.Archivo, "EsperaMs(5);"}).Coincidencias, 1);
  EXPECT_FALSE(ResuelveLinea(raiz, {"korvane/engine/no_such_file.cpp", "x"}).Leido);
}

}  // namespace
