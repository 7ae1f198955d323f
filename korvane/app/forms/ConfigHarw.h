// The hardware profile editor: pick or create a profile, choose the link
// kind and port, put each programming line on a register bit with its
// inversion and end level, and test the adapter live (a test box drives its
// line; a 100 ms timer reads the lines back into the LEDs).
//
// Every edit acts directly on the program-wide pin configuration and link
// variables (hw/pg_perfil.h). Ok saves them to the current profile; Cancel
// and the window frame reload the profile that was current when the window
// opened. Locking the window, changing the port or the profile, and closing
// always bring the lines back to rest (and to their end levels on close)
// before the port closes, so no adapter is left driving Vpp or Vdd.
//
// The main window's hardware command creates it, runs Ejecuta() and reads
// PerfilHardware afterwards to refresh its status bar.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "KvPanel.h"
#include "PerfilHarw.h"
#include "pg_entorno.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class QWidget;
class TTransLED;

// Window state shared with the profile-name dialog (which does nothing
// while the editor refreshes its controls).
extern bool Actualizando;
extern bool CancelarHarw;
extern bool CambioEnlace;
extern std::string PerfilInicial;
extern uint8_t EstadoPines;

class TFConfigHarw : public QDialog, public TInterfazOperacion {
  Q_OBJECT
public:
  explicit TFConfigHarw(QWidget* parent = nullptr);
  ~TFConfigHarw() override;

  // Shows the window modally.
  int Ejecuta();

  // Replace the modal boxes (tests); unset, the boxes are shown.
  std::function<void(const std::string&)> AlMensaje;
  std::function<bool(const std::string&)> AlConfirmar;              // Yes / No
  std::function<std::optional<std::string>()> AlPedirNombre;        // profile-name dialog

  // --- Components ---
  QLabel* Seleccion;
  QListWidget* ListaHarw;
  QToolButton *Guardar, *Guardarcomo, *Eliminar;
  QComboBox* SelPORT;
  QLabel* Label1;
  QRadioButton *LPT, *COM, *RUSB_COM, *RUSB;
  QCheckBox* Block;
  TKvPanel* PanelPerfiles;                             // the profile list and its buttons
  TKvPanel* Panel1;
  QLabel *SEStado, *SNombre;                           // headings of the LEDs and of the line names
  QLabel* EntradaDatos;                                // name of the data-in row
  std::array<TTransLED*, NumLineasPerfil> Leds{};      // by TLineaPerfil
  std::array<QCheckBox*, 6> Tests{};                   // TestData .. TestMclr
  QCheckBox *UsVdd, *UsVpp2, *UsMclr;
  TKvPanel* PanelPort;
  QLabel* bitss;                                       // heading of the port bits
  std::array<QComboBox*, NumLineasPerfil> SelBits{};   // SelData .. SelMclr, SelDataIn
  std::array<QComboBox*, 6> MasAddr{};                 // the LPT register choosers
  std::array<QLabel*, NumLineasPerfil> Mas{};          // offset texts
  std::array<QCheckBox*, NumLineasPerfil> SelInv{};    // inversion boxes
  TKvPanel* Panel_END;
  std::array<QCheckBox*, 6> Ends{};                    // CData_END .. CMclr_END
  QTimer* Timer;
  QPushButton *Ok, *Cancelar;

  // The colours of the LEDs.
  static constexpr uint32_t ColorEncendido = 0x00FF00;
  static constexpr uint32_t ColorApagado = 0x008000;
  // The colour an LED shows now (RGB).
  uint32_t ColorLed(TLineaPerfil linea) const;

  // --- TInterfazOperacion (the link opener's messages) ---
  void Mensaje(const std::string& texto) override;

public slots:
  void OkClick();
  void CancelarClick();
  void BlockClick();
  void LPTClick(QRadioButton* boton);
  void SelPORTChange();
  // A port typed in the box of a serial link (Return or leaving the box).
  void SelPORTEscrito();
  void SelDataClick();
  void MasAddrChange(int linea);
  void selinvDataClick();
  void UsVddClick();
  void CData_ENDClick();
  void TestDataClick(int linea);
  void TimerTimer();
  void ListaHarwClick();
  void GuardarClick();
  void GuardarcomoClick();
  void EliminarClick();

protected:
  bool eventFilter(QObject* objeto, QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void done(int r) override;

private:
  void FormCreate();
  void FormShow();
  void FormClose();
  void GetDirs();
  void PonSelAddr();
  void PonAddr_MAS();
  void PonLedsNil();
  void Pon_END();
  void Le(TLineaPerfil linea, TLed estado);
  void RellenaBits(TLineaPerfil linea);
  // Ticks the link-kind button of the link the variables describe.
  void MarcaTipoEnlace();
  void SeleccionaPerfil();
  void EnviaStop();
  // Brings an open link's lines to rest (the firmware programmer gets its
  // stop packet; with reabrir a closed firmware link is reopened quietly
  // for it) and closes the link.
  void SueltaEnlace(bool reabrir);
  bool Firmware() const;
  bool Bloqueado() const;
  TPruebas Pruebas() const;

  bool cerrado_ = false;
  bool instalada_ = false;
  TInterfazOperacion* anterior_ = nullptr;
};
