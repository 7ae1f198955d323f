// Whole-file input and output of the image files. A save goes to a
// temporary file beside the target and replaces the target by rename only
// once every byte is written and flushed, so a full disk or a lost
// permission never leaves the user with half of a file in place of the old.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"

namespace {

// No image file of any supported device comes near this; anything larger
// is the wrong file, not one to read into memory.
constexpr off_t MaxTamArchivo = 64 * 1024 * 1024;

// The message names the file and the system's reason; MuestraError logs it.
uint8_t FallaArchivo(uint32_t codigo, const std::string& archivo, int error) {
  const char* clave = codigo == ErrArchivoLectura ? "52*" : "53*";
  InterfazOperacion().Mensaje(TextoError("11*") + " " + TextoError(clave) + " " + archivo +
                              SaltoMensaje + std::strerror(error));
  return static_cast<uint8_t>(MuestraError(ContextoError, codigo));
}

class TDescriptor {
public:
  explicit TDescriptor(int fd = -1) : fd_(fd) {}
  ~TDescriptor() { Cierra(); }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int Fd() const { return fd_; }
  // The error of close() counts: on some file systems it is the first
  // report of a failed write.
  int Cierra() {
    int r = 0;
    if (fd_ >= 0) r = ::close(fd_);
    fd_ = -1;
    return r;
  }

private:
  int fd_;
};

bool EscribeTodo(int fd, std::string_view datos) {
  while (!datos.empty()) {
    const ssize_t n = ::write(fd, datos.data(), datos.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    datos.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The file a save really replaces: the target of a symbolic link rather
// than the link itself.
std::string Destino(const std::string& archivo) {
  struct stat st;
  if (::lstat(archivo.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char real[PATH_MAX];
    if (::realpath(archivo.c_str(), real)) return real;
  }
  return archivo;
}

std::string Carpeta(const std::string& ruta) {
  const auto barra = ruta.rfind('/');
  if (barra == std::string::npos) return ".";
  return barra == 0 ? "/" : ruta.substr(0, barra);
}

// Creates a new file beside `destino` with a name no other file has.
int CreaTemporal(const std::string& destino, std::string& nombre) {
  const auto barra = destino.rfind('/');
  const std::string carpeta = barra == std::string::npos ? "" : destino.substr(0, barra + 1);
  const std::string base = barra == std::string::npos ? destino : destino.substr(barra + 1);
  std::random_device azar;
  for (int intento = 0; intento < 100; ++intento) {
    nombre = carpeta + "." + base + "." + std::to_string(azar() % 1000000u) + ".tmp";
    // 0666 lets the user's umask decide, as for any file the user creates.
    const int fd = ::open(nombre.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

uint8_t LeeArchivoEntero(const std::string& archivo, std::string& contenido) {
  contenido.clear();
  TDescriptor f(::open(archivo.c_str(), O_RDONLY | O_CLOEXEC));
  if (f.Fd() < 0) return FallaArchivo(ErrArchivoLectura, archivo, errno);
  struct stat st;
  if (::fstat(f.Fd(), &st) != 0) return FallaArchivo(ErrArchivoLectura, archivo, errno);
  if (S_ISDIR(st.st_mode)) return FallaArchivo(ErrArchivoLectura, archivo, EISDIR);
  if (st.st_size > MaxTamArchivo) return FallaArchivo(ErrArchivoLectura, archivo, EFBIG);
  if (S_ISREG(st.st_mode)) contenido.reserve(static_cast<std::size_t>(st.st_size));
  char bloque[65536];
  for (;;) {
    const ssize_t n = ::read(f.Fd(), bloque, sizeof bloque);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      contenido.clear();
      return FallaArchivo(ErrArchivoLectura, archivo, error);
    }
    if (n == 0) break;
    if (contenido.size() + static_cast<std::size_t>(n) > static_cast<std::size_t>(MaxTamArchivo)) {
      contenido.clear();
      return FallaArchivo(ErrArchivoLectura, archivo, EFBIG);
    }
    contenido.append(bloque, static_cast<std::size_t>(n));
  }
  return 0;
}

uint8_t GuardaArchivoEntero(const std::string& archivo, std::string_view contenido) {
  const std::string destino = Destino(archivo);
  struct stat anterior;
  const bool existia = ::stat(destino.c_str(), &anterior) == 0;
  if (existia && S_ISDIR(anterior.st_mode))
    return FallaArchivo(ErrArchivoEscritura, archivo, EISDIR);
  // A file without write permission is one the user keeps: the rename
  // would replace it all the same (it needs only the folder), so it is
  // refused here. No write bit at all counts for root too.
  if (existia && ((anterior.st_mode & 0222) == 0 || ::access(destino.c_str(), W_OK) != 0))
    return FallaArchivo(ErrArchivoEscritura, archivo, EACCES);

  std::string temporal;
  TDescriptor f(CreaTemporal(destino, temporal));
  if (f.Fd() < 0) return FallaArchivo(ErrArchivoEscritura, archivo, errno);
  auto falla = [&](int error) {
    f.Cierra();
    ::unlink(temporal.c_str());
    return FallaArchivo(ErrArchivoEscritura, archivo, error);
  };
  // The new file keeps the permissions of the one it replaces.
  if (existia) (void)::fchmod(f.Fd(), anterior.st_mode & 07777);
  if (!EscribeTodo(f.Fd(), contenido)) return falla(errno);
  if (::fsync(f.Fd()) != 0) return falla(errno);
  if (f.Cierra() != 0) return falla(errno);
  if (::rename(temporal.c_str(), destino.c_str()) != 0) return falla(errno);
  // Make the rename itself durable; a failure here loses nothing written.
  TDescriptor carpeta(::open(Carpeta(destino).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (carpeta.Fd() >= 0) (void)::fsync(carpeta.Fd());
  return 0;
}
