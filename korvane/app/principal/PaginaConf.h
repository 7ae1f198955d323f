// What the main window asks of the editor on its Configuration page: the
// ID words and configuration words of one buffer set in and out.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

#include "pg_pic.h"

class TPaginaConf {
public:
  virtual ~TPaginaConf() = default;
  virtual QWidget* Widget() = 0;
  virtual void LoadFromBuffer(const std::array<uint16_t, TamId>& id, const std::array<uint16_t, TamConfig>& config) = 0;
  virtual void SaveToBuffer(std::array<uint16_t, TamId>& id, std::array<uint16_t, TamConfig>& config) = 0;
  // Clears in the words the bits the selected part lacks (before a load).
  virtual void SetMask(std::array<uint16_t, TamConfig>& config) { (void)config; }
  // Another device of the same kind was selected.
  virtual void CambiaDispositivo() {}
  // A device operation has ended.
  virtual void OperacionTerminada() {}
};

// The editor of a kind (TEditorConf; EdNinguno gives nullptr), parented to
// `pagina`. A kind whose editor is not built yet gets a page that shows the
// words in hex and carries them unchanged from load to save.
std::unique_ptr<TPaginaConf> CreaPaginaConf(uint8_t tipo, QWidget* pagina);
