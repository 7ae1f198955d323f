// The main window's hardware command: the profile editor opened from the
// menu, a new profile saved in it under a name typed in the profile-name
// dialog, and the window afterwards showing and using that profile for a
// read of a simulated 16F84A on the simulated parallel port.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "Acciones.h"
#include "ConfigHarw.h"
#include "chips/pic1x_flash14.h"
#include "chips/pic1x_partes.h"
#include "dialogos/Dialogos.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "perfiles/EditorPerfiles.h"
#include "pg_pic.h"
#include "sim_banco.h"
#include "ventana_comun.h"

class TestEditorPerfiles : public QObject {
  Q_OBJECT

  std::unique_ptr<TCarpetaPrueba> carpeta;
  std::unique_ptr<TFormKorvane> w;
  TDialogosPrueba* d = nullptr;
  std::vector<std::string> mensajes;
  std::unique_ptr<TBancoSim> banco;

  void Crea() {
    w.reset();
    w = std::make_unique<TFormKorvane>();
    auto dialogos = std::make_unique<TDialogosPrueba>();
    d = dialogos.get();
    w->PonDialogos(std::move(dialogos));
    InstalaEditorPerfiles(*w);
    FAcciones->AlMensaje = [this](const std::string& t) { mensajes.push_back(t); };
    FAcciones->Timer1->setInterval(1);
    w->show();
    FAcciones->closw->setChecked(true);
  }

private slots:
  void init() {
    carpeta = std::make_unique<TCarpetaPrueba>();
    mensajes.clear();
    // The window starts with a profile on LPT2.
    PonPerfilLptSim();
    PonPinesPorDefecto(0x278);
    QVERIFY(GuardaPerfilHardware("Korvane"));
    banco = std::make_unique<TBancoSim>();
    Crea();
    QCOMPARE(PerfilHardware, std::string("Korvane"));
    QVERIFY(d->Mensajes.empty());
  }
  void cleanup() {
    w.reset();
    CierraPuerto(true);
    banco.reset();
    PerfilHardware.clear();
    carpeta.reset();
  }

  void perfilGuardadoEsElDeLaVentana() {
    int editores = 0, nombres = 0;
    QString inicial;
    uint16_t puerto = 0;
    std::string guardado;
    d->AlModal = [&](QDialog& dlg) {
      if (auto* nombre = qobject_cast<TFGuardaComo*>(&dlg)) {
        ++nombres;
        nombre->show();
        nombre->Edit->setText("Banco");
        nombre->Ok->click();
        return nombre->result();
      }
      auto* editor = qobject_cast<TFConfigHarw*>(&dlg);
      if (!editor) return int(QDialog::Rejected);
      ++editores;
      editor->show();
      if (editor->ListaHarw->currentItem()) inicial = editor->ListaHarw->currentItem()->text();
      // LPT1 instead of LPT2, saved under a new name, then Ok.
      editor->SelPORT->setCurrentIndex(0);
      emit editor->SelPORT->activated(0);
      puerto = AddrB;
      editor->Guardarcomo->click();
      guardado = PerfilHardware;
      editor->Ok->click();
      return int(QDialog::Accepted);
    };
    w->MConfHard->trigger();
    QCOMPARE(editores, 1);
    QCOMPARE(nombres, 1);
    QCOMPARE(inicial, QString("Korvane"));
    QCOMPARE(puerto, uint16_t{0x378});
    QCOMPARE(guardado, std::string("Banco"));
    QVERIFY(d->Mensajes.empty());
    QVERIFY(fs::exists(carpeta->programa / "Hardware" / "Banco.prf"));
    QCOMPARE(PerfilHardware, std::string("Banco"));
    QVERIFY2(w->KvFieldStatus1->Caption().contains("Banco"), qPrintable(w->KvFieldStatus1->Caption()));

    // The window keeps the profile in its settings; the next start loads it
    // from its file.
    w->close();
    QVERIFY(TCarpetaPrueba::Lee(carpeta->programa / "Korvane.ini").find("TPH=Banco") != std::string::npos);
    PonPinesPorDefecto(0x278);
    Crea();
    QCOMPARE(PerfilHardware, std::string("Banco"));
    QCOMPARE(AddrB, uint16_t{0x378});

    // A 16F84A on an adapter wired on LPT1: the window's read goes through it.
    banco.reset();
    banco = std::make_unique<TBancoSim>();
    TPic14Sim chip(*Datos14("16F84A"));
    for (std::size_t a = 0; a < chip.Prog.size(); ++a) chip.Prog[a] = static_cast<uint16_t>((a * 5 + 1) & 0x3FFF);
    banco->Adaptador.Registra = false;
    banco->Puerto.Registra = false;
    banco->Adaptador.Conecta(&chip);
    w->ListPics->SetItemIndex(BuscaPic("PIC16F84A"));
    w->ListPicsChange();
    w->SLeer->click();
    QVERIFY2(ResultadoAccion == 0, mensajes.empty() ? "" : mensajes.back().c_str());
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a) QCOMPARE(BufDispositivo.Prog[a], chip.Prog[a]);
  }
  // From the pin-level link to USB-232 and on to LPT with the window's own
  // buttons: the window goes on answering, and Ok saves the link it shows,
  // which the status bar names.
  void idaYVueltaPorFirmware() {
    QString puertoVisto, direccionVista;
    bool usb232 = false, lpt = false, editado = false;
    d->AlModal = [&](QDialog& dlg) {
      auto* editor = qobject_cast<TFConfigHarw*>(&dlg);
      if (!editor) return int(QDialog::Rejected);
      editor->show();
      editor->Block->click();
      editor->RUSB_COM->click();
      usb232 = editor->RUSB_COM->isChecked() && !editor->PanelPort->isVisible();
      editor->LPT->click();
      lpt = editor->LPT->isChecked() && editor->PanelPort->isVisible();
      // A bit list answers the keyboard.
      QTest::keyClick(editor->SelBits[lpData], Qt::Key_Down);
      editado = Bit_Data == 2;
      puertoVisto = editor->SelPORT->currentText().section(' ', 0, 0);
      direccionVista = editor->Label1->text();
      editor->Ok->click();
      return int(QDialog::Accepted);
    };
    w->MConfHard->trigger();
    QVERIFY(usb232);
    QVERIFY(lpt);
    QVERIFY(editado);
    QVERIFY2(puertoVisto.startsWith("LPT"), qPrintable(puertoVisto));
    const std::string archivo = TCarpetaPrueba::Lee(carpeta->programa / "Hardware" / "Korvane.prf");
    QVERIFY2(archivo.find("USB_COM=0") != std::string::npos, archivo.c_str());
    QVERIFY2(archivo.find("Bit_Data=2") != std::string::npos, archivo.c_str());
    const std::string addrB = "AddrB=" + std::to_string(direccionVista.mid(1).toInt(nullptr, 16));
    QVERIFY2(archivo.find(addrB) != std::string::npos, archivo.c_str());
    QVERIFY2(w->KvFieldStatus1->Caption().endsWith("Korvane - " + puertoVisto), qPrintable(w->KvFieldStatus1->Caption()));
  }
};

QTEST_MAIN(TestEditorPerfiles)
#include "editor_perfiles_test.moc"
