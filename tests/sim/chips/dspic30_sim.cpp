#include "chips/dspic30_sim.h"

#include <cstdio>

namespace {

constexpr uint16_t SfrTblpag = 0x0032;
constexpr uint16_t SfrNvmcon = 0x0760;
constexpr uint16_t SfrNvmkey = 0x0766;
constexpr uint16_t SfrVisi = 0x0784;
constexpr uint16_t BitWr = 0x8000;
constexpr uint16_t BitWren = 0x4000;
constexpr std::size_t MaxNotas = 32;

std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%06X", v);
  return b;
}

}  // namespace

TDsPic30Sim::TDsPic30Sim(const TModeloDsPic30& modelo)
    : propia_(std::make_unique<TMemoriaDsPic30>(modelo)), Memoria(*propia_) {
  LimpiaLatches();
}

TDsPic30Sim::TDsPic30Sim(TMemoriaDsPic30& memoria) : Memoria(memoria) { LimpiaLatches(); }

void TDsPic30Sim::Viola(const std::string& texto) {
  if (Violaciones.size() < MaxNotas) Violaciones.push_back(texto);
}

void TDsPic30Sim::Desconocido(const std::string& texto) {
  if (Desconocidos.size() < MaxNotas) Desconocidos.push_back(texto);
}

void TDsPic30Sim::LimpiaLatches() {
  latchFila_.fill(0xFFFFFF);
  latchEe_.fill(0xFFFF);
  valorUltimo_ = 0xFFFF;
  hayEscritura_ = false;
}

void TDsPic30Sim::Entra() {
  EnProgramacion = true;
  ++Entradas;
  fase_ = TFase::Codigo;
  bits_ = n_ = 0;
  pendiente_.reset();
  dosCiclos_ = segundaPalabra_ = pcAviso_ = false;
  W.fill(0);
  Tblpag = 0;
  Nvmcon = 0;
  Visi = 0;
  Pc = 0;
  clave55_ = claveAA_ = 0;
  ocupado_ = false;
  LimpiaLatches();
}

void TDsPic30Sim::Sale() {
  if (ocupado_) Viola("programming mode left with NVMCON.WR set");
  ocupado_ = false;
  EnProgramacion = false;
  salida_.reset();
  pendiente_.reset();
  fase_ = TFase::Codigo;
}

void TDsPic30Sim::Lineas(uint64_t t, const TLineasSim& l) {
  if (EnProgramacion && (!l.Vpp || !l.Vdd)) {
    Sale();
  } else if (!EnProgramacion && l.Vpp && l.Vdd && !l.Clock && !l.DatoHost) {
    const bool vppSube = !previo_.Vpp && previo_.Vdd;
    const bool vddSube = !previo_.Vdd && previo_.Vpp && AceptaVppPrimero;
    if (vppSube || vddSube) Entra();
  }
  const bool cambiaDato = l.DatoHost != previo_.DatoHost;
  previo_ = l;
  if (EnProgramacion && cambiaDato) {
    const std::string v = TiemposDato.Cambia(t);
    if (!v.empty() && fase_ != TFase::Regout) Viola(v);
  }
  if (l.Clock == alta_) return;
  alta_ = l.Clock;
  if (!EnProgramacion) return;
  if (alta_) {
    ++Ciclos;
    Subida();
  } else {
    if (fase_ != TFase::Regout) {
      const std::string v = TiemposDato.Latch(t);
      if (!v.empty()) Viola(v);
    }
    Bajada(t, l.DatoHost);
  }
}

void TDsPic30Sim::Subida() {
  if (fase_ == TFase::Regout && n_ >= 8)
    salida_ = ((visiSalida_ >> (n_ - 8)) & 1) != 0;
  else
    salida_.reset();
}

void TDsPic30Sim::Bajada(uint64_t t, bool dato) {
  switch (fase_) {
    case TFase::Codigo:
      bits_ |= uint32_t{dato} << n_;
      if (++n_ < 4) return;
      if (pendiente_) {
        const uint32_t w = *pendiente_;
        pendiente_.reset();
        Ejecuta(t, w);
      }
      if (bits_ == 0) {
        fase_ = TFase::Six;
      } else if (bits_ == 1) {
        fase_ = TFase::Regout;
        visiSalida_ = Visi;
      } else {
        Desconocido("control code " + std::to_string(bits_));
        fase_ = TFase::Ignora;
      }
      bits_ = n_ = 0;
      return;
    case TFase::Six:
      bits_ |= uint32_t{dato} << n_;
      if (++n_ < 24) return;
      pendiente_ = bits_;
      fase_ = TFase::Codigo;
      bits_ = n_ = 0;
      return;
    case TFase::Regout:
    case TFase::Ignora:
      if (++n_ < 24) return;
      fase_ = TFase::Codigo;
      bits_ = n_ = 0;
      return;
  }
}

void TDsPic30Sim::Ejecuta(uint64_t t, uint32_t w) {
  ++Ejecutadas;
  if (segundaPalabra_) {
    segundaPalabra_ = false;
    if (w & 0xFFFF80) Desconocido("GOTO second word " + Hex(w));
    Pc = (Pc & 0xFFFF) | (w & 0x7F) << 16;
    return;
  }
  if (dosCiclos_) {
    dosCiclos_ = false;
    if (w == 0) return;
    Viola("two-cycle instruction followed by " + Hex(w) + " instead of a NOP");
  }
  Pc += 2;
  if (Pc >= 2 * Memoria.Prog.size() && !pcAviso_) {
    pcAviso_ = true;
    Viola("PC ran past program memory without a GOTO 0x100");
  }
  const uint32_t alto = w >> 16;
  if (w == 0) return;
  if ((w & 0xF00000) == 0x200000) {
    W[w & 0xF] = static_cast<uint16_t>(w >> 4);
  } else if ((w & 0xF80000) == 0x880000) {
    EscribeSfr(t, static_cast<uint16_t>(((w >> 4) & 0x7FFF) << 1), W[w & 0xF]);
  } else if ((w & 0xFFF87F) == 0xEB0000) {
    W[(w >> 7) & 0xF] = 0;
  } else if (alto == 0xBA || alto == 0xBB) {
    Tabla(w, alto == 0xBB);
    dosCiclos_ = true;
  } else if (alto == 0xA8 || alto == 0xA9) {
    BitSfr(t, w, alto == 0xA8);
  } else if (alto == 0x04) {
    Pc = w & 0xFFFE;
    pcAviso_ = false;
    segundaPalabra_ = true;
  } else {
    Desconocido("instruction " + Hex(w));
  }
}

bool TDsPic30Sim::Direccion(uint8_t modo, uint8_t reg, bool byte, uint16_t& ea, int& post) {
  const int paso = byte ? 1 : 2;
  post = 0;
  switch (modo) {
    case 1: ea = W[reg]; return true;
    case 2: ea = W[reg]; post = -paso; return true;
    case 3: ea = W[reg]; post = paso; return true;
    case 4: W[reg] = static_cast<uint16_t>(W[reg] - paso); ea = W[reg]; return true;
    case 5: W[reg] = static_cast<uint16_t>(W[reg] + paso); ea = W[reg]; return true;
    default: return false;
  }
}

uint16_t TDsPic30Sim::LeeDato(uint16_t d, bool byte) {
  if (d >= 0x20) {
    Desconocido("data memory read at " + Hex(d));
    return 0;
  }
  const uint16_t w = W[d / 2];
  if (!byte) return w;
  return (d & 1) ? w >> 8 : w & 0xFF;
}

void TDsPic30Sim::EscribeDato(uint16_t d, bool byte, uint16_t v) {
  if (d >= 0x20) {
    Desconocido("data memory write at " + Hex(d));
    return;
  }
  uint16_t& w = W[d / 2];
  if (!byte)
    w = v;
  else if (d & 1)
    w = static_cast<uint16_t>((w & 0x00FF) | (v & 0xFF) << 8);
  else
    w = static_cast<uint16_t>((w & 0xFF00) | (v & 0xFF));
}

void TDsPic30Sim::Tabla(uint32_t w, bool escritura) {
  const bool altoH = (w >> 15) & 1;
  const bool byte = (w >> 14) & 1;
  const uint8_t qqq = (w >> 11) & 7, dddd = (w >> 7) & 0xF, ppp = (w >> 4) & 7, ssss = w & 0xF;
  // The table side is the source of a read and the destination of a write.
  const uint8_t modoTabla = escritura ? qqq : ppp, regTabla = escritura ? dddd : ssss;
  const uint8_t modoDato = escritura ? ppp : qqq, regDato = escritura ? ssss : dddd;
  uint16_t eaTabla = 0, eaDato = 0;
  int postTabla = 0, postDato = 0;
  if (!Direccion(modoTabla, regTabla, byte, eaTabla, postTabla)) {
    Desconocido("table instruction " + Hex(w) + " without an indirect table address");
    return;
  }
  const bool directo = modoDato == 0;
  if (!directo && !Direccion(modoDato, regDato, byte, eaDato, postDato)) {
    Desconocido("table instruction " + Hex(w) + " with addressing mode " + std::to_string(modoDato));
    return;
  }
  const uint32_t dir = uint32_t{Tblpag} << 16 | eaTabla;
  if (escritura) {
    const uint16_t v = directo ? (byte ? W[regDato] & 0xFF : W[regDato]) : LeeDato(eaDato, byte);
    Carga(dir, altoH, byte, v);
  } else {
    uint16_t v;
    const uint32_t par = dir & ~1u;
    if (!altoH)
      v = byte ? ((Memoria.LeeBajo(par) >> ((dir & 1) ? 8 : 0)) & 0xFF) : Memoria.LeeBajo(par);
    else
      v = (byte && (dir & 1)) ? 0 : Memoria.LeeAlto(par);
    if (directo)
      EscribeDato(static_cast<uint16_t>(2 * regDato), byte, v);
    else
      EscribeDato(eaDato, byte, v);
  }
  W[regTabla] = static_cast<uint16_t>(W[regTabla] + postTabla);
  if (!directo) W[regDato] = static_cast<uint16_t>(W[regDato] + postDato);
}

void TDsPic30Sim::Carga(uint32_t dir, bool alto, bool byte, uint16_t v) {
  if (ocupado_) {
    Viola("table write at " + Hex(dir) + " while NVMCON.WR is set");
    return;
  }
  const uint32_t par = dir & ~1u;
  const TRegionDs region = Memoria.Region(par);
  if (region == TRegionDs::Nada || region == TRegionDs::DevId) {
    Viola("table write outside writable memory at " + Hex(dir));
    return;
  }
  uint32_t& l = latchFila_[(par >> 1) & 31];
  uint16_t& e = latchEe_[(par >> 1) & 15];
  if (!alto) {
    uint16_t bajo = static_cast<uint16_t>(l);
    if (!byte) bajo = v;
    else if (dir & 1) bajo = static_cast<uint16_t>((bajo & 0x00FF) | (v & 0xFF) << 8);
    else bajo = static_cast<uint16_t>((bajo & 0xFF00) | (v & 0xFF));
    l = (l & 0xFF0000) | bajo;
    e = bajo;
    valorUltimo_ = bajo;
  } else if (!(byte && (dir & 1))) {
    l = (l & 0xFFFF) | uint32_t{static_cast<uint8_t>(v)} << 16;
  }
  ultimaEscritura_ = par;
  hayEscritura_ = true;
}

void TDsPic30Sim::EscribeSfr(uint64_t t, uint16_t f, uint16_t v) {
  (void)t;
  if (f < 0x20) {
    W[f / 2] = v;
  } else if (f == SfrTblpag) {
    Tblpag = static_cast<uint8_t>(v);
  } else if (f == SfrNvmcon) {
    if (ocupado_) {
      Viola("NVMCON written while WR is set");
    } else if (v & BitWr) {
      Viola("NVMCON.WR set by a MOV");
      Nvmcon = v & ~BitWr;
    } else {
      Nvmcon = v;
    }
  } else if (f == SfrNvmkey) {
    if (v == 0x55) {
      clave55_ = Ejecutadas;
      claveAA_ = 0;
    } else if (v == 0xAA && clave55_ && Ejecutadas - clave55_ <= 2) {
      claveAA_ = Ejecutadas;
    } else {
      clave55_ = claveAA_ = 0;
    }
  } else if (f == SfrVisi) {
    Visi = v;
  } else {
    Desconocido("MOV to register " + Hex(f));
  }
}

void TDsPic30Sim::BitSfr(uint64_t t, uint32_t w, bool pon) {
  const uint16_t f = w & 0x1FFF;
  const uint32_t bit = ((w >> 13) & 7) + ((f & 1) ? 8 : 0);
  if ((f & ~1u) != SfrNvmcon || bit != 15) {
    Desconocido("bit instruction " + Hex(w));
    return;
  }
  if (!pon) {
    FinOperacion(t);
    return;
  }
  const bool desbloqueado = claveAA_ && Ejecutadas == claveAA_ + 1;
  clave55_ = claveAA_ = 0;
  if (ocupado_) {
    Viola("NVMCON.WR set again while an operation runs");
  } else if (!desbloqueado) {
    Viola("NVMCON.WR set without 0x55, 0xAA written to NVMKEY just before");
  } else if (!(Nvmcon & BitWren)) {
    Viola("NVMCON.WR set with WREN clear");
  } else {
    ocupado_ = true;
    inicioOp_ = t;
  }
}

void TDsPic30Sim::FinOperacion(uint64_t t) {
  if (!ocupado_) return;
  ocupado_ = false;
  const uint16_t op = Nvmcon & 0x7F;
  const uint64_t necesario = op == 0x01   ? TiempoFilaNs
                             : op == 0x05 ? TiempoEeNs
                             : op == 0x08 ? TiempoConfigNs
                                          : TiempoBorradoNs;
  if (t - inicioOp_ < necesario) {
    Viola("NVM operation " + Hex(Nvmcon) + " cut short after " + std::to_string(t - inicioOp_) + " ns");
    LimpiaLatches();
    return;
  }
  const TRegionDs region = Memoria.Region(ultimaEscritura_);
  bool hecho = true;
  switch (op) {
    case 0x01:
      if (!hayEscritura_ || (region != TRegionDs::Programa && region != TRegionDs::Ejecutivo)) {
        hecho = false;
        break;
      }
      for (uint32_t i = 0; i < 32; ++i)
        Memoria.ProgramaInstruccion((ultimaEscritura_ & ~0x3Fu) + 2 * i, latchFila_[i]);
      break;
    case 0x05:
      if (!hayEscritura_ || region != TRegionDs::Datos) {
        hecho = false;
        break;
      }
      for (uint32_t i = 0; i < 16; ++i) Memoria.ProgramaPalabraEe((ultimaEscritura_ & ~0x1Fu) + 2 * i, latchEe_[i]);
      break;
    case 0x08:
      if (hayEscritura_ && region == TRegionDs::Config)
        Memoria.EscribeConfig(ultimaEscritura_, valorUltimo_);
      else if (hayEscritura_ && region == TRegionDs::Ejecutivo)
        Memoria.ProgramaInstruccion(ultimaEscritura_, 0xFF0000u | valorUltimo_);
      else
        hecho = false;
      break;
    case 0x7F:
      Memoria.BorradoTotal();
      break;
    default:
      Desconocido("NVMCON operation " + Hex(Nvmcon));
      hecho = false;
      break;
  }
  if (!hecho && op != 0x7F) Viola("NVM operation " + Hex(Nvmcon) + " with no table write for it at " + Hex(ultimaEscritura_));
  if (hecho) Operaciones.push_back({Nvmcon, ultimaEscritura_});
  LimpiaLatches();
}
