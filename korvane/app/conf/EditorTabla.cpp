#include "EditorTabla.h"

#include <QAbstractScrollArea>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "Disposicion.h"
#include "KvPanel.h"
#include "pg_pic.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Every layout under `l` computes its sizes afresh at the next question.
void Invalida(QLayout* l) {
  for (int i = 0; i < l->count(); ++i)
    if (QLayout* h = l->itemAt(i)->layout()) Invalida(h);
  l->invalidate();
}

}  // namespace

TFEditorTabla::TFEditorTabla(const TTablaConf& tabla, QWidget* padre) : TFEditorConf(padre), tabla_(tabla) {
  setObjectName(Q(tabla_.nombre));
  // The editor and its group boxes share the 3-D light colour, so the
  // band above a group's frame line is no strip of its own.
  QPalette fondo = palette();
  fondo.setColor(QPalette::Window, cl3DLight());
  setPalette(fondo);
  setAutoFillBackground(true);
  Construye();
  estado_ = CargaConf(tabla_, Dispositivo(), {}, {});
  id_->setText(Q(Hex4(0)));
  AplicaVista();
  MuestraEstado();
  RefrescaEtiquetas();
}

int TFEditorTabla::Dispositivo() const {
  const uint8_t i = tabla_.claseLista == 1 ? IndiceListPicsC : IndiceListPics;
  return i == 255 ? -1 : i;
}

void TFEditorTabla::Construye() {
  auto* raiz = new QVBoxLayout(this);
  int n = 0;
  for (const TGrupoConf& g : tabla_.grupos) {
    auto* caja = new TKvGroupBox(this);
    caja->SetCaption(Q(g.texto));
    caja->SetColor(cl3DLight());
    caja->setObjectName(Q(g.nombre));
    auto* filas = new QVBoxLayout(caja);
    auto* columnas = new QHBoxLayout;
    filas->addLayout(columnas);
    std::vector<TColumnaFluida*> col;
    auto columna = [&](size_t c) {
      while (col.size() <= c) {
        col.push_back(new TColumnaFluida);
        columnas->addLayout(col.back());
      }
      return col[c];
    };
    for (const TControlConf& c : g.controles) {
      TWidgetControl w;
      const int indice = n++;
      switch (c.clase) {
        case TClaseControl::Casilla: {
          w.casilla = new QCheckBox(caja);
          w.casilla->setObjectName(Q(c.nombre));
          w.caja = w.casilla;
          connect(w.casilla, &QCheckBox::clicked, this, [this, indice](bool marcada) { CambioUsuario(indice, marcada ? 1 : 0); });
          break;
        }
        case TClaseControl::Radios: {
          auto* box = new TKvGroupBox(caja);
          box->setObjectName(Q(c.nombre));
          auto* v = new QVBoxLayout(box);
          w.grupo = new QButtonGroup(box);
          for (size_t i = 0; i < c.opciones.size(); ++i) {
            auto* b = new QRadioButton(box);
            b->setObjectName(Q(c.opciones[i].nombre));
            v->addWidget(b);
            w.grupo->addButton(b, static_cast<int>(i));
            w.botones.push_back(b);
          }
          connect(w.grupo, &QButtonGroup::idClicked, this, [this, indice](int id) { CambioUsuario(indice, id); });
          w.caja = box;
          break;
        }
        case TClaseControl::Lista: {
          auto* box = new TKvGroupBox(caja);
          box->setObjectName(Q(c.nombre + "_caja"));
          auto* v = new QVBoxLayout(box);
          w.lista = new TListaAcotada(box);
          w.lista->setObjectName(Q(c.nombre));
          for (size_t i = 0; i < c.opciones.size(); ++i) w.lista->addItem(QString());
          v->addWidget(w.lista);
          // `activated`: a list set by a load is no user change.
          connect(w.lista, &QComboBox::activated, this, [this, indice](int i) { CambioUsuario(indice, i); });
          w.caja = box;
          break;
        }
      }
      w.columna = columna(c.columna);
      w.columna->addWidget(w.caja);
      controles_.push_back(w);
    }
    filasColumnas_.push_back(columnas);
    columnas_.push_back(col);
    auto* fila = new QHBoxLayout;
    std::vector<QLabel*> etiquetas, prefijos;
    for (const TEtiquetaConf& e : g.etiquetas) {
      auto* p = new QLabel(Q(e.prefijo), caja);
      auto* l = new QLabel(caja);
      l->setObjectName(Q(e.nombre));
      l->setFrameShape(QFrame::Panel);
      l->setFrameShadow(QFrame::Sunken);
      fila->addWidget(p);
      fila->addWidget(l);
      etiquetas.push_back(l);
      prefijos.push_back(p);
    }
    fila->addStretch();
    filas->addLayout(fila);
    etiquetas_.push_back(etiquetas);
    prefijos_.push_back(prefijos);
    grupos_.push_back(caja);
    raiz->addWidget(caja);
  }
  auto* filaId = new QHBoxLayout;
  auto* cajaId = new TKvGroupBox(this);
  cajaId->setObjectName(QStringLiteral("GroupID"));
  cajaId->SetCaption(QStringLiteral(" ID "));
  cajaId->SetColor(cl3DLight());
  // As wide as the caption or the four digits need, not as the row.
  cajaId->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
  auto* enCaja = new QHBoxLayout(cajaId);
  id_ = new QLineEdit(cajaId);
  id_->setObjectName(QStringLiteral("ID"));
  id_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), id_));
  id_->setMaximumWidth(id_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) * 2 + 12);
  enCaja->addWidget(id_);
  filaId->addWidget(cajaId);
  filaId->addStretch();
  raiz->addLayout(filaId);
  cajaId->setVisible(tabla_.conId);
  pie_ = new QVBoxLayout;
  raiz->addLayout(pie_);
  raiz->addStretch();
}

// Texts first, visibility last: a caption changed inside a box that is
// hidden at that moment would keep the box's old size once shown.
void TFEditorTabla::AplicaVista() {
  const TVistaConf v = VistaConf(tabla_, Dispositivo(), &estado_);
  for (size_t n = 0; n < controles_.size(); ++n) {
    const TVistaControl& vc = v.controles[n];
    TWidgetControl& w = controles_[n];
    w.caja->setEnabled(vc.habilitado);
    if (w.casilla) w.casilla->setText(Q(vc.texto));
    if (w.grupo) {
      static_cast<TKvGroupBox*>(w.caja)->SetCaption(Q(vc.texto));
      for (size_t i = 0; i < w.botones.size(); ++i) {
        w.botones[i]->setText(Q(vc.opciones[i].texto));
        w.botones[i]->setEnabled(vc.opciones[i].habilitado);
        w.botones[i]->setVisible(vc.opciones[i].visible);
      }
    }
    if (w.lista) {
      static_cast<TKvGroupBox*>(w.caja)->SetCaption(Q(vc.texto));
      for (size_t i = 0; i < vc.opciones.size(); ++i) w.lista->setItemText(static_cast<int>(i), Q(vc.opciones[i].texto));
      w.lista->Ajusta();
    }
    w.caja->setVisible(vc.visible);
  }
  for (size_t g = 0; g < grupos_.size(); ++g) grupos_[g]->setVisible(static_cast<int>(g) == v.grupo);
  // The room a group has beyond its controls' hints goes to the columns of
  // lists whose choices are cut, where it shows more of them.
  for (size_t g = 0; g < columnas_.size(); ++g)
    for (size_t k = 0; k < columnas_[g].size(); ++k) {
      bool acotada = false;
      for (const TWidgetControl& w : controles_)
        acotada = acotada || (w.columna == columnas_[g][k] && w.lista && !w.caja->isHidden() && w.lista->Acotada());
      filasColumnas_[g]->setStretch(static_cast<int>(k), acotada ? 1 : 0);
    }
  const int dispositivo = Dispositivo();
  for (size_t g = 0; g < etiquetas_.size(); ++g)
    for (size_t e = 0; e < etiquetas_[g].size(); ++e) {
      const TDispositivos& solo = tabla_.grupos[g].etiquetas[e].soloEn;
      const bool visible = dispositivo >= 0 && solo.test(static_cast<size_t>(dispositivo));
      etiquetas_[g][e]->setVisible(visible);
      prefijos_[g][e]->setVisible(visible);
    }
  AjustaColumnas();
}

void TFEditorTabla::showEvent(QShowEvent* e) {
  TFEditorConf::showEvent(e);
  QAbstractScrollArea* a = nullptr;
  for (QWidget* p = parentWidget(); p && !a; p = p->parentWidget()) a = qobject_cast<QAbstractScrollArea*>(p);
  if (a != pagina_) {
    if (pagina_) pagina_->removeEventFilter(this);
    pagina_ = a;
    if (a) a->installEventFilter(this);
  }
  if (pagina_) PonAltoDisponible(pagina_->maximumViewportSize().height());
}

bool TFEditorTabla::eventFilter(QObject* o, QEvent* e) {
  if (o == pagina_ && e->type() == QEvent::Resize) PonAltoDisponible(pagina_->maximumViewportSize().height());
  return TFEditorConf::eventFilter(o, e);
}

void TFEditorTabla::PonAltoDisponible(int alto) {
  if (alto == altoDisponible_) return;
  altoDisponible_ = alto;
  AjustaColumnas();
}

// The sizes the editor asks for, computed again from its controls.
void TFEditorTabla::Recalcula() {
  for (TKvGroupBox* g : grupos_) {
    Invalida(g->layout());
    g->updateGeometry();
  }
  Invalida(layout());
  updateGeometry();
}

// Taller than the page shows, the shown group's columns go on to their
// right: each may take the page's height less what the editor needs
// besides its tallest column.
void TFEditorTabla::AjustaColumnas() {
  if (altoDisponible_ <= 0) return;
  for (const auto& g : columnas_)
    for (TColumnaFluida* c : g) c->PonAltoMaximo(QWIDGETSIZE_MAX);
  Recalcula();
  int columna = 0;
  for (size_t g = 0; g < grupos_.size(); ++g)
    if (!grupos_[g]->isHidden())
      for (TColumnaFluida* c : columnas_[g]) columna = std::max(columna, c->minimumSize().height());
  const int limite = altoDisponible_ - (minimumSizeHint().height() - columna);
  if (limite >= columna) return;
  for (const auto& g : columnas_)
    for (TColumnaFluida* c : g) c->PonAltoMaximo(std::max(1, limite));
  Recalcula();
}

void TFEditorTabla::MuestraEstado() {
  for (size_t n = 0; n < controles_.size(); ++n) {
    TWidgetControl& w = controles_[n];
    const int v = estado_.valores[n];
    if (w.casilla) w.casilla->setChecked(v == 1);
    if (w.grupo) {
      if (v >= 0 && v < static_cast<int>(w.botones.size())) {
        w.botones[static_cast<size_t>(v)]->setChecked(true);
      } else {
        // An exclusive group keeps one button checked; "none" needs it
        // open for a moment.
        w.grupo->setExclusive(false);
        for (QAbstractButton* b : w.botones) b->setChecked(false);
        w.grupo->setExclusive(true);
      }
    }
    if (w.lista) w.lista->setCurrentIndex(v);
  }
}

void TFEditorTabla::RefrescaEtiquetas() {
  const std::vector<uint16_t> w = Palabras();
  mostradas_ = w;
  for (size_t g = 0; g < etiquetas_.size(); ++g)
    for (size_t e = 0; e < etiquetas_[g].size(); ++e) {
      const uint8_t p = tabla_.grupos[g].etiquetas[e].palabra;
      etiquetas_[g][e]->setText(p < w.size() ? Q(Hex4(w[p])) : QString());
    }
  AlRefrescar();
}

TEstadoConf TFEditorTabla::Estado() const {
  TEstadoConf e = estado_;
  bool ok = false;
  const uint16_t id = static_cast<uint16_t>(id_->text().toUInt(&ok, 16));
  e.id = ok ? id : 0;
  return e;
}

std::vector<uint16_t> TFEditorTabla::Palabras() const { return PalabrasConf(tabla_, Dispositivo(), estado_); }

void TFEditorTabla::CambioUsuario(int n, int valor) {
  estado_.valores[static_cast<size_t>(n)] = valor;
  if (tabla_.ajustaEstado) {
    tabla_.ajustaEstado(Dispositivo(), estado_);
    MuestraEstado();
  }
  // A choice may show or hide other controls (`si` conditions, ajustaVista).
  AplicaVista();
  RefrescaEtiquetas();
  emit Cambiado();
}

void TFEditorTabla::LoadFromBuffer(std::span<const uint16_t> id, std::span<const uint16_t> config) {
  estado_ = CargaConf(tabla_, Dispositivo(), id, config);
  id_->setText(Q(Hex4(estado_.id)));
  AplicaVista();
  MuestraEstado();
  RefrescaEtiquetas();
}

void TFEditorTabla::SaveToBuffer(std::span<uint16_t> id, std::span<uint16_t> config) {
  GuardaConf(tabla_, Dispositivo(), Estado(), id, config);
}

void TFEditorTabla::SetMask(std::span<uint16_t> config) { MascaraConf(tabla_, Dispositivo(), config); }

void TFEditorTabla::CambiaDispositivo() {
  // The words shown so far, read again under the new device's rules.
  const std::vector<uint16_t> w = mostradas_;
  uint16_t id[4];
  BufferToID(id, Estado().id, tabla_.ancho);
  LoadFromBuffer(id, w);
}
