// Test bench of the dsPIC engine on the pin-level link: a simulated
// dsPIC30F in the socket of a simulated LPT or COM adapter, virtual time,
// and an operation window that records what the user sees and answers the
// executive question as told.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chips/dspic30_sim.h"
#include "dspic/pg_dspic.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "sim_banco.h"

constexpr uint8_t Indice30F2010 = 98;
constexpr uint8_t Indice30F2011 = 99;  // no data EEPROM
constexpr uint8_t Indice30F4013 = 108;
constexpr uint8_t Indice30F6013 = 117;  // 44K instructions, 2 KB EEPROM
constexpr uint8_t Indice30F6014 = 119;

class TVentanaDs final : public TInterfazOperacion {
public:
  void Mensaje(const std::string& t) override { Mensajes.push_back(t); }
  TRespuesta Pregunta(const std::string& t, bool conCancelar) override {
    Preguntas.push_back(t);
    ConCancelar = conCancelar;
    return Respuesta;
  }
  void Log(const std::string& l) override { Lineas.push_back(l); }
  void CambiaUltimaLinea(const std::string& l) override {
    if (Lineas.empty()) Lineas.push_back(l); else Lineas.back() = l;
  }
  void Progreso(uint32_t p, uint32_t m) override { Posicion = p; Maximo = m; }
  void ColorProgreso(TColorProgreso c) override { Color = c; }
  void ProcesaMensajes() override {
    ++Bombeos;
    if (AlBombear) AlBombear(Bombeos);
  }
  std::vector<std::string> Mensajes, Lineas, Preguntas;
  TRespuesta Respuesta = TRespuesta::Si;
  bool ConCancelar = false;
  uint32_t Posicion = 0, Maximo = 0, Bombeos = 0;
  TColorProgreso Color = TColorProgreso::Lima;
  std::function<void(uint32_t)> AlBombear;
};

inline TModeloDsPic30 ModeloDs(uint8_t indice) {
  switch (indice) {
    case Indice30F6013: return Modelo30F6013();
    case Indice30F6014: return Modelo30F6014();
    case Indice30F4013: return Modelo30F4013();
    case Indice30F2011: {
      TModeloDsPic30 m = Modelo30F2010();
      m.Nombre = "30F2011";
      m.Id = 0x00C0;
      m.EeBytes = 0;
      m.Implementados[0] = 0xC71F;
      return m;
    }
    default: return Modelo30F2010();
  }
}

// Puts the engine's globals where the operation runner leaves them before
// an algorithm: device selected, window installed, nothing cancelled.
class TEstadoDs {
public:
  explicit TEstadoDs(uint8_t indice) {
    ClaseDispositivo = 0;
    IndiceListPics = indice;
    PonDispositivo();
    anterior_ = PonInterfazOperacion(&ventana);
    Cancelado = false;
    ContextoError = {};
    TipoAccion = 0;
    Zocalo2 = false;
    VppAntesVdd = false;
    IncluyeExec = false;
    ProgresoFw = {};
    PonEjecutivoConDatos([this] { return ejecutivo; });
    LimpiaBuffers(BufDispositivo);
    LimpiaBuffers(BufArchivo);
  }
  ~TEstadoDs() {
    PonEjecutivoConDatos(nullptr);
    PonInterfazOperacion(anterior_);
    Cancelado = false;
  }
  TVentanaDs ventana;
  bool ejecutivo = false;  // what the executive editor says

private:
  TInterfazOperacion* anterior_ = nullptr;
};

class BancoDs {
public:
  BancoDs(uint8_t indice, bool com, TModeloDsPic30 modelo) {
    com ? PonPerfilComSim() : PonPerfilLptSim();
    USB_COM = false;
    USB_ = false;
    banco = std::make_unique<TBancoSim>();
    banco->Puerto.Registra = false;
    banco->Adaptador.Registra = false;
    chip = std::make_unique<TDsPic30Sim>(modelo);
    banco->Adaptador.Conecta(chip.get());
    estado = std::make_unique<TEstadoDs>(indice);
    PinesReposo();
    VddOn();
    CompruebaHardware();
  }
  BancoDs(uint8_t indice, bool com) : BancoDs(indice, com, ModeloDs(indice)) {}

  // Nothing unknown reached the chip and no requirement was missed.
  void SinFaltas() const {
    EXPECT_TRUE(chip->Violaciones.empty()) << chip->Violaciones.front();
    EXPECT_TRUE(chip->Desconocidos.empty()) << chip->Desconocidos.front();
  }
  TVentanaDs& Ventana() { return estado->ventana; }

  std::unique_ptr<TBancoSim> banco;
  std::unique_ptr<TDsPic30Sim> chip;
  std::unique_ptr<TEstadoDs> estado;
};

// A test image in BufDispositivo: scattered program rows (one with a single
// instruction, the last row of the part), data EEPROM words with blank rows
// between them, configuration registers within the implemented bits.
void ImagenPruebaDs(const TModeloDsPic30& modelo);
// The image's configuration cells as a HEX file leaves them: register 0
// with its value and every bit the part does not implement set (as
// toolchains write it), the others absent from the file (0xFFFF in both
// cells of the register, the buffer's blank).
void ConfigComoArchivoDs(const TModeloDsPic30& modelo);
// What each register holds once the image's configuration is programmed.
uint16_t ConfigEsperadaDs(const TModeloDsPic30& modelo, const TBuffers& imagen, uint32_t r);
// Instruction at a device address of a buffer's program area.
inline uint32_t InstruccionDe(const TBuffers& b, uint32_t direccion) {
  return b.Prog[direccion] | uint32_t{b.Prog[direccion + 1] & 0xFFu} << 16;
}
// The chip holds the image's program, EEPROM and configuration.
void EsperaChipIgual(const TMemoriaDsPic30& m, const TBuffers& imagen);
