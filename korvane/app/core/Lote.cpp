#include "Lote.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "pg_idioma.h"

namespace {

std::string Mayusculas(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string Recorta(const std::string& s) {
  const auto ini = s.find_first_not_of(" \t");
  if (ini == std::string::npos) return {};
  return s.substr(ini, s.find_last_not_of(" \t") - ini + 1);
}

}  // namespace

TLecturaParametros LeeParametros(const std::vector<std::string>& argumentos) {
  TLecturaParametros r;
  TComand& c = r.Comand;
  for (const std::string& arg : argumentos) {
    if (arg.size() < 2) {
      r.Fallo = TFalloParametros::Incompleta;
      r.Argumento = arg;
      return r;
    }
    if (arg[0] == '-') {
      const std::string opcion = Mayusculas(arg);
      switch (opcion[1]) {
        case 'A': c.AutoDetecta = 1; break;
        case 'D': c.Dispositivo = opcion.substr(2); break;
        case 'I': c.ForzarHex = 1; break;
        case 'P': c.Accion = 0; break;
        case 'S': c.Salir = 1; break;
        case 'V': c.Accion = 2; break;
        default:
          r.Fallo = TFalloParametros::OpcionDesconocida;
          r.Argumento = arg;
          return r;
      }
      continue;
    }
    // A name the shell split at its blanks comes back whole.
    if (!c.Archivo.empty()) c.Archivo += ' ';
    c.Archivo += arg;
  }
  c.Correcto = 1;
  return r;
}

std::string TextoFalloParametros(const TLecturaParametros& lectura) {
  switch (lectura.Fallo) {
    case TFalloParametros::Incompleta:
      return "Linea de comandos incompleta -> " + lectura.Argumento;
    case TFalloParametros::OpcionDesconocida:
      return TextoIdioma("pg_err*", "2*") + " " + lectura.Argumento;
    case TFalloParametros::Ninguno:
      break;
  }
  return {};
}

std::string NombreForzadoHex(const std::string& archivo) {
  namespace fs = std::filesystem;
  fs::path ruta(Recorta(archivo));
  ruta.replace_extension(".HEX");
  std::error_code ec;
  if (fs::exists(ruta, ec)) return ruta.string();
  // A case variant in the same folder stands for the name a case-blind
  // file system would have found.
  const fs::path carpeta = ruta.has_parent_path() ? ruta.parent_path() : fs::path(".");
  const std::string buscado = Mayusculas(ruta.filename().string());
  for (fs::directory_iterator it(carpeta, ec), fin; !ec && it != fin; it.increment(ec)) {
    if (Mayusculas(it->path().filename().string()) == buscado && it->is_regular_file(ec))
      return (ruta.parent_path() / it->path().filename()).string();
  }
  return ruta.string();
}

TLote::TLote(TPasosLote& pasos, std::vector<std::string> argumentos)
    : pasos_(pasos), argumentos_(std::move(argumentos)) {}

bool TLote::Inicia() {
  esperaLote_ = true;
  if (argumentos_.empty()) {
    // No batch: only the identification at start, when the settings ask.
    if (pasos_.AutoSeleccion()) {
      pasos_.SeleccionaFamiliaFlash();
      const bool guardado = pasos_.AutoPic();
      pasos_.PonAutoPic(true);
      pasos_.Detecta();
      pasos_.PonAutoPic(guardado);
    }
    if (!Terminado()) estado_ = TEstado::Correcto;
    return false;
  }

  const TLecturaParametros lectura = LeeParametros(argumentos_);
  comand_ = lectura.Comand;
  ::Comand = comand_;
  accionPedida_ = comand_.Accion;
  pasos_.SeleccionaFamiliaFlash();
  if (Terminado()) return false;
  if (!comand_.Correcto) {
    const std::string texto = TextoFalloParametros(lectura);
    pasos_.Mensaje(texto);
    Falla(texto);
    return false;
  }

  uint8_t nombrado = 255;
  if (!comand_.Dispositivo.empty()) {
    nombrado = pasos_.BuscaDispositivo(comand_.Dispositivo);
    if (nombrado == 255) {
      desconocido_ = true;
      const std::string texto = TextoIdioma("pg_err*", "3*") + " " + comand_.Dispositivo;
      pasos_.Mensaje(texto);
      Falla(texto);
      return false;
    }
  }

  if (comand_.AutoDetecta || pasos_.AutoSeleccion()) {
    // The switch to the detected part stays on after a batch identification.
    pasos_.PonAutoPic(true);
    esperaLote_ = false;
    const TPasosLote::TDeteccion d = pasos_.Detecta();
    if (Terminado()) return false;
    if (d.Resultado != 0) {
      Falla(pasos_.TextoUltimoFallo());
      return false;
    }
    // A part that answered with an ID no table names is no part to program:
    // the one selected before may be another.
    if (!d.Encontrado) {
      const std::string texto = TextoIdioma("Lote*", "1*");
      pasos_.Mensaje(texto);
      Falla(texto);
      return false;
    }
    // A script that names one part must never program another.
    if (nombrado != 255 && d.Indice != nombrado) {
      const std::string texto =
          TextoIdioma("Lote*", "0*") + " " + comand_.Dispositivo + " / " + d.Nombre;
      pasos_.Mensaje(texto);
      Falla(texto);
      return false;
    }
  } else if (nombrado != 255) {
    pasos_.SeleccionaDispositivo(nombrado);
    if (Terminado()) return false;
  }

  if (!comand_.Archivo.empty()) {
    archivoCargado_ = comand_.ForzarHex ? NombreForzadoHex(comand_.Archivo) : comand_.Archivo;
    const bool cargado = pasos_.CargaArchivo(archivoCargado_);
    if (Terminado()) return false;
    if (!cargado) {
      comand_.Accion = 6;
      ::Comand.Accion = 6;
      Falla(pasos_.TextoUltimoFallo());
      return false;
    }
  }
  return esperaLote_;
}

void TLote::Continua() {
  if (Terminado()) return;
  uint8_t resultado = 0;
  if (comand_.Accion == 0) resultado = pasos_.Programa();
  else if (comand_.Accion == 2) resultado = pasos_.Verifica();
  // Closed while the operation ran, or already told how it ended.
  FinAccion(resultado);
}

void TLote::FinAccion(uint8_t resultado) {
  if (Terminado()) return;
  if (resultado != 0) {
    std::string texto = pasos_.TextoUltimoFallo();
    if (texto.empty()) texto = "error " + std::to_string(resultado);
    Falla(texto);
    return;
  }
  estado_ = TEstado::Correcto;
  Termina();
}

void TLote::Interrumpe() {
  if (Terminado()) return;
  estado_ = TEstado::Interrumpido;
  Termina();
}

void TLote::Falla(const std::string& motivo) {
  if (Terminado()) return;
  estado_ = TEstado::Fallido;
  motivo_ = motivo.empty() ? std::string("failed") : motivo;
  Termina();
}

std::string UnaLinea(const std::string& texto) {
  // A box's line breaks (and the blanks that indent its lines) become "; ",
  // so the result stays one line that reads as the box did.
  std::string r;
  std::size_t inicio = 0;
  while (inicio <= texto.size()) {
    const std::size_t fin = std::min(texto.find_first_of("\r\n", inicio), texto.size());
    std::string_view linea(texto.data() + inicio, fin - inicio);
    while (!linea.empty() && linea.back() == ' ') linea.remove_suffix(1);
    while (!linea.empty() && linea.front() == ' ') linea.remove_prefix(1);
    if (!r.empty() && !linea.empty()) r += "; ";
    r += linea;
    inicio = fin + 1;
  }
  return r;
}

void TLote::Termina() {
  if (!ConArgumentos()) return;
  resultado_ = "korvane: " + Pedido() + ": ";
  switch (estado_) {
    case TEstado::Correcto: resultado_ += "ok"; break;
    case TEstado::Fallido: resultado_ += "failed: " + UnaLinea(motivo_); break;
    case TEstado::Interrumpido: resultado_ += "interrupted: the program was closed first"; break;
    case TEstado::Pendiente: break;
  }
}

std::string TLote::Pedido() const {
  std::string p;
  switch (accionPedida_) {
    case 0: p = "program"; break;
    case 2: p = "verify"; break;
    default: p = comand_.Archivo.empty() ? "select" : "load"; break;
  }
  if (comand_.AutoDetecta) p = "identify, " + p;
  const std::string archivo = archivoCargado_.empty() ? comand_.Archivo : archivoCargado_;
  if (!archivo.empty()) p += " " + archivo;
  // A name no list holds is still the part the script asked for.
  const std::string dispositivo = desconocido_ ? comand_.Dispositivo : pasos_.DispositivoActual();
  if (!dispositivo.empty()) p += " (" + dispositivo + ")";
  return p;
}

int TLote::CodigoSalida() const {
  // Without arguments there is no batch that could fail.
  if (!ConArgumentos()) return 0;
  switch (estado_) {
    case TEstado::Correcto: return 0;
    case TEstado::Fallido: return 1;
    default: return 2;
  }
}

std::string TLote::LineaResultado() const { return resultado_; }
