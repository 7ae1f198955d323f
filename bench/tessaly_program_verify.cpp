// Full program + verify of the largest 14-bit and 18-bit devices of the
// shipped vorra.ini on the simulated Vorra programmer, in virtual time.
//
// Prints the virtual time the engine took, the time the command sequences
// themselves demand (every delay they name plus one microsecond per port
// access, about what a ppdev call costs), the ratio of the two, and the
// host CPU time per word. The demanded time is computed here from the
// sequences, independently of the engine.
#include <cstdio>
#include <ctime>
#include <string>

#include "ts_app.h"
#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_images.h"
#include "ts_lpt.h"
#include "ts_ui.h"
#include "vsim_catalog.h"
#include "vsim_clock.h"
#include "vsim_port.h"
#include "vsim_vorra.h"

namespace {

constexpr int64_t AccessNs = 1000;

// The time a command sequence demands: delays plus port accesses.
struct TDemand {
  int64_t Ns = 0;
  int Core = 14;
  int64_t ProgUs = 0;
  void Access(int64_t n) { Ns += n * AccessNs; }
  void Us(int64_t us) { Ns += us * 1000; }
  void Bits(int n) { Access(2 * n), Us(1); }
  void Receive(int n) { Access(4 * n), Us(1); }
  void Command() { Bits(Core == 18 ? 4 : 6); }
  void Instruction() { Command(), Bits(16); }
  void Hold() { Access(8), Us(ProgUs + 5); }
  void Enter() { Access(4 + 3), Us(100000 + 20000 + 20); }  // line reset, 0x0C, 0x08, 0x10
  void Exit() { Access(1); }
  void TablePointer(uint32_t a) {
    int n = a >= 0x10000 ? 2 : 1;
    n += ((a >> 8) & 0xFF) ? 2 : 1;
    n += (a & 0xFF) ? 2 : 1;
    for (int i = 0; i < n; ++i) Instruction();
  }
  void ReadWord() {
    if (Core == 18) {
      for (int i = 0; i < 2; ++i) Command(), Receive(16);
    } else {
      Command(), Receive(16);
    }
  }
};

TDemand Demand14(const TDeviceParameters& d) {
  TDemand t;
  t.Core = 14;
  t.ProgUs = d.ProgTime;
  // Program: every word one pulse that verifies, every byte one write.
  t.Enter();
  for (int i = 0; i < d.CodeSize; ++i) {
    t.Command(), t.Bits(16), t.Command(), t.Us(d.ProgTime);  // PulseWord
    t.ReadWord();
    t.Command();  // increment
  }
  for (int i = 0; i < d.DataSize; ++i) {
    t.Command(), t.Bits(16), t.Command(), t.Us(d.ProgTime);
    t.Command(), t.Receive(16);
    t.Command();
  }
  t.Command(), t.Bits(16);  // Load Configuration
  for (int i = 0; i < 7; ++i) t.Command();
  t.Command(), t.Bits(16), t.Command(), t.Us(d.ProgTime);
  t.ReadWord();
  t.Exit();
  // Verify.
  t.Enter();
  for (int i = 0; i < d.CodeSize; ++i) t.ReadWord(), t.Command();
  for (int i = 0; i < d.DataSize; ++i) t.Command(), t.Receive(16), t.Command();
  t.Command(), t.Bits(16);
  for (int i = 0; i < 7; ++i) t.Command();
  t.ReadWord();
  t.Exit();
  return t;
}

TDemand Demand18(const TDeviceParameters& d, int64_t eeWriteNs) {
  TDemand t;
  t.Core = 18;
  t.ProgUs = d.ProgTime;
  t.Enter();
  t.TablePointer(0x3C0006), t.Instruction(), t.Instruction(), t.Instruction();
  for (int b = 0; b < d.CodeSize; b += d.BlockSize) {
    t.TablePointer(2 * static_cast<uint32_t>(b));
    for (int k = 0; k < d.BlockSize; ++k) t.Instruction();  // table writes
    t.Hold(), t.Bits(16);
    t.TablePointer(2 * static_cast<uint32_t>(b));
    for (int k = 0; k < d.BlockSize; ++k) t.ReadWord();
  }
  t.Instruction(), t.Instruction();
  for (int i = 0; i < d.DataSize; ++i) {
    t.Instruction(), t.Instruction();  // address
    for (int k = 0; k < 8; ++k) t.Instruction();
    // Poll WR until the part's write time has passed since WR was set.
    const int64_t writeEnd = t.Ns + eeWriteNs;
    for (;;) {
      t.Instruction();  // MOVF EECON1, W: WR is sampled here
      const bool busy = t.Ns < writeEnd;
      t.Instruction(), t.Command(), t.Receive(16);
      if (!busy) break;
    }
    t.Instruction();
    for (int k = 0; k < 3; ++k) t.Instruction();
    t.Command(), t.Receive(16);
  }
  t.TablePointer(0x3C0006), t.Instruction(), t.Instruction(), t.Instruction();
  t.TablePointer(0x300000);
  for (int i = 0; i < d.ConfigSize; ++i)
    for (int k = 0; k < 2; ++k) t.Instruction(), t.Hold(), t.Bits(16), t.Command(), t.Receive(16);
  t.Exit();
  // Verify.
  t.Enter();
  t.TablePointer(0);
  for (int i = 0; i < d.CodeSize; ++i) t.ReadWord();
  t.Instruction(), t.Instruction();
  for (int i = 0; i < d.DataSize; ++i) {
    t.Instruction(), t.Instruction();
    for (int k = 0; k < 3; ++k) t.Instruction();
    t.Command(), t.Receive(16);
  }
  t.TablePointer(0x300000);
  for (int i = 0; i < d.ConfigSize; ++i) t.ReadWord();
  t.Exit();
  return t;
}

bool Run(const char* device) {
  TVirtualClock clock;
  SetClock(&clock);
  TSimPort port(&clock);
  port.AccessCostNs = AccessNs;
  port.KeepLog = false;
  TSimChip chip = MakeSimChip(device);
  TVorraProgrammer programmer(chip.Pic());
  port.Slots[0].Device = &programmer;
  SetPortBackend(&port);

  const std::string here = __FILE__;
  AppSettings.ProgramDirectory = here.substr(0, here.rfind('/')) + "/../tessaly/data/";
  DeviceBox.Text = device;
  if (!LoadDevice() || !SelectProgrammerPort(1)) {
    std::printf("%s: cannot load or select\n", device);
    return false;
  }
  const TDeviceParameters& d = DeviceParameters;
  ClearBuffers();
  ClearConfiguration();
  uint32_t x = 12345;
  for (int i = 0; i < d.CodeSize; ++i) {
    x = x * 1664525u + 1013904223u;
    CodeImage[i] = (x >> 8) & BlankWord();
  }
  for (int i = 0; i < d.DataSize; ++i) DataImage[i] = (i * 37) & 0xFF;
  for (int i = 0; i < d.ConfigSize; ++i) ConfigWords[i] = static_cast<uint32_t>(d.BaseConfig[i]);

  const int64_t t0 = clock.Now;
  timespec c0{}, c1{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
  const bool ok = ProgramDevice() && VerifyDevice();
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
  const int64_t virtualNs = clock.Now - t0;
  const double cpuUs = (c1.tv_sec - c0.tv_sec) * 1e6 + (c1.tv_nsec - c0.tv_nsec) / 1e3;

  const TDemand demand = d.CoreType == 18 ? Demand18(d, chip.P18->Spec.EeWriteNs) : Demand14(d);
  const int64_t words = d.CodeSize + d.DataSize;
  std::printf("%-10s %s  words %6lld  virtual %9.3f s  demanded %9.3f s  ratio %.4f  cpu %.2f us/word  violations %zu\n",
              device, ok ? "ok    " : "FAILED", static_cast<long long>(words), virtualNs / 1e9, demand.Ns / 1e9,
              static_cast<double>(virtualNs) / static_cast<double>(demand.Ns), cpuUs / static_cast<double>(words),
              chip.Pic()->Violations.size());
  SetPortBackend(nullptr);
  SetClock(nullptr);
  return ok;
}

}  // namespace

int main() {
  bool ok = Run("PIC16F877");
  ok = Run("PIC18F452") && ok;
  return ok ? 0 : 1;
}
