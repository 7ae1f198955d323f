#include "RegAuto.h"

#include <memory>

#include "AlmacenIni.h"
#include "CarpetaPrograma.h"

TRegAuto::TRegAuto(TDuenoRegAuto* dueno) : dueno_(dueno) {}

void TRegAuto::SetSaveWindowPlace(bool valor) {
  if (dueno_ && dueno_->EsVentana()) saveWindowPlace_ = valor;
}

std::string TRegAuto::NombreExpandido() const {
  std::string n = ReplaceAll(IniFile, "$HOME", ProfileFolder());
  for (char& c : n)
    if (c == '\\') c = '/';
  // Windows drops blanks and dots at the end of a file name, and stored
  // names rely on it ("Hardware\" + name + ".prf " is the file name.prf).
  const size_t barra = n.rfind('/');
  const size_t inicio = barra == std::string::npos ? 0 : barra + 1;
  while (n.size() > inicio && (n.back() == ' ' || n.back() == '.')) n.pop_back();
  return n;
}

std::string TRegAuto::ResolveIniFileName() const {
  const std::string n = NombreExpandido();
  return n.starts_with('/') ? n : CarpetaPrograma() + n;
}

std::string TRegAuto::ArchivoLectura() const {
  const std::string n = NombreExpandido();
  return n.starts_with('/') ? n : RutaLectura(n);
}

std::string TRegAuto::ArchivoEscritura() const {
  const std::string n = NombreExpandido();
  return n.starts_with('/') ? n : RutaEscritura(n);
}

template <class R, class F>
R TRegAuto::ConAlmacen(F&& operacion, R sinAlmacen) const {
  std::unique_ptr<TAlmacenIni> almacen;
  switch (Storage) {
    case raRegistry: almacen = std::make_unique<TRegIniFile>(RegPath); break;
    case raIniFile: almacen = std::make_unique<TMyIniFile>(ArchivoLectura(), ArchivoEscritura()); break;
    case raIniStrings:
      // The in-memory store writes into IniStrings, which belongs to us.
      almacen = std::make_unique<TIniStrings>(const_cast<std::vector<std::string>&>(IniStrings));
      break;
  }
  if (!almacen) {
    // No store: reads give their default, writes reach nothing.
    error_ = "no settings store selected";
    return sinAlmacen;
  }
  R r = operacion(*almacen);
  error_ = almacen->Error();
  return r;
}

std::string TRegAuto::ReadString(const std::string& name, const std::string& ident, const std::string& defecto) const {
  const std::string s = JoinNonEmpty(Section, name, "/");
  return ConAlmacen<std::string>([&](TAlmacenIni& a) { return a.ReadString(s, ident, defecto); }, defecto);
}

bool TRegAuto::WriteString(const std::string& name, const std::string& ident, const std::string& valor) {
  const std::string s = JoinNonEmpty(Section, name, "/");
  return ConAlmacen([&](TAlmacenIni& a) { return a.WriteString(s, ident, valor); }, false);
}

int32_t TRegAuto::ReadInteger(const std::string& name, const std::string& ident, int32_t defecto) const {
  const std::string s = JoinNonEmpty(Section, name, "/");
  return ConAlmacen([&](TAlmacenIni& a) { return a.ReadInteger(s, ident, defecto); }, defecto);
}

bool TRegAuto::WriteInteger(const std::string& name, const std::string& ident, int32_t valor) {
  const std::string s = JoinNonEmpty(Section, name, "/");
  return ConAlmacen([&](TAlmacenIni& a) { return a.WriteInteger(s, ident, valor); }, false);
}

double TRegAuto::ReadFloat(const std::string& name, const std::string& ident, double defecto) const {
  const std::string s = JoinNonEmpty(Section, name, "/");
  return ConAlmacen([&](TAlmacenIni& a) { return a.ReadFloat(s, ident, defecto); }, defecto);
}

bool TRegAuto::WriteFloat(const std::string& name, const std::string& ident, double valor) {
  const std::string s = JoinNonEmpty(Section, name, "/");
  return ConAlmacen([&](TAlmacenIni& a) { return a.WriteFloat(s, ident, valor); }, false);
}

std::string ListaATexto(const std::vector<std::string>& lista) {
  std::string t;
  for (const auto& linea : lista) {
    // A line holding a line break is two lines, as a string list splits it.
    t += ReplaceAll(ReplaceAll(ReplaceAll(linea, "\r\n", "|"), "\n", "|"), "\r", "|");
    t += '|';
  }
  return t;
}

std::vector<std::string> TextoALista(const std::string& texto) {
  std::vector<std::string> v;
  size_t inicio = 0;
  while (inicio < texto.size()) {
    const size_t barra = texto.find('|', inicio);
    if (barra == std::string::npos) {
      v.push_back(texto.substr(inicio));
      break;
    }
    v.push_back(texto.substr(inicio, barra - inicio));
    inicio = barra + 1;
  }
  return v;
}

void TRegAuto::ReadStrings(const std::string& name, const std::string& ident, std::vector<std::string>& lista) const {
  const std::string defecto = ListaATexto(lista);
  lista = TextoALista(ReadString(name, ident, defecto));
}

bool TRegAuto::WriteStrings(const std::string& name, const std::string& ident, const std::vector<std::string>& lista) {
  return WriteString(name, ident, ListaATexto(lista));
}

void TRegAuto::Load() {
  if (BeforeLoad) BeforeLoad(*this);
  if (dueno_) {
    try {
      if (saveWindowPlace_) dueno_->LeeColocacion(*this);
      for (const auto& linea : Props) dueno_->LeePropiedad(*this, linea);
    } catch (const std::exception& e) {
      throw EKlRegAutoError(std::string("Could not load property: ") + e.what());
    }
  }
  if (AfterLoad) AfterLoad(*this);
}

void TRegAuto::Save() {
  if (BeforeSave) BeforeSave(*this);
  if (dueno_) {
    std::string actual;
    try {
      for (const auto& linea : Props) {
        actual = linea;
        dueno_->GuardaPropiedad(*this, linea);
      }
      actual.clear();
      if (saveWindowPlace_) dueno_->GuardaColocacion(*this);
    } catch (const std::exception&) {
      throw EKlRegAutoError("Could not save property " + actual);
    }
  }
  if (AfterSave) AfterSave(*this);
}
