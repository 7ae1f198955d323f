// What every configuration-word editor offers the main window.
//
// How the main window uses it
//   - On a device change (TGanchoDispositivo::CambiaEditorConf) with another
//     kind: delete the old editor, `CreaEditorConf(nuevo, paginaConfiguracion)`
//     (nullptr for no editor), put it in the page's layout and show it. A
//     change within the same kind keeps the editor and calls
//     `CambiaDispositivo()`.
//   - CargaEditor: `LoadFromBuffer(buf.Id, buf.Config)`; LeeEditor:
//     `SaveToBuffer(buf.Id, buf.Config)`. Only SaveToBuffer writes the
//     caller's words; a user's click changes the editor's hex labels only.
//   - After every operation: `OperacionTerminada()` (the 10F editor shows
//     the backup calibration word the operation read).
//   - The selected device is read from the engine's list index globals
//     (IndiceListPics, IndiceListPicsC for the EPROM kind) at every call.
//
// Table-driven kinds are TFEditorTabla (EditorTabla.h); a kind whose table
// needs extra widgets derives from it. New kinds are added to
// CreaEditorConf (EditorConf.cpp).
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <span>

class TFEditorConf : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;
  ~TFEditorConf() override = default;

  // TEditorConf of the catalogue.
  virtual uint8_t Tipo() const = 0;
  // Sets every control from the words and shows the device's controls,
  // captions and hex labels. `config` holds the editor's words (at least
  // three for the 12/14-bit kinds, as a buffer set's Config does).
  virtual void LoadFromBuffer(std::span<const uint16_t> id, std::span<const uint16_t> config) = 0;
  // Writes the ID words and every configuration word the editor knows.
  virtual void SaveToBuffer(std::span<uint16_t> id, std::span<uint16_t> config) = 0;
  // Clears in the caller's words the bits the selected part lacks: a load
  // of the PIC18 and dsPIC editors does so to the buffer set it loads from,
  // so CargaEditor calls SetMask(buf.Config) right before LoadFromBuffer
  // and the set then holds what the editor shows. The other kinds leave
  // the words alone.
  virtual void SetMask(std::span<uint16_t> config) { (void)config; }
  // Another device of the same kind was selected.
  virtual void CambiaDispositivo() {}
  // A device operation has ended (read, erase, program, ...).
  virtual void OperacionTerminada() {}

signals:
  // The user changed a control (the words shown changed; no buffer did).
  void Cambiado();
};

// The editor of a kind, or nullptr when the kind has none.
std::unique_ptr<TFEditorConf> CreaEditorConf(uint8_t tipo, QWidget* padre = nullptr);
