#include "banco_flash.h"

#include <random>

#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_catalogo.h"
#include "pg_err.h"
#include "pg_pic.h"

const char* NombreEnlace(TEnlacePrueba e) { return e == TEnlacePrueba::Lpt ? "Lpt" : "Com"; }

TVentanaFlash::TVentanaFlash() { anterior_ = PonInterfazOperacion(this); }
TVentanaFlash::~TVentanaFlash() {
  PonInterfazOperacion(anterior_);
  Cancelado = false;
}

bool TVentanaFlash::HayLinea(const std::string& texto) const {
  for (const auto& l : Lineas)
    if (l == texto) return true;
  return false;
}

void SeleccionaPic(uint8_t clase, uint8_t indice) {
  ClaseDispositivo = clase;
  if (clase == 1) IndiceListPicsC = indice;
  else IndiceListPics = indice;
  PonDispositivo();
}

TBancoFlash::TBancoFlash(TEnlacePrueba enlace, TChipSim* chip) : Enlace(enlace) {
  if (enlace == TEnlacePrueba::Lpt) PonPerfilLptSim();
  else PonPerfilComSim();
  USB_COM = false;
  USB_ = false;
  Zocalo2 = false;
  VppAntesVdd = false;
  Banco = std::make_unique<TBancoSim>();
  Banco->Adaptador.Registra = false;
  Banco->Puerto.Registra = false;
  Banco->Adaptador.Conecta(chip);
}

uint32_t TBancoFlash::Ejecuta(uint32_t accion, const std::function<bool()>& algoritmo) {
  TipoAccion = accion;
  ContextoError.Codigo = 0;
  Cancelado = false;
  PinesReposo();
  VddOn();
  if (!CompruebaHardware()) return 255;
  const bool fallo = algoritmo();
  Cancelado = false;
  EntraProgramacion();
  SaleProgramacion();
  VddOff();
  PonPines_END();
  if (!fallo) return 0;
  return ContextoError.Codigo ? ContextoError.Codigo : 255;
}

void ImagenPrueba(uint32_t semilla, std::initializer_list<uint16_t> config) {
  std::mt19937 r(semilla);
  const TPic& p = PicActual;
  LimpiaBuffers(BufDispositivo);
  for (uint32_t a = 0; a < p.ProgTam; ++a) {
    uint16_t v = static_cast<uint16_t>(r() & p.ProgMask);
    if (a % 7 == 3) v = p.ProgMask;  // some blank words
    BufDispositivo.Prog[a] = v;
  }
  if (p.Familia == 10) BufDispositivo.Prog[p.ProgFin] = 0x0FFF;
  if (p.Familia == 16 && p.ProgTam > 0x3FF && p.CfgMask == 0x31FF) BufDispositivo.Prog[0x3FF] = 0x3FFF;
  for (uint32_t i = 0; i < p.IdNum; ++i) BufDispositivo.Id[i] = static_cast<uint16_t>((i + 1) & p.IdMask);
  for (uint32_t i = 0; i < p.EeTam; ++i) BufDispositivo.Datos[i] = static_cast<uint16_t>(r() & 0xFF);
  uint32_t k = 0;
  for (uint16_t c : config) BufDispositivo.Config[k++] = c;
  BufArchivo = BufDispositivo;
}
