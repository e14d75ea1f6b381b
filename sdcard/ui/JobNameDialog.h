#pragma once

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a name the way the instrument takes job names: digits, A to Z (a to z are
// upper-cased) and . - # $ % ! & @ + * /, every other key discarded; Esc cancels.
class JobNameDialog : public QDialog {
    Q_OBJECT
  public:
    JobNameDialog(const QString& caption, const QString& prompt, const QString& text, int maxLength,
                  QWidget* parent = nullptr);

    // The text typed, trimmed; none when the dialog was not confirmed.
    std::optional<QString> Name() const { return name_; }

    void accept() override;

    QLabel* promptLabel = nullptr;
    QLineEdit* nameBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<QString> name_;
};

// Shows the dialog; the confirmed, non-empty name or none.
std::optional<QString> InputText(QWidget* parent, const QString& caption, const QString& prompt,
                                 const QString& text, int maxLength);
