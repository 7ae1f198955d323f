// The port table and its helpers.
#include <gtest/gtest.h>

#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"

namespace {

TEST(Puertos, TableBothWays) {
  const uint16_t bases[] = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x378, 0x278, 0x3BC};
  const char* nombres[] = {"COM1", "COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"};
  for (int i = 0; i < NumPuertos; ++i) {
    EXPECT_EQ(DaDireccionPuerto(i), bases[i]);
    EXPECT_EQ(DaIndicePuerto(bases[i]), i);
    EXPECT_EQ(NombrePuertoTabla(bases[i]), nombres[i]);
  }
  EXPECT_EQ(DaDireccionPuerto(7), 0x3F8);
  EXPECT_EQ(DaDireccionPuerto(-1), 0x3F8);
  EXPECT_EQ(DaIndicePuerto(0x300), 0);
  EXPECT_EQ(NombrePuertoTabla(0x300), "");
}

TEST(Puertos, RegisterWindows) {
  struct {
    uint16_t direccion;
    int indice;
  } casos[] = {{0x378, 4}, {0x37A, 4}, {0x37B, -1}, {0x3F8, 0}, {0x3FF, 0},
               {0x3FE, 0}, {0x2EF, 3}, {0x3BE, 6}, {0x3BF, -1}, {0x000, -1}};
  for (const auto& c : casos) EXPECT_EQ(IndiceRegistroPuerto(c.direccion), c.indice) << c.direccion;
}

TEST(Puertos, BitNumbersAndMasks) {
  for (int b = 0; b < 8; ++b) {
    EXPECT_EQ(DaNumeroBit(static_cast<uint8_t>(1u << b), -1), b);
    EXPECT_EQ(DaMascaraBit(b, 0), 1u << b);
  }
  EXPECT_EQ(DaNumeroBit(0, 9), 9);
  EXPECT_EQ(DaNumeroBit(0x03, 9), 9);
  EXPECT_EQ(DaMascaraBit(8, 0x55), 0x55);
  EXPECT_EQ(DaMascaraBit(-1, 0x55), 0x55);
}

TEST(Puertos, LinkNames) {
  PonPinesPorDefecto(0x278);
  EXPECT_EQ(DaNombrePuerto(AddrB), "LPT2");
  USB_COM = true;
  ADDR_USB_COM = "/dev/ttyACM0";
  EXPECT_EQ(DaNombrePuerto(0x3F8), "/dev/ttyACM0");
  USB_ = true;
  ADDR_USB_ = "Ind.#2";
  EXPECT_EQ(DaNombrePuerto(0x3F8), "#2");
  EXPECT_EQ(TipoEnlace(), TTipoEnlace::teUSB);
  USB_ = false;
  EXPECT_EQ(TipoEnlace(), TTipoEnlace::teUSB232);
  USB_COM = false;
  EXPECT_EQ(TipoEnlace(), TTipoEnlace::teLPT);
  AddrB = 0x2E8;
  EXPECT_EQ(TipoEnlace(), TTipoEnlace::teCOM);
}

TEST(Puertos, SerialNodes) {
  EXPECT_EQ(NodoSerie("COM1"), "/dev/ttyS0");
  EXPECT_EQ(NodoSerie("COM12"), "/dev/ttyS11");
  EXPECT_EQ(NodoSerie("/dev/ttyACM0"), "/dev/ttyACM0");
  EXPECT_EQ(NodoSerie("ttyUSB1"), "/dev/ttyUSB1");
  EXPECT_EQ(NodoSerie("COM0"), "/dev/COM0");
}

TEST(Puertos, NoFirmwareUsbLinkFailsCleanly) {
  EXPECT_FALSE(AbrePuerto(0x3F8, true, "", "Ind.#0", true, false));
  EXPECT_FALSE(PuertoAbierto());
}

}  // namespace
