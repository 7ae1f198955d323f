// Load and save of full images: a PIC18F8720 (64 K words of program memory)
// and a dsPIC30F6014 (96 K cells, data EEPROM, executive), every cell
// non-blank. Prints the best and the median of several runs of each.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "pg_catalogo.h"
#include "pg_hex.h"
#include "pg_pic.h"

namespace {

void Selecciona(uint8_t indice) {
  ClaseDispositivo = 0;
  IndiceListPics = indice;
  if (PonDispositivo() != 0) std::exit(1);
}

void Llena() {
  std::mt19937 azar(1);
  const TPic& p = PicActual;
  LimpiaBuffers(BufArchivo);
  const bool ds = p.Familia == 30;
  for (uint32_t k = 0; k < p.ProgTam; ++k)
    BufArchivo.Prog[k] = static_cast<uint16_t>(ds && (k & 1) ? azar() % 0xFF : azar() % 0xFFFF);
  for (uint32_t k = 0; k < p.EeTam; ++k) BufArchivo.Datos[k] = static_cast<uint16_t>(ds && (k & 1) ? 0 : azar() % 0xFF);
  for (uint32_t k = 0; k < p.ExecTam; ++k)
    BufArchivo.Exec[k] = static_cast<uint16_t>((k & 1) ? azar() % 0xFF : azar() % 0xFFFF);
  for (uint32_t k = 0; k < 28; ++k) BufArchivo.Config[k] = static_cast<uint16_t>(azar() % 0xFFFF);
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Mide(const char* nombre, uint8_t indice, const std::string& archivo) {
  Selecciona(indice);
  Llena();
  constexpr int Vueltas = 15;
  std::vector<double> guarda, carga;
  for (int v = 0; v < Vueltas; ++v) {
    auto t0 = std::chrono::steady_clock::now();
    if (GuardaHex(archivo) != 0) std::exit(1);
    auto t1 = std::chrono::steady_clock::now();
    if (CargaHex(archivo) != 0) std::exit(1);
    auto t2 = std::chrono::steady_clock::now();
    guarda.push_back(Ms(t1 - t0));
    carga.push_back(Ms(t2 - t1));
  }
  std::sort(guarda.begin(), guarda.end());
  std::sort(carga.begin(), carga.end());
  std::printf("%-12s file %7ju bytes  save best %6.2f ms median %6.2f ms  load best %6.2f ms median %6.2f ms\n",
              nombre, static_cast<uintmax_t>(std::filesystem::file_size(archivo)), guarda[0], guarda[Vueltas / 2],
              carga[0], carga[Vueltas / 2]);
}

}  // namespace

int main() {
  const std::string archivo =
      (std::filesystem::temp_directory_path() / ("korvane-bench-hex-" + std::to_string(::getpid()) + ".hex"))
          .string();
  std::printf("HEX image files (target: load and save each under 20 ms)\n");
  Mide("PIC18F8720", 69, archivo);
  Mide("dsPIC30F6014", 119, archivo);
  std::filesystem::remove(archivo);
  return 0;
}
