#include <cstring>
#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include "pg_backends.h"
#include "pg_idioma.h"

std::string TextoPuerto(int clave) { return TextoIdioma("pg_port*", std::to_string(clave) + "*"); }

std::string QuienUsa(const std::string& nodo) {
  char destino[PATH_MAX];
  DIR* proc = opendir("/proc");
  if (!proc) return {};
  std::string encontrado;
  const std::string propio = std::to_string(getpid());
  while (dirent* e = readdir(proc)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9' || propio == e->d_name) continue;
    const std::string dirFd = std::string("/proc/") + e->d_name + "/fd";
    DIR* fds = opendir(dirFd.c_str());
    if (!fds) continue;
    while (dirent* f = readdir(fds)) {
      const std::string enlace = dirFd + "/" + f->d_name;
      const ssize_t n = readlink(enlace.c_str(), destino, sizeof destino - 1);
      if (n <= 0) continue;
      destino[n] = 0;
      if (nodo == destino) {
        std::string nombre;
        if (FILE* c = fopen((std::string("/proc/") + e->d_name + "/comm").c_str(), "r")) {
          char buf[64] = {};
          if (fgets(buf, sizeof buf, c)) nombre = buf;
          fclose(c);
          while (!nombre.empty() && (nombre.back() == '\n' || nombre.back() == ' ')) nombre.pop_back();
        }
        encontrado = nombre + " (pid " + e->d_name + ")";
        break;
      }
    }
    closedir(fds);
    if (!encontrado.empty()) break;
  }
  closedir(proc);
  return encontrado;
}

std::string MensajeFalloNodo(const std::string& nodo, bool paralelo, int error, const char* paso) {
  std::string m = " " + TextoIdioma("pg_err*", "37*") + " " + nodo + ": ";
  if (paso) m += std::string(paso) + " ";
  // The node opened, so the port exists: an exclusive claim is refused while
  // another driver (the printer driver lp) or program has the port.
  if (paralelo && error == ENXIO && paso && std::strcmp(paso, "PPCLAIM") == 0) {
    m += TextoPuerto(12);
    const std::string quien = QuienUsa(nodo);
    if (!quien.empty()) m += " (" + TextoPuerto(5) + " " + quien + ")";
    return m;
  }
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      m += TextoPuerto(paralelo ? 0 : 1);
      break;
    case EACCES:
    case EPERM:
      m += TextoPuerto(paralelo ? 2 : 3);
      break;
    case EBUSY: {
      m += TextoPuerto(4);
      const std::string quien = QuienUsa(nodo);
      if (!quien.empty()) m += " (" + TextoPuerto(5) + " " + quien + ")";
      break;
    }
    default:
      m += TextoPuerto(6) + " " + std::strerror(error);
  }
  return m;
}
