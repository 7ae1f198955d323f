// The editor tables, one per editor kind of the device catalogue (the
// catalogue's `Editor` column is the one device → kind table: the device
// record, the main window and these editors all read it).
#pragma once

#include <cstdint>

#include "CodecConf.h"

// Table of an editor kind (TEditorConf); nullptr when the kind has none.
const TTablaConf* TablaConf(uint8_t tipo);

const TTablaConf& Tabla16F8x();
const TTablaConf& Tabla10Fxxx();
const TTablaConf& Tabla1xF6OSCAL();
const TTablaConf& Tabla16F6xx();
const TTablaConf& Tabla16F7x();
const TTablaConf& Tabla16F87x();
const TTablaConf& Tabla16Cxxx();
const TTablaConf& Tabla18Fxxx();
const TTablaConf& Tabla18Fxx20();
const TTablaConf& Tabla18Fxx31();
const TTablaConf& Tabla18FModUSB();
const TTablaConf& Tabla30Fxxx();

// --- Helpers of the tables ---------------------------------------------------

// Options named `nombres` taking `valores` in order (captions `textos`
// where given, else the names).
std::vector<TOpcionSimple> Opciones(const std::vector<std::string>& nombres, const std::vector<uint16_t>& valores,
                                    const std::vector<std::string>& textos = {});
// A radio button that loads from every word with
// (word & mascaraCarga) == carga and saves `guarda` (several values on one
// button, which saves one of them).
TOpcionConf OpcionRango(const std::string& nombre, const std::string& texto, uint16_t guarda, uint16_t mascaraCarga,
                        uint16_t carga);
// List items with the values 0, 1, 2, ... shifted to `bit`, captions
// `textos`, named `lista` + "#" + the index ("PM_#3").
std::vector<TOpcionSimple> ItemsLista(const std::string& lista, const std::vector<std::string>& textos, int bit);
// Oscillator fields: bits 4, 1, 0 = 000 .. 111, and bits 2:0 = 000 .. 111.
const std::vector<uint16_t>& Osc410();
const std::vector<uint16_t>& Osc210();

// The 10F editor's address labels and backup word text.
struct TTextos10F {
  std::string ids;     // "0x" IdIni ".." IdFin
  std::string config;  // "0x" CfgIni
  std::string backup;  // "0x" address of the backup calibration word (IdFin + 1)
  std::string valor;   // the backup word, or "????" when none was read (0xFFFF)
};
TTextos10F Textos10F(int32_t idIni, int32_t idFin, int32_t cfgIni, uint16_t oscCalBackup);
