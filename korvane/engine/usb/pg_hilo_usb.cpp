#include "usb/pg_hilo_usb.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "fw/pg_cola_principal.h"
#include "fw/pg_fw.h"
#include "usb/pg_usb.h"

std::unique_ptr<TCommThread_USB> ThreadUSB;

namespace {
// Length of one slice of the pending read: how long Termina may wait.
constexpr unsigned RebanadaMs = 20;
}  // namespace

TCommThread_USB::TCommThread_USB(TEnlaceUsb& enlace)
    : enlace_(enlace), estado_(std::make_shared<TEstado>()) {
  hilo_ = std::thread([this] { Execute(); });
}

TCommThread_USB::~TCommThread_USB() { Termina(); }

void TCommThread_USB::Rearma() {
  estado_->Respuesta = 0;
  std::lock_guard<std::mutex> l(m_);
  armado_ = true;
  cv_.notify_all();
}

void TCommThread_USB::Termina() {
  estado_->Vivo = false;
  {
    std::lock_guard<std::mutex> l(m_);
    fin_ = true;
    cv_.notify_all();
  }
  if (hilo_.joinable()) hilo_.join();
}

bool TCommThread_USB::Drena(unsigned limiteMs) {
  std::unique_lock<std::mutex> l(m_);
  if (!armado_) return false;
  const uint64_t pedido = ++pedidos_;
  const uint64_t leidos = leidos_;
  cv_.notify_all();
  cv_.wait_for(l, std::chrono::milliseconds(limiteMs),
               [&] { return vacio_ >= pedido || leidos_ != leidos || fin_; });
  return vacio_ >= pedido || (fin_ && leidos_ == leidos);
}

void TCommThread_USB::Execute() {
  std::array<uint8_t, TamRegistroUsb> registro{};
  for (;;) {
    uint64_t inicio;
    {
      std::unique_lock<std::mutex> l(m_);
      cv_.wait(l, [this] { return fin_ || armado_; });
      if (fin_) return;
      inicio = pedidos_;
    }
    const int n = enlace_.Lee(registro.data(), registro.size(), RebanadaMs);
    if (n <= 0) {
      std::lock_guard<std::mutex> l(m_);
      // The board gone counts as drained for good: no record will come.
      vacio_ = n < 0 ? UINT64_MAX : std::max(vacio_, inicio);
      cv_.notify_all();
      if (n < 0) return;
      continue;
    }
    // The hand-over is queued under the lock that Drena looks at, so a
    // drain that sees the read disarmed knows the record waits in the queue.
    std::lock_guard<std::mutex> l(m_);
    armado_ = false;
    const std::size_t largo = static_cast<std::size_t>(n);
    EncolaEnPrincipal([estado = estado_, registro, largo] {
      if (!estado->Vivo) return;
      std::memset(BufferRx, 0, TamRegistroUsb);
      std::memcpy(BufferRx, registro.data(), largo);
      estado->Respuesta = 1;  // HayRespuesta
    });
    ++leidos_;
    cv_.notify_all();
  }
}

void CreaThreadUSB(TEnlaceUsb& enlace) {
  TerminaThreadUSB();
  ThreadUSB = std::make_unique<TCommThread_USB>(enlace);
}

void TerminaThreadUSB() {
  if (!ThreadUSB) return;
  ThreadUSB->Termina();
  ThreadUSB.reset();
}
