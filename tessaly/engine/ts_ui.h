// How the engine talks to the user: message boxes, questions, the progress
// dialog and the message pump. The windows implement this later; tests
// implement it now. Without one installed the engine runs silently.
#pragma once

#include <string>

enum class TBoxIcon { Error, Warning, Information, Question };

// Fixed captions of Tessaly's boxes.
inline constexpr const char* CaptionError = "Tessaly Error";
inline constexpr const char* CaptionInfo = "Tessaly";

class TTessalyUi {
public:
  virtual ~TTessalyUi() = default;
  // A task-modal box with an OK button.
  virtual void MessageBox(const std::string& text, const std::string& caption, TBoxIcon icon) = 0;
  // An OK/Cancel box; true when the user chose OK.
  virtual bool AskOkCancel(const std::string& text, const std::string& caption, TBoxIcon icon) = 0;
  // The progress dialog: shown with its caption, position 0-100, closed.
  virtual void ProgressShow(const std::string& caption) { (void)caption; }
  virtual void ProgressPosition(int position) { (void)position; }
  virtual void ProgressClose() {}
  // Lets the window system handle pending messages (the Cancel button).
  virtual void ProcessMessages() {}
  virtual void Beep() {}
};

// The interface in use; never null (a silent one when none is installed).
TTessalyUi& Ui();
void SetUi(TTessalyUi* ui);

// printf-style helpers over Ui().MessageBox.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void ErrorBox(const std::string& text);        // error icon, "Tessaly Error"
void WarningBox(const std::string& text);      // warning icon, "Tessaly Error"
void InformationBox(const std::string& text);  // information icon, "Tessaly"
