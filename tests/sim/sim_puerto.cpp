#include "sim_puerto.h"

#include "hw/pg_time.h"
#include "sim_adaptador.h"

TPuertoSim::TPuertoSim() { anterior_ = PonPuertoES(this); }
TPuertoSim::~TPuertoSim() { PonPuertoES(anterior_); }

uint8_t TPuertoSim::Registro(uint16_t direccion) const {
  const auto it = registros_.find(direccion);
  return it == registros_.end() ? 0 : it->second;
}

bool TPuertoSim::Muerto() {
  ++Accesos;
  if (FallaDesde && Accesos >= FallaDesde) Falla = true;
  return Falla;
}

bool TPuertoSim::Lee(uint16_t direccion, uint8_t& valor) {
  if (Muerto()) return false;
  if (CosteAccesoNs) Reloj().EsperaNs(CosteAccesoNs);
  ++Lecturas;
  valor = Registro(direccion);
  if (adaptador_) valor = adaptador_->Lectura(direccion, valor);
  return true;
}

bool TPuertoSim::Escribe(uint16_t direccion, uint8_t valor) {
  if (Muerto()) return false;
  if (CosteAccesoNs) Reloj().EsperaNs(CosteAccesoNs);
  registros_[direccion] = valor;
  if (Registra) Escrituras.push_back({Reloj().AhoraNs(), direccion, valor});
  if (adaptador_) adaptador_->Escrito();
  return true;
}
