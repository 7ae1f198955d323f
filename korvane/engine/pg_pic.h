// The selected device's record, the catalogue and the two memory images.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pg_catalogo.h"

struct TPic {
  std::string Nombre;
  uint8_t Familia = 0;     // 10, 16, 18, 24 (serial EEPROM) or 30
  uint8_t TiempoPgm = 0;   // programming delay in ms
  int32_t ProgIni = 0;
  uint32_t ProgFin = 0;
  uint32_t ProgTam = 0;
  uint16_t ProgMask = 0;   // bits of a program cell; also the blank value
  int32_t CfgIni = 0, CfgFin = 0;
  uint32_t CfgNum = 0;
  uint16_t CfgMask = 0;
  int32_t IdIni = 0, IdFin = 0;
  uint16_t IdNum = 0;
  uint16_t IdMask = 0;
  int32_t EeIni = 0, EeFin = 0;
  uint16_t EeTam = 0;
  uint16_t EeMask = 0;
  uint16_t ExecTam = 0;
  int32_t ExecIni = 0, ExecFin = 0;

  bool operator==(const TPic&) const = default;
};

constexpr std::size_t TamProg = 100001;
constexpr std::size_t TamDatos = 8192;
constexpr std::size_t TamConfig = 33;
constexpr std::size_t TamId = 8;
constexpr std::size_t TamExec = 1473;

// One memory image; every cell is a 16-bit word. A dsPIC instruction takes
// two cells: the low 16 bits, then the upper 8 bits in the next cell.
struct TBuffers {
  std::array<uint16_t, TamProg> Prog{};
  std::array<uint16_t, TamDatos> Datos{};
  std::array<uint16_t, TamConfig> Config{};
  std::array<uint16_t, TamId> Id{};
  std::array<uint16_t, TamExec> Exec{};
};

extern TPic PicActual;
extern TBuffers BufDispositivo;  // what a read fills and programming writes
extern TBuffers BufArchivo;      // what files load and save, and verify expects

// ---- Device selection --------------------------------------------------

// Selected device class: 0 flash PIC, PIC18 and dsPIC; 1 EPROM PIC;
// 2 serial EEPROM; 255 none yet. Any value but 1 and 2 counts as class 0.
extern uint8_t ClaseDispositivo;
// Selected item of each device list (255 = none: a combo's ItemIndex -1).
extern uint8_t IndiceListPics;
extern uint8_t IndiceListPicsC;
extern uint8_t IndiceListEeprom;
// ListPics index found by the last identification.
extern uint8_t IndiceDetectado;
// Configuration editor embedded in the main window (TEditorConf, 255 none).
extern uint8_t EstadoEditorConf;
// 1 while the selected device is one of the newer PIC18 parts (ListPics 70-97).
extern uint8_t GrupoModUSB;
// The selected device sits in the socket position of the second Vpp line.
extern bool Zocalo2;

// A combo's ItemIndex as a list index global: -1 (and anything else outside
// 0-254) becomes 255, which every list treats as outside.
inline uint8_t IndiceDeItem(int itemIndex) {
  return itemIndex >= 0 && itemIndex < 255 ? static_cast<uint8_t>(itemIndex) : 255;
}

// What a device change asks of the main window. The engine includes no
// window header: the main window implements this and installs it with
// PonGanchoDispositivo. Without it (tests, batch tools) nothing happens.
class TGanchoDispositivo {
public:
  virtual ~TGanchoDispositivo() = default;
  // The memory map of PicActual is filled and EstadoEditorConf already holds
  // the new state. When the states differ: create the new editor form on the
  // page Configuracion (whole client area, shown), free the old one; leaving
  // state 8 hides SCE and, when SCE was down, returns to page 0 with
  // Sprograma down. In every call: SetPic for the editors of states 2, 3
  // and 10, and SCE visible for state 8.
  virtual void CambiaEditorConf(uint8_t estadoAnterior, uint8_t estadoNuevo) {
    (void)estadoAnterior; (void)estadoNuevo;
  }
  // Each of the four combos gets the second column of its selected item as
  // its hint (the catalogue's Memoria, ClasesCatalogo for the family combo).
  virtual void PonHints() {}
};
// Installs the hook (nullptr: none). Returns the previous one.
TGanchoDispositivo* PonGanchoDispositivo(TGanchoDispositivo* gancho);

// Fills PicActual from ClaseDispositivo and the index global of its list,
// which the main window sets from the combo's ItemIndex (IndiceDeItem)
// before calling. 0 done; 1 index outside the list: error 17 is reported
// and nothing at all has changed.
uint8_t PonDispositivo();

// Small-socket test: 0 for a device of the small socket, 1 otherwise, for
// an index of the list of ClaseDispositivo.
uint8_t DaZocalo(uint16_t indice);
// Programming delay in ms from PicActual.Familia and IndiceListPics.
uint8_t DaTiempoPgm();
// The number of the first two characters of PicActual.Nombre; "12" gives 16.
uint8_t DaFamilia();
// Device name of a list entry: its list text without the leading blank,
// and for the four PIC18 entries that carry two part numbers ("18F242-2439")
// the first one alone. Empty outside the list.
std::string DaNombreDispositivo(uint8_t clase, int indice);
// ListPics index of a command-line device name ("PIC16F84A", any case);
// 255 when no catalogue device has that name.
uint8_t BuscaPic(const std::string& nombre);
// Configuration editor of a list entry (255 none or outside the list).
uint8_t EditorDeDispositivo(uint8_t clase, int indice);

// ---- Buffer clears --------------------------------------------------------

void LimpiaProg(std::array<uint16_t, TamProg>& area, uint16_t valor);
void LimpiaDatos(std::array<uint16_t, TamDatos>& area, uint16_t valor);
void LimpiaConfig(std::array<uint16_t, TamConfig>& area, uint16_t valor);
void LimpiaId(std::array<uint16_t, TamId>& area, uint16_t valor);
void LimpiaExec(std::array<uint16_t, TamExec>& area);  // with 0xFFFF
// Every area of one set blank: ProgMask, the executive area 0xFFFF.
void LimpiaBuffers(TBuffers& buffers);
// LimpiaBuffers(BufArchivo) and the HEX line counter back to 0.
void LimpiaBufferB();
