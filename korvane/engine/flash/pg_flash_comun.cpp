#include "flash/pg_flash_comun.h"

#include <cstdio>

#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_pic.h"

void PonMaximoProgreso(uint32_t maximo) {
  ProgresoFw.Maximo = maximo;
  InterfazOperacion().Progreso(ProgresoFw.Posicion, ProgresoFw.Maximo);
}

void PonProgreso(uint32_t posicion) {
  ProgresoFw.Posicion = posicion;
  InterfazOperacion().Progreso(ProgresoFw.Posicion, ProgresoFw.Maximo);
}

void SumaProgreso(uint32_t n) { AvanzaProgresoFw(n); }

uint32_t MaximoDispositivo() {
  return PicActual.ProgTam + PicActual.CfgNum + PicActual.IdNum + PicActual.EeTam;
}

std::string LineaZona(const std::string& accion, const std::string& zona, uint32_t cuenta,
                      const std::string& tipo) {
  char n[16];
  std::snprintf(n, sizeof n, "%6u", static_cast<unsigned>(cuenta));
  return " " + accion + " " + zona + n + " " + tipo;
}

void PanelRetardo() {
  InterfazOperacion().Panel(2, "Pgm - " + std::to_string(RetardoPgm) + " ms");
}

void LimpiaPanel() { InterfazOperacion().Panel(2, ""); }

void Incrementa(uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) EnviaComando6(6);
}

bool CanceladoEnZona() {
  ProcesaMensajes();
  if (!Cancelado) return false;
  MuestraError(ContextoError, ErrCancelado);
  SaleProgramacion();
  return true;
}

bool FallaEscritura() {
  SaleProgramacion();
  MuestraError(ContextoError, ErrEscritura);
  return true;
}

bool EscribeZonaIcsp(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blanco,
                     uint8_t carga, uint8_t inicio, uint8_t fin, uint8_t lectura) {
  for (uint32_t a = first; a <= last; ++a) {
    SumaProgreso(1);
    const uint16_t celda = buffer[a - first];
    if (celda != blanco) {
      ContextoError.Direccion = a;
      EnviaComando6(carga);
      EnviaDato14(celda);
      EnviaComando6(inicio);
      EsperaMs(RetardoPgm);
      if (fin) EnviaComando6(fin);
      EnviaComando6(lectura);
      ContextoError.Leido = LeeDato14() & blanco;
      ContextoError.Esperado = celda & blanco;
      if (ContextoError.Leido != ContextoError.Esperado) return FallaEscritura();
    }
    EnviaComando6(6);
    if (CanceladoEnZona()) return true;
  }
  SaleProgramacion();
  return false;
}

// The flash list's index means nothing while an EPROM part is selected: it
// is then outside every group.
uint8_t IndicePic() { return ClaseDispositivo == 1 ? 255 : IndiceListPics; }

bool EnLista(uint8_t indice, std::initializer_list<uint8_t> lista) {
  for (uint8_t i : lista)
    if (i == indice) return true;
  return false;
}

bool GrupoOscCalBandGap() { return EnLista(IndicePic(), {4, 6, 12, 16}); }

uint32_t DireccionOscCal() {
  if (GrupoOscCalBandGap()) return 0x3FF;
  if (PicActual.Familia == 10 && IndicePic() <= 3) return PicActual.ProgFin;
  return UINT32_MAX;
}

uint8_t CeldasCalConfig() {
  if (EnLista(IndicePic(), {5, 13, 14})) return 2;
  if (EnLista(IndicePic(), {7, 17, 18})) return 1;
  return 0;
}

std::string HexDigitos(uint32_t valor, int digitos) {
  char t[16];
  std::snprintf(t, sizeof t, "%0*X", digitos, static_cast<unsigned>(valor));
  return t;
}
