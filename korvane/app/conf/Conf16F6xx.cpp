#include "Conf16F6xx.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "conf/TablasConf.h"
#include "flash/pg_flash.h"
#include "pg_idioma.h"

TFC_16F6xx::TFC_16F6xx(QWidget* padre) : TFEditorTabla(Tabla16F6xx(), padre) {
  titulo_ = new QLabel(QStringLiteral("Palabras de calibración"), this);
  titulo_->setObjectName(QStringLiteral("StaticText1"));
  actCal_ = new QCheckBox(QStringLiteral("Actualizar calibración"), this);
  actCal_->setObjectName(QStringLiteral("Act_Cal"));
  Pie()->addWidget(titulo_);
  Pie()->addWidget(actCal_);
  Act_Cal = false;
  connect(actCal_, &QCheckBox::toggled, this, [](bool marcada) { Act_Cal = marcada; });
}

void TFC_16F6xx::showEvent(QShowEvent* e) {
  // The block has exactly two items, or both keep their texts.
  std::vector<std::string> textos;
  if (LeeBloqueIdioma("Conf_fc16F6xx*", "***", 2, textos)) {
    titulo_->setText(QString::fromStdString(textos[0]));
    actCal_->setText(QString::fromStdString(textos[1]));
  }
  TFEditorTabla::showEvent(e);
}

TFC_16F6xx::~TFC_16F6xx() { Act_Cal = false; }

bool TFC_16F6xx::ActualizaCalibracion() const { return actCal_->isChecked(); }
