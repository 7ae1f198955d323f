// The operation window end to end: whole operations on simulated
// programmers and parts (pin-level LPT and COM, the firmware programmer on
// a pseudo-terminal and on a simulated USB bus), the runs that stop before
// their action, cancel, and the clean-up after every run.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cerrno>
#include <chrono>
#include <sys/ioctl.h>
#include <termios.h>
#include <memory>
#include <thread>

#include "Acciones.h"
#include "KvEdit.h"
#include "KvStatus.h"
#include "TransLED.h"
#include "chips/eeprom24_sim.h"
#include "chips/pic18_sim.h"
#include "chips/pic1x_fw.h"
#include "chips/pic1x_partes.h"
#include "firmware/chip_fw.h"
#include "firmware/placa_fw.h"
#include "flash/pg_flash.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "hw/pg_sistema.h"
#include "hw/pg_time.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_catalogo.h"
#include "pg_pic.h"
#include "sim_banco.h"
#include "usb/pg_usb_fw.h"
#include "usb/placa_usb_sim.h"
#include "reloj_enlace.h"

namespace {

constexpr uint8_t Indice16F84A = 30;

// The boxes of a run that the supply test opens.
enum TCajaDeEjecucion { Cancela, Verifica, Escribe };

void SeleccionaPic(uint8_t clase, uint8_t indice) {
  ClaseDispositivo = clase;
  if (clase == 1) IndiceListPicsC = indice;
  else if (clase == 2) IndiceListEeprom = indice;
  else IndiceListPics = indice;
  PonDispositivo();
}

// A small image for the selected part in BufDispositivo and BufArchivo.
void Imagen(uint32_t semilla) {
  LimpiaBuffers(BufDispositivo);
  for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
    BufDispositivo.Prog[a] = static_cast<uint16_t>((a * 2654435761u + semilla) >> 7) & PicActual.ProgMask;
  for (uint32_t i = 0; i < PicActual.EeTam; ++i) BufDispositivo.Datos[i] = static_cast<uint16_t>((i * 37 + semilla) & 0xFF);
  for (uint32_t i = 0; i < PicActual.IdNum; ++i) BufDispositivo.Id[i] = static_cast<uint16_t>(i + 1);
  BufDispositivo.Config[0] = 0x3FFB;  // code protection off
  BufArchivo = BufDispositivo;
}

// The simulated programmer of the loaded profile with a 16F84A in its
// socket (or an empty socket), without the change logs.
struct TBanco84 {
  TBancoSim b;
  TPic14Sim chip{*Datos14("16F84A")};
  explicit TBanco84(bool conChip = true) {
    b.Adaptador.Registra = false;
    b.Puerto.Registra = false;
    if (conChip) b.Adaptador.Conecta(&chip);
  }
};

// A used part of the simulated catalogue (a few program words written) for
// the socket, and everything it holds, to tell whether a run wrote to it.
struct TParteUsada {
  std::unique_ptr<TChipSim> Chip;
  TPic14Sim* Pic14 = nullptr;
  std::function<std::vector<uint32_t>()> Contenido;
};
TParteUsada ParteUsada(const std::string& nombre) {
  TParteUsada p;
  if (auto d = Datos14(nombre)) {
    auto c = std::make_unique<TPic14Sim>(*d);
    for (uint32_t a = 0; a < 16; ++a) c->Prog[a] = static_cast<uint16_t>(0x1230 + a);
    p.Pic14 = c.get();
    p.Contenido = [c = c.get()] {
      std::vector<uint32_t> v(c->Prog.begin(), c->Prog.end());
      v.insert(v.end(), c->Config.begin(), c->Config.end());
      v.insert(v.end(), c->Ee.begin(), c->Ee.end());
      return v;
    };
    p.Chip = std::move(c);
  } else {
    auto c = std::make_unique<TPic18Sim>(nombre == "18F452" ? Modelo18F452() : Modelo18F4550());
    for (uint32_t a = 0; a < 16; ++a) c->Memoria.PonPalabraProg(a, static_cast<uint16_t>(0x1230 + a));
    p.Contenido = [c = c.get()] {
      const TMemoriaPic18& m = c->Memoria;
      std::vector<uint32_t> v(m.Prog.begin(), m.Prog.end());
      v.insert(v.end(), m.Id.begin(), m.Id.end());
      v.insert(v.end(), m.Config.begin(), m.Config.end());
      v.insert(v.end(), m.Ee.begin(), m.Ee.end());
      return v;
    };
    p.Chip = std::move(c);
  }
  return p;
}

// The simulated programmer of the loaded profile with a used part of the
// catalogue in its socket and another (or the same) catalogue part selected.
struct TBancoParte {
  TBancoSim b;
  TParteUsada parte;
  TBancoParte(const std::string& enZocalo, const std::string& seleccionada) : parte(ParteUsada(enZocalo)) {
    b.Adaptador.Registra = false;
    b.Puerto.Registra = false;
    b.Adaptador.Conecta(parte.Chip.get());
    SeleccionaPic(0, BuscaPic("PIC" + seleccionada));
  }
};

// The serial ports of the machine as Linux keeps them: opening a tty
// raises DTR and RTS, and with HUPCL cleared they keep their levels after
// close. No other program holds the port.
class TTtyLinux final : public TSistemaES {
public:
  TTtyLinux() { anterior_ = PonSistemaES(this); }
  ~TTtyLinux() override { PonSistemaES(anterior_); }
  int Abre(const char*, int) override {
    ++Aperturas;
    Modem |= TIOCM_DTR | TIOCM_RTS;
    return 42;
  }
  int Cierra(int) override { return 0; }
  int Ioctl(int, unsigned long peticion, void* arg) override {
    if (peticion == TIOCMBIS) Modem |= *static_cast<int*>(arg);
    else if (peticion == TIOCMBIC) Modem &= ~*static_cast<int*>(arg);
    else if (peticion == TIOCMGET) *static_cast<int*>(arg) = Modem;
    return 0;
  }
  int LeeTermios(int, termios* t) override {
    *t = {};
    return 0;
  }
  int PonTermios(int, const termios*) override { return 0; }
  int Aperturas = 0;
  int Modem = 0;

private:
  TSistemaES* anterior_ = nullptr;
};

}  // namespace

class TestAcciones : public QObject {
  Q_OBJECT

  std::unique_ptr<TFAcciones> f;
  std::vector<std::string> mensajes, preguntas;
  TRespuesta respuesta = TRespuesta::Si;
  // Clicks cancel at that message pump of the run (0: never).
  int cancelaTras = 0;

  // Runs one action as the main window does; with `cierra` the window
  // closes itself, otherwise Ok is pressed once the run is over.
  int Ejecuta(uint32_t accion, bool cierra = true) {
    TipoAccion = accion;
    f->closw->setChecked(cierra);
    QTimer ok;
    QObject::connect(&ok, &QTimer::timeout, [&] {
      if (!cierra && !f->EnEjecucion() && f->Ok->isEnabled() && f->isVisible()) f->Ok->click();
    });
    ok.start(5);
    QTimer guardia;
    guardia.setSingleShot(true);
    QObject::connect(&guardia, &QTimer::timeout, [&] {
      QFAIL("the window did not close");
    });
    guardia.start(60000);
    return f->ShowModal();
  }

  void PerfilLpt() {
    PonPerfilLptSim();
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
  }
  // Lines at the profile's end levels, Vdd off, the link closed.
  void CompruebaReposo(TBancoSim& b) {
    const uint8_t antes = b.Puerto.Registro(AddrB);
    if (Usa_Vdd) QVERIFY(!b.Adaptador.Lineas().Vdd);
    PonPines_END();
    QCOMPARE(b.Puerto.Registro(AddrB), antes);
    QVERIFY(!PuertoAbierto());
  }
  bool HayMensaje(const std::string& texto) const {
    for (const auto& m : mensajes)
      if (m.find(texto) != std::string::npos) return true;
    return false;
  }
  std::string Log() const { return f->memo->toPlainText().toStdString(); }

private slots:
  void init() {
    // The shipped texts, so that a test can tell one message from another.
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
    f = std::make_unique<TFAcciones>();
    f->Timer1->setInterval(10);
    mensajes.clear();
    preguntas.clear();
    respuesta = TRespuesta::Si;
    cancelaTras = 0;
    f->AlMensaje = [this](const std::string& t) { mensajes.push_back(t); };
    f->AlPreguntar = [this](const std::string& t, bool) {
      preguntas.push_back(t);
      return respuesta;
    };
    OpcPMsgs = false;
    OpcVDespues = true;
    Usa_Vpp2 = false;
    Cancelado = false;
    SeleccionaPic(0, Indice16F84A);
  }
  void cleanup() {
    PonCierrePedido(false);
    f.reset();
    CierraPuerto(true);
    USB_COM = USB_ = false;
    ADDR_USB_COM.clear();
    PerfilHardware.clear();
    Cancelado = false;
  }

  // --- Runs that stop before their action ---------------------------------------

  void paradas_data() {
    QTest::addColumn<int>("caso");
    QTest::addColumn<QString>("clave");
    QTest::newRow("no profile") << 0 << "31*";
    QTest::newRow("no COM name") << 1 << "32*";
    QTest::newRow("no USB instance") << 2 << "33*";
    QTest::newRow("link that will not open") << 3 << "37*";
    QTest::newRow("no USB board") << 4 << "37*";
  }
  void paradas() {
    QFETCH(int, caso);
    QFETCH(QString, clave);
    TBusUsbSim bus;
    PonPinesPorDefecto(0x3F8);
    PerfilHardware = caso == 0 ? "" : "Prueba";
    USB_COM = caso >= 1;
    USB_ = caso == 2 || caso == 4;
    ADDR_USB_COM = caso == 3 ? "/dev/korvane-no-such-port" : "";
    ADDR_USB_ = caso == 4 ? "Ind.#0" : "";
    ResultadoAccion = 0;
    // Lit as an earlier run that left the supply on would leave it.
    IndicadorVdd(ColorVddOn);
    Ejecuta(AccProgramar);
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    const std::string texto = TextoIdioma("pg_err*", clave.toStdString());
    QVERIFY2(HayMensaje(texto), clave.toUtf8().constData());
    // A link that did not open says why in the log too, once the box is
    // gone; nothing was powered.
    if (clave == "37*")
      for (const std::string& m : mensajes) QVERIFY2(Log().find(m) != std::string::npos, (Log() + " / " + m).c_str());
    QCOMPARE(f->LedVdd->Color(), QColor::fromRgb(ColorVddOff));
    QVERIFY(!PuertoAbierto());
    QVERIFY(!f->isVisible());
    QVERIFY(f->Ok->isEnabled());
  }

  void preguntaNoNoTocaNada() {
    PerfilLpt();
    TBancoSim b;
    OpcPMsgs = true;
    respuesta = TRespuesta::No;
    const auto escrituras = b.Puerto.Escrituras.size();
    Ejecuta(AccBorrar);
    QCOMPARE(preguntas.size(), std::size_t{1});
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    QCOMPARE(b.Puerto.Escrituras.size(), escrituras);
    QVERIFY(!f->isVisible());
  }

  // On a pin-level serial link the question comes before the port is
  // opened: answering No leaves DTR and RTS (data, clock, and on some
  // adapters Vdd or MCLR) as the last run left them, instead of raised by
  // the open and kept so after close.
  void preguntaNoEnComNoLevantaLineas() {
    PonPerfilComSim();
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
    TTtyLinux tty;
    OpcPMsgs = true;
    respuesta = TRespuesta::No;
    Ejecuta(AccBorrar);
    QCOMPARE(preguntas.size(), std::size_t{1});
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    QCOMPARE(tty.Modem & (TIOCM_DTR | TIOCM_RTS), 0);
    QCOMPARE(tty.Aperturas, 0);
    QVERIFY(!PuertoAbierto());
  }

  // A profile with a line on another port is refused before any line
  // moves: that other port is never written, not even by the clean-up.
  void perfilConLineaEnOtroPuerto() {
    PerfilLpt();
    AddrC = 0x278;
    TBancoSim b;
    Ejecuta(AccProgramar);
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    QVERIFY(HayMensaje(TextoIdioma("pg_err*", "37*")));
    for (const auto& e : b.Puerto.Escrituras) QVERIFY(e.direccion != 0x278);
    QVERIFY(!PuertoAbierto());
  }

  // --- Hardware test -----------------------------------------------------------------

  void pruebaHardware_data() {
    QTest::addColumn<bool>("falla");
    QTest::newRow("loop-back works") << false;
    QTest::newRow("loop-back fails") << true;
  }
  void pruebaHardware() {
    QFETCH(bool, falla);
    PerfilLpt();
    TBancoSim b;
    if (falla) b.Adaptador.Falla = TFallaAdaptador::DatoPegadoAlto;
    Ejecuta(AccHardware);
    QCOMPARE(ResultadoAccion, falla ? ResultadoNoHecho : uint8_t{0});
    QVERIFY(f->msg->text() == QString::fromStdString(TextosEntorno[6]));
    CompruebaReposo(b);
  }

  // --- 14-bit flash part on the pin-level links -------------------------------------

  void flash14_data() {
    QTest::addColumn<bool>("com");
    QTest::newRow("LPT") << false;
    QTest::newRow("COM") << true;
  }
  void flash14() {
    QFETCH(bool, com);
    if (com) PonPerfilComSim();
    else PonPerfilLptSim();
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
    TBanco84 banco;
    TBancoSim& b = banco.b;
    TPic14Sim& chip = banco.chip;
    for (auto& w : chip.Prog) w = 0;  // a used part: a missing erase shows
    Imagen(7);

    QCOMPARE(Ejecuta(AccProgramar, false), int(QDialog::Accepted));
    QCOMPARE(ResultadoAccion, uint8_t{0});
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(chip.Prog[a], BufArchivo.Prog[a]);
    CompruebaReposo(b);

    LimpiaBuffers(BufDispositivo);
    Ejecuta(AccLeer);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(BufDispositivo.Prog[a], BufArchivo.Prog[a]);
    QVERIFY(f->cancelar->isEnabled());  // after a read, cancel can still refuse the buffer
    CompruebaReposo(b);

    Ejecuta(AccVerificar);
    QCOMPARE(ResultadoAccion, uint8_t{0});

    BufArchivo.Prog[5] ^= 0x0101;
    Ejecuta(AccVerificar);
    QVERIFY(ResultadoAccion != 0);
    QVERIFY(ResultadoAccion != ResultadoNoHecho);
    CompruebaReposo(b);

    Ejecuta(AccBorrar);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(chip.Prog[a], uint16_t{0x3FFF});
    CompruebaReposo(b);
    for (const auto& v : chip.Violaciones) QFAIL(v.c_str());
  }

  void sinChip() {
    PerfilLpt();
    TBancoSim b;
    Imagen(3);
    Ejecuta(AccProgramar);
    QVERIFY(ResultadoAccion != 0);
    CompruebaReposo(b);
  }

  // A data line that never moves through the identification (an empty
  // socket, a line stuck high) stops the run there, with the hardware
  // message, instead of clocking the whole action into nothing: the run
  // takes no more port accesses than identifying alone, but for the few
  // line changes that bring the part to rest before the message's box and
  // back after it. A selected part
  // without a device ID (the 16F84) cannot be told from a dead port by its
  // identification and is programmed as before.
  void lineaQuietaParaTrasIdentificar_data() {
    QTest::addColumn<bool>("conChip");
    QTest::addColumn<int>("indice");
    QTest::addColumn<bool>("para");
    QTest::newRow("empty socket") << false << int(Indice16F84A) << true;
    QTest::newRow("data line stuck high") << true << int(Indice16F84A) << true;
    QTest::newRow("part without an ID, empty socket") << false << 29 << false;
  }
  void lineaQuietaParaTrasIdentificar() {
    QFETCH(bool, conChip);
    QFETCH(int, indice);
    QFETCH(bool, para);
    PerfilLpt();
    SeleccionaPic(0, static_cast<uint8_t>(indice));
    TBanco84 banco(conChip);
    TBancoSim& b = banco.b;
    if (conChip) b.Adaptador.Falla = TFallaAdaptador::DatoPegadoAlto;
    Imagen(3);
    uint64_t antes = b.Puerto.Accesos;
    Ejecuta(AccIdentificar);
    const uint64_t identificar = b.Puerto.Accesos - antes;
    mensajes.clear();
    antes = b.Puerto.Accesos;
    Ejecuta(AccProgramar);
    const uint64_t programar = b.Puerto.Accesos - antes;
    QVERIFY(ResultadoAccion != 0);
    if (para) {
      QVERIFY(HayMensaje(TextoIdioma("pg_err*", "6*")));
      QCOMPARE(ResultadoAccion, ResultadoNoHecho);
      // Each line once to rest, the supply off and on again.
      const uint64_t reposo = 8;
      QVERIFY2(programar <= identificar + reposo,
               (std::to_string(programar) + " > " + std::to_string(identificar)).c_str());
    } else {
      QVERIFY(programar > identificar);  // the action ran
    }
    CompruebaReposo(b);
  }

  // An adapter unplugged in the middle of the action: from then on every
  // port access fails and the data-in line reads what a dead port gives
  // (all 1s on COM, all 0s through the inverted LPT input). Whatever the
  // engine makes of those bits (a blank part, an erase that checks blank, a
  // read image), the run fails and the user is told which port failed.
  void puertoQueMuereEnLaAccion_data() {
    QTest::addColumn<bool>("com");
    QTest::addColumn<int>("accion");
    for (bool com : {false, true}) {
      const char* enlace = com ? "COM " : "LPT ";
      QTest::newRow((std::string(enlace) + "read").c_str()) << com << int(AccLeer);
      QTest::newRow((std::string(enlace) + "erase").c_str()) << com << int(AccBorrar);
      QTest::newRow((std::string(enlace) + "verify").c_str()) << com << int(AccVerificar);
      QTest::newRow((std::string(enlace) + "program").c_str()) << com << int(AccProgramar);
    }
  }
  void puertoQueMuereEnLaAccion() {
    QFETCH(bool, com);
    QFETCH(int, accion);
    if (com) PonPerfilComSim();
    else PonPerfilLptSim();
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
    OpcVDespues = false;  // programming alone, as the user may choose
    TBanco84 banco;
    TBancoSim& b = banco.b;
    // A blank part and a blank file: the bits of a dead COM port read as
    // exactly that.
    LimpiaBuffers(BufArchivo);
    if (accion == AccProgramar) Imagen(4);
    // A whole run on the working port tells how many accesses it takes;
    // the port then dies three quarters of the way into the same run.
    const uint64_t antes = b.Puerto.Accesos;
    Ejecuta(static_cast<uint32_t>(accion));
    QCOMPARE(ResultadoAccion, uint8_t{0});
    const uint64_t accesos = b.Puerto.Accesos - antes;
    mensajes.clear();
    b.Puerto.FallaDesde = b.Puerto.Accesos + accesos * 3 / 4;
    Ejecuta(static_cast<uint32_t>(accion));
    QVERIFY(b.Puerto.Falla);
    QVERIFY(ResultadoAccion != 0);
    const std::string puerto = com ? "COM1" : "LPT1";
    QVERIFY2(HayMensaje(puerto), Log().c_str());
    QVERIFY(Log().find(puerto) != std::string::npos);
    QVERIFY(!PuertoAbierto());
  }

  // Cancel, the title bar's close and Esc during a run only cancel: the
  // window stays until the engine has returned and the clean-up has run,
  // then closes itself (closw unchecked) with result 255.
  void interrupcion_data() {
    QTest::addColumn<int>("como");
    QTest::newRow("cancel button") << 0;
    QTest::newRow("close") << 1;
    QTest::newRow("Esc") << 2;
  }
  void interrupcion() {
    QFETCH(int, como);
    PerfilLpt();
    TBanco84 banco;
    TBancoSim& b = banco.b;
    Imagen(5);
    bool visibleTras = false;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
      if (!f->EnEjecucion() || !f->cancelar->isEnabled()) return;
      if (como == 0) f->cancelar->click();
      else if (como == 1) f->close();
      else QTest::keyClick(f.get(), Qt::Key_Escape);
      visibleTras = f->isVisible();
      t.stop();
    });
    t.start(0);
    TipoAccion = AccProgramar;
    f->closw->setChecked(false);
    f->ShowModal();
    QVERIFY(visibleTras);
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    QVERIFY(Cancelado);
    QVERIFY(!f->isVisible());
    CompruebaReposo(b);
  }

  // A timer left running from an earlier run never closes the next one:
  // with closw unchecked the window waits for Ok.
  void timerDeUnaEjecucionAnterior() {
    TChipMemoriasFw chip;
    TPlacaUsbSim placa{chip};
    TBusUsbSim bus;
    bus.Dispositivos.push_back({{VidMicrochip, 0x5201, "1-2"}, &placa, TFalloUsb::Ninguno});
    PonPinesPorDefecto(0x3F8);
    PerfilHardware = "Prueba";
    USB_COM = USB_ = true;
    VidPid = "vid_04d8&pid_5201";
    ADDR_USB_ = "Ind.#0";
    f->Timer1->setInterval(0);
    f->Timer1->start();
    QCOMPARE(Ejecuta(AccHardware, false), int(QDialog::Accepted));
    QCOMPARE(ResultadoAccion, uint8_t{0});
  }

  // After a read the cancel button stays enabled: pressing it then refuses
  // the read buffer (255) and closes the window.
  void cancelarTrasLeer() {
    PerfilLpt();
    TBanco84 banco;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
      if (!f->EnEjecucion() && f->isVisible() && f->Ok->isEnabled()) {
        f->cancelar->click();
        t.stop();
      }
    });
    t.start(5);
    TipoAccion = AccLeer;
    f->closw->setChecked(false);
    QCOMPARE(f->ShowModal(), int(QDialog::Rejected));
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
  }

  // The hardware test logs the check and nothing else: no identification.
  void pruebaHardwareNoIdentifica() {
    PerfilLpt();
    TBancoSim b;
    TextosEntorno[10] = "checking";
    TextosEntorno[11] = "checked";
    TextosEntorno[13] = "identified";
    Ejecuta(AccHardware);
    const std::string log = Log();
    LimpiaTextosEntorno();
    QVERIFY(log.find("checked") != std::string::npos);
    QVERIFY(log.find("identified") == std::string::npos);
  }

  void copiarLog() {
    f->Log(" line one");
    f->Log(" line two");
    f->Copiar1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString(" line one\n line two"));
  }

  // --- Firmware programmer, serial and native USB ------------------------------------

  void firmware_data() {
    QTest::addColumn<bool>("usb");
    QTest::newRow("serial") << false;
    QTest::newRow("USB") << true;
  }
  void firmware() {
    QFETCH(bool, usb);
    TRelojEnlace reloj;
    TReloj* anterior = PonReloj(&reloj);
    const TTiemposSerie tiempos = TiemposSerie;
    TiemposSerie = {};  // the engine's own time-outs
    TPic14Sim pic(*Datos14("16F84A"));
    TChipFwPic14 chip(pic);
    std::unique_ptr<TPlacaFw> serie;
    TPlacaUsbSim placa{chip};
    TBusUsbSim bus;
    PonPinesPorDefecto(0x3F8);
    PerfilHardware = "Prueba";
    USB_COM = true;
    USB_ = usb;
    if (usb) {
      bus.Dispositivos.push_back({{VidMicrochip, 0x5201, "1-2"}, &placa, TFalloUsb::Ninguno});
      VidPid = "vid_04d8&pid_5201";
      ADDR_USB_ = "Ind.#0";
    } else {
      serie = std::make_unique<TPlacaFw>(chip);
      ADDR_USB_COM = serie->Dispositivo();
    }
    Ejecuta(AccHardware);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QVERIFY(!PuertoAbierto());

    Imagen(11);
    Ejecuta(AccProgramar);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(pic.Prog[a], BufArchivo.Prog[a]);
    QVERIFY(!PuertoAbierto());

    LimpiaBuffers(BufDispositivo);
    Ejecuta(AccLeer);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(BufDispositivo.Prog[a], BufArchivo.Prog[a]);
    QVERIFY(!PuertoAbierto());
    if (usb) {
      QCOMPARE(bus.Aperturas > 0, true);
      QVERIFY(placa.Errores.empty());
      QVERIFY(f->KvStatusPanel1->Caption() == "Full-speed USB");
    } else {
      QVERIFY(serie->Errores().empty());
      QVERIFY(f->KvStatusPanel1->Caption() == "115.200 bps");
    }
    for (const auto& v : pic.Violaciones) QFAIL(v.c_str());
    CierraPuerto(true);
    PonReloj(anterior);
    TiemposSerie = tiempos;
  }

  // --- Serial EEPROM ------------------------------------------------------------------

  // Erase on a serial EEPROM says the part has none and leaves it as it was:
  // no PIC erase sequence reaches its bus.
  void eepromBorrarNoBorra() {
    PerfilLpt();
    TBancoSim b;
    b.Adaptador.Registra = false;
    b.Puerto.Registra = false;
    TEeprom24Sim eeprom(2);
    for (std::size_t i = 0; i < eeprom.Memoria().size(); ++i) eeprom.Memoria()[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> antes = eeprom.Memoria();
    b.Adaptador.Conecta(&eeprom);
    SeleccionaPic(2, 2);
    Ejecuta(AccBorrar);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QVERIFY(Log().find(TextoIdioma("pg_err*", "55*")) != std::string::npos);
    QVERIFY(eeprom.Memoria() == antes);
    QCOMPARE(eeprom.Escrituras, uint32_t{0});
    CompruebaReposo(b);
  }

  // A serial EEPROM's program and verify, then a read: the programming delay
  // stays in its own pane, the link pane keeps the link, and a verify that
  // found every byte equal leaves the gauge full.
  void eepromPanelesYBarra() {
    PerfilLpt();
    TBancoSim b;
    b.Adaptador.Registra = false;
    b.Puerto.Registra = false;
    TEeprom24Sim eeprom(1);
    b.Adaptador.Conecta(&eeprom);
    SeleccionaPic(2, 1);
    for (uint32_t i = 0; i <= PicActual.ProgFin; ++i)
      BufDispositivo.Prog[i] = BufArchivo.Prog[i] = static_cast<uint8_t>(i * 5 + 1);
    Ejecuta(AccProgramar);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QVERIFY(QString::fromStdString(Log()).trimmed().endsWith(QString::fromStdString(TextosEntorno[25])));
    const QString enlace = f->KvStatusPanel1->Caption();
    QVERIFY2(enlace.contains("Clock"), qPrintable(enlace));
    QCOMPARE(f->KvStatusPanel2->Caption(), QString("Pgm - 10 ms"));
    QCOMPARE(f->porcentage->value(), 100);
    Ejecuta(AccLeer);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QCOMPARE(f->KvStatusPanel1->Caption(), enlace);
    QCOMPARE(f->KvStatusPanel2->Caption(), QString());
  }

  // --- Identification -------------------------------------------------------------------

  void identificar_data() {
    QTest::addColumn<bool>("conChip");
    QTest::newRow("part in the socket") << true;
    QTest::newRow("empty socket") << false;
  }
  void identificar() {
    QFETCH(bool, conChip);
    PerfilLpt();
    TBanco84 banco(conChip);
    TBancoSim& b = banco.b;
    Ejecuta(AccIdentificar);
    QCOMPARE(ResultadoAccion, conChip ? uint8_t{0} : ResultadoNoHecho);
    QCOMPARE(IndiceDetectado, conChip ? Indice16F84A : uint8_t{255});
    QCOMPARE(f->porcentage->value(), 100);
    QVERIFY(f->msg->text() == QString::fromStdString(TextosEntorno[5]));
    CompruebaReposo(b);
  }

  // With a second Vpp line, a large-socket part answering while a
  // small-socket part is selected raises the question; No leaves the part
  // untouched.
  // An answering part that is named by no ID has no socket: no question.
  void preguntaZocaloNo_data() {
    QTest::addColumn<bool>("conocido");
    QTest::newRow("16F877A answering") << true;
    QTest::newRow("unknown ID answering") << false;
  }
  void preguntaZocaloNo() {
    QFETCH(bool, conocido);
    PonPerfilLptSim(true);
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
    TBancoSim b;
    b.Adaptador.Registra = false;
    b.Puerto.Registra = false;
    TDatosPic14 datos = *Datos14("16F877A");
    if (!conocido) datos.Id = 0x3A00;
    TPic14Sim grande(datos);
    for (auto& w : grande.Prog) w = 0x1234;
    b.Adaptador.Conecta(nullptr, &grande);
    Imagen(9);
    respuesta = TRespuesta::No;
    Ejecuta(AccProgramar);
    for (auto w : grande.Prog) QCOMPARE(w, uint16_t{0x1234});
    if (!conocido) {
      QVERIFY(preguntas.empty());
      return;
    }
    QCOMPARE(preguntas.size(), std::size_t{1});
    QVERIFY(preguntas[0].find(TextoIdioma("pg_err*", "34*")) != std::string::npos);
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    CompruebaReposo(b);
    for (const auto& v : grande.Violaciones) QFAIL(v.c_str());
  }

  // --- Another part in the socket than the selected one ------------------------------

  // The identification names a catalogue part that is not the selected one:
  // before a program or an erase the user is asked, both parts named, and
  // No stops the run with nothing written (a 12F675 keeps the OSCCAL word
  // that an erase of the selected 16F628A would not have saved) and the
  // lines at rest; Yes goes on as the selected part.
  void otraParteEnElZocalo_data() {
    QTest::addColumn<QString>("enZocalo");
    QTest::addColumn<QString>("seleccionada");
    QTest::addColumn<int>("accion");
    QTest::addColumn<bool>("si");
    QTest::newRow("12F675 for a 16F628A, program, No") << "12F675" << "16F628A" << int(AccProgramar) << false;
    QTest::newRow("18F4550 for a 16F628A, erase, No") << "18F4550" << "16F628A" << int(AccBorrar) << false;
    QTest::newRow("16F628A for a 16F84A, program, No") << "16F628A" << "16F84A" << int(AccProgramar) << false;
    QTest::newRow("16F628A for a 16F84A, program, Yes") << "16F628A" << "16F84A" << int(AccProgramar) << true;
    // The check holds whatever family is selected.
    QTest::newRow("16F628A for an 18F452, program, No") << "16F628A" << "18F452" << int(AccProgramar) << false;
    QTest::newRow("18F4550 for an 18F452, erase, No") << "18F4550" << "18F452" << int(AccBorrar) << false;
    QTest::newRow("12F675 for a 30F2010, program, No") << "12F675" << "30F2010" << int(AccProgramar) << false;
    QTest::newRow("18F452 for a 30F2010, erase, No") << "18F452" << "30F2010" << int(AccBorrar) << false;
  }
  void otraParteEnElZocalo() {
    QFETCH(QString, enZocalo);
    QFETCH(QString, seleccionada);
    QFETCH(int, accion);
    QFETCH(bool, si);
    PerfilLpt();
    TBancoParte banco(enZocalo.toStdString(), seleccionada.toStdString());
    TBancoSim& b = banco.b;
    TParteUsada& parte = banco.parte;
    Imagen(13);
    const std::vector<uint32_t> antes = parte.Contenido();
    respuesta = si ? TRespuesta::Si : TRespuesta::No;
    Ejecuta(static_cast<uint32_t>(accion));
    const std::string propia = DaNombreDispositivo(ClaseFlash, IndiceListPics);
    const std::string otra = DaNombreDispositivo(ClaseFlash, BuscaPic("PIC" + enZocalo.toStdString()));
    QCOMPARE(preguntas.size(), std::size_t{1});
    QVERIFY2(preguntas[0].find(propia) != std::string::npos && preguntas[0].find(otra) != std::string::npos,
             preguntas[0].c_str());
    const std::string linea = " " + TextoIdioma("pg_zocalo*", si ? "5*" : "4*") + " " + propia + " / " + otra;
    QVERIFY2(Log().find(linea) != std::string::npos, Log().c_str());
    CompruebaReposo(b);
    if (si) {
      QVERIFY(parte.Contenido() != antes);  // the run went on
      return;
    }
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    QVERIFY(parte.Contenido() == antes);
    if (parte.Pic14 && parte.Pic14->Datos().OscCal3FF) QCOMPARE(parte.Pic14->Prog[0x3FF], parte.Pic14->OscCalFabrica);
    QVERIFY(!f->isVisible());
  }

  // A question met after the program was asked to close (here the OSCCAL
  // and band-gap questions of a 12F675 whose image differs from the part)
  // opens no box and takes its safe answer: the part keeps its factory
  // calibration. The close comes after the run's own cancel check, while
  // the erase reads the calibration.
  void preguntaTrasPedirElCierre() {
    PerfilLpt();
    OpcVDespues = false;  // the image's calibration cells are not the part's
    TBancoParte banco("12F675", "12F675");
    TPic14Sim& chip = *banco.parte.Pic14;
    Imagen(13);
    BufDispositivo.Prog[0x3FF] = 0x3455;
    BufDispositivo.Config[0] = static_cast<uint16_t>((BufDispositivo.Config[0] & 0x0FFF) | 0x3000);
    QVERIFY(BufDispositivo.Prog[0x3FF] != chip.OscCalFabrica);
    QVERIFY((BufDispositivo.Config[0] & 0x3000) != chip.BandGapFabrica);
    BufArchivo = BufDispositivo;
    const std::string lectura = " " + TextoIdioma("pg_err*", "msg1*") + " OSCCAL";
    bool pedido = false;
    f->AlLog = [&](const std::string& linea) {
      if (linea != lectura || pedido) return;
      QVERIFY(f->EnEjecucion());
      pedido = true;
      PonCierrePedido(true);
    };
    respuesta = TRespuesta::Si;  // what a box would have been answered
    Ejecuta(AccProgramar);
    PonCierrePedido(false);
    QVERIFY(pedido);
    QVERIFY(preguntas.empty());
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QCOMPARE(chip.Prog[0x3FF], chip.OscCalFabrica);
    QCOMPARE(static_cast<uint16_t>(chip.Config[7] & 0x3000), chip.BandGapFabrica);
    // The questions went to the log instead.
    QVERIFY2(Log().find(TextoIdioma("pg_err*", "49*")) != std::string::npos, Log().c_str());
    QVERIFY2(Log().find(TextoIdioma("pg_err*", "51*")) != std::string::npos, Log().c_str());
    QVERIFY(!f->isVisible());
  }

  // The question's own box has No as its default: Enter stops the run.
  void otraParteEnterEsNo() {
    PerfilLpt();
    TBancoParte banco("12F675", "16F628A");
    TBancoSim& b = banco.b;
    TParteUsada& parte = banco.parte;
    Imagen(13);
    const std::vector<uint32_t> antes = parte.Contenido();
    f->AlPreguntar = nullptr;
    bool porDefectoNo = false;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
      auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!caja) return;
      t.stop();
      porDefectoNo = caja->defaultButton() == caja->button(QMessageBox::No);
      QTest::keyClick(caja, Qt::Key_Return);
    });
    t.start(1);
    Ejecuta(AccProgramar);
    QVERIFY(porDefectoNo);
    QCOMPARE(ResultadoAccion, ResultadoNoHecho);
    QVERIFY(parte.Contenido() == antes);
    CompruebaReposo(b);
  }

  // No box of a run waits with the part powered: when the cancel box, the
  // verify-error box or the write-error box is shown, the part in the
  // socket is unpowered (pin level: Vdd and Vpp off; firmware programmer:
  // no command of ours holds the socket) and the supply LED is off.
  void cajaSinAlimentacion_data() {
    QTest::addColumn<bool>("firmware");
    QTest::addColumn<int>("caso");
    QTest::newRow("pin level, cancel") << false << int(Cancela);
    QTest::newRow("pin level, verify error") << false << int(Verifica);
    QTest::newRow("pin level, write error") << false << int(Escribe);
    QTest::newRow("firmware, cancel") << true << int(Cancela);
    QTest::newRow("firmware, verify error") << true << int(Verifica);
    QTest::newRow("firmware, write error") << true << int(Escribe);
  }
  void cajaSinAlimentacion() {
    QFETCH(bool, firmware);
    QFETCH(int, caso);
    struct TRestaura {
      TRelojEnlace reloj;
      TReloj* anterior = PonReloj(&reloj);
      TTiemposSerie tiempos = TiemposSerie;
      ~TRestaura() {
        CierraPuerto(true);
        PonReloj(anterior);
        TiemposSerie = tiempos;
      }
    } restaura;
    TiemposSerie = {};  // the engine's own time-outs
    std::unique_ptr<TBanco84> lpt;
    TPic14Sim pic(*Datos14("16F84A"));
    TChipFwPic14 chip(pic);
    std::unique_ptr<TPlacaFw> placa;
    if (firmware) {
      PonPinesPorDefecto(0x3F8);
      PerfilHardware = "Prueba";
      USB_COM = true;
      USB_ = false;
      placa = std::make_unique<TPlacaFw>(chip);
      ADDR_USB_COM = placa->Dispositivo();
    } else {
      PerfilLpt();
      lpt = std::make_unique<TBanco84>();
    }
    auto alimentada = [&] {
      if (placa) return placa->Alimentado();
      const TLineasSim l = lpt->b.Adaptador.Lineas();
      return l.Vdd || l.Vpp;
    };
    std::vector<bool> enCaja;
    f->AlMensaje = [&](const std::string& t) {
      mensajes.push_back(t);
      enCaja.push_back(alimentada() || f->LedVdd->Color() != QColor::fromRgb(ColorVddOff));
    };
    Imagen(5);
    std::string caja;
    if (caso == Cancela) {
      // Cancelled while the program area is written.
      const QString escribe = QString::fromStdString(" [ " + TextosEntorno[14] + " ]");
      QTimer t;
      QObject::connect(&t, &QTimer::timeout, [&] {
        if (!f->EnEjecucion() || !f->cancelar->isEnabled() || !f->memo->toPlainText().contains(escribe)) return;
        f->cancelar->click();
        t.stop();
      });
      t.start(0);
      Ejecuta(AccProgramar);
      QCOMPARE(ResultadoAccion, ResultadoNoHecho);
      caja = TextoIdioma("pg_err*", "26*");
    } else if (caso == Escribe) {
      // Bit 0 of word 0x10 stays 1.
      BufDispositivo.Prog[0x10] = BufArchivo.Prog[0x10] = 0x0000;
      if (placa) placa->Inyecta({TFalloPlacaFw::Codigo, 1, 4, 0, 0});
      else lpt->chip.Pegados.push_back({0x10, 0x0001, 0x0001});
      Ejecuta(AccProgramar);
      QVERIFY(ResultadoAccion != 0);
      caja = TextoIdioma("pg_err*", "13*");
    } else {
      Ejecuta(AccProgramar);
      QCOMPARE(ResultadoAccion, uint8_t{0});
      BufArchivo.Prog[3] ^= 0x0001;
      Ejecuta(AccVerificar);
      QVERIFY(ResultadoAccion != 0);
      caja = TextoIdioma("pg_err*", "14*");
    }
    QVERIFY2(HayMensaje(caja), caja.c_str());
    QCOMPARE(enCaja.size(), mensajes.size());
    for (std::size_t i = 0; i < enCaja.size(); ++i) QVERIFY2(!enCaja[i], mensajes[i].c_str());
    if (placa) QVERIFY(placa->Errores().empty());
    else CompruebaReposo(lpt->b);
    for (const auto& v : lpt ? lpt->chip.Violaciones : pic.Violaciones) QFAIL(v.c_str());
  }

  // The calibration questions' boxes have No as their default: Enter keeps
  // the device's OSCCAL word and band-gap bits, though the image names
  // others. While each box is open the part is unpowered; the run then
  // gets its supply back and programs the part.
  void calibracionEnterEsNo() {
    PerfilLpt();
    TBancoParte banco("12F675", "12F675");
    TBancoSim& b = banco.b;
    TPic14Sim& pic = *banco.parte.Pic14;
    pic.PonFabrica();
    Imagen(13);
    BufDispositivo.Prog[0x3FF] = 0x3401;
    BufDispositivo.Config[0] = 0x3FC4;  // band-gap bits 11
    BufArchivo = BufDispositivo;
    QVERIFY(pic.OscCalFabrica != 0x3401 && (pic.BandGapFabrica & 0x3000) != 0x3000);
    f->AlPreguntar = nullptr;
    int cajas = 0, porDefectoNo = 0, alimentada = 0;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
      auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!caja) return;
      ++cajas;
      porDefectoNo += caja->defaultButton() == caja->button(QMessageBox::No);
      alimentada += b.Adaptador.Lineas().Vdd || b.Adaptador.Lineas().Vpp;
      QTest::keyClick(caja, Qt::Key_Return);
    });
    t.start(1);
    Ejecuta(AccProgramar);
    QCOMPARE(cajas, 2);
    QCOMPARE(porDefectoNo, 2);
    QCOMPARE(alimentada, 0);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QCOMPARE(pic.Prog[0x3FF], pic.OscCalFabrica);
    QCOMPARE(pic.Config[7] & 0x3000, pic.BandGapFabrica & 0x3000);
    QCOMPARE(pic.Prog[3], BufArchivo.Prog[3]);
    CompruebaReposo(b);
    for (const auto& v : pic.Violaciones) QFAIL(v.c_str());
  }

  // A read or a verify goes on, with one log line that names both parts and
  // no question.
  void otraParteLeeYVerifica_data() {
    QTest::addColumn<int>("accion");
    QTest::newRow("read") << int(AccLeer);
    QTest::newRow("verify") << int(AccVerificar);
  }
  void otraParteLeeYVerifica() {
    QFETCH(int, accion);
    PerfilLpt();
    TBancoParte banco("12F675", "16F628A");
    TBancoSim& b = banco.b;
    TParteUsada& parte = banco.parte;
    LimpiaBuffers(BufDispositivo);
    LimpiaBuffers(BufArchivo);
    const std::vector<uint32_t> antes = parte.Contenido();
    const uint64_t lecturas = b.Puerto.Accesos;
    Ejecuta(static_cast<uint32_t>(accion));
    QVERIFY(preguntas.empty());
    const QString log = f->memo->toPlainText();
    const QString linea = QString::fromStdString(" " + TextoIdioma("pg_zocalo*", "5*") + " 16F628a / 12F675");
    QCOMPARE(log.count(linea), 1);
    QCOMPARE(log.count(QString::fromStdString(TextoIdioma("pg_zocalo*", "4*"))), 0);
    if (accion == AccLeer) QCOMPARE(BufDispositivo.Prog[3], uint16_t{0x1233});  // the read ran
    QVERIFY(b.Puerto.Accesos > lecturas);
    QVERIFY(parte.Contenido() == antes);
    CompruebaReposo(b);
  }

  // The tail of every run takes the part out of programming mode and then
  // switches its supply off, before any line goes to the profile's end
  // level: the last moment the part is powered, every line is at rest.
  void colaApagaVddAntesDeLosNivelesFinales_data() {
    QTest::addColumn<int>("accion");
    QTest::newRow("program") << int(AccProgramar);
    QTest::newRow("read") << int(AccLeer);
    QTest::newRow("hardware test") << int(AccHardware);
  }
  void colaApagaVddAntesDeLosNivelesFinales() {
    QFETCH(int, accion);
    PerfilLpt();
    DEF_BIT_DATA = DEF_BIT_CLOCK = true;  // end levels unlike the rest
    TBanco84 banco;
    Imagen(5);
    banco.b.Adaptador.Registra = true;
    Ejecuta(static_cast<uint32_t>(accion));
    const auto& cambios = banco.b.Adaptador.Cambios;
    std::size_t ultimo = cambios.size();
    for (std::size_t i = 0; i < cambios.size(); ++i)
      if (cambios[i].lineas.Vdd) ultimo = i;
    QVERIFY2(ultimo < cambios.size(), "the run never powered the part");
    const TLineasSim& encendida = cambios[ultimo].lineas;
    QVERIFY2(!encendida.Vpp && !encendida.Clock && !encendida.DatoHost,
             "a line left its rest level while the part was still powered");
    QVERIFY(ultimo + 1 < cambios.size());
    const TLineasSim& fin = cambios.back().lineas;
    QVERIFY(!fin.Vdd && !fin.Vpp && fin.Clock && fin.DatoHost);  // then the end levels
    QVERIFY(!PuertoAbierto());
  }

  // A cancel left from the last run does not stop the next one.
  void canceladoAnteriorNoDetiene() {
    PerfilLpt();
    TBanco84 banco;
    Cancelado = true;
    Ejecuta(AccLeer);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QVERIFY(!Cancelado);
  }

  // --- The captions ----------------------------------------------------------------------

  void sinSegundoVppZocalo2EsCero() {
    PerfilLpt();
    TBancoSim b;
    Zocalo2 = true;
    Ejecuta(AccHardware);
    QVERIFY(!Zocalo2);
  }

  void diAccion() {
    const uint32_t codigos[] = {0, 1, 2, 3, 7, 8, 4, 5, 6, 9};
    const int items[] = {0, 1, 2, 3, 5, 6, -1, -1, -1, -1};
    TextosEntorno = {};
    for (int i = 0; i < 7; ++i) TextosEntorno[i] = "t" + std::to_string(i);
    for (int k = 0; k < 10; ++k) {
      TipoAccion = codigos[k];
      QCOMPARE(f->DiAccion(), items[k] < 0 ? std::string() : "t" + std::to_string(items[k]));
    }
    LimpiaTextosEntorno();
  }
};

QTEST_MAIN(TestAcciones)
#include "acciones_test.moc"
