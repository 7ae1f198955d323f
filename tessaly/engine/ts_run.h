// The Run commands: each checks the programmer port, then chains the
// operations with the Options menu's choices, the counters and the
// completion messages. The main window supplies what belongs to it through
// TRunHost.
#pragma once

class TRunHost {
public:
  virtual ~TRunHost() = default;
  // The port check every Run command starts with; false ends the command.
  virtual bool CheckProgrammerPort() { return true; }
  // Reread File Before Programming: ask for or reopen the file; false ends.
  virtual bool RereadFile() { return true; }
  // Read: window caption back to "Tessaly" and no current file name.
  virtual void ForgetFile() {}
  // The code, data and ID views show the images again.
  virtual void RefreshViews() {}
  // The command line asked to exit after a successful Program.
  virtual void ExitProgram() {}
};

TRunHost& RunHost();
void SetRunHost(TRunHost* host);

bool RunProgram();
bool RunVerify();
bool RunRead();
bool RunBlankCheck();
bool RunErase();
