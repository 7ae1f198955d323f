// Programming the PIC18 areas.
#include <vector>

#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "pic18/pg_pic18.h"
#include "pic18/pg_pic18_comun.h"

namespace {

// Sets bit 3 of EECON1 (WRERR), not WREN, which is bit 2; the programming
// sequence has always sent it and the parts take it as harmless.
constexpr uint16_t BsfEecon1Bit3 = 0x86A6;
constexpr uint16_t BsfWren = 0x84A6;
constexpr uint16_t BcfWren = 0x94A6;
constexpr uint16_t BsfWr = 0x82A6;
constexpr uint16_t MovfEecon1W = 0x50A6;
constexpr uint16_t MovwfEedata = 0x6EA8;
constexpr uint16_t MovwfEecon2 = 0x6EA7;
constexpr uint16_t IncfTblptrL = 0x2AF6;
constexpr uint16_t DecfTblptrL = 0x06F6;
// GOTO 0x100000, two words.
constexpr uint16_t Goto1 = 0xEF00;
constexpr uint16_t Goto2 = 0xF800;

constexpr uint32_t DirPaneles = 0x3C0006;

// The firmware's PIC18 programming command, then the block.
bool ProgramaFw(const uint16_t* buffer, uint32_t first, uint32_t cuenta, uint8_t tipo,
                uint32_t lastBloque, uint16_t mascara, bool sinEspera) {
  Orden18('7', static_cast<uint8_t>(cuenta), static_cast<uint8_t>(cuenta >> 8),
          static_cast<uint8_t>(first >> 16), tipo,
          static_cast<uint8_t>((Zocalo2 ? 1 : 0) ^ (GrupoModUSB ? 2 : 0)),
          static_cast<uint8_t>(RetardoPgm));
  // A command that did not go out shows as the block's missing reply.
  EnviaPaquete(8);
  if (ProgramaBloque(buffer, first, lastBloque, mascara, sinEspera)) {
    ResetProgramador();
    return true;
  }
  SaleProgramacion();
  return false;
}

bool ProgramaPaneles(const uint16_t* buffer, uint32_t first, uint32_t last, uint8_t tipo,
                     uint16_t mascara) {
  EntraProgramacion();
  Nucleo18(BsfEepgd);
  Nucleo18(BsfCfgs);
  Nucleo18(BsfEecon1Bit3);
  // Single-panel write mode.
  PonTblptr(DirPaneles);
  EnviaComando4(TablaEscribe18);
  EnviaDato16(0x0000);
  Nucleo18(BsfEepgd);
  Nucleo18(BcfCfgs);
  uint32_t direccion = first;
  for (uint32_t k = first; k <= last; ++k) {
    SumaProgreso(4);
    const uint16_t* panel = buffer + (k - first) * 4;
    bool blanco = true;
    for (int j = 0; j < 4; ++j) blanco = blanco && panel[j] == mascara;
    if (!blanco) {
      if (tipo == Programa18Codigo) direccion = k * 8;
      PonTblptr(direccion);
      for (int j = 0; j < 3; ++j) {
        EnviaComando4(TablaEscribeMas2);
        EnviaDato16(panel[j]);
      }
      ProgramaNop(panel[3]);
      PonTblptr(direccion);
      for (int j = 0; j < 4; ++j)
        if (ComparaPalabra18(LeeTabla2(), panel[j], direccion)) return true;
    }
    if (CanceladoEnZona()) return true;
  }
  SaleProgramacion();
  return false;
}

bool ProgramaEeprom(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t mascara) {
  EntraProgramacion();
  Nucleo18(BcfEepgd);
  Nucleo18(BcfCfgs);
  for (uint32_t a = first; a <= last; ++a) {
    const uint16_t celda = buffer[a - first];
    if ((celda & mascara) != PicActual.EeMask) {
      SumaProgreso(1);
      DireccionEe18(a);
      Literal18(static_cast<uint8_t>(celda), MovwfEedata);
      Nucleo18(BsfWren);
      if (!GrupoModUSB) {
        Literal18(0x55, MovwfEecon2);
        Literal18(0xAA, MovwfEecon2);
      }
      Nucleo18(BsfWr);
      // EECON1 shifted out once the write time has passed (its WR bit is
      // not looked at), then the byte read back.
      Nucleo18(MovfEecon1W);
      WaTablat18();
      EsperaMs(static_cast<uint16_t>(RetardoPgm + 3));
      EnviaComando4(DesplazaTablat18);
      LeeTablat();
      ContextoError.Leido = static_cast<uint16_t>(LeeEe18() & mascara);
      if (ContextoError.Leido != (celda & mascara)) {
        ContextoError.Direccion = a;
        ContextoError.Esperado = static_cast<uint16_t>(celda & mascara);
        SaleProgramacion();
        MuestraError(ContextoError, ErrEscritura);
        return true;
      }
    }
    if (CanceladoEnZona()) return true;
  }
  Nucleo18(BcfWren);
  SaleProgramacion();
  return false;
}

bool ProgramaConfigIcsp(const uint16_t* buffer, uint32_t first, uint32_t cuenta) {
  EntraProgramacion();
  Nucleo18(BsfEepgd);
  Nucleo18(BsfCfgs);
  if (!GrupoModUSB) {
    Nucleo18(Goto1);
    Nucleo18(Goto2);
  }
  // Cells 0-4 in turn, then 6, and 5 last: it holds the write protection
  // of the configuration itself, which would stop any later configuration
  // write. The address counter follows the table pointer, so that an
  // error names the cell that failed.
  uint32_t contador = first;
  PonTblptr(first);
  for (int c = 0; c < 5; ++c)
    if (ProgramaConfig18(buffer[c], contador)) return true;
  contador = first + 12;
  PonTblptr(contador);
  if (ProgramaConfig18(buffer[6], contador)) return true;
  contador = first + 10;
  PonTblptr(contador);
  if (ProgramaConfig18(buffer[5], contador)) return true;
  SumaProgreso(cuenta);
  SaleProgramacion();
  return false;
}

}  // namespace

bool ComparaPalabra18(uint16_t leido, uint16_t esperado, uint32_t& contador) {
  const uint32_t direccion = contador;
  contador += 2;
  if (leido == esperado) return false;
  ContextoError.Direccion = direccion;
  ContextoError.Esperado = esperado;
  ContextoError.Leido = leido;
  SaleProgramacion();
  MuestraError(ContextoError, ErrEscritura);
  return true;
}

bool ProgramaConfig18(uint16_t celda, uint32_t& contador) {
  ProgramaNop(celda);  // low byte, at the even address
  Nucleo18(IncfTblptrL);
  ProgramaNop(celda);  // high byte, at the odd address
  Nucleo18(DecfTblptrL);
  return ComparaPalabra18(LeeTabla2(), celda, contador);
}

bool ProgramaZona18(const uint16_t* buffer, uint32_t first, uint32_t last, const std::string& zona,
                    uint8_t tipo, uint16_t mascara) {
  switch (tipo) {
    case Programa18Codigo:
    case Programa18Id:
      if (last == 0) return false;
      LogZona18(15, zona, (last - first + 1) * (tipo == Programa18Codigo ? 4 : 2), 22);
      // The block is every word of the panels: a block that ended at
      // (last - first) x 4 + first would leave the last three words of the
      // last panel out of the final group.
      if (USB_COM)
        return ProgramaFw(buffer, first, last - first, tipo, first + (last - first + 1) * 4 - 1,
                          mascara, tipo == Programa18Codigo);
      return ProgramaPaneles(buffer, first, last, tipo, mascara);
    case Programa18Eeprom:
      LogZona18(15, zona, last - first + 1, 21);
      if (USB_COM) {
        // The data EEPROM holds bytes: its cells go out as the part keeps
        // them, so the blank cells of a cleared image (all ones) are blank
        // bytes, skipped, and not reported as differing from what reads back.
        std::vector<uint16_t> bytes(buffer, buffer + (last - first + 1));
        for (uint16_t& c : bytes) c &= mascara;
        return ProgramaFw(bytes.data(), first, last - first, tipo, last, mascara, false);
      }
      return ProgramaEeprom(buffer, first, last, mascara);
    case Programa18Config:
      LogZona18(15, zona, last, 22);
      // The count of the command is the number of words (low 16 bits of
      // last - first, as first is 0x300000).
      if (USB_COM) return ProgramaFw(buffer, first, last - first, tipo, first + last, mascara, false);
      return ProgramaConfigIcsp(buffer, first, last);
    default:
      return false;
  }
}

bool ProgramaAreas18() {
  const TPic& p = PicActual;
  bool fallo = ProgramaZona18(BufDispositivo.Prog.data(), p.ProgIni, p.ProgIni + (p.ProgTam - 1) / 4,
                              TextosZona[0], Programa18Codigo, p.ProgMask);
  if (!fallo)
    fallo = ProgramaZona18(BufDispositivo.Id.data(), p.IdIni, p.IdIni + p.IdNum / 4, TextosZona[1],
                           Programa18Id, p.IdMask);
  if (!fallo && p.EeTam != 0)
    fallo = ProgramaZona18(BufDispositivo.Datos.data(), p.EeIni, p.EeFin, TextosZona[3],
                           Programa18Eeprom, p.EeMask);
  if (!fallo)
    fallo = ProgramaZona18(BufDispositivo.Config.data(), p.CfgIni, p.CfgNum, TextosZona[2],
                           Programa18Config, p.CfgMask);
  return fallo;
}
