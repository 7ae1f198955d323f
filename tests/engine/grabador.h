// An operation window that records what the engine shows and logs.
#pragma once

#include <string>
#include <vector>

#include "pg_entorno.h"

class TGrabador : public TInterfazOperacion {
public:
  std::vector<std::string> Mensajes;
  std::vector<std::string> Lineas;
  int Bombeos = 0;

  TGrabador() { anterior_ = PonInterfazOperacion(this); }
  ~TGrabador() override { PonInterfazOperacion(anterior_); }
  TGrabador(const TGrabador&) = delete;
  TGrabador& operator=(const TGrabador&) = delete;

  void Mensaje(const std::string& texto) override { Mensajes.push_back(texto); }
  void Log(const std::string& linea) override { Lineas.push_back(linea); }
  void ProcesaMensajes() override { ++Bombeos; }

private:
  TInterfazOperacion* anterior_ = nullptr;
};
