// The language blocks of the main window and the operation window: which
// item of which block goes to which caption or hint. A block is applied only
// when it has exactly its number of items; otherwise every control it names
// keeps its text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "DestinoIdioma.h"

struct TAplicacionTexto {
  size_t item;
  const char* control;  // "Form.Component"
  TPropiedadTexto propiedad;
  const char* antes = "";    // text put before the item
  const char* despues = "";  // and after it
};

struct TBloqueIdioma {
  const char* seccion;
  const char* clave;
  size_t items;
  std::vector<TAplicacionTexto> aplicaciones;
};

// The "Menus*" blocks in the order they are applied, then "Acciones*" "***".
const std::vector<TBloqueIdioma>& BloquesMenus();
const TBloqueIdioma& BloqueAcciones();

// Reads one block into `lista` and applies it to `destino` when its item
// count is exact. Returns whether it was applied.
bool AplicaBloque(const TBloqueIdioma& bloque, TDestinoIdioma& destino, std::vector<std::string>& lista);
