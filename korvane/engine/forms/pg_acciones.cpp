#include "forms/pg_acciones.h"

#include "dspic/pg_dspic.h"
#include "flash/pg_flash.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "i2c/pg_i2c.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

uint32_t TipoAccion = AccProgramar;
uint8_t ResultadoAccion = 0;
bool OpcPMsgs = false;
bool OpcVDespues = true;
std::function<void()> LeeEditor;

namespace {

bool EsDsPic() { return PicActual.Familia == 30 && ClaseDispositivo != 1 && ClaseDispositivo != 2; }

// The verify after a successful programming run: on native USB the link is
// opened afresh (without messages), and the editors are read back.
void PreparaVerificacion() {
  if (USB_) {
    CierraPuerto(true);
    AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, false);
  }
  if (LeeEditor) LeeEditor();
}

uint8_t Programa() {
  uint8_t r;
  if (EsDsPic()) {
    r = ProgramaDsPic();
  } else if (ClaseDispositivo == 2) {
    r = ProgramaI2C();
  } else {
    r = ClaseDispositivo == 1 ? ProgramaPicC() : ProgramaPic();
  }
  if (r != 0 || !OpcVDespues) return r;
  PreparaVerificacion();
  if (EsDsPic()) return VerificaDsPic(IncluyeExec);
  if (ClaseDispositivo == 2) return VerificaI2C();
  return VerificaPic();
}

}  // namespace

uint8_t OtraParteEnZocalo(const TModel& model) {
  if (!model.Encontrado || ClaseDispositivo != ClaseFlash || model.Indice == IndiceListPics) return 255;
  return model.Indice;
}

namespace {

std::string TextoZocalo(const char* clave) { return TextoIdioma("pg_zocalo*", clave); }

std::string NombreFlash(uint8_t indice) { return DaNombreDispositivo(ClaseFlash, indice); }

}  // namespace

std::string PreguntaOtraParte(uint8_t indice) {
  return TextoZocalo("0*") + SaltoMensaje + TextoZocalo("1*") + " " + NombreFlash(IndiceListPics) + SaltoMensaje +
         TextoZocalo("2*") + " " + NombreFlash(indice) + SaltoMensaje + TextoZocalo("3*");
}

std::string TextoOtraParte(uint8_t indice, bool sigue) {
  return TextoZocalo(sigue ? "5*" : "4*") + " " + NombreFlash(IndiceListPics) + " / " + NombreFlash(indice);
}

std::string TextoAccion(uint32_t accion) {
  switch (accion) {
    case AccProgramar: return TextosEntorno[0];
    case AccLeer: return TextosEntorno[1];
    case AccVerificar: return TextosEntorno[2];
    case AccBorrar: return TextosEntorno[3];
    case AccIdentificar: return TextosEntorno[5];
    case AccHardware: return TextosEntorno[6];
    default: return {};
  }
}

uint8_t DespachaAccion() {
  IncluyeExec = false;
  const bool dsPic = EsDsPic();
  switch (TipoAccion) {
    case AccProgramar: return Programa();
    case AccLeer:
      if (dsPic) return LeeDsPic(true);
      if (ClaseDispositivo == 2) return LeeI2C();
      return LeerPic();
    case AccVerificar:
      if (dsPic) return VerificaDsPic(false);
      if (ClaseDispositivo == 2) return VerificaI2C();
      return VerificaPic();
    case AccBorrar:
      if (dsPic) return BorraDsPic(0);
      if (ClaseDispositivo == 2) {
        // A serial EEPROM has no erase command; the PIC bulk erase must
        // never reach its bus. Filling it is the user's choice.
        InterfazOperacion().Log(" " + TextoIdioma("pg_err*", "55*"));
        return 0;
      }
      return BorraPic();
    default: return 0;
  }
}
