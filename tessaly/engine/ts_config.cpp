#include "ts_config.h"

#include <vector>

#include "ts_devdb.h"
#include "ts_images.h"
#include "ts_options.h"

namespace {

struct TPlace {
  const char* Item;
  int Word;
};

const char* const Oscillators[] = {"LP_OSC",    "XT_OSC",           "HS_OSC",    "RC_OSC",
                                   "EC_OSC",    "EC_OSC_CLKOUT",    "E4_OSC_CLKOUT", "H4_OSC",
                                   "INTRC_OSC", "INTRC_OSC_CLKOUT", "EXTRC_OSC", "EXTRC_OSC_CLKOUT"};

// The 12-, 14- and 17-bit cores keep every option in word 0, applied in
// this order.
const char* const SmallCoreOrder[] = {
    "CP_ALL",   "CP_75",    "CP_50",    "CP_OFF",   "CPD_ON",   "CPC_ON",  "VBOR_25",  "VBOR_27",
    "VBOR_42",  "VBOR_45",  "WDT_ON",   "WDT_0",    "WDT_1",    "WDT_64",  "WDT_256",  "PWRTE_ON",
    "BODEN_ON", "MCLRE_ON", "MPEEN_ON", "LVP_ON",   "WRT_ON",   "DEBUG_ON", "PMC_MODE", "XMC_MODE",
    "MC_MODE",  "MP_MODE"};

// Where each option sits on the current device, in the order the options
// are applied when the words are built.
std::vector<TPlace> Placements() {
  std::vector<TPlace> p;
  const TDeviceParameters& d = DeviceParameters;
  if (d.CoreType != 18) {
    for (const char* osc : Oscillators) p.push_back({osc, 0});
    for (const char* item : SmallCoreOrder) p.push_back({item, 0});
    return p;
  }
  // Core 18: the flash parts (an erase algorithm) keep code protection in
  // word 4 with only all or nothing; the EPROM parts in word 0.
  const bool flash = d.EraseType != 0;
  if (!flash)
    for (const char* item : {"CP_ALL", "CP_75", "CP_50", "CP_OFF"}) p.push_back({item, 0});
  for (const char* osc : Oscillators) p.push_back({osc, 0});
  p.push_back({"OSCSEN_ON", 0});
  for (const char* item : {"PWRTE_ON", "BODEN_ON", "VBOR_25", "VBOR_27", "VBOR_42", "VBOR_45", "BW_8", "BW_16",
                           "WDT_ON", "WDT_1", "WDT_2", "WDT_4", "WDT_8", "WDT_16", "WDT_32", "WDT_64", "WDT_128"})
    p.push_back({item, 1});
  for (const char* item : {"XMC_MODE", "MPB_MODE", "MP_MODE", "MC_MODE", "WAIT_ON", "CCP2MX_ON"})
    p.push_back({item, 2});
  for (const char* item : {"STVREN_ON", "LVP_ON", "DEBUG_ON"}) p.push_back({item, 3});
  if (flash)
    for (const char* item : {"CP_ALL", "CP_OFF"}) p.push_back({item, 4});
  for (const char* item : {"CPB_ON", "CPD_ON"}) p.push_back({item, 4});
  p.push_back({"WRT_ON", 5});
  return p;
}

uint32_t Mask(const TOptionItem& item) { return static_cast<uint32_t>(OptionGroups[item.Group].Mask); }
bool IsRadio(const TOptionItem& item) { return OptionGroups[item.Group].Radio; }

std::function<void()> Listener;

}  // namespace

void BuildConfigurationWords() {
  const int built = DeviceParameters.CoreType == 18 ? 7 : 1;
  for (int i = 0; i < built; ++i) ConfigWords[i] = static_cast<uint32_t>(DeviceParameters.BaseConfig[i]);
  for (const TPlace& place : Placements()) {
    const TOptionItem* item = FindOptionItem(place.Item);
    if (!item || !item->Enabled) continue;
    uint32_t value;
    if (IsRadio(*item)) {
      if (!item->Checked) continue;
      value = static_cast<uint32_t>(item->Value);
    } else {
      value = static_cast<uint32_t>(item->Checked ? item->Value : item->Off);
    }
    uint32_t& word = ConfigWords[place.Word];
    word = (word & ~Mask(*item)) ^ value;
  }
}

void ShowConfigurationWords() {
  const std::vector<TPlace> places = Placements();
  for (const TPlace& place : places)
    if (std::string(place.Item) == "CP_OFF") TickOption(*FindOptionItem("CP_OFF"));
  for (const TPlace& place : places) {
    TOptionItem* item = FindOptionItem(place.Item);
    if (!item || !item->Enabled) continue;
    const bool match = (ConfigWords[place.Word] & Mask(*item)) == static_cast<uint32_t>(item->Value);
    if (!IsRadio(*item))
      item->Checked = match;
    else if (match && std::string(place.Item) != "CP_OFF")
      TickOption(*item);
  }
  if (Listener) Listener();
}

void InstallConfigurationModel() { SetConfigurationModel(BuildConfigurationWords, ShowConfigurationWords); }

void SetConfigurationListener(std::function<void()> listener) { Listener = std::move(listener); }

int ConfigWordOf(const std::string& itemName) {
  for (const TPlace& place : Placements())
    if (itemName == place.Item) return place.Word;
  return -1;
}

std::string CodeProtectText() {
  const TOptionItem* off = FindOptionItem("CP_OFF");
  const TOptionItem* pmc = FindOptionItem("PMC_MODE");
  const bool on = (off->Enabled && !off->Checked) || (pmc->Enabled && pmc->Checked);
  return on ? "CP On" : "";
}

const TMemorySize MemorySizes[9] = {
    {"MS_0K", "0K", 0},         {"MS_HALFK", "1/2K", 512},  {"MS_1K", "1K", 1024},
    {"MS_2K", "2K", 2048},      {"MS_4K", "4K", 4096},      {"MS_8K", "8K", 8192},
    {"MS_16K", "16K", 16384},   {"MS_32K", "32K", 32768},   {"MS_64K", "64K", 65536},
};

bool SelectMemorySize(const std::string& itemName) {
  for (const TMemorySize& size : MemorySizes) {
    if (itemName != size.Name) continue;
    MainMenu.MemorySizeItem = size.Name;
    DeviceParameters.CodeSize = size.Words;
    return true;
  }
  return false;
}
