// The Configuration page as the main window keeps it, for the editor
// tests: a new kind makes a new editor, the same kind is told the device
// changed; CargaEditor masks the buffer set and loads, LeeEditor saves.
#pragma once

#include <QWidget>
#include <memory>

#include "conf/EditorConf.h"
#include "pg_pic.h"

class TPaginaPrueba {
public:
  void PonTipo(uint8_t tipo) {
    if (editor_ && tipo == tipo_) {
      editor_->CambiaDispositivo();
      return;
    }
    tipo_ = tipo;
    editor_ = CreaEditorConf(tipo);
    if (editor_) editor_->show();
  }
  void Carga(TBuffers& b) {
    editor_->SetMask(b.Config);
    editor_->LoadFromBuffer(b.Id, b.Config);
  }
  void Guarda(TBuffers& b) { editor_->SaveToBuffer(b.Id, b.Config); }
  TFEditorConf* Editor() const { return editor_.get(); }

private:
  std::unique_ptr<TFEditorConf> editor_;
  uint8_t tipo_ = 255;
};
