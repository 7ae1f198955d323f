// The floor of a benchmark run: every wait and clock the programming
// sequence cannot do without on real hardware, item by item, and the ratio
// of the run's virtual time to their sum.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "fuentes_exceso.h"

struct TTramoSuelo {
  const char* Que;
  uint64_t Ns;
};

template <class TTramos>
uint64_t SumaSuelo(const TTramos& tramos) {
  uint64_t ns = 0;
  for (const auto& t : tramos) ns += t.Ns;
  return ns;
}

// Prints the virtual time, the floor with what it is made of, and their
// ratio against the target; returns the floor.
template <class TTramos>
uint64_t ImprimeSuelo(uint64_t virtualNs, const TTramos& tramos) {
  const uint64_t suelo = SumaSuelo(tramos);
  std::printf("  virtual time   %11.3f ms\n", virtualNs / 1e6);
  std::printf("  floor          %11.3f ms, made of\n", suelo / 1e6);
  for (const auto& t : tramos) std::printf("    %11.3f ms  %s\n", t.Ns / 1e6, t.Que);
  std::printf("  ratio          %11.4f  (target < 1.05)\n", static_cast<double>(virtualNs) / suelo);
  return suelo;
}
inline uint64_t ImprimeSuelo(uint64_t virtualNs, std::initializer_list<TTramoSuelo> tramos) {
  return ImprimeSuelo<std::initializer_list<TTramoSuelo>>(virtualNs, tramos);
}

// What the engine spends above the floor for one reason, and the engine
// source lines that spend it.
struct TExceso {
  const char* Que;
  uint64_t Ns;
  std::vector<TLineaFuente> Lineas;
};

// Prints what the run spent above the floor, the known excesses (each with
// the source lines that need it, as path:line and the line's text; those
// of no time left out) and what they leave unexplained. Every line is
// looked up under the repository root, those of excesses of no time too: a
// needle that stands on no line or on more than one is printed loudly and
// makes the result false, so that a stale name cannot pass unseen.
inline bool ImprimeExcesos(const std::string& raiz, uint64_t virtualNs, uint64_t suelo,
                           const std::vector<TExceso>& excesos) {
  uint64_t conocidos = 0;
  bool nombrados = true;
  std::printf("  above the floor %.3f ms, of which known:\n", (virtualNs > suelo ? virtualNs - suelo : 0) / 1e6);
  for (const auto& e : excesos) {
    if (e.Ns != 0) {
      conocidos += e.Ns;
      std::printf("    %11.3f ms  %s\n", e.Ns / 1e6, e.Que);
    }
    for (const auto& l : e.Lineas) {
      const TLineaResuelta r = ResuelveLinea(raiz, l);
      if (r.Coincidencias == 1) {
        if (e.Ns != 0) std::printf("                   %s:%d  %s\n", l.Archivo, r.Numero, r.Texto.c_str());
        continue;
      }
      nombrados = false;
      char motivo[64];
      if (!r.Leido)
        std::snprintf(motivo, sizeof motivo, "cannot be read");
      else if (r.Coincidencias == 0)
        std::snprintf(motivo, sizeof motivo, "has no line with");
      else
        std::snprintf(motivo, sizeof motivo, "has %d lines with, not one:", r.Coincidencias);
      for (FILE* f : {stdout, stderr})
        std::fprintf(f, "  *** STALE SOURCE NAME: %s/%s %s \"%s\" (named for \"%s\")\n", raiz.c_str(), l.Archivo,
                     motivo, l.Aguja, e.Que);
    }
  }
  std::printf("  unexplained    %11.3f ms\n",
              (static_cast<double>(virtualNs) - static_cast<double>(suelo) - static_cast<double>(conocidos)) / 1e6);
  return nombrados;
}
