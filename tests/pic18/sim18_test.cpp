// The simulated PIC18 parts notice what a real part would refuse: each
// case breaks one requirement of the programming specification and the
// part must leave its memory unchanged and say what was wrong.
#include <cstdio>

#include "banco_pic18.h"

namespace {

void Nucleo(uint16_t instruccion) {
  EnviaComando4(0);
  EnviaDato16(instruccion);
}

TEST(Sim18, DeviceIdIsReadAtTheTopOfConfigurationSpace) {
  for (uint8_t indice : {Indice18F452, Indice18F4550}) {
    Banco18 b(indice, false);
    EntraProgramacion();
    PonTblptr(0x3FFFFE);
    EXPECT_EQ(LeeTabla2(), b.chip->Memoria.Modelo().IdDispositivo);
    SaleProgramacion();
    b.SinFaltas();
  }
}

TEST(Sim18, UnknownCommandsSwallowTheirOperandAndAreReported) {
  Banco18 b(Indice18F452, false);
  EntraProgramacion();
  EnviaComando4(3);
  EnviaDato16(0xFFFF);
  Nucleo(0x1234);       // not an instruction a programmer sends
  Nucleo(0x6E10);       // MOVWF on a register the part does not model
  PonTblptr(0x3FFFFE);  // decoding goes on in step
  EXPECT_EQ(LeeTabla2(), 0x0424);
  EXPECT_EQ(b.chip->Desconocidos.size(), 3u);
}

struct TFalta {
  const char* Nombre;
  uint8_t Indice;
  std::function<void(Banco18&)> Provoca;  // runs the faulty sequence
  std::function<bool(const TPic18Sim&)> MemoriaIntacta;
};

const TFalta Faltas[] = {
    {"programming hold shorter than P9", Indice18F452,
     [](Banco18&) {
       RetardoPgm = 0;
       BufDispositivo.Prog[0] = 0x1234;
       EXPECT_TRUE(ProgramaZona18(BufDispositivo.Prog.data(), 0, 1, "P", Programa18Codigo, 0xFFFF));
       EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
     },
     [](const TPic18Sim& c) { return c.Memoria.PalabraProg(0) == 0xFFFF; }},
    {"row write in multi-panel mode", Indice18F452,
     [](Banco18&) {
       EntraProgramacion();
       Nucleo(0x8EA6);
       Nucleo(0x9CA6);
       PonTblptr(0);
       for (int i = 0; i < 3; ++i) {
         EnviaComando4(13);
         EnviaDato16(0x0000);
       }
       ProgramaNop(0x0000);
       SaleProgramacion();
     },
     [](const TPic18Sim& c) { return c.Memoria.PalabraProg(0) == 0xFFFF; }},
    {"bulk erase cut short", Indice18F452,
     [](Banco18& b) {
       TModeloPic18 lento = Modelo18F452();
       lento.P11Ns = 30'000'000;
       b.chip = std::make_unique<TPic18Sim>(lento);
       b.chip->Memoria.PonPalabraProg(0, 0x0000);
       b.banco->Adaptador.Conecta(b.chip.get());
       BorraPic18();
       SaleProgramacion();
     },
     [](const TPic18Sim& c) { return c.Memoria.PalabraProg(0) == 0x0000; }},
    {"older part's data EEPROM written without the unlock", Indice18F452,
     [](Banco18&) {
       GrupoModUSB = 1;
       BufDispositivo.Datos[0] = 0x42;
       EXPECT_TRUE(ProgramaZona18(BufDispositivo.Datos.data(), 0x780000, 0x780000, "E", Programa18Eeprom, 0xFF));
     },
     [](const TPic18Sim& c) { return c.Memoria.Ee[0] == 0xFF; }},
    {"configuration written without CFGS", Indice18F4550,
     [](Banco18&) {
       EntraProgramacion();
       Nucleo(0x8EA6);
       PonTblptr(0x300002);
       RetardoPgm = 1;
       ProgramaNop(0x0000);
       SaleProgramacion();
     },
     [](const TPic18Sim& c) { return c.Memoria.Config[2] == c.Memoria.Modelo().MascaraConfig[2]; }},
};

TEST(Sim18, EachBrokenRequirementLeavesTheMemoryAndIsNoted) {
  for (const TFalta& f : Faltas) {
    SCOPED_TRACE(f.Nombre);
    Banco18 b(f.Indice, false);
    f.Provoca(b);
    EXPECT_TRUE(f.MemoriaIntacta(*b.chip));
    EXPECT_FALSE(b.chip->Violaciones.empty());
  }
}

TEST(Sim18, NewerPartsShowTheOldTablatWithoutTheNop) {
  Banco18 b(Indice18F4550, false);
  for (uint32_t i = 0; i < 4; ++i) b.chip->Memoria.Ee[i] = static_cast<uint8_t>(0x10 + i);
  GrupoModUSB = 0;  // as if the part were one of the older ones
  ASSERT_FALSE(LeeZona18(BufDispositivo.Datos.data(), 0x780000, 0x780003, "E", Zona18Eeprom, 0xFF));
  // Each shift-out shows the byte of the read before.
  EXPECT_EQ(BufDispositivo.Datos[1], 0x10);
  EXPECT_EQ(BufDispositivo.Datos[3], 0x12);
}

}  // namespace

namespace {

TEST(Sim18, MemoriesSurviveASaveAndALoad) {
  const std::string ruta = ::testing::TempDir() + "pic18_estado.txt";
  Banco18 b(Indice18F4550, false);
  ImagenPrueba18(b.chip->Memoria.Modelo());
  const TBuffers imagen = BufDispositivo;
  ASSERT_FALSE(ProgramaPic());
  ASSERT_TRUE(b.chip->GuardaEstado(ruta));
  TPic18Sim otro(Modelo18F4550());
  ASSERT_TRUE(otro.CargaEstado(ruta));
  EsperaMemoriaIgual(otro.Memoria, imagen);
  std::remove(ruta.c_str());
}

}  // namespace
