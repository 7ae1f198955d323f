#include <gtest/gtest.h>

#include "hw/pg_time.h"
#include "pg_entorno.h"

namespace {

class RelojFijo : public TReloj {
public:
  uint64_t t = 0;
  uint64_t AhoraNs() override { return t; }
  void EsperaNs(uint64_t ns) override { t += ns; }
};

TEST(Entorno, WaitsRunOnTheInstalledClock) {
  RelojFijo reloj;
  PonReloj(&reloj);
  EsperaMs(255);
  EsperaUs(3);
  EXPECT_EQ(reloj.t, 255'003'000u);
  PonReloj(nullptr);
}

TEST(Entorno, SilentInterfaceStandsInWithoutAWindow) {
  EXPECT_EQ(PonInterfazOperacion(nullptr), nullptr);
  EXPECT_EQ(InterfazOperacion().Pregunta("?", false), TRespuesta::Si);
}

}  // namespace
