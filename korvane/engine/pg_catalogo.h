// The device catalogue: every entry of the three device lists with the
// texts the lists show and the memory map the device record takes from it.
//
// The main window builds its combos from these rows (column 0 `Texto`,
// column 1 `Memoria`), in this order, so that a combo's ItemIndex is the
// row's index within its list.
#pragma once

#include <array>
#include <cstdint>
#include <span>

// Device classes; the item index of the family combo.
enum TClase : uint8_t { ClaseFlash = 0, ClaseEprom = 1, ClaseI2C = 2, ClaseNinguna = 255 };

// Configuration editor embedded in the main window's configuration page.
enum TEditorConf : uint8_t {
  EdFC_16F8x = 0, EdFC_16F87x = 1, EdFC_18Fxxx = 2, EdFC_18Fxx20 = 3, EdFC_1xF6OSCAL = 4,
  EdFC_16F7x = 5, EdFC_16F6xx = 6, EdFC_16Cxxx = 7, EdFC_30Fxxx = 8, EdFC_18FModUSB = 9,
  EdFC_18Fxx31 = 10, EdFC_10Fxxx = 11, EdNinguno = 255
};

struct TEntradaCatalogo {
  const char* Texto;    // first column as the list shows it (" 18F242-2439")
  const char* Nombre;   // clean device name ("18F242"), what BuscaPic matches
  const char* Memoria;  // second column: the memory description, also the hint
  uint8_t Editor;       // configuration editor (TEditorConf)
  uint8_t Zocalo;       // 0 small socket, 1 the other socket position
  uint8_t TiempoPgm;    // programming delay in ms of the device
  uint8_t ModUSB;       // 1 for the PIC18 parts of the newer programming spec
  uint32_t ProgFin, ProgTam;
  uint16_t ProgMask;
  int32_t CfgIni, CfgFin;
  uint32_t CfgNum;
  uint16_t CfgMask;
  int32_t IdIni, IdFin;
  uint16_t IdNum, IdMask;
  int32_t EeIni, EeFin;
  uint16_t EeTam, EeMask;
  bool ConExec;  // only the dsPIC rows carry an executive area
  uint16_t ExecTam;
  int32_t ExecIni, ExecFin;
};

constexpr std::size_t NumListPics = 122;
constexpr std::size_t NumListPicsC = 38;
constexpr std::size_t NumListEeprom = 10;

// All rows: ListPics 0-121, then ListPicsC 0-37, then ListEeprom 0-9.
extern const std::array<TEntradaCatalogo, NumListPics + NumListPicsC + NumListEeprom> Catalogo;

// The rows of one class's list (class 255 and unknown values: the flash list).
std::span<const TEntradaCatalogo> ListaCatalogo(uint8_t clase);
// The row of a list entry, or nullptr when the index is outside the list.
const TEntradaCatalogo* EntradaCatalogo(uint8_t clase, int indice);

// Items of the family combo.
struct TClaseCatalogo {
  const char* Texto;    // "PIC F"
  const char* Memoria;  // second column, also the hint: "Microchip"
};
extern const std::array<TClaseCatalogo, 3> ClasesCatalogo;
