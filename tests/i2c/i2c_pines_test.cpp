// The serial EEPROM engine on pin-level programmers (LPT and COM adapters),
// run end to end against simulated 24Cxx parts that decode the bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "chips/eeprom24_sim.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "i2c/i2c_banco.h"
#include "i2c/pg_i2c.h"
#include "pg_idioma.h"
#include "sim_banco.h"

namespace {

enum class Enlace { Lpt, Com };

// The lines as the operation runner leaves them before the family runs:
// idle, powered, checked (which sets the half-bit delay).
class Pines {
public:
  Pines(Enlace enlace, uint8_t indice) : chip(indice) {
    if (enlace == Enlace::Lpt)
      PonPerfilLptSim();
    else
      PonPerfilComSim();
    USB_COM = false;
    banco = std::make_unique<TBancoSim>();
    banco->Puerto.Registra = false;
    banco->Adaptador.Registra = false;
    banco->Adaptador.Conecta(&chip);
    SeleccionaEeprom(indice);
    TipoAccion = 0;
    PinesReposo();
    VddOn();
    CompruebaHardware();
  }
  ~Pines() { Cancelado = false; }

  TEeprom24Sim chip;
  std::unique_ptr<TBancoSim> banco;
  TVentanaI2C ventana;
};

struct Caso {
  Enlace enlace;
  uint8_t indice;
};

std::string Nombre(const testing::TestParamInfo<Caso>& i) {
  return std::string(i.param.enlace == Enlace::Lpt ? "Lpt" : "Com") + Modelo24(i.param.indice).Nombre;
}

class IdaYVuelta : public testing::TestWithParam<Caso> {};

// Program, then verify, then a plain read: the part holds the image, and
// the read gives it back.
TEST_P(IdaYVuelta, ProgramVerifyRead) {
  Pines p(GetParam().enlace, GetParam().indice);
  const std::size_t n = PicActual.ProgTam;
  const auto imagen = ImagenI2C(n, GetParam().indice + 1);
  PonImagen(BufDispositivo, imagen);
  PonImagen(BufArchivo, imagen);

  ASSERT_EQ(ProgramaI2C(), 0);
  EXPECT_EQ(p.chip.Memoria(), imagen);
  EXPECT_EQ(p.chip.Escrituras, n / PaginaDeEeprom(GetParam().indice));
  // Only the delay pane: the link pane keeps the clock text.
  EXPECT_EQ(p.ventana.Paneles, (std::map<int, std::string>{{2, "Pgm - 10 ms"}}));
  EXPECT_EQ(p.ventana.Posicion, 100u);

  PonImagen(BufDispositivo, std::vector<uint8_t>(n, 0));
  ASSERT_EQ(VerificaI2C(), 0);
  EXPECT_EQ(Imagen(BufDispositivo, n), imagen);

  PonImagen(BufDispositivo, std::vector<uint8_t>(n, 0));
  ASSERT_EQ(LeeI2C(), 0);
  EXPECT_EQ(Imagen(BufDispositivo, n), imagen);
  EXPECT_EQ(p.ventana.Posicion, PicActual.ProgFin);
  EXPECT_TRUE(p.chip.Violaciones.empty()) << p.chip.Violaciones.front();
  EXPECT_TRUE(p.ventana.Mensajes.empty());
}

void PrintTo(const Caso& c, std::ostream* os) { *os << Nombre(testing::TestParamInfo<Caso>(c, 0)); }

INSTANTIATE_TEST_SUITE_P(I2C, IdaYVuelta,
                         testing::Values(Caso{Enlace::Lpt, C01}, Caso{Enlace::Lpt, C16}, Caso{Enlace::Lpt, C256},
                                         Caso{Enlace::Com, C01}, Caso{Enlace::Com, C16}, Caso{Enlace::Com, C256},
                                         Caso{Enlace::Lpt, C04}, Caso{Enlace::Lpt, C32}),
                         Nombre);

// The bytes each transfer carried, as the part decoded them.
std::vector<std::vector<uint8_t>> Bytes(const TEeprom24Sim& chip) {
  std::vector<std::vector<uint8_t>> r;
  for (const auto& t : chip.Transferencias) {
    r.emplace_back();
    for (const auto& b : t) r.back().push_back(b.Valor);
  }
  return r;
}

TEST(I2CPines, PageAbove256BytesOfA24C16SelectsItsBlockForWriteAndReadBack) {
  Pines p(Enlace::Lpt, C16);
  PaginaI2C = PaginaDeEeprom(C16);
  for (uint32_t i = 0; i < 16; ++i) BufDispositivo.Prog[0x700 + i] = 0x40 + i;
  p.chip.Memoria()[0x000] = 0x99;  // what block 0 would give back
  p.chip.Traza = true;
  ASSERT_TRUE(EscribePaginaI2C8(0x700));
  const auto t = Bytes(p.chip);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].size(), 18u);
  EXPECT_EQ(t[0][0], 0xAE);
  EXPECT_EQ(t[0][1], 0x00);
  EXPECT_EQ(t[1], (std::vector<uint8_t>{0xAE, 0x00}));
  EXPECT_EQ(t[2][0], 0xAF);
  EXPECT_EQ(p.chip.Memoria()[0x70F], 0x4F);
  EXPECT_EQ(ErrorI2C, 0);
}

TEST(I2CPines, ReadSendsOneAddressByteUpTo24C16AndTwoFrom24C32) {
  for (auto [indice, esperado] : {std::pair{C01, std::vector<uint8_t>{0xA0, 0x00}},
                                  std::pair{C16, std::vector<uint8_t>{0xA0, 0x00}},
                                  std::pair{C32, std::vector<uint8_t>{0xA0, 0x00, 0x00}}}) {
    Pines p(Enlace::Lpt, indice);
    p.chip.Traza = true;
    ASSERT_EQ(LeeI2C(), 0);
    const auto t = Bytes(p.chip);
    ASSERT_EQ(t.size(), 2u) << Modelo24(indice).Nombre;
    EXPECT_EQ(t[0], esperado) << Modelo24(indice).Nombre;
    EXPECT_EQ(t[1].size(), PicActual.ProgTam + 1) << "0xA1 and every byte";
    EXPECT_TRUE(p.chip.BusLibre());
  }
}

TEST(I2CPines, NoDeviceIsError25AtAddress0AndLeavesTheBusIdle) {
  for (Enlace e : {Enlace::Lpt, Enlace::Com}) {
    Pines p(e, C02);
    p.chip.Ausente = true;
    EXPECT_EQ(LeeI2C(), ErrProgramador);
    EXPECT_EQ(ContextoError.Direccion, 0u);
    EXPECT_TRUE(p.chip.BusLibre());
    EXPECT_TRUE(p.chip.Scl() && p.chip.Sda());
    EXPECT_EQ(p.ventana.Mensajes.size(), 1u);

    ContextoError.Direccion = 77;
    EXPECT_EQ(ProgramaI2C(), ErrProgramador);
    EXPECT_EQ(ContextoError.Direccion, 0u);
    EXPECT_EQ(p.chip.Escrituras, 0u);
    EXPECT_EQ(ErrorI2C, 0);
    EXPECT_TRUE(p.chip.BusLibre());
  }
}

TEST(I2CPines, ReadClearsTheWholeDeviceAreaOfTheBuffer) {
  Pines p(Enlace::Lpt, C256);
  p.chip.Ausente = true;
  std::fill(BufDispositivo.Prog.begin(), BufDispositivo.Prog.end(), 0x1234);
  EXPECT_EQ(LeeI2C(), ErrProgramador);
  for (uint32_t i = 0; i <= PicActual.ProgFin; ++i)
    ASSERT_EQ(BufDispositivo.Prog[i], 0xFF) << "cell " << i;
}

TEST(I2CPines, StuckBitIsWriteCheckError11) {
  Pines p(Enlace::Lpt, C02);
  p.chip.PegaBit(0x23, 2, false);
  PonImagen(BufDispositivo, std::vector<uint8_t>(256, 0xFF));
  EXPECT_EQ(ProgramaI2C(), ErrEscritura);
  EXPECT_EQ(ErrorI2C, 1);
  EXPECT_EQ(ContextoError.Direccion, 0x23u);
  EXPECT_EQ(ContextoError.Esperado, 0xFF);
  EXPECT_EQ(ContextoError.Leido, 0xFB);
  EXPECT_EQ(p.chip.Escrituras, 5u) << "pages 0x00-0x20 written, then it stops";
  EXPECT_TRUE(p.chip.BusLibre()) << "the read-back ends with NACK and STOP";
  EXPECT_EQ(p.ventana.Mensajes.size(), 1u);
}

TEST(I2CPines, WriteProtectedPartFailsTheFirstPageCheck) {
  Pines p(Enlace::Com, C64);
  p.chip.ProtegidoEscritura = true;
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 9));
  EXPECT_EQ(ProgramaI2C(), ErrEscritura);
  EXPECT_LT(ContextoError.Direccion, 32u);
  EXPECT_EQ(ContextoError.Leido, 0xFF);
}

TEST(I2CPines, SlowWriteIsNotAcknowledgedAtTheReadBack) {
  Pines p(Enlace::Lpt, C32);
  p.chip.TiempoEscrituraNs = 15'000'000;
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 3));
  EXPECT_EQ(ProgramaI2C(), ErrProgramador);
  EXPECT_EQ(ContextoError.Direccion, 0u);
  EXPECT_EQ(ErrorI2C, 0);
  EXPECT_EQ(p.chip.Escrituras, 1u);
  EXPECT_FALSE(p.chip.Violaciones.empty());
}

TEST(I2CPines, VerifyMismatchIsError16WithFileAndDeviceValues) {
  Pines p(Enlace::Lpt, C08);
  const auto imagen = ImagenI2C(PicActual.ProgTam, 5);
  p.chip.Memoria() = imagen;
  PonImagen(BufArchivo, imagen);
  BufArchivo.Prog[0x3A7] = static_cast<uint8_t>(~imagen[0x3A7]);
  EXPECT_EQ(VerificaI2C(), ErrVerificacion);
  EXPECT_EQ(ContextoError.Direccion, 0x3A7u);
  EXPECT_EQ(ContextoError.Esperado, BufArchivo.Prog[0x3A7]);
  EXPECT_EQ(ContextoError.Leido, imagen[0x3A7]);
}

TEST(I2CPines, CancelStopsReadAndProgramWithError22) {
  {
    Pines p(Enlace::Lpt, C02);
    p.ventana.AlBombear = [](uint32_t n) { if (n == 40) Cancelado = true; };
    EXPECT_EQ(LeeI2C(), ErrCancelado);
    EXPECT_TRUE(p.chip.BusLibre()) << "the read is ended with NACK and STOP";
  }
  {
    Pines p(Enlace::Com, C02);
    PonImagen(BufDispositivo, ImagenI2C(256, 1));
    p.ventana.AlBombear = [](uint32_t n) { if (n == 3) Cancelado = true; };
    EXPECT_EQ(ProgramaI2C(), ErrCancelado);
    EXPECT_EQ(p.chip.Escrituras, 3u);
    EXPECT_TRUE(p.chip.BusLibre());
  }
}

TEST(I2CPines, VerifyLogsItsStepAndReplacesTheLastLine) {
  Pines p(Enlace::Lpt, C01);
  TextosEntorno[17] = "Verificando";
  TextosEntorno[25] = "Verificado";
  const auto imagen = ImagenI2C(128, 2);
  p.chip.Memoria() = imagen;
  PonImagen(BufArchivo, imagen);
  ASSERT_EQ(VerificaI2C(), 0);
  ASSERT_FALSE(p.ventana.Lineas.empty());
  EXPECT_EQ(p.ventana.Lineas.front(), " [ Verificando ]");
  EXPECT_EQ(p.ventana.Lineas.back(), " Verificado");
  // Every cell compared: the gauge is full, not left at 0.
  EXPECT_EQ(p.ventana.Maximo, PicActual.ProgFin);
  EXPECT_EQ(p.ventana.Posicion, PicActual.ProgFin);
  TextosEntorno[17].clear();
  TextosEntorno[25].clear();
}

// The log names the part itself, not a PIC's program memory.
TEST(I2CPines, LogLinesNameThePart) {
  Pines p(Enlace::Lpt, C02);
  TextosEntorno[15] = "Escribiendo";
  TextosEntorno[16] = "Leyendo";
  TextosEntorno[21] = "bytes";
  TextosZona[0] = "Memoria de programa";
  PonImagen(BufDispositivo, ImagenI2C(256, 3));
  ASSERT_EQ(ProgramaI2C(), 0);
  ASSERT_EQ(LeeI2C(), 0);
  EXPECT_NE(std::find(p.ventana.Lineas.begin(), p.ventana.Lineas.end(), " Escribiendo 24C02   256 bytes"),
            p.ventana.Lineas.end());
  EXPECT_NE(std::find(p.ventana.Lineas.begin(), p.ventana.Lineas.end(), " Leyendo 24C02   256 bytes"),
            p.ventana.Lineas.end());
  for (const auto& l : p.ventana.Lineas) EXPECT_EQ(l.find("Memoria"), std::string::npos) << l;
  for (int i : {15, 16, 21}) TextosEntorno[i].clear();
  TextosZona[0].clear();
}

}  // namespace

namespace {

// Where the second page write of a full program run stands in the part's
// trace: its transfer number and the bytes the part took in before it.
struct TSegundaPagina {
  uint32_t Transferencia = 0;
  uint32_t BytesAntes = 0;
};
TSegundaPagina SegundaPagina(Enlace e, uint8_t indice) {
  Pines p(e, indice);
  p.chip.Traza = true;
  PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 3));
  EXPECT_EQ(ProgramaI2C(), 0);
  const uint32_t direccion = Modelo24(indice).BytesDireccion;
  TSegundaPagina r;
  uint32_t paginas = 0;
  for (const auto& t : p.chip.Transferencias) {
    if (t.size() > 1 + direccion && (t[0].Valor & 1) == 0 && ++paginas == 2) return r;
    ++r.Transferencia;
    for (const auto& b : t) r.BytesAntes += b.DelChip ? 0 : 1;
  }
  ADD_FAILURE() << "no second page write";
  return r;
}

}  // namespace

// A part that withholds its acknowledge at any byte of a page write
// (control, high address, low address, first or last data byte), or leaves
// the socket in the middle of one, fails the run with the no-answer error
// at that page: the page is not committed and the bus is left free.
TEST(I2CPines, AWithheldAcknowledgeFailsThePageWriteItHappensIn) {
  for (Enlace e : {Enlace::Lpt, Enlace::Com}) {
    for (uint8_t indice : {C02, C64}) {
      const TModelo24& m = Modelo24(indice);
      const TSegundaPagina segunda = SegundaPagina(e, indice);
      const auto posiciones = BytesDePagina(m.BytesDireccion, m.Pagina);
      for (int desaparece = 0; desaparece < 2; ++desaparece) {
        for (const auto& [nombre, byte] : posiciones) {
          if (desaparece && byte == 0) continue;  // gone before the control byte: the no-chip case
          SCOPED_TRACE(std::string(m.Nombre) + (e == Enlace::Lpt ? " LPT, " : " COM, ") +
                       (desaparece ? "chip gone at the " : "no acknowledge at the ") + nombre);
          Pines p(e, indice);
          if (desaparece)
            p.chip.DesapareceTrasBytes = segunda.BytesAntes + byte;
          else
            p.chip.RetieneAck = TEeprom24Sim::TSinAck{segunda.Transferencia, byte};
          PonImagen(BufDispositivo, ImagenI2C(PicActual.ProgTam, 3));
          EXPECT_EQ(ProgramaI2C(), ErrProgramador);
          EXPECT_EQ(ContextoError.Direccion, m.Pagina);
          EXPECT_EQ(p.chip.Escrituras, 1u);
          for (uint32_t i = m.Pagina; i < 2u * m.Pagina; ++i) ASSERT_EQ(p.chip.Memoria()[i], 0xFF) << i;
          EXPECT_TRUE(p.chip.BusLibre());
          EXPECT_EQ(p.ventana.Mensajes.size(), 1u);
        }
      }
    }
  }
}
