// Programming of the 12-bit and 14-bit flash devices from BufDispositivo:
// erase first, settle the calibration values with the user, then every
// area, each word read back right after it is written.
#include "flash/pg_flash.h"
#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

// The image's calibration cell against the device's saved value: a blank
// cell takes the saved value; a different one is the user's choice, and
// any answer but Yes keeps the device's value (also the default answer:
// Enter never overwrites a factory calibration).
void ResuelveOscCal(uint16_t& celda, uint16_t blanco) {
  if (celda == blanco) celda = OscCal;
  if (celda == OscCal) return;
  const std::string pregunta = TextoIdioma("pg_err*", "49*") + HexDigitos(OscCal, 4) + "\r" +
                               TextoIdioma("pg_err*", "50*") + HexDigitos(celda, 4);
  if (InterfazOperacion().PreguntaNo(pregunta) != TRespuesta::Si) celda = OscCal;
}

void ResuelveCalibracion() {
  const uint8_t i = IndicePic();
  TBuffers& b = BufDispositivo;
  CalProgramada = TCalProgramada{};
  if (PicActual.Familia == 10 && i <= 3) {
    ResuelveOscCal(b.Prog[PicActual.ProgFin], 0x0FFF);
    CalProgramada.Valida = true;
    CalProgramada.DirOscCal = PicActual.ProgFin;
    CalProgramada.ValorOscCal = b.Prog[PicActual.ProgFin];
  } else if (GrupoOscCalBandGap()) {
    ResuelveOscCal(b.Prog[0x3FF], 0x3FFF);
    const uint16_t bits = b.Config[0] & 0x3000;
    if (bits != BandGap) {
      const std::string pregunta = TextoIdioma("pg_err*", "51*") + HexDigitos(BandGap >> 12, 2) +
                                   "\r" + TextoIdioma("pg_err*", "50*") + HexDigitos(bits >> 12, 2);
      if (InterfazOperacion().PreguntaNo(pregunta) != TRespuesta::Si)
        b.Config[0] = static_cast<uint16_t>((b.Config[0] & 0x0FFF) | BandGap);
    }
    CalProgramada.Valida = true;
    CalProgramada.DirOscCal = 0x3FF;
    CalProgramada.ValorOscCal = b.Prog[0x3FF];
    CalProgramada.ConBandGap = true;
    CalProgramada.BitsBandGap = b.Config[0] & 0x3000;
  }
}

}  // namespace

bool ProgramaPic() {
  CalProgramada = TCalProgramada{};
  if (BorraPic()) return true;
  ResuelveCalibracion();

  PonProgreso(0);
  InterfazOperacion().ColorProgreso(TColorProgreso::Rojo);
  PonMaximoProgreso(MaximoDispositivo());
  InterfazOperacion().Log(" [ " + TextosEntorno[14] + " ]");
  RetardoPgm = PicActual.TiempoPgm;
  PanelRetardo();

  const TPic& p = PicActual;
  const TBuffers& b = BufDispositivo;
  bool fallo = false;
  switch (p.Familia) {
    case 10:
      fallo = ProgramaZona10F(b.Prog.data(), p.ProgIni, p.ProgFin, TextosZona[0], 0, p.ProgMask) ||
              ProgramaZona10F(b.Id.data(), p.IdIni, p.IdFin, TextosZona[1], 1, p.IdMask) ||
              ProgramaZona10F(b.Config.data(), p.CfgIni, p.CfgFin, TextosZona[2], 2, p.CfgMask);
      break;
    case 16:
      fallo = ProgramaZona14(b.Prog.data(), p.ProgIni, p.ProgFin, p.ProgMask, 2, 4, false,
                             TZona::Programa, TextosZona[0], TextosEntorno[22]) ||
              ProgramaZona14(b.Id.data(), p.IdIni, p.IdFin, p.IdMask, 2, 4, true, TZona::Id,
                             TextosZona[1], TextosEntorno[22]) ||
              ProgramaZona14(b.Datos.data(), p.EeIni, p.EeFin, p.EeMask, 3, 5, false,
                             TZona::Datos, TextosZona[3], TextosEntorno[21]) ||
              ProgramaZona14(b.Config.data(), p.CfgIni, p.CfgFin, p.CfgMask, 2, 4, true,
                             TZona::Config, TextosZona[2], TextosEntorno[22]);
      break;
    case 18:
      if (RamasPic18.Programa) fallo = RamasPic18.Programa();
      break;
    default:
      break;
  }
  SumaProgreso(10);
  if (!fallo) InterfazOperacion().ColorProgreso(TColorProgreso::Lima);
  return fallo;
}

bool ProgramaZona14(const uint16_t* buffer, uint16_t first, uint16_t last, uint16_t blanco,
                    uint8_t comandoCarga, uint8_t comandoLectura, bool cargaConfig, TZona area,
                    const std::string& zona, const std::string& tipo) {
  if (last == 0) return false;
  const uint8_t i = IndicePic();
  const bool fin23 = EnLista(i, {31, 32, 33, 34, 39, 41, 43, 45});
  const bool fin14 = i >= 19 && i <= 27;
  const bool inicio24 = i == 23;
  if (comandoCarga == 3 && EnLista(i, {4, 5, 6, 7, 9, 11, 12, 13, 14, 15, 16, 17, 18}))
    RetardoPgm = 6;
  // The calibration words at the end of the configuration area are only
  // written when the user asks to update them.
  if (area == TZona::Config && !Act_Cal) last = static_cast<uint16_t>(last - CeldasCalConfig());

  InterfazOperacion().Log(LineaZona(TextosEntorno[15], zona, last - first + 1u, tipo));
  PanelRetardo();
  const uint16_t desde = static_cast<uint16_t>(first - PicActual.IdIni);

  if (USB_COM) {
    ResetProgramador();
    SumaXor = 0;
    uint8_t flags = Zocalo2 ? 1 : 0;
    if (fin23) flags ^= 2;
    if (fin14) flags ^= 4;
    if (cargaConfig) flags ^= 8;
    if (last == 0x2007) flags ^= 0x10;
    if (inicio24) flags ^= 0x20;
    TPaquete[0] = '>';
    TPaquete[1] = '6';
    TPaquete[2] = static_cast<uint8_t>((last - first) & 0xFF);
    TPaquete[3] = static_cast<uint8_t>((last - first) >> 8);
    TPaquete[4] = static_cast<uint8_t>(desde & 0xFF);
    TPaquete[5] = flags;
    TPaquete[6] = comandoLectura;
    TPaquete[7] = static_cast<uint8_t>(RetardoPgm & 0xFF);
    if (!EnviaPaquete(8)) {
      ResetProgramador();
      return true;
    }
    TPaquete[0] = static_cast<uint8_t>(blanco & 0xFF);
    TPaquete[1] = static_cast<uint8_t>(blanco >> 8);
    TPaquete[2] = static_cast<uint8_t>((last - first) & 0xFF);
    if (!EnviaPaquete(8) || ProgramaBloque(buffer, first, last, blanco, false)) {
      ResetProgramador();
      return true;
    }
    return false;
  }

  EntraProgramacion();
  if (cargaConfig) {
    RetardoPgm = 10;
    EnviaComando6(0);
    EnviaDato14(0x3FFF);
    Incrementa(desde);
  }
  const uint8_t inicio = fin23 ? (last == 0x2007 ? 8 : 24) : (inicio24 ? 24 : 8);
  const uint8_t fin = fin23 ? 23 : (fin14 ? 14 : 0);
  return EscribeZonaIcsp(buffer, first, last, blanco, comandoCarga, inicio, fin, comandoLectura);
}
