// Program, verify, read back, erase and blank-check every device of the
// shipped vorra.ini on its simulated chip.
#include "ops_fixture.h"

namespace {

class DeviceRoundTripTest : public TOperationTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DeviceRoundTripTest, ProgramVerifyReadEraseBlank) {
  Use(GetParam());
  const TDeviceParameters& d = DeviceParameters;
  ASSERT_TRUE(BlankCheck(true)) << UiRec.Texts();
  ASSERT_EQ(UiRec.Boxes.back().Text, "This device is blank.");
  EXPECT_EQ(UiRec.Boxes.back().Caption, "Tessaly");

  FillImage(1);
  ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText();
  EXPECT_FALSE(Chip.Pic()->InProgramMode);
  EXPECT_EQ(Port.Claimed, -1);
  EXPECT_FALSE(UiRec.DialogOpen);
  EXPECT_EQ(UiRec.Captions.back(), "Tessaly - Programming...");
  ExpectChipHoldsImage();
  ASSERT_TRUE(VerifyDevice()) << UiRec.Texts();
  EXPECT_EQ(UiRec.Captions.back(), "Tessaly - Verifying...");

  // Read back into empty images: every set entry comes back, every other
  // word reads blank (or is the part's calibration word).
  const std::vector<uint32_t> code(CodeImage, CodeImage + d.CodeSize);
  const std::vector<uint32_t> data(DataImage, DataImage + d.DataSize);
  const std::vector<uint32_t> id(IDImage, IDImage + d.IDSize);
  const std::vector<uint32_t> config(ConfigWords, ConfigWords + d.ConfigSize);
  ClearBuffers();
  ClearConfiguration();
  ASSERT_TRUE(ReadDevice()) << UiRec.Texts();
  EXPECT_EQ(UiRec.Captions.back(), "Tessaly - Reading...");
  for (int i = 0; i < d.CodeSize; ++i) {
    const uint32_t want = code[static_cast<size_t>(i)] != EmptyEntry ? code[static_cast<size_t>(i)]
                          : i == d.OscCalAddr                       ? ChipCode(i)
                                                                    : BlankWord();
    if (CodeImage[i] != want) {
      ADD_FAILURE() << std::hex << "read " << i << ": " << CodeImage[i] << " should be " << want;
      break;
    }
  }
  for (int i = 0; i < d.DataSize; ++i)
    EXPECT_EQ(DataImage[i], data[static_cast<size_t>(i)] != EmptyEntry ? data[static_cast<size_t>(i)] : 0xFFu) << i;
  for (int i = 0; i < d.IDSize; ++i) EXPECT_EQ(IDImage[i], id[static_cast<size_t>(i)]) << "ID " << i;
  for (int i = 0; i < d.ConfigSize; ++i)
    EXPECT_EQ(ConfigWords[i] & d.ConfigMask[i], config[static_cast<size_t>(i)] & d.ConfigMask[i]) << "config " << i;

  UiRec.Boxes.clear();
  if (d.EraseType == 0) {
    EXPECT_FALSE(BlankCheck(true));
    ASSERT_EQ(UiRec.Boxes.size(), 1u);
    EXPECT_EQ(UiRec.Boxes[0].Text, Format("Device not blank at %04X = %04X.", SetWords[0], code[static_cast<size_t>(SetWords[0])]));
    EXPECT_FALSE(EraseDevice(true));
    EXPECT_EQ(UiRec.Boxes.back().Text, "Cannot electrically erase this device.");
  } else {
    ASSERT_TRUE(EraseDevice(true)) << UiRec.Texts() << ViolationText();
    EXPECT_EQ(UiRec.Boxes.back().Text, "Erase Complete.");
    EXPECT_EQ(UiRec.Captions.back(), "Tessaly - Erasing...");
    ASSERT_TRUE(BlankCheck(true)) << UiRec.Texts();
    // The erase lets a different image be programmed over the old one.
    FillImage(2);
    // The 16F7x bulk erase leaves the ID words: they keep what they hold.
    if (d.EraseType == 2) std::copy(id.begin(), id.end(), IDImage);
    ASSERT_TRUE(ProgramDevice()) << UiRec.Texts() << ViolationText();
    ExpectChipHoldsImage();
    ASSERT_TRUE(VerifyDevice()) << UiRec.Texts();
  }
  EXPECT_TRUE(Violations().empty()) << ViolationText();
  EXPECT_EQ(Port.AccessesWhileUnclaimed, 0);
}

INSTANTIATE_TEST_SUITE_P(ShippedDevices, DeviceRoundTripTest,
                         ::testing::Values("PIC12C508A", "PIC16C74B", "PIC16C642", "PIC16F84A", "PIC16F877",
                                           "PIC16F74", "PIC12F675", "PIC17C756A", "PIC18C452", "PIC18F452",
                                           "PIC18F242"));

}  // namespace
