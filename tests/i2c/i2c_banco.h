// What the serial EEPROM tests share: the selected part, the images, and
// an operation window that records what the user would see.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"

enum IndiceEeprom : uint8_t { C01 = 0, C02, C04, C08, C16, C32, C64, C128, C256, C512 };

class TVentanaI2C final : public TInterfazOperacion {
public:
  TVentanaI2C() { anterior_ = PonInterfazOperacion(this); }
  ~TVentanaI2C() override { PonInterfazOperacion(anterior_); }
  TVentanaI2C(const TVentanaI2C&) = delete;
  TVentanaI2C& operator=(const TVentanaI2C&) = delete;

  void Mensaje(const std::string& t) override { Mensajes.push_back(t); }
  void Log(const std::string& l) override { Lineas.push_back(l); }
  void CambiaUltimaLinea(const std::string& l) override {
    if (Lineas.empty())
      Lineas.push_back(l);
    else
      Lineas.back() = l;
  }
  void Progreso(uint32_t posicion, uint32_t maximo) override {
    Posicion = posicion;
    Maximo = maximo;
  }
  void Panel(int indice, const std::string& texto) override { Paneles[indice] = texto; }
  void ProcesaMensajes() override {
    ++Bombeos;
    if (AlBombear) AlBombear(Bombeos);
  }

  std::vector<std::string> Mensajes, Lineas;
  // The status panes written, by index (1 link, 2 programming delay).
  std::map<int, std::string> Paneles;
  uint32_t Posicion = 0, Maximo = 0, Bombeos = 0;
  std::function<void(uint32_t)> AlBombear;

private:
  TInterfazOperacion* anterior_ = nullptr;
};

// Selects a serial EEPROM of the list as the main window does.
inline void SeleccionaEeprom(uint8_t indice) {
  ClaseDispositivo = 2;
  IndiceListEeprom = indice;
  PonDispositivo();
  ContextoError = {};
  Cancelado = false;
}

// The bytes of a page write a part may withhold its acknowledge at:
// control, high address (two-byte parts), low address, first and last data
// byte; their place in the transfer, 0 being the control byte.
inline std::vector<std::pair<const char*, uint32_t>> BytesDePagina(uint32_t bytesDireccion, uint32_t pagina) {
  std::vector<std::pair<const char*, uint32_t>> r = {{"control", 0},
                                                     {"low address", bytesDireccion},
                                                     {"first data byte", bytesDireccion + 1},
                                                     {"last data byte", bytesDireccion + pagina}};
  if (bytesDireccion == 2) r.push_back({"high address", 1});
  return r;
}

// A pseudo-random image of n bytes, different for every seed.
inline std::vector<uint8_t> ImagenI2C(std::size_t n, uint32_t semilla) {
  std::vector<uint8_t> v(n);
  uint32_t x = semilla * 2654435761u + 12345u;
  for (auto& b : v) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return v;
}

// Puts an image into the program cells of a buffer set.
inline void PonImagen(TBuffers& buffers, const std::vector<uint8_t>& imagen) {
  for (std::size_t i = 0; i < imagen.size(); ++i) buffers.Prog[i] = imagen[i];
}

inline std::vector<uint8_t> Imagen(const TBuffers& buffers, std::size_t n) {
  std::vector<uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(buffers.Prog[i]);
  return v;
}
