// The serial EEPROM engine on the firmware programmer: the simulated board
// on a pseudo-terminal runs "A" and "B" on the bus of a simulated 24Cxx.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "chips/eeprom24_fw.h"
#include "firmware/placa_fw.h"
#include "fw/pg_enlace_fw.h"
#include "fw/pg_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "i2c/i2c_banco.h"
#include "i2c/pg_i2c.h"
#include "reloj_enlace.h"

namespace {

class Fw {
public:
  explicit Fw(uint8_t indice) : chip(indice) {
    tiempos_ = TiemposSerie;
    // Generous time-outs: no test here waits for one to run out, and a
    // loaded machine can hold the board's thread back for a while.
    TiemposSerie = {1000, 100, 2000, 20, 2000};  // never shorter than the engine's own
    anterior_ = PonReloj(&reloj);
    USB_COM = true;
    USB_ = false;
    SeleccionaEeprom(indice);
    Zocalo2 = false;
    RetardoPgm = 0;
    std::memset(TPaquete, 0, sizeof TPaquete);
    placa = std::make_unique<TPlacaFw>(chip);
    // The link as an operation opens it, on a profile naming the board's port.
    ADDR_USB_COM = placa->Dispositivo();
    abierto = AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true);
  }
  ~Fw() {
    CierraPuerto(false);
    ADDR_USB_COM.clear();
    placa.reset();
    PonReloj(anterior_);
    TiemposSerie = tiempos_;
    USB_COM = false;
    Cancelado = false;
  }
  std::vector<uint8_t> Memoria() {
    return placa->Con([&] { return chip.Eeprom.Memoria(); });
  }

  // The board runs in real time on its own thread; the host's short waits
  // (the pacing of a block write) cost nothing, the polls for the closing
  // reply last until the reply is there.
  TRelojEnlace reloj;
  TVentanaI2C ventana;
  TChipEeprom24Fw chip;
  std::unique_ptr<TPlacaFw> placa;
  bool abierto = false;

private:
  TTiemposSerie tiempos_;
  TReloj* anterior_ = nullptr;
};

class IdaYVueltaFw : public testing::TestWithParam<uint8_t> {};

TEST_P(IdaYVueltaFw, ProgramVerifyRead) {
  Fw f(GetParam());
  ASSERT_TRUE(f.abierto);
  const std::size_t n = PicActual.ProgTam;
  const auto imagen = ImagenI2C(n, GetParam() + 7);
  PonImagen(BufDispositivo, imagen);
  PonImagen(BufArchivo, imagen);

  ASSERT_EQ(ProgramaI2C(), 0) << f.ventana.Mensajes.size();
  EXPECT_EQ(f.Memoria(), imagen);

  PonImagen(BufDispositivo, std::vector<uint8_t>(n, 0));
  ASSERT_EQ(VerificaI2C(), 0);
  EXPECT_EQ(Imagen(BufDispositivo, n), imagen);

  PonImagen(BufDispositivo, std::vector<uint8_t>(n, 0));
  ASSERT_EQ(LeeI2C(), 0);
  EXPECT_EQ(Imagen(BufDispositivo, n), imagen);

  EXPECT_TRUE(f.placa->Errores().empty()) << f.placa->Errores().front();
  EXPECT_TRUE(f.chip.Eeprom.Violaciones.empty()) << f.chip.Eeprom.Violaciones.front();
  EXPECT_TRUE(f.ventana.Mensajes.empty());
}

INSTANTIATE_TEST_SUITE_P(I2C, IdaYVueltaFw, testing::Values(C01, C16, C256),
                         [](const testing::TestParamInfo<uint8_t>& i) { return std::string(Modelo24(i.param).Nombre); });

// Commands as they cross the line: "A" goes out twice (the acknowledge
// probe, then the block read); "B" carries the page, the write time and
// the one-address-byte flag, and the block write is paced by the part's
// programming delay, whatever the last operation left.
TEST(I2CFw, CommandBytesAndPacing) {
  {
  Fw f(C16);
  ASSERT_TRUE(f.abierto);
  RetardoPgm = 1;  // left by an earlier PIC18 operation
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 1));
  f.placa->LimpiaRegistro();
  ASSERT_EQ(ProgramaI2C(), 0);
  const auto r = f.placa->Recibido();
  ASSERT_GE(r.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(r.begin(), r.begin() + 8),
            (std::vector<uint8_t>{'>', 'B', 0xFF, 0x07, 16, 10, 1, 0}));
  EXPECT_EQ(RetardoPgm, PicActual.TiempoPgm);
  EXPECT_EQ(std::count(f.reloj.Esperas.begin(), f.reloj.Esperas.end(), uint64_t{PicActual.TiempoPgm} * 4'000'000),
            2048 / 4);
  }
  Fw g(C32);
  ASSERT_TRUE(g.abierto);
  g.placa->LimpiaRegistro();
  ASSERT_EQ(LeeI2C(), 0);
  const std::vector<uint8_t> orden{'>', 'A', 0xFF, 0x0F, 1, 0, 0, 0};
  std::vector<uint8_t> ambas = orden;
  ambas.insert(ambas.end(), orden.begin(), orden.end());
  EXPECT_EQ(g.placa->Recibido(), ambas);
  // The acknowledge byte, then the block once: two bytes a cell and the XOR.
  EXPECT_EQ(g.placa->Enviado().size(), 1 + 2 * std::size_t{PicActual.ProgTam} + 1);
  EXPECT_TRUE(g.placa->Errores().empty());
}

// Operations one right after the other, as batch mode runs them: nothing
// of a read is left on the line for the next command.
TEST(I2CFw, BackToBackReadsOfTheLargestParts) {
  for (uint8_t indice : {C256, C512}) {
    Fw f(indice);
    ASSERT_TRUE(f.abierto);
    const auto imagen = ImagenI2C(PicActual.ProgTam, indice);
    f.placa->Con([&] { f.chip.Eeprom.Memoria() = imagen; return 0; });
    PonImagen(BufArchivo, imagen);
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i);
      PonImagen(BufDispositivo, std::vector<uint8_t>(PicActual.ProgTam, 0));
      ASSERT_EQ(LeeI2C(), 0);
      ASSERT_EQ(VerificaI2C(), 0);
    }
    EXPECT_EQ(Imagen(BufDispositivo, PicActual.ProgTam), imagen);
    EXPECT_TRUE(f.ventana.Mensajes.empty()) << f.ventana.Mensajes.front();
    EXPECT_TRUE(f.placa->Errores().empty());
  }
}

TEST(I2CFw, NoDeviceIsError25AtAddress0) {
  Fw f(C02);
  ASSERT_TRUE(f.abierto);
  f.placa->Con([&] { f.chip.Eeprom.Ausente = true; return 0; });
  ContextoError.Direccion = 5;
  EXPECT_EQ(LeeI2C(), ErrProgramador);
  EXPECT_EQ(ContextoError.Direccion, 0u);
  EXPECT_EQ(f.ventana.Mensajes.size(), 1u);
}

TEST(I2CFw, StuckBitIsWriteCheckError11) {
  Fw f(C02);
  ASSERT_TRUE(f.abierto);
  f.placa->Con([&] { f.chip.Eeprom.PegaBit(0x41, 7, false); return 0; });
  PonImagen(BufDispositivo, std::vector<uint8_t>(256, 0xA5));
  EXPECT_EQ(ProgramaI2C(), ErrEscritura);
  EXPECT_EQ(ContextoError.Esperado, 0xA5);
  EXPECT_EQ(ContextoError.Leido, 0x25);
  EXPECT_EQ(ContextoError.Direccion, 0x41u) << "the byte that differs, not its page";
}

// A part that stops acknowledging in the middle of a write: error 25 at
// the first address of the page the board could not write.
TEST(I2CFw, PartGoneDuringWriteIsError25AtThePage) {
  Fw f(C16);
  ASSERT_TRUE(f.abierto);
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 9));
  uint32_t escritos = 0;
  f.ventana.AlBombear = [&](uint32_t n) {
    if (n != 100) return;
    // Once the board has taken in every group sent so far (the gauge
    // counts 4 bytes a group; a group is a data and an address packet
    // after the 8-byte command), the part goes away.
    escritos = ProgresoFw.Posicion;
    const std::size_t bytes = 8 + std::size_t{escritos} / 4 * 16;
    f.placa->EsperaRecibidos(bytes);
    f.placa->Con([&] { f.chip.Eeprom.Ausente = true; return 0; });
  };
  EXPECT_EQ(ProgramaI2C(), ErrProgramador);
  ASSERT_GT(escritos, 0u);
  EXPECT_EQ(ContextoError.Direccion, escritos - escritos % 16);
  EXPECT_EQ(f.ventana.Mensajes.size(), 1u);
  EXPECT_TRUE(f.placa->Errores().empty());
}

TEST(I2CFw, VerifyMismatchIsError16) {
  Fw f(C04);
  ASSERT_TRUE(f.abierto);
  const auto imagen = ImagenI2C(512, 4);
  f.placa->Con([&] { f.chip.Eeprom.Memoria() = imagen; return 0; });
  PonImagen(BufArchivo, imagen);
  BufArchivo.Prog[0x1F0] ^= 0x10;
  EXPECT_EQ(VerificaI2C(), ErrVerificacion);
  EXPECT_EQ(ContextoError.Direccion, 0x1F0u);
  EXPECT_EQ(ContextoError.Leido, imagen[0x1F0]);
}

TEST(I2CFw, CancelIsError22) {
  Fw f(C64);
  ASSERT_TRUE(f.abierto);
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 2));
  // The user presses cancel once the board has taken in what was sent (on
  // a pseudo-terminal the host's purge cannot take back bytes the board
  // has not read yet, which a real port's reset would): the 8-byte command
  // and a data and an address packet for every group of 4 bytes the gauge
  // counts.
  f.ventana.AlBombear = [&](uint32_t n) {
    if (n != 100) return;
    f.placa->EsperaRecibidos(8 + std::size_t{ProgresoFw.Posicion} / 4 * 16);
    Cancelado = true;
  };
  EXPECT_EQ(ProgramaI2C(), ErrCancelado);
  const uint32_t escrituras = f.placa->Con([&] { return f.chip.Eeprom.Escrituras; });
  EXPECT_GT(escrituras, 0u);
  EXPECT_LT(escrituras, PicActual.ProgTam / 32);
  Cancelado = false;
  f.ventana.Bombeos = 0;
  f.ventana.AlBombear = [](uint32_t n) { if (n == 300) Cancelado = true; };
  EXPECT_EQ(LeeI2C(), ErrCancelado);
}

}  // namespace

namespace {

// The second page write of a full program run, as the part saw it: its
// transfer number and the bytes the part took in before it.
std::pair<uint32_t, uint32_t> SegundaPaginaFw(uint8_t indice) {
  Fw f(indice);
  EXPECT_TRUE(f.abierto);
  f.placa->Con([&] { f.chip.Eeprom.Traza = true; return 0; });
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 3));
  EXPECT_EQ(ProgramaI2C(), 0);
  return f.placa->Con([&] {
    const uint32_t direccion = Modelo24(indice).BytesDireccion;
    uint32_t transferencia = 0, bytes = 0, paginas = 0;
    for (const auto& t : f.chip.Eeprom.Transferencias) {
      if (t.size() > 1 + direccion && (t[0].Valor & 1) == 0 && ++paginas == 2) break;
      ++transferencia;
      for (const auto& b : t) bytes += b.DelChip ? 0 : 1;
    }
    return std::make_pair(transferencia, bytes);
  });
}

}  // namespace

// The board's I2C path: a part that withholds its acknowledge at any byte
// of a page write, or leaves the socket in the middle of one, fails the run
// with the no-answer error at that page; the page is not committed and the
// bus is left free.
TEST(I2CFw, AWithheldAcknowledgeFailsThePageWriteItHappensIn) {
  for (uint8_t indice : {C02, C64}) {
    const TModelo24& m = Modelo24(indice);
    const auto [transferencia, bytesAntes] = SegundaPaginaFw(indice);
    const auto posiciones = BytesDePagina(m.BytesDireccion, m.Pagina);
    for (int desaparece = 0; desaparece < 2; ++desaparece) {
      for (const auto& [nombre, byte] : posiciones) {
        if (desaparece && byte == 0) continue;
        SCOPED_TRACE(std::string(m.Nombre) + (desaparece ? " chip gone at the " : " no acknowledge at the ") + nombre);
        Fw f(indice);
        ASSERT_TRUE(f.abierto);
        f.placa->Con([&, byte = byte] {
          if (desaparece)
            f.chip.Eeprom.DesapareceTrasBytes = bytesAntes + byte;
          else
            f.chip.Eeprom.RetieneAck = TEeprom24Sim::TSinAck{transferencia, byte};
          return 0;
        });
        PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 3));
        EXPECT_EQ(ProgramaI2C(), ErrProgramador);
        EXPECT_EQ(ContextoError.Direccion, m.Pagina);
        f.placa->Con([&] {
          EXPECT_EQ(f.chip.Eeprom.Escrituras, 1u);
          for (uint32_t i = m.Pagina; i < 2u * m.Pagina; ++i) EXPECT_EQ(f.chip.Eeprom.Memoria()[i], 0xFF) << i;
          EXPECT_TRUE(f.chip.Eeprom.BusLibre());
          return 0;
        });
        EXPECT_EQ(f.ventana.Mensajes.size(), 1u);
      }
    }
  }
}
