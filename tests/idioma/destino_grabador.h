// A language target that remembers what it was told.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "DestinoIdioma.h"

class TDestinoGrabador : public TDestinoIdioma {
public:
  void PonTexto(const std::string& control, TPropiedadTexto p, const std::string& texto) override {
    (p == TPropiedadTexto::Caption ? captions : hints)[control] = texto;
  }
  void RefrescaEstado() override { ++refrescos; }
  void Mensaje(const std::string& texto) override { mensajes.push_back(texto); }
  void AgregaIdioma(const std::string& nombre, const std::string& icono, bool marcado) override {
    menu.push_back({nombre, icono, marcado});
  }

  struct TItem {
    std::string nombre, icono;
    bool marcado;
    bool operator==(const TItem&) const = default;
  };
  std::map<std::string, std::string> captions, hints;
  std::vector<std::string> mensajes;
  std::vector<TItem> menu;
  int refrescos = 0;
};
