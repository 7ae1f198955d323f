#include "firmware/sonda_id_fw.h"

namespace {

constexpr uint64_t MedioBitNs = 500;
constexpr uint64_t EntreTramasNs = 2'000;
constexpr uint64_t EstabilizaNs = 100'000;  // after Vdd, after Vpp
constexpr uint64_t ApagadoNs = 1'000'000;   // the socket unpowered before the next command

}  // namespace

void TSondaIdFw::Pon() { chip_.Lineas(t_, l_); }

void TSondaIdFw::Pasa(uint64_t ns) {
  Pon();
  t_ += ns;
}

void TSondaIdFw::Entra(bool vpp) {
  l_ = TLineasSim{};
  l_.Mclr = true;  // MCLR is the Vpp pin here: no separate reset line
  Pasa(EstabilizaNs);
  l_.Vdd = true;
  Pasa(EstabilizaNs);
  l_.Vpp = vpp;
  Pasa(EstabilizaNs);
}

void TSondaIdFw::Sale() {
  l_.Vpp = false;
  Pasa(EstabilizaNs);
  l_.Vdd = false;
  l_.Clock = false;
  l_.DatoHost = false;
  Pasa(ApagadoNs);
}

void TSondaIdFw::Envia(uint32_t valor, int bits) {
  for (int i = 0; i < bits; ++i) {
    l_.Clock = true;
    Pasa(MedioBitNs);
    l_.DatoHost = ((valor >> i) & 1u) != 0;
    Pasa(MedioBitNs);
    l_.Clock = false;
    Pasa(MedioBitNs);
  }
  Pasa(EntreTramasNs);
}

uint32_t TSondaIdFw::Recibe(int bits) {
  // The board's PGD pin turns input; its pull-up holds the line high.
  l_.DatoHost = true;
  Pasa(MedioBitNs);
  uint32_t v = 0;
  for (int i = 0; i < bits; ++i) {
    l_.Clock = true;
    Pasa(MedioBitNs);
    const auto d = chip_.Dato();
    if (!d || *d) v |= 1u << i;
    l_.Clock = false;
    Pasa(MedioBitNs);
  }
  Pasa(EntreTramasNs);
  return v;
}

uint16_t TSondaIdFw::Id14() {
  Envia(0b000000, 6);          // Load Configuration: PC := 0x2000
  Envia(0x3FFFu << 1, 16);     // start bit, 0x3FFF, stop bit
  for (int i = 0; i < 6; ++i) Envia(0b000110, 6);  // to 0x2006
  Envia(0b000100, 6);          // Read Data from Program Memory
  return static_cast<uint16_t>((Recibe(16) >> 1) & 0x3FFF);
}

uint16_t TSondaIdFw::Id18() {
  auto instruccion = [this](uint16_t op) {
    Envia(0b0000, 4);
    Envia(op, 16);
  };
  instruccion(0x0E3F);  // MOVLW 0x3F
  instruccion(0x6EF8);  // MOVWF TBLPTRU
  instruccion(0x0EFF);  // MOVLW 0xFF
  instruccion(0x6EF7);  // MOVWF TBLPTRH
  instruccion(0x0EFE);  // MOVLW 0xFE
  instruccion(0x6EF6);  // MOVWF TBLPTRL
  auto tblrd = [this] {
    Envia(0b1001, 4);  // TBLRD*+
    return static_cast<uint8_t>(Recibe(16) >> 8);
  };
  const uint8_t devid1 = tblrd();
  const uint8_t devid2 = tblrd();
  return static_cast<uint16_t>(devid1 | devid2 << 8);
}

uint16_t TSondaIdFw::IdDsPic() {
  auto six = [this](uint32_t instruccion) {
    Envia(0b0000, 4);
    Envia(instruccion, 24);
  };
  six(0x000000);  // NOP
  six(0x000000);
  six(0x040100);  // GOTO 0x100
  six(0x000000);
  six(0x000000);
  six(0x200FF0);  // MOV #0xFF, W0
  six(0x880190);  // MOV W0, TBLPAG
  six(0x200006);  // MOV #0, W6
  six(0xBA0016);  // TBLRDL [W6], W0
  six(0x000000);
  six(0x000000);
  six(0x883C20);  // MOV W0, VISI
  six(0x000000);
  Envia(0b0001, 4);  // REGOUT
  const uint32_t v = Recibe(24);
  six(0x000000);
  return static_cast<uint16_t>(v >> 8);
}

uint16_t TSondaIdFw::Lee(char letra, bool z2) {
  Entra(z2 == EnZocalo2);
  uint16_t id = 0xFFFF;
  switch (letra) {
    case '4': id = Id14(); break;
    case '5': id = Id18(); break;
    case 'C': id = IdDsPic(); break;
    default: break;
  }
  Sale();
  return id;
}
