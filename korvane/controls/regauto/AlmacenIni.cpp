#include "AlmacenIni.h"

#include "ArchivoTexto.h"
#include "Cadenas.h"
#include "CarpetaPrograma.h"
#include "TextoIni.h"

std::string TAlmacenIni::ReadString(const std::string& seccion, const std::string& clave,
                                    const std::string& defecto) {
  error_.clear();
  auto v = Lee(seccion, clave);
  return v ? std::move(*v) : defecto;
}

bool TAlmacenIni::WriteString(const std::string& seccion, const std::string& clave, const std::string& valor) {
  error_.clear();
  return Escribe(seccion, clave, valor);
}

int32_t TAlmacenIni::ReadInteger(const std::string& seccion, const std::string& clave, int32_t defecto) {
  error_.clear();
  const auto v = Lee(seccion, clave);
  if (!v) return defecto;
  return TextoAEntero(*v).value_or(defecto);
}

bool TAlmacenIni::WriteInteger(const std::string& seccion, const std::string& clave, int32_t valor) {
  return WriteString(seccion, clave, std::to_string(valor));
}

double TAlmacenIni::ReadFloat(const std::string& seccion, const std::string& clave, double defecto) {
  error_.clear();
  const auto v = Lee(seccion, clave);
  if (!v) return defecto;
  return TextoAReal(*v).value_or(defecto);
}

bool TAlmacenIni::WriteFloat(const std::string& seccion, const std::string& clave, double valor) {
  return WriteString(seccion, clave, RealATexto(valor));
}

// --- ini file ---------------------------------------------------------------

std::optional<std::string> TMyIniFile::Lee(const std::string& seccion, const std::string& clave) {
  std::string bytes;
  bool existe;
  std::string motivo;
  if (!LeeArchivo(lectura_, bytes, existe, motivo)) {
    error_ = lectura_ + ": " + motivo;
    return std::nullopt;
  }
  return TTextoIni::DesdeBytes(bytes).Lee(seccion, clave);
}

bool TMyIniFile::Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) {
  std::string bytes;
  bool existe;
  std::string motivo;
  // `lectura_` is the user's own copy once it exists, else the shipped file.
  if (!LeeArchivo(lectura_, bytes, existe, motivo)) {
    error_ = lectura_ + ": " + motivo;
    return false;
  }
  TTextoIni texto = TTextoIni::DesdeBytes(bytes);
  bool cambiado = false;
  if (!texto.Escribe(seccion, clave, valor, cambiado, motivo)) {
    error_ = escritura_ + ": " + motivo;
    return false;
  }
  if (!cambiado && existe && lectura_ == escritura_) return true;
  if (!EscribeArchivo(escritura_, texto.ABytes(), motivo)) {
    error_ = escritura_ + ": " + motivo;
    return false;
  }
  return true;
}

// --- registry ---------------------------------------------------------------

TRegIniFile::TRegIniFile(std::string rutaRegistro)
    : TMyIniFile(ArchivoRegistro()), ruta_(std::move(rutaRegistro)) {}

std::string TRegIniFile::Clave(const std::string& ruta, const std::string& subclave) {
  std::string r;
  std::string parte;
  auto cierra = [&] {
    if (!parte.empty()) r += (r.empty() ? "" : "\\") + parte;
    parte.clear();
  };
  for (const std::string* s : {&ruta, &subclave}) {
    for (char c : *s) {
      if (c == '\\' || c == '/') cierra();
      else parte += c;
    }
    cierra();
  }
  return r;
}

std::optional<std::string> TRegIniFile::Lee(const std::string& seccion, const std::string& clave) {
  return TMyIniFile::Lee(Clave(ruta_, seccion), clave);
}

bool TRegIniFile::Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) {
  return TMyIniFile::Escribe(Clave(ruta_, seccion), clave, valor);
}

// --- ini text in memory -------------------------------------------------------

std::optional<std::string> TIniStrings::Lee(const std::string& seccion, const std::string& clave) {
  return TTextoIni::DesdeLineas(lineas_).Lee(seccion, clave);
}

bool TIniStrings::Escribe(const std::string& seccion, const std::string& clave, const std::string& valor) {
  TTextoIni texto = TTextoIni::DesdeLineas(lineas_);
  bool cambiado = false;
  std::string motivo;
  if (!texto.Escribe(seccion, clave, valor, cambiado, motivo)) {
    error_ = motivo;
    return false;
  }
  if (cambiado) lineas_ = texto.ALineas();
  return true;
}
