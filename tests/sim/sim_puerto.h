// The simulated port: the legacy port registers in memory, behind the same
// interface as the machine's backends. Every write is logged with its
// virtual time; reads of a data-in register come from the adapter.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "hw/pg_puertos.h"

class TAdaptadorSim;

class TPuertoSim final : public TPuertoES {
public:
  struct TEscritura {
    uint64_t tNs;
    uint16_t direccion;
    uint8_t valor;
  };

  // Installs itself as the port I/O while it lives.
  TPuertoSim();
  ~TPuertoSim() override;
  TPuertoSim(const TPuertoSim&) = delete;
  TPuertoSim& operator=(const TPuertoSim&) = delete;

  bool Lee(uint16_t direccion, uint8_t& valor) override;
  bool Escribe(uint16_t direccion, uint8_t valor) override;

  // Last value written to (or preset in) a register; 0 before any.
  uint8_t Registro(uint16_t direccion) const;
  // Presets a register, for status bits that carry no line.
  void PonRegistro(uint16_t direccion, uint8_t valor) { registros_[direccion] = valor; }

  // Virtual time each access costs (default 0), so engines can be timed.
  uint64_t CosteAccesoNs = 0;
  // Every write, in order (kept while Registra is set).
  std::vector<TEscritura> Escrituras;
  bool Registra = true;
  uint64_t Lecturas = 0;
  // Makes every access fail, as a port that went away would.
  bool Falla = false;
  // Accesses (reads and writes) so far; with FallaDesde non-zero, access
  // number FallaDesde and every one after it fail, as an adapter unplugged
  // in the middle of an operation.
  uint64_t Accesos = 0;
  uint64_t FallaDesde = 0;

  void Conecta(TAdaptadorSim* adaptador) { adaptador_ = adaptador; }

private:
  bool Muerto();
  std::map<uint16_t, uint8_t> registros_;
  TAdaptadorSim* adaptador_ = nullptr;
  TPuertoES* anterior_ = nullptr;
};
