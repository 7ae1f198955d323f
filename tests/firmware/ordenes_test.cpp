// Every command letter's reply shape, block reads through the board's
// memories, the block-write rules (blank groups, I2C, long skips, reply
// addresses) and the version query.
#include "fw_banco.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Ordenes : public BancoFw {};

struct TFormaRespuesta {
  char Letra;
  std::size_t Bytes;  // bytes of the reply
};

TEST_F(Ordenes, EveryCommandAnswersWithItsShape) {
  placa->Con([&] { chip.Id14 = 0x1234; });
  const TFormaRespuesta formas[] = {{'0', 6}, {'4', 3}, {'5', 3}, {'C', 3}, {'H', 15}, {'Y', 2}};
  for (const auto& f : formas) {
    SCOPED_TRACE(f.Letra);
    Orden({'>', static_cast<uint8_t>(f.Letra), 0x39, 0, 0, 0, 0, 0});
    ASSERT_TRUE(EnviaPaquete(8));
    ASSERT_TRUE(LeeRespuesta(f.Bytes));
    EXPECT_FALSE(PuertoFw().HayDatos(20)) << "more bytes than the command's reply";
    switch (f.Letra) {
      case '0': EXPECT_EQ(std::string(reinterpret_cast<char*>(BufferRx), 6), "Ok2.07"); break;
      case '4': case '5': case 'C':
        EXPECT_EQ(BufferRx[0], 0x34);
        EXPECT_EQ(BufferRx[1], 0x12);
        EXPECT_EQ(BufferRx[2], 0x34 ^ 0x12);
        break;
      case 'H': {
        uint8_t x = 0;
        for (int i = 0; i < 14; ++i) x ^= BufferRx[i];
        EXPECT_EQ(BufferRx[14], x);
        break;
      }
      case 'Y': EXPECT_EQ(BufferRx[1], 0x39); break;
    }
  }
  // 'Z' stops the pin test and is not answered.
  Orden({'>', 'Z', 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_FALSE(PuertoFw().HayDatos(50));
  EXPECT_TRUE(placa->Errores().empty());
}

struct TLectura {
  Bytes Orden;
  TAreaFw Area;
  uint32_t Celda;     // first cell the command reads
  uint32_t Palabras;  // words on the wire
};

TEST_F(Ordenes, BlockReadsOfEveryReadCommand) {
  placa->Con([&] {
    for (TMemoriaPlanaFw* m : {&chip.Programa, &chip.Datos, &chip.Config, &chip.Id, &chip.Ejecutivo})
      for (std::size_t i = 0; i < m->Celdas.size(); ++i) m->Celdas[i] = static_cast<uint16_t>(i * 7 + 1);
  });
  const TLectura lecturas[] = {
      {{'>', '1', 9, 0, 0, 0, 4, 0}, TAreaFw::Programa, 0, 10},
      {{'>', '1', 0, 0, 7, 0, 4, 1}, TAreaFw::Config, 7, 1},
      {{'>', '1', 63, 0, 0, 0, 5, 0}, TAreaFw::Datos, 0, 64},
      {{'>', '2', 15, 0, 0, 0, 0, 0}, TAreaFw::Datos, 0, 16},
      {{'>', '3', 5, 0, 0x00, 0x01, 0x00, 0}, TAreaFw::Programa, 0x100, 6},
      {{'>', '3', 7, 0, 0x20, 0x00, 0x00, 0}, TAreaFw::Id, 0, 8},
      {{'>', 'L', 3, 0, 0x04, 0, 0, 1}, TAreaFw::Id, 0, 4},
      {{'>', 'E', 1, 0, 0x00, 0x00, 0x40, 0}, TAreaFw::Programa, 0x40, 16},
      {{'>', 'E', 0, 0, 0x80, 0x00, 0x00, 0}, TAreaFw::Ejecutivo, 0, 8},
      {{'>', 'G', 0, 0, 0, 0, 0, 0}, TAreaFw::Config, 0, 28},
  };
  for (const auto& l : lecturas) {
    SCOPED_TRACE(std::string(1, static_cast<char>(l.Orden[1])) + " " + std::to_string(l.Palabras));
    Orden(l.Orden);
    std::vector<uint16_t> buf(l.Palabras, 0xBEEF);
    ASSERT_FALSE(LeeBloque(buf.data(), 100, 100 + l.Palabras - 1));
    placa->Con([&] {
      TMemoriaFw* m = chip.Area(l.Area);
      for (uint32_t i = 0; i < l.Palabras; ++i) EXPECT_EQ(buf[i], m->Lee(l.Celda + i)) << i;
    });
    EXPECT_FALSE(PuertoFw().HayDatos(0));
  }
}

// "A" is two exchanges: the acknowledge byte, then the same packet again
// as the block read. Nothing else comes after either answer.
TEST_F(Ordenes, I2cReadAcknowledgesThenTheRepeatedPacketReadsTheBlock) {
  ClaseDispositivo = 2;
  placa->Con([&] {
    for (int i = 0; i < 16; ++i) chip.Programa.Celdas[i] = static_cast<uint16_t>(0xA0 + i);
  });
  Orden({'>', 'A', 15, 0, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(LeeRespuesta(1));
  EXPECT_EQ(BufferRx[0], 1);
  EXPECT_FALSE(PuertoFw().HayDatos(50)) << "the block must wait for the block read";
  std::vector<uint16_t> w(16, 0xBEEF);
  ASSERT_FALSE(LeeBloque(w.data(), 0, 15));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(w[i], 0xA0 + i) << i;
  EXPECT_FALSE(PuertoFw().HayDatos(50)) << "a second copy of the block";

  // A reset between the two packets starts over: the next "A" is a probe.
  Orden({'>', 'A', 15, 0, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(LeeRespuesta(1));
  Orden({'>', 'A', 15, 0, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(LeeRespuesta(1));
  EXPECT_EQ(BufferRx[0], 1);
  EXPECT_FALSE(PuertoFw().HayDatos(50));

  placa->Con([&] { chip.Ack = false; });
  Orden({'>', 'A', 15, 0, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(LeeRespuesta(1));
  EXPECT_EQ(BufferRx[0], 0);
  // Unacknowledged: a second packet is a new probe, not a block read.
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(LeeRespuesta(1));
  EXPECT_EQ(BufferRx[0], 0);
  EXPECT_FALSE(PuertoFw().HayDatos(50));
  EXPECT_TRUE(placa->Errores().empty());
}

TEST_F(Ordenes, I2cBlockWriteSendsEveryGroupBlankOrNot) {
  ClaseDispositivo = 2;
  std::vector<uint16_t> celdas(64, 0x00FF);
  celdas[10] = 0x0055;
  Orden({'>', 'B', 63, 0, 16, 10, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_FALSE(ProgramaBloque(celdas.data(), 0, 63, 0x00FF, false));
  EXPECT_EQ(placa->GruposRecibidos(), 16u);
  placa->Con([&] { EXPECT_EQ(chip.Programa.Celdas[10], 0x0055); });
  EXPECT_TRUE(placa->Errores().empty());
}

TEST_F(Ordenes, BlankGroupsAreSkippedAndTheRestLandsWhereItBelongs) {
  std::vector<uint16_t> celdas(100, 0x3FFF);
  celdas[0] = 0x0001;
  celdas[51] = 0x0002;
  celdas[99] = 0x0003;
  Orden({'>', '6', 99, 0, 0, 0, 4, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(EnviaPaquete(8));  // the second packet: the board only counts it
  ASSERT_FALSE(ProgramaBloque(celdas.data(), 0, 99, 0x3FFF, true));
  EXPECT_EQ(placa->GruposRecibidos(), 3u);
  placa->Con([&] {
    for (std::size_t i = 0; i < 100; ++i) EXPECT_EQ(chip.Programa.Celdas[i], celdas[i]) << i;
  });
  EXPECT_TRUE(placa->Errores().empty());
}

TEST_F(Ordenes, MoreThan1024SkippedGroupsAddOneLongWait) {
  std::vector<uint16_t> celdas(4 * 1100, 0x3FFF);
  celdas[4 * 1030] = 0x0000;  // after 1030 skipped groups
  celdas[4 * 1031] = 0x0000;  // right after: no extra wait
  Orden({'>', 'M', 0x33, 0x11, 0, 0, 0, 0});
  ASSERT_TRUE(EnviaPaquete(8));
  reloj.Esperas.clear();
  ASSERT_FALSE(ProgramaBloque(celdas.data(), 0, 4 * 1100 - 1, 0x3FFF, true));
  EXPECT_EQ(std::count(reloj.Esperas.begin(), reloj.Esperas.end(), 15000000u), 1);
  EXPECT_EQ(placa->GruposRecibidos(), 2u);
}

TEST_F(Ordenes, DsPicRowsSkipBlankAndLandAtTheirAddress) {
  TMemoriaPlanaFw programa(0x1000, 0xFFFF, false);
  placa->Con([&] { chip.Area(TAreaFw::Programa) = &programa; });
  std::vector<uint16_t> celdas(3 * 64);
  for (std::size_t i = 0; i < celdas.size(); ++i) celdas[i] = i % 2 ? 0x00FF : 0xFFFF;
  celdas[64 * 2 + 2] = 0x1234;  // row 2, instruction 1
  celdas[64 * 2 + 3] = 0x0056;
  Orden({'>', 'I', 2, 0, 0, 0, 0, 0});
  ASSERT_FALSE(ProgramaBloque24(celdas.data(), 0x000100, 2, Area24Programa));
  EXPECT_EQ(placa->GruposRecibidos(), 1u);
  placa->Con([&] {
    EXPECT_EQ(programa.Celdas[0x100 + 128 + 2], 0x1234);
    EXPECT_EQ(programa.Celdas[0x100 + 128 + 3], 0x0056);
  });
  EXPECT_TRUE(placa->Errores().empty());
}

TEST_F(Ordenes, HardwareCheckAsksTheBoardForItsVersion) {
  TipoAccion = 8;
  ventana.Lineas.clear();
  ASSERT_TRUE(CompruebaHardware());
  ASSERT_FALSE(ventana.Lineas.empty());
  const std::string& ultima = ventana.Lineas.back();
  EXPECT_EQ(ultima.substr(ultima.size() - 9), " v - 2.07");
  EXPECT_EQ(DaVersionFirmware(), " v - 2.07");
  USB_COM = false;
  EXPECT_EQ(DaVersionFirmware(), "");
  USB_COM = true;
}

TEST_F(Ordenes, HardwareCheckFailsOnASilentBoard) {
  TInyeccionFw f;
  f.Tipo = TFalloPlacaFw::Silencio;
  placa->Inyecta(f);
  std::array<uint8_t, 6> r{};
  EXPECT_EQ(IdentificaProgramadorFw(r), ErrSinRespuesta);
  EXPECT_EQ(ContextoError.Codigo, ErrSinRespuesta);
  EXPECT_FALSE(CompruebaHardware());
}

// With native USB selected the entry points hand over to the USB link's
// variants and leave the serial line alone.
class TUsbDePrueba final : public TVarianteUsbFw {
public:
  bool EnviaPaquete(std::size_t n) override { return Anota("EnviaPaquete " + std::to_string(n)); }
  bool LeeRespuesta(std::size_t n) override { return Anota("LeeRespuesta " + std::to_string(n)); }
  bool LeeBloque(uint16_t*, uint32_t first, uint32_t last) override {
    return !Anota("LeeBloque " + std::to_string(first) + " " + std::to_string(last));
  }
  bool ProgramaBloque(const uint16_t*, uint32_t, uint32_t last, uint16_t blank, bool sinEspera) override {
    return !Anota("ProgramaBloque " + std::to_string(last) + " " + std::to_string(blank) + " " +
                  std::to_string(sinEspera));
  }
  bool ProgramaBloque24(const uint16_t*, uint32_t direccion, uint32_t filas, uint8_t tipo) override {
    return !Anota("ProgramaBloque24 " + std::to_string(direccion) + " " + std::to_string(filas) + " " +
                  std::to_string(tipo));
  }
  bool Anota(const std::string& s) {
    Llamadas.push_back(s);
    return true;
  }
  std::vector<std::string> Llamadas;
};

TEST_F(Ordenes, NativeUsbHandsEveryEntryPointToTheUsbLink) {
  // A round trip: the board has dealt with the open's purge once it answers.
  std::array<uint8_t, 6> version{};
  ASSERT_EQ(IdentificaProgramadorFw(version), 0);
  placa->LimpiaRegistro();
  USB_ = true;
  EXPECT_TRUE(LeeBloque(nullptr, 0, 3));  // no USB link installed: error 28
  EXPECT_EQ(ContextoError.Codigo, ErrSinRespuesta);
  TUsbDePrueba usb;
  PonVarianteUsbFw(&usb);
  uint16_t w[4];
  ResetProgramador();
  EXPECT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(LeeRespuesta(300));
  EXPECT_FALSE(LeeBloque(w, 1, 4));
  EXPECT_FALSE(ProgramaBloque(w, 0, 3, 0x3FFF, true));
  EXPECT_FALSE(ProgramaBloque24(w, 0x100, 2, Area24Datos));
  PonVarianteUsbFw(nullptr);
  USB_ = false;
  EXPECT_EQ(usb.Llamadas, (std::vector<std::string>{"EnviaPaquete 8", "LeeRespuesta 255", "LeeBloque 1 4",
                                                    "ProgramaBloque 3 16383 1", "ProgramaBloque24 256 2 1"}));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(placa->Recibido().empty());
  EXPECT_EQ(placa->Reinicios(), 0u);
}

}  // namespace
