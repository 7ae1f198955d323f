// Tessaly's main window: the tool bar and device list, the File, View, Run,
// Configuration, Options, Port and Help menus, the tool windows beside it,
// the first-activation sequence (device database, settings file, command
// line, programmer port) and the settings file written at close.
//
// It is the engine's user interface (boxes, questions, the progress dialog,
// the message pump) and its Run host (port check, reread, views). Boxes and
// file dialogs go through TMainDialogs, so tests answer them without a
// modal loop.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "ts_run.h"
#include "ts_settings.h"
#include "ts_startup.h"
#include "ts_ui.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class TCodeForm;
class TConfigForm;
class TConfigurationMenu;
class TCountForm;
class TDataForm;
class TDeviceForm;
class TIDForm;
class TSNForm;

// The modal parts of the main window.
class TMainDialogs {
public:
  virtual ~TMainDialogs() = default;
  virtual void MessageBox(QWidget* parent, const std::string& text, const std::string& caption, TBoxIcon icon);
  virtual bool AskOkCancel(QWidget* parent, const std::string& text, const std::string& caption, TBoxIcon icon);
  // "" when cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& name);
  virtual QString SaveFileName(QWidget* parent, const QString& name);
  virtual void About(QWidget* parent);
  // Opens a document of the program folder (help page, readme) with the
  // desktop's program for it; false when the file is missing or nothing
  // could open it.
  virtual bool OpenDocument(const QString& path);
};

class TMainForm : public QMainWindow, public TTessalyUi, public TRunHost {
  Q_OBJECT
public:
  // arguments: the command line without the program's name.
  explicit TMainForm(QStringList arguments = {}, QWidget* parent = nullptr);
  ~TMainForm() override;

  void SetDialogs(std::unique_ptr<TMainDialogs> dialogs);

  // The settings file: where it was read from ("" when none was found) and
  // where the next save writes.
  QString SettingsReadFrom() const { return settingsRead_; }
  QString SettingsPath() const;

  // The program's exit status: 0 when everything asked for succeeded (the
  // command line's device and file, every Run command), 1 after a failure,
  // 2 when a close or a signal cut an operation short (or kept a Program
  // asked for on the command line from running).
  int ExitStatus() const;

  // --- TTessalyUi ---
  void MessageBox(const std::string& text, const std::string& caption, TBoxIcon icon) override;
  bool AskOkCancel(const std::string& text, const std::string& caption, TBoxIcon icon) override;
  void ProgressShow(const std::string& caption) override;
  void ProgressPosition(int position) override;
  void ProgressClose() override;
  void ProcessMessages() override;
  void Beep() override;

  // --- TRunHost ---
  bool CheckProgrammerPort() override;
  bool RereadFile() override;
  void ForgetFile() override;
  void RefreshViews() override;
  void ExitProgram() override;

  // --- Components ---
  QToolBar* ToolBar;
  QComboBox* DeviceBox;
  QLabel* CPState;
  QTimer* Timer1;
  QAction *FileNewItem, *FileOpenItem, *FileSaveItem, *FileSaveAsItem, *FileExitItem;
  QAction *Vorra_None, *Vorra_LPT1, *Vorra_LPT2, *Vorra_LPT3, *Vorra_Auto;
  QAction* FileName[4];
  QAction* FileSeparator;
  QAction *ViewCodeItem, *ViewConfigurationItem, *ViewDataItem, *ViewIDItem, *ViewSerialNumberItem,
      *ViewCountItem, *ViewCloseAllItem, *ViewStayOnTopItem;
  QAction *RunProgramItem, *RunVerifyItem, *RunReadItem, *RunBlankCheckItem, *RunEraseItem;
  QAction *HelpHelpItem, *HelpReadmeItem, *HelpAboutItem;
  QList<QAction*> OptionsItems;  // in the settings file's order
  TConfigurationMenu* ConfigurationMenu;
  TCodeForm* CodeForm;
  TConfigForm* ConfigForm;
  TCountForm* CountForm;
  TDataForm* DataForm;
  TIDForm* IDForm;
  TSNForm* SNForm;
  TDeviceForm* DeviceForm;

  TPortMenu PortMenu;

public slots:
  void FormActivate();  // the first activation; later calls do nothing
  void Timer1Timer();
  void DeviceBoxChange();
  void NewFileClick();
  void FileOpenItemClick();
  void FileSaveItemClick();
  void FileSaveAsItemClick();
  void FileNameClick(int index);
  void FileExitItemClick();
  void ViewCloseAllItemClick();
  void ViewStayOnTopItemClick();
  void RunProgramItemClick();
  void RunVerifyItemClick();
  void RunReadItemClick();
  void RunBlankCheckItemClick();
  void RunEraseItemClick();
  void VorraLptItemClick(int port);
  void Vorra_AutoClick();
  void HelpHelpItemClick();
  void HelpReadmeItemClick();
  void HelpAboutItemClick();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void CreateMenus();
  QAction* Item(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {});
  void ConnectView(QAction* item, QWidget* form);
  void ShowFileState();
  void ShowPortMenu();
  void ShowOptions();
  void TakeOptions();
  void ShowDevice();
  void LoadSettings();
  void ApplySettings(const TSettingsFile& s);
  TSettingsFile GatherSettings() const;
  void SaveSettings();
  void AfterOperation();
  // A Run command with the views brought up to date after it; a close
  // requested meanwhile is completed when it returns.
  void RunCommand(bool (*run)());
  void CloseWhenDone();
  // A close request while a command runs: the box it asks is closed as its
  // Cancel, the operation cancelled without a box, and no further box shown.
  void CancelForClose();
  // A document of the program folder, or a box saying where it is.
  void OpenDocument(const char* file, const char* what);

  QStringList arguments_;
  std::unique_ptr<TMainDialogs> dialogs_;
  QString settingsRead_;
  bool firstActivation_ = true;
  bool saved_ = false;
  bool settingsWriteReported_ = false;
  bool stayOnTop_ = false;
  int running_ = 0;           // the start-up or a Run command is under way
  bool closePending_ = false;  // a close was asked for meanwhile
  int asking_ = 0;             // a question of a command waits for its answer
  bool failed_ = false;        // something asked for failed
  bool cutShort_ = false;      // a close cut an operation or a question short
};
