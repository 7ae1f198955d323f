// The port access layer: claims and releases LPT1-3, reads and writes their
// registers, resets the programmer's lines and finds the Vorra programmer.
// Plain functions over a few globals, used from the user-interface thread.
#pragma once

#include <cstdint>
#include <string>

#include "ts_port.h"

struct TPortLayerState {
  bool DriverOpen = false;    // a port backend is chosen
  bool PortSelected = false;  // chosen by SelectProgrammerPort or found by detection
  bool Detecting = false;     // a detection is running
  int LptIndex = 0;           // 0-2 for LPT1-3
  bool Claimed = false;       // the port of LptIndex is claimed now
  std::string LastClaimFailure;  // why the last claim failed, with the fix
  // Why the claimed port stopped answering, with the fix: the first access
  // that failed since ClearPortFailure (an operation's start); empty while
  // all went through. Reads that failed gave 0, writes never reached the
  // lines, so nothing the operation saw after it can be trusted.
  std::string AccessFailure;
};
extern TPortLayerState PortLayer;

// Tests install a simulated port here; null goes back to choosing a real
// backend (ppdev, or raw port I/O for root where ppdev is missing) the next
// time the driver is opened. The layer does not own the backend.
void SetPortBackend(TPortBackend* backend);

bool OpenDriver();
void CloseDriver();
bool lpt_Lock();
bool lpt_Unlock();
uint8_t lpt_ReadPort(int offset);
bool lpt_WritePort(int offset, uint8_t value);
void ClearPortFailure();
inline bool PortFailed() { return !PortLayer.AccessFailure.empty(); }
void ResetPortLines();
bool ProbeProgrammer();
int DetectProgrammerPort();          // 1-3, or 0 (already reported)
bool SelectProgrammerPort(int port);  // port 1-3
// A warning box captioned "Tessaly Error"; the text ends with a line break.
void ReportError(const std::string& text);

// The forwards the engine and the main window use.
inline int AutoDetectPort() { return DetectProgrammerPort(); }
inline bool OpenSelectedPort(int port) { return SelectProgrammerPort(port); }
inline void ClosePortDriver() { CloseDriver(); }
