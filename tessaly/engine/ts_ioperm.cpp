#include "ts_ioperm.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TS_HAVE_IOPERM 1
#else
#define TS_HAVE_IOPERM 0
#endif

int LegacyLptBase(int lptIndex) {
  static const int Bases[3] = {0x378, 0x278, 0x3BC};
  return lptIndex >= 0 && lptIndex < 3 ? Bases[lptIndex] : -1;
}

bool TIopermBackend::Available() { return TS_HAVE_IOPERM && geteuid() == 0; }

bool TIopermBackend::Claim(int lptIndex, std::string& why) {
  Release();
  const int base = LegacyLptBase(lptIndex);
  if (base < 0) {
    why = "There is no LPT" + std::to_string(lptIndex + 1) + ".";
    return false;
  }
#if TS_HAVE_IOPERM
  if (ioperm(static_cast<unsigned long>(base), 3, 1) != 0) {
    char where[16];
    std::snprintf(where, sizeof where, "0x%03X", base);
    why = std::string("Raw access to the port at ") + where + " failed: " + std::strerror(errno) + ".";
    return false;
  }
  Base = base;
  return true;
#else
  why = "Raw port access exists only on x86.";
  return false;
#endif
}

void TIopermBackend::Release() {
#if TS_HAVE_IOPERM
  if (Base >= 0) ioperm(static_cast<unsigned long>(Base), 3, 0);
#endif
  Base = -1;
}

uint8_t TIopermBackend::Read(int offset) {
  if (Base < 0) return 0;
  if (offset == RegEcr) return EcrShadow;
  if (offset < 0 || offset > 2) return 0;
#if TS_HAVE_IOPERM
  return inb(static_cast<unsigned short>(Base + offset));
#else
  return 0;
#endif
}

bool TIopermBackend::Write(int offset, uint8_t value) {
  if (Base < 0) return false;
  if (offset == RegEcr) {
    EcrShadow = value;
    return true;
  }
  if (offset != RegData && offset != RegControl) return false;
#if TS_HAVE_IOPERM
  outb(value, static_cast<unsigned short>(Base + offset));
  return true;
#else
  return false;
#endif
}
