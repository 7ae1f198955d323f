#include "Dialogos.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "AjustesKorvane.h"
#include "HexEdit.h"
#include "principal/EditorMemoria.h"
#include "principal/Korvane.h"
#include "forms/pg_acciones.h"
#include "pg_idioma.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The block, when it has exactly `cuenta` items.
std::vector<std::string> Bloque(const char* seccion, const char* clave, size_t cuenta) {
  std::vector<std::string> lista;
  LeeBloqueIdioma(seccion, clave, cuenta, lista);
  return lista;
}

QString Titulo(const std::string& item) { return Q(" Korvane [ " + item + " ]"); }

// Room a window manager's frame takes from the title: the icon, three
// buttons and the padding around them.
constexpr int MarcoTitulo = 120;

// Ok and Cancel in a row at the bottom right.
QHBoxLayout* Botones(QDialog* d, QPushButton*& ok, QPushButton*& cancelar) {
  auto* fila = new QHBoxLayout;
  fila->addStretch(1);
  cancelar = new QPushButton("Cancelar", d);
  cancelar->setObjectName("cancelar");
  ok = new QPushButton("Ok", d);
  ok->setObjectName("Ok");
  ok->setDefault(true);
  fila->addWidget(cancelar);
  fila->addWidget(ok);
  QObject::connect(ok, &QPushButton::clicked, d, &QDialog::accept);
  QObject::connect(cancelar, &QPushButton::clicked, d, &QDialog::reject);
  return fila;
}

THexEdit* CajaHex(QWidget* padre, const char* nombre) {
  auto* e = new THexEdit(padre);
  e->setObjectName(nombre);
  return e;
}

}  // namespace

// --- Software options ------------------------------------------------------------

TFConfigSoft::TFConfigSoft(QWidget* parent) : QDialog(parent) {
  setObjectName("FConfigSoft");
  PonTitulo(*this, " Korvane [ Opciones ]");
  auto* v = new QVBoxLayout(this);
  auto caja = [&](const char* nombre, const char* texto) {
    auto* c = new QCheckBox(texto, this);
    c->setObjectName(nombre);
    v->addWidget(c);
    return c;
  };
  TVerificarDespues = caja("TVerificarDespues", "Verificar tras la programación");
  TPedirMsg = caja("TPedirMsg", "Avisar antes de borrar y programar");
  TAutoPic = caja("TAutoPic", "Usar Autoseleccion del dispositivo");
  TA = caja("TA", "Detectar y autoseleccionar el dispositivo al entrar");
  CReabrir = caja("CReabrir", "Actualizar Archivo antes de programar");
  v->addLayout(Botones(this, Ok, cancelar));
  connect(Ok, &QPushButton::clicked, this, &TFConfigSoft::OkClick);
  FormShow();
}

void TFConfigSoft::FormShow() {
  TVerificarDespues->setChecked(OpcVDespues);
  TPedirMsg->setChecked(OpcPMsgs);
  TAutoPic->setChecked(OpcAutoPic);
  TA->setChecked(OpcAutoSel);
  CReabrir->setChecked(OpcReabrir);
  cancelar->setFocus();
  const auto b = Bloque("pg_ConfigSoft*", "***", 8);
  if (b.empty()) return;
  PonTitulo(*this, Titulo(b[0]));
  QCheckBox* cajas[] = {TVerificarDespues, TPedirMsg, TAutoPic, TA, CReabrir};
  for (int i = 0; i < 5; ++i) cajas[i]->setText(Q(b[1 + i]));
  cancelar->setText(Q(b[6]));
  Ok->setText(Q(b[7]));
}

void TFConfigSoft::OkClick() {
  OpcVDespues = TVerificarDespues->isChecked();
  OpcPMsgs = TPedirMsg->isChecked();
  OpcAutoPic = TAutoPic->isChecked();
  OpcAutoSel = TA->isChecked();
  OpcReabrir = CReabrir->isChecked();
}

// --- Fill --------------------------------------------------------------------------

TFllenar::TFllenar(QWidget* parent) : QDialog(parent) {
  setObjectName("Fllenar");
  PonTitulo(*this, " Korvane [ Llenar ]");
  auto* v = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  textDesde = new QLabel("Desde", this);
  TextHasta = new QLabel("Hasta", this);
  TextValor = new QLabel("Valor", this);
  Desde_ = CajaHex(this, "Desde_");
  Hasta_ = CajaHex(this, "Hasta_");
  Valor_ = CajaHex(this, "Valor_");
  f->addRow(textDesde, Desde_);
  f->addRow(TextHasta, Hasta_);
  f->addRow(TextValor, Valor_);
  v->addLayout(f);
  auto* fila = new QHBoxLayout;
  Seleccion = new QToolButton(this);
  Seleccion->setObjectName("Seleccion");
  Seleccion->setText("[ ]");
  IST = new QLabel("Aut", this);
  fila->addWidget(Seleccion);
  fila->addWidget(IST);
  fila->addStretch(1);
  v->addLayout(fila);
  v->addLayout(Botones(this, Ok, Cancelar));
  Cancelar->setObjectName("Cancelar");
  connect(Seleccion, &QToolButton::clicked, this, &TFllenar::SeleccionClick);
  FormShow();
}

void TFllenar::FormShow() {
  Cancelar->setFocus();
  const auto b = Bloque("pg_llenar*", "***", 7);
  if (b.empty()) return;
  PonTitulo(*this, Titulo(b[0]));
  textDesde->setText(Q(b[1]));
  TextHasta->setText(Q(b[2]));
  TextValor->setText(Q(b[3]));
  Cancelar->setText(Q(b[4]));
  Ok->setText(Q(b[5]));
  IST->setText(Q(b[6]));
}

void TFllenar::CargaMaximos(const TEditorMemoria& e) {
  const int anchoDigitos = e.DSPIC() && !e.EepromInt() ? 6 : 4;
  for (THexEdit* c : {Valor_, Desde_, Hasta_}) {
    c->SetMaxLength(anchoDigitos);
    c->setMinimumWidth(c->fontMetrics().horizontalAdvance(QString(anchoDigitos + 2, '0')));
  }
  const uint32_t palabras = e.WordCount();
  ultima_ = palabras == 0 ? 0 : (e.DSPIC() && e.EepromInt() ? 2 * palabras - 1 : palabras - 1);
  if (e.EepromInt()) mascara_ = 0xFF;
  else if (e.DSPIC()) mascara_ = 0xFFFFFF;
  else mascara_ = uint32_t{e.Mask()} * 256 + 255;
  Desde_->SetValue(0);
  Hasta_->SetValue(ultima_);
  Valor_->SetValue(mascara_);
  int64_t primera = std::min(e.GetSelStart(), e.GetSelEnd());
  int64_t ultima = std::max(e.GetSelStart(), e.GetSelEnd());
  if (!e.EepromInt()) {
    if (e.DSPIC()) {
      primera = primera / 3 * 2;
      ultima = ultima / 3 * 2;
    } else {
      primera /= 2;
      ultima /= 2;
    }
  }
  selDesde_ = static_cast<uint32_t>(std::max<int64_t>(0, primera));
  selHasta_ = static_cast<uint32_t>(std::max<int64_t>(0, ultima));
  const bool conSeleccion = e.GetSelCount() != 0;
  Seleccion->setEnabled(conSeleccion);
  IST->setEnabled(conSeleccion);
}

void TFllenar::SeleccionClick() {
  Desde_->SetValue(selDesde_);
  Hasta_->SetValue(selHasta_);
}

void TFllenar::FormClose() {
  Valor_->SetValue(Valor_->GetValue() & mascara_);
  Desde_->SetValue(AjustaDireccionLlenar(Desde_->GetValue(), ultima_));
  Hasta_->SetValue(AjustaDireccionLlenar(Hasta_->GetValue(), ultima_));
}

uint32_t TFllenar::Valor() const { return Valor_->GetValue(); }
uint32_t TFllenar::Desde() const { return Desde_->GetValue(); }
uint32_t TFllenar::Hasta() const { return Hasta_->GetValue(); }

// --- Search ------------------------------------------------------------------------

TFBuscar::TFBuscar(QWidget* parent) : QDialog(parent) {
  setObjectName("FBuscar");
  PonTitulo(*this, " Korvane [ Buscar ]");
  auto* v = new QVBoxLayout(this);
  text = new QLabel("* Introducir", this);
  Edit = new THexEdicion(this);
  Edit->setObjectName("Edit");
  v->addWidget(text);
  v->addWidget(Edit);
  v->addLayout(Botones(this, Ok, Cancelar));
  Cancelar->setObjectName("Cancelar");
  FormShow();
}

void TFBuscar::FormShow() {
  Edit->setFocus();
  const auto b = Bloque("pg_buscar*", "***", 4);
  if (b.empty()) return;
  PonTitulo(*this, Titulo(b[0]));
  text->setText(Q(b[1]));
  Cancelar->setText(Q(b[2]));
  Ok->setText(Q(b[3]));
}

void TFBuscar::FormClose() { Edit->setText(Q(RecortaBusqueda(Edit->text().toStdString()))); }

// --- About -------------------------------------------------------------------------

TFAbout::TFAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("FAbout");
  PonTitulo(*this, " Acerca de  Korvane ");
  auto* v = new QVBoxLayout(this);
  auto etiqueta = [&](const char* nombre, const char* texto) {
    auto* l = new QLabel(texto, this);
    l->setObjectName(nombre);
    l->setWordWrap(true);
    v->addWidget(l);
    return l;
  };
  auto* titulo = etiqueta("Titulo", "Korvane");
  QFont f = titulo->font();
  f.setPointSize(f.pointSize() * 2);
  f.setBold(true);
  titulo->setFont(f);
  StaticText2 = etiqueta("StaticText2", "Programador de dispositivos");
  StaticText1 = etiqueta("StaticText1", "PIC10F, 12F, 16F, 16C, 18F y dsPIC30F");
  StaticText10 = etiqueta("StaticText10", "EEPROM serie 24C01 a 24C512");
  StaticText5 = etiqueta("StaticText5", "Programadores en el puerto paralelo o serie");
  StaticText6 = etiqueta("StaticText6", "Programadores con firmware por USB o puerto serie");
  StaticText7 = etiqueta("StaticText7", "");
  StaticText9 = etiqueta("StaticText9", "");
  Traducion = etiqueta("Traducion", "");
  StaticText3 = etiqueta("StaticText3", "");
  // The labels of a web page and a contact address: the project has
  // neither, so they keep their texts but are not shown.
  StaticText7->hide();
  StaticText9->hide();
  cerrar = new QPushButton("Cerrar", this);
  cerrar->setObjectName("cerrar");
  connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
  v->addWidget(cerrar, 0, Qt::AlignRight);
  FormShow();
}

void TFAbout::FormShow() {
  const auto b = Bloque("pg_about*", "***1", 9);
  if (!b.empty()) {
    PonTitulo(*this, Q(" " + b[0] + " " + " Korvane "));
    QLabel* l[] = {StaticText2, StaticText1, StaticText10, StaticText5, StaticText6, StaticText7, StaticText9};
    for (int i = 0; i < 7; ++i) l[i]->setText(Q(b[1 + i]));
    cerrar->setText(Q(b[8]));
  }
  Traducion->setText(Q(TextoIdioma("pg_about*", "***2")));
  StaticText3->setText(Q(TextoIdioma("pg_about*", "***3")));
}

// --- Command-line help -----------------------------------------------------------------

TFAyuda_params::TFAyuda_params(QWidget* parent) : QDialog(parent) {
  setObjectName("FAyuda_params");
  PonTitulo(*this, " Korvane ");
  auto* v = new QVBoxLayout(this);
  Label1 = new QLabel("- Params -", this);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  // The options are lined up with blanks: a fixed-pitch font keeps them in
  // columns, wide enough for an option's line; longer lines wrap, none is
  // cut at the edge.
  QFont fijo = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fijo.setStyleHint(QFont::TypeWriter);
  fijo.setFixedPitch(true);
  Memo1->setFont(fijo);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  const QFontMetrics fm(Memo1->font());
  const int margenes = 2 * (Memo1->frameWidth() + qRound(Memo1->document()->documentMargin())) + 4;
  Memo1->setMinimumSize(fm.horizontalAdvance(QString(114, QLatin1Char('0'))) + margenes, 24 * fm.lineSpacing());
  cerrar = new QPushButton("Cerrar", this);
  cerrar->setObjectName("cerrar");
  connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
  v->addWidget(Label1);
  v->addWidget(Memo1, 1);
  v->addWidget(cerrar, 0, Qt::AlignRight);
  FormShow();
}

void TFAyuda_params::FormShow() {
  cerrar->setFocus();
  const auto b = Bloque("pg_params*", "****", 2);
  if (!b.empty()) {
    Label1->setText(Q(b[0]));
    cerrar->setText(Q(b[1]));
  }
  std::vector<std::string> lineas;
  Idioma.ReadStrings("pg_params*", "Tex*", lineas);
  if (lineas.empty()) return;
  QString t;
  for (const auto& l : lineas) t += Q(l) + "\n";
  t.chop(1);
  Memo1->setPlainText(t);
}

// --- Profile name ---------------------------------------------------------------------

TFGuardaComo::TFGuardaComo(QWidget* parent) : QDialog(parent) {
  setObjectName("FGuardaComo");
  PonTitulo(*this, " Korvane [ Guardar como ]");
  auto* v = new QVBoxLayout(this);
  Edit = new QLineEdit(this);
  Edit->setObjectName("Edit");
  v->addWidget(Edit);
  v->addLayout(Botones(this, Ok, Cancelar));
  Cancelar->setObjectName("Cancelar");
}

void TFGuardaComo::FormShow() {
  if (Actualizando) return;
  Edit->clear();
  Edit->setFocus();
  const auto b = Bloque("pg_GuardarComo*", "***", 3);
  if (b.empty()) return;
  PonTitulo(*this, Titulo(b[0]));
  Cancelar->setText(Q(b[1]));
  Ok->setText(Q(b[2]));
}

void TFGuardaComo::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormShow();
}

// --- Window titles ---------------------------------------------------------------------

int AnchoTitulo(const QWidget& ventana) {
  QFont negrita = ventana.font();
  negrita.setBold(true);
  return QFontMetrics(negrita).horizontalAdvance(ventana.windowTitle()) + MarcoTitulo;
}

void PonTitulo(QDialog& d, const QString& titulo) {
  d.setWindowTitle(titulo);
  d.setMinimumWidth(AnchoTitulo(d));
}

// --- Open and save dialogs ----------------------------------------------------------

std::unique_ptr<QFileDialog> DialogoArchivo(QWidget* padre, const QString& carpeta, const QString& filtro,
                                            bool guardar) {
  auto d = std::make_unique<QFileDialog>(padre, QString(), carpeta, filtro);
  d->setAcceptMode(guardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d->setFileMode(guardar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  auto* vista = d->findChild<QTreeView*>();
  auto* modelo = d->findChild<QFileSystemModel*>();
  if (!vista || !modelo) return d;  // a dialog of the desktop, not Qt's own
  QFileDialog* dialogo = d.get();
  QObject::connect(modelo, &QFileSystemModel::directoryLoaded, dialogo, [dialogo, vista] {
    // The name column keeps its width; the others take what they show.
    QHeaderView* cabecera = vista->header();
    for (int c = 1; c < cabecera->count(); ++c)
      if (!vista->isColumnHidden(c)) vista->resizeColumnToContents(c);
    int ancho = 0;
    for (int c = 0; c < cabecera->count(); ++c)
      if (!vista->isColumnHidden(c)) ancho += vista->columnWidth(c);
    ancho += 2 * vista->frameWidth() + vista->verticalScrollBar()->sizeHint().width();
    int falta = ancho - vista->width();
    if (falta <= 0) return;
    if (const QScreen* pantalla = dialogo->screen())
      falta = std::min(falta, pantalla->availableGeometry().width() - dialogo->frameGeometry().width());
    if (falta > 0) dialogo->resize(dialogo->width() + falta, dialogo->height());
  });
  return d;
}
