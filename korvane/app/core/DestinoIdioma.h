// What the language mechanism asks of the windows it translates. The main
// window implements it; tests implement it with a recorder.
#pragma once

#include <string>

enum class TPropiedadTexto { Caption, Hint };

class TDestinoIdioma {
public:
  virtual ~TDestinoIdioma() = default;
  // Sets a caption or hint. `control` is "Form.Component", for example
  // "FormKorvane.MAbrir" or "FAcciones.cancelar".
  virtual void PonTexto(const std::string& control, TPropiedadTexto propiedad, const std::string& texto) = 0;
  // The hardware labels changed: refresh the window caption and status bar.
  virtual void RefrescaEstado() {}
  // A message box with one OK button.
  virtual void Mensaje(const std::string& texto) { (void)texto; }
  // One item of the language menu (filled once per run, in this order).
  virtual void AgregaIdioma(const std::string& nombre, const std::string& icono, bool marcado) {
    (void)nombre; (void)icono; (void)marcado;
  }
};
