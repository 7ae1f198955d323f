// The operation runner's state and its dispatch table, without any window:
// the action code and result every device command goes through, the
// options the runner reads, and the step that hands the action to the
// engine of the device class and family. The operation window (Acciones.h)
// runs the steps around it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "hw/pg_port.h"  // TipoAccion, ResultadoAccion (defined here)
#include "ident/pg_modelo.h"

// Action codes (TAccion): the only values TipoAccion takes.
enum TAccion : uint32_t {
  AccProgramar = 0,
  AccLeer = 1,
  AccVerificar = 2,
  AccBorrar = 3,
  AccIdentificar = 7,
  AccHardware = 8,
};

// Result of a run that stopped before or instead of its action, or was cancelled.
constexpr uint8_t ResultadoNoHecho = 255;

// Options of the software settings the runner reads (the main window keeps
// them up to date): ask before programming or erasing; verify after
// programming.
extern bool OpcPMsgs;
extern bool OpcVDespues;

// Copies the main window's editors into BufArchivo before the verify that
// follows programming, so the part is compared with what the editors hold
// (set by the main window; unset, BufArchivo is used as it stands).
extern std::function<void()> LeeEditor;

// The text of `accion` (TextosEntorno items 0, 1, 2, 3, 5, 6 for the codes
// 0, 1, 2, 3, 7, 8); "" for any other code.
std::string TextoAccion(uint32_t accion);

// The identification before an action on the flash class named a catalogue
// part that is not the selected one: its list index; 255 when it named the
// selected part or nothing (no answer, or an ID no table knows, which is
// what the parts without a device ID give).
uint8_t OtraParteEnZocalo(const TModel& model);
// The texts naming the selected part and the part `indice` in the socket:
// the question before a program or an erase, and what a run that stops
// (sigue false) or goes on as the selected part says in its log.
std::string PreguntaOtraParte(uint8_t indice);
std::string TextoOtraParte(uint8_t indice, bool sigue);

// Step 12 of a run: IncluyeExec cleared, the action of TipoAccion run by the
// engine of the selected class and family, the verify after programming
// when asked for (native USB reopened first, the editors read back). The
// engine's result: 0 done; otherwise what the engine returned (1 from the
// routines that return a failed flag, the error code from those that
// return one). The error itself has already been reported.
// Identification (7) and the hardware test (8) dispatch nothing here.
uint8_t DespachaAccion();
