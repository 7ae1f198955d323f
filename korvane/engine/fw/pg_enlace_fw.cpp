#include "fw/pg_enlace_fw.h"

#include "fw/pg_fw.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_idioma.h"

namespace {
TPuertoSerie puertoFw;
std::string dispositivoFw;

const char* ClaveFallo(TFalloSerie fallo) {
  switch (fallo) {
    case TFalloSerie::Configura: return "38*";
    case TFalloSerie::Ajusta: return "39*";
    case TFalloSerie::Purga: return "41*";
    default: return nullptr;
  }
}
}  // namespace

TPuertoSerie& PuertoFw() { return puertoFw; }

const std::string& DispositivoFw() { return dispositivoFw; }

bool AbreSerieFw(const std::string& dispositivo, bool muestraErrores) {
  // The hardware check runs after the link is open; it asks the board
  // through these (a test may have put its own in place).
  if (!IdentificaFirmware) IdentificaFirmware = IdentificaProgramadorFw;
  if (!VersionFirmware) VersionFirmware = DaVersionFirmware;
  dispositivoFw = dispositivo;
  if (puertoFw.Abre(dispositivo)) return true;
  const char* clave = ClaveFallo(puertoFw.Fallo());
  std::string texto;
  if (clave)
    texto = puertoFw.Dispositivo() + " " + TextoIdioma("pg_err*", clave) + "\n" + puertoFw.Mensaje();
  else if (muestraErrores)
    texto = " " + TextoIdioma("pg_err*", "37*") + " " + puertoFw.Dispositivo() + "\n" + puertoFw.Mensaje();
  if (texto.empty()) return false;
  // The box goes away; the log keeps why the run stopped.
  InterfazOperacion().Mensaje(texto);
  InterfazOperacion().Log(texto);
  return false;
}

void CierraSerieFw() { puertoFw.Cierra(); }
