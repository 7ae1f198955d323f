#include "fw/pg_cola_principal.h"

#include <deque>
#include <mutex>
#include <thread>

#include "pg_entorno.h"

namespace {
std::mutex cerrojo;
std::deque<std::function<void()>> cola;
// Static initialisation runs on the thread that starts the program.
const std::thread::id hiloPrincipal = std::this_thread::get_id();
}  // namespace

void EncolaEnPrincipal(std::function<void()> llamada) {
  std::lock_guard<std::mutex> l(cerrojo);
  cola.push_back(std::move(llamada));
}

void AtiendeColaPrincipal() {
  std::deque<std::function<void()>> pendientes;
  {
    std::lock_guard<std::mutex> l(cerrojo);
    pendientes.swap(cola);
  }
  for (auto& llamada : pendientes) llamada();
}

bool EsHiloPrincipal() { return std::this_thread::get_id() == hiloPrincipal; }

void ProcesaMensajesFw() {
  AtiendeColaPrincipal();
  ProcesaMensajes();
}
