// The whole path through the main window's own commands, the real operation
// window and the engine over simulated parts: open a HEX file built by
// gpasm (or a raw image of a serial EEPROM), program it with the verify
// after it, clear the window, read the part back, save, and the saved file
// loads to the same image as the one programmed.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <random>

#include "Acciones.h"
#include "chips/eeprom24_sim.h"
#include "chips/pic18_fw.h"
#include "chips/pic18_memoria.h"
#include "chips/pic1x_partes.h"
#include "firmware/placa_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_puertos.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_hex24.h"
#include "reloj_enlace.h"
#include "sim_banco.h"
#include "ventana_comun.h"

namespace {

bool Hay(const char* programa) {
  return std::system((std::string("command -v ") + programa + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Ensambla(const fs::path& carpeta, const std::string& nombre, const std::string& fuente) {
  TCarpetaPrueba::Escribe(carpeta / (nombre + ".asm"), fuente);
  const std::string orden = "cd '" + carpeta.string() + "' && gpasm -w 2 " + nombre + ".asm -o " + nombre +
                            ".hex >/dev/null 2>&1";
  if (std::system(orden.c_str()) != 0) return {};
  return (carpeta / (nombre + ".hex")).string();
}

// The image a file loads to for the selected part.
TBuffers Carga(const std::string& archivo) {
  LimpiaBufferB();
  const uint8_t r = ClaseDispositivo == ClaseI2C ? CargaArchivoI2C(archivo) : CargaHex(archivo);
  if (r != 0) qWarning("load of %s failed: %d", archivo.c_str(), int(r));
  return BufArchivo;
}

template <std::size_t N>
bool Igual(const std::array<uint16_t, N>& a, const std::array<uint16_t, N>& b, std::size_t n) {
  return std::equal(a.begin(), a.begin() + std::min(n, N), b.begin());
}

template <std::size_t N>
void Diferencias(const char* area, const std::array<uint16_t, N>& a, const std::array<uint16_t, N>& b, std::size_t n) {
  for (std::size_t i = 0, k = 0; i < std::min(n, N) && k < 4; ++i)
    if (a[i] != b[i]) {
      qWarning("%s[%zu]: %04X, expected %04X", area, i, a[i], b[i]);
      ++k;
    }
}

bool MismaImagen(const TBuffers& a, const TBuffers& b) {
  Diferencias("Prog", a.Prog, b.Prog, PicActual.ProgTam);
  Diferencias("Config", a.Config, b.Config, PicActual.CfgNum);
  // Data EEPROM cells are bytes: a blank cell of a file and a byte read back
  // differ above the byte.
  for (uint32_t i = 0; i < PicActual.EeTam; ++i)
    if ((a.Datos[i] ^ b.Datos[i]) & PicActual.EeMask) return false;
  // A 12/14-bit ID word carries one nibble; the configuration editor writes
  // the unused bits as ones.
  const uint16_t id = PicActual.Familia == 16 || PicActual.Familia == 10 ? 0x000F : 0xFFFF;
  for (uint32_t i = 0; i < PicActual.IdNum; ++i)
    if ((a.Id[i] ^ b.Id[i]) & id) return false;
  return Igual(a.Prog, b.Prog, PicActual.ProgTam) &&
         Igual(a.Config, b.Config, PicActual.CfgNum);
}

}  // namespace

class TestExtremo : public QObject {
  Q_OBJECT

  std::unique_ptr<TCarpetaPrueba> carpeta;
  std::unique_ptr<TFormKorvane> w;
  TDialogosPrueba* d = nullptr;
  std::vector<std::string> mensajes;

  void Crea() {
    w = std::make_unique<TFormKorvane>();
    auto dialogos = std::make_unique<TDialogosPrueba>();
    d = dialogos.get();
    w->PonDialogos(std::move(dialogos));
    FAcciones->AlMensaje = [this](const std::string& t) { mensajes.push_back(t); };
    FAcciones->AlPreguntar = [](const std::string&, bool) { return TRespuesta::Si; };
    FAcciones->Timer1->setInterval(1);
    w->show();
    FAcciones->closw->setChecked(true);
    OpcVDespues = true;
    OpcPMsgs = false;
  }
  void Selecciona(int clase, int indice) {
    w->SelecDev->setCurrentIndex(clase);
    w->SelecDevChange();
    QComboBox* l[] = {w->ListPics, w->ListPicsC, w->ListEeprom};
    l[clase]->setCurrentIndex(indice);
    w->ListPicsChange();
  }

  // Open, program (with verify), clear, read, save; the saved file loads to
  // the image of the opened one.
  void Recorrido(const std::string& archivo, const std::string& guardado) {
    d->Archivos = {QString::fromStdString(archivo)};
    w->MAbrir->trigger();
    QCOMPARE(ArchivoActual, archivo);
    const TBuffers original = Carga(archivo);

    w->Sprogramar->click();
    QVERIFY2(ResultadoAccion == 0, mensajes.empty() ? "" : mensajes.back().c_str());

    w->MLimpiarBuffer->trigger();
    QVERIFY(ArchivoActual.empty());
    w->SLeer->click();
    QCOMPARE(ResultadoAccion, uint8_t{0});

    d->Archivos = {QString::fromStdString(guardado)};
    w->MGuardar->trigger();  // no current file: Save As
    QCOMPARE(ArchivoActual, guardado);
    QVERIFY(fs::exists(guardado));
    QVERIFY(MismaImagen(Carga(guardado), original));
    QVERIFY(mensajes.empty());
    QCOMPARE(d->Operaciones, 2);
    QVERIFY(!PuertoAbierto());
  }

private slots:
  void init() {
    carpeta = std::make_unique<TCarpetaPrueba>();
    mensajes.clear();
    Cancelado = false;
    Usa_Vpp2 = false;
  }
  void cleanup() {
    w.reset();
    CierraPuerto(true);
    USB_COM = USB_ = false;
    ADDR_USB_COM.clear();
    PerfilHardware.clear();
    carpeta.reset();
  }

  void pic16F628APinesLpt() {
    QVERIFY2(Hay("gpasm"), "gpasm is missing: scripts/deps.sh installs gputils");
    PonPerfilLptSim();
    QVERIFY(GuardaPerfilHardware("Korvane"));
    TBancoSim banco;
    banco.Adaptador.Registra = false;
    banco.Puerto.Registra = false;
    TPic14Sim chip(*Datos14("16F628A"));
    banco.Adaptador.Conecta(&chip);
    Crea();
    QCOMPARE(PerfilHardware, std::string("Korvane"));
    Selecciona(0, 11);
    QCOMPARE(PicActual.Nombre, std::string("16F628a"));
    const std::string hex = Ensambla(carpeta->raiz, "p628", R"(
	processor 16f628a
	__config 0x3F50
	__idlocs 0x1234
	org 0
	goto start
	org 4
start:	movlw 0x55
	movwf 0x20
	goto start
	org 0x7FF
	retlw 0x34
	org 0x2100
	de 1, 2, "Ok"
	end
)");
    QVERIFY(!hex.empty());
    Recorrido(hex, (carpeta->raiz / "leido.hex").string());
    QCOMPARE(chip.Prog[0], uint16_t{0x2804});
    QCOMPARE(chip.Prog[0x7FF], uint16_t{0x3434});
    for (const auto& v : chip.Violaciones) QFAIL(v.c_str());
  }

  // The file gives every configuration byte, the two the part does not
  // implement (they read 0) included.
  void pic18F4550PlacaFirmware() {
    QVERIFY2(Hay("gpasm"), "gpasm is missing: scripts/deps.sh installs gputils");
    TRelojEnlace reloj;
    TReloj* anterior = PonReloj(&reloj);
    const TTiemposSerie tiempos = TiemposSerie;
    TiemposSerie = {};  // the engine's own time-outs
    TMemoriaPic18 memoria(Modelo18F4550());
    TPic18Fw chip(memoria);
    TPlacaFw placa(chip);
    PonPinesPorDefecto(0x3F8);
    USB_COM = true;
    USB_ = false;
    ADDR_USB_COM = placa.Dispositivo();
    QVERIFY(GuardaPerfilHardware("Korvane"));
    Crea();
    Selecciona(0, BuscaPic("PIC18F4550"));
    QCOMPARE(PicActual.Nombre, std::string("18F4550"));
    const std::string hex = Ensambla(carpeta->raiz, "p4550", R"(
	processor 18f4550
	config PLLDIV=1, CPUDIV=OSC1_PLL2, USBDIV=1, FOSC=HS, FCMEN=OFF, IESO=OFF, PWRT=ON, BOR=OFF, VREGEN=OFF
	config WDT=OFF, MCLRE=ON, LPT1OSC=OFF, PBADEN=OFF, CCP2MX=ON, STVREN=ON, LVP=OFF, ICPRT=OFF, XINST=OFF
	config DEBUG=OFF, CP0=OFF, CP1=OFF, CP2=OFF, CP3=OFF, CPB=OFF, CPD=OFF, WRT0=OFF, WRT1=OFF, WRT2=OFF
	config WRT3=OFF, WRTB=OFF, WRTC=OFF, WRTD=OFF, EBTR0=OFF, EBTR1=OFF, EBTR2=OFF, EBTR3=OFF, EBTRB=OFF
	org 0x300004
	db 0x00
	org 0x300007
	db 0x00
	org 0
	goto start
	org 0x40
start:	movlw 0x55
	movwf 0x20, 0
	bra start
	org 0x7FFE
	retlw 0x34
	org 0xF00000
	db 1, 2, 3, 4, 5, 6, 7, 8
	end
)");
    QVERIFY(!hex.empty());
    Recorrido(hex, (carpeta->raiz / "leido18.hex").string());
    QVERIFY(placa.Errores().empty());
    PonReloj(anterior);
    TiemposSerie = tiempos;
  }

  void eeprom24C256() {
    PonPerfilLptSim();
    QVERIFY(GuardaPerfilHardware("Korvane"));
    TBancoSim banco;
    banco.Adaptador.Registra = false;
    banco.Puerto.Registra = false;
    TEeprom24Sim eeprom(8);
    banco.Adaptador.Conecta(&eeprom);
    Crea();
    Selecciona(2, 8);
    QCOMPARE(PicActual.Nombre, std::string("24C256"));
    std::string bytes(PicActual.ProgTam, '\0');
    std::mt19937 azar(7);
    for (char& c : bytes) c = static_cast<char>(azar());
    const std::string bin = (carpeta->raiz / "imagen.bin").string();
    TCarpetaPrueba::Escribe(bin, bytes);
    Recorrido(bin, (carpeta->raiz / "leida.bin").string());
    QCOMPARE(TCarpetaPrueba::Lee(carpeta->raiz / "leida.bin"), bytes);
    QCOMPARE(std::string(eeprom.Memoria().begin(), eeprom.Memoria().end()), bytes);
  }
};

QTEST_MAIN(TestExtremo)
#include "extremo_test.moc"
