// A simulated PIC18 in the firmware programmer's socket: the board model
// (firmware/placa_fw.h) decodes the wire, this chip maps the PIC18
// commands onto the part's memories (pic18_memoria.h), the same memories
// an ICSP model can hold.
//
// What the programmer's firmware does with a command (outside the host's
// concern, modelled here the plain way):
//   '3' read words from the 24-bit address (program, ID or configuration);
//   '2' read data EEPROM bytes from 0;
//   '4', '5', 'C' the board's ID reads clocked into the part's ICSP model
//       on the same memories (firmware/sonda_id_fw.h): only '5' names it;
//   '7' program by area kind (byte 5): 0 program and 1 ID as whole 4-word
//       panels (count + 1 of them), 2 data EEPROM bytes (count + 1),
//       3 the configuration words (count of them); each word is read back;
//   '8' bulk erase: type 127 runs the older parts' chip erase (0x80 at
//       0x3C0004), 126 the newer parts' (0x0F0F / 0x8787); the reply is
//       3 bytes, the last the type carried out (0 for a type it does not
//       know, which erases nothing).
#pragma once

#include <vector>

#include "chips/pic18_memoria.h"
#include "chips/pic18_sim.h"
#include "firmware/chip_fw.h"
#include "firmware/sonda_id_fw.h"

class TPic18Fw final : public TChipFw {
public:
  explicit TPic18Fw(TMemoriaPic18& memoria);

  uint16_t IdDispositivo(char letra, bool z2) override;
  TBloqueFw Bloque(const TOrdenFw& orden) override;
  std::vector<uint8_t> Borra(const TOrdenFw& orden) override;

  TMemoriaPic18& Memoria;
  std::vector<TOrdenFw> Ordenes;  // every read, write and erase command, in order

private:
  class TArea final : public TMemoriaFw {
  public:
    enum class TTipo { Prog, Id, Config, Ee };
    TArea(TMemoriaPic18& m, TTipo tipo) : m_(m), tipo_(tipo) {}
    std::size_t Tam() const override;
    uint16_t Lee(uint32_t celda) const override;
    void Programa(uint32_t celda, uint16_t valor) override;
    void Borra() override {}

  private:
    uint32_t Base() const;
    TMemoriaPic18& m_;
    TTipo tipo_;
  };
  TArea prog_, id_, config_, ee_;
  TPic18Sim icsp_;
  TSondaIdFw sonda_;
};
