// SIGTERM and SIGINT close Tessaly as the window's own close does, so a
// program stopped from a terminal or by the session saves its settings and
// leaves the programmer's lines at rest. The handler only writes a byte into
// a pipe; a socket notifier reads it in the event loop, or at the next
// message pump of a running operation.
#pragma once

#include <QObject>

class QSocketNotifier;

class TCloseSignals : public QObject {
  Q_OBJECT
public:
  explicit TCloseSignals(QObject* parent = nullptr);
  ~TCloseSignals() override;

signals:
  void closeRequested();

private:
  void Drain();
  QSocketNotifier* notifier_ = nullptr;
};
