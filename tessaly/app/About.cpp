#include "About.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

const char* const TessalyVersion = "Version 1.0";

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Tessaly");
  auto* layout = new QVBoxLayout(this);
  auto* icon = new QLabel(this);
  const int side = fontMetrics().height() * 2;
  icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(side, side));
  layout->addWidget(icon, 0, Qt::AlignHCenter);
  auto* title = new QLabel("<b>Tessaly</b>", this);
  layout->addWidget(title, 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel(TessalyVersion, this), 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel("Programmer for the Vorra parallel-port programmer.", this), 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel("Devices are described in vorra.ini beside the program.", this), 0,
                    Qt::AlignHCenter);
  OKButton = new QPushButton("OK", this);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
