// One Tessaly per user: a lock file in the user's runtime folder. Only a
// live program holding the lock refuses the start; a lock left by a killed
// program is taken over, and a folder where no lock can be made at all
// (read-only, full) lets the program start as usual.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

class TInstanciaUnica {
public:
  // The lock "tessaly.lock" in carpeta; empty: the user's runtime folder.
  explicit TInstanciaUnica(const QString& carpeta = QString());
  ~TInstanciaUnica();

  // False only when another running Tessaly holds the lock.
  bool Toma();

private:
  std::unique_ptr<QLockFile> cerrojo_;
};
