// ICSP word primitives of the pin-level link: bits clocked on the clock and
// data lines, least significant first, in the formats of the 12/14-bit
// families (6-bit commands, 14-bit data between a start and a stop bit) and
// of the PIC18 family (4-bit commands, 16-bit operands, table reads, the
// programming NOP). Each half bit waits MedioBitUs.
#pragma once

#include <cstdint>

// Programming delay in milliseconds of the running operation, set by each
// family engine; ProgramaNop holds the clock high this long.
extern uint16_t RetardoPgm;

// Clock high, data set, clock low: the target latches on the falling edge.
void EnviaBit(uint16_t bit);
// One clock with data-out released (high); the bit is sampled half a bit
// after the falling edge.
uint8_t LeeBit();

void EnviaComando6(uint8_t comando);
// Start bit 0, bits 0..13, stop bit 0: 16 clocks.
void EnviaDato14(uint16_t dato);
// 16 clocks; the start and stop bits are dropped.
uint16_t LeeDato14();

void EnviaComando4(uint8_t comando);
void EnviaDato16(uint16_t dato);
// 16 bits in; after a table-read command the byte is in bits 8..15.
uint16_t LeeTablat();
// Two table reads with post-increment: the byte at the lower address is the low byte.
uint16_t LeeTabla2();
// Loads the 24-bit table pointer through MOVLW/MOVWF TBLPTRU, TBLPTRH, TBLPTRL.
void PonTblptr(uint32_t direccion);
// Start programming with `dato` as the last word, then the NOP whose fourth
// clock is held high for RetardoPgm milliseconds, then low for the
// high-voltage discharge before its operand.
void ProgramaNop(uint16_t dato);
