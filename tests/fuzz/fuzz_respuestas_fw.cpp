// Fuzzes the engine's handling of what the firmware programmer answers, on
// the serial link (a pseudo-terminal) and on native USB (a bus of the
// fuzzer's own): the board answers every packet the host sends with the
// next piece of the fuzzer's bytes, whatever was asked. Byte 0 chooses the
// link and the operation; each piece is a length byte and that many bytes.
// Any answer must end in a result or a numbered error: never a crash, a
// hang or a read beyond a buffer.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fw/pg_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "ident/pg_id_fw.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"
#include "usb/pg_usb.h"
#include "usb/pg_usb_fw.h"

namespace {

// Virtual time: the engine's waits cost nothing, so a board that stops
// answering ends in the engine's own time-out at once.
class TRelojFuzz final : public TReloj {
public:
  uint64_t AhoraNs() override { return t_; }
  void EsperaNs(uint64_t ns) override { t_ += ns; }

private:
  uint64_t t_ = 0;
};

// The board's answers, one piece per packet received.
class TRespuestas {
public:
  void Pon(const uint8_t* d, std::size_t n) {
    std::lock_guard<std::mutex> l(m_);
    datos_.assign(d, d + n);
    pos_ = 0;
  }
  std::vector<uint8_t> Siguiente() {
    std::lock_guard<std::mutex> l(m_);
    if (pos_ >= datos_.size()) return {};
    const std::size_t n = std::min<std::size_t>(datos_[pos_], datos_.size() - pos_ - 1);
    std::vector<uint8_t> r(datos_.begin() + static_cast<std::ptrdiff_t>(pos_ + 1),
                           datos_.begin() + static_cast<std::ptrdiff_t>(pos_ + 1 + n));
    pos_ += n + 1;
    return r;
  }

private:
  std::mutex m_;
  std::vector<uint8_t> datos_;
  std::size_t pos_ = 0;
};
TRespuestas Respuestas;

// --- Serial: a pseudo-terminal whose far end answers from a thread ---------
class TPlacaSerie {
public:
  TPlacaSerie() {
    char n[128];
    if (openpty(&maestro_, &esclavo_, n, nullptr, nullptr) != 0) std::abort();
    nombre = n;
    termios t{};
    tcgetattr(esclavo_, &t);
    cfmakeraw(&t);
    tcsetattr(esclavo_, TCSANOW, &t);
    fcntl(maestro_, F_SETFL, fcntl(maestro_, F_GETFL) | O_NONBLOCK);
    hilo_ = std::thread([this] { Bucle(); });
  }
  ~TPlacaSerie() {
    fin_ = true;
    hilo_.join();
    close(maestro_);
    close(esclavo_);
  }
  std::string nombre;

private:
  void Bucle() {
    uint8_t buf[512];
    while (!fin_) {
      pollfd p{maestro_, POLLIN, 0};
      if (::poll(&p, 1, 5) <= 0) continue;
      if (::read(maestro_, buf, sizeof buf) <= 0) continue;
      const auto r = Respuestas.Siguiente();
      if (!r.empty() && ::write(maestro_, r.data(), r.size()) < 0) continue;
    }
  }
  int maestro_ = -1, esclavo_ = -1;
  std::atomic<bool> fin_{false};
  std::thread hilo_;
};

// --- USB: a bus with one board -----------------------------------------------
class TEnlaceFuzz final : public TEnlaceUsb {
public:
  int Escribe(const uint8_t*, std::size_t n, unsigned) override { return static_cast<int>(n); }
  int Lee(uint8_t* datos, std::size_t n, unsigned) override {
    const auto r = Respuestas.Siguiente();
    const std::size_t k = std::min(n, r.size());
    if (k) std::memcpy(datos, r.data(), k);
    return static_cast<int>(k);
  }
};
class TBusFuzz final : public TBusUsb {
public:
  std::vector<TInfoUsb> Lista() override { return {{VidMicrochip, 0x5201, "1-2"}}; }
  std::unique_ptr<TEnlaceUsb> Abre(const TInfoUsb&, TFalloUsb& fallo, std::string&) override {
    fallo = TFalloUsb::Ninguno;
    return std::make_unique<TEnlaceFuzz>();
  }
};

void Orden(std::initializer_list<uint8_t> bytes) {
  ResetProgramador();
  SumaXor = 0;
  std::memset(TPaquete, 0, sizeof TPaquete);
  std::copy(bytes.begin(), bytes.end(), TPaquete);
}

void Operacion(uint8_t cual) {
  static std::array<uint16_t, 0x400> celdas;
  celdas.fill(0x1234);
  ClaseDispositivo = 0;
  switch (cual % 8) {
    case 0: {
      std::array<uint8_t, 6> r{};
      IdentificaProgramadorFw(r);
      break;
    }
    case 1:
      Orden({'>', '1', 39, 0, 0, 0, 4, 0});
      LeeBloque(celdas.data(), 0, 39);
      break;
    case 2:
      Orden({'>', '3', 0x3F, 0, 0, 0, 0, 0});
      LeeBloque(celdas.data(), 0, 0x3F);
      break;
    case 3:
      Orden({'>', '6', 39, 0, 0, 0, 4, 0});
      if (EnviaPaquete(8) && EnviaPaquete(8)) ProgramaBloque(celdas.data(), 0, 39, 0x3FFF, true);
      break;
    case 4:
      ClaseDispositivo = 2;
      Orden({'>', 'B', 0xFF, 0x00, 16, 10, 0, 0});
      if (EnviaPaquete(8)) ProgramaBloque(celdas.data(), 0, 0xFF, 0x00FF, false);
      break;
    case 5:
      Orden({'>', 'E', 3, 0, 0x80, 0, 0, 0});
      LeeBloque(celdas.data(), 0, 31);
      break;
    case 6:
      Orden({'>', 'I', 0, 0, 0, 0, 0, 0});
      if (EnviaPaquete(8)) ProgramaBloque24(celdas.data(), 0, 2, 0);
      break;
    default: {
      uint16_t id = 0;
      LeeIdFirmware('?', id);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static TRelojFuzz reloj;
  PonReloj(&reloj);
  // Short real time-outs: the board has answered all it will long before.
  TiemposSerie = {5, 0, 5, 5, 20};
  static TBusFuzz bus;
  PonBusUsb(&bus);
  InstalaUsbFirmware();
  PonPinesPorDefecto(0x3F8);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, std::size_t tam) {
  if (tam == 0) return 0;
  static TPlacaSerie placa;
  Respuestas.Pon(datos + 1, tam - 1);
  Cancelado = false;
  ContextoError = {};
  USB_COM = true;
  USB_ = datos[0] & 0x80;
  VidPid = "vid_04d8&pid_5201";
  ADDR_USB_ = "Ind.#0";
  ADDR_USB_COM = placa.nombre;
  if (!AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, false)) std::abort();
  Operacion(datos[0]);
  CierraPuerto(USB_);
  return 0;
}
