// The main window: device class and device lists, the memory editors of
// the selected device, the device commands (run in the operation window),
// files, the clipboard, search, fill and bookmarks, and the settings file
// read at the first show and written at close.
//
// Message boxes, file dialogs, the small dialogs and the operation window
// are reached through TDialogosKorvane, so tests answer them without a
// modal loop.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "DestinoIdioma.h"
#include "EditorMemoria.h"
#include "pg_pic.h"

class QAction;
class QActionGroup;
class Korvane_TColumnComboBox;
class TArrowButton;
class TKvFieldStatus;
class TKvStatusBar;
class TTransparentButton;
class QDialog;
class QLabel;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QTimer;
class QTranslator;
class QToolButton;
class TPaginaConf;
class TRegAuto;

// --- Globals of the main window --------------------------------------------
extern uint8_t Arrancando;  // 1 from the window's creation to the end of its first show
extern bool OpcVDurante, OpcAutoPic, OpcAutoSel, OpcReabrir;  // OpcPMsgs, OpcVDespues: pg_acciones.h
// Modification time of the current file at its last load or save.
extern std::filesystem::file_time_type FechaArchivo;
extern std::string TextoBusqueda;

// The modal parts of the window.
class TDialogosKorvane {
public:
  virtual ~TDialogosKorvane() = default;
  virtual void Mensaje(QWidget* padre, const QString& texto);
  // Yes/No question.
  virtual bool Pregunta(QWidget* padre, const QString& texto);
  // One of several choices, the first the default; its index (the first
  // when the box is closed without a choice).
  virtual int Elige(QWidget* padre, const QString& texto, const QStringList& opciones);
  // "" when cancelled.
  virtual QString AbreArchivo(QWidget* padre, const QString& carpeta, const QString& filtro);
  // `elegido`, when given, receives the file type the user chose.
  virtual QString GuardaArchivo(QWidget* padre, const QString& carpeta, const QString& filtro,
                                QString* elegido = nullptr);
  // Shows a small dialog modally; its QDialog result.
  virtual int Modal(QDialog& dialogo);
  // Shows the operation window modally for TipoAccion; its modal result.
  virtual int Operacion();
};

class TFormKorvane : public QMainWindow, public TDestinoIdioma, public TGanchoDispositivo {
  Q_OBJECT
public:
  explicit TFormKorvane(QWidget* parent = nullptr);
  ~TFormKorvane() override;

  // Replaces the modal parts (the window owns them).
  void PonDialogos(std::unique_ptr<TDialogosKorvane> dialogos);
  TDialogosKorvane& Dialogos() { return *dialogos_; }

  // The start-up sequence of the first show (also run by showEvent once).
  void FormShow();
  // The one-shot start timer's work. With ManejadorArranque set (the batch
  // mode), that runs instead of the detection at start.
  void TimerTimer();
  std::function<void(TFormKorvane&)> ManejadorArranque;
  // Opens the hardware-profile editor modally (set by the profile editor's
  // unit before the window is shown); unset, the menu item is disabled.
  // The caller has cleared the operation window's first pane; the caption
  // is refreshed afterwards (PerfilHardware and the pins as the editor left
  // them).
  std::function<void(QWidget* padre)> EditorPerfiles;

  void LeeIni();
  bool GuardaIni();
  void PonCaption();
  // Saves Korvane.ini and the language choice once (close or quit).
  void GuardaAlSalir();

  // --- Device selection ---
  void SelecDevChange();
  void ListPicsChange();
  void ResetEditor();
  // Shows a buffer set in the editors; the configuration editor first
  // clears in the set the configuration bits the part lacks.
  void CargaEditor(TBuffers& b);
  void LeeEditorEn(TBuffers& b);
  void SprogramaClick(TTransparentButton* sender);

  // --- Device commands ---
  void MLeerClick();
  void MProgramarClick();
  void MVerificarClick();
  void MBorrarClick();
  void MDtModelClick();
  void TestHardwClick();
  void MLimpiarBufferClick();
  void MConfHardClick();
  void MConfSoftClick();
  void Acerca1Click();
  void Ay_paramsClick();
  void Idioma_Click(QAction* item);

  // --- Files ---
  bool CargaArchivo(const std::string& nombre);
  bool GuardaArchivo(const std::string& nombre);
  void MAbrirClick();
  void MGuardarClick();
  void MGuardarComoClick();
  void ReabrirClick();
  void SalirClick();
  void MRecientes_Add(const std::string& nombre);
  void MRecientes_Click(const std::string& nombre);
  const std::vector<std::string>& Recientes() const { return recientes_; }

  // --- Edit and bookmarks ---
  TEditorMemoria* EditorActivo();
  void ChequeaEdicion();
  void EditorProgStateChanged();
  void B_copiarClick();
  void B_pegarClick();
  void B_cortarClick();
  void SeleccionartodoClick();
  void B_buscarClick();
  void B_buscarsClick();
  void Buscar(TEditorMemoria& editor, int64_t desde);
  void B_LlenarClick();
  void ToggleBookmarks(int indice);
  void GotoBookmarks(int indice);
  void BorrarMarcas1Click();

  // --- TDestinoIdioma ---
  void PonTexto(const std::string& control, TPropiedadTexto propiedad, const std::string& texto) override;
  void RefrescaEstado() override { PonCaption(); }
  void Mensaje(const std::string& texto) override;
  void AgregaIdioma(const std::string& nombre, const std::string& icono, bool marcado) override;

  // --- TGanchoDispositivo ---
  void CambiaEditorConf(uint8_t estadoAnterior, uint8_t estadoNuevo) override;
  void PonHints() override;

  // The settings file component (path: the program folder).
  TRegAuto& Ini() { return *ini_; }
  // The initial folder of the open and save dialogs.
  std::string InitDir;

  // --- Components ---
  Korvane_TColumnComboBox *SelecDev, *ListPics, *ListPicsC, *ListEeprom;
  QStackedWidget* Control;
  QWidget* Configuracion;
  TTransparentButton *Sprograma, *SDatos, *Sconfig, *SCE;
  TEditorMemoria *EditorProg, *EditorData, *Editor_CE;
  TPaginaConf* EditorConf = nullptr;
  TArrowButton* Abrir;
  QToolButton *Reabrir, *Guardar;
  QToolButton *SLeer, *Sprogramar, *SVerificar, *BorrarTodo, *DetectPic, *TestHardw;
  QToolButton *B_copiar, *B_pegar, *B_cortar, *B_Llenar, *B_Marcas, *B_buscar, *B_buscars;
  QMenu *Archivo, *Edicion, *Comando, *MConfig, *Idioma_menu, *Informacion1;
  QMenu *MRecientes, *MenuEdicion, *Menu_Marcas, *miToggleBookmarks, *miGotoBookmarks;
  QAction *MAbrir, *ArcRecientes, *ActualizarArchivo1, *MGuardar, *MGuardarComo, *Salir;
  QAction *Llenarbuffer2, *MLimpiarBuffer;
  QAction *MLeer, *MVerificar, *MProgramar, *MBorrar, *MDtModel, *Comprobarhardware1;
  QAction *MConfHard, *MConfSoft, *Ay_params, *Acerca1;
  QAction *Copiar, *Pegar, *Cortar, *Seleccionartodo, *LLenarbuffer1, *Limpiar, *BorrarMarcas1;
  QActionGroup* GrupoIdiomas;
  TKvStatusBar* Status;
  TKvFieldStatus *KvFieldStatus1, *KvFieldStatus2;
  QProgressBar* Act;
  QTimer* Timer;

protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

private:
  void CreaComponentes();
  void CreaMenus();
  QToolButton* Boton(const char* nombre, const QString& texto, QWidget* padre);
  QAction* Accion(QMenu* menu, const char* nombre, const QString& texto);
  void LlenaListas();
  void OlvidaArchivo();
  void EnfocaPaginas();
  void PonListas();
  void LeeDialogosDeAjustes();
  void PonRecientes();
  void CargaTraduccionQt();
  void MuestraAct();
  void Pond_Act();
  QString Filtro() const;
  int EjecutaOperacion(uint32_t accion);
  bool OperacionAceptada(int resultado) const;
  void PuertoAlArrancar();
  // A start-up message, also on standard error: it comes before the
  // window, and a terminal or a service's journal sees it there.
  void AvisoAlArrancar(const std::string& texto);

  std::vector<std::unique_ptr<TEditorMemoria>> rejillas_;
  std::unique_ptr<TRegAuto> ini_;
  std::unique_ptr<TDialogosKorvane> dialogos_;
  std::unique_ptr<QTranslator> traduccionQt_;
  std::vector<std::string> recientes_;
  TGanchoDispositivo* ganchoAnterior_ = nullptr;
  bool mostrada_ = false;
  bool guardado_ = false;
  bool cambiandoListas_ = false;
};

extern TFormKorvane* FormKorvane;
