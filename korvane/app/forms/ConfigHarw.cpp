#include "ConfigHarw.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdio>
#include <vector>

#include "TransLED.h"
#include "fw/pg_fw.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "pg_idioma.h"

bool Actualizando = false;
bool CancelarHarw = true;
bool CambioEnlace = false;
std::string PerfilInicial;
uint8_t EstadoPines = 0;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// A text of the editor's language section, or the built-in wording.
std::string Texto(const char* clave, const char* defecto) {
  const std::string t = TextoIdioma("pg_ConfigHardw*", clave);
  return t.empty() ? defecto : t;
}

const char* const NombresLinea[NumLineasPerfil] = {"Data", "Clock", "Vpp", "Vpp2", "Vdd", "MCLR", "Data in"};

// The output lines of the six test, end-level and register-chooser rows.
constexpr TLineaPerfil LineasSalida[6] = {lpData, lpClock, lpVpp, lpVpp2, lpVdd, lpMclr};

}  // namespace

TFConfigHarw::TFConfigHarw(QWidget* parent) : QDialog(parent) {
  setModal(true);
  auto* raiz = new QHBoxLayout(this);

  // Profiles, in a sunken frame with a bump inside it.
  PanelPerfiles = new TKvPanel(this);
  PanelPerfiles->setObjectName("PanelPerfiles");
  PanelPerfiles->SetBorderOuter(fsLowered);
  PanelPerfiles->SetBorderInner(fsBump);
  for (auto pon : {&TKvPanel::SetBorderColor, &TKvPanel::SetBorderHighlight, &TKvPanel::SetBorderShadow})
    (PanelPerfiles->*pon)(QColor(0, 0, 128));
  auto* izquierda = new QVBoxLayout(PanelPerfiles);
  auto* botones = new QHBoxLayout;
  Guardar = new QToolButton(PanelPerfiles);
  Guardarcomo = new QToolButton(PanelPerfiles);
  Eliminar = new QToolButton(PanelPerfiles);
  Guardar->setText("Guardar");
  Guardarcomo->setText("Guardar Como");
  Eliminar->setText("Eliminar");
  for (QToolButton* b : {Guardar, Guardarcomo, Eliminar}) botones->addWidget(b);
  botones->addStretch();
  izquierda->addLayout(botones);
  Seleccion = new QLabel(PanelPerfiles);
  izquierda->addWidget(Seleccion);
  ListaHarw = new QListWidget(PanelPerfiles);
  // The window keeps its width when a firmware link hides the port bits:
  // the room goes to the right of the rows, not into the profile list.
  ListaHarw->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  ListaHarw->setSortingEnabled(true);
  izquierda->addWidget(ListaHarw, 1);
  raiz->addWidget(PanelPerfiles);

  // Link, lines and tests.
  auto* derecha = new QVBoxLayout;
  auto* enlace = new QHBoxLayout;
  SelPORT = new QComboBox(this);
  SelPORT->setMinimumContentsLength(14);
  SelPORT->installEventFilter(this);
  Label1 = new QLabel(this);
  Label1->setMinimumWidth(Label1->fontMetrics().horizontalAdvance(" $0000 "));
  Block = new QCheckBox("Block", this);
  enlace->addWidget(SelPORT);
  enlace->addWidget(Label1);
  enlace->addStretch();
  enlace->addWidget(Block);
  derecha->addLayout(enlace);

  // The lines and tests, in a flat frame with cut corners; the port bits
  // and end levels in two frameless panels within it.
  Panel1 = new TKvPanel(this);
  Panel1->setObjectName("Panel1");
  Panel1->SetBorderOuter(fsFlatRounded);
  auto* rejilla = new QGridLayout(Panel1);
  rejilla->setContentsMargins(4, 4, 4, 4);
  LPT = new QRadioButton("LPT", Panel1);
  COM = new QRadioButton("COM", Panel1);
  RUSB_COM = new QRadioButton("USB-232", Panel1);
  RUSB = new QRadioButton("USB", Panel1);
  LPT->setObjectName("LPT");
  COM->setObjectName("COM");
  RUSB_COM->setObjectName("RUSB_COM");
  RUSB->setObjectName("RUSB");
  auto* tipos = new QHBoxLayout;
  for (QRadioButton* r : {LPT, COM, RUSB_COM, RUSB}) tipos->addWidget(r);
  rejilla->addLayout(tipos, 0, 0, 1, 5);

  // The line rows run through three grids: the LEDs and names of Panel1,
  // PanelPort and Panel_END (both hidden on a firmware link). Each grid
  // has a heading row and the same fixed row height and spacing, so that a
  // line's controls stand on one row.
  PanelPort = new TKvPanel(Panel1);
  PanelPort->setObjectName("PanelPort");
  PanelPort->SetBorderOuter(fsNone);
  auto* puerto = new QGridLayout(PanelPort);
  puerto->setContentsMargins(0, 0, 0, 0);
  Panel_END = new TKvPanel(Panel1);
  Panel_END->setObjectName("Panel_END");
  Panel_END->SetBorderOuter(fsNone);
  auto* fin = new QGridLayout(Panel_END);
  fin->setContentsMargins(0, 0, 0, 0);
  SEStado = new QLabel(Panel1);
  SNombre = new QLabel(Panel1);
  bitss = new QLabel(PanelPort);
  rejilla->addWidget(SEStado, 1, 0);
  rejilla->addWidget(SNombre, 1, 1);
  puerto->addWidget(bitss, 0, 0, 1, 4);
  fin->addWidget(new QLabel(Panel_END), 0, 0);  // keeps the heading row

  for (int l = 0; l < NumLineasPerfil; ++l) {
    const int fila = l + 2;
    Leds[l] = new TTransLED(Panel1);
    Leds[l]->setFixedSize(17, 17);
    rejilla->addWidget(Leds[l], fila, 0, Qt::AlignCenter);
    if (l < 6) {
      Tests[l] = new QCheckBox(NombresLinea[l], Panel1);
      rejilla->addWidget(Tests[l], fila, 1);
    } else {
      // The data-in name stands where the test boxes' names stand.
      EntradaDatos = new QLabel(NombresLinea[l], Panel1);
      EntradaDatos->setIndent(style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                              style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
      rejilla->addWidget(EntradaDatos, fila, 1);
    }
    SelBits[l] = new QComboBox(PanelPort);
    Mas[l] = new QLabel(PanelPort);
    Mas[l]->setMinimumWidth(Mas[l]->fontMetrics().horizontalAdvance(" +0 "));
    SelInv[l] = new QCheckBox("Inv", PanelPort);
    puerto->addWidget(SelBits[l], fila - 1, 0);
    if (l < 6) {
      MasAddr[l] = new QComboBox(PanelPort);
      MasAddr[l]->addItems({"+0", "+2"});
      puerto->addWidget(MasAddr[l], fila - 1, 1);
      Ends[l] = new QCheckBox("End", Panel_END);
      fin->addWidget(Ends[l], fila - 1, 0);
    } else {
      fin->addWidget(new QLabel(Panel_END), fila - 1, 0);  // keeps the row
    }
    puerto->addWidget(Mas[l], fila - 1, 2);
    puerto->addWidget(SelInv[l], fila - 1, 3);
  }
  rejilla->addWidget(PanelPort, 1, 2, NumLineasPerfil + 1, 1);
  rejilla->addWidget(Panel_END, 1, 3, NumLineasPerfil + 1, 1);
  int alto = Leds[0]->height();
  for (QWidget* w : std::initializer_list<QWidget*>{SelBits[0], MasAddr[0], Tests[0], SelInv[0], Ends[0]})
    alto = std::max(alto, w->sizeHint().height());
  const int cabecera = SEStado->fontMetrics().height();
  const int espacio = rejilla->verticalSpacing() >= 0 ? rejilla->verticalSpacing() : 6;
  for (QGridLayout* g : {rejilla, puerto, fin}) {
    g->setVerticalSpacing(espacio);
    const int primera = g == rejilla ? 1 : 0;
    g->setRowMinimumHeight(primera, cabecera);
    for (int l = 0; l < NumLineasPerfil; ++l) g->setRowMinimumHeight(primera + 1 + l, alto);
  }

  auto* usos = new QHBoxLayout;
  UsVdd = new QCheckBox("Usar Vdd", Panel1);
  UsVpp2 = new QCheckBox("Usar Vpp2", Panel1);
  UsMclr = new QCheckBox("Usar Mclr", Panel1);
  for (QCheckBox* c : {UsVdd, UsVpp2, UsMclr}) usos->addWidget(c);
  rejilla->addLayout(usos, NumLineasPerfil + 2, 0, 1, 5);
  rejilla->setColumnStretch(4, 1);
  derecha->addWidget(Panel1);
  // Extra height goes below the rows, which must keep their common height.
  derecha->addStretch(1);

  auto* cierre = new QHBoxLayout;
  cierre->addStretch();
  Ok = new QPushButton("Ok", this);
  Cancelar = new QPushButton("Cancelar", this);
  cierre->addWidget(Ok);
  cierre->addWidget(Cancelar);
  derecha->addLayout(cierre);
  raiz->addLayout(derecha, 1);

  Timer = new QTimer(this);
  Timer->setInterval(100);

  // User actions only: programmatic changes of these controls never reach
  // the handlers (clicked, activated).
  connect(Ok, &QPushButton::clicked, this, &TFConfigHarw::OkClick);
  connect(Cancelar, &QPushButton::clicked, this, &TFConfigHarw::CancelarClick);
  connect(Block, &QCheckBox::clicked, this, &TFConfigHarw::BlockClick);
  for (QRadioButton* r : {LPT, COM, RUSB_COM, RUSB})
    connect(r, &QRadioButton::clicked, this, [this, r] { LPTClick(r); });
  connect(SelPORT, &QComboBox::activated, this, &TFConfigHarw::SelPORTChange);
  for (int l = 0; l < NumLineasPerfil; ++l) {
    connect(SelBits[l], &QComboBox::activated, this, &TFConfigHarw::SelDataClick);
    connect(SelInv[l], &QCheckBox::clicked, this, &TFConfigHarw::selinvDataClick);
  }
  for (int l = 0; l < 6; ++l) {
    connect(MasAddr[l], &QComboBox::activated, this, [this, l] { MasAddrChange(l); });
    connect(Tests[l], &QCheckBox::clicked, this, [this, l] { TestDataClick(l); });
    connect(Ends[l], &QCheckBox::clicked, this, &TFConfigHarw::CData_ENDClick);
  }
  for (QCheckBox* c : {UsVdd, UsVpp2, UsMclr}) connect(c, &QCheckBox::clicked, this, &TFConfigHarw::UsVddClick);
  connect(Timer, &QTimer::timeout, this, &TFConfigHarw::TimerTimer);
  connect(ListaHarw, &QListWidget::itemClicked, this, &TFConfigHarw::ListaHarwClick);
  connect(Guardar, &QToolButton::clicked, this, &TFConfigHarw::GuardarClick);
  connect(Guardarcomo, &QToolButton::clicked, this, &TFConfigHarw::GuardarcomoClick);
  connect(Eliminar, &QToolButton::clicked, this, &TFConfigHarw::EliminarClick);

  FormCreate();
}

TFConfigHarw::~TFConfigHarw() {
  if (instalada_) PonInterfazOperacion(anterior_);
}

int TFConfigHarw::Ejecuta() { return exec(); }

void TFConfigHarw::FormCreate() {
  setWindowTitle(" Korvane ");
  SEStado->setText("Estado");
  SNombre->setText("Nombre");
  bitss->setText("Bits del puerto");
  std::vector<std::string> t;
  if (LeeBloqueIdioma("pg_ConfigHardw*", "***", 8, t)) {
    Seleccion->setText(Q(t[1]));
    bitss->setText(Q(t[2]));
    Guardar->setText(Q(t[3]));
    Guardarcomo->setText(Q(t[4]));
    Eliminar->setText(Q(t[5]));
    Cancelar->setText(Q(t[6]));
    Ok->setText(Q(t[7]));
  }
  if (LeeBloqueIdioma("pg_ConfigHardw*", "**b", 6, t)) {
    SEStado->setText(Q(t[0]));
    SNombre->setText(Q(t[1]));
    UsVpp2->setText(Q(t[2]));
    UsVdd->setText(Q(t[3]));
    UsMclr->setText(Q(t[4]));
    Block->setText(Q(t[5]));
  }
  // The row names: the seven lines, then the inversion and end-level boxes.
  if (LeeBloqueIdioma("pg_ConfigHardw*", "**f", NumLineasPerfil + 2, t)) {
    for (int l = 0; l < 6; ++l) Tests[l]->setText(Q(t[l]));
    EntradaDatos->setText(Q(t[lpDataIn]));
    for (QCheckBox* c : SelInv) c->setText(Q(t[NumLineasPerfil]));
    for (QCheckBox* c : Ends) c->setText(Q(t[NumLineasPerfil + 1]));
  }
  CambioEnlace = false;
  Actualizando = true;
  CancelarHarw = true;
  PerfilInicial = PerfilHardware;
  GetDirs();
}

bool TFConfigHarw::Firmware() const { return USB_COM; }
bool TFConfigHarw::Bloqueado() const { return Block->isChecked(); }

void TFConfigHarw::GetDirs() {
  ListaHarw->clear();
  for (const std::string& n : ListaPerfilesHardware()) ListaHarw->addItem(Q(n));
  ListaHarw->sortItems();
}

void TFConfigHarw::SeleccionaPerfil() {
  ListaHarw->clearSelection();
  ListaHarw->setCurrentItem(nullptr);
  for (int i = 0; i < ListaHarw->count(); ++i)
    if (S(ListaHarw->item(i)->text()) == PerfilHardware) ListaHarw->setCurrentRow(i);
}

void TFConfigHarw::FormShow() {
  Guardar->setEnabled(!PerfilHardware.empty());
  Eliminar->setEnabled(!PerfilHardware.empty());
  Actualizando = true;
  SeleccionaPerfil();
  PonLedsNil();
  Panel1->setEnabled(false);
  PonSelAddr();
  for (int l = 0; l < NumLineasPerfil; ++l) SelInv[l]->setChecked(InversionLinea(static_cast<TLineaPerfil>(l)));
  for (QCheckBox* c : Tests) c->setChecked(false);
  UsVdd->setChecked(Usa_Vdd);
  UsVpp2->setChecked(Usa_Vpp2);
  UsMclr->setChecked(Usa_Mclr);
  PonAddr_MAS();
  SelPORTChange();
  Actualizando = false;
  UsVddClick();
  Pon_END();
}

void TFConfigHarw::PonLedsNil() {
  Timer->stop();
  Block->setChecked(true);
  for (int l = 0; l < NumLineasPerfil; ++l) Le(static_cast<TLineaPerfil>(l), TLed::Neutro);
  for (QCheckBox* c : Tests) c->setChecked(false);
}

void TFConfigHarw::Le(TLineaPerfil linea, TLed estado) {
  QColor color;
  switch (estado) {
    case TLed::Encendido: color = QColor::fromRgb(ColorEncendido); break;
    case TLed::Apagado: color = QColor::fromRgb(ColorApagado); break;
    case TLed::Neutro: color = palette().color(QPalette::Button); break;
    case TLed::Panel: color = Panel1->palette().color(QPalette::Window); break;
  }
  Leds[linea]->SetColor(color);
  Leds[linea]->setProperty("estado", static_cast<int>(estado));
}

uint32_t TFConfigHarw::ColorLed(TLineaPerfil linea) const {
  return Leds[linea]->Color().rgb() & 0xFFFFFF;
}

void TFConfigHarw::PonSelAddr() {
  // A serial link also takes a device path typed in the box (a by-id link,
  // a Bluetooth or pseudo-terminal); the profile keeps it.
  const TTipoEnlace tipo = TipoEnlace();
  const bool escrito = tipo == TTipoEnlace::teCOM || tipo == TTipoEnlace::teUSB232;
  if (escrito != SelPORT->isEditable()) {
    SelPORT->setEditable(escrito);
    if (escrito) {
      SelPORT->setInsertPolicy(QComboBox::NoInsert);
      SelPORT->setCompleter(nullptr);  // a path is taken as typed
      connect(SelPORT->lineEdit(), &QLineEdit::editingFinished, this, &TFConfigHarw::SelPORTEscrito);
    }
  }
  SelPORT->clear();
  if (Firmware()) {
    std::vector<std::string> lista;
    ListaPuertos(lista, true, USB_);
    const std::string& actual = USB_ ? ADDR_USB_ : ADDR_USB_COM;
    // The profile's own port stays visible while it is not plugged in.
    bool esta = false;
    for (const auto& n : lista) esta = esta || n == actual;
    if (!esta && !actual.empty()) lista.push_back(actual);
    for (const auto& n : lista) SelPORT->addItem(Q(n));
    SelPORT->setCurrentIndex(SelPORT->findText(Q(actual)));
  } else {
    // Pin-level ports by the port table, each with the device node it stands for.
    const int indice = DaIndicePuerto(AddrB);
    const bool lpt = indice >= 4;
    for (int i = lpt ? 4 : 0; i < (lpt ? NumPuertos : 4); ++i)
      SelPORT->addItem(Q(NombrePuertoTabla(DaDireccionPuerto(i)) + "  " + NodoDePuerto(i)));
    SelPORT->setCurrentIndex(lpt ? indice - 4 : indice);
  }
  SelPORT->setToolTip(SelPORT->currentText());
}

void TFConfigHarw::SelPORTEscrito() {
  if (Actualizando || !SelPORT->isEditable()) return;
  const std::string escrito = S(SelPORT->currentText().trimmed());
  const int i = SelPORT->findText(Q(escrito));
  if (escrito.empty() || (i >= 0 && i == SelPORT->currentIndex())) {
    // Nothing new: the box shows the link's port again.
    SelPORT->setEditText(SelPORT->itemText(SelPORT->currentIndex()));
    return;
  }
  if (i >= 0) {
    SelPORT->setCurrentIndex(i);  // a listed port typed out
  } else if (Firmware()) {
    ADDR_USB_COM = escrito;
    PonSelAddr();
  } else {
    // "COM2" names a port of the table; any other text is the device node
    // of the profile's COM port.
    const std::string nodo = NodoSerie(escrito);
    int com = -1;
    for (int c = 0; c < 4; ++c)
      if (nodo == "/dev/ttyS" + std::to_string(c) && escrito.rfind('/', 0) != 0) com = c;
    if (com >= 0) {
      AddrB = DaDireccionPuerto(com);
      NodoPuerto.clear();
    } else {
      NodoPuerto = nodo;
    }
    PonSelAddr();
  }
  SelPORTChange();
}

void TFConfigHarw::PonAddr_MAS() {
  const bool lpt = TipoEnlace() == TTipoEnlace::teLPT;
  for (int l = 0; l < 6; ++l) {
    MasAddr[l]->setCurrentIndex(EleccionDeLinea(LineasSalida[l]));
    MasAddr[l]->setVisible(lpt);
  }
}

void TFConfigHarw::RellenaBits(TLineaPerfil linea) {
  QComboBox* lista = SelBits[linea];
  lista->clear();
  for (const char* n : NombresBits(RegistroDeLinea(linea))) lista->addItem(n);
  // A mask of more than one bit (a hand-edited profile) selects nothing.
  lista->setCurrentIndex(DaNumeroBit(MascaraLinea(linea), -1));
  Mas[linea]->setText(Q(TextoDesplazamiento(linea)));
}

void TFConfigHarw::SueltaEnlace(bool reabrir) {
  if (Firmware()) {
    if (reabrir || PuertoAbierto()) EnviaStop();
  } else if (PuertoAbierto()) {
    PinesReposo();
  }
  CierraPuerto(USB_);
}

void TFConfigHarw::SelPORTChange() {
  SueltaEnlace(false);
  const bool fw = Firmware();
  PanelPort->setVisible(!fw);
  Panel_END->setVisible(!fw);
  UsVdd->setEnabled(!fw);
  UsMclr->setEnabled(!fw);
  for (QComboBox* c : SelBits) c->clear();

  MarcaTipoEnlace();
  if (fw) {
    const std::string texto = S(SelPORT->currentText());
    if (!texto.empty()) (USB_ ? ADDR_USB_ : ADDR_USB_COM) = texto;
    Label1->clear();
    UsVdd->setChecked(true);
    UsMclr->setChecked(true);
    Usa_Vdd = Usa_Mclr = true;
  } else {
    if (!CambioEnlace) {
      PonLedsNil();
      const int i = std::max(0, SelPORT->currentIndex());
      const uint16_t antes = AddrB;
      AddrB = DaDireccionPuerto(TipoEnlace() == TTipoEnlace::teLPT ? i + 4 : i);
      // Another port of the list stands on its usual device node, as listed.
      if (AddrB != antes && !NodoPuerto.empty()) {
        NodoPuerto.clear();
        PonSelAddr();
      }
    }
    Label1->setText(QStringLiteral("$%1").arg(AddrB, 4, 16, QLatin1Char('0')).toUpper());
    std::array<int, 6> elecciones{};
    for (int l = 0; l < 6; ++l) elecciones[l] = MasAddr[l]->currentIndex() == 1 ? 1 : 0;
    PonDireccionesEnlace(elecciones);
    for (int l = 0; l < NumLineasPerfil; ++l) RellenaBits(static_cast<TLineaPerfil>(l));
    PonAddr_MAS();
  }
  ListaHarw->setFocus();
}

void TFConfigHarw::MarcaTipoEnlace() {
  QRadioButton* const botones[] = {LPT, COM, RUSB_COM, RUSB};
  botones[static_cast<int>(TipoEnlace())]->setChecked(true);
}

void TFConfigHarw::LPTClick(QRadioButton* boton) {
  if (Actualizando || Bloqueado()) return;
  Timer->stop();
  SueltaEnlace(false);
  CambioEnlace = true;
  USB_COM = USB_ = false;
  NodoPuerto.clear();  // a device node names a port of one kind
  const int i = std::max(0, SelPORT->currentIndex());
  const QString nombre = boton->objectName();
  if (nombre == "LPT") AddrB = DaDireccionPuerto(std::min(i, 2) + 4);
  else if (nombre == "COM") AddrB = DaDireccionPuerto(std::min(i, 3));
  else {
    AddrB = 0x3F8;
    USB_COM = true;
    USB_ = nombre == "RUSB";
  }
  PonSelAddr();
  Block->setChecked(true);
  SelPORTChange();
  Block->setChecked(false);
  BlockClick();
  CambioEnlace = false;
}

void TFConfigHarw::MasAddrChange(int l) {
  const TLineaPerfil linea = LineasSalida[l];
  const int bit = SelBits[linea]->currentIndex();
  DireccionLinea(linea) = DaAddr_MAS(MasAddr[l]->currentIndex());
  RellenaBits(linea);
  SelBits[linea]->setCurrentIndex(bit);
}

void TFConfigHarw::SelDataClick() {
  if (Actualizando) return;
  for (int l = 0; l < NumLineasPerfil; ++l) {
    const int i = SelBits[l]->currentIndex();
    if (i >= 0) MascaraLinea(static_cast<TLineaPerfil>(l)) = DaMascaraBit(i, 0);
  }
  ListaHarw->setFocus();
}

void TFConfigHarw::selinvDataClick() {
  if (Actualizando) return;
  for (int l = 0; l < NumLineasPerfil; ++l) InversionLinea(static_cast<TLineaPerfil>(l)) = SelInv[l]->isChecked();
  // The lines show the new inversion at once (only where a test drives them).
  if (!Bloqueado() && PuertoAbierto()) TestDataClick(-1);
}

void TFConfigHarw::UsVddClick() {
  if (Actualizando) return;
  const bool libre = !Bloqueado();
  const bool pines = !Firmware();
  UsVdd->setEnabled(libre && pines);
  UsMclr->setEnabled(libre && pines);
  Usa_Vdd = UsVdd->isChecked();
  Usa_Vpp2 = UsVpp2->isChecked();
  Usa_Mclr = UsMclr->isChecked();
  const auto habilita = [&](TLineaPerfil linea, int fila, bool usa) {
    Leds[linea]->setEnabled(usa);
    SelBits[linea]->setEnabled(libre && usa);
    SelInv[linea]->setEnabled(libre && usa);
    Tests[fila]->setEnabled(libre && usa);
    Ends[fila]->setEnabled(libre && usa);
    MasAddr[fila]->setEnabled(libre && usa);
  };
  habilita(lpVdd, 4, Usa_Vdd);
  habilita(lpVpp2, 3, Usa_Vpp2);
  habilita(lpMclr, 5, Usa_Mclr);
  Panel1->setEnabled(libre);
  PanelPort->setEnabled(libre);
  Panel_END->setEnabled(libre);
}

void TFConfigHarw::CData_ENDClick() {
  if (Actualizando || Bloqueado()) return;
  DEF_BIT_DATA = Ends[0]->isChecked();
  DEF_BIT_CLOCK = Ends[1]->isChecked();
  DEF_BIT_VPP = Ends[2]->isChecked();
  DEF_BIT_VPP2 = Ends[3]->isChecked();
  DEF_BIT_VDD = Ends[4]->isChecked();
  DEF_BIT_MCLR = Ends[5]->isChecked();
}

void TFConfigHarw::Pon_END() {
  Ends[0]->setChecked(DEF_BIT_DATA);
  Ends[1]->setChecked(DEF_BIT_CLOCK);
  Ends[2]->setChecked(DEF_BIT_VPP);
  Ends[3]->setChecked(DEF_BIT_VPP2);
  Ends[4]->setChecked(DEF_BIT_VDD);
  Ends[5]->setChecked(DEF_BIT_MCLR);
}

void TFConfigHarw::EnviaStop() {
  if (!PuertoAbierto()) AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, false);
  if (!PuertoAbierto()) return;
  ResetProgramador();
  TPaquete[0] = '>';
  TPaquete[1] = 'Z';
  for (int i = 2; i < 8; ++i) TPaquete[i] = 0;
  EnviaPaquete(8);
}

void TFConfigHarw::BlockClick() {
  const bool libre = !Bloqueado();
  Panel1->setEnabled(libre);
  PanelPort->setEnabled(libre);
  Panel_END->setEnabled(libre);
  if (!libre) {
    PonLedsNil();
    SueltaEnlace(true);
  } else if (!Firmware()) {
    // The LEDs read the lines through the port, which must be held for it.
    if (!PuertoAbierto()) AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true);
    if (PuertoAbierto()) PinesReposo();
  }
  if (!Firmware()) {
    if (libre) Timer->start();
    else Timer->stop();
  }
  UsVddClick();
}

TPruebas TFConfigHarw::Pruebas() const {
  TPruebas p;
  p.Data = Tests[0]->isChecked();
  p.Clock = Tests[1]->isChecked();
  p.Vpp = Tests[2]->isChecked();
  p.Vpp2 = Tests[3]->isChecked();
  p.Vdd = Tests[4]->isChecked();
  p.Mclr = Tests[5]->isChecked();
  return p;
}

void TFConfigHarw::TestDataClick(int linea) {
  if (!PuertoAbierto()) AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true);
  if (!PuertoAbierto()) {
    // The opener has said why; a line that was not driven is not shown ticked.
    if (linea >= 0) Tests[linea]->setChecked(false);
    return;
  }
  const TPruebas p = Pruebas();
  if (!Firmware()) {
    p.Data ? DatoAlto() : DatoBajo();
    p.Clock ? ClockAlto() : ClockBajo();
    p.Vdd ? VddOn() : VddOff();
    p.Vpp ? VppOn() : VppOff();
    if (Usa_Vpp2) p.Vpp2 ? Vpp2On() : Vpp2Off();
    if (Usa_Mclr) p.Mclr ? MclrActivo() : MclrReposo();
    return;
  }
  PurgaCom();
  SumaXor = 0;
  TPaquete[0] = '>';
  TPaquete[1] = 'Y';
  TPaquete[2] = BytePinesFw(p);
  for (int i = 3; i < 7; ++i) TPaquete[i] = 0;
  TPaquete[7] = linea >= 0 && Tests[linea]->isChecked() ? 1 : 0;
  if (!EnviaPaquete(8)) {
    CierraPuerto(USB_);
    AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true);
    ResetProgramador();
    EnviaPaquete(8);
  }
  if (LeeRespuesta(2)) {
    EstadoPines = BufferRx[1];
    Timer->start();
  } else {
    Timer->stop();
  }
}

void TFConfigHarw::TimerTimer() {
  if (Actualizando) return;
  if (Bloqueado()) {
    Timer->stop();
    CierraPuerto(USB_);
    return;
  }
  // A pin-level port that could not be opened has nothing to show.
  if (!Firmware() && !PuertoAbierto()) return;
  const TLeds leds = Firmware() ? LedsFirmware(EstadoPines) : LedsPines();
  for (int l = 0; l < NumLineasPerfil; ++l) Le(static_cast<TLineaPerfil>(l), leds[l]);
}

void TFConfigHarw::ListaHarwClick() {
  if (Actualizando || !ListaHarw->currentItem()) return;
  Timer->stop();
  SueltaEnlace(true);
  PerfilHardware = S(ListaHarw->currentItem()->text());
  LeePerfilHardware(PerfilHardware);
  FormShow();
}

void TFConfigHarw::GuardarClick() {
  const std::string pregunta = Texto("**g", "Save the profile") + " " + PerfilHardware + " ?";
  const bool si = AlConfirmar ? AlConfirmar(pregunta)
                              : QMessageBox::question(this, windowTitle(), Q(pregunta)) == QMessageBox::Yes;
  if (si && !PerfilHardware.empty() && !GuardaPerfilHardware(PerfilHardware))
    Mensaje(Texto("**s", "The profile could not be saved:") + " " + RutaPerfil(PerfilHardware));
  Actualizando = true;
  GetDirs();
  SeleccionaPerfil();
  Actualizando = false;
}

void TFConfigHarw::EliminarClick() {
  const std::string pregunta = Texto("**e", "Delete the profile") + " " + PerfilHardware + " ?";
  const bool si = AlConfirmar ? AlConfirmar(pregunta)
                              : QMessageBox::question(this, windowTitle(), Q(pregunta)) == QMessageBox::Yes;
  if (!si) return;
  Actualizando = true;
  if (!BorraPerfilHardware(PerfilHardware)) {
    Mensaje(Texto("**d", "The profile could not be deleted:") + " " + RutaPerfil(PerfilHardware));
    Actualizando = false;
    return;
  }
  GetDirs();
  PerfilHardware.clear();
  FormShow();
}

void TFConfigHarw::GuardarcomoClick() {
  std::optional<std::string> escrito;
  if (AlPedirNombre) escrito = AlPedirNombre();
  std::string nombre, motivo;
  if (escrito && !escrito->empty()) {
    if (!NombrePerfilValido(*escrito, nombre, motivo)) {
      Mensaje(Texto("**n", "A profile name must not be empty nor hold '/', '\\' or control characters:") + " " +
              *escrito);
    } else if (!GuardaPerfilHardware(nombre)) {
      Mensaje(Texto("**s", "The profile could not be saved:") + " " + RutaPerfil(nombre));
    } else {
      PerfilHardware = nombre;
      Actualizando = true;
      GetDirs();
      FormShow();
      return;
    }
  }
  Actualizando = true;
  GetDirs();
  SeleccionaPerfil();
  Actualizando = false;
}

void TFConfigHarw::OkClick() {
  CancelarHarw = false;
  close();
}

void TFConfigHarw::CancelarClick() { close(); }

void TFConfigHarw::Mensaje(const std::string& texto) {
  // Nobody answers a box once the program is closing.
  if (CierrePedido()) {
    std::fprintf(stderr, "%s\n", texto.c_str());
    return;
  }
  if (AlMensaje) AlMensaje(texto);
  else QMessageBox::warning(this, windowTitle(), Q(texto));
}

bool TFConfigHarw::eventFilter(QObject* objeto, QEvent* e) {
  // Return ends the typing of a port (the box has taken it); it does not
  // reach the dialog, whose default button would close the window.
  if (objeto == SelPORT && e->type() == QEvent::KeyPress && SelPORT->isEditable()) {
    const int tecla = static_cast<QKeyEvent*>(e)->key();
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) return true;
  }
  return QDialog::eventFilter(objeto, e);
}

void TFConfigHarw::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  cerrado_ = false;
  anterior_ = PonInterfazOperacion(this);
  instalada_ = true;
  FormShow();
}

void TFConfigHarw::FormClose() {
  Timer->stop();
  // The lines go to rest and to their end levels on the link that is open
  // now, as edited, before the port closes and the profile is saved or
  // reloaded.
  if (Firmware()) {
    EnviaStop();
  } else {
    if (!PuertoAbierto() && TipoEnlace() == TTipoEnlace::teLPT)
      AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, false);
    if (PuertoAbierto()) {
      PinesReposo();
      VddOff();
      PonPines_END();
    }
  }
  CierraPuerto(USB_);
  if (CancelarHarw) {
    PerfilHardware = PerfilInicial;
    // A starting profile deleted meanwhile leaves none selected, as a
    // missing file does at start-up.
    if (!LeePerfilHardware(PerfilHardware)) PerfilHardware.clear();
  } else if (!PerfilHardware.empty() && !GuardaPerfilHardware(PerfilHardware)) {
    Mensaje(Texto("**s", "The profile could not be saved:") + " " + RutaPerfil(PerfilHardware));
  }
  if (instalada_) PonInterfazOperacion(anterior_);
  instalada_ = false;
  anterior_ = nullptr;
}

void TFConfigHarw::closeEvent(QCloseEvent* e) {
  if (!cerrado_) {
    cerrado_ = true;
    FormClose();
  }
  QDialog::closeEvent(e);
}

void TFConfigHarw::done(int r) {
  if (!cerrado_) {
    cerrado_ = true;
    FormClose();
  }
  QDialog::done(r);
}
