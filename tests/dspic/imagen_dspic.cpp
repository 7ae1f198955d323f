#include "banco_dspic.h"

namespace {

void Pon(uint32_t direccion, uint32_t valor) {
  BufDispositivo.Prog[direccion] = static_cast<uint16_t>(valor);
  BufDispositivo.Prog[direccion + 1] = static_cast<uint16_t>((valor >> 16) & 0xFF);
}

}  // namespace

void ImagenPruebaDs(const TModeloDsPic30& modelo) {
  LimpiaBuffers(BufDispositivo);
  for (uint32_t i = 0; i < PicActual.ProgTam; i += 2) BufDispositivo.Prog[i + 1] = 0x00FF;
  // Row 0 full, row 1 blank, row 2 with one instruction, a run, the last row.
  for (uint32_t i = 0; i < 32; ++i) Pon(2 * i, 0x040000u + i * 0x010203u);
  Pon(0x80 + 0x1E, 0x123456);
  for (uint32_t a = 0x400; a < 0x500; a += 2) Pon(a, (a * 0x9E3779u) & 0xFFFFFF);
  Pon(PicActual.ProgTam - 2, 0xA5A55A);
  if (PicActual.ProgTam > 0x10000) {
    // Both sides of the second table page.
    Pon(0xFFFE, 0x0BCDEF);
    Pon(0x10000, 0xFEDCBA);
    Pon(0x10002, 0x000001);
  }
  for (uint32_t i = 0; i < PicActual.EeTam; i += 2) {
    BufDispositivo.Datos[i + 1] = 0;
    if ((i / 32) % 3 != 1) BufDispositivo.Datos[i] = static_cast<uint16_t>(i * 0x0101 ^ 0x5A5A);
  }
  for (uint32_t r = 0; r < 7; ++r) {
    const uint16_t bits = modelo.Implementados[r];
    BufDispositivo.Config[4 * r] = static_cast<uint16_t>(bits & ~(bits & -bits));
    BufDispositivo.Config[4 * r + 1] = 0;
  }
}

void ConfigComoArchivoDs(const TModeloDsPic30& modelo) {
  BufDispositivo.Config[0] = static_cast<uint16_t>(BufDispositivo.Config[0] | ~modelo.Implementados[0]);
  for (uint32_t r = 1; r < 7; ++r) BufDispositivo.Config[4 * r] = BufDispositivo.Config[4 * r + 1] = 0xFFFF;
}

uint16_t ConfigEsperadaDs(const TModeloDsPic30& modelo, const TBuffers& imagen, uint32_t r) {
  return static_cast<uint16_t>(imagen.Config[4 * r] & modelo.Implementados[r]);
}

void EsperaChipIgual(const TMemoriaDsPic30& m, const TBuffers& imagen) {
  for (uint32_t i = 0; i < m.Prog.size(); ++i)
    ASSERT_EQ(m.Prog[i], InstruccionDe(imagen, 2 * i)) << "instruction at 0x" << std::hex << 2 * i;
  for (uint32_t i = 0; i < m.Ee.size(); ++i)
    ASSERT_EQ(m.Ee[i], imagen.Datos[2 * i]) << "EEPROM word " << i;
  for (uint32_t r = 0; r < 7; ++r) EXPECT_EQ(m.Config[r], imagen.Config[4 * r]) << "register " << r;
}
