// The firmware programmer on native USB: discovery of the boards by VID/PID,
// the open link, and the protocol of the serial link carried over bulk
// endpoint 1 (fw/pg_fw.h): 8-byte commands unchanged, block data in
// 255-byte packets, block-write replies as 16-byte records read by a reply
// thread (usb/pg_hilo_usb.h).
//
// USB packet (TPaquete host to board, BufferRx board to host):
//   bytes 0-247  up to 124 words, low byte first (dsPIC reads: 120)
//   byte 250     words in a block-write packet
//   bytes 251-253 word offset of the packet from the block start, low first
//   byte 254     write: 0 more packets follow, 1 last packet or cancel;
//                read: words in the packet
// dsPIC row packet: the row's instructions at 3 bytes each from byte 0
// (32 program or executive, 16 EEPROM, 7 configuration), bytes 251-253 the
// row's address, byte 254 as above.
// Reply record: byte 0 the code (1 verify error, 200 programmer error,
// anything else progress or the closing reply), then its fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "usb/pg_usb.h"

constexpr std::size_t TamPaqueteUsb = 255;
constexpr uint32_t PalabrasPaqueteUsb = 124;
constexpr uint32_t PalabrasPaqueteUsbDsPic = 120;
constexpr uint8_t ByteCuentaUsb = 250;
constexpr uint8_t ByteOffsetUsb = 251;
constexpr uint8_t ByteFinUsb = 254;
constexpr unsigned EsperaLecturaUsbMs = 15000;
constexpr unsigned EsperaEscrituraUsbMs = 1000;

// --- Discovery ------------------------------------------------------------------
// The instance text of a device, as the board's driver names it:
// "USB\VID_04D8&PID_52xx\" + its bus location.
std::string TextoInstanciaUsb(const TInfoUsb& info);
// The VID/PID text ("vid_04d8&pid_52" + two characters) occurs exactly once
// in the instance text, letter case ignored.
bool MismoVidPid(const std::string& instancia, const std::string& vidPid);
// Occurrences of sub in texto, without overlap (0 for empty texts).
std::size_t CuentaStr(const std::string& texto, const std::string& sub);
// Device `indice` of the bus: 1 matching (its instance text in `ruta`),
// 3 no device at this index, 4 a device that does not match. An empty
// vidPid matches every device.
uint8_t DaPathUSB(std::size_t indice, const std::string& vidPid, std::string& ruta);
// The boards that match VidPid, in bus order ("Ind.#0" is the first).
std::vector<TInfoUsb> BoardsUsb();

// --- The link ---------------------------------------------------------------------
// Opens the n-th matching board (counted from 0). On failure the reason is
// kept for MotivoFalloUsb.
bool AbreUsb(int instancia);
// Ends the reply thread and closes the board; harmless when closed.
void CierraUsb();
bool UsbAbierto();
// Why the last AbreUsb failed ("" after a success): a board that is there
// but may not be opened names the udev rule that gives access.
std::string MotivoFalloUsb();
// The names the profile editor lists: "Ind.#n" for each matching board.
std::vector<std::string> ListaUsb();

// Installs the native USB link: the port opening's hooks and the firmware
// protocol's USB variant. Idempotent.
void InstalaUsbFirmware();

// --- Transfers (the USB forms of the firmware link's) ---------------------------------
// Reads n bytes into BufferRx within 15 s; fewer: error 28, false.
bool LeeUSB(std::size_t n);
// Writes the first n bytes of TPaquete; true when all went out.
bool EscribeUSB(std::size_t n);
bool LeeBloqueUSB(uint16_t* buffer, uint32_t first, uint32_t last);
bool ProgramaBloqueUSB(const uint16_t* buffer, uint32_t first, uint32_t last, uint16_t blank,
                       bool sinEspera);
bool ProgramaBloque24USB(const uint16_t* buffer, uint32_t direccion, uint32_t filas, uint8_t tipoArea);
