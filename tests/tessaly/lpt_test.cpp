// The port layer: detection over LPT1-3, selection, access rules, and the
// ppdev backend against a stand-in kernel.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>

#include <cerrno>
#include <cstring>

#include "tessaly_fixture.h"
#include "ts_ioperm.h"
#include "ts_ppdev.h"
#include "vsim_midrange.h"

namespace {

class PortLayerTest : public TTessalyTest {
protected:
  TLoopbackPlug Straight{false}, Inverted{true};
};

struct TDetectCase {
  const char* Name;
  int Plug[3];  // 0 nothing, 1 loop-back, 2 inverted loop-back, 3 programmer
  int Claim[3];  // 0 claimable, 1 no device file, 2 permission denied
  int Expected;
  const char* Message;  // the box, or null
};

const TDetectCase DetectCases[] = {
    {"found on LPT1", {1, 0, 0}, {0, 0, 0}, 1, nullptr},
    {"inverted on LPT1", {2, 0, 0}, {0, 0, 0}, 1, nullptr},
    {"found on LPT2", {0, 1, 0}, {0, 0, 0}, 2, nullptr},
    {"programmer on LPT3", {0, 0, 3}, {0, 0, 0}, 3, nullptr},
    {"LPT2 not claimable, programmer on LPT3", {0, 1, 3}, {0, 2, 0}, 3, nullptr},
    {"claimable, nothing there", {0, 0, 0}, {0, 1, 1}, 0, "VORRA Programmer not found.\n"},
    {"no port at all", {1, 1, 1}, {1, 1, 1}, 0, "Unable to access any LPT ports.\n"},
    {"no permission", {1, 1, 1}, {2, 2, 2}, 0, "Unable to access any LPT ports.\n"},
};

TEST_F(PortLayerTest, DetectionTable) {
  for (const TDetectCase& c : DetectCases) {
    SCOPED_TRACE(c.Name);
    SetUp();
    TMidrangeSpec spec;
    spec.Name = "idle chip";
    TMidrangeSim chip(spec);
    Programmer.Socket = &chip;
    UiRec.Boxes.clear();
    for (int i = 0; i < 3; ++i) {
      TSimPort::TSlot& s = Port.Slots[i];
      s = TSimPort::TSlot{};
      s.Device = c.Plug[i] == 1 ? static_cast<TLptDevice*>(&Straight)
                 : c.Plug[i] == 2 ? static_cast<TLptDevice*>(&Inverted)
                 : c.Plug[i] == 3 ? static_cast<TLptDevice*>(&Programmer)
                                  : nullptr;
      s.Exists = c.Claim[i] != 1;
      if (c.Claim[i] == 2)
        s.Refusal = "Permission denied on /dev/parport" + std::to_string(i) +
                    ": add your user to the group lp (sudo usermod -aG lp $USER) and log in again.";
    }
    EXPECT_EQ(DetectProgrammerPort(), c.Expected);
    EXPECT_EQ(Port.Claimed, -1) << "the port is released after detection";
    EXPECT_FALSE(PortLayer.Detecting);
    EXPECT_EQ(PortLayer.PortSelected, c.Expected != 0);
    EXPECT_EQ(PortLayer.LptIndex, c.Expected ? c.Expected - 1 : 0);
    if (c.Message) {
      ASSERT_EQ(UiRec.Boxes.size(), 1u);
      EXPECT_EQ(UiRec.Boxes[0].Text.rfind(c.Message, 0), 0u) << UiRec.Boxes[0].Text;
      EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
      EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Warning);
      EXPECT_EQ(UiRec.Boxes[0].Text.back(), '\n');
    } else {
      EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
    }
    EXPECT_TRUE(chip.Violations.empty());
    TearDown();
  }
}

TEST_F(PortLayerTest, UnreachablePortsSayWhyAndHowToFixIt) {
  for (int i = 0; i < 3; ++i) Port.Slots[i].Exists = false;
  EXPECT_EQ(DetectProgrammerPort(), 0);
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  const std::string& t = UiRec.Boxes[0].Text;
  EXPECT_NE(t.find("LPT1: There is no /dev/parport0"), std::string::npos) << t;
  EXPECT_NE(t.find("LPT3: There is no /dev/parport2"), std::string::npos) << t;
  EXPECT_NE(t.find("parport_pc and ppdev"), std::string::npos) << t;
}

// Root on a machine without /dev/parport*: the layer tries raw port access,
// which fails in a container or under a kernel locked down. The box then
// says what to do, in the words the port device's own failures use.
int RawAccessErrno = 0;
int FailingIoperm(unsigned long, unsigned long, int on) {
  if (!on) return 0;
  errno = RawAccessErrno;
  return -1;
}

TEST_F(PortLayerTest, RawAccessThatFailsSaysHowToFixIt) {
  const std::pair<int, const char*> cases[] = {{ENOSYS, "Function not implemented"},
                                               {EPERM, "Operation not permitted"}};
  for (const auto& [err, reason] : cases) {
    SCOPED_TRACE(reason);
    UiRec.Boxes.clear();
    RawAccessErrno = err;
    TIopermBackend raw(FailingIoperm);
    SetPortBackend(&raw);
    EXPECT_EQ(DetectProgrammerPort(), 0);
    ASSERT_EQ(UiRec.Boxes.size(), 1u);
    const std::string& t = UiRec.Boxes[0].Text;
    EXPECT_EQ(t.rfind("Unable to access any LPT ports.\n", 0), 0u) << t;
    const std::pair<const char*, const char*> ports[] = {
        {"LPT1: Raw access to the port at 0x378 failed: ", "/dev/parport0"},
        {"LPT2: Raw access to the port at 0x278 failed: ", "/dev/parport1"},
        {"LPT3: Raw access to the port at 0x3BC failed: ", "/dev/parport2"}};
    for (const auto& [line, device] : ports) {
      const size_t at = t.find(std::string(line) + reason + ". There is no " + device + " either: ");
      ASSERT_NE(at, std::string::npos) << t;
      const std::string rest = t.substr(at, t.find('\n', at) - at);
      EXPECT_NE(rest.find("load the kernel modules parport_pc and ppdev (sudo modprobe parport_pc ppdev)"),
                std::string::npos) << rest;
      EXPECT_NE(rest.find("add your user to the group lp (sudo usermod -aG lp $USER) and log in again."),
                std::string::npos) << rest;
    }
    SetPortBackend(&Port);
  }
}

TEST_F(PortLayerTest, ProbeRestoresControlAndEcrWhenNothingAnswers) {
  Port.Slots[0].Control = 0x2B;
  Port.Slots[0].Ecr = 0x35;
  Port.Slots[1].Device = &Straight;
  Port.Slots[1].Control = 0x2B;
  EXPECT_EQ(DetectProgrammerPort(), 2);
  EXPECT_EQ(Port.Slots[0].Control, 0x2B);
  EXPECT_EQ(Port.Slots[0].Ecr, 0x35);
  EXPECT_EQ(Port.Slots[1].Control, 0x0B);
  EXPECT_EQ(Port.Slots[1].Ecr, 0x14);
  // The probe sequence on the port that answered: 0x0A, 10 ms, 0x0B, 0x0A, 0x0B, 0x1F.
  std::vector<uint8_t> data;
  int64_t t0A = -1, t0B = -1;
  for (const TPortWrite& w : Port.Log)
    if (w.Port == 1 && w.Offset == RegData) {
      data.push_back(w.Value);
      if (w.Value == 0x0A && t0A < 0) t0A = w.TimeNs;
      if (w.Value == 0x0B && t0B < 0) t0B = w.TimeNs;
    }
  EXPECT_EQ(data, (std::vector<uint8_t>{0x0A, 0x0B, 0x0A, 0x0B, 0x1F}));
  EXPECT_GE(t0B - t0A, 10'000'000);
}

TEST_F(PortLayerTest, SelectionResetsTheLinesOrFails) {
  Port.Slots[1].Control = 0xEB;
  EXPECT_TRUE(SelectProgrammerPort(2));
  EXPECT_EQ(Port.Claimed, -1);
  EXPECT_EQ(Port.Slots[1].Data, 0x1F);
  EXPECT_EQ(Port.Slots[1].Ecr, 0x14);
  EXPECT_EQ(Port.Slots[1].Control, 0x0B);
  EXPECT_TRUE(PortLayer.PortSelected);
  EXPECT_EQ(PortLayer.LptIndex, 1);

  Port.Slots[2].Refusal = "/dev/parport2 is busy.";
  EXPECT_FALSE(SelectProgrammerPort(3));
  EXPECT_FALSE(PortLayer.PortSelected);
  EXPECT_EQ(PortLayer.LptIndex, 0);
  EXPECT_EQ(PortLayer.LastClaimFailure, "/dev/parport2 is busy.");
  EXPECT_FALSE(SelectProgrammerPort(0));
  EXPECT_FALSE(SelectProgrammerPort(4));
  EXPECT_TRUE(UiRec.Boxes.empty()) << "the caller reports a failed selection";
}

TEST_F(PortLayerTest, NoAccessWithoutAClaimedPort) {
  EXPECT_EQ(lpt_ReadPort(RegStatus), 0);
  EXPECT_FALSE(lpt_WritePort(RegData, 0x12));
  EXPECT_FALSE(lpt_Lock()) << "no port selected and no detection running";
  ASSERT_TRUE(SelectProgrammerPort(1));
  EXPECT_FALSE(lpt_WritePort(RegData, 0x12)) << "selected but not claimed";
  EXPECT_EQ(Port.AccessesWhileUnclaimed, 0);
  ASSERT_TRUE(lpt_Lock());
  EXPECT_TRUE(lpt_WritePort(RegData, 0x12));
  EXPECT_EQ(Port.Slots[0].Data, 0x12);
  EXPECT_TRUE(lpt_Unlock());
  EXPECT_EQ(Port.Claimed, -1);
  CloseDriver();
  EXPECT_FALSE(PortLayer.DriverOpen);
}

// A stand-in kernel for the ppdev backend.
struct TFakeKernel {
  struct TCall {
    unsigned long Request;
    int Value;
  };
  std::vector<TCall> Calls;
  std::string OpenedPath;
  int OpenFlags = -1;
  int OpenErrno = 0;
  unsigned long FailRequest = 0;
  int FailErrno = 0;
  unsigned char Status = 0x5F, Control = 0x04;
  bool Closed = false;
};
TFakeKernel Kernel;

int FakeOpen(const char* path, int flags) {
  Kernel.OpenedPath = path;
  Kernel.OpenFlags = flags;
  if (Kernel.OpenErrno) {
    errno = Kernel.OpenErrno;
    return -1;
  }
  return 7;
}

int FakeIoctl(int fd, unsigned long request, void* arg) {
  EXPECT_EQ(fd, 7);
  int value = -1;
  if (request == PPWDATA || request == PPWCONTROL) value = *static_cast<unsigned char*>(arg);
  if (request == PPDATADIR) value = *static_cast<int*>(arg);
  if (request == PPRSTATUS) *static_cast<unsigned char*>(arg) = Kernel.Status;
  if (request == PPRCONTROL) *static_cast<unsigned char*>(arg) = Kernel.Control;
  if (request == PPRDATA) *static_cast<unsigned char*>(arg) = 0x99;
  Kernel.Calls.push_back({request, value});
  if (request == Kernel.FailRequest) {
    errno = Kernel.FailErrno;
    return -1;
  }
  return 0;
}

int FakeClose(int fd) {
  EXPECT_EQ(fd, 7);
  Kernel.Closed = true;
  return 0;
}

const TPpdevSys FakeSys{FakeOpen, FakeIoctl, FakeClose};

class PpdevTest : public ::testing::Test {
protected:
  void SetUp() override { Kernel = TFakeKernel{}; }
  std::vector<unsigned long> Requests() const {
    std::vector<unsigned long> r;
    for (auto& c : Kernel.Calls) r.push_back(c.Request);
    return r;
  }
};

TEST_F(PpdevTest, RegistersMapOntoPpdevCalls) {
  TPpdevBackend b(FakeSys);
  std::string why;
  ASSERT_TRUE(b.Claim(1, why));
  EXPECT_EQ(Kernel.OpenedPath, "/dev/parport1");
  EXPECT_EQ(Kernel.OpenFlags & O_ACCMODE, O_RDWR);
  EXPECT_EQ(Requests(), (std::vector<unsigned long>{PPEXCL, PPCLAIM, PPRCONTROL}));
  Kernel.Calls.clear();

  EXPECT_TRUE(b.Write(RegData, 0x5A));
  EXPECT_EQ(b.Read(RegStatus), 0x5F);
  EXPECT_EQ(b.Read(RegData), 0x99);
  EXPECT_TRUE(b.Write(RegControl, 0x2B));  // bit 5: data lines turned around
  EXPECT_TRUE(b.Write(RegControl, 0x2A));  // still reversed: no direction call
  EXPECT_TRUE(b.Write(RegControl, 0x0B));
  EXPECT_EQ(b.Read(RegControl), 0x04);
  ASSERT_EQ(Kernel.Calls.size(), 9u);
  EXPECT_EQ(Kernel.Calls[0].Request, PPWDATA);
  EXPECT_EQ(Kernel.Calls[0].Value, 0x5A);
  EXPECT_EQ(Kernel.Calls[1].Request, PPRSTATUS);
  EXPECT_EQ(Kernel.Calls[2].Request, PPRDATA);
  EXPECT_EQ(Kernel.Calls[3].Request, PPWCONTROL);
  EXPECT_EQ(Kernel.Calls[3].Value, 0x0B);
  EXPECT_EQ(Kernel.Calls[4].Request, PPDATADIR);
  EXPECT_EQ(Kernel.Calls[4].Value, 1);
  EXPECT_EQ(Kernel.Calls[5].Request, PPWCONTROL);
  EXPECT_EQ(Kernel.Calls[5].Value, 0x0A);
  EXPECT_EQ(Kernel.Calls[6].Request, PPWCONTROL);
  EXPECT_EQ(Kernel.Calls[7].Request, PPDATADIR);
  EXPECT_EQ(Kernel.Calls[7].Value, 0);
  EXPECT_EQ(Kernel.Calls[8].Request, PPRCONTROL);
  Kernel.Calls.clear();

  // ppdev cannot reach the ECR: a shadow keeps what was written, no call.
  EXPECT_TRUE(b.Write(RegEcr, 0x14));
  EXPECT_EQ(b.Read(RegEcr), 0x14);
  EXPECT_FALSE(b.Write(RegStatus, 0x00));
  EXPECT_TRUE(Kernel.Calls.empty());

  b.Release();
  EXPECT_EQ(Requests(), (std::vector<unsigned long>{PPRELEASE}));
  EXPECT_TRUE(Kernel.Closed);
  EXPECT_EQ(b.Read(RegStatus), 0);
  EXPECT_FALSE(b.Write(RegData, 1));
}

struct TPpdevFailure {
  int OpenErrno;
  unsigned long FailRequest;
  int FailErrno;
  const char* Says;
};

TEST_F(PpdevTest, ClaimFailuresSayHowToFixThem) {
  const TPpdevFailure cases[] = {
      {ENOENT, 0, 0, "load the kernel modules parport_pc and ppdev"},
      {EACCES, 0, 0, "add your user to the group lp"},
      {EBUSY, 0, 0, "is busy"},
      {0, PPCLAIM, EBUSY, "is busy"},
      {0, PPEXCL, EBUSY, "is busy"},
      {0, PPCLAIM, EIO, "PPCLAIM failed"},
  };
  for (const TPpdevFailure& c : cases) {
    SetUp();
    Kernel.OpenErrno = c.OpenErrno;
    Kernel.FailRequest = c.FailRequest;
    Kernel.FailErrno = c.FailErrno;
    TPpdevBackend b(FakeSys);
    std::string why;
    EXPECT_FALSE(b.Claim(0, why));
    EXPECT_NE(why.find(c.Says), std::string::npos) << why;
    EXPECT_NE(why.find("/dev/parport0"), std::string::npos) << why;
    EXPECT_EQ(Kernel.Closed, c.OpenErrno == 0) << "an opened device is closed again";
    EXPECT_EQ(b.Read(RegStatus), 0);
  }
}

TEST_F(PpdevTest, AFailingAccessIsKeptAsThePortsFault) {
  TPpdevBackend b(FakeSys);
  std::string why;
  ASSERT_TRUE(b.Claim(2, why));
  EXPECT_TRUE(b.Fault().empty());
  // The adapter goes away: every ioctl on the open device fails with ENODEV.
  Kernel.FailRequest = PPRSTATUS;
  Kernel.FailErrno = ENODEV;
  EXPECT_EQ(b.Read(RegStatus), 0);
  const std::string fault = b.Fault();
  const std::string says[] = {"/dev/parport2", "PPRSTATUS", std::strerror(ENODEV), "plug it back in"};
  for (const std::string& s : says) EXPECT_NE(fault.find(s), std::string::npos) << s << " in " << fault;
  Kernel.FailRequest = PPWDATA;
  Kernel.FailErrno = EIO;
  EXPECT_FALSE(b.Write(RegData, 0x1F));
  EXPECT_EQ(b.Fault(), fault) << "the first failure is the one to report";
  Kernel.FailRequest = 0;
  ASSERT_TRUE(b.Claim(2, why));
  EXPECT_TRUE(b.Fault().empty()) << "a new claim starts clean";
}

}  // namespace
