// Raw port I/O for root on x86, at the legacy LPT addresses 0x378, 0x278 and
// 0x3BC: for machines that have the port but not the ppdev module.
#pragma once

#include "ts_port.h"

// ioperm(2), or a test's stand-in for the kernel.
using TIopermCall = int (*)(unsigned long from, unsigned long count, int on);
int SystemIoperm(unsigned long from, unsigned long count, int on);

class TIopermBackend final : public TPortBackend {
public:
  explicit TIopermBackend(TIopermCall ioperm = SystemIoperm) : Ioperm(ioperm) {}
  ~TIopermBackend() override { Release(); }
  bool Claim(int lptIndex, std::string& why) override;
  void Release() override;
  uint8_t Read(int offset) override;
  bool Write(int offset, uint8_t value) override;
  // Whether raw port I/O can be used at all (x86, effective user root).
  static bool Available();

private:
  TIopermCall Ioperm;
  int Base = -1;
  uint8_t EcrShadow = 0;  // not known to exist at a legacy address: never touched
};

int LegacyLptBase(int lptIndex);
