// The common ground of main window tests: a temporary folder for the files a test
// opens and writes, and a fresh window whose questions and dialogs are scripted.
#pragma once

#include "app/ui/MainWindow.h"
#include "base/FileIO.h"
#include "tests/support/ScriptedPrompts.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>
#include <string>

// The title as the desktop shows it: "*" for the placeholder while there are changes.
inline QString ShownTitle(const QWidget& window) {
    return QString(window.windowTitle()).replace("[*]", window.isWindowModified() ? "*" : "");
}

class MainWindowFixture : public QObject {
  protected:
    QTemporaryDir dir;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<MainWindow> window;

    // A new window, as a test's init() makes it.
    void MakeWindow() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window = std::make_unique<MainWindow>(std::move(scripted));
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const std::string& bytes) {
        stadix::WriteFileAtomically(Path(name).toStdString(), bytes);
    }
};
