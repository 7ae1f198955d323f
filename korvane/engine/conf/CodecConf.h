// Configuration-word editors as data: a table per editor kind says which
// controls exist, which bits each writes and how a word is read back into
// them; this codec (no Qt) turns words into control states and back, and
// one generic widget (app/conf/EditorTabla.h) draws any table.
//
// Adding an editor group
//   1. Write a `TTablaConf` in a new file of this folder (see Tabla16F8x.cpp):
//      its words (`base`: the value each word is built from), one `TGrupoConf`
//      per control group with the devices it serves, and the controls of the
//      group in the order they are drawn. Helpers below make the common rules
//      one line each: Casilla1/Casilla0 (a bit that a tick sets or clears),
//      Radios (a field whose buttons write a value; a pattern that matches no
//      button loads as none ticked and saves as all ones), Lista (the same
//      drawn as a combo box, one item per value), and `Espejo` fields whose
//      save mask covers several bit pairs while the load reads one of them.
//   2. Per-device differences are data on the control or the option:
//      `soloEn` (not applicable elsewhere: hidden, not loaded, not written),
//      `ocultoEn` (hidden but still loaded and written, so the bits survive),
//      `deshabilitadoEn`, and `textos` (caption overrides by device). Bits a
//      part lacks go in the table's `mascara` (read through on load, applied
//      after save and by an editor's SetMask to the caller's buffer set), and
//      a control that counts only while another has some choice takes `Si`.
//   3. Return the table from TablaConf() (TablasConf.cpp) for its kind
//      (TEditorConf of the catalogue, which is the one device → kind table).
//   4. Only what a table cannot say goes into a widget hook (a subclass of
//      TFEditorTabla): extra labels, language texts, engine flags.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

// A set of devices: indexes of the editor's device list (the flash list for
// every kind but the EPROM editor, whose indexes are the EPROM list's).
using TDispositivos = std::bitset<128>;
TDispositivos Disp(std::initializer_list<int> indices);
TDispositivos DispRango(int primero, int ultimo);
inline TDispositivos DispTodos() { return ~TDispositivos{}; }

// A caption that replaces the control's own on some devices (first match).
struct TTextoDisp {
  TDispositivos dispositivos;
  std::string texto;
};

// A control that counts only while another control of the table has one of
// some options (with `excepto`: none of them). While it does not count it
// is neither written nor shown, and keeps its state. Two lists on one
// field, one for each choice of a third control, are the case.
struct TSiConf {
  std::string control;  // empty: always counts
  std::vector<int> opciones;
  bool excepto = false;
};

// One choice of a field: a radio button, a list item, or a check box state.
struct TOpcionConf {
  std::string nombre;      // object name of the button (list items: unused)
  std::string texto;       // caption; empty: the name
  uint16_t guarda = 0;     // bits written, under the field's `mascara`
  uint16_t mascaraCarga = 0;  // loads as this option when
  uint16_t carga = 0;         //   (word & mascaraCarga) == carga; with no
                              //   mask: when no other option matches
  TDispositivos ocultoEn{};
  TDispositivos deshabilitadoEn{};
  std::vector<TTextoDisp> textos{};
};

enum class TClaseControl : uint8_t {
  Casilla,  // check box: option 0 not ticked, option 1 ticked
  Radios,   // radio buttons in a box titled `texto`
  Lista,    // combo box; options are its items
};

struct TControlConf {
  TClaseControl clase = TClaseControl::Casilla;
  std::string nombre;  // object name of the check box, radio box or combo
  std::string texto;   // caption or box title; empty: the name
  uint8_t palabra = 0;     // configuration word the field lives in
  uint16_t mascara = 0;    // every bit the field writes
  std::vector<TOpcionConf> opciones;
  TDispositivos soloEn = DispTodos();
  TDispositivos ocultoEn{};
  TDispositivos deshabilitadoEn{};
  std::vector<TTextoDisp> textos{};
  uint8_t columna = 0;  // column of the group it is drawn in
  TSiConf si{};

  // Adjusted copies, for writing tables one control a line.
  TControlConf En(TDispositivos d) const;               // soloEn
  TControlConf OcultoEn(TDispositivos d) const;
  TControlConf Col(uint8_t c) const;
  TControlConf Texto(const std::string& t) const;
  TControlConf TextoEn(TDispositivos d, const std::string& t) const;
  TControlConf OpcionOcultaEn(int opcion, TDispositivos d) const;
  TControlConf OpcionDeshabilitadaEn(int opcion, TDispositivos d) const;
  TControlConf OpcionTextoEn(int opcion, TDispositivos d, const std::string& t) const;
  // Captions of the options from `primera` on, in order.
  TControlConf OpcionesTextoEn(TDispositivos d, int primera, const std::vector<std::string>& t) const;
  TControlConf Si(const std::string& control, std::vector<int> opciones, bool excepto = false) const;
};

// A hex label that shows one word ("prefijo" before the four digits).
struct TEtiquetaConf {
  std::string nombre;
  std::string prefijo;
  uint8_t palabra = 0;
  TDispositivos soloEn = DispTodos();
};

struct TGrupoConf {
  std::string nombre;  // object name of the group box
  std::string texto;   // its title
  TDispositivos dispositivos;
  std::vector<TControlConf> controles;
  std::vector<TEtiquetaConf> etiquetas;
};

struct TEstadoConf;
struct TVistaConf;

struct TTablaConf {
  uint8_t tipo = 255;         // TEditorConf
  uint8_t claseLista = 0;     // device list the indexes refer to (0 flash, 1 EPROM)
  std::string nombre;         // object name of the editor ("FC_16F8x")
  std::vector<uint16_t> base;  // words written, each built from this value
  uint16_t ancho = 0x3FFF;    // bits of a word; the ID words' upper bits too
  std::vector<TGrupoConf> grupos;
  int grupoPorDefecto = -1;   // group of a device no group lists (-1: none)
  bool conId = true;          // the four ID words carry one nibble each (ID box)
  // Bits each word has on a device (unset, or a shorter list: every bit).
  // A load reads the words through it and a save ends with it, so the
  // bits of features a part lacks are 0 whatever a hidden control says.
  std::function<std::vector<uint16_t>(int dispositivo)> mascara;
  // Bits of the mask that no control of the device writes keep what was
  // loaded (erased: the base word's), so a save never undoes a setting the
  // editor has no control for, such as a protection register's.
  bool conservaLibres = false;

  // Steps a table cannot say in rows (empty: none). `ajustaEstado` runs
  // after every load and every user change (one field's choice that moves
  // another); `ajustaVista` adjusts what is shown from the state (a list
  // enabled only while some option is chosen).
  std::function<void(int dispositivo, TEstadoConf& e)> ajustaEstado;
  std::function<void(int dispositivo, const TEstadoConf& e, TVistaConf& v)> ajustaVista;
};

// --- Control states --------------------------------------------------------

// Every control of the table, in table order (group by group), has one
// value: the option index (check box: 0 or 1), or -1 for none chosen.
struct TEstadoConf {
  uint16_t id = 0;
  std::vector<int> valores;
  // The loaded words, masked (tables with `conservaLibres`; empty: the
  // base words): where the bits no control writes come from.
  std::vector<uint16_t> libres{};
  bool operator==(const TEstadoConf&) const = default;
};

// Where a control lives in the flattened order.
struct TRefControl {
  int grupo = -1;
  int control = -1;
};

int NumControles(const TTablaConf& t);
const TControlConf& ControlN(const TTablaConf& t, int n);
// Flattened index of the first control named `nombre` (-1: none).
int BuscaControl(const TTablaConf& t, const std::string& nombre);
// Flattened index and option of the radio button or list item named
// `nombre` ({-1, -1}: none).
std::pair<int, int> BuscaOpcion(const TTablaConf& t, const std::string& nombre);
// The same among the controls that apply to a device (two controls that
// never apply to one device may share names).
std::pair<int, int> BuscaOpcion(const TTablaConf& t, const std::string& nombre, int dispositivo);

// Group shown for a device (-1: none, only the ID and base words).
int GrupoDe(const TTablaConf& t, int dispositivo);
// Whether a control is loaded and written on a device: its group is the
// device's and `soloEn` has the device.
bool Aplica(const TTablaConf& t, int n, int dispositivo);

// --- ID words ----------------------------------------------------------------

// The ID value from the four ID words: the low nibble of each, the first
// word giving the highest.
uint16_t IDtoBuffer(std::span<const uint16_t> id);
// Writes the four ID words from a value: one nibble each, every other bit
// of the word width set (0x3FF0 on the 14-bit parts, 0x0FF0 on the 12-bit).
void BufferToID(std::span<uint16_t> id, uint16_t valor, uint16_t ancho = 0x3FFF);

// --- Codec -----------------------------------------------------------------

// Words → states. Controls that do not apply to the device get -1 (check
// boxes 0). `config` holds at least the table's words (missing ones read
// as all ones). Runs the table's `ajustaEstado`.
TEstadoConf CargaConf(const TTablaConf& t, int dispositivo, std::span<const uint16_t> id,
                      std::span<const uint16_t> config);
// States → words: the ID words (tables with `conId`), then every word of the table from its base;
// each applicable field clears the bits its state does not set (a radio
// field with none chosen stays all ones).
void GuardaConf(const TTablaConf& t, int dispositivo, const TEstadoConf& e, std::span<uint16_t> id,
                std::span<uint16_t> config);
// The bits of each word that no control applying to the device writes,
// within the device's mask (what `conservaLibres` keeps).
std::vector<uint16_t> BitsLibres(const TTablaConf& t, int dispositivo);
// Whether control n counts in state e (its `si` condition holds).
bool Cuenta(const TTablaConf& t, int n, const TEstadoConf& e);
// The device's mask applied to a caller's words (the editors whose load
// clears, in the caller's buffer too, the bits the part lacks).
void MascaraConf(const TTablaConf& t, int dispositivo, std::span<uint16_t> config);

// The words alone, for the hex labels.
std::vector<uint16_t> PalabrasConf(const TTablaConf& t, int dispositivo, const TEstadoConf& e);

// --- What the widget shows for a device ----------------------------------------

struct TVistaOpcion {
  bool visible = true;
  bool habilitado = true;
  std::string texto;
};
struct TVistaControl {
  bool visible = true;
  bool habilitado = true;
  std::string texto;
  std::vector<TVistaOpcion> opciones;
};
struct TVistaConf {
  int grupo = -1;
  std::vector<TVistaControl> controles;  // flattened order
};
// Recomputed in full for every device, so nothing a previous device set
// (a disabled button, a caption) is carried over. With a state, the table's
// `ajustaVista` runs on it.
TVistaConf VistaConf(const TTablaConf& t, int dispositivo, const TEstadoConf* e = nullptr);

// Four upper-case hex digits.
std::string Hex4(uint16_t valor);

// --- Helpers for writing tables -------------------------------------------------

// A check box on one bit: ticked writes 1 (Casilla1) or 0 (Casilla0).
TControlConf Casilla1(const std::string& nombre, uint8_t palabra, int bit);
TControlConf Casilla0(const std::string& nombre, uint8_t palabra, int bit);
// A check box over several bits: ticked writes `marcada`, not ticked
// `libre`; it loads ticked when (word & mascaraCarga) == cargaMarcada.
// (A box whose option 0 has a load mask loads not ticked only when that
// option matches, and ticked from every other pattern.)
TControlConf CasillaBits(const std::string& nombre, uint8_t palabra, uint16_t mascara,
                         uint16_t marcada, uint16_t libre, uint16_t mascaraCarga,
                         uint16_t cargaMarcada);

// A radio option that loads from the same pattern it saves.
struct TOpcionSimple {
  std::string nombre;
  uint16_t valor;
  std::string texto = {};
};
// Radio buttons over `mascara`; option i loads when (word & mascara) == valor.
TControlConf Radios(const std::string& nombre, const std::string& titulo, uint8_t palabra,
                    uint16_t mascara, std::vector<TOpcionSimple> opciones);
// The same as a combo box.
TControlConf Lista(const std::string& nombre, const std::string& titulo, uint8_t palabra,
                   uint16_t mascara, std::vector<TOpcionSimple> opciones);
// Radio buttons whose value is written into every bit pair of `mascara`
// (each option's `valor` is the whole pattern) and read back from the bits
// of `mascaraCarga` only.
TControlConf Espejo(const std::string& nombre, const std::string& titulo, uint8_t palabra,
                    uint16_t mascara, uint16_t mascaraCarga, std::vector<TOpcionSimple> opciones);
