#include "pic1x_serie.h"

#include <cstdio>

std::string TextoTiempo(uint64_t tNs) {
  char t[40];
  std::snprintf(t, sizeof t, "%.3f ms", static_cast<double>(tNs) / 1e6);
  return t;
}

TPic1xSerieSim::TPic1xSerieSim() = default;

std::optional<bool> TPic1xSerieSim::Dato() const {
  if (SinChip || !enProg_) return std::nullopt;
  return dato_;
}

void TPic1xSerieSim::Viola(uint64_t tNs, const std::string& texto) {
  Violaciones.push_back("at " + TextoTiempo(tNs) + ": " + texto);
}

void TPic1xSerieSim::Temporizada(uint64_t tNs, uint64_t ns, std::string que,
                                 std::function<void()> efecto) {
  pendiente_ = TOperacion{tNs, tNs + ns, std::move(que), std::move(efecto)};
}

void TPic1xSerieSim::IniciaExterna(uint64_t tNs, uint64_t ns, std::string que,
                                   std::function<void()> efecto) {
  externa_ = TOperacion{tNs, tNs + ns, std::move(que), std::move(efecto)};
}

bool TPic1xSerieSim::TerminaExterna(uint64_t tNs) {
  if (!externa_) return false;
  TOperacion op = std::move(*externa_);
  externa_.reset();
  if (tNs < op.fin)
    Viola(tNs, op.que + " ended after " + TextoTiempo(tNs - op.inicio) + ", needs " +
                   TextoTiempo(op.fin - op.inicio));
  else
    op.efecto();
  return true;
}

void TPic1xSerieSim::CompruebaOcupado(uint64_t tNs, const char* motivo) {
  if (!pendiente_) return;
  Viola(tNs, std::string(motivo) + " during " + pendiente_->que + ", " +
                 TextoTiempo(pendiente_->fin - tNs) + " early");
  pendiente_.reset();
}

void TPic1xSerieSim::Sale(uint64_t tNs) {
  CompruebaOcupado(tNs, "programming mode left");
  if (externa_) {
    Viola(tNs, "programming mode left during " + externa_->que + " without its end command");
    externa_.reset();
  }
  enProg_ = false;
  estado_ = TEstado::Comando;
  bits_ = 0;
  registro_ = 0;
  dato_.reset();
  TiemposDato.Olvida();
  hayTrama_ = false;
}

void TPic1xSerieSim::Lineas(uint64_t tNs, const TLineasSim& l) {
  if (SinChip) {
    previas_ = l;
    return;
  }
  const bool vpp = l.Vpp, vppAntes = previas_.Vpp;
  const bool poder = l.Vdd, poderAntes = previas_.Vdd;

  if (pendiente_ && tNs >= pendiente_->fin) {
    TOperacion op = std::move(*pendiente_);
    pendiente_.reset();
    op.efecto();
  }
  if (enProg_) {
    const bool cambiaDato = l.DatoHost != previas_.DatoHost;
    if (!vpp || !poder) {
      Sale(tNs);
    } else {
      // While the part drives a read the host's level is not looked at.
      if (cambiaDato) {
        const std::string v = TiemposDato.Cambia(tNs);
        if (!v.empty() && estado_ != TEstado::Lectura) Viola(tNs, v);
      }
      if (l.Clock != previas_.Clock) Flanco(tNs, l.Clock, l.DatoHost);
    }
  } else if (poder && vpp && !l.Clock && !l.DatoHost) {
    bool entra = false;
    if (!vppAntes && poderAntes) entra = Entrada != TEntradaSim::VppPrimero;
    else if (vppAntes && !poderAntes) entra = Entrada != TEntradaSim::VddPrimero;
    else if (!vppAntes && !poderAntes) entra = Entrada == TEntradaSim::Ambas;
    if (entra) {
      enProg_ = true;
      ++Entradas;
      estado_ = TEstado::Comando;
      bits_ = 0;
      registro_ = 0;
      dato_.reset();
      Reinicia();
    }
  }
  previas_ = l;
}

void TPic1xSerieSim::Flanco(uint64_t tNs, bool subida, bool dato) {
  if (subida) {
    CompruebaOcupado(tNs, "clock");
    if (bits_ == 0 && hayTrama_ && tNs - finTrama_ < TdlyNs)
      Viola(tNs, "a frame started " + std::to_string(tNs - finTrama_) + " ns after the one before it ended (" +
                     std::to_string(TdlyNs) + " ns)");
    if (estado_ == TEstado::Lectura) {
      const unsigned k = bits_ + 1u;  // number of this rising edge in the frame
      if (k >= 2 && k <= 15) dato_ = ((salida_ >> (k - 2)) & 1u) != 0;
      else dato_.reset();
    }
    return;
  }
  if (estado_ != TEstado::Lectura) {
    const std::string v = TiemposDato.Latch(tNs);
    if (!v.empty()) Viola(tNs, v);
  }
  registro_ |= (dato ? 1u : 0u) << bits_;
  ++bits_;
  const bool finComando = estado_ == TEstado::Comando && bits_ == 6;
  if (finComando || bits_ == 16) {
    finTrama_ = tNs;
    hayTrama_ = true;
  }
  switch (estado_) {
    case TEstado::Comando:
      if (bits_ == 6) {
        comando_ = static_cast<uint8_t>(registro_ & 0x3F);
        bits_ = 0;
        registro_ = 0;
        const bool habiaExterna = externa_.has_value();
        const TFaseSim fase = Comando(comando_, tNs);
        if (habiaExterna && externa_) {
          Viola(tNs, "command " + std::to_string(comando_) + " during " + externa_->que +
                         " before its end command");
          externa_.reset();
        }
        if (fase == TFaseSim::Carga) {
          estado_ = TEstado::Carga;
        } else if (fase == TFaseSim::Lectura) {
          salida_ = Lectura(comando_);
          estado_ = TEstado::Lectura;
        } else if (fase == TFaseSim::Desconocido) {
          Viola(tNs, "unknown command " + std::to_string(comando_));
        }
      }
      break;
    case TEstado::Carga:
      if (bits_ == 16) {
        Carga(comando_, static_cast<uint16_t>((registro_ >> 1) & 0x3FFF));
        estado_ = TEstado::Comando;
        bits_ = 0;
        registro_ = 0;
      }
      break;
    case TEstado::Lectura:
      if (bits_ == 16) {
        estado_ = TEstado::Comando;
        bits_ = 0;
        registro_ = 0;
        dato_.reset();
      }
      break;
  }
}
