#include "pic1x_flash14.h"

#include <algorithm>

TPic14Sim::TPic14Sim(TDatosPic14 datos) : d_(std::move(datos)) {
  Prog.assign(d_.Palabras, 0x3FFF);
  Ee.assign(d_.EeBytes, 0xFF);
  Escrituras.assign(d_.Palabras, 0);
  CalFabrica.assign(d_.CalNum, 0x1234);
  PonFabrica();
}

void TPic14Sim::PonFabrica() {
  Prog.assign(d_.Palabras, 0x3FFF);
  Config.fill(0x3FFF);
  Ee.assign(d_.EeBytes, 0xFF);
  Config[6] = d_.Id;
  if (d_.OscCal3FF && d_.Palabras > 0x3FF) Prog[0x3FF] = OscCalFabrica;
  if (d_.BandGap) Config[7] = static_cast<uint16_t>((Config[7] & 0x0FFF) | (BandGapFabrica & 0x3000));
  for (uint8_t i = 0; i < d_.CalNum && i < CalFabrica.size(); ++i)
    Config[(d_.CalIni + i) & 0xF] = CalFabrica[i];
}

uint16_t& TPic14Sim::Celda(uint16_t direccion) {
  if (direccion >= 0x2000) return Config[direccion & 0xF];
  return Prog[direccion % d_.Palabras];
}

uint16_t TPic14Sim::LeeCelda(uint16_t direccion) const {
  uint16_t v = direccion >= 0x2000 ? Config[direccion & 0xF] : Prog[direccion % d_.Palabras];
  for (const auto& p : Pegados)
    if (p.Direccion == direccion) v = static_cast<uint16_t>((v & ~p.Mascara) | (p.Valor & p.Mascara));
  return v & 0x3FFF;
}

bool TPic14Sim::Protegido() const { return InicioProtegido() < d_.Palabras; }

uint16_t TPic14Sim::InicioProtegido() const {
  if (d_.MascaraCP == 0 || (Config[7] & d_.MascaraCP) == d_.MascaraCP) return d_.Palabras;
  if (d_.InicioCP.size() != 4) return 0;
  uint16_t inicio = d_.Palabras;
  for (int b = 0; b < 14; b += 2)
    if (((d_.MascaraCP >> b) & 3) == 3) inicio = std::min(inicio, d_.InicioCP[(Config[7] >> b) & 3]);
  return inicio;
}
bool TPic14Sim::DatosProtegidos() const {
  return d_.MascaraCPD != 0 && (Config[7] & d_.MascaraCPD) != d_.MascaraCPD;
}

void TPic14Sim::Reinicia() {
  pc_ = 0;
  latch_.fill(0x3FFF);
  cargados_ = 0;
  cargaDatos_ = false;
  datoEe_ = 0xFF;
  setup_ = 0;
  borrado9_ = borrado11_ = false;
}

void TPic14Sim::EscribeCelda(uint16_t direccion, uint16_t valor, bool borraAntes) {
  if (direccion == 0x2006) return;  // the device ID is read-only
  if (CeldaProtegida(direccion)) return;
  uint16_t& c = Celda(direccion);
  // Flash bits only go from 1 to 0 unless the word is erased first.
  c = borraAntes ? static_cast<uint16_t>(valor & 0x3FFF) : static_cast<uint16_t>(c & valor & 0x3FFF);
  if (direccion < 0x2000) ++Escrituras[direccion % d_.Palabras];
}

void TPic14Sim::Programa(bool borraAntes) {
  if (EnConfig()) {
    // Configuration space is written one word at a time.
    if (cargados_) EscribeCelda(pc_, latch_[pc_ & (d_.Latches - 1)], borraAntes);
  } else {
    const uint16_t base = static_cast<uint16_t>(pc_ & ~(d_.Latches - 1u));
    for (uint8_t i = 0; i < d_.Latches; ++i)
      if (cargados_ & (1u << i)) EscribeCelda(static_cast<uint16_t>(base + i), latch_[i], borraAntes);
  }
  // The latches are back at 0x3FFF after every write.
  latch_.fill(0x3FFF);
  cargados_ = 0;
}

void TPic14Sim::ProgramaDatos() {
  if (d_.EeBytes == 0 || DatosProtegidos()) return;
  Ee[pc_ % d_.EeBytes] = datoEe_;  // a data byte is erased and written in one cycle
}

void TPic14Sim::Borra(uint8_t alcance) {
  if (alcance & AlcProg) Prog.assign(d_.Palabras, 0x3FFF);
  if (alcance & AlcId)
    for (int i = 0; i < 4; ++i) Config[i] = 0x3FFF;
  if (alcance & AlcConfig)
    for (int i = 0; i < d_.NumConfig; ++i) Config[7 + i] = 0x3FFF;
  if (alcance & AlcCal)
    for (uint8_t i = 0; i < d_.CalNum; ++i) Config[(d_.CalIni + i) & 0xF] = 0x3FFF;
  if (alcance & AlcDatos) Ee.assign(d_.EeBytes, 0xFF);
}

TFaseSim TPic14Sim::Comando(uint8_t comando, uint64_t t) {
  if (comando >= 64 || !(d_.Comandos & (uint64_t{1} << comando))) return TFaseSim::Desconocido;
  if (RegistraComandos) Recibidos.push_back({comando, pc_, cargaDatos_});
  const uint8_t setup = setup_;
  setup_ = 0;
  switch (comando) {
    case 0: case 2: case 3:
      return TFaseSim::Carga;
    case 4: case 5:
      return TFaseSim::Lectura;
    case 6:
      // Program space 0x0000-0x1FFF wraps to 0; in configuration space the
      // top bit sticks, so the counter runs round 0x2000-0x3FFF.
      pc_ = EnConfig() ? static_cast<uint16_t>(0x2000 | ((pc_ + 1) & 0x1FFF))
                       : static_cast<uint16_t>((pc_ + 1) & 0x1FFF);
      return TFaseSim::SinDatos;
    case 1:
      setup_ = 1;
      return TFaseSim::SinDatos;
    case 7:
      setup_ = setup == 1 ? 2 : 0;
      return TFaseSim::SinDatos;
    case 9:
    case 11: {
      const uint8_t alc = comando == 11 ? uint8_t(AlcDatos)
                          : (EnConfig() ? (pc_ >= d_.CalIni && d_.CalNum && pc_ < d_.CalIni + d_.CalNum
                                               ? uint8_t(d_.Alcance9Config | AlcCal)
                                               : d_.Alcance9Config)
                                        : d_.Alcance9Prog);
      if (d_.Borrado9Con8) {
        (comando == 9 ? borrado9_ : borrado11_) = true;
        return TFaseSim::SinDatos;
      }
      Temporizada(t, comando == 9 ? d_.T9Ns : d_.T11Ns,
                  comando == 9 ? "bulk erase of program memory" : "bulk erase of data memory",
                  [this, alc] { Borra(alc); });
      return TFaseSim::SinDatos;
    }
    case 31: {
      const uint8_t alc = EnConfig() ? uint8_t(AlcProg | AlcConfig | AlcId | AlcDatos)
                                     : uint8_t(AlcProg | AlcDatos);
      Temporizada(t, d_.T31Ns, "chip erase", [this, alc] { Borra(alc); });
      return TFaseSim::SinDatos;
    }
    case 8: {
      if (setup == 2) {
        // Bulk erase after the two setup commands: with the counter in
        // configuration space it also clears the configuration word and
        // with it the code protection.
        const uint8_t alc = EnConfig() ? uint8_t(AlcProg | AlcConfig | AlcId | AlcDatos)
                                       : (cargaDatos_ ? uint8_t(AlcDatos) : uint8_t(AlcProg));
        Temporizada(t, d_.TSetupNs, "erase after the setup commands", [this, alc] { Borra(alc); });
        return TFaseSim::SinDatos;
      }
      if (borrado9_ || borrado11_) {
        uint8_t alc = 0;
        if (borrado9_) alc |= EnConfig() ? d_.Alcance9Config : d_.Alcance9Prog;
        if (borrado11_) alc |= AlcDatos;
        borrado9_ = borrado11_ = false;
        Temporizada(t, d_.T9Ns, "bulk erase", [this, alc] { Borra(alc); });
        return TFaseSim::SinDatos;
      }
      const bool datos = cargaDatos_;
      const uint64_t ns = datos ? d_.T8DatosNs : d_.T8Ns;
      const bool borra = d_.Modo8 == TModo8Sim::InternoBorra;
      auto efecto = [this, datos, borra] { datos ? ProgramaDatos() : Programa(borra); };
      if (d_.Modo8 == TModo8Sim::Externo) IniciaExterna(t, ns, "programming (command 8)", efecto);
      else Temporizada(t, ns, "programming (command 8)", efecto);
      return TFaseSim::SinDatos;
    }
    case 24: {
      const bool datos = cargaDatos_;
      const uint64_t ns = datos ? d_.T24DatosNs : d_.T24Ns;
      auto efecto = [this, datos] { datos ? ProgramaDatos() : Programa(false); };
      if (d_.Externo24) IniciaExterna(t, ns, "programming (command 24)", efecto);
      else Temporizada(t, ns, "programming (command 24)", efecto);
      return TFaseSim::SinDatos;
    }
    default:
      // The end commands (10, 14, 23) and anything else the part lists:
      // an end command without a write running does nothing.
      if (comando == d_.Fin) TerminaExterna(t);
      return TFaseSim::SinDatos;
  }
}

void TPic14Sim::Carga(uint8_t comando, uint16_t dato) {
  if (comando == 0) {
    pc_ = 0x2000;
    latch_.fill(0x3FFF);
    latch_[0] = dato;
    cargados_ = 1;
    cargaDatos_ = false;
  } else if (comando == 2) {
    const uint8_t i = static_cast<uint8_t>(pc_ & (d_.Latches - 1));
    latch_[i] = dato;
    cargados_ |= static_cast<uint8_t>(1u << i);
    cargaDatos_ = false;
  } else {
    datoEe_ = static_cast<uint8_t>(dato & 0xFF);
    cargaDatos_ = true;
  }
}

uint16_t TPic14Sim::Lectura(uint8_t comando) {
  if (comando == 5) {
    if (d_.EeBytes == 0 || DatosProtegidos()) return 0;
    return Ee[pc_ % d_.EeBytes];
  }
  if (CeldaProtegida(pc_)) return 0;
  return LeeCelda(pc_);
}
