// Pieces shared by the flash and EPROM routines: the gauge, the log lines,
// the counter increments, the cancel check and the device groups.
#pragma once

#include <cstdint>
#include <string>

// Gauge of the operation window (kept with the firmware link's position).
void PonMaximoProgreso(uint32_t maximo);
void PonProgreso(uint32_t posicion);
void SumaProgreso(uint32_t n);
// Maximum of a whole-device run: ProgTam + CfgNum + IdNum + EeTam.
uint32_t MaximoDispositivo();

// " " + action + " " + area + count right-aligned in 6 + " " + kind.
std::string LineaZona(const std::string& accion, const std::string& zona, uint32_t cuenta,
                      const std::string& tipo);
// "Pgm - " + RetardoPgm + " ms" in the operation window's second status pane.
void PanelRetardo();
void LimpiaPanel();

// n increment-address commands (6).
void Incrementa(uint32_t n);
// Pumps messages; when the user has cancelled: error 22, programming mode
// left, true.
bool CanceladoEnZona();
// A word that did not take: programming mode left, write error 11 with
// the address and values in ContextoError, true.
bool FallaEscritura();

// The pin-level write of an area already positioned at `first`: every word
// that is not blank is loaded (carga), programmed (inicio, the programming
// delay, fin when non-zero), read back (lectura) and compared under the
// blank mask; the address advances after every word. A mismatch is write
// error at that address. Programming mode is left at the end; true on
// failure or cancel.
bool EscribeZonaIcsp(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blanco,
                     uint8_t carga, uint8_t inicio, uint8_t fin, uint8_t lectura);

// ListPics index of the selected flash device (255 for an EPROM part), and its groups.
uint8_t IndicePic();
bool EnLista(uint8_t indice, std::initializer_list<uint8_t> lista);
bool GrupoOscCalBandGap();   // 12F629 group: OSCCAL at 0x3FF and band-gap bits
// The program address of the factory OSCCAL word that programming keeps:
// 0x3FF in the 12F629 group, the last program word of a 10F20x; none
// (UINT32_MAX) for the other parts.
uint32_t DireccionOscCal();
// Calibration cells at the end of the configuration area (0 none).
uint8_t CeldasCalConfig();   // 2 for ListPics 5, 13, 14; 1 for 7, 17, 18

// A number as upper-case hex digits, zero-padded.
std::string HexDigitos(uint32_t valor, int digitos);
