#include "PerfilHarw.h"

#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"

const std::array<const char*, 8>& NombresBits(TRegistroPerfil registro) {
  static const std::array<const char*, 8> nombres[] = {
      {"0", "1", "2", "3", "4", "5", "6", "7"},
      {"Strobe", "AutLF", "Reset", "Select", "EnIRQ", "-", "-", "-"},
      {"-", "-", "-", "ERR", "SLI", "POUT", "ACK", "BUSY"},
      {"DTR", "RTS", "-", "-", "-", "-", "-", "-"},
      {"-", "-", "-", "-", "-", "-", "TXD", "-"},
      {"-", "-", "-", "-", "CTS", "DSR", "RI", "DCD"},
  };
  return nombres[static_cast<int>(registro)];
}

uint16_t& DireccionLinea(TLineaPerfil linea) {
  switch (linea) {
    case lpData: return AddrD;
    case lpClock: return AddrC;
    case lpVpp: return AddrV;
    case lpVpp2: return AddrV2;
    case lpVdd: return AddrVdd;
    case lpMclr: return AddrM;
    default: return AddrS;
  }
}

uint8_t& MascaraLinea(TLineaPerfil linea) {
  switch (linea) {
    case lpData: return Bit_Data;
    case lpClock: return Bit_Clock;
    case lpVpp: return Bit_Vpp;
    case lpVpp2: return Bit_Vpp2;
    case lpVdd: return Bit_Vdd;
    case lpMclr: return Bit_Mclr;
    default: return Bit_Read;
  }
}

bool& InversionLinea(TLineaPerfil linea) {
  switch (linea) {
    case lpData: return Inv_Data;
    case lpClock: return Inv_Clock;
    case lpVpp: return Inv_Vpp;
    case lpVpp2: return Inv_Vpp2;
    case lpVdd: return Inv_Vdd;
    case lpMclr: return Inv_Mclr;
    default: return Inv_Read;
  }
}

uint16_t DaAddr_MAS(int eleccion) { return static_cast<uint16_t>(AddrB + (eleccion == 1 ? 2 : 0)); }

int EleccionDeLinea(TLineaPerfil linea) { return DireccionLinea(linea) == AddrB ? 0 : 1; }

TRegistroPerfil RegistroDeLinea(TLineaPerfil linea) {
  if (TipoEnlace() == TTipoEnlace::teCOM) {
    if (linea == lpDataIn) return TRegistroPerfil::ComEstado;
    if (linea == lpVpp || linea == lpVpp2) return TRegistroPerfil::ComLinea;
    return TRegistroPerfil::ComModem;
  }
  if (linea == lpDataIn) return TRegistroPerfil::LptEstado;
  return EleccionDeLinea(linea) == 0 ? TRegistroPerfil::LptDatos : TRegistroPerfil::LptControl;
}

std::string TextoDesplazamiento(TLineaPerfil linea) {
  const int d = static_cast<int>(DireccionLinea(linea)) - static_cast<int>(AddrB);
  return (d < 0 ? "-" : "+") + std::to_string(d < 0 ? -d : d);
}

void PonDireccionesEnlace(const std::array<int, 6>& eleccionesLpt) {
  if (TipoEnlace() == TTipoEnlace::teCOM) {
    AddrD = AddrC = AddrM = AddrVdd = static_cast<uint16_t>(AddrB + 4);
    AddrV = AddrV2 = static_cast<uint16_t>(AddrB + 3);
    AddrS = static_cast<uint16_t>(AddrB + 6);
    return;
  }
  for (int l = lpData; l <= lpMclr; ++l)
    DireccionLinea(static_cast<TLineaPerfil>(l)) = DaAddr_MAS(eleccionesLpt[l]);
  AddrS = static_cast<uint16_t>(AddrB + 1);
}

uint8_t BytePinesFw(const TPruebas& p) {
  uint8_t b = 0x3F;
  if (!p.Data) b &= ~0x01;
  if (!p.Clock) b &= ~0x02;
  if (p.Vdd) b &= ~0x04;
  if (p.Vpp) b &= ~0x08;
  if (p.Vpp2) b &= ~0x10;
  if (!p.Mclr) b &= ~0x20;
  return b;
}

uint8_t LeePort(uint16_t direccion, uint8_t mascara, bool invertir) {
  if (mascara == 0) return 0;
  const uint8_t byte = LeePuertoES(direccion);
  if (invertir) return static_cast<uint8_t>((static_cast<uint8_t>(~(byte & mascara)) / mascara) & 1);
  return static_cast<uint8_t>((byte & mascara) / mascara);
}

TLeds LedsPines() {
  const bool lpt = TipoEnlace() == TTipoEnlace::teLPT;
  TLeds leds{};
  for (int l = lpData; l <= lpMclr; ++l) {
    const auto linea = static_cast<TLineaPerfil>(l);
    const bool usada = (linea != lpVpp2 || Usa_Vpp2) && (linea != lpVdd || Usa_Vdd) &&
                       (linea != lpMclr || Usa_Mclr);
    if (!usada) {
      leds[l] = TLed::Panel;
      continue;
    }
    const bool inv = InversionLinea(linea);
    const bool igual = LeePort(DireccionLinea(linea), MascaraLinea(linea), inv) == (inv ? 1 : 0);
    leds[l] = (lpt ? igual : !igual) ? TLed::Encendido : TLed::Apagado;
  }
  leds[lpDataIn] = LeePort(AddrS, Bit_Read, Inv_Read) == 1 ? TLed::Encendido : TLed::Apagado;
  return leds;
}

TLeds LedsFirmware(uint8_t e) {
  auto led = [](bool encendido) { return encendido ? TLed::Encendido : TLed::Apagado; };
  TLeds leds{};
  leds[lpData] = led(e & 0x01);
  leds[lpDataIn] = led(e & 0x01);
  leds[lpClock] = led(e & 0x02);
  leds[lpVdd] = led(!(e & 0x04));
  leds[lpVpp] = led(!(e & 0x08));
  leds[lpVpp2] = led(!(e & 0x10));
  leds[lpMclr] = led(e & 0x20);
  return leds;
}

bool NombrePerfilValido(const std::string& escrito, std::string& nombre, std::string& motivo) {
  nombre = escrito;
  // Blanks around the name never reach a file name.
  const auto ini = nombre.find_first_not_of(' ');
  nombre = ini == std::string::npos ? std::string() : nombre.substr(ini, nombre.find_last_not_of(' ') - ini + 1);
  const auto punto = nombre.rfind('.');
  if (punto != std::string::npos) nombre.erase(punto);
  while (!nombre.empty() && (nombre.back() == ' ' || nombre.back() == '.')) nombre.pop_back();
  motivo.clear();
  if (nombre.empty()) motivo = "empty";
  else if (nombre.find_first_of("/\\") != std::string::npos) motivo = "separator";
  else {
    for (unsigned char c : nombre)
      if (c < 0x20 || c == 0x7F) motivo = "control";
  }
  if (nombre == "..") motivo = "separator";
  return motivo.empty();
}
