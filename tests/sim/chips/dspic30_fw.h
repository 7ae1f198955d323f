// A dsPIC30F in the simulated firmware programmer's socket: the board's
// dsPIC commands run on the same memories as the ICSP model
// (dspic30_memoria.h), as the board's firmware would run the programming
// sequences on the part.
//
//   '4', '5', 'C' the board's ID reads clocked into the part's ICSP model on
//              the same memories (firmware/sonda_id_fw.h): only 'C', the
//              dsPIC's own read, gets DEVID;
//   'E'/'F'/'G' reads: program memory (a < 0x800000) or the executive area,
//              two cells an instruction; the data EEPROM at address a, a
//              word and a zero cell each; the configuration as 7 x 4 cells:
//              the register, then zero cells (the board fills the last two
//              cells of each register with 0);
//   'I'/'J'/'K' frames: a row programmed (AND) at the frame address and read
//              back; a configuration frame writes the seven registers, each
//              compared with what reads back;
//   'H'        bulk erase; variant 1 erases the executive area too; variant 0
//              then writes the seven registers with 0xFFFF and answers what
//              they read.
// A chip sitting on the other socket than the command's Z2 byte names
// answers nothing (all ones, empty reads).
#pragma once

#include <memory>

#include "chips/dspic30_memoria.h"
#include "chips/dspic30_sim.h"
#include "firmware/chip_fw.h"
#include "firmware/sonda_id_fw.h"

class TDsPic30Fw final : public TChipFw {
public:
  explicit TDsPic30Fw(const TModeloDsPic30& modelo);
  ~TDsPic30Fw() override;

  TMemoriaDsPic30 Memoria;
  bool EnZocalo2 = false;
  uint32_t FilasEscritas = 0;

  uint16_t IdDispositivo(char letra, bool z2) override;
  TBloqueFw Bloque(const TOrdenFw& orden) override;
  std::optional<TFalloEscrituraFw> EscribeFila24(uint8_t tipoArea, uint32_t direccion,
                                                 const std::vector<uint32_t>& instrucciones) override;
  std::array<uint8_t, 14> BorraDsPic(const TOrdenFw& orden) override;

private:
  class TVista;
  std::unique_ptr<TVista> programa_, ejecutivo_, datos_, config_;
  TDsPic30Sim icsp_;
  TSondaIdFw sonda_;
};
