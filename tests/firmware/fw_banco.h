// Test bench of the firmware link: a simulated board on a pseudo-terminal,
// the host's link opened on it, the engine's own time-outs, the link clock and an
// operation window that records what the user would see.
#pragma once

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "firmware/chip_fw.h"
#include "firmware/placa_fw.h"
#include "fw/pg_enlace_fw.h"
#include "fw/pg_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "reloj_enlace.h"

// What the operation window would show; ProcesaMensajes can run a hook
// (to press cancel in mid-transfer).
class TVentanaPrueba final : public TInterfazOperacion {
public:
  void Mensaje(const std::string& t) override { Mensajes.push_back(t); }
  void Log(const std::string& l) override { Lineas.push_back(l); }
  void ProcesaMensajes() override {
    ++Bombeos;
    if (AlBombear) AlBombear(Bombeos);
  }
  std::vector<std::string> Mensajes, Lineas;
  uint32_t Bombeos = 0;
  std::function<void(uint32_t)> AlBombear;
};

class BancoFw : public ::testing::Test {
protected:
  void SetUp() override {
    tiempos_ = TiemposSerie;
    TiemposSerie = {};  // the engine's own time-outs
    PonReloj(&reloj);
    PonInterfazOperacion(&ventana);
    Cancelado = false;
    ClaseDispositivo = 0;
    RetardoPgm = 0;
    ContextoError = {};
    std::memset(TPaquete, 0, sizeof TPaquete);
    placa = std::make_unique<TPlacaFw>(chip);
    Abre();
  }
  void TearDown() override {
    CierraPuerto(false);
    USB_COM = false;
    ADDR_USB_COM.clear();
    placa.reset();
    PonInterfazOperacion(nullptr);
    PonReloj(nullptr);
    TiemposSerie = tiempos_;
    Cancelado = false;
    ClaseDispositivo = 255;
  }

  // Opens the link as an operation does, on a profile naming the board's port.
  void Abre() {
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = placa->Dispositivo();
    ASSERT_TRUE(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
    ASSERT_EQ(hPuerto, PuertoFw().Fd());
  }
  // Puts a command in TPaquete the way the families do.
  static void Orden(std::vector<uint8_t> bytes) {
    ResetProgramador();
    SumaXor = 0;
    std::memcpy(TPaquete, bytes.data(), bytes.size());
  }
  // Waits until the board has taken in n bytes (it runs on its own thread).
  void EsperaRecibidos(std::size_t n) { placa->EsperaRecibidos(n); }
  // A fresh board after a disconnect, with the link opened on it.
  void NuevaPlaca() {
    CierraPuerto(false);
    placa = std::make_unique<TPlacaFw>(chip);
    Abre();
  }
  // The next operation after a failure works: ask the version, read a block.
  void SiguienteFunciona() {
    CierraPuerto(false);
    placa->Inyecta({});
    Abre();
    std::array<uint8_t, 6> r{};
    ASSERT_EQ(IdentificaProgramadorFw(r), 0);
    EXPECT_EQ(std::string(r.begin(), r.end()), "Ok2.07");
    placa->Con([&] { chip.Programa.Celdas[0] = 0x1234; });
    Orden({'>', '1', 0, 0, 0, 0, 4, 0});
    uint16_t w = 0;
    EXPECT_FALSE(LeeBloque(&w, 0, 0));
    EXPECT_EQ(w, 0x1234);
  }

  // The waits for a reply last what they ask until the reply is there;
  // the pacing waits cost nothing.
  TRelojEnlace reloj;
  TVentanaPrueba ventana;
  TChipMemoriasFw chip;
  std::unique_ptr<TPlacaFw> placa;

private:
  TTiemposSerie tiempos_;
};
