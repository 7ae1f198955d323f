// The hardware profile editor over the simulated port and the simulated
// firmware programmer: link and register changes, the live line test and
// its LEDs, save, save as, delete, cancel, lock and close.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "Acciones.h"
#include "CarpetaPrograma.h"
#include "ConfigHarw.h"
#include "KvCommon.h"
#include "PerfilHarw.h"
#include "TransLED.h"
#include "chips/pic1x_fw.h"
#include "chips/pic1x_partes.h"
#include "firmware/placa_fw.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "sim_banco.h"

namespace fs = std::filesystem;

namespace {

QStringList Items(QComboBox* c) {
  QStringList l;
  for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
  return l;
}

// What the user does to a list: pick an item.
void Elige(QComboBox* c, int i) {
  c->setCurrentIndex(i);
  emit c->activated(i);
}

// What the user does to the port box of a serial link: type a device path
// over its text and press Return.
void EscribePuerto(QComboBox* c, const QString& texto) {
  QVERIFY(c->isEditable());
  QTest::keyClick(c->lineEdit(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(c->lineEdit(), texto);
  QTest::keyClick(c->lineEdit(), Qt::Key_Return);
  QVERIFY(c->window()->isVisible());  // the window's Ok is not pressed by it
}

// The keys of a saved profile file, as a person reads them.
std::map<std::string, std::string> Claves(const fs::path& archivo) {
  std::map<std::string, std::string> claves;
  std::ifstream f(archivo);
  for (std::string l; std::getline(f, l);)
    if (const auto igual = l.find('='); igual != std::string::npos)
      claves[l.substr(0, igual)] = l.substr(igual + 1, l.find_last_not_of("\r") - igual);
  return claves;
}

TLed Estado(const TFConfigHarw& f, TLineaPerfil l) {
  return static_cast<TLed>(f.Leds[l]->property("estado").toInt());
}

}  // namespace

class TestConfigHarw : public QObject {
  Q_OBJECT

  fs::path raiz;
  std::unique_ptr<TBancoSim> banco;
  std::unique_ptr<TFConfigHarw> f;
  std::vector<std::string> mensajes, preguntas;
  bool confirma = true;
  std::optional<std::string> nombre;

  // A profile file as the engine writes it, loaded as the current one.
  void Perfil(const std::string& n, uint16_t addrB) {
    PonPinesPorDefecto(addrB);
    USB_COM = USB_ = false;
    QVERIFY(GuardaPerfilHardware(n));
    PerfilHardware = n;
  }
  // The profile "Placa" of a firmware programmer on a serial port, loaded.
  void PerfilFirmware(const std::string& puerto) {
    PonPinesPorDefecto(0x3F8);
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = puerto;
    QVERIFY(GuardaPerfilHardware("Placa"));
    PerfilHardware = "Placa";
  }
  void Abre() {
    f = std::make_unique<TFConfigHarw>();
    f->AlMensaje = [this](const std::string& t) { mensajes.push_back(t); };
    f->AlConfirmar = [this](const std::string& t) {
      preguntas.push_back(t);
      return confirma;
    };
    f->AlPedirNombre = [this] { return nombre; };
    f->show();
    QVERIFY(f->Block->isChecked());
  }
  void Desbloquea() {
    f->Block->click();
    QVERIFY(!f->Block->isChecked());
  }
  bool Existe(const std::string& n) const { return fs::exists(raiz / "Hardware" / (n + ".prf")); }
  std::map<std::string, std::string> Guardado(const std::string& n) const {
    return Claves(raiz / "Hardware" / (n + ".prf"));
  }

private slots:
  void initTestCase() { UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini"); }
  void init() {
    raiz = fs::temp_directory_path() / ("korvane-harw-" + std::to_string(getpid()));
    fs::remove_all(raiz);
    fs::create_directories(raiz / "Hardware");
    PonCarpetaPrograma(raiz.string());
    setenv("XDG_CONFIG_HOME", (raiz / "cfg").c_str(), 1);
    banco = std::make_unique<TBancoSim>();
    mensajes.clear();
    preguntas.clear();
    confirma = true;
    nombre.reset();
    Perfil("Prueba", 0x378);
  }
  void cleanup() {
    f.reset();
    CierraPuerto(true);
    banco.reset();
    USB_COM = USB_ = false;
    ADDR_USB_COM.clear();
    NodoPuerto.clear();
    PerfilHardware.clear();
    PonCarpetaPrograma("");
    fs::remove_all(raiz);
  }

  // The window's four panels: the profile list in a sunken frame with a
  // bump inside (navy border colours), the lines in a flat frame with cut
  // corners, the port bits and end levels without a frame. Each frame is
  // drawn at the panel's edge and its children lie inside it.
  void cuatroPaneles() {
    Abre();
    QCOMPARE(QList<int>({f->PanelPerfiles->BorderOuter(), f->PanelPerfiles->BorderInner()}), QList<int>({fsLowered, fsBump}));
    const TBordesPanel& b = f->PanelPerfiles->Bordes();
    for (const QColor& c : {b.BorderColor, b.BorderHighlight, b.BorderShadow}) QCOMPARE(c, QColor(0, 0, 128));
    QCOMPARE(QList<int>({f->Panel1->BorderOuter(), f->Panel1->BorderInner()}), QList<int>({fsFlatRounded, fsNone}));
    for (TKvPanel* p : {f->PanelPort, f->Panel_END}) {
      QCOMPARE(QList<int>({p->BorderOuter(), p->BorderInner()}), QList<int>({fsNone, fsNone}));
      QCOMPARE(p->RectanguloInterior(), p->rect());
    }
    // Sunken: shadow at the outer top-left; the bump two pixels in:
    // highlight, then shadow.
    QImage img = f->PanelPerfiles->grab().toImage();
    QCOMPARE(f->PanelPerfiles->RectanguloInterior(), f->PanelPerfiles->rect().adjusted(4, 4, -4, -4));
    QCOMPARE(img.pixel(0, 0), clBtnShadow().rgb());
    QCOMPARE(img.pixel(2, 2), clBtnHighlight().rgb());
    QCOMPARE(img.pixel(3, 3), clBtnShadow().rgb());
    for (QWidget* h : f->PanelPerfiles->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (h->isVisible()) QVERIFY2(f->PanelPerfiles->RectanguloInterior().contains(h->geometry()), qPrintable(h->objectName()));
    // Flat with cut corners: the sides and the corner's diagonal pixel in
    // the shaded flat colour, the corner itself not.
    img = f->Panel1->grab().toImage();
    const QRgb linea = ShadeBy(clBtnShadow(), 30).rgb();
    const int medio = f->Panel1->height() / 2;
    QCOMPARE(img.pixel(0, medio), linea);
    QCOMPARE(img.pixel(f->Panel1->width() - 1, medio), linea);
    QCOMPARE(img.pixel(1, 1), linea);
    QVERIFY(img.pixel(0, 0) != linea);
    QCOMPARE(img.pixel(2, medio), f->Panel1->Color().rgb());
    for (QWidget* h : f->Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (h->isVisible()) QVERIFY2(f->Panel1->RectanguloInterior().contains(h->geometry()), qPrintable(h->objectName()));
  }

  // LPT2 to COM: the COM port of the same list position, its registers, the
  // modem bit names; every mask keeps its bit number.
  void lptAComConservaBits() {
    Perfil("Prueba", 0x278);
    Abre();
    QCOMPARE(f->SelPORT->currentIndex(), 1);
    QCOMPARE(f->Label1->text(), QString("$0278"));
    Desbloquea();
    f->COM->click();
    QCOMPARE(AddrB, uint16_t{0x2F8});
    for (uint16_t a : {AddrD, AddrC, AddrM, AddrVdd}) QCOMPARE(a, uint16_t{0x2FC});
    QCOMPARE(AddrV, uint16_t{0x2FB});
    QCOMPARE(AddrV2, uint16_t{0x2FB});
    QCOMPARE(AddrS, uint16_t{0x2FE});
    const QStringList textos{"+4", "+4", "+3", "+3", "+4", "+4", "+6"};
    for (int l = 0; l < NumLineasPerfil; ++l) QCOMPARE(f->Mas[l]->text(), textos[l]);
    QCOMPARE(Items(f->SelBits[lpData]), (QStringList{"DTR", "RTS", "-", "-", "-", "-", "-", "-"}));
    QCOMPARE(Items(f->SelBits[lpVpp]), (QStringList{"-", "-", "-", "-", "-", "-", "TXD", "-"}));
    QCOMPARE(Items(f->SelBits[lpDataIn]), (QStringList{"-", "-", "-", "-", "CTS", "DSR", "RI", "DCD"}));
    QCOMPARE(Bit_Data, uint8_t{1});
    QCOMPARE(Bit_Read, uint8_t{128});
    QCOMPARE(f->SelBits[lpClock]->currentIndex(), 1);
    QCOMPARE(f->SelBits[lpDataIn]->currentIndex(), 7);
    QVERIFY(f->COM->isChecked());
    QVERIFY(!f->MasAddr[0]->isVisible());
    QVERIFY(!f->Block->isChecked());
    if (qEnvironmentVariableIsSet("KORVANE_CAPTURAS"))
      f->grab().save(qEnvironmentVariable("KORVANE_CAPTURAS") + "/config_harw_com.png");
  }

  // On LPT1 the clock moves to the control register and keeps its bit.
  void registroDeControl() {
    Abre();
    Desbloquea();
    Elige(f->SelBits[lpClock], 3);
    QCOMPARE(Bit_Clock, uint8_t{8});
    Elige(f->MasAddr[1], 1);
    QCOMPARE(AddrC, uint16_t{0x37A});
    QCOMPARE(Items(f->SelBits[lpClock]),
             (QStringList{"Strobe", "AutLF", "Reset", "Select", "EnIRQ", "-", "-", "-"}));
    QCOMPARE(f->SelBits[lpClock]->currentIndex(), 3);
    QCOMPARE(f->Mas[lpClock]->text(), QString("+2"));
    QCOMPARE(Bit_Clock, uint8_t{8});
    QCOMPARE(AddrD, uint16_t{0x378});
  }

  void bytePines_data() {
    QTest::addColumn<int>("marcadas");  // bits: data, clock, vpp, vpp2, vdd, mclr
    QTest::addColumn<int>("byte");
    QTest::newRow("data, Vdd, MCLR") << (1 | 16 | 32) << 0x39;
    QTest::newRow("none") << 0 << 0x1C;
    QTest::newRow("all") << 63 << 0x23;
    QTest::newRow("Vpp only") << 4 << 0x14;
  }
  void bytePines() {
    QFETCH(int, marcadas);
    QFETCH(int, byte);
    TPruebas p;
    p.Data = marcadas & 1;
    p.Clock = marcadas & 2;
    p.Vpp = marcadas & 4;
    p.Vpp2 = marcadas & 8;
    p.Vdd = marcadas & 16;
    p.Mclr = marcadas & 32;
    QCOMPARE(int{BytePinesFw(p)}, byte);
  }

  // The pin test on the firmware programmer: the "Y" packet, the answer in
  // the LEDs, and the stop packet when the window locks, the link closed.
  void pruebaFirmwareYBloqueo() {
    TPic14Sim pic(*Datos14("16F84A"));
    TChipFwPic14 chip(pic);
    TPlacaFw placa(chip);
    PerfilFirmware(placa.Dispositivo());
    Abre();
    QVERIFY(f->RUSB_COM->isChecked());
    QCOMPARE(f->SelPORT->currentText(), QString::fromStdString(placa.Dispositivo()));
    QVERIFY(!f->PanelPort->isVisible());
    Desbloquea();
    QVERIFY(!f->Timer->isActive());  // only after an answered test
    f->Tests[0]->click();
    f->Tests[4]->click();
    f->Tests[5]->click();
    const std::vector<uint8_t> r = placa.Recibido();
    QVERIFY(r.size() >= 8);
    const std::vector<uint8_t> ultimo(r.end() - 8, r.end());
    QCOMPARE(ultimo, (std::vector<uint8_t>{'>', 'Y', 0x39, 0, 0, 0, 0, 1}));
    QCOMPARE(int{EstadoPines}, 0x39);
    QVERIFY(f->Timer->isActive());
    f->TimerTimer();
    QCOMPARE(Estado(*f, lpData), TLed::Encendido);
    QCOMPARE(Estado(*f, lpClock), TLed::Apagado);
    QCOMPARE(Estado(*f, lpVdd), TLed::Encendido);
    QCOMPARE(Estado(*f, lpVpp), TLed::Apagado);
    QCOMPARE(Estado(*f, lpMclr), TLed::Encendido);
    QCOMPARE(f->ColorLed(lpData), TFConfigHarw::ColorEncendido);
    QCOMPARE(f->ColorLed(lpClock), TFConfigHarw::ColorApagado);

    placa.LimpiaRegistro();
    f->Block->click();
    QVERIFY(f->Block->isChecked());
    QVERIFY(!f->Timer->isActive());
    QVERIFY(!PuertoAbierto());
    // The board reads the stop on its own thread: wait for the bytes.
    QTRY_VERIFY_WITH_TIMEOUT(placa.Recibido().size() >= 8, 20000);
    const std::vector<uint8_t> parada = placa.Recibido();
    QCOMPARE(parada[parada.size() - 8], uint8_t{'>'});
    QCOMPARE(parada[parada.size() - 7], uint8_t{'Z'});
    QVERIFY(placa.Errores().empty());
    for (QCheckBox* c : f->Tests) QVERIFY(!c->isChecked());
  }

  // The LEDs from the lines as the port reads them back.
  void ledsDeLasLineas_data() {
    QTest::addColumn<uint16_t>("base");
    QTest::addColumn<bool>("inv");
    QTest::addColumn<uint8_t>("crudo");   // the register of data out and clock
    QTest::addColumn<uint8_t>("estado");  // the data-in register
    QTest::addColumn<int>("dato");        // data LED: 1 lit, 0 unlit
    QTest::addColumn<int>("entrada");     // data-in LED
    // LPT: lit when the register bit reads 0, whatever the inversion.
    QTest::newRow("LPT raw 0") << uint16_t{0x378} << true << uint8_t{0x00} << uint8_t{0x00} << 1 << 1;
    QTest::newRow("LPT raw 1") << uint16_t{0x378} << true << uint8_t{0x01} << uint8_t{0x80} << 0 << 0;
    QTest::newRow("LPT raw 0 not inverted") << uint16_t{0x378} << false << uint8_t{0x00} << uint8_t{0x80} << 1 << 1;
    // COM: lit when it reads 1.
    QTest::newRow("COM raw 1") << uint16_t{0x3F8} << false << uint8_t{0x01} << uint8_t{0x80} << 1 << 1;
    QTest::newRow("COM raw 0") << uint16_t{0x3F8} << true << uint8_t{0x00} << uint8_t{0x80} << 0 << 0;
  }
  void ledsDeLasLineas() {
    QFETCH(uint16_t, base);
    QFETCH(bool, inv);
    QFETCH(uint8_t, crudo);
    QFETCH(uint8_t, estado);
    QFETCH(int, dato);
    QFETCH(int, entrada);
    banco.reset();
    TPuertoSim puerto;
    PonPinesPorDefecto(base);
    if (base == 0x3F8) {
      AddrD = AddrC = AddrM = AddrVdd = 0x3FC;
      AddrV = AddrV2 = 0x3FB;
      AddrS = 0x3FE;
    }
    Inv_Data = Inv_Read = inv;
    Usa_Vdd = false;
    puerto.PonRegistro(AddrD, crudo);
    puerto.PonRegistro(AddrS, estado);
    const uint64_t antes = puerto.Lecturas;
    Bit_Clock = 0;  // a zero mask reads nothing
    const TLeds leds = LedsPines();
    QCOMPARE(leds[lpData], dato ? TLed::Encendido : TLed::Apagado);
    QCOMPARE(leds[lpDataIn], entrada ? TLed::Encendido : TLed::Apagado);
    QCOMPARE(leds[lpVdd], TLed::Panel);
    QCOMPARE(leds[lpMclr], TLed::Panel);  // no MCLR line in the defaults
    // Data, Vpp and data in read the port; the clock's zero mask did not.
    QCOMPARE(puerto.Lecturas - antes, uint64_t{3});
  }

  // In the window: the test boxes drive the simulated lines and the timer
  // shows them; an inversion change drives them again at once.
  void pruebaDeLineasEnLpt() {
    Abre();
    Desbloquea();
    QVERIFY(PuertoAbierto());
    QVERIFY(f->Timer->isActive());
    f->Tests[0]->click();  // data high
    QVERIFY(banco->Adaptador.Lineas().DatoHost);
    f->TimerTimer();
    QCOMPARE(Estado(*f, lpData), TLed::Encendido);
    QCOMPARE(Estado(*f, lpVdd), TLed::Apagado);
    QCOMPARE(Estado(*f, lpMclr), TLed::Panel);
    QCOMPARE(f->ColorLed(lpMclr), f->Panel1->palette().color(QPalette::Window).rgb() & 0xFFFFFFu);
    // The adapter inverts no more: the line must still be high.
    f->SelInv[lpData]->click();
    QVERIFY(!Inv_Data);
    banco->Adaptador.Cableado.Inv_Data = false;
    f->TimerTimer();
    QCOMPARE(banco->Puerto.Registro(0x378) & 1, 1);
  }

  // Cancel reloads the file as it is, with what Save put there.
  void cancelarTrasGuardar() {
    Abre();
    Desbloquea();
    Elige(f->SelBits[lpData], 3);
    f->Guardar->click();
    QCOMPARE(preguntas.size(), std::size_t{1});
    QVERIFY(QString::fromStdString(preguntas[0]).endsWith("Prueba ?"));
    Elige(f->SelBits[lpClock], 6);
    f->SelInv[lpVpp]->click();
    QCOMPARE(Bit_Clock, uint8_t{64});
    f->Cancelar->click();
    QVERIFY(!f->isVisible());
    QCOMPARE(PerfilHardware, std::string("Prueba"));
    QCOMPARE(Bit_Data, uint8_t{8});
    QCOMPARE(Bit_Clock, uint8_t{2});
    QVERIFY(Inv_Vpp);
  }

  void okGuardaYCancelarNoGuarda() {
    Abre();
    Desbloquea();
    Elige(f->SelBits[lpVpp], 7);
    f->Ok->click();
    PonPinesPorDefecto(0x378);
    QVERIFY(LeePerfilHardware("Prueba"));
    QCOMPARE(Bit_Vpp, uint8_t{128});
  }

  // Deleting the current profile; Cancel afterwards leaves no profile.
  void eliminar() {
    Perfil("Otro", 0x278);
    Perfil("Prueba", 0x378);
    Abre();
    QCOMPARE(f->ListaHarw->count(), 2);
    confirma = false;
    f->Eliminar->click();
    QVERIFY(Existe("Prueba"));
    confirma = true;
    f->Eliminar->click();
    QVERIFY(!Existe("Prueba"));
    QCOMPARE(f->ListaHarw->count(), 1);
    QCOMPARE(f->ListaHarw->item(0)->text(), QString("Otro"));
    QVERIFY(!f->Guardar->isEnabled());
    QVERIFY(!f->Eliminar->isEnabled());
    QVERIFY(PerfilHardware.empty());
    f->Cancelar->click();
    QVERIFY(PerfilHardware.empty());
    QVERIFY(!Existe("Prueba"));
  }

  // Another profile picked: the window locks again and the lines rest.
  void cambioDePerfilBloquea() {
    Perfil("Otro", 0x378);
    Bit_Data = 4;
    QVERIFY(GuardaPerfilHardware("Otro"));
    Perfil("Prueba", 0x378);
    Abre();
    Desbloquea();
    f->Tests[2]->click();  // Vpp on
    QVERIFY(banco->Adaptador.Lineas().Vpp);
    f->TimerTimer();
    QList<QListWidgetItem*> otro = f->ListaHarw->findItems("Otro", Qt::MatchExactly);
    QCOMPARE(otro.size(), 1);
    f->ListaHarw->setCurrentItem(otro[0]);
    emit f->ListaHarw->itemClicked(otro[0]);
    QCOMPARE(PerfilHardware, std::string("Otro"));
    QCOMPARE(Bit_Data, uint8_t{4});
    QVERIFY(f->Block->isChecked());
    QVERIFY(!f->Timer->isActive());
    for (QCheckBox* c : f->Tests) QVERIFY(!c->isChecked());
    for (int l = 0; l < NumLineasPerfil; ++l) QCOMPARE(Estado(*f, static_cast<TLineaPerfil>(l)), TLed::Neutro);
    QVERIFY(!banco->Adaptador.Lineas().Vpp);
    QVERIFY(!PuertoAbierto());
  }

  // Closing on LPT leaves the lines at rest and at their end levels.
  void cierreEnLpt() {
    DEF_BIT_CLOCK = true;
    QVERIFY(GuardaPerfilHardware("Prueba"));
    Abre();
    Desbloquea();
    f->Tests[2]->click();  // Vpp on
    f->Tests[4]->click();  // Vdd on
    QVERIFY(banco->Adaptador.Lineas().Vpp);
    QVERIFY(banco->Adaptador.Lineas().Vdd);
    f->Ok->click();
    QVERIFY(!banco->Adaptador.Lineas().Vpp);
    QVERIFY(!banco->Adaptador.Lineas().Vdd);
    QVERIFY(banco->Adaptador.Lineas().Clock);
    QVERIFY(!banco->Adaptador.Lineas().DatoHost);
    QVERIFY(!PuertoAbierto());
  }

  // Save As checks the name before anything is written.
  void nombres_data() {
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<QString>("nombre");
    QTest::newRow("plain") << "Nuevo" << true << "Nuevo";
    QTest::newRow("extension") << "Nuevo.prf" << true << "Nuevo";
    QTest::newRow("blanks") << "  Nuevo  " << true << "Nuevo";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("only an extension") << ".prf" << false << "";
    QTest::newRow("dots") << ".." << false << "";
    QTest::newRow("up") << "../fuera" << false << "";
    QTest::newRow("absolute") << "/tmp/fuera" << false << "";
    QTest::newRow("backslash") << "a\\b" << false << "";
    QTest::newRow("control") << "a\nb" << false << "";
  }
  void nombres() {
    QFETCH(QString, escrito);
    QFETCH(bool, valido);
    QFETCH(QString, nombre);
    std::string n, motivo;
    QCOMPARE(NombrePerfilValido(escrito.toStdString(), n, motivo), valido);
    if (valido) QCOMPARE(QString::fromStdString(n), nombre);
  }

  void guardarComoRechazaRutas() {
    Abre();
    nombre = "../fuera";
    f->Guardarcomo->click();
    QCOMPARE(mensajes.size(), std::size_t{1});
    QVERIFY(!fs::exists(raiz / "fuera.prf"));
    QCOMPARE(PerfilHardware, std::string("Prueba"));
    QCOMPARE(f->ListaHarw->count(), 1);
  }

  void guardarComoFallido() {
    fs::create_directories(raiz / "Hardware" / "Nuevo.prf");  // cannot be written as a file
    Abre();
    nombre = "Nuevo";
    f->Guardarcomo->click();
    QCOMPARE(mensajes.size(), std::size_t{1});
    QCOMPARE(PerfilHardware, std::string("Prueba"));
    QCOMPARE(f->ListaHarw->count(), 1);
    QCOMPARE(f->ListaHarw->currentItem()->text(), QString("Prueba"));
  }

  // A test box whose port cannot be opened is not left ticked: the opener
  // has said why, once.
  void pruebaSinPuerto() {
    banco.reset();  // the machine's ports
    Perfil("Prueba", 0x3F8);
    NodoPuerto = "/dev/korvane-no-such-tty";
    Abre();
    mensajes.clear();
    f->Block->click();
    QVERIFY(!PuertoAbierto());
    QCOMPARE(mensajes.size(), std::size_t{1});
    mensajes.clear();
    f->Tests[0]->click();
    QVERIFY(!PuertoAbierto());
    QVERIFY(!f->Tests[0]->isChecked());
    QCOMPARE(mensajes.size(), std::size_t{1});
  }

  // A profile made in the editor loads back equal and reads a 16F84A.
  void perfilGuardadoLeeUnChip() {
    Abre();
    Desbloquea();
    Elige(f->MasAddr[5], 0);
    f->UsMclr->click();
    QVERIFY(Usa_Mclr);
    f->Ends[1]->click();
    nombre = "Nuevo.prf";
    f->Guardarcomo->click();
    QVERIFY(Existe("Nuevo"));
    QCOMPARE(PerfilHardware, std::string("Nuevo"));
    f->Ok->click();
    const auto guardado = std::make_tuple(AddrB, AddrD, AddrC, AddrS, AddrV, AddrVdd, AddrM, Bit_Data, Bit_Clock,
                                          Bit_Read, Bit_Mclr, Inv_Data, Usa_Mclr, Usa_Vdd, DEF_BIT_CLOCK);
    PonPinesPorDefecto(0x278);
    QVERIFY(LeePerfilHardware("Nuevo"));
    QVERIFY(guardado == std::make_tuple(AddrB, AddrD, AddrC, AddrS, AddrV, AddrVdd, AddrM, Bit_Data, Bit_Clock,
                                        Bit_Read, Bit_Mclr, Inv_Data, Usa_Mclr, Usa_Vdd, DEF_BIT_CLOCK));
    QVERIFY(DEF_BIT_CLOCK);

    // A read of a 16F84A through that profile (a new bench wired by it).
    banco.reset();
    banco = std::make_unique<TBancoSim>();
    TPic14Sim chip(*Datos14("16F84A"));
    for (std::size_t a = 0; a < chip.Prog.size(); ++a) chip.Prog[a] = static_cast<uint16_t>((a * 7 + 3) & 0x3FFF);
    banco->Adaptador.Registra = false;
    banco->Puerto.Registra = false;
    banco->Adaptador.Conecta(&chip);
    ClaseDispositivo = 0;
    IndiceListPics = BuscaPic("PIC16F84A");
    QVERIFY(PonDispositivo() == 0);
    TFAcciones acciones;
    acciones.AlMensaje = [this](const std::string& t) { mensajes.push_back(t); };
    TipoAccion = AccLeer;
    acciones.closw->setChecked(true);
    acciones.ShowModal();
    QCOMPARE(int{ResultadoAccion}, 0);
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(BufDispositivo.Prog[a], chip.Prog[a]);
  }
  // A port change on a firmware link: the window goes on answering (the
  // test boxes reach the board and the LEDs show its answer), and a
  // board's terminal typed in the port box is the one the next test and
  // the saved profile use.
  void cambioDePuertoEnFirmware() {
    TPic14Sim pic(*Datos14("16F84A"));
    TChipFwPic14 chip(pic);
    TPlacaFw placa(chip), otra(chip);
    PerfilFirmware(placa.Dispositivo());
    Abre();
    QVERIFY(QTest::qWaitForWindowActive(f.get()));
    Desbloquea();
    // The board's port picked again in the list.
    const QString propio = QString::fromStdString(placa.Dispositivo());
    Elige(f->SelPORT, f->SelPORT->findText(propio));
    QCOMPARE(f->SelPORT->currentText(), propio);
    f->Tests[0]->click();
    QCOMPARE(int{EstadoPines}, 0x1D);  // data high, the rest as at rest
    f->TimerTimer();
    QCOMPARE(Estado(*f, lpData), TLed::Encendido);
    // The other board typed in the box: the next test goes there.
    const QString camino = QString::fromStdString(otra.Dispositivo());
    EscribePuerto(f->SelPORT, camino);
    QCOMPARE(f->SelPORT->currentText(), camino);
    QCOMPARE(ADDR_USB_COM, otra.Dispositivo());
    QVERIFY(f->RUSB_COM->isChecked());
    f->Tests[5]->click();  // MCLR, with data still high
    QTRY_VERIFY_WITH_TIMEOUT(otra.Recibido().size() >= 8, 20000);
    const std::vector<uint8_t> r = otra.Recibido();
    QCOMPARE(std::vector<uint8_t>(r.end() - 8, r.end()), (std::vector<uint8_t>{'>', 'Y', 0x3D, 0, 0, 0, 0, 1}));
    QVERIFY(f->Timer->isActive());
    f->TimerTimer();
    QCOMPARE(Estado(*f, lpMclr), TLed::Encendido);
    // A path typed and left by clicking Ok is the one saved.
    const QString tercera = "/dev/serial/by-id/usb-korvane-if00";
    QTest::mouseClick(f->SelPORT->lineEdit(), Qt::LeftButton);
    QVERIFY(f->SelPORT->lineEdit()->hasFocus());
    QTest::keyClick(f->SelPORT->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(f->SelPORT->lineEdit(), tercera);
    QTest::mouseClick(f->Ok, Qt::LeftButton);
    QVERIFY(!f->isVisible());
    const auto claves = Guardado("Placa");
    QCOMPARE(claves.at("USB_COM"), std::string("1"));
    QCOMPARE(claves.at("USB_"), std::string("0"));
    QCOMPARE(claves.at("ADDR_USB_COM"), tercera.toStdString());
    QVERIFY(placa.Errores().empty());
    QVERIFY(otra.Errores().empty());
  }

  // A firmware link's typed port that does not exist: said when the link
  // opens, as for any port, and the test box is not left ticked.
  void puertoEscritoQueNoExiste() {
    PerfilFirmware("/dev/ttyACM0");
    Abre();
    Desbloquea();
    EscribePuerto(f->SelPORT, "/dev/korvane-no-such-tty");
    QVERIFY(mensajes.empty());
    f->Tests[0]->click();
    QCOMPARE(mensajes.size(), std::size_t{1});
    QVERIFY2(QString::fromStdString(mensajes[0]).contains("/dev/korvane-no-such-tty"), mensajes[0].c_str());
    QVERIFY(!f->Tests[0]->isChecked());
    f->Ok->click();
    QCOMPARE(Guardado("Placa").at("ADDR_USB_COM"), std::string("/dev/korvane-no-such-tty"));
  }

  // A pin-level COM link on a typed device node: the list shows it on the
  // profile's COM port, the port is opened there (with the opener's
  // message when it is missing), and the profile keeps it; "COM2" typed
  // names the table's port, and a port picked in the list stands on its
  // usual node again.
  void nodoEscritoEnCom() {
    banco.reset();  // the machine's ports
    Perfil("Prueba", 0x3F8);
    Abre();
    EscribePuerto(f->SelPORT, "/dev/korvane-no-such-tty");
    QCOMPARE(f->SelPORT->currentText(), QString("COM1  /dev/korvane-no-such-tty"));
    QCOMPARE(f->Label1->text(), QString("$03F8"));
    mensajes.clear();
    f->Block->click();
    QVERIFY(!PuertoAbierto());
    QCOMPARE(mensajes.size(), std::size_t{1});
    QVERIFY2(QString::fromStdString(mensajes[0]).contains("/dev/korvane-no-such-tty"), mensajes[0].c_str());
    f->Block->click();
    f->Guardar->click();
    auto claves = Guardado("Prueba");
    QCOMPARE(claves.at("AddrB"), std::string("1016"));
    QCOMPARE(claves.at("Nodo"), std::string("/dev/korvane-no-such-tty"));
    EscribePuerto(f->SelPORT, "COM2");
    QCOMPARE(AddrB, uint16_t{0x2F8});
    QCOMPARE(f->SelPORT->currentText(), QString("COM2  /dev/ttyS1"));
    EscribePuerto(f->SelPORT, "ttyUSB7");
    QCOMPARE(f->SelPORT->currentText(), QString("COM2  /dev/ttyUSB7"));
    QCOMPARE(f->SelPORT->itemText(0), QString("COM1  /dev/ttyS0"));
    Elige(f->SelPORT, 2);
    QCOMPARE(AddrB, uint16_t{0x3E8});
    QCOMPARE(f->SelPORT->itemText(1), QString("COM2  /dev/ttyS1"));
    // A node typed on COM3 is no parallel port.
    EscribePuerto(f->SelPORT, "/dev/rfcomm0");
    QCOMPARE(f->SelPORT->currentText(), QString("COM3  /dev/rfcomm0"));
    f->Block->click();
    f->LPT->click();
    QVERIFY(f->LPT->isChecked());
    QVERIFY(!f->SelPORT->isEditable());
    QCOMPARE(f->SelPORT->currentText(), QString("LPT3  /dev/parport2"));
    f->Ok->click();
    claves = Guardado("Prueba");
    QCOMPARE(claves.at("AddrB"), std::string("956"));
    QCOMPARE(claves.at("Nodo"), std::string(""));
  }

  // The headings and row names of the window in each language, shown, in
  // their places and whole.
  void textosDeLaVentana_data() {
    QTest::addColumn<QString>("archivo");
    QTest::addColumn<QStringList>("textos");  // headings, then row names
    QTest::newRow("English") << "English.ini"
                             << QStringList{"State", "Name", "Port bits", "Data", "Clock", "Data in", "Inv", "End"};
    QTest::newRow("Spanish") << "Español.ini"
                             << QStringList{"Estado", "Nombre", "Bits del puerto", "Datos", "Reloj", "Entrada", "Inv",
                                            "Fin"};
  }
  void textosDeLaVentana() {
    QFETCH(QString, archivo);
    QFETCH(QStringList, textos);
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/" + archivo.toStdString());
    Abre();
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    const QList<QWidget*> vistos = {f->SEStado, f->SNombre, f->bitss, f->Tests[0], f->Tests[1], f->EntradaDatos,
                                    f->SelInv[0], f->Ends[0]};
    for (int i = 0; i < vistos.size(); ++i) {
      const QString t = vistos[i]->property("text").toString();
      QCOMPARE(t, textos[i]);
      QVERIFY2(vistos[i]->isVisible(), qPrintable(t));
    }
    // Each heading stands above its column.
    const auto y = [&](QWidget* w) { return w->mapTo(f.get(), QPoint(0, 0)).y(); };
    const auto x = [&](QWidget* w) { return w->mapTo(f.get(), QPoint(0, 0)).x(); };
    QVERIFY(y(f->SEStado) + f->SEStado->height() <= y(f->Leds[0]));
    QVERIFY(y(f->bitss) + f->bitss->height() <= y(f->SelBits[0]));
    QVERIFY(x(f->SNombre) >= x(f->Leds[0]) + f->Leds[0]->width());
    // A line's controls stand on one row.
    for (int l = 0; l < 6; ++l) {
      const int centro = y(f->Tests[l]) + f->Tests[l]->height() / 2;
      for (QWidget* w : std::initializer_list<QWidget*>{f->Leds[l], f->SelBits[l], f->SelInv[l], f->Ends[l]})
        QVERIFY2(std::abs(y(w) + w->height() / 2 - centro) <= 2, qPrintable(QString::number(l)));
    }
    // No text is cut.
    for (QWidget* w : f->findChildren<QWidget*>()) {
      if (!w->isVisible() || !w->property("text").isValid() || qobject_cast<QLineEdit*>(w)) continue;
      QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->property("text").toString()));
    }
  }
};

QTEST_MAIN(TestConfigHarw)
#include "config_harw_test.moc"
