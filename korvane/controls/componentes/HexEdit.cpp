#include "HexEdit.h"

#include <QFocusEvent>
#include <QValidator>

// Every user edit of a QLineEdit (keys, Backspace, Delete, cut, paste, a
// drop) ends in the validator; a text it calls Invalid is undone.
class THexEditBase::Validador : public QValidator {
public:
  explicit Validador(THexEditBase* caja) : QValidator(caja), caja_(caja) {}
  State validate(QString& texto, int&) const override {
    if (caja_->programa_) return Acceptable;
    const QString r = caja_->Acepta(texto);
    if (r.isNull()) return Invalid;
    texto = r;
    return Acceptable;
  }

private:
  THexEditBase* caja_;
};

THexEditBase::THexEditBase(QWidget* parent) : QLineEdit(parent) {
  setValidator(new Validador(this));
  connect(this, &QLineEdit::textChanged, this, [this](const QString& t) { previo_ = t; });
}

int THexEditBase::Radix() const {
  switch (base_) {
    case ebDec: return 10;
    case ebOct: return 8;
    case ebBin: return 2;
    default: return 16;
  }
}

void THexEditBase::SetNumBase(TEditBase b) { base_ = b; }
void THexEditBase::SetMinValue(uint32_t v) { min_ = v; }
void THexEditBase::SetMaxValue(uint32_t v) { max_ = v; }
void THexEditBase::SetValidate(bool v) { validate_ = v; }

namespace {

// "0".."9" give their value, "A".."F" 10..15; -1 for anything else.
int Digito(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

uint32_t Lee(const QString& t, int radix) {
  uint32_t v = 0;
  for (int i = 0; i < t.size() && i < 255; ++i) {
    const int d = Digito(t[i]);
    v = v * static_cast<uint32_t>(radix) + static_cast<uint32_t>(d < 0 ? 0 : d);
  }
  return v;
}

}  // namespace

uint32_t THexEditBase::GetValue() const { return Lee(text(), Radix()); }

bool THexEditBase::IsValidText(const QString& t) const {
  for (QChar c : t) {
    const int d = Digito(c);
    if (d < 0 || d >= Radix()) return false;
  }
  if (validate_ && !t.isEmpty()) {
    const uint32_t v = Lee(t, Radix());
    if (v < min_ || v > max_) return false;
  }
  return true;
}

QString THexEditBase::Acepta(const QString& nuevo) const {
  const QString t = nuevo.toUpper();
  if (!IsValidText(t)) return QString();
  if (t.size() > maxLength_ && t.size() > previo_.size()) return QString();
  return t.isNull() ? QString("") : t;
}

void THexEditBase::PonTexto(const QString& t) {
  programa_ = true;
  setText(t);
  programa_ = false;
}

void THexEditBase::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (autoSelect_ && e->reason() != Qt::MouseFocusReason) selectAll();
}

// --- THexEdit ---------------------------------------------------------------

THexEdit::THexEdit(QWidget* parent) : THexEditBase(parent) { PonTexto("0000"); }

uint32_t THexEdit::ClampValue(uint32_t v) const {
  if (!Validate()) return v;
  if (v < MinValue()) return MinValue();
  if (v > MaxValue()) return MaxValue();
  return v;
}

void THexEdit::SetValue(uint32_t v) {
  v = ClampValue(v);
  const int digitos = NumBase() == ebHex ? (MaxLength() == 6 ? 6 : 4) : 1;
  PonTexto(QString::number(v, Radix()).toUpper().rightJustified(digitos, '0'));
}

void THexEdit::SetNumBase(TEditBase b) {
  const uint32_t v = GetValue();
  THexEditBase::SetNumBase(b);
  SetValue(v);
}

void THexEdit::SetMinValue(uint32_t v) {
  THexEditBase::SetMinValue(v);
  SetValue(GetValue());
}

void THexEdit::SetMaxValue(uint32_t v) {
  THexEditBase::SetMaxValue(v);
  SetValue(GetValue());
}

void THexEdit::SetValidate(bool v) {
  THexEditBase::SetValidate(v);
  SetValue(GetValue());
}

void THexEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  SetValue(GetValue());
}

// --- THexEdicion ----------------------------------------------------------------

THexEdicion::THexEdicion(QWidget* parent) : THexEditBase(parent) {}
