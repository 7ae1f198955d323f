// Number edit boxes. Every edit the user makes (typed keys, Backspace,
// Delete, cut, paste, drag and drop) must leave a valid text: digits of the
// box's radix, upper-cased, within MinValue..MaxValue when Validate is set,
// and no longer than MaxLength; otherwise the edit is refused.
//
// THexEdit holds a device word: a window sets MaxLength (4, or 6 for 24-bit
// addresses) and MaxValue, writes SetValue and reads GetValue; leaving the
// box normalises the text to its digit count. THexEdicion is the search
// text box: it starts empty, ignores SetValue and keeps the text exactly as
// typed, since the window uses the typed text itself.
//
// MaxLength here limits only the user's edits (SetValue(0x12345) with
// MaxLength 4 shows "12345"); do not call QLineEdit::setMaxLength.
#pragma once

#include <QLineEdit>
#include <cstdint>

enum TEditBase { ebHex, ebDec, ebOct, ebBin };

class THexEditBase : public QLineEdit {
  Q_OBJECT
public:
  explicit THexEditBase(QWidget* parent = nullptr);

  TEditBase NumBase() const { return base_; }
  virtual void SetNumBase(TEditBase b);
  uint32_t MinValue() const { return min_; }
  virtual void SetMinValue(uint32_t v);
  uint32_t MaxValue() const { return max_; }
  virtual void SetMaxValue(uint32_t v);
  bool Validate() const { return validate_; }
  virtual void SetValidate(bool v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int n) { maxLength_ = n; }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }

  int Radix() const;
  // The text read in the box's radix.
  uint32_t GetValue() const;
  virtual void SetValue(uint32_t v) = 0;

  // The rule every user edit must pass (the text already upper-cased).
  bool IsValidText(const QString& t) const;
  // The text the box would show after a user edit, or a null QString when
  // the edit is refused.
  QString Acepta(const QString& nuevo) const;

protected:
  void focusInEvent(QFocusEvent* e) override;
  // Sets text that comes from the program, past the MaxLength rule.
  void PonTexto(const QString& t);

private:
  class Validador;
  TEditBase base_ = ebHex;
  uint32_t min_ = 0;
  uint32_t max_ = 0xFFFFFFFFu;
  bool validate_ = false;
  int maxLength_ = 32767;
  bool autoSelect_ = true;
  bool programa_ = false;
  QString previo_;
};

class THexEdit : public THexEditBase {
  Q_OBJECT
public:
  explicit THexEdit(QWidget* parent = nullptr);
  void SetNumBase(TEditBase b) override;
  void SetMinValue(uint32_t v) override;
  void SetMaxValue(uint32_t v) override;
  void SetValidate(bool v) override;
  // Shows ClampValue(v) in the box's radix; in hexadecimal with 6 digits
  // when MaxLength is 6, else at least 4.
  void SetValue(uint32_t v) override;
  uint32_t ClampValue(uint32_t v) const;

protected:
  void focusOutEvent(QFocusEvent* e) override;
};

class THexEdicion : public THexEditBase {
  Q_OBJECT
public:
  explicit THexEdicion(QWidget* parent = nullptr);
  void SetValue(uint32_t) override {}
};
