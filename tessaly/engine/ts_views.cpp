#include "ts_views.h"

#include <cstdint>

#include "ts_images.h"
#include "ts_ui.h"

namespace {

char Printable(uint32_t byte) {
  byte &= 0xFF;
  return byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
}

}  // namespace

std::vector<std::string> ViewLines(TViewKind kind, bool ascii) {
  const uint32_t* image = kind == TViewKind::Code ? CodeImage : kind == TViewKind::Data ? DataImage : IDImage;
  const int count = kind == TViewKind::Code ? 65536 : kind == TViewKind::Data ? 1024 : 8;
  const bool words = kind != TViewKind::Data;
  std::vector<std::string> lines;
  for (int i = 0; i < count;) {
    if (image[i] == EmptyEntry) {
      ++i;
      continue;
    }
    std::string line = Format("%04x- ", static_cast<unsigned>(i));
    do {
      const uint32_t v = image[i];
      if (!ascii)
        line += words ? Format("%04x ", static_cast<unsigned>(v & 0xFFFF)) : Format("%02x ", static_cast<unsigned>(v & 0xFF));
      else if (words)
        line += {Printable(v >> 8), Printable(v), ' '};
      else
        line += {Printable(v), ' '};
      ++i;
    } while (i < count && image[i] != EmptyEntry && i % 8 != 0);
    lines.push_back(line);
  }
  return lines;
}
