// The programming engine: the five operations the Run menu starts, the
// word-level steps they are built from, and the cancel flag. Progress,
// questions and boxes go through Ui(); port access through the serial
// command set.
#pragma once

#include <cstdint>
#include <string>

// Set by the progress dialog's Cancel button; every loop polls it after
// pumping messages.
extern bool CancelRequested;
// The last operation ended without doing its work: the port could not be
// used or the user cancelled (both already reported).
extern bool OperationAborted;

// Programs the images. A calibration word that reads blank while values
// kept from a failed write-back are on disk for this device (ts_kept.h)
// first asks whether to write them; Yes writes them with the program and
// forgets them once they are in.
bool ProgramDevice();
bool VerifyDevice();
bool ReadDevice();  // false when cancelled or the port could not be used
bool BlankCheck(bool messages);
bool EraseDevice(bool messages);
// The Cancel button: leaves programming mode, says so, sets the flag and
// closes the dialog.
void CancelBtnClick();
// The same, said to the user or not: a program that is closing asks no one.
void CancelOperation(bool tellUser);

// Every operation starts with it: the port has not failed yet.
void BeginOperation();
// When the port stopped answering during the operation: programming mode
// left as far as the port still allows, the dialog closed and, once per
// operation, an error box naming the port, the reason and the fix, with
// `more` after it. True then, and the operation ends with false: what it
// read or wrote after the failure cannot be trusted.
bool PortLost(const std::string& more = "");

// Before Program and Erase write anything: a selected part with a device ID
// is asked for it, in programming mode entered and left again. A socket
// that answers with the ID of another part of vorra.ini (of the same core,
// whose ID is read the same way) stops the operation with a box naming both
// parts; `undone` ends the box ("written", "erased"). A part that does not
// answer, answers with an ID no device of vorra.ini has, or is selected
// without an ID goes on. False when the operation stops (said already).
bool CheckPartInSocket(const char* undone);
// The device ID word of the part in programming mode: 0x2006 on the 14-bit
// core, 0x3FFFFE-0x3FFFFF on the 18-bit core; 0 on other cores.
uint32_t ReadDeviceId();

// The device has a calibration word in its code memory (OscCalAddr).
bool HasCalibrationWord();

// Word-level steps (exposed for the tests).
uint16_t ReadWord();
void PulseWord(uint32_t w);
bool ProgramWord(uint32_t w);
bool ProgramDataByte(uint8_t v);
bool LoadDataByte(uint8_t v);  // false when the PIC18 write never finishes
uint8_t ReadDataByte();
void SetDataAddress(int i);
bool ProgramConfigWord(uint32_t w);
uint32_t ReadConfiguration();
bool WriteConfiguration();
bool WriteCodeBlock(int start);
bool WriteIDBlock(int start);
void CoreInstruction(uint16_t instruction);
void LoadConfiguration();  // core 14: Load Configuration with its operand
uint32_t BlankWord();      // of the current core
bool MemoryParity();       // the device frames words with parity bits
