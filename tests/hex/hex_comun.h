// What the image-file tests share: device selection from the catalogue, a
// scratch folder, message capture and file helpers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/grabador.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_pic.h"

namespace hexprueba {

inline std::string Mayusculas(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

// Selects a catalogue device by its name ("16F84a", "24C02", "16C64"),
// as the main window does, through PonDispositivo.
inline void Selecciona(const std::string& nombre) {
  for (uint8_t clase = 0; clase < 3; ++clase) {
    const auto lista = ListaCatalogo(clase);
    for (std::size_t i = 0; i < lista.size(); ++i) {
      if (Mayusculas(lista[i].Nombre) != Mayusculas(nombre)) continue;
      ClaseDispositivo = clase;
      (clase == 1 ? IndiceListPicsC : clase == 2 ? IndiceListEeprom : IndiceListPics) =
          static_cast<uint8_t>(i);
      ASSERT_EQ(PonDispositivo(), 0) << nombre;
      return;
    }
  }
  FAIL() << "no catalogue device " << nombre;
}

inline std::string LeeTodo(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void EscribeTodo(const std::filesystem::path& p, const std::string& texto) {
  std::ofstream f(p, std::ios::binary);
  f << texto;
}

// A record line from its fields, with the right checksum.
inline std::string Registro(uint8_t tipo, uint16_t direccion, const std::vector<uint8_t>& datos) {
  ArchivoHex.Salida.clear();
  EscribeRegistroHex(tipo, direccion, datos);
  std::string linea = ArchivoHex.Salida;
  ArchivoHex.Salida.clear();
  return linea.substr(0, linea.size() - 2);  // without CR LF
}

inline std::string Extendida(uint16_t superior) {
  return Registro(RegLineal, 0, {static_cast<uint8_t>(superior >> 8), static_cast<uint8_t>(superior)});
}

// Whether a program is on the PATH (the tests that need gpasm or srec_cat
// say so instead of passing silently).
inline bool Hay(const std::string& programa) {
  return std::system(("command -v " + programa + " >/dev/null 2>&1").c_str()) == 0;
}

// Messages captured, texts shown as their keys ("<7*>"), a scratch folder.
class HexTest : public ::testing::Test {
protected:
  TGrabador grabador;
  std::filesystem::path carpeta;

  void SetUp() override {
    PonBuscaTextoError([](const std::string& clave) { return "<" + clave + ">"; });
    carpeta = std::filesystem::temp_directory_path() /
              ("korvane-hex-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(carpeta);
    std::filesystem::create_directories(carpeta);
    ArchivoActual = "prueba.hex";
  }
  void TearDown() override {
    PonBuscaTextoError(nullptr);
    PonEjecutivoConDatos(nullptr);
    std::filesystem::permissions(carpeta, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    std::filesystem::remove_all(carpeta);
  }
  std::string Ruta(const std::string& nombre) const { return (carpeta / nombre).string(); }
};

}  // namespace hexprueba
