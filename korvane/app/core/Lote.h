// Command-line batch mode: the parsed command line and the batch run.
//
// The main window's one-shot start timer hands the program's arguments to
// LeeParametros and runs a TLote over its own commands (TPasosLote): select
// the flash family, identify or select the named part, load the file, wait
// (a timer, not a blocking sleep) unless an identification ran, program or
// verify, close with -S. The run ends with one result line for scripts and
// an exit status: 0 when every step the command line asked for succeeded,
// 1 when one failed, 2 when the program was closed before the batch ended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Comand.h"

// Why a command line was refused.
enum class TFalloParametros : uint8_t { Ninguno, Incompleta, OpcionDesconocida };

struct TLecturaParametros {
  TComand Comand;
  TFalloParametros Fallo = TFalloParametros::Ninguno;
  std::string Argumento;  // the refused argument
};

// Parses the program's arguments (without the program's own name). Only the
// first two characters of an option count, except for -D; an argument of
// fewer than two characters is refused.
TLecturaParametros LeeParametros(const std::vector<std::string>& argumentos);

// The message box text for a refused command line ("" when accepted).
std::string TextoFalloParametros(const TLecturaParametros& lectura);

// -I: the file name, trimmed, with its extension (of the file name, not of a
// folder) replaced by ".HEX". Where no such file exists but a case variant
// of it does in the same folder ("prog.hex"), the variant is taken.
std::string NombreForzadoHex(const std::string& archivo);
// A message as one line of the result: its lines, without the blanks at
// their ends, joined by "; "; lines of blanks only are dropped.
std::string UnaLinea(const std::string& texto);

// The steps a batch run asks of the main window.
class TPasosLote {
public:
  virtual ~TPasosLote() = default;
  // Selects the "PIC F" family and applies it.
  virtual void SeleccionaFamiliaFlash() = 0;
  // The identification command. Resultado is the operation's result code;
  // Encontrado is set only when the part's ID named a catalogue device (the
  // list has then been switched to it): Indice is its flash-list index and
  // Nombre its name.
  struct TDeteccion {
    uint8_t Resultado = 0;
    bool Encontrado = false;
    uint8_t Indice = 255;
    std::string Nombre;
  };
  virtual TDeteccion Detecta() = 0;
  // The auto-select option of the settings (identify at start) and the
  // switch-to-the-detected-part option.
  virtual bool AutoSeleccion() const = 0;
  virtual bool AutoPic() const = 0;
  virtual void PonAutoPic(bool valor) = 0;
  // Catalogue look-up by name (255: none) and selection of a flash part.
  virtual uint8_t BuscaDispositivo(const std::string& nombre) = 0;
  virtual void SeleccionaDispositivo(uint8_t indice) = 0;
  // The selected part's name.
  virtual std::string DispositivoActual() const = 0;
  // Loads a file into the editors; false after a failure the window has
  // already shown (its text in TextoUltimoFallo).
  virtual bool CargaArchivo(const std::string& archivo) = 0;
  // The program and verify commands: the operation's result code.
  virtual uint8_t Programa() = 0;
  virtual uint8_t Verifica() = 0;
  // The text of the last failure the window showed (an operation's error
  // message, a load error); "" when none is known.
  virtual std::string TextoUltimoFallo() const = 0;
  // A message box.
  virtual void Mensaje(const std::string& texto) = 0;
};

// One batch run; the command line it parses is also the program's global
// Comand (a failed load sets its Accion to 6). Inicia runs the steps up to
// the wait; when it answers true, the caller waits EsperaMs (a timer) and
// then calls Continua. Without a wait, Continua is called at once.
class TLote {
public:
  static constexpr int EsperaMs = 750;
  enum class TEstado : uint8_t { Pendiente, Correcto, Fallido, Interrumpido };

  TLote(TPasosLote& pasos, std::vector<std::string> argumentos);

  // True when the caller must wait EsperaMs before Continua.
  bool Inicia();
  void Continua();
  // The outcome of the action Continua has started, as soon as the run is
  // over and before anything waits for the user (the operation's Ok):
  // the result of the operation. Continua then only returns.
  void FinAccion(uint8_t resultado);

  // The program was closed before the batch ended (also from inside a step
  // still running: what that step returns then changes nothing).
  void Interrumpe();

  bool ConArgumentos() const { return !argumentos_.empty(); }
  const TComand& Comand() const { return comand_; }
  TEstado Estado() const { return estado_; }
  bool Terminado() const { return estado_ != TEstado::Pendiente; }
  // Close the program now (-S after a batch that succeeded).
  bool DebeCerrar() const { return estado_ == TEstado::Correcto && comand_.Salir; }
  // 0 succeeded (or nothing asked), 1 failed, 2 interrupted.
  int CodigoSalida() const;
  // The line written to standard error at the end of a batch.
  std::string LineaResultado() const;

private:
  void Falla(const std::string& motivo);
  void Termina();
  std::string Pedido() const;

  TPasosLote& pasos_;
  std::vector<std::string> argumentos_;
  TComand comand_;
  TEstado estado_ = TEstado::Pendiente;
  bool esperaLote_ = true;
  uint8_t accionPedida_ = 6;  // Accion as parsed (a failed load clears Accion)
  bool desconocido_ = false;  // the -D name is in no list
  std::string archivoCargado_;
  std::string motivo_;
  std::string resultado_;
};
