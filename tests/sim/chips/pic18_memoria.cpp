#include "chips/pic18_memoria.h"

#include <algorithm>
#include <map>

#include "sim_memoria.h"

namespace {

constexpr uint32_t InicioId = 0x200000;
constexpr uint32_t InicioConfig = 0x300000;
constexpr uint32_t DevId1 = 0x3FFFFE;
constexpr uint32_t DevId2 = 0x3FFFFF;
// Saved files keep the data EEPROM above everything the table pointer reaches.
constexpr uint32_t BaseEeArchivo = 0xF00000;
// CONFIG5L / CONFIG5H and their protection bits.
constexpr std::size_t Config5L = 8;
constexpr std::size_t Config5H = 9;
constexpr uint8_t BitCpb = 0x40;
constexpr uint8_t BitCpd = 0x80;

}  // namespace

TModeloPic18 Modelo18F452() {
  TModeloPic18 m;
  m.Nombre = "18F452";
  m.IdDispositivo = 0x0424;  // DEV 0x021, revision 4
  m.BytesProg = 0x8000;
  m.BytesEe = 256;
  m.BufferEscritura = 8;
  m.BytesBoot = 0x200;
  m.BytesBloque = 0x2000;
  m.Nuevo = false;
  m.MascaraConfig = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  m.P10Ns = 5'000;  // DS39576
  m.P11Ns = 10'000'000;
  return m;
}

TModeloPic18 Modelo18F4550() {
  TModeloPic18 m;
  m.Nombre = "18F4550";
  m.IdDispositivo = 0x1207;  // DEV 0x090, revision 7
  m.BytesProg = 0x8000;
  m.BytesEe = 256;
  m.BufferEscritura = 32;
  m.BytesBoot = 0x800;
  m.BytesBloque = 0x2000;
  m.Nuevo = true;
  // CONFIG3L and CONFIG4H do not exist on these parts.
  m.MascaraConfig = {0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xE5, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  m.P10Ns = 100'000;  // DS39622
  m.P11Ns = 5'000'000;
  return m;
}

TModeloPic18 Modelo18F4620() {
  TModeloPic18 m = Modelo18F4550();
  m.Nombre = "18F4620";
  m.IdDispositivo = 0x0C07;  // DEV 0x060, revision 7
  m.BytesProg = 0x10000;
  m.BytesEe = 1024;
  m.BufferEscritura = 64;
  m.BytesBloque = 0x4000;
  m.MascaraConfig = {0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
  return m;
}

TMemoriaPic18::TMemoriaPic18(const TModeloPic18& modelo)
    : Prog(modelo.BytesProg, 0xFF), Ee(modelo.BytesEe, 0xFF), modelo_(modelo) {
  Id.fill(0xFF);
  BorraConfig();
}

uint8_t TMemoriaPic18::LeeTabla(uint32_t d) const {
  d &= 0x3FFFFF;
  if (d < Prog.size()) return Protegido(d) ? 0 : Prog[d];
  if (d >= InicioId && d < InicioId + Id.size()) return Id[d - InicioId];
  if (d >= InicioConfig && d < InicioConfig + Config.size()) return Config[d - InicioConfig];
  if (d == DevId1) return static_cast<uint8_t>(modelo_.IdDispositivo);
  if (d == DevId2) return static_cast<uint8_t>(modelo_.IdDispositivo >> 8);
  return 0;
}

bool TMemoriaPic18::ProgramaFlash(uint32_t d, uint8_t valor) {
  if (d < Prog.size()) {
    if (!Protegido(d)) Prog[d] &= valor;
    return true;
  }
  if (d >= InicioId && d < InicioId + Id.size()) {
    Id[d - InicioId] &= valor;
    return true;
  }
  return false;
}

bool TMemoriaPic18::EscribeConfig(uint32_t d, uint8_t valor) {
  if (d < InicioConfig || d >= InicioConfig + Config.size()) return false;
  const uint32_t i = d - InicioConfig;
  uint8_t nuevo = valor & modelo_.MascaraConfig[i];
  // Protection bits only go 1 -> 0 by writing.
  if (i == Config5L) nuevo &= Config[i] | 0xF0;
  if (i == Config5H) nuevo &= Config[i] | static_cast<uint8_t>(~(BitCpb | BitCpd));
  Config[i] = nuevo;
  return true;
}

bool TMemoriaPic18::Protegido(uint32_t d) const {
  if (d >= Prog.size()) return false;
  if (d < modelo_.BytesBoot) return (modelo_.MascaraConfig[Config5H] & BitCpb) && !(Config[Config5H] & BitCpb);
  const uint32_t bloque = d / modelo_.BytesBloque;
  if (bloque > 3) return false;
  const auto bit = static_cast<uint8_t>(1u << bloque);
  return (modelo_.MascaraConfig[Config5L] & bit) && !(Config[Config5L] & bit);
}

bool TMemoriaPic18::EeProtegida() const {
  return (modelo_.MascaraConfig[Config5H] & BitCpd) && !(Config[Config5H] & BitCpd);
}

uint8_t TMemoriaPic18::LeeEe(uint32_t d) const {
  return d < Ee.size() && !EeProtegida() ? Ee[d] : 0;
}

void TMemoriaPic18::EscribeEe(uint32_t d, uint8_t valor) {
  if (d < Ee.size() && !EeProtegida()) Ee[d] = valor;
}

void TMemoriaPic18::BorraBloque(uint32_t desde, uint32_t hasta) {
  hasta = std::min<uint32_t>(hasta, static_cast<uint32_t>(Prog.size()));
  for (uint32_t d = desde; d < hasta; ++d) Prog[d] = 0xFF;
}

void TMemoriaPic18::BorraConfig() {
  for (std::size_t i = 0; i < Config.size(); ++i) Config[i] = modelo_.MascaraConfig[i];
}

bool TMemoriaPic18::Borra(uint16_t codigo) {
  const uint32_t bloque = modelo_.BytesBloque;
  const auto borraBloque = [&](uint32_t n) {
    BorraBloque(std::max(modelo_.BytesBoot, n * bloque), (n + 1) * bloque);
  };
  if (!modelo_.Nuevo) {
    switch (codigo & 0xFF) {
      case 0x80:
        BorraBloque(0, static_cast<uint32_t>(Prog.size()));
        Id.fill(0xFF);
        BorraConfig();
        std::fill(Ee.begin(), Ee.end(), 0xFF);
        return true;
      case 0x81:
        std::fill(Ee.begin(), Ee.end(), 0xFF);
        return true;
      case 0x83:
        BorraBloque(0, modelo_.BytesBoot);
        return true;
      default:
        if ((codigo & 0xFF) >= 0x88 && (codigo & 0xFF) <= 0x8F) {
          borraBloque((codigo & 0xFF) - 0x88u);
          return true;
        }
        return false;
    }
  }
  if (!(codigo & 0x80)) return false;
  for (uint32_t n = 0; n < 6; ++n)
    if (codigo & (0x100u << n)) borraBloque(n);
  if (codigo & 0x01) {
    BorraBloque(0, modelo_.BytesBoot);
    Id.fill(0xFF);
  }
  if (codigo & 0x02) BorraConfig();
  if (codigo & 0x04) std::fill(Ee.begin(), Ee.end(), 0xFF);
  return true;
}

uint16_t TMemoriaPic18::PalabraProg(uint32_t i) const {
  return static_cast<uint16_t>(LeeTabla(2 * i) | LeeTabla(2 * i + 1) << 8);
}

void TMemoriaPic18::PonPalabraProg(uint32_t i, uint16_t valor) {
  if (2 * i + 1 >= Prog.size()) return;
  Prog[2 * i] = static_cast<uint8_t>(valor);
  Prog[2 * i + 1] = static_cast<uint8_t>(valor >> 8);
}

uint16_t TMemoriaPic18::PalabraConfig(uint32_t i) const {
  return static_cast<uint16_t>(LeeTabla(InicioConfig + 2 * i) | LeeTabla(InicioConfig + 2 * i + 1) << 8);
}

uint16_t TMemoriaPic18::PalabraId(uint32_t i) const {
  return static_cast<uint16_t>(LeeTabla(InicioId + 2 * i) | LeeTabla(InicioId + 2 * i + 1) << 8);
}

bool TMemoriaPic18::Guarda(const std::string& ruta) const {
  std::map<uint32_t, uint16_t> celdas;
  for (uint32_t d = 0; d < Prog.size(); ++d)
    if (Prog[d] != 0xFF) celdas[d] = Prog[d];
  for (uint32_t i = 0; i < Id.size(); ++i) celdas[InicioId + i] = Id[i];
  for (uint32_t i = 0; i < Config.size(); ++i) celdas[InicioConfig + i] = Config[i];
  for (uint32_t i = 0; i < Ee.size(); ++i) celdas[BaseEeArchivo + i] = Ee[i];
  return GuardaCeldas(ruta, celdas);
}

bool TMemoriaPic18::Carga(const std::string& ruta) {
  std::map<uint32_t, uint16_t> celdas;
  if (!CargaCeldas(ruta, celdas)) return false;
  std::fill(Prog.begin(), Prog.end(), 0xFF);
  for (const auto& [d, v] : celdas) {
    const auto b = static_cast<uint8_t>(v);
    if (d < Prog.size()) Prog[d] = b;
    else if (d >= InicioId && d < InicioId + Id.size()) Id[d - InicioId] = b;
    else if (d >= InicioConfig && d < InicioConfig + Config.size()) Config[d - InicioConfig] = b;
    else if (d >= BaseEeArchivo && d < BaseEeArchivo + Ee.size()) Ee[d - BaseEeArchivo] = b;
  }
  return true;
}
