// The Configuration menu and the configuration window mirror the
// configuration model both ways, on a device of the shipped database.
#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "Config.h"
#include "ConfigMenu.h"
#include "ts_app.h"
#include "ts_config.h"
#include "ts_devdb.h"
#include "ts_images.h"
#include "ts_options.h"

class ConfigWindowTest : public QObject {
  Q_OBJECT

  QWidget host;
  TConfigurationMenu* menu = nullptr;
  TConfigForm* form = nullptr;

  QAction* Action(const char* name) { return menu->Action(name); }
  template <class T>
  T* Control(const char* name) {
    T* c = form->findChild<T*>(name);
    if (!c) qFatal("no control %s", name);
    return c;
  }
  void Load(const char* device) {
    DeviceBox.Text = device;
    QVERIFY(LoadDevice());
  }

private slots:
  void initTestCase() {
    AppSettings.ProgramDirectory = TESSALY_SOURCE_DIR "/data/";
    menu = new TConfigurationMenu(&host);
    form = new TConfigForm(&host);
    ConnectConfiguration(menu, form);
    QCOMPARE(form->windowTitle(), QString("Tessaly - Configuration"));
    QVERIFY(Action("XT_OSC")->isChecked());
    QVERIFY(Action("MS_1K")->isChecked());
  }

  void init() {
    ClearConfiguration();
    Load("PIC16F84A");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
  }

  void deviceEnablesItsOptionsInBothViews() {
    QVERIFY(Action("HS_OSC")->isEnabled());
    QVERIFY(!Action("EC_OSC")->isEnabled());
    QVERIFY(!Action("CPB_ON")->isEnabled());
    QVERIFY(Control<QRadioButton>("RC_OSC")->isEnabled());
    QVERIFY(!Control<QRadioButton>("INTRC_OSC")->isEnabled());
    QVERIFY(!Control<QCheckBox>("BODEN_ON")->isEnabled());
    // An empty word shows oscillator RC (both bits set) and the watchdog on.
    QVERIFY(Action("RC_OSC")->isChecked());
    QVERIFY(Control<QRadioButton>("RC_OSC")->isChecked());
    QVERIFY(Control<QCheckBox>("WDT_ON")->isChecked());
    QCOMPARE(form->windowTitle(), QString("Tessaly - Configuration 0x3FFF"));
  }

  void menuClickReachesTheWindowAndTheWords() {
    Action("HS_OSC")->trigger();
    QVERIFY(FindOptionItem("HS_OSC")->Checked);
    QVERIFY(Control<QRadioButton>("HS_OSC")->isChecked());
    QVERIFY(!Control<QRadioButton>("RC_OSC")->isChecked());
    QCOMPARE(ConfigWords[0], 0x3FFEu);
    Action("WDT_ON")->trigger();
    QVERIFY(!Control<QCheckBox>("WDT_ON")->isChecked());
    QCOMPARE(form->windowTitle(), QString("Tessaly - Configuration 0x3FFA"));
  }

  void windowClickReachesTheMenuAndTheCodeProtectPanel() {
    QSignalSpy cp(form, &TConfigForm::cpStateChanged);
    QRadioButton* all = Control<QRadioButton>("CP_ALL");
    QTest::mouseClick(all, Qt::LeftButton, {}, QPoint(4, all->height() / 2));
    QVERIFY(Action("CP_ALL")->isChecked());
    QVERIFY(!Action("CP_OFF")->isChecked());
    QVERIFY(!cp.isEmpty());
    QCOMPARE(cp.last().at(0).toString(), QString("CP On"));
    QCOMPARE(ConfigWords[0] & 0x3FF0, 0u);

    QCheckBox* pwrte = Control<QCheckBox>("PWRTE_ON");
    QTest::mouseClick(pwrte, Qt::LeftButton, {}, QPoint(4, pwrte->height() / 2));
    QVERIFY(Action("PWRTE_ON")->isChecked());
    QCOMPARE(ConfigWords[0] & 0x8, 0u);

    Control<QRadioButton>("CP_OFF")->click();
    QCOMPARE(cp.last().at(0).toString(), QString(""));
    QCOMPARE(form->CPStateText(), QString(""));
  }

  void wordsShownMoveTheCheckOfEveryRadioGroup() {
    Action("HS_OSC")->trigger();
    ConfigWords[0] = 0x0004;  // LP, watchdog on, power-up timer on, all protected
    ShowConfiguration();
    for (const char* name : {"LP_OSC", "CP_ALL", "WDT_ON", "PWRTE_ON"}) {
      QVERIFY2(Action(name)->isChecked(), name);
      QVERIFY2(Control<QAbstractButton>(name)->isChecked(), name);
    }
    for (const char* name : {"HS_OSC", "CP_OFF"}) {
      QVERIFY2(!Action(name)->isChecked(), name);
      QVERIFY2(!Control<QAbstractButton>(name)->isChecked(), name);
    }
    QCOMPARE(form->CPStateText(), QString("CP On"));
  }

  void aGroupWithNothingCheckedIsShownSo() {
    for (int i = 0; i < OptionItemCount; ++i)
      if (OptionItems[i].Group == GroupOsc) OptionItems[i].Checked = false;
    menu->Refresh();
    form->ShowOptions();
    for (int i = 0; i < OptionItemCount; ++i) {
      if (OptionItems[i].Group != GroupOsc) continue;
      QVERIFY2(!Action(OptionItems[i].Name)->isChecked(), OptionItems[i].Name);
      QVERIFY2(!Control<QRadioButton>(OptionItems[i].Name)->isChecked(), OptionItems[i].Name);
    }
    TickOption(*FindOptionItem("XT_OSC"));
    menu->Refresh();
    form->ShowOptions();
    QVERIFY(Control<QRadioButton>("XT_OSC")->isChecked());
  }

  void pic18FlashKeepsProtectionInWordFour() {
    Load("PIC18F452");
    QCOMPARE(ConfigWordOf("CP_75"), -1);
    Action("CP_ALL")->trigger();
    QCOMPARE(ConfigWords[4] & 0xF, 0u);
    QCOMPARE(form->CPStateText(), QString("CP On"));
    Action("CP_OFF")->trigger();
    QCOMPARE(ConfigWords[4] & 0xF, 0xFu);
  }

  void memorySizeItemSetsTheCodeSize() {
    QSignalSpy spy(menu, &TConfigurationMenu::memorySizeChanged);
    Action("MS_2K")->trigger();
    QCOMPARE(DeviceParameters.CodeSize, 2048);
    QVERIFY(Action("MS_2K")->isChecked());
    QVERIFY(!Action("MS_1K")->isChecked());
    QCOMPARE(spy.count(), 1);
  }

  void screenshot() {
    Load("PIC16F877");
    const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
    QDir().mkpath(dir);
    QVERIFY(form->grab().save(dir + "/tessaly_config.png"));
    menu->Menu()->popup(QPoint(0, 0));
    QVERIFY(menu->Menu()->grab().save(dir + "/tessaly_config_menu.png"));
    menu->Menu()->hide();
  }
};

QTEST_MAIN(ConfigWindowTest)
#include "config_window.moc"
