// Korvane.ini, the program's settings file, and the small pieces of text
// and number handling the main window shares with its dialogs. Nothing here
// touches a widget.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TRegAuto;

// The settings file's name, in the program folder.
inline constexpr const char* kArchivoAjustes = "Korvane.ini";
// Most entries of the recent-file list.
inline constexpr std::size_t kMaxRecientes = 10;

// Section "Parametros" (in writing order) and "Recientes".
struct TAjustes {
  uint8_t Pic = 0;   // ListPics item
  uint8_t PicC = 0;  // ListPicsC item
  uint8_t I2C = 0;   // ListEeprom item
  uint8_t Dev = 0;   // SelecDev item: the device class
  bool ClosW = false;
  std::string InitDir;
  std::string TPH = "Korvane";
  bool VDurante = true;
  bool VDespues = false;
  bool PMsgs = false;
  bool AutoPic = true;
  bool AutoSel = false;
  bool Reabrir = false;
  std::vector<std::string> Recientes;  // newest first
};

// Reads the file `ini` points at (missing file or keys: the defaults). A list
// index outside its list, or -1 for "nothing selected", becomes 0, so an
// edited or stale file never selects a device that is not there. Recent
// entries that could not have been stored whole are dropped, and at most
// kMaxRecientes are kept.
TAjustes LeeAjustes(const TRegAuto& ini);
// Writes the 13 keys in order, then the recent list. False when a value did
// not reach the file (the reason is in ini.UltimoError()).
bool GuardaAjustes(TRegAuto& ini, const TAjustes& ajustes);

// A file name the recent list can hold: not empty, and without '|' or a line
// break, which would split it into two entries of the stored list.
bool NombreRecienteValido(const std::string& nombre);
// Moves or puts `nombre` at the top (exact, case-sensitive match) and keeps
// at most kMaxRecientes entries. A name the list cannot hold is not added.
void AgregaReciente(std::vector<std::string>& lista, const std::string& nombre);

// The status bar's file field: " " + name, shortened with "...." to 172
// characters of that text (maximised window, names of 175 or more) or to
// 86 (normal window, names of 88 or more).
std::string TextoCampoArchivo(const std::string& nombre, bool maximizada);

// Hex digits to a number, either letter case. Empty text, any other
// character or more than 8 digits: no value.
std::optional<uint32_t> HextoInt(const std::string& texto);
// `texto` preceded by blanks up to `ancho` characters.
std::string PosIzquierda(const std::string& texto, uint8_t ancho);

// A search text of hex digits holds whole bytes: an odd final digit goes.
std::string RecortaBusqueda(const std::string& texto);
// The hex digits of a search text as bytes.
std::vector<uint8_t> BytesBusqueda(const std::string& texto);
// The "not found" message: "4*" + line break + "0*" + " " + the first 50
// characters of the text, with "..." when it is longer.
std::string MensajeNoEncontrado(const std::string& texto4, const std::string& texto0, const std::string& busqueda);

// A fill address typed by the user, against the last word address of the
// grid: inside the memory it stays as typed; beyond it, it is masked with
// the last address when the memory's size is a power of two (the address
// wraps around as the part would), else it is the last address.
uint32_t AjustaDireccionLlenar(uint32_t valor, uint32_t ultima);
