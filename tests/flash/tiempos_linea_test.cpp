// The line timing the data sheets ask of a host on the serial programming
// interface, each rule caught with a deliberately wrong driver: data
// written with the latching clock edge (no setup), data changed just after
// it (no hold), a data frame right after its command (no gap). The right
// driver breaks none.
#include <gtest/gtest.h>

#include <string>

#include "chips/pic1x_flash14.h"
#include "chips/pic1x_partes.h"

namespace {

enum class TConductor { Correcto, SinSetup, SinHold, SinSeparacion };

// Drives the chip's lines directly, on its own virtual time.
class TLinea {
public:
  TLinea(TPic1xSerieSim& chip, TConductor c) : chip_(chip), c_(c) {
    l_.Vdd = true;
    Pon(1'000);
    l_.Vpp = true;  // Vpp rising while powered, clock and data low
    Pon(10'000);
  }
  // A frame of n bits, least significant first.
  void Trama(uint32_t valor, int n) {
    for (int i = 0; i < n; ++i) Bit((valor >> i) & 1);
    // The gap before the next frame.
    Pon(c_ == TConductor::SinSeparacion ? 0 : 1'000);
  }

private:
  void Bit(bool b) {
    l_.Clock = true;
    Pon(500);
    if (c_ == TConductor::SinSetup) {
      Pon(500);
      l_.DatoHost = b;  // with the edge, in one port write
      l_.Clock = false;
      Pon(50);
    } else {
      l_.DatoHost = b;
      Pon(500);
      l_.Clock = false;
      Pon(50);
    }
    if (c_ == TConductor::SinHold) {
      l_.DatoHost = !l_.DatoHost;  // the next level 50 ns after the edge
      Pon(450);
    } else {
      Pon(450);
    }
  }
  // The lines as they are now, then `ns` pass.
  void Pon(uint64_t ns) {
    chip_.Lineas(t_, l_);
    t_ += ns;
  }
  TPic1xSerieSim& chip_;
  TConductor c_;
  TLineasSim l_;
  uint64_t t_ = 0;
};

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
    if (*c.regla == '\0') {
      EXPECT_TRUE(chip.Violaciones.empty()) << chip.Violaciones.front();
      continue;
    }
    ASSERT_FALSE(chip.Violaciones.empty());
    for (const auto& v : chip.Violaciones) EXPECT_NE(v.find(c.regla), std::string::npos) << v;
  }
}

}  // namespace
