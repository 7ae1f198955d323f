// Themed drawing for the status panes and the framed memo. Off by default:
// the components then draw their own frames, the same on every desktop. A
// program that wants the desktop's look calls
// SharedThemeServices().SetThemedDrawing(true); the components then draw
// their frames through the current QStyle, and repaint when the style,
// the palette or the desktop theme changes (ThemeSwitch).
#pragma once

#include <QObject>
#include <QRect>

class QPainter;
class QWidget;

// The status-bar elements a component asks for.
struct ThemedElementDetails {
  int Element = 14;  // "status"
  int Part = 0;
  int State = 1;
};

class TThemeServices : public QObject {
  Q_OBJECT
public:
  // Drawing through the style is wanted and possible.
  bool ThemedDrawingEnabled() const { return activo_; }
  void SetThemedDrawing(bool activo);

  // kind 0-4: bar, bar (hot), pane, gripper pane, gripper.
  static ThemedElementDetails StatusElementDetails(int kind);
  // Draws the element through the widget's style.
  void DrawThemedElement(QPainter& p, const ThemedElementDetails& d, const QRect& r, const QWidget* w) const;

  // Re-reads the state after a style, palette or theme change.
  void RefreshThemeState();

signals:
  void ThemeSwitch();

protected:
  bool eventFilter(QObject* o, QEvent* e) override;

private:
  friend TThemeServices& SharedThemeServices();
  TThemeServices();
  bool activo_ = false;
  bool pendiente_ = false;
};

// The one shared object, created on first use.
TThemeServices& SharedThemeServices();
