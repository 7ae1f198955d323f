#include "RejillaSimple.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <stdexcept>

TRejillaSimple::TRejillaSimple(QWidget* parent) : QAbstractScrollArea(parent) {
  marcas_.fill(-1);
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setBold(true);
  setFont(f);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  Recalcula();
}

void TRejillaSimple::PonEeprom(bool eepromInt, bool eeI2C) {
  eepromInt_ = eepromInt;
  eeI2C_ = eeI2C;
  if (eepromInt) Distribucion(8, 1);
  else Distribucion(16, 2);
}

void TRejillaSimple::Distribucion(int porLinea, int porColumna) {
  bytesPorLinea_ = porLinea;
  bytesPorColumna_ = porColumna;
  Recalcula();
}

void TRejillaSimple::LoadFromWordBuffer(const uint16_t* w, uint32_t cuenta, bool dspic, int32_t base,
                                        uint32_t mascara) {
  dspic_ = dspic;
  if (dspic) Distribucion(eepromInt_ ? 16 : 24, eepromInt_ ? 2 : 3);
  else Distribucion(eepromInt_ ? 8 : 16, eepromInt_ ? 1 : 2);
  mask_ = static_cast<uint8_t>(mascara >> 8);
  base_ = base;
  if (dspic && eepromInt_) cuenta >>= 1;
  wordCount_ = cuenta;
  imagen_.clear();
  if (eepromInt_) setHidden(cuenta == 0);
  if (eepromInt_ && dspic) {
    for (uint32_t k = 0; k < cuenta; ++k) {
      imagen_.push_back(static_cast<uint8_t>(w[2 * k] >> 8));
      imagen_.push_back(static_cast<uint8_t>(w[2 * k]));
    }
  } else if (eepromInt_) {
    for (uint32_t k = 0; k < cuenta; ++k) imagen_.push_back(static_cast<uint8_t>(w[k]));
  } else if (dspic) {
    const uint32_t grupos = cuenta >= 2 ? ((cuenta - 2) >> 1) + 1 : 0;
    for (uint32_t k = 0; k < grupos; ++k) {
      imagen_.push_back(static_cast<uint8_t>(w[2 * k + 1]));
      imagen_.push_back(static_cast<uint8_t>(w[2 * k] >> 8));
      imagen_.push_back(static_cast<uint8_t>(w[2 * k]));
    }
  } else {
    for (uint32_t k = 0; k < cuenta; ++k) {
      imagen_.push_back(static_cast<uint8_t>(w[k] >> 8));
      imagen_.push_back(static_cast<uint8_t>(w[k]));
    }
  }
  pasteMask_ = eepromInt_ ? 0xFF : mask_;
  ancla_ = inicio_ = fin_ = -1;
  caret_ = 0;
  SiguienteBusqueda = 0;
  verticalScrollBar()->setValue(0);
  Recalcula();
  Cambio();
}

void TRejillaSimple::SaveToWordBuffer(uint16_t* w, uint32_t cuenta, bool dspic) {
  dataNotBlank_ = false;
  auto byte = [this](std::size_t i) -> uint16_t { return i < imagen_.size() ? imagen_[i] : 0xFF; };
  if (eepromInt_ && dspic) {
    cuenta >>= 1;
    for (uint32_t i = 0; i < cuenta; ++i) {
      w[2 * i] = static_cast<uint16_t>(byte(2 * i) << 8 | byte(2 * i + 1));
      w[2 * i + 1] = 0;
    }
  } else if (eepromInt_) {
    for (uint32_t i = 0; i < cuenta; ++i) w[i] = byte(i);
  } else if (dspic) {
    const uint32_t grupos = cuenta >= 2 ? ((cuenta - 2) >> 1) + 1 : 0;
    for (uint32_t k = 0; k < grupos; ++k) {
      const uint16_t u = byte(3 * k);
      w[2 * k] = static_cast<uint16_t>(byte(3 * k + 1) << 8 | byte(3 * k + 2));
      w[2 * k + 1] = u;
      if (w[2 * k] != 0xFFFF || u != 0xFF) dataNotBlank_ = true;
    }
  } else {
    for (uint32_t i = 0; i < cuenta; ++i) w[i] = static_cast<uint16_t>(byte(2 * i) << 8 | byte(2 * i + 1));
  }
  viewport()->update();
}

int64_t TRejillaSimple::GetSelStart() const { return ancla_ >= 0 ? ancla_ : caret_; }
int64_t TRejillaSimple::GetSelEnd() const {
  if (ancla_ < 0) return caret_;
  return ancla_ == fin_ ? inicio_ : fin_;
}
int64_t TRejillaSimple::GetSelCount() const { return inicio_ < 0 ? 0 : fin_ - inicio_ + 1; }

void TRejillaSimple::SetSelStart(int64_t p) {
  if (p < 0 || p >= GetDataSize()) throw std::invalid_argument("Invalid SelStart");
  ancla_ = inicio_ = fin_ = -1;
  caret_ = p;
  MuestraByte(p);
  Cambio();
}

void TRejillaSimple::SetSelEnd(int64_t p) {
  if (p < 0 || p >= GetDataSize()) throw std::invalid_argument("Invalid SelEnd");
  ancla_ = caret_;
  inicio_ = std::min(caret_, p);
  fin_ = std::max(caret_, p);
  caret_ = p;
  MuestraByte(p);
  Cambio();
}

void TRejillaSimple::FillRange(uint32_t primera, uint32_t ultima, uint32_t valor) {
  auto pon = [this](std::size_t i, uint8_t b) {
    if (i >= imagen_.size()) imagen_.resize(i + 1, 0);
    imagen_[i] = b;
  };
  int64_t desde = 0, hasta = 0;
  if (eepromInt_) {
    for (uint64_t a = primera; a <= ultima; ++a) pon(a, static_cast<uint8_t>(valor));
    desde = primera;
    hasta = ultima;
  } else if (dspic_) {
    const uint32_t inicio = (primera / 2) * 3, fin = (ultima / 2) * 3;
    const uint32_t grupos = (((fin - inicio) / 3) & 0xFFFF) + 1;
    for (uint32_t k = 0; k < grupos; ++k) {
      pon(inicio + 3 * k, static_cast<uint8_t>(valor >> 16));
      pon(inicio + 3 * k + 1, static_cast<uint8_t>(valor >> 8));
      pon(inicio + 3 * k + 2, static_cast<uint8_t>(valor));
    }
    desde = inicio;
    hasta = fin + 2;
  } else {
    for (uint64_t a = primera; a <= ultima; ++a) {
      pon(2 * a, static_cast<uint8_t>(valor >> 8));
      pon(2 * a + 1, static_cast<uint8_t>(valor));
    }
    desde = 2 * int64_t{primera};
    hasta = 2 * int64_t{ultima} + 1;
  }
  Recalcula();
  if (ultima >= primera) {
    SetSelStart(desde);
    SetSelEnd(hasta);
  }
}

int64_t TRejillaSimple::Find(const std::vector<uint8_t>& datos, int64_t ultima, int64_t primera) {
  const int64_t n = static_cast<int64_t>(datos.size());
  if (ultima >= GetDataSize()) ultima = GetDataSize() - 1;
  if (n <= 0 || primera < 0 || ultima + 1 < primera + n) return -1;
  const auto desde = imagen_.begin() + primera;
  const auto hasta = imagen_.begin() + ultima + 1;
  const auto it = std::search(desde, hasta, datos.begin(), datos.end());
  return it == hasta ? -1 : it - imagen_.begin();
}

std::vector<uint8_t> TRejillaSimple::BufferFromFile(int64_t p, int64_t cuenta) const {
  if (p < 0 || p >= GetDataSize()) throw std::invalid_argument("Invalid BufferFromFile argument");
  cuenta = std::clamp<int64_t>(cuenta, 0, GetDataSize() - p);
  return {imagen_.begin() + p, imagen_.begin() + p + cuenta};
}

void TRejillaSimple::ReplaceSelection(const std::vector<uint8_t>& datos) {
  const int64_t p = GetSelStart();
  if (p < 0 || p >= GetDataSize()) return;
  const int64_t n = std::min<int64_t>(static_cast<int64_t>(datos.size()), GetDataSize() - p);
  for (int64_t i = 0; i < n; ++i) {
    uint8_t b = datos[static_cast<std::size_t>(i)];
    if ((p + i) % 2 == 0) b &= pasteMask_;
    imagen_[static_cast<std::size_t>(p + i)] = b;
  }
  if (p == caret_ && n > 0) {
    ancla_ = inicio_ = p;
    fin_ = p + n - 1;
  }
  viewport()->update();
  Cambio();
}

int32_t TRejillaSimple::GetMarker(uint8_t i) const {
  if (i > 9) throw std::invalid_argument("SetMarker : Invalid marker index");
  return marcas_[i];
}

void TRejillaSimple::ToggleMarker(uint8_t i) {
  if (i > 9) throw std::invalid_argument("SetMarker : Invalid marker index");
  const int32_t fila = static_cast<int32_t>(caret_ / bytesPorLinea_);
  if (marcas_[i] >= 0) {
    marcas_[i] = -1;
  } else {
    for (auto& m : marcas_)
      if (m == fila) m = -1;
    marcas_[i] = fila;
  }
  viewport()->update();
}

void TRejillaSimple::GotoMarker(uint8_t i) {
  const int32_t fila = GetMarker(i);
  if (fila < 0) return;
  const int64_t p = std::min<int64_t>(int64_t{fila} * bytesPorLinea_, GetDataSize() - 1);
  SetSelStart(p);
}

void TRejillaSimple::ClearMarkers() {
  marcas_.fill(-1);
  viewport()->update();
}

// --- Drawing and input ------------------------------------------------------------

int TRejillaSimple::AnchoCar() const { return fontMetrics().horizontalAdvance(QLatin1Char('0')); }
int TRejillaSimple::AltoLinea() const { return fontMetrics().height() + 2; }

void TRejillaSimple::Recalcula() {
  const int64_t filas = (GetDataSize() + bytesPorLinea_ - 1) / bytesPorLinea_;
  const int visibles = std::max(1, viewport()->height() / AltoLinea());
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<int64_t>(0, filas - visibles)));
  verticalScrollBar()->setPageStep(visibles);
  viewport()->update();
}

void TRejillaSimple::Cambio() {
  viewport()->update();
  if (AlCambiarEstado) AlCambiarEstado();
}

void TRejillaSimple::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  Recalcula();
}

// Columns: marker (2), offset (8 + ':'), blank, hex groups, blank, characters.
namespace {
constexpr int kColHex = 12;
}

int64_t TRejillaSimple::ByteEn(const QPoint& p) const {
  const int fila = verticalScrollBar()->value() + p.y() / AltoLinea();
  const int col = p.x() / AnchoCar() - kColHex;
  if (col < 0) return -1;
  const int grupo = col / (2 * bytesPorColumna_ + 1);
  const int dentro = std::min(col % (2 * bytesPorColumna_ + 1) / 2, bytesPorColumna_ - 1);
  const int enFila = grupo * bytesPorColumna_ + dentro;
  if (enFila >= bytesPorLinea_) return -1;
  const int64_t b = int64_t{fila} * bytesPorLinea_ + enFila;
  return b < GetDataSize() ? b : -1;
}

void TRejillaSimple::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), palette().base());
  const int w = AnchoCar(), h = AltoLinea(), asc = fontMetrics().ascent() + 1;
  const int primera = verticalScrollBar()->value();
  const int visibles = viewport()->height() / h + 1;
  const int ancho = (2 * bytesPorColumna_ + 1) * (bytesPorLinea_ / bytesPorColumna_);
  const QColor seleccion = palette().highlight().color();
  for (int r = 0; r < visibles; ++r) {
    const int64_t fila = primera + r;
    const int64_t desde = fila * bytesPorLinea_;
    if (desde >= GetDataSize()) break;
    const int y = r * h;
    p.setPen(palette().text().color());
    for (int m = 0; m < 10; ++m)
      if (marcas_[m] == fila) p.drawText(0, y + asc, QString::number(m));
    // The device address of the row: words of two bytes, dsPIC instructions
    // of three bytes and two address units, EEPROM bytes.
    const int64_t enDispositivo = eepromInt_ ? (dspic_ ? desde / 2 : desde) : (dspic_ ? desde / 3 * 2 : desde / 2);
    const uint32_t direccion = static_cast<uint32_t>(base_ + enDispositivo);
    p.drawText(2 * w, y + asc, QStringLiteral("%1:").arg(direccion, 8, 16, QLatin1Char('0')).toUpper());
    for (int i = 0; i < bytesPorLinea_ && desde + i < GetDataSize(); ++i) {
      const int64_t b = desde + i;
      const int x = (kColHex + i / bytesPorColumna_ * (2 * bytesPorColumna_ + 1) + i % bytesPorColumna_ * 2) * w;
      const int xc = (kColHex + ancho + 1 + i) * w;
      const bool sel = inicio_ >= 0 && b >= inicio_ && b <= fin_;
      if (sel || b == caret_) {
        const QColor c = sel ? seleccion : palette().mid().color();
        p.fillRect(x, y, 2 * w, h, c);
        p.fillRect(xc, y, w, h, c);
      }
      p.setPen(sel ? palette().highlightedText().color() : palette().text().color());
      const uint8_t v = imagen_[static_cast<std::size_t>(b)];
      p.drawText(x, y + asc, QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper());
      p.drawText(xc, y + asc, v >= 32 && v < 127 ? QString(QLatin1Char(char(v))) : QStringLiteral("."));
    }
  }
}

void TRejillaSimple::MuestraByte(int64_t posicion) {
  const int fila = static_cast<int>(posicion / bytesPorLinea_);
  QScrollBar* sb = verticalScrollBar();
  if (fila < sb->value()) sb->setValue(fila);
  else if (fila >= sb->value() + sb->pageStep()) sb->setValue(fila - sb->pageStep() + 1);
}

void TRejillaSimple::MueveCaret(int64_t posicion, bool extiende) {
  posicion = std::clamp<int64_t>(posicion, 0, GetDataSize() - 1);
  medioByte_ = false;
  if (extiende) {
    if (ancla_ < 0) ancla_ = caret_;
    inicio_ = std::min(ancla_, posicion);
    fin_ = std::max(ancla_, posicion);
  } else {
    ancla_ = inicio_ = fin_ = -1;
  }
  caret_ = posicion;
  MuestraByte(posicion);
  Cambio();
}

void TRejillaSimple::mousePressEvent(QMouseEvent* e) {
  const int64_t b = ByteEn(e->position().toPoint());
  if (b >= 0) MueveCaret(b, e->modifiers() & Qt::ShiftModifier);
  QAbstractScrollArea::mousePressEvent(e);
}

void TRejillaSimple::mouseMoveEvent(QMouseEvent* e) {
  const int64_t b = ByteEn(e->position().toPoint());
  if ((e->buttons() & Qt::LeftButton) && b >= 0 && b != caret_) MueveCaret(b, true);
}

void TRejillaSimple::keyPressEvent(QKeyEvent* e) {
  const bool ext = e->modifiers() & Qt::ShiftModifier;
  switch (e->key()) {
    case Qt::Key_Left: MueveCaret(caret_ - 1, ext); return;
    case Qt::Key_Right: MueveCaret(caret_ + 1, ext); return;
    case Qt::Key_Up: MueveCaret(caret_ - bytesPorLinea_, ext); return;
    case Qt::Key_Down: MueveCaret(caret_ + bytesPorLinea_, ext); return;
    case Qt::Key_PageUp: MueveCaret(caret_ - int64_t{bytesPorLinea_} * verticalScrollBar()->pageStep(), ext); return;
    case Qt::Key_PageDown: MueveCaret(caret_ + int64_t{bytesPorLinea_} * verticalScrollBar()->pageStep(), ext); return;
    default: break;
  }
  bool ok = false;
  const int d = e->text().toInt(&ok, 16);
  if (!ok || e->text().size() != 1 || caret_ >= GetDataSize()) {
    QAbstractScrollArea::keyPressEvent(e);
    return;
  }
  uint8_t& b = imagen_[static_cast<std::size_t>(caret_)];
  uint8_t nuevo = medioByte_ ? static_cast<uint8_t>((b & 0xF0) | d) : static_cast<uint8_t>((d << 4) | (b & 0x0F));
  if (!eepromInt_ && caret_ % 2 == 0 && nuevo > mask_) nuevo = medioByte_ ? b : static_cast<uint8_t>(d & mask_);
  b = nuevo;
  if (medioByte_) MueveCaret(caret_ + 1, false);
  else {
    medioByte_ = true;
    Cambio();
  }
}
