#include "pic1x_10f.h"

TPic10FSim::TPic10FSim(TDatos10F datos) : d_(std::move(datos)) { PonFabrica(); }

void TPic10FSim::PonFabrica() {
  Mem.assign(d_.DirConfig + 1u, 0x0FFF);
  Mem[DirOscCal()] = OscCalFabrica;
  Mem[DirBackup()] = OscCalFabrica;
}

void TPic10FSim::Reinicia() {
  pc_ = d_.DirConfig;
  latch_ = 0x0FFF;
}

TFaseSim TPic10FSim::Comando(uint8_t comando, uint64_t t) {
  switch (comando & 0x0F) {  // the two upper command bits are don't-care
    case 2: return TFaseSim::Carga;
    case 4: return TFaseSim::Lectura;
    case 6:
      pc_ = static_cast<uint16_t>((pc_ + 1u) % (d_.DirConfig + 1u));
      return TFaseSim::SinDatos;
    case 8: {
      const uint16_t dir = pc_, valor = latch_;
      IniciaExterna(t, d_.TProgNs, "programming", [this, dir, valor] {
        if (!AceptaEscritura(dir)) return;
        Mem[dir] &= valor;
      });
      return TFaseSim::SinDatos;
    }
    case 14:
      TerminaExterna(t);
      return TFaseSim::SinDatos;
    case 9: {
      // With the counter at the configuration word (or in user memory) the
      // erase reaches user memory, OSCCAL included, and the configuration
      // word; in the ID region it also reaches the IDs and the backup OSCCAL.
      const bool todo = pc_ >= d_.Usuario && pc_ != d_.DirConfig;
      Temporizada(t, d_.TBorradoNs, "bulk erase", [this, todo] {
        for (uint16_t a = 0; a < d_.Usuario; ++a) Mem[a] = 0x0FFF;
        Mem[d_.DirConfig] = 0x0FFF;
        if (todo)
          for (uint16_t a = d_.Usuario; a < d_.DirConfig; ++a) Mem[a] = 0x0FFF;
      });
      return TFaseSim::SinDatos;
    }
    default:
      return TFaseSim::Desconocido;
  }
}

void TPic10FSim::Carga(uint8_t, uint16_t dato) { latch_ = dato & 0x0FFF; }

uint16_t TPic10FSim::Lectura(uint8_t) {
  if (CeldaProtegida(pc_)) return 0;
  uint16_t v = Mem[pc_];
  if (pc_ == DirPegado) v = static_cast<uint16_t>((v & ~MascaraPegado) | (ValorPegado & MascaraPegado));
  return v & 0x0FFF;
}
