#include "sim_banco.h"

#include "hw/pg_perfil.h"
#include "hw/pg_port.h"

void PonPerfilLptSim(bool vpp2, bool mclr) {
  PonPinesPorDefecto(0x378);
  Usa_Vpp2 = vpp2;
  Usa_Mclr = mclr;
  PerfilHardware = "Sim";
  SombraBase = SombraOtro = 0;
}

void PonPerfilComSim() {
  PonPinesPorDefecto(0x3F8);
  AddrD = AddrC = AddrM = AddrVdd = 0x3FC;
  AddrV = AddrV2 = 0x3FB;
  AddrS = 0x3FE;
  Bit_Data = 0x01;   // DTR
  Bit_Clock = 0x02;  // RTS
  Bit_Vpp = 0x40;    // TXD
  Bit_Read = 0x10;   // CTS
  Inv_Data = Inv_Clock = Inv_Vpp = Inv_Vpp2 = Inv_Read = Inv_Vdd = Inv_Mclr = false;
  Usa_Vdd = false;
  PerfilHardware = "Sim";
  SombraBase = SombraOtro = 0;
}
