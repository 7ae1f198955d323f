// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <string>

// Reads a whole file. A missing file is no error: `existe` is false and the
// content empty. Returns false with a reason for any other failure, and
// for a file larger than 64 MB (a path that names a device or an endless
// file such as /dev/zero).
bool LeeArchivo(const std::string& ruta, std::string& contenido, bool& existe, std::string& motivo);

// Replaces a file by writing a temporary file beside it and renaming it over
// the old one, so a failure (read-only folder, full disk) leaves the old file
// intact. Missing folders are created. Returns false with a reason.
bool EscribeArchivo(const std::string& ruta, const std::string& contenido, std::string& motivo);
