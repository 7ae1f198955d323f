// The small modal dialogs of the main window. Each is created by the
// command that uses it and translates itself from its own language block
// as it is created (a block of the wrong size leaves the built-in texts).
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TEditorMemoria;
class THexEdicion;
class THexEdit;

// Software options: the five program options.
class TFConfigSoft : public QDialog {
  Q_OBJECT
public:
  explicit TFConfigSoft(QWidget* parent = nullptr);
  void FormShow();
  void OkClick();
  QCheckBox *TVerificarDespues, *TPedirMsg, *TAutoPic, *TA, *CReabrir;
  QPushButton *Ok, *cancelar;
};

// Fill range of the active grid: first and last word address and the value.
class TFllenar : public QDialog {
  Q_OBJECT
public:
  explicit TFllenar(QWidget* parent = nullptr);
  void FormShow();
  // Limits and defaults from the grid of the active page.
  void CargaMaximos(const TEditorMemoria& editor);
  void SeleccionClick();
  // Brings the typed numbers within the limits (the caller reads them after Ok).
  void FormClose();
  uint32_t Valor() const;
  uint32_t Desde() const;
  uint32_t Hasta() const;
  uint32_t MascaraValor() const { return mascara_; }
  uint32_t UltimaDireccion() const { return ultima_; }

  THexEdit *Valor_, *Desde_, *Hasta_;
  QToolButton* Seleccion;
  QLabel *IST, *textDesde, *TextHasta, *TextValor;
  QPushButton *Ok, *Cancelar;

private:
  uint32_t mascara_ = 0xFFFF, ultima_ = 0, selDesde_ = 0, selHasta_ = 0;
};

// Search: the bytes to find as hex digits.
class TFBuscar : public QDialog {
  Q_OBJECT
public:
  explicit TFBuscar(QWidget* parent = nullptr);
  void FormShow();
  // Whole bytes only: an odd final digit goes.
  void FormClose();
  THexEdicion* Edit;
  QLabel* text;
  QPushButton *Ok, *Cancelar;
};

class TFAbout : public QDialog {
  Q_OBJECT
public:
  explicit TFAbout(QWidget* parent = nullptr);
  void FormShow();
  QLabel *StaticText1, *StaticText2, *StaticText3, *StaticText5, *StaticText6, *StaticText7, *StaticText9,
      *StaticText10, *Traducion;
  QPushButton* cerrar;
};

// The command-line options, from the language file.
class TFAyuda_params : public QDialog {
  Q_OBJECT
public:
  explicit TFAyuda_params(QWidget* parent = nullptr);
  void FormShow();
  QLabel* Label1;
  QPlainTextEdit* Memo1;
  QPushButton* cerrar;
};

// The name of a new hardware profile.
class TFGuardaComo : public QDialog {
  Q_OBJECT
public:
  explicit TFGuardaComo(QWidget* parent = nullptr);
  void FormShow();
  QLineEdit* Edit;
  QPushButton *Ok, *Cancelar;
  // Set while the profile editor refreshes: showing then changes nothing.
  bool Actualizando = false;

protected:
  void showEvent(QShowEvent* e) override;
};

// The width a window needs for a window manager to show its title whole
// in the frame, beside the frame's buttons.
int AnchoTitulo(const QWidget& ventana);
// Sets a dialog's title and makes that width its least width.
void PonTitulo(QDialog& d, const QString& titulo);

// The open or save dialog of image files. In the dialog's own list view the
// size, type and date columns take the width of what they show once the
// folder has been read, and the dialog widens (within the screen) to show
// every column whole.
std::unique_ptr<QFileDialog> DialogoArchivo(QWidget* padre, const QString& carpeta, const QString& filtro,
                                            bool guardar);
