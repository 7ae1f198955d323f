// The engine source lines the benchmarks name for what the engine spends
// above the floor. Each line is found when the benchmark runs, from a
// needle: a piece of text that stands on exactly one line of its file. A
// name so follows the code when it moves, and a needle that no longer
// stands on one line is caught (the benchmark fails, and so does the test
// that resolves every needle listed here).
#pragma once

#include <fstream>
#include <string>

struct TLineaFuente {
  const char* Archivo;  // relative to the repository
  const char* Aguja;
};

// Every line a benchmark names: identifier, file, needle.
#define FUENTES_EXCESO(X)                                                                                   \
  X(EntradaPrevia, "korvane/engine/hw/pg_port.cpp", "EsperaMs(5);  // the lines settle")                   \
  X(EntradaReinicio, "korvane/engine/hw/pg_port.cpp", "EsperaMs(5);  // Vpp off long enough")              \
  X(EntradaVpp, "korvane/engine/hw/pg_port.cpp", "EsperaMs(5);  // Vpp settles")                           \
  X(IcspSeparacion18, "korvane/engine/hw/pg_icsp.cpp", "constexpr uint64_t SeparacionPic18Ns =")           \
  X(IcspTablatOcioso, "korvane/engine/hw/pg_icsp.cpp", "v |= static_cast<uint16_t>(LeeBit() << i);")       \
  X(IcspRetencion, "korvane/engine/hw/pg_icsp.cpp", "EsperaMs(RetardoPgm);")                               \
  X(Borrado18Espera, "korvane/engine/pic18/pg_pic18_borra.cpp", "constexpr uint16_t EsperaBorradoMs =")    \
  X(Eeprom18Espera, "korvane/engine/pic18/pg_pic18_programa.cpp", "EsperaMs(static_cast<uint16_t>(RetardoPgm + 3));") \
  X(Borrado14Pasadas, "korvane/engine/flash/pg_borrado.cpp", "for (int pasada = 1; pasada <= 3; ++pasada)") \
  X(Borrado14Protege, "korvane/engine/flash/pg_borrado.cpp", "EnviaDato14(0x0000);")                       \
  X(Borrado14EsperaPasada, "korvane/engine/flash/pg_borrado.cpp", "EsperaMs(pasada == 2 ? 10 : 20);")      \
  X(Borrado31Espera, "korvane/engine/flash/pg_borrado.cpp", "EsperaMs(20);  // the whole chip")            \
  X(Borrado31Fin, "korvane/engine/flash/pg_borrado.cpp", "EnviaComando6(23);")                             \
  X(Programa14Retardo, "korvane/engine/flash/pg_programa.cpp", "RetardoPgm = PicActual.TiempoPgm;")        \
  X(Programa14CargaConfig, "korvane/engine/flash/pg_programa.cpp", "RetardoPgm = 10;")                     \
  X(Programa14Espera, "korvane/engine/flash/pg_flash_comun.cpp", "EsperaMs(RetardoPgm);")                  \
  X(DsBorradoEntrada, "korvane/engine/dspic/pg_dspic.cpp", "EntraProgramacion();  // the erase starts")    \
  X(DsFilaDatosReset, "korvane/engine/dspic/pg_dspic_zonas.cpp", "SaltaReset();  // the read back")

namespace Fuente {
#define FUENTE_EXCESO_DEFINE(nombre, archivo, aguja) inline constexpr TLineaFuente nombre{archivo, aguja};
FUENTES_EXCESO(FUENTE_EXCESO_DEFINE)
#undef FUENTE_EXCESO_DEFINE
}  // namespace Fuente

inline constexpr TLineaFuente TodasLasFuentesExceso[] = {
#define FUENTE_EXCESO_LISTA(nombre, archivo, aguja) Fuente::nombre,
    FUENTES_EXCESO(FUENTE_EXCESO_LISTA)
#undef FUENTE_EXCESO_LISTA
};

struct TLineaResuelta {
  int Numero = 0;        // of the first line holding the needle; 0 when none does
  int Coincidencias = 0;  // lines holding it
  std::string Texto;      // that line, trimmed
  bool Leido = false;     // the file could be opened
};

// Finds the needle's line in the file under the repository's root.
inline TLineaResuelta ResuelveLinea(const std::string& raiz, const TLineaFuente& f) {
  TLineaResuelta r;
  std::ifstream in(raiz + "/" + f.Archivo);
  r.Leido = static_cast<bool>(in);
  std::string linea;
  for (int n = 1; std::getline(in, linea); ++n) {
    if (linea.find(f.Aguja) == std::string::npos) continue;
    if (++r.Coincidencias > 1) continue;
    r.Numero = n;
    const auto a = linea.find_first_not_of(" \t");
    const auto b = linea.find_last_not_of(" \t\r");
    r.Texto = a == std::string::npos ? std::string() : linea.substr(a, b - a + 1);
  }
  return r;
}
