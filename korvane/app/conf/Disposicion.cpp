#include "Disposicion.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

// --- TColumnaFluida ----------------------------------------------------------

TColumnaFluida::~TColumnaFluida() {
  for (QLayoutItem* i : items_) delete i;
}

void TColumnaFluida::PonAltoMaximo(int alto) {
  if (alto == altoMaximo_) return;
  altoMaximo_ = alto;
  invalidate();
}

void TColumnaFluida::addItem(QLayoutItem* item) {
  items_.push_back(item);
  invalidate();
}

QLayoutItem* TColumnaFluida::itemAt(int i) const {
  return i >= 0 && i < count() ? items_[static_cast<size_t>(i)] : nullptr;
}

QLayoutItem* TColumnaFluida::takeAt(int i) {
  if (i < 0 || i >= count()) return nullptr;
  QLayoutItem* item = items_[static_cast<size_t>(i)];
  items_.erase(items_.begin() + i);
  invalidate();
  return item;
}

// The gap between two controls of a column, and between two columns.
int TColumnaFluida::Espacio() const {
  int s = spacing();
  if (s < 0)
    if (const QWidget* w = parentWidget())
      s = w->style()->layoutSpacing(QSizePolicy::CheckBox, QSizePolicy::CheckBox, Qt::Vertical);
  return s < 0 ? 6 : s;
}

std::vector<TColumnaFluida::TTramo> TColumnaFluida::Reparte() const {
  std::vector<TTramo> r;
  const int s = Espacio();
  for (QLayoutItem* i : items_) {
    if (i->isEmpty()) continue;
    const QSize h = i->sizeHint();
    if (r.empty() || r.back().alto + s + h.height() > altoMaximo_) r.emplace_back();
    TTramo& t = r.back();
    t.alto += (t.items.empty() ? 0 : s) + h.height();
    t.ancho = std::max(t.ancho, h.width());
    t.minimo = std::max(t.minimo, i->minimumSize().width());
    t.items.push_back(i);
  }
  return r;
}

QSize TColumnaFluida::Tamano(bool minimo) const {
  const std::vector<TTramo> r = Reparte();
  int ancho = 0, alto = 0;
  for (const TTramo& t : r) {
    ancho += minimo ? t.minimo : t.ancho;
    alto = std::max(alto, t.alto);
  }
  if (!r.empty()) ancho += Espacio() * static_cast<int>(r.size() - 1);
  const QMargins m = contentsMargins();
  return {ancho + m.left() + m.right(), alto + m.top() + m.bottom()};
}

QSize TColumnaFluida::sizeHint() const { return Tamano(false); }
QSize TColumnaFluida::minimumSize() const { return Tamano(true); }

// Controls stand at their hinted height from the top, as wide as their
// column; room beyond the hints is shared out evenly among the columns,
// and a shortfall is taken from what each column has above its minimum.
void TColumnaFluida::setGeometry(const QRect& r) {
  QLayout::setGeometry(r);
  const std::vector<TTramo> tramos = Reparte();
  if (tramos.empty()) return;
  const QRect a = r.marginsRemoved(contentsMargins());
  const int s = Espacio();
  const int n = static_cast<int>(tramos.size());
  const int libre = a.width() - s * (n - 1);
  int hint = 0, minimo = 0;
  for (const TTramo& t : tramos) {
    hint += t.ancho;
    minimo += t.minimo;
  }
  std::vector<int> anchos;
  for (int k = 0; k < n; ++k) {
    const TTramo& t = tramos[static_cast<size_t>(k)];
    if (libre >= hint) {
      const int extra = libre - hint;
      anchos.push_back(t.ancho + extra / n + (k < extra % n ? 1 : 0));
    } else {
      const int holgura = hint - minimo;
      const int falta = std::max(0, libre - minimo);
      anchos.push_back(t.minimo + (holgura > 0 ? falta * (t.ancho - t.minimo) / holgura : 0));
    }
  }
  int x = a.x();
  for (int k = 0; k < n; ++k) {
    int y = a.y();
    for (QLayoutItem* i : tramos[static_cast<size_t>(k)].items) {
      const int h = i->sizeHint().height();
      i->setGeometry(QRect(x, y, anchos[static_cast<size_t>(k)], h));
      y += h + s;
    }
    x += anchos[static_cast<size_t>(k)] + s;
  }
}

// --- TListaAcotada -----------------------------------------------------------

TListaAcotada::TListaAcotada(QWidget* padre) : QComboBox(padre) {
  setSizeAdjustPolicy(AdjustToContents);
  connect(this, &QComboBox::currentIndexChanged, this, [this] { PonAyuda(); });
}

void TListaAcotada::Ajusta() {
  const QFontMetrics fm(font());
  int largo = 0;
  for (int i = 0; i < count(); ++i) largo = std::max(largo, fm.horizontalAdvance(itemText(i)));
  acotada_ = largo > LetrasMaximas * fm.horizontalAdvance(QLatin1Char('X'));
  setSizeAdjustPolicy(acotada_ ? AdjustToMinimumContentsLengthWithIcon : AdjustToContents);
  setMinimumContentsLength(acotada_ ? LetrasMaximas : 0);
  // The popup is as wide as its widest choice needs, whatever the box.
  QAbstractItemView* v = view();
  int ancho = v->sizeHintForColumn(0) + 2 * v->frameWidth();
  if (count() > maxVisibleItems()) ancho += v->verticalScrollBar()->sizeHint().width();
  v->setMinimumWidth(ancho);
  updateGeometry();
  PonAyuda();
}

int TListaAcotada::AnchoTexto() const {
  QStyleOptionComboBox o;
  initStyleOption(&o);
  // The style draws the choice one pixel in from each side of the field.
  return style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this).width() - 2;
}

void TListaAcotada::PonAyuda() {
  const QString t = currentText();
  setToolTip(fontMetrics().elidedText(t, Qt::ElideRight, AnchoTexto()) == t ? QString() : t);
}

// As QComboBox draws itself, with the choice cut to the box and ended
// with an ellipsis rather than clipped.
void TListaAcotada::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  p.setPen(palette().color(QPalette::Text));
  QStyleOptionComboBox o;
  initStyleOption(&o);
  p.drawComplexControl(QStyle::CC_ComboBox, o);
  o.currentText = fontMetrics().elidedText(o.currentText, Qt::ElideRight, AnchoTexto());
  p.drawControl(QStyle::CE_ComboBoxLabel, o);
}

void TListaAcotada::resizeEvent(QResizeEvent* e) {
  QComboBox::resizeEvent(e);
  PonAyuda();
}

void TListaAcotada::changeEvent(QEvent* e) {
  QComboBox::changeEvent(e);
  if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) Ajusta();
}
