// The simulated passive adapter: port register bits become line levels
// through its wiring (a copy of a hardware profile), exactly as the real
// adapter's gates do: level = register bit XOR the line's inversion. The
// data line is wired-AND: data in = data out AND what each chip drives, so
// an adapter with no chip (or an idle chip) loops data out back to data in.
#pragma once

#include <cstdint>
#include <vector>

#include "sim_chip.h"

class TPuertoSim;

// Which register bit drives which line, and whether the adapter inverts it.
struct TCableadoSim {
  uint16_t AddrD = 0, AddrC = 0, AddrV = 0, AddrV2 = 0, AddrVdd = 0, AddrM = 0, AddrS = 0;
  uint8_t Bit_Data = 0, Bit_Clock = 0, Bit_Vpp = 0, Bit_Vpp2 = 0, Bit_Vdd = 0, Bit_Mclr = 0, Bit_Read = 0;
  bool Inv_Data = false, Inv_Clock = false, Inv_Vpp = false, Inv_Vpp2 = false, Inv_Vdd = false,
       Inv_Mclr = false, Inv_Read = false;
  bool Usa_Vdd = false, Usa_Vpp2 = false, Usa_Mclr = false;

  // The wiring of the loaded profile (the pin configuration globals).
  static TCableadoSim DelPerfil();
};

// Faults of the adapter's data-in path.
enum class TFallaAdaptador : uint8_t {
  Ninguna,
  DatoPegadoAlto,  // data-in line stuck high
  DatoPegadoBajo,  // stuck low
};

class TAdaptadorSim {
public:
  // Hangs on the port; the wiring is taken from the loaded profile unless given.
  explicit TAdaptadorSim(TPuertoSim& puerto);
  TAdaptadorSim(TPuertoSim& puerto, const TCableadoSim& cableado);
  ~TAdaptadorSim();
  TAdaptadorSim(const TAdaptadorSim&) = delete;
  TAdaptadorSim& operator=(const TAdaptadorSim&) = delete;

  // The chips in the two sockets (nullptr = empty). The second socket's chip
  // sees the second Vpp line as its Vpp.
  void Conecta(TChipSim* zocalo1, TChipSim* zocalo2 = nullptr);

  // Line levels the host drives now.
  TLineasSim Lineas() const;
  // Level of the data line (wired-AND of the host and the chips).
  bool LineaDato() const;

  TFallaAdaptador Falla = TFallaAdaptador::Ninguna;
  TCableadoSim Cableado;

  // Every change of the host's lines with its time (kept while Registra is set).
  struct TCambio {
    uint64_t tNs;
    TLineasSim lineas;
  };
  std::vector<TCambio> Cambios;
  bool Registra = true;

  // Called by the port.
  void Escrito();
  uint8_t Lectura(uint16_t direccion, uint8_t registro) const;

private:
  bool Nivel(uint16_t direccion, uint8_t mascara, bool invertida) const;
  TPuertoSim& puerto_;
  TChipSim* zocalo1_ = nullptr;
  TChipSim* zocalo2_ = nullptr;
};

// Equality of line levels, for the change log.
bool operator==(const TLineasSim& a, const TLineasSim& b);
