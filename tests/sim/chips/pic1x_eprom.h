// Simulated 14-bit EPROM PIC (16C6x/7x/62x). Cells only go from 1 to 0;
// a cell takes the loaded word only after a number of programming pulses
// (begin command 8 ... end command 14). There is no electrical erase.
//
// Code protection: the CP pairs of the configuration word (bits 13:12,
// 11:10, 9:8 and 5:4, all given the same value) protect the top of program
// memory: 10 the upper half, 01 the upper three quarters, 00 all of it.
// Protected words read 0 and take no more programming; the IDs and the
// configuration word still read. Pairs that differ protect from the lowest
// start any of them names. With no erase, a protected part stays so.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pic1x_serie.h"

struct TDatosPicC {
  std::string Nombre;
  uint16_t Palabras = 2048;
  uint16_t Id = 0;                    // word at 0x2006
  uint8_t PulsosPalabra = 3;          // pulses a program or ID word needs
  uint8_t PulsosConfig = 1;           // pulses the configuration word needs
  uint64_t PulsoMinNs = 100'000;      // shortest pulse that counts
};

struct TPulsoSim {
  uint16_t Direccion;
  uint64_t DuracionNs;
};

class TPicCSim : public TPic1xSerieSim {
public:
  explicit TPicCSim(TDatosPicC datos);

  const TDatosPicC& Datos() const { return d_; }
  std::vector<uint16_t> Prog;            // blank 0x3FFF
  std::array<uint16_t, 16> Config{};     // 0x2000-0x200F
  // Pulses a given cell needs, over the part's defaults (a weak cell).
  std::map<uint16_t, uint8_t> PulsosCelda;
  std::vector<TPulsoSim> Pulsos;         // every pulse the part received
  uint32_t PulsosEn(uint16_t direccion) const;
  bool Protegido() const { return InicioProtegido() < d_.Palabras; }
  uint16_t InicioProtegido() const;  // first protected program word (Palabras: none)
  // A program word that reads 0 and takes no pulses (0x2000 up: never).
  bool CeldaProtegida(uint16_t direccion) const {
    return direccion < 0x2000 && direccion % d_.Palabras >= InicioProtegido();
  }

protected:
  void Reinicia() override;
  TFaseSim Comando(uint8_t comando, uint64_t tNs) override;
  void Carga(uint8_t comando, uint16_t dato) override;
  uint16_t Lectura(uint8_t comando) override;

private:
  uint16_t& Celda(uint16_t direccion);
  uint8_t Necesarios(uint16_t direccion) const;

  TDatosPicC d_;
  uint16_t pc_ = 0;
  uint16_t latch_ = 0x3FFF;
  uint64_t inicioPulso_ = 0;
  bool enPulso_ = false;
  std::map<uint16_t, uint32_t> cuenta_;  // pulses so far per cell
};
