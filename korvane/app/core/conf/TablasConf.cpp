#include "TablasConf.h"

#include "pg_catalogo.h"

const TTablaConf* TablaConf(uint8_t tipo) {
  switch (tipo) {
    case EdFC_16F8x: return &Tabla16F8x();
    default: return nullptr;
  }
}
