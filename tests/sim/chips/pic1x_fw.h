// The simulated 12-bit and 14-bit parts as the chip in the simulated
// firmware programmer's socket: the board's block reads and writes run on
// the part model's own memories (stuck bits included), and the bulk erase
// "8" erases what the part's erase reaches, saving and restoring the
// calibration values the way the board's firmware does, with its replies.
// The ID commands clock the board's ID reads into the part model itself
// (firmware/sonda_id_fw.h).
#pragma once

#include <functional>

#include "firmware/chip_fw.h"
#include "firmware/sonda_id_fw.h"
#include "pic1x_10f.h"
#include "pic1x_flash14.h"

// A memory area given by functions.
class TMemoriaFuncFw final : public TMemoriaFw {
public:
  std::size_t N = 0;
  uint16_t Blanco = 0x3FFF;
  std::function<uint16_t(uint32_t)> FLee;
  std::function<void(uint32_t, uint16_t)> FPrograma;
  std::size_t Tam() const override { return N; }
  uint16_t Lee(uint32_t c) const override { return c < N ? FLee(c) : Blanco; }
  void Programa(uint32_t c, uint16_t v) override {
    if (c < N) FPrograma(c, v);
  }
  void Borra() override {}
};

class TChipFwPic14 final : public TChipMemoriasFw {
public:
  explicit TChipFwPic14(TPic14Sim& pic);
  uint16_t IdDispositivo(char letra, bool z2) override;
  std::vector<uint8_t> Borra(const TOrdenFw& orden) override;
  // How the board answers the band-gap read: the whole configuration word
  // (the host keeps bits 12-13).
  TPic14Sim& Pic;

private:
  TMemoriaFuncFw prog_, config_, datos_;
  TSondaIdFw sonda_;
};

class TChipFwPic10F final : public TChipMemoriasFw {
public:
  explicit TChipFwPic10F(TPic10FSim& pic);
  uint16_t IdDispositivo(char letra, bool z2) override { return sonda_.Lee(letra, z2); }
  TBloqueFw Bloque(const TOrdenFw& orden) override;
  std::vector<uint8_t> Borra(const TOrdenFw& orden) override;
  TPic10FSim& Pic;

private:
  TMemoriaFuncFw prog_, id_, config_;
  TSondaIdFw sonda_;
};
