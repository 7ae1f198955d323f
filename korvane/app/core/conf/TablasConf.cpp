#include "TablasConf.h"

#include "pg_catalogo.h"

const TTablaConf* TablaConf(uint8_t tipo) {
  switch (tipo) {
    case EdFC_16F8x: return &Tabla16F8x();
    case EdFC_10Fxxx: return &Tabla10Fxxx();
    case EdFC_1xF6OSCAL: return &Tabla1xF6OSCAL();
    case EdFC_16F6xx: return &Tabla16F6xx();
    case EdFC_16F7x: return &Tabla16F7x();
    case EdFC_16F87x: return &Tabla16F87x();
    case EdFC_16Cxxx: return &Tabla16Cxxx();
    default: return nullptr;
  }
}

std::vector<TOpcionSimple> Opciones(const std::vector<std::string>& nombres, const std::vector<uint16_t>& valores,
                                    const std::vector<std::string>& textos) {
  std::vector<TOpcionSimple> o;
  for (size_t i = 0; i < nombres.size() && i < valores.size(); ++i)
    o.push_back({nombres[i], valores[i], i < textos.size() ? textos[i] : std::string()});
  return o;
}

const std::vector<uint16_t>& Osc410() {
  static const std::vector<uint16_t> v = {0x00, 0x01, 0x02, 0x03, 0x10, 0x11, 0x12, 0x13};
  return v;
}

const std::vector<uint16_t>& Osc210() {
  static const std::vector<uint16_t> v = {0, 1, 2, 3, 4, 5, 6, 7};
  return v;
}
