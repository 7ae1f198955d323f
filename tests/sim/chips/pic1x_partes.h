// The simulated 12-bit, 14-bit and EPROM parts by name, each filled from
// its own programming data sheet. Times are the figures the host must at
// least wait; where sources disagree the other figure is noted at the part,
// and every figure can be changed on the returned data before the model is
// built from it (Datos14, Datos10F, DatosC).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "pic1x_10f.h"
#include "pic1x_eprom.h"
#include "pic1x_flash14.h"

// Part data by name ("16F84A", "16F628A", "12F629", "12F675", "12F683", "12F635",
// "16F74", "16F88", "16F877", "16F877A"); nothing for an unknown name.
std::optional<TDatosPic14> Datos14(const std::string& nombre);
// "10F200", "10F202", "10F204", "10F206".
std::optional<TDatos10F> Datos10F(const std::string& nombre);
// "16C622A", "16C74B" (any 14-bit EPROM part with its program size).
std::optional<TDatosPicC> DatosC(const std::string& nombre);
