// The frame every PIC18 configuration table shares: seven 16-bit
// configuration words, the bits each editor group knows (ImplementedBits)
// and the bits the selected part implements (DeviceMask), both worked out
// from the ListPics index at each call, and the protection boxes of words
// 5 to 7. The four ID words are raw words, edited by the PIC18 widget.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "CodecConf.h"

using TPalabras18 = std::array<uint16_t, 7>;

// The editor groups of the PIC18 parts of ListPics.
enum class TGrupo18 : uint8_t {
  F242,       // 46-53: 18F242 family
  F1220,      // 54-59: 18F1220 group
  F2331,      // 60-63: motor-control parts
  F6520,      // 64-69: 18F6520 group
  Usb,        // 72, 78, 86, 92
  Can,        // 73, 79, 87, 93
  CanGrande,  // 80, 83, 94, 97
  Otros,      // the rest of 70-97
  Ninguno     // not a PIC18 part
};

TGrupo18 Grupo18(uint8_t indiceListPics);

// The bits of each word that the group's editor knows.
const TPalabras18& ImplementedBits(TGrupo18 grupo);

// The bits the part implements, as far as its editor can tell: all ones
// but the features the part lacks. The newer parts (70-97) have no mask
// of their own: their group's ImplementedBits stands for it.
TPalabras18 DeviceMask(uint8_t indiceListPics);

// Both at once: what a load leaves of the words (in the caller's buffer
// too) and the most a save writes. The tables' `mascara`.
std::vector<uint16_t> MascaraCarga18(int indiceListPics);

// A PIC18 table with its frame: kind, object name, seven words built from
// all ones and limited by MascaraCarga18, raw ID words.
TTablaConf Tabla18(uint8_t tipo, const std::string& nombre);

// Code, write and table-read protection (words 5, 6 and 7) of `bloques`
// blocks; a ticked box protects (bit 0). Object names end in `sufijo`,
// captions do not: CP0.., CPB, CPD; WRT0.., WRTC, WRTB, WRTD; EBTR0..,
// EBTRB, in columns `columna` to `columna` + 2.
std::vector<TControlConf> Protecciones18(int bloques, const std::string& sufijo, uint8_t columna);
// Blocks `desde` to `hasta` hidden on `d` (still loaded and written).
void OcultaBloques18(std::vector<TControlConf>& c, int desde, int hasta, TDispositivos d);
