// Test bench of the PIC18 engine on the pin-level link: a simulated
// 18F452 or 18F4550 in the socket of a simulated LPT or COM adapter,
// virtual time, and an operation window that records what the user sees.
#pragma once

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chips/pic18_sim.h"
#include "firmware/fw_banco.h"
#include "flash/pg_flash.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "pic18/pg_pic18.h"
#include "sim_banco.h"

constexpr uint8_t Indice18F452 = 52;
constexpr uint8_t Indice18F4550 = 92;
constexpr uint8_t Indice18F4620 = 96;
constexpr uint8_t Indice18F2220 = 56;
constexpr uint8_t Indice18F2320 = 57;
constexpr uint8_t Indice18F4220 = 58;
constexpr uint8_t Indice18F4320 = 59;

// One way of running the tests: which part, on which link.
struct TCaso18 {
  const char* Nombre;
  uint8_t Indice;      // ListPics
  bool Com;
};

// A part of the 18F452's programming class other than the 18F452, from
// its gputils header and linker script (modelo_cabecera.cpp).
TModeloPic18 ModeloDeCabecera(const std::string& parte);

inline TModeloPic18 ModeloDe(uint8_t indice) {
  if (indice == Indice18F4550) return Modelo18F4550();
  if (indice == Indice18F4620) return Modelo18F4620();
  if (indice >= Indice18F2220 && indice <= Indice18F4320) return ModeloDeCabecera(DaNombreDispositivo(0, indice));
  return Modelo18F452();
}

// Selects the part, builds the bench and brings the link to where the
// operation runner leaves it before an algorithm: lines idle, Vdd on,
// hardware checked.
class Banco18 {
public:
  Banco18(uint8_t indice, bool com) {
    com ? PonPerfilComSim() : PonPerfilLptSim();
    banco = std::make_unique<TBancoSim>();
    banco->Puerto.Registra = false;
    banco->Adaptador.Registra = false;
    chip = std::make_unique<TPic18Sim>(ModeloDe(indice));
    banco->Adaptador.Conecta(chip.get());
    ClaseDispositivo = 0;
    IndiceListPics = indice;
    PonDispositivo();
    anterior_ = PonInterfazOperacion(&ventana);
    Cancelado = false;
    ContextoError = {};
    TipoAccion = 0;
    Zocalo2 = false;
    VppAntesVdd = false;
    USB_COM = false;
    USB_ = false;
    ProgresoFw = {};
    PinesReposo();
    VddOn();
    CompruebaHardware();
    RetardoPgm = PicActual.TiempoPgm;
    LimpiaBuffers(BufDispositivo);
    LimpiaBuffers(BufArchivo);
  }
  ~Banco18() {
    PonInterfazOperacion(anterior_);
    Cancelado = false;
  }

  // What the chip should hold after no fault: nothing unknown, no
  // requirement missed.
  void SinFaltas() const {
    EXPECT_TRUE(chip->Violaciones.empty()) << chip->Violaciones.front();
    EXPECT_TRUE(chip->Desconocidos.empty()) << chip->Desconocidos.front();
  }

  std::unique_ptr<TBancoSim> banco;
  std::unique_ptr<TPic18Sim> chip;
  TVentanaPrueba ventana;

private:
  TInterfazOperacion* anterior_ = nullptr;
};

// A test image in BufDispositivo: scattered program panels (some with a
// single word), the four ID words, configuration words within the part's
// implemented bits, and data EEPROM bytes with blanks between them.
void ImagenPrueba18(const TModeloPic18& modelo);
// The part holds the image in every area of the selected device.
void EsperaMemoriaIgual(const TMemoriaPic18& memoria, const TBuffers& imagen);
// BufDispositivo, after a read, holds the image in every area.
void EsperaLeidoIgual(const TBuffers& imagen);

inline void PrintTo(const TCaso18& c, std::ostream* os) { *os << c.Nombre; }
