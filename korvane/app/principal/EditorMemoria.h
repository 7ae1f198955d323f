// What the main window asks of the grid editor that shows one memory of the
// current device (program memory or a whole serial EEPROM, data EEPROM,
// dsPIC executive). Positions are byte offsets of the editor's image; word
// addresses are device word addresses.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class TEditorMemoria {
public:
  virtual ~TEditorMemoria() = default;
  virtual QWidget* Widget() = 0;

  // The layout flags the main window sets per device class.
  virtual void PonEeprom(bool eepromInt, bool eeI2C) = 0;
  virtual bool EepromInt() const = 0;
  virtual bool DSPIC() const = 0;

  // Word array → image and back (high byte first per word; 24-bit groups on
  // a dsPIC program memory). Loading 0 words into an EEPROM layout hides
  // the editor.
  virtual void LoadFromWordBuffer(const uint16_t* palabras, uint32_t cuenta, bool dspic, int32_t base,
                                  uint32_t mascara) = 0;
  virtual void SaveToWordBuffer(uint16_t* palabras, uint32_t cuenta, bool dspic) = 0;
  // Word count of the last load (halved for a dsPIC EEPROM).
  virtual uint32_t WordCount() const = 0;
  // The high byte of the word mask of the last load.
  virtual uint8_t Mask() const = 0;
  // The last SaveToWordBuffer of a dsPIC program image found data.
  virtual bool DataNotBlank() const = 0;

  virtual int64_t GetDataSize() const = 0;
  virtual int64_t GetSelStart() const = 0;
  virtual int64_t GetSelEnd() const = 0;
  virtual int64_t GetSelCount() const = 0;
  virtual void SetSelStart(int64_t posicion) = 0;
  virtual void SetSelEnd(int64_t posicion) = 0;

  virtual void FillRange(uint32_t primera, uint32_t ultima, uint32_t valor) = 0;
  // First match at or after `primera` and ending at or before `ultima`, or -1.
  virtual int64_t Find(const std::vector<uint8_t>& datos, int64_t ultima, int64_t primera) = 0;
  virtual std::vector<uint8_t> BufferFromFile(int64_t posicion, int64_t cuenta) const = 0;
  // Writes over the image from the selection start (cut to the image end).
  virtual void ReplaceSelection(const std::vector<uint8_t>& datos) = 0;

  // Ten row bookmarks (-1 unset).
  virtual int32_t GetMarker(uint8_t indice) const = 0;
  virtual void ToggleMarker(uint8_t indice) = 0;
  virtual void GotoMarker(uint8_t indice) = 0;
  virtual void ClearMarkers() = 0;

  // Where the next search of this editor starts.
  int64_t SiguienteBusqueda = 0;
  // Called after every change of selection or contents.
  std::function<void()> AlCambiarEstado;
};
