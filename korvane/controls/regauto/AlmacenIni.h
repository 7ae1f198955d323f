// The stores a TRegAuto opens for one operation: an ini file, the
// "registry" (itself one ini file in the user's configuration folder) and
// ini text held in memory. All three share the typed operations below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TAlmacenIni {
public:
  virtual ~TAlmacenIni() = default;

  std::string ReadString(const std::string& seccion, const std::string& clave, const std::string& defecto);
  bool WriteString(const std::string& seccion, const std::string& clave, const std::string& valor);
  int32_t ReadInteger(const std::string& seccion, const std::string& clave, int32_t defecto);
  bool WriteInteger(const std::string& seccion, const std::string& clave, int32_t valor);
  double ReadFloat(const std::string& seccion, const std::string& clave, double defecto);
  bool WriteFloat(const std::string& seccion, const std::string& clave, double valor);

  // Why the last failed operation failed ("" after a success).
  const std::string& Error() const { return error_; }

protected:
  // The stored text of a key, nothing when it is missing or unreadable.
  virtual std::optional<std::string> Lee(const std::string& seccion, const std::string& clave) = 0;
  virtual bool Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) = 0;

  std::string error_;
};

// An ini file. Reads come from `lectura`; a write starts from that file's
// text and replaces `escritura` (the same file unless the program folder is
// read-only, see CarpetaPrograma.h).
class TMyIniFile : public TAlmacenIni {
public:
  explicit TMyIniFile(std::string archivo) : lectura_(archivo), escritura_(std::move(archivo)) {}
  TMyIniFile(std::string lectura, std::string escritura)
      : lectura_(std::move(lectura)), escritura_(std::move(escritura)) {}

protected:
  std::optional<std::string> Lee(const std::string& seccion, const std::string& clave) override;
  bool Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) override;

private:
  std::string lectura_;
  std::string escritura_;
};

// The registry: section = key path below the registry path, ident = value
// name. Everything is kept in ArchivoRegistro(); a read creates nothing.
class TRegIniFile : public TMyIniFile {
public:
  explicit TRegIniFile(std::string rutaRegistro);

  // The section under which a registry key is kept: the path with "\" as
  // separator, without empty parts.
  static std::string Clave(const std::string& ruta, const std::string& subclave);

protected:
  std::optional<std::string> Lee(const std::string& seccion, const std::string& clave) override;
  bool Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) override;

private:
  std::string ruta_;
};

// Ini text in a list of lines the store does not own; writes change it.
class TIniStrings : public TAlmacenIni {
public:
  explicit TIniStrings(std::vector<std::string>& lineas) : lineas_(lineas) {}

protected:
  std::optional<std::string> Lee(const std::string& seccion, const std::string& clave) override;
  bool Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) override;

private:
  std::vector<std::string>& lineas_;
};
