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
    case EdFC_18Fxxx: return &Tabla18Fxxx();
    case EdFC_18Fxx20: return &Tabla18Fxx20();
    case EdFC_18Fxx31: return &Tabla18Fxx31();
    case EdFC_18FModUSB: return &Tabla18FModUSB();
    case EdFC_30Fxxx: return &Tabla30Fxxx();
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

TOpcionConf OpcionRango(const std::string& nombre, const std::string& texto, uint16_t guarda, uint16_t mascaraCarga,
                        uint16_t carga) {
  return TOpcionConf{.nombre = nombre, .texto = texto, .guarda = guarda, .mascaraCarga = mascaraCarga, .carga = carga};
}

std::vector<TOpcionSimple> ItemsLista(const std::string& lista, const std::vector<std::string>& textos, int bit) {
  std::vector<TOpcionSimple> o;
  for (size_t i = 0; i < textos.size(); ++i)
    o.push_back({lista + "#" + std::to_string(i), static_cast<uint16_t>(i << bit), textos[i]});
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
