#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

// About window: the program's name and version; also the start-up splash.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSplashMs = 1500;

    explicit AboutBox(QWidget* parent = nullptr);

    // The splash closes itself after kSplashMs; the Help menu's copy waits for a click.
    void StartCloseTimer() { closeTimer_.start(); }
    bool CloseTimerRunning() const { return closeTimer_.isActive(); }

    QLabel* productName = nullptr;
    QLabel* productLine = nullptr;
    QLabel* versionLabel = nullptr;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QTimer closeTimer_;
};
