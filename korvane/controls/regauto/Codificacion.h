// Text encodings of settings and language files: UTF-8, Windows-1252 for
// files written by older tools, or UTF-16LE for files saved as "Unicode".
#pragma once

#include <optional>
#include <string>
#include <string_view>

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool EsUtf8Valido(std::string_view bytes);

// Windows-1252 bytes to UTF-8. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which
// Windows-1252 leaves unassigned, become the control characters of the same
// number, as Windows itself maps them.
std::string Cp1252AUtf8(std::string_view bytes);

// UTF-8 to Windows-1252; nothing when a character has no Windows-1252 byte.
std::optional<std::string> Utf8ACp1252(std::string_view texto);

// UTF-16LE bytes (byte-order mark already removed) to UTF-8; nothing when
// they are not well-formed (an odd byte count, an unpaired surrogate).
std::optional<std::string> Utf16LeAUtf8(std::string_view bytes);
// UTF-8 to UTF-16LE bytes; nothing for malformed UTF-8.
std::optional<std::string> Utf8AUtf16Le(std::string_view texto);
