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
};

// The editor of a kind (TEditorConf; EdNinguno gives nullptr), parented to
// `pagina`.
std::unique_ptr<TPaginaConf> CreaPaginaConf(uint8_t tipo, QWidget* pagina);
