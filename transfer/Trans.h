#pragma once

#include "transfer/KvrSession.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;

// Instrument-format transfer dialog.
//
// The main window hands it its document and shows it modally:
//
//     stadix::KvrDocument document{SendMode_, CoordView_, RawLoaded_, CoordUnit_,
//                                  RecordLines_, RawStore_};
//     TForm2 dialog(document, this);
//     dialog.exec();
//
// It reads SendMode, CoordUnit, CoordView and RawLoaded and, for a send, the record
// lines (coordinate view) or the raw record store (measurement view). A receive
// empties the raw record store, then appends record lines, display lines and the
// listing lines of raw records to the record text list and raw records to the store.
// When the dialog closes, CoordView and RawLoaded hold what the transfer left; the
// main window then shows the view that CoordView selects. The dialog's own port
// ComPort1 is loaded from the section ComPort1 of the settings file and closes with
// the dialog.
class TForm2 : public QDialog, private stadix::KvrSessionView {
    Q_OBJECT
  public:
    // Shows a warning message box; tests put their own in its place.
    using WarningFunction = std::function<void(QWidget* parent, const QString& text)>;

    // settingsPath: the settings file to read (SettingsFilePath() when empty).
    TForm2(const stadix::KvrDocument& document, QWidget* parent = nullptr,
           std::string settingsPath = std::string());
    ~TForm2() override;

    void SetWarningFunction(WarningFunction warn) { warn_ = std::move(warn); }
    stadix::KvrSession& Session() { return *session_; }

    // Escape and every other way to cancel act as Button1.
    void reject() override;

    // Controls, named as on the window.
    QLabel* Label1 = nullptr; // status line
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr; // counter of accepted blocks
    QPushButton* Button1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    stadix::KvrSessionView& View();
    void BuildControls();
    void FormShow();
    void Button1Click();
    void CentreStatusLine();

    // KvrSessionView.
    void SetStatusText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void CloseDialog() override;

    std::unique_ptr<stadix::KvrSession> session_;
    std::string settingsPath_;
    WarningFunction warn_;
    bool shown_ = false;
};
