// A simulated 24Cxx serial EEPROM on the I2C bus, modelled on the parts'
// data sheets.
//
// The chip sees the programmer's clock line as SCL and its data-out line
// as SDA; it never drives SDA high, it only pulls it low (acknowledge, a 0
// data bit), so the bus level is the host's level AND the chip's. It decodes
// START and STOP (SDA falling or rising while SCL is high), samples on SCL
// rising, changes its own output while SCL is low, acknowledges what is
// addressed to it and runs the parts' page writes and reads:
//
//   - control byte 1010 b3 b2 b1 R/W; on 24C04/08/16 the low bits are block
//     selects (upper address bits), on 24C32 and up they must match the
//     chip-select pins A2..A0; 24C01/02 ignore them unless told otherwise;
//   - one address byte (up to 24C16) or two, high first;
//   - a page buffer: written bytes go to the page of the first address, only
//     the low page bits count up, so extra bytes wrap to the page start;
//   - the write cycle starts at STOP (a START instead aborts it) and lasts
//     TiempoEscrituraNs; while it runs the chip acknowledges nothing;
//   - reads run from the address counter, the counter rolls over from the
//     last cell to 0; a random read is a write of the address followed by a
//     repeated START and a read control byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim_chip.h"

// The published organisation of one part.
struct TModelo24 {
  const char* Nombre;
  uint32_t Tam;           // bytes
  uint16_t Pagina;        // page buffer size in bytes (data sheet)
  uint8_t BytesDireccion; // 1 or 2
  uint8_t BitsBloque;     // control-byte bits that are upper address bits
};

// The ten parts in the order of the device list: 24C01 .. 24C512.
constexpr int NumModelos24 = 10;
const TModelo24& Modelo24(int indice);

// One byte seen on the bus between two conditions, for the tests.
struct TByteBus24 {
  uint8_t Valor;
  bool Ack;               // acknowledged (by the chip or by the host)
  bool DelChip;           // sent by the chip (a read)
};

class TEeprom24Sim : public TChipSim {
public:
  explicit TEeprom24Sim(int indice);

  void Lineas(uint64_t tNs, const TLineasSim& lineas) override;
  std::optional<bool> Dato() const override;
  // The array, one "address value" line per byte that is not 0xFF.
  bool GuardaEstado(const std::string& ruta) const override;
  bool CargaEstado(const std::string& ruta) override;

  const TModelo24& Modelo() const { return modelo_; }
  std::vector<uint8_t>& Memoria() { return mem_; }
  const std::vector<uint8_t>& Memoria() const { return mem_; }

  // ---- Wiring and faults ----
  // Levels of the chip-select pins A2..A0 (bits 2..0).
  uint8_t PinesDireccion = 0;
  // 24C01..08 that compare the control bits not used for blocks with their
  // pins (some makers' parts do, others ignore them).
  bool ComparaPinesBajos = false;
  // No chip in the socket: nothing is acknowledged, nothing driven.
  bool Ausente = false;
  // WP tied high: writes are acknowledged but never start a write cycle.
  bool ProtegidoEscritura = false;
  // Write cycle length; the data sheets give at most 5 ms.
  uint64_t TiempoEscrituraNs = 5'000'000;
  // A bit stuck at a level in one cell (reads always show it).
  void PegaBit(uint32_t direccion, uint8_t bit, bool nivel);
  // The chip does not acknowledge byte `Byte` (0 = the control byte, then
  // the address bytes, then the data) of transfer `Transferencia` (counted
  // from 0, one for every START since the chip was made): it has lost that
  // byte, so the page being written is not committed at STOP, though it
  // goes on acknowledging the bytes after it (a host that ignores the
  // missing acknowledge sees nothing else wrong).
  struct TSinAck {
    uint32_t Transferencia;
    uint32_t Byte;
  };
  std::optional<TSinAck> RetieneAck;
  // The chip leaves the socket once it has taken in this many bytes: from
  // the next byte on it acknowledges nothing and drives nothing (Ausente).
  uint32_t DesapareceTrasBytes = UINT32_MAX;

  // ---- What the chip saw ----
  // Addressed while a write cycle ran, and similar breaches of the parts'
  // timing; a correct host against a chip of normal timing leaves it empty.
  std::vector<std::string> Violaciones;
  // Write cycles started.
  uint32_t Escrituras = 0;
  // Bytes of every transfer since the last START, and of the finished ones
  // (kept while Traza is set; cleared by the tests).
  bool Traza = false;
  std::vector<std::vector<TByteBus24>> Transferencias;
  // True when the last bus condition was a STOP (or none yet), with no
  // transfer in progress and the chip not driving SDA.
  bool BusLibre() const;
  // The bus level of SDA and SCL as last seen.
  bool Sda() const { return sda_; }
  bool Scl() const { return scl_; }
  // Address counter (for the tests of the current address).
  uint32_t Contador() const { return contador_; }

private:
  enum class TEstado : uint8_t { Espera, Recibe, AckChip, Envia, AckHost };
  enum class TFase : uint8_t { Control, DirAlta, DirBaja, Datos, Lectura };

  void Start(uint64_t tNs);
  void Stop(uint64_t tNs);
  void Flanco(bool subida, uint64_t tNs);
  void ByteRecibido(uint64_t tNs);
  void CargaSalida();
  uint8_t LeeCelda(uint32_t direccion) const;
  void Anota(uint8_t valor, bool ack, bool delChip);
  void Reinicia();

  TModelo24 modelo_;
  std::vector<uint8_t> mem_;
  struct TPegado { uint32_t Direccion; uint8_t Mascara; bool Nivel; };
  std::vector<TPegado> pegados_;

  bool alimentado_ = false;
  bool scl_ = false, sda_ = true, host_ = false;
  bool tira_ = false;           // the chip pulls SDA low
  bool ultimaStop_ = true;

  TEstado estado_ = TEstado::Espera;
  TFase fase_ = TFase::Control;
  uint8_t reg_ = 0;             // shift register
  uint8_t bits_ = 0;            // bits clocked in the current byte
  bool ackHost_ = false;
  bool sinAckEste_ = false;     // the byte being acknowledged is not
  bool perdido_ = false;        // a byte of this transfer was lost
  uint32_t starts_ = 0;         // STARTs seen
  uint32_t byteTransf_ = 0;     // bytes taken in since the last START
  uint32_t bytesTotal_ = 0;     // bytes taken in since the chip was made

  uint32_t contador_ = 0;       // address counter
  uint32_t dirAlta_ = 0;
  uint32_t bloque_ = 0;         // upper address bits from the control byte
  uint64_t ocupadoHastaNs_ = 0;

  // Page latches of the write in progress.
  uint32_t paginaBase_ = 0;
  uint32_t offset_ = 0;
  std::vector<int16_t> latch_;  // -1 = not written
  bool hayDatos_ = false;
};
