// The hex grid editor on the largest images: a 30F6014 program area (49152
// instructions, 147456 bytes) and an 18F8720 (128 KB), with a 16F84A for
// the paint figure's independence of the image size. Prints the best and
// the median of several runs of each step, offscreen.
#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "HexEditor.h"

namespace {

struct Device {
  const char* name;
  uint32_t words;
  bool dsPic;
  uint32_t mask;
};

void measure(const char* what, int runs, double targetMs, const std::function<void()>& step) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    step();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("  %-34s best %8.3f ms  median %8.3f ms  (target < %g ms)\n", what, ms.front(), ms[ms.size() / 2],
              targetMs);
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const Device devices[] = {
      {"30F6014 program", 2 * 49152, true, 0xFFFF},
      {"18F8720 program", 65536, false, 0xFFFF},
      {"16F84A program", 1024, false, 0x3FFF},
  };
  constexpr int runs = 21;
  for (const Device& d : devices) {
    std::vector<uint16_t> words(d.words);
    std::mt19937 rnd(1);
    for (uint32_t k = 0; k < d.words; ++k)
      words[k] = static_cast<uint16_t>(d.dsPic && (k & 1) ? rnd() % 0xFF : rnd() & d.mask);
    THexEditor ed;
    ed.resize(900, 600);
    ed.show();
    ed.LoadFromWordBuffer(words, d.words, d.dsPic, 0, d.mask);
    std::printf("%s: %d bytes, %d rows, %d rows shown\n", d.name, ed.GetDataSize(), ed.image().RowCount(),
                ed.visibleRows());
    measure("load from the word buffer", runs, 10,
            [&] { ed.LoadFromWordBuffer(words, d.words, d.dsPic, 0, d.mask); });
    std::vector<uint16_t> back(d.words);
    measure("save to the word buffer", runs, 10, [&] { ed.SaveToWordBuffer(back, d.words, d.dsPic); });
    if (back != words) std::printf("  ROUND TRIP DIFFERS\n");
    QImage canvas(ed.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    measure("one full viewport paint", runs, 2, [&] { ed.viewport()->render(&canvas); });
    measure("fill the whole memory", runs, 5,
            [&] { ed.FillRange(0, static_cast<int32_t>(d.words) - 1, 0x123456); });
    const std::vector<uint8_t> absent{0xDE, 0xAD, 0xBE, 0xEF, 0x5A, 0xA5};
    ed.LoadFromWordBuffer(words, d.words, d.dsPic, 0, d.mask);
    int32_t found = 0;
    measure("find an absent pattern", runs, 5,
            [&] { found = ed.Find(absent, false, ed.GetDataSize() - 1, 0); });
    if (found >= 0) std::printf("  PATTERN FOUND at %d\n", found);
    QScrollBar* v = ed.verticalScrollBar();
    measure("first row, then last page (2 paints)", runs, 4, [&] {
      v->setValue(0);
      ed.viewport()->render(&canvas);
      v->setValue(v->maximum());
      ed.viewport()->render(&canvas);
    });
  }
  return 0;
}
