// The result of identifying the chip in the socket.
#pragma once

#include <cstdint>
#include <string>

struct TModel {
  // The detected device name; "No device found" (TextosEntorno item 12)
  // when none was found.
  std::string Nombre;
  // ListPics index of the detected device: 29 when nothing matched (the
  // 14-bit and PIC18 readers), 255 from the dsPIC reader when the ID is no
  // dsPIC ID. Index 29 is also a real part (the 16F84), so only Encontrado
  // says whether a part was named.
  uint8_t Indice = 29;
  // The chip answered: the ID read was not all ones (or the firmware
  // programmer sent a reply, even a corrupt one).
  uint8_t Responde = 0;
  // A table lookup named a part; Indice is then its ListPics index.
  bool Encontrado = false;
  // Nothing was named, the data line read the same bit through the whole
  // identification, and the selected part has a device ID: a dead port or
  // an empty socket, where an operation would only clock into nothing.
  bool LineaQuieta = false;
};
