// Renders the main window on every page and family, each small dialog and
// the operation window after a run on a simulated part. Every picture must
// show something; with KORVANE_CAPTURAS set to a folder, they are saved
// there as PNG files for review (scripts/capturas.sh).
#include <QActionGroup>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QCheckBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "Acciones.h"
#include "Idiomas.h"
#include "chips/pic1x_partes.h"
#include "dialogos/Dialogos.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "sim_banco.h"
#include "ventana_comun.h"
// The profile editor's pictures.
#include "ConfigHarw.h"
#include "pg_idioma.h"

class TestCapturas : public QObject {
  Q_OBJECT

  QString carpetaSalida = qEnvironmentVariable("KORVANE_CAPTURAS");

  // The picture is not one flat colour, and is saved when asked. It is
  // taken as the user sees the window: shown, and laid out after the last
  // change (a window that was not shown is shown for it, then hidden).
  void Guarda(QWidget& w, const QString& nombre) {
    const bool mostrada = w.isVisible();
    if (!mostrada) w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    const QImage img = w.grab().toImage();
    if (!mostrada) w.hide();
    QVERIFY(!img.isNull());
    bool variado = false;
    const QRgb primero = img.pixel(0, 0);
    for (int y = 0; y < img.height() && !variado; y += 3)
      for (int x = 0; x < img.width() && !variado; x += 3) variado = img.pixel(x, y) != primero;
    QVERIFY2(variado, qPrintable(nombre));
    if (!carpetaSalida.isEmpty()) {
      QDir().mkpath(carpetaSalida);
      QVERIFY(img.save(carpetaSalida + "/" + nombre + ".png"));
    }
  }

  static void Selecciona(TFormKorvane& w, int clase, int indice) {
    w.SelecDev->setCurrentIndex(clase);
    w.SelecDevChange();
    QComboBox* l[] = {w.ListPics, w.ListPicsC, w.ListEeprom};
    l[clase]->setCurrentIndex(indice);
    w.ListPicsChange();
  }

private slots:
  // The configuration pages of every PIC18 group and of the dsPIC kind in
  // both languages, and the command-line help in English.
  void paginasConfYAyuda() {
    TCarpetaPrueba carpeta;
    TFormKorvane w;
    w.PonDialogos(std::make_unique<TDialogosPrueba>());
    w.show();
    const struct {
      const char* pic;
      const char* nombre;
    } tipos[] = {{"PIC18F242", "18F242"},   {"PIC18F1220", "18F1220"}, {"PIC18F2331", "18F2331"},
                 {"PIC18F8720", "18F8720"}, {"PIC18F4550", "18F4550"}, {"PIC18F2410", "18F2410"},
                 {"PIC18F4580", "18F4580"}, {"PIC30F2010", "30F2010"}, {"PIC30F4013", "30F4013"},
                 {"PIC30F6014A", "30F6014A"}};
    for (const char* idioma : {"English", "Español"}) {
      for (QAction* a : w.GrupoIdiomas->actions())
        if (a->data().toString() == QString::fromUtf8(idioma)) a->trigger();
      QCOMPARE(IdiomaActual, std::string(idioma));
      for (const auto& t : tipos) {
        Selecciona(w, 0, BuscaPic(t.pic));
        w.SprogramaClick(w.Sconfig);
        Guarda(w, QStringLiteral("%1-principal-%2-pagina2").arg(idioma == std::string("English") ? "en" : "es", t.nombre));
      }
      // The 30F4013 with the XT crystal chosen: source 011 and its list.
      Selecciona(w, 0, BuscaPic("PIC30F4013"));
      w.SprogramaClick(w.Sconfig);
      for (QAbstractButton* b : w.findChildren<QAbstractButton*>("FOSCA"))
        if (b->isVisible()) b->click();
      for (QComboBox* c : w.findChildren<QComboBox*>("FPR_A"))
        if (c->isVisible()) {
          c->setCurrentIndex(4);
          emit c->activated(4);
        }
      Guarda(w, QStringLiteral("%1-principal-30F4013-XT-pagina2").arg(idioma == std::string("English") ? "en" : "es"));
      if (idioma == std::string("English")) {
        TFAyuda_params ayuda(&w);
        Guarda(ayuda, "en-dialogo-parametros");
      }
    }
  }

  void ventanaYDialogos() {
    TCarpetaPrueba carpeta;
    PonPerfilLptSim();
    QVERIFY(GuardaPerfilHardware("Korvane"));
    TBancoSim banco;
    banco.Adaptador.Registra = false;
    banco.Puerto.Registra = false;
    TPic14Sim chip(*Datos14("16F628A"));
    banco.Adaptador.Conecta(&chip);
    TFormKorvane w;
    auto dialogos = std::make_unique<TDialogosPrueba>();
    TDialogosPrueba* d = dialogos.get();
    w.PonDialogos(std::move(dialogos));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const struct {
      int clase, indice;
      const char* nombre;
    } familias[] = {{0, 0, "10F200"}, {0, 9 + 2, "16F628A"}, {0, 44, "16F877"}, {0, 46, "18F242"}, {0, 98, "30F"}, {1, 0, "16C"}, {2, 8, "24C256"}};
    for (const auto& f : familias) {
      Selecciona(w, f.clase, f.indice);
      TTransparentButton* paginas[] = {w.Sprograma, w.SDatos, w.Sconfig, w.SCE};
      for (int p = 0; p < 4; ++p) {
        if (paginas[p]->isHidden()) continue;
        w.SprogramaClick(paginas[p]);
        Guarda(w, QStringLiteral("principal-%1-pagina%2").arg(f.nombre).arg(p));
      }
    }
    {
      TFConfigSoft a(&w);
      Guarda(a, "dialogo-opciones");
      TFllenar b(&w);
      b.CargaMaximos(*w.EditorProg);
      Guarda(b, "dialogo-llenar");
      TFBuscar c(&w);
      Guarda(c, "dialogo-buscar");
      TFAbout e(&w);
      Guarda(e, "dialogo-acerca");
      TFAyuda_params f(&w);
      Guarda(f, "dialogo-parametros");
      TFGuardaComo g(&w);
      Guarda(g, "dialogo-guardar-perfil");
    }
    // A read of the 16F628A in the operation window, which stays open for
    // the picture and is closed with Ok.
    Selecciona(w, 0, 11);
    FAcciones->closw->setChecked(false);
    FAcciones->Timer1->setInterval(10);
    QTimer t;
    bool capturada = false;
    QObject::connect(&t, &QTimer::timeout, [&] {
      if (FAcciones->EnEjecucion() || !FAcciones->isVisible() || !FAcciones->Ok->isEnabled()) return;
      if (!capturada) Guarda(*FAcciones, "operacion-leer-16F628A");
      capturada = true;
      FAcciones->Ok->click();
    });
    t.start(5);
    w.SLeer->click();
    QVERIFY(capturada);
    QCOMPARE(d->Operaciones, 1);
    Guarda(w, "principal-tras-leer");
    CierraPuerto(false);
    PerfilHardware.clear();
  }
  // The hardware profile editor on a pin-level link and on a firmware
  // link, unlocked, in both languages.
  void editorDePerfiles() {
    TCarpetaPrueba carpeta;
    TBancoSim banco;
    for (const char* idioma : {"English", "Español"}) {
      UsaArchivoIdioma(std::string("LANGUAGES/") + idioma + ".ini");
      for (const bool firmware : {false, true}) {
        PonPerfilLptSim();
        USB_COM = firmware;
        ADDR_USB_COM = "/dev/ttyACM0";
        QVERIFY(GuardaPerfilHardware("Korvane"));
        PerfilHardware = "Korvane";
        TFConfigHarw editor;
        editor.AlMensaje = [](const std::string&) {};
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.Block->click();
        if (!firmware) editor.TimerTimer();
        Guarda(editor, QStringLiteral("editor-perfiles-%1-%2")
                           .arg(firmware ? "firmware" : "pines", idioma == std::string("English") ? "en" : "es"));
        editor.Cancelar->click();
      }
    }
    CierraPuerto(false);
    PerfilHardware.clear();
    USB_COM = false;
  }
};

QTEST_MAIN(TestCapturas)
#include "capturas_test.moc"
