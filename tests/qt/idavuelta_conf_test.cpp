// Configuration set in the editor, programmed into a simulated part through
// the operation window, read back and shown again by a new editor: the
// 18F452 on the pin-level programmer, the 18F4550 on the firmware
// programmer, the 30F4013 on the pin-level programmer.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "Acciones.h"
#include "chips/dspic30_sim.h"
#include "chips/pic18_fw.h"
#include "chips/pic18_sim.h"
#include "conf/CodecConf.h"
#include "conf/EditorTabla.h"
#include "firmware/placa_fw.h"
#include "forms/pg_acciones.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_time.h"
#include "KvEdit.h"
#include "pagina_editor.h"
#include "pg_catalogo.h"
#include "pg_hex.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "reloj_enlace.h"
#include "sim_banco.h"

namespace {

template <typename T>
T* Hijo(QWidget* w, const char* nombre) {
  for (T* h : w->findChildren<T*>(QString::fromLatin1(nombre)))
    if (h->isVisible()) return h;
  return nullptr;
}

// What the user sets: ticked and cleared boxes, chosen buttons, list items.
struct TOpciones {
  std::vector<const char*> marcar, desmarcar, botones;
  std::vector<std::pair<const char*, int>> listas;
};

void Aplica(QWidget* e, const TOpciones& o) {
  for (const char* n : o.marcar) {
    QCheckBox* c = Hijo<QCheckBox>(e, n);
    QVERIFY2(c, n);
    if (!c->isChecked()) c->click();
  }
  for (const char* n : o.desmarcar) {
    QCheckBox* c = Hijo<QCheckBox>(e, n);
    QVERIFY2(c, n);
    if (c->isChecked()) c->click();
  }
  for (const char* n : o.botones) {
    QAbstractButton* b = Hijo<QAbstractButton>(e, n);
    QVERIFY2(b, n);
    b->click();
  }
  for (const auto& [n, i] : o.listas) {
    QComboBox* c = Hijo<QComboBox>(e, n);
    QVERIFY2(c, n);
    c->setCurrentIndex(i);
    emit c->activated(i);
  }
}

void Muestra(QWidget* e, const TOpciones& o) {
  for (const char* n : o.marcar) QVERIFY2(Hijo<QCheckBox>(e, n)->isChecked(), n);
  for (const char* n : o.desmarcar) QVERIFY2(!Hijo<QCheckBox>(e, n)->isChecked(), n);
  for (const char* n : o.botones) QVERIFY2(Hijo<QAbstractButton>(e, n)->isChecked(), n);
  for (const auto& [n, i] : o.listas) QCOMPARE(Hijo<QComboBox>(e, n)->currentIndex(), i);
}

// Blank buffers of the selected part, the data EEPROM as bytes (as the
// data grid hands it over).
void Limpia() {
  LimpiaBuffers(BufDispositivo);
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) BufDispositivo.Datos[i] = PicActual.EeMask;
}

}  // namespace

class TestIdaVueltaConf : public QObject {
  Q_OBJECT

  std::unique_ptr<TFAcciones> f;

  void Ejecuta(uint32_t accion) {
    TipoAccion = accion;
    f->closw->setChecked(true);
    f->ShowModal();
    QCOMPARE(ResultadoAccion, uint8_t{0});
  }

  // The selected part: options set in its editor are programmed, read back
  // and shown by a new editor with the same words and ID words.
  void IdaVuelta(uint8_t indice, const TOpciones& o) {
    ClaseDispositivo = ClaseFlash;
    IndiceListPics = indice;
    QCOMPARE(PonDispositivo(), uint8_t{0});
    Limpia();
    TPaginaPrueba pagina;
    pagina.PonTipo(EstadoEditorConf);
    pagina.Carga(BufDispositivo);
    Aplica(pagina.Editor(), o);
    if (QTest::currentTestFailed()) return;
    if (auto* id = Hijo<QLineEdit>(pagina.Editor(), "ID2")) id->setText(QStringLiteral("00A5"));
    pagina.Guarda(BufDispositivo);
    const TBuffers escrito = BufDispositivo;
    BufArchivo = BufDispositivo;
    Ejecuta(AccProgramar);
    Limpia();
    Ejecuta(AccLeer);

    TPaginaPrueba leida;
    leida.PonTipo(EstadoEditorConf);
    leida.Carga(BufDispositivo);
    Muestra(leida.Editor(), o);
    const auto* tabla = dynamic_cast<TFEditorTabla*>(leida.Editor());
    QVERIFY(tabla);
    const std::vector<uint16_t> palabras = tabla->Palabras();
    for (size_t i = 0; i < palabras.size(); ++i) {
      QCOMPARE(QString::fromStdString(Hex4(palabras[i])), QString::fromStdString(Hex4(escrito.Config[i])));
      QCOMPARE(BufDispositivo.Config[i], escrito.Config[i]);
    }
    if (auto* id = Hijo<QLineEdit>(leida.Editor(), "ID2")) QCOMPARE(id->text(), QStringLiteral("00A5"));
  }

private slots:
  void init() {
    f = std::make_unique<TFAcciones>();
    f->Timer1->setInterval(10);
    f->AlMensaje = [](const std::string& t) { QFAIL(t.c_str()); };
    f->AlPreguntar = [](const std::string& t, bool) {
      qWarning("asked: %s", t.c_str());
      return TRespuesta::Si;
    };
    PonPerfilLptSim();
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
    OpcPMsgs = false;
    OpcVDespues = true;
    Usa_Vpp2 = false;
    Cancelado = false;
    PonEjecutivoConDatos([] { return false; });
  }
  void cleanup() {
    f.reset();
    CierraPuerto(true);
    PonEjecutivoConDatos(nullptr);
    PerfilHardware.clear();
    USB_COM = false;
    ADDR_USB_COM.clear();
  }

  // A read of a protected part through the window: the user is told in a
  // box and in the log, and the read still completes.
  void protectedPartIsSaidThroughTheWindow() {
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
    TPic18Sim chip(Modelo18F452());
    TBancoSim banco;
    banco.Puerto.Registra = false;
    banco.Adaptador.Registra = false;
    banco.Adaptador.Conecta(&chip);
    chip.Memoria.PonPalabraProg(0x40, 0x1234);   // boot block
    chip.Memoria.PonPalabraProg(0x200, 0x5678);  // code block 0, protected
    chip.Memoria.Config[8] = 0x0E;
    ClaseDispositivo = ClaseFlash;
    IndiceListPics = 52;
    QCOMPARE(PonDispositivo(), uint8_t{0});
    std::vector<std::string> mensajes;
    f->AlMensaje = [&](const std::string& t) { mensajes.push_back(t); };
    Ejecuta(AccLeer);
    const std::string aviso = TextoIdioma("pg_avisos*", "4*") + " " + TextosZona[0];
    QCOMPARE(mensajes, std::vector<std::string>{aviso});
    QVERIFY(f->memo->toPlainText().contains(QString::fromStdString(aviso)));
    QCOMPARE(BufDispositivo.Prog[0x40], uint16_t{0x1234});
    QCOMPARE(BufDispositivo.Prog[0x200], uint16_t{0});
  }

  void pic18OnThePinLevelProgrammer() {
    // The identification that opens every flash operation probes the part
    // with mid-range commands as well, which a PIC18 takes for a write with
    // no programming time; that is the identification's matter, so the
    // part's complaints are not looked at here (the verify after
    // programming and the read back are).
    TPic18Sim chip(Modelo18F452());
    TBancoSim banco;
    banco.Puerto.Registra = false;
    banco.Adaptador.Registra = false;
    banco.Adaptador.Conecta(&chip);
    IdaVuelta(52, {{"OSCSEN", "PWRTEN", "STVREN"}, {"BOREN", "WDTEN", "LVP", "CCP2MX"}, {"os6", "vbor3", "w5"}, {}});
    QCOMPARE(chip.Memoria.Config[1], uint8_t(0x02));  // HS, oscillator switching on
    QCOMPARE(chip.Memoria.Config[3], uint8_t(0x06));  // postscaler 1:8, watchdog off
  }

  void pic18OnTheFirmwareProgrammer() {
    TRelojEnlace reloj;
    TReloj* anterior = PonReloj(&reloj);
    const TTiemposSerie tiempos = TiemposSerie;
    TiemposSerie = {};  // the engine's own time-outs
    TMemoriaPic18 memoria(Modelo18F4550());
    TPic18Fw chip(memoria);
    auto placa = std::make_unique<TPlacaFw>(chip);
    PonPinesPorDefecto(0x3F8);
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = placa->Dispositivo();
    IdaVuelta(92, {{"USBPLL", "VREGEN", "PWRTEN", "XINST"},
                   {"WDTEN", "LVP", "PBADEN", "IESO", "FCMEM"},
                   {},
                   {{"FOSC_USB", 14}, {"CPUDIV2", 2}, {"PLLDIV", 4}, {"BOREN", 2}, {"BORV", 1}, {"WDTPS", 9}}});
    CierraPuerto(true);
    QVERIFY(placa->Errores().empty());
    placa->Con([&] {
      QCOMPARE(memoria.Config[0], uint8_t(0x34));  // PLLDIV 4, CPUDIV 2, USB from the PLL
      QCOMPARE(memoria.Config[1], uint8_t(0x0E));  // HS with PLL, IESO and FCMEM off
    });
    placa.reset();
    TiemposSerie = tiempos;
    PonReloj(anterior);
  }

  void dsPicOnThePinLevelProgrammer() {
    // As on the PIC18: the identification before the operation clocks the
    // mid-range ID read into the part too, with its data changing right
    // after the edges a dsPIC latches on; the part's complaints are not
    // looked at here (the verify after programming and the read back are).
    TDsPic30Sim chip(Modelo30F4013());
    TBancoSim banco;
    banco.Puerto.Registra = false;
    banco.Adaptador.Registra = false;
    banco.Adaptador.Conecta(&chip);
    IdaVuelta(108, {{"FWDTEN", "BOREN", "COE"},
                    {"MCLREN", "BKBUG"},
                    {"FOSC1", "FCKSM2"},
                    {{"FPR_3", 10}, {"WDTA", 1}, {"WDTB", 6}, {"PWRT", 1}, {"Brown", 2}, {"ICD", 1}}});
    QCOMPARE(chip.Memoria.Config[0], uint16_t(0x470A));  // clock switching on, the PLL fed by the FRC, 8x
    QCOMPARE(chip.Memoria.Config[3], uint16_t(0x310F));
  }
};

QTEST_MAIN(TestIdaVueltaConf)
#include "idavuelta_conf_test.moc"
