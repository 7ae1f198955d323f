#include "BloquesIdioma.h"

#include "pg_idioma.h"

namespace {

constexpr auto C = TPropiedadTexto::Caption;
constexpr auto H = TPropiedadTexto::Hint;

}  // namespace

const std::vector<TBloqueIdioma>& BloquesMenus() {
  static const std::vector<TBloqueIdioma> bloques = {
      {"Menus*", "MainMenu*", 6,
       {{0, "FormKorvane.Archivo", C}, {1, "FormKorvane.Edicion", C}, {2, "FormKorvane.Comando", C},
        {3, "FormKorvane.MConfig", C}, {4, "FormKorvane.Idioma_menu", C}, {5, "FormKorvane.Informacion1", C}}},
      {"Menus*", "M0*", 7,
       {{0, "FormKorvane.MAbrir", C}, {1, "FormKorvane.ArcRecientes", C}, {2, "FormKorvane.MGuardar", C},
        {3, "FormKorvane.MGuardarComo", C}, {4, "FormKorvane.Salir", C}, {5, "FormKorvane.ActualizarArchivo1", C},
        {0, "FormKorvane.Abrir", H, " ", " "}, {5, "FormKorvane.Reabrir", H, " ", " "},
        {2, "FormKorvane.Guardar", H, " ", " "}}},
      {"Menus*", "M1*", 2,
       {{0, "FormKorvane.Llenarbuffer2", C}, {1, "FormKorvane.MLimpiarBuffer", C}, {1, "FormKorvane.Limpiar", C}}},
      {"Menus*", "M2*", 6,
       {{4, "FormKorvane.Comprobarhardware1", C}, {5, "FormKorvane.MDtModel", C},
        {4, "FormKorvane.TestHardw", H, " ", " "}, {5, "FormKorvane.DetectPic", H, " ", " "}}},
      {"Menus*", "H2*", 4,
       {{0, "FormKorvane.MLeer", C}, {1, "FormKorvane.MProgramar", C}, {2, "FormKorvane.MVerificar", C},
        {3, "FormKorvane.MBorrar", C}, {0, "FormKorvane.SLeer", H, " ", " "},
        {1, "FormKorvane.Sprogramar", H, " ", " "}, {2, "FormKorvane.SVerificar", H, " ", " "},
        {3, "FormKorvane.BorrarTodo", H, " ", " "}}},
      {"Menus*", "M3*", 2, {{0, "FormKorvane.MConfHard", C}, {1, "FormKorvane.MConfSoft", C}}},
      {"Menus*", "M5*", 2,
       {{0, "FormKorvane.Ay_params", C, " "}, {1, "FormKorvane.Acerca1", C, " ", "  Korvane "}}},
      {"Menus*", "B0*", 4,
       {{0, "FormKorvane.Sprograma", C}, {1, "FormKorvane.SDatos", C}, {2, "FormKorvane.Sconfig", C},
        {3, "FormKorvane.SCE", C}}},
      {"Menus*", "H0*", 8,
       {{0, "FormKorvane.B_copiar", H}, {1, "FormKorvane.B_pegar", H}, {2, "FormKorvane.B_cortar", H},
        {3, "FormKorvane.B_Llenar", H}, {4, "FormKorvane.B_Marcas", H}, {5, "FormKorvane.B_buscar", H},
        {6, "FormKorvane.B_buscars", H}, {0, "FormKorvane.Copiar", C}, {0, "FAcciones.Copiar1", C},
        {1, "FormKorvane.Pegar", C}, {2, "FormKorvane.Cortar", C}, {3, "FormKorvane.LLenarbuffer1", C},
        {7, "FormKorvane.Seleccionartodo", C}}},
      {"Menus*", "MM*", 3,
       {{0, "FormKorvane.miToggleBookmarks", C}, {1, "FormKorvane.miGotoBookmarks", C},
        {2, "FormKorvane.BorrarMarcas1", C}}},
  };
  return bloques;
}

const TBloqueIdioma& BloqueAcciones() {
  static const TBloqueIdioma bloque = {
      "Acciones*", "***", 4,
      {{0, "FAcciones.cancelar", C}, {1, "FAcciones.Ok", C}, {2, "FAcciones.closw", C}, {3, "FAcciones.pr", C}}};
  return bloque;
}

bool AplicaBloque(const TBloqueIdioma& bloque, TDestinoIdioma& destino, std::vector<std::string>& lista) {
  if (!LeeBloqueIdioma(bloque.seccion, bloque.clave, bloque.items, lista)) return false;
  for (const auto& a : bloque.aplicaciones)
    destino.PonTexto(a.control, a.propiedad, std::string(a.antes) + lista[a.item] + a.despues);
  return true;
}
