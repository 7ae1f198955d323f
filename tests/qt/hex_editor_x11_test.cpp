// Ctrl+Shift+digit on a real X server: X11 delivers the shifted symbol
// ('#' for 3), and the grid must still set marker 3, alone and in the main
// window (where nothing else may take the key: pressed twice it still
// sets). The check starts Xvfb, runs this same program as the editor or the
// window on it and types with xdotool; it skips, saying why, where no X
// server can be started.
#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <vector>

#include "HexEditor.h"
#include "principal/RejillaHex.h"
#include "ventana_comun.h"

namespace {

constexpr char kEditorArg[] = "--x11-editor";
constexpr char kWindowArg[] = "--x11-window";
constexpr int kBoundMs = 30000;  // a bound for a stuck X server, not a pace

// The editor side: a program image with the caret on row 5. Prints "ready"
// once it has the keyboard focus; Escape ends it and it prints marker 3's row.
class EditorSide : public QObject {
public:
  explicit EditorSide(QWidget* grid) : grid_(grid) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn && !announced && watched == grid_) {
      announced = true;
      std::printf("ready\n");
      std::fflush(stdout);
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      QCoreApplication::quit();
      return true;
    }
    return false;
  }
  bool announced = false;

private:
  QWidget* grid_;
};

int runEditor(int argc, char** argv) {
  QApplication app(argc, argv);
  THexEditor editor;
  EditorSide side(&editor);
  const std::vector<uint16_t> words(64, 0x3FFF);
  editor.LoadFromWordBuffer(words, 64, false, 0, 0x3FFF);
  editor.image().SetCaret(5 * 16, 0, false);
  editor.resize(700, 300);
  app.installEventFilter(&side);
  editor.show();
  // Without a window manager the window takes the input focus itself.
  editor.activateWindow();
  app.exec();
  std::printf("marker3=%d\n", editor.image().GetMarker(3));
  std::fflush(stdout);
  return 0;
}

// The main window with a 16F84A, the caret on row 5 of the program grid.
int runWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  TCarpetaPrueba folder;
  TFormKorvane window;
  window.PonDialogos(std::make_unique<TDialogosPrueba>());
  window.show();
  window.ListPics->setCurrentIndex(BuscaPic("PIC16F84A"));
  window.ListPicsChange();
  THexEditor* grid = dynamic_cast<TRejillaHex*>(window.EditorProg)->Rejilla();
  grid->image().SetCaret(5 * 16, 0, false);
  EditorSide side(grid);
  app.installEventFilter(&side);
  window.activateWindow();
  grid->setFocus();
  app.exec();
  std::printf("marker3=%d\n", grid->image().GetMarker(3));
  std::fflush(stdout);
  return 0;
}

// Reads from a process until `pattern` shows in its output or the bound ends.
QByteArray readUntil(QProcess& p, const QByteArray& pattern) {
  QByteArray out;
  QElapsedTimer bound;
  bound.start();
  while (!out.contains(pattern) && bound.elapsed() < kBoundMs) {
    if (!p.waitForReadyRead(kBoundMs - static_cast<int>(bound.elapsed()))) break;
    out += p.readAllStandardOutput();
  }
  return out;
}

}  // namespace

class HexEditorX11Test : public QObject {
  Q_OBJECT
private slots:
  void ctrlShiftDigitSetsTheMarker_data();
  void ctrlShiftDigitSetsTheMarker();
};

void HexEditorX11Test::ctrlShiftDigitSetsTheMarker_data() {
  QTest::addColumn<QString>("side");
  QTest::addColumn<QStringList>("keys");
  QTest::newRow("the grid alone") << kEditorArg << QStringList{"ctrl+shift+3"};
  QTest::newRow("the main window, twice") << kWindowArg << QStringList{"ctrl+shift+3", "ctrl+shift+3"};
}

void HexEditorX11Test::ctrlShiftDigitSetsTheMarker() {
  QFETCH(QString, side);
  QFETCH(QStringList, keys);
  const QString xvfbPath = QStandardPaths::findExecutable("Xvfb");
  const QString xdotoolPath = QStandardPaths::findExecutable("xdotool");
  if (xvfbPath.isEmpty() || xdotoolPath.isEmpty()) QSKIP("Xvfb or xdotool is not installed (scripts/deps.sh)");

  QProcess xvfb;
  // Xvfb writes its display number once it takes connections.
  xvfb.start(xvfbPath, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
  if (!xvfb.waitForStarted(kBoundMs)) QSKIP("Xvfb could not be started");
  const QByteArray number = readUntil(xvfb, "\n").trimmed();
  if (number.isEmpty()) {
    xvfb.kill();
    xvfb.waitForFinished(kBoundMs);
    QSKIP("Xvfb started no display");
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", ":" + QString::fromLatin1(number));
  env.insert("QT_QPA_PLATFORM", "xcb");

  QProcess editor;
  editor.setProcessEnvironment(env);
  editor.start(QCoreApplication::applicationFilePath(), {side});
  const bool ready = readUntil(editor, "ready").contains("ready");
  QString failure;
  QByteArray report;
  if (ready) {
    QProcess xdotool;
    xdotool.setProcessEnvironment(env);
    xdotool.start(xdotoolPath, QStringList{"key"} + keys + QStringList{"Escape"});
    if (!xdotool.waitForFinished(kBoundMs) || xdotool.exitCode() != 0)
      failure = "xdotool failed: " + QString::fromLocal8Bit(xdotool.readAllStandardError());
    report = readUntil(editor, "marker3=");
    report += editor.readAllStandardOutput();
    editor.waitForFinished(kBoundMs);
  }
  if (editor.state() != QProcess::NotRunning) {
    editor.kill();
    editor.waitForFinished(kBoundMs);
  }
  xvfb.terminate();
  xvfb.waitForFinished(kBoundMs);
  if (!ready) QSKIP("the editor could not open a window on Xvfb");
  QVERIFY2(failure.isEmpty(), qPrintable(failure));
  QVERIFY2(report.contains("marker3=5"), report.constData());
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kEditorArg) == 0) return runEditor(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], kWindowArg) == 0) return runWindow(argc, argv);
  QApplication app(argc, argv);
  HexEditorX11Test test;
  return QTest::qExec(&test, argc, argv);
}

#include "hex_editor_x11_test.moc"
