// The choice of the reference system that points are written in or taken into: a
// search over PROJ's database by code or name and, where the format allows it, no
// system at all. An interface, so that tests can run the commands that ask it with
// scripted answers.
#pragma once

#include "gis/ReferenceSystemCatalog.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QListView;
class QPushButton;
class ListingsModel;

// The choice of no reference system.
inline const char* const kNoReferenceSystem = "none";

class ReferenceSystemPrompts {
  public:
    virtual ~ReferenceSystemPrompts() = default;
    // choice: the authority code of a system ("EPSG:25833"), kNoReferenceSystem where
    // noneAllowed, or empty for nothing chosen yet; preset with the last choice and
    // changed to the new one when OK closed the dialog, which the result tells.
    virtual bool ChooseReferenceSystem(QWidget* parent, bool noneAllowed, QString& choice) = 0;
};

// A search box over the list of systems: each word typed narrows the list (a code, a
// part of a name), whose first system is then chosen; OK or a double-click takes it.
class ReferenceSystemDialog : public QDialog {
  public:
    ReferenceSystemDialog(const QString& preset, bool noneAllowed, QWidget* parent);

    // As ReferenceSystemPrompts' choice.
    QString Choice() const;

    QLineEdit* searchBox = nullptr;
    QListView* systemList = nullptr;
    QCheckBox* noneBox = nullptr;
    QPushButton* okButton = nullptr;

  private:
    void ShowFound(const QString& text);
    void ChooseRow(int row);
    void EnableChoice();

    const stadix::ReferenceSystemCatalog catalog_; // read once, searched at every key
    ListingsModel* model_ = nullptr;
};

// Runs the dialog, as ReferenceSystemPrompts asks it.
bool RunReferenceSystemDialog(QWidget* parent, bool noneAllowed, QString& choice);
