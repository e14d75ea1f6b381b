// The common ground of main window tests: a temporary folder for the files a test
// opens and writes, a fresh window whose questions and dialogs are scripted, and what a
// user does with it: files chosen in the file dialogs, rows filled in, keys typed.
#pragma once

#include "app/ui/MainWindow.h"
#include "app/ui/RecordGridView.h"
#include "base/FileIO.h"
#include "job/JobFile.h"
#include "job/RecordLine.h"
#include "tests/support/ScriptedPrompts.h"

#include <QApplication>
#include <QObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>

// A record line; the height 0 unless given.
inline std::string Line(const char* pt, const char* n, const char* e, const char* z = "0",
                        const char* code = "") {
    return stadix::MakeRecordLine(pt, code, n, e, z);
}

inline std::string FileBytes(const QString& path) {
    return stadix::ReadFileBytes(path.toStdString());
}

// The title as the desktop shows it: "*" for the placeholder while there are changes.
inline QString ShownTitle(const QWidget& window) {
    return QString(window.windowTitle()).replace("[*]", window.isWindowModified() ? "*" : "");
}

class MainWindowFixture : public QObject {
  protected:
    QTemporaryDir dir;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<MainWindow> window;

    // A new window, as a test's init() makes it; what it remembers stays in the test's home.
    void MakeWindow() {
        QStandardPaths::setTestModeEnabled(true);
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window = std::make_unique<MainWindow>(std::move(scripted));
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const std::string& bytes) {
        stadix::WriteFileAtomically(Path(name).toStdString(), bytes);
    }
    // Open and Save As of the folder's file, chosen in the file dialog as the given type.
    void Open(const QString& name, int type = 1) {
        prompts->files.push_back(FileChoice{Path(name), type});
        window->FileOpen();
    }
    void SaveAs(const QString& name, int type = 1) {
        prompts->files.push_back(FileChoice{Path(name), type});
        window->FileSaveAs();
    }
    // The lines written as job.JCD and opened.
    void OpenJob(const std::vector<std::string>& lines) {
        Write("job.JCD", stadix::JobFileBytes(lines));
        Open("job.JCD");
    }
    void SetRow(int row, const char* pt, const char* n, const char* e, const char* z = "") {
        window->Table().SetCell(row, stadix::ColPt, pt);
        window->Table().SetCell(row, stadix::ColN, n);
        window->Table().SetCell(row, stadix::ColE, e);
        window->Table().SetCell(row, stadix::ColZ, z);
    }
    QString CellText(int row, int column = stadix::ColPt) const {
        return QString::fromStdString(window->Table().Cell(row, column));
    }
    // Shows the window active, with the record grid focused, for keys typed as a user would.
    void ShowWithGridFocused() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QApplication::setActiveWindow(window.get());
        window->recordGrid->setFocus();
    }
    // Types text into whatever has the focus, as the user would; "\n" presses Enter.
    void Type(const QString& text) {
        for (QChar c : text) {
            QWidget* target =
                QApplication::focusWidget() ? QApplication::focusWidget() : window->recordGrid;
            if (c == '\n')
                QTest::keyClick(target, Qt::Key_Return);
            else
                QTest::keyClick(target, c.toLatin1());
            QCoreApplication::processEvents();
        }
    }
};
