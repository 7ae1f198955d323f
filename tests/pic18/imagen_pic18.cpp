#include "banco_pic18.h"

#include <algorithm>

void ImagenPrueba18(const TModeloPic18& modelo) {
  LimpiaBuffers(BufDispositivo);
  auto& prog = BufDispositivo.Prog;
  // Panels 0 and 1 full, panel 2 blank, panel 3 with one word, a run in
  // the middle and the very last panel.
  for (uint32_t i = 0; i < 8; ++i) prog[i] = static_cast<uint16_t>(0x1100 + i * 0x0101);
  prog[14] = 0x0F0F;
  for (uint32_t i = 4000; i < 4100; ++i) prog[i] = static_cast<uint16_t>(i * 37);
  const uint32_t ultimo = PicActual.ProgTam - 1;
  prog[ultimo] = 0xA55A;
  for (uint32_t i = 0; i < 4; ++i) BufDispositivo.Id[i] = static_cast<uint16_t>(0x3210 + i);
  for (uint32_t c = 0; c < 7; ++c) {
    const uint16_t implementado =
        static_cast<uint16_t>(modelo.MascaraConfig[2 * c] | modelo.MascaraConfig[2 * c + 1] << 8);
    // Clear one implemented bit of each word where there is one, never a
    // code protection bit (CONFIG5L/5H): a protected part reads back 0.
    const uint16_t libres = c == 4 ? static_cast<uint16_t>(implementado & ~0xC00F) : implementado;
    const uint16_t bit = static_cast<uint16_t>(libres & -libres);
    BufDispositivo.Config[c] = static_cast<uint16_t>(implementado & ~bit);
  }
  for (uint32_t i = 0; i < PicActual.EeTam; ++i)
    BufDispositivo.Datos[i] = (i % 3 == 0) ? 0xFF : static_cast<uint16_t>((i ^ 0x5A) & 0xFF);
}

void EsperaMemoriaIgual(const TMemoriaPic18& m, const TBuffers& imagen) {
  for (uint32_t i = 0; i < PicActual.ProgTam; ++i)
    ASSERT_EQ(m.PalabraProg(i), imagen.Prog[i]) << "word " << i;
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(m.PalabraId(i), imagen.Id[i]) << "ID " << i;
  for (uint32_t c = 0; c < 7; ++c) EXPECT_EQ(m.PalabraConfig(c), imagen.Config[c]) << "configuration " << c;
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) ASSERT_EQ(m.Ee[i], imagen.Datos[i]) << "EEPROM " << i;
}

void EsperaLeidoIgual(const TBuffers& imagen) {
  const TBuffers& b = BufDispositivo;
  EXPECT_TRUE(std::equal(imagen.Prog.begin(), imagen.Prog.begin() + PicActual.ProgTam, b.Prog.begin()));
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(b.Id[i], imagen.Id[i]) << "ID " << i;
  for (uint32_t c = 0; c < 7; ++c) EXPECT_EQ(b.Config[c], imagen.Config[c]) << "configuration " << c;
  EXPECT_TRUE(std::equal(imagen.Datos.begin(), imagen.Datos.begin() + PicActual.EeTam, b.Datos.begin()));
}
