// Layout pieces of the table-driven editors, so that a page fits the room
// the window gives it:
//   TColumnaFluida  a column of controls that goes on in a further column
//                   to its right where it would grow taller than allowed;
//   TListaAcotada   a drop-down list whose box may be narrower than its
//                   longest choice: the box shows what fits, the tool tip
//                   the whole choice, and the popup every choice whole.
#pragma once

#include <QComboBox>
#include <QLayout>
#include <vector>

class TColumnaFluida : public QLayout {
public:
  TColumnaFluida() = default;
  ~TColumnaFluida() override;

  // The height the column may take before it goes on to its right
  // (QWIDGETSIZE_MAX: one column, however tall). A control taller than
  // that stands alone in its column.
  void PonAltoMaximo(int alto);
  int AltoMaximo() const { return altoMaximo_; }
  // The columns the controls take now.
  int Columnas() const { return static_cast<int>(Reparte().size()); }

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int i) const override;
  QLayoutItem* takeAt(int i) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& r) override;

private:
  struct TTramo {
    std::vector<QLayoutItem*> items;
    int ancho = 0;   // the widest size hint
    int minimo = 0;  // the widest minimum
    int alto = 0;
  };
  // The shown controls in columns, in order; hidden ones take no room.
  std::vector<TTramo> Reparte() const;
  QSize Tamano(bool minimo) const;
  int Espacio() const;

  std::vector<QLayoutItem*> items_;
  int altoMaximo_ = QWIDGETSIZE_MAX;
};

class TListaAcotada : public QComboBox {
public:
  explicit TListaAcotada(QWidget* padre = nullptr);

  // After the choices' texts changed: the box's width (the longest choice,
  // at most `LetrasMaximas` wide letters), the popup's width and the tool
  // tip.
  void Ajusta();
  // Whether the longest choice is wider than the box's own width, so the
  // box is worth any room a layout can give it.
  bool Acotada() const { return acotada_; }

  static constexpr int LetrasMaximas = 22;

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

private:
  int AnchoTexto() const;  // the room the box has for the choice
  void PonAyuda();

  bool acotada_ = false;
};
