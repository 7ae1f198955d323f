#include "ts_ui.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

class TSilentUi final : public TTessalyUi {
public:
  void MessageBox(const std::string&, const std::string&, TBoxIcon) override {}
  bool AskOkCancel(const std::string&, const std::string&, TBoxIcon) override { return false; }
};

TSilentUi SilentUi;
TTessalyUi* CurrentUi = &SilentUi;

}  // namespace

TTessalyUi& Ui() { return *CurrentUi; }

void SetUi(TTessalyUi* ui) { CurrentUi = ui ? ui : &SilentUi; }

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

void ErrorBox(const std::string& text) { Ui().MessageBox(text, CaptionError, TBoxIcon::Error); }
void WarningBox(const std::string& text) { Ui().MessageBox(text, CaptionError, TBoxIcon::Warning); }
void InformationBox(const std::string& text) { Ui().MessageBox(text, CaptionInfo, TBoxIcon::Information); }
