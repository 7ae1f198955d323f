// The command-line batch run over the main window: its start seam runs the
// batch (TLote) with the window's own commands as the steps, the wait
// before the action is a timer, the result line goes to standard error
// when the batch ends, and -S closes the program only after a batch that
// succeeded. While the batch runs, the message boxes of the window and of
// the operation window are recorded for the result line and shown without
// blocking the batch, so that a script always gets its result line and a
// window that shows why. An
// unattended batch (Desatendido) shows no box at all and closes the
// program whether it succeeded or failed.
//
// While the batch runs, the operation window's log also goes to standard
// output, line by line, and the result line is written as soon as the
// program or verify run is over, before its window waits for Ok.
//
// CierraComoUsuario closes the program as the user would: from then on no
// box waits for an answer (CierrePedido), open boxes and windows are
// closed (an operation still running is cancelled and closes once its
// clean-up has run), the batch, when still running, ends as interrupted,
// and the main window closes, saving the settings.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Lote.h"
#include "principal/Korvane.h"

class QAbstractNativeEventFilter;
class QSocketNotifier;
class QTimer;

class TLoteKorvane : public QObject, public TPasosLote {
  Q_OBJECT
public:
  // Installs the batch as the window's start handler. argumentos: the
  // program's arguments without its name, Qt's own options already taken.
  TLoteKorvane(TFormKorvane& ventana, std::vector<std::string> argumentos);
  ~TLoteKorvane() override;

  // The result line; unset, it goes to standard error.
  std::function<void(const std::string&)> AlResultado;

  const TLote& Lote() const { return lote_; }
  // The program's exit status: 2 when a close cut short a run or a box
  // that waited for an answer, else the batch's (TLote::CodigoSalida; 0
  // without arguments).
  int CodigoSalida() const { return interrumpido_ ? 2 : lote_.CodigoSalida(); }
  QTimer* Espera() const { return espera_; }
  TFormKorvane& Ventana() const { return ventana_; }

  void CierraComoUsuario();

  // --- TPasosLote ---
  void SeleccionaFamiliaFlash() override;
  TDeteccion Detecta() override;
  bool AutoSeleccion() const override;
  bool AutoPic() const override;
  void PonAutoPic(bool valor) override;
  uint8_t BuscaDispositivo(const std::string& nombre) override;
  void SeleccionaDispositivo(uint8_t indice) override;
  std::string DispositivoActual() const override;
  bool CargaArchivo(const std::string& archivo) override;
  uint8_t Programa() override;
  uint8_t Verifica() override;
  std::string TextoUltimoFallo() const override { return ultimoFallo_; }
  void Mensaje(const std::string& texto) override;

  // A message shown while the batch runs (the window's boxes report here).
  void Anota(const std::string& texto);
  bool EnLote() const { return arrancado_ && !lote_.Terminado(); }
  // An unattended batch: -S with "Close when done" ticked in the operation
  // window and no question before erasing or programming. Nothing then
  // waits for a person: every box takes its safe answer (a message goes
  // to standard error, and to the log during an operation; a question is
  // answered No, which keeps a device's calibration value), and a batch
  // that failed closes the program too, with its status.
  bool Desatendido() const;
  // While such a batch runs.
  bool SinEspera() const { return EnLote() && Desatendido(); }

private:
  void Arranca();
  void Continua();
  void Fin();
  void EscribeResultado();
  void CierraVentana();
  void Desengancha();
  uint8_t Accion(void (TFormKorvane::*orden)());

  TFormKorvane& ventana_;
  TLote lote_;
  QTimer* espera_;
  std::string ultimoFallo_;
  std::function<void(const std::string&)> mensajeOperacion_;  // the operation window's own
  bool enganchado_ = false;  // the operation window's boxes report to the batch
  int enPaso_ = 0;  // a step of the batch is running (possibly a modal run)
  bool arrancado_ = false;
  bool resultadoEscrito_ = false;
  bool cerrando_ = false;
  bool interrumpido_ = false;  // the close cut a run or a waiting box short
  bool enAccion_ = false;      // the batch's program or verify command runs
};

// The window's modal parts during a batch: what it shows is recorded for
// the result line; with sinEspera, a message box of the batch does not
// block it. Otherwise everything goes to the parts it wraps.
class TDialogosLote final : public TDialogosKorvane {
public:
  TDialogosLote(std::unique_ptr<TDialogosKorvane> interior, TLoteKorvane& lote, bool sinEspera);
  void Mensaje(QWidget* padre, const QString& texto) override;
  bool Pregunta(QWidget* padre, const QString& texto) override;
  int Elige(QWidget* padre, const QString& texto, const QStringList& opciones) override;
  QString AbreArchivo(QWidget* padre, const QString& carpeta, const QString& filtro) override;
  QString GuardaArchivo(QWidget* padre, const QString& carpeta, const QString& filtro, QString* elegido) override;
  int Modal(QDialog& dialogo) override;
  int Operacion() override;

private:
  bool NadieEspera() const;
  std::unique_ptr<TDialogosKorvane> interior_;
  QPointer<TLoteKorvane> lote_;  // the window may outlive the batch
  bool sinEspera_;
};

// The close requests from outside the program, delivered to the event
// loop: SIGTERM and SIGINT (the handler only writes the signal's number
// into a pipe, a socket notifier reads it in the loop), and, once
// VigilaVentana names the main window, the window manager's close of that
// window while a modal window (an operation, a box) blocks it, which the
// toolkit would drop (X11; Recibida(0)).
class TSenalesCierre : public QObject {
  Q_OBJECT
public:
  explicit TSenalesCierre(QObject* parent = nullptr);
  ~TSenalesCierre() override;
  bool Instalada() const { return notificador_ != nullptr; }
  void VigilaVentana(QWidget& ventana);
signals:
  void Recibida(int senal);

private:
  void Lee();
  QSocketNotifier* notificador_ = nullptr;
  std::unique_ptr<QAbstractNativeEventFilter> filtro_;
};
