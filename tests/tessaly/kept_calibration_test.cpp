// Calibration an erase could not write back, because the port stopped
// answering between the bulk erase and the write-back: kept on disk, offered
// as a question by the next Program that finds the calibration word blank,
// written only on Yes, and forgotten once it is back in a part.
#include <filesystem>

#include "ops_fixture.h"
#include "ts_kept.h"
#include "ts_run.h"

namespace {

class KeptCalibrationTest : public TOperationTest {
protected:
  // A 12F675 erased on a port that stops answering three quarters of the
  // way, on the walk back to the calibration word: the word and the
  // band-gap bits are blank in the chip, the error box has been shown.
  void LoseCalibrationInAnErase() {
    Use("PIC12F675");
    Osc = DeviceParameters.OscCalAddr;
    Mask = static_cast<uint32_t>(DeviceParameters.ConfigMask[0]);
    Original = ChipCode(Osc);
    OriginalCfg = ChipConfig(0);
    ASSERT_NE(Original, 0x3FFFu);
    ASSERT_NE(OriginalCfg & ~Mask & 0x3FFF, ~Mask & 0x3FFF) << "the chip has band-gap bits to lose";
    const int64_t start = Port.Accesses;
    ASSERT_TRUE(RunErase()) << UiRec.Texts();
    ASSERT_TRUE(KeptCalibrations("PIC12F675").empty()) << "a write-back that succeeded keeps nothing";
    Port.FailAt = Port.Accesses + (Port.Accesses - start) * 3 / 4;
    UiRec.Boxes.clear();
    ASSERT_FALSE(RunErase());
    ASSERT_EQ(ChipCode(Osc), 0x3FFFu) << "the port was lost before the word went back";
    ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
    // The adapter is plugged back in.
    Port.FailAt = -1;
    Port.FailedAccesses = 0;
    UiRec.Boxes.clear();
  }
  int Osc = 0;
  uint32_t Mask = 0, Original = 0, OriginalCfg = 0;
};

TEST_F(KeptCalibrationTest, LostWriteBackIsOfferedOnTheNextProgram) {
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    TearDown();
    SetUp();
    LoseCalibrationInAnErase();
    const std::vector<TKeptCalibration> kept = KeptCalibrations("PIC12F675");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], (TKeptCalibration{Original, true, OriginalCfg}));

    FillImage(3);
    UiRec.Answers = {yes};
    ASSERT_TRUE(RunProgram()) << UiRec.Texts();
    ASSERT_EQ(UiRec.Boxes.size(), 2u) << UiRec.Texts();  // the question, then "Programming complete."
    EXPECT_TRUE(UiRec.Boxes[0].Question);
    EXPECT_NE(UiRec.Boxes[0].Text.find(Format("%04X", Original)), std::string::npos) << UiRec.Boxes[0].Text;
    ExpectChipHoldsImage();
    if (yes) {
      EXPECT_EQ(ChipCode(Osc), Original);
      EXPECT_EQ(ChipConfig(0) & ~Mask & 0x3FFF, OriginalCfg & ~Mask & 0x3FFF);
      EXPECT_TRUE(KeptCalibrations("PIC12F675").empty());
    } else {
      EXPECT_EQ(ChipCode(Osc), 0x3FFFu);
      EXPECT_EQ(KeptCalibrations("PIC12F675").size(), 1u);
    }
    EXPECT_TRUE(Violations().empty()) << ViolationText();
  }
}

// A part that has its calibration is not asked about, and the kept values
// wait for the chip they came from.
TEST_F(KeptCalibrationTest, APartWithItsCalibrationIsNotAsked) {
  LoseCalibrationInAnErase();
  Use("PIC12F675");  // another chip, calibrated
  const uint32_t own = ChipCode(Osc);
  FillImage(3);
  ASSERT_TRUE(RunProgram()) << UiRec.Texts();
  ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
  EXPECT_FALSE(UiRec.Boxes[0].Question);
  EXPECT_EQ(ChipCode(Osc), own);
  EXPECT_EQ(KeptCalibrations("PIC12F675").size(), 1u);
}

TEST(KeptCalibrationFile, RecordsByDevice) {
  SetKeptCalibrationPath((std::filesystem::temp_directory_path() / "tessaly-kept-file-test.txt").string());
  std::filesystem::remove(KeptCalibrationPath());
  const TKeptCalibration a{0x3480, true, 0x31FF}, b{0x0C12, false, 0};
  EXPECT_TRUE(KeepCalibration("PIC12F675", a));
  EXPECT_TRUE(KeepCalibration("PIC12F675", a));  // once only
  EXPECT_TRUE(KeepCalibration("PIC10F200", b));
  EXPECT_EQ(KeptCalibrations("pic12f675"), std::vector<TKeptCalibration>{a});
  EXPECT_EQ(KeptCalibrations("PIC10F200"), std::vector<TKeptCalibration>{b});
  EXPECT_TRUE(KeptCalibrations("PIC12F629").empty());
  ForgetCalibration("PIC12F675", a);
  EXPECT_TRUE(KeptCalibrations("PIC12F675").empty());
  EXPECT_EQ(KeptCalibrations("PIC10F200"), std::vector<TKeptCalibration>{b});
  std::filesystem::remove(KeptCalibrationPath());
  SetKeptCalibrationPath("");
}

}  // namespace
