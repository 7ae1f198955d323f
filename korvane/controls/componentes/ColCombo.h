// The multi-column combo box of the device lists. A window adds its columns
// (AddColumn: width, alignment, colour, font, or an image column), then its
// items (AddItem: image index and one string a text column), and listens to
// Change (and Click): they fire only on the user's choices, never on
// SetItemIndex. ItemIndex is the position in the list, -1 for none.
// GetColumnText gives a column's text for hints.
//
// Keys typed while the box has the focus look the item up by its
// LookupColumn text (a column counted as GetColumnText counts them, image
// columns included; incrementally with LookupIncr, from the current item
// while it fits, else from the top; leading blanks ignored): each hit
// selects and fires Change once. A text that fits no item starts again
// from its last character. Escape and the navigation keys clear the typed text,
// Backspace drops its last character.
//
// After a choice with the mouse in the dropped list, Click then Change fire
// once the list has closed, when the chosen item differs from the one
// current when the list dropped.
#pragma once

#include <QComboBox>
#include <QFont>
#include <QPixmap>
#include <QStringList>
#include <deque>
#include <vector>

enum TColumnType { ctText, ctImage };

struct Korvane_TComboColumnItem {
  QColor Color;  // invalid: the window colour
  TColumnType ColumnType = ctText;
  int Width = 100;
  Qt::Alignment Alignment = Qt::AlignLeft;
  QFont Font;
};

struct Korvane_TComboItem {
  int ImageIndex = -1;
  QStringList Strings;
  int Tag = 0;
};

class Korvane_TColumnComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit Korvane_TColumnComboBox(QWidget* parent = nullptr);

  // --- Columns (references stay valid while the box lives) ---
  Korvane_TComboColumnItem& AddColumn(int width = 100, TColumnType tipo = ctText);
  int ColumnCount() const { return static_cast<int>(columnas_.size()); }
  Korvane_TComboColumnItem& Column(int i);
  // Call after changing a column through Column(i).
  void ColumnsChanged() { update(); }

  // --- Items ---
  int AddItem(const QStringList& strings, int imageIndex = -1);
  int ItemCount() const { return static_cast<int>(items_.size()); }
  const Korvane_TComboItem& ComboItem(int i) const;
  void SetItemStrings(int i, const QStringList& strings);
  void SetItemImageIndex(int i, int imageIndex);
  void DeleteItem(int i);
  void ClearItems();
  // Rebuilds the list's strings from the items, keeping ItemIndex.
  void RebuildItems();
  // The list's string of item i: image index, then "|" and each column's text.
  QString ItemString(int i) const;

  // --- Selection ---
  int GetItemIndex() const { return currentIndex(); }
  // Selects without firing Change or Click; -1 or an index out of range clears.
  void SetItemIndex(int i);
  // Text of a column of an item (image columns count as columns);
  // std::out_of_range "Item index out of range" for a bad item.
  QString GetColumnText(int item, int column) const;

  // --- Look ---
  void SetImages(const std::vector<QPixmap>& imagenes);
  int DropWidth() const { return dropWidth_; }
  void SetDropWidth(int w) { dropWidth_ = w; }
  int DropHeight() const { return dropHeight_; }
  void SetDropHeight(int h) { dropHeight_ = h; }
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool g);
  int EditColumn() const { return editColumn_; }
  void SetEditColumn(int c);
  bool ShowItemHint() const { return showItemHint_; }
  void SetShowItemHint(bool v) { showItemHint_ = v; }

  // --- Lookup and sorting ---
  bool LookupIncr() const { return lookupIncr_; }
  void SetLookupIncr(bool v) { lookupIncr_ = v; }
  int LookupColumn() const { return lookupColumn_; }
  void SetLookupColumn(int c) { lookupColumn_ = c; }
  QString LookupText() const { return busqueda_; }
  // True while Change fires for a typed key (the box keeps the focus for
  // the next one).
  bool EnBusqueda() const { return enBusqueda_; }
  int SortColumn() const { return sortColumn_; }
  void SetSortColumn(int c) { sortColumn_ = c; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool s);
  // Sorts the items (and their strings with them) by the SortColumn field.
  void SortItems();

  // Draws item `index` (-1: an empty row) into r, as the list and the
  // closed box do.
  void DrawItem(QPainter& p, int index, const QRect& r, bool selected, bool editPart) const;
  int ItemHeight() const;

  void showPopup() override;
  void hidePopup() override;
  bool Dropped() const { return dropped_; }

signals:
  void Change();
  void Click();
  void CloseUp();
  void DropDown();

protected:
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

private:
  // Handles a typed character; true when it was a lookup key.
  bool Busca(const QString& car);
  static QString ClaveBusqueda(const QString& texto, bool locale);
  bool TeclaNavegacion(QKeyEvent* e);
  void Elegido(int i);
  QStringList Campos(int i) const;

  std::deque<Korvane_TComboColumnItem> columnas_;
  std::vector<Korvane_TComboItem> items_;
  std::vector<QPixmap> imagenes_;
  int dropWidth_ = 0;
  int dropHeight_ = 200;
  bool gridLines_ = false;
  int editColumn_ = -1;
  bool showItemHint_ = false;
  bool lookupIncr_ = true;
  int lookupColumn_ = 0;
  int sortColumn_ = 0;
  bool sorted_ = false;
  bool dropped_ = false;
  int indiceRecordado_ = -1;
  QString busqueda_;
  bool enBusqueda_ = false;
};
