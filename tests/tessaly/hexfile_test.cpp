// Intel HEX files: the writer's records, the reader's address map per core,
// files made by an assembler and read back by another tool, and the
// current-file bookkeeping (default extension, caption, recent entries).
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tessaly_fixture.h"
#include "ts_hexfile.h"
#include "ts_images.h"

namespace fs = std::filesystem;

namespace {

struct TImages {
  std::vector<uint32_t> Code, Data, ID, Config;
  static TImages Take() {
    return {{CodeImage, CodeImage + 65536}, {DataImage, DataImage + 1024}, {IDImage, IDImage + 8},
            {ConfigWords, ConfigWords + 8}};
  }
  bool operator==(const TImages&) const = default;
};

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

class HexFileTest : public TTessalyTest {
protected:
  void SetUp() override {
    TTessalyTest::SetUp();
    ClearBuffers();
    ClearConfiguration();
    ResetCounters();
    ProgramOptions = TProgramOptions{};
    FileState = TFileState{};
    Dir = fs::temp_directory_path() /
          ("tessaly_hex_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    fs::remove_all(Dir);
    TTessalyTest::TearDown();
  }

  std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
  void Put(const std::string& name, const std::string& text) const { std::ofstream(PathOf(name)) << text; }
  std::vector<std::string> Lines(const std::string& name) const {
    std::ifstream in(PathOf(name));
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines.push_back(l);
    }
    return lines;
  }
  std::string WrittenText() {
    EXPECT_TRUE(WriteHexFile(PathOf("out.hex")));
    std::string all;
    for (const std::string& l : Lines("out.hex")) all += l + "\n";
    return all;
  }

  fs::path Dir;
};

TEST_F(HexFileTest, EachCoreReadsBackWhatItWrote) {
  struct TCase {
    const char* Device;
    int32_t CodeSize;  // 0: the device's own
  };
  const TCase cases[] = {{"PIC12C508A", 0}, {"PIC16F84A", 0},       {"PIC17C756A", 0},
                         {"PIC18F452", 0x10000}, {"PIC16F84A", 0x10000}};  // 64K chosen in the menu
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Device);
    SetUp();
    LoadShippedDevice(c.Device);
    TDeviceParameters& d = DeviceParameters;
    if (c.CodeSize) d.CodeSize = c.CodeSize;
    // A run from word 5 across two multiples of 8, the last words of code
    // (on core 18 across the 64K-byte boundary too), ID, data, configuration.
    for (int w = 5; w <= 20; ++w) CodeImage[w] = static_cast<uint32_t>(0x0100 + w);
    CodeImage[d.CodeSize - 1] = 0x0ABC;
    if (d.CodeSize > 0x8000)
      for (int w = 0x7FFE; w <= 0x8002; ++w) CodeImage[w] = static_cast<uint32_t>(w & 0x0FFF);
    for (int i = 0; i < d.IDSize; ++i) IDImage[i] = static_cast<uint32_t>(i + 1);
    for (int i = 0; i < d.DataSize; i += 3) DataImage[i] = static_cast<uint32_t>(i & 0xFF);
    for (int i = 0; i < (d.CoreType == 18 ? d.ConfigSize : 1); ++i) ConfigWords[i] = static_cast<uint32_t>(0x0F00 + i);
    if (d.CoreType == 18) DataImage[1] = 0;  // a location holding 0 keeps its place
    if (d.CoreType == 14) IDImage[7] = ConfigWords[0];  // the configuration word's place in the ID area
    const TImages saved = TImages::Take();

    ASSERT_TRUE(WriteHexFile(PathOf("round.hex")));
    ClearBuffers();
    ClearConfiguration();
    ASSERT_TRUE(ReadHexFile(PathOf("round.hex")));
    EXPECT_TRUE(TImages::Take() == saved);
    EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
  }
}

TEST_F(HexFileTest, WriterGroupsWordsAndWritesTheCoresRecords) {
  LoadShippedDevice("PIC16F84A");
  for (int w = 0; w < 12; ++w) CodeImage[w] = static_cast<uint32_t>(0x3000 + w);
  EXPECT_EQ(WrittenText(),
            ":100000000030013002300330043005300630073054\n"
            ":08001000083009300A300B3002\n"
            ":02400E00FFFFB2\n"  // an empty configuration word
            ":00000001FF\n");

  ClearBuffers();
  for (int w = 5; w <= 9; ++w) CodeImage[w] = 0x3FFF;
  IDImage[0] = 0x0001;
  DataImage[0] = 0xA5;
  const std::vector<std::string> lines = [&] {
    WrittenText();
    return Lines("out.hex");
  }();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].substr(0, 9), ":06000A00");  // words 5..7
  EXPECT_EQ(lines[1].substr(0, 9), ":04001000");  // words 8..9
  EXPECT_EQ(lines[2], ":024000000100BD");
  EXPECT_EQ(lines[3], ":02420000A50017");
}

TEST_F(HexFileTest, EmptyImagesWriteEachCoresConfigurationRecords) {
  struct TCase {
    const char* Device;
    const char* Text;
  };
  const TCase cases[] = {
      {"PIC12C508A", ":021FFE00FFFFE3\n:00000001FF\n"},
      {"PIC16F84A", ":02400E00FFFFB2\n:00000001FF\n"},
      {"PIC17C756A", ":020000040000FA\n:020000040001F9\n:02FC0000FFFF04\n:00000001FF\n"},
      {"PIC18F452", ":020000040000FA\n:0200000400F00A\n:020000040030CA\n:00000001FF\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Device);
    LoadShippedDevice(c.Device);
    EXPECT_EQ(WrittenText(), c.Text);
  }
}

TEST_F(HexFileTest, Core18WritesUpperAddressesBeforeCodeIdDataAndConfiguration) {
  LoadShippedDevice("PIC18F452");
  DeviceParameters.CodeSize = 0x10000;
  CodeImage[0] = 0x1234;
  CodeImage[0x8000] = 0x5678;
  IDImage[0] = 0x0011;
  IDImage[2] = 0x0077;
  DataImage[2] = 0x42;
  ConfigWords[0] = 0x2100;
  ConfigWords[1] = 0x0F0F;
  const std::string text = WrittenText();
  EXPECT_EQ(text,
            ":020000040000FA\n"
            ":020000003412B8\n"
            ":020000040001F9\n"
            ":02000000785630\n"
            ":020000040020DA\n"
            ":020000001100ED\n"
            ":020000040020DA\n"
            ":02000400770083\n"
            ":0200000400F00A\n"
            ":020004004200B8\n"
            ":020000040030CA\n"
            ":0400000000210F0FBD\n"
            ":00000001FF\n");
}

TEST_F(HexFileTest, ChecksumErrorAsksAndCancelStartsANewFile) {
  LoadShippedDevice("PIC16F84A");
  Put("bad.hex",
      ":0400000055300028FF\n"  // wrong checksum
      ":02000400AA3F11\n"
      ":00000001FF\n");
  FileState.Caption = "Tessaly - old.hex";
  UiRec.Answers = {true};
  EXPECT_TRUE(ReadHexFile(PathOf("bad.hex")));
  EXPECT_EQ(CodeImage[0], 0x3055u);
  EXPECT_EQ(CodeImage[2], 0x3FAAu);
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "File checksum error.\nContinue anyway?");
  EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
  EXPECT_TRUE(UiRec.Boxes[0].Question);

  UiRec.Boxes.clear();
  UiRec.Answers = {false};
  EXPECT_FALSE(ReadHexFile(PathOf("bad.hex")));
  EXPECT_EQ(CodeImage[0], EmptyEntry);
  EXPECT_EQ(CodeImage[2], EmptyEntry);
  EXPECT_EQ(FileState.Caption, "Tessaly");
  EXPECT_EQ(UiRec.Boxes.size(), 1u);
}

TEST_F(HexFileTest, ConfigurationWordIsTakenOnlyWithUpdateConfiguration) {
  LoadShippedDevice("PIC16F84A");
  Put("cfg.hex", ":02400E00F13F80\n:00000001FF\n");
  for (bool update : {false, true}) {
    SCOPED_TRACE(update);
    ProgramOptions.UpdateConfiguration = update;
    ConfigWords[0] = 0x1111;
    ASSERT_TRUE(ReadHexFile(PathOf("cfg.hex")));
    EXPECT_EQ(ConfigWords[0], update ? 0x3FF1u : 0x1111u);
    EXPECT_EQ(IDImage[7], 0x3FF1u);
  }
}

// Bytes land by their own addresses: records at odd addresses or with odd
// counts neither swap bytes nor blank the other half of a word.
TEST_F(HexFileTest, OddAddressesAndOddCountsPlaceEachByte) {
  LoadShippedDevice("PIC18F452");
  Put("odd.hex",
      ":03000100AABBCCCB\n"   // high half of word 0, then word 1
      ":0100000011EE\n"       // low half of word 0, after its high half
      ":020000040030CA\n"
      ":0100010022DC\n"       // CONFIG1H alone, as PIC18 tools write it
      ":0100000033CC\n"       // then CONFIG1L
      ":0100030044B8\n"       // CONFIG2H with no CONFIG2L in the file
      ":00000001FF\n");
  ASSERT_TRUE(ReadHexFile(PathOf("odd.hex")));
  EXPECT_EQ(CodeImage[0], 0xAA11u);
  EXPECT_EQ(CodeImage[1], 0xCCBBu);
  EXPECT_EQ(ConfigWords[0], 0x2233u);
  EXPECT_EQ(ConfigWords[1], 0x44FFu);
  EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();

  LoadShippedDevice("PIC16F84A");
  Put("odd14.hex", ":0100010012EC\n:00000001FF\n");
  ASSERT_TRUE(ReadHexFile(PathOf("odd14.hex")));
  EXPECT_EQ(CodeImage[0], 0x12FFu);
}

TEST_F(HexFileTest, Pic18EepromOfOneBytePerLocationKeepsEveryLocation) {
  LoadShippedDevice("PIC18F452");
  struct TCase {
    const char* Record;
    std::vector<uint32_t> Data;
  };
  const TCase cases[] = {
      {":06000000010002000000F7\n", {1, 2, 0}},          // this program's layout: byte, 00
      {":0400000001020304F2\n", {1, 2, 3, 4}},           // one byte per location
      {":03000000010002FA\n", {1, 0, 2}},                // not in whole pairs
      {":0400000001000200F9\n", {1, 2}},                 // pairs, every second byte 00
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Record);
    Put("ee.hex", std::string(":0200000400F00A\n") + c.Record + ":00000001FF\n");
    ASSERT_TRUE(ReadHexFile(PathOf("ee.hex")));
    std::vector<uint32_t> got(DataImage, DataImage + c.Data.size() + 1);
    std::vector<uint32_t> want = c.Data;
    want.push_back(EmptyEntry);
    EXPECT_EQ(got, want);
  }
}

TEST_F(HexFileTest, LongRecordsAreReadWhole) {
  LoadShippedDevice("PIC18F452");
  std::ostringstream line;
  line << ":FF000000";
  uint8_t sum = 0xFF;
  for (int i = 0; i < 255; ++i) {
    line << "AB";
    sum = static_cast<uint8_t>(sum + 0xAB);
  }
  char cs[3];
  std::snprintf(cs, sizeof cs, "%02X", static_cast<uint8_t>(0x100 - sum));
  line << cs << "\n:00000001FF\n";
  Put("long.hex", line.str());
  ASSERT_TRUE(ReadHexFile(PathOf("long.hex")));
  EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
  EXPECT_EQ(CodeImage[126], 0xABABu);
  EXPECT_EQ(CodeImage[127], 0xFFABu);  // the 255th byte, its high half blank
  EXPECT_EQ(CodeImage[128], EmptyEntry);
}

TEST_F(HexFileTest, DataBeyondTheDeviceWarnsOnce) {
  struct TCase {
    const char* Device;
    const char* Records;
    bool Warns;
  };
  const TCase cases[] = {
      {"PIC16F84A", ":02080000FF3FB8\n:02080200FF3FB6\n", true},  // words 0x400, 0x401 past 1K
      {"PIC16F84A", ":0207FE00FF3FBB\n", false},                  // the last word
      {"PIC12C508A", ":020410001200D8\n", true},                  // word 0x208: past code and ID
      {"PIC12C508A", ":020400001200E8\n", false},                 // word 0x200: ID
      {"PIC18F452", ":020000040040BA\n:020000001200EC\n", true},  // no place on the core
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Records);
    SetUp();
    LoadShippedDevice(c.Device);
    Put("big.hex", std::string(c.Records) + ":00000001FF\n");
    ASSERT_TRUE(ReadHexFile(PathOf("big.hex")));
    if (c.Warns) {
      ASSERT_EQ(UiRec.Boxes.size(), 1u);
      EXPECT_EQ(UiRec.Boxes[0].Text, "File length exceeds selected device's memory size.");
    } else {
      EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
    }
  }
}

TEST_F(HexFileTest, AssemblerOutputReadsToTheExpectedWords) {
  if (!OnPath("gpasm")) GTEST_SKIP() << "gpasm (package gputils) is not installed";
  struct TCase {
    const char* Device;
    const char* Processor;
    const char* Source;
    std::function<void()> Check;
  };
  const TCase cases[] = {
      {"PIC16F84A", "p16f84a",
       " __config 0x3FF1\n __idlocs 0x1234\n org 0\n movlw 0x55\n goto 0\n org 0x2100\n de 1, 2, 0x33\n end\n",
       [] {
         EXPECT_EQ(CodeImage[0], 0x3055u);
         EXPECT_EQ(CodeImage[1], 0x2800u);
         EXPECT_EQ(std::vector<uint32_t>(IDImage, IDImage + 4), (std::vector<uint32_t>{1, 2, 3, 4}));
         EXPECT_EQ(std::vector<uint32_t>(DataImage, DataImage + 4), (std::vector<uint32_t>{1, 2, 0x33, EmptyEntry}));
         EXPECT_EQ(ConfigWords[0], 0x3FF1u);
       }},
      {"PIC18F452", "p18f452",
       " config OSC = HS, WDT = OFF\n org 0\n movlw 0x55\n goto 0\n org 0x200000\n db 0x11, 0x22\n"
       " org 0xF00000\n de 1, 2, 3\n end\n",
       [] {
         EXPECT_EQ(std::vector<uint32_t>(CodeImage, CodeImage + 4),
                   (std::vector<uint32_t>{0x0E55, 0xEF00, 0xF000, EmptyEntry}));
         EXPECT_EQ(IDImage[0], 0x2211u);
         EXPECT_EQ(std::vector<uint32_t>(DataImage, DataImage + 4), (std::vector<uint32_t>{1, 2, 3, EmptyEntry}));
         // CONFIG1H = HS; CONFIG2L/2H: watchdog off; the unwritten CONFIG1L is blank.
         EXPECT_EQ(ConfigWords[0] & 0xFF00, 0x2200u);
         EXPECT_EQ(ConfigWords[0] & 0x00FF, 0x00FFu);
         EXPECT_EQ(ConfigWords[1] & 0x0100, 0u);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Device);
    LoadShippedDevice(c.Device);
    Put("prog.asm", c.Source);
    const std::string cmd = "cd '" + Dir.string() + "' && gpasm -p " + c.Processor + " prog.asm >gpasm.log 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    ASSERT_TRUE(ReadHexFile(PathOf("prog.hex")));
    EXPECT_TRUE(UiRec.Boxes.empty()) << UiRec.Texts();
    c.Check();
  }
}

TEST_F(HexFileTest, AnotherToolReadsTheWrittenFileToTheSameBytes) {
  if (!OnPath("srec_cat")) GTEST_SKIP() << "srec_cat (package srecord) is not installed";
  LoadShippedDevice("PIC18F452");
  for (int w = 3; w < 40; ++w) CodeImage[w] = static_cast<uint32_t>(w * 0x0101);
  IDImage[1] = 0x0022;
  DataImage[5] = 0x55;
  ConfigWords[0] = 0x2200;
  ConfigWords[6] = 0x400F;
  const TImages saved = TImages::Take();
  ASSERT_TRUE(WriteHexFile(PathOf("ours.hex")));
  // srec_cat checks every checksum and rewrites the same bytes in records
  // of its own choosing.
  const std::string cmd = "srec_cat '" + PathOf("ours.hex") + "' -intel -o '" + PathOf("theirs.hex") +
                          "' -intel -obs=32 >'" + PathOf("srec.log") + "' 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  ClearBuffers();
  ClearConfiguration();
  ASSERT_TRUE(ReadHexFile(PathOf("theirs.hex")));
  EXPECT_TRUE(TImages::Take() == saved);
}

TEST_F(HexFileTest, OpenFileKeepsCaptionAndRecentEntries) {
  LoadShippedDevice("PIC16F84A");
  fs::create_directories(Dir / "v1.2");
  const std::string bare = PathOf("v1.2/prog");
  Put("v1.2/prog.hex", ":00000001FF\n");
  EXPECT_EQ(WithDefaultExtension(bare), bare + ".hex");
  EXPECT_EQ(WithDefaultExtension("a.b/c.obj"), "a.b/c.obj");
  ASSERT_TRUE(OpenFile(bare));
  EXPECT_EQ(FileState.FileName, bare + ".hex");

  EXPECT_EQ(CaptionFor("abcdefghijklmnopqrstuvwxy"), "Tessaly - abcdefghijklmnopqrstuvwxy");
  EXPECT_EQ(CaptionFor("abcdefghijklmnopqrstuvwxyz"), "Tessaly - ...bcdefghijklmnopqrstuvwxyz");

  for (const char* n : {"a.hex", "b.hex", "c.hex", "d.hex"}) Put(n, ":00000001FF\n");
  FileState = TFileState{};
  for (const char* n : {"a.hex", "b.hex", "c.hex"}) ASSERT_TRUE(OpenFile(PathOf(n)));
  auto recent = [] {
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i)
      if (FileState.RecentVisible[i]) names.push_back(fs::path(FileState.Recent[i]).filename().string());
    return names;
  };
  EXPECT_EQ(recent(), (std::vector<std::string>{"c.hex", "b.hex", "a.hex"}));
  ASSERT_TRUE(OpenFile(PathOf("a.hex")));  // held by FileName3
  EXPECT_EQ(recent(), (std::vector<std::string>{"a.hex", "c.hex", "b.hex"}));
  ASSERT_TRUE(OpenFile(PathOf("d.hex")));
  ASSERT_TRUE(OpenFile(PathOf("c.hex")));  // held by FileName3
  EXPECT_EQ(recent(), (std::vector<std::string>{"c.hex", "d.hex", "a.hex", "b.hex"}));
  EXPECT_TRUE(FileState.SeparatorVisible);

  for (const char* unreadable : {"missing.hex", "v1.2"}) {
    EXPECT_FALSE(OpenFile(PathOf(unreadable)));
    EXPECT_EQ(UiRec.Boxes.back().Text, "Unable to open file.\n" + PathOf(unreadable));
  }
  EXPECT_EQ(fs::path(FileState.FileName).filename(), "c.hex");
}

TEST_F(HexFileTest, SaveAsThatCannotCreateKeepsNameAndCaption) {
  LoadShippedDevice("PIC16F84A");
  FileState.FileName = "old.hex";
  FileState.Caption = "Tessaly - old.hex";
  EXPECT_FALSE(SaveFileAs(PathOf("no/such/folder/new")));
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "Unable to create file.");
  EXPECT_EQ(FileState.FileName, "old.hex");
  EXPECT_EQ(FileState.Caption, "Tessaly - old.hex");

  ASSERT_TRUE(SaveFileAs(PathOf("new")));
  EXPECT_EQ(FileState.FileName, PathOf("new.hex"));
  UiRec.Boxes.clear();
  UiRec.Answers = {false};
  EXPECT_FALSE(SaveFileAs(PathOf("new.hex")));
  ASSERT_EQ(UiRec.Boxes.size(), 1u);
  EXPECT_EQ(UiRec.Boxes[0].Text, "File already exists. Overwrite?");
  EXPECT_EQ(FileState.FileName, "");
}
