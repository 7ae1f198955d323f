// Configuration set in the editor, programmed into a simulated part, read
// back and shown again by the editor: the 18F452 on the pin-level
// programmer, the 18F4550 on the firmware programmer, the 30F4013 on the
// pin-level programmer.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "chips/dspic30_sim.h"
#include "chips/pic18_fw.h"
#include "chips/pic18_sim.h"
#include "conf/CodecConf.h"
#include "conf/EditorTabla.h"
#include "pagina_editor.h"
#include "dspic/pg_dspic.h"
#include "firmware/placa_fw.h"
#include "flash/pg_flash.h"
#include "fw/pg_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "hw/pg_time.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_pic.h"
#include "reloj_rapido.h"
#include "sim_banco.h"

namespace {

class TVentana final : public TInterfazOperacion {
public:
  void Mensaje(const std::string& t) override { Mensajes.push_back(t); }
  std::vector<std::string> Mensajes;
};

template <typename T>
T* Hijo(QWidget* w, const QString& nombre) {
  for (T* h : w->findChildren<T*>(nombre))
    if (h->isVisible()) return h;
  return nullptr;
}

// The engine's globals as the operation runner leaves them for an algorithm.
void Prepara(uint8_t indice) {
  ClaseDispositivo = ClaseFlash;
  IndiceListPics = indice;
  PonDispositivo();
  Cancelado = false;
  ContextoError = {};
  TipoAccion = 0;
  Zocalo2 = false;
  VppAntesVdd = false;
  ProgresoFw = {};
  RetardoPgm = PicActual.TiempoPgm;
  LimpiaBuffers(BufDispositivo);
  LimpiaBuffers(BufArchivo);
  // Blank data EEPROM as the data grid hands it over: bytes.
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) BufDispositivo.Datos[i] = PicActual.EeMask;
}

// What the user set: ticked boxes, chosen buttons, list items.
struct TOpciones {
  std::vector<const char*> marcar, desmarcar, botones;
  std::vector<std::pair<const char*, int>> listas;
};

void Aplica(QWidget* e, const TOpciones& o) {
  for (const char* n : o.marcar) {
    QCheckBox* c = Hijo<QCheckBox>(e, QString::fromLatin1(n));
    QVERIFY2(c, n);
    if (!c->isChecked()) c->click();
  }
  for (const char* n : o.desmarcar) {
    QCheckBox* c = Hijo<QCheckBox>(e, QString::fromLatin1(n));
    QVERIFY2(c, n);
    if (c->isChecked()) c->click();
  }
  for (const char* n : o.botones) {
    QAbstractButton* b = Hijo<QAbstractButton>(e, QString::fromLatin1(n));
    QVERIFY2(b, n);
    b->click();
  }
  for (const auto& [n, i] : o.listas) {
    QComboBox* c = Hijo<QComboBox>(e, QString::fromLatin1(n));
    QVERIFY2(c, n);
    c->setCurrentIndex(i);
    emit c->activated(i);
  }
}

// The editor shows what was set.
void Muestra(QWidget* e, const TOpciones& o) {
  for (const char* n : o.marcar) QVERIFY2(Hijo<QCheckBox>(e, QString::fromLatin1(n))->isChecked(), n);
  for (const char* n : o.desmarcar) QVERIFY2(!Hijo<QCheckBox>(e, QString::fromLatin1(n))->isChecked(), n);
  for (const char* n : o.botones) QVERIFY2(Hijo<QAbstractButton>(e, QString::fromLatin1(n))->isChecked(), n);
  for (const auto& [n, i] : o.listas) QCOMPARE(Hijo<QComboBox>(e, QString::fromLatin1(n))->currentIndex(), i);
}

}  // namespace

class TestIdaVueltaConf : public QObject {
  Q_OBJECT

  TVentana ventana;
  TInterfazOperacion* anterior = nullptr;

  // Options set in the editor reach BufDispositivo through the page's
  // save; `opera` programs them, clears the buffers and reads back.
  template <typename F>
  void IdaVuelta(uint8_t indice, const TOpciones& o, F opera) {
    TPaginaPrueba pagina;
    pagina.PonTipo(EstadoEditorConf);
    TBuffers inicial = BufDispositivo;
    inicial.Config.fill(0xFFFF);
    pagina.Carga(inicial);
    Aplica(pagina.Editor(), o);
    if (QTest::currentTestFailed()) return;
    if (auto* id = Hijo<QLineEdit>(pagina.Editor(), QStringLiteral("ID2"))) id->setText(QStringLiteral("00A5"));
    pagina.Guarda(BufDispositivo);
    const TBuffers escrito = BufDispositivo;
    opera();
    if (QTest::currentTestFailed()) return;
    // A fresh editor shows the part as read.
    TPaginaPrueba leida;
    IndiceListPics = indice;
    leida.PonTipo(EstadoEditorConf);
    leida.Carga(BufDispositivo);
    Muestra(leida.Editor(), o);
    const auto* tabla = dynamic_cast<TFEditorTabla*>(leida.Editor());
    QVERIFY(tabla);
    const std::vector<uint16_t> palabras = tabla->Palabras();
    for (size_t i = 0; i < palabras.size(); ++i)
      QCOMPARE(QString::fromStdString(Hex4(BufDispositivo.Config[i])), QString::fromStdString(Hex4(escrito.Config[i])));
    if (auto* id = Hijo<QLineEdit>(leida.Editor(), QStringLiteral("ID2"))) QCOMPARE(id->text(), QStringLiteral("00A5"));
    QVERIFY(ventana.Mensajes.empty());
  }

private slots:
  void init() {
    anterior = PonInterfazOperacion(&ventana);
    ventana.Mensajes.clear();
  }
  void cleanup() {
    PonInterfazOperacion(anterior);
    Cancelado = false;
  }

  void pic18OnThePinLevelProgrammer() {
    PonPerfilLptSim();
    TBancoSim banco;
    banco.Puerto.Registra = false;
    banco.Adaptador.Registra = false;
    TPic18Sim chip(Modelo18F452());
    banco.Adaptador.Conecta(&chip);
    USB_COM = false;
    USB_ = false;
    Prepara(52);
    PinesReposo();
    VddOn();
    CompruebaHardware();
    const TOpciones o{{"OSCSEN", "PWRTEN", "STVREN"},
                      {"BOREN", "WDTEN", "LVP", "CCP2MX"},
                      {"os6", "vbor3", "w5"},
                      {}};
    IdaVuelta(52, o, [&] {
      QVERIFY(!ProgramaPic());
      LimpiaBuffers(BufDispositivo);
      QVERIFY(!LeerPic());
    });
    QCOMPARE(chip.Memoria.Config[0], uint8_t(0x00));
    QCOMPARE(chip.Memoria.Config[1], uint8_t(0x02));  // HS, OSCSEN on
  }

  void pic18OnTheFirmwareProgrammer() {
    const TTiemposSerie tiempos = TiemposSerie;
    TiemposSerie = {100, 2, 150, 20, 100};
    TRelojRapido reloj{10};
    PonReloj(&reloj);
    Prepara(92);
    TMemoriaPic18 memoria(Modelo18F4550());
    TPic18Fw chip(memoria);
    auto placa = std::make_unique<TPlacaFw>(chip);
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = placa->Dispositivo();
    QVERIFY(AbrePuerto(AddrB, USB_COM, ADDR_USB_COM, ADDR_USB_, USB_, true));
    const TOpciones o{{"USBPLL", "VREGEN", "PWRTEN", "XINST"},
                      {"WDTEN", "LVP", "PBADEN", "IESO", "FCMEM"},
                      {},
                      {{"FOSC_USB", 14}, {"CPUDIV2", 2}, {"PLLDIV", 4}, {"BOREN", 2}, {"BORV", 1}, {"WDTPS", 9}}};
    IdaVuelta(92, o, [&] {
      QVERIFY2(!ProgramaPic(), std::to_string(ContextoError.Codigo).c_str());
      LimpiaBuffers(BufDispositivo);
      QVERIFY(!LeerPic());
    });
    QVERIFY(placa->Errores().empty());
    CierraPuerto(false);
    placa.reset();
    USB_COM = false;
    ADDR_USB_COM.clear();
    PonReloj(nullptr);
    TiemposSerie = tiempos;
    QCOMPARE(memoria.Config[0], uint8_t(0x34));  // PLLDIV 4, CPUDIV 2, USBPLL
    QCOMPARE(memoria.Config[1], uint8_t(0x0E));  // IESO and FCMEM off, FOSC 14
  }

  void dsPicOnThePinLevelProgrammer() {
    PonPerfilLptSim();
    TBancoSim banco;
    banco.Puerto.Registra = false;
    banco.Adaptador.Registra = false;
    TDsPic30Sim chip(Modelo30F4013());
    banco.Adaptador.Conecta(&chip);
    USB_COM = false;
    USB_ = false;
    Prepara(108);
    IncluyeExec = false;
    PonEjecutivoConDatos([] { return false; });
    PinesReposo();
    VddOn();
    CompruebaHardware();
    const TOpciones o{{"FWDTEN", "BOREN", "COE"},
                      {"MCLREN", "PWMPIN", "BKBUG"},
                      {"FOSCA", "FCKSM2"},
                      {{"FPR_A", 10}, {"WDTA", 1}, {"WDTB", 6}, {"PWRT", 1}, {"Brown", 2}, {"ICD", 1}}};
    IdaVuelta(108, o, [&] {
      QCOMPARE(ProgramaDsPic(), uint8_t(0));
      LimpiaBuffers(BufDispositivo);
      QCOMPARE(LeeDsPic(false), uint8_t(0));
    });
    PonEjecutivoConDatos(nullptr);
    QCOMPARE(chip.Memoria.Config[0], uint16_t(0x430A));
    QCOMPARE(chip.Memoria.Config[3], uint16_t(0x310F));
  }
};

QTEST_MAIN(TestIdaVueltaConf)
#include "idavuelta_conf_test.moc"
