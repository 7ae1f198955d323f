// Wire format pinned by byte vectors worked out by hand from the command
// table and the block framing, checked on the bytes that crossed the pty.
#include "fw_banco.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Dorado : public BancoFw {};

// '6' on five words 0x0123 0x3FFF 0x3FFF 0x3FFF 0x2845, blank 0x3FFF:
// group 0 is sent, group 1 holds 0x2845 and three blank fill words.
//   XOR after group 0 data: 23^01^FF^3F^FF^3F^FF^3F = E2; address adds 0.
//   Group 1 data: E2^45^28^C0 = 4F; address 01 -> 4E.
//   Closing data repeats the last address packet: 4E^(01^FF^3F^FF^4E) = 3E;
//   closing packet byte 3 = 1 adds 01^01 = 0 -> 3E.
TEST_F(Dorado, SmallBlockWrite) {
  RetardoPgm = 2;
  placa->LimpiaRegistro();
  Orden({'>', '6', 4, 0, 0x00, 0x00, 4, 2});
  ASSERT_TRUE(EnviaPaquete(8));
  const uint8_t segundo[8] = {0xFF, 0x3F, 4, 0, 0, 0, 4, 2};
  std::memcpy(TPaquete, segundo, 8);
  ASSERT_TRUE(EnviaPaquete(8));
  const uint16_t palabras[5] = {0x0123, 0x3FFF, 0x3FFF, 0x3FFF, 0x2845};
  ASSERT_FALSE(ProgramaBloque(palabras, 0, 4, 0x3FFF, false));
  const Bytes esperado = {
      0x3E, 0x36, 0x04, 0x00, 0x00, 0x00, 0x04, 0x02,  // command
      0xFF, 0x3F, 0x04, 0x00, 0x00, 0x00, 0x04, 0x02,  // blank and count
      0x23, 0x01, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F,  // data, group 0
      0x00, 0x00, 0x00, 0x00, 0xFF, 0x3F, 0xFF, 0xE2,  // address, group 0
      0x45, 0x28, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F,  // data, group 1
      0x01, 0x00, 0x00, 0x00, 0xFF, 0x3F, 0xFF, 0x4E,  // address, group 1
      0x01, 0x00, 0x00, 0x00, 0xFF, 0x3F, 0xFF, 0x4E,  // closing data
      0x01, 0x00, 0x00, 0x01, 0xFF, 0x3F, 0xFF, 0x3E,  // closing packet
  };
  EXPECT_EQ(placa->Recibido(), esperado);
  EXPECT_EQ(placa->Enviado(), Bytes{0x00});  // the closing reply
  EXPECT_TRUE(placa->Errores().empty());
  placa->Con([&] {
    EXPECT_EQ(chip.Programa.Celdas[0], 0x0123);
    EXPECT_EQ(chip.Programa.Celdas[4], 0x2845);
    EXPECT_EQ(chip.Programa.Celdas[5], 0x3FFF);
  });
  // Each sent group waits RetardoPgm x 4 ms.
  EXPECT_EQ(std::count(reloj.Esperas.begin(), reloj.Esperas.end(), 8000000u), 2);
}

// Eight blank 12-bit words: no group goes out; the closing pair carries
// the last group's data (FF 0F x 4, XOR 0), then byte 3 = 1 and byte 7 =
// 0 ^ FF^0F^FF^01 = 0E.
TEST_F(Dorado, AllBlankBlockWrite) {
  placa->LimpiaRegistro();
  Orden({'>', 'M', 7, 0, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  const std::vector<uint16_t> blanco(8, 0x0FFF);
  ASSERT_FALSE(ProgramaBloque(blanco.data(), 0, 7, 0x0FFF, false));
  EXPECT_EQ(placa->Recibido(), (Bytes{0x3E, 0x4D, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F,
                                      0xFF, 0x0F, 0xFF, 0x01, 0xFF, 0x0F, 0xFF, 0x0E}));
  EXPECT_EQ(placa->GruposRecibidos(), 0u);
  EXPECT_TRUE(placa->Errores().empty());
}

// '1' for three words: the reply is 23 01 FF 3F 45 28 and their XOR
// 23^01^FF^3F^45^28 = 8F.
TEST_F(Dorado, SmallBlockRead) {
  placa->Con([&] {
    chip.Programa.Celdas[0] = 0x0123;
    chip.Programa.Celdas[2] = 0x2845;
  });
  Orden({'>', '1', 2, 0, 0, 0, 4, 0});
  placa->LimpiaRegistro();
  uint16_t leido[3] = {};
  ASSERT_FALSE(LeeBloque(leido, 0, 2));
  EXPECT_EQ(placa->Recibido(), (Bytes{0x3E, 0x31, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00}));
  EXPECT_EQ(placa->Enviado(), (Bytes{0x23, 0x01, 0xFF, 0x3F, 0x45, 0x28, 0x8F}));
  EXPECT_EQ(leido[0], 0x0123);
  EXPECT_EQ(leido[1], 0x3FFF);
  EXPECT_EQ(leido[2], 0x2845);
}

// Four blank words read back: FF 3F four times, XOR 00.
TEST_F(Dorado, AllBlankBlockRead) {
  Orden({'>', '1', 3, 0, 0, 0, 4, 0});
  placa->LimpiaRegistro();
  uint16_t leido[4] = {};
  ASSERT_FALSE(LeeBloque(leido, 0, 3));
  EXPECT_EQ(placa->Enviado(), (Bytes{0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F, 0x00}));
  for (uint16_t w : leido) EXPECT_EQ(w, 0x3FFF);
}

// A single word reads two bytes and the checksum byte.
TEST_F(Dorado, SingleWordRead) {
  placa->Con([&] { chip.Datos.Celdas[0] = 0x00A5; });
  Orden({'>', '1', 0, 0, 0, 0, 5, 0});
  placa->LimpiaRegistro();
  uint16_t w = 0;
  ASSERT_FALSE(LeeBloque(&w, 0, 0));
  EXPECT_EQ(placa->Enviado(), (Bytes{0xA5, 0x00, 0xA5}));
  EXPECT_EQ(w, 0x00A5);
}

// 'K', one configuration row at 0xF80000: registers 0xC100, 0x003F, then
// five 0xFFFF; 3 bytes each from byte 6, bytes 27-29 zero, address 00 00
// F8 in bytes 30-32. Byte 1 = XOR(3..32) = C1^3F^F8 = 06.
// The chunks go out through bytes 0-7, so the closing frame (byte 0 = 1)
// carries the last chunk's bytes in 2-7 (all zero here) and byte 1 =
// 3F^F8 = C7.
TEST_F(Dorado, DsPicConfigurationFrame) {
  TMemoriaPlanaFw config(64, 0xFFFF, false);
  placa->Con([&] { chip.Area(TAreaFw::Config) = &config; });
  std::vector<uint16_t> celdas(32, 0xFFFF);
  celdas[0] = 0xC100;
  celdas[4] = 0x003F;
  std::memset(TPaquete + 8, 0xAA, 40);  // stale bytes from earlier packets
  Orden({'>', 'K', 0, 0, 0, 0, 4, 0});
  placa->LimpiaRegistro();
  ASSERT_FALSE(ProgramaBloque24(celdas.data(), 0xF80000, 0, Area24Config));
  const Bytes fila = {
      0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC1,
      0x00, 0x3F, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF,
      0xFF, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00,
      0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0xF8,
  };
  Bytes cierre = fila;
  cierre[0] = 0x01;
  cierre[1] = 0xC7;
  cierre[7] = 0x00;
  Bytes esperado = {0x3E, 0x4B, 0, 0, 0, 0, 4, 0};
  esperado.insert(esperado.end(), fila.begin(), fila.end());
  esperado.insert(esperado.end(), cierre.begin(), cierre.end());
  EXPECT_EQ(placa->Recibido(), esperado);
  EXPECT_TRUE(placa->Errores().empty());
  placa->Con([&] {
    EXPECT_EQ(config.Celdas[0], 0xC100);
    EXPECT_EQ(config.Celdas[4], 0x003F);
  });
}

}  // namespace
