// The progress dialog of every operation: its caption names the operation,
// the bar runs 0-100 per word, and Cancel stops the operation (the engine
// leaves programming mode and says so). While it is shown the other windows
// are disabled; it is modeless, so the operation runs in the handler that
// showed it and pumps messages after each word.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

class QProgressBar;
class QPushButton;

class TDeviceForm : public QDialog {
  Q_OBJECT
public:
  explicit TDeviceForm(QWidget* parent = nullptr);

  // The windows disabled while the dialog is shown.
  void SetOtherWindows(const QList<QWidget*>& windows) { others_ = windows; }

  void Start(const QString& caption);  // position 0, shown, others disabled
  void Position(int position);
  void Finish();                       // closed, others enabled

  QPushButton* CancelBtn;
  QProgressBar* ProgressBar;

public slots:
  void CancelBtnClick();

protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

private:
  void EnableOthers(bool enable);
  QList<QPointer<QWidget>> othersDisabled_;
  QList<QWidget*> others_;
};
