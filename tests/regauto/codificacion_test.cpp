// UTF-8 validation and the Windows-1252 conversion of older files.
#include <gtest/gtest.h>

#include "Codificacion.h"

namespace {

TEST(Codificacion, EveryWindows1252ByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp1252AUtf8(byte);
    EXPECT_TRUE(EsUtf8Valido(utf8)) << b;
    EXPECT_EQ(Utf8ACp1252(utf8), byte) << b;
  }
  EXPECT_EQ(Cp1252AUtf8("\x80\xF1\x9F"), "€ñŸ");
}

TEST(Codificacion, CharactersOutsideWindows1252AreRefused) {
  EXPECT_EQ(Utf8ACp1252("Ω"), std::nullopt);
  EXPECT_EQ(Utf8ACp1252("\xF1"), std::nullopt);  // not UTF-8 at all
}

TEST(Codificacion, MalformedUtf8IsDetected) {
  struct Caso { const char* bytes; bool valido; };
  const Caso casos[] = {
      {"", true}, {"abc", true}, {"Español", true}, {"€", true}, {"\xF0\x9F\x98\x80", true},
      {"Espa\xF1ol", false},        // Windows-1252 ñ
      {"\xC0\xAF", false},          // overlong "/"
      {"\xE0\x80\xAF", false},      // overlong, three bytes
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE2\x82", false},          // cut short
      {"\x80", false},              // lone continuation byte
  };
  for (const auto& c : casos) EXPECT_EQ(EsUtf8Valido(c.bytes), c.valido) << c.bytes;
}

}  // namespace
