// The configuration model: which configuration word holds which option of
// the Configuration menu (ts_options.h), the two conversions between the
// menu's checks and ConfigWords, the memory-size items and the code-protect
// indicator. No widget code: the menu and the configuration window only
// mirror OptionItems and call these.
//
// How the main window uses it:
// - At start, ConnectConfiguration() (app/Config.h) calls
//   InstallConfigurationModel(), so the engine's BuildConfiguration() and
//   ShowConfiguration() (LoadDevice, Read, Program, the HEX reader) run this
//   model, and SetConfigurationListener() with a function that mirrors the
//   model into the Configuration menu and the configuration window
//   (TConfigurationMenu::Refresh, TConfigForm::ShowOptions).
// - The Configuration menu is built from OptionGroups/OptionItems and
//   MemorySizes; a click ticks (radio) or inverts (on/off) the model's item
//   and then refreshes the configuration window.
// - The CPState panel shows CodeProtectText().
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Menu checks -> ConfigWords for the device in DeviceParameters: words
// start from BaseConfig, then each enabled (and, for radio items, checked)
// option is applied: word = (word and not mask) xor value.
void BuildConfigurationWords();
// ConfigWords -> menu checks: an enabled radio item whose value matches is
// ticked (a word that matches no item of a group leaves the group as it
// was; code protection starts from CP_OFF); an enabled on/off item is
// checked when the word holds its On value. Then the listener runs.
void ShowConfigurationWords();

// Makes the engine's BuildConfiguration()/ShowConfiguration() run the two
// functions above.
void InstallConfigurationModel();
// Called at the end of every ShowConfigurationWords(); null for none.
void SetConfigurationListener(std::function<void()> listener);

// The configuration word (0-7) that holds an option item on the current
// device; -1 when the item has no place on this core.
int ConfigWordOf(const std::string& itemName);

// "CP On" when the code-protection item CP_OFF is enabled and not checked,
// or else when PMC_MODE is enabled and checked; otherwise "".
std::string CodeProtectText();

// The Configuration menu's memory-size items, in menu order.
struct TMemorySize {
  const char* Name;     // "MS_0K" .. "MS_64K"
  const char* Caption;  // the menu text
  int32_t Words;        // the code size it sets
};
extern const TMemorySize MemorySizes[9];
// Ticks the item and sets DeviceParameters.CodeSize; false for an unknown name.
bool SelectMemorySize(const std::string& itemName);
