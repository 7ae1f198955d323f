// Program and Erase read the device ID of a selected part that has one and
// stop, writing nothing, when the socket holds another part of vorra.ini.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>

#include "cabecera_gputils.h"
#include "ops_fixture.h"
#include "ts_app.h"
#include "ts_serial.h"

namespace {

enum class TOp { Program, Erase };

// The address a gputils processor header gives `symbol` ("_DEVID1"), -1
// when it has none.
int64_t HeaderAddress(const std::string& part, const std::string& symbol) {
  std::ifstream in(RutaCabeceraGputils(GPUTILS_HEADER_DIR, part));
  const std::regex equ("^" + symbol + R"(\s+EQU\s+H'([0-9A-Fa-f]+)'.*)");
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_match(line, m, equ)) return std::stoll(m[1].str(), nullptr, 16);
  return -1;
}

struct TSocketCase {
  const char* Selected;
  const char* InSocket;      // simulated chip
  std::optional<int> Id;     // the chip's device ID word, when not its own
  TOp Op;
  const char* Named;         // the part the box names; nullptr: the operation goes on
};

class PartInSocketTest : public TOperationTest {
protected:
  // Something of the user's in the part, to show that nothing touched it.
  void PutUserWords() {
    for (int i = 0; i < 4; ++i) {
      if (Chip.Mid) Chip.Mid->SetWord(i, static_cast<uint16_t>(0x0120 + i));
      else Chip.P18->SetCodeWord(i, static_cast<uint16_t>(0x0120 + i));
    }
  }
  void ExpectUserWordsOnly(int words) {
    int wrong = 0;
    for (int i = 0; i < words && wrong < 3; ++i) {
      const uint32_t blank = Chip.Mid ? Chip.Mid->Blank() : 0xFFFF;
      const uint32_t want = i < 4 ? 0x0120u + static_cast<uint32_t>(i) : blank;
      if (ChipCode(i) != want) {
        ADD_FAILURE() << std::hex << "code " << i << ": " << ChipCode(i) << " should be " << want;
        ++wrong;
      }
    }
  }
  bool Run(TOp op) { return op == TOp::Program ? ProgramDevice() : EraseDevice(true); }
};

TEST_F(PartInSocketTest, AnotherPartOfTheDatabaseStopsProgramAndErase) {
  const TSocketCase cases[] = {
      // The 16F877 image (8192 words) on a 16F84A: 1024 words would wrap.
      {"PIC16F877", "PIC16F84A", std::nullopt, TOp::Program, "PIC16F84A"},
      {"PIC16F84A", "PIC16F877", std::nullopt, TOp::Erase, "PIC16F877"},
      {"PIC12F675", "PIC16F74", std::nullopt, TOp::Program, "PIC16F74"},
      {"PIC16F74", "PIC16F877", std::nullopt, TOp::Erase, "PIC16F877"},
      {"PIC18F242", "PIC18F452", std::nullopt, TOp::Program, "PIC18F452"},
      {"PIC18F452", "PIC18F242", std::nullopt, TOp::Erase, "PIC18F242"},
      // Another revision of the selected part.
      {"PIC16F877", "PIC16F877", 0x09A0 | 0x1F, TOp::Program, nullptr},
      {"PIC18F452", "PIC18F452", 0x0420 | 0x1F, TOp::Erase, nullptr},
      // An ID no device of vorra.ini has (a 16F877A's).
      {"PIC16F877", "PIC16F877", 0x0E20 | 0x01, TOp::Program, nullptr},
      // A part without a device ID: the location reads blank.
      {"PIC16F84A", "PIC16F84A", -1, TOp::Erase, nullptr},
  };
  for (const TSocketCase& c : cases) {
    SCOPED_TRACE(std::string(c.Selected) + " selected, " + c.InSocket + " in the socket");
    SetUp();
    LoadShippedDevice(c.Selected);
    if (c.Id) {
      TMidrangeSpec m = MidrangeSpecOf(c.InSocket);
      TPic18Spec p = Pic18SpecOf(c.InSocket);
      m.DeviceId = p.DeviceId = *c.Id;
      Chip = TSimChip{};
      if (m.Name) {
        Chip.Mid = std::make_unique<TMidrangeSim>(m);
      } else {
        Chip.P18 = std::make_unique<TPic18Sim>(p);
      }
    } else {
      Chip = MakeSimChip(c.InSocket);
    }
    PlugProgrammer(Chip.Pic());
    if (c.Op == TOp::Program) {
      FillImage(1);
    } else {
      PutUserWords();
    }
    const bool ok = Run(c.Op);
    if (c.Named) {
      EXPECT_FALSE(ok);
      ASSERT_EQ(UiRec.Boxes.size(), 1u) << UiRec.Texts();
      EXPECT_EQ(UiRec.Boxes[0].Text, Format("The device in the socket is a %s, not the selected %s.\nNothing was %s.",
                                            c.Named, c.Selected, c.Op == TOp::Program ? "written" : "erased"));
      EXPECT_EQ(UiRec.Boxes[0].Caption, "Tessaly Error");
      EXPECT_EQ(UiRec.Boxes[0].Icon, TBoxIcon::Error);
      if (c.Op == TOp::Program) {
        const int words = Chip.Mid ? Chip.Mid->Spec.CodeWords : Chip.P18->Spec.CodeWords;
        for (int i = 0; i < words; ++i)
          if (ChipCode(i) != (Chip.Mid ? Chip.Mid->Blank() : 0xFFFFu)) {
            ADD_FAILURE() << std::hex << "code " << i << " written: " << ChipCode(i);
            break;
          }
        for (int i = 0; i < 4; ++i) EXPECT_EQ(ChipId(i), Chip.Mid ? Chip.Mid->Blank() : 0xFFFFu) << "ID " << i;
      } else {
        ExpectUserWordsOnly(64);
      }
      if (Chip.Mid) {
        EXPECT_EQ(Chip.Mid->ChipErases, 0);
      } else {
        EXPECT_EQ(Chip.P18->BulkErases + Chip.P18->RowErases + Chip.P18->BlockWrites, 0);
      }
    } else if (c.Op == TOp::Program) {
      EXPECT_TRUE(ok) << UiRec.Texts() << ViolationText();
      ExpectChipHoldsImage();
    } else {
      EXPECT_TRUE(ok) << UiRec.Texts() << ViolationText();
      EXPECT_EQ(ChipCode(0), Chip.Mid ? Chip.Mid->Blank() : 0xFFFFu);
    }
    EXPECT_FALSE(UiRec.DialogOpen);
    EXPECT_FALSE(Chip.Pic()->InProgramMode);
    EXPECT_EQ(Port.Slots[0].Data, 0x1F);  // the lines at rest
    EXPECT_EQ(Port.Claimed, -1);
    EXPECT_TRUE(Violations().empty()) << ViolationText();
  }
}

// Parts whose device IDs differ below the default mask (as 16F87xA-type
// IDs with four revision bits do) are told apart by the section's
// DeviceIDMask.
TEST_F(PartInSocketTest, DeviceIdMaskOfTheSectionTellsPartsApart) {
  std::ifstream shipped(ShippedDatabaseDir() + "vorra.ini");
  std::string line, section;
  bool in = false;
  while (std::getline(shipped, line)) {
    if (!line.empty() && line[0] == '[') in = line.rfind("[PIC16F877]", 0) == 0;
    if (in && line.rfind("DeviceID", 0) != 0 && line[0] != '[') section += line + "\n";
  }
  ASSERT_FALSE(section.empty());
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tessaly_idmask_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "vorra.ini") << "[PARTA]\n" << section << "DeviceID=0x0E20\nDeviceIDMask=0x3FF0\n\n"
                                   << "[PARTB]\n" << section << "DeviceID=0x0E30\nDeviceIDMask=0x3FF0\n";
  AppSettings.ProgramDirectory = dir.string() + "/";
  DeviceBox.Text = "PARTA";
  const bool loaded = LoadDevice();
  const std::vector<TKnownDevice> known = KnownDevices();
  TMidrangeSpec m = MidrangeSpecOf("PIC16F877");
  m.DeviceId = 0x0E30 | 0x02;  // a PARTB, revision 2
  Chip.Mid = std::make_unique<TMidrangeSim>(m);
  PlugProgrammer(Chip.Pic());
  FillImage(2);
  const bool programmed = ProgramDevice();
  std::filesystem::remove_all(dir);
  ASSERT_TRUE(loaded) << UiRec.Texts();
  ASSERT_EQ(known.size(), 2u);
  EXPECT_EQ(known[1].Name, "PARTB");
  EXPECT_EQ(DeviceIdMask(known[1].Parameters), 0x3FF0u);
  EXPECT_FALSE(programmed);
  EXPECT_EQ(UiRec.Texts(),
            "[Tessaly Error] The device in the socket is a PARTB, not the selected PARTA.\nNothing was written.\n");
  EXPECT_EQ(ChipCode(0), 0x3FFFu);
}

// Every device of the shipped vorra.ini that has a device ID finds it on
// its own simulated part, whose ID word is decoded from the commands the
// engine sends (Load Configuration and increments to 0x2006, or the table
// pointer at 0x3FFFFE and two table reads), before and after an erase.
TEST_F(PartInSocketTest, ShippedDeviceIdsMatchTheirParts) {
  int withId = 0;
  for (const char* device : {"PIC12C508A", "PIC16C74B", "PIC16C642", "PIC16F84A", "PIC16F877", "PIC16F74",
                             "PIC12F675", "PIC17C756A", "PIC18C452", "PIC18F452", "PIC18F242"}) {
    SCOPED_TRACE(device);
    SetUp();
    Use(device);
    const TDeviceParameters& d = DeviceParameters;
    if (d.DeviceID < 0) continue;
    ++withId;
    ASSERT_TRUE(EnterProgramMode());
    const uint32_t id = ReadDeviceId();
    ExitProgramMode();
    const int own = Chip.Mid ? Chip.Mid->Spec.DeviceId : Chip.P18->Spec.DeviceId;
    EXPECT_EQ(id, static_cast<uint32_t>(own));
    // The simulated part keeps it where the part's gputils header puts it.
    const std::string part = std::string(device).substr(3);
    const int64_t devid1 = HeaderAddress(part, "_DEVID1");
    ASSERT_GE(devid1, 0);
    if (Chip.Mid) {
      EXPECT_EQ(Chip.Mid->Word(static_cast<int>(devid1)), own);
    } else {
      const int64_t devid2 = HeaderAddress(part, "_DEVID2");
      ASSERT_GE(devid2, 0);
      EXPECT_EQ(Chip.P18->Byte(static_cast<uint32_t>(devid1)) | Chip.P18->Byte(static_cast<uint32_t>(devid2)) << 8,
                own);
    }
    EXPECT_NE(id, static_cast<uint32_t>(d.DeviceID)) << "the part's revision is not 0";
    EXPECT_EQ((id ^ static_cast<uint32_t>(d.DeviceID)) & DeviceIdMask(d), 0u);
    // Set at the factory: the erase, which reaches the configuration
    // locations around it, leaves it.
    ASSERT_TRUE(EraseDevice(false)) << UiRec.Texts();
    ASSERT_TRUE(EnterProgramMode());
    EXPECT_EQ(ReadDeviceId(), id);
    ExitProgramMode();
    EXPECT_TRUE(Violations().empty()) << ViolationText();
  }
  EXPECT_EQ(withId, 6);
}

}  // namespace
