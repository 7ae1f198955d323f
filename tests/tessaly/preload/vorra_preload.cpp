// The simulated Vorra programmer for the program itself: preloaded into a
// tessaly process (LD_PRELOAD), it answers the ppdev calls on
// /dev/parport0 with the simulated port, programmer and the part named by
// VORRA_SIM_CHIP in its socket; /dev/parport1 and 2 do not exist. Every
// other file passes through to the system.
//
// What it reports goes to standard error, one line each, beginning with
// "vorra-sim: ": every claim of the port, every entry of the part into
// programming mode, and at the process's normal end the data register (the
// programmer's lines), whether the port is still open or claimed, how many
// code words hold something, and the part's timing complaints. With
// VORRA_SIM_HOLD set, the first entry into programming mode waits for one
// byte on standard input before it returns, so a test can act while the
// operation is known to run.
//
// Register accesses take at least a microsecond of real time, as through
// the kernel's driver; the part's clock is the monotonic clock.
#include <dlfcn.h>
#include <linux/ioctl.h>
#include <linux/ppdev.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "vsim_catalog.h"
#include "vsim_clock.h"
#include "vsim_port.h"
#include "vsim_vorra.h"

#define EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

using TOpen = int (*)(const char*, int, ...);
using TIoctl = int (*)(int, unsigned long, ...);
using TClose = int (*)(int);
using TAccess = int (*)(const char*, int);
using TWrite = long (*)(int, const void*, unsigned long);
using TRead = long (*)(int, void*, unsigned long);

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

constexpr const char* ParportPrefix = "/dev/parport";
constexpr int OpenFlagRead = 0;     // O_RDONLY
constexpr int OpenFlagCreate = 0100;  // O_CREAT
constexpr int OpenFlagTmpFile = 020000000;

// The descriptor that stands for /dev/parport0 while it is open; the other
// descriptors of the process never touch the simulation.
int FakeFd = -1;

int64_t MonotonicNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void Say(const std::string& line) {
  static const TWrite write = Next<TWrite>("write");
  const std::string text = "vorra-sim: " + line + "\n";
  write(2, text.data(), text.size());
}

class TBench {
public:
  TBench() {
    const char* name = std::getenv("VORRA_SIM_CHIP");
    Chip = MakeSimChip(name ? name : "PIC16F84A");
    Name = name ? name : "PIC16F84A";
    Programmer.Socket = Chip.Pic();
    Port.AccessCostNs = 0;
    Port.KeepLog = false;
    Port.Slots[0].Device = &Programmer;
    Port.Slots[1].Exists = false;
    Port.Slots[2].Exists = false;
    Hold = std::getenv("VORRA_SIM_HOLD") != nullptr;
    Start = MonotonicNs();
  }

  ~TBench() {
    char line[160];
    std::snprintf(line, sizeof line, "at exit: data 0x%02X, port %s, %d code words set, %zu violations",
                  Port.Slots[0].Data, FakeFd >= 0 ? (Port.Claimed >= 0 ? "claimed" : "open") : "closed",
                  WordsSet(), Chip.Pic() ? Chip.Pic()->Violations.size() : 0);
    Say(line);
    if (Chip.Pic())
      for (const std::string& v : Chip.Pic()->Violations) Say("violation: " + v);
  }

  // The device file of an LPT index, or -1 for any other path.
  static int Index(const char* path) {
    if (!path || std::strncmp(path, ParportPrefix, std::strlen(ParportPrefix)) != 0) return -1;
    const char* n = path + std::strlen(ParportPrefix);
    return (n[0] >= '0' && n[0] <= '9' && n[1] == 0) ? n[0] - '0' : -1;
  }

  int Open(int index) {
    if (index != 0) {
      errno = ENOENT;
      return -1;
    }
    if (FakeFd >= 0) {
      errno = EBUSY;
      return -1;
    }
    static const TOpen open = Next<TOpen>("open");
    FakeFd = open("/dev/null", OpenFlagRead);
    return FakeFd;
  }

  void Closed() {
    Port.Release();
    FakeFd = -1;
  }

  int Ioctl(unsigned long request, void* arg) {
    auto byte = [arg] { return static_cast<unsigned char*>(arg); };
    switch (request) {
      case PPEXCL:
      case PPDATADIR: return 0;
      case PPCLAIM: {
        std::string why;
        if (!Port.Claim(0, why)) {
          errno = EBUSY;
          return -1;
        }
        Say("/dev/parport0 claimed");
        return 0;
      }
      case PPRELEASE: Port.Release(); return 0;
      case PPWDATA: return Access(true, RegData, byte());
      case PPRDATA: return Access(false, RegData, byte());
      case PPRSTATUS: return Access(false, RegStatus, byte());
      case PPWCONTROL: return Access(true, RegControl, byte());
      case PPRCONTROL: return Access(false, RegControl, byte());
      default: errno = EINVAL; return -1;
    }
  }

private:
  int Access(bool write, int offset, unsigned char* value) {
    if (Port.Claimed < 0) {
      errno = EACCES;
      return -1;
    }
    // A register access through the driver takes about a microsecond.
    int64_t now = MonotonicNs();
    while (now < LastAccess + 1000) now = MonotonicNs();
    LastAccess = now;
    Clock.Now = std::max(Clock.Now, now - Start);
    if (write) Port.Write(offset, *value);
    else *value = Port.Read(offset);
    if (write && offset == RegData) Watch();
    return 0;
  }

  void Watch() {
    TSerialPic* pic = Chip.Pic();
    const bool inMode = pic && pic->InProgramMode;
    if (inMode && !WasInMode) {
      Say(Name + " in programming mode");
      if (Hold && !Held) {
        Held = true;
        static const TRead read = Next<TRead>("read");
        char c = 0;
        while (read(0, &c, 1) < 0 && errno == EINTR) {
        }
      }
    }
    WasInMode = inMode;
  }

  int WordsSet() const {
    if (!Chip.Mid) return 0;
    int n = 0;
    for (int i = 0; i < Chip.Mid->Spec.CodeWords; ++i)
      if (Chip.Mid->Word(i) != Chip.Mid->Blank()) ++n;
    return n;
  }

  TSimChip Chip;
  std::string Name;
  TVirtualClock Clock;
  TSimPort Port{&Clock};
  TVorraProgrammer Programmer;
  bool Hold = false, Held = false, WasInMode = false;
  int64_t Start = 0, LastAccess = 0;
};

TBench& Bench() {
  static TBench bench;
  return bench;
}

int OpenFile(const char* name, const char* path, int flags, va_list args) {
  const int index = TBench::Index(path);
  if (index >= 0) return Bench().Open(index);
  const TOpen real = Next<TOpen>(name);
  if (flags & (OpenFlagCreate | OpenFlagTmpFile)) return real(path, flags, va_arg(args, unsigned int));
  return real(path, flags);
}

}  // namespace

EXPORTED int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const int fd = OpenFile("open", path, flags, args);
  va_end(args);
  return fd;
}

EXPORTED int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const int fd = OpenFile("open64", path, flags, args);
  va_end(args);
  return fd;
}

EXPORTED int __open_2(const char* path, int flags) {
  if (TBench::Index(path) >= 0) return Bench().Open(TBench::Index(path));
  return Next<int (*)(const char*, int)>("__open_2")(path, flags);
}

EXPORTED int __open64_2(const char* path, int flags) {
  if (TBench::Index(path) >= 0) return Bench().Open(TBench::Index(path));
  return Next<int (*)(const char*, int)>("__open64_2")(path, flags);
}

EXPORTED int access(const char* path, int mode) {
  const int index = TBench::Index(path);
  if (index == 0) return 0;
  if (index > 0) {
    errno = ENOENT;
    return -1;
  }
  return Next<TAccess>("access")(path, mode);
}

EXPORTED int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  if (fd >= 0 && fd == FakeFd) return Bench().Ioctl(request, arg);
  return Next<TIoctl>("ioctl")(fd, request, arg);
}

EXPORTED int close(int fd) {
  if (fd >= 0 && fd == FakeFd) Bench().Closed();
  return Next<TClose>("close")(fd);
}
