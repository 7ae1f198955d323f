#include "pic1x_partes.h"

namespace {

constexpr uint64_t Ms(double ms) { return static_cast<uint64_t>(ms * 1e6); }

constexpr uint64_t Cmds(std::initializer_list<int> lista) {
  uint64_t m = 0;
  for (int c : lista) m |= uint64_t{1} << c;
  return m;
}

}  // namespace

std::optional<TDatosPic14> Datos14(const std::string& n) {
  TDatosPic14 d;
  d.Nombre = n;
  if (n == "16F84A") {
    // DS30262: one latch; command 8 erases and programs the word, internally
    // timed (4 ms; other sources wait up to 10 ms); command 24 programs only. Bulk erases need a command 8 to start;
    // the setup pair 1, 7 followed by 8 with the counter at 0x2007 erases
    // everything, code protection included. CP bits 4-13.
    d.Id = 0x0560 | 2; d.Palabras = 1024; d.EeBytes = 64; d.Latches = 1;
    d.Comandos = Cmds({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 24});
    d.Modo8 = TModo8Sim::InternoBorra; d.T8Ns = Ms(4); d.T8DatosNs = Ms(4);
    d.Externo24 = false; d.T24Ns = Ms(4); d.T24DatosNs = Ms(4);
    d.Borrado9Con8 = true; d.T9Ns = Ms(10); d.T11Ns = Ms(10); d.TSetupNs = Ms(10);
    d.Alcance9Prog = AlcProg; d.Alcance9Config = AlcProg;
    d.MascaraCP = 0x3FF0;
  } else if (n == "16F628A") {
    // DS41196: command 8 internally timed (program 2.5 ms, data 6 ms; other
    // sources give 4 ms for program words); bulk erase self-timed 6 ms (12); after Load Configuration it also clears
    // the configuration word and the IDs. CP bit 13, CPD bit 8.
    d.Id = 0x1060 | 4; d.Palabras = 2048; d.EeBytes = 128; d.Latches = 1;
    d.Comandos = Cmds({0, 2, 3, 4, 5, 6, 8, 9, 11});
    d.Modo8 = TModo8Sim::Interno; d.T8Ns = Ms(2.5); d.T8DatosNs = Ms(6);
    d.T9Ns = Ms(6); d.T11Ns = Ms(6);
    d.Alcance9Prog = AlcProg; d.Alcance9Config = AlcProg | AlcConfig | AlcId;
    d.MascaraCP = 0x2000; d.MascaraCPD = 0x0100;
  } else if (n == "12F629" || n == "12F675") {
    // DS41191: OSCCAL RETLW at 0x3FF, band-gap bits 12-13 of 0x2007; the
    // bulk erase clears both (after Load Configuration also the IDs).
    // Command 8 internally timed 3 ms (data 6 ms); command 24 externally
    // timed 2 ms, ended by command 10; bulk erase 6 ms (other sources 9 ms).
    // CP bit 7, CPD bit 8.
    d.Id = (n == "12F629" ? 0x0F80 : 0x0FC0) | 3; d.Palabras = 1024; d.EeBytes = 128;
    d.OscCal3FF = true; d.BandGap = true;
    d.Comandos = Cmds({0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 24});
    d.Modo8 = TModo8Sim::Interno; d.T8Ns = Ms(3); d.T8DatosNs = Ms(6);
    d.Externo24 = true; d.T24Ns = Ms(2); d.T24DatosNs = Ms(6); d.Fin = 10;
    d.T9Ns = Ms(6); d.T11Ns = Ms(6);
    d.Alcance9Prog = AlcProg; d.Alcance9Config = AlcProg | AlcConfig | AlcId;
    d.MascaraCP = 0x0080; d.MascaraCPD = 0x0100;
  } else if (n == "12F683") {
    // DS41204: 4 latches; calibration word at 0x2008, left alone by a bulk
    // erase except one given with the counter on it. Command 8 internally
    // timed 3 ms (data 6 ms); 24 externally timed, ended by 10. A bulk
    // erase in program space reaches program memory and the configuration
    // word, in configuration space also the IDs. CP bit 6, CPD bit 7.
    d.Id = 0x0460 | 1; d.Palabras = 2048; d.EeBytes = 256; d.Latches = 4;
    d.CalIni = 0x2008; d.CalNum = 1;
    d.Comandos = Cmds({0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 17, 24});
    d.Modo8 = TModo8Sim::Interno; d.T8Ns = Ms(3); d.T8DatosNs = Ms(6);
    d.Externo24 = true; d.T24Ns = Ms(3); d.T24DatosNs = Ms(6); d.Fin = 10;
    d.T9Ns = Ms(6); d.T11Ns = Ms(6);
    d.Alcance9Prog = AlcProg | AlcConfig; d.Alcance9Config = AlcProg | AlcConfig | AlcId;
    d.MascaraCP = 0x0040; d.MascaraCPD = 0x0080;
  } else if (n == "12F635") {
    // As the 12F683 class, with two calibration words at 0x2008-0x2009
    // after the configuration word (the part's data is unconfirmed here:
    // modelled on its 12F683 sibling).
    d.Id = 0x0FA0 | 2; d.Palabras = 1024; d.EeBytes = 128; d.Latches = 4;
    d.NumConfig = 1; d.CalIni = 0x2008; d.CalNum = 2;
    d.Comandos = Cmds({0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 17, 24});
    d.Modo8 = TModo8Sim::Interno; d.T8Ns = Ms(3); d.T8DatosNs = Ms(6);
    d.Externo24 = true; d.T24Ns = Ms(3); d.T24DatosNs = Ms(6); d.Fin = 10;
    d.T9Ns = Ms(6); d.T11Ns = Ms(6);
    d.Alcance9Prog = AlcProg | AlcConfig; d.Alcance9Config = AlcProg | AlcConfig | AlcId;
    d.MascaraCP = 0x0040; d.MascaraCPD = 0x0080;
  } else if (n == "16F74") {
    // DS30324: 2 latches, no data EEPROM; command 8 externally timed 1 ms,
    // ended by 14; command 9 after Load Configuration erases program memory
    // and the configuration word (not the IDs), 30 ms. CP bit 4.
    d.Id = 0x0620 | 1; d.Palabras = 4096; d.EeBytes = 0; d.Latches = 2;
    d.Comandos = Cmds({0, 2, 4, 6, 8, 9, 14});
    d.Modo8 = TModo8Sim::Externo; d.T8Ns = Ms(1); d.Fin = 14;
    d.T9Ns = Ms(30);
    d.Alcance9Prog = AlcProg | AlcConfig; d.Alcance9Config = AlcProg | AlcConfig;
    d.MascaraCP = 0x0010;
  } else if (n == "16F88") {
    // DS39607: 4 latches, configuration words 0x2007 and 0x2008; commands 24
    // and 8 externally timed (1 ms), ended by 23; bulk erases 10 ms; chip
    // erase 31 after Load Configuration erases everything (10 ms).
    d.Id = 0x0760 | 5; d.Palabras = 4096; d.EeBytes = 256; d.Latches = 4; d.NumConfig = 2;
    d.Comandos = Cmds({0, 2, 3, 4, 5, 6, 8, 9, 11, 23, 24, 31});
    d.Modo8 = TModo8Sim::Externo; d.T8Ns = Ms(1); d.T8DatosNs = Ms(1);
    d.Externo24 = true; d.T24Ns = Ms(1); d.T24DatosNs = Ms(1); d.Fin = 23;
    d.T9Ns = Ms(10); d.T11Ns = Ms(10); d.T31Ns = Ms(10);
    d.MascaraCP = 0x2000; d.MascaraCPD = 0x0100;
  } else if (n == "16F877") {
    // DS39025: one latch; command 8 erases and programs the word, internally
    // timed (max 4 ms); the setup pair 1, 7 with 8 at 0x2007 erases
    // everything, code protection included (8 ms). CP bits 4-5 and 12-13,
    // CPD bit 8; a pair of 10 protects 1F00h-1FFFh, 01 1000h-1FFFh, 00 all.
    d.Id = 0x09A0 | 6; d.Palabras = 8192; d.EeBytes = 256; d.Latches = 1;
    d.Comandos = Cmds({0, 1, 2, 3, 4, 5, 6, 7, 8, 24});
    d.Modo8 = TModo8Sim::InternoBorra; d.T8Ns = Ms(4); d.T8DatosNs = Ms(4);
    d.Externo24 = false; d.T24Ns = Ms(4); d.T24DatosNs = Ms(4);
    d.TSetupNs = Ms(8);
    d.MascaraCP = 0x3030; d.MascaraCPD = 0x0100; d.InicioCP = {0x0000, 0x1000, 0x1F00, 0x2000};
  } else if (n == "16F877A") {
    // DS39589: 8 latches for program memory; command 24 externally timed
    // 1 ms ended by 23; command 8 an internally timed erase and write (8 ms);
    // chip erase 31 after Load Configuration erases everything (8 ms).
    d.Id = 0x0E20 | 3; d.Palabras = 8192; d.EeBytes = 256; d.Latches = 8;
    d.Comandos = Cmds({0, 2, 3, 4, 5, 6, 8, 9, 11, 23, 24, 31});
    d.Modo8 = TModo8Sim::InternoBorra; d.T8Ns = Ms(8); d.T8DatosNs = Ms(8);
    d.Externo24 = true; d.T24Ns = Ms(1); d.T24DatosNs = Ms(1); d.Fin = 23;
    d.T9Ns = Ms(8); d.T11Ns = Ms(8); d.T31Ns = Ms(8);
    d.MascaraCP = 0x2000; d.MascaraCPD = 0x0100;
  } else {
    return std::nullopt;
  }
  return d;
}

std::optional<TDatos10F> Datos10F(const std::string& n) {
  TDatos10F d;
  d.Nombre = n;
  if (n == "10F200" || n == "10F204") { d.Usuario = 256; d.DirConfig = 0x1FF; }
  else if (n == "10F202" || n == "10F206") { d.Usuario = 512; d.DirConfig = 0x3FF; }
  else return std::nullopt;
  return d;
}

std::optional<TDatosPicC> DatosC(const std::string& n) {
  TDatosPicC d;
  d.Nombre = n;
  if (n == "16C622A") d.Palabras = 2048;
  else if (n == "16C74B") d.Palabras = 4096;
  else return std::nullopt;
  return d;
}
