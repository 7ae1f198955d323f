#include "ArchivoTexto.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Sistema(int err) { return std::strerror(err); }

// No settings, language or profile file comes near this; a path that points
// at a device or an endless file must not grow memory without bound.
constexpr size_t kTamMaximo = 64u * 1024 * 1024;

bool EscribeTodo(int fd, const std::string& contenido) {
  size_t hecho = 0;
  while (hecho < contenido.size()) {
    const ssize_t n = ::write(fd, contenido.data() + hecho, contenido.size() - hecho);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    hecho += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool LeeArchivo(const std::string& ruta, std::string& contenido, bool& existe, std::string& motivo) {
  contenido.clear();
  existe = false;
  const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return true;
    motivo = Sistema(errno);
    return false;
  }
  existe = true;
  const std::string demasiado =
      "the file is larger than 64 MB, far more than any settings file; check that the path names the right file";
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (static_cast<uint64_t>(st.st_size) > kTamMaximo) {
      motivo = demasiado;
      ::close(fd);
      return false;
    }
    contenido.reserve(static_cast<size_t>(st.st_size));
  }
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      motivo = Sistema(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    if (contenido.size() + static_cast<size_t>(n) > kTamMaximo) {
      motivo = demasiado;
      contenido.clear();
      ::close(fd);
      return false;
    }
    contenido.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool EscribeArchivo(const std::string& nombre, const std::string& contenido, std::string& motivo) {
  std::error_code ec;
  // A link keeps pointing at the file it names: replace the file, not the link.
  const fs::path destino = fs::is_symlink(nombre, ec) ? fs::weakly_canonical(nombre, ec) : fs::path(nombre);
  const std::string ruta = destino.string();
  if (destino.has_parent_path()) {
    fs::create_directories(destino.parent_path(), ec);
    if (ec) {
      motivo = ec.message();
      return false;
    }
  }
  // The new file keeps the old one's permissions.
  mode_t modo = 0644;
  struct stat st {};
  if (::stat(ruta.c_str(), &st) == 0) modo = st.st_mode & 07777;

  std::string plantilla = ruta + ".tmp-XXXXXX";
  const int fd = ::mkstemp(plantilla.data());
  if (fd < 0) {
    motivo = Sistema(errno);
    return false;
  }
  const bool ok = EscribeTodo(fd, contenido) && ::fchmod(fd, modo) == 0 && ::fsync(fd) == 0;
  const int errEscritura = errno;
  if (::close(fd) != 0 && ok) {
    motivo = Sistema(errno);
    ::unlink(plantilla.c_str());
    return false;
  }
  if (!ok) {
    motivo = Sistema(errEscritura);
    ::unlink(plantilla.c_str());
    return false;
  }
  if (::rename(plantilla.c_str(), ruta.c_str()) != 0) {
    motivo = Sistema(errno);
    ::unlink(plantilla.c_str());
    return false;
  }
  return true;
}
