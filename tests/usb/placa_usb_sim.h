// A simulated firmware programmer on native USB, behind the USB transport's
// bus interface: the same chip models (TChipFw) and the same fault kinds as
// the board on the pseudo-terminal, but the USB packet layout:
//  - 8-byte commands '>' + letter + 6 arguments, answered in one transfer
//    each ("Ok" + version, ID + XOR, 'H' erase bytes + XOR, 'Y' two bytes,
//    'A' acknowledge byte then the block, the host's repeat of 'A' ignored);
//  - block reads: 255-byte packets of up to 124 words (120 for the dsPIC
//    reads 'E', 'F', 'G') low byte first, byte 254 the words in the packet;
//    a single byte 255 from the host stops the read;
//  - block writes ('6' after its second 8-byte packet, '7', 'B', 'M'):
//    255-byte packets, byte 250 words, bytes 251-253 the word offset, byte
//    254 = 1 closes the block; dsPIC rows ('I', 'J', 'K'): the row's
//    instructions at 3 bytes from byte 0, bytes 251-253 the row address;
//  - 16-byte reply records: 1 verify error (offset low, high, word in the
//    packet, expected, read; I2C: address low, high; dsPIC: the row address,
//    the address offset, expected and read 24-bit), 200 programmer error
//    (offset low, high, word), progress records, the closing reply.
// Replies queue on the board's IN endpoint and are read one transfer at a
// time; a read of fewer bytes takes the front of the transfer.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "firmware/chip_fw.h"
#include "firmware/placa_fw.h"
#include "usb/pg_usb.h"

class TPlacaUsbSim {
public:
  explicit TPlacaUsbSim(TChipFw& chip) : chip_(chip) {}

  // Settings (any time, under the board's lock).
  TInyeccionFw Fallo;
  uint32_t ProgresoCada = 0;   // a progress record after every n packets or rows
  uint8_t CodigoProgreso = 2;
  uint32_t RetrasoProgresoMs = 0;  // a board that lags: each progress record comes this late
  uint8_t CodigoFinal = 0;     // the reply to a closing packet
  int CuentaForzada = -1;      // >= 0: byte 254 of every read packet says this
  std::string Version = "2.07";

  // What the host sent: every transfer, whole.
  std::vector<std::vector<uint8_t>> Recibido;
  // Packets or rows of block writes the board programmed.
  uint32_t PaquetesEscritos = 0;
  // Data packets sent for reads.
  uint32_t PaquetesLeidos = 0;
  // Protocol violations seen (must stay empty in a good run).
  std::vector<std::string> Errores;
  bool Conectada = true;

  std::mutex m;

  int Escribe(const uint8_t* d, std::size_t n) {
    std::lock_guard<std::mutex> l(m);
    if (!Conectada) return -1;
    Recibido.emplace_back(d, d + n);
    if (Fallo.Tipo == TFalloPlacaFw::Desconecta && estado_ != TEstado::Orden) {
      bytesBloque_ += static_cast<uint32_t>(n);
      if (bytesBloque_ > Fallo.TrasBytes) {
        Conectada = false;
        cv_.notify_all();
        return -1;
      }
    }
    Transferencia(d, n);
    return static_cast<int>(n);
  }

  int Lee(uint8_t* d, std::size_t n, unsigned esperaMs) {
    std::unique_lock<std::mutex> l(m);
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(esperaMs);
    for (;;) {
      if (!Conectada) return -1;
      if (!salida_.empty() && salida_.front().Desde <= std::chrono::steady_clock::now()) break;
      // Nothing more can come before the host writes again, except a late
      // reply: a silent board answers a long read at once, as timed out.
      if (salida_.empty() && esperaMs > 100) return 0;
      if (cv_.wait_until(l, std::min(limite, salida_.empty() ? limite : salida_.front().Desde)) ==
              std::cv_status::timeout &&
          std::chrono::steady_clock::now() >= limite)
        return 0;
    }
    TSalida& s = salida_.front();
    const std::size_t k = std::min(n, s.Bytes.size());
    std::memcpy(d, s.Bytes.data(), k);
    s.Bytes.erase(s.Bytes.begin(), s.Bytes.begin() + static_cast<std::ptrdiff_t>(k));
    if (s.Bytes.empty()) salida_.pop_front();
    return static_cast<int>(k);
  }

  // Transfers still waiting on the IN endpoint.
  std::size_t Pendientes() {
    std::lock_guard<std::mutex> l(m);
    return salida_.size();
  }

private:
  enum class TEstado : uint8_t { Orden, Segundo, Bloque, Filas, Ignora };
  struct TSalida {
    std::vector<uint8_t> Bytes;
    std::chrono::steady_clock::time_point Desde;
  };

  void Envia(std::vector<uint8_t> b, uint32_t retrasoMs = 0) {
    if (Fallo.Tipo == TFalloPlacaFw::Silencio || b.empty()) return;
    salida_.push_back({std::move(b), std::chrono::steady_clock::now() + std::chrono::milliseconds(retrasoMs)});
    cv_.notify_all();
  }
  void Registro(std::vector<uint8_t> campos, uint32_t retrasoMs = 0) {
    campos.resize(16, 0);
    Envia(std::move(campos), retrasoMs);
  }

  static bool EsLectura(char l) {
    return l == '1' || l == '2' || l == '3' || l == 'A' || l == 'E' || l == 'F' || l == 'G' || l == 'L';
  }

  void Transferencia(const uint8_t* d, std::size_t n) {
    if (n == 1 && d[0] == 255) {  // stop: the host cancelled a read
      salida_.clear();
      estado_ = TEstado::Orden;
      return;
    }
    if (n == 8 && d[0] == '>' && estado_ != TEstado::Segundo) {
      Orden(d);
      return;
    }
    switch (estado_) {
      case TEstado::Segundo:
        if (n != 8) Errores.push_back("second packet of '6' is " + std::to_string(n) + " bytes");
        estado_ = TEstado::Bloque;
        return;
      case TEstado::Bloque:
      case TEstado::Filas:
        if (n != 255) {
          Errores.push_back("block packet of " + std::to_string(n) + " bytes");
          return;
        }
        estado_ == TEstado::Bloque ? Paquete(d) : Fila(d);
        return;
      case TEstado::Ignora: return;
      case TEstado::Orden:
        Errores.push_back("transfer of " + std::to_string(n) + " bytes where a command was due");
        return;
    }
  }

  void Orden(const uint8_t* d) {
    std::copy(d, d + 8, orden_.b.begin());
    const char l = orden_.Letra();
    if (l != 'A') ackEnviado_ = false;
    enBloque_ = 0;
    bytesBloque_ = 0;
    estado_ = TEstado::Orden;
    if (auto r = RespuestaInmediataFw(chip_, orden_, Version)) {
      Envia(std::move(*r));
    } else if (EsLectura(l)) {
      // 'A' is answered with the acknowledge and the block; the host then
      // sends the same command again, which the board takes in silence
      // (the block is already on its way).
      if (l == 'A') {
        const bool repeticion = ackEnviado_ && orden_.b == anterior_.b;
        ackEnviado_ = false;
        anterior_ = orden_;
        const bool ack = chip_.Reconoce();
        if (repeticion) return;
        Envia({static_cast<uint8_t>(ack ? 1 : 0)});
        if (!ack) return;
        ackEnviado_ = true;
      }
      const TBloqueFw bloque = chip_.Bloque(orden_);
      const uint32_t paso = (l == 'E' || l == 'F' || l == 'G') ? 120 : 124;
      for (uint32_t hecho = 0; hecho < bloque.Palabras; hecho += paso) {
        std::vector<uint8_t> p(255, 0);
        const uint32_t k = std::min(paso, bloque.Palabras - hecho);
        for (uint32_t i = 0; i < k; ++i) {
          const uint16_t v = bloque.Memoria ? bloque.Memoria->Lee(bloque.Celda + hecho + i) : 0xFFFF;
          p[2 * i] = static_cast<uint8_t>(v);
          p[2 * i + 1] = static_cast<uint8_t>(v >> 8);
        }
        p[254] = static_cast<uint8_t>(CuentaForzada >= 0 ? CuentaForzada : static_cast<int>(k));
        ++PaquetesLeidos;
        Envia(std::move(p));
      }
    } else if (l == '6') {
      estado_ = TEstado::Segundo;
    } else if (l == '7' || l == 'B' || l == 'M') {
      estado_ = TEstado::Bloque;
    } else if (l == 'I' || l == 'J' || l == 'K') {
      estado_ = TEstado::Filas;
    } else if (l != 'Z') {
      Errores.push_back(std::string("unknown command letter '") + l + "'");
    }
  }

  void Cierra() {
    Registro({CodigoFinal}, Fallo.Tipo == TFalloPlacaFw::Tarde ? Fallo.RetrasoMs : 0);
    estado_ = TEstado::Orden;
  }

  void Progreso() {
    ++PaquetesEscritos;
    ++enBloque_;
    if (ProgresoCada && enBloque_ % ProgresoCada == 0) Registro({CodigoProgreso}, RetrasoProgresoMs);
  }

  bool Inyectado(std::vector<uint8_t> siUno) {
    if (Fallo.Tipo != TFalloPlacaFw::Codigo || enBloque_ != Fallo.EnGrupo) return false;
    if (Fallo.Codigo == 1) {
      Registro(std::move(siUno));
    } else {
      siUno.resize(4);
      siUno[0] = Fallo.Codigo;
      Registro(std::move(siUno));
    }
    estado_ = TEstado::Ignora;
    return true;
  }

  void Paquete(const uint8_t* p) {
    if (p[254] == 1) return Cierra();
    if (p[254] != 0) Errores.push_back("packet with byte 254 = " + std::to_string(p[254]));
    const uint32_t cuenta = p[250];
    const uint32_t offset = p[251] | uint32_t{p[252]} << 8 | uint32_t{p[253]} << 16;
    if (cuenta == 0 || cuenta > 124) Errores.push_back("packet of " + std::to_string(cuenta) + " words");
    if (offset % 124) Errores.push_back("packet at offset " + std::to_string(offset));
    const uint8_t o0 = static_cast<uint8_t>(offset), o1 = static_cast<uint8_t>(offset >> 8);
    if (Inyectado({1, o0, o1, 0, p[0], p[1], static_cast<uint8_t>(~p[0]), static_cast<uint8_t>(~p[1])}))
      return;
    const TBloqueFw bloque = chip_.Bloque(orden_);
    const bool i2c = orden_.Letra() == 'B';
    for (uint32_t k = 0; k < std::min(cuenta, 124u); ++k) {
      const uint32_t i = offset + k;
      if (i >= bloque.Palabras) break;
      const uint16_t v = static_cast<uint16_t>(p[2 * k] | p[2 * k + 1] << 8);
      if (auto f = chip_.Escribe(orden_, i, v)) {
        const uint32_t dir = i2c ? i : offset;
        Registro({1, static_cast<uint8_t>(dir), static_cast<uint8_t>(dir >> 8),
                  static_cast<uint8_t>(i2c ? 0 : k), static_cast<uint8_t>(f->Esperado),
                  static_cast<uint8_t>(f->Esperado >> 8), static_cast<uint8_t>(f->Leido),
                  static_cast<uint8_t>(f->Leido >> 8)});
        estado_ = TEstado::Ignora;
        return;
      }
    }
    Progreso();
  }

  void Fila(const uint8_t* p) {
    if (p[254] == 1) return Cierra();
    const uint8_t tipo = orden_.b[6];
    const uint32_t n = tipo == 1 ? 16 : tipo == 4 ? 7 : 32;
    const uint32_t dir = p[251] | uint32_t{p[252]} << 8 | uint32_t{p[253]} << 16;
    if (Inyectado({1, p[251], p[252], p[253], 0, p[0], p[1], p[2], 0, 0, 0})) return;
    std::vector<uint32_t> ins(n);
    for (uint32_t i = 0; i < n; ++i) ins[i] = p[3 * i] | uint32_t{p[3 * i + 1]} << 8 | uint32_t{p[3 * i + 2]} << 16;
    if (auto e = chip_.EscribeFila24(tipo, dir, ins)) {
      Registro({1, p[251], p[252], p[253], static_cast<uint8_t>(e->Indice * 2),
                static_cast<uint8_t>(e->Esperado), static_cast<uint8_t>(e->Esperado >> 8),
                static_cast<uint8_t>(e->Esperado >> 16), static_cast<uint8_t>(e->Leido),
                static_cast<uint8_t>(e->Leido >> 8), static_cast<uint8_t>(e->Leido >> 16)});
      estado_ = TEstado::Ignora;
      return;
    }
    Progreso();
  }

  TChipFw& chip_;
  TOrdenFw orden_;
  TOrdenFw anterior_;
  bool ackEnviado_ = false;
  TEstado estado_ = TEstado::Orden;
  uint32_t enBloque_ = 0;
  uint32_t bytesBloque_ = 0;
  std::deque<TSalida> salida_;
  std::condition_variable cv_;
};

// A bus with simulated devices: boards, and any other device to be listed.
class TBusUsbSim final : public TBusUsb {
public:
  struct TDispositivo {
    TInfoUsb Info;
    TPlacaUsbSim* Placa = nullptr;  // null: a device that is no board
    TFalloUsb FalloApertura = TFalloUsb::Ninguno;
  };
  std::vector<TDispositivo> Dispositivos;
  int Aperturas = 0;
  int Abiertos = 0;  // links open now

  TBusUsbSim() { anterior_ = PonBusUsb(this); }
  ~TBusUsbSim() override { PonBusUsb(anterior_); }

  std::vector<TInfoUsb> Lista() override {
    std::vector<TInfoUsb> r;
    for (const auto& d : Dispositivos) r.push_back(d.Info);
    return r;
  }

  std::unique_ptr<TEnlaceUsb> Abre(const TInfoUsb& info, TFalloUsb& fallo, std::string& detalle) override {
    for (auto& d : Dispositivos) {
      if (d.Info.Ubicacion != info.Ubicacion) continue;
      if (d.FalloApertura != TFalloUsb::Ninguno || !d.Placa) {
        fallo = d.Placa ? d.FalloApertura : TFalloUsb::Otro;
        detalle = "LIBUSB_ERROR_ACCESS";
        return nullptr;
      }
      ++Aperturas;
      return std::make_unique<TEnlace>(*d.Placa, Abiertos);
    }
    fallo = TFalloUsb::Desaparecido;
    detalle = "not attached";
    return nullptr;
  }

private:
  class TEnlace final : public TEnlaceUsb {
  public:
    TEnlace(TPlacaUsbSim& p, int& abiertos) : p_(p), abiertos_(abiertos) { ++abiertos_; }
    ~TEnlace() override { --abiertos_; }
    int Escribe(const uint8_t* d, std::size_t n, unsigned) override { return p_.Escribe(d, n); }
    int Lee(uint8_t* d, std::size_t n, unsigned ms) override { return p_.Lee(d, n, ms); }

  private:
    TPlacaUsbSim& p_;
    int& abiertos_;
  };
  TBusUsb* anterior_ = nullptr;
};
