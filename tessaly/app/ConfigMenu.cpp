#include "ConfigMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include "ts_config.h"
#include "ts_options.h"

namespace {

struct TCaption {
  const char* Name;
  const char* Text;
};

// Menu texts of the groups' submenus and of the items.
const TCaption GroupCaptions[] = {
    {"Oscillator", "&Oscillator"},          {"Code protection", "Code &Protection"},
    {"Brown-out voltage", "Brown-out &Voltage"}, {"Watchdog postscaler", "Watchdog Post&scaler"},
    {"Processor mode", "Processor &Mode"},  {"Bus width", "Bus &Width"},
};

const TCaption ItemCaptions[] = {
    {"LP_OSC", "LP"},
    {"XT_OSC", "XT"},
    {"HS_OSC", "HS"},
    {"RC_OSC", "RC"},
    {"EC_OSC", "EC"},
    {"EC_OSC_CLKOUT", "EC Clockout"},
    {"E4_OSC_CLKOUT", "E4 Clockout"},
    {"H4_OSC", "H4"},
    {"INTRC_OSC", "INTRC (IN)"},
    {"INTRC_OSC_CLKOUT", "INTRC Clockout"},
    {"EXTRC_OSC", "EXTRC (ER)"},
    {"EXTRC_OSC_CLKOUT", "EXTRC (ER) Clockout"},
    {"CP_ALL", "All"},
    {"CP_75", "3/4 (256)"},
    {"CP_50", "1/2"},
    {"CP_OFF", "Off"},
    {"CPB_ON", "Boot Block Protection"},
    {"CPD_ON", "Data EE Memory Protection"},
    {"CPC_ON", "Calibration Space Protection"},
    {"VBOR_25", "2.5 (2.0)"},
    {"VBOR_27", "2.7"},
    {"VBOR_42", "4.2"},
    {"VBOR_45", "4.5"},
    {"WDT_ON", "Watchdog Timer"},
    {"WDT_0", "0"},
    {"WDT_1", "1"},
    {"WDT_2", "2"},
    {"WDT_4", "4"},
    {"WDT_8", "8"},
    {"WDT_16", "16"},
    {"WDT_32", "32"},
    {"WDT_64", "64"},
    {"WDT_128", "128"},
    {"WDT_256", "256"},
    {"PWRTE_ON", "Power-up Timer"},
    {"BODEN_ON", "Brown-out Reset"},
    {"MPEEN_ON", "Memory Parity Error"},
    {"MCLRE_ON", "Master Clear Reset"},
    {"LVP_ON", "Low Voltage Program"},
    {"WRT_ON", "Flash Program Write"},
    {"DEBUG_ON", "In-Circuit Debugger"},
    {"OSCSEN_ON", "Oscillator Switch"},
    {"WAIT_ON", "Wait States"},
    {"CCP2MX_ON", "CCP2 Multiplexed"},
    {"STVREN_ON", "Stack Overflow Reset"},
    {"PMC_MODE", "Protected Microcontroller"},
    {"XMC_MODE", "Extended Microcontroller"},
    {"MC_MODE", "Microcontroller"},
    {"MP_MODE", "Microprocessor"},
    {"MPB_MODE", "Microprocessor with Boot Block"},
    {"BW_8", "8 Bit"},
    {"BW_16", "16 Bit"},
};

QString CaptionOf(const TCaption* table, size_t n, const char* name) {
  for (size_t i = 0; i < n; ++i)
    if (qstrcmp(table[i].Name, name) == 0) return QString::fromLatin1(table[i].Text);
  return QString::fromLatin1(name);
}

}  // namespace

TConfigurationMenu::TConfigurationMenu(QWidget* parent) : QObject(parent), menu_(new QMenu("&Configuration", parent)) {
  menu_->setObjectName("ConfigurationMenu");
  for (int g = 0; g < OptionGroupCount; ++g) {
    const TOptionGroup& group = OptionGroups[g];
    QMenu* target = menu_;
    QActionGroup* exclusive = nullptr;
    if (group.Radio) {
      target = menu_->addMenu(CaptionOf(GroupCaptions, std::size(GroupCaptions), group.Name));
      exclusive = new QActionGroup(this);
      exclusive->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
      groups_[g] = exclusive;
    }
    for (int i = 0; i < OptionItemCount; ++i) {
      TOptionItem& item = OptionItems[i];
      if (item.Group != g) continue;
      QAction* action = target->addAction(CaptionOf(ItemCaptions, std::size(ItemCaptions), item.Name));
      action->setObjectName(item.Name);
      action->setCheckable(true);
      if (exclusive) exclusive->addAction(action);
      connect(action, &QAction::triggered, this, [this, &item] { OptionClick(item); });
      actions_[item.Name] = action;
    }
  }
  menu_->addSeparator();
  QMenu* sizes = menu_->addMenu("Memory Si&ze");
  memorySizes_ = new QActionGroup(this);
  for (const TMemorySize& size : MemorySizes) {
    QAction* action = sizes->addAction(QString::fromLatin1(size.Caption));
    action->setObjectName(size.Name);
    action->setCheckable(true);
    memorySizes_->addAction(action);
    connect(action, &QAction::triggered, this, [this, &size] { MemorySizeClick(size); });
    actions_[size.Name] = action;
  }
  Refresh();
}

void TConfigurationMenu::Refresh() {
  // Radio actions that should be on first, so an exclusive group never
  // holds two checks on the way.
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < OptionItemCount; ++i) {
      const TOptionItem& item = OptionItems[i];
      QAction* action = actions_.value(item.Name);
      if (pass == 0) action->setEnabled(item.Enabled);
      if (item.Checked == (pass == 0)) action->setChecked(item.Checked);
    }
  }
  if (QAction* size = actions_.value(QString::fromStdString(MainMenu.MemorySizeItem))) size->setChecked(true);
}

void TConfigurationMenu::OptionClick(TOptionItem& item) {
  if (OptionGroups[item.Group].Radio)
    TickOption(item);
  else
    item.Checked = !item.Checked;
  Refresh();
  emit optionsChanged();
}

void TConfigurationMenu::MemorySizeClick(const TMemorySize& size) {
  SelectMemorySize(size.Name);
  Refresh();
  emit memorySizeChanged();
}
