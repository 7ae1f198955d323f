#include "pg_port.h"

#include "pg_perfil.h"
#include "pg_puertos.h"
#include "pg_time.h"

uint8_t SombraBase = 0;
uint8_t SombraOtro = 0;
std::array<uint8_t*, 6> SombraPin = {&SombraBase, &SombraBase, &SombraBase,
                                     &SombraBase, &SombraBase, &SombraBase};
uint8_t MedioBitUs = 0;
bool VppAntesVdd = false;
std::function<void(uint32_t)> IndicadorVdd;

namespace {

enum TLinea : int { lDato, lClock, lVpp, lVpp2, lVdd, lMclr };

uint16_t DireccionDe(int linea) {
  switch (linea) {
    case lDato: return AddrD;
    case lClock: return AddrC;
    case lVpp: return AddrV;
    case lVpp2: return AddrV2;
    case lVdd: return AddrVdd;
    default: return AddrM;
  }
}

// Sets one line to a logical level: the shadow bit follows the level, or
// its inverse on an inverted line; then the whole shadow byte is written.
void PonLinea(int linea, bool nivel, uint8_t mascara, bool invertida) {
  uint8_t& sombra = *SombraPin[linea];
  if (nivel != invertida)
    sombra |= mascara;
  else
    sombra &= static_cast<uint8_t>(~mascara);
  EscribePort(DireccionDe(linea), sombra);
}

bool EnlaceCom() { return DaIndicePuerto(AddrB) < 4; }

void VppElegido(bool on) {
  if (Usa_Vpp2 && Zocalo2)
    on ? Vpp2On() : Vpp2Off();
  else
    on ? VppOn() : VppOff();
}

}  // namespace

void EscribePort(uint16_t direccion, uint8_t sombra) { EscribePuertoES(direccion, sombra); }

TMuestraDato MuestraDato;

uint8_t LeeDato() {
  const bool bit = (LeePuertoES(AddrS) & Bit_Read) != 0;
  const uint8_t dato = bit != Inv_Read ? 1 : 0;
  if (MuestraDato.Lecturas++ == 0)
    MuestraDato.Primero = dato;
  else if (dato != MuestraDato.Primero)
    MuestraDato.Cambio = true;
  return dato;
}

void DatoAlto() { PonLinea(lDato, true, Bit_Data, Inv_Data); }
void DatoBajo() { PonLinea(lDato, false, Bit_Data, Inv_Data); }
void ClockAlto() { PonLinea(lClock, true, Bit_Clock, Inv_Clock); }
void ClockBajo() { PonLinea(lClock, false, Bit_Clock, Inv_Clock); }
void VppOn() { PonLinea(lVpp, true, Bit_Vpp, Inv_Vpp); }
void VppOff() { PonLinea(lVpp, false, Bit_Vpp, Inv_Vpp); }
void Vpp2On() { PonLinea(lVpp2, true, Bit_Vpp2, Inv_Vpp2); }
void Vpp2Off() { PonLinea(lVpp2, false, Bit_Vpp2, Inv_Vpp2); }
void MclrReposo() { PonLinea(lMclr, true, Bit_Mclr, Inv_Mclr); }
void MclrActivo() { PonLinea(lMclr, false, Bit_Mclr, Inv_Mclr); }

void VddOn() {
  if (!Usa_Vdd) return;
  if (IndicadorVdd) IndicadorVdd(ColorVddOn);
  if (!USB_COM) {
    PonLinea(lVdd, true, Bit_Vdd, Inv_Vdd);
    EsperaMs(1);
  }
}

void VddOff() {
  if (!Usa_Vdd) return;
  if (!USB_COM) PonLinea(lVdd, false, Bit_Vdd, Inv_Vdd);
  if (IndicadorVdd) IndicadorVdd(ColorVddOff);
}

void PinesReposo() {
  if (USB_COM) return;
  const std::array<uint16_t, 6> direcciones = {AddrD, AddrC, AddrV, AddrV2, AddrVdd, AddrM};
  for (int i = 0; i < 6; ++i) SombraPin[i] = direcciones[i] == AddrB ? &SombraBase : &SombraOtro;
  VppOff();
  if (Usa_Vpp2) Vpp2Off();
  if (Usa_Mclr) MclrReposo();
  ClockBajo();
  DatoBajo();
}

void PonPines_END() {
  if (USB_COM) return;
  DEF_BIT_DATA ? DatoAlto() : DatoBajo();
  DEF_BIT_CLOCK ? ClockAlto() : ClockBajo();
  DEF_BIT_VPP ? VppOn() : VppOff();
  if (Usa_Vpp2) DEF_BIT_VPP2 ? Vpp2On() : Vpp2Off();
  if (Usa_Mclr) DEF_BIT_MCLR ? MclrActivo() : MclrReposo();
  DEF_BIT_VDD ? VddOn() : VddOff();
}

void EntraProgramacion() {
  if (USB_COM) return;
  EsperaMs(5);  // the lines settle from whatever ran before
  if (EnlaceCom()) {
    ClockAlto();
    EsperaMs(100);
  }
  VppElegido(false);
  if (VppAntesVdd) VddOff();
  ClockBajo();
  DatoBajo();
  if (Usa_Mclr) MclrActivo();
  EsperaMs(5);  // Vpp off long enough for the part to restart
  if (Usa_Mclr) MclrReposo();
  VppElegido(true);
  if (VppAntesVdd) {
    EsperaMs(5);
    EsperaMs(5);
    VddOn();
  }
  EsperaMs(5);  // Vpp settles before the first clock
  if (EnlaceCom()) EsperaMs(100);
}

void SaleProgramacion() {
  if (USB_COM) return;
  VppOff();
  if (Usa_Vpp2) Vpp2Off();
  if (Usa_Mclr) MclrReposo();
  ClockBajo();
  DatoBajo();
}

bool ValidaPines(std::string& error) {
  const int indice = IndiceRegistroPuerto(AddrB);
  if (indice < 0 || DaDireccionPuerto(indice) != AddrB) {
    error = TextoPuerto(7);
    return false;
  }
  struct TUso {
    bool usada;
    uint16_t direccion;
    uint8_t mascara;
  };
  const TUso lineas[] = {
      {true, AddrD, Bit_Data},        {true, AddrC, Bit_Clock},     {true, AddrV, Bit_Vpp},
      {Usa_Vpp2, AddrV2, Bit_Vpp2},   {Usa_Vdd, AddrVdd, Bit_Vdd},  {Usa_Mclr, AddrM, Bit_Mclr},
      {true, AddrS, Bit_Read},
  };
  // The registers that carry lines: LPT data (+0) and control (+2) out,
  // status (+1) in; COM line control (+3) and modem control (+4) out,
  // modem status (+6) in.
  // Bits 4-7 of the LPT control register (interrupt enable, direction) are
  // no lines: ppdev never puts them on a pin.
  const bool lpt = indice >= 4;
  const auto salida = [&](uint16_t d, uint8_t mascara) {
    if (lpt) return d == AddrB || (d == AddrB + 2 && (mascara & 0xF0) == 0);
    return d == AddrB + 3 || d == AddrB + 4;
  };
  for (const auto& l : lineas) {
    const bool valida = &l == &lineas[6] ? l.direccion == AddrB + (lpt ? 1 : 6) : salida(l.direccion, l.mascara);
    if (l.usada && !valida) {
      error = TextoPuerto(10);
      return false;
    }
  }
  if (DaNumeroBit(Bit_Read, -1) < 0) {
    error = TextoPuerto(8);
    return false;
  }
  for (const auto& l : lineas) {
    if (l.usada && DaNumeroBit(l.mascara, -1) < 0) {
      error = TextoPuerto(11);
      return false;
    }
  }
  return true;
}
