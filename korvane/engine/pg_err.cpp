#include "pg_err.h"

#include <cstdio>
#include <optional>

#include "pg_entorno.h"
#include "pg_idioma.h"

TContextoError ContextoError;
std::string ArchivoActual;

namespace {

TBuscaTextoError buscaTexto;

// "11*" followed by one blank; refreshed by every report.
std::string prefijo;

std::string Hex(uint32_t valor, int digitos) {
  char texto[16];
  std::snprintf(texto, sizeof texto, "%0*X", digitos, static_cast<unsigned>(valor));
  return texto;
}

std::string M(const char* clave) { return TextoError(clave); }

// File name and line of the HEX reader, the start of every HEX message.
std::string LineaArchivo(const TContextoError& c) {
  return prefijo + ArchivoActual + "   " + M("7*") + " " + std::to_string(c.LineaHex);
}

// The message box text of a code; none for codes without a message.
std::optional<std::string> TextoMensaje(const TContextoError& c, uint32_t codigo) {
  const std::string cr = SaltoMensaje;
  switch (codigo) {
    case ErrIndice: return prefijo + M("22*");
    case ErrBorrado: return prefijo + M("28*");
    case ErrChecksumEnlace: return prefijo + M("30*");
    case ErrHardware: return prefijo + " " + M("6*");
    case ErrHexDigito: return LineaArchivo(c) + "   " + M("8*");
    case ErrHexFin: return LineaArchivo(c) + "   " + M("9*");
    case ErrHexLinea: return LineaArchivo(c) + "   " + M("10*");
    case ErrHexDireccion: return LineaArchivo(c) + "   0x" + Hex(c.Direccion, 6) + cr + M("12*");
    case ErrHexChecksum: return LineaArchivo(c) + "  " + M("25*");
    case ErrEscritura:
    case ErrVerificacion: {
      const bool escritura = codigo == ErrEscritura;
      return prefijo + M(escritura ? "13*" : "14*") + Hex(c.Direccion, 6) + cr +
             std::string(10, ' ') + M(escritura ? "15*" : "16*") + Hex(c.Esperado, 4) + "   " +
             M("17*") + Hex(c.Leido, 4);
    }
    case ErrCancelado: return " " + M("26*");
    case ErrProgramador: return prefijo + M("29*") + Hex(c.Direccion, 4);
    case ErrSinRespuesta: return prefijo + M("23*") + cr + " ";
    default: return std::nullopt;
  }
}

// The common tail of both entries: log line (not for a cancel), then let
// the window repaint.
void Cierra(uint32_t codigo) {
  if (codigo != ErrCancelado) InterfazOperacion().Log(" " + M("18*"));
  ProcesaMensajes();
}

}  // namespace

std::string TextoError(const std::string& clave) {
  return buscaTexto ? buscaTexto(clave) : TextoIdioma("pg_err*", clave);
}

TBuscaTextoError PonBuscaTextoError(TBuscaTextoError busca) {
  TBuscaTextoError anterior = std::move(buscaTexto);
  buscaTexto = std::move(busca);
  return anterior;
}

uint32_t MuestraError(TContextoError& contexto, uint32_t codigo) {
  contexto.Codigo = codigo;
  ContextoError.Codigo = codigo;
  prefijo = M("11*") + " ";
  if (auto texto = TextoMensaje(contexto, codigo)) InterfazOperacion().Mensaje(*texto);
  Cierra(codigo);
  return codigo;
}

void MuestraError24(uint8_t codigo, uint32_t direccion, uint32_t esperado, uint32_t leido) {
  prefijo = M("11*") + " ";
  if (codigo == ErrEscritura || codigo == ErrVerificacion) {
    const bool escritura = codigo == ErrEscritura;
    InterfazOperacion().Mensaje(prefijo + M(escritura ? "13*" : "14*") + Hex(direccion, 8) +
                                SaltoMensaje + std::string(11, ' ') +
                                M(escritura ? "15*" : "16*") + Hex(esperado, 6) + "   " +
                                M("17*") + Hex(leido, 6));
  }
  Cierra(codigo);
}
