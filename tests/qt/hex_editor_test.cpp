// The hex grid editor as the user meets it: typing, keys, mouse, markers,
// offsets and what the cells show, offscreen.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <map>
#include <vector>

#include "HexEditor.h"

namespace {

using Words = std::vector<uint16_t>;
using Cell = THexEditor::Cell;

enum class Kind { Program, Eeprom, DsPicProgram };

void load(THexEditor& ed, Kind kind, const Words& words, uint32_t mask = 0x3FFF, int32_t base = 0) {
  ed.SetEepromInt(kind == Kind::Eeprom);
  ed.LoadFromWordBuffer(words, static_cast<uint32_t>(words.size()), kind == Kind::DsPicProgram, base, mask);
}

// Shows the editor with a viewport of exactly `rows` rows and room for a
// whole row of the widest layout unless `width` says otherwise.
void showWithRows(THexEditor& ed, int rows, int width = 1200) {
  ed.resize(width, 400);
  ed.show();
  QVERIFY(QTest::qWaitForWindowActive(&ed));
  ed.resize(width, ed.height() + rows * ed.rowHeight() - ed.viewport()->height());
  QCOMPARE(ed.visibleRows(), rows);
}

// One key press and release, without the Shift press and release QTest adds
// around a shifted key, so that a held Shift can be played out.
void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, k, mods, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, k, mods, text);
  QApplication::sendEvent(w, &release);
}

void shiftDown(QWidget* w) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

void shiftUp(QWidget* w) {
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
  QApplication::sendEvent(w, &release);
}

// The colour covering most of a rectangle of a picture.
QRgb dominant(const QImage& img, const QRect& r) {
  std::map<QRgb, int> counts;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) ++counts[img.pixel(x, y) | 0xFF000000u];
  return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

template <typename Pred>
bool hasPixel(const QImage& img, const QRect& r, Pred pred) {
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (pred(img.pixelColor(x, y))) return true;
  return false;
}

// Text in the changed colour (maroon), not in black or grey.
bool hasReddish(const QImage& img, const QRect& r) {
  return hasPixel(img, r, [](const QColor& c) { return c.red() - c.green() > 60 && c.red() - c.blue() > 60; });
}

// Light text, as on the selection's dark background.
bool hasLight(const QImage& img, const QRect& r) {
  return hasPixel(img, r, [](const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; });
}

bool uniform(const QImage& img, const QRect& r) {
  const QRgb first = img.pixel(r.topLeft());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.pixel(x, y) != first) return false;
  return true;
}

QImage grabViewport(THexEditor& ed) { return ed.viewport()->grab().toImage(); }

void savePicture(THexEditor& ed, const char* name) {
  const QPixmap pic = ed.grab();
  const QDir dir(QCoreApplication::applicationDirPath());
  pic.save(dir.filePath(QString("%1.png").arg(name)));
  pic.scaled(pic.size() * 2).save(dir.filePath(QString("%1_x2.png").arg(name)));
}

}  // namespace

class HexEditorTest : public QObject {
  Q_OBJECT
private slots:
  void typing_data();
  void typing();
  void navigation_data();
  void navigation();
  void keyboardSelection();
  void mouseSelection();
  void dragPastTheEdgeScrolls();
  void clickPastTheEndAndOnTheSeparator();
  void offsetTexts_data();
  void offsetTexts();
  void renderProbes();
  void markerDigitsStayInTheirColumn();
  void markers();
  void noticeAfterTheEventLoop();
  void horizontalScrollKeepsTheOffsetColumn();
  void emptyEepromHidesAndShows();
  void ctrlDeleteChangesNothing();
  void insertKey();
  void tabsLeaveWithoutWantTabs();
  void pictures();
};

// ---- Typing ------------------------------------------------------------------------

void HexEditorTest::typing_data() {
  QTest::addColumn<bool>("eeprom");
  QTest::addColumn<bool>("readOnly");
  QTest::addColumn<bool>("swap");
  QTest::addColumn<int>("startByte");
  QTest::addColumn<int>("startNibble");
  QTest::addColumn<bool>("charPane");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QByteArray>("bytes");  // the first four bytes after typing
  QTest::addColumn<int>("caretByte");
  QTest::addColumn<int>("caretNibble");

  // Program image, Mask 0x3F, every byte 0 to start with.
  QTest::newRow("high nibble above mask refused") << false << false << false << 0 << 0 << false << "4"
                                                  << QByteArray("\0\0\0\0", 4) << 0 << 0;
  QTest::newRow("3F fits the mask") << false << false << false << 0 << 0 << false << "3F"
                                    << QByteArray("\x3F\0\0\0", 4) << 1 << 0;
  QTest::newRow("lower case digits") << false << false << false << 0 << 0 << false << "3f"
                                     << QByteArray("\x3F\0\0\0", 4) << 1 << 0;
  QTest::newRow("odd byte takes any value") << false << false << false << 1 << 0 << false << "FF"
                                            << QByteArray("\0\xFF\0\0", 4) << 2 << 0;
  QTest::newRow("low nibble of the high byte") << false << false << false << 0 << 1 << false << "4"
                                               << QByteArray("\x04\0\0\0", 4) << 1 << 0;
  QTest::newRow("not a hex digit") << false << false << false << 0 << 0 << false << "g"
                                   << QByteArray("\0\0\0\0", 4) << 0 << 0;
  QTest::newRow("character above mask kept, caret moves") << false << false << false << 0 << 0 << true << "A"
                                                          << QByteArray("\0\0\0\0", 4) << 1 << 0;
  QTest::newRow("character on an odd byte") << false << false << false << 1 << 0 << true << "A"
                                            << QByteArray("\0A\0\0", 4) << 2 << 0;
  QTest::newRow("read-only view") << false << true << false << 1 << 0 << false << "12"
                                  << QByteArray("\0\0\0\0", 4) << 1 << 0;
  QTest::newRow("swapped nibbles: first cell is the low nibble")
      << false << false << true << 1 << 0 << false << "5" << QByteArray("\0\x05\0\0", 4) << 1 << 1;
  QTest::newRow("eeprom has no mask") << true << false << false << 0 << 0 << false << "FF"
                                      << QByteArray("\xFF\0\0\0", 4) << 1 << 0;
  QTest::newRow("last byte keeps the caret") << false << false << false << 15 << 1 << false << "7"
                                             << QByteArray("\0\0\0\0", 4) << 15 << 1;
}

void HexEditorTest::typing() {
  QFETCH(bool, eeprom);
  QFETCH(bool, readOnly);
  QFETCH(bool, swap);
  QFETCH(int, startByte);
  QFETCH(int, startNibble);
  QFETCH(bool, charPane);
  QFETCH(QString, text);
  QFETCH(QByteArray, bytes);
  QFETCH(int, caretByte);
  QFETCH(int, caretNibble);

  THexEditor ed;
  load(ed, eeprom ? Kind::Eeprom : Kind::Program, Words(eeprom ? 16 : 8, 0), 0x3FFF);
  QCOMPARE(ed.image().Mask(), 0x3F);
  ed.SetReadOnlyView(readOnly);
  ed.SetSwapNibbles(swap);
  showWithRows(ed, 4);
  ed.image().SetCaret(startByte, startNibble, charPane);
  QTest::keyClicks(&ed, text);
  const auto& img = ed.image();
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(img.Bytes().data()), 4), bytes);
  QCOMPARE(img.GetCaret().byte, caretByte);
  QCOMPARE(img.GetCaret().nibble, caretNibble);
  QCOMPARE(img.InCharPane(), charPane);
}

// ---- Navigation -----------------------------------------------------------------------

void HexEditorTest::navigation_data() {
  // A program image of 128 bytes: 8 rows of 16, 4 rows shown. Columns: hex
  // 2..33, separator 34, characters 35..50.
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("mods");
  QTest::addColumn<int>("byte");
  QTest::addColumn<int>("nibble");
  QTest::addColumn<bool>("charPane");
  QTest::addColumn<int>("top");
  QTest::addColumn<int>("column");
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("newTop");
  const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
  QTest::newRow("right to second nibble") << int(Qt::Key_Right) << none << 0 << 0 << false << 0 << 3 << 0 << 0;
  QTest::newRow("right to next byte") << int(Qt::Key_Right) << none << 0 << 1 << false << 0 << 4 << 0 << 0;
  QTest::newRow("right wraps to next row") << int(Qt::Key_Right) << none << 15 << 1 << false << 0 << 2 << 1 << 0;
  QTest::newRow("right stops at the end") << int(Qt::Key_Right) << none << 127 << 1 << false << 4 << 33 << 7 << 4;
  QTest::newRow("left stops at byte 0") << int(Qt::Key_Left) << none << 0 << 0 << false << 0 << 2 << 0 << 0;
  QTest::newRow("left to previous byte's second nibble") << int(Qt::Key_Left) << none << 1 << 0 << false << 0 << 3
                                                         << 0 << 0;
  QTest::newRow("backspace moves left") << int(Qt::Key_Backspace) << none << 1 << 0 << false << 0 << 3 << 0 << 0;
  QTest::newRow("left in characters") << int(Qt::Key_Left) << none << 1 << 0 << true << 0 << 35 << 0 << 0;
  QTest::newRow("right in characters wraps") << int(Qt::Key_Right) << none << 15 << 0 << true << 0 << 35 << 1 << 0;
  QTest::newRow("down") << int(Qt::Key_Down) << none << 0 << 1 << false << 0 << 3 << 1 << 0;
  QTest::newRow("down past the view scrolls") << int(Qt::Key_Down) << none << 48 << 0 << false << 0 << 2 << 4 << 1;
  QTest::newRow("up on row 0 stays") << int(Qt::Key_Up) << none << 2 << 0 << false << 0 << 6 << 0 << 0;
  QTest::newRow("home") << int(Qt::Key_Home) << none << 20 << 1 << false << 0 << 2 << 1 << 0;
  QTest::newRow("home in characters") << int(Qt::Key_Home) << none << 20 << 0 << true << 0 << 35 << 1 << 0;
  QTest::newRow("end") << int(Qt::Key_End) << none << 16 << 0 << false << 0 << 32 << 1 << 0;
  QTest::newRow("ctrl end") << int(Qt::Key_End) << ctrl << 0 << 0 << false << 0 << 32 << 7 << 4;
  QTest::newRow("ctrl end in characters") << int(Qt::Key_End) << ctrl << 0 << 0 << true << 0 << 50 << 7 << 4;
  QTest::newRow("ctrl home") << int(Qt::Key_Home) << ctrl << 127 << 0 << false << 4 << 2 << 0 << 0;
  QTest::newRow("page down") << int(Qt::Key_PageDown) << none << 0 << 0 << false << 0 << 2 << 3 << 3;
  QTest::newRow("page down near the end") << int(Qt::Key_PageDown) << none << 96 << 0 << false << 4 << 2 << 7 << 4;
  QTest::newRow("page up") << int(Qt::Key_PageUp) << none << 80 << 0 << false << 4 << 2 << 2 << 1;
  QTest::newRow("ctrl page down") << int(Qt::Key_PageDown) << ctrl << 32 << 0 << false << 2 << 2 << 5 << 2;
  QTest::newRow("ctrl page up") << int(Qt::Key_PageUp) << ctrl << 80 << 0 << false << 2 << 2 << 2 << 2;
  QTest::newRow("ctrl right: last column") << int(Qt::Key_Right) << ctrl << 0 << 0 << false << 0 << 50 << 0 << 0;
  QTest::newRow("tab to characters") << int(Qt::Key_Tab) << none << 3 << 1 << false << 0 << 38 << 0 << 0;
  QTest::newRow("backtab to hex") << int(Qt::Key_Backtab) << shift << 3 << 0 << true << 0 << 8 << 0 << 0;
  QTest::newRow("ctrl T") << int(Qt::Key_T) << ctrl << 3 << 0 << false << 0 << 38 << 0 << 0;
  QTest::newRow("ctrl down scrolls one row") << int(Qt::Key_Down) << ctrl << 16 << 0 << false << 0 << 2 << 1 << 1;
  QTest::newRow("ctrl up scrolls one row") << int(Qt::Key_Up) << ctrl << 80 << 0 << false << 3 << 2 << 5 << 2;
}

void HexEditorTest::navigation() {
  QFETCH(int, key);
  QFETCH(int, mods);
  QFETCH(int, byte);
  QFETCH(int, nibble);
  QFETCH(bool, charPane);
  QFETCH(int, top);
  QFETCH(int, column);
  QFETCH(int, row);
  QFETCH(int, newTop);
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 4);
  ed.image().SetCaret(byte, nibble, charPane);
  ed.verticalScrollBar()->setValue(top);
  QTest::keyClick(&ed, static_cast<Qt::Key>(key), Qt::KeyboardModifiers(mods));
  QCOMPARE(ed.caretCell(), (Cell{column, row}));
  QCOMPARE(ed.topRow(), newTop);
  QVERIFY(!ed.image().HasSelection());
}

// ---- Selection ------------------------------------------------------------------------------

void HexEditorTest::keyboardSelection() {
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 4);
  HexImage& img = ed.image();
  shiftDown(&ed);
  for (int i = 0; i < 3; ++i) key(&ed, Qt::Key_Right, Qt::ShiftModifier);
  key(&ed, Qt::Key_Down, Qt::ShiftModifier);
  QCOMPARE(img.SelectionStart(), 0);
  QCOMPARE(img.SelectionEnd(), 17);
  QCOMPARE(img.SelectionAnchor(), 0);
  shiftUp(&ed);
  QVERIFY(!ed.selecting());
  QCOMPARE(img.GetSelCount(), 18);  // releasing Shift keeps the selection
  key(&ed, Qt::Key_Right);
  QVERIFY(!img.HasSelection());
  // Typing clears a selection and does not extend a new one.
  img.SetSelStart(4);
  img.SetSelEnd(8);
  QTest::keyClicks(&ed, "1");
  QVERIFY(!img.HasSelection());
}

void HexEditorTest::mouseSelection() {
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 4);
  HexImage& img = ed.image();
  QWidget* vp = ed.viewport();
  QTest::mousePress(vp, Qt::LeftButton, {}, ed.cellRect(img.ColumnOfByte(2, false), 0).center());
  QVERIFY(ed.selecting());
  QMouseEvent move(QEvent::MouseMove, QPointF(ed.cellRect(img.ColumnOfByte(5, true), 0).center()),
                   vp->mapToGlobal(QPointF(ed.cellRect(img.ColumnOfByte(5, true), 0).center())), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(vp, &move);
  QTest::mouseRelease(vp, Qt::LeftButton, {}, ed.cellRect(img.ColumnOfByte(5, true), 0).center());
  QCOMPARE(img.SelectionStart(), 2);
  QCOMPARE(img.SelectionEnd(), 5);
  QVERIFY(img.InCharPane());
  QVERIFY(!ed.selecting());
  // After a click, arrow keys move; they do not extend a selection.
  key(&ed, Qt::Key_Left);
  QVERIFY(!img.HasSelection());
  QCOMPARE(img.GetCaret().byte, 4);
  key(&ed, Qt::Key_Left);
  QVERIFY(!img.HasSelection());
  // A double click selects nothing and starts no selection.
  QTest::mouseDClick(vp, Qt::LeftButton, {}, ed.cellRect(8, 1).center());
  QVERIFY(!ed.selecting());
  QCOMPARE(ed.caretCell(), (Cell{8, 1}));
}

void HexEditorTest::dragPastTheEdgeScrolls() {
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 4);
  QWidget* vp = ed.viewport();
  const QPoint start = ed.cellRect(2, 0).center();
  QTest::mousePress(vp, Qt::LeftButton, {}, start);
  const QPointF below(start.x(), vp->height() + 5);
  QMouseEvent move(QEvent::MouseMove, below, vp->mapToGlobal(below), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(vp, &move);
  QCOMPARE(ed.topRow(), 1);
  QCOMPARE(ed.caretCell().row, 4);
  QCOMPARE(ed.image().SelectionStart(), 0);
  QCOMPARE(ed.image().SelectionEnd(), 64);
  QTest::mouseRelease(vp, Qt::LeftButton, {}, start);
  QVERIFY(!ed.selecting());
}

void HexEditorTest::clickPastTheEndAndOnTheSeparator() {
  THexEditor ed;
  load(ed, Kind::Eeprom, Words(5, 0x11));
  ed.SetBytesPerLine(16);
  showWithRows(ed, 4);
  QWidget* vp = ed.viewport();
  QTest::mouseClick(vp, Qt::LeftButton, {}, ed.cellRect(20, 0).center());
  QCOMPARE(ed.caretCell(), (Cell{10, 0}));  // byte 4, hex pane
  QTest::mouseClick(vp, Qt::LeftButton, {}, ed.cellRect(ed.image().SeparatorColumn(), 0).center());
  QCOMPARE(ed.caretCell().column, 10);  // its left neighbour lies past the end too
  // Select all on an empty (hidden) editor does nothing.
  load(ed, Kind::Eeprom, {});
  ed.SelectAll();
  QVERIFY(!ed.image().HasSelection());
}

// ---- Offsets ------------------------------------------------------------------------------------

void HexEditorTest::offsetTexts_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("words");
  QTest::addColumn<int>("base");
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("text");
  QTest::newRow("eeprom at 0x2100") << int(Kind::Eeprom) << 128 << 0x2100 << 1 << "0x2108:";
  QTest::newRow("program") << int(Kind::Program) << 64 << 0 << 1 << "0x0008:";
  QTest::newRow("dspic program") << int(Kind::DsPicProgram) << 96 << 0 << 1 << "0x00010:";
  QTest::newRow("eight digits") << int(Kind::Eeprom) << 64 << 0x12345670 << 1 << "0x12345678:";
}

void HexEditorTest::offsetTexts() {
  QFETCH(int, kind);
  QFETCH(int, words);
  QFETCH(int, base);
  QFETCH(int, row);
  QFETCH(QString, text);
  THexEditor ed;
  load(ed, static_cast<Kind>(kind), Words(static_cast<size_t>(words), 0), 0xFFFF, base);
  showWithRows(ed, 4);
  QCOMPARE(ed.offsetText(row), text);
  QVERIFY(ed.columnWidth(0) >= QFontMetrics(ed.font()).horizontalAdvance(text));
}

// ---- Pictures -------------------------------------------------------------------------------------

void HexEditorTest::renderProbes() {
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 6);
  HexImage& img = ed.image();
  img.ChangeByte(0xFF, 0x00, 3);
  ed.SetSelStart(20);
  ed.SetSelEnd(22);
  img.SetMarker(4, 2);
  img.SetCaret(100, 0, false);  // the caret out of the probed cells
  const QImage pic = grabViewport(ed);
  const THexColors& c = ed.Colors();

  const QRect selectedHex = ed.cellRect(img.ColumnOfByte(21, false), 1);
  const QRect selectedChar = ed.cellRect(img.ColumnOfByte(21, true), 1);
  QCOMPARE(dominant(pic, selectedHex), c.Selection.rgb());
  QCOMPARE(dominant(pic, selectedChar), c.Selection.rgb());
  QVERIFY(hasLight(pic, selectedHex));
  QVERIFY(hasLight(pic, selectedChar));
  const QRect changed = ed.cellRect(img.ColumnOfByte(3, false), 0);
  QVERIFY(hasReddish(pic, changed));
  QVERIFY(hasReddish(pic, ed.cellRect(img.ColumnOfByte(3, true), 0)));
  QVERIFY(!hasReddish(pic, ed.cellRect(img.ColumnOfByte(2, false), 0)));
  QCOMPARE(dominant(pic, ed.cellRect(img.ColumnOfByte(2, false), 0)), c.Background.rgb());
  QCOMPARE(dominant(pic, ed.cellRect(1, 2)), c.Marker.rgb());
  QVERIFY(uniform(pic, ed.cellRect(1, 3)));

  // Past the end of a 5-byte EEPROM image the cells are blank.
  THexEditor ee;
  load(ee, Kind::Eeprom, Words(5, 0x41));
  showWithRows(ee, 2);
  const QImage small = grabViewport(ee);
  const HexImage& e = ee.image();
  QVERIFY(!uniform(small, ee.cellRect(e.ColumnOfByte(4, false), 0)));
  for (int p = 5; p < 8; ++p) {
    for (bool pane : {false, true}) {
      const QRect r = ee.cellRect(e.ColumnOfByte(p, pane), 0);
      QVERIFY(uniform(small, r));
      QCOMPARE(small.pixel(r.center()) | 0xFF000000u, ee.Colors().Background.rgb());
    }
  }
}

// Each bookmark digit is drawn inside the marker column, clear of both
// edges, so it neither runs into the first hex digit nor into the offset.
void HexEditorTest::markerDigitsStayInTheirColumn() {
  for (int size : {0, 13, 20}) {
    THexEditor ed;
    if (size) {
      QFont f = ed.font();
      f.setPointSize(size);
      ed.setFont(f);
    }
    load(ed, Kind::Program, Words(256, 0x3FFF));
    showWithRows(ed, 10);
    for (int d = 0; d < 10; ++d) ed.image().SetMarker(d, d);
    ed.image().SetCaret(200, 0, false);
    const QImage pic = grabViewport(ed);
    // The digit is light on the marker's green; at the edges no more than
    // the faint fringe of its smoothing may show.
    const auto halfLight = [](const QColor& c) { return c.red() > 127; };
    for (int d = 0; d < 10; ++d) {
      const QRect m = ed.cellRect(1, d);
      QVERIFY(hasLight(pic, m));
      QCOMPARE(dominant(pic, m), ed.Colors().Marker.rgb());
      for (const QRect edge : {QRect(m.left(), m.top(), 1, m.height()), QRect(m.right(), m.top(), 1, m.height())})
        QVERIFY2(!hasPixel(pic, edge, halfLight), qPrintable(QString("digit %1, size %2").arg(d).arg(size)));
    }
  }
}

void HexEditorTest::markers() {
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 4);
  HexImage& img = ed.image();
  img.SetCaret(5 * 16 + 3, 1, true);
  key(&ed, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(img.GetMarker(3), 5);
  key(&ed, Qt::Key_Home, Qt::ControlModifier);
  QCOMPARE(ed.caretCell(), (Cell{35, 0}));
  key(&ed, Qt::Key_3, Qt::ControlModifier);
  QCOMPARE(ed.caretCell(), (Cell{2, 5}));
  // A shifted symbol, as X11 sends it, sets a marker too.
  key(&ed, Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier, "@");
  QCOMPARE(img.GetMarker(2), 5);
  // The bookmark commands; a marker past the rows keeps its value and the caret.
  ed.image().SetCaret(16, 0, false);
  ed.ToggleMarker(7);
  QCOMPARE(img.GetMarker(7), 1);
  ed.GotoMarker(3);
  QCOMPARE(ed.caretCell(), (Cell{2, 5}));
  img.SetMarker(9, 40);
  ed.GotoMarker(9);
  key(&ed, Qt::Key_9, Qt::ControlModifier);
  QCOMPARE(ed.caretCell(), (Cell{2, 5}));
  QCOMPARE(img.GetMarker(9), 40);
  ed.GotoMarker(11);  // ignored, nothing thrown
  QList<QAction*> items;
  for (int i = 0; i < 10; ++i) items.push_back(new QAction(&ed));
  ed.UpdateMarkerMenu(items, true);
  QVERIFY(items[3]->isVisible());
  QVERIFY(!items[0]->isVisible());
  ed.UpdateMarkerMenu(items, false);
  QVERIFY(items[7]->isChecked());
  QVERIFY(!items[1]->isChecked());
}

void HexEditorTest::noticeAfterTheEventLoop() {
  THexEditor ed;
  load(ed, Kind::Program, Words(64, 0x3FFF));
  showWithRows(ed, 4);
  QTRY_VERIFY(true);  // let the notices of the load go by
  QCoreApplication::processEvents();
  QSignalSpy spy(&ed, &THexEditor::stateChanged);
  QTest::keyClicks(&ed, "1");
  QCOMPARE(spy.count(), 0);
  QTRY_VERIFY(spy.count() >= 1);
  QVERIFY(ed.Modified());
}

void HexEditorTest::horizontalScrollKeepsTheOffsetColumn() {
  THexEditor ed;
  load(ed, Kind::DsPicProgram, Words(96, 0xFFFF), 0xFFFF);
  QCOMPARE(ed.image().BytesPerLine(), 24);
  showWithRows(ed, 4, 400);
  QScrollBar* h = ed.horizontalScrollBar();
  QVERIFY(h->maximum() > 5);
  const QRect offset = ed.cellRect(0, 1);
  const QRect marker = ed.cellRect(1, 1);
  const QImage before = grabViewport(ed);
  h->setValue(5);
  QCOMPARE(ed.firstScrolledColumn(), 7);
  QCOMPARE(ed.cellRect(0, 1), offset);
  QCOMPARE(ed.cellRect(1, 1), marker);
  QVERIFY(ed.cellRect(6, 1).isEmpty());
  QCOMPARE(ed.cellRect(7, 1).left(), marker.right() + 1);
  QCOMPARE(grabViewport(ed).copy(offset), before.copy(offset));
  // The caret brings its column into view.
  key(&ed, Qt::Key_End, Qt::ControlModifier);
  QVERIFY(!ed.cellRect(ed.caretCell().column, ed.caretCell().row).isEmpty());
  QCOMPARE(ed.cellRect(0, ed.topRow()).left(), 0);
  // A new load goes back to the first row and column.
  load(ed, Kind::DsPicProgram, Words(96, 0xFFFF), 0xFFFF);
  QCOMPARE(h->value(), 0);
  QCOMPARE(ed.topRow(), 0);
}

void HexEditorTest::emptyEepromHidesAndShows() {
  QWidget window;
  auto* ed = new THexEditor(&window);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  load(*ed, Kind::Eeprom, {}, 0xFF, 0x2100);
  QVERIFY(ed->isHidden());
  load(*ed, Kind::Eeprom, Words(64, 0xFF), 0xFF, 0x2100);
  QVERIFY(!ed->isHidden());
}

void HexEditorTest::ctrlDeleteChangesNothing() {
  THexEditor ed;
  Words words(32);
  for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(i * 0x101);
  load(ed, Kind::Program, words);
  showWithRows(ed, 4);
  ed.SetSelStart(4);
  ed.SetSelEnd(9);
  key(&ed, Qt::Key_Delete, Qt::ControlModifier);
  key(&ed, Qt::Key_Delete);
  QCOMPARE(ed.GetDataSize(), 64);
  Words back(words.size());
  ed.SaveToWordBuffer(back, static_cast<uint32_t>(back.size()), false);
  QCOMPARE(back, words);
  QVERIFY(!ed.Modified());
}

void HexEditorTest::insertKey() {
  THexEditor ed;
  load(ed, Kind::Program, Words(8, 0));
  showWithRows(ed, 2);
  QTest::keyClicks(&ed, "12");
  QVERIFY(ed.image().IsChanged(0));
  QSignalSpy spy(&ed, &THexEditor::stateChanged);
  QTest::keyClick(&ed, Qt::Key_Insert);
  QVERIFY(ed.InsertMode());
  QCOMPARE(ed.CaretStyle(), THexEditor::csLeftLine);
  QVERIFY(!ed.image().IsChanged(0));
  QCOMPARE(ed.image().ByteAt(0), 0x12);
  QTRY_VERIFY(spy.count() >= 1);
  QTest::keyClick(&ed, Qt::Key_Insert);
  QCOMPARE(ed.CaretStyle(), THexEditor::csFull);
}

void HexEditorTest::tabsLeaveWithoutWantTabs() {
  QWidget window;
  auto* ed = new THexEditor(&window);
  auto* next = new QLineEdit(&window);
  next->move(0, 300);
  load(*ed, Kind::Program, Words(8, 0));
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  ed->setFocus();
  QVERIFY(ed->hasFocus());
  QTest::keyClick(ed, Qt::Key_Tab);
  QVERIFY(ed->hasFocus());
  QVERIFY(ed->image().InCharPane());
  ed->SetWantTabs(false);
  QTest::keyClick(ed, Qt::Key_Tab);
  QVERIFY(next->hasFocus());
  QVERIFY(ed->image().InCharPane());
}

void HexEditorTest::pictures() {
  // Pictures for review: a program image with a change, a selection and a
  // marker; a dsPIC program row; a data EEPROM at 0x2100.
  THexEditor ed;
  Words words(64);
  for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>((0x3000 + i * 0x141) & 0x3FFF);
  load(ed, Kind::Program, words);
  showWithRows(ed, 8, 640);
  ed.image().ChangeByte(ed.image().ByteAt(5), 0x12, 5);
  ed.SetSelStart(20);
  ed.SetSelEnd(27);
  ed.image().SetMarker(1, 3);
  savePicture(ed, "hex_editor_program");
  THexEditor ds;
  load(ds, Kind::DsPicProgram, Words(96, 0x1234), 0xFFFF);
  showWithRows(ds, 4, 700);
  savePicture(ds, "hex_editor_dspic");
  ds.horizontalScrollBar()->setValue(ds.horizontalScrollBar()->maximum());
  savePicture(ds, "hex_editor_dspic_scrolled");
  THexEditor ee;
  Words data(64);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint16_t>(0x30 + i);
  load(ee, Kind::Eeprom, data, 0xFF, 0x2100);
  showWithRows(ee, 4, 400);
  savePicture(ee, "hex_editor_eeprom");
}

QTEST_MAIN(HexEditorTest)
#include "hex_editor_test.moc"
