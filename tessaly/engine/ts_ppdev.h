// The parallel port through the kernel's ppdev driver, /dev/parport0..2 for
// LPT1-3. The system calls go through a table so tests can stand in for the
// kernel.
#pragma once

#include "ts_port.h"

struct TPpdevSys {
  int (*Open)(const char* path, int flags);
  int (*Ioctl)(int fd, unsigned long request, void* arg);
  int (*Close)(int fd);
};

// The real open/ioctl/close.
const TPpdevSys& PpdevSystemCalls();

class TPpdevBackend final : public TPortBackend {
public:
  explicit TPpdevBackend(const TPpdevSys& sys = PpdevSystemCalls()) : Sys(sys) {}
  ~TPpdevBackend() override { Release(); }
  bool Claim(int lptIndex, std::string& why) override;
  void Release() override;
  uint8_t Read(int offset) override;
  bool Write(int offset, uint8_t value) override;

private:
  // One register ioctl; a failure is kept as the port's fault.
  bool Access(unsigned long request, const char* name, void* arg);
  const TPpdevSys& Sys;
  int Fd = -1;
  int Index = 0;  // the LPT index claimed
  uint8_t ControlShadow = 0;  // bits 0-3 as last written, bit 5 = data direction
  uint8_t EcrShadow = 0;      // ppdev cannot reach the ECR; keep what was written
};

// The device file of an LPT index: "/dev/parport0" for 0.
std::string ParportPath(int lptIndex);

// What to do when there is no port device, and when the user may not open
// one: the same words wherever a port cannot be reached.
extern const char* const LoadPpdevAdvice;
extern const char* const LpGroupAdvice;
