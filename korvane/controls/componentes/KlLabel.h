// Labels that react to the mouse. TKlLabel swaps to HotTrackFont (with
// HotTrack) and sets the application's hint colour to HintColor while the
// mouse is over it; both come back when the mouse leaves, and also when the
// label is hidden or destroyed under the mouse. THotLink is such a label
// that opens its Url when clicked (http, https and mailto addresses only;
// others are refused): the About dialog's web link.
#pragma once

#include <QFont>
#include <QLabel>

class TKlLabel : public QLabel {
  Q_OBJECT
public:
  explicit TKlLabel(QWidget* parent = nullptr);
  ~TKlLabel() override;

  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool v) { hotTrack_ = v; }
  QFont HotTrackFont() const { return hotTrackFont_; }
  void SetHotTrackFont(const QFont& f) { hotTrackFont_ = f; }
  QColor HintColor() const { return hintColor_; }
  void SetHintColor(const QColor& c) { hintColor_ = c; }
  bool MouseInside() const { return dentro_; }

signals:
  void MouseEnter();
  void MouseLeave();

protected:
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void hideEvent(QHideEvent* e) override;

private:
  void Restaura();
  bool hotTrack_ = false;
  QFont hotTrackFont_;
  QColor hintColor_;
  bool dentro_ = false;
  QFont fuenteGuardada_;
  QColor hintGuardado_;
};

class THotLink : public TKlLabel {
  Q_OBJECT
public:
  explicit THotLink(QWidget* parent = nullptr);
  QString Url() const { return url_; }
  void SetUrl(const QString& u) { url_ = u; }
  // Opens Url through the desktop; false when its scheme is not allowed or
  // the desktop could not open it.
  bool Abre() const;

signals:
  void clicked();

protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

private:
  QString url_ = "http://";
  bool pulsado_ = false;
};
