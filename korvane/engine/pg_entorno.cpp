#include "pg_entorno.h"

bool Cancelado = false;

namespace {
bool cierrePedido = false;
TInterfazOperacion interfazMuda;
TInterfazOperacion* interfazActual = &interfazMuda;
}

bool CierrePedido() { return cierrePedido; }
void PonCierrePedido(bool pedido) { cierrePedido = pedido; }

TInterfazOperacion& InterfazOperacion() { return *interfazActual; }

TInterfazOperacion* PonInterfazOperacion(TInterfazOperacion* interfaz) {
  TInterfazOperacion* anterior = interfazActual == &interfazMuda ? nullptr : interfazActual;
  interfazActual = interfaz ? interfaz : &interfazMuda;
  return anterior;
}
