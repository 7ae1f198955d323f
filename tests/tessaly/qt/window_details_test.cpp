// What a user meets in the main window beside the operations: the icons of
// the real boxes, the Port menu's None item, and a settings file whose
// sections stand in another order and whose device name holds blanks.
#include <QAbstractButton>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "Code.h"
#include "Config.h"
#include "ConfigMenu.h"
#include "window_bench.h"

namespace {

// The program's own boxes; only the file names are the test's.
class TRealBoxes final : public TMainDialogs {
public:
  QString OpenFileName(QWidget*, const QString&) override { return Name; }
  QString SaveFileName(QWidget*, const QString&) override { return Name; }
  QString Name;
};

struct TSeenBox {
  QMessageBox::Icon Icon;
  QString Title, Text;
};

// Answers every message box the program shows, from inside the box's own
// event loop: records it and presses Cancel where the box has it, else OK.
class TBoxAnswerer : public QObject {
public:
  TBoxAnswerer() {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      Seen.push_back({box->icon(), box->windowTitle(), box->text()});
      QAbstractButton* b = box->button(QMessageBox::Cancel);
      (b ? b : box->button(QMessageBox::Ok))->click();
    });
    timer_.start();
  }
  std::vector<TSeenBox> Seen;

private:
  QTimer timer_;
};

}  // namespace

class TestWindowDetails : public QObject {
  Q_OBJECT
private slots:
  // The missing settings file is a warning, a file's checksum error an
  // error, though both come with the answers of a question box.
  void boxIcons() {
    TWindowBench b;
    TBoxAnswerer answerer;
    auto boxes = std::make_unique<TRealBoxes>();
    TRealBoxes* names = boxes.get();
    b.Start("PIC16F84A", std::move(boxes));
    std::ofstream(b.Path("bad.hex").toStdString()) << ":0400000055300028FF\n:00000001FF\n";
    names->Name = b.Path("bad.hex");
    b.W->FileOpenItem->trigger();
    std::ofstream(b.Path("there.hex").toStdString()) << ":00000001FF\n";
    names->Name = b.Path("there.hex");
    b.W->FileSaveAsItem->trigger();

    struct TWanted {
      QMessageBox::Icon Icon;
      const char *Title, *Text;
    };
    const TWanted wanted[] = {
        {QMessageBox::Warning, "Tessaly", "Unable to open VORRACFG.INI.\nUsing defaults."},
        {QMessageBox::Critical, "Tessaly Error", "File checksum error.\nContinue anyway?"},
        {QMessageBox::Question, "Tessaly", "File already exists. Overwrite?"},
    };
    QCOMPARE(answerer.Seen.size(), std::size(wanted));
    for (std::size_t i = 0; i < std::size(wanted); ++i) {
      QCOMPARE(answerer.Seen[i].Text, QString(wanted[i].Text));
      QCOMPARE(answerer.Seen[i].Title, QString(wanted[i].Title));
      QCOMPARE(answerer.Seen[i].Icon, wanted[i].Icon);
    }
  }

  // None shows that no port is in use and is never a choice: with LPT2
  // chosen, Run uses LPT2.
  void noneIsNoChoice() {
    TWindowBench b;
    b.Start("PIC16F84A");
    QVERIFY(b.W->Vorra_LPT1->isChecked());
    QVERIFY(!b.W->Vorra_None->isEnabled());
    b.Port.Slots[0].Device = nullptr;
    b.Port.Slots[1].Device = &b.Programmer;
    b.Chip.Mid->SetWord(0, 0x2805);
    b.W->Vorra_Auto->trigger();
    QVERIFY(b.W->Vorra_LPT2->isEnabled());
    QVERIFY(!b.W->Vorra_None->isEnabled());
    b.W->Vorra_LPT2->trigger();
    b.W->Vorra_None->trigger();
    QVERIFY(b.W->Vorra_LPT2->isChecked());
    b.D->Boxes.clear();
    b.W->RunReadItem->trigger();
    QVERIFY2(b.D->Boxes.empty(), b.D->Texts().c_str());
    QCOMPARE(CodeImage[0], 0x2805u);
  }

  // A settings file edited by hand: the device section first, the
  // configuration window's section right after the code view's, and a
  // device whose name holds blanks.
  void settingsInAnyOrderAndANameWithBlanks() {
    TWindowBench b;
    {
      std::ofstream db(b.Path("vorra.ini").toStdString(), std::ios::app);
      db << "\n[PIC16F84A rev B]\n; Microchip PIC16F84A data sheet; a board's own entry\nCoreType=14\n"
            "CodeSize=512\nOscMask=0x0003\nXTOsc=0x0001\nHSOsc=0x0002\n";
    }
    std::ofstream(b.Path("vorracfg.ini").toStdString())
        << "[Device]\nDevice=PIC16F84A rev B\nConfig0=0x3FFE\n\n[Code]\nLeft=210\nTop=220\n"
           "[Config]\nLeft=77\nTop=88\nVisible=1\n\n[Main]\nLeft=5\nTop=6\n";
    b.Start("PIC16F84A");
    QVERIFY2(!b.D->Has("VORRACFG.INI"), b.D->Texts().c_str());
    QCOMPARE(b.W->DeviceBox->currentText(), QString("PIC16F84A rev B"));
    QCOMPARE(DeviceParameters.CodeSize, 512);
    QVERIFY(b.W->ConfigurationMenu->Action("HS_OSC")->isChecked());
    QVERIFY(b.W->ConfigForm->isVisible());
    // A place is that of the window's own area, inside its frame.
    QCOMPARE(b.W->ConfigForm->geometry().topLeft(), QPoint(77, 88));
    QCOMPARE(b.W->CodeForm->geometry().topLeft(), QPoint(210, 220));
  }
};

QTEST_MAIN(TestWindowDetails)
#include "window_details_test.moc"
