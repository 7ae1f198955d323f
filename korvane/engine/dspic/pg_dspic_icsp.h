// ICSP primitives of the dsPIC30F on the pin-level link: 4-bit control
// codes (SIX 0000: a 24-bit instruction the target executes while the next
// code shifts in; REGOUT 0001: 8 idle clocks, then VISI shifted out), and
// the instruction sequences built on them. Bits go least significant first;
// the target latches on the falling clock edge.
#pragma once

#include <cstdint>

void EnviaBitDs(uint8_t bit);
uint8_t LeeBitDs();
void EnviaComando4Ds(uint8_t comando);
void EnviaDato24Ds(uint32_t dato);
uint16_t LeeDato16Ds();
void EnviaSIX(uint32_t instruccion);
uint16_t LeeREGOUT();
void EnviaNOP();

// NOP, NOP, GOTO 0x100, NOP / GOTO 0x100, NOP.
void SaltaReset();
void SaltaResetCorto();
// TBLPAG := address bits 16-23 (through W0), Wn := address bits 0-15.
void PonTblpag(uint8_t n, uint32_t direccion);
// W0..W5 := four instructions (8 cells) in the packed format.
void CargaW0W5(const uint16_t* celdas);
// Table reads of four instructions (W6 the address, into W0..W5) or four
// words (into W0..W3), and the table writes the other way.
void LeeTabla4Instr();
void LeeTabla4Palabras();
void EscribeTabla4Instr();
void EscribeTabla4Palabras();
// W0..W5 (four instructions, 8 cells) or W0..W3 (four words: word, 0) out
// through VISI.
void LeeVisi4Instr(uint16_t* celdas);
void LeeVisi4Palabras(uint16_t* celdas);
// 0x55 then 0xAA to NVMKEY.
void EnviaClavesNvm();
// NVMCON.WR set, RetardoPgm ms, cleared; with 4 (or 2) NOPs on each side.
void IniciaEscrituraNvm();
void IniciaEscrituraNvmCorta();
// The seven registers from cells 0, 4, .. 24: kind 4 the configuration
// registers at 0xF80000, kind 3 the same writes on page 0x80.
void EscribeConfigDs(const uint16_t* celdas, uint8_t tipo);
// The seven configuration registers into cells 0, 4, .. 24 (cell 4r + 1 := 0).
void LeeConfigDs(uint16_t* celdas);
