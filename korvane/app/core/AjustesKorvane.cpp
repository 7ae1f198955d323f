#include "AjustesKorvane.h"

#include <cctype>

#include "RegAuto.h"
#include "pg_catalogo.h"

namespace {

constexpr const char* kParametros = "Parametros";
constexpr const char* kRecientes = "Recientes";

uint8_t IndiceLista(int32_t valor, std::size_t cuenta) {
  return valor >= 0 && static_cast<std::size_t>(valor) < cuenta ? static_cast<uint8_t>(valor) : 0;
}

int Digito(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string SoloDigitos(const std::string& texto) {
  std::string r;
  for (char c : texto)
    if (Digito(c) >= 0) r += c;
  return r;
}

}  // namespace

TAjustes LeeAjustes(const TRegAuto& ini) {
  TAjustes a;
  auto entero = [&](const char* clave, int32_t defecto) { return ini.ReadInteger(kParametros, clave, defecto); };
  auto logico = [&](const char* clave, bool defecto) { return entero(clave, defecto ? 1 : 0) != 0; };
  a.Pic = IndiceLista(entero("Pic", 0), NumListPics);
  a.PicC = IndiceLista(entero("PicC", 0), NumListPicsC);
  a.I2C = IndiceLista(entero("I2C", 0), NumListEeprom);
  a.Dev = IndiceLista(entero("Dev", 0), 3);
  a.ClosW = logico("ClosW", false);
  a.InitDir = ini.ReadString(kParametros, "InitDir", "");
  a.TPH = ini.ReadString(kParametros, "TPH", "Korvane");
  a.VDurante = logico("VDurante", true);
  a.VDespues = logico("VDespues", false);
  a.PMsgs = logico("PMsgs", false);
  a.AutoPic = logico("AutoPic", true);
  a.AutoSel = logico("AutoSel", false);
  a.Reabrir = logico("Reabrir", false);
  std::vector<std::string> lista;
  ini.ReadStrings(kRecientes, "f", lista);
  for (const auto& n : lista)
    if (NombreRecienteValido(n) && a.Recientes.size() < kMaxRecientes) a.Recientes.push_back(n);
  return a;
}

bool GuardaAjustes(TRegAuto& ini, const TAjustes& a) {
  bool ok = true;
  auto entero = [&](const char* clave, int32_t valor) { ok = ini.WriteInteger(kParametros, clave, valor) && ok; };
  entero("Pic", a.Pic);
  entero("PicC", a.PicC);
  entero("I2C", a.I2C);
  entero("Dev", a.Dev);
  entero("ClosW", a.ClosW);
  ok = ini.WriteString(kParametros, "InitDir", a.InitDir) && ok;
  ok = ini.WriteString(kParametros, "TPH", a.TPH) && ok;
  entero("VDurante", a.VDurante);
  entero("VDespues", a.VDespues);
  entero("PMsgs", a.PMsgs);
  entero("AutoPic", a.AutoPic);
  entero("AutoSel", a.AutoSel);
  entero("Reabrir", a.Reabrir);
  std::vector<std::string> lista;
  for (const auto& n : a.Recientes)
    if (NombreRecienteValido(n)) lista.push_back(n);
  ok = ini.WriteStrings(kRecientes, "f", lista) && ok;
  return ok;
}

bool NombreRecienteValido(const std::string& nombre) {
  return !nombre.empty() && nombre.find_first_of("|\r\n") == std::string::npos;
}

void AgregaReciente(std::vector<std::string>& lista, const std::string& nombre) {
  if (!NombreRecienteValido(nombre)) return;
  for (auto it = lista.begin(); it != lista.end(); ++it)
    if (*it == nombre) {
      lista.erase(it);
      break;
    }
  lista.insert(lista.begin(), nombre);
  if (lista.size() > kMaxRecientes) lista.resize(kMaxRecientes);
}

std::string TextoCampoArchivo(const std::string& nombre, bool maximizada) {
  const std::string texto = " " + nombre;
  const std::size_t limite = maximizada ? 175 : 88;
  const std::size_t corte = maximizada ? 172 : 86;
  if (nombre.size() >= limite) return texto.substr(0, corte) + "....";
  return texto;
}

std::optional<uint32_t> HextoInt(const std::string& texto) {
  if (texto.empty() || texto.size() > 8) return std::nullopt;
  uint32_t r = 0;
  for (char c : texto) {
    const int d = Digito(c);
    if (d < 0) return std::nullopt;
    r = r * 16 + static_cast<uint32_t>(d);
  }
  return r;
}

std::string PosIzquierda(const std::string& texto, uint8_t ancho) {
  if (texto.size() >= ancho) return texto;
  return std::string(ancho - texto.size(), ' ') + texto;
}

std::string RecortaBusqueda(const std::string& texto) {
  std::string r = SoloDigitos(texto);
  if (r.size() % 2) r.pop_back();
  return r;
}

std::vector<uint8_t> BytesBusqueda(const std::string& texto) {
  const std::string d = RecortaBusqueda(texto);
  std::vector<uint8_t> r;
  for (std::size_t i = 0; i + 1 < d.size(); i += 2)
    r.push_back(static_cast<uint8_t>(Digito(d[i]) * 16 + Digito(d[i + 1])));
  return r;
}

std::string MensajeNoEncontrado(const std::string& texto4, const std::string& texto0, const std::string& busqueda) {
  std::string r = texto4 + "\n" + texto0 + " " + busqueda.substr(0, 50);
  if (busqueda.size() > 50) r += "...";
  return r;
}

uint32_t AjustaDireccionLlenar(uint32_t valor, uint32_t ultima) {
  if (valor <= ultima) return valor;
  const uint64_t tam = uint64_t{ultima} + 1;
  if ((tam & (tam - 1)) == 0) return valor & ultima;
  return ultima;
}
