#include "PaginaConf.h"

#include <QVBoxLayout>

TPaginaConf::TPaginaConf(QWidget* padre) : QWidget(padre) {
  setObjectName(QStringLiteral("Configuracion"));
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
}

TPaginaConf::~TPaginaConf() = default;

void TPaginaConf::PonTipo(uint8_t tipo) {
  if (editor_ && tipo == tipo_) {
    editor_->CambiaDispositivo();
    return;
  }
  editor_.reset();
  tipo_ = tipo;
  editor_ = CreaEditorConf(tipo, this);
  if (editor_) {
    layout()->addWidget(editor_.get());
    editor_->show();
  }
}

void TPaginaConf::Carga(const TBuffers& b) {
  if (editor_) editor_->LoadFromBuffer(b.Id, b.Config);
}

void TPaginaConf::Carga(TBuffers& b) {
  if (!editor_) return;
  editor_->SetMask(b.Config);
  editor_->LoadFromBuffer(b.Id, b.Config);
}

void TPaginaConf::Guarda(TBuffers& b) {
  if (editor_) editor_->SaveToBuffer(b.Id, b.Config);
}

void TPaginaConf::OperacionTerminada() {
  if (editor_) editor_->OperacionTerminada();
}
