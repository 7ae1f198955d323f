#include "Korvane.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <cstdio>
#include <system_error>

#include "Acciones.h"
#include "ArrowBtn.h"
#include "ColCombo.h"
#include "HexEdit.h"
#include "KvPanel.h"
#include "KvStatus.h"
#include "TransBtn.h"
#include "AjustesKorvane.h"
#include "CarpetaPrograma.h"
#include "Comand.h"
#include "Idiomas.h"
#include "PaginaConf.h"
#include "RegAuto.h"
#include "RejillaHex.h"
#include "dialogos/Dialogos.h"
#include "flash/pg_flash.h"
#include "forms/pg_acciones.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_hex24.h"
#include "pg_idioma.h"

namespace fs = std::filesystem;

uint8_t Arrancando = 0;
bool OpcVDurante = true;
bool OpcAutoPic = true;
bool OpcAutoSel = false;
bool OpcReabrir = false;
fs::file_time_type FechaArchivo{};
std::string TextoBusqueda;
TFormKorvane* FormKorvane = nullptr;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// The file's modification time; the epoch when it cannot be read.
fs::file_time_type FechaDe(const std::string& nombre) {
  std::error_code ec;
  const auto t = fs::last_write_time(nombre, ec);
  return ec ? fs::file_time_type{} : t;
}

std::string CarpetaDe(const std::string& nombre) {
  const std::string c = fs::path(nombre).parent_path().string();
  return c.empty() ? c : c + "/";
}

// A name typed without an extension takes the one of the chosen file type
// ("BIN (*.bin *.BIN)" gives ".bin"), so that the file is written in that
// type and the open dialog's filter shows it; a typed extension stays and
// decides the format. The type "*" adds nothing.
std::string ConExtensionDelTipo(const std::string& nombre, const QString& tipo) {
  if (nombre.empty() || !fs::path(nombre).extension().empty()) return nombre;
  static const QRegularExpression patron(QStringLiteral("\\(\\*(\\.[^ )*]+)"));
  const QRegularExpressionMatch m = patron.match(tipo);
  return m.hasMatch() ? nombre + S(m.captured(1)) : nombre;
}

bool EsDsPic() { return PicActual.Familia == 30 && ClaseDispositivo == ClaseFlash; }

// On an installed program (folder not writable) the shipped profiles are
// copied once into the user's folder, where the profile editor can change
// and delete them.
void SiembraPerfiles() {
  std::error_code ec;
  const fs::path origen = CarpetaPrograma() + "Hardware";
  if (!fs::is_directory(origen, ec)) return;
  for (const auto& e : fs::directory_iterator(origen, ec)) {
    const std::string relativo = "Hardware/" + e.path().filename().string();
    const std::string destino = RutaEscritura(relativo);
    if (fs::path(destino) == e.path() || fs::exists(destino, ec)) continue;
    fs::create_directories(fs::path(destino).parent_path(), ec);
    fs::copy_file(e.path(), destino, ec);
  }
}

// While the window reads or writes a file, what the file routines say (a
// bad record, a file that cannot be read or written) and ask (a raw image
// larger than the part) reaches the user through the window's boxes. A
// listener already in place (a batch run recording the outcome) keeps them.
class TAvisosArchivo final : public TInterfazOperacion {
public:
  explicit TAvisosArchivo(TFormKorvane& ventana) : ventana_(ventana) {
    TInterfazOperacion* previa = PonInterfazOperacion(this);
    if (previa) PonInterfazOperacion(previa);
    instalada_ = previa == nullptr;
  }
  ~TAvisosArchivo() override {
    if (instalada_) PonInterfazOperacion(nullptr);
  }
  TAvisosArchivo(const TAvisosArchivo&) = delete;
  TAvisosArchivo& operator=(const TAvisosArchivo&) = delete;
  void Mensaje(const std::string& texto) override { ventana_.Dialogos().Mensaje(&ventana_, Q(texto)); }
  TRespuesta Pregunta(const std::string& texto, bool) override {
    return ventana_.Dialogos().Pregunta(&ventana_, Q(texto)) ? TRespuesta::Si : TRespuesta::No;
  }

private:
  TFormKorvane& ventana_;
  bool instalada_ = false;
};

}  // namespace

// --- Modal parts -------------------------------------------------------------------

// Once the program is closing nobody answers a box: a message goes to
// standard error, a question is answered No, a choice takes its default,
// and no dialog or operation starts.
void TDialogosKorvane::Mensaje(QWidget* padre, const QString& texto) {
  if (CierrePedido()) return EscribeSinCaja(texto.toStdString());
  QMessageBox::information(padre, QStringLiteral("Korvane"), texto);
}
bool TDialogosKorvane::Pregunta(QWidget* padre, const QString& texto) {
  if (CierrePedido()) return false;
  return QMessageBox::question(padre, QStringLiteral("Korvane"), texto) == QMessageBox::Yes;
}
int TDialogosKorvane::Elige(QWidget* padre, const QString& texto, const QStringList& opciones) {
  if (CierrePedido()) return 0;
  QMessageBox caja(QMessageBox::Question, QStringLiteral("Korvane"), texto, QMessageBox::NoButton, padre);
  std::vector<QAbstractButton*> botones;
  for (const QString& o : opciones) botones.push_back(caja.addButton(o, QMessageBox::AcceptRole));
  if (!botones.empty()) caja.setDefaultButton(static_cast<QPushButton*>(botones.front()));
  caja.exec();
  for (std::size_t i = 0; i < botones.size(); ++i)
    if (caja.clickedButton() == botones[i]) return static_cast<int>(i);
  return 0;
}
QString TDialogosKorvane::AbreArchivo(QWidget* padre, const QString& carpeta, const QString& filtro) {
  if (CierrePedido()) return {};
  const auto d = DialogoArchivo(padre, carpeta, filtro, false);
  return d->exec() == QDialog::Accepted ? d->selectedFiles().value(0) : QString();
}
QString TDialogosKorvane::GuardaArchivo(QWidget* padre, const QString& carpeta, const QString& filtro,
                                        QString* elegido) {
  if (CierrePedido()) return {};
  const auto d = DialogoArchivo(padre, carpeta, filtro, true);
  if (elegido && !elegido->isEmpty()) d->selectNameFilter(*elegido);
  if (d->exec() != QDialog::Accepted) return {};
  if (elegido) *elegido = d->selectedNameFilter();
  return d->selectedFiles().value(0);
}
int TDialogosKorvane::Modal(QDialog& dialogo) { return CierrePedido() ? int(QDialog::Rejected) : dialogo.exec(); }
int TDialogosKorvane::Operacion() {
  if (!FAcciones || CierrePedido()) {
    ResultadoAccion = ResultadoNoHecho;
    return QDialog::Rejected;
  }
  return FAcciones->ShowModal();
}

// --- Construction ----------------------------------------------------------------

TFormKorvane::TFormKorvane(QWidget* parent) : QMainWindow(parent) {
  Arrancando = 1;
  setObjectName("FormKorvane");
  if (!FormKorvane) FormKorvane = this;
  ini_ = std::make_unique<TRegAuto>();
  ini_->AutoMode = false;
  ini_->Storage = raIniFile;
  ini_->IniFile = kArchivoAjustes;
  dialogos_ = std::make_unique<TDialogosKorvane>();
  if (!FAcciones) new TFAcciones(this);
  CreaComponentes();
  CreaMenus();
  LlenaListas();
  ganchoAnterior_ = PonGanchoDispositivo(this);
  LeeEditor = [this] { LeeEditorEn(BufArchivo); };
  PonEjecutivoConDatos([this] { return Editor_CE->DataNotBlank(); });
  Timer = new QTimer(this);
  Timer->setSingleShot(true);
  Timer->setInterval(50);
  connect(Timer, &QTimer::timeout, this, &TFormKorvane::TimerTimer);
  connect(qApp, &QCoreApplication::aboutToQuit, this, &TFormKorvane::GuardaAlSalir);
  resize(900, 600);
}

TFormKorvane::~TFormKorvane() {
  if (traduccionQt_) QCoreApplication::removeTranslator(traduccionQt_.get());
  delete EditorConf;
  EditorConf = nullptr;
  PonGanchoDispositivo(ganchoAnterior_);
  LeeEditor = nullptr;
  PonEjecutivoConDatos(nullptr);
  if (FormKorvane == this) FormKorvane = nullptr;
}

void TFormKorvane::PonDialogos(std::unique_ptr<TDialogosKorvane> dialogos) { dialogos_ = std::move(dialogos); }

QToolButton* TFormKorvane::Boton(const char* nombre, const QString& texto, QWidget* padre) {
  auto* b = new QToolButton(padre);
  b->setObjectName(nombre);
  b->setText(texto);
  b->setAutoRaise(true);
  return b;
}

QAction* TFormKorvane::Accion(QMenu* menu, const char* nombre, const QString& texto) {
  auto* a = new QAction(texto, this);
  a->setObjectName(nombre);
  if (menu) menu->addAction(a);
  return a;
}

void TFormKorvane::CreaComponentes() {
  auto* central = new QWidget(this);
  auto* v = new QVBoxLayout(central);
  v->setContentsMargins(4, 2, 4, 2);
  v->setSpacing(2);

  // Three rows: files and the device lists; the device commands; the page
  // buttons and the edit commands.
  auto* filaListas = new QHBoxLayout;
  Abrir = new TArrowButton(central);
  Abrir->setObjectName("Abrir");
  Abrir->SetFlat(true);
  Abrir->SetGlyph(style()->standardIcon(QStyle::SP_DialogOpenButton).pixmap(16, 16));
  Reabrir = Boton("Reabrir", "Actualizar", central);
  Reabrir->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  Guardar = Boton("Guardar", "Guardar", central);
  Guardar->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  for (QToolButton* b : {static_cast<QToolButton*>(Abrir), Reabrir, Guardar}) filaListas->addWidget(b);
  filaListas->addSpacing(8);
  // Two columns: the name and the memory; the drop-down shows both.
  auto combo = [&](const char* nombre, int ancho, int desplegado) {
    auto* c = new Korvane_TColumnComboBox(central);
    c->setObjectName(nombre);
    c->setMaxVisibleItems(24);
    const int car = c->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    c->AddColumn(ancho * car);
    c->AddColumn(desplegado - ancho * car);
    c->SetDropWidth(desplegado);
    c->SetGridLines(true);
    c->setMinimumWidth(desplegado);
    c->setMinimumContentsLength(1);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    filaListas->addWidget(c);
    return c;
  };
  const int car = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  SelecDev = combo("SelecDev", 8, 22 * car);
  ListPics = combo("ListPics", 13, 40 * car);
  ListPicsC = combo("ListPicsC", 13, 34 * car);
  ListEeprom = combo("ListEeprom", 10, 28 * car);
  // One device list at a time (SelecDevChange): the others take no room.
  ListPicsC->hide();
  ListEeprom->hide();
  filaListas->addStretch(1);
  v->addLayout(filaListas);

  auto* filaComandos = new QHBoxLayout;
  SLeer = Boton("SLeer", "Leer", central);
  Sprogramar = Boton("Sprogramar", "Programar", central);
  SVerificar = Boton("SVerificar", "Verificar", central);
  BorrarTodo = Boton("BorrarTodo", "Borrar", central);
  DetectPic = Boton("DetectPic", "Detectar", central);
  TestHardw = Boton("TestHardw", "Test", central);
  for (QToolButton* b : {SLeer, Sprogramar, SVerificar, BorrarTodo, DetectPic, TestHardw}) filaComandos->addWidget(b);
  filaComandos->addStretch(1);
  v->addLayout(filaComandos);

  auto* fila = new QHBoxLayout;
  auto pagina = [&](const char* nombre, const char* texto) {
    auto* b = new TTransparentButton(central);
    b->setObjectName(nombre);
    b->SetCaption(texto);
    b->SetFlat(true);
    b->setFixedSize(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")), fontMetrics().height() + 10);
    fila->addWidget(b);
    return b;
  };
  Sprograma = pagina("Sprograma", "Programa");
  SDatos = pagina("SDatos", "Datos");
  Sconfig = pagina("Sconfig", "Config.");
  SCE = pagina("SCE", "EX_CODE");
  Sprograma->SetDown(true);
  fila->addStretch(1);
  B_copiar = Boton("B_copiar", "Copiar", central);
  B_pegar = Boton("B_pegar", "Pegar", central);
  B_cortar = Boton("B_cortar", "Cortar", central);
  B_Llenar = Boton("B_Llenar", "Llenar", central);
  B_Marcas = Boton("B_Marcas", "Marcas", central);
  B_buscar = Boton("B_buscar", "Buscar", central);
  B_buscars = Boton("B_buscars", "Siguiente", central);
  for (QToolButton* b : {B_copiar, B_pegar, B_cortar, B_Llenar, B_Marcas, B_buscar, B_buscars}) fila->addWidget(b);
  v->addLayout(fila);

  Control = new QStackedWidget(central);
  Control->setObjectName("Control");
  Control->setFocusPolicy(Qt::StrongFocus);
  auto rejilla = [&](const char* nombre) {
    auto* r = new THexEditor(Control);
    r->setObjectName(nombre);
    rejillas_.push_back(std::make_unique<TRejillaHex>(r));
    return r;
  };
  auto* prog = rejilla("EditorProg");
  auto* datos = rejilla("EditorData");
  auto* ce = rejilla("Editor_CE");
  Configuracion = new QWidget(Control);
  Configuracion->setObjectName("Configuracion");
  (new QVBoxLayout(Configuracion))->setContentsMargins(0, 0, 0, 0);
  EditorProg = rejillas_[0].get();
  EditorData = rejillas_[1].get();
  Editor_CE = rejillas_[2].get();
  EditorData->PonEeprom(true, false);
  // The configuration editors scroll where they need more room than the
  // window has at its default size, rather than widening the window.
  auto* desplazable = new QScrollArea(Control);
  desplazable->setObjectName("ConfiguracionDesplazable");
  desplazable->setFrameShape(QFrame::NoFrame);
  desplazable->setWidgetResizable(true);
  desplazable->setWidget(Configuracion);
  // An editor hidden by an empty load leaves its page empty, not another page.
  for (QWidget* p : {static_cast<QWidget*>(prog), static_cast<QWidget*>(datos), static_cast<QWidget*>(desplazable),
                     static_cast<QWidget*>(ce)}) {
    auto* pagina = new QWidget(Control);
    auto* l = new QVBoxLayout(pagina);
    l->setContentsMargins(0, 0, 0, 0);
    p->setParent(pagina);
    l->addWidget(p);
    Control->addWidget(pagina);
  }
  v->addWidget(Control, 1);
  setCentralWidget(central);

  // The status bar: the hardware field, sized to its text, then the file
  // field over the rest; the reload animation lies over the file field.
  Status = new TKvStatusBar(central);
  Status->setObjectName("Status");
  // Sized to the window's font, which may need more than the bar's own 19
  // pixels.
  Status->SetAutoStyle(false);
  Status->setFixedHeight(fontMetrics().height() + 8);
  KvFieldStatus1 = new TKvFieldStatus(Status);
  KvFieldStatus1->setObjectName("KvFieldStatus1");
  KvFieldStatus1->SetAlign(alLeft);
  KvFieldStatus1->SetAutoSize(true);
  KvFieldStatus2 = new TKvFieldStatus(Status);
  KvFieldStatus2->setObjectName("KvFieldStatus2");
  KvFieldStatus2->SetAlign(alClient);
  v->addWidget(Status);
  Act = new QProgressBar(Status);
  Act->setObjectName("Act");
  Act->setRange(0, 100);
  Act->setTextVisible(false);
  Act->hide();

  for (TEditorMemoria* e : {EditorProg, EditorData, Editor_CE}) e->AlCambiarEstado = [this] { EditorProgStateChanged(); };
  connect(SelecDev, &Korvane_TColumnComboBox::Change, this, [this] { SelecDevChange(); });
  for (Korvane_TColumnComboBox* c : {ListPics, ListPicsC, ListEeprom}) {
    connect(c, &Korvane_TColumnComboBox::Change, this, [this] { ListPicsChange(); });
  }
  for (Korvane_TColumnComboBox* c : {SelecDev, ListPics, ListPicsC, ListEeprom})
    connect(c, &Korvane_TColumnComboBox::CloseUp, Control, [this] { Control->setFocus(); });
  for (TTransparentButton* b : {Sprograma, SDatos, Sconfig, SCE})
    connect(b, &TTransparentButton::clicked, this, [this, b] { SprogramaClick(b); });
  connect(Abrir, &QToolButton::clicked, this, &TFormKorvane::MAbrirClick);
  connect(Reabrir, &QToolButton::clicked, this, &TFormKorvane::ReabrirClick);
  connect(Guardar, &QToolButton::clicked, this, &TFormKorvane::MGuardarClick);
  connect(SLeer, &QToolButton::clicked, this, &TFormKorvane::MLeerClick);
  connect(Sprogramar, &QToolButton::clicked, this, &TFormKorvane::MProgramarClick);
  connect(SVerificar, &QToolButton::clicked, this, &TFormKorvane::MVerificarClick);
  connect(BorrarTodo, &QToolButton::clicked, this, &TFormKorvane::MBorrarClick);
  connect(DetectPic, &QToolButton::clicked, this, &TFormKorvane::MDtModelClick);
  connect(TestHardw, &QToolButton::clicked, this, &TFormKorvane::TestHardwClick);
  connect(B_copiar, &QToolButton::clicked, this, &TFormKorvane::B_copiarClick);
  connect(B_pegar, &QToolButton::clicked, this, &TFormKorvane::B_pegarClick);
  connect(B_cortar, &QToolButton::clicked, this, &TFormKorvane::B_cortarClick);
  connect(B_Llenar, &QToolButton::clicked, this, &TFormKorvane::B_LlenarClick);
  connect(B_buscar, &QToolButton::clicked, this, &TFormKorvane::B_buscarClick);
  connect(B_buscars, &QToolButton::clicked, this, &TFormKorvane::B_buscarsClick);
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TFormKorvane::EditorProgStateChanged);
}

void TFormKorvane::CreaMenus() {
  QMenuBar* barra = menuBar();
  auto menu = [&](const char* nombre, const QString& titulo) {
    auto* m = new QMenu(titulo, this);
    m->setObjectName(nombre);
    barra->addMenu(m);
    return m;
  };
  Archivo = menu("Archivo", "&Archivo");
  MAbrir = Accion(Archivo, "MAbrir", "Abrir");
  MAbrir->setShortcut(QKeySequence::Open);
  MRecientes = new QMenu(this);
  MRecientes->setObjectName("MRecientes");
  ArcRecientes = Accion(Archivo, "ArcRecientes", "Recientes");
  ArcRecientes->setMenu(MRecientes);
  Abrir->SetDropDown(MRecientes);
  ActualizarArchivo1 = Accion(Archivo, "ActualizarArchivo1", "Actualizar");
  ActualizarArchivo1->setShortcut(QKeySequence(Qt::Key_F5));
  Archivo->addSeparator();
  MGuardar = Accion(Archivo, "MGuardar", "Guardar");
  MGuardar->setShortcut(QKeySequence::Save);
  MGuardarComo = Accion(Archivo, "MGuardarComo", "Guardar como");
  Archivo->addSeparator();
  Salir = Accion(Archivo, "Salir", "Salir");

  Edicion = menu("Edicion", "&Edición");
  Edicion->addSeparator();
  Llenarbuffer2 = Accion(Edicion, "Llenarbuffer2", "Llenar buffer");
  MLimpiarBuffer = Accion(Edicion, "MLimpiarBuffer", "Limpiar buffers");

  Comando = menu("Comando", "&Dispositivo");
  MLeer = Accion(Comando, "MLeer", "Leer");
  MVerificar = Accion(Comando, "MVerificar", "Verificar");
  Comando->addSeparator();
  MProgramar = Accion(Comando, "MProgramar", "Programar");
  MBorrar = Accion(Comando, "MBorrar", "Borrar");
  Comando->addSeparator();
  MDtModel = Accion(Comando, "MDtModel", "Detectar");
  Comprobarhardware1 = Accion(Comando, "Comprobarhardware1", "Test Hardware");

  MConfig = menu("MConfig", "&Configuración");
  MConfHard = Accion(MConfig, "MConfHard", "Hardware");
  MConfSoft = Accion(MConfig, "MConfSoft", "Software");

  Idioma_menu = menu("Idioma_menu", "&Idioma");
  GrupoIdiomas = new QActionGroup(this);
  GrupoIdiomas->setExclusive(true);
  connect(GrupoIdiomas, &QActionGroup::triggered, this, &TFormKorvane::Idioma_Click);

  Informacion1 = menu("Informacion1", "A&yuda");
  Ay_params = Accion(Informacion1, "Ay_params", "Parametros");
  Informacion1->addSeparator();
  Acerca1 = Accion(Informacion1, "Acerca1", "Acerca ");

  // The editors' pop-up menu; its actions also carry the usual shortcuts.
  MenuEdicion = new QMenu(this);
  MenuEdicion->setObjectName("MenuEdicion");
  Copiar = Accion(MenuEdicion, "Copiar", "Copiar");
  Copiar->setShortcut(QKeySequence::Copy);
  Pegar = Accion(MenuEdicion, "Pegar", "Pegar");
  Pegar->setShortcut(QKeySequence::Paste);
  Cortar = Accion(MenuEdicion, "Cortar", "Cortar");
  Cortar->setShortcut(QKeySequence::Cut);
  Seleccionartodo = Accion(MenuEdicion, "Seleccionartodo", "Seleccionar todo");
  Seleccionartodo->setShortcut(QKeySequence::SelectAll);
  MenuEdicion->addSeparator();
  LLenarbuffer1 = Accion(MenuEdicion, "LLenarbuffer1", "LLenar buffer");
  Limpiar = Accion(MenuEdicion, "Limpiar", "Limpiar buffers");
  for (QAction* a : {Copiar, Pegar, Cortar, Seleccionartodo}) a->setShortcutContext(Qt::WindowShortcut);
  addActions({Copiar, Pegar, Cortar, Seleccionartodo});
  for (TEditorMemoria* e : {EditorProg, EditorData, Editor_CE}) {
    QWidget* w = e->Widget();
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& p) { MenuEdicion->popup(w->mapToGlobal(p)); });
  }

  Menu_Marcas = new QMenu(this);
  Menu_Marcas->setObjectName("Menu_Marcas");
  miToggleBookmarks = Menu_Marcas->addMenu("&Marcas");
  miToggleBookmarks->setObjectName("miToggleBookmarks");
  miGotoBookmarks = Menu_Marcas->addMenu("&Ir a Marca");
  miGotoBookmarks->setObjectName("miGotoBookmarks");
  BorrarMarcas1 = Accion(Menu_Marcas, "BorrarMarcas1", "&Borrar todas");
  // No shortcuts here: Ctrl+Shift+digit and Ctrl+digit belong to the grid,
  // which sets (never toggles) a bookmark and goes to one.
  for (int i = 0; i < 10; ++i) {
    QAction* t = miToggleBookmarks->addAction(QStringLiteral(" %1").arg(i));
    t->setObjectName(QStringLiteral("T%1").arg(i));
    t->setCheckable(true);
    connect(t, &QAction::triggered, this, [this, i] { ToggleBookmarks(i); });
    QAction* g = miGotoBookmarks->addAction(QStringLiteral(" %1").arg(i));
    g->setObjectName(QStringLiteral("G%1").arg(i));
    connect(g, &QAction::triggered, this, [this, i] { GotoBookmarks(i); });
  }
  B_Marcas->setMenu(Menu_Marcas);
  B_Marcas->setPopupMode(QToolButton::InstantPopup);
  connect(miToggleBookmarks, &QMenu::aboutToShow, this, [this] {
    TEditorMemoria* e = EditorActivo();
    for (int i = 0; i < 10; ++i) miToggleBookmarks->actions()[i]->setChecked(e && e->GetMarker(i) >= 0);
  });
  connect(miGotoBookmarks, &QMenu::aboutToShow, this, [this] {
    TEditorMemoria* e = EditorActivo();
    for (int i = 0; i < 10; ++i) miGotoBookmarks->actions()[i]->setVisible(e && e->GetMarker(i) >= 0);
  });
  connect(Menu_Marcas, &QMenu::aboutToShow, this, [this] {
    if (Arrancando) return;
    TEditorMemoria* e = EditorActivo();
    bool alguna = false;
    for (int i = 0; e && i < 10; ++i) alguna = alguna || e->GetMarker(i) >= 0;
    miGotoBookmarks->menuAction()->setEnabled(alguna);
    BorrarMarcas1->setEnabled(alguna);
  });

  connect(MAbrir, &QAction::triggered, this, &TFormKorvane::MAbrirClick);
  connect(ActualizarArchivo1, &QAction::triggered, this, &TFormKorvane::ReabrirClick);
  connect(MGuardar, &QAction::triggered, this, &TFormKorvane::MGuardarClick);
  connect(MGuardarComo, &QAction::triggered, this, &TFormKorvane::MGuardarComoClick);
  connect(Salir, &QAction::triggered, this, &TFormKorvane::SalirClick);
  connect(Llenarbuffer2, &QAction::triggered, this, &TFormKorvane::B_LlenarClick);
  connect(LLenarbuffer1, &QAction::triggered, this, &TFormKorvane::B_LlenarClick);
  connect(MLimpiarBuffer, &QAction::triggered, this, &TFormKorvane::MLimpiarBufferClick);
  connect(Limpiar, &QAction::triggered, this, &TFormKorvane::MLimpiarBufferClick);
  connect(MLeer, &QAction::triggered, this, &TFormKorvane::MLeerClick);
  connect(MVerificar, &QAction::triggered, this, &TFormKorvane::MVerificarClick);
  connect(MProgramar, &QAction::triggered, this, &TFormKorvane::MProgramarClick);
  connect(MBorrar, &QAction::triggered, this, &TFormKorvane::MBorrarClick);
  connect(MDtModel, &QAction::triggered, this, &TFormKorvane::MDtModelClick);
  connect(Comprobarhardware1, &QAction::triggered, this, &TFormKorvane::TestHardwClick);
  connect(MConfHard, &QAction::triggered, this, &TFormKorvane::MConfHardClick);
  connect(MConfSoft, &QAction::triggered, this, &TFormKorvane::MConfSoftClick);
  connect(Ay_params, &QAction::triggered, this, &TFormKorvane::Ay_paramsClick);
  connect(Acerca1, &QAction::triggered, this, &TFormKorvane::Acerca1Click);
  connect(Copiar, &QAction::triggered, this, &TFormKorvane::B_copiarClick);
  connect(Pegar, &QAction::triggered, this, &TFormKorvane::B_pegarClick);
  connect(Cortar, &QAction::triggered, this, &TFormKorvane::B_cortarClick);
  connect(Seleccionartodo, &QAction::triggered, this, &TFormKorvane::SeleccionartodoClick);
  connect(BorrarMarcas1, &QAction::triggered, this, &TFormKorvane::BorrarMarcas1Click);
}

void TFormKorvane::LlenaListas() {
  for (const auto& c : ClasesCatalogo) SelecDev->AddItem({QString::fromUtf8(c.Texto), QString::fromUtf8(c.Memoria)});
  Korvane_TColumnComboBox* listas[] = {ListPics, ListPicsC, ListEeprom};
  for (uint8_t clase = 0; clase < 3; ++clase)
    for (const auto& e : ListaCatalogo(clase))
      listas[clase]->AddItem({QString::fromUtf8(e.Texto), QString::fromUtf8(e.Memoria)});
}

// --- Start-up, settings, caption ---------------------------------------------------

void TFormKorvane::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!mostrada_) FormShow();
}

void TFormKorvane::FormShow() {
  if (mostrada_) return;
  mostrada_ = true;
  CargaIdiomas(*this);
  CargaTraduccionQt();
  EstadoEditorConf = EdNinguno;
  DirAplicacion = CarpetaPrograma();
  Comand.Accion = 5;
  Control->setCurrentIndex(0);
  SiembraPerfiles();
  LeeIni();
  PonCaption();
  ResetEditor();
  Control->setFocus();
  PuertoAlArrancar();
  if (FAcciones) FAcciones->KvStatusPanel3->SetCaption(Q(" CPU - " + std::to_string(CalibrateCpuClock()) + " Mhz"));
  ClaseDispositivo = ClaseNinguna;
  SelecDevChange();
  MConfHard->setEnabled(static_cast<bool>(EditorPerfiles));
  Timer->start();
  Arrancando = 0;
}

// Each output line writes the register shadow of its own port; on a
// parallel port the lines go to rest and then to the profile's end levels,
// when the port can be claimed. Otherwise one message says which device
// node failed and how to fix it.
void TFormKorvane::PuertoAlArrancar() {
  SombraBase = SombraOtro = 0;
  const uint16_t direcciones[6] = {AddrD, AddrC, AddrV, AddrV2, AddrVdd, AddrM};
  for (int i = 0; i < 6; ++i) SombraPin[i] = direcciones[i] == AddrB ? &SombraBase : &SombraOtro;
  if (PerfilHardware.empty() || USB_COM || TipoEnlace() != TTipoEnlace::teLPT) return;
  std::string error;
  if (!AseguraAccesoPuerto(AddrB, error)) {
    AvisoAlArrancar(TextoIdioma("pg_err*", "1*") + (error.starts_with(' ') ? "" : " ") + error);
    return;
  }
  PinesReposo();
  PonPines_END();
  LiberaPuertosES();
}

void TFormKorvane::AvisoAlArrancar(const std::string& texto) {
  std::fprintf(stderr, "%s\n", texto.c_str());
  std::fflush(stderr);
  Mensaje(texto);
}

void TFormKorvane::LeeIni() {
  const TAjustes a = LeeAjustes(*ini_);
  IndiceListPics = a.Pic;
  IndiceListPicsC = a.PicC;
  IndiceListEeprom = a.I2C;
  ClaseDispositivo = a.Dev;
  SelecDev->SetItemIndex(a.Dev);
  ListPics->SetItemIndex(a.Pic);
  ListPicsC->SetItemIndex(a.PicC);
  ListEeprom->SetItemIndex(a.I2C);
  if (FAcciones) FAcciones->closw->setChecked(a.ClosW);
  InitDir = a.InitDir;
  OpcVDurante = a.VDurante;
  OpcVDespues = a.VDespues;
  OpcPMsgs = a.PMsgs;
  OpcAutoPic = a.AutoPic;
  OpcAutoSel = a.AutoSel;
  OpcReabrir = a.Reabrir;
  recientes_ = a.Recientes;
  PonRecientes();
  PerfilHardware = a.TPH;
  if (!LeePerfilHardware(PerfilHardware)) {
    PerfilHardware.clear();
    return;
  }
  // A file that is no profile would drive the default port's lines unseen.
  const std::string sinAjustes = PerfilSinAjustes(PerfilHardware);
  if (!sinAjustes.empty()) AvisoAlArrancar(TextoIdioma("pg_err*", "57*") + " " + sinAjustes);
}

bool TFormKorvane::GuardaIni() {
  TAjustes a;
  a.Pic = IndiceDeItem(ListPics->currentIndex());
  a.PicC = IndiceDeItem(ListPicsC->currentIndex());
  a.I2C = IndiceDeItem(ListEeprom->currentIndex());
  a.Dev = IndiceDeItem(SelecDev->currentIndex());
  a.ClosW = FAcciones && FAcciones->closw->isChecked();
  a.InitDir = InitDir;
  a.TPH = PerfilHardware;
  a.VDurante = OpcVDurante;
  a.VDespues = OpcVDespues;
  a.PMsgs = OpcPMsgs;
  a.AutoPic = OpcAutoPic;
  a.AutoSel = OpcAutoSel;
  a.Reabrir = OpcReabrir;
  a.Recientes = recientes_;
  return GuardaAjustes(*ini_, a);
}

void TFormKorvane::GuardaAlSalir() {
  // Nothing was read before the first show: writing then would replace the
  // user's settings with the defaults.
  if (!mostrada_ || guardado_) return;
  guardado_ = true;
  if (!GuardaIni()) Mensaje(ini_->UltimoError());
  std::string motivo;
  if (!GuardaIdioma(motivo)) Mensaje(motivo);
}

void TFormKorvane::closeEvent(QCloseEvent* e) {
  GuardaAlSalir();
  e->accept();
}

void TFormKorvane::PonCaption() {
  setWindowTitle(QStringLiteral(" Korvane   -  1.0"));
  KvFieldStatus2->SetCaption(Q(TextoCampoArchivo(ArchivoActual, isMaximized())));
  KvFieldStatus2->setToolTip(Q(" " + ArchivoActual));
  const std::string hw = PerfilHardware.empty() ? EtiquetaHardware + EtiquetaNinguno
                                                : EtiquetaHardware + PerfilHardware + " - " + DaNombrePuerto(AddrB);
  KvFieldStatus1->SetCaption(Q(hw));
  Reabrir->setEnabled(!ArchivoActual.empty());
  ActualizarArchivo1->setEnabled(!ArchivoActual.empty());
}

void TFormKorvane::TimerTimer() {
  Timer->stop();
  if (ManejadorArranque) return ManejadorArranque(*this);
  if (!OpcAutoSel) return;
  SelecDev->SetItemIndex(ClaseFlash);
  SelecDevChange();
  const bool antes = OpcAutoPic;
  OpcAutoPic = true;
  MDtModelClick();
  OpcAutoPic = antes;
}

void TFormKorvane::PonRecientes() {
  MRecientes->clear();
  for (const auto& n : recientes_) {
    QAction* a = MRecientes->addAction(Q(n));
    connect(a, &QAction::triggered, this, [this, n] { MRecientes_Click(n); });
  }
  ArcRecientes->setEnabled(!recientes_.empty());
}

// --- Device selection -------------------------------------------------------------

void TFormKorvane::OlvidaArchivo() {
  ArchivoActual.clear();
  PonCaption();
}

void TFormKorvane::SelecDevChange() {
  const int k = SelecDev->currentIndex();
  ListPics->setVisible(k == 0);
  ListPicsC->setVisible(k == 1);
  ListEeprom->setVisible(k == 2);
  DetectPic->setVisible(k == 0);
  Sprograma->setVisible(k != 2);
  // EPROM parts have no data memory: their Config button takes Datos' place.
  SDatos->setVisible(k != 1);
  Sconfig->setVisible(k != 2);
  BorrarTodo->setVisible(k == 0);
  MBorrar->setEnabled(k == 0);
  MDtModel->setEnabled(k == 0);
  if (k != ClaseDispositivo) {
    OlvidaArchivo();
    ClaseDispositivo = IndiceDeItem(k);
    Control->setCurrentIndex(0);
    Sprograma->SetDown(k != 2);
    SDatos->SetDown(k == 2);
    Sconfig->SetDown(false);
    SCE->SetDown(false);
    EditorProg->PonEeprom(k == 2, k == 2);
    ResetEditor();
  }
  ChequeaEdicion();
  EnfocaPaginas();
}

void TFormKorvane::ListPicsChange() {
  const uint8_t p = IndiceDeItem(ListPics->currentIndex());
  const uint8_t c = IndiceDeItem(ListPicsC->currentIndex());
  const uint8_t e = IndiceDeItem(ListEeprom->currentIndex());
  if (p == IndiceListPics && c == IndiceListPicsC && e == IndiceListEeprom) {
    EnfocaPaginas();
    return;
  }
  IndiceListPics = p;
  IndiceListPicsC = c;
  IndiceListEeprom = e;
  OlvidaArchivo();
  ResetEditor();
  ChequeaEdicion();
  EnfocaPaginas();
}

// After a choice in a list the keys go to the pages, except while a name
// is being typed into the list: the next letter belongs to it.
void TFormKorvane::EnfocaPaginas() {
  for (Korvane_TColumnComboBox* c : {SelecDev, ListPics, ListPicsC, ListEeprom})
    if (c->EnBusqueda()) return;
  Control->setFocus();
}

void TFormKorvane::ResetEditor() {
  if (PonDispositivo() != 0) return;
  LimpiaBuffers(BufDispositivo);
  CargaEditor(BufDispositivo);
}

void TFormKorvane::CambiaEditorConf(uint8_t anterior, uint8_t nuevo) {
  if (anterior != nuevo || (!EditorConf && nuevo != EdNinguno)) {
    delete EditorConf;
    EditorConf = CreaPaginaConf(nuevo, Configuracion).release();
    if (EditorConf) {
      Configuracion->layout()->addWidget(EditorConf->Widget());
      EditorConf->Widget()->show();
    }
  } else if (EditorConf) {
    EditorConf->CambiaDispositivo();
  }
  const bool dspic = nuevo == EdFC_30Fxxx;
  if (!dspic && SCE->Down()) {
    Control->setCurrentIndex(0);
    SCE->SetDown(false);
    Sprograma->SetDown(true);
  }
  SCE->setVisible(dspic);
}

void TFormKorvane::PonHints() {
  for (Korvane_TColumnComboBox* c : {SelecDev, ListPics, ListPicsC, ListEeprom})
    c->setToolTip(c->currentIndex() >= 0 ? c->GetColumnText(c->currentIndex(), 1) : QString());
}

void TFormKorvane::CargaEditor(TBuffers& b) {
  const bool dspic = EsDsPic();
  EditorProg->LoadFromWordBuffer(b.Prog.data(), PicActual.ProgTam, dspic, PicActual.ProgIni, PicActual.ProgMask);
  if (ClaseDispositivo == ClaseI2C) return;
  EditorData->LoadFromWordBuffer(b.Datos.data(), PicActual.EeTam, dspic, PicActual.EeIni, PicActual.EeMask);
  if (dspic) Editor_CE->LoadFromWordBuffer(b.Exec.data(), PicActual.ExecTam, true, PicActual.ExecIni, PicActual.ProgMask);
  if (EditorConf) {
    // The set then holds what the editor shows (PIC18 and dsPIC parts).
    EditorConf->SetMask(b.Config);
    EditorConf->LoadFromBuffer(b.Id, b.Config);
  }
  ChequeaEdicion();
}

void TFormKorvane::LeeEditorEn(TBuffers& b) {
  const bool dspic = EsDsPic();
  EditorProg->SaveToWordBuffer(b.Prog.data(), PicActual.ProgTam, dspic);
  if (ClaseDispositivo == ClaseI2C) return;
  EditorData->SaveToWordBuffer(b.Datos.data(), PicActual.EeTam, dspic);
  if (dspic) Editor_CE->SaveToWordBuffer(b.Exec.data(), PicActual.ExecTam, true);
  if (EditorConf) EditorConf->SaveToBuffer(b.Id, b.Config);
}

void TFormKorvane::SprogramaClick(TTransparentButton* sender) {
  if (ClaseDispositivo == ClaseI2C) return;
  const int pagina = sender == SDatos ? 1 : sender == Sconfig ? 2 : sender == SCE ? 3 : 0;
  Control->setCurrentIndex(pagina);
  for (TTransparentButton* b : {Sprograma, SDatos, Sconfig, SCE}) b->SetDown(b == sender);
  if (pagina == 2) Control->setFocus();
  ChequeaEdicion();
}

// --- Device commands ----------------------------------------------------------------

int TFormKorvane::EjecutaOperacion(uint32_t accion) {
  TipoAccion = accion;
  const int r = dialogos_->Operacion();
  if (EditorConf) EditorConf->OperacionTerminada();
  return r;
}

// A run counts as accepted when it succeeded and the user took its result
// (Ok, or the window closed itself after the run); a failed or cancelled
// run never replaces what the editors show.
bool TFormKorvane::OperacionAceptada(int resultado) const {
  return ResultadoAccion == 0 && (resultado == QDialog::Accepted || (FAcciones && FAcciones->closw->isChecked()));
}

void TFormKorvane::MLeerClick() {
  if (!OperacionAceptada(EjecutaOperacion(AccLeer))) return;
  CargaEditor(BufDispositivo);
  OlvidaArchivo();
}

void TFormKorvane::MProgramarClick() {
  if (OpcReabrir && Comand.Accion == 5 && !ArchivoActual.empty()) {
    if (FechaDe(ArchivoActual) != FechaArchivo || !fs::exists(ArchivoActual)) {
      MuestraAct();
      if (!CargaArchivo(ArchivoActual)) {
        Act->hide();
        return;
      }
      Pond_Act();
    }
  }
  LeeEditorEn(BufDispositivo);
  EjecutaOperacion(AccProgramar);
}

void TFormKorvane::MVerificarClick() {
  LeeEditorEn(BufArchivo);
  EjecutaOperacion(AccVerificar);
}

void TFormKorvane::MBorrarClick() { EjecutaOperacion(AccBorrar); }
void TFormKorvane::TestHardwClick() { EjecutaOperacion(AccHardware); }

void TFormKorvane::MDtModelClick() {
  if (!OperacionAceptada(EjecutaOperacion(AccIdentificar))) return;
  // Only a part named by the ID tables switches the list.
  if (!OpcAutoPic || IndiceDetectado >= NumListPics || IndiceDetectado == IndiceListPics) return;
  IndiceListPics = IndiceDetectado;
  ListPics->SetItemIndex(IndiceDetectado);
  ResetEditor();
  OlvidaArchivo();
}

void TFormKorvane::MLimpiarBufferClick() {
  OscCalBackup = 0xFFFF;
  ResetEditor();
  OlvidaArchivo();
}

void TFormKorvane::MConfHardClick() {
  if (FAcciones) FAcciones->KvStatusPanel1->SetCaption(QString());
  if (EditorPerfiles) EditorPerfiles(this);
  PonCaption();
}

void TFormKorvane::MConfSoftClick() {
  TFConfigSoft d(this);
  dialogos_->Modal(d);
}

void TFormKorvane::Acerca1Click() {
  TFAbout d(this);
  dialogos_->Modal(d);
}

void TFormKorvane::Ay_paramsClick() {
  TFAyuda_params d(this);
  dialogos_->Modal(d);
}

void TFormKorvane::Idioma_Click(QAction* item) {
  IdiomaActual = S(item->data().toString());
  item->setChecked(true);
  AplicaIdioma(*this);
  CargaTraduccionQt();
}

// The file dialogs and the message boxes' buttons speak the language too,
// through Qt's own translation named by the language file. Without it
// (package not installed, no such code) they stay in Qt's English, quietly.
void TFormKorvane::CargaTraduccionQt() {
  if (traduccionQt_) QCoreApplication::removeTranslator(traduccionQt_.get());
  traduccionQt_.reset();
  const QString codigo = Q(TextoIdioma("Main*", "Qt*")).trimmed();
  if (codigo.isEmpty()) return;
  auto t = std::make_unique<QTranslator>();
  if (!t->load(QStringLiteral("qtbase_") + codigo, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return;
  QCoreApplication::installTranslator(t.get());
  traduccionQt_ = std::move(t);
}

// --- Files ----------------------------------------------------------------------------

QString TFormKorvane::Filtro() const {
  QString f = QStringLiteral("HEX (*.hex *.HEX)");
  if (ClaseDispositivo == ClaseI2C) f += QStringLiteral(";;BIN (*.bin *.BIN)");
  return f + QStringLiteral(";;* (*)");
}

bool TFormKorvane::CargaArchivo(const std::string& nombre) {
  std::error_code ec;
  if (!fs::is_regular_file(nombre, ec)) {
    Mensaje(TextoIdioma("pg_err*", "0*") + " " + nombre);
    return false;
  }
  const std::string anterior = ArchivoActual;
  if (PonDispositivo() != 0) return false;
  TAvisosArchivo avisos(*this);
  BufArchivo = BufDispositivo;
  ArchivoActual = nombre;
  uint8_t r = ClaseDispositivo == ClaseI2C ? CargaArchivoI2C(nombre) : CargaHex(nombre);
  // A PIC18 data EEPROM that reads both ways: the user says which layout
  // the file was written in, this program's own first.
  if (r == 0 && ClaseDispositivo != ClaseI2C && InformeCargaHex.EepromAmbigua) {
    const int eleccion = dialogos_->Elige(
        this, Q(TextoIdioma("pg_avisos*", "0*")),
        {Q(TextoIdioma("pg_avisos*", "1*")), Q(TextoIdioma("pg_avisos*", "2*"))});
    if (eleccion == 1) {
      BufArchivo = BufDispositivo;
      r = CargaHex(nombre, TDisposicionEeprom18::UnByte);
    }
  }
  if (r != 0) {
    ArchivoActual = anterior;
    return false;
  }
  FechaArchivo = FechaDe(nombre);
  OscCalBackup = 0xFFFF;
  CargaEditor(BufArchivo);
  PonCaption();
  return true;
}

bool TFormKorvane::GuardaArchivo(const std::string& nombre) {
  TAvisosArchivo avisos(*this);
  LeeEditorEn(BufArchivo);
  const uint8_t r = ClaseDispositivo == ClaseI2C ? GuardaArchivoI2C(nombre) : GuardaHex(nombre);
  if (r != 0) return false;
  FechaArchivo = FechaDe(nombre);
  MRecientes_Add(nombre);
  return true;
}

void TFormKorvane::MAbrirClick() {
  const std::string f = S(dialogos_->AbreArchivo(this, Q(InitDir), Filtro()));
  if (f.empty()) return;
  InitDir = CarpetaDe(f);
  if (CargaArchivo(f)) MRecientes_Add(f);
}

void TFormKorvane::MGuardarClick() {
  if (ArchivoActual.empty()) return MGuardarComoClick();
  GuardaArchivo(ArchivoActual);
}

void TFormKorvane::MGuardarComoClick() {
  QString tipo;
  const std::string f = ConExtensionDelTipo(S(dialogos_->GuardaArchivo(this, Q(InitDir), Filtro(), &tipo)), tipo);
  if (f.empty()) return;
  const bool ok = GuardaArchivo(f);
  InitDir = CarpetaDe(f);
  // A failed write keeps the caption and the reload target on the old file.
  if (ok) ArchivoActual = f;
  PonCaption();
}

void TFormKorvane::ReabrirClick() {
  MuestraAct();
  if (!ArchivoActual.empty()) CargaArchivo(ArchivoActual);
  Pond_Act();
}

void TFormKorvane::MuestraAct() {
  const QRect campo = KvFieldStatus2->geometry();
  Act->setGeometry(campo.left() + 7, campo.top() + 2, std::min(150, campo.width() - 14), campo.height() - 4);
  Act->setValue(1);
  Act->show();
  Act->raise();
}

void TFormKorvane::Pond_Act() {
  Act->setValue(100);
  QTimer::singleShot(300, Act, &QWidget::hide);
}

void TFormKorvane::SalirClick() { close(); }

void TFormKorvane::MRecientes_Add(const std::string& nombre) {
  AgregaReciente(recientes_, nombre);
  PonRecientes();
}

void TFormKorvane::MRecientes_Click(const std::string& nombre) {
  if (CargaArchivo(nombre)) MRecientes_Add(nombre);
}

// --- Edit and bookmarks ------------------------------------------------------------

TEditorMemoria* TFormKorvane::EditorActivo() {
  switch (Control->currentIndex()) {
    case 0: return EditorProg;
    case 1: return EditorData->Widget()->isHidden() ? nullptr : EditorData;
    case 3: return Editor_CE->Widget()->isHidden() ? nullptr : Editor_CE;
    default: return nullptr;
  }
}

void TFormKorvane::ChequeaEdicion() {
  const bool edicion = EditorActivo() != nullptr;
  for (QToolButton* b : {B_copiar, B_pegar, B_cortar, B_buscar, B_Llenar, B_Marcas}) b->setEnabled(edicion);
  Llenarbuffer2->setEnabled(edicion);
  LLenarbuffer1->setEnabled(edicion);
  B_buscars->setEnabled(edicion && !TextoBusqueda.empty());
  EditorProgStateChanged();
}

void TFormKorvane::EditorProgStateChanged() {
  TEditorMemoria* e = EditorActivo();
  const bool copia = e && e->GetSelCount() > 0;
  const bool pega = e && !copia && !QGuiApplication::clipboard()->text().isEmpty();
  for (QToolButton* b : {B_copiar, B_cortar}) b->setEnabled(copia);
  Copiar->setEnabled(copia);
  Cortar->setEnabled(copia);
  B_pegar->setEnabled(pega);
  Pegar->setEnabled(pega);
  Seleccionartodo->setEnabled(e && !copia);
}

void TFormKorvane::B_copiarClick() {
  TEditorMemoria* e = EditorActivo();
  if (!e || e->GetSelCount() <= 0) return;
  const int64_t desde = std::min(e->GetSelStart(), e->GetSelEnd());
  QGuiApplication::clipboard()->setText(Q(BytesToHexText(e->BufferFromFile(desde, e->GetSelCount()), false)));
  EditorProgStateChanged();
}

void TFormKorvane::B_pegarClick() {
  TEditorMemoria* e = EditorActivo();
  if (!e) return;
  e->ReplaceSelection(HexTextToBytes(S(QGuiApplication::clipboard()->text()), false));
}

void TFormKorvane::B_cortarClick() {
  TEditorMemoria* e = EditorActivo();
  if (!e || e->GetSelCount() <= 0) return;
  B_copiarClick();
  const int64_t desde = std::min(e->GetSelStart(), e->GetSelEnd());
  const int64_t hasta = std::max(e->GetSelStart(), e->GetSelEnd());
  e->SetSelStart(desde);
  e->SetSelEnd(hasta);
  e->ReplaceSelection(std::vector<uint8_t>(static_cast<std::size_t>(hasta - desde + 1), 0xFF));
}

void TFormKorvane::SeleccionartodoClick() {
  TEditorMemoria* e = EditorActivo();
  if (!e || e->GetDataSize() <= 0) return;
  e->SetSelStart(0);
  e->SetSelEnd(e->GetDataSize() - 1);
}

void TFormKorvane::B_buscarClick() {
  TEditorMemoria* e = EditorActivo();
  if (!e) return;
  TFBuscar d(this);
  d.Edit->setText(Q(TextoBusqueda));
  if (dialogos_->Modal(d) == QDialog::Accepted) {
    d.FormClose();
    TextoBusqueda = S(d.Edit->text());
    if (!TextoBusqueda.empty()) Buscar(*e, 0);
  }
  B_buscars->setEnabled(!TextoBusqueda.empty());
}

void TFormKorvane::B_buscarsClick() {
  if (TEditorMemoria* e = EditorActivo(); e && !TextoBusqueda.empty()) Buscar(*e, e->SiguienteBusqueda);
}

void TFormKorvane::Buscar(TEditorMemoria& editor, int64_t desde) {
  const std::vector<uint8_t> bytes = BytesBusqueda(TextoBusqueda);
  const int64_t p = editor.Find(bytes, editor.GetDataSize() - 1, desde);
  if (p < 0 || bytes.empty()) {
    Mensaje(MensajeNoEncontrado(TextoIdioma("pg_err*", "4*"), TextoIdioma("pg_err*", "0*"), TextoBusqueda));
    return;
  }
  editor.SetSelStart(p);
  editor.SetSelEnd(p + static_cast<int64_t>(bytes.size()) - 1);
  editor.SiguienteBusqueda = p + static_cast<int64_t>(TextoBusqueda.size() / 2);
}

void TFormKorvane::B_LlenarClick() {
  TEditorMemoria* e = EditorActivo();
  if (!e) return;
  TFllenar d(this);
  d.CargaMaximos(*e);
  if (dialogos_->Modal(d) != QDialog::Accepted) return;
  d.FormClose();
  if (d.Hasta() >= d.Desde()) e->FillRange(d.Desde(), d.Hasta(), d.Valor());
}

void TFormKorvane::ToggleBookmarks(int i) {
  if (TEditorMemoria* e = EditorActivo()) e->ToggleMarker(static_cast<uint8_t>(i));
}
void TFormKorvane::GotoBookmarks(int i) {
  if (TEditorMemoria* e = EditorActivo()) e->GotoMarker(static_cast<uint8_t>(i));
}
void TFormKorvane::BorrarMarcas1Click() {
  if (TEditorMemoria* e = EditorActivo()) e->ClearMarkers();
}

// --- Language -----------------------------------------------------------------------

void TFormKorvane::PonTexto(const std::string& control, TPropiedadTexto propiedad, const std::string& texto) {
  const auto punto = control.find('.');
  if (punto == std::string::npos) return;
  const QString forma = Q(control.substr(0, punto));
  const QString nombre = Q(control.substr(punto + 1));
  QObject* raiz = forma == "FAcciones" ? static_cast<QObject*>(FAcciones) : this;
  if (!raiz) return;
  QObject* o = raiz->objectName() == nombre ? raiz : raiz->findChild<QObject*>(nombre);
  if (!o) return;
  const QString t = Q(texto);
  const bool caption = propiedad == TPropiedadTexto::Caption;
  if (auto* p = qobject_cast<TTransparentButton*>(o)) {
    caption ? p->SetCaption(t) : p->setToolTip(t);
  } else if (auto* m = qobject_cast<QMenu*>(o)) {
    if (caption) m->setTitle(t);
  } else if (auto* a = qobject_cast<QAction*>(o)) {
    caption ? a->setText(t) : a->setToolTip(t);
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    if (caption) b->setText(t);
    else {
      b->setToolTip(t);
      // A command button without a picture shows its hint as its text.
      const auto* flecha = qobject_cast<TArrowButton*>(b);
      const bool imagen = !b->icon().isNull() || (flecha && !flecha->Glyph().isNull());
      if (!imagen && qobject_cast<QToolButton*>(b) && !b->isCheckable()) b->setText(t.trimmed().remove('&'));
    }
  } else if (auto* l = qobject_cast<QLabel*>(o)) {
    caption ? l->setText(t) : l->setToolTip(t);
  } else if (auto* w = qobject_cast<QWidget*>(o)) {
    caption ? w->setWindowTitle(t) : w->setToolTip(t);
  }
}

void TFormKorvane::Mensaje(const std::string& texto) { dialogos_->Mensaje(this, Q(texto)); }

void TFormKorvane::AgregaIdioma(const std::string& nombre, const std::string& icono, bool marcado) {
  QAction* a = Idioma_menu->addAction(Q(nombre));
  a->setData(Q(nombre));
  a->setToolTip(Q(nombre));
  a->setCheckable(true);
  a->setChecked(marcado);
  if (!icono.empty()) a->setIcon(QIcon(Q(icono)));
  GrupoIdiomas->addAction(a);
}
