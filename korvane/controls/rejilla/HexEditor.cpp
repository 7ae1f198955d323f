#include "HexEditor.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// Text of one colour, gathered over the whole paint and drawn in one run.
struct GlyphBatch {
  QRgb color;
  QList<quint32> glyphs;
  QList<QPointF> positions;
};

QColor complement(const QColor& c) { return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()); }

constexpr int kAutoScrollMs = 50;

}  // namespace

THexEditor::THexEditor(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setBold(true);
  f.setPixelSize(13);
  setFont(f);
  colors_.Background = palette().color(QPalette::Base);
  colors_.ChangedBackground = palette().color(QPalette::HighlightedText);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  img_.onStateChange = [this] { postStateChange(); };
  img_.onLayoutChange = [this] { layoutChanged(); };
  const int flash = QApplication::cursorFlashTime();
  blink_.setInterval(flash > 0 ? flash / 2 : 500);
  connect(&blink_, &QTimer::timeout, this, &THexEditor::caretBlink);
  autoScroll_.setInterval(kAutoScrollMs);
  connect(&autoScroll_, &QTimer::timeout, this, &THexEditor::autoScroll);
  computeMetrics();
}

THexEditor::~THexEditor() {
  img_.onStateChange = nullptr;
  img_.onLayoutChange = nullptr;
}

// ---- Metrics and layout --------------------------------------------------------

void THexEditor::computeMetrics() {
  const QFontMetrics fm(font());
  charW_ = std::max(1, fm.horizontalAdvance(QLatin1Char('w')));
  rowH_ = fm.height() + 2;
  ascent_ = fm.ascent();
  rawFont_ = QRawFont::fromFont(font());
  glyphs_.assign(0x7F, 0);
  if (rawFont_.isValid()) {
    for (int c = 0x20; c < 0x7F; ++c) {
      const auto idx = rawFont_.glyphIndexesForString(QString(QChar(c)));
      glyphs_[static_cast<size_t>(c)] = idx.isEmpty() ? 0 : idx.first();
    }
  }
  // The bookmark digit: three quarters of the editor's font size, smaller
  // still when a digit would not fit the marker column with a pixel clear
  // on either side.
  markerFont_ = QFont(QStringLiteral("Sans"));
  const bool pixels = font().pixelSize() > 0;
  int size = std::max(1, static_cast<int>((pixels ? font().pixelSize() : font().pointSizeF()) * 0.75 + 0.5));
  auto widestDigit = [this] {
    const QFontMetrics m(markerFont_);
    int w = 0;
    for (QChar d = u'0'; d <= u'9'; d = QChar(d.unicode() + 1))
      w = std::max({w, m.horizontalAdvance(d), m.boundingRect(d).right() + 1});
    return w;
  };
  for (;; --size) {
    pixels ? markerFont_.setPixelSize(size) : markerFont_.setPointSize(size);
    if (size <= 1 || widestDigit() <= charW_ - 2) break;
  }
  layoutChanged();
}

int THexEditor::offsetColumnWidth() const {
  // Wide enough for the longest offset text, at least the standard width.
  const int rows = img_.RowCount();
  const auto chars = std::max({img_.OffsetDigits(), static_cast<int>(img_.OffsetText(0).size()),
                               static_cast<int>(img_.OffsetText(rows - 1).size())});
  const bool extra = img_.BaseAddress() != 0 && !(img_.DSPIC() && img_.EepromInt());
  return chars * charW_ + (extra ? 5 : 0);
}

int THexEditor::columnWidth(int column) const {
  const int b = img_.BytesPerLine();
  if (column == 0) return offsetW_;
  if (column == 1) return showMarkers_ ? charW_ : 0;
  if (column <= 2 * b + 1) return column % (2 * img_.BytesPerColumn()) == 1 ? 2 * charW_ : charW_;
  return charW_;
}

int THexEditor::fixedWidth() const { return offsetW_ + columnWidth(1); }

void THexEditor::layoutChanged() {
  offsetW_ = offsetColumnWidth();
  const int columns = img_.ColumnCount();
  colLeft_.assign(static_cast<size_t>(columns - 1), 0);
  for (int c = 2; c < columns; ++c) colLeft_[static_cast<size_t>(c - 1)] = colLeft_[static_cast<size_t>(c - 2)] + columnWidth(c);
  updateScrollBars();
  viewport()->update();
}

void THexEditor::updateScrollBars() {
  const int32_t rows = img_.RowCount();
  const int32_t vis = visibleRows();
  QScrollBar* v = verticalScrollBar();
  v->setRange(0, std::max(0, rows - vis));
  v->setPageStep(vis);
  v->setSingleStep(1);
  // Horizontal: the value is the number of scrolled columns hidden on the left.
  const int avail = viewport()->width() - fixedWidth();
  const int total = colLeft_.back();
  int hidden = 0;
  while (hidden + 1 < static_cast<int>(colLeft_.size()) && total - colLeft_[static_cast<size_t>(hidden)] > avail) ++hidden;
  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, hidden);
  h->setPageStep(std::max(1, avail / std::max(1, charW_)));
  h->setSingleStep(1);
}

int32_t THexEditor::topRow() const { return verticalScrollBar()->value(); }
int THexEditor::firstScrolledColumn() const { return 2 + horizontalScrollBar()->value(); }
int32_t THexEditor::visibleRows() const { return std::max(1, viewport()->height() / rowH_); }

int THexEditor::columnX(int column) const {
  if (column == 0) return 0;
  if (column == 1) return columnWidth(0);
  const int first = firstScrolledColumn();
  if (column < first || column >= img_.ColumnCount()) return -1;
  return fixedWidth() + colLeft_[static_cast<size_t>(column - 2)] - colLeft_[static_cast<size_t>(first - 2)];
}

QRect THexEditor::cellRect(int column, int32_t row) const {
  const int32_t top = topRow();
  if (row < top || column < 0 || column >= img_.ColumnCount()) return {};
  const int64_t y = int64_t{row - top} * rowH_;
  const int x = columnX(column);
  if (y >= viewport()->height() || x < 0 || x >= viewport()->width()) return {};
  return QRect(x, static_cast<int>(y), columnWidth(column), rowH_);
}

THexEditor::Cell THexEditor::cellAt(QPoint p, bool clampToView) const {
  if (clampToView) {
    p.setX(std::clamp(p.x(), 0, std::max(0, viewport()->width() - 1)));
    p.setY(std::clamp(p.y(), 0, std::max(0, viewport()->height() - 1)));
  }
  Cell cell;
  cell.row = topRow() + (p.y() < 0 ? -1 : p.y() / rowH_);
  if (p.x() < columnWidth(0)) cell.column = 0;
  else if (p.x() < fixedWidth()) cell.column = 1;
  else {
    cell.column = -1;
    for (int c = firstScrolledColumn(); c < img_.ColumnCount(); ++c) {
      const int x = columnX(c);
      if (p.x() >= x && p.x() < x + columnWidth(c)) {
        cell.column = c;
        break;
      }
    }
    if (cell.column < 0 && clampToView) cell.column = img_.ColumnCount() - 1;
  }
  return cell;
}

void THexEditor::setTopRow(int32_t row) { verticalScrollBar()->setValue(row); }

void THexEditor::ensureVisible(int column, int32_t row) {
  const int32_t top = topRow(), vis = visibleRows();
  if (row < top) setTopRow(row);
  else if (row > top + vis - 1) setTopRow(row - vis + 1);
  if (column < 2) return;
  QScrollBar* h = horizontalScrollBar();
  if (column < firstScrolledColumn()) {
    h->setValue(column - 2);
    return;
  }
  while (h->value() < h->maximum() && columnX(column) + columnWidth(column) > viewport()->width())
    h->setValue(h->value() + 1);
}

void THexEditor::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void THexEditor::scrollContentsBy(int, int) { viewport()->update(); }

void THexEditor::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) computeMetrics();
}

// ---- Painting --------------------------------------------------------------------

void THexEditor::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QRect area = viewport()->rect();
  p.fillRect(area, colors_.Background);

  std::vector<GlyphBatch> batches;
  const auto batchFor = [&](const QColor& c) -> GlyphBatch& {
    const QRgb rgb = c.rgb();
    for (auto& b : batches)
      if (b.color == rgb) return b;
    batches.push_back({rgb, {}, {}});
    return batches.back();
  };
  const QFont& f = font();
  p.setFont(f);
  const auto addChar = [&](const QColor& color, char ch, int x, int y) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F) return;
    if (!rawFont_.isValid()) {
      p.setPen(color);
      p.drawText(QPoint(x, y), QString(QChar(c)));
      return;
    }
    GlyphBatch& b = batchFor(color);
    b.glyphs.push_back(glyphs_[c]);
    b.positions.push_back(QPointF(x, y));
  };

  const int b = img_.BytesPerLine();
  const int bpc = img_.BytesPerColumn();
  const int32_t size = img_.GetDataSize();
  const int32_t top = topRow();
  const int32_t rows = img_.RowCount();
  const int32_t shown = std::min<int32_t>(rows - top, (area.height() + rowH_ - 1) / rowH_);
  const int firstCol = firstScrolledColumn();
  const int charCol = img_.FirstCharColumn();
  const QColor fontColor = palette().color(QPalette::WindowText);
  const int baseline = ascent_ + 1;
  const int offsetW = columnWidth(0);
  const bool focused = hasFocus();
  const int32_t caretRow = img_.CaretRow();

  for (int32_t i = 0; i < shown; ++i) {
    const int32_t row = top + i;
    const int y = i * rowH_;
    // Offset and marker columns stay in place.
    const std::string off = img_.OffsetText(row);
    for (size_t k = 0; k < off.size(); ++k) addChar(colors_.Offset, off[k], static_cast<int>(k) * charW_, y + baseline);
    const int marker = img_.MarkerOnRow(row);
    if (showMarkers_ && marker >= 0) {
      const QRect r(offsetW, y, charW_, rowH_);
      p.fillRect(r, colors_.Marker);
      p.setFont(markerFont_);
      p.setPen(colors_.PositionText);
      p.drawText(r, Qt::AlignCenter, QString::number(marker));
      p.setFont(f);
    }
    if (size == 0) continue;
    const int32_t first = row * b;
    for (int k = 0; k < b; ++k) {
      const int32_t pos = first + k;
      if (pos >= size) break;
      const bool changed = img_.IsChanged(pos);
      QColor bg = changed ? colors_.ChangedBackground : colors_.Background;
      const QColor group = (k / bpc) % 2 == 0 ? colors_.OddColumn : colors_.EvenColumn;
      QColor hexText = changed ? colors_.ChangedText : group;
      QColor charText = changed ? colors_.ChangedText : fontColor;
      if (img_.IsSelected(pos)) {
        hexText = changed ? bg : complement(group);
        charText = bg;
        bg = colors_.Selection;
      }
      const uint8_t value = img_.ByteAt(pos);
      static const char digits[] = "0123456789ABCDEF";
      const char nib[2] = {digits[img_.SwapNibbles ? value & 0xF : value >> 4],
                           digits[img_.SwapNibbles ? value >> 4 : value & 0xF]};
      for (int n = 0; n < 2; ++n) {
        const int col = 2 * k + 2 + n;
        if (col < firstCol) continue;
        const int x = columnX(col);
        if (x >= area.width()) break;
        if (bg != colors_.Background) p.fillRect(QRect(x, y, columnWidth(col), rowH_), bg);
        addChar(hexText, nib[n], x, y + baseline);
      }
      const int col = charCol + k;
      if (col >= firstCol) {
        const int x = columnX(col);
        if (x < area.width()) {
          if (bg != colors_.Background) p.fillRect(QRect(x, y, charW_, rowH_), bg);
          addChar(charText, img_.DisplayChar(value), x, y + baseline);
        }
      }
    }
  }
  for (const auto& batch : batches) {
    QGlyphRun run;
    run.setRawFont(rawFont_);
    run.setGlyphIndexes(batch.glyphs);
    run.setPositions(batch.positions);
    p.setPen(QColor::fromRgb(batch.color));
    p.drawGlyphRun(QPointF(0, 0), run);
  }

  if (!focused || caretRow < top || caretRow >= top + shown) return;
  // Frame on the counterpart cell (the byte's first nibble from the
  // character pane), one character wide.
  const int caretCol = img_.CaretColumn();
  if (size > 0) {
    const QRect counter = cellRect(img_.CounterpartColumn(caretCol), caretRow);
    if (!counter.isEmpty()) {
      const QRect frame(counter.x(), counter.y(), charW_ - 1, rowH_ - 1);
      p.setPen(QPen(colors_.CursorFrame, 1, focusFrame_ ? Qt::DotLine : Qt::SolidLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(frame);
    }
  }
  // The caret, XORed so that the digit under it stays readable.
  const QRect cell = cellRect(caretCol, caretRow);
  if (caretOn_ && !cell.isEmpty()) {
    QRect caret(cell.x(), cell.y() + 1, charW_, rowH_ - 2);
    if (caretStyle_ == csLeftLine) caret.setWidth(2);
    else if (caretStyle_ == csBottomLine) caret = QRect(cell.x(), cell.y() + rowH_ - 4, charW_, 2);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(caret, QColor::fromRgb(colors_.CursorFrame.rgb() ^ 0xFFFFFF));
  }
}

void THexEditor::caretBlink() {
  caretOn_ = !caretOn_;
  const QRect r = cellRect(img_.CaretColumn(), img_.CaretRow());
  if (!r.isEmpty()) viewport()->update(r);
}

// ---- Notices ------------------------------------------------------------------------

void THexEditor::postStateChange() {
  viewport()->update();
  if (noticePending_) return;
  noticePending_ = true;
  // Delivered from the event loop, after the operation that caused it.
  QMetaObject::invokeMethod(
      this,
      [this] {
        noticePending_ = false;
        emit stateChanged();
      },
      Qt::QueuedConnection);
}

// ---- Public operations -----------------------------------------------------------------

bool THexEditor::LoadFromWordBuffer(std::span<const uint16_t> words, uint32_t count, bool isDsPic,
                                    int32_t baseAddress, uint32_t maskWord) {
  if (words.size() < count) return false;
  img_.LoadFromWordBuffer(words, count, isDsPic, baseAddress, maskWord);
  selecting_ = false;
  if (!img_.Visible()) {
    hide();
    hiddenByLoad_ = true;
  } else if (hiddenByLoad_) {
    show();
    hiddenByLoad_ = false;
  }
  layoutChanged();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  return true;
}

void THexEditor::SaveToWordBuffer(std::span<uint16_t> words, uint32_t count, bool isDsPic) {
  if (words.size() < count) return;
  img_.SaveToWordBuffer(words, count, isDsPic);
  viewport()->update();
}

void THexEditor::SetSelStart(int32_t position) {
  if (position < 0 || position >= img_.GetDataSize()) return;
  img_.SetSelStart(position);
  ensureVisible(img_.CaretColumn(), img_.CaretRow());
}

void THexEditor::SetSelEnd(int32_t position) {
  if (position < 0 || position >= img_.GetDataSize()) return;
  img_.SetSelEnd(position);
  viewport()->update();
}

void THexEditor::SelectAll() { img_.SelectAll(); }

void THexEditor::ReplaceSelection(std::span<const uint8_t> data) {
  const int32_t at = img_.GetSelStart();
  if (at < 0 || at > img_.GetDataSize()) return;
  img_.ReplaceSelection(data);
}

void THexEditor::FillRange(int32_t first, int32_t last, uint32_t value) {
  if (first < 0) return;
  img_.FillRange(first, last, value);
  ensureVisible(img_.CaretColumn(), img_.CaretRow());
}

void THexEditor::ToggleMarker(int index) {
  if (index < 0 || index >= HexImage::MarkerCount) return;
  img_.ToggleMarker(index);
}

void THexEditor::GotoMarker(int index) {
  if (index < 0 || index >= HexImage::MarkerCount) return;
  const int32_t row = img_.MarkerTarget(index);
  if (row < 0 || img_.GetDataSize() == 0) return;
  img_.ClearSelection();
  moveToCell(2, row, false, false);
}

void THexEditor::UpdateMarkerMenu(const QList<QAction*>& items, bool onlySet) const {
  for (int i = 0; i < HexImage::MarkerCount && i < items.size(); ++i) {
    const bool set = img_.GetMarker(i) >= 0;
    if (onlySet) {
      items[i]->setVisible(set);
    } else {
      items[i]->setCheckable(true);
      items[i]->setChecked(set);
    }
  }
}

void THexEditor::SetColors(const THexColors& c) {
  colors_ = c;
  viewport()->update();
}

void THexEditor::SetShowMarkerColumn(bool v) {
  if (v == showMarkers_) return;
  showMarkers_ = v;
  layoutChanged();
}

void THexEditor::SetFocusFrame(bool v) {
  focusFrame_ = v;
  viewport()->update();
}

void THexEditor::SetCaretStyle(TCaretStyle s) {
  caretStyle_ = s;
  caretOn_ = true;
  viewport()->update();
}

void THexEditor::SetAutoCaretMode(bool v) {
  autoCaret_ = v;
  if (v) SetCaretStyle(insertMode_ ? csLeftLine : csFull);
}

void THexEditor::SetSwapNibbles(bool v) {
  img_.SwapNibbles = v;
  viewport()->update();
}

void THexEditor::SetBytesPerLine(int bytes) {
  if (bytes < 1 || bytes > 256) return;
  img_.SetBytesPerLine(bytes);
  ensureVisible(img_.CaretColumn(), img_.CaretRow());
}

// ---- Caret moves ---------------------------------------------------------------------------

void THexEditor::moveToCell(int column, int32_t row, bool mouse, bool extend) {
  const int32_t size = img_.GetDataSize();
  if (size == 0) {
    img_.SetCaret(0, 0, false);
    viewport()->update();
    return;
  }
  row = std::clamp<int32_t>(row, 0, lastRow());
  column = std::clamp(column, 2, img_.ColumnCount() - 1);
  if (!extend && !mouse) img_.ClearSelection();
  if (column == img_.SeparatorColumn()) {
    if (!mouse) return;
    column = std::max(2, column - 1);
  }
  const bool charPane = img_.IsCharColumn(column);
  int64_t byte = img_.ByteAtCell(column, row);
  int nibble = charPane ? 0 : (column - 2) % 2;
  if (byte >= size) {
    // Past the image end: the last byte's cell in the same pane.
    byte = size - 1;
    nibble = 0;
  }
  const auto pos = static_cast<int32_t>(byte);
  if (extend) img_.ExtendSelection(pos);
  else if (!mouse) img_.ClearSelection();
  img_.SetCaret(pos, nibble, charPane);
  caretOn_ = true;
  ensureVisible(img_.CaretColumn(), img_.CaretRow());
  viewport()->update();
}

void THexEditor::moveRight() {
  const auto& c = img_.GetCaret();
  if (c.charPane) {
    if (c.byte + 1 < img_.GetDataSize()) img_.SetCaret(c.byte + 1, 0, true);
  } else if (c.nibble == 0) {
    img_.SetCaret(c.byte, 1, false);
  } else if (c.byte + 1 < img_.GetDataSize()) {
    img_.SetCaret(c.byte + 1, 0, false);
  }
  caretOn_ = true;
  ensureVisible(img_.CaretColumn(), img_.CaretRow());
  viewport()->update();
}

int THexEditor::markerDigit(const QKeyEvent* event) {
  const int key = event->key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  // X11 reports the shifted symbol; the key's position is the digit.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    const quint32 code = event->nativeScanCode();
    if (code >= 10 && code <= 19) return static_cast<int>((code - 9) % 10);
  }
  static const int shifted[10] = {Qt::Key_ParenRight, Qt::Key_Exclam,   Qt::Key_At,         Qt::Key_NumberSign,
                                  Qt::Key_Dollar,     Qt::Key_Percent,  Qt::Key_AsciiCircum, Qt::Key_Ampersand,
                                  Qt::Key_Asterisk,   Qt::Key_ParenLeft};
  for (int d = 0; d < 10; ++d)
    if (shifted[d] == key) return d;
  return -1;
}

bool THexEditor::handleNavigation(QKeyEvent* event) {
  const auto mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const bool none = mods == Qt::NoModifier;
  const bool ctrl = mods == Qt::ControlModifier;
  const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
  const int key = event->key();
  if (none) img_.ClearSelection();

  const int32_t size = img_.GetDataSize();
  const int b = img_.BytesPerLine();
  const auto& caret = img_.GetCaret();
  const int col = img_.CaretColumn();
  const int32_t row = img_.CaretRow();
  const int32_t top = topRow(), vis = visibleRows(), rows = img_.RowCount();
  const bool charPane = caret.charPane;
  const int paneStart = charPane ? img_.FirstCharColumn() : 2;
  const auto toByte = [&](int32_t p) {
    if (p < 0 || p >= size) return;
    moveToCell(img_.ColumnOfByte(p, charPane), p / b);
  };

  if (ctrlShift || ctrl) {
    const int digit = markerDigit(event);
    if (digit >= 0) {
      if (ctrlShift) {
        img_.SetMarker(digit, row);
      } else {
        img_.ClearSelection();
        const int32_t marked = img_.GetMarker(digit);
        const int32_t target = marked >= 0 ? marked : row;
        if (target < rows && size > 0) moveToCell(2, target, false, false);
      }
      return true;
    }
  }

  switch (key) {
    case Qt::Key_PageUp:
      if (ctrl) moveToCell(col, top);
      else {
        setTopRow(std::max(0, top - vis + 1));
        moveToCell(col, std::max(0, row - vis + 1));
      }
      return true;
    case Qt::Key_PageDown:
      if (ctrl) moveToCell(col, std::min(lastRow(), top + vis - 1));
      else {
        setTopRow(std::min(std::max(0, rows - vis), top + vis - 1));
        moveToCell(col, std::min(lastRow(), row + vis - 1));
      }
      return true;
    case Qt::Key_Home:
      moveToCell(paneStart, ctrl ? 0 : row);
      return true;
    case Qt::Key_End:
      if (ctrl) toByte(size - 1);
      else toByte(std::min(size - 1, row * b + b - 1));
      return true;
    case Qt::Key_Left:
      if (ctrl) return false;
      if (charPane) toByte(caret.byte - 1);
      else if (caret.nibble == 1) moveToCell(col - 1, row);
      else if (caret.byte > 0) moveToCell(img_.ColumnOfByte(caret.byte - 1, false) + 1, (caret.byte - 1) / b);
      return true;
    case Qt::Key_Right:
      if (ctrl) {
        moveToCell(img_.ColumnCount() - 1, row);
      } else if (charPane) {
        toByte(caret.byte + 1);
      } else if (caret.nibble == 0) {
        moveToCell(col + 1, row);
      } else if (caret.byte + 1 < size) {
        moveToCell(img_.ColumnOfByte(caret.byte + 1, false), (caret.byte + 1) / b);
      }
      return true;
    case Qt::Key_Down:
      if (ctrl) setTopRow(top + 1);  // scrolls one row, the caret stays
      else if (row + 1 < rows) moveToCell(col, row + 1);
      return true;
    case Qt::Key_Up:
      if (ctrl) setTopRow(top - 1);
      else if (row > 0) moveToCell(col, row - 1);
      return true;
    case Qt::Key_T:
      if (!ctrl) return false;
      [[fallthrough]];
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (key != Qt::Key_T && (!wantTabs_ || !(none || mods == Qt::ShiftModifier))) return false;
      if (size > 0) moveToCell(img_.CounterpartColumn(col), row, false, false);
      return true;
    default:
      return false;
  }
}

// ---- Keyboard -----------------------------------------------------------------------------------

void THexEditor::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Insert) {
    insertMode_ = !insertMode_;
    if (autoCaret_) SetCaretStyle(insertMode_ ? csLeftLine : csFull);
    img_.ClearChangedMarks();
    postStateChange();
    event->accept();
    return;
  }
  if (key == Qt::Key_Shift) {
    if (!selecting_) img_.ClearSelection();
    selecting_ = true;
    event->accept();
    return;
  }
  if (key == Qt::Key_Backspace) {
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, event->modifiers());
    handleNavigation(&left);
    event->accept();
    return;
  }
  if (key == Qt::Key_Delete && !readOnly_) {
    // Removing bytes would shift every later word of a device image.
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) img_.DeleteSelection();
    event->accept();
    return;
  }
  if (handleNavigation(event)) {
    event->accept();
    return;
  }
  const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const QString text = event->text();
  if (mods == Qt::NoModifier && text.size() == 1 && !readOnly_) {
    const QChar ch = text.front();
    if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F) {
      const char c = static_cast<char>(ch.unicode());
      const bool moved = img_.InCharPane() ? img_.TypeCharacter(c) : img_.TypeHexDigit(c);
      if (moved) moveRight();
      viewport()->update();
    }
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void THexEditor::keyReleaseEvent(QKeyEvent* event) {
  // Releasing Shift ends selecting; the selection made stays.
  if (event->key() == Qt::Key_Shift && !event->isAutoRepeat()) selecting_ = false;
  QAbstractScrollArea::keyReleaseEvent(event);
}

bool THexEditor::focusNextPrevChild(bool next) {
  if (wantTabs_) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

void THexEditor::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  caretOn_ = true;
  blink_.start();
  viewport()->update();
}

void THexEditor::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blink_.stop();
  selecting_ = false;
  autoScroll_.stop();
  viewport()->update();
}

// ---- Mouse -----------------------------------------------------------------------------------------

void THexEditor::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const Cell cell = cellAt(event->position().toPoint(), false);
  img_.ClearSelection();
  if (cell.column >= 2 && cell.row <= lastRow()) moveToCell(cell.column, cell.row, true, false);
  selecting_ = true;
  dragPoint_ = event->position().toPoint();
  event->accept();
}

void THexEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Cell cell = cellAt(event->position().toPoint(), false);
  img_.ClearSelection();
  if (cell.column >= 2 && cell.row <= lastRow()) moveToCell(cell.column, cell.row, true, false);
  selecting_ = false;
  event->accept();
}

void THexEditor::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !selecting_) return;
  dragPoint_ = event->position().toPoint();
  const bool outside = dragPoint_.y() < 0 || dragPoint_.y() >= viewport()->height();
  if (outside) {
    // Past the top or bottom edge the grid scrolls, now and while held there.
    autoScroll();
    if (!autoScroll_.isActive()) autoScroll_.start();
    return;
  }
  autoScroll_.stop();
  const Cell cell = cellAt(dragPoint_, true);
  if (cell.column >= 2) moveToCell(cell.column, cell.row, true, true);
}

void THexEditor::autoScroll() {
  if (!selecting_) {
    autoScroll_.stop();
    return;
  }
  const int32_t top = topRow();
  int32_t row;
  if (dragPoint_.y() < 0) {
    setTopRow(top - 1);
    row = topRow();
  } else if (dragPoint_.y() >= viewport()->height()) {
    setTopRow(top + 1);
    row = std::min(lastRow(), topRow() + visibleRows() - 1);
  } else {
    autoScroll_.stop();
    return;
  }
  Cell cell = cellAt(QPoint(dragPoint_.x(), 0), true);
  if (cell.column < 2) cell.column = 2;
  moveToCell(cell.column, row, true, true);
}

void THexEditor::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    selecting_ = false;
    autoScroll_.stop();
    event->accept();
    return;
  }
  QAbstractScrollArea::mouseReleaseEvent(event);
}
