// What every engine routine may ask of the window that runs it, and the
// state shared by all of them during one operation.
//
// The engine includes no window header: the operation window implements
// TInterfazOperacion and installs itself with PonInterfazOperacion while it
// runs. Without a window (tests, batch tools) a silent default stands in.
#pragma once

#include <cstdint>
#include <string>

// Colour of the operation window's gauge.
enum class TColorProgreso : uint8_t { Rojo, Lima, Amarillo };

// Answer to a question put to the user.
enum class TRespuesta : uint8_t { Si, No, Cancelar };

class TInterfazOperacion {
public:
  virtual ~TInterfazOperacion() = default;
  // A modal message box with one OK button.
  virtual void Mensaje(const std::string& texto) { (void)texto; }
  // A modal question; conCancelar adds a third button.
  virtual TRespuesta Pregunta(const std::string& texto, bool conCancelar) {
    (void)texto; (void)conCancelar; return TRespuesta::Si;
  }
  // The same question with No as the default answer (Enter answers No), for
  // what a hasty answer must not lose: the window's box focuses No.
  virtual TRespuesta PreguntaNo(const std::string& texto) { return Pregunta(texto, false); }
  // One line appended to the operation log.
  virtual void Log(const std::string& linea) { (void)linea; }
  // Replaces the last line of the operation log (running counters).
  virtual void CambiaUltimaLinea(const std::string& linea) { Log(linea); }
  virtual void Progreso(uint32_t posicion, uint32_t maximo) { (void)posicion; (void)maximo; }
  virtual void ColorProgreso(TColorProgreso color) { (void)color; }
  // Text of one pane of the operation window's status bar.
  virtual void Panel(int indice, const std::string& texto) { (void)indice; (void)texto; }
  // Lets the window system handle pending events (repaint, the cancel button).
  virtual void ProcesaMensajes() {}
};

// The interface in use; never null.
TInterfazOperacion& InterfazOperacion();
// Installs an interface (nullptr restores the silent default). Returns the previous one.
TInterfazOperacion* PonInterfazOperacion(TInterfazOperacion* interfaz);

// Shortcut used inside every engine loop.
inline void ProcesaMensajes() { InterfazOperacion().ProcesaMensajes(); }

// Set by the operation window's cancel button, polled by every engine loop.
extern bool Cancelado;

// A close of the program has been asked for (a stop signal, the main
// window's close while an operation or a box holds it). From then on no
// box may wait for an answer: every message box and question of the
// program looks here first; a message goes to the log (or to standard
// error where there is none), a question takes its safe answer (No), and
// an operation closes its window as soon as its clean-up has run.
bool CierrePedido();
void PonCierrePedido(bool pedido);
