#include "KvThemeSrv.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

TThemeServices::TThemeServices() {
  if (qApp) qApp->installEventFilter(this);
}

TThemeServices& SharedThemeServices() {
  static TThemeServices* s = nullptr;
  if (!s) {
    s = new TThemeServices;
    if (qApp) QObject::connect(qApp, &QObject::destroyed, [] {
      delete s;
      s = nullptr;
    });
  }
  return *s;
}

void TThemeServices::SetThemedDrawing(bool activo) {
  if (activo == activo_) return;
  activo_ = activo;
  emit ThemeSwitch();
}

ThemedElementDetails TThemeServices::StatusElementDetails(int kind) {
  static const int partes[5][2] = {{0, 1}, {0, 2}, {1, 1}, {2, 1}, {3, 1}};
  if (kind < 0 || kind > 4) kind = 0;
  return {14, partes[kind][0], partes[kind][1]};
}

void TThemeServices::DrawThemedElement(QPainter& p, const ThemedElementDetails& d, const QRect& r,
                                       const QWidget* w) const {
  QStyle* st = w ? w->style() : QApplication::style();
  QStyleOption o;
  if (w) o.initFrom(w);
  o.rect = r;
  switch (d.Part) {
    case 0: st->drawPrimitive(QStyle::PE_PanelStatusBar, &o, &p, w); break;
    case 1:
    case 2: {
      QStyleOptionFrame f;
      if (w) f.initFrom(w);
      f.rect = r;
      f.lineWidth = 1;
      f.frameShape = QFrame::StyledPanel;
      f.state |= QStyle::State_Sunken;
      st->drawPrimitive(QStyle::PE_Frame, &f, &p, w);
      break;
    }
    default: {
      QStyleOptionSizeGrip g;
      if (w) g.initFrom(w);
      g.rect = r;
      g.corner = Qt::BottomRightCorner;
      st->drawControl(QStyle::CE_SizeGrip, &g, &p, w);
    }
  }
}

void TThemeServices::RefreshThemeState() {
  if (activo_) emit ThemeSwitch();
}

bool TThemeServices::eventFilter(QObject* o, QEvent* e) {
  switch (e->type()) {
    case QEvent::ApplicationPaletteChange:
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
      // Every widget hears of a style change: one refresh for all of them.
      if (activo_ && !pendiente_) {
        pendiente_ = true;
        QMetaObject::invokeMethod(this, [this] {
          pendiente_ = false;
          RefreshThemeState();
        }, Qt::QueuedConnection);
      }
      break;
    default: break;
  }
  return QObject::eventFilter(o, e);
}
