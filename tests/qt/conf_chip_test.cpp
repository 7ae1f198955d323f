// Configuration editors against simulated parts: options set in the
// editor, programmed through the operation window on a pin-level
// programmer, read back, and shown the same by a new editor.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "Acciones.h"
#include "chips/dspic30_sim.h"
#include "chips/pic18_sim.h"
#include "chips/pic1x_partes.h"
#include "conf/EditorTabla.h"
#include "flash/pg_flash.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "KvEdit.h"
#include "pg_hex.h"
#include "pg_catalogo.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"
#include "pg_pic.h"
#include "sim_banco.h"

namespace {

QAbstractButton* Boton(QWidget* w, const QString& nombre) {
  for (QAbstractButton* b : w->findChildren<QAbstractButton*>(nombre))
    if (b->isVisible()) return b;
  return nullptr;
}

std::unique_ptr<TPic1xSerieSim> Chip(const QString& parte) {
  const std::string n = parte.toStdString();
  if (auto d = Datos14(n)) return std::make_unique<TPic14Sim>(*d);
  if (auto d = Datos10F(n)) return std::make_unique<TPic10FSim>(*d);
  if (auto d = DatosC(n)) return std::make_unique<TPicCSim>(*d);
  return nullptr;
}

// The same for every family.
std::unique_ptr<TChipSim> ChipDe(const QString& parte) {
  if (parte == "18F452") return std::make_unique<TPic18Sim>(Modelo18F452());
  if (parte == "30F2010") return std::make_unique<TDsPic30Sim>(Modelo30F2010());
  if (parte == "30F4013") return std::make_unique<TDsPic30Sim>(Modelo30F4013());
  return Chip(parte);
}

// A simulated pin-level programmer with a part in its socket.
std::unique_ptr<TBancoSim> Banco(TChipSim* chip) {
  auto banco = std::make_unique<TBancoSim>();
  banco->Adaptador.Registra = false;
  banco->Puerto.Registra = false;
  banco->Adaptador.Conecta(chip);
  return banco;
}

// An Intel HEX data record (or any record type), checksum included.
std::string RegistroHex(uint8_t tipo, uint16_t direccion, const std::vector<uint8_t>& datos) {
  std::vector<uint8_t> b = {static_cast<uint8_t>(datos.size()), static_cast<uint8_t>(direccion >> 8),
                            static_cast<uint8_t>(direccion), tipo};
  b.insert(b.end(), datos.begin(), datos.end());
  uint8_t suma = 0;
  QString linea = ":";
  for (uint8_t x : b) {
    suma = static_cast<uint8_t>(suma + x);
    linea += QString("%1").arg(x, 2, 16, QChar('0')).toUpper();
  }
  linea += QString("%1").arg(static_cast<uint8_t>(-suma), 2, 16, QChar('0')).toUpper();
  return linea.toStdString() + "\n";
}

// The visible widget of a kind named `nombre`.
template <typename W>
W* Visible(QWidget* w, const QString& nombre) {
  for (W* x : w->findChildren<W*>(nombre))
    if (x->isVisible()) return x;
  return nullptr;
}

}  // namespace

class TestConfChip : public QObject {
  Q_OBJECT

  std::unique_ptr<TFAcciones> f;
  std::vector<std::string> preguntas;

  // Runs an action as the main window does; the window closes itself.
  void Ejecuta(uint32_t accion) {
    TipoAccion = accion;
    f->closw->setChecked(true);
    f->ShowModal();
  }

  // Selects a device of the flash (0) or EPROM (1) list.
  static void Selecciona(int clase, int indice) {
    ClaseDispositivo = uint8_t(clase);
    if (clase == ClaseEprom) IndiceListPicsC = uint8_t(indice);
    else IndiceListPics = uint8_t(indice);
    QCOMPARE(PonDispositivo(), uint8_t{0});
  }

  // The selected part's editor loaded from BufDispositivo, `clics` clicked,
  // the ID value set, and saved back into BufDispositivo.
  static std::unique_ptr<TFEditorConf> Edita(const QStringList& clics) {
    auto editor = CreaEditorConf(EstadoEditorConf);
    if (!editor) {
      QTest::qFail("no editor", __FILE__, __LINE__);
      return editor;
    }
    editor->show();
    editor->LoadFromBuffer(BufDispositivo.Id, BufDispositivo.Config);
    for (const QString& n : clics) {
      QAbstractButton* b = Boton(editor.get(), n);
      if (!b) {
        QTest::qFail(qPrintable(n), __FILE__, __LINE__);
        return editor;
      }
      b->click();
    }
    if (auto* id = editor->findChild<QLineEdit*>("ID")) id->setText("A5C3");
    editor->SaveToBuffer(BufDispositivo.Id, BufDispositivo.Config);
    return editor;
  }

private slots:
  void init() {
    f = std::make_unique<TFAcciones>();
    f->Timer1->setInterval(10);
    preguntas.clear();
    f->AlMensaje = [](const std::string& t) { QFAIL(t.c_str()); };
    f->AlPreguntar = [this](const std::string& t, bool) {
      preguntas.push_back(t);
      return TRespuesta::Si;
    };
    PonPerfilLptSim();
    USB_COM = USB_ = false;
    PerfilHardware = "Prueba";
    OpcPMsgs = false;
    OpcVDespues = true;
    Usa_Vpp2 = false;
    Cancelado = false;
  }
  void cleanup() {
    f.reset();
    CierraPuerto(true);
    PerfilHardware.clear();
    Act_Cal = false;
  }

  void roundTrip_data() {
    QTest::addColumn<QString>("parte");
    QTest::addColumn<int>("clase");
    QTest::addColumn<int>("indice");
    QTest::addColumn<QStringList>("clics");
    QTest::addColumn<bool>("pregunta");
    QTest::newRow("10F206") << "10F206" << 0 << 3 << QStringList{"WDT", "MCLRE"} << false;
    QTest::newRow("12F675") << "12F675" << 0 << 6 << QStringList{"INTRC_IO", "PWRTEN", "B1"} << true;
    QTest::newRow("12F635") << "12F635" << 0 << 5 << QStringList{"Act_Cal", "WURE", "LVD0", "FCAL3"} << false;
    QTest::newRow("16F628A") << "16F628A" << 0 << 11 << QStringList{"HS6", "PWRTEN", "BOREN"} << false;
    QTest::newRow("16F88") << "16F88" << 0 << 32 << QStringList{"INTRC_IO8", "IESO8", "PWRTEN8"} << false;
    QTest::newRow("16F877A") << "16F877A" << 0 << 45 << QStringList{"XTa", "PWRTEN", "LVPa"} << false;
    QTest::newRow("16C74B") << "16C74B" << 1 << 23 << QStringList{"XT", "PWRT"} << false;
  }
  void roundTrip() {
    QFETCH(QString, parte);
    QFETCH(int, clase);
    QFETCH(int, indice);
    QFETCH(QStringList, clics);
    QFETCH(bool, pregunta);
    Selecciona(clase, indice);
    auto chip = Chip(parte);
    QVERIFY(chip);
    auto banco = Banco(chip.get());

    LimpiaBuffers(BufDispositivo);
    auto editor = Edita(clics);
    if (QTest::currentTestFailed()) return;
    const auto* tabla = dynamic_cast<TFEditorTabla*>(editor.get());
    const TEstadoConf puesto = tabla->Estado();
    const std::vector<uint16_t> palabras = tabla->Palabras();
    BufArchivo = BufDispositivo;

    Ejecuta(AccProgramar);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    // The band-gap bits differ from the factory's (0x2000): asked, Yes.
    QCOMPARE(!preguntas.empty(), pregunta);
    LimpiaBuffers(BufDispositivo);
    Ejecuta(AccLeer);
    QCOMPARE(ResultadoAccion, uint8_t{0});

    // The main window loads what was read into a new editor.
    editor = CreaEditorConf(EstadoEditorConf);
    editor->LoadFromBuffer(BufDispositivo.Id, BufDispositivo.Config);
    tabla = dynamic_cast<TFEditorTabla*>(editor.get());
    QCOMPARE(tabla->Estado(), puesto);
    QCOMPARE(tabla->Palabras(), palabras);
    // The part saw nothing but its own programming sequences: a 10F is not
    // probed with other families' ID reads before an operation.
    for (const auto& v : chip->Violaciones) QFAIL(v.c_str());
  }

  // Protection chosen in the editor and programmed with the verify after
  // programming: the part then reads 0 where it is protected, though each
  // word was read back as it was written. The run succeeds and says why
  // the protected cells were not compared; a wrong word where the part
  // still shows its contents fails it; a verify on its own says first that
  // the part is protected and fails, and a read says so.
  void protectionTheImageSets_data() {
    QTest::addColumn<QString>("parte");
    QTest::addColumn<int>("clase");
    QTest::addColumn<int>("indice");
    QTest::addColumn<QStringList>("clics");
    QTest::addColumn<int>("zonaErronea");  // where the wrong word goes: 0 program, 1 ID, 3 data EEPROM
    QTest::addColumn<int>("celdaErronea");
    QTest::addColumn<bool>("datosProtegidos");
    // 12-bit: the first 64 words still read.
    QTest::newRow("10F200") << "10F200" << 0 << 0 << QStringList{"CP"} << 0 << 0x10 << false;
    QTest::newRow("12F675") << "12F675" << 0 << 6 << QStringList{"CP"} << 3 << 5 << false;
    QTest::newRow("16F84A") << "16F84A" << 0 << 30 << QStringList{"CP"} << 3 << 9 << false;
    QTest::newRow("16F628A") << "16F628A" << 0 << 11 << QStringList{"CP1a", "CPD"} << 1 << 2 << true;
    // Only 1000h-1FFFh protected: the lower half still reads.
    QTest::newRow("16F877") << "16F877" << 0 << 44 << QStringList{"CP2"} << 0 << 0x800 << false;
    // The upper half protected.
    QTest::newRow("16C74B") << "16C74B" << 1 << 23 << QStringList{"CP1"} << 0 << 0x100 << false;
    // Code block 0 protected: the boot block still reads.
    QTest::newRow("18F452 block 0") << "18F452" << 0 << 52 << QStringList{"CP0"} << 0 << 0x40 << false;
    QTest::newRow("18F452 all") << "18F452" << 0 << 52 << QStringList{"CP0", "CP1", "CP2", "CP3", "CPB", "CPD"}
                                << 1 << 1 << true;
    QTest::newRow("30F2010") << "30F2010" << 0 << 98 << QStringList{"GCP"} << 3 << 4 << false;
  }
  void protectionTheImageSets() {
    QFETCH(QString, parte);
    QFETCH(int, clase);
    QFETCH(int, indice);
    QFETCH(QStringList, clics);
    QFETCH(int, zonaErronea);
    QFETCH(int, celdaErronea);
    QFETCH(bool, datosProtegidos);
    UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
    Selecciona(clase, indice);
    const TPic& p = PicActual;
    const bool dsPic = p.Familia == 30;

    // An image with words all over program memory (the calibration cells
    // blank) and the data EEPROM (as the grids hand them over: bytes, and
    // on a dsPIC a word and a 0 per location, a word and an upper byte per
    // instruction), protected in the editor.
    LimpiaBuffers(BufDispositivo);
    const uint32_t paso = p.Familia == 18 ? 61 : dsPic ? 122 : 1;
    for (uint32_t a = 0; a < p.ProgTam; a += paso) {
      BufDispositivo.Prog[a] = static_cast<uint16_t>((a * 0x2F1 + 0x123) & p.ProgMask) | 1;
      if (dsPic) BufDispositivo.Prog[a + 1] = 0x0042;
    }
    if (p.Familia == 10) BufDispositivo.Prog[p.ProgFin] = p.ProgMask;
    if (indice == 6 && clase == ClaseFlash) BufDispositivo.Prog[0x3FF] = p.ProgMask;
    for (uint32_t i = 0; i < p.EeTam; ++i)
      BufDispositivo.Datos[i] = dsPic ? (i % 2 ? 0 : 0x5AA5 + i) : static_cast<uint16_t>(0x5A ^ i) & 0xFF;
    Edita(clics);
    if (QTest::currentTestFailed()) return;
    const TBuffers imagen = BufDispositivo;

    std::vector<std::string> mensajes;
    f->AlMensaje = [&](const std::string& t) { mensajes.push_back(t); };
    std::string areas = " " + TextosZona[dsPic ? 4 : 0];
    if (datosProtegidos) areas += ", " + TextosZona[3];
    const QString escrita = QString::fromStdString(" " + TextoIdioma("pg_avisos*", "5*") + areas);
    const std::string aviso = TextoIdioma("pg_avisos*", "4*") + areas;
    std::unique_ptr<TChipSim> chip;
    std::unique_ptr<TBancoSim> banco;
    auto chipNuevo = [&] {
      banco.reset();  // one bench at a time
      chip = ChipDe(parte);
      banco = Banco(chip.get());
    };

    // A wrong word where the part still shows what it holds fails the
    // verify after programming.
    chipNuevo();
    BufDispositivo = BufArchivo = imagen;
    const auto celda = uint32_t(celdaErronea);
    uint32_t direccion;
    switch (zonaErronea) {
      case 0: direccion = p.ProgIni + celda; BufArchivo.Prog[celda] ^= 0x0005; break;
      case 1: direccion = p.IdIni + celda; BufArchivo.Id[celda] ^= 0x0005; break;
      default: direccion = p.EeIni + celda; BufArchivo.Datos[celda] ^= 0x0005; break;
    }
    Ejecuta(AccProgramar);
    QVERIFY(ResultadoAccion != 0);
    QCOMPARE(ContextoError.Codigo, uint8_t{ErrVerificacion});
    QCOMPARE(ContextoError.Direccion, direccion);
    QVERIFY(f->memo->toPlainText().contains(escrita));
    QCOMPARE(mensajes.size(), size_t{1});  // the verify error alone
    QVERIFY(mensajes[0] != aviso);
    mensajes.clear();

    // The image as it is: programmed and verified, the protection said in
    // the log only.
    chipNuevo();
    BufDispositivo = BufArchivo = imagen;
    Ejecuta(AccProgramar);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QVERIFY2(f->memo->toPlainText().contains(escrita), qPrintable(f->memo->toPlainText()));
    QCOMPARE(mensajes, std::vector<std::string>{});

    // A verify on its own compares everything: the part is said to be
    // protected first, then the verify fails.
    Ejecuta(AccVerificar);
    QVERIFY(ResultadoAccion != 0);
    QCOMPARE(ContextoError.Codigo, uint8_t{ErrVerificacion});
    QCOMPARE(mensajes.size(), size_t{2});
    QCOMPARE(mensajes[0], aviso);
    const QString log = f->memo->toPlainText();
    QVERIFY(log.contains(QString::fromStdString(aviso)));
    QVERIFY(!log.contains(escrita));

    // A read says it too.
    mensajes.clear();
    LimpiaBuffers(BufDispositivo);
    Ejecuta(AccLeer);
    QCOMPARE(ResultadoAccion, uint8_t{0});
    QCOMPARE(mensajes, std::vector<std::string>{aviso});
    QCOMPARE(BufDispositivo.Config[0], imagen.Config[0]);
    // The 12-bit and 14-bit parts saw nothing but their own programming
    // sequences (a PIC18 or dsPIC also sees the mid-range ID probe that
    // opens every flash operation, which is the identification's matter).
    if (auto* c = dynamic_cast<TPic1xSerieSim*>(chip.get()))
      for (const auto& v : c->Violaciones) QFAIL(v.c_str());
  }

  void dsPicFileBuiltForXtAndProtected();
};

// A 30F4013 file built for the XT crystal (FOSC FBE4) with code
// protection on (FGS FFF9), as the part's device header defines them:
// loaded, shown, programmed and verified, read back and shown again.
void TestConfChip::dsPicFileBuiltForXtAndProtected() {
  UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini");
  Selecciona(ClaseFlash, 108);
  // A GOTO 0x100 at the reset vector, then the configuration registers
  // (two HEX bytes per cell, so FOSC at byte 0x1F00000 and FGS 0x14 on).
  const std::string archivo = RegistroHex(0, 0x0000, {0x00, 0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}) +
                              RegistroHex(4, 0, {0x01, 0xF0}) + RegistroHex(0, 0x0000, {0xE4, 0xFB, 0x00, 0x00}) +
                              RegistroHex(0, 0x0014, {0xF9, 0xFF, 0x00, 0x00}) + RegistroHex(1, 0, {});
  QCOMPARE(CargaHexTexto(archivo), uint8_t{0});
  QCOMPARE(BufArchivo.Config[0], uint16_t{0xFBE4});
  QCOMPARE(BufArchivo.Config[20], uint16_t{0xFFF9});

  // What the main window does with a loaded file: the buffer set masked to
  // the part's bits, the editor loaded from it and saved back before the
  // operation.
  auto comprueba = [](TFEditorConf* editor) {
    QAbstractButton* fuente = Boton(editor, "FOSCA");
    QVERIFY(fuente && fuente->isChecked());
    QComboBox* modo = Visible<QComboBox>(editor, "FPR_A");
    QVERIFY(modo);
    QCOMPARE(modo->currentText(), QString("XT: 4 - 10 MHz crystal"));
    QVERIFY(modo->isEnabled());
    QVERIFY(!Visible<QComboBox>(editor, "FPR_3"));
    QAbstractButton* gcp = Boton(editor, "GCP");
    QVERIFY(gcp && gcp->isChecked());
  };
  BufDispositivo = BufArchivo;
  auto editor = CreaEditorConf(EstadoEditorConf);
  QVERIFY(editor);
  editor->show();
  editor->SetMask(BufDispositivo.Config);
  editor->LoadFromBuffer(BufDispositivo.Id, BufDispositivo.Config);
  comprueba(editor.get());
  if (QTest::currentTestFailed()) return;
  editor->SaveToBuffer(BufDispositivo.Id, BufDispositivo.Config);
  const std::array<uint16_t, 7> registros = {0xC304, 0x803F, 0x87B3, 0x310F, 0x330F, 0x0001, 0xC003};
  for (size_t r = 0; r < registros.size(); ++r) QCOMPARE(BufDispositivo.Config[4 * r], registros[r]);
  BufArchivo = BufDispositivo;

  auto chip = std::make_unique<TDsPic30Sim>(Modelo30F4013());
  auto banco = Banco(chip.get());
  std::vector<std::string> mensajes;
  f->AlMensaje = [&](const std::string& t) { mensajes.push_back(t); };
  Ejecuta(AccProgramar);
  QCOMPARE(ResultadoAccion, uint8_t{0});
  QCOMPARE(mensajes, std::vector<std::string>{});
  // Each row was read back as it was written; the verify after programming
  // says why the protected program memory was not compared.
  const std::string areas = " " + TextosZona[4];
  QVERIFY(f->memo->toPlainText().contains(QString::fromStdString(" " + TextoIdioma("pg_avisos*", "5*") + areas)));
  // The part holds the program and the file's registers, and protects the
  // program: it reads 0 there, its registers still read.
  QCOMPARE(chip->Memoria.Prog[0], uint32_t{0x040100});
  for (size_t r = 0; r < registros.size(); ++r) QCOMPARE(chip->Memoria.Config[r], registros[r]);
  QVERIFY(chip->Memoria.CodigoProtegido());
  QCOMPARE(chip->Memoria.LeeBajo(0), uint16_t{0});

  LimpiaBuffers(BufDispositivo);
  Ejecuta(AccLeer);
  QCOMPARE(ResultadoAccion, uint8_t{0});
  QCOMPARE(mensajes, std::vector<std::string>{TextoIdioma("pg_avisos*", "4*") + areas});
  for (size_t r = 0; r < registros.size(); ++r) QCOMPARE(BufDispositivo.Config[4 * r], BufArchivo.Config[4 * r]);
  editor = CreaEditorConf(EstadoEditorConf);
  editor->show();
  editor->SetMask(BufDispositivo.Config);
  editor->LoadFromBuffer(BufDispositivo.Id, BufDispositivo.Config);
  comprueba(editor.get());
}

QTEST_MAIN(TestConfChip)
#include "conf_chip_test.moc"
