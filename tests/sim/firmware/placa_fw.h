// A simulated firmware programmer on the master side of a pseudo-terminal.
//
// The host opens Dispositivo() (the slave) as it would open /dev/ttyACM0.
// The board decodes what crosses the line on its own:
//  - 8-byte commands '>' + letter + 6 arguments, answered as the board's
//    command table says ("Ok" + version, ID + XOR, block reads of two
//    bytes a word and their XOR, 'H' erase bytes + XOR, 'Y' two bytes);
//  - the I2C read 'A' is two exchanges: the first packet is answered with
//    one byte, 1 when the part acknowledged its control byte, else 0; after
//    a 1 the host sends the same packet again as the block read, and that
//    one is answered with the block. A reset in between starts over;
//  - block writes: pairs of a data packet (8 bytes) and an address packet
//    (group number in bytes 0-1, byte 3 = 0) whose byte 7 is the running
//    XOR of every data byte and every address-packet byte 0-3; byte 3 = 1
//    closes the block; a wrong XOR is answered 255 + 1 byte; a word that
//    does not take, 1 + group, word, expected, read (I2C: 1 + the byte's
//    address, 0, expected, read); a part that stops acknowledging, 200 +
//    the address (I2C: of the page) in 3 bytes;
//  - dsPIC frames of 105, 57 or 33 bytes (byte 0 = 0 row, 1 closing; byte
//    1 the XOR of bytes 3 to the end);
//  - the host's reset: on a pseudo-terminal there is no RTS, so the board
//    runs in packet mode and takes the host's purge (a flush status) as
//    the reset, dropping whatever it was doing and powering the part down.
// The chip behind it is a TChipFw (chip_fw.h). Faults can be injected.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "firmware/chip_fw.h"

enum class TFalloPlacaFw : uint8_t {
  Ninguno,
  Silencio,         // reads everything, answers nothing
  ChecksumLectura,  // block reads end with a wrong XOR
  Codigo,           // answers Codigo when group (or row) EnGrupo arrives
  Tarde,            // the closing reply comes RetrasoMs late (a reset drops it)
  Desconecta,       // the board goes away after TrasBytes bytes of a block
};

struct TInyeccionFw {
  TFalloPlacaFw Tipo = TFalloPlacaFw::Ninguno;
  uint8_t Codigo = 0;
  uint32_t EnGrupo = 0;
  uint32_t RetrasoMs = 0;
  uint32_t TrasBytes = 0;
};

class TPlacaFw {
public:
  explicit TPlacaFw(TChipFw& chip);
  TPlacaFw(const TPlacaFw&) = delete;
  TPlacaFw& operator=(const TPlacaFw&) = delete;
  ~TPlacaFw();

  // The slave's name, for the host to open.
  const std::string& Dispositivo() const { return nombre_; }

  // Settings (any time).
  void Inyecta(const TInyeccionFw& fallo);
  // A progress byte (CodigoProgreso) after every `grupos` groups or rows of
  // a block write; 0 = none.
  void ProgresoCada(uint32_t grupos);
  uint8_t CodigoProgreso = 0x02;
  uint8_t CodigoFinal = 0x00;  // the reply to a closing packet
  std::string Version = "2.07";

  // What crossed the line (data bytes only), and the resets seen.
  std::vector<uint8_t> Recibido();
  std::vector<uint8_t> Enviado();
  void LimpiaRegistro();
  uint32_t Reinicios();
  // Protocol violations the board saw (must stay empty in a good run).
  std::vector<std::string> Errores();
  // Groups and rows of block writes that arrived with a good XOR.
  uint32_t GruposRecibidos();
  // The socket as the board drives it: powered (supply and programming
  // voltage on the part) from a block write's command until its closing
  // reply has gone out, an error reply or the host's reset; otherwise
  // unpowered with every line low. A host that goes away in the middle of
  // a block leaves the part powered.
  bool Alimentado();

  // Waits, without a time limit, until the board has taken in n bytes or
  // seen n resets (it runs on its own thread).
  void EsperaRecibidos(std::size_t n);
  void EsperaReinicios(uint32_t n);
  // Waits until the board has taken in what reached its end of the line
  // and answered it. A real board stops at the reset pulse; this one only
  // sees the host's purge, so the host's clock calls this before every
  // wait (TodasQuietas): a reply to a command sent before a reset then
  // reaches the host before its purge, as it would on a real line.
  void EsperaQuieta();
  static void TodasQuietas();

  // Runs f with the board stopped between two bytes (to look at the chip).
  template <typename F>
  auto Con(F&& f) {
    std::lock_guard<std::mutex> l(m_);
    return f();
  }

  // Pulls the plug: both ends of the line close.
  void Desconecta();

private:
  enum class TEstado : uint8_t { Orden, Segundo, Datos, Direccion, Trama, Ignora };
  void Bucle();
  void Byte(uint8_t b);
  void Envia(const std::vector<uint8_t>& bytes);
  void Reinicia();
  void Orden();
  void EnviaBloque();
  void FinBloque();
  void Grupo();
  void Trama();
  bool FalloEn(uint32_t grupo);
  void Progreso();
  void CierraLinea();

  TChipFw& chip_;
  int maestro_ = -1, esclavo_ = -1, fin_ = -1;
  std::string nombre_;
  std::mutex m_;
  std::condition_variable cambio_;  // after every chunk of the line and every reset
  std::thread hilo_;
  // A late closing reply waiting for its time (board thread, under m_).
  struct TTardia {
    std::chrono::steady_clock::time_point Cuando;
    std::vector<uint8_t> Bytes;
  };
  std::optional<TTardia> tardia_;

  // Settings and logs (under m_).
  TInyeccionFw fallo_;
  uint32_t progresoCada_ = 0;
  std::vector<uint8_t> recibido_, enviado_;
  std::vector<std::string> errores_;
  uint32_t reinicios_ = 0;
  uint32_t grupos_ = 0;

  // Decoder state (board thread, under m_).
  TEstado estado_ = TEstado::Orden;
  std::vector<uint8_t> pend_;
  std::size_t falta_ = 8;
  TOrdenFw orden_;
  uint8_t suma_ = 0;
  uint8_t datos_[8] = {};
  uint32_t enBloque_ = 0;   // groups or rows of the running block
  uint32_t bytesBloque_ = 0;
  // An acknowledged 'A' whose block read has not been asked for yet.
  bool lecturaI2C_ = false;
  TOrdenFw sondeoI2C_;
};
