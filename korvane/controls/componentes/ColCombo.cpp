#include "ColCombo.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QToolTip>
#include <algorithm>
#include <stdexcept>

namespace {

class Delegado : public QStyledItemDelegate {
public:
  explicit Delegado(Korvane_TColumnComboBox* c) : QStyledItemDelegate(c), combo_(c) {}
  void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    combo_->DrawItem(*p, i.row(), o.rect, o.state & QStyle::State_Selected, false);
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(combo_->DropWidth(), combo_->ItemHeight());
  }

private:
  Korvane_TColumnComboBox* combo_;
};

QString AsciiMayusculas(QString s) {
  for (QChar& c : s)
    if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 32);
  return s;
}

}  // namespace

Korvane_TColumnComboBox::Korvane_TColumnComboBox(QWidget* parent) : QComboBox(parent) {
  setItemDelegate(new Delegado(this));
  view()->installEventFilter(this);
  connect(this, qOverload<int>(&QComboBox::activated), this, &Korvane_TColumnComboBox::Elegido);
}

// --- Columns and items ---------------------------------------------------------------

Korvane_TComboColumnItem& Korvane_TColumnComboBox::AddColumn(int width, TColumnType tipo) {
  Korvane_TComboColumnItem c;
  c.Width = width;
  c.ColumnType = tipo;
  c.Font = font();
  columnas_.push_back(c);
  RebuildItems();
  return columnas_.back();
}

Korvane_TComboColumnItem& Korvane_TColumnComboBox::Column(int i) {
  if (i < 0 || i >= ColumnCount()) throw std::out_of_range("Column index out of range");
  return columnas_[static_cast<size_t>(i)];
}

int Korvane_TColumnComboBox::AddItem(const QStringList& strings, int imageIndex) {
  items_.push_back({imageIndex, strings, 0});
  RebuildItems();
  if (sorted_) SortItems();
  return ItemCount() - 1;
}

const Korvane_TComboItem& Korvane_TColumnComboBox::ComboItem(int i) const {
  if (i < 0 || i >= ItemCount()) throw std::out_of_range("Item index out of range");
  return items_[static_cast<size_t>(i)];
}

void Korvane_TColumnComboBox::SetItemStrings(int i, const QStringList& strings) {
  ComboItem(i);
  items_[static_cast<size_t>(i)].Strings = strings;
  RebuildItems();
}

void Korvane_TColumnComboBox::SetItemImageIndex(int i, int imageIndex) {
  ComboItem(i);
  items_[static_cast<size_t>(i)].ImageIndex = imageIndex;
  RebuildItems();
}

void Korvane_TColumnComboBox::DeleteItem(int i) {
  ComboItem(i);
  items_.erase(items_.begin() + i);
  RebuildItems();
}

void Korvane_TColumnComboBox::ClearItems() {
  items_.clear();
  RebuildItems();
}

QString Korvane_TColumnComboBox::ItemString(int i) const {
  const Korvane_TComboItem& it = ComboItem(i);
  QString s = QString::number(it.ImageIndex);
  for (int k = 0; k < ColumnCount(); ++k) s += '|' + (k < it.Strings.size() ? it.Strings[k] : QString());
  return s;
}

void Korvane_TColumnComboBox::RebuildItems() {
  const int indice = currentIndex();
  const QSignalBlocker b(this);
  while (count() > ItemCount()) removeItem(count() - 1);
  for (int i = 0; i < ItemCount(); ++i) {
    if (i < count()) setItemText(i, ItemString(i));
    else addItem(ItemString(i));
  }
  setCurrentIndex(indice < count() ? indice : -1);
  update();
}

QStringList Korvane_TColumnComboBox::Campos(int i) const { return itemText(i).split('|'); }

// --- Selection ---------------------------------------------------------------------

void Korvane_TColumnComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= count()) i = -1;
  {
    const QSignalBlocker b(this);
    setCurrentIndex(i);
  }
  indiceRecordado_ = i;
  if (dropped_ && i >= 0) view()->setCurrentIndex(model()->index(i, modelColumn()));
  update();
}

QString Korvane_TColumnComboBox::GetColumnText(int item, int column) const {
  if (item < 0 || item >= count()) throw std::out_of_range("Item index out of range");
  int imagenes = 0;
  for (int c = 0; c < column && c < ColumnCount(); ++c)
    if (columnas_[static_cast<size_t>(c)].ColumnType == ctImage) ++imagenes;
  const QStringList f = Campos(item);
  const int k = column - imagenes + 1;
  return k >= 0 && k < f.size() ? f[k] : QString();
}

void Korvane_TColumnComboBox::Elegido(int i) {
  if (i == indiceRecordado_) return;
  indiceRecordado_ = i;
  emit Click();
  emit Change();
}

// --- Look ----------------------------------------------------------------------

void Korvane_TColumnComboBox::SetImages(const std::vector<QPixmap>& imagenes) {
  imagenes_ = imagenes;
  update();
}

void Korvane_TColumnComboBox::SetGridLines(bool g) {
  gridLines_ = g;
  update();
}

void Korvane_TColumnComboBox::SetEditColumn(int c) {
  editColumn_ = c;
  update();
}

int Korvane_TColumnComboBox::ItemHeight() const { return fontMetrics().boundingRect("gh").height() + 4; }

void Korvane_TColumnComboBox::DrawItem(QPainter& p, int index, const QRect& r, bool selected, bool editPart) const {
  const QColor fondo = palette().color(QPalette::Base);
  const QColor selFondo = palette().color(QPalette::Highlight);
  const QColor selTexto = palette().color(QPalette::HighlightedText);
  p.save();
  if (index < 0 || index >= count()) {
    p.fillRect(r, selected ? selFondo : fondo);
    p.restore();
    return;
  }
  const QStringList f = Campos(index);
  const int imagen = f.value(0).toInt();
  auto pintaTexto = [&](const QRect& c, const QString& t, const QFont& fuente, Qt::Alignment al, const QColor& tinta) {
    p.setFont(fuente);
    p.setPen(tinta);
    const QRect dentro = c.adjusted(2, 1, -2, 0);
    const QString corto = QFontMetrics(fuente).elidedText(t, Qt::ElideRight, dentro.width());
    p.drawText(dentro, int(al | Qt::AlignVCenter | Qt::TextSingleLine), corto);
  };
  if (editPart && editColumn_ >= 0) {
    const int i = dropped_ && indiceRecordado_ >= 0 ? indiceRecordado_ : index;
    p.fillRect(r, selected ? selFondo : fondo);
    pintaTexto(r, GetColumnText(i, editColumn_), font(), Qt::AlignLeft, selected ? selTexto : palette().color(QPalette::Text));
    p.restore();
    return;
  }
  int x = r.left();
  int campo = 1;
  std::vector<int> bordes;
  for (int c = 0; c < ColumnCount(); ++c) {
    const Korvane_TComboColumnItem& col = columnas_[static_cast<size_t>(c)];
    const bool ultima = c == ColumnCount() - 1;
    const int derecha = ultima ? r.right() + 1 : x + col.Width;
    const QRect cr(x, r.top(), std::max(0, derecha - x), r.height());
    const QColor colorCol = col.Color.isValid() ? col.Color : fondo;
    p.fillRect(cr, selected ? selFondo : colorCol);
    if (col.ColumnType == ctImage) {
      if (imagen >= 0 && imagen < static_cast<int>(imagenes_.size()))
        p.drawPixmap(cr.left() + 2, cr.top() + 1, imagenes_[static_cast<size_t>(imagen)]);
    } else {
      pintaTexto(cr, f.value(campo), col.Font, col.Alignment, selected ? selTexto : palette().color(QPalette::Text));
      ++campo;
    }
    x = derecha;
    if (!ultima) bordes.push_back(x);
  }
  if (gridLines_) {
    const QColor gris(128, 128, 128);
    if (!editPart) p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), gris);
    for (int b : bordes) p.fillRect(QRect(b, r.top() + 1, 1, r.height() - 1), gris);
  }
  p.restore();
}

void Korvane_TColumnComboBox::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionComboBox o;
  initStyleOption(&o);
  o.currentText.clear();
  o.currentIcon = QIcon();
  p.drawComplexControl(QStyle::CC_ComboBox, o);
  const QRect campo = style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this);
  DrawItem(p, currentIndex(), campo, hasFocus() && !dropped_, true);
}

// --- The dropped list ----------------------------------------------------------------

void Korvane_TColumnComboBox::showPopup() {
  dropped_ = true;
  indiceRecordado_ = currentIndex();
  emit DropDown();
  view()->setMinimumWidth(dropWidth_ > 0 ? dropWidth_ : width());
  setMaxVisibleItems(std::max(1, dropHeight_ / std::max(1, ItemHeight())));
  QComboBox::showPopup();
}

void Korvane_TColumnComboBox::hidePopup() {
  QComboBox::hidePopup();
  dropped_ = false;
  emit CloseUp();
}

// --- Keys -------------------------------------------------------------------------

bool Korvane_TColumnComboBox::TeclaNavegacion(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: busqueda_.clear(); return true;
    case Qt::Key_Backspace: busqueda_.chop(1); return true;
    default: return false;
  }
}

// The text a lookup compares: leading blanks go, so that "18F4" finds
// " 18F452".
QString Korvane_TColumnComboBox::ClaveBusqueda(const QString& texto, bool locale) {
  QString t = texto;
  while (t.startsWith(' ')) t.remove(0, 1);
  return locale ? t.toUpper() : AsciiMayusculas(t);
}

bool Korvane_TColumnComboBox::Busca(const QString& car) {
  if (car.isEmpty() || !car[0].isPrint() || car == "\r" || car == "\n") return false;
  busqueda_ = lookupIncr_ ? busqueda_ + car : car;
  auto prueba = [this](int desde, const QString& buscado, bool locale) {
    const QString b = ClaveBusqueda(buscado, locale);
    for (int i = desde; i < count(); ++i) {
      const QString t = GetColumnText(i, lookupColumn_);
      if (!t.isEmpty() && ClaveBusqueda(t, locale).startsWith(b)) {
        SetItemIndex(i);
        enBusqueda_ = true;
        emit Change();
        enBusqueda_ = false;
        return true;
      }
    }
    return false;
  };
  if (lookupIncr_ && currentIndex() >= 0) {
    // The current item while it still fits, else the first one that does.
    if (prueba(currentIndex(), busqueda_, true) || prueba(0, busqueda_, true)) return true;
  } else if (prueba(0, busqueda_, false)) {
    return true;
  }
  if (lookupIncr_) {
    busqueda_ = busqueda_.right(1);
    prueba(0, busqueda_, true);
  }
  return true;
}

void Korvane_TColumnComboBox::keyPressEvent(QKeyEvent* e) {
  const bool sinModificador = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (sinModificador && e->key() != Qt::Key_Backspace && Busca(e->text())) return;
  TeclaNavegacion(e);
  QComboBox::keyPressEvent(e);
}

bool Korvane_TColumnComboBox::eventFilter(QObject* o, QEvent* e) {
  if (o == view() && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool sinModificador = !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (sinModificador && k->key() != Qt::Key_Backspace && Busca(k->text())) return true;
    TeclaNavegacion(k);
  }
  return QComboBox::eventFilter(o, e);
}

bool Korvane_TColumnComboBox::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip && showItemHint_ && currentIndex() >= 0) {
    QString t;
    for (const QString& f : Campos(currentIndex())) t += ' ' + f;
    QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), t, this);
    return true;
  }
  return QComboBox::event(e);
}

// --- Sorting -------------------------------------------------------------------------

void Korvane_TColumnComboBox::SetSorted(bool s) {
  sorted_ = s;
  if (s) SortItems();
}

void Korvane_TColumnComboBox::SortItems() {
  if (ItemCount() < 2) return;
  const int actual = currentIndex();
  std::vector<int> orden(static_cast<size_t>(ItemCount()));
  for (int i = 0; i < ItemCount(); ++i) orden[static_cast<size_t>(i)] = i;
  std::vector<QString> claves;
  for (int i = 0; i < ItemCount(); ++i) claves.push_back(Campos(i).value(sortColumn_));
  std::stable_sort(orden.begin(), orden.end(), [&](int a, int b) {
    return QString::localeAwareCompare(claves[static_cast<size_t>(a)], claves[static_cast<size_t>(b)]) < 0;
  });
  std::vector<Korvane_TComboItem> nuevos;
  int nuevoActual = -1;
  for (size_t k = 0; k < orden.size(); ++k) {
    nuevos.push_back(items_[static_cast<size_t>(orden[k])]);
    if (orden[k] == actual) nuevoActual = static_cast<int>(k);
  }
  items_ = std::move(nuevos);
  RebuildItems();
  SetItemIndex(nuevoActual);
}
