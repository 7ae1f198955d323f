// The operation window: every device operation (program, read, verify,
// erase, identify, hardware test) runs inside it while it is shown
// modally. FormActivate opens the link, powers and checks the programmer,
// identifies the part, dispatches the action (pg_acciones.h) and always
// brings the hardware back to rest and closes the link.
//
// While it runs the window is the engines' operation interface (gauge,
// colours, log, status panes, questions, message pump). During a run the
// cancel button, the title bar's close and Esc only set Cancelado: the
// window closes once the engine has returned and the clean-up has run.
// After a close of the program was asked for, a run ends without waiting
// for anyone: its boxes go to the log and the window closes at its end.
//
// The log is the control library's framed memo, the supply indicator its
// LED, and the bottom bar its status bar with four status panes.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "forms/pg_acciones.h"
#include "pg_entorno.h"

class QCheckBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class TKvMemo;
class TKvStatusBar;
class TKvStatusPane;
class TTransLED;
class QTimer;
class QToolBar;
class QToolButton;
class QAction;

class TFAcciones : public QDialog, public TInterfazOperacion {
  Q_OBJECT
public:
  explicit TFAcciones(QWidget* parent = nullptr);
  ~TFAcciones() override;

  // Shows the window modally; the run starts as soon as it is shown.
  // Returns the modal result (QDialog::Accepted for Ok, else Rejected).
  int ShowModal();

  // The caption of TipoAccion.
  std::string DiAccion() const;

  // Captions of cancelar, Ok, closw and pr from language block "Acciones*".
  void AplicaIdioma();

  // Replace the modal message and question boxes (batch runs, tests);
  // unset, the boxes are shown. Once a close of the program was asked for
  // (CierrePedido), neither is called: a message goes to the log and a
  // question is answered No (Cancel where it has a third button).
  std::function<void(const std::string&)> AlMensaje;
  std::function<TRespuesta(const std::string&, bool conCancelar)> AlPreguntar;
  // A run of the command-line batch: what only the run itself can decide
  // is decided without a box. Another part in the socket than the selected
  // one stops a program or an erase, and the stop is told through Mensaje
  // (the batch's result line takes it).
  bool Desatendida = false;
  // An unattended batch (set by the batch): while this answers true, no
  // box of a run waits. A message goes to the log and to standard error
  // and is still handed to AlMensaje (which then shows nothing); a
  // question takes its safe answer (No; Cancel where it has a third
  // button), its text in the log and on standard error.
  std::function<bool()> SinEspera;
  // Also given every line the log receives (a batch writes them out).
  std::function<void(const std::string&)> AlLog;
  // Called when a run has ended, its clean-up done, before the window
  // waits for Ok or closes itself (a batch knows its outcome then).
  std::function<void()> AlTerminar;

  // True between the start of a run and the end of its clean-up.
  bool EnEjecucion() const { return enEjecucion_; }
  // The window is between its show and close.
  bool Mostrada() const { return mostrada_; }

  // --- Components ---
  QLabel* msg;
  QLabel* pr;
  QProgressBar* porcentage;
  TTransLED* LedVdd;
  TKvMemo* memo;
  QMenu* PopupMenu1;
  QAction* Copiar1;
  QToolButton* cancelar;
  QPushButton* Ok;
  QToolBar* ToolBar1;
  QCheckBox* closw;
  TKvStatusBar* Status;
  TKvStatusPane* KvStatusPanel1;
  TKvStatusPane* KvStatusPanel2;
  TKvStatusPane* KvStatusPanel3;
  TKvStatusPane* KvStatusPane;
  QTimer* Timer1;

  // --- TInterfazOperacion ---
  void Mensaje(const std::string& texto) override;
  TRespuesta Pregunta(const std::string& texto, bool conCancelar) override;
  // A Yes/No question whose box has No as its default button.
  TRespuesta PreguntaNo(const std::string& texto) override;
  void Log(const std::string& linea) override;
  void CambiaUltimaLinea(const std::string& linea) override;
  void Progreso(uint32_t posicion, uint32_t maximo) override;
  void ColorProgreso(TColorProgreso color) override;
  void Panel(int indice, const std::string& texto) override;
  void ProcesaMensajes() override;

public slots:
  void FormActivate();
  void cancelarClick();
  void Timer1Timer();
  void closwClick();
  void memoChange();
  void Copiar1Click();
  void PopupMenu1Change();
  void OkClick();

protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
  void done(int r) override;

private:
  void FormShow();
  void FormClose();
  // A run that stops before its action: result 255, the window closes
  // itself after Timer1. The link, when it was opened, is closed.
  void Para();
  // The clean-up that every run ends with once the link is open.
  void Cola();
  // A port access that failed since the last look (an adapter unplugged, a
  // line ioctl refused) is shown and logged with the port and the reason;
  // a run that had not failed otherwise fails with error 2, since nothing
  // it read or wrote after the failure reached the part.
  void InformaFalloPuerto();
  void Termina();
  void PonColorGauge(const char* color);
  // No box may wait now: a close was asked for, or nobody watches.
  bool NadieEspera() const;
  // Before a box that waits for the user during a run: the lines at rest
  // and the supply off, so that no powered part sits in the socket while
  // the user reads it (and may pull the part). True when the run had the
  // part powered. After the box, a run that goes on gets its supply back
  // (its next step enters programming mode afresh); a cancelled run is
  // left to its tail.
  bool ReposoParaCaja();
  void TrasCaja(bool apagada);
  void PonLed(uint32_t rgb);
  // Another catalogue part than the selected one answered the
  // identification: false when the run must stop there.
  bool SigueConOtraParte(const TModel& model);

  bool enEjecucion_ = false;
  bool mostrada_ = false;
  bool arrancada_ = false;
  TInterfazOperacion* anterior_ = nullptr;
  bool instalada_ = false;
  bool porDefectoNo_ = false;
  bool alimentada_ = false;  // the run has switched the supply on (steps 8 to 13)
};

// The text of a box that nobody waits for, on standard error, one line for
// each of its lines.
void EscribeSinCaja(const std::string& texto);

// The one operation window, created at start-up and kept for the whole run.
extern TFAcciones* FAcciones;
