// The hardware check before an operation and the adapter's loop-back test.
#include <chrono>
#include <cstdlib>
#include <random>
#include <set>

#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_perfil.h"
#include "pg_port.h"
#include "pg_puertos.h"
#include "pg_time.h"

std::function<uint8_t(std::array<uint8_t, 6>&)> IdentificaFirmware;
std::function<std::string()> VersionFirmware;

bool TestLazo() {
  if (ClaseDispositivo == 2 && TipoEnlace() == TTipoEnlace::teCOM) {
    // A serial EEPROM on a COM adapter takes its supply from these lines.
    DatoAlto();
    ClockAlto();
    VppOn();
    EsperaMs(100);
  }
  std::minstd_rand azar(static_cast<uint32_t>(
      std::chrono::steady_clock::now().time_since_epoch().count()));
  auto random255 = [&azar] { return static_cast<uint16_t>(azar() % 255); };
  const uint16_t patron = static_cast<uint16_t>(0xA050 | ((random255() << 8) & 0x0F00) |
                                                (random255() & 0x000F));
  uint16_t leido = 0;
  for (int i = 0; i < 16; ++i) {
    EsperaUs(MedioBitUs);
    (patron >> i) & 1 ? DatoAlto() : DatoBajo();
    EsperaUs(MedioBitUs);
    leido |= static_cast<uint16_t>(LeeDato() << i);
  }
  PinesReposo();
  if (leido == patron) return false;
  MuestraError(ContextoError, ErrHardware);
  return true;
}

namespace {

bool FallaComprobacion() {
  InterfazOperacion().Log(" " + TextoIdioma("pg_err*", "42*"));
  ResultadoAccion = 255;
  return false;
}

// The profile and the port must be usable before any test or operation:
// a profile error or an unavailable port is reported with its reason.
bool EnlacePinesUtilizable() {
  if (!PerfilPinesValido()) return false;
  std::string error;
  if (AseguraAccesoPuerto(AddrB, error)) {
    // The idle levels were just written: a port that refused them (a
    // terminal without modem lines, a device gone) is no working link.
    error = UltimoErrorPuerto();
    if (error.empty()) return true;
  }
  InterfazOperacion().Mensaje(error);
  InterfazOperacion().Log(error);
  return false;
}

}  // namespace

bool EsAdaptadorUsbSerie(const std::string& nodo) {
  std::string real = nodo;
  if (char* r = ::realpath(nodo.c_str(), nullptr)) {
    real = r;
    std::free(r);
  }
  const std::string nombre = real.substr(real.find_last_of('/') + 1);
  return nombre.starts_with("ttyUSB") || nombre.starts_with("ttyACM");
}

namespace {

// A USB-serial adapter reports CTS and DSR changes only with its next
// status packet, so a pin-level profile reads the data line stale through
// it. Said once per port and run: the user may have no other port.
void AvisaAdaptadorUsbSerie() {
  static std::set<std::string> avisados;
  if (TipoEnlace() != TTipoEnlace::teCOM) return;
  const std::string nodo = NodoDePuerto(DaIndicePuerto(AddrB));
  if (!EsAdaptadorUsbSerie(nodo) || !avisados.insert(nodo).second) return;
  const std::string aviso =
      " " + NombrePuertoTabla(AddrB) + " (" + nodo + ") " + TextoIdioma("pg_avisos*", "3*");
  InterfazOperacion().Mensaje(aviso);
  InterfazOperacion().Log(aviso);
}

}  // namespace

bool PerfilPinesValido() {
  std::string error;
  if (ValidaPines(error)) {
    AvisaAdaptadorUsbSerie();
    return true;
  }
  error = " " + TextoIdioma("pg_err*", "37*") + " " + NombrePuertoTabla(AddrB) + ": " + error;
  InterfazOperacion().Mensaje(error);
  InterfazOperacion().Log(error);
  return false;
}

bool CompruebaHardware() {
  MedioBitUs = DaIndicePuerto(AddrB) < 4 ? 4 : 1;
  if (!USB_COM && !EnlacePinesUtilizable()) return FallaComprobacion();
  if (!USB_COM && TipoAccion != 8) return true;
  InterfazOperacion().Log(" " + TextosEntorno[10]);
  bool paso;
  if (USB_COM) {
    std::array<uint8_t, 6> respuesta{};
    if (!IdentificaFirmware) {
      InterfazOperacion().Log(" " + TextoIdioma("pg_err*", "37*") + " " + TextoPuerto(9));
      paso = false;
    } else if (IdentificaFirmware(respuesta) != 0) {
      paso = false;  // no answer: the read has reported its error
    } else if (respuesta[0] == 'O' && respuesta[1] == 'k') {
      paso = true;
    } else {
      MuestraError(ContextoError, ErrHardware);
      paso = false;
    }
  } else {
    paso = !TestLazo();
  }
  if (!paso) return FallaComprobacion();
  const std::string version = USB_COM && VersionFirmware ? VersionFirmware() : std::string();
  InterfazOperacion().CambiaUltimaLinea(" " + TextosEntorno[11] + version);
  return true;
}
