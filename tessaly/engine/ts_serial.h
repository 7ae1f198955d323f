// The lowest layer of the programming engine: bits to and from the target
// through the Vorra programmer, the serial commands of each core, entering
// and leaving programming mode, and the microsecond delays.
//
// Data register: bit 0 serial data to the target, bit 1 serial clock, bits
// 2-4 the programmer's supply and programming-voltage lines (only ever
// written as whole bytes). Status bit 6: serial data from the target.
#pragma once

#include <cstdint>

// Passes of the delay per 100 ms. Waits run on the monotonic clock, where
// one pass is one microsecond; CalibrateDelay sets it.
extern int32_t LoopsPer100ms;

void WriteData(uint8_t value);
uint8_t ReadStatus();
bool LockPort();
bool UnlockPort();
void SendBit(int bit);
int ReceiveBit();
void SendBits(int count, uint32_t value);
uint16_t ReceiveBits(int count);
int CommandWidth();  // of the current core type; 0 for an unknown one
void SendCommand(int command);
void SendCommandData(int command, uint32_t operand);
void SendCommandHold(int command);
// Claims the port and powers the target into programming mode. When the
// port cannot be claimed it says why in one box and returns false.
bool EnterProgramMode();
void ExitProgramMode();
void DelayMicroseconds(int32_t us);
void CalibrateDelay();
void SetTablePointer(uint32_t address);
uint32_t AddParity(uint32_t word);
