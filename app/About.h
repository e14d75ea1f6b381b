#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

// About window: the program's name and version; also the start-up splash.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSplashMs = 1500;

    explicit TAboutBox(QWidget* parent = nullptr);

    // The splash closes itself after kSplashMs; the Help menu's copy waits for a click.
    void StartCloseTimer() { Timer1.start(); }
    bool CloseTimerRunning() const { return Timer1.isActive(); }

    QLabel* ProductName = nullptr;
    QLabel* ProductName2 = nullptr;
    QLabel* Version = nullptr;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QTimer Timer1;
};
