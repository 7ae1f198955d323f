#include "chips/pic18_sim.h"

#include <cstdio>

namespace {

// Special function registers in the access bank (address 0xF00 + f).
constexpr uint8_t RegTablat = 0xF5;
constexpr uint8_t RegTblptrL = 0xF6;
constexpr uint8_t RegTblptrH = 0xF7;
constexpr uint8_t RegTblptrU = 0xF8;
constexpr uint8_t RegEecon1 = 0xA6;
constexpr uint8_t RegEecon2 = 0xA7;
constexpr uint8_t RegEedata = 0xA8;
constexpr uint8_t RegEeadr = 0xA9;
constexpr uint8_t RegEeadrh = 0xAA;

// EECON1 bits.
constexpr uint8_t BitEepgd = 0x80;
constexpr uint8_t BitCfgs = 0x40;
constexpr uint8_t BitWren = 0x04;
constexpr uint8_t BitWr = 0x02;
constexpr uint8_t BitRd = 0x01;

constexpr uint32_t DirBorrado = 0x3C0004;
constexpr uint32_t DirBorradoAlto = 0x3C0005;
constexpr uint32_t DirPaneles = 0x3C0006;
constexpr uint32_t InicioId = 0x200000;
constexpr uint32_t InicioConfig = 0x300000;
constexpr uint32_t FinConfig = 0x30000E;

std::string Hex(const char* formato, unsigned v) {
  char b[64];
  std::snprintf(b, sizeof b, formato, v);
  return b;
}

}  // namespace

TPic18Sim::TPic18Sim(const TModeloPic18& modelo)
    : propia_(std::make_unique<TMemoriaPic18>(modelo)), Memoria(*propia_), LecturasProg(modelo.BytesProg, 0),
      retencion_(modelo.BufferEscritura, 0xFF) {}

TPic18Sim::TPic18Sim(TMemoriaPic18& memoria)
    : Memoria(memoria), LecturasProg(memoria.Modelo().BytesProg, 0),
      retencion_(memoria.Modelo().BufferEscritura, 0xFF) {}

void TPic18Sim::Viola(const std::string& texto) { Violaciones.push_back(texto); }
void TPic18Sim::Desconocido(const std::string& texto) { Desconocidos.push_back(texto); }

void TPic18Sim::Lineas(uint64_t t, const TLineasSim& l) {
  AvanzaTiempo(t);
  // The data line stays low through the NOP that starts a bulk erase.
  if (nopBorrado_ && l.DatoHost && !datoAltoEnBorrado_) {
    datoAltoEnBorrado_ = true;
    Viola("data line high during the NOP of a bulk erase");
  }
  const bool alta = l.Vdd && l.Vpp && l.Mclr;
  if (!EnProgramacion) {
    const bool vppSube = alta && !alta_ && previo_.Vdd;
    const bool vddSube = alta && !alta_ && !previo_.Vdd;
    if ((vppSube || (vddSube && AceptaVppPrimero)) && !l.Clock && !l.DatoHost) Entra();
  } else if (!alta) {
    Sale(t);
  }
  alta_ = alta;
  if (EnProgramacion) {
    const bool dato = l.DatoHost && salida_.value_or(true);
    // While the part drives a read the host's level is not looked at.
    if (l.DatoHost != previo_.DatoHost) {
      const std::string v = TiemposDato.Cambia(t);
      if (!v.empty() && fase_ != TFase::Lectura) Viola(v);
    }
    if (l.Clock && !previo_.Clock) Subida(t);
    if (!l.Clock && previo_.Clock) {
      if (fase_ != TFase::Lectura) {
        const std::string v = TiemposDato.Latch(t);
        if (!v.empty()) Viola(v);
      }
      Bajada(t, dato);
    }
  }
  previo_ = l;
}

void TPic18Sim::Entra() {
  EnProgramacion = true;
  ++Entradas;
  Reinicia();
}

void TPic18Sim::Sale(uint64_t t) {
  if (borrando_) Viola(Hex("programming mode left %u us into a bulk erase", unsigned((t - (finBorrado_ - Memoria.Modelo().P11Ns)) / 1000)));
  if (eeOcupado_) Viola(Hex("programming mode left during the data EEPROM write at 0x%02X", dirEe_));
  if (pendiente_ != TPendiente::Nada) Viola("programming mode left before the programming NOP");
  EnProgramacion = false;
  Reinicia();
}

void TPic18Sim::Reinicia() {
  salida_.reset();
  fase_ = TFase::Comando;
  bits_ = 0;
  n_ = 0;
  ignora_ = false;
  pendiente_ = TPendiente::Nada;
  vigilaP10_ = false;
  std::fill(retencion_.begin(), retencion_.end(), 0xFF);
  regBorrado_[0] = regBorrado_[1] = 0;
  borradoArmado_ = false;
  nopsTrasBorrado_ = 0;
  borrando_ = false;
  nopBorrado_ = datoAltoEnBorrado_ = false;
  desbloqueo_ = 0;
  eeOcupado_ = false;
  tablatDiferido_.reset();
  gotoPendiente_ = false;
  Tblptr = 0;
  W = 0;
  Tablat = 0;
  Eecon1 = 0;
  Eedata = Eeadr = Eeadrh = 0;
  UnPanel = false;
  Pc = 0;
}

void TPic18Sim::AvanzaTiempo(uint64_t t) {
  if (eeOcupado_ && t >= finEe_) {
    eeOcupado_ = false;
    Memoria.EscribeEe(dirEe_, datoEe_);
    EscriturasEe.push_back(dirEe_);
  }
  if (borrando_ && t >= finBorrado_) {
    borrando_ = false;
    if (Memoria.Borra(codigoBorrado_)) Borrados.push_back(codigoBorrado_);
    else Desconocido(Hex("bulk erase value 0x%04X", codigoBorrado_));
  }
}

void TPic18Sim::Subida(uint64_t t) {
  ++Ciclos;
  if (fase_ == TFase::Lectura) ++CiclosLectura;
  if (vigilaP10_) {
    vigilaP10_ = false;
    if (t - bajadaNop_ < Memoria.Modelo().P10Ns)
      Viola(Hex("clock low only %u ns after a programming hold", unsigned(t - bajadaNop_)));
  }
  salida_.reset();
  if (fase_ == TFase::Comando && pendiente_ != TPendiente::Nada && n_ == 3) subida4_ = t;
  if (fase_ == TFase::Lectura && n_ >= 8) salida_ = ((byteSalida_ >> (n_ - 8)) & 1) != 0;
}

void TPic18Sim::Bajada(uint64_t t, bool dato) {
  switch (fase_) {
    case TFase::Comando:
      bits_ |= uint32_t{dato} << n_;
      if (++n_ == 4) {
        comando_ = static_cast<uint8_t>(bits_);
        bits_ = 0;
        n_ = 0;
        FinComando(t);
      }
      break;
    case TFase::Operando:
      bits_ |= uint32_t{dato} << n_;
      if (++n_ == 16) {
        const auto operando = static_cast<uint16_t>(bits_);
        bits_ = 0;
        n_ = 0;
        fase_ = TFase::Comando;
        nopBorrado_ = datoAltoEnBorrado_ = false;
        if (!ignora_) Ejecuta(t, operando);
        ignora_ = false;
      }
      break;
    case TFase::Lectura:
      if (++n_ == 16) {
        n_ = 0;
        fase_ = TFase::Comando;
      }
      break;
  }
}

void TPic18Sim::FinComando(uint64_t t) {
  if (borrando_) Viola(Hex("command %u during a bulk erase", comando_));
  if (pendiente_ != TPendiente::Nada) {
    if (comando_ == 0) {
      const uint64_t sostenido = t - subida4_;
      if (sostenido >= Memoria.Modelo().P9Ns) Graba(t);
      else Viola(Hex("programming clock held %u us", unsigned(sostenido / 1000)));
      bajadaNop_ = t;
      vigilaP10_ = Memoria.Modelo().P10Ns > 0;
    } else {
      Viola(Hex("start programming followed by command %u instead of a NOP", comando_));
    }
    pendiente_ = TPendiente::Nada;
    std::fill(retencion_.begin(), retencion_.end(), 0xFF);
  }
  if (borradoArmado_ && nopsTrasBorrado_ == 1) {
    borradoArmado_ = false;
    if (comando_ == 0) {
      borrando_ = true;
      nopBorrado_ = true;
      finBorrado_ = t + Memoria.Modelo().P11Ns;
      codigoBorrado_ = Memoria.Modelo().Nuevo
                           ? static_cast<uint16_t>(regBorrado_[1] << 8 | regBorrado_[0])
                           : regBorrado_[0];
    } else {
      Viola(Hex("bulk erase: command %u instead of the second NOP", comando_));
    }
  }
  switch (comando_) {
    case 0x0:
    case 0xC:
    case 0xD:
    case 0xF:
      fase_ = TFase::Operando;
      break;
    case 0xE:
      fase_ = TFase::Operando;
      if (!Memoria.Modelo().Nuevo) {
        Desconocido("command 14 on this part");
        ignora_ = true;
      }
      break;
    case 0x2:
      byteSalida_ = Tablat;
      if (tablatDiferido_) {
        Tablat = *tablatDiferido_;
        tablatDiferido_.reset();
      }
      fase_ = TFase::Lectura;
      break;
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB: {
      if (comando_ == 0xB) Tblptr = (Tblptr + 1) & 0x3FFFFF;
      tablatDiferido_.reset();
      Tablat = LeeTabla(Tblptr);
      if (comando_ == 0x9) Tblptr = (Tblptr + 1) & 0x3FFFFF;
      if (comando_ == 0xA) Tblptr = (Tblptr - 1) & 0x3FFFFF;
      byteSalida_ = Tablat;
      fase_ = TFase::Lectura;
      break;
    }
    default:
      Desconocido(Hex("command %u", comando_));
      fase_ = TFase::Operando;
      ignora_ = true;
      break;
  }
  if (borradoArmado_ && comando_ != 0) {
    Viola(Hex("bulk erase: command %u instead of a NOP", comando_));
    borradoArmado_ = false;
  }
}

uint8_t TPic18Sim::LeeTabla(uint32_t d) {
  if (d < LecturasProg.size()) ++LecturasProg[d];
  else if (d >= InicioId && d < InicioId + 8) ++LecturasId;
  return Memoria.LeeTabla(d);
}

void TPic18Sim::Ejecuta(uint64_t t, uint16_t operando) {
  switch (comando_) {
    case 0x0:
      Instruccion(t, operando);
      break;
    case 0xC:
      EscribeTabla(operando, false);
      break;
    case 0xD:
      EscribeTabla(operando, false);
      Tblptr = (Tblptr + 2) & 0x3FFFFF;
      break;
    case 0xE:
      EscribeTabla(operando, true);
      Tblptr = (Tblptr + 2) & 0x3FFFFF;
      break;
    case 0xF:
      EscribeTabla(operando, true);
      break;
    default:
      break;
  }
}

void TPic18Sim::EscribeTabla(uint16_t operando, bool programa) {
  const uint32_t d = Tblptr & 0x3FFFFF;
  const auto bajo = static_cast<uint8_t>(operando);
  const auto alto = static_cast<uint8_t>(operando >> 8);
  const uint8_t delByte = (d & 1) ? alto : bajo;
  if (borradoArmado_) {
    Viola("table write inside the bulk erase sequence");
    borradoArmado_ = false;
  }
  if (d == DirBorrado || d == DirBorradoAlto || d == DirPaneles) {
    if (programa) Viola(Hex("start programming on register 0x%06X", d));
    if (d == DirBorrado) {
      regBorrado_[0] = delByte;
      borradoArmado_ = true;
      nopsTrasBorrado_ = 0;
    } else if (d == DirBorradoAlto) {
      // Only the newer parts have the second erase register; the older
      // ones take the write as nothing.
      if (Memoria.Modelo().Nuevo) regBorrado_[1] = delByte;
    } else if (!Memoria.Modelo().Nuevo) {
      // The newer parts are single-panel only and have no such register.
      UnPanel = (delByte & 0x40) == 0;
    }
    return;
  }
  if (d >= InicioConfig && d < FinConfig) {
    if (!programa) {
      Viola(Hex("configuration byte 0x%06X table-written without start programming", d));
      return;
    }
    pendiente_ = TPendiente::Config;
    dirPendiente_ = d;
    bytePendiente_ = delByte;
    return;
  }
  const bool enProg = d < Memoria.Prog.size();
  const bool enId = d >= InicioId && d < InicioId + 8;
  if (!enProg && !enId) {
    Viola(Hex("table write outside the memories at 0x%06X", d));
    return;
  }
  if (d & 1) {
    Viola(Hex("program table write at odd address 0x%06X", d));
    return;
  }
  const uint32_t i = d & (retencion_.size() - 1);
  retencion_[i] = bajo;
  retencion_[i + 1] = alto;
  if (programa) {
    pendiente_ = TPendiente::Fila;
    dirPendiente_ = d & ~static_cast<uint32_t>(retencion_.size() - 1);
  }
}

void TPic18Sim::Graba(uint64_t) {
  if (pendiente_ == TPendiente::Config) {
    if ((Eecon1 & (BitEepgd | BitCfgs)) != (BitEepgd | BitCfgs)) {
      Viola(Hex("configuration write at 0x%06X without EEPGD and CFGS set", dirPendiente_));
      return;
    }
    Memoria.EscribeConfig(dirPendiente_, bytePendiente_);
    BytesConfig.push_back(dirPendiente_);
    return;
  }
  if ((Eecon1 & (BitEepgd | BitCfgs)) != BitEepgd) {
    Viola(Hex("row write at 0x%06X without EEPGD set and CFGS clear", dirPendiente_));
    return;
  }
  if (!Memoria.Modelo().Nuevo && !UnPanel) {
    Viola(Hex("row write at 0x%06X in multi-panel mode", dirPendiente_));
    return;
  }
  for (uint32_t i = 0; i < retencion_.size(); ++i)
    if (retencion_[i] != 0xFF) Memoria.ProgramaFlash(dirPendiente_ + i, retencion_[i]);
  Filas.push_back(dirPendiente_);
}

bool TPic18Sim::RegistroConocido(uint8_t f) const {
  switch (f) {
    case RegTablat:
    case RegTblptrL:
    case RegTblptrH:
    case RegTblptrU:
    case RegEecon1:
    case RegEecon2:
    case RegEedata:
    case RegEeadr:
      return true;
    case RegEeadrh:
      // Only parts with more than 256 bytes of data EEPROM have EEADRH; on
      // the others the address is unimplemented and a write does nothing.
      return true;
    default:
      return false;
  }
}

uint8_t TPic18Sim::LeeRegistro(uint8_t f) {
  switch (f) {
    case RegTablat: return Tablat;
    case RegTblptrL: return static_cast<uint8_t>(Tblptr);
    case RegTblptrH: return static_cast<uint8_t>(Tblptr >> 8);
    case RegTblptrU: return static_cast<uint8_t>((Tblptr >> 16) & 0x3F);
    case RegEecon1: return static_cast<uint8_t>(Eecon1 | (eeOcupado_ ? BitWr : 0));
    case RegEedata: return Eedata;
    case RegEeadr: return Eeadr;
    case RegEeadrh: return Memoria.Ee.size() > 256 ? Eeadrh : 0;
    default: return 0;  // EECON2 reads as 0
  }
}

void TPic18Sim::EscribeRegistro(uint64_t t, uint8_t f, uint8_t v, bool movwf) {
  switch (f) {
    case RegTablat:
      if (movwf && Memoria.Modelo().Nuevo) tablatDiferido_ = v;
      else Tablat = v;
      break;
    case RegTblptrL: Tblptr = (Tblptr & 0x3FFF00) | v; break;
    case RegTblptrH: Tblptr = (Tblptr & 0x3F00FF) | uint32_t{v} << 8; break;
    case RegTblptrU: Tblptr = (Tblptr & 0x00FFFF) | uint32_t{v & 0x3Fu} << 16; break;
    case RegEecon1: {
      const uint8_t antes = LeeRegistro(RegEecon1);
      Eecon1 = static_cast<uint8_t>(v & ~(BitWr | BitRd));
      if ((v & BitWr) && !(antes & BitWr)) IniciaEscrituraEe(t);
      if (v & BitRd) LeeEe();
      break;
    }
    case RegEecon2:
      if (v == 0x55 && desbloqueo_ == 0) desbloqueo_ = 1;
      else if (v == 0xAA && desbloqueo_ == 1) desbloqueo_ = 2;
      else desbloqueo_ = 0;
      break;
    case RegEedata: Eedata = v; break;
    case RegEeadr: Eeadr = v; break;
    case RegEeadrh:
      if (Memoria.Ee.size() > 256) Eeadrh = v;
      break;
    default: break;
  }
}

void TPic18Sim::IniciaEscrituraEe(uint64_t t) {
  if (Eecon1 & (BitEepgd | BitCfgs)) {
    Viola("EECON1.WR with EEPGD or CFGS set");
    return;
  }
  if (!(Eecon1 & BitWren)) {
    Viola("EECON1.WR without WREN");
    return;
  }
  if (!Memoria.Modelo().Nuevo && desbloqueo_ != 2) {
    Viola("EECON1.WR without the 0x55/0xAA sequence");
    return;
  }
  const uint32_t d = uint32_t{Eeadrh} << 8 | Eeadr;
  if (d >= Memoria.Ee.size()) {
    Viola(Hex("data EEPROM write at 0x%X outside the EEPROM", d));
    return;
  }
  eeOcupado_ = true;
  finEe_ = t + Memoria.Modelo().EscrituraEeNs;
  dirEe_ = static_cast<uint16_t>(d);
  datoEe_ = Eedata;
}

void TPic18Sim::LeeEe() {
  if (Eecon1 & (BitEepgd | BitCfgs)) {
    Desconocido("EECON1.RD with EEPGD or CFGS set");
    return;
  }
  const uint32_t d = uint32_t{Eeadrh} << 8 | Eeadr;
  if (eeOcupado_) Viola(Hex("data EEPROM read at 0x%X during a write", d));
  Eedata = Memoria.LeeEe(d);
}

void TPic18Sim::Instruccion(uint64_t t, uint16_t op) {
  if (gotoPendiente_) {
    gotoPendiente_ = false;
    if ((op & 0xF000) != 0xF000) {
      Desconocido(Hex("second word of GOTO 0x%04X", op));
      return;
    }
    Pc = (uint32_t{op & 0x0FFFu} << 8 | gotoBajo_) << 1;
    return;
  }
  if (tablatDiferido_) {
    Tablat = *tablatDiferido_;
    tablatDiferido_.reset();
  }
  if (borradoArmado_) {
    if (op == 0x0000) {
      ++nopsTrasBorrado_;
    } else {
      Viola(Hex("bulk erase: instruction 0x%04X instead of a NOP", op));
      borradoArmado_ = false;
    }
  }
  const uint8_t f = static_cast<uint8_t>(op);
  const bool banco = (op & 0x0100) != 0;
  const auto registro = [&]() {
    if (banco) {
      Desconocido(Hex("banked instruction 0x%04X", op));
      return false;
    }
    if (!RegistroConocido(f)) {
      Desconocido(Hex("instruction 0x%04X on an unmodelled register", op));
      return false;
    }
    return true;
  };
  // The unlock sequence must stand right before BSF EECON1,WR with only
  // MOVLW between its two writes.
  const bool esMovlw = (op & 0xFF00) == 0x0E00;
  const bool esEecon2 = op == (0x6E00 | RegEecon2);
  const bool esWr = op == (0x8200 | RegEecon1);
  if (!esMovlw && !esEecon2 && !esWr) desbloqueo_ = 0;

  if (op == 0x0000) return;                      // NOP
  if (esMovlw) {                                 // MOVLW k
    W = f;
    return;
  }
  if ((op & 0xFE00) == 0x6E00) {                 // MOVWF f
    if (registro()) EscribeRegistro(t, f, W, true);
    return;
  }
  if ((op & 0xFC00) == 0x5000 || (op & 0xFC00) == 0x2800 || (op & 0xFC00) == 0x0400) {
    if (!registro()) return;                     // MOVF / INCF / DECF f,d
    uint8_t v = LeeRegistro(f);
    if ((op & 0xFC00) == 0x2800) ++v;
    if ((op & 0xFC00) == 0x0400) --v;
    if (op & 0x0200) EscribeRegistro(t, f, v, false);
    else W = v;
    return;
  }
  if ((op & 0xE000) == 0x8000) {                 // BSF / BCF f,b
    if (!registro()) return;
    const uint8_t bit = static_cast<uint8_t>(1u << ((op >> 9) & 7));
    const bool pon = (op & 0x1000) == 0;
    uint8_t v = LeeRegistro(f);
    if (f == RegEecon1) v = static_cast<uint8_t>(v & ~BitRd);
    v = pon ? static_cast<uint8_t>(v | bit) : static_cast<uint8_t>(v & ~bit);
    // WR cannot be cleared by the program; a write still running stays.
    EscribeRegistro(t, f, v, false);
    if (esWr) desbloqueo_ = 0;
    return;
  }
  if ((op & 0xFF00) == 0xEF00) {                 // GOTO, first word
    gotoPendiente_ = true;
    gotoBajo_ = f;
    return;
  }
  Desconocido(Hex("instruction 0x%04X", op));
}
