#include "ts_ioperm.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ts_ppdev.h"

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

int SystemIoperm(unsigned long from, unsigned long count, int on) {
#if TS_HAVE_IOPERM
  return ioperm(from, count, on);
#else
  (void)from, (void)count, (void)on;
  errno = ENOSYS;
  return -1;
#endif
}

bool TIopermBackend::Available() { return TS_HAVE_IOPERM && geteuid() == 0; }

bool TIopermBackend::Claim(int lptIndex, std::string& why) {
  Release();
  const int base = LegacyLptBase(lptIndex);
  if (base < 0) {
    why = "There is no LPT" + std::to_string(lptIndex + 1) + ".";
    return false;
  }
  if (Ioperm(static_cast<unsigned long>(base), 3, 1) != 0) {
    const int err = errno;
    char where[16];
    std::snprintf(where, sizeof where, "0x%03X", base);
    // Raw access is the way out of a machine without port devices; when it
    // fails too, the way back is the port device.
    why = std::string("Raw access to the port at ") + where + " failed: " + std::strerror(err) + ". There is no " +
          ParportPath(lptIndex) + " either: " + LoadPpdevAdvice + "; to use the port without root, " +
          LpGroupAdvice + ".";
    return false;
  }
  Base = base;
  return true;
}

void TIopermBackend::Release() {
  if (Base >= 0) Ioperm(static_cast<unsigned long>(Base), 3, 0);
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
