#pragma once
// THexEditor: the hex grid editor of one device memory.
//
// The main window holds three of them: EditorProg (program memory, and the
// whole array of a 24Cxx EEPROM with SetEepromInt(true) and SetEeI2C(true)),
// EditorData (data EEPROM, SetEepromInt(true)) and Editor_CE (the dsPIC
// executive). Showing a buffer set calls LoadFromWordBuffer on each editor
// with the area's words, count, dsPIC flag, base address and mask; storing
// calls SaveToWordBuffer with the same area (the executive's DataNotBlank()
// answers the HEX writer afterwards). A load of 0 words into an EEPROM
// editor hides it, any other count shows it again: the Edit commands follow
// isHidden(). stateChanged() arrives from the event loop after every edit,
// selection or undo change; the main window enables copy, cut and paste
// there (GetSelCount() > 0). Copy is BufferFromFile(lower end, GetSelCount())
// through BytesToHexText; paste is HexTextToBytes and ReplaceSelection; fill
// is FillRange(first, last, value) bounded by WordCount(); search is Find.
// Bookmarks: ToggleMarker, GotoMarker, ClearMarkers, UpdateMarkerMenu and
// AnyMarkerSet. image() gives the memory image for everything else.
//
// The grid: column 0 the row offset, 1 the marker, then two nibble cells a
// byte, a blank separator and one character cell a byte. Offset and marker
// columns stay in place while the rest scrolls by whole columns; the
// vertical scroll bar counts rows; only visible rows are painted.

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QList>
#include <QRawFont>
#include <QTimer>

#include <cstdint>
#include <span>
#include <vector>

#include "HexImage.h"

class QAction;

struct THexColors {
  QColor Background;
  QColor PositionText{Qt::white};
  QColor ChangedBackground;
  QColor ChangedText{0x80, 0x00, 0x00};
  QColor CursorFrame{0x00, 0x00, 0x80};
  QColor Offset{0x00, 0x00, 0x80};
  QColor OddColumn{Qt::black};
  QColor EvenColumn{Qt::black};
  QColor Selection{0x00, 0x00, 0x80};
  QColor Marker{0x00, 0x80, 0x00};
};

class THexEditor : public QAbstractScrollArea {
  Q_OBJECT
public:
  enum TCaretStyle { csFull, csLeftLine, csBottomLine };

  explicit THexEditor(QWidget* parent = nullptr);
  ~THexEditor() override;

  HexImage& image() { return img_; }
  const HexImage& image() const { return img_; }

  // ---- Exchange with the buffer sets ---------------------------------------
  bool LoadFromWordBuffer(std::span<const uint16_t> words, uint32_t count, bool isDsPic, int32_t baseAddress,
                          uint32_t maskWord);
  void SaveToWordBuffer(std::span<uint16_t> words, uint32_t count, bool isDsPic);
  bool EepromInt() const { return img_.EepromInt(); }
  void SetEepromInt(bool v) { img_.SetEepromInt(v); }
  void SetEeI2C(bool v) { img_.SetEeI2C(v); }
  bool DSPIC() const { return img_.DSPIC(); }
  uint32_t WordCount() const { return img_.WordCount(); }
  bool DataNotBlank() const { return img_.DataNotBlank(); }
  int32_t GetDataSize() const { return img_.GetDataSize(); }
  bool Modified() const { return img_.Modified(); }

  // ---- Edit commands --------------------------------------------------------
  int32_t GetSelStart() const { return img_.GetSelStart(); }
  int32_t GetSelEnd() const { return img_.GetSelEnd(); }
  int32_t GetSelCount() const { return img_.GetSelCount(); }
  // Out-of-range positions are ignored here; the image raises for them.
  void SetSelStart(int32_t position);
  void SetSelEnd(int32_t position);
  void SelectAll();
  void ReplaceSelection(std::span<const uint8_t> data);
  void FillRange(int32_t first, int32_t last, uint32_t value);
  int32_t Find(std::span<const uint8_t> pattern, bool ignoreCase, int32_t last, int32_t first) const {
    return first < 0 ? -1 : img_.Find(pattern, ignoreCase, last, first);
  }
  std::vector<uint8_t> BufferFromFile(int32_t position, int32_t count) const {
    return position < 0 || position >= img_.GetDataSize() ? std::vector<uint8_t>{}
                                                          : img_.BufferFromFile(position, count);
  }

  // ---- Bookmarks (index 0..9; others ignored) -------------------------------
  void ToggleMarker(int index);
  // Moves the caret to the marked row; an unset marker, or one past the
  // current rows, changes nothing.
  void GotoMarker(int index);
  void ClearMarkers() { img_.ClearMarkers(); }
  bool AnyMarkerSet() const { return img_.AnyMarkerSet(); }
  // Items 0..9 of a toggle menu get a check mark per set marker; with
  // `onlySet` (the go-to menu) an item is visible only when its marker is set.
  void UpdateMarkerMenu(const QList<QAction*>& items, bool onlySet) const;

  // ---- Properties -------------------------------------------------------------
  THexColors& Colors() { return colors_; }
  void SetColors(const THexColors& c);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  bool ReadOnlyView() const { return readOnly_; }
  void SetReadOnlyView(bool v) { readOnly_ = v; }
  bool ShowMarkerColumn() const { return showMarkers_; }
  void SetShowMarkerColumn(bool v);
  bool FocusFrame() const { return focusFrame_; }
  void SetFocusFrame(bool v);
  bool InsertMode() const { return insertMode_; }
  TCaretStyle CaretStyle() const { return caretStyle_; }
  void SetCaretStyle(TCaretStyle s);
  bool AutoCaretMode() const { return autoCaret_; }
  void SetAutoCaretMode(bool v);
  void SetSwapNibbles(bool v);
  void SetBytesPerLine(int bytes);

  // ---- What the grid shows (tests and the main window) ----------------------
  struct Cell {
    int column = 2;
    int32_t row = 0;
    bool operator==(const Cell&) const = default;
  };
  Cell caretCell() const { return {img_.CaretColumn(), img_.CaretRow()}; }
  // Rectangle of a cell in viewport coordinates; empty when not shown.
  QRect cellRect(int column, int32_t row) const;
  QString offsetText(int32_t row) const { return QString::fromStdString(img_.OffsetText(row)); }
  int32_t topRow() const;
  int32_t visibleRows() const;
  int firstScrolledColumn() const;  // leftmost hex/character column shown
  int rowHeight() const { return rowH_; }
  int charWidth() const { return charW_; }
  int columnWidth(int column) const;
  bool selecting() const { return selecting_; }
  // Digit 0..9 of a Ctrl(+Shift)+digit key: by the unshifted key, so that
  // X11's shifted symbols (Ctrl+Shift+3 arriving as '#') count too; -1 else.
  static int markerDigit(const QKeyEvent* event);

signals:
  void stateChanged();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;

private:
  void computeMetrics();
  void layoutChanged();
  void updateScrollBars();
  void postStateChange();
  bool handleNavigation(QKeyEvent* event);
  // Moves the caret to a cell as the grid's cell move does: the separator and
  // cells past the image end are refused; extends the selection while
  // selecting (`extend`). `mouse` tells a press or drag.
  void moveToCell(int column, int32_t row, bool mouse, bool extend);
  void moveToCell(int column, int32_t row) { moveToCell(column, row, false, selecting_); }
  void moveRight();
  void ensureVisible(int column, int32_t row);
  void setTopRow(int32_t row);
  // Cell under a viewport point; column -1 when none (beyond the last).
  Cell cellAt(QPoint p, bool clampToView) const;
  int fixedWidth() const;
  int offsetColumnWidth() const;
  int columnX(int column) const;  // viewport x of a column's left edge
  void autoScroll();
  void caretBlink();
  int32_t lastRow() const { return img_.RowCount() - 1; }

  HexImage img_;
  THexColors colors_;
  QRawFont rawFont_;
  std::vector<quint32> glyphs_;  // glyph index per ASCII code 0x20..0x7E
  QFont markerFont_;
  int charW_ = 8, rowH_ = 16, ascent_ = 12;
  int offsetW_ = 0;  // offset column, recomputed with the layout
  std::vector<int> colLeft_;  // left edge of each column from column 2 on, in content coordinates
  bool wantTabs_ = true, readOnly_ = false, showMarkers_ = true, focusFrame_ = true;
  bool insertMode_ = false, autoCaret_ = true;
  TCaretStyle caretStyle_ = csFull;
  bool selecting_ = false;
  bool noticePending_ = false;
  bool hiddenByLoad_ = false;
  bool caretOn_ = true;
  QTimer blink_;
  QTimer autoScroll_;
  QPoint dragPoint_;
};
