#include "InstanciaUnica.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

TInstanciaUnica::TInstanciaUnica(const QString& carpeta) {
  QString dir = carpeta;
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  cerrojo_ = std::make_unique<QLockFile>(QDir(dir).filePath("tessaly.lock"));
  // A lock is stale only when its program is gone, never by its age.
  cerrojo_->setStaleLockTime(0);
}

TInstanciaUnica::~TInstanciaUnica() = default;

bool TInstanciaUnica::Toma() {
  if (cerrojo_->tryLock(0)) return true;
  return cerrojo_->error() != QLockFile::LockFailedError;
}
