#include "ts_run.h"

#include "ts_app.h"
#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_images.h"
#include "ts_options.h"
#include "ts_ui.h"

namespace {
TRunHost DefaultHost;
TRunHost* Host = &DefaultHost;

void Completed(const char* text) {
  if (ProgramOptions.DisableCompletion)
    Ui().Beep();
  else
    InformationBox(text);
}
}  // namespace

TRunHost& RunHost() { return *Host; }
void SetRunHost(TRunHost* host) { Host = host ? host : &DefaultHost; }

bool RunProgram() {
  if (!Host->CheckProgrammerPort()) return false;
  const TProgramOptions& o = ProgramOptions;
  if (o.RereadFile && !Host->RereadFile()) return false;
  if (DeviceParameters.EraseType != 0 && o.EraseBeforeProgramming && !EraseDevice(false)) return false;
  if (!o.SkipBlankCheck && !BlankCheck(false)) {
    // A blank check that could not run (port, cancel) has already said so.
    if (OperationAborted) return false;
    if (!Ui().AskOkCancel("Device not blank.\nProgram anyway?", CaptionInfo, TBoxIcon::Question)) return false;
  }
  ++ProgramCounters.ProgramAttempts;
  if (!ProgramDevice()) return false;
  if (o.VerifyAfterProgramming && !VerifyDevice()) return false;
  ++ProgramCounters.ProgramSuccess;
  Completed(o.VerifyAfterProgramming ? "Program/Verify complete." : "Programming complete.");
  if (AppSettings.ExitAfterProgramming) Host->ExitProgram();
  return true;
}

bool RunVerify() {
  if (!Host->CheckProgrammerPort()) return false;
  if (!VerifyDevice()) return false;
  Completed("Verify complete.");
  return true;
}

bool RunRead() {
  if (!Host->CheckProgrammerPort()) return false;
  Host->ForgetFile();
  ClearBuffers();
  if (ProgramOptions.UpdateConfiguration) ClearConfiguration();
  const bool ok = ReadDevice();
  Host->RefreshViews();
  ShowConfiguration();
  ResetCounters();
  // A read that did not finish is not announced as done.
  if (ok) Ui().Beep();
  return ok;
}

bool RunBlankCheck() {
  if (!Host->CheckProgrammerPort()) return false;
  return BlankCheck(true);
}

bool RunErase() {
  if (!Host->CheckProgrammerPort()) return false;
  const bool ok = EraseDevice(true);
  if (ok && ProgramOptions.DisableCompletion) Ui().Beep();
  return ok;
}
