#include "KlLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QToolTip>
#include <QUrl>

#include "KvCommon.h"

namespace {

QColor ColorHint() { return QToolTip::palette().color(QPalette::ToolTipBase); }

void PonColorHint(const QColor& c) {
  QPalette p = QToolTip::palette();
  for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) p.setColor(g, QPalette::ToolTipBase, c);
  QToolTip::setPalette(p);
}

}  // namespace

TKlLabel::TKlLabel(QWidget* parent) : QLabel(parent), hotTrackFont_(font()), hintColor_(clInfoBk()) {}

TKlLabel::~TKlLabel() { Restaura(); }

void TKlLabel::enterEvent(QEnterEvent* e) {
  QLabel::enterEvent(e);
  if (!dentro_) {
    hintGuardado_ = ColorHint();
    PonColorHint(hintColor_);
    if (hotTrack_) {
      fuenteGuardada_ = font();
      setFont(hotTrackFont_);
    }
    dentro_ = true;
  }
  emit MouseEnter();
}

void TKlLabel::leaveEvent(QEvent* e) {
  QLabel::leaveEvent(e);
  Restaura();
  emit MouseLeave();
}

void TKlLabel::hideEvent(QHideEvent* e) {
  QLabel::hideEvent(e);
  Restaura();
}

void TKlLabel::Restaura() {
  if (!dentro_) return;
  PonColorHint(hintGuardado_);
  if (hotTrack_) setFont(fuenteGuardada_);
  dentro_ = false;
}

// --- Link ----------------------------------------------------------------------------------

THotLink::THotLink(QWidget* parent) : TKlLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  SetHotTrack(true);
  QFont f = font();
  f.setUnderline(true);
  SetHotTrackFont(f);
  setForegroundRole(QPalette::Link);
}

bool THotLink::Abre() const {
  const QUrl u(url_, QUrl::StrictMode);
  const QString esquema = u.scheme().toLower();
  if (!u.isValid() || (esquema != "http" && esquema != "https" && esquema != "mailto")) return false;
  if (esquema != "mailto" && u.host().isEmpty()) return false;
  return QDesktopServices::openUrl(u);
}

void THotLink::mousePressEvent(QMouseEvent* e) {
  pulsado_ = e->button() == Qt::LeftButton;
  QLabel::mousePressEvent(e);
}

void THotLink::mouseReleaseEvent(QMouseEvent* e) {
  const bool click = pulsado_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  pulsado_ = false;
  QLabel::mouseReleaseEvent(e);
  if (!click) return;
  emit clicked();
  Abre();
}
