// Intel HEX files: reading a file into the memory images, writing the
// images out, and the bookkeeping of the current file (window caption,
// recent-file entries). No widget code: questions and boxes go through
// Ui() (ts_ui.h), view refreshes through RunHost().RefreshViews() (ts_run.h).
//
// How the main window uses it:
// - File > Open: the open dialog's name goes to OpenFile(); a recent entry
//   FileNameN calls OpenFile(FileState.Recent[N-1]). Afterwards the window
//   takes its caption from FileState.Caption and shows the four recent
//   entries (FileState.Recent/RecentVisible, FileState.SeparatorVisible).
// - File > Save: FileState.FileName empty -> Save As, else WriteHexFile().
//   File > Save As: the save dialog's name goes to SaveFileAs(), which asks
//   "File already exists. Overwrite?" itself.
// - File > New: NewFile(). Reread File Before Programming: OpenFile() of
//   the current name.
// - The checksum question ("File checksum error." / "Continue anyway?") is
//   Ui().AskOkCancel; the main window's TTessalyUi answers it with a box.
#pragma once

#include <string>

struct TFileState {
  std::string FileName;             // current file, "" for none; both dialogs' FileName
  std::string Caption = "Tessaly";  // the main window's caption
  std::string Recent[4];            // FileName1 .. FileName4
  bool RecentVisible[4] = {false, false, false, false};
  bool SeparatorVisible = false;    // FileSeparator above the entries
};
extern TFileState FileState;

// Reads a file into the images for DeviceParameters' core; false when it
// cannot be opened or the user cancels after a checksum error (the images
// are then cleared by NewFile). A size warning still gives true.
bool ReadHexFile(const std::string& name);
// Writes the images; false (after "Unable to create file." or "Unable to
// write file.") when the file cannot be created or written.
bool WriteHexFile(const std::string& name);

// The name with ".hex" appended when its file name (not its folder) has no '.'.
std::string WithDefaultExtension(const std::string& name);
// "Tessaly - name", or "Tessaly - ..." and the name's last 25 characters.
std::string CaptionFor(const std::string& name);

// Default extension, ReadHexFile, then current name, caption and recent entries.
bool OpenFile(const std::string& name);
// Default extension, the overwrite question, WriteHexFile, then current name
// and caption; a file that cannot be written leaves both as they were.
bool SaveFileAs(const std::string& name);
// No current file: caption "Tessaly", images emptied (the configuration
// words too with Update Configuration), views, menu and counters refreshed.
void NewFile();
