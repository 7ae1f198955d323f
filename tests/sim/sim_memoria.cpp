#include "sim_memoria.h"

#include <cstdio>
#include <fstream>

bool GuardaCeldas(const std::string& ruta, const std::map<uint32_t, uint16_t>& celdas) {
  std::ofstream f(ruta, std::ios::trunc);
  if (!f) return false;
  char linea[32];
  for (const auto& [direccion, valor] : celdas) {
    std::snprintf(linea, sizeof linea, "%06X %04X\n", direccion, valor);
    f << linea;
  }
  return static_cast<bool>(f);
}

bool CargaCeldas(const std::string& ruta, std::map<uint32_t, uint16_t>& celdas) {
  std::ifstream f(ruta);
  if (!f) return false;
  celdas.clear();
  std::string linea;
  while (std::getline(f, linea)) {
    unsigned direccion = 0, valor = 0;
    if (std::sscanf(linea.c_str(), "%x %x", &direccion, &valor) != 2) return false;
    celdas[direccion] = static_cast<uint16_t>(valor);
  }
  return true;
}
