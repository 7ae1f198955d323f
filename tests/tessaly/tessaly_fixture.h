// Shared set-up of the Tessaly tests: virtual time, the simulated ports, a
// user interface that records every box, and the engine's globals back at
// their start values.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ts_devdb.h"
#include "ts_lpt.h"
#include "ts_options.h"
#include "ts_ui.h"
#include "vsim_clock.h"
#include "vsim_port.h"
#include "vsim_vorra.h"

struct TBox {
  std::string Text, Caption;
  TBoxIcon Icon;
  bool Question;
};

class TRecordingUi : public TTessalyUi {
public:
  void MessageBox(const std::string& text, const std::string& caption, TBoxIcon icon) override {
    Boxes.push_back({text, caption, icon, false});
  }
  bool AskOkCancel(const std::string& text, const std::string& caption, TBoxIcon icon) override {
    Boxes.push_back({text, caption, icon, true});
    if (Answers.empty()) return false;
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  void ProgressShow(const std::string& caption) override {
    Captions.push_back(caption);
    DialogOpen = true;
  }
  void ProgressPosition(int position) override { Positions.push_back(position); }
  void ProgressClose() override { DialogOpen = false; }
  void ProcessMessages() override {
    ++Pumps;
    if (OnPump) OnPump();
  }
  void Beep() override { ++Beeps; }

  std::vector<TBox> Boxes;
  std::deque<bool> Answers;
  std::vector<std::string> Captions;
  std::vector<int> Positions;
  bool DialogOpen = false;
  int Pumps = 0, Beeps = 0;
  std::function<void()> OnPump;

  std::string Texts() const {
    std::string s;
    for (const TBox& b : Boxes) s += "[" + b.Caption + "] " + b.Text + "\n";
    return s;
  }
};

// Puts the engine's process-wide state back to its start values.
void ResetTessalyGlobals();
std::string ShippedDatabaseDir();

class TTessalyTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Loads a device of the shipped vorra.ini by name; fails the test if absent.
  void LoadShippedDevice(const std::string& name);
  // Plugs the Vorra programmer with `target` into LPT `port` (1-3) and selects it.
  void PlugProgrammer(TVorraTarget* target, int port = 1);

  TVirtualClock Clock;
  TSimPort Port{&Clock};
  TRecordingUi UiRec;
  TVorraProgrammer Programmer;
};
