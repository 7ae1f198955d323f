// The device-ID commands of the firmware programmer ('4' 14-bit, '5' PIC18,
// 'C' dsPIC): byte 5 names the socket, the reply is the ID's low and high
// bytes and their XOR.
#pragma once

#include <cstdint>

// False when the reply failed: not sent or short (error 28), or a wrong XOR
// (error 27). Its bytes then name nothing; `id` is the high byte received
// over a low byte of 1, never all ones, as a reply still counts as an answer.
bool LeeIdFirmware(char letra, uint16_t& id);
