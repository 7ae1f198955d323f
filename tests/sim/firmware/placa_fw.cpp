#include "firmware/placa_fw.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

// Frame length and geometry of a dsPIC area kind.
struct TTrama {
  uint32_t Largo, Instrucciones, Direccion;
};
TTrama Trama(uint8_t tipo) {
  switch (tipo) {
    case 1: return {57, 16, 54};
    case 4: return {33, 7, 30};
    default: return {105, 32, 102};
  }
}

bool EsLectura(char l) {
  return l == '1' || l == '2' || l == '3' || l == 'A' || l == 'E' || l == 'F' || l == 'G' || l == 'L';
}
bool EsEscritura(char l) { return l == '6' || l == '7' || l == 'B' || l == 'M'; }
bool EsEscritura24(char l) { return l == 'I' || l == 'J' || l == 'K'; }

// The boards alive, for the host's clock.
std::mutex mPlacas;
std::vector<TPlacaFw*> placas;

}  // namespace

void TPlacaFw::TodasQuietas() {
  std::lock_guard<std::mutex> l(mPlacas);
  for (TPlacaFw* p : placas) p->EsperaQuieta();
}

void TPlacaFw::EsperaQuieta() {
  std::unique_lock<std::mutex> l(m_);
  for (;;) {
    if (maestro_ < 0) return;
    pollfd p{maestro_, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return;
    cambio_.wait(l);
  }
}

TPlacaFw::TPlacaFw(TChipFw& chip) : chip_(chip) {
  char n[128];
  if (openpty(&maestro_, &esclavo_, n, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
  nombre_ = n;
  int uno = 1;
  ioctl(maestro_, TIOCPKT, &uno);
  fcntl(maestro_, F_SETFL, fcntl(maestro_, F_GETFL) | O_NONBLOCK);
  // The board keeps its own slave descriptor so that the line survives
  // the host closing and reopening it.
  termios t{};
  tcgetattr(esclavo_, &t);
  cfmakeraw(&t);
  tcsetattr(esclavo_, TCSANOW, &t);
  fin_ = eventfd(0, EFD_CLOEXEC);
  hilo_ = std::thread([this] { Bucle(); });
  std::lock_guard<std::mutex> l(mPlacas);
  placas.push_back(this);
}

TPlacaFw::~TPlacaFw() {
  {
    std::lock_guard<std::mutex> l(mPlacas);
    std::erase(placas, this);
  }
  const uint64_t uno = 1;
  if (::write(fin_, &uno, sizeof uno) < 0) {
  }
  hilo_.join();
  CierraLinea();
  ::close(fin_);
}

void TPlacaFw::CierraLinea() {
  if (maestro_ >= 0) ::close(maestro_);
  if (esclavo_ >= 0) ::close(esclavo_);
  maestro_ = esclavo_ = -1;
}

void TPlacaFw::Desconecta() {
  std::lock_guard<std::mutex> l(m_);
  CierraLinea();
}

void TPlacaFw::Inyecta(const TInyeccionFw& fallo) {
  std::lock_guard<std::mutex> l(m_);
  fallo_ = fallo;
}

void TPlacaFw::ProgresoCada(uint32_t grupos) {
  std::lock_guard<std::mutex> l(m_);
  progresoCada_ = grupos;
}

std::vector<uint8_t> TPlacaFw::Recibido() {
  std::lock_guard<std::mutex> l(m_);
  return recibido_;
}
std::vector<uint8_t> TPlacaFw::Enviado() {
  std::lock_guard<std::mutex> l(m_);
  return enviado_;
}
void TPlacaFw::LimpiaRegistro() {
  std::lock_guard<std::mutex> l(m_);
  recibido_.clear();
  enviado_.clear();
  errores_.clear();
  reinicios_ = 0;
  grupos_ = 0;
}
uint32_t TPlacaFw::Reinicios() {
  std::lock_guard<std::mutex> l(m_);
  return reinicios_;
}
std::vector<std::string> TPlacaFw::Errores() {
  std::lock_guard<std::mutex> l(m_);
  return errores_;
}
void TPlacaFw::EsperaRecibidos(std::size_t n) {
  std::unique_lock<std::mutex> l(m_);
  cambio_.wait(l, [&] { return recibido_.size() >= n; });
}
void TPlacaFw::EsperaReinicios(uint32_t n) {
  std::unique_lock<std::mutex> l(m_);
  cambio_.wait(l, [&] { return reinicios_ >= n; });
}
uint32_t TPlacaFw::GruposRecibidos() {
  std::lock_guard<std::mutex> l(m_);
  return grupos_;
}
bool TPlacaFw::Alimentado() {
  std::lock_guard<std::mutex> l(m_);
  const bool bloqueAbierto = estado_ == TEstado::Segundo || estado_ == TEstado::Datos ||
                             estado_ == TEstado::Direccion || estado_ == TEstado::Trama;
  // A closing reply still to go out: the block is not over yet.
  return bloqueAbierto || tardia_.has_value();
}

void TPlacaFw::Bucle() {
  std::vector<uint8_t> buf(4096);
  for (;;) {
    int maestro;
    int espera = -1;
    {
      std::lock_guard<std::mutex> l(m_);
      maestro = maestro_;
      if (tardia_) {
        const auto ahora = std::chrono::steady_clock::now();
        if (ahora >= tardia_->Cuando) {
          Envia(tardia_->Bytes);
          tardia_.reset();
          cambio_.notify_all();
          continue;
        }
        espera = static_cast<int>(
            std::chrono::ceil<std::chrono::milliseconds>(tardia_->Cuando - ahora).count());
      }
    }
    pollfd p[2] = {{fin_, POLLIN, 0}, {maestro, POLLIN, 0}};
    const int e = ::poll(p, maestro >= 0 ? 2 : 1, espera);
    if (e < 0 && errno == EINTR) continue;
    if (e < 0 || p[0].revents) return;
    if (e == 0) continue;  // a late reply is due
    if (!(p[1].revents & POLLIN)) {
      if (p[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        // The host has closed its side; wait for it to come back.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      continue;
    }
    std::lock_guard<std::mutex> l(m_);
    if (maestro_ < 0) continue;
    const ssize_t r = ::read(maestro_, buf.data(), buf.size());
    if (r <= 0) {
      if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    if (buf[0] != TIOCPKT_DATA) {
      if (buf[0] & (TIOCPKT_FLUSHREAD | TIOCPKT_FLUSHWRITE)) Reinicia();
      cambio_.notify_all();
      continue;
    }
    for (ssize_t i = 1; i < r && maestro_ >= 0; ++i) Byte(buf[static_cast<std::size_t>(i)]);
    cambio_.notify_all();
  }
}

void TPlacaFw::Reinicia() {
  ++reinicios_;
  tardia_.reset();
  estado_ = TEstado::Orden;
  pend_.clear();
  falta_ = 8;
  lecturaI2C_ = false;
}

void TPlacaFw::Envia(const std::vector<uint8_t>& bytes) {
  if (fallo_.Tipo == TFalloPlacaFw::Silencio || maestro_ < 0) return;
  enviado_.insert(enviado_.end(), bytes.begin(), bytes.end());
  std::size_t hecho = 0;
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (hecho < bytes.size() && std::chrono::steady_clock::now() < limite) {
    const ssize_t w = ::write(maestro_, bytes.data() + hecho, bytes.size() - hecho);
    if (w > 0) {
      hecho += static_cast<std::size_t>(w);
      continue;
    }
    if (w < 0 && errno != EAGAIN && errno != EINTR) return;
    pollfd p[2] = {{maestro_, POLLOUT, 0}, {fin_, POLLIN, 0}};
    if (::poll(p, 2, 100) > 0 && p[1].revents) return;
  }
}

void TPlacaFw::Byte(uint8_t b) {
  recibido_.push_back(b);
  if (estado_ != TEstado::Orden && estado_ != TEstado::Ignora) {
    ++bytesBloque_;
    if (fallo_.Tipo == TFalloPlacaFw::Desconecta && bytesBloque_ > fallo_.TrasBytes) {
      CierraLinea();
      return;
    }
  }
  if (estado_ == TEstado::Ignora) return;
  pend_.push_back(b);
  if (pend_.size() < falta_) return;
  switch (estado_) {
    case TEstado::Orden: Orden(); break;
    case TEstado::Segundo:
      // Blank low, blank high, count low: nothing the board needs to keep.
      estado_ = TEstado::Datos;
      break;
    case TEstado::Datos:
      std::copy(pend_.begin(), pend_.begin() + 8, datos_);
      for (uint8_t d : pend_) suma_ ^= d;
      estado_ = TEstado::Direccion;
      break;
    case TEstado::Direccion: Grupo(); break;
    case TEstado::Trama: Trama(); break;
    case TEstado::Ignora: break;
  }
  pend_.clear();
  if (estado_ == TEstado::Trama)
    falta_ = ::Trama(orden_.b[6]).Largo;
  else
    falta_ = 8;
}

bool TPlacaFw::FalloEn(uint32_t grupo) {
  return fallo_.Tipo == TFalloPlacaFw::Codigo && grupo == fallo_.EnGrupo;
}

void TPlacaFw::Progreso() {
  ++enBloque_;
  if (progresoCada_ && enBloque_ % progresoCada_ == 0) Envia({CodigoProgreso});
}

void TPlacaFw::Orden() {
  std::copy(pend_.begin(), pend_.begin() + 8, orden_.b.begin());
  if (orden_.b[0] != '>') {
    errores_.push_back("command without '>': byte 0 = " + std::to_string(orden_.b[0]));
    estado_ = TEstado::Ignora;
    return;
  }
  const char l = orden_.Letra();
  suma_ = 0;
  enBloque_ = 0;
  bytesBloque_ = 0;
  const bool bloqueI2C = lecturaI2C_ && l == 'A';
  lecturaI2C_ = false;
  if (bloqueI2C) {
    if (orden_.b != sondeoI2C_.b) errores_.push_back("'A' block read differs from the acknowledged 'A'");
    EnviaBloque();
  } else if (l == 'A') {
    // The acknowledge probe: the block waits for the host's second 'A'.
    lecturaI2C_ = chip_.Reconoce();
    sondeoI2C_ = orden_;
    Envia({static_cast<uint8_t>(lecturaI2C_ ? 1 : 0)});
  } else if (auto r = RespuestaInmediataFw(chip_, orden_, Version)) {
    Envia(*r);
  } else if (EsLectura(l)) {
    EnviaBloque();
  } else if (EsEscritura(l)) {
    estado_ = l == '6' ? TEstado::Segundo : TEstado::Datos;
  } else if (EsEscritura24(l)) {
    estado_ = TEstado::Trama;
  } else if (l == 'Z') {
    // Stops the pin test; nothing to answer.
  } else {
    errores_.push_back(std::string("unknown command letter '") + l + "'");
  }
}

// A block read: two bytes a word, low first, then their XOR.
void TPlacaFw::EnviaBloque() {
  const TBloqueFw bloque = chip_.Bloque(orden_);
  std::vector<uint8_t> r;
  r.reserve(bloque.Palabras * 2 + 1);
  uint8_t suma = 0;
  for (uint32_t i = 0; i < bloque.Palabras; ++i) {
    const uint16_t v = bloque.Memoria ? bloque.Memoria->Lee(bloque.Celda + i) : 0xFFFF;
    r.push_back(static_cast<uint8_t>(v));
    r.push_back(static_cast<uint8_t>(v >> 8));
    suma ^= static_cast<uint8_t>(v) ^ static_cast<uint8_t>(v >> 8);
  }
  if (fallo_.Tipo == TFalloPlacaFw::ChecksumLectura) suma ^= 0x5A;
  r.push_back(suma);
  Envia(r);
}

void TPlacaFw::FinBloque() {
  estado_ = TEstado::Orden;
  if (fallo_.Tipo == TFalloPlacaFw::Tarde) {
    tardia_ = TTardia{std::chrono::steady_clock::now() + std::chrono::milliseconds(fallo_.RetrasoMs), {CodigoFinal}};
    return;
  }
  Envia({CodigoFinal});
}

void TPlacaFw::Grupo() {
  const uint8_t* a = pend_.data();
  suma_ ^= a[0] ^ a[1] ^ a[2] ^ a[3];
  if (suma_ != a[7]) {
    errores_.push_back("block write: running XOR " + std::to_string(suma_) + ", packet says " +
                       std::to_string(a[7]));
    Envia({255, 0});
    estado_ = TEstado::Ignora;
    return;
  }
  if (a[3] == 1) {
    FinBloque();
    return;
  }
  if (a[3] != 0) errores_.push_back("address packet with byte 3 = " + std::to_string(a[3]));
  const uint32_t grupo = a[0] | uint32_t{a[1]} << 8;
  ++grupos_;
  estado_ = TEstado::Datos;
  if (FalloEn(enBloque_)) {
    if (fallo_.Codigo == 1)
      Envia({1, a[0], a[1], 0, datos_[0], datos_[1], static_cast<uint8_t>(~datos_[0]),
             static_cast<uint8_t>(~datos_[1])});
    else if (fallo_.Codigo == 200)
      Envia({200, a[0], a[1], 0});
    else
      Envia({fallo_.Codigo, 0});
    estado_ = TEstado::Ignora;
    return;
  }
  const TBloqueFw bloque = chip_.Bloque(orden_);
  const bool i2c = orden_.Letra() == 'B';
  for (uint32_t k = 0; k < 4; ++k) {
    const uint32_t i = grupo * 4 + k;
    if (i >= bloque.Palabras) break;
    const uint16_t v = static_cast<uint16_t>(datos_[2 * k] | datos_[2 * k + 1] << 8);
    if (auto f = chip_.Escribe(orden_, i, v)) {
      if (f->SinReconocer) {
        Envia({200, static_cast<uint8_t>(f->Indice), static_cast<uint8_t>(f->Indice >> 8),
               static_cast<uint8_t>(f->Indice >> 16)});
      } else {
        // I2C: the address of the byte that differs; the other areas: the
        // group number and the word in it.
        const uint32_t dir = i2c ? f->Indice : f->Indice / 4;
        Envia({1, static_cast<uint8_t>(dir), static_cast<uint8_t>(dir >> 8),
               static_cast<uint8_t>(i2c ? 0 : f->Indice % 4), static_cast<uint8_t>(f->Esperado),
               static_cast<uint8_t>(f->Esperado >> 8), static_cast<uint8_t>(f->Leido),
               static_cast<uint8_t>(f->Leido >> 8)});
      }
      estado_ = TEstado::Ignora;
      return;
    }
  }
  Progreso();
}

void TPlacaFw::Trama() {
  const TTrama t = ::Trama(orden_.b[6]);
  const uint8_t* f = pend_.data();
  uint8_t x = 0;
  for (uint32_t i = 3; i < t.Largo; ++i) x ^= f[i];
  if (x != f[1]) {
    errores_.push_back("dsPIC frame: XOR " + std::to_string(x) + ", frame says " + std::to_string(f[1]));
    Envia({255, 0});
    estado_ = TEstado::Ignora;
    return;
  }
  if (f[0] == 1) {
    FinBloque();
    return;
  }
  ++grupos_;
  estado_ = TEstado::Trama;
  if (FalloEn(enBloque_)) {
    if (fallo_.Codigo == 1)
      Envia({1, f[t.Direccion], f[t.Direccion + 1], f[t.Direccion + 2], 0, f[6], f[7], f[8], 0, 0, 0});
    else if (fallo_.Codigo == 200)
      Envia({200, f[t.Direccion], f[t.Direccion + 1], 0});
    else
      Envia({fallo_.Codigo, 0});
    estado_ = TEstado::Ignora;
    return;
  }
  std::vector<uint32_t> ins(t.Instrucciones);
  for (uint32_t i = 0; i < t.Instrucciones; ++i)
    ins[i] = f[6 + 3 * i] | uint32_t{f[7 + 3 * i]} << 8 | uint32_t{f[8 + 3 * i]} << 16;
  const uint32_t dir = f[t.Direccion] | uint32_t{f[t.Direccion + 1]} << 8 | uint32_t{f[t.Direccion + 2]} << 16;
  if (auto e = chip_.EscribeFila24(orden_.b[6], dir, ins)) {
    Envia({1, f[t.Direccion], f[t.Direccion + 1], f[t.Direccion + 2], static_cast<uint8_t>(e->Indice),
           static_cast<uint8_t>(e->Esperado), static_cast<uint8_t>(e->Esperado >> 8),
           static_cast<uint8_t>(e->Esperado >> 16), static_cast<uint8_t>(e->Leido),
           static_cast<uint8_t>(e->Leido >> 8), static_cast<uint8_t>(e->Leido >> 16)});
    estado_ = TEstado::Ignora;
    return;
  }
  Progreso();
}
