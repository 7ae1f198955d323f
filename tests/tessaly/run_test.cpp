// The Run commands: the chain of erase, blank check, program and verify,
// the counters and the completion messages.
#include "ops_fixture.h"
#include "ts_app.h"
#include "ts_run.h"

namespace {

class TTestHost : public TRunHost {
public:
  bool CheckProgrammerPort() override {
    ++Checks;
    return PortOk;
  }
  bool RereadFile() override {
    ++Rereads;
    return RereadOk;
  }
  void ForgetFile() override { ++Forgets; }
  void RefreshViews() override { ++Refreshes; }
  void ExitProgram() override { ++Exits; }
  bool PortOk = true, RereadOk = true;
  int Checks = 0, Rereads = 0, Forgets = 0, Refreshes = 0, Exits = 0;
};

class RunCommandTest : public TOperationTest {
protected:
  void SetUp() override {
    TOperationTest::SetUp();
    SetRunHost(&Host);
    ResetCounters();
  }
  void TearDown() override {
    SetRunHost(nullptr);
    ResetCounters();
    TOperationTest::TearDown();
  }
  TTestHost Host;
};

TEST_F(RunCommandTest, ProgramOnABlankChip) {
  Use("PIC16F84A");
  FillImage(11);
  ASSERT_TRUE(RunProgram()) << UiRec.Texts();
  EXPECT_EQ(Host.Checks, 1);
  EXPECT_EQ(ProgramCounters.ProgramAttempts, 1);
  EXPECT_EQ(ProgramCounters.ProgramSuccess, 1);
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Programming complete.");
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly");
  EXPECT_EQ(UiRec.Captions, (std::vector<std::string>{"Tessaly - Blank Checking...", "Tessaly - Programming..."}));
  ExpectChipHoldsImage();

  ProgramOptions.VerifyAfterProgramming = true;
  ProgramOptions.SkipBlankCheck = true;
  UiRec.Boxes.clear();
  ASSERT_TRUE(RunProgram()) << UiRec.Texts();
  EXPECT_EQ(UiRec.Boxes.back().Text, "Program/Verify complete.");
  EXPECT_EQ(ProgramCounters.ProgramSuccess, 2);

  ProgramOptions.DisableCompletion = true;
  AppSettings.ExitAfterProgramming = true;
  UiRec.Boxes.clear();
  ASSERT_TRUE(RunProgram());
  EXPECT_TRUE(UiRec.Boxes.empty());
  EXPECT_EQ(UiRec.Beeps, 1);
  EXPECT_EQ(Host.Exits, 1);
}

TEST_F(RunCommandTest, NotBlankAsksAndCancelEndsTheCommand) {
  Use("PIC16C74B");
  FillImage(12);
  ProgramOptions.EraseBeforeProgramming = true;  // an EPROM part is not erased
  ASSERT_TRUE(ProgramDevice());
  UiRec.Boxes.clear();
  UiRec.Captions.clear();
  UiRec.Answers = {false};
  EXPECT_FALSE(RunProgram());
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Device not blank.\nProgram anyway?");
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly");
  EXPECT_TRUE(UiRec.Boxes[0].Question);
  EXPECT_EQ(UiRec.Captions, (std::vector<std::string>{"Tessaly - Blank Checking..."}));
  EXPECT_EQ(ProgramCounters.ProgramAttempts, 0);

  UiRec.Answers = {true};
  EXPECT_TRUE(RunProgram()) << UiRec.Texts();
  EXPECT_EQ(ProgramCounters.ProgramAttempts, 1);
  EXPECT_TRUE(Violations().empty()) << ViolationText();
}

TEST_F(RunCommandTest, EraseBeforeProgrammingIsFollowedByTheBlankCheck) {
  Use("PIC16F74");
  FillImage(13);
  ASSERT_TRUE(ProgramDevice());
  FillImage(14);
  std::fill(std::begin(IDImage), std::end(IDImage), EmptyEntry);
  ProgramOptions.EraseBeforeProgramming = true;
  UiRec.Captions.clear();
  UiRec.Boxes.clear();
  ASSERT_TRUE(RunProgram()) << UiRec.Texts();
  EXPECT_EQ(UiRec.Captions, (std::vector<std::string>{"Tessaly - Erasing...", "Tessaly - Blank Checking...",
                                                      "Tessaly - Programming..."}));
  ExpectChipHoldsImage();
  EXPECT_EQ(UiRec.Boxes.size(), 1u) << "the erase before programming is silent";
}

TEST_F(RunCommandTest, NothingHappensWhenThePortCheckFails) {
  Use("PIC16F84A");
  Host.PortOk = false;
  Port.Log.clear();
  using TRun = bool (*)();
  for (TRun run : {RunProgram, RunVerify, RunRead, RunBlankCheck, RunErase}) EXPECT_FALSE(run());
  EXPECT_TRUE(Port.Log.empty());
  EXPECT_EQ(Host.Checks, 5);
  EXPECT_TRUE(UiRec.Boxes.empty()) << "the port check reports for itself";
}

TEST_F(RunCommandTest, AnUnusablePortIsNotMistakenForADeviceThatIsNotBlank) {
  Use("PIC16F84A");
  FillImage(15);
  Port.Slots[0].Refusal = "/dev/parport0 is busy.";
  EXPECT_FALSE(RunProgram());
  ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
  EXPECT_EQ(UiRec.Boxes[0].Text, "Unable to access VORRA Port LPT1.\n/dev/parport0 is busy.");
  EXPECT_EQ(ProgramCounters.ProgramAttempts, 0);
}

TEST_F(RunCommandTest, RereadFileFailureEndsTheCommand) {
  Use("PIC16F84A");
  ProgramOptions.RereadFile = true;
  Host.RereadOk = false;
  EXPECT_FALSE(RunProgram());
  EXPECT_EQ(Host.Rereads, 1);
  EXPECT_TRUE(UiRec.Captions.empty());
}

TEST_F(RunCommandTest, ReadBeepsOnlyWhenItFinished) {
  Use("PIC16F84A");
  ProgramCounters.ProgramAttempts = 3;
  ASSERT_TRUE(RunRead());
  EXPECT_EQ(UiRec.Beeps, 1);
  EXPECT_EQ(Host.Forgets, 1);
  EXPECT_EQ(Host.Refreshes, 1);
  EXPECT_EQ(ProgramCounters.ProgramAttempts, 0);
  EXPECT_EQ(CodeImage[0], 0x3FFFu);
  UiRec.OnPump = [&] {
    if (UiRec.Pumps == 5) CancelBtnClick();
  };
  UiRec.Pumps = 0;
  EXPECT_FALSE(RunRead());
  EXPECT_EQ(UiRec.Beeps, 1) << "no beep for a cancelled read";
  EXPECT_EQ(CodeImage[4], 0x3FFFu) << "what was read stays";
  EXPECT_EQ(CodeImage[100], EmptyEntry);
}

TEST_F(RunCommandTest, VerifyAndEraseMessages) {
  Use("PIC16F84A");
  FillImage(16);
  ASSERT_TRUE(ProgramDevice());
  ASSERT_TRUE(RunVerify());
  EXPECT_EQ(UiRec.Boxes.back().Text, "Verify complete.");
  ASSERT_TRUE(RunErase());
  EXPECT_EQ(UiRec.Boxes.back().Text, "Erase Complete.");
  ProgramOptions.DisableCompletion = true;
  UiRec.Boxes.clear();
  ASSERT_TRUE(RunErase());
  EXPECT_TRUE(UiRec.Boxes.empty());
  EXPECT_EQ(UiRec.Beeps, 1);
  ASSERT_TRUE(RunBlankCheck());
  EXPECT_EQ(UiRec.Boxes.back().Text, "This device is blank.");
}

}  // namespace
