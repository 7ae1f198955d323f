#include "ts_lpt.h"

#include <unistd.h>

#include <memory>

#include "ts_clock.h"
#include "ts_ioperm.h"
#include "ts_ppdev.h"
#include "ts_ui.h"

TPortLayerState PortLayer;

namespace {

TPortBackend* InstalledBackend = nullptr;  // from a test, not owned
std::unique_ptr<TPortBackend> OwnBackend;  // chosen by OpenDriver
TPortBackend* Backend = nullptr;

bool AnyParportDevice() {
  for (int i = 0; i < 3; ++i)
    if (access(ParportPath(i).c_str(), F_OK) == 0) return true;
  return false;
}

bool MayAccess() { return PortLayer.PortSelected || PortLayer.Detecting; }

void KeepAccessFailure() {
  if (PortLayer.AccessFailure.empty() && !Backend->Fault().empty()) PortLayer.AccessFailure = Backend->Fault();
}

}  // namespace

void SetPortBackend(TPortBackend* backend) {
  CloseDriver();
  InstalledBackend = backend;
}

void ReportError(const std::string& text) { WarningBox(text); }

bool OpenDriver() {
  if (PortLayer.DriverOpen) return true;
  if (InstalledBackend) {
    Backend = InstalledBackend;
  } else {
    // ppdev is the normal way; raw port I/O only for root on a machine
    // whose kernel has no parport devices at all.
    if (!AnyParportDevice() && TIopermBackend::Available())
      OwnBackend = std::make_unique<TIopermBackend>();
    else
      OwnBackend = std::make_unique<TPpdevBackend>();
    Backend = OwnBackend.get();
  }
  PortLayer.DriverOpen = true;
  return true;
}

void CloseDriver() {
  if (!PortLayer.DriverOpen) return;
  if (PortLayer.Claimed && Backend) Backend->Release();
  PortLayer.Claimed = false;
  Backend = nullptr;
  OwnBackend.reset();
  PortLayer.DriverOpen = false;
}

bool lpt_Lock() {
  if (!PortLayer.DriverOpen && !OpenDriver()) return false;
  if (!MayAccess()) return false;
  if (PortLayer.Claimed) return true;
  std::string why;
  if (!Backend->Claim(PortLayer.LptIndex, why)) {
    PortLayer.LastClaimFailure = why;
    return false;
  }
  PortLayer.Claimed = true;
  return true;
}

bool lpt_Unlock() {
  if (!MayAccess()) return false;
  if (PortLayer.Claimed && Backend) Backend->Release();
  PortLayer.Claimed = false;
  return true;
}

uint8_t lpt_ReadPort(int offset) {
  if (!PortLayer.DriverOpen || !MayAccess() || !PortLayer.Claimed) return 0;
  const uint8_t value = Backend->Read(offset);
  KeepAccessFailure();
  return value;
}

bool lpt_WritePort(int offset, uint8_t value) {
  if (!PortLayer.DriverOpen || !MayAccess() || !PortLayer.Claimed) return false;
  const bool ok = Backend->Write(offset, value);
  KeepAccessFailure();
  return ok;
}

void ClearPortFailure() { PortLayer.AccessFailure.clear(); }

void ResetPortLines() {
  lpt_WritePort(RegEcr, 0x14);
  lpt_WritePort(RegControl, lpt_ReadPort(RegControl) & 0x0F);
  lpt_WritePort(RegData, 0x1F);
}

bool ProbeProgrammer() {
  const uint8_t ecr = lpt_ReadPort(RegEcr);
  lpt_WritePort(RegEcr, 0x14);
  const uint8_t control = lpt_ReadPort(RegControl);
  lpt_WritePort(RegControl, control & 0x0F);
  lpt_WritePort(RegData, 0x0A);
  Clock().WaitUs(10000);
  const uint8_t s1 = lpt_ReadPort(RegStatus);
  lpt_WritePort(RegData, 0x0B);
  const uint8_t s2 = lpt_ReadPort(RegStatus);
  lpt_WritePort(RegData, 0x0A);
  const uint8_t s3 = lpt_ReadPort(RegStatus);
  lpt_WritePort(RegData, 0x0B);
  const uint8_t s4 = lpt_ReadPort(RegStatus);
  lpt_WritePort(RegData, 0x1F);
  auto bit6 = [](uint8_t s) { return (s & 0x40) != 0; };
  if (bit6(s1) != bit6(s2) && bit6(s1) == bit6(s3) && bit6(s2) == bit6(s4)) return true;
  lpt_WritePort(RegControl, control);
  lpt_WritePort(RegEcr, ecr);
  return false;
}

int DetectProgrammerPort() {
  PortLayer.PortSelected = false;
  PortLayer.Detecting = false;
  PortLayer.LptIndex = 0;
  if (!PortLayer.DriverOpen && !OpenDriver()) return 0;
  PortLayer.Detecting = true;
  bool anyClaimed = false;
  std::string reasons;
  for (int index = 0; index < 3; ++index) {
    PortLayer.LptIndex = index;
    if (lpt_Lock()) {
      const bool found = ProbeProgrammer();
      lpt_Unlock();
      if (found) {
        PortLayer.Detecting = false;
        PortLayer.PortSelected = true;
        return index + 1;
      }
      anyClaimed = true;
    } else {
      reasons += "LPT" + std::to_string(index + 1) + ": " + PortLayer.LastClaimFailure + "\n";
    }
  }
  if (anyClaimed)
    ReportError("VORRA Programmer not found.\n");
  else
    ReportError("Unable to access any LPT ports.\n" + reasons);
  PortLayer.Detecting = false;
  PortLayer.LptIndex = 0;
  return 0;
}

bool SelectProgrammerPort(int port) {
  PortLayer.PortSelected = false;
  if (!PortLayer.DriverOpen && !OpenDriver()) return false;
  if (port < 1 || port > 3) return false;
  PortLayer.LptIndex = port - 1;
  PortLayer.PortSelected = true;
  if (lpt_Lock()) {
    ResetPortLines();
    lpt_Unlock();
    return true;
  }
  PortLayer.LptIndex = 0;
  PortLayer.PortSelected = false;
  return false;
}
