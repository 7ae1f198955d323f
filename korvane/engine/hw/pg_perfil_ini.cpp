// Hardware profile files: section "Hardware" of an ini file per adapter.
#include <algorithm>
#include <filesystem>
#include <set>

#include "CarpetaPrograma.h"
#include "RegAuto.h"
#include "pg_perfil.h"
#include "pg_puertos.h"

namespace fs = std::filesystem;

namespace {

const std::string Seccion = "Hardware";
const std::string Extension = ".prf";
const std::string Carpeta = "Hardware/";
const std::string PrefijoVidPid = "vid_04d8&pid_52";

std::string Recorta(std::string s) {
  const auto blanco = [](unsigned char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blanco(s.back())) s.pop_back();
  s.erase(s.begin(), std::find_if(s.begin(), s.end(), [&](unsigned char c) { return !blanco(c); }));
  return s;
}

// The profile's own name: blanks and the extension off, nothing that leaves the folder.
std::string NombreValido(const std::string& nombre) {
  std::string n = Recorta(nombre);
  if (n.size() >= Extension.size() && n.compare(n.size() - Extension.size(), Extension.size(), Extension) == 0)
    n = Recorta(n.substr(0, n.size() - Extension.size()));
  if (n.empty() || n == "." || n.find('/') != std::string::npos || n.find('\\') != std::string::npos ||
      n.find("..") != std::string::npos || n.find('\0') != std::string::npos)
    return {};
  return n;
}

TRegAuto Almacen(const std::string& ruta) {
  TRegAuto ini;
  ini.Storage = raIniFile;
  ini.IniFile = ruta;
  return ini;
}

uint16_t LeeU16(const TRegAuto& ini, const char* clave, uint16_t defecto) {
  return static_cast<uint16_t>(ini.ReadInteger(Seccion, clave, defecto));
}
uint8_t LeeU8(const TRegAuto& ini, const char* clave, uint8_t defecto) {
  return static_cast<uint8_t>(ini.ReadInteger(Seccion, clave, defecto));
}
bool LeeBool(const TRegAuto& ini, const char* clave, bool defecto) {
  return inttoBool(ini.ReadInteger(Seccion, clave, booltoInt(defecto)));
}

}  // namespace

std::string RutaPerfil(const std::string& nombre) {
  const std::string n = NombreValido(nombre);
  return n.empty() ? std::string() : Carpeta + n + Extension;
}

bool LeePerfilHardware(const std::string& nombre) {
  const std::string ruta = RutaPerfil(nombre);
  PonPinesPorDefecto(0x378);
  if (ruta.empty()) return false;
  const TRegAuto ini = Almacen(ruta);
  std::error_code ec;
  const bool existe = fs::exists(ini.ArchivoLectura(), ec);

  // Reading order and defaults: each line address defaults to what was just read.
  AddrB = LeeU16(ini, "AddrB", DaDireccionPuerto(4));
  AddrD = LeeU16(ini, "AddrD", AddrB);
  AddrC = LeeU16(ini, "AddrC", AddrD);
  AddrV = LeeU16(ini, "AddrV", AddrD);
  AddrV2 = LeeU16(ini, "AddrV2", AddrD);
  AddrM = LeeU16(ini, "AddrM", AddrD);
  AddrVdd = LeeU16(ini, "AddrVdd", AddrB);
  AddrS = LeeU16(ini, "AddrS", static_cast<uint16_t>(AddrB + 1));
  Bit_Data = LeeU8(ini, "Bit_Data", 1);
  Bit_Clock = LeeU8(ini, "Bit_Clock", 2);
  Bit_Vpp = LeeU8(ini, "Bit_Vpp", 4);
  Bit_Vpp2 = LeeU8(ini, "Bit_Vpp2", 16);
  Bit_Read = LeeU8(ini, "Bit_Read", 128);
  Bit_Vdd = LeeU8(ini, "Bit_Vdd", 8);
  Bit_Mclr = LeeU8(ini, "Bit_Mclr", 32);
  Inv_Data = LeeBool(ini, "Inv_Data", true);
  Inv_Clock = LeeBool(ini, "Inv_Clock", true);
  Inv_Vpp = LeeBool(ini, "Inv_Vpp", true);
  Inv_Vpp2 = LeeBool(ini, "Inv_Vpp2", true);
  Inv_Read = LeeBool(ini, "Inv_Read", true);
  Inv_Vdd = LeeBool(ini, "Inv_Vdd", true);
  Inv_Mclr = LeeBool(ini, "Inv_Mclr", true);
  Usa_Vdd = LeeBool(ini, "Usa_Vdd", true);
  Usa_Vpp2 = LeeBool(ini, "Usa_Vpp2", false);
  Usa_Mclr = LeeBool(ini, "Usa_Mclr", false);
  USB_COM = LeeBool(ini, "USB_COM", false);
  ADDR_USB_COM = ini.ReadString(Seccion, "ADDR_USB_COM", "COM1");
  USB_ = LeeBool(ini, "USB_", false);
  ADDR_USB_ = ini.ReadString(Seccion, "ADDR_USB_", "Ind.#0");
  std::string pid = ini.ReadString(Seccion, "pid", "00");
  pid = (pid + "00").substr(0, 2);
  VidPid = PrefijoVidPid + pid;
  DEF_BIT_DATA = LeeBool(ini, "DEF_BIT_DATA", false);
  DEF_BIT_CLOCK = LeeBool(ini, "DEF_BIT_CLOCK", false);
  DEF_BIT_VPP = LeeBool(ini, "DEF_BIT_VPP", false);
  DEF_BIT_VPP2 = LeeBool(ini, "DEF_BIT_VPP2", false);
  DEF_BIT_MCLR = LeeBool(ini, "DEF_BIT_MCLR", false);
  DEF_BIT_VDD = LeeBool(ini, "DEF_BIT_VDD", false);
  NodoPuerto = Recorta(ini.ReadString(Seccion, "Nodo", ""));
  return existe;
}

std::string PerfilSinAjustes(const std::string& nombre) {
  const std::string ruta = RutaPerfil(nombre);
  if (ruta.empty()) return {};
  const TRegAuto ini = Almacen(ruta);
  std::error_code ec;
  const std::string archivo = ini.ArchivoLectura();
  if (!fs::exists(archivo, ec)) return {};
  // A value no profile can hold marks a missing key.
  static const char* const claves[] = {
      "AddrB",    "AddrD",    "AddrC",        "AddrS",     "AddrV",        "AddrV2",        "AddrVdd",
      "AddrM",    "Bit_Data", "Bit_Clock",    "Bit_Vpp",   "Bit_Vpp2",     "Bit_Read",      "Bit_Vdd",
      "Bit_Mclr", "Inv_Data", "Inv_Clock",    "Inv_Vpp",   "Inv_Vpp2",     "Inv_Read",      "Inv_Vdd",
      "Inv_Mclr", "Usa_Vdd",  "Usa_Vpp2",     "Usa_Mclr",  "USB_COM",      "ADDR_USB_COM",  "USB_",
      "ADDR_USB_", "pid",     "DEF_BIT_DATA", "DEF_BIT_CLOCK", "DEF_BIT_VPP", "DEF_BIT_VPP2", "DEF_BIT_MCLR",
      "DEF_BIT_VDD", "Nodo"};
  for (const char* clave : claves)
    if (ini.ReadString(Seccion, clave, "\x01") != "\x01") return {};
  return archivo;
}

bool GuardaPerfilHardware(const std::string& nombre) {
  const std::string ruta = RutaPerfil(nombre);
  if (ruta.empty()) return false;
  if (USB_COM) {
    Usa_Vdd = true;
    Usa_Mclr = true;
  }
  TRegAuto ini = Almacen(ruta);
  bool ok = true;
  const auto entero = [&](const char* clave, int v) { ok = ini.WriteInteger(Seccion, clave, v) && ok; };
  const auto texto = [&](const char* clave, const std::string& v) { ok = ini.WriteString(Seccion, clave, v) && ok; };
  entero("AddrB", AddrB);
  entero("AddrD", AddrD);
  entero("AddrC", AddrC);
  entero("AddrS", AddrS);
  entero("AddrV", AddrV);
  entero("AddrV2", AddrV2);
  entero("AddrVdd", AddrVdd);
  entero("AddrM", AddrM);
  entero("Bit_Data", Bit_Data);
  entero("Bit_Clock", Bit_Clock);
  entero("Bit_Vpp", Bit_Vpp);
  entero("Bit_Vpp2", Bit_Vpp2);
  entero("Bit_Read", Bit_Read);
  entero("Bit_Vdd", Bit_Vdd);
  entero("Bit_Mclr", Bit_Mclr);
  entero("Inv_Data", booltoInt(Inv_Data));
  entero("Inv_Clock", booltoInt(Inv_Clock));
  entero("Inv_Vpp", booltoInt(Inv_Vpp));
  entero("Inv_Vpp2", booltoInt(Inv_Vpp2));
  entero("Inv_Read", booltoInt(Inv_Read));
  entero("Inv_Vdd", booltoInt(Inv_Vdd));
  entero("Inv_Mclr", booltoInt(Inv_Mclr));
  entero("Usa_Vdd", booltoInt(Usa_Vdd));
  entero("Usa_Vpp2", booltoInt(Usa_Vpp2));
  entero("Usa_Mclr", booltoInt(Usa_Mclr));
  entero("USB_COM", booltoInt(USB_COM));
  texto("ADDR_USB_COM", ADDR_USB_COM);
  entero("USB_", booltoInt(USB_));
  texto("ADDR_USB_", ADDR_USB_);
  texto("pid", VidPid.size() >= 17 ? VidPid.substr(15, 2) : std::string("00"));
  entero("DEF_BIT_DATA", booltoInt(DEF_BIT_DATA));
  entero("DEF_BIT_CLOCK", booltoInt(DEF_BIT_CLOCK));
  entero("DEF_BIT_VPP", booltoInt(DEF_BIT_VPP));
  entero("DEF_BIT_VPP2", booltoInt(DEF_BIT_VPP2));
  entero("DEF_BIT_MCLR", booltoInt(DEF_BIT_MCLR));
  entero("DEF_BIT_VDD", booltoInt(DEF_BIT_VDD));
  // The device node is kept only by profiles that name one.
  if (!NodoPuerto.empty() || ini.ReadString(Seccion, "Nodo", "\x01") != "\x01") texto("Nodo", NodoPuerto);
  return ok;
}

std::vector<std::string> ListaPerfilesHardware() {
  std::set<std::string> nombres;
  for (const std::string& carpeta : {CarpetaPrograma() + Carpeta, CarpetaConfiguracion() + Carpeta}) {
    std::error_code ec;
    for (fs::directory_iterator it(carpeta, ec), fin; !ec && it != fin; it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      const fs::path p = it->path();
      if (p.extension() == Extension && !NombreValido(p.stem().string()).empty())
        nombres.insert(NombreValido(p.stem().string()));
    }
  }
  return {nombres.begin(), nombres.end()};
}

bool BorraPerfilHardware(const std::string& nombre) {
  const std::string ruta = RutaPerfil(nombre);
  if (ruta.empty()) return false;
  std::error_code ec;
  bool borrado = false;
  for (const std::string& archivo : {CarpetaConfiguracion() + ruta, RutaEscritura(ruta)})
    if (fs::remove(archivo, ec)) borrado = true;
  return borrado;
}
