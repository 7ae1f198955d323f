#include "EditorConf.h"
#include "EditorTabla.h"
#include "conf/TablasConf.h"

std::unique_ptr<TFEditorConf> CreaEditorConf(uint8_t tipo, QWidget* padre) {
  if (const TTablaConf* t = TablaConf(tipo)) return std::make_unique<TFEditorTabla>(*t, padre);
  return nullptr;
}
