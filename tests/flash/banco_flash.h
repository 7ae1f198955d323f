// Test bench of the flash engines: a simulated pin-level programmer (LPT
// or COM profile) with a simulated chip in its socket, the operation
// window's sink, and a runner that calls an algorithm in the state the
// operation runner leaves the link in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "chips/pic1x_partes.h"
#include "pg_entorno.h"
#include "sim_banco.h"

enum class TEnlacePrueba : uint8_t { Lpt, Com };
const char* NombreEnlace(TEnlacePrueba e);
// How a test's name shows the link.
inline void PrintTo(TEnlacePrueba e, std::ostream* os) { *os << NombreEnlace(e); }

class TVentanaFlash : public TInterfazOperacion {
public:
  TVentanaFlash();
  ~TVentanaFlash() override;
  void Mensaje(const std::string& texto) override { Mensajes.push_back(texto); }
  TRespuesta Pregunta(const std::string& texto, bool) override {
    Preguntas.push_back(texto);
    return Respuesta;
  }
  void Log(const std::string& linea) override {
    Lineas.push_back(linea);
    if (AlLog) AlLog(linea);
  }
  void CambiaUltimaLinea(const std::string& linea) override {
    if (Lineas.empty()) Lineas.push_back(linea);
    else Lineas.back() = linea;
  }
  void Panel(int, const std::string& texto) override { Paneles.push_back(texto); }
  void ProcesaMensajes() override {
    ++Bombeos;
    if (CancelaTras && Bombeos >= CancelaTras) Cancelado = true;
  }
  bool HayLinea(const std::string& texto) const;

  std::vector<std::string> Mensajes, Preguntas, Lineas, Paneles;
  TRespuesta Respuesta = TRespuesta::Si;
  uint32_t CancelaTras = 0;  // sets Cancelado at that message pump (0: never)
  uint32_t Bombeos = 0;
  // Called with every log line, after it is stored (a test changes the
  // chip at a step the log names).
  std::function<void(const std::string&)> AlLog;

private:
  TInterfazOperacion* anterior_;
};

// Selects a device of class 0 (ListPics) or 1 (ListPicsC) through the catalogue.
void SeleccionaPic(uint8_t clase, uint8_t indice);

// One bench: the profile is set first, then the port, adapter and clock.
class TBancoFlash {
public:
  TBancoFlash(TEnlacePrueba enlace, TChipSim* chip);
  // Runs `algoritmo` as the operation runner does for action `accion`:
  // idle lines, Vdd on, hardware check, the algorithm, then programming
  // mode entered and left, Vdd off, end levels. Returns 0, or the error
  // code reported (255 when it failed without one).
  uint32_t Ejecuta(uint32_t accion, const std::function<bool()>& algoritmo);

  TEnlacePrueba Enlace;
  std::unique_ptr<TBancoSim> Banco;
};

// A deterministic image for the selected device in BufDispositivo and
// BufArchivo: random program words (the calibration cells blank), IDs 1-4,
// random data EEPROM bytes and the configuration words given.
void ImagenPrueba(uint32_t semilla, std::initializer_list<uint16_t> config);
