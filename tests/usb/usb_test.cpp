// The firmware link on native USB against the simulated board on a
// simulated bus: discovery, packet split, replies, faults and cancel.
#include <chrono>
#include <cstring>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/grabador.h"
#include "fw/pg_fw.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "usb/pg_hilo_usb.h"
#include "usb/pg_usb_fw.h"
#include "usb/placa_usb_sim.h"
#include "reloj_enlace.h"

namespace {

class BancoUsb : public ::testing::Test {
protected:
  void SetUp() override {
    anterior_ = PonReloj(&reloj);
    InstalaUsbFirmware();
    bus.Dispositivos.push_back({{0x046D, 0xC52B, "1-1"}, nullptr, TFalloUsb::Ninguno});  // a mouse
    bus.Dispositivos.push_back({{VidMicrochip, 0x5201, "1-2"}, &placa, TFalloUsb::Ninguno});
    USB_COM = USB_ = true;
    ADDR_USB_ = "Ind.#0";
    VidPid = "vid_04d8&pid_5201";
    ClaseDispositivo = 0;
    PicActual.Familia = 16;
    Cancelado = false;
    ContextoError = {};
    ASSERT_TRUE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
  }
  void TearDown() override {
    CierraPuerto(true);
    USB_COM = USB_ = false;
    Cancelado = false;
    ClaseDispositivo = 255;
    PicActual.Familia = 0;
    PonReloj(anterior_);
  }
  static void Orden(std::vector<uint8_t> b) {
    std::memset(TPaquete, 0, TamPaqueteFw);
    std::memcpy(TPaquete, b.data(), b.size());
  }
  // 12-bit area commands: n words at program cell 0.
  static void OrdenLectura(uint32_t n) {
    Orden({'>', 'L', static_cast<uint8_t>(n - 1), static_cast<uint8_t>((n - 1) >> 8), 0, 0, 0, 0});
  }
  // The same, or for a dsPIC the program read 'E' of n words.
  static void OrdenLecturaDe(uint8_t familia, uint32_t n) {
    if (familia == 30)
      Orden({'>', 'E', static_cast<uint8_t>(n / 8 - 1), 0, 0, 0, 0, 0});
    else
      OrdenLectura(n);
  }
  static void OrdenEscritura(uint32_t n) {
    Orden({'>', 'M', static_cast<uint8_t>(n - 1), static_cast<uint8_t>((n - 1) >> 8), 0, 0, 0, 0});
  }
  // The 255-byte transfers the board received after the command.
  std::vector<std::vector<uint8_t>> Paquetes() {
    std::vector<std::vector<uint8_t>> r;
    for (const auto& t : placa.Recibido)
      if (t.size() == 255) r.push_back(t);
    return r;
  }

  TRelojEnlace reloj;
  TReloj* anterior_ = nullptr;
  TGrabador ventana;
  TChipMemoriasFw chip;
  TPlacaUsbSim placa{chip};
  TBusUsbSim bus;
};

TEST(UsbDescubre, VidPidMatchesIgnoringCaseAndExactlyOnce) {
  const struct {
    const char* instancia;
    const char* vidPid;
    bool igual;
  } casos[] = {
      {"USB\\VID_04D8&PID_5201\\1-2", "vid_04d8&pid_5201", true},
      {"usb\\vid_04d8&pid_5201\\1-2", "VID_04D8&PID_5201", true},
      {"USB\\VID_04D8&PID_5202\\1-2", "vid_04d8&pid_5201", false},
      {"USB\\VID_04D8&PID_5201\\VID_04D8&PID_5201", "vid_04d8&pid_5201", false},
      {"USB\\VID_04D8&PID_5201\\1-2", "", false},
  };
  for (const auto& c : casos) EXPECT_EQ(MismoVidPid(c.instancia, c.vidPid), c.igual) << c.instancia;
  EXPECT_EQ(CuentaStr("aaaa", "aa"), 2u);
  EXPECT_EQ(CuentaStr("", "a"), 0u);
}

TEST_F(BancoUsb, DiscoveryCountsOnlyMatchingBoards) {
  std::string ruta;
  EXPECT_EQ(DaPathUSB(0, VidPid, ruta), 4);
  EXPECT_EQ(DaPathUSB(1, VidPid, ruta), 1);
  EXPECT_EQ(ruta, "USB\\VID_04D8&PID_5201\\1-2");
  EXPECT_EQ(DaPathUSB(2, VidPid, ruta), 3);
  EXPECT_EQ(ListaUsb(), std::vector<std::string>{"Ind.#0"});

  // A second board: "Ind.#1" opens it, not the first.
  TChipMemoriasFw chip2;
  TPlacaUsbSim placa2{chip2};
  bus.Dispositivos.push_back({{VidMicrochip, 0x5201, "1-3"}, &placa2, TFalloUsb::Ninguno});
  std::vector<std::string> lista;
  ListaPuertos(lista, true, true);
  EXPECT_EQ(lista, (std::vector<std::string>{"Ind.#0", "Ind.#1"}));
  ADDR_USB_ = "Ind.#1";
  ASSERT_TRUE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
  EXPECT_EQ(bus.Abiertos, 1);
  Orden({'>', '0'});
  ASSERT_TRUE(EnviaPaquete(8));
  ASSERT_TRUE(LeeRespuesta(6));
  EXPECT_TRUE(placa.Recibido.empty());
  EXPECT_EQ(placa2.Recibido.size(), 1u);
  CierraPuerto(true);
  EXPECT_EQ(bus.Abiertos, 0);
  CierraPuerto(true);  // closing twice is harmless

  ADDR_USB_ = "Ind.#2";
  EXPECT_FALSE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
}

TEST_F(BancoUsb, BoardThatMayNotBeOpenedNamesTheUdevRule) {
  CierraPuerto(true);
  bus.Dispositivos[1].FalloApertura = TFalloUsb::Permiso;
  ventana.Mensajes.clear();
  EXPECT_FALSE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("Ind.#0"), std::string::npos);
  EXPECT_NE(ventana.Mensajes[0].find("60-korvane.rules"), std::string::npos) << ventana.Mensajes[0];
  EXPECT_FALSE(PuertoAbierto());
}

// Why the board did not open, in the user's language: the language file's
// text for each failure, then the bus's own reason or the USB identifier.
TEST_F(BancoUsb, WhyTheBoardDidNotOpenIsInTheUsersLanguage) {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/Español.ini");
  CierraPuerto(true);
  const std::string sinEnlace = " " + TextoIdioma("pg_err*", "37*") + " ";
  const auto enlace = [](const char* clave) { return TextoIdioma("pg_enlace*", clave); };
  const struct {
    TFalloUsb Fallo;
    const char* Instancia;
    std::string Esperado;
  } casos[] = {
      {TFalloUsb::Permiso, "Ind.#0", enlace("9*") + " 60-korvane.rules"},
      {TFalloUsb::Ocupado, "Ind.#0", enlace("10*") + " (LIBUSB_ERROR_ACCESS)"},
      {TFalloUsb::Desaparecido, "Ind.#0", enlace("11*") + " (LIBUSB_ERROR_ACCESS)"},
      {TFalloUsb::Otro, "Ind.#0", enlace("12*") + " (LIBUSB_ERROR_ACCESS)"},
      {TFalloUsb::Ninguno, "Ind.#2", enlace("14*") + " vid_04d8&pid_5201: 1"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.Instancia + std::string(" ") + std::to_string(static_cast<int>(c.Fallo)));
    bus.Dispositivos[1].FalloApertura = c.Fallo;
    ADDR_USB_ = c.Instancia;
    ventana.Mensajes.clear();
    EXPECT_FALSE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
    ASSERT_EQ(ventana.Mensajes.size(), 1u);
    EXPECT_EQ(ventana.Mensajes[0], sinEnlace + c.Instancia + ": " + c.Esperado);
  }
  bus.Dispositivos.pop_back();
  ventana.Mensajes.clear();
  ADDR_USB_ = "Ind.#0";
  EXPECT_FALSE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_EQ(ventana.Mensajes[0], sinEnlace + "Ind.#0: " + enlace("13*") + " vid_04d8&pid_5201");
  EXPECT_FALSE(enlace("13*").empty());
  EXPECT_FALSE(PuertoAbierto());
}

TEST_F(BancoUsb, BlockReadsSplitIntoPackets) {
  const struct {
    uint8_t familia;
    uint32_t palabras;
    std::size_t paquetes;
  } casos[] = {{16, 1, 1}, {16, 124, 1}, {16, 125, 2}, {16, 300, 3}, {30, 120, 1}, {30, 128, 2}, {30, 240, 2}};
  for (const auto& c : casos) {
    SCOPED_TRACE(std::to_string(c.familia) + "/" + std::to_string(c.palabras));
    PicActual.Familia = c.familia;
    for (uint32_t i = 0; i < 0x1000; ++i) chip.Programa.Celdas[i] = static_cast<uint16_t>(i * 7 + 1);
    // The dsPIC's read 'E' counts in groups of 8 cells: read from its area
    // with the same word count through a 12-bit read instead, but with the
    // dsPIC's step on the host and the board.
    std::vector<uint16_t> buf(c.palabras + 4, 0xAAAA);
    if (c.familia == 30)
      Orden({'>', 'E', static_cast<uint8_t>(c.palabras / 8 - 1), 0, 0, 0, 0, 0});
    else
      OrdenLectura(c.palabras);
    const uint32_t n = c.palabras;
    const uint32_t antes = placa.PaquetesLeidos;
    ASSERT_FALSE(LeeBloqueUSB(buf.data(), 0, n - 1));
    EXPECT_EQ(placa.PaquetesLeidos - antes, c.paquetes);
    for (uint32_t i = 0; i < n; ++i) ASSERT_EQ(buf[i], static_cast<uint16_t>(i * 7 + 1)) << i;
    EXPECT_EQ(buf[n], 0xAAAA);
    EXPECT_EQ(placa.Pendientes(), 0u) << "every packet the board sent was read";
  }
}

TEST_F(BancoUsb, OversizedWordCountNeverWritesPastTheBlock) {
  for (uint32_t i = 0; i < 200; ++i) chip.Programa.Celdas[i] = 0x0100 + i;
  placa.CuentaForzada = 255;
  std::vector<uint16_t> buf(140, 0xAAAA);
  OrdenLectura(130);
  ASSERT_FALSE(LeeBloqueUSB(buf.data(), 0, 129));
  for (uint32_t i = 0; i < 130; ++i) ASSERT_EQ(buf[i], 0x0100 + i) << i;
  for (uint32_t i = 130; i < buf.size(); ++i) ASSERT_EQ(buf[i], 0xAAAA) << i;
}

// A packet that carries fewer words than its place in the block needs
// leaves buffer cells unread: the read fails with error 28 instead of
// handing back whatever the buffer held before as the chip's contents,
// and the board is told to stop so the next command reads its own reply.
TEST_F(BancoUsb, UndersizedWordCountIsAShortReply) {
  const struct {
    uint8_t familia;
    uint32_t palabras;
    int cuenta;
  } casos[] = {{16, 130, 10}, {16, 130, 0}, {16, 5, 4}, {30, 240, 100}, {16, 130, 123}};
  for (const auto& c : casos) {
    SCOPED_TRACE(std::to_string(c.palabras) + " words, count " + std::to_string(c.cuenta));
    PicActual.Familia = c.familia;
    placa.CuentaForzada = c.cuenta;
    ContextoError = {};
    std::vector<uint16_t> buf(c.palabras, 0xAAAA);
    OrdenLecturaDe(c.familia, c.palabras);
    EXPECT_TRUE(LeeBloqueUSB(buf.data(), 0, c.palabras - 1));
    EXPECT_EQ(ContextoError.Codigo, ErrSinRespuesta);
    EXPECT_EQ(placa.Recibido.back(), std::vector<uint8_t>{255});
    EXPECT_EQ(placa.Pendientes(), 0u);
    placa.CuentaForzada = -1;
    std::vector<uint16_t> bien(c.palabras, 0xAAAA);
    OrdenLecturaDe(c.familia, c.palabras);
    EXPECT_FALSE(LeeBloqueUSB(bien.data(), 0, c.palabras - 1));
    if (c.familia != 30) {
      for (uint32_t i = 0; i < c.palabras; ++i) ASSERT_EQ(bien[i], chip.Programa.Celdas[i]) << i;
    }
  }
}

TEST_F(BancoUsb, BlockWritesSplitIntoPacketsAndSkipBlankOnes) {
  const struct {
    uint32_t palabras;
    std::vector<uint32_t> offsets;  // of the data packets sent
    std::vector<uint32_t> cuentas;
    uint32_t noBlanco;              // words from here on are blank (all: palabras)
  } casos[] = {
      {124, {0}, {124}, 124},
      {125, {0, 124}, {124, 1}, 125},
      {300, {0, 248}, {124, 52}, 300},  // the middle packet is blank
      {200, {}, {}, 0},                  // all blank: only the closing packet
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.palabras);
    chip.Programa.Borra();
    placa.Recibido.clear();
    std::vector<uint16_t> buf(c.palabras, 0x3FFF);
    for (uint32_t i = 0; i < c.noBlanco; ++i)
      if (c.palabras != 300 || i < 124 || i >= 248) buf[i] = static_cast<uint16_t>(i & 0x0FFF);
    OrdenEscritura(c.palabras);
    ASSERT_TRUE(EnviaPaquete(8));
    ASSERT_FALSE(ProgramaBloqueUSB(buf.data(), 0, c.palabras - 1, 0x3FFF, false));
    const auto p = Paquetes();
    ASSERT_EQ(p.size(), c.offsets.size() + 1);
    for (std::size_t k = 0; k < c.offsets.size(); ++k) {
      EXPECT_EQ(p[k][250], c.cuentas[k]);
      EXPECT_EQ(p[k][251] | p[k][252] << 8 | p[k][253] << 16, static_cast<int>(c.offsets[k]));
      EXPECT_EQ(p[k][254], 0);
    }
    EXPECT_EQ(p.back()[254], 1);
    for (uint32_t i = 0; i < c.palabras; ++i) ASSERT_EQ(chip.Programa.Celdas[i], buf[i]) << i;
    EXPECT_TRUE(placa.Errores.empty()) << placa.Errores.front();
    EXPECT_EQ(ThreadUSB, nullptr) << "the reply thread ends with the transfer";
  }
}

TEST_F(BancoUsb, VerifyErrorReportsTheFailingCell) {
  // Block word 130 (second packet, word 6) lands on chip cell 130 and will
  // not take; the host reports it at the block's own address, first + 130.
  chip.Programa.Celdas[130] = 0x0000;
  std::vector<uint16_t> buf(200, 0x1234);
  OrdenEscritura(200);
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0x10, 0x10 + 199, 0x3FFF, false));
  EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 0x10u + 130);
  EXPECT_EQ(ContextoError.Esperado, 0x1234);
  EXPECT_EQ(ContextoError.Leido, 0x0000);
  EXPECT_EQ(ThreadUSB, nullptr);
}

TEST_F(BancoUsb, StaleProgressRecordIsNeverTakenForTheClosingReply) {
  // Progress after every packet, and the last packet's last word does not
  // take: the board's verify error comes after a progress record.
  placa.ProgresoCada = 1;
  const uint32_t n = 124 * 5;
  chip.Programa.Celdas[n - 1] = 0x0000;
  std::vector<uint16_t> buf(n, 0x0555);
  for (int vez = 0; vez < 5; ++vez) {
    placa.Recibido.clear();
    ContextoError = {};
    OrdenEscritura(n);
    ASSERT_TRUE(EnviaPaquete(8));
    EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0, n - 1, 0x3FFF, false)) << vez;
    EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
    EXPECT_EQ(ContextoError.Direccion, n - 1);
  }
}

// A board that lags behind the host: its progress records are still on
// their way when the closing packet goes out, and a verify error of the
// last packet queues behind them. The first of them is not the answer to
// the closing packet, and the error behind it is reported.
TEST_F(BancoUsb, VerifyErrorBehindLateProgressRecordsIsReported) {
  placa.ProgresoCada = 1;
  placa.RetrasoProgresoMs = 30;
  const uint32_t n = 124 * 5;
  chip.Programa.Celdas[n - 1] = 0x0000;
  std::vector<uint16_t> buf(n, 0x0555);
  OrdenEscritura(n);
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0, n - 1, 0x3FFF, false));
  EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, n - 1);
  EXPECT_EQ(placa.Pendientes(), 0u) << "no reply is left for the next command";
}

TEST_F(BancoUsb, ProgrammerErrorIsAFailureInMidBlockAndAsTheClosingReply) {
  std::vector<uint16_t> buf(400, 0x0123);
  placa.Fallo = {TFalloPlacaFw::Codigo, 200, 1, 0, 0};
  OrdenEscritura(400);
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0, 399, 0x3FFF, false));
  EXPECT_EQ(ContextoError.Codigo, ErrProgramador);
  EXPECT_EQ(ContextoError.Direccion, 124u);

  placa.Fallo = {};
  placa.CodigoFinal = 200;
  ContextoError = {};
  chip.Programa.Borra();
  OrdenEscritura(400);
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0, 399, 0x3FFF, false));
  EXPECT_EQ(ContextoError.Codigo, ErrProgramador);
}

TEST_F(BancoUsb, SilentBoardIsError28) {
  placa.Fallo.Tipo = TFalloPlacaFw::Silencio;
  std::vector<uint16_t> buf(10, 0x0123);
  OrdenEscritura(10);
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0, 9, 0x3FFF, true));
  EXPECT_EQ(ContextoError.Codigo, ErrSinRespuesta);
  OrdenLectura(10);
  EXPECT_TRUE(LeeBloqueUSB(buf.data(), 0, 9));
  EXPECT_EQ(ContextoError.Codigo, ErrSinRespuesta);
  EXPECT_EQ(ThreadUSB, nullptr);
}

TEST_F(BancoUsb, CancelStopsTheBoardAndClosesTheLink) {
  std::vector<uint16_t> buf(1000, 0x0123);
  class TCancela final : public TGrabador {
  public:
    void ProcesaMensajes() override {
      if (++Bombeos == 3) Cancelado = true;
    }
  } cancela;
  OrdenLectura(1000);
  EXPECT_TRUE(LeeBloqueUSB(buf.data(), 0, 999));
  EXPECT_EQ(ContextoError.Codigo, ErrCancelado);
  EXPECT_EQ(placa.Recibido.back(), std::vector<uint8_t>{255});
  EXPECT_FALSE(PuertoAbierto());
  EXPECT_EQ(bus.Abiertos, 0);

  Cancelado = false;
  ASSERT_TRUE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
  cancela.Bombeos = 0;
  OrdenEscritura(1000);
  ASSERT_TRUE(EnviaPaquete(8));
  EXPECT_TRUE(ProgramaBloqueUSB(buf.data(), 0, 999, 0x3FFF, false));
  EXPECT_EQ(ContextoError.Codigo, ErrCancelado);
  EXPECT_EQ(placa.Recibido.back()[254], 1);
  EXPECT_FALSE(PuertoAbierto());
  EXPECT_EQ(ThreadUSB, nullptr);
}

TEST_F(BancoUsb, DsPicRowsOnePacketEachBlankRowsSkipped) {
  PicActual.Familia = 30;
  // Three program rows of 32 instructions; the middle one blank.
  std::vector<uint16_t> buf(3 * 64);
  for (uint32_t i = 0; i < 3 * 32; ++i) {
    const bool blanco = i >= 32 && i < 64;
    buf[2 * i] = blanco ? 0xFFFF : static_cast<uint16_t>(0x1000 + i);
    buf[2 * i + 1] = blanco ? 0x00FF : 0x0012;
  }
  Orden({'>', 'I', 0, 0, 0, 0, Area24Programa, 0});
  ASSERT_FALSE(ProgramaBloque24USB(buf.data(), 0x000100, 2, Area24Programa));
  const auto p = Paquetes();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0][251] | p[0][252] << 8 | p[0][253] << 16, 0x100);
  EXPECT_EQ(p[1][251] | p[1][252] << 8 | p[1][253] << 16, 0x100 + 128);
  EXPECT_EQ(p[0][0] | p[0][1] << 8 | p[0][2] << 16, 0x121000);
  EXPECT_EQ(p[2][254], 1);
  EXPECT_EQ(chip.Programa.Celdas[0x100], 0x1000);
  EXPECT_EQ(chip.Programa.Celdas[0x101], 0x0012);
  EXPECT_TRUE(placa.Errores.empty());

  // A row that does not take: MuestraError24 with the row's address.
  chip.Programa.Celdas[0x200 + 2 * 5] = 0x0000;
  Orden({'>', 'I', 0, 0, 0, 0, Area24Programa, 0});
  ventana.Mensajes.clear();
  EXPECT_TRUE(ProgramaBloque24USB(buf.data(), 0x000200, 0, Area24Programa));
  ASSERT_EQ(ventana.Mensajes.size(), 1u);
  EXPECT_NE(ventana.Mensajes[0].find("0000020A"), std::string::npos) << ventana.Mensajes[0];
  EXPECT_EQ(ThreadUSB, nullptr);
}

TEST_F(BancoUsb, ProgrammerErrorOnADsPicRowIsAFailure) {
  PicActual.Familia = 30;
  std::vector<uint16_t> buf(3 * 64, 0x0012);
  placa.Fallo = {TFalloPlacaFw::Codigo, 200, 1, 0, 0};
  Orden({'>', 'I', 0, 0, 0, 0, Area24Programa, 0});
  EXPECT_TRUE(ProgramaBloque24USB(buf.data(), 0x000100, 2, Area24Programa));
  EXPECT_EQ(ContextoError.Codigo, ErrProgramador);
  EXPECT_EQ(ThreadUSB, nullptr);
}

}  // namespace
