// Text helpers of the settings store.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Every occurrence of `viejo` replaced by `nuevo`; inserted text is never
// searched again, so a `nuevo` that contains `viejo` does not loop.
std::string ReplaceAll(std::string texto, std::string_view viejo, std::string_view nuevo);
// first + separator + second, leaving out the separator when either is empty.
std::string JoinNonEmpty(const std::string& primero, const std::string& segundo, const std::string& separador);
// The user's home folder ("$HOME", else the password database's entry).
std::string ProfileFolder();

// A 32-bit integer as the settings files spell it: decimal with an optional
// sign, or hexadecimal after "$" or "0x". Nothing for any other text.
std::optional<int32_t> TextoAEntero(std::string_view texto);
// A real number with "." (or ",") as decimal separator.
std::optional<double> TextoAReal(std::string_view texto);
// The shortest text that reads back as the same double.
std::string RealATexto(double valor);
