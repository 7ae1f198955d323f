// The main window's Configuration menu, built from the configuration model
// (ts_options.h, ts_config.h): a submenu with an exclusive QActionGroup for
// each one-of-several group, a checkable item for each on/off option, and
// the memory-size submenu. Every action's object name is the model item's
// name ("XT_OSC", "WDT_ON", "MS_2K"), so the main window and tests find
// them with findChild<QAction*>.
//
// How the main window uses it: it creates one with itself as parent, adds
// Menu() to its menu bar between Run and Options, and joins it to the
// configuration window with ConnectConfiguration() (Config.h). The menu
// never holds state of its own: a click changes the model (a radio item
// ticks itself, an on/off item inverts its check, a memory-size item sets
// CodeSize) and Refresh() shows the model again.
#pragma once

#include <QMap>
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;
struct TOptionItem;
struct TMemorySize;

class TConfigurationMenu : public QObject {
  Q_OBJECT
public:
  explicit TConfigurationMenu(QWidget* parent);

  QMenu* Menu() const { return menu_; }
  // The action of a model item or memory-size item; null for an unknown name.
  QAction* Action(const QString& name) const { return actions_.value(name); }

public slots:
  // Enabled and checked state of every action from the model.
  void Refresh();

signals:
  // A click changed an option; the configuration window shows it.
  void optionsChanged();
  // A memory-size item set a new CodeSize.
  void memorySizeChanged();

private:
  void OptionClick(TOptionItem& item);
  void MemorySizeClick(const TMemorySize& size);

  QMenu* menu_;
  QMap<QString, QAction*> actions_;
  QMap<int, QActionGroup*> groups_;  // radio groups by model group
  QActionGroup* memorySizes_;
};
