// Read, verify, program and erase of the 12-bit and 14-bit flash PICs, and
// programming of the 14-bit EPROM PICs, on both kinds of programmer: the
// pin-level ICSP link (hw/pg_icsp.h) or command packets to the firmware
// programmer (fw/pg_fw.h). Each area routine returns a failed flag; the
// error has then already been reported through MuestraError. So do the five
// routines the operation runner calls (LeerPic, VerificaPic, ProgramaPic,
// BorraPic, ProgramaPicC): the runner's result is then 1.
#pragma once

#include <cstdint>
#include <string>

// --- Globals of the unit ----------------------------------------------------

// Calibration values saved from the device by the last erase of a part of
// their group; they keep their values after the operation.
extern uint16_t OscCal;        // oscillator calibration word
extern uint16_t OscCalBackup;  // 12-bit backup copy after the ID words
extern uint16_t BandGap;       // band-gap bits 12-13 of the configuration word
// The "Actualizar calibración" check box of the 16F6xx configuration editor;
// the application keeps it up to date, the engine only reads it.
extern bool Act_Cal;

// Which memory area an area routine works on. The configuration area is
// recognised by this kind, never by its caption.
enum class TZona : uint8_t { Programa, Id, Config, Datos };

// What the last programming run put into the calibration cells, so that the
// verify after it expects those values whatever the image holds there.
struct TCalProgramada {
  bool Valida = false;
  uint32_t DirOscCal = 0;     // program address of the OSCCAL cell
  uint16_t ValorOscCal = 0;
  bool ConBandGap = false;    // configuration cell 0 carries band-gap bits
  uint16_t BitsBandGap = 0;
};
extern TCalProgramada CalProgramada;

// PIC18 areas are added by their own unit through these hooks (null: the
// family has no branch yet and is left untouched).
struct TRamasPic18 {
  bool (*Lee)() = nullptr;       // every area into BufDispositivo
  bool (*Programa)() = nullptr;  // every area from BufDispositivo
  bool (*Borra)() = nullptr;     // bulk erase, before the success tail
};
extern TRamasPic18 RamasPic18;

// --- Read and verify ------------------------------------------------------------

bool LeerPic();
bool LeeZona14(uint16_t* buffer, uint16_t first, uint16_t last, const std::string& tipo,
               const std::string& zona, bool cargaConfig, uint8_t comandoLectura, uint16_t mascara);
bool VerificaPic();
// `protegida`: the area is under the protection just programmed, and a cell
// the part reads as 0 is taken as protected rather than compared.
bool VerificaZona(const uint16_t* archivo, const uint16_t* dispositivo, uint32_t first,
                  bool config, uint16_t mascara, uint32_t cuenta, bool protegida = false);

// --- Programming ------------------------------------------------------------------

bool ProgramaPic();
bool ProgramaZona14(const uint16_t* buffer, uint16_t first, uint16_t last, uint16_t blanco,
                    uint8_t comandoCarga, uint8_t comandoLectura, bool cargaConfig, TZona area,
                    const std::string& zona, const std::string& tipo);

// --- Erase ------------------------------------------------------------------------

bool BorraPic();
void BorraTodo14();

// --- 12-bit baseline areas (mode 0 program, 1 ID + backup OSCCAL, 2 configuration)

bool LeeZona10F(uint16_t* buffer, uint16_t first, uint16_t last, const std::string& zona,
                uint8_t modo, uint16_t mascara);
bool ProgramaZona10F(const uint16_t* buffer, uint16_t first, uint16_t last,
                     const std::string& zona, uint8_t modo, uint16_t blanco);

// --- 14-bit EPROM ----------------------------------------------------------------

bool ProgramaPicC();
bool ProgramaZonaPicC(const uint16_t* buffer, uint16_t first, uint16_t last,
                      const std::string& zona, bool cargaConfig, TZona area, uint16_t mascara);
void PulsoPicC();
bool ComparaPicC(uint16_t mascara);
