#include "Conf10Fxxx.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "KvPanel.h"
#include "conf/TablasConf.h"
#include "flash/pg_flash.h"
#include "pg_pic.h"

TFC_10Fxxx::TFC_10Fxxx(QWidget* padre) : TFEditorTabla(Tabla10Fxxx(), padre) {
  OscCalBackup = 0xFFFF;
  auto* rejilla = new QGridLayout;
  auto etiqueta = [this](const char* nombre) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(nombre));
    return l;
  };
  ids_ = etiqueta("Label4");
  config_ = etiqueta("Label3");
  direccionBackup_ = etiqueta("Label1");
  backup_ = etiqueta("Backup");
  backup_->setFrameShape(QFrame::Panel);
  backup_->setFrameShadow(QFrame::Sunken);
  rejilla->addWidget(new QLabel(QStringLiteral("ID"), this), 0, 0);
  rejilla->addWidget(ids_, 0, 1);
  rejilla->addWidget(new QLabel(QStringLiteral("CONFIG"), this), 1, 0);
  rejilla->addWidget(config_, 1, 1);
  rejilla->setColumnStretch(2, 1);
  Pie()->addLayout(rejilla);
  auto* caja = new TKvGroupBox(this);
  caja->setObjectName(QStringLiteral("GroupBackup"));
  caja->SetCaption(QStringLiteral(" Backup OSCCAL "));
  caja->SetColor(cl3DLight());
  auto* enCaja = new QHBoxLayout(caja);
  direccionBackup_->setParent(caja);
  backup_->setParent(caja);
  enCaja->addWidget(direccionBackup_);
  enCaja->addWidget(backup_);
  auto* fila = new QHBoxLayout;
  fila->addWidget(caja);
  fila->addStretch();
  Pie()->addLayout(fila);
  AlRefrescar();
}

void TFC_10Fxxx::AlRefrescar() {
  // TFEditorTabla's constructor refreshes before the labels exist.
  if (!backup_) return;
  const TTextos10F t = Textos10F(PicActual.IdIni, PicActual.IdFin, PicActual.CfgIni, OscCalBackup);
  ids_->setText(QString::fromStdString(t.ids));
  config_->setText(QString::fromStdString(t.config));
  direccionBackup_->setText(QString::fromStdString(t.backup));
  backup_->setText(QString::fromStdString(t.valor));
}

// A read or erase may have found (or lost) the backup word.
void TFC_10Fxxx::OperacionTerminada() { AlRefrescar(); }
