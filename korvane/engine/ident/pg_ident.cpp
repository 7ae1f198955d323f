#include "ident/pg_ident.h"

#include <array>

#include "dspic/pg_dspic.h"
#include "ident/pg_id_fw.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"

namespace {

enum class TComparacion : uint8_t { Mascara3FE0, Entera, Mascara3FF0 };

struct TId14 {
  uint16_t Id;
  TComparacion Como;
  const char* Nombre;
  uint8_t Indice;
};

constexpr std::array<TId14, 40> Tabla14 = {{
    {0x0460, TComparacion::Mascara3FE0, "12F683", 7},   {0x0560, TComparacion::Mascara3FE0, "16F84A", 30},
    {0x0600, TComparacion::Mascara3FE0, "16F73", 19},   {0x0620, TComparacion::Mascara3FE0, "16F74", 20},
    {0x0640, TComparacion::Mascara3FE0, "16F76", 21},   {0x0660, TComparacion::Mascara3FE0, "16F77", 22},
    {0x07A0, TComparacion::Mascara3FE0, "16F627", 8},   {0x07C0, TComparacion::Mascara3FE0, "16F628", 10},
    {0x08E0, TComparacion::Mascara3FE0, "16F872", 37},  {0x0920, TComparacion::Mascara3FE0, "16F874", 40},
    {0x0960, TComparacion::Mascara3FE0, "16F873", 38},  {0x09A0, TComparacion::Mascara3FE0, "16F877", 44},
    {0x09E0, TComparacion::Mascara3FE0, "16F876", 42},  {0x0D00, TComparacion::Mascara3FE0, "16F870", 35},
    {0x0D20, TComparacion::Mascara3FE0, "16F871", 36},  {0x0F80, TComparacion::Mascara3FE0, "12F629", 4},
    {0x0FA0, TComparacion::Mascara3FE0, "12F635", 5},   {0x0FC0, TComparacion::Mascara3FE0, "12F675", 6},
    {0x1040, TComparacion::Mascara3FE0, "16F627a", 9},  {0x1060, TComparacion::Mascara3FE0, "16F628a", 11},
    {0x1080, TComparacion::Mascara3FE0, "16F684", 17},  {0x10A0, TComparacion::Mascara3FE0, "16F636", 13},
    {0x10C0, TComparacion::Mascara3FE0, "16F630", 12},  {0x10E0, TComparacion::Mascara3FE0, "16F676", 16},
    {0x1100, TComparacion::Mascara3FE0, "16F648a", 15}, {0x1140, TComparacion::Mascara3FE0, "16F716", 23},
    {0x1180, TComparacion::Mascara3FE0, "16F688", 18},  {0x1580, TComparacion::Mascara3FE0, "16F639", 14},
    {0x0BA1, TComparacion::Entera, "16F737", 24},       {0x0BE1, TComparacion::Entera, "16F747", 25},
    {0x0EA1, TComparacion::Entera, "16F767", 26},       {0x0DE1, TComparacion::Entera, "16F777", 27},
    {0x04C0, TComparacion::Mascara3FF0, "16F818", 33},  {0x04E0, TComparacion::Mascara3FF0, "16F819", 34},
    {0x0720, TComparacion::Mascara3FF0, "16F87", 31},   {0x0760, TComparacion::Mascara3FF0, "16F88", 32},
    {0x0E00, TComparacion::Mascara3FF0, "16F876a", 43}, {0x0E20, TComparacion::Mascara3FF0, "16F877a", 45},
    {0x0E40, TComparacion::Mascara3FF0, "16F873a", 39}, {0x0E60, TComparacion::Mascara3FF0, "16F874a", 41},
}};

struct TId18 {
  uint16_t Id;
  const char* Nombre;
  uint8_t Indice;
};

constexpr std::array<TId18, 52> Tabla18 = {{
    {0x0400, "18F252", 48},  {0x0420, "18F452", 52},  {0x0480, "18F242", 46},  {0x04A0, "18F442", 50},
    {0x0500, "18F2320", 57}, {0x0520, "18F4320", 59}, {0x0580, "18F2220", 56}, {0x05A0, "18F4220", 58},
    {0x0600, "18F8720", 69}, {0x0620, "18F6720", 66}, {0x0640, "18F8620", 68}, {0x0660, "18F6620", 65},
    {0x07C0, "18F1320", 55}, {0x07E0, "18F1220", 54}, {0x0800, "18F248", 47},  {0x0820, "18F448", 51},
    {0x0840, "18F258", 49},  {0x0860, "18F458", 53},  {0x0880, "18F4431", 63}, {0x08A0, "18F4331", 62},
    {0x08C0, "18F2431", 61}, {0x08E0, "18F2331", 60}, {0x0B00, "18F8520", 67}, {0x0B20, "18F6520", 64},
    {0x0C00, "18F4620", 96}, {0x0C20, "18F4610", 95}, {0x0C40, "18F4525", 91}, {0x0C60, "18F4515", 89},
    {0x0C80, "18F2620", 82}, {0x0CA0, "18F2610", 81}, {0x0CC0, "18F2525", 77}, {0x0CE0, "18F2515", 75},
    {0x0E80, "18F4680", 97}, {0x0EA0, "18F4585", 94}, {0x0EC0, "18F2680", 83}, {0x0EE0, "18F2585", 80},
    {0x1080, "18F4520", 90}, {0x10A0, "18F4510", 88}, {0x10C0, "18F4420", 85}, {0x10E0, "18F4410", 84},
    {0x1100, "18F2520", 76}, {0x1120, "18F2510", 74}, {0x1140, "18F2420", 71}, {0x1160, "18F2410", 70},
    {0x1200, "18F4550", 92}, {0x1220, "18F4455", 86}, {0x1240, "18F2550", 78}, {0x1260, "18F2455", 72},
    {0x1A80, "18F4580", 93}, {0x1AA0, "18F4480", 87}, {0x1AC0, "18F2580", 79}, {0x1AE0, "18F2480", 73},
}};

void Vacio(TModel& model, uint8_t responde) {
  model.Responde = responde;
  model.Nombre.clear();
  model.Indice = 29;
  model.Encontrado = false;
}

void Nombra(TModel& model, const char* nombre, uint8_t indice) {
  model.Nombre = nombre;
  model.Indice = indice;
  model.Encontrado = true;
}

}  // namespace

bool BuscaId14(uint16_t id, uint8_t& indice, const char*& nombre) {
  const std::pair<TComparacion, uint16_t> pasadas[] = {
      {TComparacion::Mascara3FE0, static_cast<uint16_t>(id & 0x3FE0)},
      {TComparacion::Entera, id},
      {TComparacion::Mascara3FF0, static_cast<uint16_t>(id & 0x3FF0)},
  };
  for (const auto& [como, valor] : pasadas) {
    for (const auto& e : Tabla14) {
      if (e.Como == como && e.Id == valor) {
        indice = e.Indice;
        nombre = e.Nombre;
        return true;
      }
    }
  }
  return false;
}

bool BuscaId18(uint16_t id, uint8_t& indice, const char*& nombre) {
  const uint16_t valor = id & 0xFFE0;
  for (const auto& e : Tabla18) {
    if (e.Id == valor) {
      indice = e.Indice;
      nombre = e.Nombre;
      return true;
    }
  }
  return false;
}

void DetectaPic16(TModel& model) {
  uint16_t id = 0x3FFF;
  bool buena = true;
  if (USB_COM) {
    buena = LeeIdFirmware('4', id);
  } else {
    EntraProgramacion();
    EnviaComando6(0);
    EnviaDato14(PicActual.ProgMask);
    for (int i = 0; i < 6; ++i) EnviaComando6(6);
    EnviaComando6(4);
    id = LeeDato14();
  }
  Vacio(model, id != 0x3FFF ? 1 : 0);
  uint8_t indice = 0;
  const char* nombre = nullptr;
  if (model.Responde && buena && BuscaId14(id, indice, nombre)) Nombra(model, nombre, indice);
}

void DetectaPic18(TModel& model) {
  if (!USB_COM) EntraProgramacion();
  LeeIdDsPic(model);
  if (model.Indice != 255) return;
  uint16_t id = 0xFFFF;
  bool buena = true;
  if (USB_COM) {
    buena = LeeIdFirmware('5', id);
  } else {
    EntraProgramacion();
    PonTblptr(0x3FFFFE);
    id = LeeTabla2();
  }
  Vacio(model, id != 0xFFFF ? 1 : 0);
  uint8_t indice = 0;
  const char* nombre = nullptr;
  if (model.Responde && buena && BuscaId18(id, indice, nombre)) Nombra(model, nombre, indice);
}

bool SeleccionConId() {
  if (ClaseDispositivo != 0) return false;
  if (PicActual.Familia == 30) return true;
  for (const auto& e : Tabla14)
    if (e.Indice == IndiceListPics) return true;
  for (const auto& e : Tabla18)
    if (e.Indice == IndiceListPics) return true;
  return false;
}

void DetectaPic(TModel& model) {
  model.Responde = 0;
  model.Encontrado = false;
  model.LineaQuieta = false;
  MuestraDato = {};
  VppAntesVdd = false;
  if (!Usa_Vpp2 && ClaseDispositivo == ClaseI2C) return;
  const bool zocaloAnterior = Zocalo2;
  const int pasadas = Usa_Vpp2 ? 2 : 1;
  int fallidas = 0;
  for (int p = 0; p < pasadas; ++p) {
    if (Usa_Vpp2) Zocalo2 = p == 0;
    DetectaPic16(model);
    if (!model.Responde) DetectaPic18(model);
    if (ClaseDispositivo == ClaseI2C || model.Encontrado || model.Responde) break;
    ++fallidas;
  }
  // The part answered only on the first socket's line (the second pass).
  if (fallidas == 1) model.Responde = 0;
  Zocalo2 = Usa_Vpp2 ? zocaloAnterior : false;
  if (!model.Encontrado && !model.Responde) {
    VppAntesVdd = true;
    DetectaPic16(model);
    if (model.Encontrado)
      InterfazOperacion().Log(" " + TextoIdioma("Conf_fc16F6xx*", "**1"));
    else
      VppAntesVdd = false;
  }
  if (!model.Encontrado) model.Nombre = TextosEntorno[12];
  if (ClaseDispositivo != ClaseEprom && ClaseDispositivo != ClaseI2C) InterfazOperacion().Log(" " + TextosEntorno[13] + " -> " + model.Nombre);
  IndiceDetectado = model.Encontrado ? model.Indice : 255;
  model.LineaQuieta = !model.Encontrado && !USB_COM && MuestraDato.Lecturas > 0 && !MuestraDato.Cambio &&
                      SeleccionConId();
  SaleProgramacion();
}

uint8_t DetectaPicCodigo(TModel& model) {
  ContextoError.Codigo = 0;
  DetectaPic(model);
  return static_cast<uint8_t>(ContextoError.Codigo);
}
