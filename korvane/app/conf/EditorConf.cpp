#include "EditorConf.h"

#include "Conf10Fxxx.h"
#include "Conf16F6xx.h"
#include "Conf18F.h"
#include "EditorTabla.h"
#include "conf/TablasConf.h"
#include "pg_catalogo.h"

std::unique_ptr<TFEditorConf> CreaEditorConf(uint8_t tipo, QWidget* padre) {
  switch (tipo) {
    case EdFC_10Fxxx: return std::make_unique<TFC_10Fxxx>(padre);
    case EdFC_16F6xx: return std::make_unique<TFC_16F6xx>(padre);
    case EdFC_18Fxxx:
    case EdFC_18Fxx20:
    case EdFC_18Fxx31:
    case EdFC_18FModUSB: return std::make_unique<TFC_18F>(*TablaConf(tipo), padre);
    default: break;
  }
  if (const TTablaConf* t = TablaConf(tipo)) return std::make_unique<TFEditorTabla>(*t, padre);
  return nullptr;
}
