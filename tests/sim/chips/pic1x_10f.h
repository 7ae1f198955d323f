// Simulated 12-bit baseline flash PIC (10F200/202/204/206). After entry the
// counter stands at the configuration word at the top of the address
// space; the first increment wraps it to 0. The last user word holds the
// factory OSCCAL (MOVLW k), the word after the four ID words its backup.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pic1x_serie.h"

struct TDatos10F {
  std::string Nombre;
  uint16_t Usuario = 256;        // user words; OSCCAL is the last one
  uint16_t DirConfig = 0x1FF;    // address of the configuration word
  uint64_t TProgNs = 2'000'000;  // externally timed programming, at least
  uint64_t TBorradoNs = 10'000'000;
};

class TPic10FSim : public TPic1xSerieSim {
public:
  explicit TPic10FSim(TDatos10F datos);

  const TDatos10F& Datos() const { return d_; }
  // The whole address space 0 .. DirConfig, 12-bit cells, blank 0x0FFF.
  std::vector<uint16_t> Mem;
  uint16_t OscCalFabrica = 0x0C24;   // MOVLW 0x24
  void PonFabrica();
  uint16_t DirOscCal() const { return static_cast<uint16_t>(d_.Usuario - 1); }
  uint16_t DirBackup() const { return static_cast<uint16_t>(d_.Usuario + 4); }
  bool Protegido() const { return (Mem[d_.DirConfig] & 0x008) == 0; }
  // With code protection the user words from 0x40 up read 0, OSCCAL aside;
  // the configuration word alone takes writes.
  bool CeldaProtegida(uint16_t direccion) const {
    return Protegido() && direccion >= 0x40 && direccion < DirOscCal();
  }
  bool AceptaEscritura(uint16_t direccion) const { return !Protegido() || direccion == d_.DirConfig; }
  // A bit that keeps its value whatever is written.
  uint16_t DirPegado = 0xFFFF, MascaraPegado = 0, ValorPegado = 0;

protected:
  void Reinicia() override;
  TFaseSim Comando(uint8_t comando, uint64_t tNs) override;
  void Carga(uint8_t comando, uint16_t dato) override;
  uint16_t Lectura(uint8_t comando) override;

private:
  TDatos10F d_;
  uint16_t pc_ = 0;
  uint16_t latch_ = 0x0FFF;
};
