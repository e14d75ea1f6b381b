// Prompts with answers given in advance, recording every question, message and file
// dialog so that window tests can run whole commands.
#pragma once

#include "app/Prompts.h"

#include <QList>
#include <QStringList>

#include <deque>

class ScriptedPrompts : public Prompts {
  public:
    struct Shown {
        QString kind; // "ask", "tell", "error", "open", "save"
        QString caption;
        QString text;
        FileDialogSpec dialog;
    };

    std::deque<QMessageBox::StandardButton> answers;
    std::deque<std::optional<FileChoice>> files;
    QList<Shown> shown;

    QMessageBox::StandardButton Ask(QWidget*, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons) override {
        shown.append({"ask", caption, text, {}});
        if (answers.empty())
            return QMessageBox::Cancel;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Tell(QWidget*, const QString& caption, const QString& text, QMessageBox::Icon) override {
        shown.append({"tell", caption, text, {}});
    }
    void ShowError(QWidget*, const QString& text) override {
        shown.append({"error", QString(), text, {}});
    }
    std::optional<FileChoice> ChooseOpenFile(QWidget*, const FileDialogSpec& spec) override {
        return NextFile("open", spec);
    }
    std::optional<FileChoice> ChooseSaveFile(QWidget*, const FileDialogSpec& spec) override {
        return NextFile("save", spec);
    }

    // Kinds of everything shown so far, in order.
    QStringList Kinds() const {
        QStringList kinds;
        for (const Shown& s : shown)
            kinds << s.kind;
        return kinds;
    }

  private:
    std::optional<FileChoice> NextFile(const QString& kind, const FileDialogSpec& spec) {
        shown.append({kind, spec.title, spec.filter, spec});
        if (files.empty())
            return std::nullopt;
        const bool cancelled = !files.front().has_value();
        const FileChoice choice = cancelled ? FileChoice{} : *files.front();
        files.pop_front();
        if (cancelled)
            return std::nullopt;
        return choice;
    }
};
