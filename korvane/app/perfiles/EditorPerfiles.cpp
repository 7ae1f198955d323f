#include "EditorPerfiles.h"

#include <QLineEdit>
#include <optional>
#include <string>

#include "ConfigHarw.h"
#include "dialogos/Dialogos.h"
#include "principal/Korvane.h"

void InstalaEditorPerfiles(TFormKorvane& ventana) {
  ventana.EditorPerfiles = [&ventana](QWidget* padre) {
    TFConfigHarw editor(padre);
    editor.AlMensaje = [&](const std::string& texto) {
      ventana.Dialogos().Mensaje(&editor, QString::fromStdString(texto));
    };
    editor.AlConfirmar = [&](const std::string& texto) {
      return ventana.Dialogos().Pregunta(&editor, QString::fromStdString(texto));
    };
    editor.AlPedirNombre = [&]() -> std::optional<std::string> {
      TFGuardaComo nombre(&editor);
      nombre.Actualizando = Actualizando;
      if (ventana.Dialogos().Modal(nombre) != QDialog::Accepted) return std::nullopt;
      return nombre.Edit->text().toStdString();
    };
    ventana.Dialogos().Modal(editor);
  };
}
