// Saving and loading a simulated chip's memories: a text file with one
// cell per line, "address value" in hexadecimal; missing cells are blank.
#pragma once

#include <cstdint>
#include <map>
#include <string>

bool GuardaCeldas(const std::string& ruta, const std::map<uint32_t, uint16_t>& celdas);
bool CargaCeldas(const std::string& ruta, std::map<uint32_t, uint16_t>& celdas);
