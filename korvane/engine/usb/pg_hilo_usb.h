// The reply thread of a USB block write.
//
// While the host streams packets, the board may answer at any time with a
// 16-byte reply record (1 verify error, 200 programmer error, anything else
// progress or the closing reply). The thread keeps one read of a record
// pending; when a record arrives it stops reading and hands HayRespuesta to
// the main thread through a queued call: the record is copied into BufferRx
// and Respuesta set there. The transfer looks at the record on the main
// thread and either ends, or clears Respuesta and re-arms the read with
// Rearma.
//
// The pending read is never left behind: Termina ends it (the read runs in
// short slices and checks the stop request between them) and joins the
// thread before anything is freed. The flag lives in a shared state, and a
// hand-over still queued when the thread has gone finds it dead and does
// nothing, so a late record can never overwrite BufferRx after its transfer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class TEnlaceUsb;

constexpr std::size_t TamRegistroUsb = 16;

class TCommThread_USB {
public:
  explicit TCommThread_USB(TEnlaceUsb& enlace);
  TCommThread_USB(const TCommThread_USB&) = delete;
  TCommThread_USB& operator=(const TCommThread_USB&) = delete;
  ~TCommThread_USB();

  // 1 once a record has been handed over since the last Rearma (main thread).
  uint8_t Respuesta() const { return estado_->Respuesta; }
  // The record in BufferRx has been dealt with: clear Respuesta, read again.
  void Rearma();
  // Ends the pending read and the thread, and waits for it; idempotent.
  void Termina();
  // Waits (at most limiteMs of real time) until a read that started after
  // this call has found the pipe empty: true then, or when the board is
  // gone. False when a record came in instead (its hand-over is queued) or
  // one is still waiting to be dealt with.
  bool Drena(unsigned limiteMs);

private:
  struct TEstado {
    uint8_t Respuesta = 0;  // main thread only
    bool Vivo = true;       // main thread only
  };
  void Execute();

  TEnlaceUsb& enlace_;
  std::shared_ptr<TEstado> estado_;
  std::mutex m_;
  std::condition_variable cv_;
  bool fin_ = false;
  bool armado_ = true;
  uint64_t pedidos_ = 0;   // drain requests made
  uint64_t vacio_ = 0;     // last request a read found the pipe empty for
  uint64_t leidos_ = 0;    // records read
  std::thread hilo_;
};

// The reply thread of the running block write (null between transfers).
extern std::unique_ptr<TCommThread_USB> ThreadUSB;
// Starts a fresh reply thread on the open USB link (ending any old one).
void CreaThreadUSB(TEnlaceUsb& enlace);
// Ends and frees the running reply thread, if any.
void TerminaThreadUSB();
