#include "Acciones.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "KvEdit.h"
#include "KvPanel.h"
#include "KvStatus.h"
#include "TransLED.h"
#include "fw/pg_fw.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "ident/pg_ident.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "usb/pg_usb_fw.h"

TFAcciones* FAcciones = nullptr;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string Err(const char* clave) { return TextoIdioma("pg_err*", clave); }

// The decimal value of the two hex digits of the profile's "pid" (the last
// two characters of the VID/PID text); 0 when they are no hex digits.
int NumeroPid() {
  if (VidPid.size() < 17) return 0;
  unsigned v = 0;
  return std::sscanf(VidPid.substr(15, 2).c_str(), "%2x", &v) == 1 ? static_cast<int>(v) : 0;
}

}  // namespace

TFAcciones::TFAcciones(QWidget* parent) : QDialog(parent) {
  setObjectName("FAcciones");
  setModal(true);
  setMinimumSize(460, 340);

  msg = new QLabel(this);
  msg->setObjectName("msg");
  QFont f = msg->font();
  f.setBold(true);
  msg->setFont(f);
  pr = new QLabel("Progreso", this);
  pr->setObjectName("pr");
  porcentage = new QProgressBar(this);
  porcentage->setObjectName("porcentage");
  porcentage->setRange(0, 100);
  porcentage->setValue(0);
  PonColorGauge("lime");
  LedVdd = new TTransLED(this);
  LedVdd->setObjectName("LedVdd");
  LedVdd->setFixedSize(17, 17);
  PonLed(ColorVddOff);

  memo = new TKvMemo(this);
  memo->setObjectName("memo");
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setContextMenuPolicy(Qt::CustomContextMenu);
  memo->SetFrameHotTrack(true);
  memo->SetFrameStyle(fsGroove);
  memo->SetFrameHotStyle(fsGroove);
  memo->SetFrameColor(QColor(0, 0, 0));
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  Copiar1 = PopupMenu1->addAction("Copiar");
  Copiar1->setObjectName("Copiar1");

  cancelar = new QToolButton(this);
  cancelar->setObjectName("cancelar");
  cancelar->setText("Cancelar");
  cancelar->setEnabled(false);
  Ok = new QPushButton("OK", this);
  Ok->setObjectName("Ok");
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  closw = new QCheckBox("Cerrar al terminar", ToolBar1);
  closw->setObjectName("closw");
  ToolBar1->addWidget(closw);

  Status = new TKvStatusBar(this);
  Status->setObjectName("Status");
  Status->setFocusPolicy(Qt::StrongFocus);
  auto pane = [this](const char* nombre, int ancho) {
    auto* p = new TKvStatusPane(Status);
    p->setObjectName(nombre);
    p->resize(ancho, p->height());
    p->SetAlignment(Qt::AlignHCenter);
    return p;
  };
  KvStatusPane = pane("KvStatusPane", 7);
  KvStatusPane->SetFrameStyle(fsNone);
  KvStatusPanel1 = pane("KvStatusPanel1", 104);
  KvStatusPanel2 = pane("KvStatusPanel2", 100);
  KvStatusPanel3 = pane("KvStatusPanel3", 113);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);

  auto* arriba = new QHBoxLayout;
  arriba->addWidget(msg, 1);
  arriba->addWidget(LedVdd);
  auto* gauge = new QHBoxLayout;
  gauge->addWidget(pr);
  gauge->addWidget(porcentage, 1);
  auto* botones = new QHBoxLayout;
  botones->addWidget(ToolBar1, 1);
  botones->addWidget(cancelar);
  botones->addWidget(Ok);
  auto* l = new QVBoxLayout(this);
  l->addLayout(arriba);
  l->addLayout(gauge);
  l->addWidget(memo, 1);
  l->addLayout(botones);
  l->addWidget(Status);

  connect(cancelar, &QToolButton::clicked, this, &TFAcciones::cancelarClick);
  connect(Ok, &QPushButton::clicked, this, &TFAcciones::OkClick);
  connect(closw, &QCheckBox::clicked, this, &TFAcciones::closwClick);
  connect(Timer1, &QTimer::timeout, this, &TFAcciones::Timer1Timer);
  connect(memo, &QPlainTextEdit::textChanged, this, &TFAcciones::memoChange);
  connect(Copiar1, &QAction::triggered, this, &TFAcciones::Copiar1Click);
  connect(PopupMenu1, &QMenu::aboutToShow, this, &TFAcciones::PopupMenu1Change);
  connect(memo, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { PopupMenu1->popup(memo->mapToGlobal(p)); });

  IndicadorVdd = [this](uint32_t rgb) { PonLed(rgb); };
  // Native USB is reached through this window's runs: its link is installed
  // with the window, once for the program.
  InstalaUsbFirmware();
  if (!FAcciones) FAcciones = this;
}

TFAcciones::~TFAcciones() {
  Timer1->stop();
  if (instalada_) PonInterfazOperacion(anterior_);
  IndicadorVdd = nullptr;
  if (FAcciones == this) FAcciones = nullptr;
}

int TFAcciones::ShowModal() {
  arrancada_ = false;
  return exec();
}

std::string TFAcciones::DiAccion() const { return TextoAccion(TipoAccion); }

void TFAcciones::AplicaIdioma() {
  std::vector<std::string> partes;
  std::stringstream ss(TextoIdioma("Acciones*", "***"));
  for (std::string p; std::getline(ss, p, '|');) partes.push_back(p);
  if (partes.size() >= 4) {
    cancelar->setText(Q(partes[0]));
    Ok->setText(Q(partes[1]));
    closw->setText(Q(partes[2]));
    pr->setText(Q(partes[3]));
  }
}

// --- The operation interface ------------------------------------------------------

void EscribeSinCaja(const std::string& texto) {
  std::string t = texto;
  std::replace(t.begin(), t.end(), '\r', '\n');
  std::fprintf(stderr, "%s\n", t.c_str());
  std::fflush(stderr);
}

bool TFAcciones::NadieEspera() const { return CierrePedido() || (SinEspera && SinEspera()); }

void TFAcciones::Mensaje(const std::string& texto) {
  // Nobody will answer a box once the program is closing: the log keeps it.
  if (CierrePedido()) return Log(texto);
  // Nobody watches an unattended batch: the log and standard error keep it,
  // and AlMensaje still records it.
  if (NadieEspera()) {
    Log(texto);
    EscribeSinCaja(texto);
    if (AlMensaje) AlMensaje(texto);
    return;
  }
  const bool apagada = ReposoParaCaja();
  if (AlMensaje) AlMensaje(texto);
  else QMessageBox::information(this, windowTitle(), Q(texto));
  TrasCaja(apagada);
}

TRespuesta TFAcciones::Pregunta(const std::string& texto, bool conCancelar) {
  if (NadieEspera()) {
    // The safe answer: what any answer but Yes does (Cancel where the
    // question has a third button).
    Log(texto);
    if (!CierrePedido()) EscribeSinCaja(texto);
    return conCancelar ? TRespuesta::Cancelar : TRespuesta::No;
  }
  const bool apagada = ReposoParaCaja();
  TRespuesta r;
  if (AlPreguntar) {
    r = AlPreguntar(texto, conCancelar);
  } else {
    auto botones = QMessageBox::Yes | QMessageBox::No;
    if (conCancelar) botones |= QMessageBox::Cancel;
    const auto porDefecto = porDefectoNo_ ? QMessageBox::No : QMessageBox::NoButton;
    switch (QMessageBox::question(this, windowTitle(), Q(texto), botones, porDefecto)) {
      case QMessageBox::Yes: r = TRespuesta::Si; break;
      case QMessageBox::No: r = TRespuesta::No; break;
      default: r = TRespuesta::Cancelar; break;
    }
  }
  TrasCaja(apagada);
  return r;
}

bool TFAcciones::ReposoParaCaja() {
  if (!alimentada_) return false;
  PinesReposo();
  VddOff();
  alimentada_ = false;
  return true;
}

void TFAcciones::TrasCaja(bool apagada) {
  // A cancelled run only has its tail left, which powers nothing.
  if (!apagada || Cancelado) return;
  VddOn();
  alimentada_ = true;
}

TRespuesta TFAcciones::PreguntaNo(const std::string& texto) {
  porDefectoNo_ = true;
  const TRespuesta r = Pregunta(texto, false);
  porDefectoNo_ = false;
  return r;
}

void TFAcciones::Log(const std::string& linea) {
  memo->appendPlainText(Q(linea));
  if (AlLog) AlLog(linea);
}

void TFAcciones::CambiaUltimaLinea(const std::string& linea) {
  if (memo->document()->isEmpty()) return Log(linea);
  if (AlLog) AlLog(linea);
  QTextCursor c(memo->document());
  c.movePosition(QTextCursor::End);
  c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  c.insertText(Q(linea));
}

void TFAcciones::Progreso(uint32_t posicion, uint32_t maximo) {
  const uint64_t p = maximo ? uint64_t{posicion} * 100 / maximo : 0;
  porcentage->setValue(static_cast<int>(p > 100 ? 100 : p));
}

void TFAcciones::ColorProgreso(TColorProgreso color) {
  switch (color) {
    case TColorProgreso::Rojo: return PonColorGauge("red");
    case TColorProgreso::Lima: return PonColorGauge("lime");
    case TColorProgreso::Amarillo: return PonColorGauge("yellow");
  }
}

void TFAcciones::Panel(int indice, const std::string& texto) {
  TKvStatusPane* paneles[] = {KvStatusPane, KvStatusPanel1, KvStatusPanel2, KvStatusPanel3};
  if (indice >= 0 && indice < 4) paneles[indice]->SetCaption(Q(texto));
}

void TFAcciones::ProcesaMensajes() { QCoreApplication::processEvents(); }

void TFAcciones::PonColorGauge(const char* color) {
  porcentage->setStyleSheet(QString("QProgressBar::chunk { background-color: %1; }").arg(color));
}

void TFAcciones::PonLed(uint32_t rgb) {
  LedVdd->SetColor(QColor::fromRgb(rgb));
}

// --- Events ------------------------------------------------------------------------

void TFAcciones::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormShow();
  if (arrancada_) return;
  arrancada_ = true;
  QTimer::singleShot(0, this, &TFAcciones::FormActivate);
}

void TFAcciones::FormShow() { mostrada_ = true; }
void TFAcciones::FormClose() { mostrada_ = false; }

void TFAcciones::closeEvent(QCloseEvent* e) {
  if (enEjecucion_) {
    // Never close with the engine still on the stack: cancel, and let the
    // run end and clean up first.
    Cancelado = true;
    ResultadoAccion = ResultadoNoHecho;
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}

void TFAcciones::reject() {
  if (enEjecucion_) {
    Cancelado = true;
    ResultadoAccion = ResultadoNoHecho;
    return;
  }
  QDialog::reject();
}

void TFAcciones::done(int r) {
  if (enEjecucion_) {
    Cancelado = true;
    ResultadoAccion = ResultadoNoHecho;
    return;
  }
  Timer1->stop();
  FormClose();
  if (instalada_) {
    PonInterfazOperacion(anterior_);
    instalada_ = false;
  }
  QDialog::done(r);
}

void TFAcciones::cancelarClick() {
  Cancelado = true;
  ResultadoAccion = ResultadoNoHecho;
  if (!enEjecucion_) close();
}

void TFAcciones::OkClick() {
  if (!enEjecucion_) accept();
}

void TFAcciones::Timer1Timer() {
  Timer1->stop();
  // A run in progress owns the link: a late tick must not close it.
  if (enEjecucion_) return;
  CierraPuerto(USB_);
  close();
}

void TFAcciones::closwClick() {}

void TFAcciones::memoChange() {
  if (mostrada_) Status->setFocus();
}

void TFAcciones::Copiar1Click() {
  memo->selectAll();
  memo->copy();
  PopupMenu1Change();
}

void TFAcciones::PopupMenu1Change() {
  // Scrolls the log to its end.
  memo->moveCursor(QTextCursor::End);
  memo->ensureCursorVisible();
}

// --- The run ------------------------------------------------------------------------

void TFAcciones::Termina() {
  enEjecucion_ = false;
  if (AlTerminar) AlTerminar();
  // A program that is closing waits neither for Ok nor for Timer1.
  if (CierrePedido()) Timer1Timer();
}

void TFAcciones::Para() {
  ResultadoAccion = ResultadoNoHecho;
  Ok->setEnabled(true);
  Ok->setFocus();
  Timer1->start();
  Termina();
}

void TFAcciones::InformaFalloPuerto() {
  const std::string error = UltimoErrorPuerto();
  if (error.empty()) return;
  Mensaje(error);
  Log(error);
  if (ResultadoAccion == 0) ResultadoAccion = ErrHardware;
}

void TFAcciones::Cola() {
  if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  QCursor::setPos(QCursor::pos());
  ProcesaMensajes();
  SaleProgramacion();
  VddOff();
  alimentada_ = false;
  Ok->setEnabled(true);
  Ok->setFocus();
  if (TipoAccion != AccLeer) cancelar->setEnabled(false);
  if (closw->isChecked() || Cancelado) Timer1->start();
  PonPines_END();
  // Lines that could not be brought to rest matter even after an action
  // that succeeded; a run that failed has said why already.
  if (ResultadoAccion == 0) InformaFalloPuerto();
  CierraPuerto(USB_);
  Termina();
}

bool TFAcciones::SigueConOtraParte(const TModel& model) {
  const uint8_t otra = OtraParteEnZocalo(model);
  if (otra == 255) return true;
  // A read or a verify changes nothing in the part: it only says so.
  if (TipoAccion != AccProgramar && TipoAccion != AccBorrar) {
    Log(" " + TextoOtraParte(otra, true));
    return true;
  }
  // Programming or erasing with the selected part's sizes and commands can
  // destroy what the other part keeps (an erase saves only the selected
  // part's calibration words): the user decides, No by default, and a
  // batch never goes on.
  if (!Desatendida && PreguntaNo(PreguntaOtraParte(otra)) == TRespuesta::Si) {
    Log(" " + TextoOtraParte(otra, true));
    return true;
  }
  const std::string texto = TextoOtraParte(otra, false);
  Log(" " + texto);
  if (Desatendida) Mensaje(texto);
  return false;
}

void TFAcciones::FormActivate() {
  if (enEjecucion_) return;
  // A timer left from the last run must never close this run's link.
  Timer1->stop();
  enEjecucion_ = true;
  alimentada_ = false;
  Cancelado = false;
  if (!instalada_) {
    anterior_ = PonInterfazOperacion(this);
    instalada_ = true;
  }
  // The supply indicator shows what this run does to the supply.
  PonLed(ColorVddOff);

  // 1-4: window state for the run.
  Ok->setEnabled(true);
  Ok->setFocus();
  cancelar->setEnabled(false);
  const bool clase0 = ClaseDispositivo != 1 && ClaseDispositivo != 2;
  Zocalo2 = false;
  if (Usa_Vpp2) {
    if (ClaseDispositivo == 1)
      Zocalo2 = DaZocalo(IndiceListPicsC) != 0;
    else if (clase0)
      Zocalo2 = DaZocalo(IndiceListPics) != 0;
  }
  std::string titulo = DiAccion();
  KvStatusPanel2->SetCaption(QString());
  if (TipoAccion != AccIdentificar && TipoAccion != AccHardware) titulo += " - " + PicActual.Nombre;
  msg->setText(Q(titulo));
  ResultadoAccion = 0;
  memo->clear();
  porcentage->setRange(0, 100);
  porcentage->setValue(0);
  PonColorGauge("lime");

  // 5: a profile.
  if (PerfilHardware.empty()) {
    Mensaje(Err("31*"));
    return Para();
  }

  // 6: the link of the firmware programmer. A pin-level port, parallel or
  // serial, is claimed by the first line change and checked by the
  // hardware check: opening a tty raises DTR and RTS, which must not happen
  // before the user has agreed to the operation.
  const bool nativo = USB_COM && USB_;
  if (USB_COM) {
    ProcesaMensajes();
    if (USB_COM && !USB_) {
      if (ADDR_USB_COM.empty()) {
        Mensaje(Err("32*"));
        return Para();
      }
      Log(" " + TextosEntorno[7] + " " + ADDR_USB_COM);
    } else if (nativo) {
      if (ADDR_USB_.empty()) {
        Mensaje(Err("33*"));
        return Para();
      }
      Log(" " + TextosEntorno[7] + " Quell-USB #" + std::to_string(NumeroPid()) + " " + ADDR_USB_);
    }
    if (!AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true)) {
      CierraPuerto(USB_);
      return Para();
    }
  }

  // 7: the confirmation touches nothing when answered No.
  if (OpcPMsgs && (TipoAccion == AccProgramar || TipoAccion == AccBorrar)) {
    const std::string q = " " + TextosEntorno[8] + " -> " + DiAccion() + " " + TextosEntorno[9] + " ";
    if (Pregunta(q, false) != TRespuesta::Si) {
      CierraPuerto(USB_);
      return Para();
    }
  }

  // A pin-level profile with a line outside its port would write the idle
  // levels to some other device: refuse it before any line moves.
  if (!USB_COM && !PerfilPinesValido()) {
    CierraPuerto(USB_);
    return Para();
  }

  // 8-9: power and the hardware check (the hardware test is that check).
  SombraBase = 0;
  UltimoErrorPuerto();  // only this run's port failures count
  PinesReposo();
  VddOn();
  alimentada_ = true;
  if (USB_COM) ResetProgramador();
  Ok->setEnabled(false);
  ProcesaMensajes();
  cancelar->setEnabled(true);
  if (!CompruebaHardware()) {
    ResultadoAccion = ResultadoNoHecho;
    return Cola();
  }
  if (TipoAccion == AccHardware) return Cola();

  // 10: the link in the status bar.
  if (nativo)
    KvStatusPanel1->SetCaption("Full-speed USB");
  else if (USB_COM)
    KvStatusPanel1->SetCaption("115.200 bps");
  else
    KvStatusPanel1->SetCaption(Q(" Clock - " + std::to_string(MedioBitUs) + " us"));

  // 11: identification, before every action on class 0. A baseline 10F
  // has no device ID, and the 14-bit, dsPIC and PIC18 ID sequences clocked
  // into it can be taken for its bulk erase, which also takes its OSCCAL:
  // a selected 10F is probed only when identifying is the action itself.
  if (clase0 && (PicActual.Familia != 10 || TipoAccion == AccIdentificar)) {
    TModel model;
    DetectaPic(model);
    if (Usa_Vpp2 && TipoAccion != AccIdentificar) {
      // A part of the large socket answering while a small-socket part is
      // selected: the user decides. Only a named part has a socket: the
      // index of a failed detection is the 16F84's.
      const bool responde = model.Encontrado && DaZocalo(model.Indice) != 0;
      if (!Zocalo2 && responde &&
          Pregunta(Err("34*") + "\r" + Err("35*") + "\r" + Err("36*"), false) != TRespuesta::Si) {
        ResultadoAccion = ResultadoNoHecho;
        return Cola();
      }
    }
    if (TipoAccion != AccIdentificar && !SigueConOtraParte(model)) {
      ResultadoAccion = ResultadoNoHecho;
      Cola();
      Timer1->start();
      return;
    }
    // Identifying is the action itself: naming no part is its failure.
    if (TipoAccion == AccIdentificar && !model.Encontrado) ResultadoAccion = ResultadoNoHecho;
    // A data line that never moved while a part with a device ID was looked
    // for is a dead port or an empty socket: clocking the whole action into
    // it would only end in a misleading verify or a blank image.
    if (model.LineaQuieta && TipoAccion != AccIdentificar) {
      MuestraError(ContextoError, ErrHardware);
      ResultadoAccion = ResultadoNoHecho;
      return Cola();
    }
  }

  // 12: the action.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  PinesReposo();
  if (Cancelado) {
    ResultadoAccion = ResultadoNoHecho;
    return Cola();
  }
  if (TipoAccion == AccIdentificar) {
    porcentage->setRange(0, 100);
    Timer1->stop();
    PonColorGauge("yellow");
    porcentage->setValue(100);
  } else {
    ResultadoAccion = DespachaAccion();
    EntraProgramacion();
  }
  if (Cancelado) ResultadoAccion = ResultadoNoHecho;
  // Whatever the engine made of the bits of a dead port, the run failed.
  InformaFalloPuerto();

  // 13: the tail.
  Cola();
}
