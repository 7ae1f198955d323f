// What the I2C units share inside the engine.
#pragma once

#include <cstdint>
#include <string>

// The operation window's gauge, remembered so loops can advance it.
void PonProgresoI2C(uint32_t posicion, uint32_t maximo);
void AvanzaProgresoI2C();

// " " + item + " " + area caption + count right-aligned in 6 + " " + kind.
std::string LineaZonaI2C(std::size_t item, uint32_t cuenta, std::size_t itemClase);

// The two branches of the operations.
uint8_t LeeI2CPines(bool dosBytes);
uint8_t LeeI2CFw(bool dosBytes);
uint8_t ProgramaI2CPines(bool dosBytes);
uint8_t ProgramaI2CFw(bool dosBytes);
