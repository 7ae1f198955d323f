// The line timing the data sheets ask of a host on the serial programming
// interface, each rule caught with a deliberately wrong driver: data
// written with the latching clock edge (no setup), data changed just after
// it (no hold), a data frame right after its command (no gap). The right
// driver breaks none.
#include <gtest/gtest.h>

#include <string>

#include "chips/pic1x_flash14.h"
#include "chips/pic1x_partes.h"
#include "conductor_linea.h"

namespace {

TEST(TiemposLinea, EachWrongDriverBreaksItsRule) {
  const struct {
    TConductor conductor;
    const char* regla;  // in the violation's text; "" = none at all
  } casos[] = {
      {TConductor::Correcto, ""},
      {TConductor::SinSetup, "(setup 100 ns)"},
      {TConductor::SinHold, "(hold 100 ns)"},
      {TConductor::SinSeparacion, "after the one before it ended (1000 ns)"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.regla);
    TPic14Sim chip(*Datos14("16F84A"));
    TLinea linea(chip, c.conductor);
    linea.Trama(2, 6);                 // load data for program memory
    linea.Trama(0x1234u << 1, 16);     // start bit, 14 data bits, stop bit
    linea.Trama(4, 6);                 // read data from program memory
    EXPECT_EQ(FaltaRegla(chip.Violaciones, c.regla), "");
  }
}

}  // namespace
