#include "fw/pg_hilo_com.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "fw/pg_cola_principal.h"
#include "fw/pg_enlace_fw.h"

std::unique_ptr<TCommThread> ThreadCOM;

namespace {
void Senala(int evento) {
  const uint64_t uno = 1;
  while (::write(evento, &uno, sizeof uno) < 0 && errno == EINTR) {
  }
}

// Waits on both descriptors without limit; false on a poll failure.
bool EsperaDos(pollfd* p) {
  for (;;) {
    const int e = ::poll(p, 2, -1);
    if (e > 0) return true;
    if (e < 0 && errno != EINTR) return false;
  }
}
}  // namespace

TCommThread::TCommThread(int fd)
    : fd_(fd),
      eventoFin_(eventfd(0, EFD_CLOEXEC)),
      eventoRearme_(eventfd(0, EFD_CLOEXEC)),
      estado_(std::make_shared<TEstado>()) {
  hilo_ = std::thread([this] { Execute(); });
}

TCommThread::~TCommThread() {
  Termina();
  if (eventoFin_ >= 0) ::close(eventoFin_);
  if (eventoRearme_ >= 0) ::close(eventoRearme_);
}

void TCommThread::Termina() {
  if (!hilo_.joinable()) return;
  Senala(eventoFin_);
  hilo_.join();
}

void TCommThread::Rearma() {
  estado_->Respuesta = 0;
  Senala(eventoRearme_);
}

void TCommThread::Execute() {
  for (;;) {
    pollfd p[2] = {{eventoFin_, POLLIN, 0}, {fd_, POLLIN, 0}};
    if (!EsperaDos(p) || p[0].revents) return;
    if (p[1].revents & POLLNVAL) return;
    // Bytes are waiting (or the line is gone, which the read will tell).
    EncolaEnPrincipal([estado = estado_] {  // HayRespuesta
      estado->EnPrincipal = EsHiloPrincipal();
      estado->Respuesta = 1;
    });
    pollfd q[2] = {{eventoFin_, POLLIN, 0}, {eventoRearme_, POLLIN, 0}};
    if (!EsperaDos(q) || q[0].revents) return;
    uint64_t cuenta;
    while (::read(eventoRearme_, &cuenta, sizeof cuenta) < 0 && errno == EINTR) {
    }
  }
}

void CreaThreadCOM() {
  TerminaThreadCOM();
  ThreadCOM = std::make_unique<TCommThread>(PuertoFw().Fd());
}

void TerminaThreadCOM() { ThreadCOM.reset(); }
