#include "sim_adaptador.h"

#include "hw/pg_perfil.h"
#include "hw/pg_time.h"
#include "sim_puerto.h"

TCableadoSim TCableadoSim::DelPerfil() {
  TCableadoSim c;
  c.AddrD = ::AddrD; c.AddrC = ::AddrC; c.AddrV = ::AddrV; c.AddrV2 = ::AddrV2;
  c.AddrVdd = ::AddrVdd; c.AddrM = ::AddrM; c.AddrS = ::AddrS;
  c.Bit_Data = ::Bit_Data; c.Bit_Clock = ::Bit_Clock; c.Bit_Vpp = ::Bit_Vpp; c.Bit_Vpp2 = ::Bit_Vpp2;
  c.Bit_Vdd = ::Bit_Vdd; c.Bit_Mclr = ::Bit_Mclr; c.Bit_Read = ::Bit_Read;
  c.Inv_Data = ::Inv_Data; c.Inv_Clock = ::Inv_Clock; c.Inv_Vpp = ::Inv_Vpp; c.Inv_Vpp2 = ::Inv_Vpp2;
  c.Inv_Vdd = ::Inv_Vdd; c.Inv_Mclr = ::Inv_Mclr; c.Inv_Read = ::Inv_Read;
  c.Usa_Vdd = ::Usa_Vdd; c.Usa_Vpp2 = ::Usa_Vpp2; c.Usa_Mclr = ::Usa_Mclr;
  return c;
}

bool operator==(const TLineasSim& a, const TLineasSim& b) {
  return a.Clock == b.Clock && a.DatoHost == b.DatoHost && a.Vpp == b.Vpp && a.Vpp2 == b.Vpp2 &&
         a.Vdd == b.Vdd && a.Mclr == b.Mclr;
}

TAdaptadorSim::TAdaptadorSim(TPuertoSim& puerto) : TAdaptadorSim(puerto, TCableadoSim::DelPerfil()) {}

TAdaptadorSim::TAdaptadorSim(TPuertoSim& puerto, const TCableadoSim& cableado)
    : Cableado(cableado), puerto_(puerto) {
  puerto_.Conecta(this);
}

TAdaptadorSim::~TAdaptadorSim() { puerto_.Conecta(nullptr); }

void TAdaptadorSim::Conecta(TChipSim* zocalo1, TChipSim* zocalo2) {
  zocalo1_ = zocalo1;
  zocalo2_ = zocalo2;
}

bool TAdaptadorSim::Nivel(uint16_t direccion, uint8_t mascara, bool invertida) const {
  return ((puerto_.Registro(direccion) & mascara) != 0) != invertida;
}

TLineasSim TAdaptadorSim::Lineas() const {
  const TCableadoSim& c = Cableado;
  TLineasSim l;
  l.DatoHost = Nivel(c.AddrD, c.Bit_Data, c.Inv_Data);
  l.Clock = Nivel(c.AddrC, c.Bit_Clock, c.Inv_Clock);
  l.Vpp = Nivel(c.AddrV, c.Bit_Vpp, c.Inv_Vpp);
  l.Vpp2 = c.Usa_Vpp2 && Nivel(c.AddrV2, c.Bit_Vpp2, c.Inv_Vpp2);
  l.Vdd = !c.Usa_Vdd || Nivel(c.AddrVdd, c.Bit_Vdd, c.Inv_Vdd);
  l.Mclr = !c.Usa_Mclr || Nivel(c.AddrM, c.Bit_Mclr, c.Inv_Mclr);
  return l;
}

bool TAdaptadorSim::LineaDato() const {
  bool nivel = Lineas().DatoHost;
  for (const TChipSim* chip : {zocalo1_, zocalo2_})
    if (chip) nivel = nivel && chip->Dato().value_or(true);
  return nivel;
}

void TAdaptadorSim::Escrito() {
  const uint64_t t = Reloj().AhoraNs();
  const TLineasSim l = Lineas();
  if (Registra && (Cambios.empty() || !(Cambios.back().lineas == l))) Cambios.push_back({t, l});
  if (zocalo1_) zocalo1_->Lineas(t, l);
  if (zocalo2_) {
    TLineasSim l2 = l;
    l2.Vpp = l.Vpp2;
    zocalo2_->Lineas(t, l2);
  }
}

uint8_t TAdaptadorSim::Lectura(uint16_t direccion, uint8_t registro) const {
  const TCableadoSim& c = Cableado;
  if (direccion != c.AddrS) return registro;
  bool linea = LineaDato();
  if (Falla == TFallaAdaptador::DatoPegadoAlto) linea = true;
  if (Falla == TFallaAdaptador::DatoPegadoBajo) linea = false;
  const bool bit = linea != c.Inv_Read;
  return static_cast<uint8_t>(bit ? registro | c.Bit_Read : registro & ~c.Bit_Read);
}
