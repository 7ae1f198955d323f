// A blank simulated part in the firmware programmer's socket, with the
// profile "Placa" of the program folder naming the board's terminal (the
// USB-232 link), for the batch tests.
#pragma once

#include <memory>
#include <string>

#include "firmware/placa_fw.h"
#include "firmware/zocalo_fw.h"
#include "hw/pg_perfil.h"

struct TPlacaConPerfil {
  std::unique_ptr<TZocaloFw> Zocalo;
  std::unique_ptr<TPlacaFw> Placa;
  bool Guardado = false;

  explicit TPlacaConPerfil(const std::string& parte)
      : Zocalo(TZocaloFw::Crea(parte)), Placa(std::make_unique<TPlacaFw>(Zocalo->Chip())) {
    PonPinesPorDefecto(0x3F8);
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = Placa->Dispositivo();
    Guardado = GuardaPerfilHardware("Placa");
  }
  // The part's program memory cell (the board stopped meanwhile).
  uint32_t Programa(uint32_t celda) {
    return Placa->Con([&] { return Zocalo->Programa(celda); });
  }
};
