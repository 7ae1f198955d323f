// Fuzzes the ini reader as the program uses it on files a user can edit:
// the settings file (typed reads, then a write that must read back and
// leave every other key as it was), a language file (its texts and
// blocks) and a hardware profile (read, saved under a second name, read
// again). The first byte chooses the use.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "CarpetaPrograma.h"
#include "RegAuto.h"
#include "fuzz_comun.h"
#include "hw/pg_perfil.h"
#include "pg_idioma.h"

namespace {

// The first section and key the text names, so reads also hit what is there.
void PrimeraClave(std::string_view t, std::string& seccion, std::string& clave) {
  const auto a = t.find('['), b = t.find(']', a == std::string_view::npos ? 0 : a);
  if (a != std::string_view::npos && b != std::string_view::npos) seccion = t.substr(a + 1, b - a - 1);
  const auto fin = t.find('\n', b == std::string_view::npos ? 0 : b);
  if (fin == std::string_view::npos) return;
  const auto igual = t.find('=', fin);
  if (igual == std::string_view::npos) return;
  const auto inicio = t.rfind('\n', igual);
  clave = t.substr(inicio + 1, igual - inicio - 1);
}

void Ajustes(std::string_view texto) {
  const std::string ruta = CarpetaFuzz() + "ajustes.ini";
  EscribeArchivoFuzz(ruta, texto);
  TRegAuto ini;
  ini.Storage = raIniFile;
  ini.IniFile = ruta;
  std::string seccion = "Opciones", clave = "Idioma";
  PrimeraClave(texto, seccion, clave);
  const std::string antes = ini.ReadString(seccion, clave, "-");
  ini.ReadInteger(seccion, clave, 7);
  ini.ReadFloat(seccion, clave, 0.5);
  std::vector<std::string> lista;
  ini.ReadStrings(seccion, clave, lista);
  if (!ini.WriteString("Fuzz", "Escrita", "valor de prueba")) return;
  if (ini.ReadString("Fuzz", "Escrita", "") != "valor de prueba") std::abort();
  // A write changes its own line only (unless it is in that very section).
  std::string minusculas;
  for (char c : seccion) minusculas += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (minusculas.find("fuzz") == std::string::npos && ini.ReadString(seccion, clave, "-") != antes) std::abort();
}

void Lenguaje(std::string_view texto) {
  const std::string ruta = CarpetaFuzz() + "idioma.ini";
  EscribeArchivoFuzz(ruta, texto);
  UsaArchivoIdioma(ruta);
  TextoIdioma("Entorno*", "3*");
  std::vector<std::string> lista;
  LeeBloqueIdioma("Entorno*", "0*", 4, lista);
}

void Perfil(std::string_view texto) {
  EscribeArchivoFuzz(CarpetaFuzz() + "Hardware/fuzz.prf", texto);
  if (!LeePerfilHardware("fuzz")) std::abort();  // the file is there
  if (GuardaPerfilHardware("fuzz-copia") && !LeePerfilHardware("fuzz-copia")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  PonCarpetaPrograma(CarpetaFuzz());
  if (std::system(("mkdir -p " + CarpetaFuzz() + "Hardware").c_str()) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, std::size_t tam) {
  if (tam == 0) return 0;
  const std::string_view texto(reinterpret_cast<const char*>(datos + 1), tam - 1);
  switch (datos[0] % 3) {
    case 0: Ajustes(texto); break;
    case 1: Lenguaje(texto); break;
    default: Perfil(texto); break;
  }
  return 0;
}
