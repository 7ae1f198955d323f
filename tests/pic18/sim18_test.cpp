// The simulated PIC18 parts notice what a real part would refuse: each
// case breaks one requirement of the programming specification and the
// part must leave its memory unchanged and say what was wrong.
#include <cstdio>

#include "banco_pic18.h"
#include "conductor_linea.h"

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

namespace {

// A programming NOP (after a start-programming write) whose clock, once the
// held fourth clock falls, stays low `descargaUs` before the operand.
void NopConDescarga(uint64_t descargaUs) {
  EnviaComando4(15);
  EnviaDato16(0x0000);
  DatoBajo();
  for (int i = 0; i < 3; ++i) {
    ClockAlto();
    EsperaUs(MedioBitUs);
    ClockBajo();
    EsperaUs(MedioBitUs);
  }
  ClockAlto();
  EsperaMs(1);  // P9
  ClockBajo();
  EsperaUs64(descargaUs);
  EnviaDato16(0x0000);
}

std::size_t Cuenta(const std::vector<std::string>& violaciones, const std::string& texto) {
  return static_cast<std::size_t>(std::count_if(violaciones.begin(), violaciones.end(),
                                                [&](const std::string& v) { return v.find(texto) != std::string::npos; }));
}

}  // namespace

// Each model's high-voltage discharge after a programming write (P10: 5 us
// on the 18F452 family, 100 us on the 18F4550 family): a driver that keeps
// the clock low a microsecond less is noted.
TEST(Sim18, TheDischargeAfterAProgrammingWriteIsEachModelsP10) {
  const struct {
    uint8_t indice;
    uint64_t descargaUs;
    std::size_t violaciones;
  } casos[] = {{Indice18F452, 4, 1}, {Indice18F452, 5, 0}, {Indice18F4550, 99, 1}, {Indice18F4550, 100, 0}};
  for (const auto& c : casos) {
    SCOPED_TRACE(std::to_string(c.indice) + ", " + std::to_string(c.descargaUs) + " us");
    Banco18 b(c.indice, false);
    EntraProgramacion();
    NopConDescarga(c.descargaUs);
    SaleProgramacion();
    EXPECT_EQ(Cuenta(b.chip->Violaciones, "clock low only"), c.violaciones);
  }
}

// The NOP that starts a bulk erase keeps the data line low, operand
// included; a driver that raises it is noted.
TEST(Sim18, TheDataLineStaysLowThroughTheNopOfABulkErase) {
  for (bool alto : {false, true}) {
    SCOPED_TRACE(alto ? "data high" : "data low");
    Banco18 b(Indice18F452, false);
    b.chip->Memoria.PonPalabraProg(0, 0x0000);
    EntraProgramacion();
    PonTblptr(0x3C0004);
    EnviaComando4(12);
    EnviaDato16(0x0080);  // chip erase
    Nucleo(0x0000);
    EnviaComando4(0);     // the erase starts at its fourth clock
    EnviaDato16(alto ? 0xFFFF : 0x0000);
    EsperaMs(15);
    SaleProgramacion();
    EXPECT_EQ(Cuenta(b.chip->Violaciones, "data line high during the NOP of a bulk erase"), alto ? 1u : 0u);
  }
}

// The host's data bit around the falling edge that latches it (setup and
// hold, 15 ns each), caught with the wrong drivers that break each.
TEST(Sim18, DataSetupAndHoldAroundTheLatchingEdge) {
  for (const auto& c : CasosSetupHold(15, 15)) {
    SCOPED_TRACE(c.Regla);
    TPic18Sim chip(Modelo18F452());
    TLinea linea(chip, c.Conductor, 1'000);
    linea.Trama(0, 4);       // core instruction
    linea.Trama(0x0E5A, 16); // MOVLW 0x5A
    ASSERT_TRUE(chip.EnProgramacion);
    EXPECT_EQ(FaltaRegla(chip.Violaciones, c.Regla), "");
  }
}
