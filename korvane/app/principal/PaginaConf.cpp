#include "PaginaConf.h"

#include <QLabel>
#include <QVBoxLayout>

#include "conf/EditorConf.h"

namespace {

// Shows the words of the selected device in hex and carries them through a
// load and a save unchanged, so that no word of a file or a read is lost on
// its way to the part.
class TConfPlana final : public TPaginaConf {
public:
  explicit TConfPlana(QWidget* pagina) : w_(new QWidget(pagina)) {
    auto* l = new QVBoxLayout(w_);
    texto_ = new QLabel(w_);
    texto_->setObjectName("TextoConf");
    texto_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texto_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->addWidget(texto_);
  }
  ~TConfPlana() override { delete w_; }
  QWidget* Widget() override { return w_; }
  void LoadFromBuffer(const std::array<uint16_t, TamId>& id, const std::array<uint16_t, TamConfig>& config) override {
    id_ = id;
    config_ = config;
    QString t;
    auto hex = [](uint16_t v) { return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper(); };
    for (uint32_t i = 0; i < PicActual.CfgNum && i < TamConfig; ++i)
      t += QStringLiteral("Config %1: %2\n").arg(i).arg(hex(config[i]));
    for (uint32_t i = 0; i < PicActual.IdNum && i < TamId; ++i) t += QStringLiteral("ID %1: %2\n").arg(i).arg(hex(id[i]));
    texto_->setText(t);
  }
  void SaveToBuffer(std::array<uint16_t, TamId>& id, std::array<uint16_t, TamConfig>& config) override {
    id = id_;
    config = config_;
  }

private:
  QWidget* w_;
  QLabel* texto_;
  std::array<uint16_t, TamId> id_{};
  std::array<uint16_t, TamConfig> config_{};
};

// The configuration editor of the kind.
class TConfEditor final : public TPaginaConf {
public:
  explicit TConfEditor(std::unique_ptr<TFEditorConf> editor) : e_(std::move(editor)) {}
  QWidget* Widget() override { return e_.get(); }
  void LoadFromBuffer(const std::array<uint16_t, TamId>& id, const std::array<uint16_t, TamConfig>& config) override {
    e_->LoadFromBuffer(id, config);
  }
  void SaveToBuffer(std::array<uint16_t, TamId>& id, std::array<uint16_t, TamConfig>& config) override {
    e_->SaveToBuffer(id, config);
  }
  void SetMask(std::array<uint16_t, TamConfig>& config) override { e_->SetMask(config); }
  void CambiaDispositivo() override { e_->CambiaDispositivo(); }
  void OperacionTerminada() override { e_->OperacionTerminada(); }

private:
  std::unique_ptr<TFEditorConf> e_;
};

}  // namespace

std::unique_ptr<TPaginaConf> CreaPaginaConf(uint8_t tipo, QWidget* pagina) {
  if (tipo == EdNinguno) return nullptr;
  if (auto editor = CreaEditorConf(tipo, pagina)) return std::make_unique<TConfEditor>(std::move(editor));
  return std::make_unique<TConfPlana>(pagina);
}
