// Table cases for the configuration codec: words in → control states →
// words out, a state set by control names, and the load/save sweep over
// every device of a kind.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "conf/CodecConf.h"

// Names of the ticked check boxes and of the chosen radio buttons or list
// items; every other applicable check box is not ticked and every other
// field has nothing chosen.
using TMarcados = std::set<std::string>;

struct TCasoCarga {
  int dispositivo;
  std::vector<uint16_t> entra;
  TMarcados marcados;
  std::vector<uint16_t> sale;  // what a save of the loaded state writes
};

struct TCasoGuarda {
  int dispositivo;
  TMarcados marcados;
  std::vector<uint16_t> sale;
  std::vector<uint16_t> mascara = {};  // compared bits per word (empty: all)
};

// The state that `marcados` describes on a device (fails the test on a name
// that is not an applicable control or option of the table).
TEstadoConf EstadoDe(const TTablaConf& t, int dispositivo, const TMarcados& marcados, uint16_t id = 0);
// The names a state ticks, over the controls that apply to the device.
TMarcados MarcadosDe(const TTablaConf& t, int dispositivo, const TEstadoConf& e);

void CompruebaCarga(const TTablaConf& t, const TCasoCarga& c);
void CompruebaGuarda(const TTablaConf& t, const TCasoGuarda& c);

// Devices of the catalogue list `clase` whose editor is `tipo`.
std::vector<int> DispositivosDe(uint8_t clase, uint8_t tipo);

// For every device of the kind and many random words w: s1 = save(load(w))
// and s2 = save(load(s1)) agree, s1 equals w on the bits of every field not
// named in `perdidos` (fields whose several encodings load to one state),
// and bits no field covers are written as the base word's (kept as loaded
// on tables with `conservaLibres`).
void Barrido(const TTablaConf& t, const std::set<std::string>& perdidos);

// What a device shows of a control or option, by name.
struct TCasoVista {
  int dispositivo;
  const char* nombre;  // option (radio button, item) or control
  bool visible;
  bool habilitado;
  const char* texto;  // nullptr: not compared
};
void CompruebaVista(const TTablaConf& t, const TCasoVista& c);
