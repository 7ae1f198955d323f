#include "HexImage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

uint8_t lowerAscii(uint8_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void put32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

uint32_t get32(const std::vector<uint8_t>& in, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in[at + i]) << (8 * i);
  return v;
}

const char* kindName(HexImage::ChangeKind kind) {
  switch (kind) {
    case HexImage::ByteChanged: return "Byte changed";
    case HexImage::BytesRemoved: return "Byte(s) removed";
    case HexImage::InsertBuffer: return "Insert buffer";
  }
  return "";
}

}  // namespace

HexImage::HexImage() : bytes_(1, 0), changed_(1, false) {
  markers_.fill(-1);
}

// ---- Word buffers -----------------------------------------------------------

bool HexImage::LoadFromWordBuffer(std::span<const uint16_t> words, uint32_t count, bool isDsPic,
                                  int32_t baseAddress, uint32_t maskWord) {
  if (words.size() < count) throw std::invalid_argument("Invalid LoadFromWordBuffer argument");
  dsPic_ = isDsPic;
  if (isDsPic) {
    bytesPerColumn_ = eepromInt_ ? 2 : 3;
    bytesPerLine_ = eepromInt_ ? 16 : 24;
  } else {
    bytesPerColumn_ = eepromInt_ ? 1 : 2;
    bytesPerLine_ = eepromInt_ ? 8 : 16;
  }
  mask_ = static_cast<uint8_t>(maskWord >> 8);
  baseAddress_ = baseAddress;
  if (isDsPic && eepromInt_) count >>= 1;
  wordCount_ = count;

  std::vector<uint8_t> image;
  const auto hi = [&](uint32_t i) { return static_cast<uint8_t>(words[i] >> 8); };
  const auto lo = [&](uint32_t i) { return static_cast<uint8_t>(words[i]); };
  if (eepromInt_) {
    visible_ = count != 0;
    if (isDsPic) {
      image.reserve(2 * size_t{count});
      for (uint32_t k = 0; k < count; ++k) {
        image.push_back(hi(2 * k));
        image.push_back(lo(2 * k));
      }
    } else {
      image.reserve(count);
      for (uint32_t i = 0; i < count; ++i) image.push_back(lo(i));
    }
  } else if (isDsPic) {
    // Two words an instruction; a lone trailing word makes no instruction.
    const uint32_t groups = count / 2;
    image.resize(3 * size_t{groups});
    uint8_t* out = image.data();
    for (uint32_t k = 0; k < groups; ++k) {
      *out++ = lo(2 * k + 1);
      *out++ = hi(2 * k);
      *out++ = lo(2 * k);
    }
  } else {
    image.resize(2 * size_t{count});
    uint8_t* out = image.data();
    for (uint32_t i = 0; i < count; ++i) {
      *out++ = hi(i);
      *out++ = lo(i);
    }
  }
  bytes_ = std::move(image);
  pasteMask_ = eepromInt_ ? 0xFF : static_cast<uint8_t>(maskWord >> 8);

  selAnchor_ = selStart_ = selEnd_ = -1;
  changed_.assign(bytes_.size(), false);
  modified_ = false;
  caret_ = Caret{};
  ResetUndo();
  recomputeLayout();
  return true;
}

void HexImage::SaveToWordBuffer(std::span<uint16_t> words, uint32_t count, bool isDsPic) {
  if (words.size() < count) throw std::invalid_argument("Invalid SaveToWordBuffer argument");
  dataNotBlank_ = false;
  const size_t size = bytes_.size();
  const auto at = [&](size_t p) -> uint16_t { return p < size ? bytes_[p] : 0xFF; };
  if (isDsPic && eepromInt_) {
    count >>= 1;
    for (uint32_t i = 0; i < count; ++i) {
      words[2 * i] = static_cast<uint16_t>(at(2 * size_t{i}) << 8 | at(2 * size_t{i} + 1));
      if (2 * i + 1 < words.size()) words[2 * i + 1] = 0;
    }
  } else if (eepromInt_) {
    for (uint32_t i = 0; i < count; ++i) words[i] = at(i);
  } else if (isDsPic) {
    const uint32_t groups = count / 2;
    for (uint32_t k = 0; k < groups; ++k) {
      const size_t p = 3 * size_t{k};
      const uint16_t u = at(p);
      const uint16_t w = static_cast<uint16_t>(at(p + 1) << 8 | at(p + 2));
      words[2 * k] = w;
      words[2 * k + 1] = u;
      if (w != 0xFFFF || u != 0xFF) dataNotBlank_ = true;
    }
  } else {
    for (uint32_t i = 0; i < count; ++i)
      words[i] = static_cast<uint16_t>(at(2 * size_t{i}) << 8 | at(2 * size_t{i} + 1));
  }
}

// ---- Layout -----------------------------------------------------------------

void HexImage::SetBytesPerLine(int bytes) {
  if (bytes < 1 || bytes > 256) throw std::invalid_argument("Invalid BytesPerLine argument");
  if (bytes == bytesPerLine_) return;
  bytesPerLine_ = bytes;
  recomputeLayout();
}

void HexImage::SetBytesPerColumn(int bytes) {
  if (bytes < 1 || bytes > 256) throw std::invalid_argument("Invalid BytesPerColumn argument");
  if (bytes == bytesPerColumn_) return;
  bytesPerColumn_ = bytes;
  if (onLayoutChange) onLayoutChange();
}

void HexImage::recomputeLayout() {
  changed_.resize(bytes_.size(), false);
  if (onLayoutChange) onLayoutChange();
}

bool HexImage::IsChanged(int32_t position) const {
  return position >= 0 && static_cast<size_t>(position) < changed_.size() && changed_[static_cast<size_t>(position)];
}

void HexImage::setMarked(int32_t position, bool on) {
  if (position >= 0 && static_cast<size_t>(position) < changed_.size()) changed_[static_cast<size_t>(position)] = on;
}

void HexImage::ClearChangedMarks() { changed_.assign(bytes_.size(), false); }

int32_t HexImage::RowCount() const {
  const int32_t size = GetDataSize();
  return size == 0 ? 1 : (size + bytesPerLine_ - 1) / bytesPerLine_;
}

int64_t HexImage::ByteAtCell(int column, int32_t row) const {
  const int64_t first = int64_t{row} * bytesPerLine_;
  if (IsCharColumn(column)) return first + (column - FirstCharColumn());
  return first + std::max(0, (column - 2) / 2);
}

int HexImage::ColumnOfByte(int32_t position, bool charPane) const {
  if (position < 0) return 2;
  const int k = position % bytesPerLine_;
  return charPane ? k + FirstCharColumn() : 2 * k + 2;
}

int HexImage::CounterpartColumn(int column) const {
  if (IsCharColumn(column)) return 2 * (column - FirstCharColumn()) + 2;
  return (column - 2) / 2 + FirstCharColumn();
}

int HexImage::CaretColumn() const {
  return ColumnOfByte(caret_.byte, caret_.charPane) + (caret_.charPane ? 0 : caret_.nibble);
}

int32_t HexImage::CaretRow() const { return caret_.byte < 0 ? 0 : caret_.byte / bytesPerLine_; }

int HexImage::OffsetDigits() const {
  if (dsPic_) return 8;
  const uint32_t top = static_cast<uint32_t>(GetDataSize()) + static_cast<uint32_t>(baseAddress_);
  return (top & 0x0FF00000u) ? 8 : 7;
}

std::string HexImage::OffsetText(int32_t row) const {
  if (bytes_.empty()) return std::string("0x0") + OffsetSeparator;
  const int64_t first = int64_t{row} * bytesPerLine_;
  int64_t offset;
  if (eepromInt_ || eeI2C_) offset = first;
  else if (dsPic_) offset = (first / 3) * 2;
  else offset = first >> 1;
  const auto value = static_cast<uint32_t>(baseAddress_ + offset);
  const int n = OffsetDigits();
  const int minDigits = static_cast<uint32_t>(baseAddress_) < 0x10000 ? n - 3 : n - 2;
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint32_t v = value; v != 0; v >>= 4) hex.insert(hex.begin(), digits[v & 0xF]);
  if (static_cast<int>(hex.size()) < minDigits) hex.insert(0, static_cast<size_t>(minDigits) - hex.size(), '0');
  return "0x" + hex + OffsetSeparator;
}

char HexImage::DisplayChar(uint8_t value) const {
  // Only the seven-bit range reads the same in every code page; DEL is no
  // printable character either.
  if (value >= 0x7F) return MaskChar;
  if (value < 32 && MaskWhiteSpaces) return MaskChar;
  return static_cast<char>(value);
}

// ---- Caret and selection ------------------------------------------------------

void HexImage::SetCaret(int32_t byte, int nibble, bool charPane) {
  caret_.byte = byte;
  caret_.nibble = charPane ? 0 : (nibble ? 1 : 0);
  caret_.charPane = charPane;
}

int32_t HexImage::GetSelStart() const { return selAnchor_ >= 0 ? selAnchor_ : caret_.byte; }

int32_t HexImage::GetSelEnd() const {
  if (selAnchor_ < 0) return caret_.byte;
  return selAnchor_ == selEnd_ ? selStart_ : selEnd_;
}

int32_t HexImage::GetSelCount() const { return selStart_ < 0 ? 0 : selEnd_ - selStart_ + 1; }

void HexImage::checkPosition(int32_t position, const char* message) const {
  if (position < 0 || position >= GetDataSize()) throw std::invalid_argument(message);
}

void HexImage::SetSelStart(int32_t position) {
  checkPosition(position, "Invalid SelStart");
  ClearSelection();
  SetCaret(position, 0, caret_.charPane);
}

void HexImage::SetSelEnd(int32_t position) {
  checkPosition(position, "Invalid SelEnd");
  ClearSelection();
  ExtendSelection(position);
}

void HexImage::SelectAll() {
  if (bytes_.empty()) return;
  SetSelStart(0);
  SetSelEnd(GetDataSize() - 1);
}

void HexImage::ClearSelection() {
  if (selAnchor_ < 0) return;
  selAnchor_ = selStart_ = selEnd_ = -1;
  notify();
}

void HexImage::ExtendSelection(int32_t target) {
  if (selAnchor_ < 0) selAnchor_ = caret_.byte;
  selStart_ = std::min(selAnchor_, target);
  selEnd_ = std::max(selAnchor_, target);
  notify();
}

// ---- Edits ----------------------------------------------------------------------

bool HexImage::PrepareChange(ChangeKind kind, int32_t position, int32_t oldCount, int32_t newCount) {
  bool admitted = !bytes_.empty() || kind == InsertBuffer;
  if (noSizeChange_ && kind != ByteChanged) admitted = false;
  if (admitted) {
    canUndo_ = true;
    createUndo(kind, position, oldCount, newCount);
    modified_ = true;
  }
  notify();
  return admitted;
}

void HexImage::createUndo(ChangeKind kind, int32_t position, int32_t oldCount, int32_t newCount) {
  undoDescription_ = kindName(kind);
  std::vector<uint8_t>& log = undoLog_;
  const size_t start = log.size();
  log.push_back(kind);
  log.push_back(kind == ByteChanged && IsChanged(position) ? 1 : 0);
  log.push_back(modified_ ? 1 : 0);
  put32(log, caret_.byte);
  log.push_back(static_cast<uint8_t>(caret_.charPane ? 0 : caret_.nibble));
  log.push_back(caret_.charPane ? 1 : 0);
  put32(log, selStart_);
  put32(log, selEnd_);
  put32(log, selAnchor_);
  put32(log, position);
  put32(log, oldCount);
  put32(log, newCount);
  if (kind == BytesRemoved) {
    const auto from = std::clamp<int64_t>(position, 0, GetDataSize());
    const auto to = std::clamp<int64_t>(int64_t{position} + newCount, from, GetDataSize());
    log.insert(log.end(), bytes_.begin() + from, bytes_.begin() + to);
  } else if (kind == ByteChanged) {
    log.push_back(position >= 0 && position < GetDataSize() ? ByteAt(position) : 0);
  } else {
    log.push_back(0);
  }
  put32(log, static_cast<int32_t>(log.size() - start + 4));
  if (++undoCount_ > MaxUndoSteps) {
    // The oldest record goes; its length sits in its last four bytes, found
    // from its header (the data size follows from kind and counts).
    const uint8_t firstKind = log[0];
    const size_t dataLen = firstKind == BytesRemoved ? (get32(log, 33 - 4) & 0x7FFFFFFF) : 1;
    size_t len = get32(log, 33 + dataLen);
    if (len > log.size()) len = log.size();
    log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(len));
    --undoCount_;
  }
}

void HexImage::ResetUndo() {
  canUndo_ = false;
  undoDescription_ = "No Undo";
  undoCount_ = 0;
  undoLog_.clear();
  undoLog_.shrink_to_fit();
  notify();
}

void HexImage::ChangeByte(uint8_t oldValue, uint8_t newValue, int32_t position) {
  if (newValue == oldValue) return;
  checkPosition(position, "Invalid ChangeByte argument");
  if (!PrepareChange(ByteChanged, position, 0, 1)) return;
  bytes_[static_cast<size_t>(position)] = newValue;
  setMarked(position, true);
}

bool HexImage::TypeHexDigit(char digit) {
  const int value = hexValue(digit);
  const int32_t p = caret_.byte;
  if (value < 0 || p < 0 || p >= GetDataSize() || caret_.charPane) return false;
  ClearSelection();
  const uint8_t old = ByteAt(p);
  // The first cell of a pair holds the high nibble, or the low one when
  // the nibbles are shown swapped.
  const bool highNibble = (caret_.nibble == 0) != SwapNibbles;
  const uint8_t now = highNibble ? static_cast<uint8_t>(value << 4 | (old & 0x0F))
                                 : static_cast<uint8_t>(value | (old & 0xF0));
  if (!eepromInt_ && p % 2 == 0 && now > mask_) return false;
  ChangeByte(old, now, p);
  return true;
}

bool HexImage::TypeCharacter(char character) {
  const auto c = static_cast<uint8_t>(character);
  const int32_t p = caret_.byte;
  if (c < 0x20 || c > 0x7E || p < 0 || p >= GetDataSize()) return false;
  ClearSelection();
  const uint8_t old = ByteAt(p);
  const uint8_t now = (!eepromInt_ && p % 2 == 0 && c > mask_) ? old : c;
  ChangeByte(old, now, p);
  return true;
}

void HexImage::OverwriteAt(std::span<const uint8_t> data, int32_t position) {
  if (position < 0 || position > GetDataSize()) throw std::invalid_argument("Invalid OverwriteAt argument");
  const auto length = static_cast<int32_t>(std::min<size_t>(data.size(), static_cast<size_t>(GetDataSize() - position)));
  if (!PrepareChange(InsertBuffer, position, 0, static_cast<int32_t>(std::min<size_t>(data.size(), INT32_MAX))))
    return;
  for (int32_t i = 0; i < length; ++i) {
    const int32_t at = position + i;
    uint8_t v = data[static_cast<size_t>(i)];
    if (at % 2 == 0) v &= pasteMask_;
    bytes_[static_cast<size_t>(at)] = v;
  }
  for (size_t i = static_cast<size_t>(position); i < changed_.size(); ++i) changed_[i] = false;
  if (position == caret_.byte && length > 0) {
    selAnchor_ = -1;
    SetCaret(position, 0, caret_.charPane);
    ExtendSelection(position + length - 1);
  }
}

void HexImage::FillRange(int32_t first, int32_t last, uint32_t value) {
  if (first < 0) throw std::invalid_argument("Invalid FillRange argument");
  if (last < first) return;
  const int64_t size = GetDataSize();
  int64_t selFrom, selTo;
  if (eepromInt_) {
    selFrom = first;
    selTo = last;
    const auto v = static_cast<uint8_t>(value);
    for (int64_t p = first; p <= last && p < size; ++p) bytes_[static_cast<size_t>(p)] = v;
  } else if (dsPic_) {
    const int64_t start = (int64_t{first} / 2) * 3;
    const int64_t stop = (int64_t{last} / 2) * 3;
    const uint8_t group[3] = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value)};
    for (int64_t p = start; p < stop + 3 && p < size; ++p) bytes_[static_cast<size_t>(p)] = group[(p - start) % 3];
    selFrom = start;
    selTo = stop + 2;
  } else {
    const uint8_t pair[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    selFrom = 2 * int64_t{first};
    selTo = 2 * int64_t{last} + 1;
    for (int64_t p = selFrom; p <= selTo && p < size; ++p) bytes_[static_cast<size_t>(p)] = pair[p % 2];
  }
  if (onLayoutChange) onLayoutChange();
  if (selFrom >= size) return;
  SetSelStart(static_cast<int32_t>(selFrom));
  SetSelEnd(static_cast<int32_t>(std::min(selTo, size - 1)));
}

int32_t HexImage::Find(std::span<const uint8_t> pattern, bool ignoreCase, int32_t last, int32_t first) const {
  if (first < 0) throw std::invalid_argument("Invalid Find argument");
  const int64_t size = GetDataSize();
  int64_t end = last >= size ? size - 1 : last;
  const auto length = static_cast<int64_t>(pattern.size());
  if (length <= 0 || end + 1 < first + length) return -1;
  const uint8_t* begin = bytes_.data() + first;
  const uint8_t* stop = bytes_.data() + end + 1;
  const uint8_t* hit;
  if (ignoreCase) {
    std::vector<uint8_t> lowered(pattern.begin(), pattern.end());
    for (auto& c : lowered) c = lowerAscii(c);
    hit = std::search(begin, stop, lowered.begin(), lowered.end(),
                      [](uint8_t a, uint8_t b) { return lowerAscii(a) == b; });
  } else {
    hit = std::search(begin, stop, pattern.begin(), pattern.end());
  }
  return hit == stop ? -1 : static_cast<int32_t>(hit - bytes_.data());
}

std::vector<uint8_t> HexImage::BufferFromFile(int32_t position, int32_t count) const {
  checkPosition(position, "Invalid BufferFromFile argument");
  if (count <= 0) return {};
  const int32_t n = std::min(count, GetDataSize() - position);
  return {bytes_.begin() + position, bytes_.begin() + position + n};
}

// ---- Markers ----------------------------------------------------------------------

int32_t HexImage::GetMarker(int index) const {
  if (index < 0 || index >= MarkerCount) throw std::invalid_argument("SetMarker : Invalid marker index");
  return markers_[static_cast<size_t>(index)];
}

void HexImage::SetMarker(int index, int32_t row) {
  if (index < 0 || index >= MarkerCount) throw std::invalid_argument("SetMarker : Invalid marker index");
  markers_[static_cast<size_t>(index)] = row;
  if (onLayoutChange) onLayoutChange();
}

void HexImage::ClearMarkers() {
  markers_.fill(-1);
  if (onLayoutChange) onLayoutChange();
}

bool HexImage::AnyMarkerSet() const {
  return std::any_of(markers_.begin(), markers_.end(), [](int32_t r) { return r >= 0; });
}

void HexImage::ToggleMarker(int index) {
  if (GetMarker(index) >= 0) {
    SetMarker(index, -1);
    return;
  }
  const int32_t row = CaretRow();
  for (auto& m : markers_)
    if (m == row) m = -1;
  SetMarker(index, row);
}

int32_t HexImage::MarkerTarget(int index) const {
  const int32_t row = GetMarker(index);
  return row >= 0 && row < RowCount() ? row : -1;
}

int HexImage::MarkerOnRow(int32_t row) const {
  for (int i = 0; i < MarkerCount; ++i)
    if (markers_[static_cast<size_t>(i)] == row && row >= 0) return i;
  return -1;
}

// ---- Hex text -------------------------------------------------------------------------

size_t HexTextToBytes(std::string_view text, std::span<uint8_t> dest, bool swap) {
  size_t count = 0;
  int pending = -1;
  for (char c : text) {
    const int v = hexValue(c);
    if (v < 0) continue;
    if (pending < 0) {
      pending = v;
      continue;
    }
    if (count == dest.size()) break;
    dest[count++] = static_cast<uint8_t>(swap ? (v << 4 | pending) : (pending << 4 | v));
    pending = -1;
  }
  return count;
}

std::vector<uint8_t> HexTextToBytes(std::string_view text, bool swap) {
  std::vector<uint8_t> out(text.size() / 2);
  out.resize(HexTextToBytes(text, out, swap));
  return out;
}

std::string BytesToHexText(std::span<const uint8_t> bytes, bool swap) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 * bytes.size());
  for (uint8_t b : bytes) {
    const int first = swap ? b & 0xF : b >> 4;
    const int second = swap ? b >> 4 : b & 0xF;
    out.push_back(digits[first]);
    out.push_back(digits[second]);
  }
  return out;
}
