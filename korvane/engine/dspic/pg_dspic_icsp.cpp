#include "dspic/pg_dspic_icsp.h"

#include "hw/pg_icsp.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"

namespace {

// Instructions of the sequences.
constexpr uint32_t Nop = 0x000000;
constexpr uint32_t GotoReset = 0x040100;     // GOTO 0x100
constexpr uint32_t MovW0Tblpag = 0x880190;   // MOV W0, TBLPAG
constexpr uint32_t ClrW6 = 0xEB0300;
constexpr uint32_t ClrW7 = 0xEB0380;
constexpr uint32_t MovW0Visi = 0x883C20;     // + n: MOV Wn, VISI
constexpr uint32_t BsetWr = 0xA8E761;        // BSET NVMCON, #WR
constexpr uint32_t BclrWr = 0xA9E761;        // BCLR NVMCON, #WR
constexpr uint32_t MovW10Nvmcon = 0x883B0A;
constexpr uint32_t TblwtlW6W7Inc = 0xBB1B96; // TBLWTL [W6], [W7++]
constexpr uint32_t TblrdlW6IncW7 = 0xBA0BB6; // TBLRDL [W6++], [W7]

// MOV #literal, Wn.
uint32_t MovLit(uint16_t literal, uint8_t n) { return 0x200000u | uint32_t{literal} << 4 | n; }

void SeisNops(int n) {
  for (int i = 0; i < n; ++i) EnviaNOP();
}

// SIX a, NOP, NOP, SIX b, NOP for each pair.
void Pares(const uint32_t (&pares)[8]) {
  for (int i = 0; i < 8; i += 2) {
    EnviaSIX(pares[i]);
    SeisNops(2);
    EnviaSIX(pares[i + 1]);
    EnviaNOP();
  }
}

void EscrituraNvm(int nops) {
  EnviaSIX(BsetWr);
  SeisNops(nops);
  EsperaMs(RetardoPgm);
  EnviaSIX(BclrWr);
  SeisNops(nops);
}

// Hold of a written bit past its latching edge (P4).
constexpr uint64_t RetencionDatoNs = 15;

}  // namespace

void EnviaBitDs(uint8_t bit) {
  if (bit) DatoAlto(); else DatoBajo();
  ClockAlto();
  EsperaNs(90);
  ClockBajo();
  // The part latches the bit on the falling edge: the level stays past it
  // (P4) before the line goes back low, rather than for the port's own
  // access time.
  EsperaNs(RetencionDatoNs);
  DatoBajo();
}

uint8_t LeeBitDs() {
  ClockAlto();
  EsperaNs(90);
  ClockBajo();
  EsperaNs(90);
  DatoAlto();
  const uint8_t bit = LeeDato();
  DatoBajo();
  return bit;
}

void EnviaComando4Ds(uint8_t comando) {
  for (int i = 0; i < 4; ++i) EnviaBitDs((comando >> i) & 1);
}

void EnviaDato24Ds(uint32_t dato) {
  for (int i = 0; i < 24; ++i) EnviaBitDs((dato >> i) & 1);
}

uint16_t LeeDato16Ds() {
  uint16_t v = 0;
  for (int i = 0; i < 16; ++i) v = static_cast<uint16_t>(v | LeeBitDs() << i);
  return v;
}

void EnviaSIX(uint32_t instruccion) {
  EnviaComando4Ds(0);
  EsperaNs(90);
  EnviaDato24Ds(instruccion);
}

uint16_t LeeREGOUT() {
  EnviaComando4Ds(1);
  for (int i = 0; i < 8; ++i) EnviaBitDs(0);
  return LeeDato16Ds();
}

void EnviaNOP() { EnviaSIX(Nop); }

void SaltaReset() {
  SeisNops(2);
  EnviaSIX(GotoReset);
  EnviaNOP();
}

void SaltaResetCorto() {
  EnviaSIX(GotoReset);
  EnviaNOP();
}

void PonTblpag(uint8_t n, uint32_t direccion) {
  EnviaSIX(0x200000u | ((direccion >> 16) & 0xFF) << 4);
  EnviaSIX(MovW0Tblpag);
  EnviaSIX(0x200000u | (direccion & 0xFFFF) << 4 | n);
}

void CargaW0W5(const uint16_t* c) {
  const auto alto = [&](int i) { return static_cast<uint16_t>(c[2 * i + 1] & 0xFF); };
  EnviaSIX(MovLit(c[0], 0));
  EnviaSIX(MovLit(static_cast<uint16_t>(alto(0) | alto(1) << 8), 1));
  EnviaSIX(MovLit(c[2], 2));
  EnviaSIX(MovLit(c[4], 3));
  EnviaSIX(MovLit(static_cast<uint16_t>(alto(2) | alto(3) << 8), 4));
  EnviaSIX(MovLit(c[6], 5));
}

void LeeTabla4Instr() {
  EnviaSIX(ClrW7);
  Pares({0xBA1B96, 0xBADBB6, 0xBADBD6, 0xBA1BB6, 0xBA1B96, 0xBADBB6, 0xBADBD6, 0xBA0BB6});
}

void LeeTabla4Palabras() {
  EnviaSIX(ClrW7);
  for (int i = 0; i < 4; ++i) {
    EnviaSIX(0xBA1BB6);
    SeisNops(2);
  }
}

void EscribeTabla4Instr() {
  EnviaSIX(ClrW6);
  EnviaNOP();
  Pares({0xBB0BB6, 0xBBDBB6, 0xBBEBB6, 0xBB1BB6, 0xBB0BB6, 0xBBDBB6, 0xBBEBB6, 0xBB1BB6});
}

void EscribeTabla4Palabras() {
  EnviaSIX(ClrW6);
  for (int i = 0; i < 4; ++i) {
    EnviaNOP();
    EnviaSIX(0xBB1BB6);
    EnviaNOP();
  }
  EnviaNOP();
}

void LeeVisi4Instr(uint16_t* c) {
  uint16_t w[6];
  for (uint8_t n = 0; n < 6; ++n) {
    EnviaSIX(MovW0Visi + n);
    EnviaNOP();
    w[n] = LeeREGOUT();
    EnviaNOP();
  }
  c[0] = w[0];
  c[1] = w[1] & 0xFF;
  c[2] = w[2];
  c[3] = w[1] >> 8;
  c[4] = w[3];
  c[5] = w[4] & 0xFF;
  c[6] = w[5];
  c[7] = w[4] >> 8;
}

void LeeVisi4Palabras(uint16_t* c) {
  for (uint8_t n = 0; n < 4; ++n) {
    EnviaSIX(MovW0Visi + n);
    EnviaNOP();
    c[2 * n] = LeeREGOUT();
    c[2 * n + 1] = 0;
    EnviaNOP();
  }
}

void EnviaClavesNvm() {
  EnviaSIX(0x200558);
  EnviaSIX(0x883B38);
  EnviaSIX(0x200AA9);
  EnviaSIX(0x883B39);
}

void IniciaEscrituraNvm() { EscrituraNvm(4); }
void IniciaEscrituraNvmCorta() { EscrituraNvm(2); }

void EscribeConfigDs(const uint16_t* celdas, uint8_t tipo) {
  SaltaReset();
  EnviaSIX(MovLit(0, 7));
  for (int r = 0; r < 7; ++r) {
    EnviaSIX(MovLit(0x4008, 10));
    EnviaSIX(MovW10Nvmcon);
    EnviaSIX(tipo == 3 ? 0x200800 : 0x200F80);
    EnviaSIX(MovW0Tblpag);
    EnviaSIX(MovLit(celdas[4 * r], 0));
    EnviaSIX(ClrW6);
    EnviaSIX(TblwtlW6W7Inc);
    SeisNops(2);
    EnviaClavesNvm();
    IniciaEscrituraNvm();
    SaltaResetCorto();
  }
}

void LeeConfigDs(uint16_t* celdas) {
  SaltaReset();
  PonTblpag(6, 0xF80000);
  for (int r = 0; r < 7; ++r) {
    EnviaSIX(ClrW7);
    EnviaSIX(TblrdlW6IncW7);
    SeisNops(3);
    EnviaSIX(MovW0Visi);
    EnviaNOP();
    celdas[4 * r] = LeeREGOUT();
    celdas[4 * r + 1] = 0;
    EnviaSIX(Nop);
    SaltaResetCorto();
  }
}
