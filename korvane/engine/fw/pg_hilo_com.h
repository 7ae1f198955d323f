// The reply watcher of a serial block write.
//
// A block write sends packets without reading; the board answers at any
// time with a reply byte. The watcher thread waits for bytes to be waiting
// on the port (it never reads them) and then hands HayRespuesta to the main
// thread, which sets Respuesta. The transfer reads the reply on the main
// thread, clears Respuesta and re-arms the watcher with Rearma: the watch is
// level-triggered, so bytes already waiting report again at once, and no
// read is made while nothing is waiting.
//
// The flag lives in a shared state, so a hand-over still queued when the
// watcher has been destroyed does no harm.
#pragma once

#include <cstdint>
#include <memory>
#include <thread>

class TCommThread {
public:
  // Starts watching the descriptor.
  explicit TCommThread(int fd);
  TCommThread(const TCommThread&) = delete;
  TCommThread& operator=(const TCommThread&) = delete;
  ~TCommThread();

  // 1 once the board has sent something since the last Rearma (main thread).
  uint8_t Respuesta() const { return estado_->Respuesta; }
  // Whether the last hand-over ran on the main thread (it always should).
  bool EntregaEnPrincipal() const { return estado_->EnPrincipal; }
  // The waiting bytes have been read: clear Respuesta and watch again.
  void Rearma();
  // Ends the watcher and waits for it; idempotent.
  void Termina();

private:
  struct TEstado {
    uint8_t Respuesta = 0;  // touched by the main thread only
    bool EnPrincipal = false;
  };
  void Execute();

  int fd_;
  int eventoFin_ = -1;
  int eventoRearme_ = -1;
  std::shared_ptr<TEstado> estado_;
  std::thread hilo_;
};

// The watcher of the running block write (null between transfers).
extern std::unique_ptr<TCommThread> ThreadCOM;
// Starts a fresh watcher on the firmware link.
void CreaThreadCOM();
// Ends and frees the running watcher, if any.
void TerminaThreadCOM();
