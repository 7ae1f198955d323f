// Helpers shared by the link tests.
#pragma once

#include <string>
#include <vector>

#include "pg_entorno.h"

// Captures what the engine tells the operation window.
class TVentanaPrueba : public TInterfazOperacion {
public:
  TVentanaPrueba() { anterior_ = PonInterfazOperacion(this); }
  ~TVentanaPrueba() override { PonInterfazOperacion(anterior_); }
  void Mensaje(const std::string& texto) override { Mensajes.push_back(texto); }
  void Log(const std::string& linea) override { Lineas.push_back(linea); }
  void CambiaUltimaLinea(const std::string& linea) override {
    if (Lineas.empty())
      Lineas.push_back(linea);
    else
      Lineas.back() = linea;
  }
  std::vector<std::string> Mensajes;
  std::vector<std::string> Lineas;

private:
  TInterfazOperacion* anterior_ = nullptr;
};
