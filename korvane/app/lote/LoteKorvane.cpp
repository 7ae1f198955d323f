#include "LoteKorvane.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <xcb/xcb.h>

#include "Acciones.h"
#include "ColCombo.h"
#include "forms/pg_acciones.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_pic.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// While the window loads the batch's file, the reader's messages (a bad
// record, a file that cannot be read) are the batch's to record and show.
class TCapturaCarga final : public TInterfazOperacion {
public:
  TCapturaCarga(TLoteKorvane& lote, TFormKorvane& ventana)
      : lote_(lote), ventana_(ventana), anterior_(PonInterfazOperacion(this)) {}
  ~TCapturaCarga() override { PonInterfazOperacion(anterior_); }
  void Mensaje(const std::string& texto) override {
    lote_.Anota(texto);
    ventana_.Dialogos().Mensaje(&ventana_, Q(texto));
  }
  TRespuesta Pregunta(const std::string& texto, bool conCancelar) override {
    return anterior_ ? anterior_->Pregunta(texto, conCancelar) : TRespuesta::Si;
  }
  void Log(const std::string& linea) override {
    if (anterior_) anterior_->Log(linea);
  }
  void ProcesaMensajes() override {
    if (anterior_) anterior_->ProcesaMensajes();
  }

private:
  TLoteKorvane& lote_;
  TFormKorvane& ventana_;
  TInterfazOperacion* anterior_;
};

}  // namespace

TLoteKorvane::TLoteKorvane(TFormKorvane& ventana, std::vector<std::string> argumentos)
    : ventana_(ventana), lote_(*this, std::move(argumentos)), espera_(new QTimer(this)) {
  espera_->setSingleShot(true);
  espera_->setInterval(TLote::EsperaMs);
  connect(espera_, &QTimer::timeout, this, &TLoteKorvane::Continua);
  ventana_.ManejadorArranque = [this](TFormKorvane&) { Arranca(); };
  // A program closed before its batch ended still says so.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
    if (lote_.Terminado()) return;
    lote_.Interrumpe();
    EscribeResultado();
  });
}

TLoteKorvane::~TLoteKorvane() {
  Desengancha();
  ventana_.ManejadorArranque = nullptr;
}

void TLoteKorvane::Arranca() {
  arrancado_ = true;
  // Asked to close during the window's start-up (its port box open).
  if (cerrando_) return CierraVentana();
  if (lote_.ConArgumentos() && FAcciones) {
    // The operation window's boxes are the batch's to record, its log
    // goes to standard output, the result line is written as soon as the
    // run is over, before the window waits for Ok, and what the run alone
    // can decide it decides without asking.
    mensajeOperacion_ = FAcciones->AlMensaje;
    enganchado_ = true;
    FAcciones->Desatendida = true;
    FAcciones->SinEspera = [this] { return SinEspera(); };
    FAcciones->AlMensaje = [this, previo = mensajeOperacion_](const std::string& texto) {
      Anota(texto);
      // Unattended, the window has written it out already.
      if (SinEspera()) return;
      if (previo) previo(texto);
      else ventana_.Dialogos().Mensaje(FAcciones, Q(texto));
    };
    FAcciones->AlLog = [](const std::string& linea) {
      std::fprintf(stdout, "%s\n", linea.c_str());
      std::fflush(stdout);
    };
    FAcciones->AlTerminar = [this] {
      if (!enAccion_) return;
      lote_.FinAccion(ResultadoAccion);
      EscribeResultado();
    };
  }
  ++enPaso_;
  const bool esperar = lote_.Inicia();
  --enPaso_;
  if (lote_.Terminado()) return Fin();
  if (esperar && !cerrando_) return espera_->start();
  Continua();
}

void TLoteKorvane::Continua() {
  ++enPaso_;
  lote_.Continua();
  --enPaso_;
  Fin();
}

void TLoteKorvane::Fin() {
  EscribeResultado();
  Desengancha();
  // Unattended, a batch that failed closes too: the script gets its status.
  if (cerrando_ || lote_.DebeCerrar() || (Desatendido() && lote_.Terminado())) CierraVentana();
}

bool TLoteKorvane::Desatendido() const {
  return arrancado_ && lote_.ConArgumentos() && lote_.Comand().Salir && !OpcPMsgs && FAcciones &&
         FAcciones->closw->isChecked();
}

void TLoteKorvane::Desengancha() {
  if (!FAcciones || !enganchado_) return;
  FAcciones->AlMensaje = mensajeOperacion_;
  FAcciones->AlLog = nullptr;
  FAcciones->AlTerminar = nullptr;
  FAcciones->Desatendida = false;
  FAcciones->SinEspera = nullptr;
  mensajeOperacion_ = nullptr;
  enganchado_ = false;
}

void TLoteKorvane::EscribeResultado() {
  if (resultadoEscrito_ || !lote_.ConArgumentos() || !lote_.Terminado()) return;
  resultadoEscrito_ = true;
  const std::string linea = lote_.LineaResultado();
  if (AlResultado) return AlResultado(linea);
  std::fprintf(stderr, "%s\n", linea.c_str());
  std::fflush(stderr);
}

void TLoteKorvane::CierraVentana() {
  QTimer::singleShot(0, &ventana_, [this] { ventana_.close(); });
}

void TLoteKorvane::CierraComoUsuario() {
  if (!cerrando_) {
    // What the close cuts short: a run, or a box that waits for an answer
    // (the operation window idle after its run waits for nothing).
    QWidget* modal = QApplication::activeModalWidget();
    interrumpido_ = (FAcciones && FAcciones->EnEjecucion()) || (modal && modal != FAcciones);
  }
  cerrando_ = true;
  // From here on no box waits for an answer (the engine's cancel report
  // included): see CierrePedido.
  PonCierrePedido(true);
  espera_->stop();
  if (!lote_.Terminado()) {
    lote_.Interrumpe();
    EscribeResultado();
  }
  // Boxes and windows over the main window close as their close button
  // would close them (an operation that runs is cancelled).
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &ventana_ && w->isVisible()) w->close();
  // A step of the batch still returning closes the window at its end; so
  // does the start handler, still to come while the window starts up.
  if (enPaso_ > 0 || !arrancado_) return;
  // An operation stays until its clean-up has brought the hardware to rest.
  if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
    connect(modal, &QDialog::finished, this, &TLoteKorvane::CierraComoUsuario,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    return;
  }
  ventana_.close();
}

void TLoteKorvane::Anota(const std::string& texto) {
  if (lote_.ConArgumentos() && !lote_.Terminado()) ultimoFallo_ = texto;
}

// --- Steps ------------------------------------------------------------------------

void TLoteKorvane::SeleccionaFamiliaFlash() {
  ventana_.SelecDev->SetItemIndex(ClaseFlash);
  ventana_.SelecDevChange();
}

TPasosLote::TDeteccion TLoteKorvane::Detecta() {
  ultimoFallo_.clear();
  IndiceDetectado = 255;
  ResultadoAccion = ResultadoNoHecho;  // a run that never started failed
  ventana_.MDtModelClick();
  TDeteccion d;
  d.Resultado = ResultadoAccion;
  // Only a part the ID tables named (the identification's found flag, which
  // sets IndiceDetectado) and that the list now shows counts; a chip that
  // merely answered names nothing.
  d.Encontrado = IndiceDetectado < NumListPics && IndiceListPics == IndiceDetectado;
  if (d.Encontrado) {
    d.Indice = IndiceDetectado;
    d.Nombre = DaNombreDispositivo(ClaseFlash, IndiceDetectado);
  } else if (ultimoFallo_.empty()) {
    // The run itself went through and only named no part: the batch says so.
    d.Resultado = 0;
  }
  return d;
}

bool TLoteKorvane::AutoSeleccion() const { return OpcAutoSel; }
bool TLoteKorvane::AutoPic() const { return OpcAutoPic; }
void TLoteKorvane::PonAutoPic(bool valor) { OpcAutoPic = valor; }
uint8_t TLoteKorvane::BuscaDispositivo(const std::string& nombre) { return BuscaPic(nombre); }

void TLoteKorvane::SeleccionaDispositivo(uint8_t indice) {
  ventana_.ListPics->SetItemIndex(indice);
  ventana_.ListPicsChange();
}

std::string TLoteKorvane::DispositivoActual() const {
  if (ClaseDispositivo != ClaseFlash) return {};
  return DaNombreDispositivo(ClaseFlash, IndiceListPics);
}

bool TLoteKorvane::CargaArchivo(const std::string& archivo) {
  ultimoFallo_.clear();
  bool cargado = false;
  {
    TCapturaCarga captura(*this, ventana_);
    cargado = ventana_.CargaArchivo(archivo);
  }
  if (cargado) {
    const std::string carpeta = std::filesystem::path(archivo).parent_path().string();
    if (!carpeta.empty()) ventana_.InitDir = carpeta + "/";
  }
  return cargado;
}

uint8_t TLoteKorvane::Accion(void (TFormKorvane::*orden)()) {
  ultimoFallo_.clear();
  ResultadoAccion = ResultadoNoHecho;
  enAccion_ = true;
  (ventana_.*orden)();
  enAccion_ = false;
  return ResultadoAccion;
}

uint8_t TLoteKorvane::Programa() { return Accion(&TFormKorvane::MProgramarClick); }
uint8_t TLoteKorvane::Verifica() { return Accion(&TFormKorvane::MVerificarClick); }

void TLoteKorvane::Mensaje(const std::string& texto) { ventana_.Dialogos().Mensaje(&ventana_, Q(texto)); }

// --- Modal parts during a batch -------------------------------------------------------

TDialogosLote::TDialogosLote(std::unique_ptr<TDialogosKorvane> interior, TLoteKorvane& lote, bool sinEspera)
    : interior_(std::move(interior)), lote_(&lote), sinEspera_(sinEspera) {}

void TDialogosLote::Mensaje(QWidget* padre, const QString& texto) {
  if (lote_ && lote_->EnLote()) lote_->Anota(texto.toStdString());
  if (NadieEspera()) return EscribeSinCaja(texto.toStdString());
  if (lote_ && lote_->EnLote() && sinEspera_) {
    // Shown beside the window, which stays open showing why the batch
    // stopped; the batch goes on to its result line.
    auto* caja = new QMessageBox(QMessageBox::Information, QStringLiteral("Korvane"), texto, QMessageBox::Ok,
                                 &lote_->Ventana());
    caja->setAttribute(Qt::WA_DeleteOnClose);
    caja->setModal(false);
    caja->show();
    return;
  }
  interior_->Mensaje(padre, texto);
}
// Unattended (also after the batch, while the program closes, its settings
// saved), every other modal part takes the answer it takes when the
// program is closing: No, the first choice, no file, Cancel.
bool TDialogosLote::NadieEspera() const { return lote_ && lote_->Desatendido(); }
bool TDialogosLote::Pregunta(QWidget* padre, const QString& texto) {
  if (!NadieEspera()) return interior_->Pregunta(padre, texto);
  EscribeSinCaja(texto.toStdString());
  return false;
}
int TDialogosLote::Elige(QWidget* padre, const QString& texto, const QStringList& opciones) {
  if (!NadieEspera()) return interior_->Elige(padre, texto, opciones);
  EscribeSinCaja(texto.toStdString());
  return 0;
}
QString TDialogosLote::AbreArchivo(QWidget* padre, const QString& carpeta, const QString& filtro) {
  return NadieEspera() ? QString() : interior_->AbreArchivo(padre, carpeta, filtro);
}
QString TDialogosLote::GuardaArchivo(QWidget* padre, const QString& carpeta, const QString& filtro, QString* elegido) {
  return NadieEspera() ? QString() : interior_->GuardaArchivo(padre, carpeta, filtro, elegido);
}
int TDialogosLote::Modal(QDialog& dialogo) { return NadieEspera() ? int(QDialog::Rejected) : interior_->Modal(dialogo); }
int TDialogosLote::Operacion() { return interior_->Operacion(); }

// --- Signals ----------------------------------------------------------------------------

namespace {

int tuberia[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void AlSenal(int senal) {
  const int e = errno;
  const unsigned char c = static_cast<unsigned char>(senal);
  const ssize_t escritos = write(tuberia[1], &c, 1);
  (void)escritos;
  errno = e;
}

}  // namespace

TSenalesCierre::TSenalesCierre(QObject* parent) : QObject(parent) {
  if (tuberia[0] < 0 && pipe2(tuberia, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notificador_ = new QSocketNotifier(tuberia[0], QSocketNotifier::Read, this);
  connect(notificador_, &QSocketNotifier::activated, this, &TSenalesCierre::Lee);
  struct sigaction sa {};
  sa.sa_handler = AlSenal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

TSenalesCierre::~TSenalesCierre() {
  if (filtro_) QCoreApplication::instance()->removeNativeEventFilter(filtro_.get());
  if (!notificador_) return;
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}

namespace {

// The window manager asks a window to close with a WM_PROTOCOLS client
// message carrying WM_DELETE_WINDOW. The toolkit drops it while a modal
// window blocks the addressee; for the main window it is taken here.
class TCierreX11 final : public QAbstractNativeEventFilter {
public:
  TCierreX11(QWidget& ventana, xcb_connection_t* c, std::function<void()> alCerrar)
      : ventana_(ventana), alCerrar_(std::move(alCerrar)) {
    protocolos_ = Atomo(c, "WM_PROTOCOLS");
    cerrar_ = Atomo(c, "WM_DELETE_WINDOW");
  }
  bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) override {
    if (tipo != "xcb_generic_event_t" || protocolos_ == XCB_NONE) return false;
    const auto* e = static_cast<const xcb_generic_event_t*>(mensaje);
    if ((e->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e);
    if (m->format != 32 || m->type != protocolos_ || m->data.data32[0] != cerrar_) return false;
    const QWindow* w = ventana_.windowHandle();
    // Unblocked, the window's own close handles it.
    if (!w || m->window != w->winId() || !QGuiApplication::modalWindow()) return false;
    alCerrar_();
    return true;
  }

private:
  static xcb_atom_t Atomo(xcb_connection_t* c, const char* nombre) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(nombre)), nombre), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    std::free(r);
    return a;
  }
  QWidget& ventana_;
  std::function<void()> alCerrar_;
  xcb_atom_t protocolos_ = XCB_NONE, cerrar_ = XCB_NONE;
};

}  // namespace

void TSenalesCierre::VigilaVentana(QWidget& ventana) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  // Other platforms (offscreen has the interface without a connection)
  // deliver their close as they do.
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c || filtro_) return;
  filtro_ = std::make_unique<TCierreX11>(ventana, c, [this] { emit Recibida(0); });
  QCoreApplication::instance()->installNativeEventFilter(filtro_.get());
}

void TSenalesCierre::Lee() {
  unsigned char c = 0;
  while (read(tuberia[0], &c, 1) == 1) emit Recibida(c);
}
