#include "pg_entorno.h"

bool Cancelado = false;

namespace {
TInterfazOperacion interfazMuda;
TInterfazOperacion* interfazActual = &interfazMuda;
}

TInterfazOperacion& InterfazOperacion() { return *interfazActual; }

TInterfazOperacion* PonInterfazOperacion(TInterfazOperacion* interfaz) {
  TInterfazOperacion* anterior = interfazActual == &interfazMuda ? nullptr : interfazActual;
  interfazActual = interfaz ? interfaz : &interfazMuda;
  return anterior;
}
