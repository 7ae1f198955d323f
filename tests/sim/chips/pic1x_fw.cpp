#include "pic1x_fw.h"

namespace {

void Palabra(std::vector<uint8_t>& r, uint16_t v) {
  const uint8_t lo = static_cast<uint8_t>(v), hi = static_cast<uint8_t>(v >> 8);
  r.insert(r.end(), {lo, hi, static_cast<uint8_t>(lo ^ hi)});
}

}  // namespace

TChipFwPic14::TChipFwPic14(TPic14Sim& pic) : Pic(pic), sonda_(pic) {
  prog_.N = pic.Prog.size();
  prog_.FLee = [this](uint32_t c) {
    const auto d = static_cast<uint16_t>(c);
    return Pic.CeldaProtegida(d) ? uint16_t{0} : Pic.LeeCelda(d);
  };
  prog_.FPrograma = [this](uint32_t c, uint16_t v) {
    if (Pic.CeldaProtegida(static_cast<uint16_t>(c))) return;
    Pic.Prog[c] &= v & 0x3FFF;
    for (const auto& p : Pic.Pegados)
      if (p.Direccion == c) Pic.Prog[c] = static_cast<uint16_t>((Pic.Prog[c] & ~p.Mascara) | (p.Valor & p.Mascara));
  };
  config_.N = 16;
  config_.FLee = [this](uint32_t c) { return Pic.LeeCelda(static_cast<uint16_t>(0x2000 + c)); };
  config_.FPrograma = [this](uint32_t c, uint16_t v) {
    if (c != 6) Pic.Config[c] &= v & 0x3FFF;
  };
  datos_.N = pic.Ee.size();
  datos_.Blanco = 0x00FF;
  datos_.FLee = [this](uint32_t c) { return Pic.DatosProtegidos() ? uint16_t{0} : uint16_t{Pic.Ee[c]}; };
  datos_.FPrograma = [this](uint32_t c, uint16_t v) {
    if (!Pic.DatosProtegidos()) Pic.Ee[c] = static_cast<uint8_t>(v);
  };
  Area(TAreaFw::Programa) = &prog_;
  Area(TAreaFw::Config) = &config_;
  Area(TAreaFw::Datos) = pic.Ee.empty() ? nullptr : &datos_;
  Area(TAreaFw::Id) = nullptr;
  Area(TAreaFw::Ejecutivo) = nullptr;
}

uint16_t TChipFwPic14::IdDispositivo(char letra, bool z2) { return sonda_.Lee(letra, z2); }

std::vector<uint8_t> TChipFwPic14::Borra(const TOrdenFw& o) {
  const uint8_t tipo = o.b[2], conCal = o.b[3], accion = o.b[6];
  std::vector<uint8_t> r;
  // The board reads the calibration values through the part's protection.
  const uint16_t osc = Pic.Prog.size() > 0x3FF ? (Pic.CeldaProtegida(0x3FF) ? 0 : Pic.Prog[0x3FF]) : 0x3FFF;
  const uint16_t cfg = Pic.Config[7];
  if (tipo == 1) {
    Palabra(r, osc);
    Palabra(r, cfg);
  }
  // What the part's erases reach: everything but the device ID, and the
  // calibration words only when asked.
  Pic.Prog.assign(Pic.Prog.size(), 0x3FFF);
  for (int i : {0, 1, 2, 3, 7, 8, 9}) {
    const uint16_t dir = static_cast<uint16_t>(0x2000 + i);
    const auto& d = Pic.Datos();
    const bool cal = d.CalNum && dir >= d.CalIni && dir < d.CalIni + d.CalNum;
    if (!cal || (tipo == 2 && conCal)) Pic.Config[i] = 0x3FFF;
  }
  Pic.Ee.assign(Pic.Ee.size(), 0xFF);
  if (tipo == 1 && accion == 3) {
    Pic.Prog[0x3FF] = osc;
    r.push_back(1);
    Pic.Config[7] = static_cast<uint16_t>(0x0FFF | (cfg & 0x3000));
    r.push_back(1);
  }
  r.insert(r.end(), {0, 0, tipo});
  return r;
}

TChipFwPic10F::TChipFwPic10F(TPic10FSim& pic) : Pic(pic), sonda_(pic) {
  const uint16_t usuario = pic.Datos().Usuario;
  prog_.N = usuario;
  prog_.Blanco = id_.Blanco = config_.Blanco = 0x0FFF;
  prog_.FLee = [this](uint32_t c) {
    if (Pic.CeldaProtegida(static_cast<uint16_t>(c))) return uint16_t{0};
    const uint16_t v = Pic.Mem[c];
    if (c != Pic.DirPegado) return v;
    return static_cast<uint16_t>((v & ~Pic.MascaraPegado) | (Pic.ValorPegado & Pic.MascaraPegado));
  };
  prog_.FPrograma = [this](uint32_t c, uint16_t v) {
    if (Pic.AceptaEscritura(static_cast<uint16_t>(c))) Pic.Mem[c] &= v & 0x0FFF;
  };
  id_.N = 5;  // four ID words and the backup OSCCAL
  id_.FLee = [this, usuario](uint32_t c) { return Pic.Mem[usuario + c]; };
  id_.FPrograma = [this, usuario](uint32_t c, uint16_t v) {
    const auto d = static_cast<uint16_t>(usuario + c);
    if (Pic.AceptaEscritura(d)) Pic.Mem[d] &= v & 0x0FFF;
  };
  config_.N = 1;
  config_.FLee = [this](uint32_t) { return Pic.Mem[Pic.Datos().DirConfig]; };
  config_.FPrograma = [this](uint32_t, uint16_t v) { Pic.Mem[Pic.Datos().DirConfig] &= v & 0x0FFF; };
}

TBloqueFw TChipFwPic10F::Bloque(const TOrdenFw& o) {
  const uint32_t n = uint32_t{o.Cuenta()} + 1;
  const uint8_t modo = o.Letra() == 'L' ? o.b[7] : o.b[4];
  if (o.Letra() != 'L' && o.Letra() != 'M') return {};
  TMemoriaFw* m = modo == 0 ? static_cast<TMemoriaFw*>(&prog_)
                            : modo == 1 ? static_cast<TMemoriaFw*>(&id_) : &config_;
  return TBloqueFw{m, 0, n};
}

std::vector<uint8_t> TChipFwPic10F::Borra(const TOrdenFw& o) {
  const uint8_t tipo = o.b[2], accion = o.b[6];
  std::vector<uint8_t> r;
  const uint16_t osc = Pic.Mem[Pic.DirOscCal()], bak = Pic.Mem[Pic.DirBackup()];
  Palabra(r, osc);
  Palabra(r, bak);
  Pic.Mem.assign(Pic.Mem.size(), 0x0FFF);
  if (accion == 3) {
    Pic.Mem[Pic.DirOscCal()] = osc;
    r.push_back(1);
  }
  // The backup copy goes back on every erase.
  Pic.Mem[Pic.DirBackup()] = bak;
  r.push_back(1);
  r.insert(r.end(), {0, 0, tipo});
  return r;
}
