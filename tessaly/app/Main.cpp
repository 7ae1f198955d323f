#include "Main.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "About.h"
#include "Code.h"
#include "Config.h"
#include "ConfigMenu.h"
#include "Count.h"
#include "DeviceForm.h"
#include "SN.h"
#include "ts_app.h"
#include "ts_config.h"
#include "ts_devdb.h"
#include "ts_device.h"
#include "ts_hexfile.h"
#include "ts_images.h"
#include "ts_lpt.h"
#include "ts_options.h"
#include "ts_serial.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The Options items: object name, caption, the option they check.
struct TOptionsItem {
  const char* Name;
  const char* Caption;
  bool TProgramOptions::*Field;
};
const TOptionsItem OptionsTable[] = {
    {"OptionsProgramCodeItem", "Program/Verify &Code", &TProgramOptions::ProgramCode},
    {"OptionsProgramConfigurationItem", "Program/Verify Con&figuration", &TProgramOptions::ProgramConfiguration},
    {"OptionsProgramDataItem", "Program/Verify &Data", &TProgramOptions::ProgramData},
    {"OptionsProgramIDItem", "Program/Verify &ID", &TProgramOptions::ProgramID},
    {"OptionsProgramOscillatorCalibrationItem", "Program/Verify &Oscillator Cal.",
     &TProgramOptions::ProgramOscillatorCalibration},
    {"OptionsProgramSerialNumberItem", "Program &Serial Number", &TProgramOptions::ProgramSerialNumber},
    {"OptionsUpdateConfigurationItem", "&Update Configuration", &TProgramOptions::UpdateConfiguration},
    {"OptionsRereadFileItem", "&Reread File Before Programming", &TProgramOptions::RereadFile},
    {"OptionsEraseBeforeProgrammingItem", "&Erase Before Programming", &TProgramOptions::EraseBeforeProgramming},
    {"OptionsVerifyAfterProgrammingItem", "&Verify After Programming", &TProgramOptions::VerifyAfterProgramming},
    {"OptionsDisableCompletionItem", "Disable Completion &Messages", &TProgramOptions::DisableCompletion},
    {"OptionsSkipBlankCheckItem", "Skip &Blank Check", &TProgramOptions::SkipBlankCheck},
};

QString UserSettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tessaly/vorracfg.ini";
}

QMessageBox::Icon IconOf(TBoxIcon icon) {
  switch (icon) {
    case TBoxIcon::Error: return QMessageBox::Critical;
    case TBoxIcon::Warning: return QMessageBox::Warning;
    case TBoxIcon::Question: return QMessageBox::Question;
    case TBoxIcon::Information: break;
  }
  return QMessageBox::Information;
}

// A window's place is that of its own area, without the frame the window
// manager puts around it, read and set alike. QWidget::x(), y() and move()
// count the frame only once the window manager has reported it, which is
// after the window is first shown: a place read with x() and set again with
// move() before then moves the window by the frame's size at every start.
QPoint PlaceOf(const QWidget* w) { return w->geometry().topLeft(); }

void Place(QWidget* w, QPoint at, QSize size = {}) {
  if (!size.isValid()) {
    // The size a window takes when first shown, so that a place given
    // before then does not fix another.
    if (!w->testAttribute(Qt::WA_Resized)) w->adjustSize();
    size = w->size();
  }
  w->setGeometry(QRect(at, size));
}

bool Writable(const QString& path) {
  const QFileInfo f(path);
  if (f.exists()) return f.isWritable() && QFileInfo(f.absolutePath()).isWritable();
  return QFileInfo(f.absolutePath()).isWritable();
}

}  // namespace

// ---- The modal parts ----------------------------------------------------------

void TMainDialogs::MessageBox(QWidget* parent, const std::string& text, const std::string& caption, TBoxIcon icon) {
  QMessageBox box(IconOf(icon), Q(caption), Q(text), QMessageBox::Ok, parent);
  box.exec();
}

bool TMainDialogs::AskOkCancel(QWidget* parent, const std::string& text, const std::string& caption, TBoxIcon icon) {
  // A question that reports a fault (a file's checksum) shows the error icon.
  QMessageBox box(IconOf(icon), Q(caption), Q(text), QMessageBox::Ok | QMessageBox::Cancel, parent);
  return box.exec() == QMessageBox::Ok;
}

QString TMainDialogs::OpenFileName(QWidget* parent, const QString& name) {
  return QFileDialog::getOpenFileName(parent, "Open", name,
                                      "Hex Files (*.hex);;Object Files (*.obj);;All Files (*)");
}

QString TMainDialogs::SaveFileName(QWidget* parent, const QString& name) {
  // The overwrite question is the program's own.
  return QFileDialog::getSaveFileName(parent, "Save As", name, "Hex Files (*.hex)", nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

void TMainDialogs::About(QWidget* parent) {
  TAboutForm about(parent);
  about.exec();
}

bool TMainDialogs::OpenDocument(const QString& path) {
  return QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// ---- The window -------------------------------------------------------------------

TMainForm::TMainForm(QStringList arguments, QWidget* parent)
    : QMainWindow(parent), arguments_(std::move(arguments)), dialogs_(std::make_unique<TMainDialogs>()) {
  setWindowTitle("Tessaly");
  CodeForm = new TCodeForm(this);
  ConfigForm = new TConfigForm(this);
  CountForm = new TCountForm(this);
  DataForm = new TDataForm(this);
  IDForm = new TIDForm(this);
  SNForm = new TSNForm(this);
  // Not a child: disabling the main window while an operation runs would
  // disable its Cancel button too.
  DeviceForm = new TDeviceForm(nullptr);
  DeviceForm->SetOtherWindows({this, CodeForm, ConfigForm, CountForm, DataForm, IDForm, SNForm});

  ToolBar = addToolBar("Tools");
  ToolBar->setMovable(false);
  DeviceBox = new QComboBox(this);
  DeviceBox->setToolTip("Device");
  DeviceBox->setMinimumContentsLength(14);
  CPState = new QLabel(this);
  CPState->setToolTip("Code Protect State");
  CPState->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  CPState->setMinimumWidth(CPState->fontMetrics().horizontalAdvance(" CP On "));
  CreateMenus();
  // A bar of a window: the menus and the tool bar, the device list in full.
  setMinimumWidth(ToolBar->sizeHint().width() + 2 * ToolBar->fontMetrics().averageCharWidth());
  resize(minimumWidth(), menuBar()->sizeHint().height() + ToolBar->sizeHint().height());

  Timer1 = new QTimer(this);
  Timer1->setInterval(500);
  Timer1->setSingleShot(true);
  connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
  connect(DeviceBox, &QComboBox::activated, this, &TMainForm::DeviceBoxChange);
  ConnectConfiguration(ConfigurationMenu, ConfigForm);
  connect(ConfigForm, &TConfigForm::cpStateChanged, CPState, &QLabel::setText);

  SetUi(this);
  SetRunHost(this);
}

TMainForm::~TMainForm() {
  delete DeviceForm;
  if (&Ui() == this) SetUi(nullptr);
  if (&RunHost() == this) SetRunHost(nullptr);
}

void TMainForm::SetDialogs(std::unique_ptr<TMainDialogs> dialogs) { dialogs_ = std::move(dialogs); }

QAction* TMainForm::Item(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut) {
  QAction* a = menu->addAction(text);
  a->setObjectName(name);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  return a;
}

void TMainForm::ConnectView(QAction* item, QWidget* form) {
  item->setCheckable(true);
  connect(item, &QAction::triggered, this, [item, form] {
    // The item shows the window's state, not its own click.
    item->setChecked(form->isVisible());
    if (form->isVisible()) form->close();
    else form->show();
  });
  connect(static_cast<TToolForm*>(form), &TToolForm::shownChanged, item, &QAction::setChecked);
}

void TMainForm::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  FileNewItem = Item(file, "FileNewItem", "&New", QKeySequence("Ctrl+N"));
  FileOpenItem = Item(file, "FileOpenItem", "&Open...", QKeySequence("Ctrl+O"));
  FileSaveItem = Item(file, "FileSaveItem", "&Save", QKeySequence("Ctrl+S"));
  FileSaveAsItem = Item(file, "FileSaveAsItem", "Save &As...", QKeySequence("Ctrl+A"));
  file->addSeparator();
  QMenu* port = file->addMenu("VORRA &Port");
  port->menuAction()->setObjectName("FileVORRAPortItem");
  auto* ports = new QActionGroup(this);
  Vorra_None = Item(port, "Vorra_None", "None");
  Vorra_LPT1 = Item(port, "Vorra_LPT1", "LPT&1");
  Vorra_LPT2 = Item(port, "Vorra_LPT2", "LPT&2");
  Vorra_LPT3 = Item(port, "Vorra_LPT3", "LPT&3");
  for (QAction* a : {Vorra_None, Vorra_LPT1, Vorra_LPT2, Vorra_LPT3}) {
    a->setCheckable(true);
    a->setEnabled(false);
    ports->addAction(a);
  }
  port->addSeparator();
  Vorra_Auto = Item(port, "Vorra_Auto", "&Auto");
  Vorra_Auto->setCheckable(true);
  Vorra_Auto->setChecked(true);
  FileSeparator = file->addSeparator();
  for (int i = 0; i < 4; ++i) {
    FileName[i] = Item(file, ("FileName" + std::to_string(i + 1)).c_str(), QString());
    connect(FileName[i], &QAction::triggered, this, [this, i] { FileNameClick(i); });
  }
  file->addSeparator();
  FileExitItem = Item(file, "FileExitItem", "E&xit", QKeySequence("Ctrl+Q"));

  QMenu* view = menuBar()->addMenu("&View");
  ViewCodeItem = Item(view, "ViewCodeItem", "&Code");
  ViewConfigurationItem = Item(view, "ViewConfigurationItem", "Con&figuration");
  ViewDataItem = Item(view, "ViewDataItem", "&Data");
  ViewIDItem = Item(view, "ViewIDItem", "&ID");
  ViewSerialNumberItem = Item(view, "ViewSerialNumberItem", "&Serial Number");
  ViewCountItem = Item(view, "ViewCountItem", "Cou&nt");
  view->addSeparator();
  ViewCloseAllItem = Item(view, "ViewCloseAllItem", "Close &All Windows", QKeySequence("Ctrl+W"));
  ViewStayOnTopItem = Item(view, "ViewStayOnTopItem", "Stay On &Top");
  ViewStayOnTopItem->setCheckable(true);
  ConnectView(ViewCodeItem, CodeForm);
  ConnectView(ViewConfigurationItem, ConfigForm);
  ConnectView(ViewDataItem, DataForm);
  ConnectView(ViewIDItem, IDForm);
  ConnectView(ViewSerialNumberItem, SNForm);
  ConnectView(ViewCountItem, CountForm);

  QMenu* run = menuBar()->addMenu("&Run");
  RunProgramItem = Item(run, "RunProgramItem", "&Program", QKeySequence("Ctrl+P"));
  RunVerifyItem = Item(run, "RunVerifyItem", "&Verify", QKeySequence("Ctrl+V"));
  RunReadItem = Item(run, "RunReadItem", "&Read", QKeySequence("Ctrl+R"));
  RunBlankCheckItem = Item(run, "RunBlankCheckItem", "&Blank Check", QKeySequence("Ctrl+B"));
  RunEraseItem = Item(run, "RunEraseItem", "&Erase", QKeySequence("Ctrl+E"));

  ConfigurationMenu = new TConfigurationMenu(this);
  menuBar()->addMenu(ConfigurationMenu->Menu());

  QMenu* options = menuBar()->addMenu("&Options");
  for (const TOptionsItem& o : OptionsTable) {
    QAction* a = Item(options, o.Name, o.Caption);
    a->setCheckable(true);
    OptionsItems.append(a);
    connect(a, &QAction::triggered, this, &TMainForm::TakeOptions);
  }

  QMenu* help = menuBar()->addMenu("&Help");
  HelpHelpItem = Item(help, "HelpHelpItem", "&Help");
  HelpReadmeItem = Item(help, "HelpReadmeItem", "&Readme");
  HelpAboutItem = Item(help, "HelpAboutItem", "&About...");

  // The tool buttons are the menu's own actions.
  auto tool = [this](QAction* a, const QString& text) {
    QAction* b = ToolBar->addAction(text);
    b->setToolTip(text);
    connect(b, &QAction::triggered, a, &QAction::trigger);
    b->setObjectName(a->objectName() + "Button");
    connect(a, &QAction::enabledChanged, b, &QAction::setEnabled);
    return b;
  };
  tool(FileOpenItem, "Open...");
  tool(RunProgramItem, "Program");
  tool(RunVerifyItem, "Verify");
  tool(RunReadItem, "Read");
  tool(RunBlankCheckItem, "Blank Check");
  tool(RunEraseItem, "Erase");
  tool(FileSaveItem, "Save");
  ToolBar->addSeparator();
  ToolBar->addWidget(DeviceBox);
  ToolBar->addWidget(CPState);

  connect(FileNewItem, &QAction::triggered, this, &TMainForm::NewFileClick);
  connect(FileOpenItem, &QAction::triggered, this, &TMainForm::FileOpenItemClick);
  connect(FileSaveItem, &QAction::triggered, this, &TMainForm::FileSaveItemClick);
  connect(FileSaveAsItem, &QAction::triggered, this, &TMainForm::FileSaveAsItemClick);
  connect(FileExitItem, &QAction::triggered, this, &TMainForm::FileExitItemClick);
  connect(Vorra_LPT1, &QAction::triggered, this, [this] { VorraLptItemClick(1); });
  connect(Vorra_LPT2, &QAction::triggered, this, [this] { VorraLptItemClick(2); });
  connect(Vorra_LPT3, &QAction::triggered, this, [this] { VorraLptItemClick(3); });
  connect(Vorra_Auto, &QAction::triggered, this, &TMainForm::Vorra_AutoClick);
  connect(ViewCloseAllItem, &QAction::triggered, this, &TMainForm::ViewCloseAllItemClick);
  connect(ViewStayOnTopItem, &QAction::triggered, this, &TMainForm::ViewStayOnTopItemClick);
  connect(RunProgramItem, &QAction::triggered, this, &TMainForm::RunProgramItemClick);
  connect(RunVerifyItem, &QAction::triggered, this, &TMainForm::RunVerifyItemClick);
  connect(RunReadItem, &QAction::triggered, this, &TMainForm::RunReadItemClick);
  connect(RunBlankCheckItem, &QAction::triggered, this, &TMainForm::RunBlankCheckItemClick);
  connect(RunEraseItem, &QAction::triggered, this, &TMainForm::RunEraseItemClick);
  connect(HelpHelpItem, &QAction::triggered, this, &TMainForm::HelpHelpItemClick);
  connect(HelpReadmeItem, &QAction::triggered, this, &TMainForm::HelpReadmeItemClick);
  connect(HelpAboutItem, &QAction::triggered, this, &TMainForm::HelpAboutItemClick);
  ShowOptions();
  ShowFileState();
}

// ---- Start-up ------------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The start-up runs once the event loop runs: a program-on-start or a
  // first box must not run inside the show.
  if (firstActivation_) QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::FormActivate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  ++running_;
  // Shown already: the frame's corner once the window manager has put a
  // frame around it (its title bar stays on the screen), else nothing.
  move(0, 0);
  Place(ConfigForm, {0, 100});
  Place(CodeForm, {10, 110});
  Place(DataForm, {20, 120});
  Place(IDForm, {30, 130});
  Place(SNForm, {40, 140});
  Place(CountForm, {50, 150});
  ClearBuffers();
  ClearConfiguration();
  if (AppSettings.ProgramDirectory.empty())
    AppSettings.ProgramDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";

  LoadDeviceList();
  DeviceBox->clear();
  for (const std::string& d : ::DeviceBox.Items) DeviceBox->addItem(Q(d));
  LoadDevice();
  ShowDevice();
  LoadSettings();

  const TCommandLine line = ParseCommandLine(
      [this] {
        std::vector<std::string> a;
        for (const QString& s : arguments_) a.push_back(s.toStdString());
        return a;
      }(),
      [](const std::string& f) { return QFileInfo::exists(Q(f)); });
  for (const std::string& d : line.Devices) {
    ::DeviceBox.Text = d;
    if (!LoadDevice()) failed_ = true;
  }
  if (!line.Devices.empty()) ShowDevice();
  if (line.ProgramOnStart) AppSettings.ProgramOnStart = true;
  if (line.ExitAfterProgramming) AppSettings.ExitAfterProgramming = true;
  if (!line.File.empty()) {
    if (!OpenFile(line.File)) failed_ = true;
    ShowFileState();
    RefreshViews();
  }

  ApplyPortSetting(PortMenu);
  ShowPortMenu();
  // Program on start checks the port itself: a second check would detect
  // (and report a missing programmer) twice.
  if (AppSettings.ProgramOnStart) RunProgramItemClick();
  else if (!closePending_) CheckProgrammerPort();
  Timer1->start();
  --running_;
  CloseWhenDone();
}

void TMainForm::Timer1Timer() {
  ViewStayOnTopItem->setChecked(AppSettings.StayOnTop);
  const bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, AppSettings.StayOnTop);
  if (visible) show();
  Timer1->stop();
}

// ---- Settings -------------------------------------------------------------------------

QString TMainForm::SettingsPath() const {
  if (!settingsRead_.isEmpty() && Writable(settingsRead_)) return settingsRead_;
  const QString beside = Q(AppSettings.ProgramDirectory) + "vorracfg.ini";
  if (settingsRead_.isEmpty() && Writable(beside)) return beside;
  return UserSettingsPath();
}

void TMainForm::LoadSettings() {
  TSettingsFile s = GatherSettings();
  settingsRead_.clear();
  for (const QString& path : {UserSettingsPath(), Q(AppSettings.ProgramDirectory) + "vorracfg.ini"}) {
    if (QFileInfo(path).isFile() && LoadSettingsFile(path.toStdString(), s)) {
      settingsRead_ = path;
      break;
    }
  }
  if (settingsRead_.isEmpty()) {
    Ui().MessageBox("Unable to open VORRACFG.INI.\nUsing defaults.", CaptionInfo, TBoxIcon::Warning);
    return;
  }
  ApplySettings(s);
}

void TMainForm::ApplySettings(const TSettingsFile& s) {
  const auto place = [](QWidget* w, const TWindowPlacement& p, bool size) {
    Place(w, {p.Left, p.Top}, size && p.Width > 0 && p.Height > 0 ? QSize(p.Width, p.Height) : QSize());
  };
  place(this, s.Main, false);
  place(ConfigForm, s.Config, false);
  place(CodeForm, s.Code, true);
  place(DataForm, s.Data, true);
  place(IDForm, s.ID, true);
  place(SNForm, s.SerialNumber, false);
  place(CountForm, s.Count, false);
  CodeForm->AsciiButton()->setChecked(s.Code.Ascii);
  CodeForm->HexButton()->setChecked(!s.Code.Ascii);
  DataForm->AsciiButton()->setChecked(s.Data.Ascii);
  DataForm->HexButton()->setChecked(!s.Data.Ascii);
  IDForm->AsciiButton()->setChecked(s.ID.Ascii);
  IDForm->HexButton()->setChecked(!s.ID.Ascii);

  SerialNumberParameters = s.SN;
  SNForm->ShowParameters();
  ProgramOptions = s.Options;
  ShowOptions();
  AppSettings.ProgrammerPort = s.VorraPort;
  PortMenu.Auto = s.AutoPortDetect;
  AppSettings.StayOnTop = s.StayOnTop;
  if (!s.Device.empty()) {
    ::DeviceBox.Text = s.Device;
    LoadDevice();
    ShowDevice();
  }
  for (int i = 0; i < 8; ++i)
    if (s.ConfigRead[i]) {
      ConfigWords[i] = s.ConfigWords[i];
      ShowConfiguration();
    }
  for (int i = 0; i < 4; ++i) {
    const bool there = i < static_cast<int>(s.Files.size());
    FileState.Recent[i] = there ? s.Files[i] : std::string();
    FileState.RecentVisible[i] = there;
  }
  FileState.SeparatorVisible = !s.Files.empty();
  ShowFileState();
  const std::pair<QWidget*, bool> shown[] = {{ConfigForm, s.Config.Visible}, {CodeForm, s.Code.Visible},
                                            {DataForm, s.Data.Visible},     {IDForm, s.ID.Visible},
                                            {SNForm, s.SerialNumber.Visible}, {CountForm, s.Count.Visible}};
  for (const auto& [w, v] : shown) w->setVisible(v);
}

TSettingsFile TMainForm::GatherSettings() const {
  TSettingsFile s;
  const auto place = [](const QWidget* w, bool ascii) {
    TWindowPlacement p;
    p.Left = PlaceOf(w).x();
    p.Top = PlaceOf(w).y();
    p.Width = w->width();
    p.Height = w->height();
    p.Visible = w->isVisible();
    p.Ascii = ascii;
    return p;
  };
  s.Main = place(this, false);
  s.Config = place(ConfigForm, false);
  s.Code = place(CodeForm, CodeForm->AsciiButton()->isChecked());
  s.Data = place(DataForm, DataForm->AsciiButton()->isChecked());
  s.ID = place(IDForm, IDForm->AsciiButton()->isChecked());
  s.SerialNumber = place(SNForm, false);
  s.Count = place(CountForm, false);
  s.SN = SerialNumberParameters;
  s.Options = ProgramOptions;
  s.VorraPort = AppSettings.ProgrammerPort;
  s.AutoPortDetect = PortMenu.Auto;
  s.StayOnTop = AppSettings.StayOnTop;
  s.Device = ::DeviceBox.Text;
  s.ConfigCount = DeviceParameters.ConfigSize;
  for (int i = 0; i < 8; ++i) s.ConfigWords[i] = ConfigWords[i];
  for (int i = 0; i < 4; ++i)
    if (FileState.RecentVisible[i]) s.Files.push_back(FileState.Recent[i]);
  return s;
}

void TMainForm::SaveSettings() {
  if (saved_) return;
  saved_ = true;
  const QString path = SettingsPath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  std::string error;
  if (!SaveSettingsFile(path.toStdString(), GatherSettings(), error) && !settingsWriteReported_) {
    settingsWriteReported_ = true;
    WarningBox("Unable to write " + path.toStdString() + ": " + error + "\nThe settings were not saved.");
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // Closed while the start-up or a Run command runs (the window manager
  // reaches a disabled window too, and so do SIGTERM and SIGINT): the
  // command ends first and the close is completed when it returns. Closing
  // at once would leave the progress window, and with it a program without
  // a main window, running.
  if (running_ > 0) {
    event->ignore();
    if (!closePending_) {
      closePending_ = true;
      CancelForClose();
    }
    return;
  }
  closePending_ = false;
  // A command that ended without leaving programming mode leaves nothing
  // powered behind.
  if (PortLayer.Claimed) ExitProgramMode();
  ClosePortDriver();
  // Closed before the start-up has read anything (a signal at once): the
  // file on disk holds more than the start values would.
  if (firstActivation_) firstActivation_ = false;
  else SaveSettings();
  for (QWidget* w : {static_cast<QWidget*>(CountForm), static_cast<QWidget*>(SNForm),
                     static_cast<QWidget*>(IDForm), static_cast<QWidget*>(DataForm),
                     static_cast<QWidget*>(ConfigForm), static_cast<QWidget*>(CodeForm)})
    w->hide();
  QMainWindow::closeEvent(event);
}

// ---- What the window shows ---------------------------------------------------------

int TMainForm::ExitStatus() const { return cutShort_ ? 2 : failed_ ? 1 : 0; }

void TMainForm::CancelForClose() {
  // A failure already reported in an open box stays a failure; an operation
  // under way or a question not yet answered is cut short.
  if (asking_ > 0 || DeviceForm->isVisible()) cutShort_ = true;
  if (QWidget* modal = QApplication::activeModalWidget())
    if (auto* box = qobject_cast<QDialog*>(modal); box && box != DeviceForm) box->reject();
  if (DeviceForm->isVisible()) CancelOperation(false);
}

void TMainForm::CloseWhenDone() {
  if (running_ == 0 && closePending_) close();
}

void TMainForm::RunCommand(bool (*run)()) {
  if (closePending_) {
    cutShort_ = true;  // closed before the command could run
    return;
  }
  ++running_;
  if (!run()) failed_ = true;
  AfterOperation();
  --running_;
  CloseWhenDone();
}

void TMainForm::ShowFileState() {
  setWindowTitle(Q(FileState.Caption));
  FileSeparator->setVisible(FileState.SeparatorVisible);
  for (int i = 0; i < 4; ++i) {
    FileName[i]->setText(Q(FileState.Recent[i]));
    FileName[i]->setVisible(FileState.RecentVisible[i]);
  }
}

void TMainForm::ShowPortMenu() {
  Vorra_Auto->setChecked(PortMenu.Auto);
  QAction* lpt[] = {Vorra_LPT1, Vorra_LPT2, Vorra_LPT3};
  // None only shows that no port is in use; it is never a choice.
  for (QAction* a : lpt) a->setEnabled(PortMenu.LptEnabled);
  if (PortMenu.Ticked == 0) Vorra_None->setChecked(true);
  else if (PortMenu.Ticked >= 1 && PortMenu.Ticked <= 3) lpt[PortMenu.Ticked - 1]->setChecked(true);
}

void TMainForm::ShowOptions() {
  for (int i = 0; i < OptionsItems.size(); ++i) OptionsItems[i]->setChecked(ProgramOptions.*OptionsTable[i].Field);
}

void TMainForm::TakeOptions() {
  for (int i = 0; i < OptionsItems.size(); ++i) ProgramOptions.*OptionsTable[i].Field = OptionsItems[i]->isChecked();
}

void TMainForm::ShowDevice() {
  DeviceBox->setCurrentIndex(DeviceBox->findText(Q(::DeviceBox.Text), Qt::MatchFixedString));
  ConfigurationMenu->Refresh();
  ConfigForm->ShowOptions();
  CountForm->ShowCounters();
  const bool erase = MainMenu.EraseEnabled;
  RunEraseItem->setEnabled(erase);
}

void TMainForm::AfterOperation() {
  RefreshViews();
  CountForm->ShowCounters();
  SNForm->ShowParameters();
  ShowFileState();
}

// ---- TTessalyUi ----------------------------------------------------------------------

// A program that is closing asks no one: a box would hold the close.
void TMainForm::MessageBox(const std::string& text, const std::string& caption, TBoxIcon icon) {
  if (!closePending_) dialogs_->MessageBox(this, text, caption, icon);
}

bool TMainForm::AskOkCancel(const std::string& text, const std::string& caption, TBoxIcon icon) {
  if (closePending_) {
    cutShort_ = true;
    return false;
  }
  ++asking_;
  const bool ok = dialogs_->AskOkCancel(this, text, caption, icon);
  --asking_;
  // Closed while the question was shown: its answer is Cancel.
  return ok && !closePending_;
}

void TMainForm::ProgressShow(const std::string& caption) { DeviceForm->Start(Q(caption)); }
void TMainForm::ProgressPosition(int position) { DeviceForm->Position(position); }
void TMainForm::ProgressClose() { DeviceForm->Finish(); }
void TMainForm::ProcessMessages() { QCoreApplication::processEvents(); }
void TMainForm::Beep() { QApplication::beep(); }

// ---- TRunHost ------------------------------------------------------------------------

bool TMainForm::CheckProgrammerPort() {
  TPortServices s;
  s.AutoDetect = [] { return AutoDetectPort(); };
  s.OpenSelected = [](int port) { return OpenSelectedPort(port); };
  s.ErrorBox = [](const std::string& t) { ErrorBox(t); };
  const bool ok = ::CheckProgrammerPort(PortMenu, s);
  ShowPortMenu();
  return ok;
}

bool TMainForm::RereadFile() {
  std::string name = FileState.FileName;
  if (closePending_) {
    cutShort_ = true;
    return false;
  }
  if (name.empty()) {
    name = dialogs_->OpenFileName(this, QString()).toStdString();
    if (name.empty()) return false;
  }
  const bool ok = OpenFile(name);
  ShowFileState();
  return ok;
}

void TMainForm::ForgetFile() {
  FileState.FileName.clear();
  FileState.Caption = "Tessaly";
  ShowFileState();
}

void TMainForm::RefreshViews() {
  CodeForm->ShowCode();
  DataForm->ShowData();
  IDForm->ShowID();
}

void TMainForm::ExitProgram() {
  // After the command that asked for it has returned.
  QTimer::singleShot(0, this, &TMainForm::FileExitItemClick);
}

// ---- Commands ---------------------------------------------------------------------------

void TMainForm::DeviceBoxChange() {
  ::DeviceBox.Text = DeviceBox->currentText().toStdString();
  LoadDevice();
  ResetCounters();
  ShowDevice();
}

void TMainForm::NewFileClick() {
  NewFile();
  ShowFileState();
  AfterOperation();
}

void TMainForm::FileOpenItemClick() {
  const QString name = dialogs_->OpenFileName(this, Q(FileState.FileName));
  if (name.isEmpty()) return;
  OpenFile(name.toStdString());
  AfterOperation();
}

void TMainForm::FileSaveItemClick() {
  if (FileState.FileName.empty()) FileSaveAsItemClick();
  else WriteHexFile(FileState.FileName);
}

void TMainForm::FileSaveAsItemClick() {
  const QString name = dialogs_->SaveFileName(this, Q(FileState.FileName));
  if (name.isEmpty()) return;
  SaveFileAs(name.toStdString());
  ShowFileState();
}

void TMainForm::FileNameClick(int index) {
  if (index < 0 || index > 3) return;
  OpenFile(FileState.Recent[index]);
  AfterOperation();
}

void TMainForm::FileExitItemClick() {
  ClosePortDriver();
  close();
}

void TMainForm::ViewCloseAllItemClick() {
  for (QWidget* w : {static_cast<QWidget*>(CountForm), static_cast<QWidget*>(SNForm),
                     static_cast<QWidget*>(IDForm), static_cast<QWidget*>(DataForm),
                     static_cast<QWidget*>(ConfigForm), static_cast<QWidget*>(CodeForm)})
    w->close();
}

void TMainForm::ViewStayOnTopItemClick() {
  AppSettings.StayOnTop = ViewStayOnTopItem->isChecked();
  setWindowFlag(Qt::WindowStaysOnTopHint, AppSettings.StayOnTop);
  show();
}

void TMainForm::RunProgramItemClick() { RunCommand(RunProgram); }
void TMainForm::RunVerifyItemClick() { RunCommand(RunVerify); }
void TMainForm::RunReadItemClick() { RunCommand(RunRead); }
void TMainForm::RunBlankCheckItemClick() { RunCommand(RunBlankCheck); }
void TMainForm::RunEraseItemClick() { RunCommand(RunErase); }

void TMainForm::VorraLptItemClick(int port) {
  VorraLptClick(PortMenu, port);
  ShowPortMenu();
}

void TMainForm::Vorra_AutoClick() {
  VorraAutoClick(PortMenu);
  ShowPortMenu();
}

void TMainForm::OpenDocument(const char* file, const char* what) {
  // Without a program to show it (no xdg-open, as on a bare window
  // manager) the user can still open the file by hand.
  const QString path = Q(AppSettings.ProgramDirectory) + file;
  if (!dialogs_->OpenDocument(path))
    WarningBox(std::string("Unable to open the ") + what + ".\n" + QDir::toNativeSeparators(path).toStdString());
}

void TMainForm::HelpHelpItemClick() { OpenDocument("vorra.htm", "help file"); }
void TMainForm::HelpReadmeItemClick() { OpenDocument("readme.txt", "readme file"); }
void TMainForm::HelpAboutItemClick() { dialogs_->About(this); }
