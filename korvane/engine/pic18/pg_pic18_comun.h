// Pieces shared by the PIC18 routines (not for other units).
#pragma once

#include <cstdint>
#include <string>

// Core instructions the PIC18 routines send (access bank SFRs).
constexpr uint16_t Nop18 = 0x0000;
constexpr uint16_t BsfEepgd = 0x8EA6;
constexpr uint16_t BcfEepgd = 0x9EA6;
constexpr uint16_t BsfCfgs = 0x8CA6;
constexpr uint16_t BcfCfgs = 0x9CA6;
constexpr uint16_t BsfRd = 0x80A6;
constexpr uint16_t MovfEedataW = 0x50A8;
constexpr uint16_t MovwfTablat = 0x6EF5;
constexpr uint16_t MovwfEeadr = 0x6EA9;
constexpr uint16_t MovwfEeadrh = 0x6EAA;
constexpr uint16_t MovwfTblptrU = 0x6EF8;
constexpr uint16_t MovwfTblptrH = 0x6EF7;
constexpr uint16_t MovwfTblptrL = 0x6EF6;
// 4-bit commands.
constexpr uint8_t DesplazaTablat18 = 2;   // shift out TABLAT
constexpr uint8_t TablaEscribe18 = 12;    // TBLWT*
constexpr uint8_t TablaEscribeMas2 = 13;  // TBLWT*+2

// Core instruction: command 0 and the instruction word.
void Nucleo18(uint16_t instruccion);
// MOVLW byte, then the instruction that uses W.
void Literal18(uint8_t byte, uint16_t instruccion);

// EEADRH:EEADR := the low 16 bits of a data EEPROM address (MOVLW carries
// one byte, so the area's base 0x780000 never reaches the chip).
void DireccionEe18(uint32_t direccion);
// MOVWF TABLAT, and on the newer parts (GrupoModUSB) the NOP they need
// before TABLAT can be shifted out.
void WaTablat18();
// Reads the data EEPROM byte at EEADRH:EEADR: RD, EEDATA to TABLAT, shift-out.
uint8_t LeeEe18();

// Log line of an area (LineaZona) with TextosEntorno items for the action
// and the kind.
void LogZona18(uint8_t accion, const std::string& zona, uint32_t cuenta, uint8_t clase);

// Starts a firmware command: programmer reset, checksum cleared, the 8
// bytes in TPaquete.
void Orden18(uint8_t letra, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7);
