#include "pg_catalogo.h"

namespace {

using E = TEntradaCatalogo;

// Baseline 12-bit flash parts (10F2xx).
constexpr E F12(const char* texto, const char* nombre, const char* memoria, uint32_t progFin,
                int32_t idIni) {
  return {texto, nombre, memoria, EdFC_10Fxxx, 0, 2, 0,
          progFin, progFin + 1, 0x0FFF,
          0x0FFF, 0x0FFF, 1, 0x0FFF,
          idIni, idIni + 3, 4, 0x0FFF,
          0, 0, 0, 0xFFFF,
          false, 0, 0, 0};
}

// Mid-range 14-bit flash parts; data EEPROM at 0x2100 when present.
constexpr E F14(const char* texto, const char* nombre, const char* memoria, uint8_t editor,
                uint32_t progFin, int32_t cfgFin, uint32_t cfgNum, uint16_t cfgMask,
                uint16_t eeTam, uint8_t tiempo, uint8_t zocalo) {
  return {texto, nombre, memoria, editor, zocalo, tiempo, 0,
          progFin, progFin + 1, 0x3FFF,
          0x2007, cfgFin, cfgNum, cfgMask,
          0x2000, 0x2003, 4, 0x000F,
          eeTam ? 0x2100 : 0, eeTam ? 0x2100 + eeTam - 1 : 0, eeTam, 0x00FF,
          false, 0, 0, 0};
}

// PIC18: byte addresses, 16-bit words; data EEPROM at 0x780000 when present.
constexpr E F18(const char* texto, const char* nombre, const char* memoria, uint8_t editor,
                uint32_t progFin, uint16_t eeTam, uint8_t modUsb, uint8_t zocalo) {
  return {texto, nombre, memoria, editor, zocalo, 1, modUsb,
          progFin, (progFin + 1) / 2, 0xFFFF,
          0x300000, 0x30000D, 7, 0xFFFF,
          0x200000, 0x200007, 4, 0xFFFF,
          eeTam ? 0x780000 : 0, eeTam ? 0x780000 + eeTam - 1 : 0, eeTam, 0x00FF,
          false, 0, 0, 0};
}

// dsPIC30F: two cells per instruction, so ProgFin is the HEX byte address of
// the last cell.
constexpr E F30(const char* texto, const char* nombre, const char* memoria, uint32_t progTam,
                int32_t eeIni, uint16_t eeTam) {
  return {texto, nombre, memoria, EdFC_30Fxxx, 1, 4, 0,
          2 * progTam - 2, progTam, 0xFFFF,
          0xF80000, 0xF8010E, 24, 0xFFFF,
          0, 0, 0, 0xFFFF,
          eeIni, 0x7FFFFF, eeTam, 0xFFFF,
          true, 1472, 0x800000, 0x8005BE};
}

// 14-bit EPROM parts (16Cxxx).
constexpr E C14(const char* texto, const char* nombre, const char* memoria, uint32_t progFin,
                uint16_t cfgMask, uint8_t zocalo) {
  return {texto, nombre, memoria, EdFC_16Cxxx, zocalo, 4, 0,
          progFin, progFin + 1, 0x3FFF,
          0x2007, 0x2007, 1, cfgMask,
          0x2000, 0x2003, 4, 0x000F,
          0, 0, 0, 0,
          false, 0, 0, 0};
}

// 24Cxx serial EEPROMs: one byte a program cell.
constexpr E I2C(const char* texto, const char* nombre, const char* memoria, uint32_t progFin) {
  return {texto, nombre, memoria, EdNinguno, 1, 4, 0,
          progFin, progFin + 1, 0xFF,
          0, 0, 0, 0,
          0, 1, 2, 0,
          0, 1, 2, 0,
          false, 0, 0, 0};
}

}  // namespace

// clang-format off
const std::array<TEntradaCatalogo, NumListPics + NumListPicsC + NumListEeprom> Catalogo = {{
  // ListPics: flash parts.
  //   list text       name        memory                        ProgFin  IdIni
  F12(" 10F200",      "10F200",   " 256 w. Flash",              255,     0x100),  // 0
  F12(" 10F202",      "10F202",   " 512 w. Flash",              511,     0x200),  // 1
  F12(" 10F204",      "10F204",   " 256 w. Flash",              255,     0x100),  // 2
  F12(" 10F206",      "10F206",   " 512 w. Flash",              511,     0x200),  // 3
  //   list text       name        memory                        editor          ProgFin CfgFin  Num CfgMask EeTam ms socket
  F14(" 12F629",      "12F629",   " 1K. Flash - 128 Eeprom",    EdFC_1xF6OSCAL, 1023, 0x2007, 1, 0x31FF, 128, 3, 0),  // 4
  F14(" 12F635",      "12F635",   " 1K. Flash - 128 Eeprom",    EdFC_16F6xx,    1023, 0x2009, 3, 0x3FFF, 128, 3, 0),  // 5
  F14(" 12F675",      "12F675",   " 1K. Flash - 128 Eeprom",    EdFC_1xF6OSCAL, 1023, 0x2007, 1, 0x31FF, 128, 3, 0),  // 6
  F14(" 12F683",      "12F683",   " 2K. Flash - 256 Eeprom",    EdFC_16F6xx,    2047, 0x2008, 2, 0x3FFF, 256, 3, 0),  // 7
  F14(" 16F627",      "16F627",   " 1K. Flash - 128 Eeprom",    EdFC_16F8x,     1023, 0x2007, 1, 0x3DFF, 128, 4, 0),  // 8
  F14(" 16F627a",     "16F627a",  " 1K. Flash - 128 Eeprom",    EdFC_16F8x,     1023, 0x2007, 1, 0x21FF, 128, 3, 0),  // 9
  F14(" 16F628",      "16F628",   " 2K. Flash - 128 Eeprom",    EdFC_16F8x,     2047, 0x2007, 1, 0x3DFF, 128, 4, 0),  // 10
  F14(" 16F628a",     "16F628a",  " 2K. Flash - 128 Eeprom",    EdFC_16F8x,     2047, 0x2007, 1, 0x21FF, 128, 3, 0),  // 11
  F14(" 16F630",      "16F630",   " 1K. Flash - 128 Eeprom",    EdFC_1xF6OSCAL, 1023, 0x2007, 1, 0x31FF, 128, 3, 0),  // 12
  F14(" 16F636",      "16F636",   " 2K. Flash - 256 Eeprom",    EdFC_16F6xx,    2047, 0x2009, 3, 0x3FFF, 256, 3, 0),  // 13
  F14(" 16F639",      "16F639",   " 2K. Flash - 256 Eeprom",    EdFC_16F6xx,    2047, 0x2009, 3, 0x3FFF, 256, 3, 0),  // 14
  F14(" 16F648a",     "16F648a",  " 4K. Flash - 256 Eeprom",    EdFC_16F8x,     4095, 0x2007, 1, 0x21FF, 256, 3, 0),  // 15
  F14(" 16F676",      "16F676",   " 1K. Flash - 128 Eeprom",    EdFC_1xF6OSCAL, 1023, 0x2007, 1, 0x31FF, 128, 3, 0),  // 16
  F14(" 16F684",      "16F684",   " 2K. Flash - 256 Eeprom",    EdFC_16F6xx,    2047, 0x2008, 2, 0x3FFF, 256, 3, 0),  // 17
  F14(" 16F688",      "16F688",   " 4K. Flash - 256 Eeprom",    EdFC_16F6xx,    4095, 0x2008, 2, 0x3FFF, 256, 3, 0),  // 18
  F14(" 16F73",       "16F73",    " 4K. Flash",                 EdFC_16F7x,     4095, 0x2007, 1, 0x005F,   0, 1, 1),  // 19
  F14(" 16F74",       "16F74",    " 4K. Flash",                 EdFC_16F7x,     4095, 0x2007, 1, 0x005F,   0, 1, 1),  // 20
  F14(" 16F76",       "16F76",    " 8K. Flash",                 EdFC_16F7x,     8191, 0x2007, 1, 0x005F,   0, 1, 1),  // 21
  F14(" 16F77",       "16F77",    " 8K. Flash",                 EdFC_16F7x,     8191, 0x2007, 1, 0x005F,   0, 1, 1),  // 22
  F14(" 16F716",      "16F716",   " 2K. Flash",                 EdFC_16F7x,     2047, 0x2007, 1, 0x20CF,   0, 1, 0),  // 23
  F14(" 16F737",      "16F737",   " 4K. Flash",                 EdFC_16F7x,     4095, 0x2008, 2, 0x3FFF,   0, 1, 1),  // 24
  F14(" 16F747",      "16F747",   " 4K. Flash",                 EdFC_16F7x,     4095, 0x2008, 2, 0x3FFF,   0, 1, 1),  // 25
  F14(" 16F767",      "16F767",   " 8K. Flash",                 EdFC_16F7x,     8191, 0x2008, 2, 0x3FFF,   0, 1, 1),  // 26
  F14(" 16F777",      "16F777",   " 8K. Flash",                 EdFC_16F7x,     8191, 0x2008, 2, 0x3FFF,   0, 1, 1),  // 27
  F14(" 16F83",       "16F83",    " 512 w. Flash - 64 Eeprom",  EdFC_16F8x,      511, 0x2007, 1, 0x001F,  64, 8, 0),  // 28
  F14(" 16F84",       "16F84",    " 1K. Flash - 64 Eeprom",     EdFC_16F8x,     1023, 0x2007, 1, 0x001F,  64, 8, 0),  // 29
  F14(" 16F84a",      "16F84a",   " 1K. Flash - 64 Eeprom",     EdFC_16F8x,     1023, 0x2007, 1, 0x001F,  64, 4, 0),  // 30
  F14(" 16F87",       "16F87",    " 4K. Flash - 256 Eeprom",    EdFC_16F7x,     4095, 0x2008, 2, 0x3FFF, 256, 2, 0),  // 31
  F14(" 16F88",       "16F88",    " 4K. Flash - 256 Eeprom",    EdFC_16F7x,     4095, 0x2008, 2, 0x3FFF, 256, 2, 0),  // 32
  F14(" 16F818",      "16F818",   " 1K. Flash - 128 Eeprom",    EdFC_16F8x,     1023, 0x2007, 1, 0x3FFF, 128, 1, 0),  // 33
  F14(" 16F819",      "16F819",   " 2K. Flash - 256 Eeprom",    EdFC_16F8x,     2047, 0x2007, 1, 0x3FFF, 256, 1, 0),  // 34
  F14(" 16F870",      "16F870",   " 2K. Flash - 64 Eeprom",     EdFC_16F87x,    2047, 0x2007, 1, 0x3BFF,  64, 4, 1),  // 35
  F14(" 16F871",      "16F871",   " 2K. Flash - 64 Eeprom",     EdFC_16F87x,    2047, 0x2007, 1, 0x3BFF,  64, 4, 1),  // 36
  F14(" 16F872",      "16F872",   " 2K. Flash - 64 Eeprom",     EdFC_16F87x,    2047, 0x2007, 1, 0x3BFF,  64, 4, 1),  // 37
  F14(" 16F873",      "16F873",   " 4K. Flash - 128 Eeprom",    EdFC_16F87x,    4095, 0x2007, 1, 0x3BFF, 128, 4, 1),  // 38
  F14(" 16F873a",     "16F873a",  " 4K. Flash - 128 Eeprom",    EdFC_16F87x,    4095, 0x2007, 1, 0x2FCF, 128, 1, 1),  // 39
  F14(" 16F874",      "16F874",   " 4K. Flash - 128 Eeprom",    EdFC_16F87x,    4095, 0x2007, 1, 0x3BFF, 128, 4, 1),  // 40
  F14(" 16F874a",     "16F874a",  " 4K. Flash - 128 Eeprom",    EdFC_16F87x,    4095, 0x2007, 1, 0x2FCF, 128, 1, 1),  // 41
  F14(" 16F876",      "16F876",   " 8K. Flash - 256 Eeprom",    EdFC_16F87x,    8191, 0x2007, 1, 0x3BFF, 256, 4, 1),  // 42
  F14(" 16F876a",     "16F876a",  " 8K. Flash - 256 Eeprom",    EdFC_16F87x,    8191, 0x2007, 1, 0x2FCF, 256, 1, 1),  // 43
  F14(" 16F877",      "16F877",   " 8K. Flash - 256 Eeprom",    EdFC_16F87x,    8191, 0x2007, 1, 0x3BFF, 256, 4, 1),  // 44
  F14(" 16F877a",     "16F877a",  " 8K. Flash - 256 Eeprom",    EdFC_16F87x,    8191, 0x2007, 1, 0x2FCF, 256, 1, 1),  // 45
  //   list text       name        memory                        editor          ProgFin  EeTam USB socket
  F18(" 18F242-2439", "18F242",   " 16K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x3FFF,   256, 0, 1),  // 46
  F18(" 18F248",      "18F248",   " 16K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x3FFF,   256, 0, 1),  // 47
  F18(" 18F252-2539", "18F252",   " 32K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x7FFF,   256, 0, 1),  // 48
  F18(" 18F258",      "18F258",   " 32K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x7FFF,   256, 0, 1),  // 49
  F18(" 18F442-4439", "18F442",   " 16K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x3FFF,   256, 0, 1),  // 50
  F18(" 18F448",      "18F448",   " 16K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x3FFF,   256, 0, 1),  // 51
  F18(" 18F452-4539", "18F452",   " 32K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x7FFF,   256, 0, 1),  // 52
  F18(" 18F458",      "18F458",   " 32K. Flash - 256 Eeprom",   EdFC_18Fxxx,    0x7FFF,   256, 0, 1),  // 53
  F18(" 18F1220",     "18F1220",  " 4K. Flash - 256 Eeprom",    EdFC_18Fxx20,   0x0FFF,   256, 0, 0),  // 54
  F18(" 18F1320",     "18F1320",  " 8K. Flash - 256 Eeprom",    EdFC_18Fxx20,   0x1FFF,   256, 0, 0),  // 55
  F18(" 18F2220",     "18F2220",  " 4K. Flash - 256 Eeprom",    EdFC_18Fxx20,   0x0FFF,   256, 0, 1),  // 56
  F18(" 18F2320",     "18F2320",  " 8K. Flash - 256 Eeprom",    EdFC_18Fxx20,   0x1FFF,   256, 0, 1),  // 57
  F18(" 18F4220",     "18F4220",  " 4K. Flash - 256 Eeprom",    EdFC_18Fxx20,   0x0FFF,   256, 0, 1),  // 58
  F18(" 18F4320",     "18F4320",  " 8K. Flash - 256 Eeprom",    EdFC_18Fxx20,   0x1FFF,   256, 0, 1),  // 59
  F18(" 18F2331",     "18F2331",  " 8K. Flash - 256 Eeprom",    EdFC_18Fxx31,   0x1FFF,   256, 0, 1),  // 60
  F18(" 18F2431",     "18F2431",  " 16K. Flash - 256 Eeprom",   EdFC_18Fxx31,   0x3FFF,   256, 0, 1),  // 61
  F18(" 18F4331",     "18F4331",  " 8K. Flash - 256 Eeprom",    EdFC_18Fxx31,   0x1FFF,   256, 0, 1),  // 62
  F18(" 18F4431",     "18F4431",  " 16K. Flash - 256 Eeprom",   EdFC_18Fxx31,   0x3FFF,   256, 0, 1),  // 63
  F18(" 18F6520",     "18F6520",  " 32K. Flash - 1024 Eeprom",  EdFC_18Fxx20,   0x7FFF,  1024, 0, 1),  // 64
  F18(" 18F6620",     "18F6620",  " 64K. Flash - 1024 Eeprom",  EdFC_18Fxx20,   0xFFFF,  1024, 0, 1),  // 65
  F18(" 18F6720",     "18F6720",  " 128K. Flash - 1024 Eeprom", EdFC_18Fxx20,   0x1FFFF, 1024, 0, 1),  // 66
  F18(" 18F8520",     "18F8520",  " 32K. Flash - 1024 Eeprom",  EdFC_18Fxx20,   0x7FFF,  1024, 0, 1),  // 67
  F18(" 18F8620",     "18F8620",  " 64K. Flash - 1024 Eeprom",  EdFC_18Fxx20,   0xFFFF,  1024, 0, 1),  // 68
  F18(" 18F8720",     "18F8720",  " 128K. Flash - 1024 Eeprom", EdFC_18Fxx20,   0x1FFFF, 1024, 0, 1),  // 69
  F18(" 18F2410",     "18F2410",  " 16K. Flash",                EdFC_18FModUSB, 0x3FFF,     0, 1, 1),  // 70
  F18(" 18F2420",     "18F2420",  " 16K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x3FFF,   256, 1, 1),  // 71
  F18(" 18F2455",     "18F2455",  " 24K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x5FFF,   256, 1, 1),  // 72
  F18(" 18F2480",     "18F2480",  " 16K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x3FFF,   256, 1, 1),  // 73
  F18(" 18F2510",     "18F2510",  " 32K. Flash",                EdFC_18FModUSB, 0x7FFF,     0, 1, 1),  // 74
  F18(" 18F2515",     "18F2515",  " 48K. Flash",                EdFC_18FModUSB, 0xBFFF,     0, 1, 1),  // 75
  F18(" 18F2520",     "18F2520",  " 32K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x7FFF,   256, 1, 1),  // 76
  F18(" 18F2525",     "18F2525",  " 48K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xBFFF,  1024, 1, 1),  // 77
  F18(" 18F2550",     "18F2550",  " 32K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x7FFF,   256, 1, 1),  // 78
  F18(" 18F2580",     "18F2580",  " 32K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x7FFF,   256, 1, 1),  // 79
  F18(" 18F2585",     "18F2585",  " 48K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xBFFF,  1024, 1, 1),  // 80
  F18(" 18F2610",     "18F2610",  " 64K. Flash",                EdFC_18FModUSB, 0xFFFF,     0, 1, 1),  // 81
  F18(" 18F2620",     "18F2620",  " 64K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xFFFF,  1024, 1, 1),  // 82
  F18(" 18F2680",     "18F2680",  " 64K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xFFFF,  1024, 1, 1),  // 83
  F18(" 18F4410",     "18F4410",  " 16K. Flash",                EdFC_18FModUSB, 0x3FFF,     0, 1, 1),  // 84
  F18(" 18F4420",     "18F4420",  " 16K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x3FFF,   256, 1, 1),  // 85
  F18(" 18F4455",     "18F4455",  " 24K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x5FFF,   256, 1, 1),  // 86
  F18(" 18F4480",     "18F4480",  " 16K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x3FFF,   256, 1, 1),  // 87
  F18(" 18F4510",     "18F4510",  " 32K. Flash",                EdFC_18FModUSB, 0x7FFF,     0, 1, 1),  // 88
  F18(" 18F4515",     "18F4515",  " 48K. Flash",                EdFC_18FModUSB, 0xBFFF,     0, 1, 1),  // 89
  F18(" 18F4520",     "18F4520",  " 32K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x7FFF,   256, 1, 1),  // 90
  F18(" 18F4525",     "18F4525",  " 48K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xBFFF,  1024, 1, 1),  // 91
  F18(" 18F4550",     "18F4550",  " 32K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x7FFF,   256, 1, 1),  // 92
  F18(" 18F4580",     "18F4580",  " 32K. Flash - 256 Eeprom",   EdFC_18FModUSB, 0x7FFF,   256, 1, 1),  // 93
  F18(" 18F4585",     "18F4585",  " 48K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xBFFF,  1024, 1, 1),  // 94
  F18(" 18F4610",     "18F4610",  " 64K. Flash",                EdFC_18FModUSB, 0xFFFF,     0, 1, 1),  // 95
  F18(" 18F4620",     "18F4620",  " 64K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xFFFF,  1024, 1, 1),  // 96
  F18(" 18F4680",     "18F4680",  " 64K. Flash - 1024 Eeprom",  EdFC_18FModUSB, 0xFFFF,  1024, 1, 1),  // 97
  //   list text       name        memory                        ProgTam  EeIni     EeTam
  F30(" 30F2010",     "30F2010",  " 12K. Flash - 1024 Eeprom",   8192,   0x7FFC00, 1024),  // 98
  F30(" 30F2011",     "30F2011",  " 12K. Flash",                 8192,   0x7FFC00,    0),  // 99
  F30(" 30F2012",     "30F2012",  " 12K. Flash",                 8192,   0x7FFC00,    0),  // 100
  F30(" 30F3010",     "30F3010",  " 24K. Flash - 1024 Eeprom",  16384,   0x7FFC00, 1024),  // 101
  F30(" 30F3011",     "30F3011",  " 24K. Flash - 1024 Eeprom",  16384,   0x7FFC00, 1024),  // 102
  F30(" 30F3012",     "30F3012",  " 24K. Flash - 1024 Eeprom",  16384,   0x7FFC00, 1024),  // 103
  F30(" 30F3013",     "30F3013",  " 24K. Flash - 1024 Eeprom",  16384,   0x7FFC00, 1024),  // 104
  F30(" 30F3014",     "30F3014",  " 24K. Flash - 1024 Eeprom",  16384,   0x7FFC00, 1024),  // 105
  F30(" 30F4011",     "30F4011",  " 48K. Flash - 1024 Eeprom",  32768,   0x7FFC00, 1024),  // 106
  F30(" 30F4012",     "30F4012",  " 48K. Flash - 1024 Eeprom",  32768,   0x7FFC00, 1024),  // 107
  F30(" 30F4013",     "30F4013",  " 48K. Flash - 1024 Eeprom",  32768,   0x7FFC00, 1024),  // 108
  F30(" 30F5011",     "30F5011",  " 66K. Flash - 1024 Eeprom",  45056,   0x7FFC00, 1024),  // 109
  F30(" 30F5013",     "30F5013",  " 66K. Flash - 1024 Eeprom",  45056,   0x7FFC00, 1024),  // 110
  F30(" 30F5015",     "30F5015",  " 66K. Flash - 1024 Eeprom",  45056,   0x7FFC00, 1024),  // 111
  F30(" 30F6010",     "30F6010",  " 144K. Flash - 4096 Eeprom", 98304,   0x7FF000, 4096),  // 112
  F30(" 30F6011",     "30F6011",  " 132K. Flash - 2048 Eeprom", 90112,   0x7FF800, 2048),  // 113
  F30(" 30F6011a",    "30F6011a", " 132K. Flash - 2048 Eeprom", 90112,   0x7FF800, 2048),  // 114
  F30(" 30F6012",     "30F6012",  " 144K. Flash - 4096 Eeprom", 98304,   0x7FF000, 4096),  // 115
  F30(" 30F6012a",    "30F6012a", " 144K. Flash - 4096 Eeprom", 98304,   0x7FF000, 4096),  // 116
  F30(" 30F6013",     "30F6013",  " 132K. Flash - 2048 Eeprom", 90112,   0x7FF800, 2048),  // 117
  F30(" 30F6013a",    "30F6013a", " 132K. Flash - 2048 Eeprom", 90112,   0x7FF800, 2048),  // 118
  F30(" 30F6014",     "30F6014",  " 144K. Flash - 4096 Eeprom", 98304,   0x7FF000, 4096),  // 119
  F30(" 30F6014a",    "30F6014a", " 144K. Flash - 4096 Eeprom", 98304,   0x7FF000, 4096),  // 120
  F30(" 30F6015",     "30F6015",  " 144K. Flash - 4096 Eeprom", 98304,   0x7FF000, 4096),  // 121

  // ListPicsC: EPROM parts.
  //   list text       name        memory          ProgFin CfgMask socket
  C14(" 16C61",       "16C61",    " 1K. Eprom",   1023, 0x001F, 0),  // 0
  C14(" 16C62",       "16C62",    " 2K. Eprom",   2047, 0x003F, 1),  // 1
  C14(" 16C62a/b",    "16C62a/b", " 2K. Eprom",   2047, 0x3F7F, 1),  // 2
  C14(" 16C63",       "16C63",    " 4K. Eprom",   4095, 0x3F7F, 1),  // 3
  C14(" 16C63a",      "16C63a",   " 4K. Eprom",   4095, 0x3F7F, 1),  // 4
  C14(" 16C64",       "16C64",    " 2K. Eprom",   2047, 0x003F, 1),  // 5
  C14(" 16C64a",      "16C64a",   " 2K. Eprom",   2047, 0x3F7F, 1),  // 6
  C14(" 16C65",       "16C65",    " 4K. Eprom",   4095, 0x003F, 1),  // 7
  C14(" 16C65a/b",    "16C65a/b", " 4K. Eprom",   4095, 0x3F7F, 1),  // 8
  C14(" 16C66",       "16C66",    " 8K. Eprom",   8191, 0x3F7F, 1),  // 9
  C14(" 16C67",       "16C67",    " 8K. Eprom",   8191, 0x3F7F, 1),  // 10
  C14(" 16C620/a",    "16C620/a", " 512 w. Eprom", 511, 0x3F7F, 0),  // 11
  C14(" 16C621/a",    "16C621/a", " 1K. Eprom",   1023, 0x3F7F, 0),  // 12
  C14(" 16C622/a",    "16C622/a", " 2K. Eprom",   2047, 0x3F7F, 0),  // 13
  C14(" 16CE623",     "16CE623",  " 512 w. Eprom", 511, 0x3F7F, 0),  // 14
  C14(" 16CE624",     "16CE624",  " 1K. Eprom",   1023, 0x3F7F, 0),  // 15
  C14(" 16CE625",     "16CE625",  " 2K. Eprom",   2047, 0x3F7F, 0),  // 16
  C14(" 16C71",       "16C71",    " 1K. Eprom",   1023, 0x001F, 0),  // 17
  C14(" 16C72",       "16C72",    " 2K. Eprom",   2047, 0x3F7F, 1),  // 18
  C14(" 16C72a",      "16C72a",   " 2K. Eprom",   2047, 0x3F7F, 1),  // 19
  C14(" 16C73",       "16C73",    " 4K. Eprom",   4095, 0x003F, 1),  // 20
  C14(" 16C73a/b",    "16C73a/b", " 4K. Eprom",   4095, 0x3F7F, 1),  // 21
  C14(" 16C74",       "16C74",    " 4K. Eprom",   4095, 0x003F, 1),  // 22
  C14(" 16C74a/b",    "16C74a/b", " 4K. Eprom",   4095, 0x3F7F, 1),  // 23
  C14(" 16C76",       "16C76",    " 8K. Eprom",   8191, 0x3F7F, 1),  // 24
  C14(" 16C77",       "16C77",    " 8K. Eprom",   8191, 0x3F7F, 1),  // 25
  C14(" 16C710",      "16C710",   " 512 w. Eprom", 511, 0x3FFF, 0),  // 26
  C14(" 16C711",      "16C711",   " 1K. Eprom",   1023, 0x3FFF, 0),  // 27
  C14(" 16C712",      "16C712",   " 1K. Eprom",   1023, 0x3F7F, 0),  // 28
  C14(" 16C716",      "16C716",   " 2K. Eprom",   2047, 0x3F7F, 0),  // 29
  C14(" 16C745",      "16C745",   " 8K. Eprom",   8191, 0x3F3F, 1),  // 30
  C14(" 16C765",      "16C765",   " 8K. Eprom",   8191, 0x3F3F, 1),  // 31
  C14(" 16C773",      "16C773",   " 4K. Eprom",   4095, 0x3F7F, 1),  // 32
  C14(" 16C774",      "16C774",   " 4K. Eprom",   4095, 0x3F7F, 1),  // 33
  C14(" 16C923",      "16C923",   " 4K. Eprom",   4095, 0x3F3F, 1),  // 34
  C14(" 16C924",      "16C924",   " 4K. Eprom",   4095, 0x3F3F, 1),  // 35
  C14(" 16C925",      "16C925",   " 4K. Eprom",   4095, 0x007F, 1),  // 36
  C14(" 16C926",      "16C926",   " 8K. Eprom",   8191, 0x007F, 1),  // 37

  // ListEeprom: 24Cxx serial EEPROMs.
  I2C(" 24C01",       "24C01",    " 128 b.",   127),  // 0
  I2C(" 24C02",       "24C02",    " 256 b.",   255),  // 1
  I2C(" 24C04",       "24C04",    " 512 b.",   511),  // 2
  I2C(" 24C08",       "24C08",    " 1 Kb.",   1023),  // 3
  I2C(" 24C16",       "24C16",    " 2 Kb.",   2047),  // 4
  I2C(" 24C32",       "24C32",    " 4 Kb.",   4095),  // 5
  I2C(" 24C64",       "24C64",    " 8 Kb.",   8191),  // 6
  I2C(" 24C128",      "24C128",   " 16 Kb.", 0x3FFF),  // 7
  I2C(" 24C256",      "24C256",   " 32 Kb.", 0x7FFF),  // 8
  I2C(" 24C512",      "24C512",   " 64 Kb.", 0xFFFF),  // 9
}};
// clang-format on

const std::array<TClaseCatalogo, 3> ClasesCatalogo = {{
    {"PIC F", "Microchip"},
    {"PIC C", "Microchip"},
    {"I2C", "Eeprom serial"},
}};

std::span<const TEntradaCatalogo> ListaCatalogo(uint8_t clase) {
  std::span<const TEntradaCatalogo> todo(Catalogo);
  switch (clase) {
    case ClaseEprom: return todo.subspan(NumListPics, NumListPicsC);
    case ClaseI2C: return todo.subspan(NumListPics + NumListPicsC, NumListEeprom);
    default: return todo.first(NumListPics);
  }
}

const TEntradaCatalogo* EntradaCatalogo(uint8_t clase, int indice) {
  const auto lista = ListaCatalogo(clase);
  if (indice < 0 || static_cast<std::size_t>(indice) >= lista.size()) return nullptr;
  return &lista[static_cast<std::size_t>(indice)];
}
