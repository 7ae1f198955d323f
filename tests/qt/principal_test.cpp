// The main window without hardware: start-up and Korvane.ini, device
// selection, what a read or a detection leaves behind, the reload before
// programming, files, the clipboard, search, fill, dialogs and languages.
// The operation window is answered by the test here; the end-to-end runs
// over simulated parts are in extremo_test.cpp.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QGroupBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QAbstractItemView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "Acciones.h"
#include "KvPanel.h"
#include "conf/EditorConf.h"
#include "conf/EditorTabla.h"
#include "principal/PaginaConf.h"
#include "AjustesKorvane.h"
#include "Idiomas.h"
#include "dialogos/Dialogos.h"
#include "flash/pg_flash.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "hw/pg_puertos.h"
#include "pg_err.h"
#include "pg_hex.h"
#include "pg_idioma.h"
#include "principal/RejillaHex.h"
#include "sim_banco.h"
#include "ventana_comun.h"

namespace {

constexpr int Indice16F84A = 30;

// Lets the layouts that a change asked for run.
void Asienta() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

bool Desplaza(const QAbstractScrollArea& a) {
  return a.horizontalScrollBar()->isVisible() || a.verticalScrollBar()->isVisible();
}

// The shown text widgets of a window that are cut: smaller than their text
// needs, or reaching past the window's edge. Widgets inside a scroll area
// that scrolls are scrolled to, not cut.
QStringList Cortados(QWidget& ventana) {
  QStringList r;
  for (QWidget* h : ventana.findChildren<QWidget*>()) {
    if (!h->isVisible()) continue;
    auto* etiqueta = qobject_cast<QLabel*>(h);
    if (!etiqueta && !qobject_cast<QAbstractButton*>(h) && !qobject_cast<QGroupBox*>(h) && !qobject_cast<TKvGroupBox*>(h) && !qobject_cast<QComboBox*>(h))
      continue;
    bool desplazado = false;
    for (QWidget* p = h->parentWidget(); p && p != &ventana; p = p->parentWidget())
      if (auto* a = qobject_cast<QAbstractScrollArea*>(p)) desplazado = desplazado || Desplaza(*a);
    if (desplazado) continue;
    QString texto = h->objectName();
    if (auto* b = qobject_cast<QAbstractButton*>(h)) texto += " '" + b->text() + "'";
    if (etiqueta) texto += " '" + etiqueta->text().left(30) + "'";
    if (auto* g = qobject_cast<QGroupBox*>(h)) texto += " '" + g->title() + "'";
    if (auto* g = qobject_cast<TKvGroupBox*>(h)) texto += " '" + g->Caption() + "'";
    const QSize minimo = etiqueta && etiqueta->wordWrap()
                             ? QSize(0, etiqueta->heightForWidth(etiqueta->width()))
                             : h->minimumSizeHint();
    if (h->width() < minimo.width() || h->height() < minimo.height())
      r << QStringLiteral("%1 %2x%3 < %4x%5").arg(texto).arg(h->width()).arg(h->height()).arg(minimo.width()).arg(minimo.height());
    const QRect g(h->mapTo(&ventana, QPoint(0, 0)), h->size());
    if (!ventana.rect().contains(g)) r << texto + " past the edge";
  }
  return r;
}

// The shown lists of a page whose box cannot tell two of its choices
// apart, whose cut choice is not whole in the box's tool tip, or whose
// popup cuts a choice. Each choice is shown in turn; the list's own choice
// comes back.
QStringList ListasIlegibles(QWidget& pagina) {
  QStringList r;
  for (QComboBox* c : pagina.findChildren<QComboBox*>()) {
    if (!c->isVisible()) continue;
    QStyleOptionComboBox o;
    o.initFrom(c);
    // The style draws the choice one pixel in from each side of the field.
    const int ancho = c->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, c).width() - 2;
    const QFontMetrics fm(c->font());
    QMap<QString, QString> vistos;  // what the box shows -> the choice
    const int elegida = c->currentIndex();
    for (int i = 0; i < c->count(); ++i) {
      const QString t = c->itemText(i);
      const QString visto = fm.elidedText(t, Qt::ElideRight, ancho);
      if (vistos.contains(visto) && vistos[visto] != t)
        r << QStringLiteral("%1: '%2' and '%3' both show as '%4'").arg(c->objectName(), vistos[visto], t, visto);
      vistos[visto] = t;
      c->setCurrentIndex(i);
      if (visto != t && c->toolTip() != t) r << QStringLiteral("%1: '%2' cut, tool tip '%3'").arg(c->objectName(), t, c->toolTip());
    }
    c->setCurrentIndex(elegida);
    c->showPopup();
    QAbstractItemView* vista = c->view();
    if (vista->viewport()->width() < vista->sizeHintForColumn(0))
      r << QStringLiteral("%1: popup %2 < %3").arg(c->objectName()).arg(vista->viewport()->width()).arg(vista->sizeHintForColumn(0));
    c->hidePopup();
  }
  return r;
}

// The shown controls of a table editor that break its reading order: down
// each of the table's columns in the table's order, then on to the right;
// a column that goes on in a further column does so to its right, before
// the next column.
QStringList FueraDeOrden(TFEditorTabla& e) {
  QStringList r;
  int n = 0;  // flattened index of the group's first control
  for (const TGrupoConf& g : e.Tabla().grupos) {
    const int primero = n;
    n += static_cast<int>(g.controles.size());
    auto* caja = e.findChild<QWidget*>(QString::fromStdString(g.nombre));
    if (!caja || !caja->isVisible()) continue;
    // Two controls that never apply to one device may share a name: only
    // the device's own are looked at.
    std::vector<const TControlConf*> orden;
    for (size_t i = 0; i < g.controles.size(); ++i)
      if (Aplica(e.Tabla(), primero + static_cast<int>(i), e.Dispositivo())) orden.push_back(&g.controles[i]);
    std::stable_sort(orden.begin(), orden.end(), [](auto* a, auto* b) { return a->columna < b->columna; });
    QRect anterior;
    int derecha = -1;  // the right edge of every control so far
    for (const TControlConf* c : orden) {
      auto* h = caja->findChild<QWidget*>(QString::fromStdString(c->nombre));
      if (!h || !h->isVisible()) continue;
      const QRect a(h->mapTo(&e, QPoint(0, 0)), h->size());
      const bool debajo = a.left() <= anterior.right() && a.right() >= anterior.left() && a.top() > anterior.bottom();
      if (anterior.isValid() && !debajo && a.left() <= derecha)
        r << QStringLiteral("%1 out of reading order").arg(h->objectName());
      anterior = a;
      derecha = std::max(derecha, a.right());
    }
  }
  return r;
}

std::vector<uint8_t> Imagen(TEditorMemoria& e) { return e.BufferFromFile(0, e.GetDataSize()); }

}  // namespace

class TestPrincipal : public QObject {
  Q_OBJECT

  std::unique_ptr<TCarpetaPrueba> carpeta;
  std::unique_ptr<TFormKorvane> w;
  TDialogosPrueba* d = nullptr;

  void Crea(bool mostrar = true) {
    w = std::make_unique<TFormKorvane>();
    auto dialogos = std::make_unique<TDialogosPrueba>();
    d = dialogos.get();
    w->PonDialogos(std::move(dialogos));
    if (mostrar) w->show();
  }
  void Selecciona(int clase, int indice) {
    w->SelecDev->setCurrentIndex(clase);
    w->SelecDevChange();
    QComboBox* l[] = {w->ListPics, w->ListPicsC, w->ListEeprom};
    l[clase]->setCurrentIndex(indice);
    w->ListPicsChange();
  }
  // A HEX file of the selected part whose program words are `semilla` + address.
  std::string Hex(const std::string& nombre, uint16_t semilla) {
    LimpiaBuffers(BufArchivo);
    for (uint32_t a = 0; a < PicActual.ProgTam; ++a)
      BufArchivo.Prog[a] = static_cast<uint16_t>((semilla + a) & PicActual.ProgMask);
    const std::string ruta = (carpeta->raiz / nombre).string();
    if (GuardaHex(ruta) != 0) qFatal("GuardaHex");
    return ruta;
  }
  // One row per shipped language.
  static void DatosIdiomas() {
    QTest::addColumn<QString>("idioma");
    QTest::newRow("Español") << QString::fromUtf8("Español");
    QTest::newRow("English") << "English";
  }
  // Chooses a language through the window's own language menu.
  void EligeIdioma(const QString& nombre) {
    for (QAction* a : w->GrupoIdiomas->actions())
      if (a->data().toString() == nombre) return a->trigger();
    QFAIL(qPrintable("no language " + nombre));
  }
  bool HayMensaje(const std::string& texto) const {
    for (const auto& m : d->Mensajes)
      if (m.toStdString().find(texto) != std::string::npos) return true;
    return false;
  }

private slots:
  void init() {
    carpeta = std::make_unique<TCarpetaPrueba>();
    PerfilHardware.clear();
    NodoPuerto.clear();
    ArchivoActual.clear();
    TextoBusqueda.clear();
    OpcReabrir = false;
  }
  void cleanup() {
    w.reset();
    carpeta.reset();
    PerfilHardware.clear();
    NodoPuerto.clear();
    CierraPuerto(false);
  }

  // --- Start-up and Korvane.ini -----------------------------------------------------

  void arranqueSinArchivos() {
    Crea();
    QCOMPARE(w->SelecDev->currentIndex(), 0);
    QCOMPARE(w->ListPics->currentIndex(), 0);
    QCOMPARE(PicActual.Nombre, std::string("10F200"));
    QVERIFY(OpcVDurante);
    QVERIFY(OpcAutoPic);
    QVERIFY(PerfilHardware.empty());
    QCOMPARE(w->KvFieldStatus1->Caption().toStdString(), EtiquetaHardware + EtiquetaNinguno);
    QVERIFY(!w->Reabrir->isEnabled());
    QVERIFY(d->Mensajes.empty());
    QVERIFY(!fs::exists(carpeta->programa / "Korvane.ini"));
    w->close();
    QVERIFY(fs::exists(carpeta->programa / "Korvane.ini"));
    QCOMPARE(TCarpetaPrueba::Lee(ArchivoRegistro()).find("Idioma") != std::string::npos, true);
  }

  // Stale indexes in the file select the first item, with no error box.
  void indicesFueraDeRangoAlArrancar() {
    TCarpetaPrueba::Escribe(carpeta->programa / "Korvane.ini", "[Parametros]\nPic=200\nDev=0\n");
    Crea();
    QCOMPARE(w->ListPics->currentIndex(), 0);
    QVERIFY(d->Mensajes.empty());
  }

  // An installed, read-only program folder: the shipped profiles are
  // copied into the user's folder, where the profile editor can change them.
  void perfilesSembrados() {
    TCarpetaPrueba::Escribe(carpeta->programa / "Hardware" / "Otro.prf", "[Hardware]\nAddrB=1016\n");
    PonCarpetaProgramaSoloLectura(true);
    Crea();
    PonCarpetaProgramaSoloLectura(false);
    QCOMPARE(TCarpetaPrueba::Lee(carpeta->config / "korvane" / "Hardware" / "Otro.prf"),
             std::string("[Hardware]\nAddrB=1016\n"));
  }

  // The start timer runs the start handler once (the batch mode's seam);
  // without one, detection at start runs only with its option, and a part
  // found switches the list.
  void arranque_data() {
    QTest::addColumn<bool>("manejador");
    QTest::addColumn<bool>("autoSel");
    QTest::newRow("start handler") << true << true;
    QTest::newRow("detect at start") << false << true;
    QTest::newRow("nothing to do") << false << false;
  }
  void arranque() {
    QFETCH(bool, manejador);
    QFETCH(bool, autoSel);
    TCarpetaPrueba::Escribe(carpeta->programa / "Korvane.ini",
                            std::string("[Parametros]\nAutoPic=0\nAutoSel=") + (autoSel ? "1" : "0") + "\n");
    Crea(false);
    int llamadas = 0;
    if (manejador) w->ManejadorArranque = [&](TFormKorvane&) { ++llamadas; };
    d->AlOperar = [] {
      IndiceDetectado = 12;
      ResultadoAccion = 0;
      return int(QDialog::Accepted);
    };
    w->show();
    QVERIFY(w->Timer->isActive());
    QCOMPARE(w->Timer->interval(), 50);
    w->TimerTimer();
    QVERIFY(!w->Timer->isActive());
    QCOMPARE(llamadas, manejador ? 1 : 0);
    QCOMPARE(d->Operaciones, !manejador && autoSel ? 1 : 0);
    QCOMPARE(w->ListPics->currentIndex(), !manejador && autoSel ? 12 : 0);
    QVERIFY(!OpcAutoPic);  // restored after the detection at start
  }

  // A window that was never shown read nothing, so it writes nothing.
  void sinMostrarNoEscribe() {
    TCarpetaPrueba::Escribe(carpeta->programa / "Korvane.ini", "[Parametros]\nPic=30\n");
    Crea(false);
    w->close();
    w.reset();
    QCOMPARE(TCarpetaPrueba::Lee(carpeta->programa / "Korvane.ini"), std::string("[Parametros]\nPic=30\n"));
  }

  void ajustesRestaurados() {
    TAjustes a;
    a.Dev = 2;
    a.I2C = 7;
    a.ClosW = true;
    a.Recientes = {"/x/b.hex", "/x/a.hex"};
    a.TPH = "Sim";
    {
      TRegAuto ini;
      ini.AutoMode = false;
      ini.Storage = raIniFile;
      ini.IniFile = kArchivoAjustes;
      QVERIFY(GuardaAjustes(ini, a));
    }
    PonPinesPorDefecto(0x3F8);
    QVERIFY(GuardaPerfilHardware("Sim"));
    Crea();
    QCOMPARE(w->SelecDev->currentIndex(), 2);
    QCOMPARE(w->ListEeprom->currentIndex(), 7);
    QVERIFY(FAcciones->closw->isChecked());
    QCOMPARE(w->MRecientes->actions().size(), 2);
    QCOMPARE(w->MRecientes->actions()[0]->text(), QString("/x/b.hex"));
    QCOMPARE(PerfilHardware, std::string("Sim"));
    QVERIFY(w->KvFieldStatus1->Caption().contains("Sim - COM1"));
  }

  // One message naming the device node when the parallel port cannot be
  // claimed; with the port available, the lines go to their end levels.
  void puertoAlArrancar_data() {
    QTest::addColumn<bool>("disponible");
    QTest::newRow("node missing") << false;
    QTest::newRow("port available") << true;
  }
  void puertoAlArrancar() {
    QFETCH(bool, disponible);
    PonPinesPorDefecto(0x378);
    NodoPuerto = "/dev/korvane-no-such-port";
    QVERIFY(GuardaPerfilHardware("Korvane"));
    std::unique_ptr<TBancoSim> banco;
    if (disponible) banco = std::make_unique<TBancoSim>();
    Crea();
    if (!disponible) {
      QCOMPARE(d->Mensajes.size(), std::size_t{1});
      QVERIFY(HayMensaje("/dev/korvane-no-such-port"));
      QVERIFY(HayMensaje(TextoIdioma("pg_err*", "1*")));
    } else {
      QVERIFY(d->Mensajes.empty());
      const uint8_t antes = banco->Puerto.Registro(AddrB);
      PonPines_END();
      QCOMPARE(banco->Puerto.Registro(AddrB), antes);
    }
    QCOMPARE(PerfilHardware, std::string("Korvane"));
  }

  // A profile file in which no key of a profile is found (random bytes, a
  // file of another kind) still loads as the defaults, but says so once,
  // naming the file; a profile with one key of its own is read silently.
  void perfilSinAjustes_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<bool>("avisa");
    QByteArray azar;
    uint32_t x = 2463534242u;
    for (int i = 0; i < 512; ++i) {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      azar.append(static_cast<char>(x));
    }
    QTest::newRow("random bytes") << azar << true;
    QTest::newRow("another section") << QByteArray("[Parametros]\nPic=30\n") << true;
    QTest::newRow("one key") << QByteArray("[Hardware]\nAddrB=632\n") << false;
  }
  void perfilSinAjustes() {
    QFETCH(QByteArray, contenido);
    QFETCH(bool, avisa);
    const fs::path archivo = carpeta->programa / "Hardware" / "Korvane.prf";
    TCarpetaPrueba::Escribe(archivo, contenido.toStdString());
    Crea();
    QCOMPARE(PerfilHardware, std::string("Korvane"));
    // The parallel port of the profile may have its own message.
    const std::string aviso = TextoIdioma("pg_err*", "57*");
    QVERIFY(!aviso.empty());
    std::vector<std::string> avisos;
    for (const QString& m : d->Mensajes)
      if (m.toStdString().starts_with(aviso)) avisos.push_back(m.toStdString());
    if (!avisa) {
      QVERIFY(avisos.empty());
      QCOMPARE(AddrB, uint16_t{632});
      return;
    }
    QCOMPARE(avisos, std::vector<std::string>{aviso + " " + archivo.string()});
    QCOMPARE(AddrB, uint16_t{0x378});
  }

  // --- Device selection ---------------------------------------------------------------

  void mismoDispositivoConservaEditores() {
    Crea();
    Selecciona(0, Indice16F84A);
    w->EditorProg->FillRange(0, 3, 0x1234);
    const auto lleno = Imagen(*w->EditorProg);
    Selecciona(0, Indice16F84A);
    QVERIFY(Imagen(*w->EditorProg) == lleno);
    Selecciona(0, Indice16F84A - 1);
    const auto blanco = Imagen(*w->EditorProg);
    QCOMPARE(blanco[0], uint8_t{0x3F});
    QCOMPARE(blanco[1], uint8_t{0xFF});
  }

  void capaI2C() {
    Crea();
    THexEditor* prog = dynamic_cast<TRejillaHex*>(w->EditorProg)->Rejilla();
    Selecciona(2, 5);
    QVERIFY(w->ListEeprom->isVisible() && !w->ListPics->isVisible());
    QVERIFY(!w->BorrarTodo->isVisible() && !w->DetectPic->isVisible());
    QVERIFY(!w->MBorrar->isEnabled() && !w->MDtModel->isEnabled());
    QVERIFY(w->EditorProg->EepromInt());
    QCOMPARE(prog->image().BytesPerLine(), 8);
    QCOMPARE(w->EditorProg->GetDataSize(), int64_t{PicActual.ProgTam});
    QCOMPARE(w->Control->currentIndex(), 0);
    Selecciona(0, Indice16F84A);
    QVERIFY(w->BorrarTodo->isVisible() && w->DetectPic->isVisible());
    QVERIFY(!w->EditorProg->EepromInt());
    QCOMPARE(prog->image().BytesPerLine(), 16);
    QCOMPARE(w->EditorProg->GetDataSize(), int64_t{2 * PicActual.ProgTam});
  }

  // The executive page exists for dsPIC parts only; leaving one while on
  // that page goes back to page 0.
  void paginaEjecutivo() {
    Crea();
    Selecciona(0, 98);
    QVERIFY(w->SCE->isVisible());
    w->SprogramaClick(w->SCE);
    QCOMPARE(w->Control->currentIndex(), 3);
    Selecciona(0, Indice16F84A);
    QVERIFY(!w->SCE->isVisible());
    QCOMPARE(w->Control->currentIndex(), 0);
    QVERIFY(w->Sprograma->Down());
    QVERIFY(!w->SCE->Down());
  }

  // Page buttons by class: EPROM parts have no data page, their Config
  // button stands where Datos stands for flash parts; the I2C class has
  // only Datos, in the first place.
  void botonesDePaginaPorClase() {
    Crea();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto asienta = [] {
      for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    };
    Selecciona(0, Indice16F84A);
    asienta();
    const QRect primero = w->Sprograma->geometry(), segundo = w->SDatos->geometry();
    Selecciona(1, 0);
    asienta();
    QVERIFY(w->SDatos->isHidden());
    QVERIFY(w->Sconfig->isVisible());
    QCOMPARE(w->Sconfig->geometry(), segundo);
    QTest::mouseClick(w->Sconfig, Qt::LeftButton);
    QCOMPARE(w->Control->currentIndex(), 2);
    QVERIFY(w->EditorConf && w->EditorConf->Widget()->isVisible());
    Selecciona(2, 0);
    asienta();
    QVERIFY(w->SDatos->isVisible() && w->Sprograma->isHidden() && w->Sconfig->isHidden());
    QCOMPARE(w->SDatos->geometry(), primero);
    Selecciona(0, Indice16F84A);
    asienta();
    QVERIFY(w->SDatos->isVisible());
    QCOMPARE(w->SDatos->geometry(), segundo);
  }

  // The configuration page holds the editor of the device's kind: kept for
  // another device of the kind, replaced for another kind, none on the I2C
  // class.
  void paginaConfiguracion() {
    Crea();
    Selecciona(0, 11);  // 16F628A
    QWidget* antes = w->EditorConf->Widget();
    QVERIFY(qobject_cast<TFEditorConf*>(antes));
    QCOMPARE(int(qobject_cast<TFEditorConf*>(antes)->Tipo()), int(EdFC_16F8x));
    Selecciona(0, 10);  // 16F628, same kind
    QCOMPARE(w->EditorConf->Widget(), antes);
    Selecciona(0, 36);  // 16F87x kind
    QCOMPARE(int(qobject_cast<TFEditorConf*>(w->EditorConf->Widget())->Tipo()), int(EdFC_16F87x));
    Selecciona(2, 0);
    QVERIFY(!w->EditorConf);
  }

  // --- What a read and a detection leave behind -----------------------------------------

  void lectura_data() {
    QTest::addColumn<int>("modal");
    QTest::addColumn<int>("resultado");
    QTest::addColumn<bool>("closw");
    QTest::addColumn<bool>("carga");
    QTest::newRow("Ok") << int(QDialog::Accepted) << 0 << false << true;
    QTest::newRow("closed by itself") << int(QDialog::Rejected) << 0 << true << true;
    QTest::newRow("cancel") << int(QDialog::Rejected) << 255 << false << false;
    QTest::newRow("failed, closed with Ok") << int(QDialog::Accepted) << int(ErrVerificacion) << false << false;
  }
  void lectura() {
    QFETCH(int, modal);
    QFETCH(int, resultado);
    QFETCH(bool, closw);
    QFETCH(bool, carga);
    Crea();
    Selecciona(0, Indice16F84A);
    const std::string archivo = Hex("a.hex", 0x100);
    QVERIFY(w->CargaArchivo(archivo));
    const auto antes = Imagen(*w->EditorProg);
    FAcciones->closw->setChecked(closw);
    d->AlOperar = [&]() -> int {
      if (TipoAccion != AccLeer) return -1;
      for (uint32_t a = 0; a < PicActual.ProgTam; ++a) BufDispositivo.Prog[a] = 0x0A0B;
      ResultadoAccion = static_cast<uint8_t>(resultado);
      return modal;
    };
    w->SLeer->click();
    const auto despues = Imagen(*w->EditorProg);
    if (carga) {
      QCOMPARE(despues[0], uint8_t{0x0A});
      QCOMPARE(despues[1], uint8_t{0x0B});
      QVERIFY(ArchivoActual.empty());
    } else {
      QVERIFY(despues == antes);
      QCOMPARE(ArchivoActual, archivo);
    }
  }

  void deteccion_data() {
    QTest::addColumn<int>("resultado");
    QTest::addColumn<int>("detectado");
    QTest::addColumn<bool>("autoPic");
    QTest::addColumn<int>("lista");
    QTest::newRow("another part found") << 0 << 10 << true << 10;
    QTest::newRow("found, auto-select off") << 0 << 10 << false << Indice16F84A;
    QTest::newRow("no part answering") << 255 << 255 << true << Indice16F84A;
    QTest::newRow("cancelled") << 255 << 10 << true << Indice16F84A;
  }
  void deteccion() {
    QFETCH(int, resultado);
    QFETCH(int, detectado);
    QFETCH(bool, autoPic);
    QFETCH(int, lista);
    Crea();
    Selecciona(0, Indice16F84A);
    OpcAutoPic = autoPic;
    w->EditorProg->FillRange(0, 0, 0x1111);
    const auto antes = Imagen(*w->EditorProg);
    d->AlOperar = [&] {
      IndiceDetectado = static_cast<uint8_t>(detectado);
      ResultadoAccion = static_cast<uint8_t>(resultado);
      return int(QDialog::Accepted);
    };
    w->DetectPic->click();
    QCOMPARE(TipoAccion, uint32_t{AccIdentificar});
    QCOMPARE(w->ListPics->currentIndex(), lista);
    QCOMPARE(int(IndiceListPics), lista);
    if (lista == Indice16F84A) QVERIFY(Imagen(*w->EditorProg) == antes);
    else QVERIFY(Imagen(*w->EditorProg) != antes);
    OpcAutoPic = true;
  }

  // --- Program: the reload of a changed file ------------------------------------------

  void programaConRecarga_data() {
    QTest::addColumn<int>("caso");
    QTest::newRow("file unchanged: no reload") << 0;
    QTest::newRow("file changed: reloaded") << 1;
    QTest::newRow("file deleted: nothing programmed") << 2;
    QTest::newRow("option off: no reload") << 3;
  }
  void programaConRecarga() {
    QFETCH(int, caso);
    Crea();
    Selecciona(0, Indice16F84A);
    const std::string archivo = Hex("p.hex", 0x100);
    QVERIFY(w->CargaArchivo(archivo));
    OpcReabrir = caso != 3;
    w->EditorProg->FillRange(0, 0, 0x2222);  // an edit after the load
    if (caso == 1 || caso == 3) {
      Hex("p.hex", 0x200);
      fs::last_write_time(archivo, fs::last_write_time(archivo) + std::chrono::seconds(2));
    }
    if (caso == 2) fs::remove(archivo);
    d->AlOperar = [] {
      ResultadoAccion = 0;
      return int(QDialog::Accepted);
    };
    w->Sprogramar->click();
    QCOMPARE(d->Operaciones, caso == 2 ? 0 : 1);
    if (caso == 2) {
      QVERIFY(HayMensaje(TextoIdioma("pg_err*", "0*")));
      return;
    }
    QCOMPARE(TipoAccion, uint32_t{AccProgramar});
    const uint16_t esperado = caso == 1 ? 0x200 : 0x2222;
    QCOMPARE(BufDispositivo.Prog[0], esperado);
    QCOMPARE(BufDispositivo.Prog[1], uint16_t(caso == 1 ? 0x201 : 0x101));
  }

  void verificaCompruebaLosEditores() {
    Crea();
    Selecciona(0, Indice16F84A);
    w->EditorProg->FillRange(5, 5, 0x0ABC);
    d->AlOperar = [] { return int(QDialog::Accepted); };
    w->SVerificar->click();
    QCOMPARE(TipoAccion, uint32_t{AccVerificar});
    QCOMPARE(BufArchivo.Prog[5], uint16_t{0x0ABC});
  }

  // --- Files --------------------------------------------------------------------------

  void cargaFallidaConservaArchivo() {
    Crea();
    Selecciona(0, Indice16F84A);
    const std::string bueno = Hex("bueno.hex", 0x100);
    QVERIFY(w->CargaArchivo(bueno));
    const auto antes = Imagen(*w->EditorProg);
    const std::string malo = (carpeta->raiz / "malo.hex").string();
    TCarpetaPrueba::Escribe(malo, ":10000000ZZ\r\n");
    const auto mensajesAntes = d->Mensajes.size();
    QVERIFY(!w->CargaArchivo(malo));
    // The reader's message reaches the user.
    QCOMPARE(d->Mensajes.size(), mensajesAntes + 1);
    QVERIFY(!w->CargaArchivo((carpeta->raiz / "no-existe.hex").string()));
    QVERIFY(HayMensaje(TextoIdioma("pg_err*", "0*") + " " + (carpeta->raiz / "no-existe.hex").string()));
    QCOMPARE(ArchivoActual, bueno);
    QVERIFY(Imagen(*w->EditorProg) == antes);
    QVERIFY(w->KvFieldStatus2->Caption().contains("bueno.hex"));
  }

  // A PIC18 EEPROM block that reads both ways is asked about once, this
  // program's own layout (two bytes a location) first.
  void eeprom18Ambigua_data() {
    QTest::addColumn<int>("eleccion");
    QTest::newRow("two bytes a location") << 0;
    QTest::newRow("one byte a location") << 1;
  }
  void eeprom18Ambigua() {
    QFETCH(int, eleccion);
    Crea();
    Selecciona(0, BuscaPic("PIC18F452"));
    const std::string archivo = (carpeta->raiz / "ee.hex").string();
    TCarpetaPrueba::Escribe(archivo, ":0200000400F00A\r\n:0400000005000700F0\r\n:00000001FF\r\n");
    d->Elecciones = {eleccion};
    QVERIFY(w->CargaArchivo(archivo));
    QCOMPARE(d->OpcionesVistas.size(), std::size_t{1});
    QCOMPARE(d->OpcionesVistas[0][0].toStdString(), TextoIdioma("pg_avisos*", "1*"));
    if (eleccion == 0) {
      QCOMPARE(BufArchivo.Datos[0], uint16_t{5});
      QCOMPARE(BufArchivo.Datos[1], uint16_t{7});
    } else {
      QCOMPARE(BufArchivo.Datos[0], uint16_t{5});
      QCOMPARE(BufArchivo.Datos[1], uint16_t{0});
      QCOMPARE(BufArchivo.Datos[2], uint16_t{7});
    }
    QCOMPARE(Imagen(*w->EditorData)[1], uint8_t(eleccion == 0 ? 7 : 0));
  }

  void abrirYRecientes() {
    Crea();
    Selecciona(0, Indice16F84A);
    const std::string a = Hex("a.hex", 1), b = Hex("b.hex", 2);
    d->Archivos = {QString::fromStdString(a), QString::fromStdString(b), QString()};
    w->MAbrir->trigger();
    w->MAbrir->trigger();
    QCOMPARE(w->Recientes(), (std::vector<std::string>{b, a}));
    w->MAbrir->trigger();  // cancelled: nothing changes
    QCOMPARE(ArchivoActual, b);
    QCOMPARE(w->InitDir, carpeta->raiz.string() + "/");
    w->MRecientes->actions()[1]->trigger();
    QCOMPARE(ArchivoActual, a);
    QCOMPARE(w->Recientes(), (std::vector<std::string>{a, b}));
    QCOMPARE(BufArchivo.Prog[0], uint16_t{1});
  }

  // A load leaves in the buffer set what the configuration editor shows:
  // the bits the part lacks are cleared in the set itself.
  void cargaEnmascaraConfiguracion_data() {
    QTest::addColumn<QString>("parte");
    QTest::addColumn<int>("celda");
    QTest::addColumn<int>("entra");
    QTest::addColumn<int>("queda");
    QTest::addColumn<QString>("etiqueta");
    QTest::newRow("18F452 word 3") << "PIC18F452" << 2 << 0xFFFF << 0x0100 << "c3";
    // A 2K-word boot block (bit 4) is kept; bit 5 is not implemented.
    QTest::newRow("18F2480 word 4") << "PIC18F2480" << 3 << 0x00B5 << 0x0095 << "c4";
    QTest::newRow("30F4013 FOSC") << "PIC30F4013" << 0 << 0xFFFF << 0xC71F << "co1";
    QTest::newRow("16F84A: no mask") << "PIC16F84A" << 0 << 0x3FFF << 0x3FFF << "HexFuses";
  }
  void cargaEnmascaraConfiguracion() {
    QFETCH(QString, parte);
    QFETCH(int, celda);
    QFETCH(int, entra);
    QFETCH(int, queda);
    QFETCH(QString, etiqueta);
    Crea();
    Selecciona(0, BuscaPic(parte.toStdString()));
    LimpiaBuffers(BufArchivo);
    BufArchivo.Config[size_t(celda)] = uint16_t(entra);
    const std::string archivo = (carpeta->raiz / "conf.hex").string();
    QCOMPARE(int(GuardaHex(archivo)), 0);
    QVERIFY(w->CargaArchivo(archivo));
    QCOMPARE(BufArchivo.Config[size_t(celda)], uint16_t(queda));
    QLabel* l = w->EditorConf->Widget()->findChild<QLabel*>(etiqueta);
    QVERIFY(l);
    QCOMPARE(l->text(), QStringLiteral("%1").arg(queda, 4, 16, QLatin1Char('0')).toUpper());
  }

  void guardarComo_data() {
    QTest::addColumn<bool>("falla");
    QTest::newRow("written") << false;
    QTest::newRow("folder missing") << true;
  }
  void guardarComo() {
    QFETCH(bool, falla);
    Crea();
    Selecciona(0, Indice16F84A);
    const std::string a = Hex("a.hex", 7);
    QVERIFY(w->CargaArchivo(a));
    const fs::path destino = falla ? carpeta->raiz / "no" / "b.hex" : carpeta->raiz / "nueva" / "b.hex";
    if (!falla) fs::create_directories(destino.parent_path());
    d->Archivos = {QString::fromStdString(destino.string())};
    w->MGuardarComo->trigger();
    QCOMPARE(fs::exists(destino), !falla);
    QCOMPARE(ArchivoActual, falla ? a : destino.string());
    QVERIFY(w->KvFieldStatus2->Caption().contains(falla ? "a.hex" : "b.hex"));
    QCOMPARE(w->InitDir, destino.parent_path().string() + "/");
    if (!falla) QCOMPARE(w->Recientes().front(), destino.string());
  }

  // The file type chosen in the save dialog: a name without an extension
  // takes the type's, and the type decides the format; a typed extension
  // decides it whatever type is chosen.
  void guardarComoTipo_data() {
    QTest::addColumn<int>("clase");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<bool>("binario");
    const QString hex = "HEX (*.hex *.HEX)", bin = "BIN (*.bin *.BIN)", todos = "* (*)";
    QTest::newRow("24C256, BIN, no extension") << 2 << "copy24c256" << bin << "copy24c256.bin" << true;
    QTest::newRow("24C256, HEX, no extension") << 2 << "copy24c256" << hex << "copy24c256.hex" << false;
    QTest::newRow("24C256, HEX, typed .bin") << 2 << "copia.bin" << hex << "copia.bin" << true;
    QTest::newRow("24C256, BIN, typed .hex") << 2 << "copia.hex" << bin << "copia.hex" << false;
    QTest::newRow("24C256, any type, no extension") << 2 << "copia" << todos << "copia" << false;
    QTest::newRow("16F84A, HEX, no extension") << 0 << "programa" << hex << "programa.hex" << false;
  }
  void guardarComoTipo() {
    QFETCH(int, clase);
    QFETCH(QString, tecleado);
    QFETCH(QString, tipo);
    QFETCH(QString, escrito);
    QFETCH(bool, binario);
    Crea();
    Selecciona(clase, clase == 2 ? 8 : Indice16F84A);
    w->EditorProg->FillRange(0, 1, 0xA5);
    const std::vector<uint8_t> imagen = Imagen(*w->EditorProg);
    d->Archivos = {QString::fromStdString((carpeta->raiz / tecleado.toStdString()).string())};
    d->Tipos = {tipo};
    w->MGuardarComo->trigger();
    const fs::path destino = carpeta->raiz / escrito.toStdString();
    QCOMPARE(ArchivoActual, destino.string());
    const std::string contenido = TCarpetaPrueba::Lee(destino);
    if (binario) {
      QVERIFY(std::vector<uint8_t>(contenido.begin(), contenido.end()) == imagen);
    } else {
      QVERIFY(contenido.starts_with(":"));
    }
    if (escrito != tecleado) QVERIFY(!fs::exists(carpeta->raiz / tecleado.toStdString()));
  }

  // The same through the real save dialog: the type BIN chosen in it and a
  // name typed without an extension.
  void guardarComoDialogoReal() {
    Crea();
    w->PonDialogos(std::make_unique<TDialogosKorvane>());
    Selecciona(2, 8);
    w->EditorProg->FillRange(0, 0, 0x5A);
    w->InitDir = carpeta->raiz.string() + "/";
    bool visto = false;
    QTimer espera;
    connect(&espera, &QTimer::timeout, [&] {
      auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialogo) return;
      espera.stop();
      visto = true;
      dialogo->selectNameFilter("BIN (*.bin *.BIN)");
      dialogo->selectFile("copy24c256");
      static_cast<QDialog*>(dialogo)->accept();  // as the Save button does
    });
    espera.start(0);
    w->MGuardarComo->trigger();
    QVERIFY(visto);
    const fs::path destino = carpeta->raiz / "copy24c256.bin";
    QCOMPARE(ArchivoActual, destino.string());
    const std::string contenido = TCarpetaPrueba::Lee(destino);
    QCOMPARE(contenido.size(), std::size_t{PicActual.ProgTam});
    QCOMPARE(uint8_t(contenido[0]), uint8_t{0x5A});
  }

  // --- Clipboard, search and fill ------------------------------------------------------

  void portapapeles() {
    Crea();
    Selecciona(0, Indice16F84A);
    BufArchivo = BufDispositivo;
    BufArchivo.Prog[0] = 0x3FFF;
    BufArchivo.Prog[1] = 0x00A5;
    w->CargaEditor(BufArchivo);
    TEditorMemoria& e = *w->EditorProg;
    e.SetSelStart(0);
    e.SetSelEnd(3);
    QCoreApplication::processEvents();  // the grid's state notice
    QVERIFY(w->B_copiar->isEnabled());
    QVERIFY(!w->B_pegar->isEnabled());
    w->B_copiar->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("3FFF00A5"));

    QGuiApplication::clipboard()->setText("3f ff");
    e.SetSelStart(4);
    QCoreApplication::processEvents();
    QVERIFY(w->B_pegar->isEnabled());
    w->B_pegar->click();
    auto img = Imagen(e);
    QCOMPARE(img[4], uint8_t{0x3F});
    QCOMPARE(img[5], uint8_t{0xFF});

    // Cut from right to left: the same bytes become blank (the high bytes
    // through the paste mask), and the clipboard holds what was there.
    e.SetSelStart(3);
    e.SetSelEnd(0);
    QCoreApplication::processEvents();
    w->B_cortar->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("3FFF00A5"));
    img = Imagen(e);
    QVERIFY((std::vector<uint8_t>(img.begin(), img.begin() + 4)) == (std::vector<uint8_t>{0x3F, 0xFF, 0x3F, 0xFF}));

    w->SeleccionartodoClick();
    QCOMPARE(e.GetSelCount(), e.GetDataSize());
  }

  void buscar() {
    Crea();
    Selecciona(0, Indice16F84A);
    BufArchivo = BufDispositivo;
    BufArchivo.Prog[3] = 0x0012;
    BufArchivo.Prog[9] = 0x0012;
    w->CargaEditor(BufArchivo);
    d->AlModal = [](QDialog& dlg) {
      static_cast<TFBuscar&>(dlg).Edit->setText("00123");  // odd final digit
      return int(QDialog::Accepted);
    };
    w->B_buscar->click();
    QCOMPARE(TextoBusqueda, std::string("0012"));
    TEditorMemoria& e = *w->EditorProg;
    QCOMPARE(std::min(e.GetSelStart(), e.GetSelEnd()), int64_t{6});
    QCOMPARE(e.GetSelCount(), int64_t{2});
    QVERIFY(w->B_buscars->isEnabled());
    w->B_buscars->click();
    QCOMPARE(std::min(e.GetSelStart(), e.GetSelEnd()), int64_t{18});
    w->B_buscars->click();
    QCOMPARE(d->Mensajes.size(), std::size_t{1});
    QCOMPARE(d->Mensajes[0].toStdString(),
             TextoIdioma("pg_err*", "4*") + "\n" + TextoIdioma("pg_err*", "0*") + " 0012");
    QCOMPARE(std::min(e.GetSelStart(), e.GetSelEnd()), int64_t{18});  // selection unchanged
  }

  // An address inside the memory is used as typed; beyond a memory whose
  // size is no power of two it stops at the last address.
  void llenarFueraDeRango() {
    Crea();
    Selecciona(0, BuscaPic("PIC18F2455"));
    QCOMPARE(PicActual.ProgTam, 0x3000u);
    d->AlModal = [](QDialog& dlg) {
      auto& f = static_cast<TFllenar&>(dlg);
      f.Desde_->setText("1000");
      f.Hasta_->setText("3000");
      f.Valor_->setText("ABCD");
      return int(QDialog::Accepted);
    };
    w->B_Llenar->click();
    const auto img = Imagen(*w->EditorProg);
    QCOMPARE(img[2 * 0x0FFF], uint8_t{0xFF});
    QCOMPARE(img[2 * 0x1000], uint8_t{0xAB});
    QCOMPARE(img[2 * 0x2FFF + 1], uint8_t{0xCD});
    QCOMPARE(img.size(), std::size_t{2 * 0x3000});
  }

  void llenarLimites() {
    Crea();
    Selecciona(0, Indice16F84A);
    TEditorMemoria& e = *w->EditorProg;
    e.SetSelStart(7);
    e.SetSelEnd(2);
    TFllenar f;
    f.CargaMaximos(e);
    QCOMPARE(f.MascaraValor(), 0x3FFFu);
    QCOMPARE(f.UltimaDireccion(), 0x3FFu);
    QCOMPARE(f.Valor_->text(), QString("3FFF"));
    f.SeleccionClick();
    QCOMPARE(f.Desde(), 1u);
    QCOMPARE(f.Hasta(), 3u);
    f.Valor_->setText("FFFF");
    f.FormClose();
    QCOMPARE(f.Valor(), 0x3FFFu);
    TFllenar datos;
    datos.CargaMaximos(*w->EditorData);
    QCOMPARE(datos.MascaraValor(), 0xFFu);
    QCOMPARE(datos.UltimaDireccion(), 0x3Fu);
    QVERIFY(!datos.Seleccion->isEnabled());
  }

  // --- Dialogs --------------------------------------------------------------------------

  void dialogosCanceladosNoCambianNada() {
    Crea();
    Selecciona(0, Indice16F84A);
    TextoBusqueda = "AB";
    const bool opciones[] = {OpcVDespues, OpcPMsgs, OpcAutoPic, OpcAutoSel, OpcReabrir};
    const auto img = Imagen(*w->EditorProg);
    QStringList vistos;
    d->AlModal = [&](QDialog& dlg) {
      vistos << dlg.objectName();
      for (QCheckBox* c : dlg.findChildren<QCheckBox*>()) c->setChecked(!c->isChecked());
      for (QLineEdit* l : dlg.findChildren<QLineEdit*>()) l->setText("12");
      return int(QDialog::Rejected);
    };
    w->MConfSoft->trigger();
    w->B_Llenar->click();
    w->B_buscar->click();
    w->Acerca1->trigger();
    w->Ay_params->trigger();
    QCOMPARE(vistos, (QStringList{"FConfigSoft", "Fllenar", "FBuscar", "FAbout", "FAyuda_params"}));
    const bool despues[] = {OpcVDespues, OpcPMsgs, OpcAutoPic, OpcAutoSel, OpcReabrir};
    for (int i = 0; i < 5; ++i) QCOMPARE(despues[i], opciones[i]);
    QCOMPARE(TextoBusqueda, std::string("AB"));
    QVERIFY(Imagen(*w->EditorProg) == img);
    QVERIFY(d->Mensajes.empty());
  }

  void opcionesConOk() {
    Crea();
    OpcReabrir = false;
    d->AlModal = [](QDialog& dlg) {
      auto& o = static_cast<TFConfigSoft&>(dlg);
      o.CReabrir->setChecked(true);
      o.Ok->click();
      return int(QDialog::Accepted);
    };
    w->MConfSoft->trigger();
    QVERIFY(OpcReabrir);
  }

  void textosDeLosDialogos() {
    Crea();
    TFAyuda_params ayuda;
    std::vector<std::string> lineas;
    Idioma.ReadStrings("pg_params*", "Tex*", lineas);
    QCOMPARE(ayuda.Memo1->blockCount(), int(lineas.size()));
    TFAbout acerca;
    QCOMPARE(acerca.Traducion->text().toStdString(), TextoIdioma("pg_about*", "***2"));
  }

  // --- Languages ------------------------------------------------------------------------

  void idiomaEnLosMenus() {
    Crea();
    const QList<QAction*> idiomas = w->GrupoIdiomas->actions();
    QVERIFY(idiomas.size() >= 2);
    QVERIFY(w->GrupoIdiomas->isExclusive());
    QAction* ingles = nullptr;
    for (QAction* a : idiomas)
      if (a->data().toString() == "English") ingles = a;
    QVERIFY(ingles);
    ingles->trigger();
    QVERIFY(ingles->isChecked());
    QCOMPARE(IdiomaActual, std::string("English"));
    std::vector<std::string> m0;
    QVERIFY(LeeBloqueIdioma("Menus*", "M0*", 7, m0));
    QCOMPARE(w->MAbrir->text().toStdString(), m0[0]);
    QCOMPARE(w->Abrir->toolTip().toStdString(), " " + m0[0] + " ");
    QVERIFY2(w->Abrir->Caption().isEmpty(), "a glyph and no caption");
    QVERIFY(!w->Abrir->Glyph().isNull());
    QCOMPARE(w->Archivo->title().toStdString(), TextoIdioma("Menus*", "MainMenu*").substr(0, 5));
    QCOMPARE(FAcciones->cancelar->text(), QString("Cancel"));
    int marcados = 0;
    for (QAction* a : idiomas) marcados += a->isChecked();
    QCOMPARE(marcados, 1);
  }

  // The page buttons show their whole caption, inside the button, in every
  // language.
  void rotulosDePagina_data() { DatosIdiomas(); }
  void rotulosDePagina() {
    QFETCH(QString, idioma);
    Crea();
    EligeIdioma(idioma);
    Selecciona(0, 98);  // a dsPIC: all four pages
    std::vector<std::string> b0;
    QVERIFY(LeeBloqueIdioma("Menus*", "B0*", 4, b0));
    TTransparentButton* botones[] = {w->Sprograma, w->SDatos, w->Sconfig, w->SCE};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(botones[i]->Caption().toStdString(), b0[size_t(i)]);
      QVERIFY2(botones[i]->rect().contains(botones[i]->RectanguloTexto()), b0[size_t(i)].c_str());
    }
  }

  // The standard dialogs follow the chosen language through Qt's own
  // translations; a code Qt has no translation for leaves them in English
  // without a word.
  void dialogosEstandarEnElIdioma_data() {
    QTest::addColumn<QString>("idioma");
    QTest::addColumn<QString>("si");
    QTest::addColumn<QString>("guardar");
    QTest::newRow("Español") << QString::fromUtf8("Español") << QString::fromUtf8("&Sí") << "&Guardar";
    QTest::newRow("English") << "English" << "&Yes" << "&Save";
    QTest::newRow("no Qt translation") << "Prueba" << "&Yes" << "&Save";
  }
  void dialogosEstandarEnElIdioma() {
    QFETCH(QString, idioma);
    QFETCH(QString, si);
    QFETCH(QString, guardar);
    std::string espanol = TCarpetaPrueba::Lee(carpeta->programa / "LANGUAGES" / "Español.ini");
    espanol.replace(espanol.find("Qt*=es"), 6, "Qt*=zz");
    TCarpetaPrueba::Escribe(carpeta->programa / "LANGUAGES" / "Prueba.ini", espanol);
    auto textos = [] {
      QMessageBox caja(QMessageBox::Question, "Korvane", "?", QMessageBox::Yes | QMessageBox::No);
      QFileDialog archivo;
      archivo.setOption(QFileDialog::DontUseNativeDialog);
      archivo.setAcceptMode(QFileDialog::AcceptSave);
      auto* botones = archivo.findChild<QDialogButtonBox*>();
      return QStringList{caja.button(QMessageBox::Yes)->text(),
                         botones ? botones->button(QDialogButtonBox::Save)->text() : QString()};
    };
    Crea();  // the language at the first start: Spanish
    QCOMPARE(textos(), (QStringList{QString::fromUtf8("&Sí"), "&Guardar"}));
    EligeIdioma(idioma);
    QCOMPARE(textos(), (QStringList{si, guardar}));
    QVERIFY(d->Mensajes.empty());
  }

  // Every device's configuration page and each class's other pages, at the
  // window's default size and in both languages: the window keeps that size
  // and no text is cut. The PIC18 and dsPIC configuration pages show every
  // control without scrolling, in the table's reading order, and each
  // list's choice can be read.
  void todoCabe_data() { DatosIdiomas(); }
  void todoCabe() {
    QFETCH(QString, idioma);
    Crea();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    EligeIdioma(idioma);
    QCOMPARE(w->size(), QSize(900, 600));
    QComboBox* listas[] = {w->ListPics, w->ListPicsC, w->ListEeprom};
    TTransparentButton* paginas[] = {w->Sprograma, w->SDatos, w->Sconfig, w->SCE};
    auto* desplazable = w->findChild<QScrollArea*>("ConfiguracionDesplazable");
    QVERIFY(desplazable);
    QStringList fallos;
    for (int clase = 0; clase < 3; ++clase) {
      for (int i = 0; i < listas[clase]->count(); ++i) {
        Selecciona(clase, i);
        for (TTransparentButton* p : paginas) {
          // The grids' pages look alike for every device of a class: the
          // first device's are enough (the executive page: the first dsPIC's).
          const bool primero = i == 0 || (p == w->SCE && !w->SCE->isHidden() && i == BuscaPic("PIC30F2010"));
          if (p->isHidden() || (p != w->Sconfig && !primero)) continue;
          w->SprogramaClick(p);
          Asienta();
          const QString donde = QStringLiteral("%1 %2: ").arg(listas[clase]->itemText(i).section('|', 1, 1), p->Caption());
          if (w->size() != QSize(900, 600))
            fallos << donde + QStringLiteral("window %1x%2").arg(w->width()).arg(w->height());
          for (const QString& c : Cortados(*w)) fallos << donde + c;
          if (p == w->Sconfig && (PicActual.Familia == 18 || PicActual.Familia == 30)) {
            if (Desplaza(*desplazable)) fallos << donde + "scrolls";
            for (const QString& c : ListasIlegibles(*w->Configuracion)) fallos << donde + c;
            if (auto* t = dynamic_cast<TFEditorTabla*>(w->EditorConf->Widget()))
              for (const QString& c : FueraDeOrden(*t)) fallos << donde + c;
          }
        }
      }
    }
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.mid(0, 40).join("\n")));
  }

  // Each small dialog at its own size, in both languages: no text cut, no
  // larger than the main window; the help's lines wrap instead of running
  // past the edge, and each option keeps to one line.
  void dialogosCaben_data() { DatosIdiomas(); }
  void dialogosCaben() {
    QFETCH(QString, idioma);
    Crea();
    EligeIdioma(idioma);
    Selecciona(0, Indice16F84A);
    TFConfigSoft opciones(w.get());
    TFllenar llenar(w.get());
    llenar.CargaMaximos(*w->EditorProg);
    TFBuscar buscar(w.get());
    TFAbout acerca(w.get());
    TFAyuda_params ayuda(w.get());
    TFGuardaComo perfil(w.get());
    for (QDialog* dlg : std::initializer_list<QDialog*>{&opciones, &llenar, &buscar, &acerca, &ayuda, &perfil}) {
      dlg->show();
      QVERIFY(QTest::qWaitForWindowExposed(dlg));
      Asienta();
      QVERIFY2(Cortados(*dlg).isEmpty(), qPrintable(dlg->objectName() + ": " + Cortados(*dlg).join("; ")));
      QVERIFY2(dlg->width() <= 900 && dlg->height() <= 600, qPrintable(dlg->objectName()));
      // Wide enough for a window manager to show the whole title.
      QVERIFY2(dlg->width() >= AnchoTitulo(*dlg),
               qPrintable(QString("%1: %2 < %3").arg(dlg->objectName()).arg(dlg->width()).arg(AnchoTitulo(*dlg))));
      dlg->hide();
    }
    ayuda.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ayuda));
    Asienta();
    QCOMPARE(ayuda.Memo1->horizontalScrollBar()->maximum(), 0);
    for (QTextBlock b = ayuda.Memo1->document()->begin(); b.isValid(); b = b.next())
      if (b.text().startsWith('-')) QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));
  }

  void marcas() {
    Crea();
    Selecciona(0, Indice16F84A);
    TEditorMemoria& e = *w->EditorProg;
    e.SetSelStart(0x40);  // row 4
    w->ToggleBookmarks(3);
    QCOMPARE(e.GetMarker(3), 4);
    e.SetSelStart(0);
    w->GotoBookmarks(3);
    QCOMPARE(e.GetSelStart(), int64_t{0x40});
    w->SprogramaClick(w->SDatos);
    QCOMPARE(w->EditorData->GetMarker(3), -1);  // ten bookmarks per editor
    w->SprogramaClick(w->Sprograma);
    w->BorrarMarcas1->trigger();
    QCOMPARE(e.GetMarker(3), -1);
  }

  // The keys in the grid of the shown window: Ctrl+Shift+digit sets the
  // bookmark on the caret's row (pressed again it stays, another one joins
  // it), Ctrl+digit goes back to it; the menu still toggles.
  void marcasConTeclas() {
    Crea();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    Selecciona(0, Indice16F84A);
    THexEditor* rejilla = dynamic_cast<TRejillaHex*>(w->EditorProg)->Rejilla();
    TEditorMemoria& e = *w->EditorProg;
    rejilla->setFocus();
    QVERIFY(rejilla->hasFocus());
    e.SetSelStart(0x40);  // row 4
    QTest::keyClick(rejilla, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.GetMarker(3), 4);
    QTest::keyClick(rejilla, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.GetMarker(3), 4);
    QTest::keyClick(rejilla, Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.GetMarker(3), 4);
    QCOMPARE(e.GetMarker(5), 4);
    e.SetSelStart(0);
    QTest::keyClick(rejilla, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(e.GetSelStart(), int64_t{0x40});
    w->miToggleBookmarks->actions()[3]->trigger();
    QCOMPARE(e.GetMarker(3), -1);
    QCOMPARE(e.GetMarker(5), 4);
  }

  // The Open button after its real recent-files menu was used: the next
  // click opens the file dialog.
  void abrirTrasElMenuDeRecientes() {
    Crea();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QWindow* ventana = w->windowHandle();
    const QPoint flecha = w->Abrir->mapTo(w.get(), QPoint(w->Abrir->width() - 3, w->Abrir->height() / 2));
    connect(w->MRecientes, &QMenu::aboutToShow, w->MRecientes, [&] {
      QMetaObject::invokeMethod(
          w->MRecientes,
          [&] {
            QTest::mouseRelease(ventana, Qt::LeftButton, {}, flecha);
            QTest::keyClick(w->MRecientes, Qt::Key_Escape);
          },
          Qt::QueuedConnection);
    });
    QTest::mousePress(ventana, Qt::LeftButton, {}, flecha);
    QVERIFY(!w->MRecientes->isVisible());
    QVERIFY(d->CarpetaPedida.isNull());
    w->InitDir = carpeta->raiz.string() + "/";
    QTest::mouseClick(ventana, Qt::LeftButton, {}, w->Abrir->mapTo(w.get(), QPoint(5, w->Abrir->height() / 2)));
    QCOMPARE(d->CarpetaPedida.toStdString(), w->InitDir);
    QVERIFY(!w->Abrir->isDown());
  }

  // Typing a device's name in the focused device list, with or without
  // "PIC", in either case, selects the first device whose name begins with
  // the typed text, whatever was selected before.
  void busquedaTecleada_data() {
    QTest::addColumn<int>("desde");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("elegido");
    QTest::newRow("18f455") << 0 << "18f455" << "PIC18F4550";
    QTest::newRow("PIC18F455") << 0 << "PIC18F455" << "PIC18F4550";
    QTest::newRow("pic16f8 from a later device") << int(BuscaPic("PIC30F2010")) << "pic16f8" << "PIC16F83";
    QTest::newRow("16f84 from a later device") << int(BuscaPic("PIC18F4550")) << "16f84" << "PIC16F84";
    QTest::newRow("16F628A from 16F628") << int(BuscaPic("PIC16F628")) << "16F628A" << "PIC16F628A";
    QTest::newRow("30f from the current") << int(BuscaPic("PIC30F3011")) << "30f" << "PIC30F3011";
  }
  void busquedaTecleada() {
    QFETCH(int, desde);
    QFETCH(QString, tecleado);
    QFETCH(QString, elegido);
    Crea();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    Selecciona(0, desde);
    w->ListPics->setFocus();
    QTest::keyClicks(nullptr, tecleado);  // each key to the widget with the focus
    QCOMPARE(w->ListPics->currentIndex(), BuscaPic(elegido.toStdString()));
    QCOMPARE(int(IndiceListPics), BuscaPic(elegido.toStdString()));
  }

  void combosConHint() {
    Crea();
    Selecciona(0, Indice16F84A);
    QCOMPARE(w->ListPics->toolTip(), QString::fromUtf8(Catalogo[Indice16F84A].Memoria));
    QCOMPARE(w->SelecDev->toolTip(), QString::fromUtf8(ClasesCatalogo[0].Memoria));
  }

  void limpiarBuffers() {
    Crea();
    Selecciona(0, Indice16F84A);
    QVERIFY(w->CargaArchivo(Hex("c.hex", 5)));
    OscCalBackup = 0x0123;
    w->MLimpiarBuffer->trigger();
    QCOMPARE(OscCalBackup, uint16_t{0xFFFF});
    QVERIFY(ArchivoActual.empty());
    QCOMPARE(Imagen(*w->EditorProg)[1], uint8_t{0xFF});
  }
};

QTEST_MAIN(TestPrincipal)
#include "principal_test.moc"
