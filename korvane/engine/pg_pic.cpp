#include "pg_pic.h"

#include <algorithm>
#include <cctype>

#include "pg_err.h"

TPic PicActual;
TBuffers BufDispositivo;
TBuffers BufArchivo;

uint8_t ClaseDispositivo = 0;
uint8_t IndiceListPics = 0;
uint8_t IndiceListPicsC = 0;
uint8_t IndiceListEeprom = 0;
uint8_t IndiceDetectado = 0;
uint8_t EstadoEditorConf = EdNinguno;
uint8_t GrupoModUSB = 0;
bool Zocalo2 = false;

namespace {

TGanchoDispositivo* gancho = nullptr;

uint8_t Clase(uint8_t clase) {
  return clase == ClaseEprom || clase == ClaseI2C ? clase : static_cast<uint8_t>(ClaseFlash);
}

uint8_t IndiceSeleccionado(uint8_t clase) {
  switch (clase) {
    case ClaseEprom: return IndiceListPicsC;
    case ClaseI2C: return IndiceListEeprom;
    default: return IndiceListPics;
  }
}

void CopiaMapa(const TEntradaCatalogo& e, TPic& pic) {
  pic.ProgIni = 0;
  pic.ProgFin = e.ProgFin;
  pic.ProgTam = e.ProgTam;
  pic.ProgMask = e.ProgMask;
  pic.CfgIni = e.CfgIni;
  pic.CfgFin = e.CfgFin;
  pic.CfgNum = e.CfgNum;
  pic.CfgMask = e.CfgMask;
  pic.IdIni = e.IdIni;
  pic.IdFin = e.IdFin;
  pic.IdNum = e.IdNum;
  pic.IdMask = e.IdMask;
  pic.EeIni = e.EeIni;
  pic.EeFin = e.EeFin;
  pic.EeTam = e.EeTam;
  pic.EeMask = e.EeMask;
  // Other parts leave the executive fields as they were.
  if (e.ConExec) {
    pic.ExecTam = e.ExecTam;
    pic.ExecIni = e.ExecIni;
    pic.ExecFin = e.ExecFin;
  }
}

std::string Mayusculas(std::string texto) {
  for (char& c : texto) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return texto;
}

}  // namespace

TGanchoDispositivo* PonGanchoDispositivo(TGanchoDispositivo* nuevo) {
  TGanchoDispositivo* anterior = gancho;
  gancho = nuevo;
  return anterior;
}

uint8_t PonDispositivo() {
  const uint8_t clase = Clase(ClaseDispositivo);
  const uint8_t indice = IndiceSeleccionado(clase);
  const TEntradaCatalogo* e = EntradaCatalogo(clase, indice);
  // Checked before anything changes: on a bad index the record, the editor
  // and the hints stay exactly as they were.
  if (!e) {
    MuestraError(ContextoError, ErrIndice);
    return 1;
  }
  GrupoModUSB = e->ModUSB;
  const uint8_t anterior = EstadoEditorConf;
  CopiaMapa(*e, PicActual);
  EstadoEditorConf = e->Editor;
  if (gancho) {
    gancho->CambiaEditorConf(anterior, EstadoEditorConf);
    gancho->PonHints();
  }
  PicActual.Nombre = DaNombreDispositivo(clase, indice);
  PicActual.Familia = DaFamilia();
  PicActual.TiempoPgm = DaTiempoPgm();
  return 0;
}

uint8_t DaZocalo(uint16_t indice) {
  const uint8_t clase = Clase(ClaseDispositivo);
  if (clase == ClaseI2C) return 1;
  const TEntradaCatalogo* e = EntradaCatalogo(clase, indice);
  return e ? e->Zocalo : 1;
}

uint8_t DaTiempoPgm() {
  switch (PicActual.Familia) {
    case 10: return 2;
    case 18: return 1;
    case 16:
      // The 14-bit flash parts carry their own delay; anything else that
      // calls itself family 16 gets the default.
      if (IndiceListPics >= 4 && IndiceListPics <= 45) return Catalogo[IndiceListPics].TiempoPgm;
      return 4;
    default: return 4;
  }
}

uint8_t DaFamilia() {
  const std::string& n = PicActual.Nombre;
  if (n.size() < 2 || !std::isdigit(static_cast<unsigned char>(n[0])) ||
      !std::isdigit(static_cast<unsigned char>(n[1])))
    return 0;
  const uint8_t familia = static_cast<uint8_t>((n[0] - '0') * 10 + (n[1] - '0'));
  return familia == 12 ? 16 : familia;
}

std::string DaNombreDispositivo(uint8_t clase, int indice) {
  const TEntradaCatalogo* e = EntradaCatalogo(Clase(clase), indice);
  return e ? e->Nombre : std::string();
}

uint8_t BuscaPic(const std::string& nombre) {
  const std::string buscado = Mayusculas(nombre);
  const auto lista = ListaCatalogo(ClaseFlash);
  for (std::size_t i = 0; i < lista.size(); ++i)
    if (buscado == "PIC" + Mayusculas(lista[i].Nombre)) return static_cast<uint8_t>(i);
  return 255;
}

uint8_t EditorDeDispositivo(uint8_t clase, int indice) {
  const TEntradaCatalogo* e = EntradaCatalogo(Clase(clase), indice);
  return e ? e->Editor : static_cast<uint8_t>(EdNinguno);
}

void LimpiaProg(std::array<uint16_t, TamProg>& area, uint16_t valor) { area.fill(valor); }
void LimpiaDatos(std::array<uint16_t, TamDatos>& area, uint16_t valor) { area.fill(valor); }
void LimpiaConfig(std::array<uint16_t, TamConfig>& area, uint16_t valor) { area.fill(valor); }
void LimpiaId(std::array<uint16_t, TamId>& area, uint16_t valor) { area.fill(valor); }
void LimpiaExec(std::array<uint16_t, TamExec>& area) { area.fill(0xFFFF); }

void LimpiaBuffers(TBuffers& b) {
  const uint16_t blanco = PicActual.ProgMask;
  LimpiaProg(b.Prog, blanco);
  LimpiaDatos(b.Datos, blanco);
  LimpiaConfig(b.Config, blanco);
  LimpiaId(b.Id, blanco);
  LimpiaExec(b.Exec);
}

void LimpiaBufferB() {
  LimpiaBuffers(BufArchivo);
  ContextoError.LineaHex = 0;
}
