// The About box: the program's name, version and what it is for.
#pragma once

#include <QDialog>

class QPushButton;

class TAboutForm : public QDialog {
  Q_OBJECT
public:
  explicit TAboutForm(QWidget* parent = nullptr);
  QPushButton* OKButton;
};

// The version the About box shows.
extern const char* const TessalyVersion;
