#include "ts_options.h"

#include <cstring>

TOptionGroup OptionGroups[OptionGroupCount] = {
    {"Oscillator", true, "OscMask="},
    {"Code protection", true, "CPMask="},
    {"Boot block protection", false, "CPBMask="},
    {"Data protection", false, "CPDMask="},
    {"Configuration protection", false, "CPCMask="},
    {"Brown-out voltage", true, "VBORMask="},
    {"Watchdog", false, "WDTMask="},
    {"Watchdog postscaler", true, "WDTPSMask="},
    {"Power-up timer", false, "PWRTEMask="},
    {"Brown-out reset", false, "BODENMask="},
    {"Memory parity", false, "MPEENMask="},
    {"Reset pin", false, "MCLREMask="},
    {"Low-voltage programming", false, "LVPMask="},
    {"Write enable", false, "WRTMask="},
    {"Debugger", false, "DEBUGMask="},
    {"Oscillator switch", false, "OSCSENMask="},
    {"Wait states", false, "WAITMask="},
    {"CCP2 pin", false, "CCP2MXMask="},
    {"Stack overflow reset", false, "STVRENMask="},
    {"Processor mode", true, "ModeMask="},
    {"Bus width", true, "BWMask="},
};

// In the order the device database tests their keys.
TOptionItem OptionItems[] = {
    {"LP_OSC", GroupOsc, "LPOsc=", nullptr},
    {"XT_OSC", GroupOsc, "XTOsc=", nullptr, 0, 0, false, true},
    {"HS_OSC", GroupOsc, "HSOsc=", nullptr},
    {"RC_OSC", GroupOsc, "RCOsc=", nullptr},
    {"EC_OSC", GroupOsc, "ECOsc=", nullptr},
    {"EC_OSC_CLKOUT", GroupOsc, "ECCLKOUTOsc=", nullptr},
    {"E4_OSC_CLKOUT", GroupOsc, "E4CLKOUTOsc=", nullptr},
    {"H4_OSC", GroupOsc, "H4Osc=", nullptr},
    {"INTRC_OSC", GroupOsc, "INTRCOsc=", nullptr},
    {"INTRC_OSC_CLKOUT", GroupOsc, "INTRCCLKOUTOsc=", nullptr},
    {"EXTRC_OSC", GroupOsc, "EXTRCOsc=", nullptr},
    {"EXTRC_OSC_CLKOUT", GroupOsc, "EXTRCCLKOUTOsc=", nullptr},
    {"CP_ALL", GroupCP, "CPAll=", nullptr},
    {"CP_75", GroupCP, "CP75=", nullptr},
    {"CP_50", GroupCP, "CP50=", nullptr},
    {"CP_OFF", GroupCP, "CPOff=", nullptr, 0, 0, false, true},
    {"CPB_ON", GroupCPB, "CPBOn=", "CPBOff="},
    {"CPD_ON", GroupCPD, "CPDOn=", "CPDOff="},
    {"CPC_ON", GroupCPC, "CPCOn=", "CPCOff="},
    {"VBOR_25", GroupVBOR, "VBOR25=", nullptr, 0, 0, false, true},
    {"VBOR_27", GroupVBOR, "VBOR27=", nullptr},
    {"VBOR_42", GroupVBOR, "VBOR42=", nullptr},
    {"VBOR_45", GroupVBOR, "VBOR45=", nullptr},
    {"WDT_ON", GroupWDT, "WDTOn=", "WDTOff="},
    {"WDT_0", GroupWDTPS, "WDT0=", nullptr},
    {"WDT_1", GroupWDTPS, "WDT1=", nullptr},
    {"WDT_2", GroupWDTPS, "WDT2=", nullptr},
    {"WDT_4", GroupWDTPS, "WDT4=", nullptr},
    {"WDT_8", GroupWDTPS, "WDT8=", nullptr},
    {"WDT_16", GroupWDTPS, "WDT16=", nullptr},
    {"WDT_32", GroupWDTPS, "WDT32=", nullptr},
    {"WDT_64", GroupWDTPS, "WDT64=", nullptr},
    {"WDT_128", GroupWDTPS, "WDT128=", nullptr, 0, 0, false, true},
    {"WDT_256", GroupWDTPS, "WDT256=", nullptr},
    {"PWRTE_ON", GroupPWRTE, "PWRTEOn=", "PWRTEOff="},
    {"BODEN_ON", GroupBODEN, "BODENOn=", "BODENOff="},
    {"MPEEN_ON", GroupMPEEN, "MPEENOn=", "MPEENOff="},
    {"MCLRE_ON", GroupMCLRE, "MCLREOn=", "MCLREOff="},
    {"LVP_ON", GroupLVP, "LVPOn=", "LVPOff="},
    {"WRT_ON", GroupWRT, "WRTOn=", "WRTOff="},
    {"DEBUG_ON", GroupDEBUG, "DEBUGOn=", "DEBUGOff="},
    {"OSCSEN_ON", GroupOSCSEN, "OSCSENOn=", "OSCSENOff="},
    {"WAIT_ON", GroupWAIT, "WAITOn=", "WAITOff="},
    {"CCP2MX_ON", GroupCCP2MX, "CCP2MXOn=", "CCP2MXOff="},
    {"STVREN_ON", GroupSTVREN, "STVRENOn=", "STVRENOff="},
    {"PMC_MODE", GroupMode, "PMCMode=", nullptr},
    {"XMC_MODE", GroupMode, "XMCMode=", nullptr},
    {"MC_MODE", GroupMode, "MCMode=", nullptr, 0, 0, false, true},
    {"MP_MODE", GroupMode, "MPMode=", nullptr},
    {"MPB_MODE", GroupMode, "MPBMode=", nullptr},
    {"BW_8", GroupBW, "BW8=", nullptr},
    {"BW_16", GroupBW, "BW16=", nullptr, 0, 0, false, true},
};
const int OptionItemCount = sizeof(OptionItems) / sizeof(OptionItems[0]);

TMainMenuState MainMenu;

TOptionItem* FindOptionItem(const std::string& name) {
  for (int i = 0; i < OptionItemCount; ++i)
    if (name == OptionItems[i].Name) return &OptionItems[i];
  return nullptr;
}

void TickOption(TOptionItem& item) {
  if (OptionGroups[item.Group].Radio)
    for (int i = 0; i < OptionItemCount; ++i)
      if (OptionItems[i].Group == item.Group) OptionItems[i].Checked = false;
  item.Checked = true;
}

const char* MemorySizeItemFor(int32_t codeSize) {
  if (codeSize < 1) return "MS_0K";
  if (codeSize <= 512) return "MS_HALFK";
  if (codeSize <= 1024) return "MS_1K";
  if (codeSize <= 2048) return "MS_2K";
  if (codeSize <= 4096) return "MS_4K";
  if (codeSize <= 8192) return "MS_8K";
  if (codeSize <= 16384) return "MS_16K";
  if (codeSize <= 32768) return "MS_32K";
  return "MS_64K";
}

namespace {
void (*BuildHook)() = nullptr;
void (*ShowHook)() = nullptr;
}  // namespace

void SetConfigurationModel(void (*build)(), void (*show)()) {
  BuildHook = build;
  ShowHook = show;
}

void BuildConfiguration() {
  if (BuildHook) BuildHook();
}

void ShowConfiguration() {
  if (ShowHook) ShowHook();
}
