#include "chips/minimo.h"

#include <cstdio>

#include "sim_memoria.h"

namespace {

std::string Hex(const char* formato, unsigned v) {
  char b[48];
  std::snprintf(b, sizeof b, formato, v);
  return b;
}

}  // namespace

// --- Common ---------------------------------------------------------------------

void TChipMinimoBase::Lineas(uint64_t tNs, const TLineasSim& l) {
  const bool alta = l.Vdd && l.Vpp && l.Mclr;
  const bool vddSubio = l.Vdd && !previo_.Vdd;
  const bool aceptada = Entrada == TEntrada::Cualquiera || (Entrada == TEntrada::VppPrimero) == vddSubio;
  if (l.DatoHost != previo_.DatoHost) cambioDato_ = tNs;
  if (alta && !alta_ && !l.Clock && !l.DatoHost && aceptada) {
    EnProgramacion = true;
    ++Entradas;
    entrada_ = tNs;
    primerFlanco_ = true;
    salida_.reset();
    Reinicia();
  } else if (!alta && alta_ && EnProgramacion) {
    EnProgramacion = false;
    salida_.reset();
    Reinicia();
  }
  alta_ = alta;
  if (EnProgramacion) {
    const bool dato = l.DatoHost && salida_.value_or(true);
    if (l.Clock && !previo_.Clock) {
      if (primerFlanco_ && tNs - entrada_ < Thld0Ns)
        Violaciones.push_back(Hex("first clock %u ns after the programming voltage rose",
                                  static_cast<unsigned>(tNs - entrada_)));
      primerFlanco_ = false;
      Subida(tNs, dato);
    }
    if (!l.Clock && previo_.Clock) Bajada(tNs, dato);
  }
  previo_ = l;
}

void TChipMinimoBase::CompruebaPreparacion(uint64_t tNs) {
  if (tNs - cambioDato_ < TsetNs)
    Violaciones.push_back(Hex("data changed %u ns before the falling clock edge",
                              static_cast<unsigned>(tNs - cambioDato_)));
}

// --- 14-bit ---------------------------------------------------------------------

TChipMinimo14::TChipMinimo14(uint32_t palabras) : Programa(palabras, 0x3FFF) {}

uint16_t TChipMinimo14::Lee(uint32_t direccion) const {
  if (direccion < 0x2000) return direccion < Programa.size() ? Programa[direccion] : 0x3FFF;
  const auto it = Config.find(direccion);
  return it == Config.end() ? 0x3FFF : it->second;
}

void TChipMinimo14::Reinicia() {
  fase_ = TFase::Comando;
  bits_ = n_ = 0;
  Pc = 0;
}

void TChipMinimo14::Subida(uint64_t tNs, bool) {
  if (fase_ == TFase::Comando && n_ == 0) inicioComando_ = tNs;
  if (fase_ != TFase::Lectura) return;
  ++n_;
  // Start bit undriven, the 14 data bits from the second rising edge,
  // released at the sixteenth (the stop bit).
  if (n_ >= 2 && n_ <= 15)
    salida_ = ((salidaPalabra_ >> (n_ - 2)) & 1) != 0;
  else
    salida_.reset();
}

void TChipMinimo14::Bajada(uint64_t tNs, bool dato) {
  if (fase_ != TFase::Lectura) CompruebaPreparacion(tNs);
  switch (fase_) {
    case TFase::Comando:
      bits_ |= static_cast<uint32_t>(dato) << n_;
      if (++n_ == 6) Ejecuta(tNs);
      break;
    case TFase::Carga:
      bits_ |= static_cast<uint32_t>(dato) << n_;
      if (++n_ == 16) {
        TramasCargadas.push_back(static_cast<uint16_t>(bits_));
        Latch = static_cast<uint16_t>((bits_ >> 1) & 0x3FFF);
        Cargados.push_back(Latch);
        fase_ = TFase::Comando;
        bits_ = n_ = 0;
      }
      break;
    case TFase::Lectura:
      if (n_ == 16) {
        fase_ = TFase::Comando;
        bits_ = n_ = 0;
      }
      break;
  }
}

void TChipMinimo14::Ejecuta(uint64_t tNs) {
  const uint8_t comando = static_cast<uint8_t>(bits_ & 0x3F);
  Comandos.push_back(comando);
  bits_ = n_ = 0;
  if (inicioComando_ < finProg_)
    Violaciones.push_back(Hex("command 0x%02X before the programming time ended", comando));
  switch (comando) {
    case 0x00:
      Pc = 0x2000;
      fase_ = TFase::Carga;
      break;
    case 0x02:
      fase_ = TFase::Carga;
      break;
    case 0x04:
      salidaPalabra_ = Lee(Pc);
      fase_ = TFase::Lectura;
      break;
    case 0x06:
      if (Pc < 0x2000)
        Pc = Programa.empty() ? 0 : (Pc + 1) % static_cast<uint32_t>(Programa.size());
      else
        Pc = 0x2000 + ((Pc + 1 - 0x2000) & 0x0F);
      break;
    case 0x08:
      if (Pc < 0x2000) {
        if (Pc < Programa.size()) Programa[Pc] = Latch;
      } else {
        Config[Pc] = Latch;
      }
      finProg_ = tNs + TiempoProgNs;
      break;
    default:
      Desconocidos.push_back(Hex("command 0x%02X", comando));
  }
}

bool TChipMinimo14::GuardaEstado(const std::string& ruta) const {
  std::map<uint32_t, uint16_t> celdas(Config.begin(), Config.end());
  for (uint32_t i = 0; i < Programa.size(); ++i) celdas[i] = Programa[i];
  return GuardaCeldas(ruta, celdas);
}

bool TChipMinimo14::CargaEstado(const std::string& ruta) {
  std::map<uint32_t, uint16_t> celdas;
  if (!CargaCeldas(ruta, celdas)) return false;
  Config.clear();
  for (auto& p : Programa) p = 0x3FFF;
  for (const auto& [d, v] : celdas) {
    if (d < Programa.size())
      Programa[d] = v;
    else if (d >= 0x2000)
      Config[d] = v;
  }
  return true;
}

// --- PIC18 ------------------------------------------------------------------------

uint8_t TChipMinimo18::Lee(uint32_t direccion) const {
  const auto it = Memoria.find(direccion);
  return it == Memoria.end() ? 0xFF : it->second;
}

void TChipMinimo18::Reinicia() {
  vigilaP10_ = false;
  fase_ = TFase::Comando;
  bits_ = n_ = 0;
  Tblptr = 0;
  W = 0;
}

void TChipMinimo18::Subida(uint64_t tNs, bool) {
  if (vigilaP10_) {
    vigilaP10_ = false;
    if (tNs - bajadaNop_ < P10Ns)
      Violaciones.push_back(Hex("clock low only %u ns after a programming hold (P10)",
                                static_cast<unsigned>(tNs - bajadaNop_)));
  }
  switch (fase_) {
    case TFase::Lectura:
      ++n_;
      // Eight idle clocks, then the byte from the ninth rising edge on.
      if (n_ >= 9 && n_ <= 16)
        salida_ = ((byteSalida_ >> (n_ - 9)) & 1) != 0;
      else
        salida_.reset();
      break;
    case TFase::Nop:
      if (++n_ == 4) subidaNop_ = tNs;
      salida_.reset();
      break;
    default:
      salida_.reset();
  }
}

void TChipMinimo18::Bajada(uint64_t tNs, bool dato) {
  if (fase_ != TFase::Lectura) CompruebaPreparacion(tNs);
  switch (fase_) {
    case TFase::Comando:
      bits_ |= static_cast<uint32_t>(dato) << n_;
      if (++n_ == 4) {
        comando_ = static_cast<uint8_t>(bits_);
        bits_ = n_ = 0;
        if (comando_ == 8 || comando_ == 9) {
          byteSalida_ = Lee(Tblptr);
          if (comando_ == 9) Tblptr = (Tblptr + 1) & 0x3FFFFF;
          fase_ = TFase::Lectura;
        } else {
          fase_ = TFase::Operando;
        }
      }
      break;
    case TFase::Operando:
      bits_ |= static_cast<uint32_t>(dato) << n_;
      if (++n_ == 16) Ejecuta();
      break;
    case TFase::Lectura:
      if (n_ == 16) {
        Tramas.push_back({comando_, 0});
        fase_ = TFase::Comando;
        bits_ = n_ = 0;
      }
      break;
    case TFase::Nop:
      bits_ |= static_cast<uint32_t>(dato) << (n_ - 1);
      if (n_ == 4) {
        const uint64_t alto = tNs - subidaNop_;
        ClockAltoNops.push_back(alto);
        if ((bits_ & 0x0F) != 0) Desconocidos.push_back(Hex("programming NOP sent as command %u", bits_ & 0x0F));
        if (alto >= P9Ns) {
          Memoria[dirEscritura_] = static_cast<uint8_t>(palabraEscritura_);
          Memoria[dirEscritura_ + 1] = static_cast<uint8_t>(palabraEscritura_ >> 8);
        } else {
          Violaciones.push_back(Hex("programming clock held high %u ns, shorter than P9",
                                    static_cast<unsigned>(alto)));
        }
        fase_ = TFase::NopOperando;
        bits_ = n_ = 0;
        bajadaNop_ = tNs;
        vigilaP10_ = true;
      }
      break;
    case TFase::NopOperando:
      bits_ |= static_cast<uint32_t>(dato) << n_;
      if (++n_ == 16) {
        OperandosNop.push_back(static_cast<uint16_t>(bits_));
        fase_ = TFase::Comando;
        bits_ = n_ = 0;
      }
      break;
  }
}

void TChipMinimo18::Ejecuta() {
  const uint16_t operando = static_cast<uint16_t>(bits_);
  Tramas.push_back({comando_, operando});
  bits_ = n_ = 0;
  fase_ = TFase::Comando;
  switch (comando_) {
    case 0:
      if ((operando & 0xFF00) == 0x0E00)
        W = static_cast<uint8_t>(operando);
      else if (operando == 0x6EF8)
        Tblptr = (Tblptr & 0x00FFFF) | (static_cast<uint32_t>(W & 0x3F) << 16);
      else if (operando == 0x6EF7)
        Tblptr = (Tblptr & 0xFF00FF) | (static_cast<uint32_t>(W) << 8);
      else if (operando == 0x6EF6)
        Tblptr = (Tblptr & 0xFFFF00) | W;
      else
        Desconocidos.push_back(Hex("instruction 0x%04X", operando));
      break;
    case 15:
      dirEscritura_ = Tblptr & ~1u;
      palabraEscritura_ = operando;
      fase_ = TFase::Nop;
      break;
    default:
      Desconocidos.push_back(Hex("command %u", comando_));
  }
}

bool TChipMinimo18::GuardaEstado(const std::string& ruta) const {
  std::map<uint32_t, uint16_t> celdas;
  for (const auto& [d, v] : Memoria) celdas[d] = v;
  return GuardaCeldas(ruta, celdas);
}

bool TChipMinimo18::CargaEstado(const std::string& ruta) {
  std::map<uint32_t, uint16_t> celdas;
  if (!CargaCeldas(ruta, celdas)) return false;
  Memoria.clear();
  for (const auto& [d, v] : celdas) Memoria[d] = static_cast<uint8_t>(v);
  return true;
}
