// The Configuration page's content: the editor of the selected device's
// kind. The main window calls PonTipo on every device change (from its
// TGanchoDispositivo::CambiaEditorConf with the new EstadoEditorConf): a
// new kind replaces the editor (the old one is freed), the same kind keeps
// it and tells it the device changed.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "EditorConf.h"
#include "pg_pic.h"

class TPaginaConf : public QWidget {
  Q_OBJECT
public:
  explicit TPaginaConf(QWidget* padre = nullptr);
  ~TPaginaConf() override;

  void PonTipo(uint8_t tipo);
  // The editor shown (nullptr: the kind has none).
  TFEditorConf* Editor() const { return editor_.get(); }
  uint8_t Tipo() const { return tipo_; }

  // CargaEditor / LeeEditor for a buffer set; nothing without an editor.
  void Carga(const TBuffers& b);
  // The same on a buffer set the load may change: the editor first clears
  // there the bits the part lacks (SetMask), so the set holds what the
  // editor shows.
  void Carga(TBuffers& b);
  void Guarda(TBuffers& b);
  void OperacionTerminada();

private:
  std::unique_ptr<TFEditorConf> editor_;
  uint8_t tipo_ = 255;
};
