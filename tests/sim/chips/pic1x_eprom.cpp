#include "pic1x_eprom.h"

#include <algorithm>

TPicCSim::TPicCSim(TDatosPicC datos) : d_(std::move(datos)) {
  Prog.assign(d_.Palabras, 0x3FFF);
  Config.fill(0x3FFF);
  Config[6] = d_.Id;
}

uint32_t TPicCSim::PulsosEn(uint16_t direccion) const {
  uint32_t n = 0;
  for (const auto& p : Pulsos) n += p.Direccion == direccion;
  return n;
}

uint16_t& TPicCSim::Celda(uint16_t direccion) {
  if (direccion >= 0x2000) return Config[direccion & 0xF];
  return Prog[direccion % d_.Palabras];
}

uint16_t TPicCSim::InicioProtegido() const {
  const uint16_t inicios[4] = {0, static_cast<uint16_t>(d_.Palabras / 4), static_cast<uint16_t>(d_.Palabras / 2),
                               d_.Palabras};
  uint16_t inicio = d_.Palabras;
  for (int b : {4, 8, 10, 12}) inicio = std::min(inicio, inicios[(Config[7] >> b) & 3]);
  return inicio;
}

uint8_t TPicCSim::Necesarios(uint16_t direccion) const {
  auto it = PulsosCelda.find(direccion);
  if (it != PulsosCelda.end()) return it->second;
  return direccion == 0x2007 ? d_.PulsosConfig : d_.PulsosPalabra;
}

void TPicCSim::Reinicia() {
  pc_ = 0;
  latch_ = 0x3FFF;
  enPulso_ = false;
}

TFaseSim TPicCSim::Comando(uint8_t comando, uint64_t t) {
  if (enPulso_ && comando != 14) {
    Viola(t, "command " + std::to_string(comando) + " during a programming pulse");
    enPulso_ = false;
  }
  switch (comando) {
    case 0: case 2: return TFaseSim::Carga;
    case 4: return TFaseSim::Lectura;
    case 6:
      pc_ = pc_ >= 0x2000 ? static_cast<uint16_t>(0x2000 | ((pc_ + 1) & 0x1FFF))
                          : static_cast<uint16_t>((pc_ + 1) & 0x1FFF);
      return TFaseSim::SinDatos;
    case 8:
      if (enPulso_) Viola(t, "begin programming during a pulse");
      enPulso_ = true;
      inicioPulso_ = t;
      return TFaseSim::SinDatos;
    case 14:
      if (enPulso_) {
        enPulso_ = false;
        const uint64_t d = t - inicioPulso_;
        Pulsos.push_back({pc_, d});
        if (d < d_.PulsoMinNs) {
          Viola(t, "programming pulse of " + TextoTiempo(d) + " too short");
        } else if (pc_ != 0x2006 && !CeldaProtegida(pc_) && ++cuenta_[pc_] >= Necesarios(pc_)) {
          Celda(pc_) &= latch_;
        }
      }
      return TFaseSim::SinDatos;
    default:
      return TFaseSim::Desconocido;
  }
}

void TPicCSim::Carga(uint8_t comando, uint16_t dato) {
  if (comando == 0) pc_ = 0x2000;
  latch_ = dato & 0x3FFF;
}

uint16_t TPicCSim::Lectura(uint8_t) {
  if (CeldaProtegida(pc_)) return 0;
  return Celda(pc_) & 0x3FFF;
}
