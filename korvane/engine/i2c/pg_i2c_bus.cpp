// I2C bus primitives on the pin driver: SDA is the data-out line (read back
// on data-in), SCL the clock line. Every pin step is followed by the
// half-bit wait, so the bus runs at the pace of the link.
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "i2c/pg_i2c.h"

uint8_t AckI2C = 0;

namespace {
void Espera() { EsperaUs(MedioBitUs); }
}  // namespace

void SdaBajo() { DatoBajo(); Espera(); }
void SdaAlto() { DatoAlto(); Espera(); }
void SclBajo() { ClockBajo(); Espera(); }
void SclAlto() { ClockAlto(); Espera(); }

bool LeeSda() {
  const bool nivel = LeeDato() != 0;
  Espera();
  return nivel;
}

void ReposoI2C() {
  // The clock goes low first: lowering SDA while SCL is still high after a
  // STOP would put a START on the bus and leave the part waiting for a
  // control byte.
  SclBajo();
  SdaBajo();
}

void StartI2C() {
  SclBajo();
  SdaAlto();
  SclAlto();
  SdaBajo();
  SclBajo();
}

void StopI2C() {
  SclBajo();
  SdaBajo();
  SclAlto();
  SdaAlto();
}

void EnviaUnoI2C() {
  SclBajo();
  SdaAlto();
  SclAlto();
  SclBajo();
}

void EnviaCeroI2C() {
  SclBajo();
  SdaBajo();
  SclAlto();
  SclBajo();
}

uint8_t LeeBitI2C() {
  SclBajo();
  SdaAlto();
  SclAlto();
  const uint8_t bit = LeeSda() ? 1 : 0;
  SclBajo();
  SdaBajo();
  return bit;
}

void EnviaByteI2C(uint8_t b) {
  for (int i = 7; i >= 0; --i) {
    if ((b >> i) & 1)
      EnviaUnoI2C();
    else
      EnviaCeroI2C();
  }
  SdaAlto();
  SclAlto();
  AckI2C = LeeSda() ? 0 : 1;
  SclBajo();
  SdaBajo();
}

namespace {
uint8_t LeeOchoBits() {
  uint8_t b = 0;
  for (int i = 0; i < 8; ++i) b = static_cast<uint8_t>((b << 1) | LeeBitI2C());
  return b;
}
}  // namespace

uint8_t LeeByteAckI2C() {
  const uint8_t b = LeeOchoBits();
  EnviaCeroI2C();
  return b;
}

uint8_t LeeByteNackI2C() {
  const uint8_t b = LeeOchoBits();
  EnviaUnoI2C();
  return b;
}
