// The simulated 24Cxx parts behave as their data sheets say, checked with a
// plain bus master before any engine is run against them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>
#include <vector>

#include "chips/eeprom24_maestro.h"
#include "chips/eeprom24_sim.h"

namespace {

enum Indice { C01 = 0, C02, C04, C08, C16, C32, C64, C128, C256, C512 };

struct Banco {
  explicit Banco(int indice) : chip(indice), bus(chip) { bus.Enciende(); }
  TEeprom24Sim chip;
  TMaestroI2CSim bus;

  bool Direccion(uint32_t dir) { return bus.Direcciona(dir, chip.Modelo().BytesDireccion == 2); }
  bool Escribe(uint32_t dir, const std::vector<uint8_t>& datos) {
    if (!Direccion(dir)) return false;
    for (uint8_t b : datos)
      if (!bus.Envia(b)) return false;
    bus.Stop();
    bus.Espera(6'000'000);
    return true;
  }
  // Random read of n bytes from dir; the read control byte carries `control`.
  std::vector<uint8_t> Lee(uint32_t dir, std::size_t n, uint8_t control = 0xA1) {
    std::vector<uint8_t> r;
    if (!Direccion(dir)) return r;
    bus.Start();
    if (!bus.Envia(control)) return r;
    for (std::size_t i = 0; i < n; ++i) r.push_back(bus.Lee(i + 1 < n));
    bus.Stop();
    return r;
  }
};

TEST(Eeprom24Sim, PageWriteWrapsInsideItsPageAndCommitsOnStop) {
  Banco b(C02);  // 8-byte pages
  ASSERT_TRUE(b.Direccion(0x16));
  for (uint8_t v : {1, 2, 3, 4})
    ASSERT_TRUE(b.bus.Envia(v));
  EXPECT_EQ(b.chip.Memoria()[0x16], 0xFF) << "nothing is written before STOP";
  b.bus.Stop();
  EXPECT_EQ(b.chip.Escrituras, 1u);
  // 0x16, 0x17, then the page start 0x10, 0x11.
  EXPECT_EQ(b.chip.Memoria()[0x16], 1);
  EXPECT_EQ(b.chip.Memoria()[0x17], 2);
  EXPECT_EQ(b.chip.Memoria()[0x10], 3);
  EXPECT_EQ(b.chip.Memoria()[0x11], 4);
  EXPECT_EQ(b.chip.Memoria()[0x18], 0xFF);
}

TEST(Eeprom24Sim, RepeatedStartAbortsTheWrite) {
  Banco b(C32);
  ASSERT_TRUE(b.Direccion(0x100));
  ASSERT_TRUE(b.bus.Envia(0x55));
  b.bus.Start();
  b.bus.Envia(0xA1);
  b.bus.Lee(false);
  b.bus.Stop();
  EXPECT_EQ(b.chip.Escrituras, 0u);
  EXPECT_EQ(b.chip.Memoria()[0x100], 0xFF);
}

TEST(Eeprom24Sim, NoAcknowledgeDuringTheWriteCycle) {
  Banco b(C256);
  ASSERT_TRUE(b.Direccion(0));
  b.bus.Envia(0x12);
  b.bus.Stop();
  b.bus.Espera(1'000'000);
  b.bus.Start();
  EXPECT_FALSE(b.bus.Envia(0xA0)) << "busy 1 ms after STOP";
  b.bus.Stop();
  EXPECT_EQ(b.chip.Violaciones.size(), 1u);
  b.bus.Espera(5'000'000);
  EXPECT_EQ(b.Lee(0, 1), std::vector<uint8_t>{0x12});
}

TEST(Eeprom24Sim, SequentialReadRollsOverAtTheDeviceEnd) {
  for (int indice : {C01, C16, C512}) {
    Banco b(indice);
    const uint32_t fin = b.chip.Modelo().Tam - 1;
    b.chip.Memoria()[fin] = 0xAB;
    b.chip.Memoria()[0] = 0xCD;
    b.chip.Memoria()[1] = 0xEF;
    EXPECT_EQ(b.Lee(fin, 3, 0xA1 | (b.chip.Modelo().BitsBloque ? (fin >> 8) << 1 : 0)),
              (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}))
        << b.chip.Modelo().Nombre;
  }
}

TEST(Eeprom24Sim, BlockBitsOfEveryControlByteSelectTheBlock) {
  Banco b(C16);
  b.chip.Memoria()[0x705] = 0x77;
  b.chip.Memoria()[0x005] = 0x11;
  EXPECT_EQ(b.Lee(0x705, 1, 0xAF), std::vector<uint8_t>{0x77});
  // A read control byte of block 0 reads block 0 at the same low address.
  EXPECT_EQ(b.Lee(0x705, 1, 0xA1), std::vector<uint8_t>{0x11});
  ASSERT_TRUE(b.Escribe(0x3F8, {9}));
  EXPECT_EQ(b.chip.Memoria()[0x3F8], 9);
}

TEST(Eeprom24Sim, ChipSelectPinsOfTheLargerParts) {
  Banco b(C64);
  b.chip.PinesDireccion = 2;
  b.bus.Start();
  EXPECT_FALSE(b.bus.Envia(0xA0));
  b.bus.Stop();
  b.bus.Start();
  EXPECT_TRUE(b.bus.Envia(0xA4));
  b.bus.Stop();
  // 24C02 without pin comparison answers any chip-select bits.
  Banco c(C02);
  c.chip.PinesDireccion = 5;
  c.bus.Start();
  EXPECT_TRUE(c.bus.Envia(0xA6));
  c.bus.Stop();
}

TEST(Eeprom24Sim, OneAddressByteOn24C01AndTwoOn24C32) {
  Banco a(C01);
  a.chip.Traza = true;
  ASSERT_TRUE(a.Escribe(0x10, {0x42}));
  ASSERT_EQ(a.chip.Transferencias.size(), 1u);
  EXPECT_EQ(a.chip.Transferencias[0].size(), 3u);  // control, address, data
  EXPECT_EQ(a.chip.Memoria()[0x10], 0x42);
  Banco b(C32);
  ASSERT_TRUE(b.Escribe(0x0F10, {0x42}));
  EXPECT_EQ(b.chip.Memoria()[0x0F10], 0x42);
}

TEST(Eeprom24Sim, Faults) {
  {
    Banco b(C02);
    b.chip.Ausente = true;
    b.bus.Start();
    EXPECT_FALSE(b.bus.Envia(0xA0));
    b.bus.Stop();
    EXPECT_TRUE(b.chip.BusLibre());
  }
  {
    Banco b(C02);
    b.chip.ProtegidoEscritura = true;
    EXPECT_TRUE(b.Escribe(0x20, {1, 2})) << "write-protected parts still acknowledge";
    EXPECT_EQ(b.chip.Memoria()[0x20], 0xFF);
    EXPECT_EQ(b.chip.Escrituras, 0u);
  }
  {
    Banco b(C02);
    b.chip.PegaBit(0x30, 3, false);
    ASSERT_TRUE(b.Escribe(0x30, {0xFF}));
    EXPECT_EQ(b.Lee(0x30, 1), std::vector<uint8_t>{0xF7});
  }
  {
    Banco b(C02);
    b.chip.TiempoEscrituraNs = 20'000'000;
    ASSERT_TRUE(b.Escribe(0x40, {1}));  // waits 6 ms only
    b.bus.Start();
    EXPECT_FALSE(b.bus.Envia(0xA0));
    b.bus.Stop();
  }
}

TEST(Eeprom24Sim, SavesAndLoadsItsArray) {
  const auto ruta = (std::filesystem::temp_directory_path() / ("eeprom24_" + std::to_string(::getpid()))).string();
  TEeprom24Sim a(C16);
  a.Memoria()[0] = 0x00;
  a.Memoria()[0x7FF] = 0x5A;
  ASSERT_TRUE(a.GuardaEstado(ruta));
  TEeprom24Sim b(C16);
  b.Memoria()[5] = 0x11;
  ASSERT_TRUE(b.CargaEstado(ruta));
  EXPECT_EQ(b.Memoria(), a.Memoria());
  std::remove(ruta.c_str());
}

TEST(Eeprom24Sim, UnpoweredChipIgnoresTheBus) {
  TEeprom24Sim chip(C02);
  TMaestroI2CSim bus(chip);
  bus.Apaga();
  bus.Start();
  EXPECT_FALSE(bus.Envia(0xA0));
  bus.Stop();
}

}  // namespace
