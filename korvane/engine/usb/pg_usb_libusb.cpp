// The machine's USB bus through libusb-1.0.
#include "usb/pg_usb.h"

#include <algorithm>
#include <cstring>

#include <libusb.h>

namespace {

// Full-speed bulk packets are 64 bytes: a read asks for whole packets, so a
// board that sends more than the caller wants is no overflow error.
constexpr std::size_t PaqueteBulk = 64;

// Why libusb did not start (0 once it did).
int errorInicio = 0;

libusb_context* Contexto() {
  static libusb_context* ctx = [] {
    libusb_context* c = nullptr;
    errorInicio = libusb_init(&c);
    return errorInicio == 0 ? c : nullptr;
  }();
  return ctx;
}

std::string Ubicacion(libusb_device* d) {
  std::string u = std::to_string(libusb_get_bus_number(d));
  uint8_t puertos[8];
  const int n = libusb_get_port_numbers(d, puertos, sizeof puertos);
  for (int i = 0; i < n; ++i) u += (i == 0 ? "-" : ".") + std::to_string(puertos[i]);
  return u;
}

TFalloUsb Fallo(int e) {
  switch (e) {
    case LIBUSB_ERROR_ACCESS: return TFalloUsb::Permiso;
    case LIBUSB_ERROR_BUSY: return TFalloUsb::Ocupado;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return TFalloUsb::Desaparecido;
    default: return TFalloUsb::Otro;
  }
}

class TEnlaceLibusb final : public TEnlaceUsb {
public:
  explicit TEnlaceLibusb(libusb_device_handle* h) : h_(h) {}
  ~TEnlaceLibusb() override {
    libusb_release_interface(h_, 0);
    libusb_close(h_);
  }
  int Escribe(const uint8_t* datos, std::size_t n, unsigned esperaMs) override {
    int hecho = 0;
    const int e = libusb_bulk_transfer(h_, EndpointSalidaUsb, const_cast<uint8_t*>(datos),
                                       static_cast<int>(n), &hecho, esperaMs);
    if (e != 0 && e != LIBUSB_ERROR_TIMEOUT) return -1;
    return hecho;
  }
  int Lee(uint8_t* datos, std::size_t n, unsigned esperaMs) override {
    uint8_t buf[512];
    const std::size_t pedido = std::min(sizeof buf, (n + PaqueteBulk - 1) / PaqueteBulk * PaqueteBulk);
    int hecho = 0;
    const int e = libusb_bulk_transfer(h_, EndpointEntradaUsb, buf, static_cast<int>(pedido), &hecho, esperaMs);
    if (e != 0 && e != LIBUSB_ERROR_TIMEOUT) return -1;
    const std::size_t copiado = std::min(n, static_cast<std::size_t>(hecho));
    std::memcpy(datos, buf, copiado);
    return static_cast<int>(copiado);
  }

private:
  libusb_device_handle* h_;
};

class TBusLibusb final : public TBusUsb {
public:
  std::vector<TInfoUsb> Lista() override {
    std::vector<TInfoUsb> r;
    libusb_device** lista = nullptr;
    if (!Contexto()) return r;
    const ssize_t n = libusb_get_device_list(Contexto(), &lista);
    for (ssize_t i = 0; i < n; ++i) {
      libusb_device_descriptor d{};
      if (libusb_get_device_descriptor(lista[i], &d) != 0) continue;
      r.push_back({d.idVendor, d.idProduct, Ubicacion(lista[i])});
    }
    if (n >= 0) libusb_free_device_list(lista, 1);
    return r;
  }

  std::unique_ptr<TEnlaceUsb> Abre(const TInfoUsb& info, TFalloUsb& fallo, std::string& detalle) override {
    // The reasons are libusb's own texts.
    fallo = TFalloUsb::Desaparecido;
    detalle = libusb_strerror(LIBUSB_ERROR_NO_DEVICE);
    libusb_device** lista = nullptr;
    if (!Contexto()) {
      fallo = TFalloUsb::Otro;
      detalle = libusb_strerror(static_cast<libusb_error>(errorInicio));
      return nullptr;
    }
    const ssize_t n = libusb_get_device_list(Contexto(), &lista);
    std::unique_ptr<TEnlaceUsb> enlace;
    for (ssize_t i = 0; i < n && !enlace; ++i) {
      libusb_device_descriptor d{};
      if (libusb_get_device_descriptor(lista[i], &d) != 0 || d.idVendor != info.Vid ||
          d.idProduct != info.Pid || Ubicacion(lista[i]) != info.Ubicacion)
        continue;
      libusb_device_handle* h = nullptr;
      int e = libusb_open(lista[i], &h);
      if (e == 0) {
        libusb_set_auto_detach_kernel_driver(h, 1);
        e = libusb_claim_interface(h, 0);
        if (e != 0) libusb_close(h);
      }
      if (e != 0) {
        fallo = Fallo(e);
        detalle = libusb_strerror(static_cast<libusb_error>(e));
        break;
      }
      fallo = TFalloUsb::Ninguno;
      detalle.clear();
      enlace = std::make_unique<TEnlaceLibusb>(h);
    }
    if (n >= 0) libusb_free_device_list(lista, 1);
    return enlace;
  }
};

TBusUsb* busInstalado = nullptr;

}  // namespace

TBusUsb& BusUsb() {
  static TBusLibusb maquina;
  return busInstalado ? *busInstalado : maquina;
}

TBusUsb* PonBusUsb(TBusUsb* bus) {
  TBusUsb* anterior = busInstalado;
  busInstalado = bus;
  return anterior;
}
