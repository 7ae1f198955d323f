// A simulated PIC18 flash part on the ICSP lines, after the PIC18 flash
// programming specifications (18F242/252/442/452 class and the newer
// 18F2455/2550/4455/4550 class).
//
// Programming mode: entered when MCLR/Vpp reaches the programming voltage
// with Vdd on (or Vdd rises with Vpp applied) while PGC and PGD are low;
// left, with every latch and the decoder reset, when Vpp, MCLR or Vdd falls.
// The host's bits are latched on the falling PGC edge; the chip drives its
// own bits from a rising edge and releases the line at the next one.
//
// 4-bit commands, LSb first, each with a 16-bit operand:
//   0000 core instruction       0010 shift out TABLAT
//   1000 TBLRD*  1001 TBLRD*+  1010 TBLRD*-  1011 TBLRD+*
//   1100 TBLWT*  1101 TBLWT*+2 1110 TBLWT*+2 + start programming (newer
//   parts only)  1111 TBLWT* + start programming
// Reads give 8 clocks with PGD as input, then the byte on the next 8.
//
// The core instructions understood are exactly those a programmer sends:
// NOP, MOVLW, MOVWF, MOVF, INCF, DECF, BSF, BCF (access bank, on TBLPTRU/H/L,
// TABLAT, EECON1, EECON2, EEDATA, EEADR, EEADRH) and GOTO. Anything else
// (another opcode, another register, the banked form) is noted in
// Desconocidos; an unknown 4-bit command swallows its operand.
//
// Writes:
//   - program memory and ID locations through the write holding registers
//     (BufferEscritura bytes; table writes put the operand's low byte at the
//     even address, the high byte at the odd one); a start-programming
//     write commits the row of the table pointer, with EEPGD = 1 and
//     CFGS = 0, on the older parts only in single-panel mode (0x0000 written
//     to 0x3C0006);
//   - configuration bytes, one per start-programming write with EEPGD = 1
//     and CFGS = 1: the low byte of the operand at an even address, the high
//     byte at an odd one;
//   - a start-programming write is carried out by the NOP that follows it,
//     whose fourth clock must stay high at least P9; a shorter hold writes
//     nothing and is a violation;
//   - bulk erase: the erase register(s) at 0x3C0004 (and 0x3C0005) written
//     with 1100, then a NOP, then a NOP whose fourth falling clock starts the
//     erase; it lasts P11, and leaving programming mode earlier loses it;
//     the data line stays low through that NOP, its operand included;
//   - after the NOP that carries out a write the clock stays low at least
//     P10 (high-voltage discharge: 5 us on the older parts, 100 us on the
//     newer);
//   - data EEPROM through EEADR/EEADRH/EEDATA and EECON1: RD reads at once;
//     WR needs WREN (and on the older parts the 0x55/0xAA sequence to
//     EECON2 just before it), takes EscrituraEeNs while EECON1.WR reads 1.
// The newer parts take the value of MOVWF TABLAT one instruction late: a
// shift-out right after it shows the old TABLAT, hence the NOP programmers
// put between them.
//
// Every timing or sequence requirement not met is noted in Violaciones and
// leaves the memory unchanged, so the engine's own error path runs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chips/pic18_memoria.h"
#include "sim_chip.h"
#include "sim_tiempos_dato.h"

class TPic18Sim : public TChipSim {
  // The part's own memories; none when it works on memories held elsewhere.
  std::unique_ptr<TMemoriaPic18> propia_;

public:
  explicit TPic18Sim(const TModeloPic18& modelo);
  // The same part on memories another view of it holds (the firmware
  // programmer's socket runs its block commands on them).
  explicit TPic18Sim(TMemoriaPic18& memoria);

  void Lineas(uint64_t tNs, const TLineasSim& lineas) override;
  std::optional<bool> Dato() const override { return salida_; }
  bool GuardaEstado(const std::string& ruta) const override { return Memoria.Guarda(ruta); }
  bool CargaEstado(const std::string& ruta) override { return Memoria.Carga(ruta); }

  TMemoriaPic18& Memoria;

  // Accept Vdd rising with Vpp already applied as an entry, too.
  bool AceptaVppPrimero = true;

  bool EnProgramacion = false;
  uint32_t Entradas = 0;
  // The host's data bit stable 15 ns before and after the falling clock
  // edge that latches it (P3, P4).
  TTiemposDato TiemposDato{15, 15};
  std::vector<std::string> Violaciones;
  std::vector<std::string> Desconocidos;

  // What happened, for the tests.
  std::vector<uint32_t> Filas;           // row address of every programmed row
  std::vector<uint32_t> BytesConfig;     // address of every configuration byte written, in order
  std::vector<uint16_t> Borrados;        // value of every bulk erase carried out
  std::vector<uint16_t> EscriturasEe;    // address of every data EEPROM write carried out
  std::vector<uint16_t> LecturasProg;    // table reads per program-memory byte
  uint32_t LecturasId = 0;               // table reads of ID locations
  uint64_t Ciclos = 0;                   // clock pulses seen in programming mode
  uint64_t CiclosLectura = 0;            // ... of them in the read phases

  // Registers, readable by the tests.
  uint32_t Tblptr = 0;
  uint8_t W = 0;
  uint8_t Tablat = 0;
  uint8_t Eecon1 = 0;   // without RD and WR, which are state below
  uint8_t Eedata = 0, Eeadr = 0, Eeadrh = 0;
  bool UnPanel = false;
  uint32_t Pc = 0;

private:
  enum class TFase { Comando, Operando, Lectura };
  enum class TPendiente { Nada, Fila, Config };

  void Entra();
  void Sale(uint64_t t);
  void Reinicia();
  void AvanzaTiempo(uint64_t t);
  void Subida(uint64_t t);
  void Bajada(uint64_t t, bool dato);
  void FinComando(uint64_t t);
  void Ejecuta(uint64_t t, uint16_t operando);
  void Instruccion(uint64_t t, uint16_t op);
  void EscribeTabla(uint16_t operando, bool programa);
  void Graba(uint64_t t);
  uint8_t LeeRegistro(uint8_t f);
  void EscribeRegistro(uint64_t t, uint8_t f, uint8_t v, bool movwf);
  bool RegistroConocido(uint8_t f) const;
  void IniciaEscrituraEe(uint64_t t);
  void LeeEe();
  uint8_t LeeTabla(uint32_t d);
  void Viola(const std::string& texto);
  void Desconocido(const std::string& texto);

  TLineasSim previo_{};
  bool alta_ = false;
  std::optional<bool> salida_;

  TFase fase_ = TFase::Comando;
  uint32_t bits_ = 0;
  int n_ = 0;
  uint8_t comando_ = 0;
  bool ignora_ = false;
  uint8_t byteSalida_ = 0;

  TPendiente pendiente_ = TPendiente::Nada;
  uint32_t dirPendiente_ = 0;
  uint8_t bytePendiente_ = 0;
  uint64_t subida4_ = 0;
  uint64_t bajadaNop_ = 0;
  bool vigilaP10_ = false;
  std::vector<uint8_t> retencion_;

  uint8_t regBorrado_[2] = {0, 0};
  bool borradoArmado_ = false;
  int nopsTrasBorrado_ = 0;
  bool borrando_ = false;
  bool nopBorrado_ = false;       // the NOP that started the erase runs
  bool datoAltoEnBorrado_ = false;
  uint64_t finBorrado_ = 0;
  uint16_t codigoBorrado_ = 0;

  int desbloqueo_ = 0;
  bool eeOcupado_ = false;
  uint64_t finEe_ = 0;
  uint16_t dirEe_ = 0;
  uint8_t datoEe_ = 0;

  std::optional<uint8_t> tablatDiferido_;
  bool gotoPendiente_ = false;
  uint8_t gotoBajo_ = 0;
};
