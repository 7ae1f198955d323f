#include "pg_puertos.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>

#include "fw/pg_enlace_fw.h"
#include "pg_backends.h"
#include "pg_entorno.h"
#include "pg_idioma.h"
#include "pg_perfil.h"
#include "pg_sistema.h"

namespace {

struct TPuertoTabla {
  const char* nombre;
  uint16_t base;
};
constexpr std::array<TPuertoTabla, NumPuertos> tabla = {{
    {"COM1", 0x3F8}, {"COM2", 0x2F8}, {"COM3", 0x3E8}, {"COM4", 0x2E8},
    {"LPT1", 0x378}, {"LPT2", 0x278}, {"LPT3", 0x3BC},
}};

uint16_t AnchoRegistros(int indice) { return indice < 4 ? 8 : 3; }

// The machine's ports, claimed on first use and kept until LiberaPuertosES.
class TPuertosMaquina final : public TPuertoES {
public:
  bool Lee(uint16_t direccion, uint8_t& valor) override {
    TPuertoES* p = Puerto(IndiceRegistroPuerto(direccion));
    return p && p->Lee(direccion, valor);
  }
  bool Escribe(uint16_t direccion, uint8_t valor) override {
    TPuertoES* p = Puerto(IndiceRegistroPuerto(direccion));
    return p && p->Escribe(direccion, valor);
  }
  bool Asegura(int indice, std::string& error) {
    if (indice < 0) return false;
    if (!abiertos_[indice]) {
      const uint16_t base = tabla[indice].base;
      const char* directo = std::getenv("KORVANE_PUERTO_DIRECTO");
      if (directo && *directo == '1')
        abiertos_[indice] = AbreDirecto(base, AnchoRegistros(indice), error);
      else if (indice >= 4)
        abiertos_[indice] = AbrePpdev(base, NodoDePuerto(indice), error);
      else
        abiertos_[indice] = AbreTtyLineas(base, NodoDePuerto(indice), error);
    }
    return abiertos_[indice] != nullptr;
  }
  void Libera() {
    for (auto& p : abiertos_) p.reset();
  }

private:
  TPuertoES* Puerto(int indice) {
    if (indice < 0) return nullptr;
    std::string error;
    if (!Asegura(indice, error)) {
      // Reported once per failed claim; the writes that follow fail quietly.
      if (error != ultimoError_) AnotaError(error);
      ultimoError_ = error;
      return nullptr;
    }
    ultimoError_.clear();
    return abiertos_[indice].get();
  }
  static void AnotaError(const std::string& e);
  std::array<std::unique_ptr<TPuertoES>, NumPuertos> abiertos_;
  std::string ultimoError_;
};

TPuertosMaquina puertosMaquina;
TPuertoES* puertoActual = &puertosMaquina;
std::string errorPuerto;

void TPuertosMaquina::AnotaError(const std::string& e) { errorPuerto = e; }

// Keeps the reason of a failed access for the hardware check; a backend
// that gives none (the simulated port) still leaves a failure behind.
void AnotaAcceso(uint16_t direccion) {
  std::string e = TomaErrorAcceso();
  if (!e.empty()) {
    errorPuerto = std::move(e);
  } else if (errorPuerto.empty()) {
    char dir[8];
    std::snprintf(dir, sizeof dir, "0x%03X", direccion);
    errorPuerto = " " + TextoIdioma("pg_err*", "37*") + " " +
                  NombrePuertoTabla(DaDireccionPuerto(IndiceRegistroPuerto(direccion))) + ": " +
                  TextoPuerto(6) + " " + dir;
  }
}

}  // namespace

// --- Port table ----------------------------------------------------------------

uint16_t DaDireccionPuerto(int indice) {
  return indice >= 0 && indice < NumPuertos ? tabla[indice].base : 0x3F8;
}

int DaIndicePuerto(uint16_t direccion) {
  for (int i = 0; i < NumPuertos; ++i)
    if (tabla[i].base == direccion) return i;
  return 0;
}

std::string NombrePuertoTabla(uint16_t direccion) {
  for (const auto& p : tabla)
    if (p.base == direccion) return p.nombre;
  return {};
}

int IndiceRegistroPuerto(uint16_t direccion) {
  for (int i = 0; i < NumPuertos; ++i)
    if (direccion >= tabla[i].base && direccion < tabla[i].base + AnchoRegistros(i)) return i;
  return -1;
}

int DaNumeroBit(uint8_t mascara, int defecto) {
  for (int b = 0; b < 8; ++b)
    if (mascara == (1u << b)) return b;
  return defecto;
}

uint8_t DaMascaraBit(int bit, uint8_t defecto) {
  return bit >= 0 && bit < 8 ? static_cast<uint8_t>(1u << bit) : defecto;
}

std::string DaNombrePuerto(uint16_t direccion) {
  if (USB_COM && USB_) return "#" + (ADDR_USB_.size() >= 6 ? ADDR_USB_.substr(5, 1) : std::string());
  if (USB_COM) return ADDR_USB_COM;
  return NombrePuertoTabla(direccion);
}

std::string NodoSerie(const std::string& nombre) {
  if (nombre.size() > 3 && (nombre.compare(0, 3, "COM") == 0 || nombre.compare(0, 3, "com") == 0)) {
    const std::string n = nombre.substr(3);
    if (std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; }) && n.size() <= 3) {
      const int numero = std::stoi(n);
      if (numero >= 1) return "/dev/ttyS" + std::to_string(numero - 1);
    }
  }
  if (!nombre.empty() && nombre[0] == '/') return nombre;
  return "/dev/" + nombre;
}

std::string NodoDePuerto(int indice) {
  if (!NodoPuerto.empty() && indice == DaIndicePuerto(AddrB) && tabla[indice].base == AddrB)
    return NodoPuerto;
  return indice >= 4 ? "/dev/parport" + std::to_string(indice - 4) : "/dev/ttyS" + std::to_string(indice);
}

// --- Link ------------------------------------------------------------------------

int hPuerto = -1;
int hPuertoOut = -1;
bool PuertoAbiertoFlag = false;

std::function<bool(int)> AbreUsbFirmware;
std::function<void()> CierraUsbFirmware;
std::function<std::vector<std::string>()> ListaUsbFirmware;
std::function<std::string()> MotivoFalloUsbFirmware;

namespace {

void MuestraFalloEnlace(bool mostrar, const std::string& texto) {
  if (!mostrar) return;
  InterfazOperacion().Mensaje(texto);
  InterfazOperacion().Log(texto);
}

}  // namespace

bool AbrePuerto(uint16_t addrB, bool usbCom, const std::string& addrUsbCom, const std::string& addrUsb,
                bool usb, bool mostrarErrores) {
  const std::string sinEnlace = " " + TextoIdioma("pg_err*", "37*") + " ";
  errorPuerto.clear();
  if (usbCom && usb) {
    if (PuertoAbiertoFlag) CierraPuerto(true);
    const char c = addrUsb.size() >= 6 ? addrUsb[5] : '0';
    const int instancia = c >= '0' && c <= '9' ? c - '0' : 0;
    if (AbreUsbFirmware && AbreUsbFirmware(instancia)) {
      PuertoAbiertoFlag = true;
      return true;
    }
    const std::string motivo = !AbreUsbFirmware ? TextoPuerto(9) : MotivoFalloUsbFirmware ? MotivoFalloUsbFirmware() : "";
    MuestraFalloEnlace(mostrarErrores, sinEnlace + addrUsb + (motivo.empty() ? "" : ": " + motivo));
    return false;
  }
  if (usbCom) {
    if (PuertoAbiertoFlag) CierraPuerto(false);
    if (!AbreSerieFw(NodoSerie(addrUsbCom), mostrarErrores)) return false;  // it said why
    hPuerto = PuertoFw().Fd();
    PuertoAbiertoFlag = true;
    return true;
  }
  // Pin-level adapters: claim the port now, so that a missing module, a
  // permission or a busy port stops the operation before any line moves.
  const int indice = IndiceRegistroPuerto(addrB);
  if (indice < 0 || DaDireccionPuerto(indice) != addrB) {
    MuestraFalloEnlace(mostrarErrores, sinEnlace + NombrePuertoTabla(addrB) + ": " + TextoPuerto(7));
    return false;
  }
  std::string error;
  if (!AseguraAccesoPuerto(addrB, error)) {
    MuestraFalloEnlace(mostrarErrores, error);
    return false;
  }
  PuertoAbiertoFlag = true;
  return true;
}

void CierraPuerto(bool usb) {
  if (usb && CierraUsbFirmware) CierraUsbFirmware();
  if (hPuerto >= 0) CierraSerieFw();
  LiberaPuertosES();
  hPuerto = hPuertoOut = -1;
  PuertoAbiertoFlag = false;
}

bool PuertoAbierto() { return PuertoAbiertoFlag; }

namespace {

// A serial device that answers, or that exists but is held by someone else.
bool SeriePresente(const std::string& nodo) {
  TSistemaES& s = SistemaES();
  const int fd = s.Abre(nodo.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EACCES || errno == EBUSY;
  int m = 0;
  // A ttyS node without a UART behind it opens but has no modem lines.
  const bool lineas = s.Ioctl(fd, TIOCMGET, &m) == 0 || errno == ENOTTY || errno == EINVAL;
  s.Cierra(fd);
  return lineas;
}

}  // namespace

void ListaPuertos(std::vector<std::string>& lista, bool firmware, bool usb) {
  lista.clear();
  if (usb) {
    if (ListaUsbFirmware) lista = ListaUsbFirmware();
    return;
  }
  if (!firmware) {
    for (int n = 1; n <= 3; ++n)
      if (SeriePresente("/dev/ttyS" + std::to_string(n - 1))) lista.push_back("COM" + std::to_string(n));
    return;
  }
  std::vector<std::string> nodos;
  if (DIR* d = opendir("/dev")) {
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n.rfind("ttyUSB", 0) == 0 || n.rfind("ttyACM", 0) == 0 || n.rfind("ttyS", 0) == 0)
        nodos.push_back("/dev/" + n);
    }
    closedir(d);
  }
  std::sort(nodos.begin(), nodos.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  for (const auto& n : nodos)
    if (SeriePresente(n)) lista.push_back(n);
}

// --- Port I/O ----------------------------------------------------------------------

TPuertoES* PonPuertoES(TPuertoES* puerto) {
  TPuertoES* anterior = puertoActual == &puertosMaquina ? nullptr : puertoActual;
  puertoActual = puerto ? puerto : &puertosMaquina;
  return anterior;
}

uint8_t LeePuertoES(uint16_t puerto) {
  uint8_t v = LecturaFallida;
  if (IndiceRegistroPuerto(puerto) < 0) return LecturaFallida;
  if (!puertoActual->Lee(puerto, v)) {
    AnotaAcceso(puerto);
    return LecturaFallida;
  }
  return v;
}

bool EscribePuertoES(uint16_t puerto, uint8_t valor) {
  if (IndiceRegistroPuerto(puerto) < 0) return false;
  if (!puertoActual->Escribe(puerto, valor)) {
    AnotaAcceso(puerto);
    return false;
  }
  return true;
}

bool AseguraAccesoPuerto(uint16_t base, std::string& error) {
  const int indice = IndiceRegistroPuerto(base);
  if (indice < 0) {
    error = " " + TextoIdioma("pg_err*", "37*") + " " + TextoPuerto(7);
    return false;
  }
  if (puertoActual != &puertosMaquina) return true;
  return puertosMaquina.Asegura(indice, error);
}

void LiberaPuertosES() {
  puertosMaquina.Libera();
  errorPuerto.clear();
}

std::string UltimoErrorPuerto() {
  std::string e;
  e.swap(errorPuerto);
  return e;
}
