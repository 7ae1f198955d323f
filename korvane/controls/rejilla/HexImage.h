#pragma once
// The memory image under a hex grid editor, with no widget: the bytes of one
// device memory, their changed marks, the exchange with the engine's word
// buffers, selection, caret, the ten row markers, the change gate with its
// undo log, fill, search and the clipboard's hex text.
//
// Positions are image offsets (byte 0 is the first byte of the image).
// Wrong arguments raise std::invalid_argument with a fixed English message;
// the grid view checks its arguments first, so nothing is thrown from an
// event handler.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class HexImage {
public:
  // Kinds of recorded edit steps.
  enum ChangeKind : uint8_t { ByteChanged = 0, BytesRemoved = 1, InsertBuffer = 2 };
  static constexpr int MaxUndoSteps = 500;
  static constexpr int MarkerCount = 10;

  // Where the caret stands: a byte, the nibble cell within its hex pair (0 is
  // the byte's first cell), and whether it is in the character pane.
  struct Caret {
    int32_t byte = 0;
    int nibble = 0;
    bool charPane = false;
  };

  HexImage();

  // ---- Exchange with the engine's word buffers --------------------------
  // Replaces the image by the bytes of `count` device words:
  //   program memory     (not dsPIC, not EEPROM): hi, lo of each word
  //   data EEPROM / I2C  (EEPROM): lo of each word
  //   dsPIC data EEPROM  (dsPIC, EEPROM): hi, lo of every second word of count
  //   dsPIC program      (dsPIC, not EEPROM): per instruction (two words)
  //                      lo(w[2k+1]), hi(w[2k]), lo(w[2k])
  // The layout sets bytes per row and per group (24/3, 16/2, 8/1). An EEPROM
  // load of 0 words hides the editor, any other count shows it. Undo, changed
  // marks, selection and Modified are reset; the caret goes to byte 0.
  // Raises when `words` is shorter than `count`.
  bool LoadFromWordBuffer(std::span<const uint16_t> words, uint32_t count, bool isDsPic,
                          int32_t baseAddress, uint32_t maskWord);
  // Writes the image back in the same layout; a byte missing from the image
  // is taken as 0xFF. In the dsPIC program layout DataNotBlank tells whether
  // any instruction differs from 0xFFFFFF.
  void SaveToWordBuffer(std::span<uint16_t> words, uint32_t count, bool isDsPic);

  // ---- Layout -----------------------------------------------------------
  bool EepromInt() const { return eepromInt_; }
  void SetEepromInt(bool v) { eepromInt_ = v; }
  bool EeI2C() const { return eeI2C_; }
  void SetEeI2C(bool v) { eeI2C_ = v; }
  bool DSPIC() const { return dsPic_; }
  bool Visible() const { return visible_; }
  uint8_t Mask() const { return mask_; }
  void SetMask(uint8_t v) { mask_ = v; }
  uint8_t PasteMask() const { return pasteMask_; }
  void SetPasteMask(uint8_t v) { pasteMask_ = v; }
  uint32_t WordCount() const { return wordCount_; }
  bool DataNotBlank() const { return dataNotBlank_; }
  int32_t BaseAddress() const { return baseAddress_; }
  int BytesPerLine() const { return bytesPerLine_; }
  void SetBytesPerLine(int bytes);  // 1..256; the caret keeps its byte
  int BytesPerColumn() const { return bytesPerColumn_; }
  void SetBytesPerColumn(int bytes);  // 1..256
  bool NoSizeChange() const { return noSizeChange_; }
  void SetNoSizeChange(bool v) { noSizeChange_ = v; }

  int32_t GetDataSize() const { return static_cast<int32_t>(bytes_.size()); }
  uint8_t ByteAt(int32_t position) const { return bytes_[static_cast<size_t>(position)]; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  bool IsChanged(int32_t position) const;
  // Rows of the grid: one for an empty image.
  int32_t RowCount() const;

  // ---- Grid columns -------------------------------------------------------
  // Column 0 offset, 1 marker, 2..2B+1 hex nibbles, 2B+2 separator,
  // 2B+3..3B+2 characters (B = bytes per line).
  int ColumnCount() const { return 3 * bytesPerLine_ + 3; }
  int FirstCharColumn() const { return 2 * bytesPerLine_ + 3; }
  int SeparatorColumn() const { return 2 * bytesPerLine_ + 2; }
  bool IsCharColumn(int column) const { return column > SeparatorColumn(); }
  int64_t ByteAtCell(int column, int32_t row) const;
  int ColumnOfByte(int32_t position, bool charPane) const;
  int CounterpartColumn(int column) const;
  int CaretColumn() const;
  int32_t CaretRow() const;

  // Texts of the fixed columns and the character pane.
  std::string OffsetText(int32_t row) const;
  int OffsetDigits() const;  // width of the offset column in characters
  char DisplayChar(uint8_t value) const;
  char OffsetSeparator = ':';
  char MaskChar = '.';
  bool MaskWhiteSpaces = true;
  bool SwapNibbles = false;

  // ---- Caret and selection -------------------------------------------------
  const Caret& GetCaret() const { return caret_; }
  void SetCaret(int32_t byte, int nibble, bool charPane);
  bool InCharPane() const { return caret_.charPane; }
  bool HasSelection() const { return selStart_ >= 0; }
  int32_t SelectionStart() const { return selStart_; }  // lower end, -1 without
  int32_t SelectionEnd() const { return selEnd_; }      // upper end, -1 without
  int32_t SelectionAnchor() const { return selAnchor_; }
  bool IsSelected(int32_t position) const {
    return selStart_ >= 0 && position >= selStart_ && position <= selEnd_;
  }
  int32_t GetSelStart() const;
  int32_t GetSelEnd() const;
  int32_t GetSelCount() const;
  void SetSelStart(int32_t position);
  void SetSelEnd(int32_t position);
  void SelectAll();  // nothing on an empty image
  void ClearSelection();
  // Extends the selection from its anchor (the caret's byte for a new one).
  void ExtendSelection(int32_t target);

  // ---- Edits ----------------------------------------------------------------
  // The gate of every edit: records an undo step and sets Modified when
  // admitted. The state change is announced either way.
  bool PrepareChange(ChangeKind kind, int32_t position, int32_t oldCount, int32_t newCount);
  // One typed byte; nothing when the value is unchanged.
  void ChangeByte(uint8_t oldValue, uint8_t newValue, int32_t position);
  // What typing a hex digit or a character at the caret does: true when the
  // caret is to move on to the next cell.
  bool TypeHexDigit(char digit);
  bool TypeCharacter(char character);
  // Writes bytes over the image from `position`, cut at the image end; bytes
  // on even offsets are ANDed with PasteMask. When `position` is the caret's
  // byte the written range becomes the selection.
  void OverwriteAt(std::span<const uint8_t> data, int32_t position);
  void ReplaceSelection(std::span<const uint8_t> data) { OverwriteAt(data, GetSelStart()); }
  // Removing bytes would shift every later word of a device image, so a
  // delete changes nothing here; false says nothing was removed.
  bool DeleteSelection() { return false; }
  // Fills device word addresses first..last with `value`, straight into the
  // image: no undo step, no changed marks, Modified kept; never grows the
  // image. The filled range is selected.
  void FillRange(int32_t first, int32_t last, uint32_t value);
  // Offset of the first match of `pattern` within first..last, or -1.
  int32_t Find(std::span<const uint8_t> pattern, bool ignoreCase, int32_t last, int32_t first) const;
  // A copy of up to `count` bytes from `position`.
  std::vector<uint8_t> BufferFromFile(int32_t position, int32_t count) const;

  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  bool CanUndo() const { return canUndo_; }
  const std::string& UndoDescription() const { return undoDescription_; }
  int32_t UndoCount() const { return undoCount_; }
  const std::vector<uint8_t>& UndoLog() const { return undoLog_; }
  void ResetUndo();
  void ClearChangedMarks();

  // ---- Markers (row numbers, -1 unset) --------------------------------------
  int32_t GetMarker(int index) const;
  void SetMarker(int index, int32_t row);
  void ClearMarkers();
  bool AnyMarkerSet() const;
  void ToggleMarker(int index);
  // The marker's row when it lies within the current rows, else -1.
  int32_t MarkerTarget(int index) const;
  // Lowest marker index set on `row`, or -1.
  int MarkerOnRow(int32_t row) const;

  // Called whenever the state the owner shows (selection, undo, edits)
  // may have changed; the grid view turns it into a queued notice.
  std::function<void()> onStateChange;
  // Called when the layout (rows, columns, widths) changed.
  std::function<void()> onLayoutChange;

private:
  void notify() const {
    if (onStateChange) onStateChange();
  }
  void recomputeLayout();
  void createUndo(ChangeKind kind, int32_t position, int32_t oldCount, int32_t newCount);
  void checkPosition(int32_t position, const char* message) const;
  void setMarked(int32_t position, bool on);

  std::vector<uint8_t> bytes_;
  std::vector<bool> changed_;
  std::array<int32_t, MarkerCount> markers_;
  int32_t selAnchor_ = -1, selStart_ = -1, selEnd_ = -1;
  Caret caret_;
  bool eepromInt_ = false, eeI2C_ = false, dsPic_ = false, visible_ = true;
  uint8_t mask_ = 0, pasteMask_ = 0xFF;
  uint32_t wordCount_ = 0;
  bool dataNotBlank_ = false;
  int32_t baseAddress_ = 0;
  int bytesPerLine_ = 16, bytesPerColumn_ = 2;
  bool noSizeChange_ = false;
  bool modified_ = false, canUndo_ = false;
  std::string undoDescription_ = "No Undo";
  int32_t undoCount_ = 0;
  std::vector<uint8_t> undoLog_;
};

// Clipboard text: pairs of hex digits, anything else skipped without breaking
// a pair; a lone final digit is dropped. Writes at most dest.size() bytes and
// returns how many.
size_t HexTextToBytes(std::string_view text, std::span<uint8_t> dest, bool swap);
std::vector<uint8_t> HexTextToBytes(std::string_view text, bool swap);
// Two upper-case digits a byte, high nibble first (low first with swap).
std::string BytesToHexText(std::span<const uint8_t> bytes, bool swap);
