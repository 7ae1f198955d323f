#include "Conf18F.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

// The ID words and the configuration words side by side, in three rows
// under the controls, so that the page fits the window's default height.
TFC_18F::TFC_18F(const TTablaConf& tabla, QWidget* padre) : TFEditorTabla(tabla, padre) {
  auto* rejilla = new QGridLayout;
  rejilla->addWidget(new QLabel(QStringLiteral("- ID -"), this), 0, 0, 1, 4);
  rejilla->setColumnMinimumWidth(4, fontMetrics().horizontalAdvance(QStringLiteral("0000")));
  const int ancho = fontMetrics().horizontalAdvance(QStringLiteral("0000")) * 2 + 12;
  for (int k = 0; k < 4; ++k) {
    auto* e = new QLineEdit(QStringLiteral("0000"), this);
    e->setObjectName(QStringLiteral("ID%1").arg(k + 1));
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), e));
    e->setMaximumWidth(ancho);
    rejilla->addWidget(e, 1, k);
    ids_[static_cast<size_t>(k)] = e;
  }
  rejilla->addWidget(new QLabel(QStringLiteral("- config -"), this), 0, 5, 1, 4);
  for (int w = 0; w < 7; ++w) {
    auto* l = new QLabel(this);
    l->setObjectName(QStringLiteral("c%1").arg(w + 1));
    QFont negrita = l->font();
    negrita.setBold(true);
    l->setFont(negrita);
    auto* fila = new QHBoxLayout;
    fila->addWidget(new QLabel(QStringLiteral("%1 :").arg(w + 1), this));
    fila->addWidget(l);
    rejilla->addLayout(fila, 1 + w / 4, 5 + w % 4);
    rejilla->setColumnMinimumWidth(5 + w % 4, ancho);
    palabras_[static_cast<size_t>(w)] = l;
  }
  rejilla->setColumnStretch(9, 1);
  rejilla->setVerticalSpacing(2);
  Pie()->addLayout(rejilla);
  layout()->setContentsMargins(6, 4, 6, 4);
  AlRefrescar();
}

void TFC_18F::AlRefrescar() {
  // TFEditorTabla's constructor refreshes before the labels exist.
  if (!palabras_[0]) return;
  const std::vector<uint16_t> w = Palabras();
  for (size_t i = 0; i < palabras_.size(); ++i)
    palabras_[i]->setText(i < w.size() ? QString::fromStdString(Hex4(w[i])) : QString());
}

std::array<uint16_t, 4> TFC_18F::Ids() const {
  std::array<uint16_t, 4> id{};
  for (size_t k = 0; k < id.size(); ++k) id[k] = static_cast<uint16_t>(ids_[k]->text().toUInt(nullptr, 16));
  return id;
}

void TFC_18F::PonIds(std::span<const uint16_t> id) {
  for (size_t k = 0; k < ids_.size(); ++k)
    ids_[k]->setText(QString::fromStdString(Hex4(k < id.size() ? id[k] : 0)));
}

void TFC_18F::LoadFromBuffer(std::span<const uint16_t> id, std::span<const uint16_t> config) {
  TFEditorTabla::LoadFromBuffer(id, config);
  PonIds(id);
}

void TFC_18F::SaveToBuffer(std::span<uint16_t> id, std::span<uint16_t> config) {
  TFEditorTabla::SaveToBuffer(id, config);
  const std::array<uint16_t, 4> v = Ids();
  for (size_t k = 0; k < v.size() && k < id.size(); ++k) id[k] = v[k];
}

// The words shown so far are read again under the new part's rules; the ID
// words stay as they are.
void TFC_18F::CambiaDispositivo() {
  const std::array<uint16_t, 4> id = Ids();
  TFEditorTabla::CambiaDispositivo();
  PonIds(id);
}
