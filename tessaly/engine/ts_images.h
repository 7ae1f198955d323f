// The memory images every operation reads and writes, the Options menu's
// checks the operations consult, the serial-number parameters and the
// program counters: plain data that the windows show and edit.
#pragma once

#include <cstdint>

inline constexpr uint32_t EmptyEntry = 0xFFFFFFFF;  // not loaded, not to be programmed

extern uint32_t CodeImage[65536];
extern uint32_t DataImage[1024];
extern uint32_t IDImage[8];
extern uint32_t ConfigWords[8];

void ClearBuffers();        // code, data and ID images emptied
void ClearConfiguration();  // the configuration words emptied

// The Options menu items, with their checks at start.
struct TProgramOptions {
  bool ProgramCode = true;
  bool ProgramConfiguration = true;
  bool ProgramData = true;
  bool ProgramID = false;
  bool ProgramOscillatorCalibration = false;
  bool ProgramSerialNumber = false;
  bool UpdateConfiguration = true;
  bool RereadFile = false;
  bool EraseBeforeProgramming = false;
  bool VerifyAfterProgramming = false;
  bool DisableCompletion = false;
  bool SkipBlankCheck = false;
};
extern TProgramOptions ProgramOptions;

// The serial-number window's controls, with their bounds.
struct TSerialNumberParameters {
  int32_t SerialNumber = 0;
  int32_t IncrementBy = 0;
  int32_t StartingLocation = 2047;  // 0-8191
  int32_t NumberLocations = 1;      // 1-4
  int32_t PrefixByte = 52;          // 0-63
  bool MSBFirst = false;            // else LSB first
  enum TTarget { Code, EE, ID } Target = Code;
};
extern TSerialNumberParameters SerialNumberParameters;

// The counters window.
struct TProgramCounters {
  int32_t ProgramAttempts = 0;
  int32_t ProgramSuccess = 0;
};
extern TProgramCounters ProgramCounters;
void ResetCounters();
