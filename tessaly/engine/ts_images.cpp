#include "ts_images.h"

#include <algorithm>
#include <iterator>

uint32_t CodeImage[65536];
uint32_t DataImage[1024];
uint32_t IDImage[8];
uint32_t ConfigWords[8];
TProgramOptions ProgramOptions;
TSerialNumberParameters SerialNumberParameters;
TProgramCounters ProgramCounters;

namespace {
// The images start empty, before anything else of the program runs.
struct TStartEmpty {
  TStartEmpty() {
    ClearBuffers();
    ClearConfiguration();
  }
} StartEmpty;
}  // namespace

void ClearBuffers() {
  std::fill(std::begin(CodeImage), std::end(CodeImage), EmptyEntry);
  std::fill(std::begin(DataImage), std::end(DataImage), EmptyEntry);
  std::fill(std::begin(IDImage), std::end(IDImage), EmptyEntry);
}

void ClearConfiguration() { std::fill(std::begin(ConfigWords), std::end(ConfigWords), EmptyEntry); }

void ResetCounters() { ProgramCounters = TProgramCounters{}; }
