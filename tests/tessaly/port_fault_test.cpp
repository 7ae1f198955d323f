// A port that stops answering part-way through an operation, as a USB
// parallel adapter does when it is pulled out: reads give 0 and writes are
// lost. The operation ends with false and one error box naming the port and
// the reason, nothing is announced as done, the port is released, and what
// the port still carries leaves the lines at rest.
#include "ops_fixture.h"
#include "ts_run.h"

namespace {

enum class TOp { Read, Program, Verify, Blank, Erase };

const char* Name(TOp op) {
  switch (op) {
    case TOp::Read: return "Read";
    case TOp::Program: return "Program";
    case TOp::Verify: return "Verify";
    case TOp::Blank: return "Blank Check";
    case TOp::Erase: return "Erase";
  }
  return "";
}

class PortFaultTest : public TOperationTest {
protected:
  // A fresh chip for `op`: blank for Read, Program and Blank Check, holding
  // an image for Verify and Erase.
  void Prepare(const char* device, TOp op) {
    TearDown();
    SetUp();
    Use(device);
    FillImage(7);
    ProgramOptions.SkipBlankCheck = true;
    if (op == TOp::Verify || op == TOp::Erase) {
      ASSERT_TRUE(ProgramDevice()) << UiRec.Texts();
    }
    UiRec.Boxes.clear();
    UiRec.Beeps = 0;
    Calibration = DeviceParameters.OscCalAddr >= 0 && DeviceParameters.OscCalAddr < DeviceParameters.CodeSize
                      ? ChipCode(DeviceParameters.OscCalAddr)
                      : 0;
  }
  bool Run(TOp op) {
    switch (op) {
      case TOp::Read: return RunRead();
      case TOp::Program: return RunProgram();
      case TOp::Verify: return RunVerify();
      case TOp::Blank: return RunBlankCheck();
      case TOp::Erase: return RunErase();
    }
    return false;
  }
  uint32_t Calibration = 0;
};

TEST_F(PortFaultTest, AnOperationOnAPortThatStopsAnsweringFails) {
  const char* devices[] = {"PIC16F84A", "PIC12F675", "PIC18F452", "PIC12C508A"};
  for (const char* device : devices) {
    for (TOp op : {TOp::Read, TOp::Program, TOp::Verify, TOp::Blank, TOp::Erase}) {
      Prepare(device, op);
      if (op == TOp::Erase && DeviceParameters.EraseType == 0) continue;
      // The accesses the operation makes on a port that keeps answering.
      const int64_t start = Port.Accesses;
      ASSERT_TRUE(Run(op)) << device << " " << Name(op) << "\n" << UiRec.Texts();
      const int64_t total = Port.Accesses - start;
      for (const int64_t at : {int64_t{0}, total / 3, total * 2 / 3, total - 1}) {
        for (const bool readsOnly : {false, true}) {
          SCOPED_TRACE(std::string(device) + " " + Name(op) + " failing from access " + std::to_string(at) + "/" +
                       std::to_string(total) + (readsOnly ? ", reads only" : ""));
          Prepare(device, op);
          Port.FailAt = Port.Accesses + at;
          Port.FailReadsOnly = readsOnly;
          const bool ok = Run(op);
          if (Port.FailedAccesses == 0) {
            // Only writes after the point: nothing the operation needed failed.
            EXPECT_TRUE(ok) << UiRec.Texts();
            continue;
          }
          EXPECT_FALSE(ok);
          EXPECT_TRUE(OperationAborted);
          ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
          const TBox& box = UiRec.Boxes[0];
          EXPECT_EQ(box.Caption, "Tessaly Error");
          EXPECT_EQ(box.Icon, TBoxIcon::Error);
          EXPECT_EQ(box.Text.rfind("VORRA Port LPT1 stopped answering.\n" + Port.FailReason, 0), 0u) << box.Text;
          EXPECT_EQ(UiRec.Beeps, 0);
          EXPECT_FALSE(UiRec.DialogOpen);
          EXPECT_EQ(Port.Claimed, -1);
          if (readsOnly) {
            EXPECT_EQ(Port.Slots[0].Data, 0x1F) << "the lines at rest";
            EXPECT_FALSE(Chip.Pic()->InProgramMode);
          }
          // An erase that lost the calibration word says what it was.
          const int osc = DeviceParameters.OscCalAddr;
          if (op == TOp::Erase && osc >= 0 && osc < DeviceParameters.CodeSize && ChipCode(osc) != Calibration) {
            EXPECT_NE(box.Text.find(Format("%04X", Calibration)), std::string::npos) << box.Text;
          }
        }
      }
    }
  }
}

// The 12-bit core reaches its configuration word by entering programming
// mode again; a port that cannot be claimed then has said so once, and the
// operation is not finished as if the word had been read.
TEST_F(PortFaultTest, APortLostWhileReclaimingEndsTheOperation) {
  for (TOp op : {TOp::Read, TOp::Verify}) {
    SCOPED_TRACE(Name(op));
    Prepare("PIC12C508A", op);
    const int claims = Port.Claims;
    UiRec.OnPump = [&] {
      if (Port.Claims == claims + 1) Port.Slots[0].Refusal = "/dev/parport0 is busy.";
    };
    EXPECT_FALSE(Run(op));
    EXPECT_TRUE(OperationAborted);
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    EXPECT_EQ(UiRec.Boxes[0].Text, "Unable to access VORRA Port LPT1.\n/dev/parport0 is busy.");
    EXPECT_EQ(UiRec.Beeps, 0);
    EXPECT_FALSE(UiRec.DialogOpen);
    EXPECT_EQ(Port.Claimed, -1);
  }
}

}  // namespace
