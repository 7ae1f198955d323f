// Whole operations of every family through the operation window, on each
// kind of link: pin-level LPT and COM with the simulated part in the
// adapter's socket, and the firmware programmer (pseudo-terminal and
// simulated USB bus) with the same family's simulated part in its socket.
// Each case reads a fresh part, verifies it, programs a changed image
// (with the verify after programming), reads it back, verifies a wrong
// image (fails), erases and identifies; after every run the link is closed.
#include <QCheckBox>
#include <QtTest>
#include <memory>

#include "Acciones.h"
#include "chips/dspic30_fw.h"
#include "chips/dspic30_sim.h"
#include "chips/eeprom24_fw.h"
#include "chips/eeprom24_sim.h"
#include "chips/pic18_fw.h"
#include "chips/pic18_sim.h"
#include "chips/pic1x_fw.h"
#include "chips/pic1x_partes.h"
#include "firmware/placa_fw.h"
#include "fw/pg_serie.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "pg_pic.h"
#include "sim_banco.h"
#include "usb/placa_usb_sim.h"
#include "reloj_enlace.h"

namespace {

enum TEnlace : int { Lpt, Com, Serie, Usb };
enum TFamilia : int { F14, F18, F30, F24 };

// One family's simulated part, as a pin-level chip and as the firmware
// board's chip.
struct TParte {
  std::unique_ptr<TChipSim> Pines;
  std::unique_ptr<TChipFw> Fw;
  std::unique_ptr<TPic14Sim> Pic14;
  std::unique_ptr<TMemoriaPic18> Mem18;
};

TParte CreaParte(TFamilia familia, bool firmware) {
  TParte p;
  switch (familia) {
    case F14:
      p.Pic14 = std::make_unique<TPic14Sim>(*Datos14("16F877A"));
      if (firmware) p.Fw = std::make_unique<TChipFwPic14>(*p.Pic14);
      break;
    case F18:
      if (firmware) {
        p.Mem18 = std::make_unique<TMemoriaPic18>(Modelo18F452());
        p.Fw = std::make_unique<TPic18Fw>(*p.Mem18);
      } else {
        p.Pines = std::make_unique<TPic18Sim>(Modelo18F452());
      }
      break;
    case F30:
      if (firmware) p.Fw = std::make_unique<TDsPic30Fw>(Modelo30F4013());
      else p.Pines = std::make_unique<TDsPic30Sim>(Modelo30F4013());
      break;
    case F24:
      if (firmware) p.Fw = std::make_unique<TChipEeprom24Fw>(2);
      else p.Pines = std::make_unique<TEeprom24Sim>(2);
      break;
  }
  return p;
}

void Selecciona(TFamilia familia) {
  switch (familia) {
    case F14: ClaseDispositivo = 0; IndiceListPics = 45; break;   // 16F877A
    case F18: ClaseDispositivo = 0; IndiceListPics = 52; break;   // 18F452
    case F30: ClaseDispositivo = 0; IndiceListPics = 108; break;  // 30F4013
    case F24: ClaseDispositivo = 2; IndiceListEeprom = 2; break;  // 24C04
  }
  PonDispositivo();
}

// Changes a few program words of the image the way a user's edit would.
void CambiaImagen(TFamilia familia) {
  const uint32_t paso = familia == F30 ? 2 : 1;  // a dsPIC instruction is two cells
  for (uint32_t k = 0; k < 40; ++k) {
    const uint32_t a = (k * 37 % (PicActual.ProgTam / paso / 2)) * paso;
    BufDispositivo.Prog[a] = static_cast<uint16_t>((0x1234 + k * 0x0111) & (familia == F24 ? 0xFF : PicActual.ProgMask));
    if (familia == F30) BufDispositivo.Prog[a + 1] = 0x0012;
  }
}

bool MismoProg(const TBuffers& a, const TBuffers& b) {
  for (uint32_t i = 0; i < PicActual.ProgTam; ++i)
    if (a.Prog[i] != b.Prog[i]) return false;
  return true;
}

}  // namespace

class TestFamilias : public QObject {
  Q_OBJECT

  std::unique_ptr<TFAcciones> f;
  std::vector<std::string> mensajes;

  // The pin-level programmer of the case (none on the firmware links), and
  // whether any run left it out of rest.
  TBancoSim* banco_ = nullptr;
  bool fueraDeReposo_ = false;

  uint8_t Ejecuta(uint32_t accion) {
    TipoAccion = accion;
    f->closw->setChecked(true);
    f->ShowModal();
    if (PuertoAbierto() || (banco_ && !EnReposo(*banco_))) fueraDeReposo_ = true;
    return ResultadoAccion;
  }

  // Vdd off and the lines at the profile's end levels.
  static bool EnReposo(TBancoSim& b) {
    if (Usa_Vdd && b.Adaptador.Lineas().Vdd) return false;
    const uint8_t antes = b.Puerto.Registro(AddrB);
    PonPines_END();
    return b.Puerto.Registro(AddrB) == antes;
  }

private slots:
  void init() {
    f = std::make_unique<TFAcciones>();
    f->Timer1->setInterval(1);
    mensajes.clear();
    f->AlMensaje = [this](const std::string& t) { mensajes.push_back(t); };
    f->AlPreguntar = [](const std::string&, bool) { return TRespuesta::Si; };
    OpcPMsgs = false;
    OpcVDespues = true;
    Usa_Vpp2 = false;
    Cancelado = false;
  }
  void cleanup() {
    banco_ = nullptr;
    fueraDeReposo_ = false;
    f.reset();
    CierraPuerto(true);
    USB_COM = USB_ = false;
    ADDR_USB_COM.clear();
    PerfilHardware.clear();
  }

  void operaciones_data() {
    QTest::addColumn<int>("familia");
    QTest::addColumn<int>("enlace");
    const char* nf[] = {"14-bit", "PIC18", "dsPIC", "24C04"};
    const char* ne[] = {"LPT", "COM", "firmware serial", "firmware USB"};
    for (int fa = F14; fa <= F24; ++fa)
      for (int e = Lpt; e <= Usb; ++e)
        QTest::newRow((std::string(nf[fa]) + " " + ne[e]).c_str()) << fa << e;
  }
  void operaciones() {
    QFETCH(int, familia);
    QFETCH(int, enlace);
    const TFamilia fam = static_cast<TFamilia>(familia);
    const bool firmware = enlace == Serie || enlace == Usb;
    TParte parte = CreaParte(fam, firmware);
    Selecciona(fam);
    PerfilHardware = "Prueba";

    std::unique_ptr<TBancoSim> banco;
    std::unique_ptr<TPlacaFw> serie;
    std::unique_ptr<TPlacaUsbSim> placa;
    std::unique_ptr<TBusUsbSim> bus;
    std::unique_ptr<TRelojEnlace> reloj;
    TReloj* relojAnterior = nullptr;
    const TTiemposSerie tiempos = TiemposSerie;
    if (!firmware) {
      if (enlace == Com) PonPerfilComSim();
      else PonPerfilLptSim();
      USB_COM = USB_ = false;
      banco = std::make_unique<TBancoSim>();
      banco->Adaptador.Registra = false;
      banco->Puerto.Registra = false;
      banco->Adaptador.Conecta(parte.Pic14 ? static_cast<TChipSim*>(parte.Pic14.get()) : parte.Pines.get());
      banco_ = banco.get();
    } else {
      reloj = std::make_unique<TRelojEnlace>();
      relojAnterior = PonReloj(reloj.get());
      TiemposSerie = {};  // the engine's own time-outs
      PonPinesPorDefecto(0x3F8);
      USB_COM = true;
      USB_ = enlace == Usb;
      if (USB_) {
        placa = std::make_unique<TPlacaUsbSim>(*parte.Fw);
        bus = std::make_unique<TBusUsbSim>();
        bus->Dispositivos.push_back({{VidMicrochip, 0x5201, "1-2"}, placa.get(), TFalloUsb::Ninguno});
        VidPid = "vid_04d8&pid_5201";
        ADDR_USB_ = "Ind.#0";
      } else {
        serie = std::make_unique<TPlacaFw>(*parte.Fw);
        ADDR_USB_COM = serie->Dispositivo();
      }
    }

    QCOMPARE(Ejecuta(AccHardware), uint8_t{0});

    LimpiaBuffers(BufDispositivo);
    QCOMPARE(Ejecuta(AccLeer), uint8_t{0});
    const TBuffers blanco = BufDispositivo;
    BufArchivo = BufDispositivo;
    QCOMPARE(Ejecuta(AccVerificar), uint8_t{0});

    CambiaImagen(fam);
    BufArchivo = BufDispositivo;
    const TBuffers programado = BufDispositivo;
    QCOMPARE(Ejecuta(AccProgramar), uint8_t{0});
    QVERIFY(!PuertoAbierto());

    LimpiaBuffers(BufDispositivo);
    QCOMPARE(Ejecuta(AccLeer), uint8_t{0});
    QVERIFY(MismoProg(BufDispositivo, programado));

    BufArchivo.Prog[fam == F30 ? 2 : 1] ^= 0x0001;
    const uint8_t r = Ejecuta(AccVerificar);
    QVERIFY(r != 0);
    QVERIFY(!PuertoAbierto());

    // A serial EEPROM has no erase: its contents stay.
    QCOMPARE(Ejecuta(AccBorrar), uint8_t{0});
    LimpiaBuffers(BufDispositivo);
    QCOMPARE(Ejecuta(AccLeer), uint8_t{0});
    QVERIFY(MismoProg(BufDispositivo, fam == F24 ? programado : blanco));
    QCOMPARE(Ejecuta(AccIdentificar), uint8_t{0});
    QVERIFY(!PuertoAbierto());
    QVERIFY(!fueraDeReposo_);
    if (serie) QVERIFY(serie->Errores().empty());
    if (placa) QVERIFY(placa->Errores.empty());
    if (relojAnterior || reloj) PonReloj(relojAnterior);
    TiemposSerie = tiempos;
  }
};

QTEST_MAIN(TestFamilias)
#include "familias_test.moc"
