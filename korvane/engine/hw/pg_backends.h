// The machine's port backends (internal to the port I/O layer).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "pg_puertos.h"

// Parallel port through ppdev: open, PPEXCL, PPCLAIM, forward data direction.
std::unique_ptr<TPuertoES> AbrePpdev(uint16_t base, const std::string& nodo, std::string& error);
// Serial port modem and break lines through the tty: exclusive, HUPCL off.
std::unique_ptr<TPuertoES> AbreTtyLineas(uint16_t base, const std::string& nodo, std::string& error);
// Raw in/out after ioperm (root, x86), for a table port only.
std::unique_ptr<TPuertoES> AbreDirecto(uint16_t base, uint16_t ancho, std::string& error);

// Takes the message of the last failed register access ("" when none).
std::string TomaErrorAcceso();

// User message for a failed step on a device node: "37*", the node, the
// reason and what fixes it. paso names the call that failed (nullptr for open).
std::string MensajeFalloNodo(const std::string& nodo, bool paralelo, int error, const char* paso);
// "name (pid N)" of a process that holds the node open, "" when none is found.
std::string QuienUsa(const std::string& nodo);
