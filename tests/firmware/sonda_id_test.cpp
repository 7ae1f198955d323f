// The simulated board's ID reads clocked into the pin-level part models:
// the read of the part's own family names it without breaking a rule of
// the part's programming specification; the reads the identification
// sends before it leave the line at the board's pull-up, and so does any
// read on the other socket's Vpp line.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chips/dspic30_sim.h"
#include "chips/pic18_sim.h"
#include "chips/pic1x_partes.h"
#include "firmware/sonda_id_fw.h"

namespace {

struct TParteSonda {
  std::unique_ptr<TChipSim> Chip;
  // What the part noted: rules broken and commands it does not know.
  std::function<std::vector<std::string>()> Notas;
};

struct TCasoSonda {
  const char* Nombre;
  std::function<TParteSonda()> Crea;
  char Letra;                // the part's own ID read
  uint16_t Id;               // what it answers
  std::string Anteriores;    // the reads the identification sends before it
};
void PrintTo(const TCasoSonda& c, std::ostream* os) { *os << c.Nombre; }

template <typename T>
std::vector<std::string> Juntas(const T& chip) {
  std::vector<std::string> v = chip.Violaciones;
  v.insert(v.end(), chip.Desconocidos.begin(), chip.Desconocidos.end());
  return v;
}

const TCasoSonda Casos[] = {
    {"Pic16F628A",
     [] {
       auto c = std::make_unique<TPic14Sim>(*Datos14("16F628A"));
       auto* p = c.get();
       return TParteSonda{std::move(c), [p] { return p->Violaciones; }};
     },
     '4', static_cast<uint16_t>(Datos14("16F628A")->Id), ""},
    {"Pic18F4550",
     [] {
       auto c = std::make_unique<TPic18Sim>(Modelo18F4550());
       auto* p = c.get();
       return TParteSonda{std::move(c), [p] { return Juntas(*p); }};
     },
     '5', Modelo18F4550().IdDispositivo, "4C"},
    {"DsPic30F4013",
     [] {
       auto c = std::make_unique<TDsPic30Sim>(Modelo30F4013());
       auto* p = c.get();
       return TParteSonda{std::move(c), [p] { return Juntas(*p); }};
     },
     'C', Modelo30F4013().Id, "4"},
};

uint16_t Silencio(char letra) { return letra == '4' ? 0x3FFF : 0xFFFF; }

class SondaId : public ::testing::TestWithParam<TCasoSonda> {};

TEST_P(SondaId, OwnFamilysReadNamesThePartCleanly) {
  TParteSonda parte = GetParam().Crea();
  TSondaIdFw sonda(*parte.Chip);
  EXPECT_EQ(sonda.Lee(GetParam().Letra, false), GetParam().Id);
  EXPECT_EQ(parte.Notas(), std::vector<std::string>{});
}

TEST_P(SondaId, EarlierReadsAndTheOtherSocketFindNothing) {
  TParteSonda parte = GetParam().Crea();
  TSondaIdFw sonda(*parte.Chip);
  for (char letra : GetParam().Anteriores) EXPECT_EQ(sonda.Lee(letra, false), Silencio(letra)) << letra;
  EXPECT_EQ(sonda.Lee(GetParam().Letra, true), Silencio(GetParam().Letra));
  // After the other families' streams the part still answers its own.
  EXPECT_EQ(sonda.Lee(GetParam().Letra, false), GetParam().Id);
}

INSTANTIATE_TEST_SUITE_P(Familias, SondaId, ::testing::ValuesIn(Casos),
                         [](const auto& i) { return std::string(i.param.Nombre); });

}  // namespace
