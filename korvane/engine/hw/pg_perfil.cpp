#include "pg_perfil.h"

#include "pg_puertos.h"

bool Usa_Vdd = false, Usa_Vpp2 = false, Usa_Mclr = false;
uint16_t AddrB = 0, AddrD = 0, AddrC = 0, AddrM = 0, AddrS = 0, AddrV = 0, AddrV2 = 0, AddrVdd = 0;
uint8_t Bit_Data = 0, Bit_Clock = 0, Bit_Vpp = 0, Bit_Vpp2 = 0, Bit_Read = 0, Bit_Mclr = 0, Bit_Vdd = 0;
bool Inv_Data = false, Inv_Clock = false, Inv_Vpp = false, Inv_Vpp2 = false, Inv_Read = false,
     Inv_Mclr = false, Inv_Vdd = false;
bool DEF_BIT_DATA = false, DEF_BIT_CLOCK = false, DEF_BIT_VPP = false, DEF_BIT_VPP2 = false,
     DEF_BIT_MCLR = false, DEF_BIT_VDD = false;

bool USB_COM = false;
bool USB_ = false;
std::string ADDR_USB_COM;
std::string ADDR_USB_;
std::string VidPid;
std::string PerfilHardware;
std::string DirAplicacion;
std::string NodoPuerto;

TTipoEnlace TipoEnlace() {
  if (USB_COM) return USB_ ? TTipoEnlace::teUSB : TTipoEnlace::teUSB232;
  return DaIndicePuerto(AddrB) >= 4 ? TTipoEnlace::teLPT : TTipoEnlace::teCOM;
}

void PonPinesPorDefecto(uint16_t addrB) {
  AddrB = addrB;
  AddrD = AddrC = AddrV = AddrV2 = AddrM = AddrB;
  AddrVdd = AddrB;
  AddrS = static_cast<uint16_t>(AddrB + 1);
  Bit_Data = 1;
  Bit_Clock = 2;
  Bit_Vpp = 4;
  Bit_Vpp2 = 16;
  Bit_Read = 128;
  Bit_Vdd = 8;
  Bit_Mclr = 32;
  Inv_Data = Inv_Clock = Inv_Vpp = Inv_Vpp2 = Inv_Read = Inv_Vdd = Inv_Mclr = true;
  Usa_Vdd = true;
  Usa_Vpp2 = false;
  Usa_Mclr = false;
  USB_COM = false;
  ADDR_USB_COM = "COM1";
  USB_ = false;
  ADDR_USB_ = "Ind.#0";
  VidPid = "vid_04d8&pid_5200";
  NodoPuerto.clear();
  DEF_BIT_DATA = DEF_BIT_CLOCK = DEF_BIT_VPP = DEF_BIT_VPP2 = DEF_BIT_MCLR = DEF_BIT_VDD = false;
}
