// The one firmware-programmer link of the program, on a serial device.
//
// The port opening of the hardware link calls AbreSerieFw for the
// firmware link kinds (a board on /dev/ttyACM*, /dev/ttyUSB*, /dev/ttyS*)
// and CierraSerieFw when it closes the link. The protocol routines
// (pg_fw.h) talk through PuertoFw().
#pragma once

#include <string>

#include "fw/pg_serie.h"

// The open link (closed until AbreSerieFw succeeds).
TPuertoSerie& PuertoFw();

// Opens `dispositivo` for the firmware programmer: 115200 8N1 raw, lines
// low, buffers purged. On failure nothing stays open and the user is told:
// a missing, forbidden or busy device only when muestraErrores is set
// (" " + text "37*" + " " + device and the fix), a failed setup step
// always (device + " " + text "38*", "39*" or "41*" and the cause).
// Also installs the firmware side of the hardware check (IdentificaFirmware,
// VersionFirmware) where none is installed yet.
bool AbreSerieFw(const std::string& dispositivo, bool muestraErrores);
// Closes the link; harmless when closed.
void CierraSerieFw();
// The device the link was last opened on (for reopening after a cancel).
const std::string& DispositivoFw();
