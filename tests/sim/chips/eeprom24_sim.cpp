#include "chips/eeprom24_sim.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "sim_memoria.h"

namespace {

// Page sizes: 24xx01/02 8 bytes, 24xx04/08/16 16, 24xx32/64 32,
// 24xx128/256 64, 24xx512 128.
constexpr std::array<TModelo24, NumModelos24> Modelos{{
    {"24C01", 128, 8, 1, 0},
    {"24C02", 256, 8, 1, 0},
    {"24C04", 512, 16, 1, 1},
    {"24C08", 1024, 16, 1, 2},
    {"24C16", 2048, 16, 1, 3},
    {"24C32", 4096, 32, 2, 0},
    {"24C64", 8192, 32, 2, 0},
    {"24C128", 16384, 64, 2, 0},
    {"24C256", 32768, 64, 2, 0},
    {"24C512", 65536, 128, 2, 0},
}};

std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%X", v);
  return b;
}

}  // namespace

const TModelo24& Modelo24(int indice) { return Modelos.at(static_cast<std::size_t>(indice)); }

TEeprom24Sim::TEeprom24Sim(int indice)
    : modelo_(Modelo24(indice)), mem_(modelo_.Tam, 0xFF), latch_(modelo_.Pagina, -1) {}

void TEeprom24Sim::PegaBit(uint32_t direccion, uint8_t bit, bool nivel) {
  pegados_.push_back({direccion % modelo_.Tam, static_cast<uint8_t>(1u << (bit & 7)), nivel});
}

uint8_t TEeprom24Sim::LeeCelda(uint32_t direccion) const {
  uint8_t v = mem_[direccion];
  for (const auto& p : pegados_)
    if (p.Direccion == direccion) v = p.Nivel ? (v | p.Mascara) : (v & ~p.Mascara);
  return v;
}

bool TEeprom24Sim::GuardaEstado(const std::string& ruta) const {
  std::map<uint32_t, uint16_t> celdas;
  for (uint32_t i = 0; i < mem_.size(); ++i)
    if (mem_[i] != 0xFF) celdas[i] = mem_[i];
  return GuardaCeldas(ruta, celdas);
}

bool TEeprom24Sim::CargaEstado(const std::string& ruta) {
  std::map<uint32_t, uint16_t> celdas;
  if (!CargaCeldas(ruta, celdas)) return false;
  std::fill(mem_.begin(), mem_.end(), 0xFF);
  for (const auto& [dir, v] : celdas)
    if (dir < mem_.size()) mem_[dir] = static_cast<uint8_t>(v);
  return true;
}

std::optional<bool> TEeprom24Sim::Dato() const {
  if (tira_ && !Ausente) return false;
  return std::nullopt;
}

bool TEeprom24Sim::BusLibre() const {
  return ultimaStop_ && estado_ == TEstado::Espera && !tira_;
}

void TEeprom24Sim::Reinicia() {
  estado_ = TEstado::Espera;
  fase_ = TFase::Control;
  tira_ = false;
  bits_ = 0;
  hayDatos_ = false;
}

void TEeprom24Sim::Anota(uint8_t valor, bool ack, bool delChip) {
  if (Traza && !Transferencias.empty()) Transferencias.back().push_back({valor, ack, delChip});
}

void TEeprom24Sim::Lineas(uint64_t tNs, const TLineasSim& lineas) {
  const bool alimentado = lineas.Vdd;
  if (alimentado != alimentado_) {
    alimentado_ = alimentado;
    // Power-up (or loss of power) clears the bus logic and the counter.
    Reinicia();
    contador_ = 0;
    ultimaStop_ = true;
  }
  const bool scl = lineas.Clock;
  host_ = lineas.DatoHost;
  const bool sda = host_ && !tira_;
  if (!alimentado_) {
    scl_ = scl;
    sda_ = sda;
    return;
  }

  // One port write may change both lines; the data line then counts as
  // changed while the clock is low (before a rising edge, after a falling
  // one), which is how an adapter's register write reaches the bus.
  if (scl != scl_) {
    if (scl) {
      sda_ = sda;
      scl_ = true;
      Flanco(true, tNs);
    } else {
      scl_ = false;
      Flanco(false, tNs);
      sda_ = host_ && !tira_;
    }
    return;
  }
  if (sda != sda_) {
    sda_ = sda;
    if (scl_) {
      if (!sda)
        Start(tNs);
      else
        Stop(tNs);
    }
  }
}

void TEeprom24Sim::Start(uint64_t tNs) {
  (void)tNs;
  // A START in the middle of a write discards the latched bytes.
  Reinicia();
  ++starts_;
  byteTransf_ = 0;
  perdido_ = false;
  ultimaStop_ = false;
  estado_ = TEstado::Recibe;
  fase_ = TFase::Control;
  if (Traza) Transferencias.emplace_back();
}

void TEeprom24Sim::Stop(uint64_t tNs) {
  // A STOP counts at a byte boundary: after the acknowledge of the last
  // byte, the one clock of the STOP itself aside.
  const bool escribe =
      fase_ == TFase::Datos && hayDatos_ && estado_ == TEstado::Recibe && bits_ <= 1 && !perdido_;
  if (escribe && !ProtegidoEscritura) {
    for (uint32_t i = 0; i < modelo_.Pagina; ++i)
      if (latch_[i] >= 0) mem_[paginaBase_ + i] = static_cast<uint8_t>(latch_[i]);
    ocupadoHastaNs_ = tNs + TiempoEscrituraNs;
    ++Escrituras;
  }
  Reinicia();
  ultimaStop_ = true;
}

void TEeprom24Sim::CargaSalida() {
  reg_ = LeeCelda(contador_);
  contador_ = (contador_ + 1) % modelo_.Tam;
  bits_ = 0;
  estado_ = TEstado::Envia;
  tira_ = (reg_ & 0x80) == 0;
}

void TEeprom24Sim::Flanco(bool subida, uint64_t tNs) {
  switch (estado_) {
    case TEstado::Espera:
      return;
    case TEstado::Recibe:
      if (subida) {
        reg_ = static_cast<uint8_t>((reg_ << 1) | (sda_ ? 1 : 0));
        if (++bits_ == 8) ByteRecibido(tNs);
      }
      return;
    case TEstado::AckChip:
      // The acknowledge goes on the bus once the clock is low after the
      // eighth bit, the host samples it on the rising edge, and we let go
      // of SDA when the clock falls again.
      if (subida) return;
      if (bits_ == 0) {
        tira_ = !sinAckEste_;
        sinAckEste_ = false;
        bits_ = 1;
      } else {
        tira_ = false;
        bits_ = 0;
        reg_ = 0;
        if (fase_ == TFase::Lectura)
          CargaSalida();
        else
          estado_ = TEstado::Recibe;
      }
      return;
    case TEstado::Envia:
      if (subida) {
        ++bits_;
      } else if (bits_ == 8) {
        tira_ = false;
        estado_ = TEstado::AckHost;
      } else {
        tira_ = ((reg_ << bits_) & 0x80) == 0;
      }
      return;
    case TEstado::AckHost:
      if (subida) {
        ackHost_ = !sda_;
        Anota(reg_, ackHost_, true);
      } else if (ackHost_) {
        CargaSalida();
      } else {
        // No acknowledge from the host: the read is over, wait for STOP.
        estado_ = TEstado::Espera;
      }
      return;
  }
}

void TEeprom24Sim::ByteRecibido(uint64_t tNs) {
  const uint8_t b = reg_;
  bool ack = false;
  const uint32_t indice = byteTransf_++;
  if (bytesTotal_++ >= DesapareceTrasBytes) Ausente = true;
  if (Ausente) {
    // Nothing acknowledged; the rest of the transfer is not listened to.
    Anota(b, false, false);
    estado_ = TEstado::Espera;
    return;
  }
  const bool retenido = RetieneAck && RetieneAck->Transferencia + 1 == starts_ && RetieneAck->Byte == indice;
  switch (fase_) {
    case TFase::Control: {
      const uint8_t bloqueMask = static_cast<uint8_t>((1u << modelo_.BitsBloque) - 1);
      const uint8_t sel = (b >> 1) & 7;
      bool elegido = (b & 0xF0) == 0xA0;
      if (modelo_.BytesDireccion == 2 || ComparaPinesBajos) {
        const uint8_t comparado = static_cast<uint8_t>(7 & ~bloqueMask);
        elegido = elegido && (sel & comparado) == (PinesDireccion & comparado);
      }
      if (elegido && !Ausente && tNs < ocupadoHastaNs_) {
        Violaciones.push_back("addressed " + Hex(b) + " " + std::to_string((ocupadoHastaNs_ - tNs) / 1000) +
                              " us before the write cycle ended");
        elegido = false;
      }
      ack = elegido && !Ausente;
      if (ack) {
        bloque_ = static_cast<uint32_t>(sel & bloqueMask) << 8;
        if (b & 1) {
          // Every control byte loads the block bits into the counter.
          if (modelo_.BitsBloque) contador_ = (contador_ & 0xFF) | bloque_;
          fase_ = TFase::Lectura;
        } else {
          fase_ = modelo_.BytesDireccion == 2 ? TFase::DirAlta : TFase::DirBaja;
        }
      }
      break;
    }
    case TFase::DirAlta:
      dirAlta_ = static_cast<uint32_t>(b) << 8;
      fase_ = TFase::DirBaja;
      ack = true;
      break;
    case TFase::DirBaja: {
      const uint32_t alta = modelo_.BytesDireccion == 2 ? dirAlta_ : bloque_;
      contador_ = (alta | b) % modelo_.Tam;
      paginaBase_ = contador_ - contador_ % modelo_.Pagina;
      offset_ = contador_ % modelo_.Pagina;
      std::fill(latch_.begin(), latch_.end(), -1);
      hayDatos_ = false;
      fase_ = TFase::Datos;
      ack = true;
      break;
    }
    case TFase::Datos:
      latch_[offset_] = b;
      offset_ = (offset_ + 1) % modelo_.Pagina;
      contador_ = paginaBase_ + offset_;
      hayDatos_ = true;
      ack = true;
      break;
    case TFase::Lectura:
      break;  // not reached: a read phase sends
  }
  Anota(b, ack && !retenido, false);
  if (ack) {
    perdido_ = perdido_ || retenido;
    sinAckEste_ = retenido;
    estado_ = TEstado::AckChip;
    bits_ = 0;
  } else {
    estado_ = TEstado::Espera;
  }
}
