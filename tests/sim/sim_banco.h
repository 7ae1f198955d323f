// A test bench: virtual clock, simulated port and adapter, installed while
// it lives. Set the pin configuration (or use one of the presets below)
// before building the bench: the adapter copies its wiring then.
//
//   PonPerfilLptSim();
//   TBancoSim banco;
//   TChipMinimo14 chip;
//   banco.Adaptador.Conecta(&chip);
//   PinesReposo(); VddOn(); MedioBitUs = 1; EntraProgramacion(); ...
#pragma once

#include "sim_adaptador.h"
#include "sim_puerto.h"
#include "sim_reloj.h"

struct TBancoSim {
  TRelojVirtual Reloj;
  TPuertoSim Puerto;
  TAdaptadorSim Adaptador{Puerto};
};

// LPT1 adapter with every line in the data register (the profile defaults:
// data 0, clock 1, Vpp 2, Vdd 3, second Vpp 4, MCLR 5, data in on BUSY,
// all inverted), with a second socket and an MCLR line when asked.
void PonPerfilLptSim(bool vpp2 = false, bool mclr = false);
// COM1 adapter: data out on DTR, clock on RTS, Vpp on TXD (break), data in
// on CTS, none inverted, Vdd not switched.
void PonPerfilComSim();
