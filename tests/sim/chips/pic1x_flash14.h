// Simulated 14-bit mid-range flash PIC (12F6xx, 16F6xx, 16F7x, 16F8x,
// 16F87x(A)). One model; what differs between parts (sizes, latches,
// commands, timings, what each erase reaches, calibration cells) is data,
// filled from each part's programming data sheet in pic1x_partes.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pic1x_serie.h"

// What one erase command reaches.
enum TAlcanceSim : uint8_t {
  AlcProg = 1,      // program memory (with an OSCCAL word in it)
  AlcConfig = 2,    // configuration words (with band-gap bits in them)
  AlcId = 4,        // user ID words
  AlcCal = 8,       // calibration words in configuration space
  AlcDatos = 16,    // data EEPROM
};

// How the begin command 8 programs.
enum class TModo8Sim : uint8_t {
  Interno,       // internally timed, program only (bits 1 -> 0)
  InternoBorra,  // internally timed erase of the word, then program
  Externo,       // externally timed, ends with the part's end command
};

struct TDatosPic14 {
  std::string Nombre;
  uint16_t Id = 0;            // device ID word at 0x2006, revision included
  uint16_t Palabras = 0;      // program words
  uint16_t EeBytes = 0;       // data EEPROM bytes (0 = none)
  uint8_t Latches = 1;        // program words written by one begin command
  uint8_t NumConfig = 1;      // configuration words from 0x2007
  uint16_t CalIni = 0;        // first calibration word in configuration space (0 = none)
  uint8_t CalNum = 0;
  bool OscCal3FF = false;     // factory RETLW k at 0x3FF
  bool BandGap = false;       // factory band-gap bits 12-13 of the configuration word
  uint64_t Comandos = 0;      // bit n set: command n exists
  TModo8Sim Modo8 = TModo8Sim::Interno;
  uint64_t T8Ns = 0, T8DatosNs = 0;   // programming time of command 8 (program, data)
  bool Externo24 = true;              // command 24 externally timed (else internally)
  uint64_t T24Ns = 0, T24DatosNs = 0;
  uint8_t Fin = 0;                    // end command of externally timed programming
  bool Borrado9Con8 = false;          // bulk erases start only with a following command 8
  uint64_t T9Ns = 0, T11Ns = 0, T31Ns = 0, TSetupNs = 0;
  uint8_t Alcance9Prog = AlcProg;     // command 9 with the counter in program space
  uint8_t Alcance9Config = AlcProg | AlcConfig | AlcId;  // ... in configuration space
  uint16_t MascaraCP = 0;     // configuration bits that protect program memory when 0
  uint16_t MascaraCPD = 0;    // ... that protect data EEPROM when 0
  // Parts whose CP bits come in pairs, each value protecting the top of
  // program memory from a word on: that first word for a pair of 00, 01,
  // 10 and 11 (with several pairs in MascaraCP the lowest counts). Empty:
  // any CP bit at 0 protects all of program memory.
  std::vector<uint16_t> InicioCP;
};

// A bit that cannot be changed: reads `valor` under `mascara` whatever is written.
struct TBitPegadoSim {
  uint16_t Direccion;  // 0x0000-0x1FFF program, 0x2000-0x200F configuration space
  uint16_t Mascara;
  uint16_t Valor;
};

class TPic14Sim : public TPic1xSerieSim {
public:
  explicit TPic14Sim(TDatosPic14 datos);

  const TDatosPic14& Datos() const { return d_; }

  // Memories, to set up a test and to check what was programmed.
  std::vector<uint16_t> Prog;            // program words, blank 0x3FFF
  std::array<uint16_t, 16> Config{};     // 0x2000-0x200F
  std::vector<uint8_t> Ee;               // data EEPROM, blank 0xFF
  std::vector<TBitPegadoSim> Pegados;

  // Factory values, written when the model is built.
  uint16_t OscCalFabrica = 0x3480;       // RETLW 0x80
  uint16_t BandGapFabrica = 0x2000;      // bits 12-13
  std::vector<uint16_t> CalFabrica;      // calibration words
  void PonFabrica();                     // blank memories with the factory values

  uint16_t LeeCelda(uint16_t direccion) const;  // through stuck bits, no protection
  bool Protegido() const;                // some of program memory is protected
  uint16_t InicioProtegido() const;      // its first protected word (Palabras: none)
  // A program word that reads 0 and takes no writes (0x2000 up: never).
  bool CeldaProtegida(uint16_t direccion) const {
    return direccion < 0x2000 && direccion % d_.Palabras >= InicioProtegido();
  }
  bool DatosProtegidos() const;
  // Number of program writes seen per word (tests that count pulses or writes).
  std::vector<uint32_t> Escrituras;
  // Every command the part decoded, with its counter and whether the last
  // load was a data-memory load (tests that check which begin and end
  // commands an area got). Kept only while RegistraComandos is set.
  struct TComandoRecibido {
    uint8_t Comando;
    uint16_t Pc;
    bool Datos;
  };
  bool RegistraComandos = false;
  std::vector<TComandoRecibido> Recibidos;

protected:
  void Reinicia() override;
  TFaseSim Comando(uint8_t comando, uint64_t tNs) override;
  void Carga(uint8_t comando, uint16_t dato) override;
  uint16_t Lectura(uint8_t comando) override;

private:
  bool EnConfig() const { return pc_ >= 0x2000; }
  void Programa(bool borraAntes);
  void ProgramaDatos();
  void Borra(uint8_t alcance);
  void EscribeCelda(uint16_t direccion, uint16_t valor, bool borraAntes);
  uint16_t& Celda(uint16_t direccion);

  TDatosPic14 d_;
  uint16_t pc_ = 0;
  std::array<uint16_t, 8> latch_{};
  uint8_t cargados_ = 0;       // bit i: latch i loaded since the last write
  bool cargaDatos_ = false;    // the last load was a data-memory load
  uint8_t datoEe_ = 0xFF;
  uint8_t setup_ = 0;          // 1 after command 1, 2 after 1 then 7
  bool borrado9_ = false, borrado11_ = false;  // armed, waiting for command 8
};
