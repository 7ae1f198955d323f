// Test bench of the dsPIC engine on the firmware programmer: the simulated
// board on a pseudo-terminal with a dsPIC30F in its socket, the host's link
// opened on it, the engine's own time-outs and the link clock.
#pragma once

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "banco_dspic.h"
#include "chips/dspic30_fw.h"
#include "firmware/fw_banco.h"
#include "firmware/placa_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_puertos.h"

// Opens the link on a port name as an operation does.
inline bool AbreEnlaceFw(const std::string& dispositivo) {
  USB_COM = true;
  USB_ = false;
  ADDR_USB_COM = dispositivo;
  return AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true);
}

// While it lives: a device selected, the link clock, the engine's own
// serial time-outs; at the end the link is closed and everything put back.
class TEnlaceFwPrueba {
public:
  explicit TEnlaceFwPrueba(uint8_t indice) : estado(indice) {
    tiempos_ = TiemposSerie;
    TiemposSerie = {};  // the engine's own time-outs
    PonReloj(&reloj);
    std::memset(TPaquete, 0, sizeof TPaquete);
  }
  ~TEnlaceFwPrueba() {
    CierraPuerto(false);
    USB_COM = false;
    Usa_Vpp2 = false;
    ADDR_USB_COM.clear();
    PonReloj(nullptr);
    TiemposSerie = tiempos_;
  }
  TEstadoDs estado;
  TRelojEnlace reloj;

private:
  TTiemposSerie tiempos_;
};

class BancoDsFw {
public:
  BancoDsFw(uint8_t indice, TModeloDsPic30 modelo)
      : enlace(std::make_unique<TEnlaceFwPrueba>(indice)), estado(&enlace->estado), chip(modelo) {
    placa = std::make_unique<TPlacaFw>(chip);
    abierto = AbreEnlaceFw(placa->Dispositivo());
  }
  explicit BancoDsFw(uint8_t indice) : BancoDsFw(indice, ModeloDs(indice)) {}
  ~BancoDsFw() {
    CierraPuerto(false);
    placa.reset();
  }
  TVentanaDs& Ventana() { return estado->ventana; }

  std::unique_ptr<TEnlaceFwPrueba> enlace;
  TEstadoDs* estado;
  TDsPic30Fw chip;
  std::unique_ptr<TPlacaFw> placa;
  bool abierto = false;
};

// A far end on a pseudo-terminal that answers every 8-byte command with
// fixed bytes (a corrupt or short reply the simulated board never sends).
class TRespuestaFija {
public:
  explicit TRespuestaFija(std::vector<uint8_t> respuesta) : respuesta_(std::move(respuesta)) {
    char n[128];
    if (openpty(&maestro_, &esclavo_, n, nullptr, nullptr) == 0) nombre_ = n;
    hilo_ = std::thread([this] { Bucle(); });
  }
  ~TRespuestaFija() {
    fin_ = true;
    hilo_.join();
    ::close(maestro_);
    ::close(esclavo_);
  }
  const std::string& Dispositivo() const { return nombre_; }
  std::atomic<int> Ordenes{0};

private:
  void Bucle() {
    std::vector<uint8_t> pend;
    while (!fin_) {
      pollfd p{maestro_, POLLIN, 0};
      if (::poll(&p, 1, 5) <= 0) continue;
      uint8_t b[64];
      const ssize_t n = ::read(maestro_, b, sizeof b);
      if (n <= 0) continue;
      pend.insert(pend.end(), b, b + n);
      while (pend.size() >= 8) {
        pend.erase(pend.begin(), pend.begin() + 8);
        ++Ordenes;
        if (::write(maestro_, respuesta_.data(), respuesta_.size()) < 0) return;
      }
    }
  }
  std::vector<uint8_t> respuesta_;
  int maestro_ = -1, esclavo_ = -1;
  std::string nombre_;
  std::atomic<bool> fin_{false};
  std::thread hilo_;
};
