// One parallel port as the port layer sees it: claim it, read and write its
// registers by offset from the base (0 data, 1 status, 2 control, 0x402 the
// extended control register of an ECP port), release it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

inline constexpr int RegData = 0;
inline constexpr int RegStatus = 1;
inline constexpr int RegControl = 2;
inline constexpr int RegEcr = 0x402;

class TPortBackend {
public:
  virtual ~TPortBackend() = default;
  // Claims LPT1-3 (index 0-2) for exclusive use. On failure returns false
  // and leaves a sentence saying why and how to fix it in `why`.
  virtual bool Claim(int lptIndex, std::string& why) = 0;
  virtual void Release() = 0;
  // Register access on the claimed port; reads of an unclaimed port give 0,
  // writes to it fail.
  virtual uint8_t Read(int offset) = 0;
  virtual bool Write(int offset, uint8_t value) = 0;

  // Why an access to the claimed port failed (a read that gave 0 for want
  // of an answer, a write that never reached the lines), as a sentence
  // naming the port, the reason and the fix; empty while every access went
  // through. The first failure is kept until the port is claimed again.
  const std::string& Fault() const { return FaultText; }

protected:
  void NoteFault(std::string why) {
    if (FaultText.empty()) FaultText = std::move(why);
  }
  void ClearFault() { FaultText.clear(); }

private:
  std::string FaultText;
};
