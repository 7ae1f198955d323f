// The grid editor's memory image: word-buffer layouts, fill, search, paste,
// undo log, markers and the clipboard's hex text.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "HexImage.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint16_t>;

enum class Layout { Program, Eeprom, DsPicEeprom, DsPicProgram };

bool isEeprom(Layout l) { return l == Layout::Eeprom || l == Layout::DsPicEeprom; }
bool isDsPic(Layout l) { return l == Layout::DsPicEeprom || l == Layout::DsPicProgram; }

HexImage loaded(Layout layout, const Words& words, uint32_t maskWord = 0xFFFF, int32_t base = 0) {
  HexImage image;
  image.SetEepromInt(isEeprom(layout));
  image.LoadFromWordBuffer(words, static_cast<uint32_t>(words.size()), isDsPic(layout), base, maskWord);
  return image;
}

// A program image of `words` words, all 0x3FFF.
HexImage program(size_t words) { return loaded(Layout::Program, Words(words, 0x3FFF), 0x3FFF); }

TEST(HexImageLoad, LayoutTable) {
  struct Case {
    const char* name;
    Layout layout;
    Words words;
    Bytes bytes;
    int bytesPerLine, bytesPerColumn;
    bool visible;
    uint32_t wordCount;
  };
  const Case cases[] = {
      {"program", Layout::Program, {0x3FFF, 0x1234}, {0x3F, 0xFF, 0x12, 0x34}, 16, 2, true, 2},
      {"program empty", Layout::Program, {}, {}, 16, 2, true, 0},
      {"eeprom", Layout::Eeprom, {0x00AB, 0x12CD}, {0xAB, 0xCD}, 8, 1, true, 2},
      {"eeprom empty hides", Layout::Eeprom, {}, {}, 8, 1, false, 0},
      {"dspic eeprom", Layout::DsPicEeprom, {0x1234, 0x9999, 0x5678, 0x9999}, {0x12, 0x34, 0x56, 0x78}, 16, 2, true, 2},
      {"dspic eeprom one word hides", Layout::DsPicEeprom, {0x1234}, {}, 16, 2, false, 0},
      {"dspic program", Layout::DsPicProgram, {0x1122, 0x0033, 0x4455, 0x0066},
       {0x33, 0x11, 0x22, 0x66, 0x44, 0x55}, 24, 3, true, 4},
      {"dspic program odd count", Layout::DsPicProgram, {0x1122, 0x0033, 0x4455}, {0x33, 0x11, 0x22}, 24, 3, true, 3},
      {"dspic program one word", Layout::DsPicProgram, {0x1122}, {}, 24, 3, true, 1},
      {"dspic program no word", Layout::DsPicProgram, {}, {}, 24, 3, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HexImage image = loaded(c.layout, c.words);
    EXPECT_EQ(image.Bytes(), c.bytes);
    EXPECT_EQ(image.BytesPerLine(), c.bytesPerLine);
    EXPECT_EQ(image.BytesPerColumn(), c.bytesPerColumn);
    EXPECT_EQ(image.Visible(), c.visible);
    EXPECT_EQ(image.WordCount(), c.wordCount);
    EXPECT_EQ(image.DSPIC(), isDsPic(c.layout));
  }
}

TEST(HexImageLoad, HiddenEepromShowsAgainAndLoadResetsState) {
  HexImage image;
  image.SetEepromInt(true);
  const Words none;
  image.LoadFromWordBuffer(none, 0, false, 0x2100, 0xFF);
  EXPECT_FALSE(image.Visible());
  const Words some(16, 0x00FF);
  image.SetCaret(3, 1, true);
  image.LoadFromWordBuffer(some, 16, false, 0x2100, 0xFF);
  EXPECT_TRUE(image.Visible());
  image.SetSelStart(2);
  image.SetSelEnd(4);
  image.ChangeByte(0xFF, 0x12, 5);
  ASSERT_TRUE(image.Modified());
  image.LoadFromWordBuffer(some, 16, false, 0x2100, 0xFF);
  EXPECT_FALSE(image.Modified());
  EXPECT_FALSE(image.CanUndo());
  EXPECT_EQ(image.UndoCount(), 0);
  EXPECT_FALSE(image.IsChanged(5));
  EXPECT_FALSE(image.HasSelection());
  EXPECT_EQ(image.GetCaret().byte, 0);
  EXPECT_EQ(image.PasteMask(), 0xFF);
}

TEST(HexImageLoad, MasksComeFromTheMaskWord) {
  const HexImage image = loaded(Layout::Program, {0x3FFF}, 0x3FFF);
  EXPECT_EQ(image.Mask(), 0x3F);
  EXPECT_EQ(image.PasteMask(), 0x3F);
}

TEST(HexImageSave, RoundTripPerLayout) {
  // Words as each layout keeps them: what the device holds in that area.
  struct Case {
    const char* name;
    Layout layout;
    std::function<uint16_t(uint32_t)> word;
  };
  const Case cases[] = {
      {"program", Layout::Program, [](uint32_t i) { return static_cast<uint16_t>((i * 0x1357) & 0x3FFF); }},
      {"eeprom", Layout::Eeprom, [](uint32_t i) { return static_cast<uint16_t>((i * 7) & 0xFF); }},
      {"dspic eeprom", Layout::DsPicEeprom,
       [](uint32_t i) { return static_cast<uint16_t>(i % 2 ? 0 : i * 0x2468 + 1); }},
      {"dspic program", Layout::DsPicProgram,
       [](uint32_t i) { return static_cast<uint16_t>(i % 2 ? (i * 5) & 0xFF : i * 0x1111); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Words words(300);
    for (uint32_t i = 0; i < words.size(); ++i) words[i] = c.word(i);
    HexImage image = loaded(c.layout, words);
    Words back(words.size(), 0xABCD);
    image.SaveToWordBuffer(back, static_cast<uint32_t>(back.size()), isDsPic(c.layout));
    EXPECT_EQ(back, words);
  }
}

TEST(HexImageSave, UpperBytesComeBackWithHighByteZero) {
  HexImage image = loaded(Layout::DsPicProgram, {0x1122, 0xAA33, 0x4455, 0xBB66});
  Words back(4, 0xFFFF);
  image.SaveToWordBuffer(back, 4, true);
  EXPECT_EQ(back, (Words{0x1122, 0x0033, 0x4455, 0x0066}));
}

TEST(HexImageSave, MissingBytesAreBlank) {
  HexImage image = loaded(Layout::Program, {0x1234});
  Words back(3, 0);
  image.SaveToWordBuffer(back, 3, false);
  EXPECT_EQ(back, (Words{0x1234, 0xFFFF, 0xFFFF}));
}

TEST(HexImageSave, DataNotBlankAfterDsPicProgramSave) {
  struct Case {
    const char* name;
    Words words;
    bool notBlank;
  };
  const Case cases[] = {
      {"blank", Words(8, 0xFFFF), false},
      {"blank upper bytes as read", {0xFFFF, 0x00FF, 0xFFFF, 0x00FF}, false},
      {"one upper byte", {0xFFFF, 0x00FF, 0xFFFF, 0x00FE}, true},
      {"one low word", {0xFFFF, 0x00FF, 0x0000, 0x00FF}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HexImage image = loaded(Layout::DsPicProgram, c.words);
    Words back(c.words.size());
    image.SaveToWordBuffer(back, static_cast<uint32_t>(back.size()), true);
    EXPECT_EQ(image.DataNotBlank(), c.notBlank);
  }
}

TEST(HexImageFill, Table) {
  struct Case {
    const char* name;
    Layout layout;
    size_t words;
    int32_t first, last;
    uint32_t value;
    int32_t at;
    Bytes written;
    int32_t selStart, selEnd;
  };
  const Case cases[] = {
      {"dspic program", Layout::DsPicProgram, 16, 2, 5, 0x123456, 3, {0x12, 0x34, 0x56, 0x12, 0x34, 0x56}, 3, 8},
      {"program", Layout::Program, 32, 0x10, 0x11, 0x3FFF, 0x20, {0x3F, 0xFF, 0x3F, 0xFF}, 0x20, 0x23},
      {"eeprom", Layout::Eeprom, 16, 1, 3, 0x12AB, 1, {0xAB, 0xAB, 0xAB}, 1, 3},
      {"program past the end", Layout::Program, 4, 3, 9, 0x0102, 6, {0x01, 0x02}, 6, 7},
      {"dspic past the end", Layout::DsPicProgram, 4, 2, 8, 0xABCDEF, 3, {0xAB, 0xCD, 0xEF}, 3, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HexImage image = loaded(c.layout, Words(c.words, 0));
    const int32_t size = image.GetDataSize();
    image.FillRange(c.first, c.last, c.value);
    EXPECT_EQ(image.GetDataSize(), size) << "a fill never grows the image";
    EXPECT_EQ(Bytes(image.Bytes().begin() + c.at, image.Bytes().begin() + c.at + c.written.size()), c.written);
    EXPECT_EQ(image.ByteAt(c.at - 1), 0);
    if (c.at + static_cast<int32_t>(c.written.size()) < size) {
      EXPECT_EQ(image.ByteAt(c.at + static_cast<int32_t>(c.written.size())), 0);
    }
    EXPECT_EQ(image.SelectionStart(), c.selStart);
    EXPECT_EQ(image.SelectionEnd(), c.selEnd);
  }
}

TEST(HexImageFill, LeavesUndoMarksAndModifiedAsTheyWere) {
  for (bool edited : {false, true}) {
    SCOPED_TRACE(edited);
    HexImage image = program(16);
    if (edited) image.ChangeByte(0xFF, 0x00, 5);
    const auto undo = image.UndoLog();
    image.FillRange(0, 15, 0x1234);
    EXPECT_EQ(image.Modified(), edited);
    EXPECT_EQ(image.UndoCount(), edited ? 1 : 0);
    EXPECT_EQ(image.UndoLog(), undo);
    for (int32_t p = 0; p < image.GetDataSize(); ++p) EXPECT_EQ(image.IsChanged(p), edited && p == 5) << p;
  }
}

TEST(HexImageFill, WholeLargeDsPicImageKeepsEveryGroup) {
  // More than 65536 instructions: the group count is not cut to 16 bits.
  HexImage image = loaded(Layout::DsPicProgram, Words(2 * 70000, 0));
  image.FillRange(0, 2 * 70000 - 1, 0x00A5A5A5);
  EXPECT_EQ(image.ByteAt(image.GetDataSize() - 1), 0xA5);
  EXPECT_EQ(image.SelectionEnd(), image.GetDataSize() - 1);
}

TEST(HexImageFill, EmptyImageSelectsNothing) {
  HexImage image = loaded(Layout::Eeprom, {});
  image.FillRange(0, 3, 0x55);
  image.SelectAll();
  EXPECT_FALSE(image.HasSelection());
  EXPECT_EQ(image.GetDataSize(), 0);
}

TEST(HexImageFind, Table) {
  HexImage image = loaded(Layout::Eeprom, {'a', 'B', 'c', 'X', 'a', 'b', 'C', 'y', 'z'});
  struct Case {
    const char* name;
    std::string pattern;
    bool ignoreCase;
    int32_t last, first, expected;
  };
  const Case cases[] = {
      {"match at start", "aB", false, 8, 0, 0},
      {"match at end", "yz", false, 8, 0, 7},
      {"last past the end", "yz", false, 1000, 0, 7},
      {"not after last", "yz", false, 7, 0, -1},
      {"from first", "a", false, 8, 1, 4},
      {"case matters", "abc", false, 8, 0, -1},
      {"ignore case", "ABC", true, 8, 0, 0},
      {"ignore case from first", "ABC", true, 8, 1, 4},
      {"longer than the range", "aBcXabCyzz", false, 8, 0, -1},
      {"longer than the rest", "Cyz", false, 8, 7, -1},
      {"empty pattern", "", false, 8, 0, -1},
      {"absent", "q", false, 8, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes pattern(c.pattern.begin(), c.pattern.end());
    const Bytes copy = pattern;
    EXPECT_EQ(image.Find(pattern, c.ignoreCase, c.last, c.first), c.expected);
    EXPECT_EQ(pattern, copy) << "the caller's bytes are never changed";
  }
}

TEST(HexImagePaste, NearTheEndWithTheEvenByteMask) {
  HexImage image = loaded(Layout::Program, Words(4, 0), 0x3FFF);
  image.SetCaret(5, 0, false);
  const Bytes data{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  image.ReplaceSelection(data);
  EXPECT_EQ(image.Bytes(), (Bytes{0, 0, 0, 0, 0, 0xFF, 0x3F, 0xFF}));
  EXPECT_EQ(image.GetDataSize(), 8);
  EXPECT_EQ(image.SelectionStart(), 5);
  EXPECT_EQ(image.SelectionEnd(), 7);
  EXPECT_TRUE(image.Modified());
  EXPECT_EQ(image.UndoDescription(), "Insert buffer");
}

TEST(HexImagePaste, WritesAtTheAnchor) {
  HexImage image = loaded(Layout::Eeprom, Words(8, 0));
  image.SetSelStart(6);
  image.SetSelEnd(2);  // selected right to left: the anchor is 6
  const Bytes data{1, 2, 3};
  image.ReplaceSelection(data);
  EXPECT_EQ(image.Bytes(), (Bytes{0, 0, 0, 0, 0, 0, 1, 2}));
}

TEST(HexImageDelete, LeavesSizeAndEveryWordUnchanged) {
  Words words(8);
  for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(0x100 + i);
  HexImage image = loaded(Layout::Program, words);
  for (bool selected : {true, false}) {
    if (selected) {
      image.SetSelStart(2);
      image.SetSelEnd(5);
    } else {
      image.SetSelStart(3);
    }
    EXPECT_FALSE(image.DeleteSelection());
    EXPECT_EQ(image.GetDataSize(), 16);
    Words back(words.size());
    image.SaveToWordBuffer(back, static_cast<uint32_t>(back.size()), false);
    EXPECT_EQ(back, words);
    EXPECT_FALSE(image.Modified());
  }
}

TEST(HexImageUndo, StepsAndTheCap) {
  HexImage image = program(300);
  image.ChangeByte(0xFF, 0xFF, 1);
  EXPECT_EQ(image.UndoCount(), 0) << "an unchanged byte is no step";
  for (int i = 0; i <= HexImage::MaxUndoSteps; ++i) {
    const int32_t p = i + 1;
    image.ChangeByte(image.ByteAt(p), static_cast<uint8_t>(i % 0x3F), p);  // never 3F or FF
  }
  EXPECT_EQ(image.UndoCount(), HexImage::MaxUndoSteps);
  EXPECT_TRUE(image.CanUndo());
  EXPECT_EQ(image.UndoDescription(), "Byte changed");
  const auto& log = image.UndoLog();
  ASSERT_EQ(log.size(), size_t{38} * HexImage::MaxUndoSteps);
  // The first record left is the second step (position 2), with its trailer.
  EXPECT_EQ(log[0], HexImage::ByteChanged);
  EXPECT_EQ(log[21], 2);
  EXPECT_EQ(log[34], 38);
  EXPECT_TRUE(image.IsChanged(1));
  image.ResetUndo();
  EXPECT_FALSE(image.CanUndo());
  EXPECT_EQ(image.UndoDescription(), "No Undo");
  EXPECT_TRUE(image.UndoLog().empty());
}

TEST(HexImageMarkers, ToggleAndTarget) {
  HexImage image = program(64);  // 8 rows
  image.SetCaret(16 * 3, 0, false);
  image.ToggleMarker(2);
  EXPECT_EQ(image.GetMarker(2), 3);
  image.ToggleMarker(5);  // the row's other marker goes
  EXPECT_EQ(image.GetMarker(2), -1);
  EXPECT_EQ(image.GetMarker(5), 3);
  EXPECT_EQ(image.MarkerOnRow(3), 5);
  EXPECT_EQ(image.MarkerTarget(5), 3);
  image.SetMarker(7, 40);  // left from a larger device
  EXPECT_EQ(image.MarkerTarget(7), -1);
  EXPECT_EQ(image.GetMarker(7), 40);
  EXPECT_EQ(image.MarkerTarget(0), -1);
  image.ToggleMarker(5);
  EXPECT_EQ(image.GetMarker(5), -1);
  EXPECT_TRUE(image.AnyMarkerSet());
  image.ClearMarkers();
  EXPECT_FALSE(image.AnyMarkerSet());
}

TEST(HexImageSelection, StartEndAndCount) {
  HexImage image = program(8);
  EXPECT_EQ(image.GetSelCount(), 0);
  image.SetCaret(4, 1, false);
  EXPECT_EQ(image.GetSelStart(), 4);
  EXPECT_EQ(image.GetSelEnd(), 4);
  image.SetSelStart(9);
  image.SetSelEnd(3);
  EXPECT_EQ(image.GetSelStart(), 9);
  EXPECT_EQ(image.GetSelEnd(), 3);
  EXPECT_EQ(image.GetSelCount(), 7);
  image.SelectAll();
  EXPECT_EQ(image.GetSelStart(), 0);
  EXPECT_EQ(image.GetSelEnd(), 15);
}

TEST(HexImageCopy, BufferFromFile) {
  HexImage image = loaded(Layout::Eeprom, {1, 2, 3, 4});
  EXPECT_EQ(image.BufferFromFile(1, 2), (Bytes{2, 3}));
  EXPECT_EQ(image.BufferFromFile(2, 100), (Bytes{3, 4}));
  EXPECT_TRUE(image.BufferFromFile(2, 0).empty());
  EXPECT_TRUE(image.BufferFromFile(2, -5).empty());
}

TEST(HexImageText, OffsetTexts) {
  struct Case {
    const char* name;
    Layout layout;
    size_t words;
    int32_t base;
    int32_t row;
    const char* text;
  };
  const Case cases[] = {
      {"eeprom at 0x2100", Layout::Eeprom, 128, 0x2100, 1, "0x2108:"},
      {"program", Layout::Program, 64, 0, 1, "0x0008:"},
      {"dspic program", Layout::DsPicProgram, 64, 0, 1, "0x00010:"},
      {"dspic eeprom", Layout::DsPicEeprom, 64, 0x7FFC00, 1, "0x7FFC10:"},
      {"dspic executive", Layout::DsPicProgram, 64, 0x800000, 1, "0x800010:"},
      {"eight digits", Layout::Eeprom, 64, 0x12345670, 1, "0x12345678:"},
      {"big image", Layout::Eeprom, 16, 0x0FF00000, 0, "0xFF00000:"},
      {"empty", Layout::Eeprom, 0, 0x2100, 0, "0x0:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(loaded(c.layout, Words(c.words, 0), 0xFFFF, c.base).OffsetText(c.row), c.text);
  }
}

TEST(HexImageText, HexTextToBytes) {
  struct Case {
    const char* text;
    bool swap;
    size_t room;
    Bytes bytes;
  };
  const Case cases[] = {
      {"3FFF", false, 8, {0x3F, 0xFF}},
      {"3f ff\r\n12", false, 8, {0x3F, 0xFF, 0x12}},
      {"A-B-C-D", false, 8, {0xAB, 0xCD}},
      {"ABC", false, 8, {0xAB}},
      {"12", true, 8, {0x21}},
      {"0102030405", false, 2, {0x01, 0x02}},
      {"zz", false, 8, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Bytes dest(c.room, 0xEE);  // exactly the room given, so a write past it shows
    dest.resize(HexTextToBytes(c.text, dest, c.swap));
    EXPECT_EQ(dest, c.bytes);
  }
  EXPECT_EQ(HexTextToBytes("3F FF 0", false), (Bytes{0x3F, 0xFF}));
  const Bytes bytes{0x3F, 0xA0};
  EXPECT_EQ(BytesToHexText(bytes, false), "3FA0");
  EXPECT_EQ(BytesToHexText(bytes, true), "F30A");
}

TEST(HexImageArguments, ErrorTable) {
  struct Case {
    const char* name;
    std::function<void(HexImage&)> call;
    const char* message;
  };
  const Words few(2);
  Words out(2);
  const Case cases[] = {
      {"sel start below", [](HexImage& i) { i.SetSelStart(-1); }, "Invalid SelStart"},
      {"sel start at size", [](HexImage& i) { i.SetSelStart(i.GetDataSize()); }, "Invalid SelStart"},
      {"sel end at size", [](HexImage& i) { i.SetSelEnd(i.GetDataSize()); }, "Invalid SelEnd"},
      {"copy below", [](HexImage& i) { i.BufferFromFile(-1, 1); }, "Invalid BufferFromFile argument"},
      {"copy at size", [](HexImage& i) { i.BufferFromFile(i.GetDataSize(), 1); }, "Invalid BufferFromFile argument"},
      {"bytes per line 0", [](HexImage& i) { i.SetBytesPerLine(0); }, "Invalid BytesPerLine argument"},
      {"bytes per line 257", [](HexImage& i) { i.SetBytesPerLine(257); }, "Invalid BytesPerLine argument"},
      {"get marker 10", [](HexImage& i) { i.GetMarker(10); }, "SetMarker : Invalid marker index"},
      {"set marker -1", [](HexImage& i) { i.SetMarker(-1, 0); }, "SetMarker : Invalid marker index"},
      {"toggle marker 10", [](HexImage& i) { i.ToggleMarker(10); }, "SetMarker : Invalid marker index"},
      {"load past the words", [&](HexImage& i) { i.LoadFromWordBuffer(few, 3, false, 0, 0xFFFF); },
       "Invalid LoadFromWordBuffer argument"},
      {"save past the words", [&](HexImage& i) { i.SaveToWordBuffer(out, 3, false); },
       "Invalid SaveToWordBuffer argument"},
      {"overwrite past the end",
       [](HexImage& i) {
         const Bytes b{1};
         i.OverwriteAt(b, i.GetDataSize() + 1);
       },
       "Invalid OverwriteAt argument"},
      {"fill below", [](HexImage& i) { i.FillRange(-1, 2, 0); }, "Invalid FillRange argument"},
      {"find below", [](HexImage& i) {
         const Bytes b{1};
         i.Find(b, false, 5, -1);
       },
       "Invalid Find argument"},
      {"change past the end", [](HexImage& i) { i.ChangeByte(0, 1, i.GetDataSize()); }, "Invalid ChangeByte argument"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HexImage image = program(8);
    const Bytes before = image.Bytes();
    try {
      c.call(image);
      ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(image.Bytes(), before);
  }
}

}  // namespace
