// The one editor widget every table-driven kind uses: it builds a group box
// per table group (radio boxes, check boxes, combo boxes in the table's
// columns), the hex labels and the ID box, and keeps the controls in step
// with the codec's state (CodecConf.h). Object names are the table's.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "EditorConf.h"
#include "conf/CodecConf.h"

class QAbstractButton;
class QAbstractScrollArea;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QHBoxLayout;
class QVBoxLayout;
class TColumnaFluida;
class TKvGroupBox;
class TListaAcotada;

class TFEditorTabla : public TFEditorConf {
  Q_OBJECT
public:
  explicit TFEditorTabla(const TTablaConf& tabla, QWidget* padre = nullptr);

  uint8_t Tipo() const override { return tabla_.tipo; }
  void LoadFromBuffer(std::span<const uint16_t> id, std::span<const uint16_t> config) override;
  void SaveToBuffer(std::span<uint16_t> id, std::span<uint16_t> config) override;
  void CambiaDispositivo() override;
  void SetMask(std::span<uint16_t> config) override;

  const TTablaConf& Tabla() const { return tabla_; }
  // The controls' states as the codec sees them (the ID box included).
  TEstadoConf Estado() const;
  // The words the controls give now, as the hex labels show them.
  std::vector<uint16_t> Palabras() const;
  // The device the editor works for now (the engine's list index).
  int Dispositivo() const;

protected:
  // Below the groups and the ID box: where a kind adds its own widgets.
  QVBoxLayout* Pie() const { return pie_; }
  // Called after every load and every user change, once the controls and
  // labels show the new state.
  virtual void AlRefrescar() {}
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

private:
  struct TWidgetControl {
    QWidget* caja = nullptr;           // the check box, radio box or combo's box
    QCheckBox* casilla = nullptr;
    QButtonGroup* grupo = nullptr;
    std::vector<QAbstractButton*> botones;
    TListaAcotada* lista = nullptr;
    TColumnaFluida* columna = nullptr;  // where it is drawn
  };
  void Construye();
  void AplicaVista();
  void MuestraEstado();
  void RefrescaEtiquetas();
  void CambioUsuario(int n, int valor);
  void PonAltoDisponible(int alto);
  void AjustaColumnas();
  void Recalcula();

  const TTablaConf& tabla_;
  TEstadoConf estado_;
  std::vector<uint16_t> mostradas_;  // the words the labels show
  std::vector<TKvGroupBox*> grupos_;
  std::vector<QHBoxLayout*> filasColumnas_;            // per group: its columns side by side
  std::vector<std::vector<TColumnaFluida*>> columnas_;  // per group, per column
  // On a page that scrolls, the height it shows without scrolling: the
  // columns go on to their right rather than grow past it (0: no limit).
  QPointer<QAbstractScrollArea> pagina_;
  int altoDisponible_ = 0;
  std::vector<TWidgetControl> controles_;
  std::vector<std::vector<QLabel*>> etiquetas_;  // per group, per label
  std::vector<std::vector<QLabel*>> prefijos_;
  QLineEdit* id_ = nullptr;
  QVBoxLayout* pie_ = nullptr;
};
