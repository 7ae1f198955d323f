#include "Code.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWheelEvent>

TCodeForm::TCodeForm(TViewKind kind, const char* caption, QWidget* parent) : TToolForm(parent), kind_(kind) {
  setObjectName(kind == TViewKind::Code ? "CodeForm" : kind == TViewKind::Data ? "DataForm" : "IDForm");
  setWindowTitle(caption);
  richEdit_ = new QPlainTextEdit(this);
  richEdit_->setObjectName("RichEdit");
  richEdit_->setReadOnly(true);
  richEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  richEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (!QFontInfo(font).fixedPitch()) {
    font.setFamily("monospace");
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
  }
  richEdit_->setFont(font);
  // A read-only text box zooms on Ctrl+wheel; a memory view keeps its font.
  richEdit_->viewport()->installEventFilter(this);

  auto* viewAs = new QGroupBox("View as", this);
  hexButton_ = new QRadioButton("Hex", viewAs);
  hexButton_->setObjectName("HexButton");
  hexButton_->setChecked(true);
  asciiButton_ = new QRadioButton("Ascii", viewAs);
  asciiButton_->setObjectName("AsciiButton");
  auto* row = new QHBoxLayout(viewAs);
  row->addWidget(hexButton_);
  row->addWidget(asciiButton_);
  row->addStretch();
  connect(hexButton_, &QRadioButton::clicked, this, &TCodeForm::HexButtonClick);
  connect(asciiButton_, &QRadioButton::clicked, this, &TCodeForm::AsciiButtonClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(richEdit_, 1);
  layout->addWidget(viewAs);
  const QFontMetrics metrics(richEdit_->font());
  // Room for a full line of 8 words and a screenful of lines.
  resize(metrics.horizontalAdvance(QString(48, '0')) + 60, metrics.lineSpacing() * 20 + 80);
}

void TCodeForm::ShowCode() {
  if (!isVisible()) return;
  QStringList lines;
  for (const std::string& line : ViewLines(kind_, asciiButton_->isChecked())) lines.append(QString::fromLatin1(line));
  richEdit_->setPlainText(lines.join('\n'));
}

void TCodeForm::showEvent(QShowEvent* event) {
  TToolForm::showEvent(event);
  ShowCode();
}

bool TCodeForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && (static_cast<QWheelEvent*>(event)->modifiers() & Qt::ControlModifier))
    return true;
  return TToolForm::eventFilter(watched, event);
}
