#include "chips/dspic30_memoria.h"

#include <map>

#include "sim_memoria.h"

namespace {

constexpr uint32_t RegFgs = 5;

TModeloDsPic30 Modelo(const char* nombre, uint16_t id, uint32_t instrucciones, uint32_t ee,
                      uint16_t fosc) {
  TModeloDsPic30 m;
  m.Nombre = nombre;
  m.Id = id;
  m.Instrucciones = instrucciones;
  m.EeBytes = ee;
  m.Implementados = {fosc, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0007, 0xC003};
  return m;
}

}  // namespace

TModeloDsPic30 Modelo30F2010() { return Modelo("30F2010", 0x0040, 4096, 1024, 0xC30F); }
TModeloDsPic30 Modelo30F4013() { return Modelo("30F4013", 0x0141, 16384, 1024, 0xC71F); }
TModeloDsPic30 Modelo30F6013() { return Modelo("30F6013", 0x0197, 45056, 2048, 0xC30F); }
TModeloDsPic30 Modelo30F6014() { return Modelo("30F6014", 0x0198, 49152, 4096, 0xC30F); }

TMemoriaDsPic30::TMemoriaDsPic30(const TModeloDsPic30& modelo)
    : Prog(modelo.Instrucciones, 0xFFFFFF), Ee(modelo.EeBytes / 2, 0xFFFF),
      Exec(InstruccionesEjecutivoDs, 0xFFFFFF), Config(modelo.Implementados), modelo_(modelo) {}

uint32_t TMemoriaDsPic30::Pegados(uint32_t d) const { return d == DirPegada ? BitsPegados : 0; }

TRegionDs TMemoriaDsPic30::Region(uint32_t d) const {
  if (d < 2 * Prog.size()) return TRegionDs::Programa;
  if (d >= InicioEe() && d < 0x800000 && modelo_.EeBytes) return TRegionDs::Datos;
  if (d >= InicioEjecutivoDs && d < InicioEjecutivoDs + 2 * Exec.size()) return TRegionDs::Ejecutivo;
  if (d >= InicioConfigDs && d < InicioConfigDs + 14) return TRegionDs::Config;
  if (d == DirDevId || d == DirDevId + 2) return TRegionDs::DevId;
  return TRegionDs::Nada;
}

uint16_t TMemoriaDsPic30::LeeBajo(uint32_t d) const {
  d &= ~1u;
  switch (Region(d)) {
    case TRegionDs::Programa:
      return CodigoProtegido() ? 0 : static_cast<uint16_t>(Prog[d / 2] & ~Pegados(d));
    case TRegionDs::Datos: return Ee[(d - InicioEe()) / 2];
    case TRegionDs::Ejecutivo: return static_cast<uint16_t>(Exec[(d - InicioEjecutivoDs) / 2]);
    case TRegionDs::Config: return Config[(d - InicioConfigDs) / 2];
    case TRegionDs::DevId: return d == DirDevId ? modelo_.Id : modelo_.Revision;
    default: return 0;
  }
}

uint8_t TMemoriaDsPic30::LeeAlto(uint32_t d) const {
  d &= ~1u;
  switch (Region(d)) {
    case TRegionDs::Programa:
      return CodigoProtegido() ? 0 : static_cast<uint8_t>((Prog[d / 2] & ~Pegados(d)) >> 16);
    case TRegionDs::Ejecutivo: return static_cast<uint8_t>(Exec[(d - InicioEjecutivoDs) / 2] >> 16);
    default: return 0;
  }
}

bool TMemoriaDsPic30::ProgramaInstruccion(uint32_t d, uint32_t valor) {
  valor &= 0xFFFFFF;
  switch (Region(d)) {
    case TRegionDs::Programa:
      if (!EscrituraProtegida()) Prog[d / 2] &= valor;
      return true;
    case TRegionDs::Ejecutivo: Exec[(d - InicioEjecutivoDs) / 2] &= valor; return true;
    default: return false;
  }
}

bool TMemoriaDsPic30::ProgramaPalabraEe(uint32_t d, uint16_t valor) {
  if (Region(d) != TRegionDs::Datos) return false;
  Ee[(d - InicioEe()) / 2] &= valor;
  return true;
}

bool TMemoriaDsPic30::EscribeConfig(uint32_t d, uint16_t valor) {
  if (Region(d) != TRegionDs::Config || (d & 1)) return false;
  const uint32_t r = (d - InicioConfigDs) / 2;
  uint16_t nuevo = valor & modelo_.Implementados[r];
  if (r == RegFgs) nuevo &= Config[r];  // protection goes away only with the bulk erase
  Config[r] = nuevo;
  return true;
}

bool TMemoriaDsPic30::CodigoProtegido() const {
  const uint16_t fgs = Config[RegFgs] | static_cast<uint16_t>(~modelo_.Implementados[RegFgs]);
  return (fgs & 0x6) != 0x6;
}

bool TMemoriaDsPic30::EscrituraProtegida() const {
  const uint16_t fgs = Config[RegFgs] | static_cast<uint16_t>(~modelo_.Implementados[RegFgs]);
  return CodigoProtegido() || !(fgs & 0x1);
}

void TMemoriaDsPic30::BorradoTotal() {
  std::fill(Prog.begin(), Prog.end(), 0xFFFFFF);
  std::fill(Ee.begin(), Ee.end(), 0xFFFF);
  for (int r = 3; r <= 5; ++r) Config[r] = modelo_.Implementados[r];
}

bool TMemoriaDsPic30::Guarda(const std::string& ruta) const {
  std::map<uint32_t, uint16_t> celdas;
  auto instr = [&](uint32_t base, const std::vector<uint32_t>& v) {
    for (uint32_t i = 0; i < v.size(); ++i) {
      if (v[i] == 0xFFFFFF) continue;
      celdas[base + 2 * i] = static_cast<uint16_t>(v[i]);
      celdas[base + 2 * i + 1] = static_cast<uint16_t>(v[i] >> 16);
    }
  };
  instr(0, Prog);
  instr(InicioEjecutivoDs, Exec);
  for (uint32_t i = 0; i < Ee.size(); ++i)
    if (Ee[i] != 0xFFFF) celdas[InicioEe() + 2 * i] = Ee[i];
  for (uint32_t r = 0; r < 7; ++r) celdas[InicioConfigDs + 2 * r] = Config[r];
  return GuardaCeldas(ruta, celdas);
}

bool TMemoriaDsPic30::Carga(const std::string& ruta) {
  std::map<uint32_t, uint16_t> celdas;
  if (!CargaCeldas(ruta, celdas)) return false;
  std::fill(Prog.begin(), Prog.end(), 0xFFFFFF);
  std::fill(Exec.begin(), Exec.end(), 0xFFFFFF);
  std::fill(Ee.begin(), Ee.end(), 0xFFFF);
  for (const auto& [d, v] : celdas) {
    const uint32_t par = d & ~1u;
    const bool alto = d & 1;
    auto pon = [&](uint32_t& cel) {
      cel = alto ? (cel & 0xFFFF) | uint32_t{v & 0xFFu} << 16 : (cel & 0xFF0000) | v;
    };
    switch (Region(par)) {
      case TRegionDs::Programa: pon(Prog[par / 2]); break;
      case TRegionDs::Ejecutivo: pon(Exec[(par - InicioEjecutivoDs) / 2]); break;
      case TRegionDs::Datos: if (!alto) Ee[(par - InicioEe()) / 2] = v; break;
      case TRegionDs::Config: if (!alto) Config[(par - InicioConfigDs) / 2] = v; break;
      default: break;
    }
  }
  return true;
}
