// Intel HEX files of the PIC and dsPIC images: where each file byte lives
// in the buffer set for every family, the loader and the writer.
#include "pg_hex.h"

#include <algorithm>
#include <map>
#include <vector>

#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

TEjecutivoConDatos consultaEjecutivo;

// Configuration memory that holds no cell of the buffer set (reserved
// words, device IDs, calibration and test words): files read back from a
// chip or written by other tools may carry it, and it is dropped.
// Mid-range parts: the 256 words from the ID locations (0x2000-0x20FF).
constexpr int64_t Reservada14Tam = 0x100;
// PIC18: ID, configuration and device ID bytes, 0x200000-0x3FFFFF.
constexpr int64_t Reservada18Ini = 0x200000, Reservada18Fin = 0x3FFFFF;
// dsPIC30: executive, unit ID, configuration and device ID words, 0x800000
// upwards.
constexpr int64_t Reservada30Ini = 0x800000, Reservada30Fin = 0xFFFFFF;

// Puts one file byte into the low (mitad 0) or high half of a cell. A cell
// past the area's storage is dropped.
template <std::size_t N>
void Pon(std::array<uint16_t, N>& area, int64_t celda, unsigned mitad, uint8_t byte) {
  if (celda < 0 || celda >= static_cast<int64_t>(N)) return;
  uint16_t& c = area[static_cast<std::size_t>(celda)];
  c = mitad ? static_cast<uint16_t>((c & 0x00FF) | byte << 8) : static_cast<uint16_t>((c & 0xFF00) | byte);
}

// PIC18 data EEPROM bytes wait for the end of the file: toolchains write one
// byte per location at 0xF00000 + n, while older saves of this program put
// each location in two bytes (data, then 00). Which layout a file uses shows
// only once all its EEPROM bytes are known.
class TEepromPic18 {
public:
  using TArea = std::array<uint16_t, TamDatos>;

  void Prepara(const TPic& pic) {
    base_ = 2 * static_cast<int64_t>(pic.EeIni);
    tam_ = pic.EeTam;
    bytes_.assign(2u * tam_, -1);
    hay_ = false;
    maxOffset_ = 0;
    lineaFuera_ = 0;
    imparesCero_ = true;
    hayImpar_ = false;
    hayParNoCero_ = false;
    alineado_ = true;
  }
  bool Contiene(int64_t f) const { return tam_ > 0 && EnRango(f, base_, base_ + 2 * tam_ - 1); }
  // Notes whether a record at file address `f` of `n` bytes that reaches
  // into the EEPROM keeps to whole cell pairs.
  void Registro(int64_t f, unsigned n) {
    if ((Contiene(f) || Contiene(f + n - 1)) && ((f & 1) || (n & 1))) alineado_ = false;
  }
  void Guarda(int64_t f, uint8_t byte) {
    const auto o = static_cast<std::size_t>(f - base_);
    bytes_[o] = byte;
    hay_ = true;
    maxOffset_ = std::max(maxOffset_, o);
    if (o >= tam_ && lineaFuera_ == 0) {
      lineaFuera_ = ContextoError.LineaHex;
      direccionFuera_ = static_cast<uint32_t>(f);
    }
    if (o & 1) {
      hayImpar_ = true;
      if (byte != 0) imparesCero_ = false;
    } else if (byte != 0) {
      hayParNoCero_ = true;
    }
  }
  bool Hay() const { return hay_; }
  // The two-byte layout: whole pairs, every second byte 00.
  bool CabenDosBytes() const { return alineado_ && hayImpar_ && imparesCero_; }
  // The one-byte layout: nothing past the device's locations.
  bool CabeUnByte() const { return maxOffset_ < tam_; }
  // The guess where the bytes decide alone: bytes past the device's
  // locations fit only the two-byte layout; within them, a file in whole
  // pairs whose every second byte is 00 while some first byte is not
  // reads as two-byte too.
  bool DosBytes() const {
    return alineado_ && hayImpar_ && (maxOffset_ >= tam_ || (imparesCero_ && hayParNoCero_));
  }
  // Both layouts fit and place the bytes differently in `datos`.
  bool Ambigua(const TArea& datos) const {
    if (!hay_ || !CabenDosBytes() || !CabeUnByte()) return false;
    TArea uno = datos, dos = datos;
    Pone(uno, false);
    Pone(dos, true);
    return uno != dos;
  }
  // Places the bytes; 0, or error 9 when the one-byte layout is too long
  // for the device. Fills `informe` with the layout taken.
  uint8_t Coloca(TArea& datos, TDisposicionEeprom18 siAmbigua, TInformeCargaHex& informe) {
    if (!hay_) return 0;
    informe.HayEeprom18 = true;
    informe.EepromAmbigua = Ambigua(datos);
    const bool dosBytes = informe.EepromAmbigua ? siAmbigua == TDisposicionEeprom18::DosBytes : DosBytes();
    informe.Disposicion = dosBytes ? TDisposicionEeprom18::DosBytes : TDisposicionEeprom18::UnByte;
    if (!dosBytes && maxOffset_ >= tam_) {
      ContextoError.LineaHex = lineaFuera_;
      ContextoError.Direccion = direccionFuera_;
      return static_cast<uint8_t>(MuestraError(ContextoError, ErrHexDireccion));
    }
    Pone(datos, dosBytes);
    return 0;
  }

private:
  void Pone(TArea& datos, bool dosBytes) const {
    for (std::size_t o = 0; o < bytes_.size(); ++o) {
      if (bytes_[o] < 0) continue;
      const auto b = static_cast<uint8_t>(bytes_[o]);
      if (dosBytes)
        Pon(datos, static_cast<int64_t>(o / 2), o & 1, b);
      else if (o < datos.size())
        datos[o] = b;
    }
  }

  int64_t base_ = 0;
  std::size_t tam_ = 0;
  std::vector<int16_t> bytes_;
  bool hay_ = false;
  std::size_t maxOffset_ = 0;
  uint16_t lineaFuera_ = 0;
  uint32_t direccionFuera_ = 0;
  bool imparesCero_ = true, hayImpar_ = false, hayParNoCero_ = false, alineado_ = true;
};

// The log line of an ambiguous PIC18 data EEPROM: which layout was taken.
void AnotaEepromAmbigua(TDisposicionEeprom18 tomada) {
  const bool dos = tomada == TDisposicionEeprom18::DosBytes;
  InterfazOperacion().Log(" " + TextoIdioma("pg_avisos*", "0*") + " " + TextoIdioma("pg_avisos*", dos ? "1*" : "2*"));
}

// Writes the PIC18 data EEPROM one byte a location, the way every toolchain
// writes it. Records that keep to whole pairs with every second byte 00
// would fit the two-byte layout of older saves too (16-bit values below 256
// do that); the last record then gives its last byte a record of its own,
// so the file fits one layout only and reads back as saved, here and in any
// other tool.
void EscribeEepromPic18(const TPic& p, const std::array<uint16_t, TamDatos>& datos) {
  const uint16_t tam = std::min<uint16_t>(p.EeTam, TamDatos);
  std::vector<TTramoHex> tramos = TramosBytesHex(datos, 0, tam, static_cast<uint8_t>(p.EeMask));
  TEepromPic18 lectura;
  lectura.Prepara(p);
  const int64_t base = 2 * static_cast<int64_t>(p.EeIni);
  for (const TTramoHex& t : tramos) {
    lectura.Registro(base + t.Celda, t.Cuenta);
    for (uint32_t k = 0; k < t.Cuenta; ++k) lectura.Guarda(base + t.Celda + k, static_cast<uint8_t>(datos[t.Celda + k]));
  }
  if (lectura.CabenDosBytes()) {
    TTramoHex& ultimo = tramos.back();
    --ultimo.Cuenta;
    tramos.push_back({ultimo.Celda + ultimo.Cuenta, 1});
  }
  EscribeTramosBytesHex(datos, 0, tramos);
}

// The address map of the selected family: every file byte by its own
// address.
class TMapaHex {
public:
  TMapaHex(const TPic& pic, TBuffers& b) : p_(pic), b_(b) {
    if (p_.Familia == 18) ee18_.Prepara(p_);
  }

  uint8_t Registro(const TLineaHex& linea, uint64_t direccion) {
    if (p_.Familia == 18) ee18_.Registro(static_cast<int64_t>(direccion), linea.Longitud);
    for (uint8_t i = 0; i < linea.Longitud; ++i) {
      const auto f = static_cast<int64_t>(direccion + i);
      if (!Byte(f, linea.Datos[i])) {
        ContextoError.Direccion = static_cast<uint32_t>(f);
        return static_cast<uint8_t>(MuestraError(ContextoError, ErrHexDireccion));
      }
    }
    return 0;
  }

  uint8_t Termina(TDisposicionEeprom18 siAmbigua, TInformeCargaHex& informe) {
    if (p_.Familia == 10) return SobranteBaseline();
    if (p_.Familia != 18) return 0;
    const uint8_t r = ee18_.Coloca(b_.Datos, siAmbigua, informe);
    if (r == 0 && informe.EepromAmbigua) AnotaEepromAmbigua(informe.Disposicion);
    return r;
  }

private:
  // Places (or drops) the byte at file address f; false when the address
  // belongs to no area of the device.
  bool Byte(int64_t f, uint8_t v) {
    switch (p_.Familia) {
      case 10:
      case 16: return Byte14(f, v);
      case 18: return Byte18(f, v);
      case 30: return Byte30(f, v);
      default: return false;
    }
  }

  // 12- and 14-bit cores: word addresses.
  bool Byte14(int64_t f, uint8_t v) {
    const int64_t m = f / 2;
    const unsigned h = f & 1;
    if (EnRango(m, p_.ProgIni, p_.ProgFin)) Pon(b_.Prog, m - p_.ProgIni, h, v);
    else if (p_.IdNum && EnRango(m, p_.IdIni, p_.IdFin)) Pon(b_.Id, m - p_.IdIni, h, v);
    else if (p_.EeTam && EnRango(m, p_.EeIni, p_.EeFin)) Pon(b_.Datos, m - p_.EeIni, h, v);
    else if (p_.CfgNum && EnRango(m, p_.CfgIni, p_.CfgFin)) Pon(b_.Config, m - p_.CfgIni, h, v);
    else if (EnReservada14(m)) GuardaSobrante(m, h, v);
    else return false;
    return true;
  }

  bool EnReservada14(int64_t m) const {
    if (p_.Familia == 16) return EnRango(m, p_.IdIni, p_.IdIni + Reservada14Tam - 1);
    // Baseline: between the ID locations and the configuration word. The
    // word right after the ID locations is the backup calibration word,
    // which files read from a chip carry; the words past it are kept until
    // the end of the file to see whether they hold anything.
    return EnRango(m, std::min(p_.IdIni, p_.CfgIni), std::max(p_.IdFin, p_.CfgFin));
  }

  void GuardaSobrante(int64_t m, unsigned h, uint8_t v) {
    if (p_.Familia != 10 || m <= p_.IdFin + 1 || m >= p_.CfgIni) return;
    auto [it, nueva] = sobrante_.try_emplace(m, TSobrante{0xFFFF, ContextoError.LineaHex});
    (void)nueva;
    uint16_t& c = it->second.valor;
    c = h ? static_cast<uint16_t>((c & 0x00FF) | v << 8) : static_cast<uint16_t>((c & 0xFF00) | v);
  }

  // A file for a larger baseline part (a 10F202 file opened for a 10F200)
  // has program words past the ID locations: error 9 at the first word that
  // is not blank, instead of loading half of it without a word.
  uint8_t SobranteBaseline() {
    for (const auto& [m, s] : sobrante_) {
      if ((s.valor & p_.ProgMask) == p_.ProgMask) continue;
      ContextoError.LineaHex = s.linea;
      ContextoError.Direccion = static_cast<uint32_t>(2 * m);
      return static_cast<uint8_t>(MuestraError(ContextoError, ErrHexDireccion));
    }
    return 0;
  }

  // PIC18: byte addresses.
  bool Byte18(int64_t f, uint8_t v) {
    if (EnRango(f, p_.ProgIni, p_.ProgFin)) Pon(b_.Prog, (f - p_.ProgIni) / 2, f & 1, v);
    else if (ee18_.Contiene(f)) ee18_.Guarda(f, v);
    else if (p_.IdNum && EnRango(f, p_.IdIni, p_.IdFin)) Pon(b_.Id, (f - p_.IdIni) / 2, (f - p_.IdIni) & 1, v);
    else if (p_.CfgNum && EnRango(f, p_.CfgIni, p_.CfgFin)) Pon(b_.Config, (f - p_.CfgIni) / 2, (f - p_.CfgIni) & 1, v);
    else return EnRango(f, Reservada18Ini, Reservada18Fin);
    return true;
  }

  // dsPIC30: word addresses; an instruction is two cells, its upper byte
  // and a phantom zero byte in the second.
  bool Byte30(int64_t f, uint8_t v) {
    const int64_t m = f / 2;
    const unsigned h = f & 1;
    if (EnRango(m, p_.ProgIni, p_.ProgFin / 2)) Pon(b_.Prog, m - p_.ProgIni, h, v);
    else if (p_.EeTam && EnRango(m, p_.EeIni, p_.EeFin)) Pon(b_.Datos, m - p_.EeIni, h, v);
    else if (p_.ExecTam && EnRango(m, p_.ExecIni, p_.ExecIni + p_.ExecTam - 1)) Pon(b_.Exec, m - p_.ExecIni, h, v);
    else if (p_.CfgNum && EnRango(m, p_.CfgIni, p_.CfgFin)) {
      // Each configuration register takes four cells of the buffer: its
      // four file bytes (value and phantom word) go to the first two.
      const int64_t d = f - 2 * static_cast<int64_t>(p_.CfgIni);
      Pon(b_.Config, 4 * (d / 4) + (d % 4) / 2, h, v);
    } else {
      return EnRango(m, Reservada30Ini, Reservada30Fin);
    }
    return true;
  }

  struct TSobrante {
    uint16_t valor;  // the word, 0xFFFF until its bytes come
    uint16_t linea;  // the line of its first byte
  };

  const TPic& p_;
  TBuffers& b_;
  TEepromPic18 ee18_;
  std::map<int64_t, TSobrante> sobrante_;
};

// Restores ArchivoActual, which the messages name, when a load ends.
class TNombreEnCurso {
public:
  explicit TNombreEnCurso(const std::string& nombre) : anterior_(ArchivoActual) { ArchivoActual = nombre; }
  ~TNombreEnCurso() { ArchivoActual = anterior_; }
  TNombreEnCurso(const TNombreEnCurso&) = delete;
  TNombreEnCurso& operator=(const TNombreEnCurso&) = delete;

private:
  std::string anterior_;
};

}  // namespace

TEjecutivoConDatos PonEjecutivoConDatos(TEjecutivoConDatos consulta) {
  TEjecutivoConDatos anterior = std::move(consultaEjecutivo);
  consultaEjecutivo = std::move(consulta);
  return anterior;
}

bool EjecutivoConDatos() {
  if (consultaEjecutivo) return consultaEjecutivo();
  // The executive editor's rule on the image: a low word other than
  // 0xFFFF or an upper byte other than 0xFF.
  const auto& e = BufArchivo.Exec;
  const std::size_t n = std::min<std::size_t>(PicActual.ExecTam, e.size());
  for (std::size_t k = 0; k < n; ++k) {
    if ((k & 1) == 0 ? e[k] != 0xFFFF : (e[k] & 0xFF) != 0xFF) return true;
  }
  return false;
}

TInformeCargaHex InformeCargaHex;

uint8_t CargaHexTexto(std::string_view texto, TDisposicionEeprom18 siAmbigua) {
  InformeCargaHex = TInformeCargaHex{};
  LimpiaBufferB();
  TMapaHex mapa(PicActual, BufArchivo);
  uint8_t r = RecorreHex(texto, [&](const TLineaHex& l, uint64_t d) { return mapa.Registro(l, d); });
  if (r == 0) r = mapa.Termina(siAmbigua, InformeCargaHex);
  // Half a file must not pass for the file: nothing of it stays.
  if (r) {
    LimpiaBuffers(BufArchivo);
    InformeCargaHex = TInformeCargaHex{};
  }
  return r;
}

uint8_t CargaHex(const std::string& archivo, TDisposicionEeprom18 siAmbigua) {
  TNombreEnCurso nombre(archivo);
  std::string texto;
  if (uint8_t e = LeeArchivoEntero(archivo, texto)) {
    InformeCargaHex = TInformeCargaHex{};
    LimpiaBufferB();
    return e;
  }
  return CargaHexTexto(texto, siAmbigua);
}

void GeneraHex() {
  const TPic& p = PicActual;
  const TBuffers& b = BufArchivo;
  ArchivoHex.Salida.clear();
  ContextoError.LineaHex = 0;
  switch (p.Familia) {
    case 10:
    case 16:
      EscribeZonaHex(b.Prog, static_cast<uint32_t>(p.ProgIni), p.ProgTam, false, false, false, p.ProgMask);
      EscribeZonaHex(b.Id, static_cast<uint32_t>(p.IdIni), p.IdNum, false, false, false, p.IdMask);
      EscribeZonaHex(b.Config, static_cast<uint32_t>(p.CfgIni), p.CfgNum, false, false, false, p.CfgMask);
      EscribeZonaHex(b.Datos, static_cast<uint32_t>(p.EeIni), p.EeTam, false, false, false, p.EeMask);
      break;
    case 18:
      EscribeZonaHex(b.Prog, 0, p.ProgTam, true, false, false, p.ProgMask);
      EscribeExtendidaHex(0x0020);
      EscribeZonaHex(b.Id, 0, p.IdNum, false, false, false, p.IdMask);
      EscribeExtendidaHex(0x0030);
      EscribeZonaHex(b.Config, 0, p.CfgNum, false, false, false, p.CfgMask);
      // Data EEPROM one byte per location from 0xF00000.
      EscribeExtendidaHex(static_cast<uint16_t>((2 * static_cast<int64_t>(p.EeIni)) >> 16));
      EscribeEepromPic18(p, b.Datos);
      break;
    case 30:
      EscribeZonaHex(b.Prog, 0, p.ProgTam, true, false, true, p.ProgMask);
      for (uint32_t k = 0; k < 7; ++k) {
        EscribeExtendidaHex(0x01F0);
        EscribeZonaHex(std::span(b.Config).subspan(4 * k, 2), 2 * k, 2, false, false, false, 0xFFFF);
      }
      if (p.EeTam != 0) {
        EscribeExtendidaHex(0x00FF);
        EscribeZonaHex(b.Datos, static_cast<uint32_t>(p.EeIni) % 65536, p.EeTam, false, true, false, p.EeMask);
      }
      if (EjecutivoConDatos()) {
        EscribeExtendidaHex(0x0100);
        EscribeZonaHex(b.Exec, 0, p.ExecTam, false, false, true, p.ProgMask);
      }
      break;
    default:
      break;
  }
  EscribeFinHex();
}

uint8_t GuardaHex(const std::string& archivo) {
  GeneraHex();
  const uint16_t registros = ContextoError.LineaHex;
  const uint8_t r = GuardaArchivoEntero(archivo, ArchivoHex.Salida);
  ContextoError.LineaHex = registros;
  ArchivoHex.Salida = std::string();
  return r;
}
