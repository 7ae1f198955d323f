// The code, data and ID views, the count window and the serial-number
// window: what they show of the images and parameters, and the bounds and
// enabling rules of their controls.
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include <limits>

#include "Code.h"
#include "Count.h"
#include "SN.h"
#include "ts_images.h"

class MemoryWindowsTest : public QObject {
  Q_OBJECT

  static QString ScreenshotDir() {
    const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
    QDir().mkpath(dir);
    return dir;
  }

private slots:
  void init() {
    ClearBuffers();
    ResetCounters();
    SerialNumberParameters = TSerialNumberParameters{};
  }

  void codeViewShowsRunsAndRefreshesWhenShown() {
    TCodeForm code;
    QSignalSpy shown(&code, &TCodeForm::shownChanged);
    CodeImage[6] = 0x3041;
    for (int w = 7; w <= 20; ++w) CodeImage[w] = static_cast<uint32_t>(w);
    code.ShowCode();  // hidden: nothing to do yet
    QVERIFY(code.RichEdit()->toPlainText().isEmpty());
    code.show();
    QVERIFY(QTest::qWaitForWindowExposed(&code));
    QCOMPARE(code.RichEdit()->toPlainText(),
             QString("0006- 3041 0007 \n"
                     "0008- 0008 0009 000a 000b 000c 000d 000e 000f \n"
                     "0010- 0010 0011 0012 0013 0014 "));
    QTest::mouseClick(code.AsciiButton(), Qt::LeftButton, {}, QPoint(4, code.AsciiButton()->height() / 2));
    QVERIFY(code.RichEdit()->toPlainText().startsWith("0006- 0A .. \n"));
    // Columns line up: every character a view can show (addresses, hex
    // digits, the printable ASCII range and the dot for the rest) is as wide
    // as any other in the view's font. A font can be drawn that way without
    // Qt calling it fixed-pitch (Noto Sans Mono, fontconfig's monospace on
    // many desktops), so the widths themselves are checked.
    const QFontMetricsF metrics(code.RichEdit()->font());
    const qreal column = metrics.horizontalAdvance(QLatin1Char('0'));
    QVERIFY(column > 0);
    for (int c = 0x20; c < 0x7F; ++c) {
      const qreal width = metrics.horizontalAdvance(QLatin1Char(char(c)));
      QVERIFY2(qFuzzyCompare(width, column),
               qPrintable(QString("'%1' is %2 pixels wide, '0' %3").arg(QLatin1Char(char(c))).arg(width).arg(column)));
    }
    QVERIFY(code.grab().save(ScreenshotDir() + "/tessaly_code.png"));
    code.close();
    QCOMPARE(shown.count(), 2);
    QCOMPARE(shown.at(0).at(0).toBool(), true);
    QCOMPARE(shown.at(1).at(0).toBool(), false);
  }

  void dataAndIdViewsShowTheirImages() {
    TDataForm data;
    TIDForm id;
    QCOMPARE(data.windowTitle(), QString("Tessaly - Data"));
    QCOMPARE(id.windowTitle(), QString("Tessaly - ID"));
    DataImage[0] = 0x00;
    DataImage[1] = 0x07;
    DataImage[2] = 0x41;
    IDImage[0] = 0x000F;
    data.show();
    id.show();
    QCOMPARE(data.RichEdit()->toPlainText(), QString("0000- 00 07 41 "));
    QCOMPARE(id.RichEdit()->toPlainText(), QString("0000- 000f "));
    data.AsciiButton()->click();
    QCOMPARE(data.RichEdit()->toPlainText(), QString("0000- . . A "));
    IDImage[1] = 0x0001;
    id.ShowID();
    QCOMPARE(id.RichEdit()->toPlainText(), QString("0000- 000f 0001 "));
  }

  void serialNumberControlsKeepTheirBounds() {
    TSNForm sn;
    constexpr int low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    const struct {
      QSpinBox* Box;
      int Min, Max, Start;
    } bounds[] = {{sn.SerialNumber, low, high, 0},      {sn.IncrementBy, low, high, 0},
                  {sn.StartingLocation, 0, 8191, 2047}, {sn.NumberLocations, 1, 4, 1},
                  {sn.PrefixByte, 0, 63, 52}};
    for (const auto& b : bounds) {
      QCOMPARE(b.Box->minimum(), b.Min);
      QCOMPARE(b.Box->maximum(), b.Max);
      QCOMPARE(b.Box->value(), b.Start);
    }
    QVERIFY(sn.LSBFirst->isChecked());
    QVERIFY(sn.WriteSNToCode->isChecked());

    // Values from outside (settings, Program) are held at the bounds, the
    // serial number itself never.
    SerialNumberParameters.SerialNumber = high;
    SerialNumberParameters.IncrementBy = -5;
    SerialNumberParameters.StartingLocation = 9000;
    SerialNumberParameters.NumberLocations = 7;
    SerialNumberParameters.PrefixByte = 64;
    SerialNumberParameters.MSBFirst = true;
    sn.ShowParameters();
    QCOMPARE(sn.SerialNumber->value(), high);
    QCOMPARE(sn.IncrementBy->value(), -5);
    QCOMPARE(sn.StartingLocation->value(), 8191);
    QCOMPARE(SerialNumberParameters.StartingLocation, 8191);
    QCOMPARE(SerialNumberParameters.NumberLocations, 4);
    QCOMPARE(SerialNumberParameters.PrefixByte, 63);
    QVERIFY(sn.MSBFirst->isChecked());

    // Typing in a control reaches the parameters.
    sn.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sn));
    sn.StartingLocation->selectAll();
    QTest::keyClicks(sn.StartingLocation, "5000");
    QCOMPARE(SerialNumberParameters.StartingLocation, 5000);
    QTest::keyClicks(sn.StartingLocation, "0");  // 50000 is refused
    QCOMPARE(SerialNumberParameters.StartingLocation, 5000);
    sn.SerialNumber->setValue(low);
    QCOMPARE(SerialNumberParameters.SerialNumber, low);
    QVERIFY(sn.grab().save(ScreenshotDir() + "/tessaly_sn.png"));
  }

  void serialNumberTargetEnablesItsControls() {
    TSNForm sn;
    sn.show();
    const struct {
      QRadioButton* Target;
      TSerialNumberParameters::TTarget Value;
      bool Location, Prefix;
    } rules[] = {{sn.WriteSNToEE, TSerialNumberParameters::EE, true, false},
                 {sn.WriteSNToID, TSerialNumberParameters::ID, false, true},
                 {sn.WriteSNToCode, TSerialNumberParameters::Code, true, true}};
    for (const auto& r : rules) {
      QTest::mouseClick(r.Target, Qt::LeftButton, {}, QPoint(4, r.Target->height() / 2));
      QCOMPARE(SerialNumberParameters.Target, r.Value);
      QCOMPARE(sn.StartingLocation->isEnabled(), r.Location);
      QCOMPARE(sn.PrefixByte->isEnabled(), r.Prefix);
    }
    SerialNumberParameters.Target = TSerialNumberParameters::ID;
    sn.ShowParameters();
    QVERIFY(!sn.StartingLocation->isEnabled());
  }

  void countWindowShowsAndResetsTheCounters() {
    TCountForm count;
    QCOMPARE(count.CSpinEditProgramAttempts->maximum(), std::numeric_limits<int32_t>::max());
    ProgramCounters.ProgramAttempts = 150;
    ProgramCounters.ProgramSuccess = 149;
    count.ShowCounters();
    QCOMPARE(count.CSpinEditProgramAttempts->value(), 150);
    count.CSpinEditProgramSuccess->setValue(120);
    QCOMPARE(ProgramCounters.ProgramSuccess, 120);
    count.show();
    QVERIFY(count.grab().save(ScreenshotDir() + "/tessaly_count.png"));
    count.ResetButton->click();
    QCOMPARE(ProgramCounters.ProgramAttempts, 0);
    QCOMPARE(count.CSpinEditProgramSuccess->value(), 0);
  }
};

QTEST_MAIN(MemoryWindowsTest)
#include "memory_windows.moc"
