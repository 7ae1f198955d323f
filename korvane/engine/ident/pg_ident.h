// Identification of the chip in the socket: the 14-bit device ID, then the
// dsPIC and PIC18 ID words, looked up in the tables of the catalogue's
// parts; the second socket and programming-mode entry with Vpp before Vdd
// are tried when the chip stays silent.
#pragma once

#include <cstdint>

#include "ident/pg_modelo.h"

// One 14-bit ID read (0x2006) and its lookup.
void DetectaPic16(TModel& model);
// The dsPIC ID first (a dsPIC answer stands), else the PIC18 ID (0x3FFFFE).
void DetectaPic18(TModel& model);
// The whole identification the operation runner calls for the flash class
// and the identify action. IndiceDetectado takes the found part's index,
// or 255 when none was named (index 29, the "nothing matched" value of the
// model, is also the 16F84's).
void DetectaPic(TModel& model);

// DetectaPic for the operation runner's identification hook
// (DetectaPicAcciones): 0, or the code of an error reported on the way (a
// firmware reply that failed). Whether a part was named is the model's
// Encontrado, not the result.
uint8_t DetectaPicCodigo(TModel& model);

// Whether the selected part can be named by identification (it carries a
// device ID): the dsPIC30 parts and the parts of the 14-bit and PIC18 ID
// tables. Baseline parts and the 16F84 have none: a blank one reads all
// ones, as a dead port may.
bool SeleccionConId();

// The table lookups (false: nothing named).
bool BuscaId14(uint16_t id, uint8_t& indice, const char*& nombre);
bool BuscaId18(uint16_t id, uint8_t& indice, const char*& nombre);
