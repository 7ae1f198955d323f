// The Configuration menu as data: the option items that the device database
// enables and fills with masks and values, and the two other main-window
// items a device changes (the erase command and the memory-size tick). The
// main window mirrors these; the configuration model reads and ticks them.
#pragma once

#include <cstdint>
#include <string>

enum TOptionGroupId {
  GroupOsc, GroupCP, GroupCPB, GroupCPD, GroupCPC, GroupVBOR, GroupWDT, GroupWDTPS,
  GroupPWRTE, GroupBODEN, GroupMPEEN, GroupMCLRE, GroupLVP, GroupWRT, GroupDEBUG,
  GroupOSCSEN, GroupWAIT, GroupCCP2MX, GroupSTVREN, GroupMode, GroupBW, OptionGroupCount
};

struct TOptionGroup {
  const char* Name;
  bool Radio;        // one of several items; else one on/off item
  const char* MaskKey;
  int32_t Mask = 0;  // kept from earlier devices until a section sets it
};

struct TOptionItem {
  const char* Name;      // the menu item: "XT_OSC", "WDT_ON" ...
  int Group;
  const char* ValueKey;  // radio: the key of its value; on/off: the On key
  const char* OffKey;    // on/off only
  int32_t Value = 0;     // radio: its value; on/off: the On value
  int32_t Off = 0;
  bool Enabled = false;
  bool Checked = false;
};

extern TOptionGroup OptionGroups[OptionGroupCount];
extern TOptionItem OptionItems[];
extern const int OptionItemCount;

// The item of that name; null when there is none.
TOptionItem* FindOptionItem(const std::string& name);
// Ticks a radio item and unticks the others of its group; inverts nothing.
void TickOption(TOptionItem& item);

struct TMainMenuState {
  bool EraseEnabled = false;                 // EraseButton and RunEraseItem
  std::string MemorySizeItem = "MS_1K";      // the ticked MS_ item
};
extern TMainMenuState MainMenu;

// The memory-size item that a code size ticks.
const char* MemorySizeItemFor(int32_t codeSize);

// The configuration model (words <-> menu checks) installs these; until it
// does, both leave the configuration words and the menu as they are.
void SetConfigurationModel(void (*build)(), void (*show)());
void BuildConfiguration();  // menu checks -> ConfigWords
void ShowConfiguration();   // ConfigWords -> menu checks
