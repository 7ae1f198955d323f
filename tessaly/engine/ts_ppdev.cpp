#include "ts_ppdev.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

int SysOpen(const char* path, int flags) { return ::open(path, flags); }
int SysIoctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }
int SysClose(int fd) { return ::close(fd); }

const TPpdevSys RealSys{SysOpen, SysIoctl, SysClose};

std::string OpenFailure(const std::string& path, int err) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "There is no " + path + ": " + LoadPpdevAdvice + ".";
    case EACCES:
    case EPERM:
      return "Permission denied on " + path + ": " + LpGroupAdvice + ".";
    case EBUSY:
      return path + " is busy: another program (a printer daemon or the lp module) is using the port.";
    default:
      return "Cannot open " + path + ": " + std::strerror(err) + ".";
  }
}

// A register access that failed on a claimed port. ENODEV and its kin mean
// the port itself went away, as when a USB parallel adapter is unplugged.
std::string AccessFailure(const std::string& path, const char* request, int err) {
  const std::string what = path + ": " + request + " failed: " + std::strerror(err) + ".";
  switch (err) {
    case ENODEV:
    case ENXIO:
    case ENOENT:
    case EIO:
      return what +
             " The port has gone (a USB parallel adapter unplugged, or the cable pulled): plug it back in, check "
             "that " + path + " exists again and repeat the operation.";
    default:
      return what + " Check the port and the programmer's cable and repeat the operation.";
  }
}

}  // namespace

const char* const LoadPpdevAdvice = "load the kernel modules parport_pc and ppdev (sudo modprobe parport_pc ppdev)";
const char* const LpGroupAdvice = "add your user to the group lp (sudo usermod -aG lp $USER) and log in again";

const TPpdevSys& PpdevSystemCalls() { return RealSys; }

std::string ParportPath(int lptIndex) { return "/dev/parport" + std::to_string(lptIndex); }

bool TPpdevBackend::Claim(int lptIndex, std::string& why) {
  Release();
  const std::string path = ParportPath(lptIndex);
  int fd = Sys.Open(path.c_str(), O_RDWR);
  if (fd < 0) {
    why = OpenFailure(path, errno);
    return false;
  }
  // Exclusive use: no printer driver may share the port while we clock bits.
  if (Sys.Ioctl(fd, PPEXCL, nullptr) < 0) {
    const int err = errno;
    Sys.Close(fd);
    why = err == EBUSY ? OpenFailure(path, EBUSY)
                       : path + ": PPEXCL failed: " + std::strerror(err) + ".";
    return false;
  }
  if (Sys.Ioctl(fd, PPCLAIM, nullptr) < 0) {
    const int err = errno;
    Sys.Close(fd);
    why = err == EBUSY ? OpenFailure(path, EBUSY)
                       : path + ": PPCLAIM failed: " + std::strerror(err) + ".";
    return false;
  }
  Fd = fd;
  Index = lptIndex;
  ClearFault();
  ControlShadow = 0;
  unsigned char control = 0;
  if (Sys.Ioctl(Fd, PPRCONTROL, &control) == 0) ControlShadow = control & 0x0F;
  EcrShadow = 0;
  return true;
}

void TPpdevBackend::Release() {
  if (Fd < 0) return;
  Sys.Ioctl(Fd, PPRELEASE, nullptr);
  Sys.Close(Fd);
  Fd = -1;
}

bool TPpdevBackend::Access(unsigned long request, const char* name, void* arg) {
  if (Sys.Ioctl(Fd, request, arg) == 0) return true;
  NoteFault(AccessFailure(ParportPath(Index), name, errno));
  return false;
}

uint8_t TPpdevBackend::Read(int offset) {
  if (Fd < 0) return 0;
  unsigned char value = 0;
  switch (offset) {
    case RegData:
      if (!Access(PPRDATA, "PPRDATA", &value)) return 0;
      return value;
    case RegStatus:
      if (!Access(PPRSTATUS, "PPRSTATUS", &value)) return 0;
      return value;
    case RegControl:
      if (!Access(PPRCONTROL, "PPRCONTROL", &value)) return 0;
      return static_cast<uint8_t>((value & 0x0F) | (ControlShadow & 0x20));
    case RegEcr:
      return EcrShadow;
    default:
      return 0;
  }
}

bool TPpdevBackend::Write(int offset, uint8_t value) {
  if (Fd < 0) return false;
  switch (offset) {
    case RegData: {
      unsigned char v = value;
      return Access(PPWDATA, "PPWDATA", &v);
    }
    case RegControl: {
      unsigned char v = value & 0x0F;
      if (!Access(PPWCONTROL, "PPWCONTROL", &v)) return false;
      // Control bit 5 turns the data lines around; ppdev has its own call.
      const bool reverse = (value & 0x20) != 0;
      if (reverse != ((ControlShadow & 0x20) != 0)) {
        int dir = reverse ? 1 : 0;
        if (!Access(PPDATADIR, "PPDATADIR", &dir)) return false;
      }
      ControlShadow = value & 0x2F;
      return true;
    }
    case RegEcr:
      EcrShadow = value;
      return true;
    default:
      return false;  // the status register is read-only
  }
}
