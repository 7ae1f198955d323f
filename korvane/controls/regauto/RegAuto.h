// TRegAuto: the settings component through which Korvane reads and writes
// every setting and every translated text.
//
// Each operation opens the store named by `Storage`, performs one read or
// write and closes it again; nothing is cached, so `Storage`, `IniFile` and
// `RegPath` may be changed freely between any two calls.
//
// Writes return false when the value did not reach its store (read-only
// folder, full disk, a text the file cannot hold); `UltimoError()` then
// names the file and the system's reason. A failed write leaves the old file
// whole. Reads never fail: a missing file, section or key gives the default.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Cadenas.h"

enum TStorageMedia : uint8_t { raRegistry = 0, raIniFile = 1, raIniStrings = 2 };

// Raised by Load and Save when a property cannot be transferred.
class EKlRegAutoError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TRegAuto;

// What Load and Save need from the window that owns the component: its
// placement and the properties named in `Props`. The windows implement it;
// without an owner both transfer nothing.
class TDuenoRegAuto {
public:
  virtual ~TDuenoRegAuto() = default;
  // The owner's name: the section of its placement and properties.
  virtual std::string Nombre() const = 0;
  // True for a window, whose placement can be saved.
  virtual bool EsVentana() const = 0;
  virtual void LeeColocacion(TRegAuto& regauto) = 0;
  virtual void GuardaColocacion(TRegAuto& regauto) = 0;
  // One `Props` line ("Component.Property[.Sub...]"); lines that name no
  // property are skipped. Throw to report a failure.
  virtual void LeePropiedad(TRegAuto& regauto, const std::string& linea) = 0;
  virtual void GuardaPropiedad(TRegAuto& regauto, const std::string& linea) = 0;
};

class TRegAuto {
public:
  using TEvento = std::function<void(TRegAuto&)>;

  explicit TRegAuto(TDuenoRegAuto* dueno = nullptr);

  // Registry key (below the user's hive) used by raRegistry.
  std::string RegPath = "Software\\Korvane";
  TStorageMedia Storage = raRegistry;
  // Ini-file name used by raIniFile: "$HOME" is replaced by the home folder,
  // "\" by "/", blanks and dots at the end of the file name are dropped (as
  // Windows does), and a name that is not absolute is taken relative to the
  // program folder (see CarpetaPrograma.h).
  std::string IniFile;
  // Ini text used by raIniStrings, one line per item; writes change it.
  std::vector<std::string> IniStrings;
  // Property paths that Load and Save transfer through the owner.
  std::vector<std::string> Props;
  // The owner calls Load after its creation and Save before its destruction
  // while this is set (see AlCrear and AlDestruir).
  bool AutoMode = true;
  TEvento BeforeLoad, AfterLoad, BeforeSave, AfterSave;
  bool GlobalSettings = true;  // kept for the form data; changes nothing
  // Common section prefix: the section is JoinNonEmpty(Section, name, "/").
  std::string Section;

  bool SaveWindowPlace() const { return saveWindowPlace_; }
  // Accepted only when the owner is a window.
  void SetSaveWindowPlace(bool valor);

  std::string ReadString(const std::string& name, const std::string& ident, const std::string& defecto) const;
  bool WriteString(const std::string& name, const std::string& ident, const std::string& valor);
  int32_t ReadInteger(const std::string& name, const std::string& ident, int32_t defecto) const;
  bool WriteInteger(const std::string& name, const std::string& ident, int32_t valor);
  double ReadFloat(const std::string& name, const std::string& ident, double defecto) const;
  bool WriteFloat(const std::string& name, const std::string& ident, double valor);
  // A list stored as one value with "|" after every line. A missing value
  // leaves the list as it is.
  void ReadStrings(const std::string& name, const std::string& ident, std::vector<std::string>& lista) const;
  bool WriteStrings(const std::string& name, const std::string& ident, const std::vector<std::string>& lista);

  void Load();
  void Save();
  // The owner's creation and destruction hooks (AutoMode).
  void AlCrear() { if (AutoMode) Load(); }
  void AlDestruir() { if (AutoMode) Save(); }

  // The file raIniFile works on, as the name resolves in the program folder.
  std::string ResolveIniFileName() const;
  // The files raIniFile reads and writes (they differ only when the program
  // folder cannot be written).
  std::string ArchivoLectura() const;
  std::string ArchivoEscritura() const;

  // Why the last failed write failed ("" after a success).
  const std::string& UltimoError() const { return error_; }

private:
  // Opens the store, runs one operation on it, notes its error, closes it.
  template <class R, class F> R ConAlmacen(F&& operacion, R sinAlmacen) const;
  std::string NombreExpandido() const;

  TDuenoRegAuto* dueno_;
  bool saveWindowPlace_ = false;
  mutable std::string error_;
};

// The list as one value: every line followed by "|".
std::string ListaATexto(const std::vector<std::string>& lista);
// The value back into lines: every "|" ends a line, a final "|" adds none.
std::vector<std::string> TextoALista(const std::string& texto);
