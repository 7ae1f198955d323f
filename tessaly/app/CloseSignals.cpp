#include "CloseSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

int Pipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // Async-signal-safe; a full pipe already holds a request.
  [[maybe_unused]] const ssize_t n = write(Pipe[1], &byte, 1);
  errno = saved;
}

void Handle(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : {SIGTERM, SIGINT}) sigaction(s, &action, nullptr);
}

}  // namespace

TCloseSignals::TCloseSignals(QObject* parent) : QObject(parent) {
  if (Pipe[0] < 0 && pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TCloseSignals::Drain);
  Handle(OnSignal);
}

TCloseSignals::~TCloseSignals() {
  if (notifier_) Handle(SIG_DFL);
}

void TCloseSignals::Drain() {
  char bytes[16];
  bool any = false;
  while (read(Pipe[0], bytes, sizeof bytes) > 0) any = true;
  if (any) emit closeRequested();
}
